// The static text's settings: the text format from its style, ellipsis,
// background colour and mode, clamps, and its fitted size.
#include "guictl/GStatic.h"
#include "guictl/tests/ControlTestKit.h"

namespace {

using namespace kestrel_test;

class StaticTest : public ControlTest {};

TEST_F(StaticTest, TextFormatFollowsTheStyleItWasCreatedWith) {
  struct Case {
    DWORD style;
    UINT format;
  } cases[] = {
      {SS_LEFT, DT_WORDBREAK | DT_EXPANDTABS},
      {SS_CENTER | SS_CENTERIMAGE, DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER | DT_VCENTER},
      {SS_RIGHT | SS_NOPREFIX, DT_WORDBREAK | DT_EXPANDTABS | DT_RIGHT | DT_NOPREFIX},
      {SS_SIMPLE, DT_EXPANDTABS},
      {SS_LEFTNOWORDWRAP, DT_EXPANDTABS},
      {SS_ETCHEDHORZ, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.style);
    CGStatic label;
    ASSERT_TRUE(label.Create(L"Text", WS_VISIBLE | c.style, CRect(0, 0, 80, 20), &parent, 5));
    EXPECT_EQ(c.format, label.GetTextFormat(false));
    EXPECT_EQ(0u, label.GetStyle() & SS_NOPREFIX);
    label.SetTextEllipsis(DT_END_ELLIPSIS, 0);
    EXPECT_EQ(c.format | DT_END_ELLIPSIS, label.GetTextFormat(true));
    label.DestroyWindow();
  }
}

TEST_F(StaticTest, SettersStoreClampAndReturnTheOldValues) {
  CGStatic label;
  ASSERT_TRUE(label.Create(L"Text", WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 5));
  label.SetTextEllipsis(5, 1);
  EXPECT_EQ(0, label.GetTextEllipsis());
  label.SetTextEllipsis(DT_PATH_ELLIPSIS, 1);
  EXPECT_EQ(DT_PATH_ELLIPSIS, label.GetTextEllipsis());
  label.SetArrange(9, 0);
  EXPECT_EQ(4, label.GetArrange());
  EXPECT_EQ(1, label.SetBkMode(2));
  EXPECT_EQ(2, label.SetBkMode(1));
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), label.SetBkColor(RGB(1, 2, 3)));
  EXPECT_EQ(RGB(1, 2, 3), label.SetBkColor(RGB(4, 5, 6)));
  label.SetTextColor(RGB(9, 8, 7), 0xFFFFFFFF, 0);
  EXPECT_EQ(RGB(9, 8, 7), label.GetTextColor());
  label.SetTextColor(0xFFFFFFFF, 0xFFFFFFFF, 0);
  EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), label.GetTextColor());
  label.SetText(L"Other", 0);
  EXPECT_STREQ(L"Other", label.GetText());
  label.SetText(nullptr, 0);
  EXPECT_STREQ(L"", label.GetText());
  Veltra::COImage empty;
  label.SetIcon(&empty);
  EXPECT_TRUE(label.GetIcon()->IsEmpty());
}

TEST_F(StaticTest, SetBkColorDoesNotRepaint) {
  CGStatic label;
  ASSERT_TRUE(label.Create(L"Text", WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 5));
  label.UpdateWindow();
  label.ValidateRect(nullptr);
  label.SetBkColor(RGB(1, 2, 3));
  label.SetBkMode(2);
  EXPECT_FALSE(::GetUpdateRect(label, nullptr, FALSE));
  label.SetGroupLine(2, 0, 0);
  EXPECT_TRUE(::GetUpdateRect(label, nullptr, FALSE));
}

TEST_F(StaticTest, FittedSizeHoldsIconAndText) {
  CGStatic label;
  ASSERT_TRUE(label.Create(L"Word", WS_VISIBLE | SS_LEFTNOWORDWRAP, CRect(5, 5, 200, 60), &parent, 5));
  Veltra::COImage icon = MakeCellGrid(1, 1, 16, 16);
  label.SetIcon(&icon);
  CRect fit = label.CalcFixSize(0, 1);
  CRect inParent;
  label.GetWindowRect(&inParent);
  parent.ScreenToClient(&inParent);
  EXPECT_EQ(fit, inParent);
  EXPECT_EQ(CPoint(5, 5), fit.TopLeft());
  EXPECT_GT(fit.Width(), 16 + 4);
  EXPECT_GE(fit.Height(), 16);
}

}  // namespace
