#include "grabhook/tests/WineProgramKit.h"

#include <cstdio>

#include <tlhelp32.h>  // after windows.h

namespace wineprograms {

namespace {

constexpr DWORD kPollMs = 50;

struct Search {
  DWORD process;
  const wchar_t* className;
  HWND found;
  const wchar_t* childClass;  // a top window must hold a visible one (null: any)
};

bool ClassIs(HWND window, const wchar_t* className) {
  wchar_t name[256];
  return GetClassNameW(window, name, 256) > 0 && lstrcmpiW(name, className) == 0;
}

BOOL CALLBACK FindChild(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  if (!IsWindowVisible(window) || !ClassIs(window, search->className)) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK FindTop(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  if (search->className && !ClassIs(window, search->className)) return TRUE;
  if (search->childClass) {
    Search child = {0, search->childClass, nullptr, nullptr};
    EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&child));
    if (!child.found) return TRUE;
  }
  search->found = window;
  return FALSE;
}

struct Listing {
  DWORD process;
  std::wstring text;
};

std::wstring ClassName(HWND window) {
  wchar_t name[256];
  return GetClassNameW(window, name, 256) > 0 ? name : L"?";
}

BOOL CALLBACK ListChild(HWND window, LPARAM context) {
  *reinterpret_cast<std::wstring*>(context) += L" " + ClassName(window);
  return TRUE;
}

BOOL CALLBACK ListTop(HWND window, LPARAM context) {
  Listing* listing = reinterpret_cast<Listing*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != listing->process) return TRUE;
  listing->text += (IsWindowVisible(window) ? L"[" : L"[hidden ") + ClassName(window) + L":";
  EnumChildWindows(window, ListChild, reinterpret_cast<LPARAM>(&listing->text));
  listing->text += L"]";
  return TRUE;
}

}  // namespace

TextFile::TextFile(const wchar_t* name, const std::string& text) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  path_ = std::wstring(folder) + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
  if (FILE* out = _wfopen(path_.c_str(), L"wb")) {
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
  }
}

TextFile::~TextFile() { DeleteFileW(path_.c_str()); }

bool WaitUntil(bool (*condition)(void*), void* context, DWORD deadlineMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition(context)) return true;
    if (GetTickCount() - start >= deadlineMs) return condition(context);
    Sleep(kPollMs);
  }
}

WineProgram::~WineProgram() { Stop(); }

bool WineProgram::Start(const wchar_t* exe, const std::wstring& arguments, const wchar_t* topClass,
                        const wchar_t* childClass) {
  wchar_t path[MAX_PATH];
  if (!ExpandEnvironmentStringsW(exe, path, MAX_PATH)) return false;
  std::wstring command = L"\"" + std::wstring(path) + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
    return false;
  struct Wait {
    WineProgram* program;
    const wchar_t* topClass;
    const wchar_t* childClass;
  } wait = {this, topClass, childClass};
  // A first start of a Wine program under emulation takes its time.
  return WaitUntil(
      [](void* context) {
        Wait* w = static_cast<Wait*>(context);
        Search search = {w->program->Id(), w->topClass, nullptr, w->childClass};
        EnumWindows(FindTop, reinterpret_cast<LPARAM>(&search));
        w->program->top_ = search.found;
        return search.found != nullptr && IsWindowVisible(search.found);
      },
      &wait, 120000) &&
         // Shown and then idle: its first paint is done, and the mouse a test
         // moves over its text next finds the text drawn.
         WaitForInputIdle(info_.hProcess, 120000) == 0;
}

void WineProgram::Stop() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 0);
  WaitForSingleObject(info_.hProcess, 10000);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = {};
  top_ = nullptr;
}

HWND WineProgram::Child(const wchar_t* className) const {
  Search search = {0, className, nullptr, nullptr};
  if (top_) EnumChildWindows(top_, FindChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WineProgram::Describe() const {
  Listing listing = {Id(), L""};
  EnumWindows(ListTop, reinterpret_cast<LPARAM>(&listing));
  return listing.text;
}

bool WineProgram::HasModule(const wchar_t* name) const {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, Id());
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W module;
  module.dwSize = sizeof(module);
  bool found = false;
  for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
    found = lstrcmpiW(module.szModule, name) == 0;
  CloseHandle(snapshot);
  return found;
}

bool WineProgram::RemoteRect(HWND control, UINT message, WPARAM wParam, RECT& rect) const {
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Id());
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  bool ok = false;
  if (remote) {
    SIZE_T moved = 0;
    DWORD_PTR answer = 0;
    ok = WriteProcessMemory(process, remote, &rect, sizeof(rect), &moved) &&
         SendMessageTimeoutW(control, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                             &answer) &&
         answer && ReadProcessMemory(process, remote, &rect, sizeof(rect), &moved);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return ok;
}

POINT CharCentre(HWND edit, int index) {
  auto position = [edit](int at) {
    LRESULT packed = SendMessageW(edit, EM_POSFROMCHAR, at, 0);
    POINT p = {static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    return p;
  };
  POINT here = position(index), next = position(index + 1);
  int line = static_cast<int>(SendMessageW(edit, EM_LINEFROMCHAR, index, 0));
  int nextLineStart = static_cast<int>(SendMessageW(edit, EM_LINEINDEX, line + 1, 0));
  // The next line's top gives the height; the edit control has no position
  // for the end of its text (the empty line after the last line break), so
  // the last line of a text gets the usual height.
  const POINT below = nextLineStart > index ? position(nextLineStart) : here;
  int height = below.y > here.y ? below.y - here.y : 14;
  POINT centre = {next.y == here.y && next.x > here.x ? (here.x + next.x) / 2 : here.x + 3, here.y + height / 2};
  ClientToScreen(edit, &centre);
  return centre;
}

RECT ClientOnScreen(HWND window, const RECT& client) {
  POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
  MapWindowPoints(window, nullptr, corners, 2);
  return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

}  // namespace wineprograms
