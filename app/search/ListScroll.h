// The vertical scrolling the two lists of the search bar share.
#pragma once

#include <windows.h>

// The top row a scroll-bar code asks for, from the current top row, the rows of
// a page and the row count; the list clamps it.
inline int TopRowForScrollCode(HWND window, UINT code, int top, int page, int count) {
  switch (code) {
    case SB_LINEUP: return top - 1;
    case SB_LINEDOWN: return top + 1;
    case SB_PAGEUP: return top - page + 1;
    case SB_PAGEDOWN: return top + page - 1;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO si = {sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      ::GetScrollInfo(window, SB_VERT, &si);
      return si.nTrackPos;
    }
    case SB_TOP: return 0;
    case SB_BOTTOM: return count - 1;
    default: return top;
  }
}
