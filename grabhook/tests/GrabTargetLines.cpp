#include "grabhook/tests/GrabTargetLines.h"

const TargetLine kTargetLines[] = {
    {TA_LEFT | TA_TOP, 20, 20, false, {L"alpha beta gamma", nullptr}},
    {TA_RIGHT | TA_TOP, 400, 50, true, {L"right aligned words", nullptr}},
    {TA_CENTER | TA_TOP, 250, 80, false, {L"centred line here", nullptr}},
    {TA_LEFT | TA_BASELINE, 30, 130, true, {L"baseline text sits", nullptr}},
    {TA_LEFT | TA_BOTTOM, 40, 165, false, {L"bottom aligned", nullptr}},
    {TA_LEFT | TA_TOP | TA_UPDATECP, 20, 175, false, {L"first ", L"second ", L"third"}},
    {TA_LEFT | TA_TOP, 30, 205, true, {L"one ", L"two ", L"three"}},
};
const int kTargetLineCount = sizeof(kTargetLines) / sizeof(kTargetLines[0]);

namespace {

int RunCount(const TargetLine& line) {
  int n = 0;
  while (n < 3 && line.runs[n]) ++n;
  return n;
}

int Width(HDC dc, const wchar_t* text, int count) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, count, &size);
  return size.cx;
}

void SelectTargetFont(HDC dc) {
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
}

}  // namespace

void DrawTargetLines(HDC dc) {
  SelectTargetFont(dc);
  for (int i = 0; i < kTargetLineCount; ++i) {
    const TargetLine& line = kTargetLines[i];
    SetTextAlign(dc, line.align);
    MoveToEx(dc, line.x, line.y, nullptr);
    int x = line.x;
    for (int r = 0; r < RunCount(line); ++r) {
      const wchar_t* run = line.runs[r];
      int count = lstrlenW(run);
      if (line.ext)
        ExtTextOutW(dc, x, line.y, 0, nullptr, run, count, nullptr);
      else
        TextOutW(dc, x, line.y, run, count);
      x += Width(dc, run, count);
    }
  }
  SetTextAlign(dc, TA_LEFT | TA_TOP);
  TextOutA(dc, 20, 235, "narrow text", 11);
  ExtTextOutA(dc, 200, 235, 0, nullptr, "more narrow", 11, nullptr);
}

std::vector<CharSpot> MeasureTargetLines(HDC dc) {
  SelectTargetFont(dc);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  std::vector<CharSpot> spots;
  for (int i = 0; i < kTargetLineCount; ++i) {
    const TargetLine& line = kTargetLines[i];
    int left = line.x;
    for (int r = 0; r < RunCount(line); ++r) {
      const wchar_t* run = line.runs[r];
      int count = lstrlenW(run);
      int width = Width(dc, run, count);
      int runLeft = left;
      if ((line.align & TA_CENTER) == TA_CENTER) runLeft = left - width / 2;
      else if (line.align & TA_RIGHT) runLeft = left - width;
      int top = line.y;
      if ((line.align & TA_BASELINE) == TA_BASELINE) top = line.y - metrics.tmAscent;
      else if (line.align & TA_BOTTOM) top = line.y - metrics.tmHeight;
      for (int k = 0; k < count; ++k) {
        int before = Width(dc, run, k);
        int after = Width(dc, run, k + 1);
        spots.push_back({i, r, k, {runLeft + (before + after) / 2, top + metrics.tmHeight / 2}});
      }
      left += width;
    }
  }
  return spots;
}

std::wstring ExpectedText(const CharSpot& spot, bool joined) {
  const TargetLine& line = kTargetLines[spot.line];
  if (!joined) return line.runs[spot.run];
  std::wstring text;
  for (int r = 0; r < RunCount(line); ++r) text += line.runs[r];
  return text;
}

int ExpectedIndex(const CharSpot& spot, bool joined) {
  if (!joined) return spot.index;
  int index = spot.index;
  for (int r = 0; r < spot.run; ++r) index += lstrlenW(kTargetLines[spot.line].runs[r]);
  return index;
}
