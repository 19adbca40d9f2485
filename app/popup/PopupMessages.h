// Messages between the popup, the view bar, their pages and the main window.
#pragma once

#ifndef WM_GRAB_MOUSEMOVE
#define WM_GRAB_MOUSEMOVE 2026  // from scrivet: wParam window, lParam x | y << 16
#endif
#ifndef WM_GRAB_TEXT
#define WM_GRAB_TEXT 2027  // dwData of the grab record; posted to look it up
#endif
#ifndef WM_LOOKUP_WORD
#define WM_LOOKUP_WORD 2028  // wParam the word, lParam the lookup flags
#endif
#ifndef WM_APP_LINK
#define WM_APP_LINK 2030  // wParam the command word, lParam the argument
#endif
#ifndef WM_PAGE_ACTION
#define WM_PAGE_ACTION 2031  // wParam the action, lParam its argument
#endif
#ifndef WM_INDEX_GROUP_CHANGED
#define WM_INDEX_GROUP_CHANGED 2032
#endif
#ifndef WM_PAGE_READY
#define WM_PAGE_READY 3024
#endif

// Main window commands and page actions that the popup and the view bar use.
enum : unsigned {
  kCmdShowMainWindow = 32773,
  kCmdOptions = 32776,
  kActionSection = 156,
  kActionDictMenu = 150,
  kActionTextTranslation = 162,
  kActionWebSearch = 32783,
  kLookupIntoSearchBox = 0x10,
  kLookupFromPopup = 0x323F1,
};
