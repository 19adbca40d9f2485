// The image button: the cell drawn for each visual state and check value,
// the click cycles of the button types, the button messages, disabled
// drawing, background grid, text colours and the tooltip.
#include "guictl/GImageButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <memory>

namespace {

using namespace kestrel_test;

const int kCellW = 16, kCellH = 12;

class ImageButtonTest : public ControlTest {
 protected:
  // A 40 x 30 button; the cell lands centred at (12, 9)..(28, 21).
  void Make(DWORD type, int columns = 4, int rows = 2) {
    // Constructed after the library's initialisation, as the program does.
    button.reset(new CGImageButton);
    ASSERT_TRUE(button->Create(L"", WS_VISIBLE | type, CRect(10, 10, 50, 40), &parent, 101));
    Veltra::COImage list = MakeCellGrid(columns, rows, kCellW, kCellH);
    ASSERT_EQ(1, button->SetImageList(list, kCellW, kCellH, 0));
  }
  COLORREF CellShown() {
    Canvas canvas(40, 30);
    button->DrawItem(canvas.dc());
    return canvas.At(20, 15);
  }
  COLORREF CornerShown() {
    Canvas canvas(40, 30);
    button->DrawItem(canvas.dc());
    return canvas.At(1, 1);
  }
  void Move(int x, int y) { button->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
  void Down(int x, int y) { button->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Up(int x, int y) { button->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(short(x), short(y))); }
  void Click() {
    Move(5, 5);
    Down(5, 5);
    Up(5, 5);
  }
  std::unique_ptr<CGImageButton> button;
};

TEST_F(ImageButtonTest, CreatedWithItsClassStyleAndParentFont) {
  Make(BS_PUSHBUTTON | WS_TABSTOP);
  wchar_t name[64];
  ::GetClassNameW(button->GetSafeHwnd(), name, 64);
  EXPECT_STREQ(L"Talvane_ImageButton", name);
  EXPECT_EQ(0u, button->GetStyle() & WS_TABSTOP);
  EXPECT_EQ(DWORD(WS_CHILD | BS_CENTER | BS_VCENTER), button->GetStyle() & (WS_CHILD | BS_CENTER | BS_VCENTER));
  EXPECT_EQ(LRESULT(parent.font), button->SendMessage(WM_GETFONT));
}

TEST_F(ImageButtonTest, EachStateShowsItsCellInTheCheckRow) {
  Make(BS_AUTOCHECKBOX);
  button->SetCheck(1);
  ASSERT_EQ(1, button->GetCheck());
  EXPECT_EQ(CellColour(0, 1), CellShown());  // at rest
  EXPECT_EQ(kParentColour, CornerShown());   // the parent's background around it
  Move(5, 5);
  EXPECT_EQ(CellColour(2, 1), CellShown());  // hover
  Down(5, 5);
  EXPECT_EQ(CellColour(1, 1), CellShown());  // pressed inside
  Move(-5, -5);
  EXPECT_EQ(CellColour(2, 1), CellShown());  // pressed, mouse outside: hover cell
  Up(-5, -5);
  EXPECT_TRUE(parent.commands.empty());      // released outside: no click
  EXPECT_EQ(1, button->GetCheck());
  button->SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(CellColour(0, 1), CellShown());
  button->EnableWindow(FALSE);
  EXPECT_EQ(CellColour(3, 1), CellShown());  // disabled, a 4-column list: its own cell
  button->SetCheck(0);
  EXPECT_EQ(CellColour(3, 0), CellShown());
}

TEST_F(ImageButtonTest, CheckBeyondTheListsRowsUsesRowZero) {
  Make(BS_AUTO3STATE, 4, 2);
  button->SetCheck(2);
  EXPECT_EQ(2, button->GetCheck());
  EXPECT_EQ(CellColour(0, 0), CellShown());
}

TEST_F(ImageButtonTest, DisabledWithThreeColumnsDrawsColumnZeroGreyAt70Percent) {
  Make(BS_PUSHBUTTON, 3, 1);
  button->EnableWindow(FALSE);
  // What the image class makes of that cell: grey, 70 % over the parent.
  Veltra::COImage expected;
  expected.CreateFilled(kCellW, kCellH, 72.0, kParentPixel, 0);
  Veltra::COImage cell = MakeCellGrid(1, 1, kCellW, kCellH);
  cell.SetOpacity(70);
  expected.DrawImage(0, 0, cell, 0, 0, kCellW, kCellH, 0, 1);
  const uint32_t p = expected.At(4, 4);
  const COLORREF shown = CellShown();
  EXPECT_EQ(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF), shown);
  EXPECT_NE(CellColour(0, 0), shown);
  EXPECT_NE(kParentColour, shown);
}

struct ClickCase {
  DWORD type;
  int checks[3];  // after the first, second and third click
};

TEST_F(ImageButtonTest, ClicksCycleTheCheckStateByButtonType) {
  const ClickCase cases[] = {
      {BS_PUSHBUTTON, {0, 0, 0}},      {BS_CHECKBOX, {0, 0, 0}},        {BS_AUTOCHECKBOX, {1, 0, 1}},
      {BS_AUTORADIOBUTTON, {1, 0, 1}}, {BS_AUTO3STATE, {1, 2, 0}},
  };
  for (const ClickCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type);
    parent.commands.clear();
    Make(c.type, 4, 3);
    for (int i = 0; i < 3; ++i) {
      Click();
      EXPECT_EQ(c.checks[i], button->GetCheck());
    }
    ASSERT_EQ(3u, parent.commands.size());
    for (const SpyParent::Command& cmd : parent.commands) {
      EXPECT_EQ(101u, cmd.id);
      EXPECT_EQ(UINT(BN_CLICKED), cmd.code);
      EXPECT_EQ(button->GetSafeHwnd(), cmd.from);
    }
    button->DestroyWindow();
  }
}

TEST_F(ImageButtonTest, SetCheckAcceptsOnlyTheValuesOfTheType) {
  struct Case {
    DWORD type;
    int value;
    int expected;
  } cases[] = {
      {BS_AUTOCHECKBOX, 1, 1}, {BS_AUTOCHECKBOX, 2, 0}, {BS_CHECKBOX, 1, 1},     {BS_RADIOBUTTON, 1, 1},
      {BS_3STATE, 2, 2},       {BS_AUTO3STATE, 2, 2},   {BS_AUTO3STATE, 3, 0},   {BS_PUSHBUTTON, 1, 0},
      {BS_AUTORADIOBUTTON, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " value " << c.value);
    Make(c.type);
    button->SetCheck(c.value);
    EXPECT_EQ(c.expected, button->GetCheck());
    button->DestroyWindow();
  }
}

TEST_F(ImageButtonTest, BmClickPostsOneClick) {
  Make(BS_AUTOCHECKBOX);
  button->SendMessage(BM_CLICK);
  EXPECT_TRUE(parent.commands.empty());  // posted, not sent
  PumpPending();
  ASSERT_EQ(1u, parent.commands.size());
  EXPECT_EQ(UINT(BN_CLICKED), parent.commands[0].code);
  EXPECT_EQ(101u, parent.commands[0].id);
  EXPECT_EQ(1, button->GetCheck());
}

TEST_F(ImageButtonTest, SetStyleKeepsTheHighBits) {
  Make(BS_PUSHBUTTON);
  const DWORD high = button->GetStyle() & 0xFFFF0000u;
  button->SetButtonStyle(BS_AUTO3STATE | BS_LEFT, 0);
  EXPECT_EQ(UINT(BS_AUTO3STATE | BS_LEFT), button->GetButtonStyle());
  EXPECT_EQ(high, button->GetStyle() & 0xFFFF0000u);
}

TEST_F(ImageButtonTest, ImageListWithoutAWholeCellIsRefusedAndTheOldOneKept) {
  Make(BS_PUSHBUTTON);
  Veltra::COImage small = MakeCellGrid(1, 1, 10, 10);
  EXPECT_EQ(0, button->SetImageList(small, 16, 16, 0));
  EXPECT_EQ(0, button->SetImageList(small, 0, 10, 0));
  EXPECT_EQ(DWORD(kCellW), button->GetImgWidth());
  EXPECT_EQ(DWORD(kCellH), button->GetImgHeight());
  EXPECT_EQ(4 * kCellW, button->GetImgList()->GetWidth());
  EXPECT_EQ(CellColour(0, 0), CellShown());

  button->ReleaseImageList();
  EXPECT_EQ(0u, button->GetImgWidth());
  EXPECT_EQ(kParentColour, CellShown());  // only the parent's background
}

TEST_F(ImageButtonTest, AutoSizeFitsTheCellPlusPadding) {
  Make(BS_PUSHBUTTON);
  button->SetPadding(3, 2, 5, 4, 0);
  Veltra::COImage list = MakeCellGrid(4, 1, 20, 18);
  ASSERT_EQ(1, button->SetImageList(list, 20, 18, 1));
  CRect rc;
  button->GetWindowRect(&rc);
  parent.ScreenToClient(&rc);
  EXPECT_EQ(CRect(10, 10, 10 + 20 + 8, 10 + 18 + 6), rc);
  // Anchored at the right and bottom edges, the other corner moves.
  button->MoveWindow(10, 10, 60, 50);
  CRect fit = button->CalcFixSize(2 | 8, 1);
  EXPECT_EQ(CRect(70 - 28, 60 - 24, 70, 60), fit);
}

TEST_F(ImageButtonTest, BackgroundGridCellFollowsStateAndCheck) {
  Make(BS_AUTOCHECKBOX);
  // A grid of 6 x 6 cells: 4 columns by state, 2 rows by check.
  Veltra::COImage back = MakeCellGrid(4, 2, 6, 6);
  long cuts[6] = {2, 2, 2, 2, 2, 2};
  int modes[6] = {2, 2, 2, 2, 2, 2};
  button->SetBackImgList(back, cuts, modes, 1);
  button->ReleaseImageList();
  EXPECT_EQ(CellColour(0, 0), CornerShown());
  Move(5, 5);
  EXPECT_EQ(CellColour(2, 0), CornerShown());
  button->SetCheck(1);
  EXPECT_EQ(CellColour(2, 1), CornerShown());
  button->EnableWindow(FALSE);
  EXPECT_EQ(CellColour(3, 1), CornerShown());
}

TEST_F(ImageButtonTest, TextColoursFollowTheStateAndMinusOneRestoresTheSystemColours) {
  Make(BS_PUSHBUTTON);
  button->ReleaseImageList();
  button->SetText(L"MMMM", nullptr, 0);
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0);
  button->SetTextColor(red, green, RGB(0, 0, 255), RGB(9, 9, 9), 1);
  Canvas rest(40, 30);
  button->DrawItem(rest.dc());
  EXPECT_GT(rest.Count(CRect(0, 0, 40, 30), red), 0);
  Move(5, 5);
  Canvas hover(40, 30);
  button->DrawItem(hover.dc());
  EXPECT_GT(hover.Count(CRect(0, 0, 40, 30), green), 0);
  EXPECT_EQ(0, hover.Count(CRect(0, 0, 40, 30), red));

  button->SetTextColor(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1);
  button->SendMessage(WM_MOUSELEAVE);
  Canvas sys(40, 30);
  button->DrawItem(sys.dc());
  EXPECT_EQ(0, sys.Count(CRect(0, 0, 40, 30), red));
  EXPECT_GT(sys.Count(CRect(0, 0, 40, 30), ::GetSysColor(COLOR_BTNTEXT)), 0);
}

TEST_F(ImageButtonTest, TooltipHoldsTheTextAndFollowsTheSize) {
  Make(BS_PUSHBUTTON);
  button->SetText(L"Go", L"Look the word up", 0);
  CString text;
  button->GetWindowText(text);
  EXPECT_STREQ(L"Go", text);
  auto findTip = [&] {
    HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    for (; tip && ::GetWindow(tip, GW_OWNER) != parent.GetSafeHwnd() &&
           ::GetWindow(tip, GW_OWNER) != button->GetSafeHwnd();
         tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
    }
    return tip;
  };
  // The tip's window is made when the mouse first comes to the button.
  EXPECT_EQ(nullptr, findTip());
  MSG move = {button->GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {5, 5}};
  button->PreTranslateMessage(&move);
  HWND tip = findTip();
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(1, int(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)));
  wchar_t buf[64] = {};
  TOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  ti.hwnd = button->GetSafeHwnd();
  ti.uId = 1;
  ti.lpszText = buf;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, LPARAM(&ti));
  EXPECT_STREQ(L"Look the word up", buf);

  button->MoveWindow(10, 10, 70, 44);
  ASSERT_TRUE(::SendMessageW(tip, TTM_GETTOOLINFOW, 0, LPARAM(&ti)));
  EXPECT_EQ(CRect(0, 0, 69, 43), CRect(ti.rect));

  button->SetTooltip(L"Other", 0);
  ti.lpszText = buf;
  ::SendMessageW(tip, TTM_GETTEXTW, 64, LPARAM(&ti));
  EXPECT_STREQ(L"Other", buf);
}

TEST_F(ImageButtonTest, LinkCursorOnRequest) {
  Make(BS_PUSHBUTTON);
  button->SetCursorType(1);
  EXPECT_EQ(TRUE, button->SendMessage(WM_SETCURSOR, WPARAM(button->GetSafeHwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(Kestrel_GetManager()->m_hLinkCursor, ::GetCursor());
}

}  // namespace
