#include "platform/framework/FxState.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

// The base map: the messages a parent first offers to the child concerned.
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

// ---- The window procedure --------------------------------------------------

// After the last message: the object forgets the handle, the application
// forgets its main window (which ends the message loop), and the object may
// delete itself.
static void FinishNcDestroy(CWnd* pWnd, HWND hWnd) {
    if (pWnd->m_hWnd == hWnd) pWnd->Detach();
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == pWnd) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    pWnd->PostNcDestroy();
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    FxThreadState& thread = FxThread();
    MSG outer = thread.current;
    thread.current = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    if (message == WM_INITMENUPOPUP) thread.initMenuPopup = reinterpret_cast<HMENU>(wParam);
    LRESULT lResult = pWnd->WindowProc(message, wParam, lParam);
    thread.current = outer;
    if (message == WM_NCDESTROY) FinishNcDestroy(pWnd, hWnd);
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    BOOL handled;
    if (message == WM_COMMAND)
        handled = OnCommand(wParam, lParam);
    else if (message == WM_NOTIFY)
        handled = OnNotify(wParam, lParam, &lResult);
    else
        handled = OnMessageMap(message, wParam, lParam, lResult);
    return handled ? lResult : DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = FxThread().current;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    return OnMessageMap(WM_COMMAND, wParam, lParam, lResult);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return OnMessageMap(WM_NOTIFY, wParam, lParam, *pResult);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

// ---- Reflection --------------------------------------------------------------

BOOL CWnd::ReflectChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CWnd* pChild = FromHandlePermanent(hWndChild);
    return pChild && pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectMessage(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    if (!OnMessageMap(WM_REFLECT_BASE + message, wParam, lParam, lResult)) return FALSE;
    if (pResult) *pResult = lResult;
    return TRUE;
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    LRESULT lResult = 0;
    if (ReflectChildNotify(HwndOf(pWnd), WM_CTLCOLORMSGBOX + nCtlColor, WPARAM(pDC->GetSafeHdc()),
                           LPARAM(HwndOf(pWnd)), &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        HMENU hMenu = reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem);
        if (CMenu* pMenu = FxFindOwnerDrawMenu(m_hWnd, hMenu, lpDrawItemStruct->itemID)) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectChildNotify(lpDrawItemStruct->hwndItem, WM_DRAWITEM, WPARAM(nIDCtl), LPARAM(lpDrawItemStruct),
                                  nullptr)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        if (CMenu* pMenu = FxFindOwnerDrawMenu(m_hWnd, nullptr, lpMeasureItemStruct->itemID)) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else if (ReflectChildNotify(::GetDlgItem(m_hWnd, nIDCtl), WM_MEASUREITEM, WPARAM(nIDCtl),
                                  LPARAM(lpMeasureItemStruct), nullptr)) {
        return;
    }
    Default();
}

void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }

// ---- The handle map ----------------------------------------------------------

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
    // A window of another thread cannot be destroyed from here: forget it.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return FxState().windows.FromHandle(hWnd, [](HWND h) {
        CWnd* p = new CWnd;
        p->m_hWnd = h;
        return p;
    });
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return FxState().windows.LookupPermanent(hWnd); }

void CWnd::DeleteTempMap() {
    FxState().windows.DeleteTemporaries([](CWnd* p) { p->m_hWnd = nullptr; });
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (m_hWnd || !hWndNew || FromHandlePermanent(hWndNew)) return FALSE;
    m_hWnd = hWndNew;
    FxState().windows.SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd && FromHandlePermanent(hWnd) == this) FxState().windows.RemovePermanent(hWnd);
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, LONG_PTR(AfxWndProc)));
    // A window already running through AfxWndProc but owned by nobody can
    // only fall back on the system's default.
    m_pfnSuper = old != AfxWndProc ? old : ::DefWindowProcW;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem(HwndOf(pParent), int(nID));
    return hWndControl && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper) ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, LONG_PTR(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

// ---- Creation ----------------------------------------------------------------

struct FxCreateHook {
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
        FxThreadState& thread = FxThread();
        if (code == HCBT_CREATEWND && thread.creating) {
            // The window exists but has had no message yet: bind it now so
            // that WM_NCCREATE and WM_CREATE reach the object.
            CWnd* pWnd = thread.creating;
            thread.creating = nullptr;
            HWND hWnd = reinterpret_cast<HWND>(wParam);
            pWnd->Attach(hWnd);
            pWnd->PreSubclassWindow();
            WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, LONG_PTR(AfxWndProc)));
            pWnd->m_pfnSuper = old != AfxWndProc ? old : ::DefWindowProcW;
        }
        return ::CallNextHookEx(thread.createHook, code, wParam, lParam);
    }
};

void FxHookWindowCreate(CWnd* pWnd) {
    FxThreadState& thread = FxThread();
    thread.creating = pWnd;
    if (!thread.createHook)
        thread.createHook = ::SetWindowsHookExW(WH_CBT, FxCreateHook::Filter, nullptr, ::GetCurrentThreadId());
}

bool FxUnhookWindowCreate() {
    FxThreadState& thread = FxThread();
    bool fired = thread.creating == nullptr;
    thread.creating = nullptr;
    if (thread.createHook) {
        ::UnhookWindowsHookEx(thread.createHook);
        thread.createHook = nullptr;
    }
    return fired;
}

LPCWSTR CWnd::DefaultClassName() {
    return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) cs.lpszClass = DefaultClassName();
    return cs.lpszClass != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd) return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = LONG(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    FxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // When the window never came to be, no WM_NCDESTROY will clean up; when
    // it did and then failed, PostNcDestroy has run and the object may be gone.
    if (!FxUnhookWindowCreate()) PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, HwndOf(pParentWnd), reinterpret_cast<HMENU>(UINT_PTR(nID)), lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void*) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }

// ---- Members with a little more than a call --------------------------------

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        ::SendMessageW(h, message, wParam, lParam);
        if (bDeep) {
            CWnd child;
            child.m_hWnd = h;
            child.SendMessageToDescendants(message, wParam, lParam, TRUE);
            child.m_hWnd = nullptr;
        }
    }
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    while (h && (::GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
    return FromHandle(h);
}

static BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = DWORD(::GetWindowLongW(hWnd, nIndex));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongW(hWnd, nIndex, LONG(newStyle));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, HwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const {
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, lpwndpl);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    // Over the owner (or the given window) when it is visible, else over the
    // work area of the screen.
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                   : ((GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
    CRect area;
    if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter)) {
        ::GetWindowRect(hCenter, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    CRect r;
    GetWindowRect(&r);
    int x = area.left + (area.Width() - r.Width()) / 2;
    int y = area.top + (area.Height() - r.Height()) / 2;
    if (GetStyle() & WS_CHILD) {
        POINT p = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate ? HRGN(*prgnUpdate) : nullptr, flags);
}

void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    int got = ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(n + 1), n + 1);
    rString.ReleaseBuffer(got > 0 ? got : 0);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (!hItem) return 0;
    CWnd item;
    item.m_hWnd = hItem;
    item.GetWindowText(rString);
    item.m_hWnd = nullptr;
    return rString.GetLength();
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr); }

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}
