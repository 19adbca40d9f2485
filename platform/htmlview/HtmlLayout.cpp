// Box layout and painting: block and inline flow with word wrapping, right
// floats, tables with automatic column widths, and GDI painting in which every
// piece of page text goes through ExtTextOutW (the cursor-translation hook
// reads the text drawn there).
#include "platform/htmlview/HtmlLayout.h"

#include <algorithm>
#include <map>
#include <optional>

#include "platform/htmlview/HtmlImage.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

// ---------------------------------------------------------------- fonts

namespace {

struct FontCache {
  std::map<std::wstring, std::unique_ptr<FontInfo>> fonts;
  HDC dc = nullptr;
  ~FontCache() {
    for (auto& f : fonts) DeleteObject(f.second->font);
    if (dc) DeleteDC(dc);
  }
};

FontCache& Fonts() {
  static FontCache cache;
  return cache;
}

}  // namespace

HDC MeasureDC() {
  FontCache& c = Fonts();
  if (!c.dc) c.dc = CreateCompatibleDC(nullptr);
  return c.dc;
}

FontInfo* GetFont(const std::wstring& family, int px, bool bold, bool italic, bool underline, bool strike) {
  std::wstring key = family;
  key += L'|';
  key += std::to_wstring(px);
  key += bold ? L'b' : L'-';
  key += italic ? L'i' : L'-';
  key += underline ? L'u' : L'-';
  key += strike ? L's' : L'-';
  FontCache& c = Fonts();
  auto it = c.fonts.find(key);
  if (it != c.fonts.end()) return it->second.get();
  auto f = std::make_unique<FontInfo>();
  LOGFONTW lf = {};
  lf.lfHeight = -px;
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strike;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, family.c_str(), LF_FACESIZE);
  f->font = CreateFontIndirectW(&lf);
  HDC dc = MeasureDC();
  HGDIOBJ old = SelectObject(dc, f->font);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  f->ascent = tm.tmAscent;
  f->descent = tm.tmDescent;
  f->height = tm.tmHeight;
  f->px = px;
  f->bold = bold;
  f->italic = italic;
  f->underline = underline;
  f->strike = strike;
  FontInfo* raw = f.get();
  c.fonts.emplace(key, std::move(f));
  return raw;
}

int FontInfo::CharWidth(wchar_t c) {
  auto& page = pages[c >> 8];
  if (!page) {
    page.reset(new uint16_t[256]);
    INT widths[256];
    HDC dc = MeasureDC();
    HGDIOBJ old = SelectObject(dc, font);
    UINT first = c & 0xFF00;
    if (!GetCharWidth32W(dc, first, first + 255, widths)) {
      for (int& w : widths) w = height / 2;
    }
    SelectObject(dc, old);
    for (int i = 0; i < 256; ++i) page[i] = static_cast<uint16_t>(std::max(0, std::min(widths[i], 65535)));
  }
  return page[c & 0xFF];
}

bool FontInfo::HasGlyph(wchar_t c) {
  auto& page = missing[c >> 8];
  if (!page) {
    page.reset(new uint8_t[256]);
    wchar_t chars[256];
    WORD glyphs[256];
    for (int i = 0; i < 256; ++i) chars[i] = static_cast<wchar_t>((c & 0xFF00) | i);
    HDC dc = MeasureDC();
    HGDIOBJ old = SelectObject(dc, font);
    DWORD got = GetGlyphIndicesW(dc, chars, 256, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    for (int i = 0; i < 256; ++i) page[i] = got == GDI_ERROR ? 0 : glyphs[i] == 0xFFFF;
  }
  return !page[c & 0xFF];
}

FontInfo* FontInfo::ForChar(wchar_t c) {
  if (!IsBreakAnywhere(c) || HasGlyph(c)) return this;
  if (!fallbackSearched) {
    fallbackSearched = true;
    static const wchar_t* kFamilies[] = {L"SimSun", L"MS Gothic", L"Gulim", L"Microsoft YaHei",
                                         L"WenQuanYi Micro Hei", L"Arial Unicode MS"};
    for (const wchar_t* family : kFamilies) {
      FontInfo* f = GetFont(family, px, bold, italic, underline, strike);
      if (f != this && f->HasGlyph(c)) {
        fallback = f;
        break;
      }
    }
  }
  return fallback && fallback->HasGlyph(c) ? fallback : this;
}

int FontInfo::TextWidth(const wchar_t* text, size_t length) {
  int w = 0;
  for (size_t i = 0; i < length; ++i) w += CharWidth(text[i]);
  return w;
}

// ---------------------------------------------------------------- helpers

namespace {

const wchar_t kEllipsis[] = L"...";

}  // namespace

struct FloatContext {
  struct Float {
    int left, top, bottom;
  };
  std::vector<Float> rights;
  int RightLimit(int top, int bottom, int right) const {
    for (const Float& f : rights) {
      if (f.top < bottom && f.bottom > top) right = std::min(right, f.left);
    }
    return right;
  }
  int Bottom() const {
    int b = 0;
    for (const Float& f : rights) b = std::max(b, f.bottom);
    return b;
  }
};

namespace {

bool IsAtomic(const Element* el) {
  const std::wstring& t = el->Tag();
  return t == L"img" || t == L"input" || t == L"select" || t == L"textarea" || t == L"button";
}

Style* StyleOf(const Element* el) { return el ? el->ComputedStyle() : nullptr; }

// An inline element that holds a block is laid out as a block itself. Found
// once a pass, from the leaves up (ResetTree), and read back afterwards: the
// question is asked at every level of a nesting, and a walk of the subtree
// each time would take the depth times the size of it.
bool ContainsBlock(const Element* el) {
  const LayoutData* ld = el->Layout();
  return ld && ld->holdsBlock;
}

// The same from the children, whose answers are known already.
bool FindBlockInChildren(const Element* el) {
  for (size_t i = 0; i < el->ChildCount(); ++i) {
    const Element* c = el->Child(i);
    const Style* s = StyleOf(c);
    if (!s || s->display == Display::kNone) continue;
    if (s->IsBlockLevel() || s->floatRight) return true;
    if (c->IsElement() && !IsAtomic(c) && ContainsBlock(c)) return true;
  }
  return false;
}

bool IsBoxLevel(const Element* el, const Style& s) {
  if (!el->IsElement()) return false;
  if (s.IsBlockLevel() || s.floatRight) return true;
  return !IsAtomic(el) && ContainsBlock(el);
}

int AverageCharWidth(FontInfo* f) { return std::max(1, f->CharWidth(L'x')); }

// Size of an image or a form control (content box).
void AtomicSize(Element* el, int containerWidth, int* w, int* h) {
  const Style& s = *el->ComputedStyle();
  const std::wstring& t = el->Tag();
  FontInfo* f = s.font;
  int cw = 0, ch = 0;
  if (t == L"img") {
    SIZE natural = {0, 0};
    const ImageEntry* img = GetImage(el->OwnerDocument()->ResolveUrl(el->GetAttribute(L"src")));
    if (img) natural = img->size;
    cw = s.width.IsAuto() ? natural.cx : s.width.Resolve(containerWidth);
    ch = s.height.IsAuto() ? natural.cy : s.height.Resolve(0);
    if (s.width.IsAuto() && !s.height.IsAuto() && natural.cy) cw = natural.cx * ch / natural.cy;
    if (s.height.IsAuto() && !s.width.IsAuto() && natural.cx) ch = natural.cy * cw / natural.cx;
    cw += s.border[1].width + s.border[3].width;
    ch += s.border[0].width + s.border[2].width;
  } else {
    std::wstring type = el->GetAttribute(L"type");
    ToLowerAscii(type);
    if (t == L"input" && (type == L"checkbox" || type == L"radio")) {
      cw = ch = 13;
    } else if (t == L"input" && (type == L"button" || type == L"submit" || type == L"reset")) {
      std::wstring v = el->Value();
      cw = f->TextWidth(v.c_str(), v.size()) + 16;
      ch = f->height + 8;
    } else if (t == L"button") {
      std::wstring v = el->InnerText();
      cw = f->TextWidth(v.c_str(), v.size()) + 16;
      ch = f->height + 8;
    } else if (t == L"select") {
      int widest = 0;
      for (Element* o : el->Options()) {
        std::wstring text = o->InnerText();
        widest = std::max(widest, f->TextWidth(text.c_str(), text.size()));
      }
      cw = widest + GetSystemMetrics(SM_CXVSCROLL) + 8;
      ch = f->height + 6;
    } else if (t == L"textarea") {
      int cols = std::max(1, _wtoi(el->GetAttribute(L"cols").c_str()));
      int rows = std::max(1, _wtoi(el->GetAttribute(L"rows").c_str()));
      if (!el->HasAttribute(L"cols")) cols = 20;
      if (!el->HasAttribute(L"rows")) rows = 2;
      cw = cols * AverageCharWidth(f) + GetSystemMetrics(SM_CXVSCROLL) + 4;
      ch = rows * f->height + 6;
    } else {  // text field
      int size = el->HasAttribute(L"size") ? std::max(1, _wtoi(el->GetAttribute(L"size").c_str())) : 20;
      cw = size * AverageCharWidth(f) + 6;
      ch = f->height + 6;
    }
    if (!s.width.IsAuto()) cw = s.width.Resolve(containerWidth);
    if (!s.height.IsAuto() && s.height.unit == Length::kPx) ch = s.height.value;
  }
  *w = std::max(0, std::min(cw, 100000));
  *h = std::max(0, std::min(ch, 100000));
}

}  // namespace

// ---------------------------------------------------------------- inline flow

// What one decorated element holds of one line: the extent of its fragments
// that show ink, with the place of the first of them (for its background).
struct LineShare {
  static constexpr uint32_t kNone = 0xFFFFFFFF;
  Element* element = nullptr;
  bool own = false;  // an image's or control's own box: not its parent's
  uint32_t firstInk = kNone;  // index in the line of the first fragment with ink
  int inkL = 0, inkR = 0, inkY = 0, inkH = 0;

  void Add(int x, int y, int w, int h, uint32_t index) {
    if (firstInk == kNone) {
      inkL = x, inkR = x + w;
    } else {
      inkL = std::min(inkL, x), inkR = std::max(inkR, x + w);
    }
    if (index < firstInk) {
      firstInk = index;
      inkY = y;
      inkH = h;
    }
  }
  void Merge(const LineShare& o) {
    if (o.firstInk != kNone) Add(o.inkL, o.inkY, o.inkR - o.inkL, o.inkH, o.firstInk);
  }
};

class InlineBuilder {
 public:
  InlineBuilder(Element* box, int left, int width, int y, FloatContext* floats, int fx, int fy)
      : box_(box), ld_(*box->Layout()), cs_(*box->ComputedStyle()), left_(left), width_(width), y_(y),
        floats_(floats), fx_(fx), fy_(fy) {
    StartLine();
  }

  void AddNode(Element* node) {
    if (node->IsText()) {
      AddText(node);
      return;
    }
    const Style* s = StyleOf(node);
    if (!node->IsElement() || !s || s->display == Display::kNone) return;
    node->EnsureLayoutData().decorParent = decorOpen_;
    if (IsAtomic(node)) {
      AddAtomic(node, *s);
      return;
    }
    opened_.push_back(node);
    if (node->Is(L"br")) {
      Fragment marker = MakeMarker(node);
      line_.push_back(marker);
      FinishLine(true);
      return;
    }
    line_.push_back(MakeMarker(node));
    Element* outer = decorOpen_;
    if (IsDecorated(*s)) decorOpen_ = node;
    for (size_t i = 0; i < node->ChildCount(); ++i) AddNode(node->Child(i));
    decorOpen_ = outer;
  }

  int Finish() {
    FinishLine(false);
    // Each element's box takes in its children's, deepest first: the reverse
    // of the order they were met in.
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it) {
      const LayoutData& el = *(*it)->Layout();
      Element* parent = (*it)->Parent();
      if (el.laidOut && parent != box_) Widen(parent, el.x, el.y, el.x + el.w, el.y + el.h);
    }
    opened_.clear();
    return y_;
  }

 private:
  Fragment MakeMarker(Element* node) {
    Fragment f;
    f.node = node;
    f.kind = FragKind::kMarker;
    f.x = x_;
    f.font = cs_.font;
    return f;
  }

  void StartLine() {
    lineLeft_ = left_;
    lineRight_ = left_ + width_;
    if (floats_ && !floats_->rights.empty()) {
      int strut = cs_.font ? cs_.font->height : 16;
      lineRight_ = std::max(lineLeft_, floats_->RightLimit(fy_ + y_, fy_ + y_ + strut, fx_ + lineRight_) - fx_);
    }
    x_ = 0;
    ink_ = false;
  }

  int Avail() const { return lineRight_ - lineLeft_; }

  void AddText(Element* node) {
    const Style* st = StyleOf(node->Parent());
    if (!st) return;
    FontInfo* f = st->font;
    const std::wstring& s = node->Text();
    const size_t n = s.size();
    bool pre = st->whiteSpace == WhiteSpace::kPre;
    size_t i = 0;
    while (i < n) {
      wchar_t c = s[i];
      if (pre && (c == L'\n' || c == L'\r')) {
        if (c == L'\n') FinishLine(true);
        ++i;
        continue;
      }
      if (!pre && IsSpace(c)) {
        space_ = true;
        ++i;
        continue;
      }
      size_t b = i;
      if (pre) {
        while (i < n && s[i] != L'\n' && s[i] != L'\r') ++i;
      } else if (IsBreakAnywhere(c)) {
        ++i;
      } else {
        while (i < n && !IsSpace(s[i]) && !IsBreakAnywhere(s[i])) ++i;
      }
      // East Asian characters are words of their own: each may need another font.
      AddWord(node, *st, pre ? f : f->ForChar(s[b]), b, i - b);
    }
  }

  void AddWord(Element* node, const Style& st, FontInfo* f, size_t b, size_t len) {
    const std::wstring& s = node->Text();
    int w = f->TextWidth(&s[b], len);
    int gap = space_ && ink_ ? f->CharWidth(L' ') : 0;
    bool cjk = IsBreakAnywhere(s[b]);
    bool wraps = st.whiteSpace == WhiteSpace::kNormal;
    bool canBreak = wraps && ink_ && (space_ || cjk || lastCjk_);
    if (canBreak && x_ + gap + w > Avail()) {
      FinishLine(false);
      gap = 0;
    }
    // A word wider than a whole line would be cut at the view's edge, which
    // has no horizontal scroll bar: it is broken between two characters
    // instead, each line taking as much of it as fits (at least a character).
    while (wraps && len > 1 && w > Avail()) {
      size_t fit = FittingChars(f, &s[b], len, Avail() - x_ - gap);
      if (fit == 0 && ink_) {
        FinishLine(false);
        gap = 0;
        continue;
      }
      fit = std::max<size_t>(fit, 1);
      if (IS_HIGH_SURROGATE(s[b + fit - 1])) fit = fit > 1 ? fit - 1 : fit + 1;  // a pair stays whole
      if (fit >= len) break;
      int pieceW = f->TextWidth(&s[b], fit);
      PlaceWord(node, st, f, b, fit, gap, pieceW);
      FinishLine(false);
      gap = 0;
      b += fit;
      len -= fit;
      w -= pieceW;
    }
    PlaceWord(node, st, f, b, len, gap, w);
  }

  // The number of characters of text, from its start, that fit in width.
  static size_t FittingChars(FontInfo* f, const wchar_t* text, size_t length, int width) {
    size_t n = 0;
    for (int w = 0; n < length && (w += f->CharWidth(text[n])) <= width;) ++n;
    return n;
  }

  void PlaceWord(Element* node, const Style& st, FontInfo* f, size_t b, size_t len, int gap, int w) {
    const std::wstring& s = node->Text();
    space_ = false;
    lastCjk_ = IsBreakAnywhere(s[b + len - 1]);
    if (!line_.empty()) {
      Fragment& p = line_.back();
      if (p.kind == FragKind::kText && p.node == node && p.font == f &&
          ((gap && p.start + p.length + 1 == b && s[b - 1] == L' ') || (!gap && p.start + p.length == b))) {
        p.length = static_cast<uint32_t>(b + len - p.start);
        x_ += gap + w;
        p.w = x_ - p.x;
        return;
      }
    }
    Fragment fr;
    fr.node = node;
    fr.start = static_cast<uint32_t>(b);
    fr.length = static_cast<uint32_t>(len);
    fr.x = x_ + gap;
    fr.w = w;
    fr.h = f->height;
    fr.ascent = f->ascent;
    fr.font = f;
    if (st.verticalAlign == VAlign::kSuper) fr.shift = st.fontPx / 2;
    if (st.verticalAlign == VAlign::kSub) fr.shift = -st.fontPx / 4;
    line_.push_back(fr);
    x_ += gap + w;
    ink_ = true;
  }

  void AddAtomic(Element* el, const Style& s) {
    int w, h;
    AtomicSize(el, width_, &w, &h);
    const Style* ps = StyleOf(el->Parent());
    int gap = space_ && ink_ && ps ? ps->font->CharWidth(L' ') : 0;
    int outer = gap + s.margin[3] + w + s.margin[1];
    bool wrap = ps && ps->whiteSpace == WhiteSpace::kNormal;
    if (wrap && ink_ && x_ + outer > Avail()) {
      FinishLine(false);
      gap = 0;
    }
    space_ = false;
    lastCjk_ = false;
    Fragment fr;
    fr.node = el;
    fr.kind = FragKind::kAtomic;
    fr.x = x_ + gap + s.margin[3];
    fr.w = w;
    fr.h = h + s.margin[0] + s.margin[2];
    fr.font = s.font;
    line_.push_back(fr);
    x_ += gap + s.margin[3] + w + s.margin[1];
    ink_ = true;
  }

  void Ellipsize() {
    FontInfo* f = cs_.font;
    int ew = f->TextWidth(kEllipsis, 3);
    int limit = Avail() - ew;
    size_t keep = 0;
    int end = 0;
    for (; keep < line_.size(); ++keep) {
      Fragment& fr = line_[keep];
      if (fr.kind == FragKind::kMarker) continue;
      if (fr.x + fr.w <= limit) {
        end = fr.x + fr.w;
        continue;
      }
      if (fr.kind == FragKind::kText) {
        const wchar_t* t = fr.node->Text().c_str() + fr.start;
        uint32_t n = 0;
        int w = 0;
        while (n < fr.length && fr.x + w + fr.font->CharWidth(t[n]) <= limit) w += fr.font->CharWidth(t[n++]);
        if (n > 0) {
          fr.length = n;
          fr.w = w;
          end = fr.x + w;
          ++keep;
        }
      }
      break;
    }
    for (size_t k = keep; k < line_.size(); ++k) {
      if (line_[k].kind == FragKind::kMarker) line_[k].x = std::min(line_[k].x, end);
    }
    std::vector<Fragment> kept;
    for (size_t k = 0; k < line_.size(); ++k) {
      if (k < keep || line_[k].kind == FragKind::kMarker) kept.push_back(line_[k]);
    }
    Fragment e;
    e.kind = FragKind::kEllipsis;
    e.x = std::max(0, end);
    e.w = ew;
    e.h = f->height;
    e.ascent = f->ascent;
    e.font = f;
    e.node = box_;
    kept.push_back(e);
    line_.swap(kept);
  }

  void FinishLine(bool forced) {
    if (line_.empty() && !forced) return;
    bool hasInk = ink_ || forced;
    FontInfo* strut = cs_.font;
    int sa = strut->ascent, sd = strut->descent;
    int right = x_;
    if (cs_.ellipsis && cs_.clip && right > Avail()) {
      Ellipsize();
      right = line_.back().x + line_.back().w;
    }
    int maxA = hasInk ? sa : 0, maxD = hasInk ? sd : 0;
    int mid = (sa - sd) / 2;
    for (Fragment& f : line_) {
      int a = 0;
      if (f.kind == FragKind::kText || f.kind == FragKind::kEllipsis) {
        a = f.ascent + f.shift;
      } else if (f.kind == FragKind::kAtomic) {
        VAlign va = StyleOf(f.node)->verticalAlign;
        if (!f.node->Is(L"img")) va = VAlign::kAbsMiddle;
        a = va == VAlign::kAbsMiddle || va == VAlign::kMiddle ? f.h / 2 + mid : va == VAlign::kTop ? sa : f.h;
      } else {
        continue;
      }
      maxA = std::max(maxA, a);
      maxD = std::max(maxD, f.h - a);
      f.ascent = a;
    }
    int lineH = maxA + maxD;
    int lead = 0;
    if (cs_.lineHeight > 0 && hasInk) {
      lead = (cs_.lineHeight - lineH) / 2;
      lineH = cs_.lineHeight;
    }
    int baseline = y_ + lead + maxA;
    int shift = 0;
    int free = Avail() - right;
    Align align = cs_.textAlign;
    if (free > 0) shift = align == Align::kCenter ? free / 2 : align == Align::kRight ? free : 0;
    uint32_t first = static_cast<uint32_t>(ld_.frags.size());
    // Each fragment widens the box of its own element alone; the elements
    // hand their boxes to their parents once, when the flow is finished. A
    // line does not visit every element open on it, which for deep nesting
    // took the depth times the number of lines.
    //
    // Backgrounds and bottom borders take a rectangle a line: the decorated
    // elements this line's inked fragments lie in get a share of the line,
    // each fragment adding its rectangle to the nearest of them alone, and
    // each hands what it holds to the next decorated one up, from the deepest
    // up. Elements are found through the line's number kept in their layout
    // data, not searched for.
    thread_local std::vector<LineShare> shares;
    shares.clear();
    thread_local uint32_t lineNumber = 0;
    ++lineNumber;
    auto share = [&](Element* p) -> LineShare& {
      LayoutData& pl = p->EnsureLayoutData();
      if (pl.decorLine != lineNumber) {
        pl.decorLine = lineNumber;
        pl.decorIndex = static_cast<uint32_t>(shares.size());
        shares.push_back(LineShare{p});
      }
      return shares[pl.decorIndex];
    };
    for (uint32_t k = 0; k < line_.size(); ++k) {
      Fragment& f = line_[k];
      f.x += lineLeft_ + shift;
      if (f.kind == FragKind::kMarker) {
        f.y = baseline - sa;
        f.h = hasInk ? sa + sd : 0;
        f.w = 0;
      } else {
        f.y = baseline - f.ascent;
      }
      ld_.frags.push_back(f);
      if (f.kind == FragKind::kEllipsis) continue;
      Element* p = f.kind == FragKind::kText ? f.node->Parent() : f.node;
      int fy = f.kind == FragKind::kText ? f.y : std::min(f.y, baseline - sa);
      int fh = f.kind == FragKind::kText ? f.h : std::max(f.h, sa + sd);
      if (f.kind == FragKind::kMarker) {
        Widen(p, f.x, f.y, f.x, f.y + f.h);
        continue;
      }
      if (f.kind == FragKind::kAtomic) {
        // The image or control itself: its own box, without its margins; its
        // parents get the line's height around it.
        const Style& as = *StyleOf(p);
        const int top = f.y + as.margin[0], h = f.h - as.margin[0] - as.margin[2];
        Widen(p, f.x, top, f.x + f.w, top + h);
        if (IsDecorated(as)) {
          LineShare& own = share(p);
          own.own = true;
          own.Add(f.x, top, f.w, h, k);
        }
        p = p->Parent();
      }
      if (!p || p == box_) continue;
      Widen(p, f.x, fy, f.x + f.w, fy + fh);
      Element* d = IsDecorated(*StyleOf(p)) ? p : p->Layout()->decorParent;
      if (!d) continue;
      share(d).Add(f.x, fy, f.w, fh, k);
      for (Element* q = d->Layout()->decorParent; q; q = q->Layout()->decorParent) {
        if (q->Layout()->decorLine == lineNumber) break;  // and so are those above it
        share(q);
      }
    }
    // Deepest first: document order reversed hands each element's share to
    // the next decorated element up before that one's is read.
    thread_local std::vector<uint32_t> byOrder;
    byOrder.resize(shares.size());
    for (uint32_t i = 0; i < byOrder.size(); ++i) byOrder[i] = i;
    std::sort(byOrder.begin(), byOrder.end(),
              [](uint32_t a, uint32_t b) { return shares[a].element->Order() > shares[b].element->Order(); });
    const size_t decorBefore = ld_.decor.size();
    for (uint32_t i : byOrder) {
      const LineShare& sh = shares[i];
      Element* p = sh.element;
      if (sh.firstInk != LineShare::kNone) ld_.decor.push_back({p, sh.inkL, sh.inkY, sh.inkR - sh.inkL, sh.inkH});
      Element* up = p->Layout()->decorParent;
      if (!sh.own && up) shares[up->Layout()->decorIndex].Merge(sh);
    }
    // Painted outer first: an element's background lies under its children's.
    std::reverse(ld_.decor.begin() + decorBefore, ld_.decor.end());
    LineBox lb;
    lb.top = y_;
    lb.height = lineH;
    lb.first = first;
    lb.count = static_cast<uint32_t>(ld_.frags.size()) - first;
    ld_.lines.push_back(lb);
    y_ += lineH;
    line_.clear();
    space_ = false;
    StartLine();
  }

  static bool IsDecorated(const Style& s) { return s.hasBackground || s.border[2].width; }

  // An element's box, relative to the flow's, takes in a rectangle.
  void Widen(Element* el, int l, int t, int r, int b) {
    LayoutData& ld = *el->Layout();
    if (!ld.laidOut) {
      ld.laidOut = true;
      ld.parentBox = box_;
    } else {
      l = std::min(l, ld.x), t = std::min(t, ld.y);
      r = std::max(r, ld.x + ld.w), b = std::max(b, ld.y + ld.h);
    }
    ld.x = l;
    ld.y = t;
    ld.w = r - l;
    ld.h = b - t;
  }

  Element* box_;
  LayoutData& ld_;
  const Style& cs_;
  int left_, width_, y_;
  FloatContext* floats_;
  int fx_, fy_;
  int lineLeft_ = 0, lineRight_ = 0;
  int x_ = 0;
  bool space_ = false, ink_ = false, lastCjk_ = false;
  std::vector<Fragment> line_;
  Element* decorOpen_ = nullptr;  // the innermost decorated element being added
  std::vector<Element*> opened_;  // the inline elements added, in document order
};

// ---------------------------------------------------------------- intrinsic widths

struct Measure {
  int minW = 0, maxW = 0, line = 0, unbreak = 0;
  bool space = false;
  void Break() {
    maxW = std::max(maxW, line);
    line = 0;
    unbreak = 0;
    space = false;
  }
};

struct TableGrid {
  std::vector<Element*> rows;
  std::vector<std::vector<std::pair<Element*, int>>> cells;  // cell and its column span
  int cols = 0;
  std::vector<int> colMin, colMax, colPx, colPct;
  int spacing = 2;
};

namespace {

void CollectRows(Element* table, TableGrid& g) {
  for (size_t i = 0; i < table->ChildCount(); ++i) {
    Element* c = table->Child(i);
    const Style* s = StyleOf(c);
    if (!c->IsElement() || !s || s->display == Display::kNone) continue;
    if (c->Is(L"tr")) {
      g.rows.push_back(c);
    } else if (c->Is(L"tbody") || c->Is(L"thead") || c->Is(L"tfoot")) {
      for (size_t k = 0; k < c->ChildCount(); ++k) {
        Element* r = c->Child(k);
        const Style* rs = StyleOf(r);
        if (r->Is(L"tr") && rs && rs->display != Display::kNone) g.rows.push_back(r);
      }
    }
  }
  for (Element* r : g.rows) {
    std::vector<std::pair<Element*, int>> row;
    int n = 0;
    for (size_t k = 0; k < r->ChildCount(); ++k) {
      Element* c = r->Child(k);
      const Style* cs = StyleOf(c);
      if (!(c->Is(L"td") || c->Is(L"th")) || !cs || cs->display == Display::kNone) continue;
      int span = std::max(1, std::min(_wtoi(c->GetAttribute(L"colspan").c_str()), 1000));
      row.emplace_back(c, span);
      n += span;
    }
    g.cols = std::max(g.cols, n);
    g.cells.push_back(std::move(row));
  }
}

}  // namespace

void LayoutEngine::MinMaxTable(Element* table, int& minW, int& maxW) {
  TableGrid g;
  CollectRows(table, g);
  const Style& ts = *table->ComputedStyle();
  const std::wstring* sp = table->FindAttribute(L"cellspacing");
  g.spacing = ts.collapse ? 0 : sp && !sp->empty() ? std::max(0, _wtoi(sp->c_str())) : 2;
  g.colMin.assign(g.cols, 0);
  g.colMax.assign(g.cols, 0);
  int extra = g.spacing * (g.cols + 1) + ts.border[1].width + ts.border[3].width;
  for (auto& row : g.cells) {
    int col = 0;
    for (auto& cell : row) {
      int mn, mx;
      MinMax(cell.first, mn, mx);
      if (cell.second == 1) {
        g.colMin[col] = std::max(g.colMin[col], mn);
        g.colMax[col] = std::max(g.colMax[col], mx);
      }
      col += cell.second;
    }
  }
  minW = extra;
  maxW = extra;
  for (int c = 0; c < g.cols; ++c) {
    minW += g.colMin[c];
    maxW += std::max(g.colMin[c], g.colMax[c]);
  }
  if (ts.width.unit == Length::kPx) minW = maxW = std::max(minW, ts.width.value);
}

void LayoutEngine::MinMax(Element* el, int& minW, int& maxW) {
  LayoutData& ld = el->EnsureLayoutData();
  if (ld.minMaxValid) {
    minW = ld.minW;
    maxW = ld.maxW;
    return;
  }
  const Style& s = *el->ComputedStyle();
  if (s.display == Display::kTable) {
    MinMaxTable(el, minW, maxW);
  } else if (s.width.unit == Length::kPx) {
    minW = maxW = s.width.value;
  } else {
    Measure m;
    MeasureChildren(el, m);
    m.Break();
    int pad = s.BoxLeft() + s.BoxRight();
    // A box that cuts its text off with an ellipsis takes the width it is
    // given: its text asks for none, or a long line would widen a table
    // past its fixed columns.
    minW = (s.clip && s.ellipsis ? 0 : m.minW) + pad;
    maxW = std::max(m.maxW, m.minW) + pad;
  }
  ld.minW = minW;
  ld.maxW = maxW;
  ld.minMaxValid = true;
}

void LayoutEngine::MeasureChildren(Element* el, Measure& m) {
  for (size_t i = 0; i < el->ChildCount(); ++i) {
    Element* c = el->Child(i);
    const Style* s = StyleOf(c);
    if (!s || s->display == Display::kNone) continue;
    if (c->IsText()) {
      const Style* ps = StyleOf(el);
      FontInfo* f = ps->font;
      const std::wstring& t = c->Text();
      bool wrap = ps->whiteSpace == WhiteSpace::kNormal;
      size_t k = 0;
      while (k < t.size()) {
        if (IsSpace(t[k]) && ps->whiteSpace != WhiteSpace::kPre) {
          m.space = true;
          ++k;
          continue;
        }
        if (t[k] == L'\n') {
          m.Break();
          ++k;
          continue;
        }
        size_t b = k;
        // In preformatted text a blank is a character of the line, measured like any other.
        if (IsBreakAnywhere(t[k]) || IsSpace(t[k])) {
          ++k;
        } else {
          while (k < t.size() && !IsSpace(t[k]) && !IsBreakAnywhere(t[k])) ++k;
        }
        int w = f->TextWidth(&t[b], k - b);
        int gap = m.space && m.line > 0 ? f->CharWidth(L' ') : 0;
        m.line += gap + w;
        if (!wrap) {
          m.unbreak += gap + w;
        } else if (gap || IsBreakAnywhere(t[b]) || m.unbreak == 0) {
          m.unbreak = w;
        } else {
          m.unbreak += w;
        }
        m.minW = std::max(m.minW, m.unbreak);
        m.space = false;
      }
    } else if (!c->IsElement()) {
      continue;
    } else if (c->Is(L"br")) {
      m.Break();
    } else if (IsAtomic(c)) {
      int w, h;
      AtomicSize(c, 0, &w, &h);
      w += s->margin[1] + s->margin[3];
      m.line += w;
      m.unbreak = StyleOf(el)->whiteSpace == WhiteSpace::kNormal ? w : m.unbreak + w;
      m.minW = std::max(m.minW, m.unbreak);
      m.space = false;
    } else if (IsBoxLevel(c, *s)) {
      m.Break();
      int mn, mx;
      MinMax(c, mn, mx);
      int mar = s->margin[1] + s->margin[3];
      m.minW = std::max(m.minW, mn + mar);
      m.maxW = std::max(m.maxW, mx + mar);
    } else {
      MeasureChildren(c, m);
    }
  }
}

// ---------------------------------------------------------------- blocks and tables

namespace {

// A box's place relative to the box it is laid out in; its height comes later.
LayoutData& PlaceBox(Element* el, Element* parentBox, int x, int y, int width) {
  LayoutData& ld = el->EnsureLayoutData();
  ld.parentBox = parentBox;
  ld.isBox = true;
  ld.laidOut = true;
  ld.x = x;
  ld.y = y;
  ld.w = std::max(0, width);
  return ld;
}

}  // namespace

void LayoutEngine::LayoutBox(Element* el, Element* parentBox, int x, int y, int width, int cbHeight,
                             FloatContext* floats, int fx, int fy) {
  const Style& s = *el->ComputedStyle();
  LayoutData& ld = PlaceBox(el, parentBox, x, y, width);
  int cw = std::max(0, ld.w - s.BoxLeft() - s.BoxRight());
  bool root = el->Is(L"body") || el->Is(L"html");
  bool newContext = !floats || s.clip || s.floatRight || s.display == Display::kCell || root;
  FloatContext local;
  FloatContext* fc = newContext ? &local : floats;
  int nfx = newContext ? 0 : fx + x;
  int nfy = newContext ? 0 : fy + y;
  int specified = -1;
  if (s.height.unit == Length::kPx) specified = s.height.value;
  if (s.height.unit == Length::kPercent && cbHeight >= 0) specified = cbHeight * s.height.value / 100;
  if (root && specified < 0 && cbHeight >= 0) specified = cbHeight;
  int innerCb = specified >= 0 ? std::max(0, specified - s.BoxTop() - s.BoxBottom()) : -1;
  int end = LayoutChildren(el, s.BoxLeft(), s.BoxTop(), cw, innerCb, fc, nfx, nfy);
  if (newContext) end = std::max(end, local.Bottom());
  int autoH = end + s.BoxBottom();
  // A box that would scroll its own content grows instead, so that the page's
  // scroll bar reaches all of it; only overflow:hidden cuts content off.
  bool cut = s.clip && !s.scrolls;
  ld.h = specified >= 0 ? (cut ? specified : std::max(specified, root ? 0 : autoH)) : autoH;
  int right = ld.w;
  for (const Fragment& f : ld.frags) right = std::max(right, f.x + f.w + s.BoxRight());
  for (Element* b : ld.boxes) right = std::max(right, b->Layout()->x + b->Layout()->w);
  ld.scrollW = right;
  ld.scrollH = std::max(autoH, ld.h);
}

int LayoutEngine::LayoutChildren(Element* el, int cx, int cy, int cw, int cbHeight, FloatContext* fc, int fx,
                                 int fy) {
  LayoutData& ld = *el->Layout();
  int y = cy;
  int prevMargin = 0;
  std::optional<InlineBuilder> ib;
  for (size_t i = 0; i < el->ChildCount(); ++i) {
    Element* c = el->Child(i);
    const Style* cs = StyleOf(c);
    if (!cs || cs->display == Display::kNone || c->Kind() == NodeKind::kComment) continue;
    if (!IsBoxLevel(c, *cs)) {
      if (!ib) ib.emplace(el, cx, cw, y, fc, fx, fy);
      ib->AddNode(c);
      continue;
    }
    size_t linesBefore = ld.lines.size();
    bool hadInline = ib.has_value();
    if (ib) {
      y = ib->Finish();
      ib.reset();
      prevMargin = 0;
    }
    const Style& s = *cs;
    int ml = s.margin[3], mr = s.margin[1];
    if (s.floatRight) {
      int w;
      if (!s.width.IsAuto()) {
        w = s.width.Resolve(cw);
      } else {
        int mn, mx;
        MinMax(c, mn, mx);
        w = std::max(mn, std::min(mx, cw - ml - mr));
      }
      // A float met within a line goes up beside that line when it fits there.
      int top = y;
      if (hadInline && !ld.lines.empty() && ld.lines.size() >= linesBefore) {
        const LineBox& last = ld.lines.back();
        int used = cx;
        for (uint32_t k = last.first; k < last.first + last.count; ++k) {
          used = std::max(used, ld.frags[k].x + ld.frags[k].w);
        }
        int limit = fc->RightLimit(fy + last.top, fy + last.top + last.height, fx + cx + cw) - fx;
        if (used + ml + w + mr <= limit) top = last.top;
      }
      int right = fc->RightLimit(fy + top, fy + top + 1, fx + cx + cw) - fx;
      LayoutBox(c, el, right - mr - w, top + s.margin[0], w, -1, nullptr, 0, 0);
      LayoutData& cl = *c->Layout();
      fc->rights.push_back({fx + cl.x - ml, fy + top, fy + cl.y + cl.h + s.margin[2]});
      ld.boxes.push_back(c);
      continue;
    }
    y += std::max(0, s.margin[0] - prevMargin);
    if (s.display == Display::kTable) {
      LayoutTable(c, el, cx + ml, y, cw - ml - mr, cbHeight);
      LayoutData& cl = *c->Layout();
      if (s.boxAlign == Align::kCenter) cl.x += std::max(0, (cw - ml - mr - cl.w) / 2);
      if (s.boxAlign == Align::kRight) cl.x += std::max(0, cw - ml - mr - cl.w);
    } else {
      int w = s.width.IsAuto() ? cw - ml - mr : s.width.Resolve(cw);
      LayoutBox(c, el, cx + ml, y, w, cbHeight, fc, fx, fy);
    }
    ld.boxes.push_back(c);
    LayoutData& cl = *c->Layout();
    y = cl.y + cl.h + s.margin[2];
    prevMargin = s.margin[2];
  }
  if (ib) y = ib->Finish();
  return y;
}

void LayoutEngine::LayoutTable(Element* table, Element* parentBox, int x, int y, int avail, int cbHeight) {
  const Style& ts = *table->ComputedStyle();
  LayoutData& tl = table->EnsureLayoutData();
  TableGrid g;
  CollectRows(table, g);
  const std::wstring* sp = table->FindAttribute(L"cellspacing");
  g.spacing = ts.collapse ? 0 : sp && !sp->empty() ? std::max(0, _wtoi(sp->c_str())) : 2;
  const int n = g.cols;
  g.colMin.assign(n, 0);
  g.colMax.assign(n, 0);
  g.colPx.assign(n, 0);
  g.colPct.assign(n, 0);
  for (auto& row : g.cells) {
    int col = 0;
    for (auto& cell : row) {
      int mn, mx;
      MinMax(cell.first, mn, mx);
      const Style& cs = *cell.first->ComputedStyle();
      if (cell.second == 1) {
        g.colMin[col] = std::max(g.colMin[col], mn);
        g.colMax[col] = std::max(g.colMax[col], mx);
        if (cs.width.unit == Length::kPx) g.colPx[col] = std::max(g.colPx[col], cs.width.value);
        if (cs.width.unit == Length::kPercent) g.colPct[col] = std::max(g.colPct[col], cs.width.value);
      } else {
        int have = 0;
        for (int k = col; k < col + cell.second && k < n; ++k) have += g.colMin[k];
        int spanSpace = g.spacing * (cell.second - 1);
        if (mn > have + spanSpace) {
          int add = (mn - have - spanSpace) / cell.second + 1;
          for (int k = col; k < col + cell.second && k < n; ++k) g.colMin[k] += add;
        }
      }
      col += cell.second;
    }
  }
  int bl = ts.border[3].width, br = ts.border[1].width, bt = ts.border[0].width, bb = ts.border[2].width;
  int extra = g.spacing * (n + 1) + bl + br;
  int sumMin = 0, sumMax = 0, sumPct = 0;
  for (int c = 0; c < n; ++c) {
    sumMin += g.colMin[c];
    sumMax += std::max(g.colMin[c], std::max(g.colMax[c], g.colPx[c]));
    sumPct += g.colPct[c];
  }
  int W;
  if (!ts.width.IsAuto()) {
    W = ts.width.Resolve(avail);
  } else if (sumPct > 0) {
    W = avail;
  } else {
    W = std::min(avail, sumMax + extra);
  }
  W = std::max(W, sumMin + extra);
  int A = W - extra;
  std::vector<int> w(n);
  int total = 0;
  for (int c = 0; c < n; ++c) {
    if (g.colPct[c]) w[c] = std::max(g.colMin[c], A * g.colPct[c] / 100);
    else if (g.colPx[c]) w[c] = std::max(g.colMin[c], g.colPx[c]);
    else w[c] = std::max(g.colMin[c], g.colMax[c]);
    total += w[c];
  }
  auto kind = [&](int c) { return g.colPct[c] ? 1 : g.colPx[c] ? 2 : 0; };
  if (total > A) {
    for (int stage = 0; stage < 3 && total > A; ++stage) {
      int slack = 0;
      for (int c = 0; c < n; ++c) {
        if (kind(c) == stage) slack += w[c] - g.colMin[c];
      }
      if (slack <= 0) continue;
      int cut = std::min(total - A, slack);
      int done = 0;
      for (int c = 0; c < n; ++c) {
        if (kind(c) != stage) continue;
        int d = static_cast<int>(static_cast<int64_t>(w[c] - g.colMin[c]) * cut / slack);
        w[c] -= d;
        done += d;
      }
      for (int c = n - 1; c >= 0 && done < cut; --c) {
        if (kind(c) == stage && w[c] > g.colMin[c]) {
          --w[c];
          ++done;
          c = std::min(c + 1, n);
        }
      }
      total -= done;
    }
  } else if (total < A && n > 0) {
    int grow = A - total;
    int target = sumPct ? 1 : 0;
    int weight = 0, count = 0;
    for (int c = 0; c < n; ++c) {
      if (kind(c) == target) {
        weight += w[c];
        ++count;
      }
    }
    if (!count) {
      target = -1;
      for (int c = 0; c < n; ++c) weight += w[c];
      count = n;
    }
    int done = 0;
    int last = -1;
    for (int c = 0; c < n; ++c) {
      if (target >= 0 && kind(c) != target) continue;
      int d = weight > 0 ? static_cast<int>(static_cast<int64_t>(w[c]) * grow / weight) : grow / count;
      w[c] += d;
      done += d;
      last = c;
    }
    if (last >= 0) w[last] += grow - done;
  }
  // Rows.
  W = extra;
  for (int c = 0; c < n; ++c) W += w[c];
  PlaceBox(table, parentBox, x, y, W);
  std::vector<int> colX(n + 1);
  colX[0] = bl + g.spacing;
  for (int c = 0; c < n; ++c) colX[c + 1] = colX[c] + w[c] + g.spacing;
  int ry = bt + g.spacing;
  std::vector<int> heights;
  for (size_t r = 0; r < g.rows.size(); ++r) {
    Element* row = g.rows[r];
    LayoutData& rl = PlaceBox(row, table, bl, ry, W - bl - br);
    tl.boxes.push_back(row);
    const Style& rs = *row->ComputedStyle();
    int rowH = rs.height.unit == Length::kPx ? rs.height.value : 0;
    int col = 0;
    for (auto& cell : g.cells[r]) {
      int c0 = std::min(col, n), c1 = std::min(col + cell.second, n);
      int cellW = c1 > c0 ? colX[c1] - colX[c0] - g.spacing : 0;
      LayoutBox(cell.first, row, colX[c0] - bl, 0, cellW, -1, nullptr, 0, 0);
      const Style& cs = *cell.first->ComputedStyle();
      int h = cell.first->Layout()->h;
      if (cs.height.unit == Length::kPx) h = std::max(h, cs.height.value);
      rowH = std::max(rowH, h);
      rl.boxes.push_back(cell.first);
      col += cell.second;
    }
    rl.h = rowH;
    heights.push_back(rowH);
    ry += rowH + g.spacing;
  }
  int autoH = ry + bb;
  int specified = ts.height.unit == Length::kPx ? ts.height.value
                  : ts.height.unit == Length::kPercent && cbHeight >= 0 ? cbHeight * ts.height.value / 100 : -1;
  if (specified > autoH && !g.rows.empty()) {
    int grow = specified - autoH;
    size_t target = g.rows.size() - 1;
    for (size_t r = 0; r < g.rows.size(); ++r) {
      if (g.rows[r]->ComputedStyle()->height.unit == Length::kPercent) target = r;
    }
    heights[target] += grow;
    g.rows[target]->Layout()->h += grow;
    for (size_t r = target + 1; r < g.rows.size(); ++r) g.rows[r]->Layout()->y += grow;
    autoH = specified;
  }
  tl.h = autoH;
  tl.scrollW = tl.w;
  tl.scrollH = tl.h;
  // Cells take the row's height; their content is aligned within it.
  for (size_t r = 0; r < g.rows.size(); ++r) {
    for (auto& cell : g.cells[r]) {
      LayoutData& cl = *cell.first->Layout();
      int content = cl.h;
      cl.h = heights[r];
      VAlign va = cell.first->ComputedStyle()->verticalAlign;
      if (va == VAlign::kMiddle || va == VAlign::kAbsMiddle) cl.shiftY = (cl.h - content) / 2;
      if (va == VAlign::kBottom) cl.shiftY = cl.h - content;
    }
  }
  // Row groups get the union of their rows (for offsets only).
  for (size_t i = 0; i < table->ChildCount(); ++i) {
    Element* grp = table->Child(i);
    if (!(grp->Is(L"tbody") || grp->Is(L"thead") || grp->Is(L"tfoot"))) continue;
    LayoutData& gl = grp->EnsureLayoutData();
    bool any = false;
    for (size_t k = 0; k < grp->ChildCount(); ++k) {
      LayoutData* rl = grp->Child(k)->Layout();
      if (!rl || !rl->laidOut || rl->parentBox != table) continue;
      if (!any) {
        gl.x = rl->x;
        gl.y = rl->y;
        gl.w = rl->w;
        gl.h = 0;
      }
      gl.h = rl->y + rl->h - gl.y;
      any = true;
    }
    gl.laidOut = any;
    gl.parentBox = table;
  }
}

// ---------------------------------------------------------------- the pass

namespace {

void ResetTree(Element* el, uint32_t& order) {
  el->SetOrder(order++);
  if (LayoutData* ld = el->Layout()) ld->Reset();
  for (size_t i = 0; i < el->ChildCount(); ++i) ResetTree(el->Child(i), order);
  if (el->IsElement()) el->EnsureLayoutData().holdsBlock = FindBlockInChildren(el);
}

}  // namespace

void LayoutEngine::Run(int viewportWidth, int viewportHeight) {
  viewW_ = viewportWidth;
  viewH_ = viewportHeight;
  // Styles follow from the markup alone: a pass for a new viewport keeps them.
  if (!styled_ || styledGeneration_ != doc_->Generation()) {
    ComputeStyles(doc_);
    styled_ = true;
    styledGeneration_ = doc_->Generation();
  }
  uint32_t order = 0;
  ResetTree(doc_->Root(), order);
  Element* html = doc_->Root();
  LayoutBox(html, nullptr, 0, 0, viewportWidth, viewportHeight, nullptr, 0, 0);
  LayoutData& hl = *html->Layout();
  contentW_ = std::max(viewportWidth, hl.scrollW);
  int bottom = hl.h;
  Element* body = doc_->Body();
  if (body && body->Layout()) {
    LayoutData& bl = *body->Layout();
    const Style& bs = *body->ComputedStyle();
    contentW_ = std::max(contentW_, bl.x + bl.scrollW + bs.margin[1]);
    bottom = std::max(bottom, bl.y + bl.scrollH + bs.margin[2]);
  }
  contentH_ = std::max(bottom, 0);
  flat_.clear();
  Flatten(html, hl.x, hl.y);
  std::sort(flat_.begin(), flat_.end(), [](const FlatFrag& a, const FlatFrag& b) {
    uint32_t oa = a.frag->node->Order(), ob = b.frag->node->Order();
    return oa != ob ? oa < ob : a.frag->start < b.frag->start;
  });
}

void LayoutEngine::Flatten(Element* box, int ax, int ay) {
  LayoutData& ld = *box->Layout();
  int oy = ay + ld.shiftY;
  for (const Fragment& f : ld.frags) {
    if (f.kind == FragKind::kText) flat_.push_back({&f, ax + f.x, oy + f.y});
  }
  for (Element* c : ld.boxes) {
    LayoutData& cl = *c->Layout();
    Flatten(c, ax + cl.x, oy + cl.y);
  }
}

POINT LayoutEngine::AbsoluteOrigin(const Element* element) {
  POINT p = {0, 0};
  const LayoutData* ld = element->Layout();
  if (!ld || !ld->laidOut) return p;
  p.x = ld->x;
  p.y = ld->y;
  for (const Element* b = ld->parentBox; b; b = b->Layout()->parentBox) {
    const LayoutData* bl = b->Layout();
    p.x += bl->x;
    p.y += bl->y + bl->shiftY;
  }
  return p;
}

uint32_t LayoutEngine::OffsetAtX(const FlatFrag& f, int x) {
  const wchar_t* t = f.frag->node->Text().c_str() + f.frag->start;
  int pos = f.x;
  for (uint32_t i = 0; i < f.frag->length; ++i) {
    int w = f.frag->font->CharWidth(t[i]);
    if (x < pos + w / 2) return f.frag->start + i;
    pos += w;
  }
  return f.frag->start + f.frag->length;
}

int LayoutEngine::XOfOffset(const FlatFrag& f, uint32_t offset) {
  offset = std::max(offset, f.frag->start);
  offset = std::min(offset, f.frag->start + f.frag->length);
  return f.x + f.frag->font->TextWidth(f.frag->node->Text().c_str() + f.frag->start, offset - f.frag->start);
}

// ---------------------------------------------------------------- paint

namespace {

void Fill(HDC dc, int x, int y, int w, int h, COLORREF c) {
  if (w <= 0 || h <= 0) return;
  RECT r = {x, y, x + w, y + h};
  SetDCBrushColor(dc, c);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void PaintBorders(HDC dc, const Style& s, int x, int y, int w, int h) {
  const auto& b = s.border;
  if (b[0].width) Fill(dc, x, y, w, b[0].width, b[0].color);
  if (b[2].width) Fill(dc, x, y + h - b[2].width, w, b[2].width, b[2].color);
  if (b[3].width) Fill(dc, x, y, b[3].width, h, b[3].color);
  if (b[1].width) Fill(dc, x + w - b[1].width, y, b[1].width, h, b[1].color);
}

struct TextPainter {
  HDC dc;
  HGDIOBJ font = nullptr;
  COLORREF color = CLR_INVALID;
  void Draw(int x, int y, const wchar_t* text, uint32_t n, FontInfo* f, COLORREF c, bool selected) {
    if (f->font != font) {
      SelectObject(dc, f->font);
      font = f->font;
    }
    COLORREF want = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : c;
    if (want != color) {
      SetTextColor(dc, want);
      color = want;
    }
    if (selected) {
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      SetBkMode(dc, OPAQUE);
    }
    ExtTextOutW(dc, x, y, 0, nullptr, text, n, nullptr);
    if (selected) SetBkMode(dc, TRANSPARENT);
  }
};

// A form control that has no window of its own (a copy of the page laid out
// for print preview) drawn as its window shows it: a sunken box with its text,
// a push button, a check box or a radio button.
void PaintControl(HDC dc, TextPainter& tp, Element* el, int x, int y, int w, int h) {
  const Style& s = *el->ComputedStyle();
  FontInfo* f = s.font;
  std::wstring type = el->GetAttribute(L"type");
  ToLowerAscii(type);
  RECT r = {x, y, x + w, y + h};
  const bool input = el->Is(L"input");
  if (input && (type == L"checkbox" || type == L"radio")) {
    UINT state = (type == L"radio" ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (el->Checked() ? DFCS_CHECKED : 0);
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    return;
  }
  const bool button = el->Is(L"button") || (input && (type == L"button" || type == L"submit" || type == L"reset"));
  std::wstring text;
  RECT inner = r;
  if (button) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    text = el->Is(L"button") ? el->InnerText() : el->Value();
  } else {
    Fill(dc, x, y, w, h, RGB(255, 255, 255));
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    InflateRect(&inner, -3, -3);
    if (el->Is(L"select")) {
      std::vector<Element*> options = el->Options();
      int i = el->SelectedIndex();
      if (i >= 0 && i < static_cast<int>(options.size())) text = Trim(options[i]->InnerText());
      RECT arrow = {x + w - 2 - GetSystemMetrics(SM_CXVSCROLL), y + 2, x + w - 2, y + h - 2};
      DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
      inner.right = arrow.left;
    } else {
      text = el->Value();
    }
  }
  if (text.empty() || inner.right <= inner.left || inner.bottom <= inner.top) return;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  if (button) {
    const int tw = f->TextWidth(text.c_str(), text.size());
    tp.Draw(x + (w - tw) / 2, y + (h - f->height) / 2, text.c_str(), static_cast<uint32_t>(text.size()), f, s.color,
            false);
  } else {
    // Lines as an edit control breaks them: at line feeds (a text area's).
    int ly = inner.top;
    for (size_t b = 0; b <= text.size() && ly < inner.bottom; ly += f->height) {
      size_t e = text.find(L'\n', b);
      if (e == std::wstring::npos) e = text.size();
      size_t n = e - b;
      if (n && text[b + n - 1] == L'\r') --n;
      if (n) tp.Draw(inner.left, ly, text.c_str() + b, static_cast<uint32_t>(n), f, s.color, false);
      b = e + 1;
    }
  }
  RestoreDC(dc, saved);
  tp.font = nullptr;  // the DC's selection went back with RestoreDC
  tp.color = CLR_INVALID;
}

}  // namespace

void LayoutEngine::Paint(HDC dc, const RECT& clip, int scrollX, int scrollY) {
  int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_TOP | TA_LEFT);
  Element* html = doc_->Root();
  if (html->Layout() && html->Layout()->laidOut) PaintBox(dc, html, -scrollX, -scrollY, clip);
  RestoreDC(dc, saved);
}

void LayoutEngine::PaintBox(HDC dc, Element* el, int ax, int ay, const RECT& clip) {
  LayoutData& ld = *el->Layout();
  const Style& s = *el->ComputedStyle();
  bool visible = !s.hidden;
  if (visible && s.hasBackground) Fill(dc, ax, ay, ld.w, ld.h, s.background);
  if (visible) PaintBorders(dc, s, ax, ay, ld.w, ld.h);
  int saved = 0;
  if (s.clip) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, ax + s.border[3].width, ay + s.border[0].width, ax + ld.w - s.border[1].width,
                      ay + ld.h - s.border[2].width);
  }
  int oy = ay + ld.shiftY;
  for (const DecorRect& d : ld.decor) {
    const Style& ds = *d.element->ComputedStyle();
    if (ds.hasBackground) Fill(dc, ax + d.x, oy + d.y, d.w, d.h, ds.background);
    if (ds.border[2].width) Fill(dc, ax + d.x, oy + d.y + d.h - ds.border[2].width, d.w, ds.border[2].width,
                                 ds.border[2].color);
  }
  if (!ld.lines.empty()) {
    TextPosition selStart = doc_->SelectionStart(), selEnd = doc_->SelectionEnd();
    bool hasSel = doc_->HasSelection();
    TextPainter tp{dc};
    // Lines are in vertical order: skip those above the clip quickly (fragments
    // may stand out of their line by a little: superscripts, images).
    auto first = std::lower_bound(ld.lines.begin(), ld.lines.end(), clip.top - oy,
                                  [](const LineBox& l, int top) { return l.top + l.height < top - 64; });
    for (auto line = first; line != ld.lines.end(); ++line) {
      if (oy + line->top > clip.bottom + 64) break;
      for (uint32_t k = line->first; k < line->first + line->count; ++k) {
        const Fragment& f = ld.frags[k];
        int fx = ax + f.x, fy = oy + f.y;
        // Only what meets the clip is drawn: the cursor-translation hook
        // repaints a one-pixel strip and takes every run drawn as lying on it.
        if (fy >= clip.bottom || fy + f.h <= clip.top) continue;
        if (f.kind == FragKind::kText) {
          const Style* ps = f.node->Parent()->ComputedStyle();
          if (ps->hidden) continue;
          const wchar_t* t = f.node->Text().c_str();
          uint32_t a = f.start, b = f.start + f.length;
          uint32_t sa = b, sb = b;
          if (hasSel) {
            uint32_t o = f.node->Order();
            if (o >= selStart.node->Order() && o <= selEnd.node->Order()) {
              sa = o == selStart.node->Order() ? std::max(a, std::min(b, selStart.offset)) : a;
              sb = o == selEnd.node->Order() ? std::max(sa, std::min(b, selEnd.offset)) : b;
            }
          }
          if (sa >= sb) {
            tp.Draw(fx, fy, t + a, b - a, f.font, ps->color, false);
          } else {
            int x1 = fx + f.font->TextWidth(t + a, sa - a);
            int x2 = x1 + f.font->TextWidth(t + sa, sb - sa);
            if (sa > a) tp.Draw(fx, fy, t + a, sa - a, f.font, ps->color, false);
            tp.Draw(x1, fy, t + sa, sb - sa, f.font, ps->color, true);
            if (b > sb) tp.Draw(x2, fy, t + sb, b - sb, f.font, ps->color, false);
          }
        } else if (f.kind == FragKind::kEllipsis) {
          tp.Draw(fx, fy, kEllipsis, 3, f.font, s.color, false);
        } else if (f.kind == FragKind::kAtomic && f.node->IsFormControl() && !f.node->ControlWindow()) {
          const Style& cs = *f.node->ComputedStyle();
          if (!cs.hidden) PaintControl(dc, tp, f.node, fx, fy + cs.margin[0], f.w, f.h - cs.margin[0] - cs.margin[2]);
        } else if (f.kind == FragKind::kAtomic && f.node->Is(L"img")) {
          const Style& is = *f.node->ComputedStyle();
          int top = fy + is.margin[0];
          int ih = f.h - is.margin[0] - is.margin[2];
          PaintBorders(dc, is, fx, top, f.w, ih);
          const ImageEntry* img = GetImage(doc_->ResolveUrl(f.node->GetAttribute(L"src")));
          if (img) {
            DrawImage(dc, *img, fx + is.border[3].width, top + is.border[0].width,
                      f.w - is.border[1].width - is.border[3].width, ih - is.border[0].width - is.border[2].width);
          }
        }
      }
    }
  }
  for (Element* c : ld.boxes) {
    LayoutData& cl = *c->Layout();
    int cx = ax + cl.x, cy = oy + cl.y;
    if (cy > clip.bottom || cy + std::max(cl.h, cl.scrollH) < clip.top) {
      if (!c->ComputedStyle()->floatRight) continue;
    }
    PaintBox(dc, c, cx, cy, clip);
  }
  if (saved) RestoreDC(dc, saved);
}

Element* LayoutEngine::HitBox(int x, int y) {
  Element* html = doc_->Root();
  if (!html->Layout() || !html->Layout()->laidOut) return nullptr;
  return HitIn(html, html->Layout()->x, html->Layout()->y, x, y);
}

Element* LayoutEngine::HitIn(Element* box, int ax, int ay, int x, int y) {
  LayoutData& ld = *box->Layout();
  const Style& s = *box->ComputedStyle();
  bool inside = x >= ax && x < ax + ld.w && y >= ay && y < ay + ld.h;
  if (!inside && s.clip) return nullptr;
  int oy = ay + ld.shiftY;
  for (auto it = ld.boxes.rbegin(); it != ld.boxes.rend(); ++it) {
    LayoutData& cl = *(*it)->Layout();
    if (Element* hit = HitIn(*it, ax + cl.x, oy + cl.y, x, y)) return hit;
  }
  for (const Fragment& f : ld.frags) {
    if (f.kind == FragKind::kMarker || f.kind == FragKind::kEllipsis) continue;
    int fx = ax + f.x, fy = oy + f.y;
    if (x >= fx && x < fx + f.w && y >= fy && y < fy + f.h) {
      return f.kind == FragKind::kText ? f.node->Parent() : f.node;
    }
  }
  return inside ? box : nullptr;
}

}  // namespace htmlview
