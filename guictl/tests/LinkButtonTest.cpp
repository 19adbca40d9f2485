// The link button: owner-drawn from its creation, colours by state, the
// underline while hot or pressed, the double click as two clicks.
#include "guictl/GLinkButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <memory>

namespace {

using namespace kestrel_test;

const COLORREF kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

class LinkButtonTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    link.reset(new CGLinkButton);
    ASSERT_TRUE(link->Create(L"MMMMMM", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 110, 34), &parent, 301));
  }
  // Paints the link as the owner-draw pass would, with the given state.
  void Paint(Canvas& canvas, UINT itemState) {
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = 301;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = itemState;
    dis.hwndItem = link->GetSafeHwnd();
    dis.hDC = canvas.dc()->GetSafeHdc();
    dis.rcItem = RECT{0, 0, 100, 24};
    link->DrawItem(&dis);
  }
  // The longest horizontal run of one colour: an underline is much longer
  // than any stroke of the glyphs.
  static int LongestRun(Canvas& canvas, COLORREF colour) {
    int best = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
      int run = 0;
      for (int x = 0; x < canvas.Width(); ++x) {
        run = canvas.At(x, y) == colour ? run + 1 : 0;
        if (run > best) best = run;
      }
    }
    return best;
  }
  std::unique_ptr<CGLinkButton> link;
};

TEST_F(LinkButtonTest, BecomesOwnerDrawnWithTheParentsFont) {
  EXPECT_EQ(UINT(BS_OWNERDRAW), link->GetButtonStyle() & 0xF);
  EXPECT_EQ(LRESULT(parent.font), link->SendMessage(WM_GETFONT));
  wchar_t name[32];
  ::GetClassNameW(link->GetSafeHwnd(), name, 32);
  EXPECT_STREQ(L"Button", name);
}

TEST_F(LinkButtonTest, ColourOfEachStateAndTheDefaultsRestored) {
  const COLORREF normal = ::GetSysColor(COLOR_BTNTEXT), grey = ::GetSysColor(COLOR_GRAYTEXT);
  EXPECT_EQ(normal, link->TextColorOfState(0));
  EXPECT_EQ(normal, link->TextColorOfState(ODS_FOCUS));
  EXPECT_EQ(kRed, link->TextColorOfState(ODS_SELECTED | ODS_FOCUS));
  EXPECT_EQ(grey, link->TextColorOfState(ODS_DISABLED | ODS_SELECTED));
  link->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(link->IsTracking());
  EXPECT_EQ(kBlue, link->TextColorOfState(ODS_FOCUS));
  EXPECT_EQ(kRed, link->TextColorOfState(ODS_SELECTED));

  link->SetTextColor(RGB(1, 1, 1), RGB(2, 2, 2), RGB(3, 3, 3), RGB(4, 4, 4), 0);
  EXPECT_EQ(RGB(2, 2, 2), link->TextColorOfState(0));
  link->SetTextColor(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1);
  EXPECT_EQ(kBlue, link->TextColorOfState(0)) << "hover stays blue, not a system colour";
  EXPECT_EQ(kRed, link->TextColorOfState(ODS_SELECTED));
  link->SendMessage(WM_MOUSELEAVE);
  EXPECT_FALSE(link->IsTracking());
  EXPECT_EQ(normal, link->TextColorOfState(0));
}

TEST_F(LinkButtonTest, UnderlinedWhileHotOrPressedOnly) {
  Canvas rest(100, 24);
  Paint(rest, ODS_FOCUS);
  const COLORREF normal = ::GetSysColor(COLOR_BTNTEXT);
  EXPECT_GT(rest.Count(CRect(0, 0, 100, 24), normal), 0);
  const int glyphRun = LongestRun(rest, normal);
  EXPECT_LT(glyphRun, 20);
  EXPECT_EQ(kParentColour, rest.At(0, 0)) << "no focus rectangle, the parent's background";
  EXPECT_EQ(kParentColour, rest.At(99, 23));

  Canvas pressed(100, 24);
  Paint(pressed, ODS_SELECTED);
  EXPECT_GT(LongestRun(pressed, kRed), 30);

  link->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Canvas hot(100, 24);
  Paint(hot, 0);
  EXPECT_GT(LongestRun(hot, kBlue), 30);

  Canvas disabled(100, 24);
  Paint(disabled, ODS_DISABLED);
  EXPECT_LT(LongestRun(disabled, ::GetSysColor(COLOR_GRAYTEXT)), 20);
  EXPECT_EQ(0, disabled.Count(CRect(0, 0, 100, 24), kBlue));
}

TEST_F(LinkButtonTest, DoubleClickIsTwoClicks) {
  const LPARAM at = MAKELPARAM(5, 5);
  link->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  link->SendMessage(WM_LBUTTONUP, 0, at);
  link->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  link->SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_EQ(2, parent.CountCommands(BN_CLICKED));
  EXPECT_EQ(0, parent.CountCommands(BN_DOUBLECLICKED));
}

TEST_F(LinkButtonTest, LinkCursorAndTooltip) {
  EXPECT_EQ(TRUE, link->SendMessage(WM_SETCURSOR, WPARAM(link->GetSafeHwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(Kestrel_GetManager()->m_hLinkCursor, ::GetCursor());
  link->SetText(L"Home", L"Opens the home page", 1);
  CString text;
  link->GetWindowText(text);
  EXPECT_STREQ(L"Home", text);
}

// A link without a tip (the main window's footer) makes no tip window, not
// even when the mouse comes; given a tip, it is made at the next mouse message.
TEST_F(LinkButtonTest, TipWindowOnlyForATipText) {
  auto tips = [&] {
    int count = 0;
    for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
         tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
      HWND owner = ::GetWindow(tip, GW_OWNER);
      if (owner == parent.GetSafeHwnd() || owner == link->GetSafeHwnd()) ++count;
    }
    return count;
  };
  MSG move = {link->GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, {5, 5}};
  link->SetText(L"Home", nullptr, 0);
  link->PreTranslateMessage(&move);
  EXPECT_EQ(0, tips());
  link->SetText(L"Home", L"Opens the home page", 0);
  EXPECT_EQ(0, tips());
  link->PreTranslateMessage(&move);
  EXPECT_EQ(1, tips());
}

TEST_F(LinkButtonTest, FittedSizeHoldsTheText) {
  Veltra::COImage icon = MakeCellGrid(1, 1, 12, 12);
  link->SetIcon(&icon, 0);
  CRect fit = link->CalcFixSize(0, 0);
  CRect window;
  link->GetWindowRect(&window);
  EXPECT_EQ(window.TopLeft(), fit.TopLeft());
  EXPECT_GT(fit.Width(), 12 + 4);
  EXPECT_GE(fit.Height(), 12);
}

}  // namespace
