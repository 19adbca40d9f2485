#include "bench/PaintProbe.h"

namespace {

PaintProbeData* Data() {
  static PaintProbeData* data = OpenPaintProbe();
  return data;
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

void NotePaintEnd(HWND window) {
  PaintProbeData* data = Data();
  if (!data) return;
  const LONGLONG now = Now();
  HWND root = GetAncestor(window, GA_ROOT);
  if (reinterpret_cast<LONGLONG>(window) == data->pageWindow) {
    data->pagePaintEnd = now;
    InterlockedIncrement(&data->pagePaints);
  }
  if (reinterpret_cast<LONGLONG>(root) == data->mainWindow) {
    data->mainPaintEnd = now;
    InterlockedIncrement(&data->mainPaints);
  } else if (IsWindowVisible(root)) {
    data->otherPaintEnd = now;
    data->otherWindow = reinterpret_cast<LONGLONG>(root);
    InterlockedIncrement(&data->otherPaints);
  }
}

// The watched windows and their own procedures, kept here: a window
// property, read on every message, is a round trip to the Wine server each
// time, and the probe's reads made part of the figures it took.
struct Watched {
  HWND window;
  WNDPROC original;
};
constexpr int kMostWatched = 2048;
Watched g_watched[kMostWatched];
int g_watchedCount;

Watched* WatchedOf(HWND window) {
  for (int i = 0; i < g_watchedCount; ++i) {
    if (g_watched[i].window == window) return &g_watched[i];
  }
  return nullptr;
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Watched* watched = WatchedOf(window);
  if (!watched) return DefWindowProcW(window, message, wParam, lParam);
  WNDPROC original = watched->original;
  if (message == WM_NCDESTROY) {
    *watched = g_watched[--g_watchedCount];
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  }
  const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
  if (message == WM_PAINT) NotePaintEnd(window);
  return result;
}

// Every window of the thread is watched from its first message on.
void Watch(HWND window) {
  if (!window || g_watchedCount == kMostWatched || WatchedOf(window)) return;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
  LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (!original) return;
  g_watched[g_watchedCount++] = {window, reinterpret_cast<WNDPROC>(original)};
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProbeProc));
}

}  // namespace

extern "C" LRESULT CALLBACK PaintProbeGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    Watch(msg->hwnd);
    PaintProbeData* data = Data();
    if (data && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) data->enterTime = Now();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

extern "C" LRESULT CALLBACK PaintProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) Watch(reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
