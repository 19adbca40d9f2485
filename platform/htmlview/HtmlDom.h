// The HTML view's document model: a tolerant parse of a page into elements,
// and the operations the program's views and dialogs perform on them.
//
// Element handles are plain pointers owned by their Document. A handle stays
// valid until its element leaves the tree (its parent's inner HTML is replaced,
// the option is removed) or the document is replaced by a navigation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <unordered_set>
#include <vector>

namespace htmlview {

class Document;
struct Style;
struct LayoutData;

enum class NodeKind : uint8_t { kElement, kText, kComment };

// A rectangle in page coordinates (the document's scrolled area).
struct PageRect {
  int left = 0, top = 0, width = 0, height = 0;
};

class Element {
 public:
  Element(Document* doc, NodeKind kind, std::wstring tagOrText);
  ~Element();
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  NodeKind Kind() const { return kind_; }
  bool IsElement() const { return kind_ == NodeKind::kElement; }
  bool IsText() const { return kind_ == NodeKind::kText; }
  // Lower-case tag name of an element; the content of a text or comment node.
  const std::wstring& Tag() const { return text_; }
  const std::wstring& Text() const { return text_; }
  bool Is(const wchar_t* tag) const { return IsElement() && text_ == tag; }
  Document* OwnerDocument() const { return doc_; }

  Element* Parent() const { return parent_; }
  size_t ChildCount() const { return children_.size(); }
  Element* Child(size_t i) const { return i < children_.size() ? children_[i].get() : nullptr; }
  int IndexInParent() const;

  // Attributes (names are matched without ASCII case).
  const std::wstring* FindAttribute(const wchar_t* name) const;
  std::wstring GetAttribute(const wchar_t* name) const;
  bool HasAttribute(const wchar_t* name) const { return FindAttribute(name) != nullptr; }
  void SetAttribute(const std::wstring& name, const std::wstring& value);
  void RemoveAttribute(const wchar_t* name);
  const std::vector<std::pair<std::wstring, std::wstring>>& Attributes() const { return attrs_; }
  std::wstring Id() const { return GetAttribute(L"id"); }
  std::wstring ClassName() const { return GetAttribute(L"class"); }
  void SetClassName(const std::wstring& name) { SetAttribute(L"class", name); }
  std::wstring Title() const { return GetAttribute(L"title"); }

  // Markup.
  std::wstring InnerHtml() const;
  std::wstring OuterHtml() const;
  bool SetInnerHtml(const std::wstring& html);
  std::wstring InnerText() const;
  void SetInnerText(const std::wstring& text);  // the text as it is, no markup

  // Inline style properties ("display", "background-color" or "backgroundColor").
  std::wstring GetStyle(const std::wstring& property) const;
  void SetStyle(const std::wstring& property, const std::wstring& value);
  // An integer colour as the pages read it: 0xRRGGBB.
  void SetStyleColor(const std::wstring& property, uint32_t rgb);

  // Form state.
  bool IsFormControl() const;
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  bool Disabled() const { return HasAttribute(L"disabled"); }
  std::wstring Value() const;          // input, textarea, option, select
  void SetValue(const std::wstring& value);
  void Focus();
  void SelectText();                   // select the whole text of an input or textarea

  // Select elements.
  std::vector<Element*> Options() const;
  int SelectedIndex() const;
  bool SetSelectedIndex(int index);
  bool RemoveOption(int index);
  bool AddOption(Element* option, int before = -1);  // option made by Document::CreateElement

  // Table elements: rows of the table (not of nested tables) and their order.
  std::vector<Element*> Rows() const;
  Element* MoveRow(int from, int to);

  // Geometry (lays the document out first when needed).
  int OffsetLeft() const;
  int OffsetTop() const;
  int OffsetWidth() const;
  int OffsetHeight() const;
  Element* OffsetParent() const;
  int ClientWidth() const;
  int ClientHeight() const;
  int ScrollWidth() const;
  int ScrollHeight() const;
  // The width the element takes when nothing makes it wrap (its border box,
  // laid out without a limit); 0 for an element that is not displayed.
  int MaxContentWidth() const;
  int ScrollLeft() const;
  int ScrollTop() const;
  PageRect PageBox() const;  // border box in page coordinates
  void ScrollIntoView(bool alignTop);

  // Internals shared by the parser, layout and the view.
  void AppendChild(std::unique_ptr<Element> child);
  void InsertChild(size_t index, std::unique_ptr<Element> child);
  std::unique_ptr<Element> RemoveChild(size_t index);
  void RemoveAllChildren();
  void AppendText(const std::wstring& text) { text_ += text; }
  void SetTextContent(const std::wstring& text) { text_ = text; }
  void AddParsedAttribute(std::wstring name, std::wstring value);
  const std::vector<std::pair<std::wstring, std::wstring>>& InlineStyle() const { return inlineStyle_; }
  bool IsSelected() const { return selected_; }
  void SetSelectedFlag(bool on) { selected_ = on; }
  // Refills a select's list control from its options.
  void SyncControlFromState();
  bool IsTextInput() const;
  HWND ControlWindow() const { return hwnd_; }
  void SetControlWindow(HWND hwnd) { hwnd_ = hwnd; }
  Style* ComputedStyle() const { return style_.get(); }
  void SetComputedStyle(std::unique_ptr<Style> style);
  LayoutData* Layout() const { return layout_.get(); }
  LayoutData& EnsureLayoutData();
  uint32_t Order() const { return order_; }
  void SetOrder(uint32_t order) { order_ = order; }
  int Depth() const;

 private:
  void ParseInlineStyle();
  void WriteInlineStyle();

  Document* doc_;
  NodeKind kind_;
  std::wstring text_;
  Element* parent_ = nullptr;
  std::vector<std::unique_ptr<Element>> children_;
  std::vector<std::pair<std::wstring, std::wstring>> attrs_;
  std::vector<std::pair<std::wstring, std::wstring>> inlineStyle_;
  std::wstring value_;     // current value of inputs and text areas
  bool valueSet_ = false;  // value_ differs from the markup's
  bool checked_ = false;
  bool selected_ = false;  // option state
  bool noneSelected_ = false;  // a select told to show no option
  HWND hwnd_ = nullptr;    // the real control of a form element
  uint32_t order_ = 0;
  std::unique_ptr<Style> style_;
  std::unique_ptr<LayoutData> layout_;
};

// A point in the text: a text node and a character offset in it.
struct TextPosition {
  Element* node = nullptr;
  uint32_t offset = 0;
};

// What the document asks of the window that shows it.
class DocumentSite {
 public:
  virtual ~DocumentSite() = default;
  virtual void OnDocumentChanged() = 0;                 // re-layout and repaint
  virtual void OnScrollRequest(int x, int y) = 0;        // scroll the view
  virtual void OnControlDestroyed(Element* element) = 0; // a form element leaves
  // The window of a form element that leaves: true when the site keeps it
  // (hidden) for a later control, false when it is to be destroyed.
  virtual bool KeepControlWindow(HWND) { return false; }
  virtual void OnFocusRequest(Element* element) = 0;
  virtual HDC MeasureDC() = 0;
};

class LayoutEngine;

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Parses a whole page; the result always has html, head and body elements.
  static std::unique_ptr<Document> Parse(const std::wstring& html, const std::wstring& url = L"");

  const std::wstring& Url() const { return url_; }
  // Folder of the page, for relative links and images ("" for about:blank).
  const std::wstring& BaseFolder() const { return base_; }
  std::wstring ResolveUrl(const std::wstring& href) const;
  Element* Root() const { return root_.get(); }
  Element* Head() const;
  Element* Body() const;

  // The "all" collection: item(name, index) is the index-th element whose
  // id or name equals name.
  Element* GetItem(const std::wstring& name, int index = 0) const;
  std::vector<Element*> All() const;
  // A new element that belongs to no parent yet (for AddOption).
  Element* CreateElement(const std::wstring& tag);

  // Selection.
  bool HasSelection() const;
  std::wstring SelectionType() const { return HasSelection() ? L"Text" : L"None"; }
  std::wstring SelectionText() const;
  void SetSelection(TextPosition anchor, TextPosition focus);
  void SelectAll();
  void ClearSelection();
  TextPosition SelectionStart() const;
  TextPosition SelectionEnd() const;
  std::wstring AllText() const;
  // The word at a point in view coordinates (empty when there is none).
  std::wstring WordAtPoint(int x, int y);
  // The text position nearest to a point in view coordinates (for dragging).
  TextPosition NearestTextPosition(int x, int y);
  // Finds text after the selection (or from the start); selects the match.
  bool FindText(const std::wstring& what, bool matchCase, bool wrap = true);

  // Scrolling and the viewport.
  void SetViewport(int width, int height);
  int ViewportWidth() const { return viewW_; }
  int ViewportHeight() const { return viewH_; }
  int ScrollX() const { return scrollX_; }
  int ScrollY() const { return scrollY_; }
  void ScrollTo(int x, int y);
  int ContentWidth();
  int ContentHeight();

  // Layout and paint.
  void EnsureLayout();
  void Invalidate();               // the markup or styles changed
  bool NeedsLayout() const { return dirty_; }
  // Paints the visible part of the page into dc (view coordinates).
  void Paint(HDC dc, const RECT& clip);
  Element* HitTest(int x, int y, TextPosition* text = nullptr);

  void SetSite(DocumentSite* site) { site_ = site; }
  DocumentSite* Site() const { return site_; }
  LayoutEngine& Engine();
  uint32_t Generation() const { return generation_; }
  // Counts destroyed nodes: a handler that saw it change holds no stale handles.
  uint32_t Removals() const { return removals_; }
  std::vector<Element*>& Controls();  // form elements laid out in the last pass and still there

  // Internals used by elements.
  void OnElementDestroyed(Element* element);
  void SetUrl(const std::wstring& url);

 private:
  friend class Element;
  std::unique_ptr<Element> root_;
  std::vector<std::unique_ptr<Element>> detached_;
  std::wstring url_, base_;
  TextPosition anchor_, focus_;
  int viewW_ = 800, viewH_ = 600;
  int scrollX_ = 0, scrollY_ = 0;
  bool dirty_ = true;
  uint32_t generation_ = 0;
  uint32_t removals_ = 0;
  DocumentSite* site_ = nullptr;
  std::unique_ptr<LayoutEngine> engine_;
  std::vector<Element*> controls_;  // form elements laid out in the last pass
  std::unordered_set<const Element*> goneControls_;  // destroyed since, still on that list
};

// Parses markup into parent's children (used by SetInnerHtml and Parse).
void ParseFragment(Element* parent, const std::wstring& html);
// Serializes a node and (for elements) its content.
void SerializeNode(std::wstring& out, const Element* node, bool outer);

}  // namespace htmlview
