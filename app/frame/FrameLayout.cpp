#include "app/frame/FrameLayout.h"

namespace {

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

}  // namespace

RECT ViewBarRect(int cx, int cy, int captionHeight, int indexWidth, bool indexVisible) {
  int left = indexVisible ? 5 + indexWidth + 5 : 5;
  return Rect(left, captionHeight + 39, cx - 5, cy - 26);
}

void ComputeFrameLayout(FrameLayout& out, int cx, int cy, int captionHeight, int indexWidth,
                        bool indexVisible, int footerWidth) {
  auto button = [](int x) { return Rect(x, 4, x + kCaptionButtonWidth, 4 + kCaptionButtonHeight); };
  out.close = button(cx - 22);
  out.maximize = button(cx - 39);
  out.minimize = button(cx - 56);
  out.pin = button(cx - 82);
  out.searchBar = Rect(1, captionHeight, cx - 1, captionHeight + 36);
  int top = captionHeight + 39, bottom = cy - 26;
  out.indexPane = Rect(5, top, 5 + indexWidth, bottom);
  out.splitter = Rect(5 + indexWidth, top, 5 + indexWidth + 5, bottom);
  out.viewBar = ViewBarRect(cx, cy, captionHeight, indexWidth, indexVisible);
  RECT strip = Rect(5, cy - 23, cx - 25, cy - 4);
  int width = strip.right - strip.left;
  if (footerWidth < width) width = footerWidth;
  out.footer = Rect(strip.left, strip.top, strip.left + width, strip.bottom);
}

LRESULT FrameHitTest(const RECT& w, POINT pt, int captionHeight, SIZE grip) {
  int x = pt.x, y = pt.y;
  if (Inside(Rect(w.left + 5, w.top + 5, w.left + 24, w.top + 21), pt)) return HTSYSMENU;
  if (y < w.top + 4) return x < w.left + 15 ? HTTOPLEFT : x > w.right - 15 ? HTTOPRIGHT : HTTOP;
  if (y > w.bottom - 4) return x < w.left + 15 ? HTBOTTOMLEFT : x > w.right - 15 ? HTBOTTOMRIGHT : HTBOTTOM;
  if (x < w.left + 4) return y < w.top + 15 ? HTTOPLEFT : y > w.bottom - 15 ? HTBOTTOMLEFT : HTLEFT;
  if (x > w.right - 4) return y < w.top + 15 ? HTTOPRIGHT : y > w.bottom - 15 ? HTBOTTOMRIGHT : HTRIGHT;
  if (x > w.right - grip.cx - 4 && y > w.bottom - grip.cy - 4) return HTBOTTOMRIGHT;
  if (Inside(Rect(w.left + 4, w.top + 4, w.right - 4, w.top + 4 + captionHeight), pt)) return HTCAPTION;
  return HTNOWHERE;
}

void FrameRegionOutline(POINT (&p)[kFrameRegionPoints], int cx, int cy) {
  const POINT outline[kFrameRegionPoints] = {
      {5, 0},      {cx - 5, 0}, {cx - 3, 1}, {cx - 2, 2}, {cx - 1, 3}, {cx - 1, 4}, {cx, 5}, {cx, cy},
      {0, cy},     {0, 5},      {1, 4},      {1, 3},      {2, 2},      {3, 1},      {5, 0}};
  for (int i = 0; i < kFrameRegionPoints; ++i) p[i] = outline[i];
}

void DecodeHotkey(unsigned value, UINT& modifiers, UINT& virtualKey) {
  virtualKey = value & 0xFFFF;
  modifiers = 0;
  if (value & 0x10000) modifiers |= MOD_SHIFT;
  if (value & 0x20000) modifiers |= MOD_CONTROL;
  if (value & 0x40000) modifiers |= MOD_ALT;
  if (value & 0x80000) modifiers |= MOD_WIN;
}
