#include <gtest/gtest.h>

#include "app/frame/FrameLayout.h"

namespace {

void ExpectRect(const RECT& r, int left, int top, int right, int bottom, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right, right) << what;
  EXPECT_EQ(r.bottom, bottom) << what;
}

TEST(FrameLayout, ChildrenForAClientSize) {
  FrameLayout l;
  ComputeFrameLayout(l, 600, 400, 30, 180, true, 120);
  ExpectRect(l.close, 578, 4, 595, 23, "close");
  ExpectRect(l.maximize, 561, 4, 578, 23, "maximize");
  ExpectRect(l.minimize, 544, 4, 561, 23, "minimize");
  ExpectRect(l.pin, 518, 4, 535, 23, "pin");
  ExpectRect(l.searchBar, 1, 30, 599, 66, "search bar");
  ExpectRect(l.indexPane, 5, 69, 185, 374, "index pane");
  ExpectRect(l.splitter, 185, 69, 190, 374, "splitter");
  ExpectRect(l.viewBar, 190, 69, 595, 374, "view bar");
  ExpectRect(l.footer, 5, 377, 125, 396, "footer");

  // Index pane hidden: the view bar starts at 5; a wide footer link is cut to the strip.
  ComputeFrameLayout(l, 600, 400, 30, 180, false, 1000);
  ExpectRect(l.viewBar, 5, 69, 595, 374, "view bar alone");
  ExpectRect(l.footer, 5, 377, 575, 396, "footer cut");
}

TEST(FrameLayout, HitTest) {
  const RECT w = {100, 100, 700, 500};
  const SIZE grip = {12, 12};
  struct Case {
    int x, y;
    LRESULT hit;
  } cases[] = {
      {110, 110, HTSYSMENU},  {102, 110, HTTOPLEFT},    {102, 120, HTLEFT},     {102, 490, HTBOTTOMLEFT},
      {105, 101, HTTOPLEFT},  {400, 101, HTTOP},        {690, 101, HTTOPRIGHT}, {400, 499, HTBOTTOM},
      {698, 300, HTRIGHT},    {698, 110, HTTOPRIGHT},   {690, 490, HTBOTTOMRIGHT},
      {400, 120, HTCAPTION},  {400, 133, HTCAPTION},    {400, 134, HTNOWHERE},  {400, 300, HTNOWHERE},
  };
  for (const Case& c : cases) EXPECT_EQ(FrameHitTest(w, POINT{c.x, c.y}, 30, grip), c.hit) << c.x << "," << c.y;
}

TEST(FrameLayout, RegionOutlineCutsTheTopCorners) {
  POINT p[kFrameRegionPoints];
  FrameRegionOutline(p, 480, 360);
  EXPECT_EQ(p[0].x, 5);
  EXPECT_EQ(p[0].y, 0);
  EXPECT_EQ(p[6].x, 480);
  EXPECT_EQ(p[6].y, 5);
  EXPECT_EQ(p[7].x, 480);
  EXPECT_EQ(p[7].y, 360);
  EXPECT_EQ(p[8].x, 0);
  EXPECT_EQ(p[14].x, p[0].x);
  EXPECT_EQ(p[14].y, p[0].y);
}

TEST(FrameLayout, HotkeyValues) {
  struct Case {
    unsigned value;
    UINT modifiers, key;
  } cases[] = {
      {0x60041, MOD_CONTROL | MOD_ALT, 0x41},
      {0x30041, MOD_CONTROL | MOD_SHIFT, 0x41},
      {0x80070, MOD_WIN, 0x70},
      {0x20000, MOD_CONTROL, 0},
  };
  for (const Case& c : cases) {
    UINT modifiers = 99, key = 99;
    DecodeHotkey(c.value, modifiers, key);
    EXPECT_EQ(modifiers, c.modifiers) << std::hex << c.value;
    EXPECT_EQ(key, c.key) << std::hex << c.value;
  }
}

}  // namespace
