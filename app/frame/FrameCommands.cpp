// The main window's private messages, commands, page actions, hot keys,
// keyboard routing and the completion of start-up.
// The options dialogs' header declares some of the shared message numbers as
// constants: it comes before the headers that define them as macros.
#include "dialogs/options/OptionsDlg.h"

#include "app/frame/FrameInternal.h"

#include "app/frame/FrameLayout.h"
#include "app/shell/AppServices.h"
#include "app/views/WebViewQ.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "dialogs/dict/DlgDictOption.h"

using namespace frame;

namespace {

constexpr UINT_PTR kUpdateTimerId = 1;
constexpr UINT kUpdateDelayMs = 10000;

struct HotkeySetting {
  UINT id;
  const wchar_t* key;
};
constexpr HotkeySetting kHotkeys[] = {
    {1, L"OpenMainWnd"}, {2, L"GrabToggleKey"}, {3, L"ClipboardToggleKey"}, {4, L"Pronounce"}, {5, L"CopyInterpretation"},
};

bool IsWindowOrDescendant(HWND window, HWND ancestor) {
  return ancestor && (window == ancestor || ::IsChild(ancestor, window));
}


}  // namespace

LRESULT CMainFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GUI_PARENTBKGND:
      return OnParentBackground(wParam, lParam);
    case WM_TRAY_NOTIFY:
      OnTrayNotify(wParam, lParam);
      return 1;
    case WM_LOOKUP_WORD:
      return ShowLookupResult(reinterpret_cast<const wchar_t*>(wParam), static_cast<uint32_t>(lParam));
    case WM_LOOKUP_REFRESH:
      return RefreshLookup(reinterpret_cast<const wchar_t*>(wParam));
    case WM_APP_LINK:
      OnAppLink(reinterpret_cast<const wchar_t*>(wParam), reinterpret_cast<const wchar_t*>(lParam));
      return 1;
    case WM_PAGE_ACTION:
      return OnPageAction(wParam, lParam);
    case WM_INDEX_GROUP_CHANGED:
      OnIndexGroupChanged();
      return 1;
    case WM_UI_SETTINGS_CHANGED:
      OnUiSettingsChanged();
      return 1;
    case WM_TRANSLATE_DONE:
      return OnTextTranslationResult(wParam, lParam);
    case WM_UPDATE_DONE:
      OnUpdateDone(wParam, lParam);
      return 1;
    case WM_AUTH_REQUEST:
      return OnAuthRequest(wParam, lParam);
    case WM_PAGE_READY:
      return wParam == 0 ? OnPagesReady() : 0;
    case WM_COPYDATA: {
      const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!data) return 0;
      // The path must end inside the data that came with it.
      if (data->dwData == 1 && data->lpData && data->cbData >= sizeof(wchar_t)) {
        const wchar_t* path = static_cast<const wchar_t*>(data->lpData);
        size_t count = data->cbData / sizeof(wchar_t);
        if (wmemchr(path, 0, count)) OnCopyDataInstall(path);
      }
      return 1;
    }
    case WM_HOTKEY:
      OnHotKey(static_cast<UINT>(wParam));
      return 1;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MAXIMIZE || ((wParam & 0xFFF0) == SC_RESTORE && IsZoomed())) {
        OnSysMaximize();
        return 0;
      }
      break;
    case 0x00AE:  // themed caption drawing: the frame draws its own
      return 0;
    default:
      if (message == m_shellRestartMessage && message != 0) {
        UpdateTrayIcon(2, false);
        UpdateTrayIcon(0, false);
      }
      break;
  }
  return CFrameWnd::DefWindowProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnParentBackground(WPARAM wParam, LPARAM lParam) {
  const RECT* rect = reinterpret_cast<const RECT*>(wParam);
  const GuiBkgndRequest* request = reinterpret_cast<const GuiBkgndRequest*>(lParam);
  if (!rect || !request) return 0;
  RECT fill = {request->x, request->y, request->x + (rect->right - rect->left),
               request->y + (rect->bottom - rect->top)};
  if (request->kind == 0 && request->dc) {
    request->dc->FillSolidRect(&fill, kStatusStrip);
    return 1;
  }
  if (request->kind == 1 && request->image && !request->image->IsEmpty()) {
    request->image->FillRect(fill, kStatusStripPixel);
    return 1;
  }
  return 0;
}

LRESULT CMainFrame::OnAuthRequest(WPARAM wParam, LPARAM lParam) {
  std::wstring* user = reinterpret_cast<std::wstring*>(wParam);
  std::wstring* password = reinterpret_cast<std::wstring*>(lParam);
  if (!user || !password) return 0;
  CDlgAuthentication dialog;
  dialog.m_remember = 1;
  dialog.m_caption = *user;
  dialog.m_prompt = *password;
  if (dialog.DoModal() != IDOK) return 0;
  *user = dialog.m_user;
  *password = dialog.m_password;
  return dialog.m_remember ? 2 : 1;
}

// ---- Commands ----

void CMainFrame::OnOpen() { ShowMainWindow(); }

void CMainFrame::OnDictionaries() {
  CDlgDictOption dialog(nullptr);
  m_openDictDialog = &dialog;
  HWND self = m_hWnd;
  dialog.DoModal();
  if (::IsWindow(self)) m_openDictDialog = nullptr;
}

void CMainFrame::OnConfiguration() {
  RegisterHotkeys(false);
  CDlgOption dialog;
  dialog.DoModal();
  RegisterHotkeys(true);
}

void CMainFrame::OnAbout() {
  CDlgAbout dialog;
  dialog.DoModal();
}

void CMainFrame::OnHelp() {
  const std::wstring path = theApp.HelpFilePath();
  // The help viewer is loaded on first use: most sessions never open it.
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  static HtmlHelpFn htmlHelp = [] {
    HMODULE module = ::LoadLibraryW(L"hhctrl.ocx");
    return module ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(module, "HtmlHelpW")))
                  : nullptr;
  }();
  constexpr UINT kHelpDisplayTopic = 0;  // HH_DISPLAY_TOPIC
  if (htmlHelp) htmlHelp(::GetDesktopWindow(), path.c_str(), kHelpDisplayTopic, 0);
}

void CMainFrame::OnSupport() { OpenLink(L"support"); }

void CMainFrame::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void CMainFrame::OnFooterLink() { OpenLink(L"homepage"); }

void CMainFrame::OnKeepVisible() {
  SetWindowPos(m_btnPin.GetCheck() == BST_CHECKED ? &wndTopMost : &wndNoTopMost, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

void CMainFrame::ShowMainWindow() {
  if (!IsWindowVisible() || IsIconic()) ShowWindow(SW_RESTORE);
  SetForegroundWindow();
  BringWindowToTop();
}

void CMainFrame::HideToTray() {
  ShowWindow(SW_MINIMIZE);
  ShowWindow(SW_HIDE);
}

void CMainFrame::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == SC_CLOSE) {
    HideToTray();
    return;
  }
  CFrameWnd::OnSysCommand(nID, lParam);
}

// The user-state switch of a translator, flipped first when toggle is set.
bool CMainFrame::ReadSwitch(const wchar_t* key, int toggle) {
  CConfigFile& state = theApp.m_userState;
  bool enabled = state.GetBool(L"App", key, false);
  if (toggle) {
    enabled = !enabled;
    state.SetValue(L"App", key, enabled ? L"y" : L"n");
  }
  UpdateTrayIcon(1, false);
  return enabled;
}

// A translator switched off: what the popup still holds is dropped with it.
void CMainFrame::QuietPopup() {
  if (!m_popup->GetSafeHwnd()) return;
  m_popup->DropQueuedGrabText();
  m_popup->ShowWindow(SW_HIDE);
}

void CMainFrame::ToggleGrab(int toggle) {
  const bool enabled = ReadSwitch(L"EnableGrab", toggle);
  const int delay = static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"GrabTimeDelay", 0));
  const int activation = static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"GrabActivation", 0));
  if (enabled) {
    theApp.SetGrabMode(activation, delay);
  } else {
    theApp.SetGrabMode(0, delay);
    QuietPopup();
  }
}

void CMainFrame::ToggleClipboard(int toggle) {
  const bool enabled = ReadSwitch(L"EnableClipboard", toggle);
  if (enabled) {
    theApp.SetClipboardMode(static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"ClipboardActivation", 0)));
    m_popup->JoinClipboardChain(true);
  } else {
    m_popup->JoinClipboardChain(false);
    theApp.SetClipboardMode(0);
    QuietPopup();
  }
}

void CMainFrame::RegisterHotkeys(bool on) {
  for (const HotkeySetting& hotkey : kHotkeys) {
    if (!on) {
      ::UnregisterHotKey(m_hWnd, static_cast<int>(hotkey.id));
      continue;
    }
    const unsigned value = theApp.m_settings.GetInt(L"Hotkey", hotkey.key, 0);
    if (!value) continue;
    UINT modifiers, key;
    DecodeHotkey(value, modifiers, key);
    ::RegisterHotKey(m_hWnd, static_cast<int>(hotkey.id), modifiers, key);
  }
}

void CMainFrame::OnHotKey(UINT id) {
  switch (id) {
    case 1: {
      CWnd* top = GetTopLevelParent();
      if (IsWindowVisible() && top && ::GetActiveWindow() == top->m_hWnd)
        HideToTray();
      else
        ShowMainWindow();
      break;
    }
    case 2: OnCursorTranslator(); break;
    case 3: OnClipboardTranslator(); break;
    case 4:
    case 5: {
      // The popup speaks or copies when it is up over another program's window.
      HWND active = ::GetActiveWindow();
      HWND activeTop = active ? ::GetAncestor(active, GA_ROOT) : nullptr;
      CWnd* target = m_viewBar.get();
      if (m_popup->GetSafeHwnd() && m_popup->IsWindowVisible() && activeTop != m_hWnd) target = m_popup.get();
      target->SendMessage(WM_COMMAND, id == 4 ? 1019 : 1018, 0);
      break;
    }
    default: break;
  }
}

// ---- Pages and links ----

LRESULT CMainFrame::OnPageAction(WPARAM action, LPARAM argument) {
  switch (action) {
    case 144: ToggleGrab(static_cast<int>(argument)); return 1;
    case 145:
      m_viewBar->m_view.ScrollToElement(reinterpret_cast<const wchar_t*>(argument), true);
      return 1;
    case 146: OpenLink(L"community"); return 1;
    case 148: m_searchBar->TrimHistory(static_cast<int>(argument)); return 1;
    case 149: ClearHistory(); return 1;
    case 162: return OnTextTranslationEvent(reinterpret_cast<const wchar_t*>(argument));
    case 164: OpenLink(L"dictionary", L"&dictid=" + IntToWString(static_cast<uint32_t>(argument), 10)); return 1;
    case 167: OpenLink(L"download"); return 1;
    case 168: OpenLink(L"homepage"); return 1;
    case 169: {
      const wchar_t* text = reinterpret_cast<const wchar_t*>(argument);
      if (!text) return 1;
      std::string utf8, encoded;
      WStringToUtf8(utf8, text, static_cast<int>(wcslen(text)));
      PercentEncodeString(encoded, utf8.c_str());
      std::wstring wide;
      Utf8ToWString(wide, encoded.c_str(), static_cast<int>(encoded.size()));
      OpenLink(L"bug", L"&bug=" + wide);
      return 1;
    }
    default: return 0;
  }
}

void CMainFrame::ClearHistory() {
  m_searchBar->ClearHistory();
  theApp.m_userState.SetValue(L"App", L"SearchList", L"");
  theApp.SaveUserState();
}

LRESULT CMainFrame::OnAppLink(const wchar_t* command, const wchar_t* argument) {
  if (!command || !argument || _wcsicmp(command, L"headword") != 0) return 0;
  return ShowLookupResult(argument, kHeadwordLookupFlags);
}

LRESULT CMainFrame::OnPagesReady() {
  if (m_startupComplete) return 0;
  if (!m_viewBar->m_view.IsReady() || !m_indexPane->GetGuide().IsReady()) return 0;
  const bool minimized = theApp.m_settings.GetBool(L"General", L"StartMinmize", false);
  if (!m_popupStarted) {
    // The window shows with its own pages; the popup, which nothing shows
    // before a capture, is made after it, and its page completes the start.
    m_popupStarted = true;
    if (!minimized) {
      ShowWindow(SW_SHOW);
      UpdateWindow();
    }
    CreatePopup();
  }
  if (!m_popup->m_view.IsReady()) return 0;
  if (minimized) {
    UpdateTrayIcon(0, true);
    ShowWindow(SW_HIDE);
  }
  if (theApp.m_userState.GetBool(L"App", L"EnableGrab", false))
    theApp.SetGrabMode(static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"GrabActivation", 0)),
                       static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"GrabTimeDelay", 0)));
  if (theApp.m_userState.GetBool(L"App", L"EnableClipboard", false)) {
    theApp.SetClipboardMode(static_cast<int>(theApp.m_settings.GetInt(L"Translate", L"ClipboardActivation", 0)));
    m_popup->JoinClipboardChain(true);
  }
  // A window that shows gets its tray icon last: adding it can take a good
  // part of the start (under Wine the tray is made for it), and neither the
  // window nor the translators wait for it.
  if (!minimized) UpdateTrayIcon(0, false);
  m_startupComplete = true;
  CCommandLineInfo info;
  AfxGetApp()->ParseCommandLine(info);
  if (info.m_nShellCommand == CCommandLineInfo::FileOpen && !info.m_strFileName.IsEmpty())
    OnCopyDataInstall(info.m_strFileName);
  RegisterHotkeys(true);
  if (theApp.m_settings.GetBool(L"Connection", L"EnableUpdate", false))
    m_updateTimer = SetTimer(kUpdateTimerId, kUpdateDelayMs);
  return 1;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent) {
  if (m_updateTimer && nIDEvent == m_updateTimer) {
    theApp.GetOnlineUpdate()->Start(m_hWnd, WM_UPDATE_DONE);
    KillTimer(m_updateTimer);
    m_updateTimer = 0;
  }
  CFrameWnd::OnTimer(nIDEvent);
}

void CMainFrame::OnUpdateDone(WPARAM wParam, LPARAM lParam) {
  COnlineUpdate* update = theApp.GetOnlineUpdate();
  if (wParam == 0 && update->WasRefusedByProxy()) {
    // The check cannot get past the proxy until the user mends the
    // credentials: said in the notice bar, where the update's news come.
    const wchar_t* why = update->SentProxyCredentials() ? L"ProxyAuthRefused" : L"ProxyAuthRequired";
    std::wstring text = UiText(L"OnlineUpdate", L"CheckStopped") + L" " + UiText(L"TextTranslation", why);
    EscapeXmlString(text, false);
    m_viewBar->m_view.SetInfoHtml(text.c_str(), true);
    return;
  }
  if (wParam != 1 || lParam == 0) return;
  std::wstring tip;
  theApp.GetOnlineUpdate()->FillTemplateVars(tip, L"tip", theApp.m_langCode.c_str());
  if (!tip.empty()) {
    CResultView& view = m_viewBar->m_view;
    if (view.GetElement(L"startpage"))
      m_viewBar->PostMessage(WM_COMMAND, 1129, 0);
    else
      view.SetInfoHtml(tip.c_str(), true);
  }
  if (lParam == 2)
    OnExit();
  else if (lParam == 3)
    ShellOpen(theApp.m_programPath.c_str(), L"-cphs", nullptr);
}

BOOL CMainFrame::OnCopyDataInstall(const wchar_t* path) {
  if (m_openDictDialog && m_openDictDialog->GetSafeHwnd())
    return m_openDictDialog->InstallDict(path, m_openDictDialog->GetSafeHwnd());
  CDlgDictOption hidden(nullptr);
  return hidden.InstallDict(path, m_hWnd);
}

// ---- Keyboard and wheel ----

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
  HWND document = m_viewBar->m_view.GetDocumentWindow();
  const bool typed = IsTypingMessage(*pMsg);
  // Only the main window's own descendants: the keys of the windows it owns
  // (the page's find box, dialogs) reach it too and stay theirs.
  if (typed && IsWindowOrDescendant(pMsg->hwnd, m_hWnd) &&
      (!IsWindowOrDescendant(pMsg->hwnd, document) || !m_formActive)) {
    // Typing anywhere else goes to the search input; the text-translation
    // form keeps its keys while it has the focus.
    CWnd& edit = m_searchBar->GetEdit();
    if (edit.GetSafeHwnd() && pMsg->hwnd != edit.m_hWnd) {
      edit.SetFocus();
      edit.PostMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    }
  }
  if (pMsg->message == WM_MOUSEWHEEL) {
    POINT point = {GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam)};
    HWND under = ::WindowFromPoint(point);
    if (under && (under == document || under == m_indexPane->GetWordList().m_hWnd)) {
      ::SendMessageW(under, pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    }
  }
  return CFrameWnd::PreTranslateMessage(pMsg);
}
