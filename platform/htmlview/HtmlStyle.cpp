// The style cascade: tag defaults, presentational attributes, style sheet
// rules (tag, class and id selectors, compound and descendant) and inline
// styles, for the subset of CSS the program's pages use.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

void ReplaceMarker(std::wstring& s);

namespace {

struct Compound {
  std::wstring tag, id;
  std::vector<std::wstring> classes;
  bool link = false;  // :link and :visited
};

struct Rule {
  std::vector<Compound> parts;  // descendant chain, last part is the subject
  int specificity = 0;
  int order = 0;
  std::vector<std::pair<std::wstring, std::wstring>> decls;
};

bool HasClass(const std::wstring& classes, const std::wstring& name) {
  size_t i = 0;
  while (i < classes.size()) {
    while (i < classes.size() && IsSpace(classes[i])) ++i;
    size_t b = i;
    while (i < classes.size() && !IsSpace(classes[i])) ++i;
    if (i > b && classes.compare(b, i - b, name) == 0) return true;
  }
  return false;
}

bool MatchCompound(const Compound& c, const Element* el) {
  if (!c.tag.empty() && c.tag != L"*" && el->Tag() != c.tag) return false;
  if (!c.id.empty() && el->Id() != c.id) return false;
  if (c.link && !el->HasAttribute(L"href")) return false;
  if (!c.classes.empty()) {
    const std::wstring* cls = el->FindAttribute(L"class");
    if (!cls) return false;
    for (const auto& name : c.classes) {
      if (!HasClass(*cls, name)) return false;
    }
  }
  return true;
}

bool MatchRule(const Rule& r, const Element* el) {
  if (!MatchCompound(r.parts.back(), el)) return false;
  const Element* p = el->Parent();
  for (int k = static_cast<int>(r.parts.size()) - 2; k >= 0; --k) {
    while (p && !MatchCompound(r.parts[k], p)) p = p->Parent();
    if (!p) return false;
    p = p->Parent();
  }
  return true;
}

bool ParseSelector(const std::wstring& text, Rule& rule) {
  std::wstring t = Trim(text);
  if (t.empty()) return false;
  size_t i = 0;
  while (i < t.size()) {
    while (i < t.size() && (IsSpace(t[i]) || t[i] == L'>')) ++i;
    if (i >= t.size()) break;
    Compound c;
    while (i < t.size() && !IsSpace(t[i]) && t[i] != L'>') {
      wchar_t k = t[i];
      size_t b = ++i;
      if (k != L'.' && k != L'#' && k != L':') b = i - 1;
      while (i < t.size() && (iswalnum(t[i]) || t[i] == L'-' || t[i] == L'_' || t[i] == L'*')) ++i;
      std::wstring name = t.substr(b, i - b);
      if (k == L'.') {
        c.classes.push_back(name);
        rule.specificity += 100;
      } else if (k == L'#') {
        c.id = name;
        rule.specificity += 10000;
      } else if (k == L':') {
        ToLowerAscii(name);
        if (name != L"link" && name != L"visited") return false;  // no dynamic states
        c.link = true;
        rule.specificity += 100;
      } else if (name.empty()) {
        return false;
      } else {
        ToLowerAscii(name);
        c.tag = name;
        rule.specificity += 1;
      }
    }
    rule.parts.push_back(std::move(c));
  }
  return !rule.parts.empty();
}

void ParseSheet(const std::wstring& css, std::vector<Rule>& rules) {
  size_t i = 0;
  while (i < css.size()) {
    size_t open = css.find(L'{', i);
    if (open == std::wstring::npos) break;
    size_t close = css.find(L'}', open);
    if (close == std::wstring::npos) close = css.size();
    std::wstring selectors = css.substr(i, open - i);
    // Comments and the old hiding of sheets in comment markers.
    for (;;) {
      size_t c = selectors.find(L"/*");
      if (c == std::wstring::npos) break;
      size_t e = selectors.find(L"*/", c + 2);
      selectors.erase(c, e == std::wstring::npos ? std::wstring::npos : e + 2 - c);
    }
    ReplaceMarker(selectors);
    auto decls = ParseDeclarations(css.substr(open + 1, close - open - 1));
    size_t s = 0;
    while (s <= selectors.size()) {
      size_t comma = selectors.find(L',', s);
      if (comma == std::wstring::npos) comma = selectors.size();
      Rule rule;
      if (selectors[s] != L'@' && ParseSelector(selectors.substr(s, comma - s), rule)) {
        rule.order = static_cast<int>(rules.size());
        rule.decls = decls;
        rules.push_back(std::move(rule));
      }
      s = comma + 1;
    }
    i = close + 1;
  }
}

bool ParseNumber(const std::wstring& v, size_t& i, double& out) {
  size_t b = i;
  if (i < v.size() && (v[i] == L'-' || v[i] == L'+')) ++i;
  while (i < v.size() && (iswdigit(v[i]) || v[i] == L'.')) ++i;
  if (i == b) return false;
  out = wcstod(v.substr(b, i - b).c_str(), nullptr);
  return true;
}

// A length in px; percentages resolve against base (units: px, pt, em, none).
bool ParseLength(const std::wstring& text, int fontPx, Length* out) {
  std::wstring v = Trim(text);
  ToLowerAscii(v);
  if (v == L"auto" || v.empty()) {
    *out = Length();
    return true;
  }
  size_t i = 0;
  double n;
  if (!ParseNumber(v, i, n)) return false;
  std::wstring unit = v.substr(i);
  Length l;
  l.unit = Length::kPx;
  if (unit == L"%") {
    l.unit = Length::kPercent;
    l.value = static_cast<int>(n);
  } else if (unit == L"pt") {
    l.value = static_cast<int>(n * 96 / 72 + 0.5);
  } else if (unit == L"em") {
    l.value = static_cast<int>(n * fontPx + 0.5);
  } else if (unit.empty() || unit == L"px") {
    l.value = static_cast<int>(n + (n < 0 ? -0.5 : 0.5));
  } else {
    return false;
  }
  *out = l;
  return true;
}

int LengthPx(const std::wstring& text, int fontPx) {
  Length l;
  if (!ParseLength(text, fontPx, &l) || l.unit != Length::kPx) return 0;
  return l.value;
}

std::vector<std::wstring> SplitValues(const std::wstring& v) {
  std::vector<std::wstring> parts;
  size_t i = 0;
  while (i < v.size()) {
    while (i < v.size() && IsSpace(v[i])) ++i;
    size_t b = i;
    int depth = 0;
    while (i < v.size() && (depth > 0 || !IsSpace(v[i]))) {
      if (v[i] == L'(') ++depth;
      if (v[i] == L')') --depth;
      ++i;
    }
    if (i > b) parts.push_back(v.substr(b, i - b));
  }
  return parts;
}

void ApplyEdges(std::array<int, 4>& edges, const std::wstring& value, int fontPx) {
  auto parts = SplitValues(value);
  int v[4] = {0, 0, 0, 0};
  size_t n = std::min<size_t>(parts.size(), 4);
  for (size_t k = 0; k < n; ++k) v[k] = std::max(0, LengthPx(parts[k], fontPx));
  switch (n) {
    case 1: edges = {v[0], v[0], v[0], v[0]}; break;
    case 2: edges = {v[0], v[1], v[0], v[1]}; break;
    case 3: edges = {v[0], v[1], v[2], v[1]}; break;
    case 4: edges = {v[0], v[1], v[2], v[3]}; break;
    default: break;
  }
}

void ApplyBorder(Style& s, int side, const std::wstring& value) {
  BorderSide b;
  bool none = false;
  b.color = s.color;
  int width = 2;  // "medium" when only a style is given
  for (const auto& part : SplitValues(value)) {
    std::wstring p = part;
    ToLowerAscii(p);
    COLORREF c;
    Length l;
    if (p == L"none" || p == L"hidden") {
      none = true;
    } else if (p == L"solid" || p == L"dotted" || p == L"dashed" || p == L"double" || p == L"groove" ||
               p == L"ridge" || p == L"inset" || p == L"outset") {
    } else if (p == L"thin") {
      width = 1;
    } else if (p == L"medium") {
      width = 3;
    } else if (p == L"thick") {
      width = 5;
    } else if (iswdigit(p[0]) || p[0] == L'.') {
      if (ParseLength(p, s.fontPx, &l)) width = l.value;
    } else if (ParseColor(part, &c)) {
      b.color = c;
    }
  }
  b.width = none ? 0 : std::max(0, width);
  for (int k = 0; k < 4; ++k) {
    if (side < 0 || side == k) s.border[k] = b;
  }
}

int FontSizeKeyword(const std::wstring& v, int parentPx) {
  static const struct {
    const wchar_t* name;
    int px;
  } kSizes[] = {{L"xx-small", 9}, {L"x-small", 10}, {L"small", 13}, {L"medium", 16},
                {L"large", 18},   {L"x-large", 24}, {L"xx-large", 32}};
  for (const auto& k : kSizes) {
    if (v == k.name) return k.px;
  }
  if (v == L"smaller") return parentPx * 5 / 6;
  if (v == L"larger") return parentPx * 6 / 5;
  return 0;
}

void ApplyDeclaration(Style& s, const Style& parent, const std::wstring& name, const std::wstring& rawValue) {
  std::wstring value = rawValue;
  std::wstring v = value;
  ToLowerAscii(v);
  COLORREF c;
  Length l;
  if (name == L"color") {
    if (ParseColor(value, &c)) s.color = c;
  } else if (name == L"background-color" || name == L"background") {
    if (v == L"transparent" || v == L"none") {
      s.hasBackground = false;
      return;
    }
    for (const auto& part : SplitValues(value)) {
      if (ParseColor(part, &c)) {
        s.background = c;
        s.hasBackground = true;
      }
    }
  } else if (name == L"font-family") {
    size_t comma = value.find(L',');
    std::wstring f = Trim(value.substr(0, comma));
    if (f.size() >= 2 && (f[0] == L'"' || f[0] == L'\'')) f = f.substr(1, f.size() - 2);
    if (!f.empty()) s.family = f;
  } else if (name == L"font-size") {
    int px = FontSizeKeyword(v, parent.fontPx);
    if (!px && ParseLength(v, parent.fontPx, &l)) px = l.Resolve(parent.fontPx);
    if (px > 0) s.fontPx = std::min(px, 400);
  } else if (name == L"font-weight") {
    s.bold = v == L"bold" || v == L"bolder" || _wtoi(v.c_str()) >= 600;
  } else if (name == L"font-style") {
    s.italic = v == L"italic" || v == L"oblique";
  } else if (name == L"text-decoration") {
    s.underline = v.find(L"underline") != std::wstring::npos;
    s.strike = v.find(L"line-through") != std::wstring::npos;
  } else if (name == L"padding") {
    ApplyEdges(s.padding, v, s.fontPx);
  } else if (name == L"margin") {
    ApplyEdges(s.margin, v, s.fontPx);
  } else if (name.compare(0, 8, L"padding-") == 0 || name.compare(0, 7, L"margin-") == 0) {
    bool pad = name[0] == L'p';
    std::wstring side = name.substr(pad ? 8 : 7);
    int k = side == L"top" ? 0 : side == L"right" ? 1 : side == L"bottom" ? 2 : side == L"left" ? 3 : -1;
    if (k >= 0) (pad ? s.padding : s.margin)[k] = std::max(0, LengthPx(v, s.fontPx));
  } else if (name == L"border") {
    ApplyBorder(s, -1, value);
  } else if (name.compare(0, 7, L"border-") == 0) {
    std::wstring side = name.substr(7);
    int k = side == L"top" ? 0 : side == L"right" ? 1 : side == L"bottom" ? 2 : side == L"left" ? 3 : -1;
    if (k >= 0) {
      ApplyBorder(s, k, value);
    } else if (side == L"color") {
      if (ParseColor(value, &c)) {
        for (auto& b : s.border) b.color = c;
      }
    } else if (side == L"width") {
      std::array<int, 4> w{};
      ApplyEdges(w, v, s.fontPx);
      for (int e = 0; e < 4; ++e) s.border[e].width = w[e];
    } else if (side == L"style") {
      if (v == L"none" || v == L"hidden") {
        for (auto& b : s.border) b.width = 0;
      }
    } else if (side == L"collapse") {
      s.collapse = v == L"collapse";
    }
  } else if (name == L"width" || name == L"height") {
    if (ParseLength(v, s.fontPx, &l)) (name[0] == L'w' ? s.width : s.height) = l;
  } else if (name == L"display") {
    if (v == L"none") s.display = Display::kNone;
    else if (v == L"block" || v == L"list-item") s.display = Display::kBlock;
    else if (v == L"inline" || v == L"inline-block") s.display = Display::kInline;
    else if (v == L"table") s.display = Display::kTable;
    else if (v == L"table-row") s.display = Display::kRow;
    else if (v == L"table-cell") s.display = Display::kCell;
    // "" (the pages' way of showing an element again) keeps the tag's default
  } else if (name == L"float") {
    s.floatRight = v == L"right";
  } else if (name == L"overflow" || name == L"overflow-x" || name == L"overflow-y") {
    s.clip = v == L"hidden" || v == L"auto" || v == L"scroll";
    s.scrolls = v == L"auto" || v == L"scroll";
  } else if (name == L"text-overflow") {
    s.ellipsis = v == L"ellipsis";
  } else if (name == L"line-height") {
    size_t i = 0;
    double n;
    if (v == L"normal") {
      s.lineHeight = 0;
    } else if (ParseNumber(v, i, n) && i == v.size()) {
      s.lineHeight = static_cast<int>(n * s.fontPx + 0.5);
    } else if (ParseLength(v, s.fontPx, &l)) {
      s.lineHeight = l.Resolve(s.fontPx);
    }
  } else if (name == L"white-space") {
    s.whiteSpace = v == L"nowrap" ? WhiteSpace::kNoWrap : v == L"pre" ? WhiteSpace::kPre : WhiteSpace::kNormal;
  } else if (name == L"text-align") {
    s.textAlign = v == L"center" ? Align::kCenter : v == L"right" ? Align::kRight : Align::kLeft;
  } else if (name == L"direction") {
    s.rtl = v == L"rtl";
  } else if (name == L"vertical-align") {
    s.verticalAlign = v == L"top" ? VAlign::kTop : v == L"middle" ? VAlign::kMiddle
                    : v == L"bottom" ? VAlign::kBottom : v == L"super" ? VAlign::kSuper
                    : v == L"sub" ? VAlign::kSub : VAlign::kBaseline;
  } else if (name == L"visibility") {
    s.hidden = v == L"hidden";
  }
}

// Each element's tag is looked up once in these tables rather than compared
// with every name: on a page of tens of thousands of elements the comparisons
// cost more than the rest of the cascade.
Display DefaultDisplay(const std::wstring& tag) {
  static const std::unordered_map<std::wstring, Display> kDisplays = [] {
    std::unordered_map<std::wstring, Display> m;
    for (const wchar_t* t : {L"html", L"body", L"div", L"p", L"ul", L"ol", L"li", L"h1", L"h2", L"h3", L"h4", L"h5",
                             L"h6", L"form", L"center", L"hr", L"pre", L"blockquote", L"dl", L"dt", L"dd",
                             L"address", L"fieldset", L"caption"})
      m[t] = Display::kBlock;
    m[L"table"] = Display::kTable;
    m[L"tr"] = Display::kRow;
    m[L"td"] = m[L"th"] = Display::kCell;
    m[L"tbody"] = m[L"thead"] = m[L"tfoot"] = Display::kRowGroup;
    for (const wchar_t* t : {L"head", L"style", L"script", L"title", L"meta", L"link", L"option", L"base",
                             L"optgroup", L"col"})
      m[t] = Display::kNone;
    return m;
  }();
  auto it = kDisplays.find(tag);
  return it == kDisplays.end() ? Display::kInline : it->second;
}

// The tags that ApplyTagDefaults gives more than their display.
bool HasMoreDefaults(const std::wstring& tag) {
  static const std::unordered_set<std::wstring> kTags = {
      L"b",  L"strong", L"th", L"i",  L"em", L"cite", L"address", L"u",    L"ins", L"s",   L"strike",
      L"del", L"center", L"td", L"a", L"body", L"p",   L"ul",      L"ol",   L"dl",  L"blockquote",
      L"dd", L"h1",     L"h2", L"h3", L"h4", L"h5",   L"h6",      L"sup",  L"sub", L"pre", L"code",
      L"tt", L"kbd",    L"hr", L"table", L"input"};
  return kTags.count(tag) != 0;
}

Align ParseAlign(const std::wstring& text) {
  std::wstring v = text;
  ToLowerAscii(v);
  return v == L"center" || v == L"middle" ? Align::kCenter : v == L"right" ? Align::kRight : Align::kLeft;
}

void ApplyTagDefaults(Style& s, const Element* el) {
  const std::wstring& t = el->Tag();
  s.display = DefaultDisplay(t);
  if (!HasMoreDefaults(t)) return;
  // Form fields and cells, a page's most numerous elements, have one default each.
  if (t == L"input") {
    if (EqualsNoCase(el->GetAttribute(L"type"), L"hidden")) s.display = Display::kNone;
    return;
  }
  if (t == L"td") {
    s.verticalAlign = VAlign::kMiddle;
    return;
  }
  if (t == L"b" || t == L"strong" || t == L"th") s.bold = true;
  if (t == L"i" || t == L"em" || t == L"cite" || t == L"address") s.italic = true;
  if (t == L"u" || t == L"ins") s.underline = true;
  if (t == L"s" || t == L"strike" || t == L"del") s.strike = true;
  if (t == L"th") s.textAlign = Align::kCenter;
  if (t == L"center") s.textAlign = Align::kCenter;
  if (t == L"td" || t == L"th") s.verticalAlign = VAlign::kMiddle;
  if (t == L"a" && el->HasAttribute(L"href")) {
    s.color = RGB(0, 0, 255);
    s.underline = true;
  }
  if (t == L"body") s.margin = {8, 8, 8, 8};
  if (t == L"p" || t == L"ul" || t == L"ol" || t == L"dl" || t == L"blockquote") s.margin = {s.fontPx, 0, s.fontPx, 0};
  if (t == L"ul" || t == L"ol") s.padding[3] = 40;
  if (t == L"blockquote") s.margin[1] = s.margin[3] = 40;
  if (t == L"dd") s.margin[3] = 40;
  if (t.size() == 2 && t[0] == L'h' && t[1] >= L'1' && t[1] <= L'6') {
    static const int kPx[] = {32, 24, 19, 16, 13, 11};
    s.fontPx = kPx[t[1] - L'1'];
    s.bold = true;
    s.margin = {s.fontPx * 2 / 3, 0, s.fontPx * 2 / 3, 0};
  }
  if (t == L"sup" || t == L"sub") {
    s.verticalAlign = t == L"sup" ? VAlign::kSuper : VAlign::kSub;
    s.fontPx = std::max(8, s.fontPx * 5 / 6);
  }
  if (t == L"pre" || t == L"code" || t == L"tt" || t == L"kbd") s.family = L"Courier New";
  if (t == L"pre") s.whiteSpace = WhiteSpace::kPre;
  if (t == L"hr") {
    s.margin = {8, 0, 8, 0};
    ApplyBorder(s, -1, L"1px solid #a0a0a0");
  }
  if (t == L"table") s.textAlign = Align::kLeft;
}

// table: the nearest table element above el, or null.
void ApplyAttributes(Style& s, const Element* el, const Element* table) {
  const std::wstring& t = el->Tag();
  const std::wstring* a;
  COLORREF c;
  Length l;
  if ((a = el->FindAttribute(L"align"))) {
    Align al = ParseAlign(*a);
    if (t == L"table" || t == L"img") {
      s.boxAlign = al;
      if (t == L"img") {
        std::wstring v = *a;
        ToLowerAscii(v);
        if (v == L"absmiddle" || v == L"middle") s.verticalAlign = VAlign::kAbsMiddle;
        else if (v == L"top" || v == L"texttop") s.verticalAlign = VAlign::kTop;
        else if (v == L"right") s.floatRight = true;
      }
    } else {
      s.textAlign = al;
    }
  }
  if ((a = el->FindAttribute(L"valign"))) {
    std::wstring v = *a;
    ToLowerAscii(v);
    s.verticalAlign = v == L"top" ? VAlign::kTop : v == L"bottom" ? VAlign::kBottom
                    : v == L"baseline" ? VAlign::kBaseline : VAlign::kMiddle;
  }
  if ((a = el->FindAttribute(L"bgcolor")) && ParseColor(*a, &c)) {
    s.background = c;
    s.hasBackground = true;
  }
  if (t != L"input" && t != L"select" && t != L"textarea") {
    if ((a = el->FindAttribute(L"width")) && !a->empty() && ParseLength(*a, s.fontPx, &l)) s.width = l;
    if ((a = el->FindAttribute(L"height")) && !a->empty() && ParseLength(*a, s.fontPx, &l)) s.height = l;
  }
  if (el->HasAttribute(L"nowrap")) s.whiteSpace = WhiteSpace::kNoWrap;
  if ((a = el->FindAttribute(L"dir"))) {
    s.rtl = EqualsNoCase(*a, L"rtl");
    if (s.rtl) s.textAlign = Align::kRight;
  }
  if (t == L"font") {
    if ((a = el->FindAttribute(L"color")) && ParseColor(*a, &c)) s.color = c;
    if ((a = el->FindAttribute(L"face")) && !a->empty()) s.family = Trim(a->substr(0, a->find(L',')));
    if ((a = el->FindAttribute(L"size")) && !a->empty()) {
      static const int kPx[] = {10, 13, 16, 18, 24, 32, 48};
      int n = _wtoi(a->c_str());
      if ((*a)[0] == L'+' || (*a)[0] == L'-') n += 3;
      s.fontPx = kPx[std::min(6, std::max(0, n - 1))];
    }
  }
  if (t == L"img" || t == L"table") {
    if ((a = el->FindAttribute(L"border")) && !a->empty()) {
      int w = _wtoi(a->c_str());
      if (t == L"table" && a->empty()) w = 1;
      COLORREF bc = t == L"img" ? s.color : RGB(128, 128, 128);
      const std::wstring* bcol = el->FindAttribute(L"bordercolor");
      if (bcol) ParseColor(*bcol, &bc);
      for (auto& b : s.border) b = {std::max(0, w), bc};
    }
    if (t == L"img") {
      int h = _wtoi(el->GetAttribute(L"hspace").c_str());
      int v = _wtoi(el->GetAttribute(L"vspace").c_str());
      s.margin = {v, h, v, h};
    }
  }
  if (t == L"td" || t == L"th") {
    if (table) {
      const std::wstring* pad = table->FindAttribute(L"cellpadding");
      int p = pad && !pad->empty() ? std::max(0, _wtoi(pad->c_str())) : 1;
      s.padding = {p, p, p, p};
      const std::wstring* border = table->FindAttribute(L"border");
      if (border && _wtoi(border->c_str()) > 0) {
        COLORREF bc = RGB(128, 128, 128);
        const std::wstring* bcol = table->FindAttribute(L"bordercolor");
        if (bcol) ParseColor(*bcol, &bc);
        for (auto& b : s.border) b = {1, bc};
      }
    }
  }
}

}  // namespace

void ReplaceMarker(std::wstring& s) {
  for (const wchar_t* m : {L"<!--", L"-->"}) {
    size_t p;
    while ((p = s.find(m)) != std::wstring::npos) s.erase(p, wcslen(m));
  }
}

std::vector<std::pair<std::wstring, std::wstring>> ParseDeclarations(const std::wstring& text) {
  std::vector<std::pair<std::wstring, std::wstring>> out;
  size_t i = 0;
  while (i < text.size()) {
    size_t semi = text.find(L';', i);
    if (semi == std::wstring::npos) semi = text.size();
    size_t colon = text.find(L':', i);
    if (colon != std::wstring::npos && colon < semi) {
      std::wstring name = Trim(text.substr(i, colon - i));
      std::wstring value = Trim(text.substr(colon + 1, semi - colon - 1));
      size_t imp = value.find(L"!important");
      if (imp != std::wstring::npos) value = Trim(value.substr(0, imp));
      ToLowerAscii(name);
      if (!name.empty()) out.emplace_back(std::move(name), std::move(value));
    }
    i = semi + 1;
  }
  return out;
}

bool ParseColor(const std::wstring& text, COLORREF* out) {
  std::wstring v = Trim(text);
  ToLowerAscii(v);
  if (v.empty()) return false;
  static const struct {
    const wchar_t* name;
    COLORREF rgb;
  } kNames[] = {
      {L"black", RGB(0, 0, 0)},         {L"white", RGB(255, 255, 255)},   {L"red", RGB(255, 0, 0)},
      {L"green", RGB(0, 128, 0)},       {L"blue", RGB(0, 0, 255)},        {L"yellow", RGB(255, 255, 0)},
      {L"gray", RGB(128, 128, 128)},    {L"grey", RGB(128, 128, 128)},    {L"silver", RGB(192, 192, 192)},
      {L"maroon", RGB(128, 0, 0)},      {L"navy", RGB(0, 0, 128)},        {L"purple", RGB(128, 0, 128)},
      {L"olive", RGB(128, 128, 0)},     {L"teal", RGB(0, 128, 128)},      {L"lime", RGB(0, 255, 0)},
      {L"aqua", RGB(0, 255, 255)},      {L"fuchsia", RGB(255, 0, 255)},   {L"orange", RGB(255, 165, 0)},
      {L"darkblue", RGB(0, 0, 139)},    {L"darkred", RGB(139, 0, 0)},     {L"brown", RGB(165, 42, 42)},
      {L"lightgrey", RGB(211, 211, 211)}, {L"darkgray", RGB(169, 169, 169)},
  };
  for (const auto& n : kNames) {
    if (v == n.name) {
      *out = n.rgb;
      return true;
    }
  }
  if (v.compare(0, 4, L"rgb(") == 0) {
    int r = 0, g = 0, b = 0;
    if (swscanf(v.c_str() + 4, L"%d , %d , %d", &r, &g, &b) != 3) return false;
    *out = RGB(std::min(255, std::max(0, r)), std::min(255, std::max(0, g)), std::min(255, std::max(0, b)));
    return true;
  }
  size_t start = v[0] == L'#' ? 1 : 0;
  size_t len = v.size() - start;
  if (len != 3 && len != 6) return false;
  uint32_t value = 0;
  for (size_t i = start; i < v.size(); ++i) {
    wchar_t ch = v[i];
    int d = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
    if (d < 0) return false;
    value = value * 16 + d;
  }
  if (len == 3) {
    uint32_t r = (value >> 8) & 15, g = (value >> 4) & 15, b = value & 15;
    value = (r * 17) << 16 | (g * 17) << 8 | (b * 17);
  }
  *out = RGB((value >> 16) & 255, (value >> 8) & 255, value & 255);
  return true;
}

namespace {

struct Cascade {
  std::vector<Rule> rules;

  // table: the nearest table element above el, handed down rather than
  // looked for from each cell up (a cell outside any table walked to the root).
  void Compute(Element* el, const Style& parent, const Element* table) {
    auto s = std::make_unique<Style>();
    // Inherited properties.
    s->color = parent.color;
    s->fontPx = parent.fontPx;
    s->family = parent.family;
    s->bold = parent.bold;
    s->italic = parent.italic;
    s->underline = parent.underline;
    s->strike = parent.strike;
    s->lineHeight = parent.lineHeight;
    s->whiteSpace = parent.whiteSpace;
    s->textAlign = parent.textAlign;
    s->rtl = parent.rtl;
    s->hidden = parent.hidden;
    s->collapse = parent.collapse && (el->Is(L"tr") || el->Is(L"td") || el->Is(L"th") || el->Is(L"tbody"));
    if (el->IsElement()) {
      ApplyTagDefaults(*s, el);
      ApplyAttributes(*s, el, table);
      thread_local std::vector<const Rule*> matched;
      matched.clear();
      for (const Rule& r : rules) {
        if (MatchRule(r, el)) matched.push_back(&r);
      }
      std::stable_sort(matched.begin(), matched.end(), [](const Rule* a, const Rule* b) {
        return a->specificity != b->specificity ? a->specificity < b->specificity : a->order < b->order;
      });
      for (const Rule* r : matched) {
        for (const auto& d : r->decls) ApplyDeclaration(*s, parent, d.first, d.second);
      }
      for (const auto& d : el->InlineStyle()) ApplyDeclaration(*s, parent, d.first, d.second);
      if (s->display != Display::kNone && el->Parent() && el->Parent()->Is(L"select")) s->display = Display::kNone;
      // Most elements keep their parent's font: found without a look-up.
      const bool sameFont = parent.font && s->fontPx == parent.fontPx && s->bold == parent.bold &&
                            s->italic == parent.italic && s->underline == parent.underline &&
                            s->strike == parent.strike && s->family == parent.family;
      s->font = sameFont ? parent.font : GetFont(s->family, s->fontPx, s->bold, s->italic, s->underline, s->strike);
    } else {
      s->display = el->IsText() ? Display::kInline : Display::kNone;
      s->font = parent.font;
    }
    Style* own = s.get();
    el->SetComputedStyle(std::move(s));
    if (own->display == Display::kNone) {
      // Hidden subtrees keep no styles of their own: nothing lays them out.
      return;
    }
    const Element* childTable = el->Is(L"table") ? el : table;
    for (size_t i = 0; i < el->ChildCount(); ++i) Compute(el->Child(i), *own, childTable);
  }
};

void CollectSheets(Element* el, std::vector<std::wstring>& sheets) {
  if (el->Is(L"style")) {
    std::wstring css;
    for (size_t i = 0; i < el->ChildCount(); ++i) {
      if (el->Child(i)->IsText()) css += el->Child(i)->Text();
    }
    sheets.push_back(std::move(css));
    return;
  }
  for (size_t i = 0; i < el->ChildCount(); ++i) {
    if (el->Child(i)->IsElement()) CollectSheets(el->Child(i), sheets);
  }
}

// The page's sheets as one text. A sheet that comes again later adds nothing
// the later copy does not set again after it, so only the last copy is kept:
// every element is matched against every rule, and a page that repeats its
// sheet would otherwise cost the square of its size.
std::wstring JoinSheets(const std::vector<std::wstring>& sheets) {
  std::unordered_map<std::wstring, size_t> last;
  for (size_t i = 0; i < sheets.size(); ++i) last[sheets[i]] = i;
  std::wstring css;
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (last[sheets[i]] != i) continue;
    css += sheets[i];
    css += L"\n";
  }
  return css;
}

}  // namespace

void ComputeStyles(Document* doc) {
  Cascade cascade;
  std::vector<std::wstring> sheets;
  CollectSheets(doc->Root(), sheets);
  ParseSheet(JoinSheets(sheets), cascade.rules);
  Style root;
  root.font = GetFont(root.family, root.fontPx, false, false, false, false);
  cascade.Compute(doc->Root(), root, nullptr);
}

}  // namespace htmlview
