// The HTML view: a child window of class "Internet Explorer_Server" that loads
// pages ("about:blank" and local files), paints them with GDI, and reports
// navigation and page events to its owner. Pages have no script engine: the
// inline handlers window.navigate('...') and this.className='...' are run.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/htmlview/HtmlDom.h"

namespace htmlview {

enum class DocEvent { kClick, kDoubleClick, kKeyDown };

// What the view tells its owner.
class HtmlViewEvents {
 public:
  virtual ~HtmlViewEvents() = default;
  // Every Navigate2, link activation and window.navigate(...): the URL as
  // written (still percent-encoded); set *cancel to stop the navigation.
  virtual void OnBeforeNavigate(const std::wstring& url, bool* cancel) { (void)url, (void)cancel; }
  // The page has loaded; url is exactly the text that was navigated to.
  virtual void OnDocumentComplete(const std::wstring& url) { (void)url; }
  // A link asked for a new window; the view never opens one.
  virtual void OnNewWindow() {}
  // The document's onclick, ondblclick and onkeydown, after the page's own handlers.
  virtual void OnDocumentEvent(DocEvent kind, Element* source, int keyCode) { (void)kind, (void)source, (void)keyCode; }
};

// Context-menu kinds and key command ids, numbered as the host handlers know them.
enum ContextMenuKind : DWORD {
  kMenuDefault = 0, kMenuImage = 1, kMenuControl = 2, kMenuTable = 3, kMenuTextSelect = 4, kMenuAnchor = 5
};
constexpr DWORD kCmdCopy = 15, kCmdCut = 16, kCmdPaste = 26, kCmdPrint = 27, kCmdSelectAll = 31, kCmdFind = 67,
                kCmdBack = 2282, kCmdForward = 2283;
// Host flags.
constexpr DWORD kHostDialog = 1, kHostNo3DBorder = 4, kHostNoScroll = 8;

// The owner's say over menus, keys and borders.
class HostHandler {
 public:
  virtual ~HostHandler() = default;
  // S_OK: the host showed its own menu (or none); S_FALSE: the view shows its own.
  virtual HRESULT ShowContextMenu(DWORD kind, POINT screen, Element* element) {
    (void)kind, (void)screen, (void)element;
    return S_FALSE;
  }
  // S_OK swallows the key; S_FALSE lets the view act on it. commandId is 0 for
  // keys that are no command.
  virtual HRESULT TranslateAccelerator(const MSG& msg, DWORD commandId) {
    (void)msg, (void)commandId;
    return S_FALSE;
  }
  // kHostDialog: no text selection; kHostNo3DBorder: no sunken edge; kHostNoScroll: no scroll bar.
  virtual DWORD GetHostFlags() { return kHostNo3DBorder; }
};

enum class Command { kSelectAll, kClearSelection, kCopy, kFind, kPrintPreview };

class HtmlView : public DocumentSite {
 public:
  static const wchar_t kClassName[];

  HtmlView();
  ~HtmlView() override;
  HtmlView(const HtmlView&) = delete;
  HtmlView& operator=(const HtmlView&) = delete;

  bool Create(HWND parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);
  HWND Hwnd() const { return hwnd_; }
  void SetEvents(HtmlViewEvents* events) { events_ = events; }
  void SetHostHandler(HostHandler* host) { host_ = host; }

  // Starts loading url after the before-navigate callback; the document-complete
  // callback follows from the message loop. False when cancelled or no window.
  bool Navigate2(const std::wstring& url);
  // The current document: null until the first page has loaded.
  Document* GetDocument() const { return doc_.get(); }
  bool Exec(Command command);
  // Runs a page's inline handler text with self as "this".
  void RunInlineHandler(Element* self, const std::wstring& script);
  // The find box and print preview windows, when open.
  HWND FindBox() const { return findBox_; }
  HWND PreviewWindow() const { return preview_; }

  // DocumentSite
  void OnDocumentChanged() override;
  void OnScrollRequest(int x, int y) override;
  void OnControlDestroyed(Element* element) override;
  bool KeepControlWindow(HWND control) override;
  void OnFocusRequest(Element* element) override;
  HDC MeasureDC() override;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Load(const std::wstring& url);
  void RequestNavigation(const std::wstring& url, const std::wstring& target);
  void Sync();
  void UpdateScrollBar();
  DWORD HostFlags() const { return host_ ? host_->GetHostFlags() : kHostNo3DBorder; }
  void ApplyBorder();
  void SyncControls();
  void CreateControl(Element* el);
  Element* ElementOfControl(HWND control) const;
  void Paint();
  void OnMouseDown(int x, int y);
  void OnMouseMove(int x, int y, bool leave);
  void MakeTooltip(int x, int y);
  void OnMouseUp(int x, int y);
  void OnDoubleClick(int x, int y);
  void OnKeyDown(UINT msg, WPARAM key, LPARAM lp);
  void OnContextMenu(int x, int y, Element* control);
  void OnControlCommand(HWND control, int code);
  bool FireHandlers(Element* target, const wchar_t* attribute);
  void Click(Element* target);
  void ScrollBy(int dy);
  void CopySelection();
  void ShowFindBox();
  void ShowPrintPreview();

  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  HWND findBox_ = nullptr;
  HWND preview_ = nullptr;
  std::unique_ptr<Document> doc_;
  std::unique_ptr<Document> previewDoc_;
  int previewPage_ = 0;
  std::vector<Element*> windowed_;  // elements that own a control window
  // Control windows of elements that left, hidden, for the next page's
  // controls of the same class and style: a result page that carries a form
  // has it replaced on every lookup, and creating its windows anew cost more
  // than the rest of the lookup under Wine.
  struct SpareControl {
    HWND hwnd;
    const wchar_t* cls;  // one of the class names below
    DWORD style;         // as made, less WS_DISABLED
  };
  struct ControlMaking {
    const wchar_t* cls;
    DWORD style;
    std::wstring text;
    bool checkable;  // a check box or radio button, whose state the element keeps
    HFONT font;      // the element's font; null: the control's own
  };
  static constexpr const wchar_t* kButtonClass = L"BUTTON";
  static constexpr const wchar_t* kEditClass = L"EDIT";
  static constexpr const wchar_t* kComboClass = L"COMBOBOX";
  static ControlMaking MakingOf(Element* el);
  HWND MakeControlWindow(const ControlMaking& making);
  void PlaceControl(HWND control, const RECT& rect);
  void ForgetPlace(HWND control);
  std::vector<SpareControl> spare_;
  // The rectangle each control window, in use or spare, was last given (a
  // drop-down list's window is as high as its edit part, not as given).
  std::unordered_map<HWND, RECT> places_;
  bool keepControls_ = true;  // off while the view goes
  bool sparesShown_ = false;  // spare windows left on the screen for the next placing
  HtmlViewEvents* events_ = nullptr;
  HostHandler* host_ = nullptr;
  std::wstring pending_;
  bool syncPosted_ = false;
  bool dragging_ = false;
  bool dragged_ = false;
  bool selectable_ = true;
  TextPosition dragAnchor_;
  uint32_t dragRemovals_ = 0;
  Element* hover_ = nullptr;
  uint32_t hoverRemovals_ = 0;
  std::wstring tipText_;
  friend LRESULT CALLBACK FindBoxProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK PreviewProc(HWND, UINT, WPARAM, LPARAM);
};

}  // namespace htmlview
