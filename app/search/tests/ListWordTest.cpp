// The index word list as a virtual list over a small dictionary made by the
// dictionary writer.
#include "app/search/ListWord.h"
#include "app/search/tests/SearchTestKit.h"

namespace {

using namespace search_test;

const int kListId = 1015;

class ListWordTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(RegisterListWordClass());
    ASSERT_TRUE(parent.CreateSpy(&main, 300, 300));
    // No font from the parent: rows 20 pixels high, 10 rows in the 200-pixel client.
    ASSERT_TRUE(list.Create(L"Talvane_ListWord", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 150, 200),
                            &parent, kListId));
    ASSERT_EQ(10, list.GetVisibleRows());
  }
  void Attach(int keys, uint32_t selection = 0) {
    dict = MakeWordDict(host, 0x5100 + keys, keys);
    ASSERT_TRUE(dict);
    ASSERT_EQ(uint32_t(keys), dict->GetKeyCount());
    list.SetSource(dict.get(), 1, selection);
  }
  void Key(UINT vk) {
    list.PostMessage(WM_KEYDOWN, vk, 1);
    PumpPending();
  }
  SpyParent parent;
  CListWord list;
  std::unique_ptr<CDictFile> dict;
};

TEST_F(ListWordTest, ShowsEveryKeyOfTheDictionaryWithoutStoringRows) {
  Attach(60);
  EXPECT_EQ(dict.get(), list.GetSource());
  EXPECT_EQ(dict->GetId(), list.GetSourceId());
  EXPECT_EQ(1, list.GetSourceIndex());
  EXPECT_EQ(0, list.GetSelection());
  EXPECT_TRUE(parent.commands.empty());  // attaching does not notify
  EXPECT_NE(0u, list.GetStyle() & WS_VSCROLL);
  SCROLLINFO si = {sizeof(si), SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(list.GetScrollInfo(SB_VERT, &si));
  EXPECT_EQ(59, si.nMax);
  EXPECT_EQ(10u, si.nPage);

  // What a row shows is the dictionary's key at that row.
  Canvas canvas(150, 200);
  list.SetSelection(59, false, false);
  EXPECT_EQ(50, list.GetTopRow());
  list.Paint(*CDC::FromHandle(canvas.dc()), CRect(0, 0, 150, 200));
  EXPECT_GT(canvas.Count(CRect(0, 180, 150, 200), RGB(232, 238, 247)), 0);  // the selected last row
  EXPECT_EQ(0, canvas.Count(CRect(0, 0, 150, 180), RGB(232, 238, 247)));
  EXPECT_GT(canvas.Count(CRect(0, 0, 150, 20), RGB(0, 0, 0)), 0);
}

TEST_F(ListWordTest, SetSourceClampsTheSelectionToTheLastKey) {
  Attach(30, 1000);
  EXPECT_EQ(29, list.GetSelection());
  EXPECT_EQ(20, list.GetTopRow());
}

TEST_F(ListWordTest, KeysPostedToTheListMoveTheSelectionAndNotify) {
  Attach(60);
  Key(VK_NEXT);  // to the last row of the page
  EXPECT_EQ(9, list.GetSelection());
  EXPECT_EQ(0, list.GetTopRow());
  Key(VK_NEXT);  // a page further: the row becomes the last visible one
  EXPECT_EQ(18, list.GetSelection());
  EXPECT_EQ(9, list.GetTopRow());
  Key(VK_PRIOR);  // first to the top row
  EXPECT_EQ(9, list.GetSelection());
  Key(VK_PRIOR);  // then a page up
  EXPECT_EQ(0, list.GetSelection());
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_UP);
  EXPECT_EQ(1, list.GetSelection());
  Key(VK_END);
  EXPECT_EQ(59, list.GetSelection());
  EXPECT_EQ(50, list.GetTopRow());
  Key(VK_HOME);
  EXPECT_EQ(0, list.GetSelection());
  ASSERT_EQ(9, parent.Count(1));
  EXPECT_EQ(UINT(kListId), parent.commands[0].id);
  EXPECT_EQ(list.m_hWnd, parent.commands[0].from);
  Key(VK_LEFT);  // the rows never move sideways, nothing changes
  EXPECT_EQ(0, list.GetSelection());
  EXPECT_EQ(9, parent.Count(1));
}

TEST_F(ListWordTest, OneKeyStaysSelectedAndNotifiesOnlyOnce) {
  Attach(1);
  list.SetSelection(0, true, true);
  Key(VK_NEXT);
  Key(VK_END);
  Key(VK_DOWN);
  EXPECT_EQ(0, list.GetSelection());
  EXPECT_EQ(0, parent.Count(1));
  Key(VK_UP);
  EXPECT_EQ(0, parent.Count(1));
}

TEST_F(ListWordTest, SelectionBelowThePageScrollsToTheBottomEnsureVisibleToTheTop) {
  Attach(60);
  list.SetSelection(25, true, false);
  EXPECT_EQ(16, list.GetTopRow());  // row 25 is the last visible row
  list.EnsureVisible(0, 25, true);
  EXPECT_EQ(25, list.GetTopRow());
  list.EnsureVisible(7, 55, true);  // in the last page: as far as the rows allow
  EXPECT_EQ(50, list.GetTopRow());
  list.SetSelection(3, true, false);
  EXPECT_EQ(3, list.GetTopRow());
  EXPECT_TRUE(parent.commands.empty());
}

TEST_F(ListWordTest, ClicksSelectDoubleClicksReport) {
  Attach(5);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 150));  // below the last row
  EXPECT_EQ(4, list.GetSelection());
  list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 150));
  list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 25));
  EXPECT_EQ(1, list.GetSelection());
  list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 25));
  ASSERT_EQ(3u, parent.commands.size());
  EXPECT_EQ(1u, parent.commands[0].code);
  EXPECT_EQ(1u, parent.commands[1].code);
  EXPECT_EQ(2u, parent.commands[2].code);
  EXPECT_EQ(UINT(kListId), parent.commands[2].id);
}

TEST_F(ListWordTest, WheelAndScrollBarMoveTheTopRow) {
  Attach(60);
  list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, uint16_t(-240)), 0);
  EXPECT_EQ(2, list.GetTopRow());
  list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(11, list.GetTopRow());
  list.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(50, list.GetTopRow());
  list.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(49, list.GetTopRow());
  EXPECT_EQ(0, list.GetSelection());  // scrolling does not select
}

// The scroll bar is drawn with the list's next paint, not at once; its
// position, range and presence still follow the rows.
TEST_F(ListWordTest, ScrollBarFollowsTheRowsAndIsDrawnWithTheNextPaint) {
  Attach(60);
  list.UpdateWindow();
  list.EnsureVisible(0, 30, true);
  EXPECT_EQ(30, list.GetScrollPos(SB_VERT));
  EXPECT_TRUE(::GetUpdateRect(list.m_hWnd, nullptr, FALSE));  // left to the paint
  list.UpdateWindow();
  EXPECT_FALSE(::GetUpdateRect(list.m_hWnd, nullptr, FALSE));
  EXPECT_EQ(30, list.GetScrollPos(SB_VERT));
  EXPECT_TRUE(list.GetStyle() & WS_VSCROLL);

  Attach(5);  // fewer keys than rows: no scroll bar
  EXPECT_FALSE(list.GetStyle() & WS_VSCROLL);
  EXPECT_TRUE(::GetUpdateRect(list.m_hWnd, nullptr, FALSE));
  Attach(60);
  EXPECT_TRUE(list.GetStyle() & WS_VSCROLL);
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  ASSERT_TRUE(list.GetScrollInfo(SB_VERT, &si));
  EXPECT_EQ(59, si.nMax);
  EXPECT_EQ(10u, si.nPage);
}

TEST_F(ListWordTest, WithoutASourceOnlyTheBackgroundIsPainted) {
  Key(VK_DOWN);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 50));
  list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 50));
  list.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, uint16_t(-120)), 0);
  EXPECT_TRUE(parent.commands.empty());
  EXPECT_EQ(0, list.GetSelection());
  CRect client;
  list.GetClientRect(&client);
  Canvas canvas(150, 200);
  list.Paint(*CDC::FromHandle(canvas.dc()), client);
  EXPECT_EQ(client.Width() * client.Height(), canvas.Count(client, RGB(255, 255, 255)));
}

TEST_F(ListWordTest, HighlightIsTheTextWidthPlusThreeOnEachSide) {
  Attach(5);
  list.SetSelection(2, false, false);
  CFont font;
  LOGFONTW lf = {};
  lf.lfHeight = -12;
  wcscpy(lf.lfFaceName, L"Tahoma");
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  App().uiFont.CreateFontIndirect(&lf);  // the painting font

  Canvas canvas(150, 200);
  list.Paint(*CDC::FromHandle(canvas.dc()), CRect(0, 0, 150, 200));
  HGDIOBJ old = ::SelectObject(canvas.dc(), font);
  SIZE text = {};
  ::GetTextExtentPoint32W(canvas.dc(), KeyName(2).c_str(), 4, &text);
  ::SelectObject(canvas.dc(), old);
  // Row 2 spans y 40..60; the highlight spans x 1 .. 4 + width + 3.
  const int frameColour = canvas.At(1, 50);
  EXPECT_TRUE(frameColour == int(RGB(184, 201, 226)) || frameColour == int(RGB(131, 150, 195)));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(0, 50));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(4 + text.cx + 3 + 1, 50));
  EXPECT_EQ(RGB(184, 201, 226), canvas.At(4 + text.cx + 3 - 1, 50));
  EXPECT_EQ(RGB(232, 238, 247), canvas.At(2, 42));
  EXPECT_EQ(RGB(255, 255, 255), canvas.At(2, 40));  // narrowed by one pixel at the top
}

TEST_F(ListWordTest, FontChangeSetsTheRowHeight) {
  CFont font;
  LOGFONTW lf = {};
  lf.lfHeight = -15;
  wcscpy(lf.lfFaceName, L"Tahoma");
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  list.SendMessage(WM_SETFONT, WPARAM(HFONT(font)), 1);
  EXPECT_EQ(23, list.GetItemHeight());
  EXPECT_EQ(HFONT(font), reinterpret_cast<HFONT>(list.SendMessage(WM_GETFONT)));
  list.SendMessage(WM_SETFONT, 0, 0);
  EXPECT_EQ(20, list.GetItemHeight());
}

}  // namespace

namespace {

using namespace search_test;

TEST_F(ListWordTest, ASmallerSourceDoesNotKeepTheFormerTopRow) {
  Attach(60);
  list.SetSelection(55, true, false);
  ASSERT_EQ(46, list.GetTopRow());
  auto smaller = MakeWordDict(host, 0x5199, 55);
  ASSERT_TRUE(smaller);
  list.SetSource(smaller.get(), 0, 50);  // the row is on the former page
  EXPECT_EQ(50, list.GetSelection());
  EXPECT_EQ(45, list.GetTopRow());  // the last page of the new source, no empty rows
  list.SetSource(dict.get(), 1, 0);  // back before the list reads a key of the freed one
}

}  // namespace
