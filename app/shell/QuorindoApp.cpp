#include "app/shell/QuorindoApp.h"

#include <algorithm>
#include <cwchar>

#include "app/shell/AppInternal.h"
#include "app/shell/SplashWnd.h"
#include "core/FileUtil.h"
#include "core/TripleDes.h"
#include "core/UiSeam.h"
#include "guictl/GuiManager.h"
#include "http/NetLog.h"

#include "app/frame/MainFrame.h"
#include "dialogs/options/OptionsDlg.h"

namespace {

// The running instance's main window, in a data section that every process
// of the program file shares.
__attribute__((section("Shared"), shared)) volatile uint32_t g_runningInstance = 0;

constexpr UINT kTrayNotify = 2025;       // WM_TRAY_NOTIFY of the main frame
constexpr UINT kTrayIconId = 128;
constexpr ULONG_PTR kCopyDataInstallDict = 1;

CQuorindoApp* g_currentApp = nullptr;

std::wstring ReadSettingTextKey() {
  CQuorindoApp* app = CurrentApp();
  return app ? app->m_uiText.GetString(L"", L"4") : std::wstring();
}

// The top strip of a window place, as tall as a caption, touches a monitor;
// a size no window can have never does.
bool TitleOnAMonitor(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const int64_t width = int64_t{right} - left, height = int64_t{bottom} - top;
  if (width < 0 || height < 0 || width > 0x7FFF || height > 0x7FFF) return false;
  const int64_t titleHeight = std::min<int64_t>(std::max<int64_t>(height, 1), GetSystemMetrics(SM_CYCAPTION));
  const int64_t stripRight = left + std::max<int64_t>(width, 1), stripBottom = top + titleHeight;
  if (stripRight > INT32_MAX || stripBottom > INT32_MAX) return false;
  RECT strip = {left, top, static_cast<LONG>(stripRight), static_cast<LONG>(stripBottom)};
  return MonitorFromRect(&strip, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace

CQuorindoApp* CurrentApp() { return g_currentApp; }

HWND GetRunningInstanceWindow() { return reinterpret_cast<HWND>(static_cast<uintptr_t>(g_runningInstance)); }

void SetRunningInstanceWindow(HWND window) {
  g_runningInstance = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

CQuorindoApp::CQuorindoApp()
    : CWinApp(nullptr), m_dictHost(*this), m_onlineHost(*this), m_onlineUpdate(&m_onlineHost) {
  m_previousApp = g_currentApp;
  g_currentApp = this;
  SetDictHost(&m_dictHost);
  SetSettingTextKeyReader(&ReadSettingTextKey);
  // The proxy's credentials are asked for through the main window's dialog.
  m_textTranslator.SetConnection(&m_onlineHost, &AuthCredentialCallback);
}

CQuorindoApp::~CQuorindoApp() {
  if (g_currentApp == this) {
    g_currentApp = m_previousApp;
    SetDictHost(m_previousApp ? &m_previousApp->m_dictHost : nullptr);
    if (!m_previousApp) SetSettingTextKeyReader(nullptr);
  }
}

// ---- Start-up ------------------------------------------------------------------

CQuorindoApp::Switch CQuorindoApp::ReadSwitch() {
  if (!m_lpCmdLine) return Switch::None;
  Switch sw = Switch::None;
  if (_wcsicmp(m_lpCmdLine, L"-cp") == 0) {
    sw = Switch::Replace;
  } else if (_wcsicmp(m_lpCmdLine, L"-cphs") == 0) {
    sw = Switch::ReplaceHidden;
  } else if (_wcsicmp(m_lpCmdLine, L"-ca") == 0) {
    sw = Switch::Close;
  }
  // The framework's command-line parser must see nothing of a switch.
  if (sw != Switch::None) m_lpCmdLine[0] = L'\0';
  return sw;
}

bool CQuorindoApp::HandOver(Switch sw) {
  HWND running = GetRunningInstanceWindow();
  if (running && IsWindow(running)) {
    if (sw == Switch::None) {
      SetForegroundWindow(running);
      SendMessageW(running, kTrayNotify, kTrayIconId, WM_LBUTTONDOWN);
      CCommandLineInfo info;
      ParseCommandLine(info);
      if (!info.m_strFileName.IsEmpty()) {
        std::wstring path(static_cast<const wchar_t*>(info.m_strFileName));
        COPYDATASTRUCT data = {};
        data.dwData = kCopyDataInstallDict;
        data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
        data.lpData = &path[0];
        SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
      }
      return false;
    }
    PostMessageW(running, WM_CLOSE, 0, 0);
    // Waited for, but not for ever: an instance that does not close (busy
    // or hung) stays, and this start ends.
    constexpr DWORD kCloseWaitMs = 10000;
    for (DWORD waited = 0; IsWindow(running); waited += 100) {
      if (waited >= kCloseWaitMs) return false;
      Sleep(100);
    }
  }
  return sw != Switch::Close;
}

bool CQuorindoApp::Fail(const wchar_t* text) {
  ShowMessageBox(nullptr, text ? text : L"", AfxGetAppName(), MB_ICONSTOP);
  return false;
}

BOOL CQuorindoApp::InitInstance() {
  const Switch sw = ReadSwitch();
  if (!HandOver(sw)) return FALSE;

  AfxOleInit();
  AfxEnableControlContainer();
  Enable3dControls();
  SetRegistryKey(L"Talvane");

  if (!InitCoreLibrary()) return Fail(L"Initialize Core Library Fail!");
  if (!InitSystem()) return Fail(L"Initialize System Fail!");
  if (sw != Switch::ReplaceHidden) ShowSplash();
  if (!LoadConfig()) return Fail(L"Initialize System Config Fail!");
  if (!Kestrel_Initialize(m_imageFolder.c_str())) return Fail(L"Initialize User Interface Fail!");
  m_kestrelStarted = true;
  if (!NetInitialize(nullptr)) return Fail(L"Initialize WinSocket Fail!");
  m_netStarted = true;
  if (wcstoul(GetBrowserVersion().c_str(), nullptr, 0) < 6)
    return Fail(m_uiText.GetString(L"Message", L"NeedIE6Support").c_str());
  if (!m_dictManager.LoadConfig()) {
    std::wstring error;
    m_dictManager.GetErrorText(error);
    return Fail(error.c_str());
  }
  if (!m_textTranslator.Load()) return Fail(m_uiText.GetString(L"Message", L"ReadConfigFail").c_str());
  std::wstring chosen;
  m_textTranslator.SelectEngine(m_userState.GetInt(L"TT", L"Engine", 0));
  m_textTranslator.SelectSourceLanguage(chosen, m_userState.GetString(L"TT", L"LangSrc").c_str());
  m_textTranslator.SelectTargetLanguage(chosen, m_userState.GetString(L"TT", L"LangDest").c_str());
  if (!m_onlineUpdate.LoadUpdateIni()) return Fail(m_uiText.GetString(L"Message", L"ReadConfigFail").c_str());
  return CreateMainWindow();
}

bool CQuorindoApp::CreateMainWindow() {
  CMainFrame* frame = new CMainFrame;
  m_pMainWnd = frame;
  if (!frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
    // A frame whose window came and went has deleted itself; the framework
    // must not touch it again.
    m_pMainWnd = nullptr;
    return false;
  }
  SetRunningInstanceWindow(frame->m_hWnd);
  ::SetMenu(frame->m_hWnd, nullptr);
  PlaceMainWindow();
  return true;
}

void CQuorindoApp::PlaceMainWindow() {
  if (!m_pMainWnd || !m_pMainWnd->m_hWnd) return;
  std::vector<int32_t> box;
  m_userState.GetIntList(L"App", L"Window", box);
  box.resize(4, 0);
  // A place whose title strip lies on no monitor (a damaged "user.ini", a
  // screen since removed) would keep the window out of reach for good, as it
  // is saved again at exit: the shipped place replaces it. No place at all
  // keeps the origin and the smallest size.
  const bool stored = box[0] || box[1] || box[2] || box[3];
  if (stored && !TitleOnAMonitor(box[0], box[1], box[2], box[3])) box = {100, 80, 900, 680};
  m_pMainWnd->MoveWindow(box[0], box[1], box[2] - box[0], box[3] - box[1], TRUE);
}

// ---- Shut-down -----------------------------------------------------------------

int CQuorindoApp::ExitInstance() {
  CloseSplash();
  m_voice.Release();
  // Only what start-up opened is closed: the library counts its users, and an
  // early end must not take a count it never gave.
  if (m_netStarted) NetCleanup();
  m_netStarted = false;
  if (m_kestrelStarted) Kestrel_UnInitialize();
  m_kestrelStarted = false;
  return CWinApp::ExitInstance();
}

// ---- Splash --------------------------------------------------------------------

bool CQuorindoApp::ShowSplash() {
  CloseSplash();
  CSplashWnd* splash = new CSplashWnd(m_imageFolder + L"splash.bmp");
  if (!splash->Create(nullptr)) {
    delete splash;
    return false;
  }
  m_pSplash = splash;
  return true;
}

void CQuorindoApp::CloseSplash() {
  if (!m_pSplash) return;
  m_pSplash->DestroyWindow();
  delete m_pSplash;
  m_pSplash = nullptr;
}

// ---- Speech voice --------------------------------------------------------------

CSpeechVoice* CQuorindoApp::GetSpeechVoice() {
  if (m_voice.IsOpen()) return &m_voice;
  if (!m_voice.Create()) return nullptr;
  EnumSpeechVoices(m_voices);
  return &m_voice;
}

// ---- Browser version -----------------------------------------------------------

namespace {

std::wstring QueryText(HKEY key, const wchar_t* name) {
  wchar_t buffer[513] = {};
  DWORD size = 1024;
  DWORD type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return std::wstring();
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::wstring();
  return std::wstring(buffer);
}

}  // namespace

std::wstring GetBrowserVersion() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(GetShellRegistryRoots().browserRoot, L"Software\\Microsoft\\Internet Explorer", 0,
                    KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::wstring();
  std::wstring result;
  std::wstring version = QueryText(key, L"Version");
  if (!version.empty()) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
      size_t dot = version.find(L'.', start);
      parts.push_back(version.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start));
      if (dot == std::wstring::npos) break;
      start = dot + 1;
    }
    if (parts.size() >= 2 && parts[1] == L"0") parts[1] = L"00";
    for (size_t i = 0; i < parts.size(); ++i) result += (i ? L"." : L"") + parts[i];
  } else {
    static const struct {
      const wchar_t* build;
      const wchar_t* version;
    } kBuilds[] = {{L"520", L"4.40.520"},
                   {L"1155", L"4.70.1155"},
                   {L"1158", L"4.70.1158"},
                   {L"1215", L"4.70.1215"},
                   {L"1300", L"4.70.1300"}};
    static const struct {
      const wchar_t* iver;
      const wchar_t* version;
    } kIVers[] = {{L"100", L"4.40.308"}, {L"101", L"4.40.520"}};
    std::wstring build = QueryText(key, L"Build");
    if (!build.empty()) {
      for (const auto& b : kBuilds)
        if (build == b.build) result = b.version;
    } else {
      std::wstring iver = QueryText(key, L"IVer");
      for (const auto& v : kIVers)
        if (iver == v.iver) result = v.version;
    }
  }
  RegCloseKey(key);
  return result;
}
