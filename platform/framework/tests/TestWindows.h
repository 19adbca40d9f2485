// Helpers of the framework tests: a top-level host window and message pumping.
#pragma once

#include <string>

#include "platform/framework/Quorfx.h"

// Dispatches what is queued now (through the PreTranslateMessage chain).
inline void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) break;
        AfxPumpMessage();
    }
}

// Pumps for about ms milliseconds, so that paint and timers happen.
inline void PumpFor(DWORD ms) {
    DWORD end = ::GetTickCount() + ms;
    while (int(end - ::GetTickCount()) > 0) {
        PumpPending();
        ::Sleep(5);
    }
}

// A plain top-level window on the framework's default class.
class HostWnd : public CWnd {
public:
    BOOL CreateHost(int width = 320, int height = 240, DWORD style = WS_OVERLAPPEDWINDOW) {
        return CreateEx(0, nullptr, L"host", style, 10, 10, width, height, nullptr, nullptr);
    }
    // A visible pop-up that is never activated: Wine gives such a window to
    // no window manager, so it does not wait for one when the window goes.
    BOOL CreateShownHost(int width = 320, int height = 240) {
        if (!CreateHost(width, height, WS_POPUP | WS_BORDER)) return FALSE;
        ShowWindow(SW_SHOWNA);
        return TRUE;
    }
};
