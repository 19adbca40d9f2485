// Quorindo.exe as a user meets it: started in a program folder of its own that
// holds a small dictionary, a word typed into the search bar, the result page
// read back through the clipboard, a screenshot saved, and the program ended
// with its Exit command.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/frame/tests/ProgramFolderKit.h"
#include "core/ConfigFile.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;

// The windows of one process and one class, visible or not.
struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  wchar_t name[128];
  GetClassNameW(window, name, 128);
  if (!search->className || wcscmp(name, search->className) == 0) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t title[64];
  GetWindowTextW(window, title, 64);
  if (process == search->process && wcscmp(title, L"Quorindo") == 0) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND parent, const wchar_t* className) {
  WindowSearch search{0, className, {}};
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class EndToEnd : public ::testing::Test {
 protected:
  EndToEnd() : copy_(L"qe2e") {}
  void SetUp() override {
    std::string why;
    if (!copy_.Make(why)) GTEST_SKIP() << why;
    folder_ = copy_.Folder();
  }

  void TearDown() override {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  // Starts the program and waits until its main window is shown.
  HWND Start() {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring exe = folder_ + L"Quorindo.exe";
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                        &process_))
      return nullptr;
    WaitForInputIdle(process_.hProcess, kStartTimeoutMs);
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += 100) {
      WindowSearch search{process_.dwProcessId, nullptr, {}};
      EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
      for (HWND window : search.found)
        if (IsWindowVisible(window)) return window;
      if (WaitForSingleObject(process_.hProcess, 100) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }

  // The result view: the page window whose document shows the lookup.
  static HWND ResultPage(HWND frame) {
    std::vector<HWND> pages = Children(frame, L"Internet Explorer_Server");
    HWND widest = nullptr;
    LONG width = -1;
    for (HWND page : pages) {
      RECT r;
      GetWindowRect(page, &r);
      if (IsWindowVisible(page) && r.right - r.left > width) {
        width = r.right - r.left;
        widest = page;
      }
    }
    return widest;
  }

  // Selects the whole page and copies it, with the program's thread reading
  // Ctrl as held down.
  static std::wstring CopyPageText(HWND page) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    DWORD thread = GetWindowThreadProcessId(page, nullptr);
    AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(page, WM_KEYDOWN, 'A', 0);
    SendMessageW(page, WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    std::wstring text;
    for (int attempt = 0; attempt < 20 && text.empty(); ++attempt) {
      if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
          if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
          }
        }
        CloseClipboard();
      }
      if (text.empty()) Sleep(50);
    }
    return text;
  }

  CProgramFolderCopy copy_;
  std::wstring folder_;
  PROCESS_INFORMATION process_ = {};
};

TEST_F(EndToEnd, TypedWordShowsItsEntryAndExitSavesTheHistory) {
  HWND frame = Start();
  ASSERT_NE(frame, nullptr) << "the main window did not appear";

  std::vector<HWND> edits = Children(frame, L"Edit");
  ASSERT_FALSE(edits.empty()) << "no search edit";
  HWND edit = edits.front();
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kLanternWord));
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);

  HWND page = ResultPage(frame);
  ASSERT_NE(page, nullptr) << "no result page";
  std::wstring text;
  for (int attempt = 0; attempt < 40 && text.find(kLanternDefinition) == std::wstring::npos; ++attempt) {
    Sleep(100);
    text = CopyPageText(page);
  }
  std::wstring shot = SaveScreenshot(L"e2e-lookup.png");
  EXPECT_NE(text.find(kLanternDefinition), std::wstring::npos) << "result page text: " << testing::PrintToString(text);
  EXPECT_FALSE(shot.empty());
  printf("screenshot: %ls\n", shot.c_str());

  // A word no dictionary holds: the no-match text.
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"zzyzx"));
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  for (int attempt = 0; attempt < 40 && text.find(L"zzyzx") == std::wstring::npos; ++attempt) {
    Sleep(100);
    text = CopyPageText(page);
  }
  EXPECT_NE(text.find(L"zzyzx"), std::wstring::npos) << testing::PrintToString(text);
  EXPECT_EQ(text.find(kLanternDefinition), std::wstring::npos);

  // Exit ends the program and writes the user state.
  PostMessageW(frame, WM_COMMAND, 32774, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
  CConfigFile state;
  ASSERT_TRUE(state.Load((folder_ + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_NE(state.GetString(L"App", L"SearchList", L"").find(kLanternWord), std::wstring::npos);
  EXPECT_FALSE(state.GetString(L"App", L"Window", L"").empty());
}

}  // namespace
