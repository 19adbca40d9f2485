#include "platform/framework/FxState.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU hMenu) {
    return FxState().menus.FromHandle(hMenu, [](HMENU h) {
        CMenu* p = new CMenu;
        p->m_hMenu = h;
        return p;
    });
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) { return FxState().menus.LookupPermanent(hMenu); }

void CMenu::DeleteTempMap() {
    FxState().menus.DeleteTemporaries([](CMenu* p) { p->m_hMenu = nullptr; });
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (m_hMenu || !hMenu || FromHandlePermanent(hMenu)) return FALSE;
    m_hMenu = hMenu;
    FxState().menus.SetPermanent(hMenu, this);
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    if (h && FromHandlePermanent(h) == this) FxState().menus.RemovePermanent(h);
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::LoadMenu(UINT nIDResource) {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_MENU);
    return hInst && Attach(::LoadMenuW(hInst, MAKEINTRESOURCE(nIDResource)));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    int n = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (n <= 0) {
        rString.Empty();
        return 0;
    }
    int got = ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBufferSetLength(n + 1), n + 1, nFlags);
    rString.ReleaseBuffer(got > 0 ? got : 0);
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    // Remembered so that WM_MEASUREITEM, which names only the item, finds us.
    FxThreadState& thread = FxThread();
    HMENU outer = thread.trackingMenu;
    thread.trackingMenu = m_hMenu;
    BOOL result = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, CWnd::HwndOf(pWnd), lpRect);
    thread.trackingMenu = outer;
    return result;
}

// The attached menu nearest to hTarget on the way down from hMenu (hTarget is
// a menu handle, or null to look for the item nItemID), else null.
static CMenu* FindInTree(HMENU hMenu, HMENU hTarget, UINT nItemID, CMenu* pOwner, int depth) {
    if (!hMenu || depth > 16) return nullptr;
    if (CMenu* p = CMenu::FromHandlePermanent(hMenu)) pOwner = p;
    if (hMenu == hTarget) return pOwner;
    int count = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < count; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (!hSub && !hTarget && ::GetMenuItemID(hMenu, i) == nItemID) return pOwner;
        if (CMenu* found = FindInTree(hSub, hTarget, nItemID, pOwner, depth + 1)) return found;
    }
    return nullptr;
}

CMenu* FxFindOwnerDrawMenu(HWND hWnd, HMENU hMenuOfItem, UINT nItemID) {
    if (hMenuOfItem) {
        if (CMenu* p = CMenu::FromHandlePermanent(hMenuOfItem)) return p;
    }
    const FxThreadState& thread = FxThread();
    // A child window's "menu" is its id, not a menu.
    HMENU hBar = (::GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD) ? nullptr : ::GetMenu(hWnd);
    for (HMENU root : {thread.trackingMenu, thread.initMenuPopup, hBar}) {
        if (CMenu* p = FindInTree(root, hMenuOfItem, nItemID, nullptr, 0)) return p;
    }
    return nullptr;
}
