#include <gtest/gtest.h>

#include <string>

#include "grabhook/TextRuns.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(RunRectFromAlign, PlacesTheRunByItsAlignment) {
  struct Case {
    UINT align;
    RECT expected;
  } cases[] = {
      {TA_LEFT | TA_TOP, {100, 50, 131, 62}},
      {TA_RIGHT | TA_TOP, {69, 50, 100, 62}},          // one full width left
      {TA_CENTER | TA_TOP, {85, 50, 116, 62}},         // half a width, rounded toward zero
      {TA_LEFT | TA_BOTTOM, {100, 38, 131, 50}},       // one height above
      {TA_LEFT | TA_BASELINE, {100, 41, 131, 53}},     // one ascent above
      {TA_RIGHT | TA_BASELINE, {69, 41, 100, 53}},
      {TA_CENTER | TA_BOTTOM | TA_UPDATECP, {85, 38, 116, 50}},
  };
  for (const Case& c : cases) {
    RECT rect = RunRectFromAlign(c.align, 100, 50, 31, 12, 9);
    EXPECT_TRUE(rect == c.expected) << "align " << c.align << ": " << rect.left << "," << rect.top << ","
                                    << rect.right << "," << rect.bottom;
  }
}

TEST(HitTestRun, PlainWindowsNeedTheCursorInsideTheRun) {
  struct Case {
    int kind;
    RECT run;
    int column, row;
    bool hit;
    RECT after;
  } cases[] = {
      {kClassPlain, {10, 40, 50, 52}, 20, 45, true, {10, 40, 50, 52}},
      {kClassPlain, {10, 40, 50, 52}, 50, 45, false, {10, 40, 50, 52}},  // right edge is outside
      {kClassPlain, {10, 40, 50, 52}, 20, 52, false, {10, 40, 50, 52}},
      {kClassPlain, {10, -5, 50, 7}, 20, 45, true, {10, 40, 50, 52}},    // drawn into a strip buffer
      {kClassMozilla, {10, -5, 50, 7}, 60, 45, false, {10, -5, 50, 7}},
      {kClassHtmlView, {10, 40, 50, 52}, 500, 45, true, {10, 40, 50, 52}},  // column not tested
      {kClassHtmlView, {10, 40, 50, 52}, 20, 60, false, {10, 40, 50, 52}},
      {kClassHtmlView, {10, -5, 50, 7}, 500, 45, true, {10, 40, 50, 52}},
  };
  for (const Case& c : cases) {
    RECT run = c.run;
    EXPECT_EQ(c.hit, HitTestRun(c.kind, &run, c.column, c.row)) << c.kind << " at " << c.column << "," << c.row;
    if (c.hit) {
      EXPECT_TRUE(run == c.after);
    }
  }
}

// Every character ten units wide; measuring fails past failAt characters.
struct FixedMeasure {
  int failAt;
  static bool Measure(void* context, int count, int* width) {
    if (count > static_cast<FixedMeasure*>(context)->failAt) return false;
    *width = count * 10;
    return true;
  }
};

TEST(FindCharAtOffset, CountsTheCharactersThatEndBeforeTheCursor) {
  FixedMeasure measure = {1000};
  struct Case {
    int count, offset, expected;
  } cases[] = {{5, 0, 0}, {5, 9, 0}, {5, 10, 0}, {5, 11, 1}, {5, 45, 4}, {5, 1000, 4}, {1, 30, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, FindCharAtOffset(c.count, c.offset, FixedMeasure::Measure, &measure)) << c.offset;
  }
  FixedMeasure failing = {2};
  EXPECT_EQ(2, FindCharAtOffset(10, 95, FixedMeasure::Measure, &failing));
}

class CaptureStateTest : public ::testing::Test {
 protected:
  void Start(int kind, int column) {
    state = {};
    state.kind = kind;
    state.column = column;
    state.row = 5;
    state.Reset();
    state.active = true;
  }
  void Add(int left, const std::wstring& text) {
    RECT run = {left, 0, left + 10 * static_cast<int>(text.size()), 12};
    AddCapturedRun(state, run, text.c_str(), static_cast<int>(text.size()), FixedMeasure::Measure, &measure);
  }
  CaptureState state;
  FixedMeasure measure = {1000};
};

TEST_F(CaptureStateTest, PlainWindowTakesOnlyTheFirstRunHit) {
  Start(kClassPlain, 125);
  Add(100, L"hello");
  EXPECT_FALSE(state.active);
  EXPECT_EQ(std::wstring(L"hello"), state.text);
  EXPECT_EQ(2, state.index);
}

TEST_F(CaptureStateTest, HtmlViewJoinsRunsAndDropsOverlaps) {
  Start(kClassHtmlView, 75);
  Add(0, L"abcde");
  Add(50, L"fghij");
  Add(80, L"xyz");  // starts inside the last run taken
  Add(100, L"kl");
  EXPECT_TRUE(state.active);
  EXPECT_EQ(std::wstring(L"abcdefghijkl"), state.text);
  EXPECT_EQ(7, state.index);
  GrabTextResult result = {};
  EXPECT_TRUE(FillGrabResult(state, result));
  EXPECT_EQ(12, result.length);
  EXPECT_EQ(7, result.index);
  EXPECT_EQ(std::wstring(L"abcdefghijkl"), result.text);
}

TEST_F(CaptureStateTest, LineIsCutAt255WithItsTerminatorAndAnIndexPastTheCutIsNone) {
  std::wstring longRun(250, L'a');
  std::wstring tail = L"bcdefghijklmnopqrstu";  // 20 more
  for (int tailChar : {2, 10}) {
    Start(kClassHtmlView, 2500 + tailChar * 10 + 5);
    Add(0, longRun);
    Add(2500, tail);
    EXPECT_EQ(255, state.length);
    EXPECT_EQ(250 + tailChar, state.index);
    GrabTextResult result;
    memset(&result, 0x55, sizeof(result));
    EXPECT_TRUE(FillGrabResult(state, result));
    EXPECT_EQ(255, result.length);
    EXPECT_EQ(0, result.text[255]);
    EXPECT_EQ(longRun + tail.substr(0, 5), std::wstring(result.text));
    EXPECT_EQ(tailChar < 5 ? 250 + tailChar : -1, result.index);
  }
  Start(kClassPlain, 3000);
  Add(0, std::wstring(400, L'z'));  // one run alone longer than the record
  EXPECT_EQ(255, state.length);
  EXPECT_EQ(0, state.text[255]);
}

TEST_F(CaptureStateTest, NothingCapturedFillsAnEmptyRecord) {
  Start(kClassPlain, 10);
  GrabTextResult result;
  memset(&result, 0x55, sizeof(result));
  EXPECT_FALSE(FillGrabResult(state, result));
  EXPECT_EQ(0, result.length);
  EXPECT_EQ(-1, result.index);
  EXPECT_EQ(0, result.text[0]);
}

TEST(GetWindowClassMode, MatchesTheKnownClassesIgnoringCase) {
  struct Case {
    const wchar_t* name;
    int kind;
  } cases[] = {
      {L"Internet Explorer_Server", kClassHtmlView},
      {L"internet explorer_server", kClassHtmlView},
      {L"MozillaWindowClass", kClassMozilla},
      {L"mozilladropshadowwindowclass", kClassMozilla},
      {L"ConsoleWindowClass", kClassConsole},
      {L"TtyGrab", kClassConsole},
      {L"Internet Explorer_Server2", kClassPlain},
      {L"Edit", kClassPlain},
      {L"", kClassPlain},
      {nullptr, kClassPlain},
  };
  for (const Case& c : cases) EXPECT_EQ(c.kind, GetWindowClassMode(c.name)) << (c.name ? c.name : L"(null)");
}

}  // namespace
