// The floor of the start-up figure: the least a Win32 program does before its
// window is up (a class, a window shown, the message loop).
// Built a second time with QUORINDO_EMPTY_WITH_PROGRAM_DLLS, it imports every
// DLL Quorindo.exe imports, the program's own two first as in the program:
// the system maps, relocates and starts the same set before the same empty
// window, which parts the set's cost from the program's own start-up.
#include <windows.h>

#ifdef QUORINDO_EMPTY_WITH_PROGRAM_DLLS
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <pthread.h>
#include <winsock2.h>

#include <new>

#include "guictl/GuiManager.h"
#include "platform/framework/Quorfx.h"
#endif

namespace {

#ifdef QUORINDO_EMPTY_WITH_PROGRAM_DLLS
// One function of each DLL, never called: naming it is what puts the DLL
// into the import table.
__attribute__((used)) void* const kProgramImports[] = {
    reinterpret_cast<void*>(&Kestrel_GetManager), reinterpret_cast<void*>(&AfxGetApp),
    reinterpret_cast<void*>(&RegCloseKey),        reinterpret_cast<void*>(&InitCommonControlsEx),
    reinterpret_cast<void*>(&GetOpenFileNameW),   reinterpret_cast<void*>(&CoTaskMemFree),
    reinterpret_cast<void*>(&GetStockObject),     reinterpret_cast<void*>(&pthread_self),
    reinterpret_cast<void*>(&ShellExecuteW),      reinterpret_cast<void*>(&WSAStartup),
    reinterpret_cast<void*>(static_cast<void* (*)(size_t)>(&::operator new)),
};
#endif

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = EmptyProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"QuorindoBenchEmpty";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Empty", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr,
                                nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
