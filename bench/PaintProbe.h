// The paint probe: a hook library the program benchmark puts on the main
// thread of Quorindo.exe. Inside the program it notes, on the performance
// counter every process shares, when Enter was taken from the queue and when
// each window's WM_PAINT returned, into a mapping the benchmark reads. The
// popup benchmark's target window notes there when the capture's timer tick
// was taken from its queue.
#pragma once

#include <windows.h>

constexpr wchar_t kPaintProbeMapping[] = L"QuorindoBenchPaintProbe";

struct PaintProbeData {
  LONGLONG pageWindow;      // set by the benchmark: the result page's window
  LONGLONG mainWindow;      // set by the benchmark: the main window
  LONGLONG enterTime;       // the last WM_KEYDOWN of Enter taken from the queue
  LONGLONG pagePaintEnd;    // the last return from the result page's WM_PAINT
  LONGLONG mainPaintEnd;    // ... from any WM_PAINT inside the main window
  LONGLONG otherPaintEnd;   // ... from any WM_PAINT of another visible top-level window (the popup)
  LONGLONG otherWindow;     // the top-level window of that paint
  LONGLONG tickTime;        // set by the target window: the capture's timer tick taken from its queue
  volatile LONG pagePaints, mainPaints, otherPaints, ticks;
};

// The benchmark's mapping in this process; null when the benchmark made none.
inline PaintProbeData* OpenPaintProbe() {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kPaintProbeMapping);
  return mapping ? static_cast<PaintProbeData*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
}

// The hook procedure the benchmark installs (WH_GETMESSAGE and WH_CALLWNDPROC).
extern "C" __declspec(dllexport) LRESULT CALLBACK PaintProbeGetMessage(int code, WPARAM wParam, LPARAM lParam);
extern "C" __declspec(dllexport) LRESULT CALLBACK PaintProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam);
