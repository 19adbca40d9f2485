// The tool button: its skin cells, the drop-down part and its code 15,
// the fitted size, disabled drawing and a missing skin file.
#include "guictl/GToolButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <memory>

namespace {

using namespace kestrel_test;

class ToolButtonTest : public ControlTest {
 protected:
  // 60 x 30: the drop-down part is x 47..59.
  void Make(DWORD style = 0) {
    tool.reset(new CGToolButton);
    ASSERT_TRUE(tool->Create(L"", WS_VISIBLE | style, CRect(10, 10, 70, 40), &parent, 201));
  }
  // The skin cell drawn at the button's left edge: column and row index.
  COLORREF Edge() {
    Canvas canvas(60, 30);
    tool->DrawItem(canvas.dc());
    return canvas.At(0, 15);
  }
  void Move(int x, int y) { tool->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(short(x), short(y))); }
  void Down(int x, int y) { tool->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Up(int x, int y) { tool->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(short(x), short(y))); }
  std::unique_ptr<CGToolButton> tool;
};

TEST_F(ToolButtonTest, FlatAtRestShowsNoSkinAndTheSkinOnHoverAndPress) {
  Make();
  wchar_t name[64];
  ::GetClassNameW(tool->GetSafeHwnd(), name, 64);
  EXPECT_STREQ(L"Talvane_ToolButton", name);
  ASSERT_FALSE(CGToolButton::ms_imgBackList.IsEmpty()) << "button_flat_menu.png from the skin folder";
  EXPECT_EQ(kParentColour, Edge());
  Move(5, 5);
  EXPECT_EQ(SkinColour(2, 0), Edge());
  Down(5, 5);
  EXPECT_EQ(SkinColour(1, 0), Edge());
  Move(-3, 5);
  EXPECT_EQ(SkinColour(2, 0), Edge());
  Up(-3, 5);
  tool->SendMessage(WM_MOUSELEAVE);
  EXPECT_EQ(kParentColour, Edge());
  tool->EnableWindow(FALSE);
  EXPECT_EQ(SkinColour(3, 0), Edge());
}

TEST_F(ToolButtonTest, DropDownCellsFollowTheTable) {
  Make();
  tool->EnableDropDown(1);
  struct Step {
    const char* what;
    int action;  // 0 move, 1 down, 2 up, 3 leave
    int x;
    int column;
    int row;     // 1: row 22, 2: row 44
  } steps[] = {
      {"at rest", -1, 0, 0, 1},
      {"hover main", 0, 5, 2, 1},
      {"hover drop-down", 0, 55, 2, 2},
      {"drop-down pressed, on it", 1, 55, 1, 2},
      {"drop-down pressed, mouse on main", 0, 5, 2, 2},
      {"drop-down pressed, outside", 0, -4, 2, 2},
      {"released outside", 2, -4, 0, 1},
      {"hover main again", 0, 5, 2, 1},
      {"main pressed", 1, 5, 1, 1},
      {"main pressed, on drop-down", 0, 55, 2, 2},
      {"main pressed, outside", 0, -4, 2, 1},
      {"released", 2, -4, 0, 1},
      {"leave", 3, 0, 0, 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    if (s.action == 0) Move(s.x, 5);
    if (s.action == 1) Down(s.x, 5);
    if (s.action == 2) Up(s.x, 5);
    if (s.action == 3) tool->SendMessage(WM_MOUSELEAVE);
    // A release outside leaves the tracking on until the leave comes.
    if (s.action == 2) tool->SendMessage(WM_MOUSELEAVE);
    int column = -1, row = -1;
    tool->GetSkinCell(column, row);
    EXPECT_EQ(s.column, column);
    EXPECT_EQ(s.row * 22, row);
    EXPECT_EQ(SkinColour(s.column, s.row), Edge());
  }
  tool->EnableWindow(FALSE);
  EXPECT_EQ(SkinColour(3, 1), Edge());
  EXPECT_TRUE(parent.commands.empty());
}

TEST_F(ToolButtonTest, DropDownClickSendsCode15AndMainClickBnClicked) {
  Make(BS_AUTOCHECKBOX);
  tool->EnableDropDown(1);
  Move(55, 5);
  Down(55, 5);
  Up(55, 5);
  ASSERT_EQ(1u, parent.commands.size());
  EXPECT_EQ(UINT(GBN_DROPDOWN), parent.commands[0].code);
  EXPECT_EQ(201u, parent.commands[0].id);
  EXPECT_EQ(tool->GetSafeHwnd(), parent.commands[0].from);

  Down(5, 5);
  Up(55, 5);  // pressed on the main part, released on the drop-down: nothing
  Down(55, 5);
  Up(5, 5);   // and the other way round: nothing
  EXPECT_EQ(1u, parent.commands.size());

  Down(5, 5);
  Up(5, 5);
  ASSERT_EQ(2u, parent.commands.size());
  EXPECT_EQ(UINT(BN_CLICKED), parent.commands[1].code);
  EXPECT_EQ(0, tool->GetCheck()) << "a click never changes the check state";

  tool->SendMessage(BM_CLICK);
  PumpPending();
  EXPECT_EQ(2, parent.CountCommands(BN_CLICKED));
}

TEST_F(ToolButtonTest, WithoutDropDownTheRightEdgeIsTheMainPart) {
  Make();
  Down(55, 5);
  Up(55, 5);
  ASSERT_EQ(1u, parent.commands.size());
  EXPECT_EQ(UINT(BN_CLICKED), parent.commands[0].code);
}

TEST_F(ToolButtonTest, FittedSizeIsElevenPixelsWiderWithTheDropDown) {
  Make();
  Veltra::COImage icon = MakeCellGrid(1, 1, 16, 16);
  tool->SetIcon(&icon, 0);
  tool->SetText(L"Speak", nullptr, 0);
  const CRect plain = tool->CalcFixSize(0, 0);
  tool->EnableDropDown(1);
  const CRect dropped = tool->CalcFixSize(0, 0);
  EXPECT_EQ(plain.Width() + 11, dropped.Width());
  EXPECT_EQ(plain.Height(), dropped.Height());
  EXPECT_GE(plain.Width(), 16 + 4 + 8);
  EXPECT_EQ(16 + 6, plain.Height() > 22 ? 22 : plain.Height());  // icon 16 + padding 3 + 3
}

TEST_F(ToolButtonTest, DisabledIconIsGreyAt70PercentAndTextInTheDisabledColour) {
  Make();
  Veltra::COImage icon = MakeCellGrid(1, 1, 16, 16);
  tool->SetIcon(&icon, 0);
  Canvas normal(60, 30);
  tool->DrawItem(normal.dc());
  EXPECT_EQ(CellColour(0, 0), normal.At(30, 15));

  tool->EnableWindow(FALSE);
  Veltra::COImage expected;
  expected.CreateFilled(16, 16, 72.0, kParentPixel, 0);
  Veltra::COImage cell = MakeCellGrid(1, 1, 16, 16);
  cell.SetOpacity(70);
  expected.DrawImage(0, 0, cell, 0, 0, 16, 16, 0, 1);
  // The disabled skin cell lies under the icon: compare with it as backdrop.
  Veltra::COImage backdrop;
  backdrop.CreateFilled(16, 16, 72.0, SkinPixel(3, 0), 0);
  backdrop.DrawImage(0, 0, cell, 0, 0, 16, 16, 0, 1);
  const uint32_t p = backdrop.At(4, 4);
  Canvas disabled(60, 30);
  tool->DrawItem(disabled.dc());
  EXPECT_EQ(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF), disabled.At(30, 15));

  tool->SetIcon(nullptr, 0);
  tool->SetText(L"MMMM", nullptr, 0);
  tool->SetTextColor(RGB(255, 0, 0), RGB(0, 0, 255), 0);
  Canvas text(60, 30);
  tool->DrawItem(text.dc());
  EXPECT_GT(text.Count(CRect(0, 0, 60, 30), RGB(0, 0, 255)), 0);
  EXPECT_EQ(0, text.Count(CRect(0, 0, 60, 30), RGB(255, 0, 0)));
}

TEST_F(ToolButtonTest, MissingSkinFileLeavesTheButtonFlatButWorking) {
  Kestrel_UnInitialize();
  CGToolButton::ms_imgBackList.Release();
  const std::wstring empty = TempFolder(L"kestrel-noskin");
  ASSERT_EQ(1, Kestrel_Initialize(empty.c_str()));
  Make();
  EXPECT_TRUE(CGToolButton::ms_imgBackList.IsEmpty());
  Move(5, 5);
  Down(5, 5);
  EXPECT_EQ(kParentColour, Edge());
  Up(5, 5);
  EXPECT_EQ(1, parent.CountCommands(BN_CLICKED));
  ::RemoveDirectoryW(empty.c_str());
}

}  // namespace
