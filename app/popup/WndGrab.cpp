#include "app/popup/WndGrab.h"

#include <cstring>
#include <vector>

#include "app/popup/GrabWord.h"
#include "app/popup/PageMenus.h"
#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"
#include "core/Clipboard.h"
#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "dict/DictManager.h"

namespace {

constexpr UINT kIdView = 165;
constexpr UINT kIdOpen = 106;
constexpr UINT kIdCopy = 1018;
constexpr UINT kIdSpeak = 1019;
constexpr UINT kIdTranslate = 172;
constexpr UINT kIdKeepVisible = 117;

HWND MainWindow() {
  CWnd* main = AfxGetMainWnd();
  return main ? main->m_hWnd : nullptr;
}

POINT CursorPoint() {
  POINT pt = {0, 0};
  GetCursorPos(&pt);
  return pt;
}

// A GDI object selected into a DC for one scope.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (old_) SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

void FrameOnePixel(HDC dc, const RECT& rc, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(dc, &rc, brush);
  DeleteObject(brush);
}

void FillColor(HDC dc, const RECT& rc, COLORREF color) {
  const COLORREF old = SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

// The clipboard's text: Unicode first, then ANSI, then OEM; at most 256
// characters. False for other content or a clipboard that cannot be opened.
bool ReadClipboardText(std::wstring& text, HWND owner) {
  text.clear();
  UINT formats[] = {CF_UNICODETEXT, CF_TEXT, CF_OEMTEXT};
  const int format = GetPriorityClipboardFormat(formats, 3);
  if (format <= 0 || !OpenClipboardPatiently(owner)) return false;
  bool ok = false;
  if (HANDLE data = GetClipboardData(static_cast<UINT>(format))) {
    const SIZE_T size = GlobalSize(data);
    if (const void* p = GlobalLock(data)) {
      if (format == CF_UNICODETEXT) {
        const wchar_t* w = static_cast<const wchar_t*>(p);
        const size_t cap = size / sizeof(wchar_t) < 256 ? size / sizeof(wchar_t) : 256;
        size_t n = 0;
        while (n < cap && w[n]) ++n;
        text.assign(w, n);
      } else {
        const char* a = static_cast<const char*>(p);
        const size_t cap = size < 256 ? size : 256;
        size_t n = 0;
        while (n < cap && a[n]) ++n;
        if (n) MultiByteToWString(text, a, static_cast<int>(n), format == CF_TEXT ? CP_ACP : CP_OEMCP, 0);
      }
      GlobalUnlock(data);
      ok = true;
    }
  }
  CloseClipboard();
  return ok;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWndGrab, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_NCHITTEST()
  ON_WM_CREATE()
  ON_WM_MOVE()
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_DESTROY()
  ON_WM_CHANGECBCHAIN()
  ON_WM_DRAWCLIPBOARD()
  ON_WM_COPYDATA()
  ON_BN_CLICKED(kIdOpen, OnOpen)
  ON_BN_CLICKED(kIdCopy, OnCopy)
  ON_BN_CLICKED(kIdSpeak, OnSpeak)
  ON_BN_CLICKED(kIdTranslate, OnTranslate)
  ON_BN_CLICKED(kIdKeepVisible, OnKeepVisible)
END_MESSAGE_MAP()

CWndGrab::CWndGrab() { std::memset(&m_grab, 0, sizeof(m_grab)); }

CWndGrab::~CWndGrab() = default;

int CWndGrab::OnCreate(LPCREATESTRUCTW cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(theApp.m_uiFont)), TRUE);

  m_crText = theApp.m_settings.GetInt(L"Appearance", L"GrabTextColor", 0);
  m_crBack = theApp.m_settings.GetInt(L"Appearance", L"GrabBackColor", 0);
  m_crBorder = theApp.m_settings.GetInt(L"Appearance", L"GrabBorderColor", 0);

  CRect client;
  GetClientRect(&client);
  CRect viewRect(1, m_nCaptionHeight + 2, client.right - 1, client.bottom - 1);
  if (viewRect.right < viewRect.left) viewRect.right = viewRect.left;
  if (viewRect.bottom < viewRect.top) viewRect.bottom = viewRect.top;
  if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, viewRect, this, kIdView)) return -1;
  m_view.Navigate2(L"about:blank");

  struct {
    CGImageButton* button;
    UINT id;
    const wchar_t* image;
    const wchar_t* tooltip;
    DWORD style;
  } buttons[] = {
      {&m_btnOpen, kIdOpen, L"btn_open.png", L"Open", BS_PUSHBUTTON},
      {&m_btnCopy, kIdCopy, L"btn_copy.png", L"Copy", BS_PUSHBUTTON},
      {&m_btnSpeak, kIdSpeak, L"btn_speak.png", L"Speak", BS_PUSHBUTTON},
      {&m_btnTranslate, kIdTranslate, L"btn_tt.png", L"TextTranslation", BS_PUSHBUTTON},
      {&m_btnKeepVisible, kIdKeepVisible, L"btn_keepvisual.png", L"KeepVisible", BS_AUTOCHECKBOX},
  };
  for (auto& b : buttons) {
    b.button->Create(L"", WS_VISIBLE | b.style, CRect(0, 0, 0, 0), this, b.id);
    CPngImage png;
    if (png.LoadFile((theApp.m_imageFolder + b.image).c_str(), 0)) b.button->SetImageList(png.GetImage(), 16, 18, 1);
    b.button->SetText(L"", theApp.m_uiText.GetString(L"WndGrab", b.tooltip).c_str(), 0);
    b.button->CalcFixSize(0, 1);
  }
  return 0;
}

BOOL CWndGrab::OnEraseBkgnd(CDC*) { return TRUE; }

void CWndGrab::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (!m_view.m_hWnd) return;
  // A button is moved only when it is not in its place: the four on the left
  // stay where they are, and a move that changes nothing still costs a
  // round of window messages (each a fraction of a millisecond under Wine,
  // on every popup that changes its size).
  auto place = [this](CGImageButton& b, int x, int y) {
    CRect rc;
    b.GetWindowRect(&rc);
    ScreenToClient(&rc);
    if (rc.left != x || rc.top != y) b.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return rc.Width();
  };
  int x = 4;
  for (CGImageButton* b : {&m_btnOpen, &m_btnCopy, &m_btnSpeak, &m_btnTranslate}) x += place(*b, x, 4) + 2;
  CRect keep;
  m_btnKeepVisible.GetWindowRect(&keep);
  place(m_btnKeepVisible, cx - keep.Width() - 4, 4);
  m_view.SetWindowPos(nullptr, 1, m_nCaptionHeight + 2, cx - 2, cy - m_nCaptionHeight - 3,
                      SWP_NOZORDER | SWP_NOACTIVATE);
  if (!m_bPositioning) {
    GetWindowRect(&m_rcWindow);
    m_rcKeepZone = KeepZoneOf(m_rcWindow);
    // Sized by the user's drag: later results keep that size and scroll.
    if (m_bSizeMove) m_bUserSized = 1;
  }
}

void CWndGrab::OnMove(int x, int y) {
  CWnd::OnMove(x, y);
  if (m_bPositioning) return;
  OffsetRect(&m_rcWindow, x - m_rcWindow.left, y - m_rcWindow.top);
  m_rcKeepZone = KeepZoneOf(m_rcWindow);
}

void CWndGrab::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 150;
  info->ptMinTrackSize.y = 50;
}

void CWndGrab::OnPaint() {
  CPaintDC paint(this);
  HDC dc = paint.m_hDC;
  CRect client;
  GetClientRect(&client);
  FrameOnePixel(dc, client, m_crBorder);
  const RECT line = {client.left, client.top + m_nCaptionHeight + 1, client.right, client.top + m_nCaptionHeight + 2};
  FillColor(dc, line, m_crBorder);

  for (CGImageButton* b : {&m_btnOpen, &m_btnCopy, &m_btnSpeak, &m_btnTranslate, &m_btnKeepVisible}) {
    if (!b->m_hWnd) continue;
    CRect rc;
    b->GetWindowRect(&rc);
    ScreenToClient(&rc);
    ExcludeClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  }
  const RECT title = {client.left + 1, client.top + 1, client.right - 1, client.top + 1 + m_nCaptionHeight};
  FillColor(dc, title, m_crBack);

  RECT textRect = {client.left + 1, client.top + 1, client.right - 1, 24};
  if (m_btnTranslate.m_hWnd && m_btnKeepVisible.m_hWnd) {
    CRect left, right;
    m_btnTranslate.GetWindowRect(&left);
    m_btnKeepVisible.GetWindowRect(&right);
    ScreenToClient(&left);
    ScreenToClient(&right);
    textRect.left = left.right + 10;
    textRect.right = right.left - 10;
  }
  ScopedSelect font(dc, static_cast<HFONT>(theApp.m_uiBoldFont));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, m_crText);
  DrawTextW(dc, m_strWord.c_str(), static_cast<int>(m_strWord.size()), &textRect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

int CWndGrab::TitleBarWidth() {
  if (!m_btnTranslate.m_hWnd || !m_btnKeepVisible.m_hWnd) return 0;
  // The buttons as OnSize places them, whether placed yet or not.
  int x = 4;
  for (CGImageButton* b : {&m_btnOpen, &m_btnCopy, &m_btnSpeak, &m_btnTranslate}) {
    CRect rc;
    b->GetWindowRect(&rc);
    x += rc.Width() + 2;
  }
  CRect keep;
  m_btnKeepVisible.GetWindowRect(&keep);
  CClientDC dc(this);
  ScopedSelect font(dc.m_hDC, static_cast<HFONT>(theApp.m_uiBoldFont));
  SIZE text = {0, 0};
  GetTextExtentPoint32W(dc.m_hDC, m_strWord.c_str(), static_cast<int>(m_strWord.size()), &text);
  // As painted: 10 pixels each side of the word, the keep-visible button 4
  // pixels from the right edge.
  return x - 2 + 10 + text.cx + 10 + keep.Width() + 4;
}

LRESULT CWndGrab::OnNcHitTest(CPoint point) {
  CRect r;
  GetWindowRect(&r);
  r.DeflateRect(1, 1);
  const int x = point.x, y = point.y;
  if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
    return y < r.top + m_nCaptionHeight ? HTCAPTION : CWnd::OnNcHitTest(point);
  if (x < r.left) return y < r.top + 15 ? HTTOPLEFT : y < r.bottom - 15 ? HTLEFT : HTBOTTOMLEFT;
  if (x >= r.right) return y < r.top + 15 ? HTTOPRIGHT : y < r.bottom - 15 ? HTRIGHT : HTBOTTOMRIGHT;
  if (y < r.top) return x < r.left + 15 ? HTTOPLEFT : x < r.right - 15 ? HTTOP : HTTOPRIGHT;
  return x < r.left + 15 ? HTBOTTOMLEFT : x < r.right - 15 ? HTBOTTOM : HTBOTTOMRIGHT;
}

void CWndGrab::OnDestroy() {
  JoinClipboardChain(false);
  CWnd::OnDestroy();
}

BOOL CWndGrab::OnCopyData(CWnd*, COPYDATASTRUCT* data) {
  if (!data || data->dwData != WM_GRAB_TEXT || data->cbData != sizeof(GrabTextResult) || !data->lpData) return FALSE;
  std::memcpy(&m_grab, data->lpData, sizeof(m_grab));
  // The text must end inside the record whatever the sender wrote.
  m_grab.text[kGrabTextCapacity - 1] = 0;
  PostGrabText(1, 0);
  return TRUE;
}

void CWndGrab::DropQueuedGrabText() {
  MSG msg;
  while (m_hWnd && PeekMessageW(&msg, m_hWnd, WM_GRAB_TEXT, WM_GRAB_TEXT, PM_REMOVE)) {
  }
}

void CWndGrab::PostGrabText(WPARAM extract, LPARAM keepPosition) {
  DropQueuedGrabText();
  PostMessage(WM_GRAB_TEXT, extract, keepPosition);
}

void CWndGrab::HideUnlessPinned() {
  if (!m_bKeepVisible) ShowWindow(SW_HIDE);
}

void CWndGrab::HideOutsideZone(POINT point) {
  if (!m_bKeepVisible && !PtInRect(&m_rcKeepZone, point)) ShowWindow(SW_HIDE);
}

LRESULT CWndGrab::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GRAB_MOUSEMOVE:
      if (!m_bKeepVisible && IsWindowVisible()) {
        HideOutsideZone({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      }
      return 1;
    case WM_GRAB_TEXT:
      ShowResult(static_cast<int>(wParam), static_cast<int>(lParam));
      return 1;
    case WM_APP_LINK:
      return OnAppLink(reinterpret_cast<const wchar_t*>(wParam), reinterpret_cast<const wchar_t*>(lParam));
    case WM_PAGE_ACTION:
      switch (wParam) {
        case kActionSection: return ToggleDictSection(reinterpret_cast<const SectionToggle*>(lParam));
        case kActionTextTranslation: return SendToTextTranslation();
        case kActionWebSearch: return WebSearch(reinterpret_cast<const wchar_t*>(lParam));
        default: return 0;
      }
    case WM_PAGE_READY:
      if (HWND main = MainWindow()) ::PostMessageW(main, WM_PAGE_READY, 0, reinterpret_cast<LPARAM>(m_hWnd));
      return 1;
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
      m_bSizeMove = message == WM_ENTERSIZEMOVE;
      return CWnd::DefWindowProc(message, wParam, lParam);
    case WM_GUI_PARENTBKGND:
      return OnParentBackground(reinterpret_cast<const RECT*>(wParam), reinterpret_cast<GuiBkgndRequest*>(lParam));
    default:
      return CWnd::DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWndGrab::OnParentBackground(const RECT* rect, GuiBkgndRequest* request) {
  if (!rect || !request) return 0;
  const RECT area = {request->x, request->y, request->x + (rect->right - rect->left),
                     request->y + (rect->bottom - rect->top)};
  if (request->kind == 0 && request->dc) {
    FillColor(request->dc->m_hDC, area, m_crBack);
    return 1;
  }
  if (request->kind == 1 && request->image && !request->image->IsEmpty()) {
    const uint32_t pixel = 0xFF000000u | (GetRValue(m_crBack) << 16) | (GetGValue(m_crBack) << 8) | GetBValue(m_crBack);
    request->image->FillRect(area, pixel);
    return 1;
  }
  return 0;
}

bool CWndGrab::ExtractWord(std::wstring& word, const wchar_t* text, int length, int index) {
  GrabIgnore ignore;
  ignore.latin = theApp.m_settings.GetBool(L"Translate", L"IgnoreLatin", false);
  ignore.cyrillic = theApp.m_settings.GetBool(L"Translate", L"IgnoreCyrillic", false);
  ignore.cjk = theApp.m_settings.GetBool(L"Translate", L"IgnoreCJK", false);
  CDictManager* manager = theApp.GetDictManager();
  return ::ExtractWord(word, text, length, index, ignore, [manager](const wchar_t* w, uint32_t n) {
    return manager->LookupInGroup(w, n, true, kGroupGrab, 0xFFFFFFFF);
  });
}

BOOL CWndGrab::ShowResult(int extract, int keepPosition) {
  const int length = m_grab.length < 0 ? 0 : m_grab.length > kGrabTextCapacity ? kGrabTextCapacity : m_grab.length;
  if (extract) {
    m_strWord.clear();
    if (length != 0 && m_grab.index != -1) ExtractWord(m_strWord, m_grab.text, length, m_grab.index);
  } else {
    m_strWord.assign(m_grab.text, wcsnlen(m_grab.text, length));
  }
  const POINT point = {m_grab.x, m_grab.y};
  m_strHtml.clear();
  if (m_strWord.empty()) {
    HideOutsideZone(point);
    return FALSE;
  }

  std::vector<CDictFile*> dicts;
  std::vector<std::wstring> fragments;
  theApp.GetDictManager()->QueryGroup(dicts, fragments, m_strWord.c_str(), kGroupGrab);
  for (const std::wstring& f : fragments) m_strHtml += f;
  if (fragments.empty()) {
    std::wstring escaped;
    EscapeXmlText(escaped, m_strWord.c_str(), static_cast<uint32_t>(m_strWord.size()), true);
    AppendFormatWString(m_strHtml, theApp.m_uiText.GetString(L"WebResult", L"NoMatch").c_str(), escaped.c_str());
    AppendFormatWString(m_strHtml, theApp.m_uiText.GetString(L"WebResult", L"MoreActions").c_str(),
                        theApp.m_iconFolder.c_str(), theApp.m_iconFolder.c_str());
  }

  // The page is at most half the screen each way: a popup of that size fits
  // below or above the cursor wherever the cursor is. Longer entries scroll.
  const SIZE screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const SIZE chrome = {2, m_nCaptionHeight + 3};
  const SIZE limit = {screen.cx / 2 - chrome.cx, screen.cy / 2 - 40 - chrome.cy};
  int width = 0, height = 0;
  if (!m_view.ShowHtml(width, height, m_strHtml.c_str(), m_strWord.c_str(), true, limit)) return FALSE;

  HWND source = reinterpret_cast<HWND>(static_cast<uintptr_t>(m_grab.hwnd));
  const bool keep = m_bKeepVisible || keepPosition || source == m_hWnd || ::IsChild(m_hWnd, source);
  CRect current;
  GetWindowRect(&current);
  SIZE size = m_bUserSized ? SIZE{current.Width(), current.Height()} : SIZE{width + chrome.cx, height + chrome.cy};
  // Wide enough for the word in the title bar as well.
  if (!m_bUserSized && size.cx < TitleBarWidth()) size.cx = TitleBarWidth();
  PlaceGrabWindow(m_rcWindow, m_rcKeepZone, size.cx, size.cy, point, keep, {current.left, current.top},
                  m_bKeepVisible != 0, screen);

  m_bPositioning = 1;
  // The title shows the new word. The buttons have not changed and the view
  // redraws its own page: invalidated with the popup (which does not clip its
  // children), the five buttons were painted again for each result shown in
  // a popup that stays up at its size.
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
  SetWindowPos(&CWnd::wndTopMost, m_rcWindow.left, m_rcWindow.top, m_rcWindow.right - m_rcWindow.left,
               m_rcWindow.bottom - m_rcWindow.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  m_bPositioning = 0;

  const wchar_t* realtime = theApp.m_settings.GetValue(L"Speech", L"RealtimePron");
  if (!fragments.empty() && realtime && ParseBoolText(realtime))
    theApp.SpeakWord(m_strWord.c_str(), static_cast<uint32_t>(m_strWord.size()));
  return TRUE;
}

void CWndGrab::SetColors(COLORREF text, COLORREF back, COLORREF border) {
  m_crText = text;
  m_crBack = back;
  m_crBorder = border;
  if (m_hWnd) InvalidateRect(nullptr, TRUE);
}

void CWndGrab::JoinClipboardChain(bool join) {
  if (!m_hWnd) return;
  if (join && !m_bClipboardViewer) {
    m_hNextViewer = ::SetClipboardViewer(m_hWnd);
    m_bClipboardViewer = 1;
  } else if (!join && m_bClipboardViewer) {
    m_bClipboardViewer = 0;
    ::ChangeClipboardChain(m_hWnd, m_hNextViewer);
    m_hNextViewer = nullptr;
  }
}

void CWndGrab::OnChangeCbChain(HWND removed, HWND next) {
  if (removed == m_hNextViewer) m_hNextViewer = next;
  if (m_hNextViewer)
    ::SendMessageW(m_hNextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
}

void CWndGrab::OnDrawClipboard() {
  if (m_bClipboardViewer) {
    HWND owner = GetClipboardOwner();
    std::wstring text;
    if (ReadClipboardText(text, m_hWnd)) {
      TrimWString(text, L" \t\r\n", 0);
      if (!text.empty()) {
        std::memset(&m_grab, 0, sizeof(m_grab));
        const POINT pt = CursorPoint();
        m_grab.hwnd = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(owner));
        m_grab.x = pt.x;
        m_grab.y = pt.y;
        m_grab.index = 0;
        const size_t n = text.size() < kGrabTextCapacity ? text.size() : kGrabTextCapacity;
        m_grab.length = static_cast<int32_t>(n);
        std::memcpy(m_grab.text, text.data(), n * sizeof(wchar_t));
        PostGrabText(0, 0);
      }
    }
  }
  if (m_hNextViewer) ::SendMessageW(m_hNextViewer, WM_DRAWCLIPBOARD, 0, 0);
}

LRESULT CWndGrab::OnAppLink(const wchar_t* command, const wchar_t* argument) {
  if (!command || !argument || CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, command, -1, L"headword", -1) != CSTR_EQUAL)
    return 0;
  std::memset(&m_grab, 0, sizeof(m_grab));
  const POINT pt = CursorPoint();
  const size_t length = wcslen(argument);
  const size_t n = length < kGrabTextCapacity ? length : kGrabTextCapacity;
  m_grab.hwnd = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_hWnd));
  m_grab.x = pt.x;
  m_grab.y = pt.y;
  m_grab.index = 0;
  m_grab.length = static_cast<int32_t>(n);
  std::memcpy(m_grab.text, argument, n * sizeof(wchar_t));
  PostGrabText(0, 1);
  return 1;
}

LRESULT CWndGrab::ToggleDictSection(const SectionToggle* record) {
  if (!record) return 0;
  bool minimized = false;
  if (!SetSectionState(*theApp.GetDictManager(), record->kind, record->id, false, false, minimized)) return 1;
  m_view.SetElementDisplay(SectionMeaningName(record->id).c_str(), minimized ? L"none" : L"");
  m_view.SetElementAttribute(SectionShowName(record->id).c_str(), L"title",
                             theApp.m_uiText.GetString(L"Layout", minimized ? L"ShowResult" : L"MinimizeResult").c_str());
  return 1;
}

LRESULT CWndGrab::SendToTextTranslation() {
  if (HWND main = MainWindow()) {
    ::SendMessageW(main, WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(m_strWord.c_str()), kLookupIntoSearchBox);
    ::SendMessageW(main, WM_COMMAND, kCmdShowMainWindow, 0);
    HideUnlessPinned();
    ::SendMessageW(main, WM_PAGE_ACTION, kActionTextTranslation, reinterpret_cast<LPARAM>(L""));
  } else {
    HideUnlessPinned();
  }
  return 1;
}

LRESULT CWndGrab::WebSearch(const wchar_t* argument) {
  if (!argument) return 0;
  HideUnlessPinned();
  const std::wstring lang = theApp.m_settings.GetString(L"General", L"LangCode", L"");
  const std::wstring engine = theApp.m_settings.GetString(L"General", L"SearchEngine", L"");
  const std::wstring urlTemplate = theApp.m_uiText.GetString(L"SearchEngine", engine.c_str(), L"", 0);
  const uint32_t codePage = theApp.m_uiText.GetInt(L"SearchEngine", engine.c_str(), 0, 2);
  std::wstring key;
  if (codePage == 0) {
    UrlEncode(key, m_strWord.c_str());
  } else {
    std::string bytes, encoded;
    WStringToMultiByte(bytes, m_strWord.c_str(), static_cast<int>(m_strWord.size()), codePage, 0);
    PercentEncodeString(encoded, bytes.c_str());
    MultiByteToWString(key, encoded.c_str(), static_cast<int>(encoded.size()), codePage, 0);
  }
  ShellOpen(BuildSearchUrl(urlTemplate, key, lang).c_str(), nullptr, m_hWnd);
  return 1;
}

void CWndGrab::OnOpen() {
  HWND main = MainWindow();
  if (!main) return;
  ::SendMessageW(main, WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(m_strWord.c_str()), kLookupFromPopup);
  ::SendMessageW(main, WM_COMMAND, kCmdShowMainWindow, 0);
  // Hidden once the main window is in front: hidden first, the popup (active
  // since the click) would hand the activation to the program under it, and
  // that program's late focus event can bring it back over the main window.
  HideUnlessPinned();
}

void CWndGrab::OnCopy() {
  if (m_view.HasTextSelection())
    m_view.ExecWB(htmlview::Command::kCopy);
  else
    CopyTextToClipboard(m_strWord.c_str(), m_hWnd);
}

void CWndGrab::OnSpeak() {
  if (!theApp.GetSpeechVoice()) return;
  std::wstring text;
  if (!m_view.GetSelectedText(text)) text = m_strWord;
  TrimWString(text, L" \t\r\n", 0);
  if (!text.empty()) theApp.SpeakWord(text.c_str(), static_cast<uint32_t>(text.size()));
}

void CWndGrab::OnTranslate() { SendToTextTranslation(); }

void CWndGrab::OnKeepVisible() { m_bKeepVisible = m_btnKeepVisible.GetCheck() == 1 ? 1 : 0; }

BOOL CWndGrab::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_MOUSEWHEEL) {
    HWND doc = m_view.GetDocumentWindow();
    RECT rc;
    const POINT pt = {static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam))};
    if (doc && ::GetWindowRect(doc, &rc) && PtInRect(&rc, pt)) {
      m_view.SendToDocumentWindow(pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    }
  }
  return CWnd::PreTranslateMessage(pMsg);
}
