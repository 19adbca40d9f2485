// The window the popup figure reads from: a program of its own, as the text
// a user points at lives in another program.
//   popup_target WORD...
// Shows the words one a line (line i's text starts at kTargetTextLeft,
// kTargetLineTop + i * kTargetLineHeight of the client area) and notes in the
// paint probe's mapping when a thread timer's tick (the capture's) is taken
// from its queue, before it is dispatched.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "bench/PaintProbe.h"
#include "bench/PopupTarget.h"

namespace {

std::vector<std::wstring> g_words;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (size_t i = 0; i < g_words.size(); ++i)
      TextOutW(dc, kTargetTextLeft, kTargetLineTop + int(i) * kTargetLineHeight, g_words[i].c_str(),
               int(g_words[i].size()));
    SelectObject(dc, old);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  g_words.assign(argv + 1, argv + argc);
  LocalFree(argv);
  PaintProbeData* probe = OpenPaintProbe();
  if (!probe) return 1;

  WNDCLASSW wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kTargetClass;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"popup target", WS_POPUP, kTargetLeft, kTargetTop,
                                kTargetWidth, kTargetLineTop * 2 + int(g_words.size()) * kTargetLineHeight, nullptr,
                                nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && !msg.hwnd && msg.lParam) {
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      probe->tickTime = now.QuadPart;
      InterlockedIncrement(&probe->ticks);
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
