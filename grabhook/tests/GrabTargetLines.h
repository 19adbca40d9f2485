// The lines of text that the capture tests draw, and where they land: one
// drawing routine and one independent measure of its geometry, shared by the
// in-process tests and the target program of the end-to-end test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TargetLine {
  UINT align;            // TA_* bits
  int x, y;              // reference point, client coordinates
  bool ext;              // drawn with ExtTextOutW instead of TextOutW
  const wchar_t* runs[3];  // drawn one after the other; null ends the list
};

extern const TargetLine kTargetLines[];
extern const int kTargetLineCount;

// Class names of the two target windows: a plain one and one that the
// capture treats as an HTML view (every run on the row is joined).
constexpr const wchar_t* kTargetPlainClass = L"QuorindoGrabTarget";
constexpr const wchar_t* kTargetHtmlClass = L"Internet Explorer_Server";

// Draws every line, plus a narrow line through TextOutA and ExtTextOutA
// that the capture must never take.
void DrawTargetLines(HDC dc);

// Where one character of one run was drawn: its centre in client coordinates.
struct CharSpot {
  int line, run, index;
  POINT centre;
};
std::vector<CharSpot> MeasureTargetLines(HDC dc);

// The text and index that a capture at a spot must give.
std::wstring ExpectedText(const CharSpot& spot, bool joined);
int ExpectedIndex(const CharSpot& spot, bool joined);
