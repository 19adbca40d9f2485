// The splitter bar: placement between its panes, the drag with its limits
// and the WM_SPLITTER_MOVED payload; no pane ever gets a negative size.
#include "guictl/GSplitterBar.h"
#include "guictl/tests/ControlTestKit.h"

#include <memory>

namespace {

using namespace kestrel_test;

class SplitterBarTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();  // the parent is 400 x 300
    ASSERT_TRUE(first.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 300), &parent, 1));
    ASSERT_TRUE(second.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(150, 0, 400, 300), &parent, 2));
  }
  void MakeBar(int vertical) {
    bar.reset(new CGSplitterBar);
    ASSERT_TRUE(bar->Create(&parent, 401, vertical));
  }
  CRect InParent(CWnd& w) {
    CRect rc;
    w.GetWindowRect(&rc);
    parent.ScreenToClient(&rc);
    return rc;
  }
  // Drags the bar's leading edge from where it is to `to` (parent client).
  void Drag(int to, int grab = 2) {
    const CRect at = InParent(*bar);
    const int lead = bar->IsVertical() ? at.left : at.top;
    const LPARAM down = bar->IsVertical() ? MAKELPARAM(grab, 10) : MAKELPARAM(10, grab);
    const int d = to - lead + grab;
    const LPARAM there = bar->IsVertical() ? MAKELPARAM(short(d), 10) : MAKELPARAM(10, short(d));
    bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, down);
    bar->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, there);
    bar->SendMessage(WM_LBUTTONUP, 0, there);
  }
  CWnd first, second;
  std::unique_ptr<CGSplitterBar> bar;
};

TEST_F(SplitterBarTest, SetPanesCentresTheBarOnTheFirstPanesEdge) {
  MakeBar(1);
  wchar_t name[64];
  ::GetClassNameW(bar->GetSafeHwnd(), name, 64);
  EXPECT_STREQ(L"Talvane_SplitterBar", name);
  bar->SetPanes(&first, 50, &second, 80, 6);
  EXPECT_EQ(CRect(147, 0, 153, 300), InParent(*bar));
  EXPECT_EQ(CRect(0, 0, 147, 300), InParent(first));
  EXPECT_EQ(CRect(153, 0, 400, 300), InParent(second));
  EXPECT_EQ(0, bar->GetRangeStart());
  EXPECT_EQ(400, bar->GetRangeEnd());
}

TEST_F(SplitterBarTest, ReleaseMovesBarAndPanesAndReportsOnceInScreenCoordinates) {
  MakeBar(1);
  bar->SetPanes(&first, 50, &second, 80, 6);
  Drag(200);
  EXPECT_EQ(CRect(200, 0, 206, 300), InParent(*bar));
  EXPECT_EQ(CRect(0, 0, 200, 300), InParent(first));
  EXPECT_EQ(CRect(206, 0, 400, 300), InParent(second));
  ASSERT_EQ(1u, parent.moves.size());
  EXPECT_EQ(bar->GetSafeHwnd(), parent.moves[0].first);
  CRect screen(200, 0, 206, 300);
  parent.ClientToScreen(&screen);
  EXPECT_EQ(screen, parent.moves[0].second);
  EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(SplitterBarTest, DragStopsAtEachPanesMinimum) {
  MakeBar(1);
  bar->SetPanes(&first, 50, &second, 80, 6);
  Drag(-300);
  EXPECT_EQ(50, InParent(first).Width());
  Drag(1000);
  EXPECT_EQ(80, InParent(second).Width());
  EXPECT_EQ(CRect(314, 0, 320, 300), InParent(*bar));
  EXPECT_EQ(2u, parent.moves.size());
}

TEST_F(SplitterBarTest, OverlappingMinimumsClampTheBarAndNoPaneGoesNegative) {
  MakeBar(1);
  // The second pane's minimum alone is more than the whole range.
  bar->SetPanes(&first, 100, &second, 500, 6);
  Drag(200);
  const CRect b = InParent(*bar), f = InParent(first), s = InParent(second);
  EXPECT_EQ(CRect(0, 0, 6, 300), b);
  EXPECT_GE(f.Width(), 0);
  EXPECT_GE(s.Width(), 0);
  EXPECT_EQ(0, f.Width());
  EXPECT_EQ(CRect(6, 0, 400, 300), s);
  // Both minimums overlapping inside the range: the second one wins.
  bar->SetPanes(&first, 300, &second, 300, 6);
  Drag(250);
  EXPECT_EQ(300, InParent(second).Width());
  EXPECT_EQ(94, InParent(first).Width());
}

TEST_F(SplitterBarTest, ZeroWidthMakesAOnePixelBarAndNegativeMinimumsAreZero) {
  MakeBar(1);
  bar->SetPanes(&first, -20, &second, -5, 0);
  EXPECT_EQ(1, bar->GetBarWidth());
  EXPECT_EQ(CRect(150, 0, 151, 300), InParent(*bar));
  Drag(-50);
  EXPECT_EQ(0, InParent(first).Width());
  Drag(900);
  EXPECT_EQ(0, InParent(second).Width());
}

TEST_F(SplitterBarTest, HorizontalBarMovesUpAndDownWithoutASecondPane) {
  first.MoveWindow(0, 0, 400, 120);
  MakeBar(0);
  bar->SetPanes(&first, 40, nullptr, 60, 4);
  EXPECT_EQ(CRect(0, 118, 400, 122), InParent(*bar));
  EXPECT_EQ(300, bar->GetRangeEnd());
  Drag(400);
  EXPECT_EQ(CRect(0, 236, 400, 240), InParent(*bar));
  EXPECT_EQ(CRect(0, 0, 400, 236), InParent(first));
  ASSERT_EQ(1u, parent.moves.size());
  EXPECT_EQ(4, parent.moves[0].second.Height());
}

}  // namespace
