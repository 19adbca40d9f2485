#include "platform/htmlview/HtmlView.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "core/Clipboard.h"
#include "core/TextCodec.h"
#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

const wchar_t HtmlView::kClassName[] = L"Internet Explorer_Server";

namespace {

constexpr UINT kMsgLoad = WM_APP + 0x51;
constexpr UINT kMsgSync = WM_APP + 0x52;
constexpr int kLineStep = 40;
constexpr int kPageWidth = 794;    // A4 at 96 dpi
constexpr int kPageHeight = 1123;
const wchar_t kFindClass[] = L"Talvane_FindBox";
const wchar_t kPreviewClass[] = L"Talvane_PrintPreview";

// GDI objects released on every path out of a scope.
class ScopedGdiObject {
 public:
  explicit ScopedGdiObject(HGDIOBJ object) : object_(object) {}
  ~ScopedGdiObject() {
    if (object_) DeleteObject(object_);
  }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  HGDIOBJ Get() const { return object_; }

 private:
  HGDIOBJ object_;
};

class ScopedMemoryDC {
 public:
  ScopedMemoryDC(HDC like, int w, int h)
      : dc_(CreateCompatibleDC(like)), bitmap_(CreateCompatibleBitmap(like, std::max(w, 1), std::max(h, 1))),
        old_(SelectObject(dc_, bitmap_.Get())) {}
  ~ScopedMemoryDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  ScopedGdiObject bitmap_;
  HGDIOBJ old_;
};

COLORREF CanvasColor(Document* doc) {
  const Style* s = doc && doc->Body() ? doc->Body()->ComputedStyle() : nullptr;
  return s && s->hasBackground ? s->background : RGB(255, 255, 255);
}

// The string argument of a handler call such as navigate('...').
bool QuotedArgument(const std::wstring& s, size_t from, std::wstring* out) {
  size_t q = s.find_first_of(L"'\"", from);
  if (q == std::wstring::npos) return false;
  wchar_t quote = s[q];
  out->clear();
  for (size_t i = q + 1; i < s.size(); ++i) {
    if (s[i] == L'\\' && i + 1 < s.size()) {
      out->push_back(s[++i]);
    } else if (s[i] == quote) {
      return true;
    } else {
      out->push_back(s[i]);
    }
  }
  return false;
}

Element* EnclosingLink(Element* el) {
  for (; el; el = el->Parent()) {
    if (el->Is(L"a") && el->HasAttribute(L"href")) return el;
  }
  return nullptr;
}

std::wstring TitleOf(Element* el) {
  for (; el; el = el->Parent()) {
    if (el->IsElement() && el->HasAttribute(L"title")) return el->Title();
  }
  return std::wstring();
}

bool RegisterOnce(const wchar_t* name, WNDPROC proc, UINT style, HBRUSH background) {
  static bool common = false;
  if (!common) {
    common = true;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
  }
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  if (GetClassInfoExW(inst, name, &wc)) return true;
  ZeroMemory(&wc, sizeof(wc));
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

// The HtmlView a popup of the view was created for (its creation parameter).
HtmlView* PopupOwner(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
  }
  return reinterpret_cast<HtmlView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

LRESULT CALLBACK FindBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

HtmlView::HtmlView() = default;

HtmlView::~HtmlView() {
  if (findBox_) DestroyWindow(findBox_);
  if (preview_) DestroyWindow(preview_);
  if (hwnd_) DestroyWindow(hwnd_);
  doc_.reset();
}

bool HtmlView::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
  if (!RegisterOnce(kClassName, WndProc, CS_DBLCLKS, nullptr)) return false;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  hwnd_ = CreateWindowExW(0, kClassName, L"", style | WS_VSCROLL | WS_CLIPCHILDREN, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), inst, this);
  if (!hwnd_) return false;
  ShowScrollBar(hwnd_, SB_VERT, FALSE);
  return true;
}

// Made when the mouse first comes to an element with a title (a window less
// for every view at the program's start), inactive, and handed the move that
// brought the mouse there, as its subclassing would have handed it.
void HtmlView::MakeTooltip(int x, int y) {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                             0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) return;
  TOOLINFOW ti = {};
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
  ti.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
  MSG move = {hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), static_cast<DWORD>(GetMessageTime()), {x, y}};
  ClientToScreen(hwnd_, &move.pt);
  SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
}

bool HtmlView::Navigate2(const std::wstring& url) {
  if (!hwnd_) return false;
  bool cancel = false;
  if (events_) events_->OnBeforeNavigate(url, &cancel);
  if (cancel) return false;
  pending_ = url;
  PostMessageW(hwnd_, kMsgLoad, 0, 0);
  return true;
}

void HtmlView::Load(const std::wstring& url) {
  std::wstring html;
  if (!EqualsNoCase(url, L"about:blank")) {
    std::wstring path = url;
    if (StartsWithNoCase(path, L"file:///")) {
      path = path.substr(8);
      std::replace(path.begin(), path.end(), L'/', L'\\');
    }
    std::string bytes;
    ReadFileToString(bytes, path.c_str());
    uint32_t mark = 0;
    if (!bytes.empty()) {
      if (DetectByteOrderMark(&mark, bytes.data(), static_cast<uint32_t>(bytes.size())) != kEncodingCodePage) {
        DecodeTextBuffer(html, bytes.data(), static_cast<uint32_t>(bytes.size()), 0);
      } else {
        // Without a mark: UTF-8 when the bytes are valid UTF-8, else the system's ANSI code page.
        bool utf8 = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                        nullptr, 0) > 0;
        MultiByteToWString(html, bytes.data(), static_cast<int>(bytes.size()), utf8 ? CP_UTF8 : CP_ACP, 0);
      }
    }
  }
  windowed_.clear();
  hover_ = nullptr;
  hoverRemovals_ = 0;
  dragging_ = false;
  if (GetCapture() == hwnd_) ReleaseCapture();
  doc_.reset();
  doc_ = Document::Parse(html, url);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  doc_->SetViewport(rc.right, rc.bottom);
  doc_->SetSite(this);
  Sync();
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (events_) events_->OnDocumentComplete(url);
}

void HtmlView::RequestNavigation(const std::wstring& url, const std::wstring& target) {
  if (EqualsNoCase(target, L"_blank")) {
    // New windows are never opened.
    if (events_) events_->OnNewWindow();
    return;
  }
  std::wstring resolved = doc_ ? doc_->ResolveUrl(url) : url;
  bool cancel = false;
  if (events_) events_->OnBeforeNavigate(resolved, &cancel);
  if (cancel || !doc_) return;
  if (!resolved.empty() && resolved[0] == L'#') {
    if (Element* anchor = doc_->GetItem(resolved.substr(1))) anchor->ScrollIntoView(true);
    return;
  }
  bool local = EqualsNoCase(resolved, L"about:blank") || StartsWithNoCase(resolved, L"file:///") ||
               (resolved.size() > 2 && resolved[1] == L':') || StartsWithNoCase(resolved, L"\\\\");
  if (!local) return;  // no network loading in this view
  pending_ = resolved;
  PostMessageW(hwnd_, kMsgLoad, 0, 0);
}

void HtmlView::RunInlineHandler(Element* self, const std::wstring& script) {
  Document* doc = doc_.get();
  uint32_t removals = doc ? doc->Removals() : 0;
  size_t i = 0;
  while (i < script.size()) {
    // A statement that changed the page leaves "this" possibly gone.
    if (doc_.get() != doc || (doc && doc->Removals() != removals)) return;
    // Statements end at semicolons outside quotes.
    size_t e = i;
    wchar_t quote = 0;
    for (; e < script.size(); ++e) {
      wchar_t c = script[e];
      if (quote) {
        if (c == L'\\') ++e;
        else if (c == quote) quote = 0;
      } else if (c == L'\'' || c == L'"') {
        quote = c;
      } else if (c == L';') {
        break;
      }
    }
    std::wstring st = Trim(script.substr(i, e - i));
    i = e + 1;
    std::wstring arg;
    if ((StartsWithNoCase(st, L"window.navigate") || StartsWithNoCase(st, L"navigate")) &&
        QuotedArgument(st, st.find(L'('), &arg)) {
      RequestNavigation(arg, L"");
    } else if (StartsWithNoCase(st, L"this.className") && self && QuotedArgument(st, st.find(L'='), &arg)) {
      self->SetClassName(arg);
    }
  }
}

// Runs the handler named attribute on target and its ancestors (the event
// bubbles). Stops when a handler destroyed part of the page.
bool HtmlView::FireHandlers(Element* target, const wchar_t* attribute) {
  if (!doc_ || !target) return false;
  Document* doc = doc_.get();
  uint32_t removals = doc->Removals();
  std::vector<std::pair<Element*, std::wstring>> handlers;
  for (Element* el = target; el; el = el->Parent()) {
    if (const std::wstring* h = el->IsElement() ? el->FindAttribute(attribute) : nullptr) handlers.emplace_back(el, *h);
  }
  for (auto& h : handlers) {
    if (doc_.get() != doc || doc->Removals() != removals) return false;
    RunInlineHandler(h.first, h.second);
  }
  return doc_.get() == doc && doc->Removals() == removals;
}

// ---------------------------------------------------------------- layout sync

void HtmlView::OnDocumentChanged() {
  if (hwnd_ && !syncPosted_) {
    syncPosted_ = true;
    PostMessageW(hwnd_, kMsgSync, 0, 0);
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void HtmlView::OnScrollRequest(int, int) {
  UpdateScrollBar();
  SyncControls();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

bool HtmlView::KeepControlWindow(HWND control) {
  constexpr size_t kMostSpare = 16;
  if (!keepControls_ || !hwnd_ || spare_.size() >= kMostSpare || GetParent(control) != hwnd_) return false;
  auto it = std::find_if(spare_.begin(), spare_.end(), [control](const SpareControl& s) { return s.hwnd == control; });
  if (it != spare_.end()) return true;
  Element* el = ElementOfControl(control);
  if (!el) return false;
  // It stays on the screen until the page's controls are placed, where the
  // next page's control of its kind mostly takes it at the same place (a
  // result page's form on every lookup), and it is hidden there if none does:
  // hidden and shown again, it painted its frame and background at once and
  // the view's part under it twice. A window with the focus goes now, which
  // gives the focus back to the view.
  HWND focus = GetFocus();
  if (focus == control || IsChild(control, focus)) ShowWindow(control, SW_HIDE);
  else sparesShown_ = true;
  const ControlMaking making = MakingOf(el);
  spare_.push_back({control, making.cls, making.style & ~WS_DISABLED});
  return true;
}

void HtmlView::OnControlDestroyed(Element* element) {
  HWND control = element->ControlWindow();
  if (std::none_of(spare_.begin(), spare_.end(), [control](const SpareControl& s) { return s.hwnd == control; }))
    ForgetPlace(control);
  windowed_.erase(std::remove(windowed_.begin(), windowed_.end(), element), windowed_.end());
  if (hover_ == element) hover_ = nullptr;
}

void HtmlView::OnFocusRequest(Element* element) {
  if (!doc_) return;
  doc_->EnsureLayout();
  SyncControls();
  if (element->ControlWindow()) SetFocus(element->ControlWindow());
  else SetFocus(hwnd_);
}

HDC HtmlView::MeasureDC() { return htmlview::MeasureDC(); }

// The sunken edge follows the host's flags, which may change with each document.
void HtmlView::ApplyBorder() {
  LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  LONG_PTR want = HostFlags() & kHostNo3DBorder ? ex & ~WS_EX_CLIENTEDGE : ex | WS_EX_CLIENTEDGE;
  if (want == ex) return;
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, want);
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void HtmlView::Sync() {
  syncPosted_ = false;
  if (!doc_) return;
  ApplyBorder();
  doc_->EnsureLayout();
  UpdateScrollBar();
  SyncControls();
}

void HtmlView::UpdateScrollBar() {
  if (!doc_) return;
  bool allowed = !(HostFlags() & kHostNoScroll);
  int content = doc_->ContentHeight();
  bool need = allowed && content > doc_->ViewportHeight();
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, need ? content - 1 : 0,
                   static_cast<UINT>(doc_->ViewportHeight()), doc_->ScrollY(), 0};
  // Set without drawing; a bar that changed is drawn with the view's next
  // paint. Drawn at once it cost every new page a frame or more under Wine,
  // and a popup sized to its page drew it several times over.
  SCROLLINFO old = {sizeof(old), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
  const bool visible = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VSCROLL) != 0;
  const bool changed = visible != need || !GetScrollInfo(hwnd_, SB_VERT, &old) || old.nMin != si.nMin ||
                       old.nMax != si.nMax || old.nPage != si.nPage || old.nPos != si.nPos;
  SetScrollInfo(hwnd_, SB_VERT, &si, FALSE);
  ShowScrollBar(hwnd_, SB_VERT, need);
  if (changed) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  if (rc.right != doc_->ViewportWidth() || rc.bottom != doc_->ViewportHeight()) {
    doc_->SetViewport(rc.right, rc.bottom);
    doc_->EnsureLayout();
  }
}

Element* HtmlView::ElementOfControl(HWND control) const {
  for (Element* el : windowed_) {
    if (el->ControlWindow() == control) return el;
  }
  return nullptr;
}

HtmlView::ControlMaking HtmlView::MakingOf(Element* el) {
  std::wstring type = el->GetAttribute(L"type");
  ToLowerAscii(type);
  DWORD style = WS_CHILD | WS_TABSTOP;
  const wchar_t* cls = kButtonClass;
  std::wstring text;
  if (el->Is(L"select")) {
    cls = kComboClass;
    style |= CBS_DROPDOWNLIST | WS_VSCROLL;
  } else if (el->Is(L"textarea")) {
    cls = kEditClass;
    style |= WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    text = el->Value();
  } else if (el->Is(L"button")) {
    style |= BS_PUSHBUTTON;
    text = Trim(el->InnerText());
  } else if (type == L"checkbox") {
    style |= BS_AUTOCHECKBOX;
  } else if (type == L"radio") {
    style |= BS_AUTORADIOBUTTON;
  } else if (type == L"button" || type == L"submit" || type == L"reset") {
    style |= BS_PUSHBUTTON;
    text = el->Value();
  } else {
    cls = kEditClass;
    style |= WS_BORDER | ES_AUTOHSCROLL | (type == L"password" ? ES_PASSWORD : 0);
    text = el->Value();
  }
  if (el->Disabled()) style |= WS_DISABLED;
  const Style* computed = el->ComputedStyle();
  return {cls, style, text, type == L"checkbox" || type == L"radio", computed ? computed->font->font : nullptr};
}

// A spare window of the class and style when there is one (its text, undo,
// state and font made as a new window's), else a new window.
HWND HtmlView::MakeControlWindow(const ControlMaking& making) {
  auto it = std::find_if(spare_.begin(), spare_.end(), [&making](const SpareControl& s) {
    return s.cls == making.cls && s.style == (making.style & ~WS_DISABLED);
  });
  if (it == spare_.end()) {
    HWND h = CreateWindowExW(0, making.cls, making.text.c_str(), making.style, 0, 0, 10, 10, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (h && making.font) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(making.font), 0);
    return h;
  }
  HWND h = it->hwnd;
  spare_.erase(it);
  EnableWindow(h, !(making.style & WS_DISABLED));
  SetWindowTextW(h, making.text.c_str());
  if (making.cls == kEditClass) {
    SendMessageW(h, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(h, EM_SETMODIFY, FALSE, 0);
  } else if (making.cls == kButtonClass) {
    SendMessageW(h, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  // The font once, and for a list only when it is another: a drop-down list
  // sizes itself and its list anew on every WM_SETFONT, which cost a result
  // page's form about a millisecond a list under Wine. A text box takes it
  // every time, as its margins come from the font and its width then.
  if (making.cls == kEditClass || reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)) != making.font) {
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(making.font), 0);
    ForgetPlace(h);  // a drop-down list has sized itself to the font
  }
  return h;
}

void HtmlView::CreateControl(Element* el) {
  const ControlMaking making = MakingOf(el);
  HWND h = MakeControlWindow(making);
  if (!h) return;
  el->SetControlWindow(h);
  windowed_.push_back(el);
  if (el->Is(L"select")) el->SyncControlFromState();
  if (making.checkable) el->SetChecked(el->Checked());
}

void HtmlView::SyncControls() {
  if (!doc_) return;
  std::vector<Element*>& shown = doc_->Controls();
  for (Element* el : shown) {
    if (!el->ControlWindow()) CreateControl(el);
    HWND h = el->ControlWindow();
    if (!h) continue;
    PageRect r = el->PageBox();
    int listExtra = el->Is(L"select") ? 200 : 0;  // a drop-down list's open height
    const int left = r.left - doc_->ScrollX(), top = r.top - doc_->ScrollY();
    PlaceControl(h, {left, top, left + r.width, top + r.height + listExtra});
  }
  for (Element* el : windowed_) {
    if (std::find(shown.begin(), shown.end(), el) == shown.end()) ShowWindow(el->ControlWindow(), SW_HIDE);
  }
  if (sparesShown_) {
    sparesShown_ = false;
    for (const SpareControl& s : spare_) ShowWindow(s.hwnd, SW_HIDE);
  }
}

// Moves, sizes and shows a control window as far as it is not so already.
// Under Wine a child window's move, size or show paints at once (its frame,
// its background, the parent's uncovered part), and a drop-down list sizes
// its list anew with each size; a result page's form stands at the same place
// from one lookup to the next. What it uncovers or shows is erased with the
// next paint, after the page's own: the frame of a text box with a scroll bar
// took about 4 ms under Wine, ahead of the page.
//
// A moved control paints all of itself at its new place (no copied bits):
// the controls of a page move one after another, and the bits a control took
// along could hold a sibling that had not moved off yet (half a check box
// after a table row moved), which no later paint replaced.
void HtmlView::PlaceControl(HWND control, const RECT& rect) {
  auto it = places_.find(control);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE | SWP_NOCOPYBITS;
  if (it != places_.end()) {
    const RECT& was = it->second;
    if (was.left == rect.left && was.top == rect.top) flags |= SWP_NOMOVE;
    if (was.right - was.left == rect.right - rect.left && was.bottom - was.top == rect.bottom - rect.top)
      flags |= SWP_NOSIZE;
  }
  if (!(GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE)) flags |= SWP_SHOWWINDOW;
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW)) == (SWP_NOMOVE | SWP_NOSIZE)) return;
  SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, flags);
  places_[control] = rect;
}

void HtmlView::ForgetPlace(HWND control) { places_.erase(control); }

// ---------------------------------------------------------------- painting

void HtmlView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  const RECT& r = ps.rcPaint;
  if (doc_ && r.right > r.left && r.bottom > r.top) {
    if (doc_->NeedsLayout() || sparesShown_) Sync();
    // The buffer covers the update rectangle only, with its origin at the
    // rectangle's corner, as the hook's reading of this window class expects.
    ScopedMemoryDC mem(dc, r.right - r.left, r.bottom - r.top);
    SetViewportOrgEx(mem.Get(), -r.left, -r.top, nullptr);
    SetDCBrushColor(mem.Get(), CanvasColor(doc_.get()));
    FillRect(mem.Get(), &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    doc_->Paint(mem.Get(), r);
    SetViewportOrgEx(mem.Get(), 0, 0, nullptr);
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem.Get(), 0, 0, SRCCOPY);
  } else if (!doc_) {
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  EndPaint(hwnd_, &ps);
}

// ---------------------------------------------------------------- input

void HtmlView::ScrollBy(int dy) {
  if (doc_) doc_->ScrollTo(doc_->ScrollX(), doc_->ScrollY() + dy);
}

void HtmlView::OnMouseDown(int x, int y) {
  SetFocus(hwnd_);
  if (!doc_) return;
  SetCapture(hwnd_);
  dragging_ = true;
  selectable_ = !(HostFlags() & kHostDialog);
  dragged_ = false;
  dragAnchor_ = doc_->NearestTextPosition(x, y);
  dragRemovals_ = doc_->Removals();
  if (doc_->HasSelection()) doc_->ClearSelection();
  FireHandlers(doc_->HitTest(x, y), L"onmousedown");
}

void HtmlView::OnMouseMove(int x, int y, bool leave) {
  if (!doc_) return;
  if (dragging_ && !leave) {
    // A page changed under the drag holds no anchor any more.
    if (doc_->Removals() != dragRemovals_) dragAnchor_ = TextPosition();
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (y < 0) ScrollBy(y);
    if (y > rc.bottom) ScrollBy(y - rc.bottom);
    TextPosition focus = doc_->NearestTextPosition(x, y);
    if (selectable_ && dragAnchor_.node && focus.node && (focus.node != dragAnchor_.node || focus.offset != dragAnchor_.offset)) {
      dragged_ = true;
      doc_->SetSelection(dragAnchor_, focus);
    }
    return;
  }
  Element* target = leave ? nullptr : doc_->HitTest(x, y);
  if (hover_ && doc_->Removals() != hoverRemovals_) hover_ = nullptr;  // may have been destroyed
  if (target != hover_) {
    Element* old = hover_;
    hover_ = target;
    uint32_t before = doc_->Removals();
    if (old) FireHandlers(old, L"onmouseout");
    if (target && doc_->Removals() == before) FireHandlers(target, L"onmouseover");
    hoverRemovals_ = doc_->Removals();
    std::wstring tip = TitleOf(hover_);
    if (!tooltip_ && !tip.empty()) MakeTooltip(x, y);
    if (tooltip_ && tip != tipText_) {
      tipText_ = tip;
      TOOLINFOW ti = {};
      ti.cbSize = TTTOOLINFOW_V1_SIZE;
      ti.uFlags = TTF_IDISHWND;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(hwnd_);
      ti.lpszText = const_cast<wchar_t*>(tipText_.c_str());
      SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
      SendMessageW(tooltip_, TTM_ACTIVATE, !tipText_.empty(), 0);
    }
  }
  if (!leave) {
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&tme);
  }
}

void HtmlView::OnMouseUp(int x, int y) {
  if (!dragging_ || !doc_) return;
  dragging_ = false;
  ReleaseCapture();
  Element* target = doc_->HitTest(x, y);
  if (!FireHandlers(target, L"onmouseup")) return;
  if (!dragged_) Click(target);
}

void HtmlView::Click(Element* target) {
  if (!doc_ || !target) return;
  Document* doc = doc_.get();
  uint32_t removals = doc->Removals();
  Element* link = EnclosingLink(target);
  std::wstring href = link ? link->GetAttribute(L"href") : std::wstring();
  std::wstring frame = link ? link->GetAttribute(L"target") : std::wstring();
  if (!FireHandlers(target, L"onclick")) return;
  if (events_) events_->OnDocumentEvent(DocEvent::kClick, target, 0);
  if (link && doc_.get() == doc && doc->Removals() == removals) {
    RequestNavigation(href, GetKeyState(VK_SHIFT) < 0 ? L"_blank" : frame);
  }
}

void HtmlView::OnDoubleClick(int x, int y) {
  if (!doc_) return;
  TextPosition pos;
  Element* target = doc_->HitTest(x, y, &pos);
  if (pos.node) {
    const std::wstring& t = pos.node->Text();
    uint32_t b = pos.offset, e = pos.offset;
    while (b > 0 && IsWordChar(t[b - 1])) --b;
    while (e < t.size() && IsWordChar(t[e])) ++e;
    if (e > b && !(HostFlags() & kHostDialog)) doc_->SetSelection({pos.node, b}, {pos.node, e});
  }
  if (!FireHandlers(target, L"ondblclick")) return;
  if (events_) events_->OnDocumentEvent(DocEvent::kDoubleClick, target, 0);
}

void HtmlView::OnKeyDown(UINT msg, WPARAM key, LPARAM lp) {
  if (!doc_) return;
  bool ctrl = GetKeyState(VK_CONTROL) < 0;
  if (msg == WM_KEYDOWN && events_) {
    Document* doc = doc_.get();
    events_->OnDocumentEvent(DocEvent::kKeyDown, doc->Body(), static_cast<int>(key));
    if (doc_.get() != doc) return;
  }
  DWORD command = 0;
  if (msg == WM_KEYDOWN && ctrl) {
    command = key == 'C' ? kCmdCopy : key == 'X' ? kCmdCut : key == 'V' ? kCmdPaste : key == 'A' ? kCmdSelectAll
            : key == 'P' ? kCmdPrint : key == 'F' ? kCmdFind : 0;
  } else if (msg == WM_SYSKEYDOWN) {
    command = key == VK_LEFT ? kCmdBack : key == VK_RIGHT ? kCmdForward : 0;
  }
  if (host_) {
    MSG m;
    ZeroMemory(&m, sizeof(m));
    m.hwnd = hwnd_;
    m.message = msg;
    m.wParam = key;
    m.lParam = lp;
    if (host_->TranslateAccelerator(m, command) == S_OK) return;
  }
  switch (command) {
    case kCmdCopy: CopySelection(); return;
    case kCmdSelectAll: doc_->SelectAll(); return;
    case kCmdFind: ShowFindBox(); return;
    case kCmdPrint: ShowPrintPreview(); return;
    default: break;
  }
  if (msg != WM_KEYDOWN) return;
  int page = std::max(kLineStep, doc_->ViewportHeight() - kLineStep);
  switch (key) {
    case VK_UP: ScrollBy(-kLineStep); break;
    case VK_DOWN: ScrollBy(kLineStep); break;
    case VK_PRIOR: ScrollBy(-page); break;
    case VK_NEXT:
    case VK_SPACE: ScrollBy(page); break;
    case VK_HOME: doc_->ScrollTo(0, 0); break;
    case VK_END: doc_->ScrollTo(0, doc_->ContentHeight()); break;
    default: break;
  }
}

void HtmlView::OnContextMenu(int sx, int sy, Element* control) {
  if (!doc_) return;
  POINT screen = {sx, sy};
  POINT client = screen;
  if (sx == -1 && sy == -1) {
    client = {10, 10};
    screen = client;
    ClientToScreen(hwnd_, &screen);
  } else {
    ScreenToClient(hwnd_, &client);
  }
  DWORD kind = kMenuDefault;
  Element* el = control;
  if (control) {
    kind = kMenuControl;
  } else {
    TextPosition pos;
    el = doc_->HitTest(client.x, client.y, &pos);
    if (el && el->Is(L"img")) {
      kind = kMenuImage;
    } else if (doc_->HasSelection() && pos.node) {
      kind = kMenuTextSelect;
    } else if (EnclosingLink(el)) {
      kind = kMenuAnchor;
      el = EnclosingLink(el);
    } else if (!pos.node && el && (el->Is(L"table") || el->Is(L"td") || el->Is(L"tr") || el->Is(L"th"))) {
      kind = kMenuTable;
    }
  }
  if (host_ && host_->ShowContextMenu(kind, screen, el) == S_OK) return;
  if (control) return;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | (doc_->HasSelection() ? 0 : MF_GRAYED), 1, L"Copy");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 2, L"Select All");
  int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, screen.x, screen.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
  if (chosen == 1) CopySelection();
  if (chosen == 2) doc_->SelectAll();
}

void HtmlView::OnControlCommand(HWND control, int code) {
  Element* el = ElementOfControl(control);
  if (!el || !doc_) return;
  if (el->Is(L"select")) {
    if (code == CBN_SELCHANGE) {
      el->SetSelectedIndex(static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0)));
      FireHandlers(el, L"onchange");
    } else if (code == CBN_SETFOCUS) {
      FireHandlers(el, L"onfocus");
    } else if (code == CBN_KILLFOCUS) {
      FireHandlers(el, L"onblur");
    }
    return;
  }
  if (el->Is(L"textarea") || el->IsTextInput()) {
    if (code == EN_SETFOCUS) FireHandlers(el, L"onfocus");
    else if (code == EN_KILLFOCUS) FireHandlers(el, L"onblur");
    return;
  }
  if (code == BN_CLICKED) {
    std::wstring type = el->GetAttribute(L"type");
    if (EqualsNoCase(type, L"checkbox") || EqualsNoCase(type, L"radio")) {
      el->SetChecked(SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
    Click(el);
  }
}

void HtmlView::CopySelection() {
  if (!doc_ || !doc_->HasSelection()) return;
  std::wstring text = doc_->SelectionText();
  if (!OpenClipboardPatiently(hwnd_)) return;
  EmptyClipboard();
  size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (mem) {
    void* p = GlobalLock(mem);
    memcpy(p, text.c_str(), bytes);
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
  }
  CloseClipboard();
}

bool HtmlView::Exec(Command command) {
  if (!doc_) return false;
  switch (command) {
    case Command::kSelectAll: doc_->SelectAll(); return true;
    case Command::kClearSelection: doc_->ClearSelection(); return true;
    case Command::kCopy: CopySelection(); return true;
    case Command::kFind: ShowFindBox(); return findBox_ != nullptr;
    case Command::kPrintPreview: ShowPrintPreview(); return preview_ != nullptr;
  }
  return false;
}

// ---------------------------------------------------------------- find box

namespace {

// The box is no dialog: its controls hand Enter (find the next match) and Esc
// (close the box) to it themselves, whichever of them has the focus.
LRESULT CALLBACK FindBoxKeysProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
  switch (msg) {
    case WM_KEYDOWN:
      if (wp == VK_RETURN || wp == VK_ESCAPE) {
        SendMessageW(GetParent(hwnd), WM_COMMAND, wp == VK_RETURN ? IDOK : IDCANCEL, 0);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wp == L'\r' || wp == 0x1B) return 0;  // the edit would only beep
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, FindBoxKeysProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK FindBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HtmlView* view = PopupOwner(hwnd, msg, lp);
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK && view && view->doc_) {
        wchar_t text[256] = {};
        GetDlgItemTextW(hwnd, 100, text, 256);
        if (!view->doc_->FindText(text, IsDlgButtonChecked(hwnd, 101) == BST_CHECKED)) MessageBeep(MB_OK);
        return 0;
      }
      if (LOWORD(wp) == IDCANCEL) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_CLOSE:
      // The page the box searched takes the keyboard back; made active before
      // the box goes, so that closing it hands the activation nowhere else.
      if (view && view->hwnd_) {
        SetActiveWindow(GetAncestor(view->hwnd_, GA_ROOT));
        SetFocus(view->hwnd_);
      }
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (view) view->findBox_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void HtmlView::ShowFindBox() {
  if (findBox_) {
    SetActiveWindow(findBox_);
    return;
  }
  HINSTANCE inst = GetModuleHandleW(nullptr);
  RegisterOnce(kFindClass, FindBoxProc, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  RECT r;
  GetWindowRect(hwnd_, &r);
  findBox_ = CreateWindowExW(WS_EX_TOOLWINDOW, kFindClass, L"Find", WS_POPUP | WS_CAPTION | WS_SYSMENU, r.left + 20,
                             r.top + 20, 330, 100, GetAncestor(hwnd_, GA_ROOT), nullptr, inst, this);
  if (!findBox_) return;
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 8, 8,
                              210, 22, findBox_, reinterpret_cast<HMENU>(100), inst, nullptr);
  HWND next = CreateWindowExW(0, L"BUTTON", L"Find Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 226, 8,
                              88, 22, findBox_, reinterpret_cast<HMENU>(IDOK), inst, nullptr);
  HWND match = CreateWindowExW(0, L"BUTTON", L"Match case", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 8, 38,
                               120, 20, findBox_, reinterpret_cast<HMENU>(101), inst, nullptr);
  for (HWND h : {edit, next, match}) {
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SetWindowSubclass(h, FindBoxKeysProc, 0, 0);
  }
  ShowWindow(findBox_, SW_SHOW);
  SetFocus(edit);
}

// ---------------------------------------------------------------- print preview

LRESULT CALLBACK PreviewProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HtmlView* view = PopupOwner(hwnd, msg, lp);
  switch (msg) {
    case WM_KEYDOWN:
      if (view && view->previewDoc_) {
        int pages = std::max(1, (view->previewDoc_->ContentHeight() + kPageHeight - 1) / kPageHeight);
        if (wp == VK_NEXT || wp == VK_RIGHT) view->previewPage_ = std::min(pages - 1, view->previewPage_ + 1);
        if (wp == VK_PRIOR || wp == VK_LEFT) view->previewPage_ = std::max(0, view->previewPage_ - 1);
        if (wp == VK_ESCAPE) DestroyWindow(hwnd);
        else InvalidateRect(hwnd, nullptr, TRUE);
        wchar_t title[64];
        swprintf(title, 64, L"Print Preview - page %d of %d", view->previewPage_ + 1, pages);
        if (IsWindow(hwnd)) SetWindowTextW(hwnd, title);
      }
      return 0;
    case WM_PAINT:
      if (view && view->previewDoc_) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
        // The page at its paper size, scaled to the window with a margin.
        ScopedMemoryDC page(dc, kPageWidth, kPageHeight);
        RECT pr = {0, 0, kPageWidth, kPageHeight};
        FillRect(page.Get(), &pr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        int top = view->previewPage_ * kPageHeight;
        SetViewportOrgEx(page.Get(), 0, -top, nullptr);
        RECT clip = {0, top, kPageWidth, top + kPageHeight};
        view->previewDoc_->Paint(page.Get(), clip);
        SetViewportOrgEx(page.Get(), 0, 0, nullptr);
        int availH = rc.bottom - 20, availW = rc.right - 20;
        int h = availH, w = h * kPageWidth / kPageHeight;
        if (w > availW) {
          w = availW;
          h = w * kPageHeight / kPageWidth;
        }
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, (rc.right - w) / 2, 10, w, h, page.Get(), 0, 0, kPageWidth, kPageHeight, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (view) {
        view->preview_ = nullptr;
        view->previewDoc_.reset();
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

namespace {

// The markup holds neither what was typed into a form nor what was picked or
// ticked in it: each control of the copy takes the state of its original.
void CopyFormState(const Document& from, Document& to) {
  std::vector<Element*> source, target;
  for (Element* el : from.All())
    if (el->IsFormControl()) source.push_back(el);
  for (Element* el : to.All())
    if (el->IsFormControl()) target.push_back(el);
  if (source.size() != target.size()) return;
  for (size_t i = 0; i < source.size(); ++i) {
    Element* a = source[i];
    Element* b = target[i];
    if (a->Tag() != b->Tag()) return;
    if (a->Is(L"select")) {
      b->SetSelectedIndex(a->SelectedIndex());
    } else if (a->Is(L"textarea") || a->IsTextInput()) {
      b->SetValue(a->Value());
    } else {
      b->SetChecked(a->Checked());
    }
  }
}

}  // namespace

void HtmlView::ShowPrintPreview() {
  if (!doc_) return;
  if (preview_) DestroyWindow(preview_);
  // A copy of the page laid out at the paper's width; the view keeps its own.
  previewDoc_ = Document::Parse(doc_->Root()->OuterHtml(), doc_->Url());
  CopyFormState(*doc_, *previewDoc_);
  previewDoc_->SetViewport(kPageWidth, kPageHeight);
  previewPage_ = 0;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  RegisterOnce(kPreviewClass, PreviewProc, 0, nullptr);
  preview_ = CreateWindowExW(0, kPreviewClass, L"Print Preview", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                             800, GetAncestor(hwnd_, GA_ROOT), nullptr, inst, this);
  if (preview_) ShowWindow(preview_, SW_SHOW);
}

// ---------------------------------------------------------------- window procedure

LRESULT CALLBACK HtmlView::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  HtmlView* view = reinterpret_cast<HtmlView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    view = static_cast<HtmlView*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    view->hwnd_ = hwnd;
  }
  if (!view) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    view->hwnd_ = nullptr;
    view->tooltip_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  return view->Handle(msg, wp, lp);
}

LRESULT HtmlView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kMsgLoad: {
      std::wstring url;
      url.swap(pending_);
      if (!url.empty()) Load(url);
      return 0;
    }
    case kMsgSync:
      Sync();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      if (doc_) {
        doc_->SetViewport(LOWORD(lp), HIWORD(lp));
        Sync();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    case WM_VSCROLL: {
      if (!doc_) return 0;
      SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
      GetScrollInfo(hwnd_, SB_VERT, &si);
      int y = doc_->ScrollY();
      switch (LOWORD(wp)) {
        case SB_LINEUP: y -= kLineStep; break;
        case SB_LINEDOWN: y += kLineStep; break;
        case SB_PAGEUP: y -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: y += static_cast<int>(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: y = si.nTrackPos; break;
        case SB_TOP: y = 0; break;
        case SB_BOTTOM: y = doc_->ContentHeight(); break;
        default: break;
      }
      doc_->ScrollTo(doc_->ScrollX(), y);
      return 0;
    }
    case WM_MOUSEWHEEL:
      ScrollBy(-GET_WHEEL_DELTA_WPARAM(wp) * kLineStep * 3 / WHEEL_DELTA);
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), false);
      return 0;
    case WM_MOUSELEAVE:
      if (!dragging_) OnMouseMove(0, 0, true);
      return 0;
    case WM_LBUTTONUP:
      OnMouseUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && doc_ && reinterpret_cast<HWND>(wp) == hwnd_) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        TextPosition pos;
        Element* el = doc_->HitTest(p.x, p.y, &pos);
        bool text = pos.node && !(HostFlags() & kHostDialog);
        SetCursor(LoadCursorW(nullptr, EnclosingLink(el) ? IDC_HAND : text ? IDC_IBEAM : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      OnKeyDown(msg, wp, lp);
      if (msg == WM_SYSKEYDOWN) break;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_CONTEXTMENU: {
      HWND from = reinterpret_cast<HWND>(wp);
      OnContextMenu(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), from != hwnd_ ? ElementOfControl(from) : nullptr);
      return 0;
    }
    case WM_COMMAND:
      if (lp) OnControlCommand(reinterpret_cast<HWND>(lp), HIWORD(wp));
      return 0;
    case WM_DESTROY:
      // The tool tip is owned by the top-level window, which outlives this one.
      if (tooltip_) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      if (findBox_) DestroyWindow(findBox_);
      if (preview_) DestroyWindow(preview_);
      windowed_.clear();
      keepControls_ = false;  // the spare windows go with this one
      spare_.clear();
      places_.clear();
      doc_.reset();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace htmlview
