// Geometry of captured text runs: where an aligned run lies, whether it is
// under the cursor, which character the cursor points at, and the line that
// the runs hit during one capture add up to. No GDI here: the caller measures.
#pragma once

#include <windows.h>

#include "grabhook/Scrivet.h"

// How a window's class changes the capture.
enum WindowClassKind : int {
  kClassPlain = 0,
  kClassHtmlView = 1,  // paints a strip at a time: every run on the row is joined
  kClassMozilla = 2,
  kClassConsole = 3,
};

int GetWindowClassMode(const wchar_t* className);

// ASCII case-insensitive equality of two zero-terminated texts.
bool EqualNoCaseA(const char* a, const char* b);
bool EqualNoCaseW(const wchar_t* a, const wchar_t* b);

// Rectangle of a run of the given extent drawn at the reference point with
// the given text alignment (TA_* bits), in logical units.
RECT RunRectFromAlign(UINT align, int refX, int refY, int width, int height, int ascent);

// Whether the run (device units, relative to the repainted area) lies under
// the cursor at (column, row). A run drawn into a one-row buffer of the strip
// lies at row 0: it is moved down by row, and the moved rectangle is kept.
bool HitTestRun(int kind, RECT* run, int column, int row);

// Width of the first count characters of the run; false when it cannot be measured.
typedef bool (*MeasurePrefixFn)(void* context, int count, int* width);

// Number of leading characters of a count-character run that end before
// offset (the cursor's distance from the run's left edge).
int FindCharAtOffset(int count, int offset, MeasurePrefixFn measure, void* context);

// What one capture collects while the window repaints the strip.
struct CaptureState {
  HWND window;
  int kind;
  int cursorX, cursorY;  // screen
  int column, row;       // relative to the repainted area
  bool active;
  int lastRight;
  int index;
  int length;
  wchar_t text[kGrabTextCapacity];

  void Reset();  // keeps window, kind and the cursor
};

// Takes one run that was hit: appends it to the line (at most 255
// characters in all) and sets the index when the cursor column lies in it.
void AddCapturedRun(CaptureState& state, const RECT& run, const wchar_t* text, int count, MeasurePrefixFn measure,
                    void* context);

// Fills the record from the state: the text with its 0, the length, and the
// index, which is -1 when it does not point into the captured text.
bool FillGrabResult(const CaptureState& state, GrabTextResult& result);
