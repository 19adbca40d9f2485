// The floor of the Enter figure: the least a Win32 program does between Enter
// in an edit and a line of text painted in a window of its own (the edit's
// text copied into the line, the line's window invalidated and repainted),
// measured the way the program's Enter is (bench/ProgramBench.cpp).
#include <windows.h>

#include <string>

#include "bench/EnterFloor.h"

namespace {

std::wstring g_line;

LRESULT CALLBACK LineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TextOutW(dc, 4, 4, g_line.c_str(), static_cast<int>(g_line.size()));
    SelectObject(dc, old);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc = {};
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpfnWndProc = FrameProc;
  wc.lpszClassName = kEnterFloorClass;
  RegisterClassW(&wc);
  wc.lpfnWndProc = LineProc;
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kEnterFloorLineClass;
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, kEnterFloorClass, L"Enter floor", WS_OVERLAPPEDWINDOW, 100, 100, 400, 200, nullptr,
                               nullptr, instance, nullptr);
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 360, 24,
                              frame, nullptr, instance, nullptr);
  HWND line = CreateWindowExW(0, kEnterFloorLineClass, L"", WS_CHILD | WS_VISIBLE, 10, 44, 360, 100, frame, nullptr,
                              instance, nullptr);
  SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);
  SetFocus(edit);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Enter in the edit, as a program's search bar takes it: before the edit.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == edit) {
      wchar_t text[256] = L"";
      GetWindowTextW(edit, text, 256);
      g_line = text;
      InvalidateRect(line, nullptr, FALSE);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
