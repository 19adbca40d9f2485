// Internal: the framework's state, one per process (the DLL holds it), and
// the per-thread state of message dispatch.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/framework/FxHandleMap.h"
#include "platform/framework/Quorfx.h"

struct FxProcessState {
    HandleMap<HWND, CWnd> windows;
    HandleMap<HMENU, CMenu> menus;
    HandleMap<HDC, CDC> dcs;
    HandleMap<HGDIOBJ, CGdiObject> gdiObjects;
    CWinApp* app = nullptr;
    HINSTANCE framework = nullptr;           // Quorfx.dll
    HINSTANCE instance = nullptr;            // the program's module
    HINSTANCE resources = nullptr;           // first in the resource chain; the program's unless set
    std::vector<HINSTANCE> resourceModules;  // libraries added to the chain
    std::vector<std::pair<ATOM, HINSTANCE>> registeredClasses;  // unregistered when the DLL goes
    std::set<std::wstring> classNames;       // of AfxRegisterWndClass, kept for their pointers
    bool oleInitialized = false;
    int quitCode = 0;                        // wParam of the last WM_QUIT
};

FxProcessState& FxState();

struct FxThreadState {
    MSG current = {};                 // the message in dispatch, for CWnd::Default
    CWnd* creating = nullptr;         // the object whose window is being created
    HHOOK createHook = nullptr;
    HMENU initMenuPopup = nullptr;    // the popup that WM_INITMENUPOPUP announced last
    HMENU trackingMenu = nullptr;     // the menu of a running TrackPopupMenu
};

FxThreadState& FxThread();

// The attached menu that owns an owner-drawn item: for WM_DRAWITEM the menu
// handle comes with the message; for WM_MEASUREITEM only the item id does, and
// it is searched in the popup being opened, the tracked menu and hWnd's menu.
// A plain submenu belongs to its nearest attached ancestor.
CMenu* FxFindOwnerDrawMenu(HWND hWnd, HMENU hMenuOfItem, UINT nItemID);

// The window-creation hook: the next window this thread creates is bound to
// pWnd before its first message. Unhook returns false when it never fired.
void FxHookWindowCreate(CWnd* pWnd);
bool FxUnhookWindowCreate();

// The PreTranslateMessage walk from the target window up through its parents.
BOOL FxWalkPreTranslateTree(MSG* pMsg);

// The idle-time clean-up of temporary wrappers.
void FxDeleteTempMaps();

// Registers the common controls' classes once (tabs, sliders, spins, hot keys,
// tooltips), before a control or a dialog template needs them.
void FxEnsureCommonControls();
