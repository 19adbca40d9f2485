// Started by the update script tests: writes its command line beside itself
// ("<exe>.txt") and, when its name holds "sleep", stays for a few seconds or
// until "<exe>.stop" appears.
#include <windows.h>

#include <cwchar>

int main() {
  wchar_t path[MAX_PATH + 8] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  bool sleep = std::wcsstr(path, L"sleep") != nullptr;
  wchar_t stop[MAX_PATH + 8];
  std::wcscpy(stop, path);
  std::wcscat(stop, L".stop");
  std::wcscat(path, L".txt");
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
  }
  for (int i = 0; sleep && i < 50 && GetFileAttributesW(stop) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  return 0;
}
