#include "platform/htmlview/HtmlDom.h"

#include <algorithm>
#include <climits>
#include <cwctype>

#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

void ParseDocumentInto(Document* doc, const std::wstring& html);

namespace {

// "backgroundColor" and "background-color" name the same property.
std::wstring CssName(const std::wstring& property) {
  std::wstring out;
  for (wchar_t c : property) {
    if (c >= 'A' && c <= 'Z') {
      out.push_back(L'-');
      out.push_back(c + 32);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool IsPreformatted(const Element* textNode) {
  const Element* p = textNode->Parent();
  const Style* s = p ? p->ComputedStyle() : nullptr;
  return s && s->whiteSpace == WhiteSpace::kPre;
}

void AppendCollapsed(std::wstring& out, const std::wstring& text, size_t from, size_t to, bool pre) {
  if (pre) {
    for (size_t i = from; i < to; ++i) {
      if (text[i] == L'\n' && (out.empty() || out.back() != L'\r')) out += L"\r\n";
      else if (text[i] != L'\r') out.push_back(text[i]);
    }
    return;
  }
  for (size_t i = from; i < to; ++i) {
    wchar_t c = text[i];
    if (IsSpace(c)) {
      if (!out.empty() && out.back() != L' ' && out.back() != L'\n' && out.back() != L'\t') out.push_back(L' ');
    } else {
      out.push_back(c == 0xA0 ? L' ' : c);
    }
  }
}

void EndLine(std::wstring& out) {
  while (!out.empty() && out.back() == L' ') out.pop_back();
  if (!out.empty() && out.back() != L'\n') out += L"\r\n";
}

// Text of the rendered nodes between two positions, with line breaks for
// blocks and rows and tabs between table cells.
struct TextCollector {
  TextPosition start, end;
  std::wstring out;
  bool all = false;

  void Walk(const Element* n) {
    const Style* s = n->ComputedStyle();
    if (!s || s->display == Display::kNone) return;
    if (n->IsText()) {
      uint32_t o = n->Order();
      if (!all && (o < start.node->Order() || o > end.node->Order())) return;
      size_t from = !all && n == start.node ? start.offset : 0;
      size_t to = !all && n == end.node ? end.offset : n->Text().size();
      if (from < to) AppendCollapsed(out, n->Text(), from, std::min(to, n->Text().size()), IsPreformatted(n));
      return;
    }
    if (!n->IsElement()) return;
    if (!all && n->Order() > end.node->Order()) return;
    bool block = s->IsBlockLevel() && s->display != Display::kCell;
    if (n->Is(L"br") && (all || n->Order() > start.node->Order())) {
      EndLine(out);
      if (out.empty()) out += L"\r\n";
      return;
    }
    if (block && !out.empty()) EndLine(out);
    if (s->display == Display::kCell && !out.empty() && out.back() != L'\n') out.push_back(L'\t');
    for (size_t i = 0; i < n->ChildCount(); ++i) Walk(n->Child(i));
    if (block && !out.empty()) EndLine(out);
  }

  std::wstring Result() {
    while (!out.empty() && (out.back() == L' ' || out.back() == L'\n' || out.back() == L'\r' || out.back() == L'\t')) {
      out.pop_back();
    }
    size_t b = 0;
    while (b < out.size() && (out[b] == L'\r' || out[b] == L'\n' || out[b] == L' ')) ++b;
    return out.substr(b);
  }
};

bool PositionLess(const TextPosition& a, const TextPosition& b) {
  if (a.node->Order() != b.node->Order()) return a.node->Order() < b.node->Order();
  return a.offset < b.offset;
}

void CollectTextNodes(Element* el, std::vector<Element*>& out) {
  const Style* s = el->ComputedStyle();
  if (!s || s->display == Display::kNone) return;
  if (el->IsText()) {
    out.push_back(el);
    return;
  }
  for (size_t i = 0; i < el->ChildCount(); ++i) CollectTextNodes(el->Child(i), out);
}

}  // namespace

// ---------------------------------------------------------------- Element

Element::Element(Document* doc, NodeKind kind, std::wstring tagOrText)
    : doc_(doc), kind_(kind), text_(std::move(tagOrText)) {}

Element::~Element() {
  // Children first: their windows and selection ends go before the parent's.
  children_.clear();
  if (hwnd_ && !(doc_ && doc_->Site() && doc_->Site()->KeepControlWindow(hwnd_))) DestroyWindow(hwnd_);
  if (doc_) doc_->OnElementDestroyed(this);
}

int Element::IndexInParent() const {
  if (!parent_) return -1;
  for (size_t i = 0; i < parent_->children_.size(); ++i) {
    if (parent_->children_[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

int Element::Depth() const {
  int d = 0;
  for (const Element* p = parent_; p; p = p->parent_) ++d;
  return d;
}

const std::wstring* Element::FindAttribute(const wchar_t* name) const {
  for (const auto& a : attrs_) {
    if (EqualsNoCase(a.first, name)) return &a.second;
  }
  return nullptr;
}

std::wstring Element::GetAttribute(const wchar_t* name) const {
  const std::wstring* v = FindAttribute(name);
  return v ? *v : std::wstring();
}

void Element::AddParsedAttribute(std::wstring name, std::wstring value) {
  if (FindAttribute(name.c_str())) return;  // the first of duplicates counts
  if (name == L"checked") checked_ = true;
  if (name == L"selected") selected_ = true;
  attrs_.emplace_back(std::move(name), std::move(value));
  if (attrs_.back().first == L"style") ParseInlineStyle();
}

void Element::SetAttribute(const std::wstring& rawName, const std::wstring& value) {
  std::wstring name = rawName;
  ToLowerAscii(name);
  if (name == L"classname") name = L"class";
  bool found = false;
  for (auto& a : attrs_) {
    if (a.first == name) {
      a.second = value;
      found = true;
      break;
    }
  }
  if (!found) attrs_.emplace_back(name, value);
  if (name == L"style") ParseInlineStyle();
  if (name == L"checked") SetChecked(true);
  if (name == L"disabled" && hwnd_) EnableWindow(hwnd_, FALSE);
  // The markup's value shows until the user or a script changed the field.
  if (name == L"value" && hwnd_ && !valueSet_ && (IsTextInput() || Is(L"textarea"))) SetWindowTextW(hwnd_, value.c_str());
  if (doc_) doc_->Invalidate();
}

void Element::RemoveAttribute(const wchar_t* name) {
  for (size_t i = 0; i < attrs_.size(); ++i) {
    if (EqualsNoCase(attrs_[i].first, name)) {
      bool style = attrs_[i].first == L"style";
      if (attrs_[i].first == L"disabled" && hwnd_) EnableWindow(hwnd_, TRUE);
      attrs_.erase(attrs_.begin() + i);
      if (style) inlineStyle_.clear();
      if (doc_) doc_->Invalidate();
      return;
    }
  }
}

void Element::ParseInlineStyle() { inlineStyle_ = ParseDeclarations(GetAttribute(L"style")); }

void Element::WriteInlineStyle() {
  std::wstring text;
  for (const auto& d : inlineStyle_) {
    if (!text.empty()) text += L"; ";
    text += d.first;
    text += L": ";
    text += d.second;
  }
  for (auto& a : attrs_) {
    if (a.first == L"style") {
      a.second = text;
      return;
    }
  }
  attrs_.emplace_back(L"style", text);
}

std::wstring Element::GetStyle(const std::wstring& property) const {
  std::wstring name = CssName(property);
  for (const auto& d : inlineStyle_) {
    if (d.first == name) return d.second;
  }
  return std::wstring();
}

void Element::SetStyle(const std::wstring& property, const std::wstring& value) {
  std::wstring name = CssName(property);
  auto it = std::find_if(inlineStyle_.begin(), inlineStyle_.end(), [&](const auto& d) { return d.first == name; });
  if (value.empty()) {
    if (it != inlineStyle_.end()) inlineStyle_.erase(it);
  } else if (it != inlineStyle_.end()) {
    it->second = value;
  } else {
    inlineStyle_.emplace_back(name, value);
  }
  WriteInlineStyle();
  if (doc_) doc_->Invalidate();
}

void Element::SetStyleColor(const std::wstring& property, uint32_t rgb) {
  wchar_t text[8];
  swprintf(text, 8, L"#%06x", rgb & 0xFFFFFF);
  SetStyle(property, text);
}

std::wstring Element::InnerHtml() const {
  std::wstring out;
  SerializeNode(out, this, false);
  return out;
}

std::wstring Element::OuterHtml() const {
  std::wstring out;
  SerializeNode(out, this, true);
  return out;
}

bool Element::SetInnerHtml(const std::wstring& html) {
  if (!IsElement()) return false;
  RemoveAllChildren();
  ParseFragment(this, html);
  if (doc_) doc_->Invalidate();
  return true;
}

std::wstring Element::InnerText() const {
  std::wstring out;
  for (const auto& c : children_) {
    if (c->IsText()) out += c->Text();
    else if (c->Is(L"br")) out += L"\r\n";
    else if (c->IsElement() && !c->Is(L"style") && !c->Is(L"script")) out += c->InnerText();
  }
  return out;
}

void Element::SetInnerText(const std::wstring& text) {
  if (!IsElement()) return;
  RemoveAllChildren();
  if (!text.empty()) AppendChild(std::make_unique<Element>(doc_, NodeKind::kText, text));
  if (doc_) doc_->Invalidate();
}

void Element::AppendChild(std::unique_ptr<Element> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
}

void Element::InsertChild(size_t index, std::unique_ptr<Element> child) {
  child->parent_ = this;
  children_.insert(children_.begin() + std::min(index, children_.size()), std::move(child));
}

std::unique_ptr<Element> Element::RemoveChild(size_t index) {
  if (index >= children_.size()) return nullptr;
  std::unique_ptr<Element> c = std::move(children_[index]);
  children_.erase(children_.begin() + index);
  c->parent_ = nullptr;
  return c;
}

void Element::RemoveAllChildren() {
  // Moved out first: destructors may ask the document about this element.
  std::vector<std::unique_ptr<Element>> old;
  old.swap(children_);
  old.clear();
}

void Element::SetComputedStyle(std::unique_ptr<Style> style) { style_ = std::move(style); }

LayoutData& Element::EnsureLayoutData() {
  if (!layout_) layout_ = std::make_unique<LayoutData>();
  return *layout_;
}

// ---------------------------------------------------------------- forms

bool Element::IsFormControl() const {
  return Is(L"input") || Is(L"select") || Is(L"textarea") || Is(L"button");
}

bool Element::IsTextInput() const {
  if (!Is(L"input")) return false;
  std::wstring type = GetAttribute(L"type");
  ToLowerAscii(type);
  return type.empty() || type == L"text" || type == L"password";
}

void Element::SetChecked(bool on) {
  checked_ = on;
  if (hwnd_ && Is(L"input")) SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring Element::Value() const {
  if (Is(L"input") || Is(L"textarea")) {
    if (hwnd_ && (Is(L"textarea") || IsTextInput())) {
      int n = GetWindowTextLengthW(hwnd_);
      std::wstring text(n + 1, L'\0');
      GetWindowTextW(hwnd_, &text[0], n + 1);
      text.resize(n);
      return text;
    }
    if (valueSet_) return value_;
    return Is(L"textarea") ? InnerText() : GetAttribute(L"value");
  }
  if (Is(L"option")) return HasAttribute(L"value") ? GetAttribute(L"value") : Trim(InnerText());
  if (Is(L"select")) {
    int i = SelectedIndex();
    auto options = Options();
    return i >= 0 && i < static_cast<int>(options.size()) ? options[i]->Value() : std::wstring();
  }
  return GetAttribute(L"value");
}

void Element::SetValue(const std::wstring& value) {
  if (Is(L"input") || Is(L"textarea")) {
    value_ = value;
    valueSet_ = true;
    if (hwnd_) {
      std::wstring text = value;
      if (Is(L"textarea")) {
        // Edit controls break lines only at CR LF.
        std::wstring crlf;
        for (size_t i = 0; i < text.size(); ++i) {
          if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) crlf.push_back(L'\r');
          crlf.push_back(text[i]);
        }
        text.swap(crlf);
      }
      SetWindowTextW(hwnd_, text.c_str());
    }
    return;
  }
  if (Is(L"select")) {
    auto options = Options();
    for (size_t i = 0; i < options.size(); ++i) {
      if (options[i]->Value() == value) {
        SetSelectedIndex(static_cast<int>(i));
        return;
      }
    }
    return;
  }
  SetAttribute(L"value", value);
}

void Element::Focus() {
  if (doc_ && doc_->Site()) doc_->Site()->OnFocusRequest(this);
}

void Element::SelectText() {
  if (hwnd_ && (Is(L"input") || Is(L"textarea"))) SendMessageW(hwnd_, EM_SETSEL, 0, -1);
}

std::vector<Element*> Element::Options() const {
  std::vector<Element*> out;
  for (const auto& c : children_) {
    if (c->Is(L"option")) out.push_back(c.get());
    else if (c->Is(L"optgroup")) {
      for (const auto& o : c->children_) {
        if (o->Is(L"option")) out.push_back(o.get());
      }
    }
  }
  return out;
}

int Element::SelectedIndex() const {
  auto options = Options();
  for (size_t i = 0; i < options.size(); ++i) {
    if (options[i]->selected_) return static_cast<int>(i);
  }
  // A drop-down list shows its first option unless told to show none.
  return options.empty() || noneSelected_ ? -1 : 0;
}

bool Element::SetSelectedIndex(int index) {
  if (!Is(L"select")) return false;
  auto options = Options();
  if (index < -1 || index >= static_cast<int>(options.size())) return false;
  for (size_t i = 0; i < options.size(); ++i) options[i]->selected_ = static_cast<int>(i) == index;
  noneSelected_ = index == -1;
  if (hwnd_) SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
  return true;
}

void Element::SyncControlFromState() {
  if (!hwnd_ || !Is(L"select")) return;
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (Element* o : Options()) SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Trim(o->InnerText()).c_str()));
  SendMessageW(hwnd_, CB_SETCURSEL, SelectedIndex(), 0);
}

bool Element::RemoveOption(int index) {
  auto options = Options();
  if (!Is(L"select") || index < 0 || index >= static_cast<int>(options.size())) return false;
  Element* o = options[index];
  Element* p = o->parent_;
  p->RemoveChild(o->IndexInParent());  // destroyed here
  SyncControlFromState();
  if (doc_) doc_->Invalidate();
  return true;
}

bool Element::AddOption(Element* option, int before) {
  if (!Is(L"select") || !option || !option->Is(L"option") || !doc_) return false;
  std::unique_ptr<Element> owned;
  if (option->parent_) {
    owned = option->parent_->RemoveChild(option->IndexInParent());
  } else {
    auto& pool = doc_->detached_;
    auto it = std::find_if(pool.begin(), pool.end(), [option](const auto& p) { return p.get() == option; });
    if (it == pool.end()) return false;
    owned = std::move(*it);
    pool.erase(it);
  }
  auto options = Options();
  if (before >= 0 && before < static_cast<int>(options.size())) {
    Element* ref = options[before];
    ref->parent_->InsertChild(ref->IndexInParent(), std::move(owned));
  } else {
    AppendChild(std::move(owned));
  }
  SyncControlFromState();
  doc_->Invalidate();
  return true;
}

// ---------------------------------------------------------------- tables

std::vector<Element*> Element::Rows() const {
  std::vector<Element*> rows;
  if (!Is(L"table")) return rows;
  for (const auto& c : children_) {
    if (c->Is(L"tr")) {
      rows.push_back(c.get());
    } else if (c->Is(L"tbody") || c->Is(L"thead") || c->Is(L"tfoot")) {
      for (const auto& r : c->children_) {
        if (r->Is(L"tr")) rows.push_back(r.get());
      }
    }
  }
  return rows;
}

Element* Element::MoveRow(int from, int to) {
  auto rows = Rows();
  int n = static_cast<int>(rows.size());
  if (from < 0 || from >= n || to < 0 || to >= n) return nullptr;
  Element* row = rows[from];
  if (from == to) return row;
  std::unique_ptr<Element> owned = row->parent_->RemoveChild(row->IndexInParent());
  rows = Rows();
  if (to >= static_cast<int>(rows.size())) {
    Element* last = rows.back();
    last->parent_->InsertChild(last->IndexInParent() + 1, std::move(owned));
  } else {
    Element* ref = rows[to];
    ref->parent_->InsertChild(ref->IndexInParent(), std::move(owned));
  }
  if (doc_) doc_->Invalidate();
  return row;
}

// ---------------------------------------------------------------- geometry

namespace {

bool IsRootBox(const Element* el) { return el->Is(L"body") || el->Is(L"html"); }

}  // namespace

PageRect Element::PageBox() const {
  PageRect r;
  if (!doc_) return r;
  doc_->EnsureLayout();
  const LayoutData* ld = layout_.get();
  if (!ld || !ld->laidOut) return r;
  POINT p = LayoutEngine::AbsoluteOrigin(this);
  r.left = p.x;
  r.top = p.y;
  r.width = ld->w;
  r.height = ld->h;
  return r;
}

Element* Element::OffsetParent() const {
  if (Is(L"body") || Is(L"html") || !IsElement()) return nullptr;
  for (Element* p = parent_; p; p = p->parent_) {
    if (p->Is(L"td") || p->Is(L"th") || p->Is(L"table") || p->Is(L"body")) return p;
  }
  return nullptr;
}

int Element::OffsetLeft() const {
  PageRect r = PageBox();
  Element* op = OffsetParent();
  return op ? r.left - op->PageBox().left : r.left;
}

int Element::OffsetTop() const {
  PageRect r = PageBox();
  Element* op = OffsetParent();
  return op ? r.top - op->PageBox().top : r.top;
}

int Element::OffsetWidth() const { return PageBox().width; }
int Element::OffsetHeight() const { return PageBox().height; }

int Element::ClientWidth() const {
  if (!doc_) return 0;
  if (IsRootBox(this)) return doc_->ViewportWidth();
  PageRect r = PageBox();
  const Style* s = style_.get();
  return s && r.width ? std::max(0, r.width - s->border[1].width - s->border[3].width) : 0;
}

int Element::ClientHeight() const {
  if (!doc_) return 0;
  if (IsRootBox(this)) return doc_->ViewportHeight();
  PageRect r = PageBox();
  const Style* s = style_.get();
  return s && r.height ? std::max(0, r.height - s->border[0].width - s->border[2].width) : 0;
}

int Element::ScrollWidth() const {
  if (!doc_) return 0;
  if (IsRootBox(this)) return doc_->ContentWidth();
  PageBox();
  return layout_ && layout_->laidOut ? std::max(layout_->scrollW, layout_->w) : 0;
}

int Element::ScrollHeight() const {
  if (!doc_) return 0;
  if (IsRootBox(this)) return doc_->ContentHeight();
  PageBox();
  return layout_ && layout_->laidOut ? std::max(layout_->scrollH, layout_->h) : 0;
}

int Element::MaxContentWidth() const {
  if (!doc_) return 0;
  doc_->EnsureLayout();
  if (!style_ || !layout_ || !layout_->laidOut) return 0;
  return doc_->Engine().MaxContentWidth(const_cast<Element*>(this));
}

int Element::ScrollLeft() const { return doc_ && IsRootBox(this) ? doc_->ScrollX() : 0; }
int Element::ScrollTop() const { return doc_ && IsRootBox(this) ? doc_->ScrollY() : 0; }

void Element::ScrollIntoView(bool alignTop) {
  if (!doc_) return;
  PageRect r = PageBox();
  int y = alignTop ? r.top : r.top + r.height - doc_->ViewportHeight();
  doc_->ScrollTo(doc_->ScrollX(), y);
}

// ---------------------------------------------------------------- Document

Document::Document() {
  root_ = std::make_unique<Element>(this, NodeKind::kElement, L"html");
  root_->AppendChild(std::make_unique<Element>(this, NodeKind::kElement, L"head"));
  root_->AppendChild(std::make_unique<Element>(this, NodeKind::kElement, L"body"));
}

Document::~Document() {
  site_ = nullptr;
  controls_.clear();
  root_.reset();
  detached_.clear();
}

std::unique_ptr<Document> Document::Parse(const std::wstring& html, const std::wstring& url) {
  auto doc = std::make_unique<Document>();
  ParseDocumentInto(doc.get(), html);
  doc->SetUrl(url);
  return doc;
}

void Document::SetUrl(const std::wstring& url) {
  url_ = url;
  base_.clear();
  std::wstring path = url;
  if (StartsWithNoCase(path, L"file:///")) {
    path = path.substr(8);
    std::replace(path.begin(), path.end(), L'/', L'\\');
  }
  bool local = (path.size() > 2 && path[1] == L':') || StartsWithNoCase(path, L"\\\\");
  if (local) {
    size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) base_ = path.substr(0, slash + 1);
  }
}

std::wstring Document::ResolveUrl(const std::wstring& href) const {
  std::wstring h = Trim(href);
  if (h.empty() || h[0] == L'#') return h;
  size_t colon = h.find(L':');
  if (colon != std::wstring::npos && colon > 1) {
    bool scheme = true;
    for (size_t i = 0; i < colon; ++i) scheme = scheme && (iswalnum(h[i]) || h[i] == L'+' || h[i] == L'-' || h[i] == L'.');
    if (scheme) {
      if (StartsWithNoCase(h, L"file:///")) {
        std::wstring p = h.substr(8);
        std::replace(p.begin(), p.end(), L'/', L'\\');
        return p;
      }
      return h;
    }
  }
  if ((h.size() > 1 && h[1] == L':') || StartsWithNoCase(h, L"\\\\")) return h;
  std::wstring out = base_ + h;
  if (!base_.empty()) std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}

Element* Document::Head() const { return root_->Child(0); }
Element* Document::Body() const { return root_->Child(1); }

namespace {

Element* FindItem(Element* el, const std::wstring& name, int& index) {
  if (!el->IsElement()) return nullptr;
  const std::wstring* id = el->FindAttribute(L"id");
  const std::wstring* nm = id && *id == name ? id : el->FindAttribute(L"name");
  if (nm && *nm == name && index-- == 0) return el;
  for (size_t i = 0; i < el->ChildCount(); ++i) {
    if (Element* hit = FindItem(el->Child(i), name, index)) return hit;
  }
  return nullptr;
}

void CollectElements(Element* el, std::vector<Element*>& out) {
  if (!el->IsElement()) return;
  out.push_back(el);
  for (size_t i = 0; i < el->ChildCount(); ++i) CollectElements(el->Child(i), out);
}

}  // namespace

Element* Document::GetItem(const std::wstring& name, int index) const {
  if (name.empty() || index < 0) return nullptr;
  return FindItem(root_.get(), name, index);
}

std::vector<Element*> Document::All() const {
  std::vector<Element*> out;
  CollectElements(root_.get(), out);
  return out;
}

Element* Document::CreateElement(const std::wstring& tag) {
  std::wstring t = tag;
  ToLowerAscii(t);
  detached_.push_back(std::make_unique<Element>(this, NodeKind::kElement, t));
  return detached_.back().get();
}

void Document::OnElementDestroyed(Element* element) {
  ++removals_;
  if (anchor_.node == element || focus_.node == element) {
    anchor_ = TextPosition();
    focus_ = TextPosition();
  }
  // Taken off the list of laid-out controls when the list is next read: one
  // by one, a page of thousands of controls went in the square of their number.
  if (!controls_.empty() && element->IsFormControl()) goneControls_.insert(element);
  if (element->ControlWindow() && site_) site_->OnControlDestroyed(element);
}

// ---------------------------------------------------------------- selection

bool Document::HasSelection() const {
  if (!anchor_.node || !focus_.node) return false;
  return anchor_.node != focus_.node || anchor_.offset != focus_.offset;
}

TextPosition Document::SelectionStart() const {
  const_cast<Document*>(this)->EnsureLayout();
  if (!HasSelection()) return TextPosition();
  return PositionLess(focus_, anchor_) ? focus_ : anchor_;
}

TextPosition Document::SelectionEnd() const {
  const_cast<Document*>(this)->EnsureLayout();
  if (!HasSelection()) return TextPosition();
  return PositionLess(focus_, anchor_) ? anchor_ : focus_;
}

std::wstring Document::SelectionText() const {
  if (!HasSelection()) return std::wstring();
  TextCollector c;
  c.start = SelectionStart();
  c.end = SelectionEnd();
  c.Walk(Body());
  return c.Result();
}

std::wstring Document::AllText() const {
  const_cast<Document*>(this)->EnsureLayout();
  TextCollector c;
  c.all = true;
  c.Walk(Body());
  return c.Result();
}

void Document::SetSelection(TextPosition anchor, TextPosition focus) {
  anchor_ = anchor;
  focus_ = focus;
  if (site_) site_->OnDocumentChanged();
}

void Document::SelectAll() {
  EnsureLayout();
  std::vector<Element*> nodes;
  CollectTextNodes(Body(), nodes);
  if (nodes.empty()) return;
  SetSelection({nodes.front(), 0}, {nodes.back(), static_cast<uint32_t>(nodes.back()->Text().size())});
}

void Document::ClearSelection() { SetSelection(TextPosition(), TextPosition()); }

std::wstring Document::WordAtPoint(int x, int y) {
  TextPosition pos;
  HitTest(x, y, &pos);
  if (!pos.node) return std::wstring();
  const std::wstring& t = pos.node->Text();
  size_t b = std::min<size_t>(pos.offset, t.size()), e = b;
  if (e < t.size() && IsBreakAnywhere(t[e])) return t.substr(e, 1);
  while (b > 0 && IsWordChar(t[b - 1])) --b;
  while (e < t.size() && IsWordChar(t[e])) ++e;
  return t.substr(b, e - b);
}

bool Document::FindText(const std::wstring& what, bool matchCase, bool wrap) {
  if (what.empty()) return false;
  EnsureLayout();
  std::vector<Element*> nodes;
  CollectTextNodes(Body(), nodes);
  auto fold = [matchCase](wchar_t c) { return matchCase ? c : static_cast<wchar_t>(towlower(c)); };
  TextPosition from = HasSelection() ? SelectionEnd() : TextPosition();
  size_t startIndex = 0;
  if (from.node) {
    startIndex = std::find(nodes.begin(), nodes.end(), from.node) - nodes.begin();
  }
  for (int pass = 0; pass < (wrap ? 2 : 1); ++pass) {
    for (size_t k = pass == 0 ? startIndex : 0; k < nodes.size(); ++k) {
      const std::wstring& t = nodes[k]->Text();
      size_t begin = pass == 0 && from.node == nodes[k] ? from.offset : 0;
      for (size_t i = begin; i + what.size() <= t.size(); ++i) {
        size_t j = 0;
        while (j < what.size() && fold(t[i + j]) == fold(what[j])) ++j;
        if (j == what.size()) {
          SetSelection({nodes[k], static_cast<uint32_t>(i)}, {nodes[k], static_cast<uint32_t>(i + j)});
          const Element* box = nodes[k]->Parent();
          PageRect r = box->PageBox();
          if (r.top < scrollY_ || r.top + r.height > scrollY_ + viewH_) ScrollTo(scrollX_, r.top - viewH_ / 3);
          return true;
        }
      }
    }
  }
  return false;
}

// ---------------------------------------------------------------- layout

std::vector<Element*>& Document::Controls() {
  if (!goneControls_.empty()) {
    controls_.erase(std::remove_if(controls_.begin(), controls_.end(),
                                   [this](Element* el) { return goneControls_.count(el) != 0; }),
                    controls_.end());
    goneControls_.clear();
  }
  return controls_;
}

LayoutEngine& Document::Engine() {
  if (!engine_) engine_ = std::make_unique<LayoutEngine>(this);
  return *engine_;
}

void Document::SetViewport(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == viewW_ && height == viewH_) return;
  viewW_ = width;
  viewH_ = height;
  dirty_ = true;
}

void Document::Invalidate() {
  dirty_ = true;
  ++generation_;
  if (site_) site_->OnDocumentChanged();
}

void Document::EnsureLayout() {
  if (!dirty_) return;
  dirty_ = false;
  Engine().Run(viewW_, viewH_);
  controls_.clear();
  goneControls_.clear();
  for (Element* el : All()) {
    if (el->IsFormControl() && el->Layout() && el->Layout()->laidOut) controls_.push_back(el);
  }
  int maxX = std::max(0, engine_->ContentWidth() - viewW_);
  int maxY = std::max(0, engine_->ContentHeight() - viewH_);
  scrollX_ = std::min(scrollX_, maxX);
  scrollY_ = std::min(scrollY_, maxY);
}

int Document::ContentWidth() {
  EnsureLayout();
  return engine_->ContentWidth();
}

int Document::ContentHeight() {
  EnsureLayout();
  return engine_->ContentHeight();
}

void Document::ScrollTo(int x, int y) {
  EnsureLayout();
  x = std::max(0, std::min(x, engine_->ContentWidth() - viewW_));
  y = std::max(0, std::min(y, engine_->ContentHeight() - viewH_));
  if (x == scrollX_ && y == scrollY_) return;
  scrollX_ = x;
  scrollY_ = y;
  if (site_) site_->OnScrollRequest(x, y);
}

void Document::Paint(HDC dc, const RECT& clip) {
  EnsureLayout();
  engine_->Paint(dc, clip, scrollX_, scrollY_);
}

Element* Document::HitTest(int x, int y, TextPosition* text) {
  EnsureLayout();
  int px = x + scrollX_, py = y + scrollY_;
  if (text) {
    *text = TextPosition();
    for (const FlatFrag& f : engine_->TextFragments()) {
      if (px >= f.x && px < f.x + f.frag->w && py >= f.y && py < f.y + f.frag->h) {
        *text = {f.frag->node, LayoutEngine::OffsetAtX(f, px)};
        break;
      }
    }
  }
  return engine_->HitBox(px, py);
}

TextPosition Document::NearestTextPosition(int x, int y) {
  EnsureLayout();
  int px = x + scrollX_, py = y + scrollY_;
  const FlatFrag* best = nullptr;
  int bestDy = INT_MAX, bestDx = INT_MAX;
  for (const FlatFrag& f : engine_->TextFragments()) {
    int dy = py < f.y ? f.y - py : py >= f.y + f.frag->h ? py - f.y - f.frag->h + 1 : 0;
    int dx = px < f.x ? f.x - px : px >= f.x + f.frag->w ? px - f.x - f.frag->w + 1 : 0;
    if (dy < bestDy || (dy == bestDy && dx < bestDx)) {
      best = &f;
      bestDy = dy;
      bestDx = dx;
    }
  }
  if (!best) return TextPosition();
  return {best->frag->node, LayoutEngine::OffsetAtX(*best, px)};
}

}  // namespace htmlview
