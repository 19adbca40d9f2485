// The main window's private messages, its command ids and the flag bits of a
// lookup request. Every window of the program talks to the main window with these.
#pragma once

#include <windows.h>

#include <cstdint>

// 2034 WM_TRANSLATE_DONE and 2035 WM_UPDATE_DONE come with their senders.
#include "online/OnlineUpdate.h"
#include "online/TextTranslator.h"

#ifndef WM_GRAB_MOUSEMOVE
#define WM_GRAB_MOUSEMOVE 2026
#endif
#ifndef WM_TRAY_NOTIFY
#define WM_TRAY_NOTIFY 2025
#endif
#ifndef WM_LOOKUP_WORD
#define WM_LOOKUP_WORD 2028
#endif
#ifndef WM_LOOKUP_REFRESH
#define WM_LOOKUP_REFRESH 2029
#endif
#ifndef WM_APP_LINK
#define WM_APP_LINK 2030
#endif
#ifndef WM_PAGE_ACTION
#define WM_PAGE_ACTION 2031
#endif
#ifndef WM_INDEX_GROUP_CHANGED
#define WM_INDEX_GROUP_CHANGED 2032
#endif
#ifndef WM_UI_SETTINGS_CHANGED
#define WM_UI_SETTINGS_CHANGED 2033
#endif
#ifndef WM_AUTH_REQUEST
#define WM_AUTH_REQUEST 2036
#endif
#ifndef WM_PAGE_READY
#define WM_PAGE_READY 3024
#endif

// Commands of the tray menu, the caption buttons and the view bar.
constexpr UINT ID_APP_OPEN = 32773;
constexpr UINT ID_MENU_EXIT = 32774;
constexpr UINT ID_DICTIONARIES = 32775;
constexpr UINT ID_CONFIGURATION = 32776;
constexpr UINT ID_CURSOR_TRANSLATOR = 32777;
constexpr UINT ID_ABOUT = 32778;
constexpr UINT ID_MENU_HELP = 32779;
constexpr UINT ID_SUPPORT = 32780;
constexpr UINT ID_WEB_SEARCH = 32783;
constexpr UINT ID_CLIPBOARD_TRANSLATOR = 170;
constexpr UINT IDC_FRAME_CLOSE = 171;
constexpr UINT IDC_FRAME_MINIMIZE = 102;
constexpr UINT IDC_FRAME_MAXIMIZE = 103;
constexpr UINT IDC_FRAME_PIN = 117;
constexpr UINT IDC_FRAME_SPLITTER = 115;
constexpr UINT IDC_FRAME_FOOTER = 120;
constexpr UINT IDC_VIEW_INDEX_BUTTON = 1022;

// Flag bits of WM_LOOKUP_WORD (lParam).
enum LookupFlag : uint32_t {
  kLookupModeMask = 0xF,      // 1 query the query group, 0 no query
  kLookupQuery = 0x1,
  kLookupSetInput = 0x10,     // word into the search bar's input box
  kLookupPositionIndex = 0x20,
  kLookupFillGuide = 0x40,
  kLookupShowResult = 0x80,
  kLookupFocusMask = 0xF00,   // 0x100 search bar, 0x200 word list, 0x300 guide, 0x400 view bar
  kLookupFocusSearch = 0x100,
  kLookupFocusWordList = 0x200,
  kLookupFocusGuide = 0x300,
  kLookupFocusViewBar = 0x400,
  kLookupTabMask = 0xF000,    // 0x1000 tab 0 (Index), 0x2000 tab 1 (Guide)
  kLookupTabIndex = 0x1000,
  kLookupTabGuide = 0x2000,
  kLookupAddHistory = 0x10000,
  kLookupScrollTop = 0x20000,
};

// The "headword" link: query, word into the input box, index list positioned,
// guide filled, result shown and scrolled to its top, focus to the view bar,
// guide tab, added to the history.
constexpr uint32_t kHeadwordLookupFlags = 0x324F1;
