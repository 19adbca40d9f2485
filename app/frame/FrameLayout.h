// Geometry of the self-drawn main window: where its children go for a client
// size, which part of the frame a point hits, and the outline of its region.
#pragma once

#include <windows.h>

struct FrameLayout {
  RECT close, maximize, minimize, pin;  // caption buttons
  RECT searchBar;
  RECT indexPane, splitter;
  RECT viewBar;
  RECT footer;
};

constexpr int kCaptionButtonWidth = 17;
constexpr int kCaptionButtonHeight = 19;
constexpr int kFrameMinWidth = 480;
constexpr int kFrameMinHeight = 360;
constexpr int kFrameRegionPoints = 15;

// The children's rectangles for client size (cx, cy), caption height H, the
// index pane's current width and visibility, and the footer link's own width.
void ComputeFrameLayout(FrameLayout& out, int cx, int cy, int captionHeight, int indexWidth,
                        bool indexVisible, int footerWidth);

// The view bar's rectangle alone (what the index-pane toggle moves).
RECT ViewBarRect(int cx, int cy, int captionHeight, int indexWidth, bool indexVisible);

// The hit-test answer for a screen point over window rectangle w, or
// HTNOWHERE when the default answer applies. grip is the size grip's size.
LRESULT FrameHitTest(const RECT& w, POINT pt, int captionHeight, SIZE grip);

// The window region's outline: cut top corners, square bottom corners.
void FrameRegionOutline(POINT (&points)[kFrameRegionPoints], int cx, int cy);

// A hot-key setting: virtual key in the low 16 bits, then 0x10000 Shift,
// 0x20000 Ctrl, 0x40000 Alt, 0x80000 Win.
void DecodeHotkey(unsigned value, UINT& modifiers, UINT& virtualKey);
