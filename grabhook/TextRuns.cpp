#include "grabhook/TextRuns.h"

#include <string.h>

namespace {

template <typename Char>
Char LowerAscii(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
bool EqualNoCase(const Char* a, const Char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return false;
  }
  return *a == *b;
}

struct ClassKind {
  const wchar_t* name;
  int kind;
};

const ClassKind kClassKinds[] = {
    {L"INTERNET EXPLORER_SERVER", kClassHtmlView},     {L"MozillaWindowClass", kClassMozilla},
    {L"MozillaDropShadowWindowClass", kClassMozilla}, {L"CONSOLEWINDOWCLASS", kClassConsole},
    {L"TTYGRAB", kClassConsole},
};

}  // namespace

bool EqualNoCaseA(const char* a, const char* b) { return EqualNoCase(a, b); }
bool EqualNoCaseW(const wchar_t* a, const wchar_t* b) { return EqualNoCase(a, b); }

int GetWindowClassMode(const wchar_t* className) {
  if (!className || !*className) return kClassPlain;
  for (const ClassKind& row : kClassKinds) {
    if (EqualNoCaseW(className, row.name)) return row.kind;
  }
  return kClassPlain;
}

RECT RunRectFromAlign(UINT align, int refX, int refY, int width, int height, int ascent) {
  RECT rect;
  switch (align & (TA_CENTER | TA_RIGHT | TA_LEFT)) {
    case TA_CENTER: rect.left = refX - width / 2; break;
    case TA_RIGHT: rect.left = refX - width; break;
    default: rect.left = refX; break;
  }
  switch (align & (TA_BASELINE | TA_BOTTOM | TA_TOP)) {
    case TA_BASELINE: rect.top = refY - ascent; break;
    case TA_BOTTOM: rect.top = refY - height; break;
    default: rect.top = refY; break;
  }
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return rect;
}

bool HitTestRun(int kind, RECT* run, int column, int row) {
  RECT moved = *run;
  OffsetRect(&moved, 0, row);
  if (kind == kClassHtmlView) {
    if (moved.top <= row && moved.bottom > row) {
      *run = moved;
      return true;
    }
    return run->top <= row && row < run->bottom;
  }
  POINT cursor = {column, row};
  if (PtInRect(&moved, cursor)) {
    *run = moved;
    return true;
  }
  return PtInRect(run, cursor) != FALSE;
}

int FindCharAtOffset(int count, int offset, MeasurePrefixFn measure, void* context) {
  int n = 0;
  while (n < count - 1) {
    int width = 0;
    if (!measure(context, n + 1, &width) || width >= offset) break;
    ++n;
  }
  return n;
}

void CaptureState::Reset() {
  lastRight = -65535;
  index = -1;
  length = 0;
  text[0] = 0;
}

void AddCapturedRun(CaptureState& state, const RECT& run, const wchar_t* text, int count, MeasurePrefixFn measure,
                    void* context) {
  if (!text || count <= 0) return;
  // A run that starts left of the last one taken overlaps it: a repaint of
  // the same text, or text of another layer.
  if (state.length > 0 && run.left < state.lastRight) return;
  if (run.left <= state.column && state.column < run.right) {
    state.index = state.length + FindCharAtOffset(count, state.column - run.left, measure, context);
  }
  int room = (kGrabTextCapacity - 1) - state.length;
  int taken = count < room ? count : room;
  if (taken > 0) {
    memcpy(state.text + state.length, text, taken * sizeof(wchar_t));
    state.length += taken;
  }
  state.text[state.length] = 0;
  state.lastRight = run.right;
  if (state.kind != kClassHtmlView) state.active = false;
}

bool FillGrabResult(const CaptureState& state, GrabTextResult& result) {
  int length = state.length;
  if (length < 0) length = 0;
  if (length > kGrabTextCapacity - 1) length = kGrabTextCapacity - 1;
  memcpy(result.text, state.text, length * sizeof(wchar_t));
  result.text[length] = 0;
  result.length = length;
  // The cursor may point at a character that the 255-character limit cut off.
  result.index = (state.index >= 0 && state.index < length) ? state.index : -1;
  return length > 0;
}
