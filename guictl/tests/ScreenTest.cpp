// The controls on the screen: what a window really shows, read back from
// its device context, with the real mouse where hover matters, and one
// window with each control saved as an image. These need the desktop and
// the mouse to themselves.
#include "guictl/GImageButton.h"
#include "guictl/GLinkButton.h"
#include "guictl/GSplitterBar.h"
#include "guictl/GStatic.h"
#include "guictl/GToolButton.h"
#include "guictl/tests/ControlTestKit.h"

#include <cstdio>
#include <memory>

namespace {

using namespace kestrel_test;

// The client area of wnd as it shows now.
std::unique_ptr<Canvas> Grab(CWnd& wnd) {
  wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
  PumpFor(30);
  CRect rc;
  wnd.GetClientRect(&rc);
  auto canvas = std::make_unique<Canvas>(rc.Width(), rc.Height());
  CClientDC dc(&wnd);
  canvas->dc()->BitBlt(0, 0, rc.Width(), rc.Height(), &dc, 0, 0, SRCCOPY);
  return canvas;
}

int LongestRun(Canvas& c, COLORREF colour) {
  int best = 0;
  for (int y = 0; y < c.Height(); ++y) {
    int run = 0;
    for (int x = 0; x < c.Width(); ++x) {
      run = c.At(x, y) == colour ? run + 1 : 0;
      best = run > best ? run : best;
    }
  }
  return best;
}

// The box around every pixel that is not the background colour.
CRect InkBox(Canvas& c, COLORREF background) {
  CRect box(c.Width(), c.Height(), -1, -1);
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.At(x, y) != background) {
        box.left = x < box.left ? x : box.left;
        box.top = y < box.top ? y : box.top;
        box.right = x + 1 > box.right ? x + 1 : box.right;
        box.bottom = y + 1 > box.bottom ? y + 1 : box.bottom;
      }
  return box;
}

// Pumps until done() holds, at most about a second (the system looks for
// the mouse leaving a window on a timer).
template <typename F>
bool WaitFor(F done) {
  for (int i = 0; i < 100 && !done(); ++i) PumpFor(10);
  return done();
}

class ScreenTest : public ControlTest {};

TEST_F(ScreenTest, LinkIsUnderlinedWhileTheMouseIsOverIt) {
  CGLinkButton link;
  ASSERT_TRUE(link.Create(L"MMMMMM", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 110, 34), &parent, 301));
  ::SetCursorPos(5, 5);
  ASSERT_TRUE(WaitFor([&] { return !link.IsTracking(); }));
  auto rest = Grab(link);
  EXPECT_LT(LongestRun(*rest, RGB(0, 0, 255)), 20);

  CRect rc;
  link.GetWindowRect(&rc);
  ::SetCursorPos(rc.left + 20, rc.top + 10);
  EXPECT_TRUE(WaitFor([&] { return link.IsTracking() != 0; }));
  auto hot = Grab(link);
  EXPECT_GT(LongestRun(*hot, RGB(0, 0, 255)), 30) << "blue underline under the mouse";

  ::SetCursorPos(5, 5);
  EXPECT_TRUE(WaitFor([&] { return !link.IsTracking(); })) << "the leave notification came";
  auto left = Grab(link);
  EXPECT_EQ(0, left->Count(CRect(0, 0, 100, 24), RGB(0, 0, 255)));
}

TEST_F(ScreenTest, ImageButtonShowsTheHoverCellUnderTheRealMouse) {
  CGImageButton button;
  ASSERT_TRUE(button.Create(L"", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 50, 40), &parent, 101));
  Veltra::COImage list = MakeCellGrid(4, 1, 16, 12);
  button.SetImageList(list, 16, 12, 0);
  ::SetCursorPos(5, 5);
  ASSERT_TRUE(WaitFor([&] { return button.GetVisualState() == 0; }));
  EXPECT_EQ(CellColour(0, 0), Grab(button)->At(20, 15));
  CRect rc;
  button.GetWindowRect(&rc);
  ::SetCursorPos(rc.left + 5, rc.top + 5);
  EXPECT_TRUE(WaitFor([&] { return button.GetVisualState() == 2; }));
  EXPECT_EQ(CellColour(2, 0), Grab(button)->At(20, 15));
  ::SetCursorPos(5, 5);
  EXPECT_TRUE(WaitFor([&] { return button.GetVisualState() == 0; }));
  EXPECT_EQ(CellColour(0, 0), Grab(button)->At(20, 15));
}

TEST_F(ScreenTest, LabelCentredBothWaysOnTheParentsBackground) {
  CGStatic label;
  ASSERT_TRUE(label.Create(L"A&B", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, CRect(10, 10, 210, 60),
                           &parent, 5));
  label.SendMessage(WM_SETFONT, WPARAM(parent.font), 0);
  auto shot = Grab(label);
  EXPECT_EQ(kParentColour, shot->At(0, 0));
  CRect ink = InkBox(*shot, kParentColour);
  ASSERT_FALSE(ink.IsRectEmpty());
  EXPECT_NEAR(100, (ink.left + ink.right) / 2, 3);
  EXPECT_NEAR(25, (ink.top + ink.bottom) / 2, 4);
  // "&" drawn as itself: the ink is as wide as the three characters.
  CClientDC dc(&label);
  HGDIOBJ old = ::SelectObject(dc, parent.font);
  const int threeWide = dc.GetTextExtent(L"A&B", 3).cx, twoWide = dc.GetTextExtent(L"AB", 2).cx;
  ::SelectObject(dc, old);
  EXPECT_GT(ink.Width(), twoWide + 1);
  EXPECT_LE(ink.Width(), threeWide + 1);
}

TEST_F(ScreenTest, DisabledLabelWithShadowIsGreyOverWhiteWithAGreyIcon) {
  CGStatic label;
  ASSERT_TRUE(label.Create(L"MMMM", WS_VISIBLE | SS_LEFT, CRect(10, 10, 210, 60), &parent, 5));
  label.SetTextShadow(1, RGB(255, 0, 0));
  Veltra::COImage icon = MakeCellGrid(1, 1, 12, 12);
  label.SetIcon(&icon);
  auto enabled = Grab(label);
  EXPECT_GT(enabled->Count(CRect(0, 0, 200, 50), RGB(255, 0, 0)), 0) << "the shadow colour";
  EXPECT_EQ(CellColour(0, 0), enabled->At(5, 5));

  label.EnableWindow(FALSE);
  auto disabled = Grab(label);
  EXPECT_EQ(0, disabled->Count(CRect(0, 0, 200, 50), RGB(255, 0, 0)));
  EXPECT_GT(disabled->Count(CRect(0, 0, 200, 50), RGB(255, 255, 255)), 0) << "white shadow";
  EXPECT_GT(disabled->Count(CRect(0, 0, 200, 50), ::GetSysColor(COLOR_GRAYTEXT)), 0) << "grey text";
  const COLORREF iconPixel = disabled->At(5, 5);
  EXPECT_EQ(GetRValue(iconPixel), GetGValue(iconPixel));
  EXPECT_EQ(GetGValue(iconPixel), GetBValue(iconPixel));
}

TEST_F(ScreenTest, GroupBoxFrameHasAGapTwoPixelsWiderThanTheTitle) {
  const COLORREF dark = RGB(0x10, 0x80, 0x10);
  CGStatic box;
  ASSERT_TRUE(box.Create(L"", WS_VISIBLE, CRect(10, 10, 210, 110), &parent, 6));
  box.SendMessage(WM_SETFONT, WPARAM(parent.font), 0);
  box.SetGroupLine(2, dark, RGB(255, 255, 255));
  CClientDC dc(&box);
  HGDIOBJ old = ::SelectObject(dc, parent.font);
  const CSize title = dc.GetTextExtent(L"Group", 5);
  ::SelectObject(dc, old);
  const int top = title.cy / 2;

  auto closed = Grab(box);
  EXPECT_EQ(199, LongestRun(*closed, dark)) << "an empty title leaves the frame closed";

  box.SetText(L"Group", 1);
  auto titled = Grab(box);
  int gapStart = -1, gapEnd = -1;
  for (int x = 1; x < 199; ++x) {
    const bool frame = titled->At(x, top) == dark;
    if (!frame && gapStart < 0) gapStart = x;
    if (!frame) gapEnd = x + 1;
  }
  EXPECT_EQ(10 - 2, gapStart);
  EXPECT_EQ(10 + title.cx + 2, gapEnd);
  EXPECT_EQ(dark, titled->At(5, top));
  EXPECT_EQ(dark, titled->At(0, 60));
}

TEST_F(ScreenTest, SplitterPaintsItsColourOrNothing) {
  CWnd first, second;
  ASSERT_TRUE(first.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 300), &parent, 1));
  ASSERT_TRUE(second.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(150, 0, 400, 300), &parent, 2));
  CGSplitterBar bar;
  ASSERT_TRUE(bar.Create(&parent, 401, 1));
  bar.SetPanes(&first, 10, &second, 10, 8);
  bar.SetBkColor(RGB(200, 10, 10), 0);
  EXPECT_EQ(RGB(200, 10, 10), Grab(bar)->At(4, 100));
  bar.SetBkColor(RGB(10, 200, 10), 1);
  EXPECT_NE(RGB(10, 200, 10), Grab(bar)->At(4, 100)) << "mode 1 paints nothing at all";
}

// One window with each control, saved for a person to look at.
TEST_F(ScreenTest, RenderedWindowWithEachControlIsSavedAsAnImage) {
  parent.MoveWindow(40, 40, 420, 200);
  CGStatic group;
  ASSERT_TRUE(group.Create(L"Kestrel controls", WS_VISIBLE, CRect(8, 4, 300, 190), &parent, 1));
  group.SendMessage(WM_SETFONT, WPARAM(parent.font), 0);
  group.SetGroupLine(2, 0x99A8AC, 0xFFFFFF);

  CGImageButton image;
  ASSERT_TRUE(image.Create(L"Check", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(20, 28, 110, 56), &parent, 2));
  Veltra::COImage list = MakeCellGrid(4, 2, 16, 16);
  image.SetImageList(list, 16, 16, 0);
  image.SetCheck(1);

  CGToolButton tool;
  ASSERT_TRUE(tool.Create(L"Speak", WS_VISIBLE, CRect(120, 28, 210, 56), &parent, 3));
  Veltra::COImage icon = MakeCellGrid(1, 1, 16, 16);
  tool.SetIcon(&icon, 0);
  tool.EnableDropDown(1);

  CGLinkButton link;
  ASSERT_TRUE(link.Create(L"Home page", WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 70, 140, 92), &parent, 4));

  CGStatic label;
  ASSERT_TRUE(label.Create(L"A label with a shadow", WS_VISIBLE | SS_LEFT, CRect(20, 104, 280, 124), &parent, 5));
  label.SendMessage(WM_SETFONT, WPARAM(parent.font), 0);
  label.SetTextShadow(1, 0xFFFFFF);
  CGStatic line;
  ASSERT_TRUE(line.Create(L"Line", WS_VISIBLE | SS_CENTER, CRect(20, 136, 280, 156), &parent, 6));
  line.SendMessage(WM_SETFONT, WPARAM(parent.font), 0);
  line.SetGroupLine(1, 0x99A8AC, 0xFFFFFF);

  CWnd left, right;
  ASSERT_TRUE(left.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(310, 10, 360, 190), &parent, 7));
  ASSERT_TRUE(right.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(360, 10, 410, 190), &parent, 8));
  CGSplitterBar bar;
  ASSERT_TRUE(bar.Create(&parent, 9, 1));
  bar.SetPanes(&left, 10, &right, 10, 6);
  bar.SetBkColor(RGB(90, 90, 90), 0);

  auto shot = Grab(parent);
  Veltra::COImage picture;
  ASSERT_EQ(1, picture.Create(shot->Width(), shot->Height(), 96.0, 1));
  {
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, picture.GetBitmap());
    mem.BitBlt(0, 0, shot->Width(), shot->Height(), shot->dc(), 0, 0, SRCCOPY);
    ::SelectObject(mem, old);
  }
  ::GdiFlush();
  picture.FillChannel(0, 255);

  // Beside the built program folder, never in it.
  wchar_t exe[MAX_PATH];
  std::wstring folder(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
  folder = folder.substr(0, folder.rfind(L'\\')) + L"\\..\\test-output";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring path = folder + L"\\kestrel-controls.png";
  CPngImage png;
  ASSERT_EQ(1, png.WriteFile(path.c_str(), &picture, 0));
  printf("controls window image: %ls\n", path.c_str());

  // What is in it: the checked cell, the tool button's skin, the bar.
  EXPECT_GT(shot->Count(CRect(20, 28, 110, 56), CellColour(0, 1)), 16 * 16 - 1);
  EXPECT_EQ(SkinColour(0, 1), shot->At(120, 40));
  EXPECT_EQ(RGB(90, 90, 90), shot->At(359, 100));
  EXPECT_GT(shot->Count(CRect(20, 70, 140, 92), ::GetSysColor(COLOR_BTNTEXT)), 0);
}

}  // namespace
