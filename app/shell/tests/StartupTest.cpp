#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"
#include "app/shell/SplashWnd.h"
#include "core/BmpImage.h"
#include "core/ConfigFile.h"
#include "app/shell/tests/ShellTestKit.h"
#include "core/FileUtil.h"
#include "guictl/GuiManager.h"

#include <shlwapi.h>

namespace {

// The shipped files that the later start-up steps read (built into the
// program folder beside the tests).
std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

// The key of "dictcfg.xmc" and "tt\tt.xmc" as the shipped texts give it.
const wchar_t kShippedKeys[] = L"3=5A1C7E93D04B26F8A1E9C3577B0D42E6\n10=0x00010000\n";

class StartupTest : public ::testing::Test {
 public:
  StartupTest() : sandbox(L"startup"), browser(L"browser") {
    previousRoots = SetShellRegistryRoots({browser.Get(), browser.Get(), browser.Get()});
    SetBrowserVersion(L"6.0.2900.2180");
    SetRunningInstanceWindow(nullptr);
  }
  ~StartupTest() override {
    SetShellRegistryRoots(previousRoots);
    SetRunningInstanceWindow(nullptr);
  }
  void SetBrowserVersion(const wchar_t* version) {
    browser.SetText(L"Software\\Microsoft\\Internet Explorer", L"Version", version);
  }
  BOOL Start(const wchar_t* commandLine) {
    sandbox.app.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(commandLine), SW_SHOWNORMAL);
    BOOL result = sandbox.app.InitInstance();
    if (!result) sandbox.app.ExitInstance();
    return result;
  }
  void CopyShippedFiles() { CopyShippedFilesTo(sandbox.folder); }
  // Everything the steps after the language files read.
  static void CopyShippedFilesTo(const std::wstring& folder) {
    const std::wstring bin = ProgramFolder();
    for (const wchar_t* sub : {L"dict", L"data\\tt", L"update", L"icon"}) CreateDirectoryPath((folder + sub).c_str());
    // The base dictionaries take the program's default icon.
    for (const wchar_t* file : {L"dict\\00010000.tdc", L"dict\\00000001.tdc", L"dict\\dictcfg.xmc",
                                L"icon\\deficon.png", L"data\\tt\\tt.xmc", L"update\\update.ini"})
      ForceCopyFile((bin + file).c_str(), (folder + file).c_str(), true);
  }

  MessageBoxRecorder box;
  AppSandbox sandbox;
  TestRegistryKey browser;
  ShellRegistryRoots previousRoots;
};

TEST_F(StartupTest, EachFailingStepShowsItsTextAndEndsStartUp) {
  struct Case {
    const wchar_t* name;
    void (*spoil)(StartupTest&, const std::wstring& folder);
    const wchar_t* text;
  } cases[] = {
      {L"no system.inc", [](StartupTest&, const std::wstring& f) { DeleteFileW((f + L"system.inc").c_str()); },
       L"Initialize System Fail!"},
      {L"system.inc not enciphered",
       [](StartupTest&, const std::wstring& f) { WriteUtf16File(f + L"system.inc", kSoftwareSection); },
       L"Initialize System Fail!"},
      {L"empty config.ini", [](StartupTest&, const std::wstring& f) { WriteBytes(f + L"config.ini", ""); },
       L"Initialize System Config Fail!"},
      {L"empty user.ini", [](StartupTest&, const std::wstring& f) { WriteBytes(f + L"user.ini", ""); },
       L"Initialize System Config Fail!"},
      {L"no language file",
       [](StartupTest&, const std::wstring& f) { DeleteFileW((f + L"data\\Lang-en-US.ini").c_str()); },
       L"Initialize System Config Fail!"},
      {L"browser 5.5", [](StartupTest& t, const std::wstring&) { t.SetBrowserVersion(L"5.50.4807.2300"); },
       L"Browser too old"},
      {L"browser unknown", [](StartupTest& t, const std::wstring&) { t.SetBrowserVersion(L""); }, L"Browser too old"},
      {L"no update.ini",
       [](StartupTest&, const std::wstring& f) {
         CopyShippedFilesTo(f);
         DeleteFileW((f + L"update\\update.ini").c_str());
       },
       L"Cannot read"},
      {L"no engine definitions",
       [](StartupTest&, const std::wstring& f) {
         CopyShippedFilesTo(f);
         DeleteFileW((f + L"data\\tt\\tt.xmc").c_str());
       },
       L"Cannot read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBrowserVersion(L"6.0.2900.2180");
    AppSandbox local(L"failing");
    local.WriteStartupFiles(L"", kShippedKeys);
    c.spoil(*this, local.folder);
    MessageBoxRecorder record;
    local.app.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L""), SW_SHOWNORMAL);
    EXPECT_FALSE(local.app.InitInstance());
    local.app.ExitInstance();
    EXPECT_EQ(MessageBoxRecorder::count, 1);
    EXPECT_EQ(MessageBoxRecorder::last, c.text);
    EXPECT_EQ(MessageBoxRecorder::lastType & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  }
}

TEST_F(StartupTest, AFailedDictionaryConfigurationShowsTheManagersText) {
  sandbox.WriteStartupFiles(L"[Message]\nReadDictConfigFail=No dictionaries\n", kShippedKeys);
  EXPECT_FALSE(Start(L""));
  EXPECT_EQ(MessageBoxRecorder::count, 1);
  EXPECT_NE(MessageBoxRecorder::last.find(L"No dictionaries"), std::wstring::npos) << MessageBoxRecorder::last;
}

TEST_F(StartupTest, EveryStepRunsAndTheTranslatorTakesTheSavedChoices) {
  sandbox.WriteStartupFiles(L"", kShippedKeys);
  CopyShippedFiles();
  WriteUtf16File(sandbox.folder + L"user.ini", L"[App]\nWindow=10, 20, 610, 470\n[TT]\nEngine=1\nLangSrc=en\nLangDest=fr\n");
  ASSERT_TRUE(Start(L"-cphs")) << MessageBoxRecorder::last;
  EXPECT_EQ(MessageBoxRecorder::count, 0) << MessageBoxRecorder::last;
  EXPECT_EQ(sandbox.app.GetTextTranslator()->GetEngineNumber(), 1u);
  EXPECT_EQ(sandbox.app.GetTextTranslator()->GetSourceLanguage(), L"en");
  EXPECT_EQ(sandbox.app.GetTextTranslator()->GetTargetLanguage(), L"fr");
  EXPECT_NE(sandbox.app.GetDictManager()->FindDict(0x10000), nullptr);
  // The main window exists, hidden, where the user state puts it, and is the
  // running instance.
  ASSERT_NE(sandbox.app.m_pMainWnd, nullptr);
  HWND frame = sandbox.app.m_pMainWnd->m_hWnd;
  EXPECT_EQ(GetRunningInstanceWindow(), frame);
  EXPECT_FALSE(IsWindowVisible(frame));
  EXPECT_EQ(GetMenu(frame), nullptr);
  RECT placed = {};
  GetWindowRect(frame, &placed);
  EXPECT_EQ(placed.left, 10);
  EXPECT_EQ(placed.top, 20);
  EXPECT_EQ(placed.right, 610);
  EXPECT_EQ(placed.bottom, 470);
  // The frame saves the user's state beside the global application's
  // program file, which in this test is no program folder at all: the
  // working folder would be the built one.
  const std::wstring programFolder = theApp.m_programFolder;
  theApp.m_programFolder = sandbox.folder;
  sandbox.app.m_pMainWnd->DestroyWindow();
  theApp.m_programFolder = programFolder;
  sandbox.app.ExitInstance();
  CConfigFile saved;
  ASSERT_TRUE(saved.Load((sandbox.folder + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_NE(saved.GetString(L"App", L"IndexWidth", L"none"), L"none") << "the frame saved its state elsewhere";
}

TEST_F(StartupTest, ExitInstanceUndoesOnlyTheStepsThatRan) {
  sandbox.WriteStartupFiles(L"", kShippedKeys);
  Kestrel_Initialize(L"");  // one user of the library besides the program
  const int users = Kestrel_GetManager()->m_nRefCount;
  // Ends after the control library started: its use is given back.
  SetBrowserVersion(L"4.0");
  EXPECT_FALSE(Start(L""));
  EXPECT_EQ(Kestrel_GetManager()->m_nRefCount, users);
  // Ends before it started: the other user's count stays.
  WriteBytes(sandbox.folder + L"config.ini", "");
  CQuorindoApp early;
  early.SetProgramPath(sandbox.folder + L"Quorindo.exe");
  early.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L""), SW_SHOWNORMAL);
  EXPECT_FALSE(early.InitInstance());
  early.ExitInstance();
  early.ExitInstance();  // twice is harmless too
  EXPECT_EQ(Kestrel_GetManager()->m_nRefCount, users);
  Kestrel_UnInitialize();
}

TEST_F(StartupTest, TheSplashShowsUnlessTheHiddenReplaceSwitchIsGiven) {
  sandbox.WriteStartupFiles(L"", kShippedKeys);
  WriteBytes(sandbox.folder + L"config.ini", "");  // start-up ends after the splash step
  CreateDirectoryPath((sandbox.folder + L"image").c_str());
  Veltra::COImage image;
  ASSERT_TRUE(image.CreateFilled(40, 30, 72.0, 0xFF204080, 0));
  CBmpImage bmp;
  ASSERT_TRUE(bmp.WriteFile((sandbox.folder + L"image\\splash.bmp").c_str(), &image, 0));
  for (const wchar_t* commandLine : {L"", L"-cp", L"-cphs"}) {
    SCOPED_TRACE(commandLine);
    CQuorindoApp a;
    a.SetProgramPath(sandbox.folder + L"Quorindo.exe");
    a.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(commandLine), SW_SHOWNORMAL);
    EXPECT_FALSE(a.InitInstance());
    const bool hidden = std::wstring(commandLine) == L"-cphs";
    EXPECT_EQ(a.m_pSplash == nullptr, hidden);
    HWND splash = a.m_pSplash ? a.m_pSplash->m_hWnd : nullptr;
    a.ExitInstance();
    EXPECT_EQ(a.m_pSplash, nullptr);
    EXPECT_FALSE(splash && IsWindow(splash));
  }
}

TEST_F(StartupTest, BrowserVersionText) {
  struct Case {
    const wchar_t* value;
    const wchar_t* data;
    const wchar_t* expected;
  } cases[] = {
      {L"Version", L"6.0.2900.2180", L"6.00.2900.2180"},
      {L"Version", L"5.0.2920.0000", L"5.00.2920.0000"},
      {L"Version", L"8.1", L"8.1"},
      {L"Version", L"9", L"9"},
      {L"Build", L"520", L"4.40.520"},
      {L"Build", L"1300", L"4.70.1300"},
      {L"Build", L"999", L""},
      {L"IVer", L"100", L"4.40.308"},
      {L"IVer", L"101", L"4.40.520"},
      {L"IVer", L"102", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    SHDeleteKeyW(browser.Get(), L"Software");
    browser.SetText(L"Software\\Microsoft\\Internet Explorer", c.value, c.data);
    EXPECT_EQ(GetBrowserVersion(), c.expected);
  }
  SHDeleteKeyW(browser.Get(), L"Software");
  EXPECT_EQ(GetBrowserVersion(), L"");
}

// ---- Running instance ------------------------------------------------------------

// A window of "another instance" on a thread of its own: records what it is
// sent and closes on WM_CLOSE (unless made not to, as a hung one).
class RunningInstance {
 public:
  explicit RunningInstance(bool closes = true) {
    ignoresClose = !closes;
    m_thread = std::thread([this] { Run(); });
    while (!m_window.load()) Sleep(1);
    SetRunningInstanceWindow(m_window);
  }
  ~RunningInstance() {
    ignoresClose = false;
    if (IsWindow(m_window)) PostMessageW(m_window, WM_CLOSE, 0, 0);
    m_thread.join();
  }
  HWND Window() const { return m_window; }

  static std::atomic<bool> ignoresClose;
  static std::atomic<int> trayMessages;
  static WPARAM trayWParam;
  static LPARAM trayLParam;
  static std::atomic<int> copyMessages;
  static ULONG_PTR copyId;
  static std::string copyBytes;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == 2025) {
      trayWParam = wParam;
      trayLParam = lParam;
      ++trayMessages;
      return 0;
    }
    if (msg == WM_COPYDATA) {
      const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      copyId = data->dwData;
      copyBytes.assign(static_cast<const char*>(data->lpData), data->cbData);
      ++copyMessages;
      return TRUE;
    }
    if (msg == WM_CLOSE) {
      if (!ignoresClose) DestroyWindow(hwnd);
      return 0;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  void Run() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorindoShellTestInstance";
    RegisterClassW(&wc);
    trayMessages = 0;
    copyMessages = 0;
    copyId = 0;
    copyBytes.clear();
    m_window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  }

  std::atomic<HWND> m_window{nullptr};
  std::thread m_thread;
};

std::atomic<bool> RunningInstance::ignoresClose{false};
std::atomic<int> RunningInstance::trayMessages{0};
WPARAM RunningInstance::trayWParam = 0;
LPARAM RunningInstance::trayLParam = 0;
std::atomic<int> RunningInstance::copyMessages{0};
ULONG_PTR RunningInstance::copyId = 0;
std::string RunningInstance::copyBytes;

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

TEST_F(StartupTest, ASecondCopyWithoutArgumentsOnlyBringsTheFirstForward) {
  RunningInstance running;
  EXPECT_FALSE(Start(L""));
  EXPECT_EQ(RunningInstance::trayMessages.load(), 1);
  EXPECT_EQ(RunningInstance::trayWParam, 128u);
  EXPECT_EQ(RunningInstance::trayLParam, WM_LBUTTONDOWN);
  EXPECT_EQ(RunningInstance::copyMessages.load(), 0);
  EXPECT_TRUE(IsWindow(running.Window()));
  EXPECT_EQ(MessageBoxRecorder::count, 0);
  EXPECT_FALSE(sandbox.app.m_uiText.GetValue(L"Software", L"Name"));
}

TEST_F(StartupTest, ASecondCopyHandsItsFileToTheFirst) {
  struct Case {
    const wchar_t* commandLine;
    const wchar_t* path;
  } cases[] = {
      {L"\"C:\\my dicts\\a b.tdc\"", L"C:\\my dicts\\a b.tdc"},
      {L"C:\\x.tdc", L"C:\\x.tdc"},
      {L"-cp C:\\x.tdc", L"C:\\x.tdc"},  // a switch with more text is no switch
      {L"-q C:\\y.tdc", L"C:\\y.tdc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    RunningInstance running;
    CQuorindoApp second;
    second.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(c.commandLine), SW_SHOWNORMAL);
    EXPECT_FALSE(second.InitInstance());
    second.ExitInstance();
    EXPECT_EQ(RunningInstance::trayMessages.load(), 1);
    EXPECT_EQ(RunningInstance::copyMessages.load(), 1);
    EXPECT_EQ(RunningInstance::copyId, 1u);
    EXPECT_EQ(RunningInstance::copyBytes, Utf16Bytes(c.path));
    EXPECT_TRUE(IsWindow(running.Window()));
  }
}

TEST_F(StartupTest, SwitchesCloseTheRunningInstance) {
  {
    RunningInstance running;
    EXPECT_FALSE(Start(L"-CA"));
    EXPECT_FALSE(IsWindow(running.Window()));
    EXPECT_EQ(MessageBoxRecorder::count, 0);
    EXPECT_EQ(RunningInstance::trayMessages.load(), 0);
  }
  {
    // Replaced: the old window is gone before start-up goes on (and fails
    // here for want of files).
    RunningInstance running;
    CQuorindoApp replacing;
    replacing.SetProgramPath(sandbox.folder + L"Quorindo.exe");
    replacing.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L"-Cp"), SW_SHOWNORMAL);
    EXPECT_FALSE(replacing.InitInstance());
    replacing.ExitInstance();
    EXPECT_FALSE(IsWindow(running.Window()));
    EXPECT_EQ(MessageBoxRecorder::last, L"Initialize System Fail!");
    EXPECT_EQ(replacing.m_lpCmdLine[0], L'\0');
  }
}

// A running instance that does not close ends the replacing start after a
// while instead of keeping it waiting, unseen, for ever; the old one stays.
TEST_F(StartupTest, ARunningInstanceThatDoesNotCloseEndsTheReplacingStart) {
  RunningInstance running(false);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(Start(L"-Cp"));
  EXPECT_LT(GetTickCount() - start, 20000u);
  EXPECT_TRUE(IsWindow(running.Window()));
  EXPECT_EQ(MessageBoxRecorder::count, 0);
}

TEST_F(StartupTest, CloseSwitchWithoutARunningInstanceEndsAtOnce) {
  sandbox.WriteStartupFiles(L"", kShippedKeys);
  EXPECT_FALSE(Start(L"-ca"));
  EXPECT_EQ(MessageBoxRecorder::count, 0);
  EXPECT_FALSE(sandbox.app.m_uiText.GetValue(L"Software", L"Name"));
}

}  // namespace
