// The owner-drawn menu measured and drawn into a memory canvas.
#include "app/search/OwnerMenu.h"
#include "app/search/tests/SearchTestKit.h"

namespace {

using namespace search_test;

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

class OwnerMenuTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // The check image is shared by the process: every test offers the same.
    ASSERT_TRUE(WritePng(App().iconFolder, L"check8.png", 16, 16, 0xFFFF0000));
    menu = std::make_unique<COwnerMenu>();
    ASSERT_TRUE(menu->CreatePopupMenu());
    blueIcon.CreateFilled(16, 16, 72.0, 0xFF0000FF, 1);
  }
  void TearDown() override {
    menu.reset();
    WindowTest::TearDown();
  }
  ULONG_PTR DataAt(int position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    EXPECT_TRUE(::GetMenuItemInfoW(*menu, UINT(position), TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    return info.dwItemData;
  }
  void Draw(Canvas& canvas, int position, UINT state, int height = 24, int width = 200) {
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_MENU;
    dis.itemID = ::GetMenuItemID(*menu, position);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(menu->m_hMenu);
    dis.hDC = canvas.dc();
    dis.rcItem = {0, 0, width, height};
    dis.itemData = DataAt(position);
    menu->DrawItem(&dis);
  }
  MEASUREITEMSTRUCT Measure(int position) {
    MEASUREITEMSTRUCT mis = {};
    mis.CtlType = ODT_MENU;
    mis.itemID = ::GetMenuItemID(*menu, position);
    mis.itemData = DataAt(position);
    menu->MeasureItem(&mis);
    return mis;
  }
  std::unique_ptr<COwnerMenu> menu;
  Veltra::COImage blueIcon;
};

TEST_F(OwnerMenuTest, SeparatorMeasuresAndDrawsOneGreyLine) {
  ASSERT_TRUE(menu->AppendItem(MF_SEPARATOR, 0, nullptr));
  const MEASUREITEMSTRUCT mis = Measure(0);
  EXPECT_EQ(22u, mis.itemWidth);
  EXPECT_EQ(3u, mis.itemHeight);

  Canvas canvas(200, 3);
  Draw(canvas, 0, 0, 3);
  EXPECT_EQ(RGB(0xC6, 0xC6, 0xC9), canvas.At(30, 1));  // 0xC9C6C6 as a COLORREF
  EXPECT_EQ(RGB(0xC6, 0xC6, 0xC9), canvas.At(199, 1));
  EXPECT_EQ(RGB(0xE0, 0xE9, 0xF6), canvas.At(10, 1));  // the icon column
  EXPECT_EQ(RGB(0xFC, 0xFD, 0xFF), canvas.At(29, 1));  // the line starts 30 pixels in
  EXPECT_EQ(RGB(0xFC, 0xFD, 0xFF), canvas.At(100, 0));
}

TEST_F(OwnerMenuTest, TextItemIsIconPlusTextPlusThirteenWideAndTwentyFourHigh) {
  ASSERT_TRUE(menu->AppendItem(MF_STRING, 7, L"Dictionaries"));
  ASSERT_TRUE(menu->AppendItem(MF_STRING, 8, nullptr));
  HDC dc = ::GetDC(main.m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, menu->m_fontNormal);
  RECT rc = {0, 0, 1, 1}, empty = {0, 0, 1, 1};
  ::DrawTextW(dc, L"Dictionaries", -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  ::DrawTextW(dc, L"", -1, &empty, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  ::SelectObject(dc, old);
  ::ReleaseDC(main.m_hWnd, dc);
  ASSERT_GT(rc.right, 20);

  MEASUREITEMSTRUCT mis = Measure(0);
  EXPECT_EQ(UINT(16 + rc.right + 13), mis.itemWidth);
  EXPECT_EQ(24u, mis.itemHeight);
  menu->SetIconSize(20, 20);
  mis = Measure(1);  // an empty text
  EXPECT_EQ(UINT(20 + empty.right + 13), mis.itemWidth);
}

TEST_F(OwnerMenuTest, SelectedItemIsFramedAndFilled) {
  ASSERT_TRUE(menu->AppendItem(MF_STRING, 7, L"x"));
  Canvas canvas(200, 24);
  Draw(canvas, 0, ODS_SELECTED);
  EXPECT_EQ(RGB(0x1F, 0x6B, 0xB0), canvas.At(0, 0));
  EXPECT_EQ(RGB(0x1F, 0x6B, 0xB0), canvas.At(199, 23));
  EXPECT_EQ(RGB(0xC5, 0xD3, 0xE8), canvas.At(1, 1));
  EXPECT_EQ(RGB(0xC5, 0xD3, 0xE8), canvas.At(190, 12));

  canvas.Fill(0);
  Draw(canvas, 0, 0);
  EXPECT_EQ(RGB(0xE0, 0xE9, 0xF6), canvas.At(0, 0));
  EXPECT_EQ(RGB(0xE0, 0xE9, 0xF6), canvas.At(21, 23));
  EXPECT_EQ(RGB(0xFC, 0xFD, 0xFF), canvas.At(22, 0));
}

TEST_F(OwnerMenuTest, CheckedItemWithoutIconShowsTheCheckImage) {
  ASSERT_TRUE(menu->AppendItem(MF_STRING | MF_CHECKED, 7, L"Grab"));
  Canvas canvas(200, 24);
  Draw(canvas, 0, ODS_CHECKED);
  EXPECT_EQ(kRed, canvas.At(3, 4));
  EXPECT_EQ(kRed, canvas.At(18, 19));
  EXPECT_EQ(RGB(0xE0, 0xE9, 0xF6), canvas.At(1, 1));  // no framed square

  canvas.Fill(0);
  Draw(canvas, 0, 0);  // not checked: no image
  EXPECT_EQ(RGB(0xE0, 0xE9, 0xF6), canvas.At(10, 10));
}

TEST_F(OwnerMenuTest, CheckedItemWithItsOwnIconShowsItInAFramedTintedSquare) {
  ASSERT_TRUE(menu->AppendIconItem(MF_STRING | MF_CHECKED, 7, L"Dict", &blueIcon));
  Canvas canvas(200, 24);
  Draw(canvas, 0, ODS_CHECKED);
  EXPECT_EQ(RGB(0x1F, 0x6B, 0xB0), canvas.At(1, 1));
  EXPECT_EQ(RGB(0x1F, 0x6B, 0xB0), canvas.At(20, 20));
  EXPECT_EQ(RGB(0xD1, 0xDB, 0xE9), canvas.At(2, 2));
  EXPECT_EQ(kBlue, canvas.At(10, 12));

  Draw(canvas, 0, ODS_CHECKED | ODS_SELECTED);
  EXPECT_EQ(RGB(0x9D, 0xB6, 0xD8), canvas.At(2, 2));
  EXPECT_EQ(kBlue, canvas.At(10, 12));
}

TEST_F(OwnerMenuTest, DisabledIconIsGreyAndGreyedTextIsGrey) {
  ASSERT_TRUE(menu->AppendIconItem(MF_STRING, 7, L"MMMM", &blueIcon));
  Canvas canvas(200, 24);
  Draw(canvas, 0, ODS_DISABLED | ODS_GRAYED);
  const COLORREF icon = canvas.At(10, 12);
  EXPECT_NE(kBlue, icon);
  EXPECT_EQ(GetRValue(icon), GetGValue(icon));
  EXPECT_EQ(GetGValue(icon), GetBValue(icon));
  const RECT text = {30, 0, 200, 24};
  EXPECT_GT(canvas.Count(text, RGB(0x7F, 0x7F, 0x7F)), 0);
  EXPECT_EQ(0, canvas.Count(text, RGB(0, 0, 0)));

  canvas.Fill(0xFFFFFF);
  Draw(canvas, 0, 0);
  EXPECT_EQ(kBlue, canvas.At(10, 12));
  EXPECT_GT(canvas.Count(text, RGB(0, 0, 0)), 0);
  EXPECT_EQ(0, canvas.Count(text, RGB(0x7F, 0x7F, 0x7F)));
}

TEST_F(OwnerMenuTest, DefaultItemIsDrawnBold) {
  ASSERT_TRUE(menu->AppendItem(MF_STRING, 7, L"MMMM MMMM"));
  const RECT text = {30, 0, 200, 24};
  Canvas canvas(200, 24);
  Draw(canvas, 0, 0);
  const int normal = canvas.Count(text, RGB(0, 0, 0));
  Draw(canvas, 0, ODS_DEFAULT);
  const int bold = canvas.Count(text, RGB(0, 0, 0));
  EXPECT_GT(normal, 0);
  EXPECT_GT(bold, normal);
}

}  // namespace
