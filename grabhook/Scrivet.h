// scrivet.dll: global mouse and keyboard hooks that capture the line of text
// drawn under the cursor in any program and hand it to a notify window.
//
// The program loads the library by name and looks the three exports up with
// GetProcAddress; each returns 1 on success and 0 on failure (the shared
// record's lock could not be taken, or the hooks could not be installed).
// What the library sends, always to the notify window:
//   - the move message (posted): wParam = window under the mouse,
//     lParam = MAKELPARAM(screen x, screen y);
//   - WM_COPYDATA (sent, SMTO_ABORTIFHUNG, time-out = the delay) with
//     dwData = the copy-data id and a GrabTextResult; wParam = the window
//     whose text was captured. The record is valid only during the send.
#pragma once

#include <windows.h>

#include <cstdint>

// Grab modes: what makes the hooks capture the text under the cursor.
enum GrabMode : int {
  kGrabOff = 0,
  kGrabMouseRest = 1,     // the mouse rests for the delay after a move
  kGrabMiddleButton = 2,  // the middle button goes down
  kGrabShiftMove = 256,   // the mouse moves while Shift is held
  kGrabCtrlMove = 512,    // the mouse moves while Ctrl is held
};

// The record that every process with the library loaded shares (a named
// file mapping); handles are stored as 32-bit values.
struct GrabSharedData {
  uint32_t mouseHook;     // WH_MOUSE hook; 0 = hooks off
  uint32_t keyboardHook;  // WH_KEYBOARD hook
  uint32_t ownerWnd;      // the program's main window
  uint32_t notifyWnd;     // receives the move message and the grab record
  uint32_t copyDataId;    // dwData of the WM_COPYDATA
  uint32_t moveMsg;       // number of the posted move message
  int32_t grabMode;       // GrabMode
  int32_t delayMs;        // trigger to capture; also the send time-out
  int32_t clipboardMode;  // non-zero: move messages flow with grab mode 0
  uint32_t grabbedWnd;    // innermost window under the cursor at the last trigger
  int32_t lastX;          // cursor at the last trigger, screen coordinates
  int32_t lastY;
  int32_t modifier;       // VK_SHIFT, VK_CONTROL or 0
};
static_assert(sizeof(GrabSharedData) == 52, "the shared record is 52 bytes");

constexpr int kGrabTextCapacity = 256;  // at most 255 characters and a 0

// Payload of the WM_COPYDATA that carries a captured line.
struct GrabTextResult {
  uint32_t hwnd;    // the window whose text was captured
  int32_t x;        // cursor at the trigger, screen coordinates
  int32_t y;
  int32_t length;   // characters in text, 1 to 255 when sent
  int32_t index;    // character under the cursor; -1 = none (never sent)
  wchar_t text[kGrabTextCapacity];
};
static_assert(sizeof(GrabTextResult) == 532, "the grab record is 532 bytes");

extern "C" {
int WINAPI gtActiveMouseHook(BOOL enable, HWND ownerWnd, HWND notifyWnd, UINT copyDataId, UINT moveMsg);
int WINAPI gtSetGrabMode(int mode, int delayMs);
int WINAPI gtSetClipboardMode(int mode);
}

typedef int(WINAPI* GtActiveMouseHookFn)(BOOL, HWND, HWND, UINT, UINT);
typedef int(WINAPI* GtSetGrabModeFn)(int, int);
typedef int(WINAPI* GtSetClipboardModeFn)(int);
