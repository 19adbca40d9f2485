// The drop-down list as the search bar uses it: a popup that takes the
// focus, lets the user pick a row and reports the pick to its owner.
#include "app/search/ListWnd.h"
#include "app/search/tests/SearchTestKit.h"

namespace {

using namespace search_test;

class ListWndTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(RegisterListWndClass());
    ASSERT_TRUE(owner.CreateSpy(&main, 300, 300));
    ASSERT_TRUE(list.Create(WS_POPUP | WS_BORDER, CRect(0, 0, 100, 100), &owner));
  }
  void Fill(int rows) {
    for (int i = 0; i < rows; ++i) ASSERT_EQ(i, list.AddItem(KeyName(i).c_str(), 0, 0, false));
  }
  // 15 rows high, as the search bar asks.
  void Show() { list.ShowAt(60, 60, 200, 15 * list.GetItemHeight() + 2); }
  void Key(UINT vk) {
    list.PostMessage(WM_KEYDOWN, vk, 1);
    PumpPending();
  }
  int WindowHeight() const {
    CRect rc;
    list.GetWindowRect(&rc);
    return rc.Height();
  }
  SpyParent owner;
  CListWnd list;
};

TEST_F(ListWndTest, ShowAtTakesWholeRowsAndNoMoreThanThereAre) {
  Fill(3);
  Show();
  EXPECT_TRUE(list.IsWindowVisible());
  EXPECT_EQ(62, WindowHeight());
  EXPECT_EQ(list.m_hWnd, ::GetFocus());
  EXPECT_EQ(-1, list.GetCurSel());

  list.ResetContent(false);
  Show();
  EXPECT_EQ(22, WindowHeight());  // one row with no rows

  Fill(40);
  list.ShowAt(60, 60, 200, 101);
  EXPECT_EQ(82, WindowHeight());  // (101 - 2) / 20 whole rows
}

TEST_F(ListWndTest, ScrollBarOnlyWhenRowsDoNotFit) {
  Fill(3);
  Show();
  EXPECT_EQ(0u, list.GetStyle() & WS_VSCROLL);
  list.ResetContent(false);
  Fill(40);
  Show();
  EXPECT_NE(0u, list.GetStyle() & WS_VSCROLL);
}

TEST_F(ListWndTest, ReleaseInsideChoosesTheHoverRowOutsideThePressedRow) {
  Fill(5);
  Show();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));  // row 1
  list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 65));   // row 3
  EXPECT_EQ(3, list.GetHover());
  list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 65));
  EXPECT_EQ(3, list.GetCurSel());
  EXPECT_FALSE(list.IsWindowVisible());
  ASSERT_EQ(1u, owner.commands.size());
  EXPECT_EQ(0u, owner.commands[0].id);
  EXPECT_EQ(1u, owner.commands[0].code);
  EXPECT_EQ(list.m_hWnd, owner.commands[0].from);

  Show();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
  list.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 65));
  list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(uint16_t(-10), 65));  // left of the list
  EXPECT_EQ(1, list.GetCurSel());
  EXPECT_EQ(2u, owner.commands.size());
  EXPECT_EQ(nullptr, ::GetCapture());
}

TEST_F(ListWndTest, PageUpFirstGoesToTheTopRowThenAPageFurther) {
  Fill(40);
  Show();
  ASSERT_EQ(list.m_hWnd, ::GetFocus());
  Key(VK_END);
  EXPECT_EQ(39, list.GetHover());
  EXPECT_EQ(25, list.GetTopRow());
  Key(VK_PRIOR);
  EXPECT_EQ(25, list.GetHover());
  Key(VK_PRIOR);
  EXPECT_EQ(11, list.GetHover());
  EXPECT_EQ(11, list.GetTopRow());
  EXPECT_TRUE(list.IsWindowVisible());  // Page Up keeps the list open
  EXPECT_TRUE(owner.commands.empty());
}

TEST_F(ListWndTest, PageDownChoosesAndCloses) {
  Fill(40);
  Show();
  Key(VK_DOWN);
  Key(VK_DOWN);
  EXPECT_EQ(1, list.GetHover());
  Key(VK_NEXT);  // to the last visible row, chosen
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_EQ(14, list.GetCurSel());
  EXPECT_EQ(1, owner.Count(1));
}

TEST_F(ListWndTest, EscAndLosingTheFocusCloseWithoutANotification) {
  Fill(5);
  Show();
  Key(VK_DOWN);
  Key(VK_ESCAPE);
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_EQ(-1, list.GetCurSel());
  EXPECT_EQ(-1, list.GetHover());

  Show();
  Key(VK_DOWN);
  main.SetFocus();
  PumpPending();
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_TRUE(owner.commands.empty());
}

TEST_F(ListWndTest, EnterNotifiesOnlyAChangedChoiceAndEveryShowingStartsUnselected) {
  Fill(5);
  Show();
  Key(VK_UP);  // clamped to row 0
  EXPECT_EQ(0, list.GetHover());
  Key(VK_RETURN);
  EXPECT_EQ(0, list.GetCurSel());
  EXPECT_EQ(1, owner.Count(1));

  Show();  // selection -1 again: the same row notifies again
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(0, list.GetCurSel());
  EXPECT_EQ(2, owner.Count(1));

  list.SetCurSel(3, true, true, false);
  list.SetCurSel(3, true, true, false);
  list.SetCurSel(99, true, true, false);  // clamped to the last row
  EXPECT_EQ(4, list.GetCurSel());
  EXPECT_EQ(4, owner.Count(1));
}

TEST_F(ListWndTest, KeysOtherThanTheListedOnesAreSwallowed) {
  Fill(5);
  Show();
  list.PostMessage(WM_KEYDOWN, 'A', 1);
  PumpPending();
  MSG msg;
  EXPECT_FALSE(::PeekMessageW(&msg, list.m_hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE));
  EXPECT_TRUE(list.IsWindowVisible());
}

}  // namespace

namespace {

using namespace search_test;

TEST_F(ListWndTest, ReleaseOutsideWithoutAPressChoosesNothing) {
  Fill(5);
  Show();
  list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 500));
  EXPECT_EQ(-1, list.GetCurSel());
  EXPECT_TRUE(owner.commands.empty());
  EXPECT_FALSE(list.IsWindowVisible());
}

TEST_F(ListWndTest, TheHoverRowIsPaintedHighlightedTheRestInTheBackground) {
  Fill(3);
  Show();
  Key(VK_DOWN);
  Key(VK_DOWN);
  ASSERT_EQ(1, list.GetHover());
  CRect client;
  list.GetClientRect(&client);
  Canvas canvas(client.Width(), client.Height());
  list.Paint(*CDC::FromHandle(canvas.dc()), client);
  EXPECT_EQ(RGB(246, 249, 252), canvas.At(1, 10));
  EXPECT_EQ(RGB(83, 143, 206), canvas.At(1, 30));
  EXPECT_EQ(RGB(246, 249, 252), canvas.At(1, 50));
  EXPECT_GT(canvas.Count(CRect(0, 20, client.right, 40), RGB(255, 255, 255)), 0);  // the hover text
  EXPECT_EQ(0, canvas.Count(CRect(0, 0, 4, client.bottom), RGB(255, 0, 255)));     // every pixel painted
}

}  // namespace
