#include "app/frame/FrameInternal.h"

#include <shellapi.h>

#include <cwchar>

#include "app/frame/FrameLayout.h"
#include "app/frame/FrameRes.h"
#include "app/frame/LookupPage.h"
#include "app/shell/AppServices.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"

using namespace frame;

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_SYSCOMMAND()
  ON_WM_NCCALCSIZE()
  ON_WM_ERASEBKGND()
  ON_WM_NCACTIVATE()
  ON_WM_NCPAINT()
  ON_WM_PAINT()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_GETMINMAXINFO()
  ON_WM_SETFOCUS()
  ON_WM_SETCURSOR()
  ON_COMMAND(ID_MENU_EXIT, OnExit)
  ON_COMMAND(ID_APP_OPEN, OnOpen)
  ON_COMMAND(ID_DICTIONARIES, OnDictionaries)
  ON_COMMAND(ID_CONFIGURATION, OnConfiguration)
  ON_COMMAND(ID_ABOUT, OnAbout)
  ON_COMMAND(ID_MENU_HELP, OnHelp)
  ON_COMMAND(ID_SUPPORT, OnSupport)
  ON_COMMAND(ID_WEB_SEARCH, OnWebSearch)
  ON_COMMAND(ID_CURSOR_TRANSLATOR, OnCursorTranslator)
  ON_COMMAND(ID_CLIPBOARD_TRANSLATOR, OnClipboardTranslator)
  ON_COMMAND(IDC_FRAME_MINIMIZE, OnMinimize)
  ON_COMMAND(IDC_FRAME_CLOSE, HideToTray)
  ON_COMMAND(IDC_FRAME_PIN, OnKeepVisible)
  ON_COMMAND(IDC_FRAME_FOOTER, OnFooterLink)
  ON_COMMAND(IDC_FRAME_MAXIMIZE, OnSysMaximize)
  ON_COMMAND(IDC_VIEW_INDEX_BUTTON, OnToggleIndexPane)
END_MESSAGE_MAP()

namespace {

constexpr UINT kTrayIconId = 128;

// "left, top, right, bottom" of a rectangle, signed decimal.
std::wstring RectText(const RECT& r) {
  std::wstring text;
  FormatWString(text, L"%d, %d, %d, %d", static_cast<int>(r.left), static_cast<int>(r.top),
                static_cast<int>(r.right), static_cast<int>(r.bottom));
  return text;
}

// A store's list of four integers; missing numbers count as 0.
RECT StoredRect(const wchar_t* section, const wchar_t* key) {
  std::vector<int32_t> numbers;
  theApp.m_userState.GetIntList(section, key, numbers);
  numbers.resize(4, 0);
  return RECT{numbers[0], numbers[1], numbers[2], numbers[3]};
}

HICON LoadProgramIcon(UINT id, int size) {
  return static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size,
                                         LR_SHARED));
}

// Copies at most capacity - 1 characters and a terminator.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text) {
  size_t n = text.size() < N - 1 ? text.size() : N - 1;
  wmemcpy(field, text.c_str(), n);
  field[n] = 0;
}

}  // namespace

CMainFrame::CMainFrame()
    : m_searchBar(new CDlgInput), m_indexPane(new CDlgIndex), m_viewBar(new CDlgView), m_popup(new CWndGrab) {
  m_bAutoMenuEnable = FALSE;
  // The index pane's dialog template holds a word list: its class must exist first.
  RegisterListWordClass();
}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
  cs.lpszClass = AfxRegisterWndClass(0, nullptr, nullptr, nullptr);
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTW lpCreateStruct) {
  if (CFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  SendMessage(WM_SETFONT, WPARAM(HFONT(theApp.m_uiFont.m_hObject)), TRUE);
  m_startupComplete = false;
  m_formActive = false;
  m_shellRestartMessage = ::RegisterWindowMessageW(L"TaskbarCreated");

  // One image for both sizes; the tray's icons are loaded when the tray icon
  // is added or changed (after the window shows).
  m_hIcon = LoadProgramIcon(IDI_FRAME_MAIN, 32);
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  CreateChildren();

  // Without drop shadows (an older system) the class is registered without them.
  LPCWSTR popupClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS | CS_DROPSHADOW,
                                           nullptr, nullptr, nullptr);
  if (!popupClass)
    popupClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS, nullptr, nullptr, nullptr);
  m_popupClass = popupClass ? popupClass : L"";
  // The popup window is made once the main window's own pages are ready
  // (OnPagesReady): nothing of it shows before a capture.

  m_searchBar->SetFocus();

  int indexWidth = static_cast<int>(wcstoul(theApp.m_userState.GetString(L"App", L"IndexWidth", L"").c_str(), nullptr, 0));
  m_indexPane->MoveWindow(0, 0, indexWidth, 100, FALSE);
  if (!theApp.m_userState.GetBool(L"App", L"ShowIndex", false)) {
    m_viewBar->m_btnIndex.SetCheck(BST_CHECKED);
    OnToggleIndexPane();
  }
  theApp.CloseSplash();
  return 0;
}

void CMainFrame::CreatePopup() {
  RECT grab = StoredRect(L"App", L"GrabWindow");
  m_popup->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, m_popupClass, L"", WS_POPUP, grab.left, grab.top,
                    grab.right - grab.left, grab.bottom - grab.top, nullptr, nullptr);
  theApp.m_hGrabNotifyWnd = m_popup->GetSafeHwnd();
}

void CMainFrame::OnSize(UINT nType, int cx, int cy) {
  CFrameWnd::OnSize(nType, cx, cy);
  if (nType == SIZE_MINIMIZED) {
    SetWindowRgn(nullptr, TRUE);
    return;
  }
  if (!m_searchBar->GetSafeHwnd()) return;
  CRect index;
  m_indexPane->GetWindowRect(&index);
  CRect footer;
  m_footer.GetWindowRect(&footer);
  FrameLayout l;
  ComputeFrameLayout(l, cx, cy, m_captionHeight, index.Width(), m_indexPane->IsWindowVisible() != FALSE,
                     footer.Width());
  m_btnClose.MoveWindow(&l.close, TRUE);
  m_btnMaximize.MoveWindow(&l.maximize, TRUE);
  m_btnMinimize.MoveWindow(&l.minimize, TRUE);
  m_btnPin.MoveWindow(&l.pin, TRUE);
  m_searchBar->MoveWindow(&l.searchBar, FALSE);
  m_indexPane->MoveWindow(&l.indexPane, FALSE);
  m_splitter.MoveWindow(&l.splitter, FALSE);
  m_viewBar->MoveWindow(&l.viewBar, FALSE);
  m_footer.MoveWindow(&l.footer, FALSE);
  SetFrameRegion(cx, cy);
}

void CMainFrame::UpdateTrayIcon(int action, bool balloon) {
  NOTIFYICONDATAW data = {};
  // The layout with tip, balloon text, time-out, balloon title and flags.
  data.cbSize = NOTIFYICONDATAW_V2_SIZE;
  data.hWnd = m_hWnd;
  data.uID = kTrayIconId;
  data.uCallbackMessage = WM_TRAY_NOTIFY;
  if (action == 2) {
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    return;
  }
  const bool grab = theApp.m_userState.GetBool(L"App", L"EnableGrab", false);
  const bool clipboard = theApp.m_userState.GetBool(L"App", L"EnableClipboard", false);
  std::wstring grabText;
  if (grab) {
    switch (theApp.m_settings.GetInt(L"Translate", L"GrabActivation", 0)) {
      case 1: grabText = UiText(L"DlgOptTranslate", L"MouseOver"); break;
      case 2: grabText = UiText(L"DlgOptTranslate", L"MiddleMouse"); break;
      case 256: grabText = UiText(L"DlgOptTranslate", L"ShiftMouse"); break;
      case 512: grabText = UiText(L"DlgOptTranslate", L"CtrlMouse"); break;
      default: break;
    }
  } else {
    grabText = UiText(L"NotifyIcon", L"Disabled");
  }
  std::wstring clipboardText = UiText(L"NotifyIcon", clipboard ? L"Enabled" : L"Disabled");
  // Loaded once each (a shared icon), on the first use of its state.
  data.hIcon = LoadProgramIcon(grab ? (clipboard ? IDI_TRAY_GRAB_CLIP : IDI_TRAY_GRAB)
                                    : (clipboard ? IDI_TRAY_CLIP : IDI_TRAY_OFF),
                               16);
  std::wstring tip;
  FormatWString(tip, UiText(L"NotifyIcon", L"Tip").c_str(), grabText.c_str(), clipboardText.c_str());
  CopyField(data.szTip, tip);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  if (action == 0) {
    CopyField(data.szInfoTitle, UiText(L"NotifyIcon", L"InfoTitle"));
    std::wstring info;
    FormatWString(info, UiText(L"NotifyIcon", L"Info").c_str(), grabText.c_str(), clipboardText.c_str());
    CopyField(data.szInfo, info);
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_INFO;
    if (balloon) data.uFlags |= NIF_INFO;
    ::Shell_NotifyIconW(NIM_ADD, &data);
  } else {
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
  }
}

void CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
  if (wParam != kTrayIconId) return;
  if (lParam == WM_LBUTTONDOWN)
    ShowMainWindow();
  else if (lParam == WM_RBUTTONUP)
    ShowTrayMenu();
}

void CMainFrame::ShowTrayMenu() {
  POINT cursor;
  ::GetCursorPos(&cursor);
  struct Item {
    UINT id;
    const wchar_t* key;
    const wchar_t* image;
  };
  static const Item items[] = {
      {ID_APP_OPEN, L"Open", L"find8.png"},
      {0, nullptr, nullptr},
      {ID_CURSOR_TRANSLATOR, L"CursorTranslator", nullptr},
      {ID_CLIPBOARD_TRANSLATOR, L"ClipboardTranslator", nullptr},
      {0, nullptr, nullptr},
      {ID_DICTIONARIES, L"Dictionaries", L"dictlib8.png"},
      {ID_CONFIGURATION, L"Configuration", L"config8.png"},
      {0, nullptr, nullptr},
      {ID_MENU_HELP, L"Help", L"help.png"},
      {ID_SUPPORT, L"Support", L"support8.png"},
      {ID_ABOUT, L"About", nullptr},
      {0, nullptr, nullptr},
      {ID_MENU_EXIT, L"Exit", nullptr},
  };
  COwnerMenu menu;
  if (!menu.CreatePopupMenu()) return;
  Veltra::COImage images[sizeof(items) / sizeof(items[0])];
  CPngImage png;
  for (size_t i = 0; i < sizeof(items) / sizeof(items[0]); ++i) {
    const Item& item = items[i];
    if (!item.id) {
      menu.AppendItem(MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (item.id == ID_CURSOR_TRANSLATOR && theApp.m_userState.GetBool(L"App", L"EnableGrab", false))
      flags |= MF_CHECKED;
    if (item.id == ID_CLIPBOARD_TRANSLATOR && theApp.m_userState.GetBool(L"App", L"EnableClipboard", false))
      flags |= MF_CHECKED;
    std::wstring text = UiText(L"MainMenu", item.key);
    if (item.image && png.ReadFile((theApp.m_iconFolder + item.image).c_str(), &images[i], 0))
      menu.AppendIconItem(flags, item.id, text.c_str(), &images[i]);
    else
      menu.AppendItem(flags, item.id, text.c_str());
  }
  ::SetMenuDefaultItem(menu.m_hMenu, ID_APP_OPEN, FALSE);
  SetForegroundWindow();
  menu.TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, this);
  PostMessage(WM_NULL, 0, 0);
}

void CMainFrame::OnExit() { PostMessage(WM_CLOSE); }

void CMainFrame::OnCursorTranslator() { ToggleGrab(1); }

void CMainFrame::OnClipboardTranslator() { ToggleClipboard(1); }

void CMainFrame::OnDestroy() {
  if (m_updateTimer) {
    KillTimer(m_updateTimer);
    m_updateTimer = 0;
  }
  SaveState();
  RegisterHotkeys(false);
  theApp.ActivateGrabHook(false);
  if (m_popup->GetSafeHwnd()) m_popup->DestroyWindow();
  theApp.m_hGrabNotifyWnd = nullptr;
  UpdateTrayIcon(2, false);
  for (CWnd* child : {static_cast<CWnd*>(&m_btnClose), static_cast<CWnd*>(&m_btnMaximize),
                      static_cast<CWnd*>(&m_btnMinimize), static_cast<CWnd*>(&m_btnPin),
                      static_cast<CWnd*>(m_searchBar.get()), static_cast<CWnd*>(m_indexPane.get()),
                      static_cast<CWnd*>(m_viewBar.get())})
    if (child->GetSafeHwnd()) child->DestroyWindow();
  CFrameWnd::OnDestroy();
  if (m_region) {
    ::DeleteObject(m_region);
    m_region = nullptr;
  }
}

void CMainFrame::SaveState() {
  CConfigFile& state = theApp.m_userState;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof(placement);
  if (GetWindowPlacement(&placement)) state.SetValue(L"App", L"Window", RectText(placement.rcNormalPosition));
  placement = {};
  placement.length = sizeof(placement);
  if (m_popup->GetSafeHwnd() && m_popup->GetWindowPlacement(&placement))
    state.SetValue(L"App", L"GrabWindow", RectText(placement.rcNormalPosition));
  state.SetValue(L"App", L"ShowIndex", m_viewBar->m_btnIndex.GetCheck() == BST_CHECKED ? L"n" : L"y");
  CRect index;
  m_indexPane->GetWindowRect(&index);
  state.SetValue(L"App", L"IndexWidth", IntToWString(static_cast<uint32_t>(index.Width()), 10));
  std::wstring history;
  m_searchBar->FormatHistory(history);
  state.SetValue(L"App", L"SearchList", history);
  CTextTranslator* translator = theApp.GetTextTranslator();
  state.SetValue(L"TT", L"Engine", IntToWString(translator->GetEngineNumber(), 10));
  state.SetValue(L"TT", L"LangSrc", translator->GetSourceLanguage());
  state.SetValue(L"TT", L"LangDest", translator->GetTargetLanguage());
  theApp.SaveUserState();
}

void CMainFrame::OnIndexGroupChanged() {
  CDictManager* manager = theApp.GetDictManager();
  CDictGroup* group = manager->GetGroup(kGroupIndex);
  CListWord& list = m_indexPane->GetWordList();
  const uint32_t id = list.GetSourceId();
  const int row = list.GetSelection();
  const int32_t position = group ? group->IndexOf(id) : -1;
  if (position != -1 && group->IsEnabled(static_cast<uint32_t>(position))) {
    list.SetSource(group->GetDictAt(static_cast<uint32_t>(position)), static_cast<uint32_t>(position),
                   static_cast<uint32_t>(row < 0 ? 0 : row));
  } else {
    m_searchBar->SetMenuSelection(-1);
  }
  // The page and the guide may show a dictionary that was uninstalled or
  // reordered meanwhile: the word shown is looked up again as things are now.
  // Nothing is spoken: the user asked for no lookup.
  const std::wstring word = m_viewBar->m_view.GetCurrentWord();
  if (word.empty()) return;
  LookupOutcome outcome;
  QueryLookup(outcome, *manager, word.c_str(), UiText(L"WebResult", L"NoMatch"), false);
  m_viewBar->SetResultHtml(outcome.html.c_str(), word.c_str(), false);
  m_indexPane->GetGuide().FillResults(outcome.dicts);
}

void CMainFrame::OnUiSettingsChanged() {
  bool restart = theApp.m_settings.GetString(L"General", L"LangCode", L"") != theApp.m_langCode;
  CFont font;
  // Read as start-up reads it (a decimal number): a size such as 9.5 must not
  // look changed after every OK of the options dialog.
  std::wstring face = theApp.m_settings.GetString(L"Appearance", L"UITextFont", L"");
  if (font.CreatePointFont(theApp.GetUiFontTenths(), face.c_str())) {
    LOGFONTW now = {}, current = {};
    font.GetLogFont(&now);
    theApp.m_uiFont.GetLogFont(&current);
    if (_wcsicmp(now.lfFaceName, current.lfFaceName) != 0 || now.lfHeight != current.lfHeight) restart = true;
  }
  if (restart) ShellOpen(theApp.m_programPath.c_str(), L"-cphs", nullptr);
}

void CMainFrame::OnWebSearch() {
  const std::wstring language = theApp.m_settings.GetString(L"General", L"LangCode", L"");
  std::wstring text;
  m_searchBar->GetInputText(text);
  const std::wstring engine = theApp.m_settings.GetString(L"General", L"SearchEngine", L"");
  const UINT codePage = theApp.m_uiText.GetInt(L"SearchEngine", engine.c_str(), 0, 2);
  std::wstring query;
  if (codePage) {
    std::string bytes, encoded;
    WStringToMultiByte(bytes, text.c_str(), static_cast<int>(text.size()), codePage, 0);
    PercentEncodeString(encoded, bytes.c_str());
    MultiByteToWString(query, encoded.c_str(), static_cast<int>(encoded.size()), codePage, 0);
  } else {
    UrlEncode(query, text.c_str());
  }
  std::wstring url = theApp.m_uiText.GetString(L"SearchEngine", engine.c_str(), L"", 0);
  if (url.empty()) url = theApp.m_uiText.GetString(L"SearchEngine", L"Google", L"", 0);
  ReplaceAll(url, L"[$key]", query.c_str());
  ReplaceAll(url, L"[$langcode]", language.c_str());
  ShellOpen(url.c_str(), nullptr, nullptr);
}

void CMainFrame::OpenLink(const wchar_t* word, const std::wstring& tail) {
  std::wstring url;
  theApp.BuildLinkUrl(url, word);
  url += tail;
  ShellOpen(url.c_str(), nullptr, nullptr);
}
