// The floor of the popup figure: the same road to a bare Win32 popup.
//   popup_floor SCRIVET_DLL DELAY_MS
// Puts the capture hooks of the shipped library on for a resting mouse, as
// Quorindo does, and answers each line the library sends as Quorindo's popup
// does, without a dictionary or a page: the record is taken from the
// WM_COPYDATA and posted on, then a small top-most pop-up window shows the
// line next to the cursor and paints it. Each return from its WM_PAINT is
// noted in the paint probe's mapping, where the popup benchmark reads
// Quorindo's. A mouse move off the popup hides it. WM_CLOSE takes the hooks
// off and ends the program.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/popup/PopupMessages.h"
#include "bench/PaintProbe.h"
#include "grabhook/Scrivet.h"

namespace {

constexpr wchar_t kFloorClass[] = L"QuorindoBenchPopupFloor";
constexpr int kPadding = 4;

PaintProbeData* g_probe;
GrabTextResult g_record;
std::wstring g_line;

void ShowLine(HWND window) {
  const int length = g_record.length < 0                   ? 0
                     : g_record.length > kGrabTextCapacity ? kGrabTextCapacity
                                                           : g_record.length;
  g_line.assign(g_record.text, wcsnlen(g_record.text, length));
  SIZE size = {0, 0};
  if (HDC dc = GetDC(window)) {
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    GetTextExtentPoint32W(dc, g_line.c_str(), int(g_line.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
  }
  RECT rc = {0, 0, size.cx + 2 * kPadding, size.cy + 2 * kPadding};
  AdjustWindowRectEx(&rc, DWORD(GetWindowLongW(window, GWL_STYLE)), FALSE, DWORD(GetWindowLongW(window, GWL_EXSTYLE)));
  InvalidateRect(window, nullptr, TRUE);
  SetWindowPos(window, HWND_TOPMOST, g_record.x + 16, g_record.y + 16, rc.right - rc.left, rc.bottom - rc.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!data || data->dwData != WM_GRAB_TEXT || data->cbData != sizeof(GrabTextResult) || !data->lpData)
        return FALSE;
      std::memcpy(&g_record, data->lpData, sizeof(g_record));
      g_record.text[kGrabTextCapacity - 1] = 0;
      PostMessageW(window, WM_GRAB_TEXT, 0, 0);
      return TRUE;
    }
    case WM_GRAB_TEXT:
      ShowLine(window);
      return 0;
    case WM_GRAB_MOUSEMOVE: {
      RECT rc;
      GetWindowRect(window, &rc);
      InflateRect(&rc, 5, 5);
      const POINT pt = {short(LOWORD(lParam)), short(HIWORD(lParam))};
      if (IsWindowVisible(window) && !PtInRect(&rc, pt)) ShowWindow(window, SW_HIDE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      TextOutW(dc, kPadding, kPadding, g_line.c_str(), int(g_line.size()));
      SelectObject(dc, old);
      EndPaint(window, &paint);
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      g_probe->otherPaintEnd = now.QuadPart;
      g_probe->otherWindow = reinterpret_cast<LONGLONG>(window);
      InterlockedIncrement(&g_probe->otherPaints);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) return 2;
  const std::wstring library = argv[1];
  const int delayMs = _wtoi(argv[2]);
  LocalFree(argv);
  g_probe = OpenPaintProbe();
  if (!g_probe) return 1;

  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;  // as the program's popup class
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kFloorClass;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kFloorClass, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                                nullptr, nullptr, instance, nullptr);
  HMODULE hooks = window ? LoadLibraryW(library.c_str()) : nullptr;
  auto hookExport = [hooks](const char* name) {
    return hooks ? reinterpret_cast<void*>(GetProcAddress(hooks, name)) : nullptr;
  };
  auto activate = reinterpret_cast<GtActiveMouseHookFn>(hookExport("gtActiveMouseHook"));
  auto setMode = reinterpret_cast<GtSetGrabModeFn>(hookExport("gtSetGrabMode"));
  if (!activate || !setMode || !activate(TRUE, window, window, WM_GRAB_TEXT, WM_GRAB_MOUSEMOVE)) return 1;
  if (!setMode(kGrabMouseRest, delayMs)) {
    activate(FALSE, nullptr, nullptr, 0, 0);
    return 1;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  activate(FALSE, nullptr, nullptr, 0, 0);
  FreeLibrary(hooks);
  return 0;
}
