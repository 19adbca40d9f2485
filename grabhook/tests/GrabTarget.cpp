// The foreign program of the end-to-end test, started by the test:
//   scrivet_target layout <file>  shows the target lines in a plain window and
//                                 in an HTML-view window and writes where
//                                 every character landed, in screen coordinates;
//   scrivet_target owner <file>   switches the hooks on as a program of its
//                                 own would, then waits to be ended.
// Each writes "END" as its last line once it is ready.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "grabhook/Scrivet.h"
#include "grabhook/tests/GrabTargetLines.h"

namespace {

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    DrawTargetLines(dc);  // every line, whatever the update region: the capture relies on it
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateTarget(const wchar_t* className, int x, int y, HWND parent = nullptr, int width = 500, int height = 260) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = className;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, className, L"target", parent ? WS_CHILD : WS_POPUP, x, y, width, height, parent, nullptr,
                                wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

void WriteLayout(FILE* out, int number, HWND window) {
  fprintf(out, "W %d %lu\n", number, static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
  HDC dc = GetDC(window);
  for (const CharSpot& spot : MeasureTargetLines(dc)) {
    POINT screen = spot.centre;
    ClientToScreen(window, &screen);
    fprintf(out, "S %d %d %d %d %ld %ld\n", number, spot.line, spot.run, spot.index, screen.x, screen.y);
  }
  ReleaseDC(window, dc);
}

int RunLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) return 2;
  FILE* out = _wfopen(argv[2], L"w");
  if (!out) return 2;
  if (lstrcmpW(argv[1], L"layout") == 0) {
    HWND plain = CreateTarget(kTargetPlainClass, 100, 100);
    // The HTML view sits inside a host window, as such views do: the
    // trigger must descend to it.
    HWND host = CreateTarget(L"QuorindoGrabHost", 90, 410, nullptr, 520, 280);
    HWND html = CreateTarget(kTargetHtmlClass, 10, 10, host);
    SetForegroundWindow(plain);
    SetFocus(plain);
    WriteLayout(out, 0, plain);
    WriteLayout(out, 1, html);
  } else if (lstrcmpW(argv[1], L"owner") == 0) {
    HWND owner = CreateTarget(L"QuorindoGrabOwner", 700, 700);
    HMODULE library = LoadLibraryW(L"scrivet.dll");
    GtActiveMouseHookFn enable = library ? reinterpret_cast<GtActiveMouseHookFn>(reinterpret_cast<void*>(
                                               GetProcAddress(library, "gtActiveMouseHook")))
                                         : nullptr;
    fprintf(out, "OWNER %d\n", enable ? enable(TRUE, owner, owner, 2027, 2026) : -1);
  }
  fprintf(out, "END\n");
  fclose(out);
  return RunLoop();
}
