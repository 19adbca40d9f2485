// Quorindo.exe as a user meets it: started in a program folder of its own that
// holds a small dictionary, a word typed into the search bar, the result page
// read back through the clipboard, a screenshot saved, and the program ended
// with its Exit command.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/shell/TextStoreKey.h"
#include "core/ConfigFile.h"
#include "core/DesCipher.h"
#include "dict/tests/DictTestKit.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool IsFolder(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  for (const std::wstring& name : ListFolder(from)) {
    if (IsFolder(from + name))
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
  }
}

void DeleteTree(const std::wstring& folder) {
  for (const std::wstring& name : ListFolder(folder)) {
    std::wstring path = folder + name;
    if (IsFolder(path))
      DeleteTree(path + L"\\");
    else
      DeleteFileW(path.c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

bool EndsWith(const std::wstring& text, const wchar_t* tail) {
  size_t n = wcslen(tail);
  return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, tail) == 0;
}

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
  void SetUp() override {
    bin_ = ProgramFolder();
    if (!FileExists(bin_ + L"Quorindo.exe") || !FileExists(bin_ + L"system.inc"))
      GTEST_SKIP() << "Quorindo.exe or its program folder is not built";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"qe2e_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    // The program, its libraries and its data; not the other tests.
    for (const std::wstring& name : ListFolder(bin_)) {
      std::wstring path = bin_ + name;
      if (IsFolder(path)) {
        if (name != L"wineprefix") CopyTree(path + L"\\", folder_ + name + L"\\");
      } else if (name == L"Quorindo.exe" || EndsWith(name, L".dll") || EndsWith(name, L".inc") ||
                 EndsWith(name, L".ini")) {
        CopyFileW(path.c_str(), (folder_ + name).c_str(), FALSE);
      }
    }
    AddDictionary();
  }

  void TearDown() override {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    if (!folder_.empty()) DeleteTree(folder_);
  }

  // A small dictionary of its own, installed beside the base dictionary and
  // first in the query and index groups.
  void AddDictionary() {
    CConfigFile texts;
    uint8_t key[16];
    ASSERT_TRUE(BuildTextStoreKey(key));
    ASSERT_TRUE(texts.Load((folder_ + L"system.inc").c_str(), key, CConfigFile::kReplaceStore, 0));
    std::wstring configKey = texts.GetString(L"", L"3", L"");
    std::wstring baseId = texts.GetString(L"", L"10", L"");
    ASSERT_FALSE(configKey.empty());

    CTestHost host;
    std::wstring built = MakeDict(host, L"e2e",
                                  DictSource(0x2E2, L"", {SimpleEntry(L"lantern", L"a lamp in a case of glass"),
                                                          SimpleEntry(L"lighthouse", L"a tower with a bright light")}));
    ASSERT_FALSE(built.empty());
    ASSERT_TRUE(CopyFileW(built.c_str(), (folder_ + L"dict\\000002e2.tdc").c_str(), FALSE));

    wchar_t base[16];
    swprintf(base, 16, L"%.8x", static_cast<unsigned>(wcstoul(baseId.c_str(), nullptr, 0)));
    std::wstring b(base);
    std::wstring xml = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config><install>"
                       L"<dict src=\"" + b + L".tdc\" id=\"" + b + L"\"/><dict src=\"000002e2.tdc\" id=\"000002e2\"/>"
                       L"</install><query_group><dict id=\"2e2\"/><dict id=\"" + b + L"\"/></query_group>"
                       L"<index_group><dict id=\"2e2\"/><dict id=\"" + b + L"\"/></index_group><grab_group/></config>";
    uint8_t cfgKey[16] = {};
    for (size_t i = 0; i < 16 && 2 * i + 1 < configKey.size(); ++i) {
      wchar_t pair[3] = {configKey[2 * i], configKey[2 * i + 1], 0};
      cfgKey[i] = static_cast<uint8_t>(wcstoul(pair, nullptr, 16));
    }
    CDesCipher cipher;
    cipher.SetKey(cfgKey, 16);
    const uint8_t* plain = reinterpret_cast<const uint8_t*>(xml.data());
    int size = cipher.Encrypt(nullptr, plain, static_cast<int>(xml.size() * 2));
    std::string envelope(size, '\0');
    cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, static_cast<int>(xml.size() * 2));
    FILE* f = _wfopen((folder_ + L"dict\\dictcfg.xmc").c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(envelope.data(), 1, envelope.size(), f);
    fclose(f);
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

  // The screen as a PNG file in the test output folder.
  static std::wstring SaveScreenshot(const wchar_t* name) {
    std::wstring folder = ProgramFolder() + L"..\\test-output\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Veltra::COImage image;
    if (!image.Create(width, height, 72.0, 1)) return L"";
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, image.GetBitmap());
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    image.FillChannel(0, 255);
    std::wstring path = folder + name;
    CPngImage png;
    return png.WriteFile(path.c_str(), &image, 0) ? path : L"";
  }

  std::wstring bin_, folder_;
  PROCESS_INFORMATION process_ = {};
};

TEST_F(EndToEnd, TypedWordShowsItsEntryAndExitSavesTheHistory) {
  HWND frame = Start();
  ASSERT_NE(frame, nullptr) << "the main window did not appear";

  std::vector<HWND> edits = Children(frame, L"Edit");
  ASSERT_FALSE(edits.empty()) << "no search edit";
  HWND edit = edits.front();
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"lantern"));
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);

  HWND page = ResultPage(frame);
  ASSERT_NE(page, nullptr) << "no result page";
  std::wstring text;
  for (int attempt = 0; attempt < 40 && text.find(L"a lamp in a case of glass") == std::wstring::npos; ++attempt) {
    Sleep(100);
    text = CopyPageText(page);
  }
  std::wstring shot = SaveScreenshot(L"e2e-lookup.png");
  EXPECT_NE(text.find(L"a lamp in a case of glass"), std::wstring::npos) << "result page text: " << testing::PrintToString(text);
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
  EXPECT_EQ(text.find(L"a lamp in a case"), std::wstring::npos);

  // Exit ends the program and writes the user state.
  PostMessageW(frame, WM_COMMAND, 32774, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 15000), WAIT_OBJECT_0);
  CConfigFile state;
  ASSERT_TRUE(state.Load((folder_ + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_NE(state.GetString(L"App", L"SearchList", L"").find(L"lantern"), std::wstring::npos);
  EXPECT_FALSE(state.GetString(L"App", L"Window", L"").empty());
}

}  // namespace
