// The window messages the HTML views send and post (their receivers, the main
// frame, the view bar, the index pane and the popup, know the same numbers).
#pragma once

#include <windows.h>

// Posted by a view to its parent once its page shell has loaded (wParam 0,
// lParam the view's window).
#ifndef WM_PAGE_READY
#define WM_PAGE_READY 3024
#endif
// A "dict://" link: wParam the command, lParam the argument (wide texts).
#ifndef WM_APP_LINK
#define WM_APP_LINK 2030
#endif
// A page action: wParam the action number, lParam its argument.
#ifndef WM_PAGE_ACTION
#define WM_PAGE_ACTION 2031
#endif
