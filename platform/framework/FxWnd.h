// CWnd: a C++ object bound to one window handle.
//
// Every window that a CWnd creates or subclasses runs through one window
// procedure. It hands the message to the object's WindowProc, whose order is:
//   WM_COMMAND -> OnCommand -> the message map's command entries
//   WM_NOTIFY  -> OnNotify  -> the message map's notify entries
//   others     -> the message map (OnMessageMap, most derived class first)
//   unhandled  -> DefWindowProc (the window's own procedure before us)
// WM_CTLCOLOR*, WM_DRAWITEM and WM_MEASUREITEM go first to the control
// concerned (OnChildNotify: a reflected ON_WM_CTLCOLOR_REFLECT, DrawItem of a
// button...) or to the owner-drawn CMenu; the parent handles what is left.
// When the window is gone (WM_NCDESTROY) the object forgets its handle and
// PostNcDestroy runs: a heap frame deletes itself there.
#pragma once

#include "platform/framework/FxCore.h"
#include "platform/framework/FxGdi.h"
#include "platform/framework/FxString.h"
#include "platform/framework/FxTypes.h"

#include <commctrl.h>
// Included here once so that its SubclassWindow macro, which would rename
// CWnd::SubclassWindow, can be taken away for good (the header has a guard).
#include <windowsx.h>
#undef SubclassWindow

class CMenu;
class CDataExchange;

// Reflected messages carry this offset when they reach the control itself.
#define WM_REFLECT_BASE 0xBC00

class QUORFX_API CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;  // destroys a window that is still attached

    // The insert-after positions of SetWindowPos.
    static const CWnd wndTop, wndBottom, wndTopMost, wndNoTopMost;
    operator HWND() const { return m_hWnd; }
    static HWND HwndOf(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : nullptr; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    bool operator==(const CWnd& w) const { return m_hWnd == w.m_hWnd; }
    bool operator!=(const CWnd& w) const { return m_hWnd != w.m_hWnd; }

    // ---- The handle map ----
    // The object attached to hWnd, else a temporary wrapper (valid until the
    // message loop is next idle). Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // The attached object only; null for windows no object owns.
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();
    BOOL Attach(HWND hWndNew);  // FALSE when already attached or hWndNew is null
    HWND Detach();
    // Attach and route the window's messages through this object (after
    // PreSubclassWindow). FALSE when the window is already owned.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- Creation ----
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // ---- Overridables ----
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual void PreSubclassWindow() {}
    // TRUE when the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A message of a control's own, sent to its parent, offered back to the
    // control (WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM...). TRUE: handled.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy() {}
    virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The default handling of the message being dispatched.
    LRESULT Default();

    // ---- Messages ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
    }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);

    // ---- Family ----
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, HwndOf(pWndNewParent))); }
    CWnd* GetOwner() const { return FromHandle(::GetWindow(m_hWnd, GW_OWNER)); }
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, HwndOf(pWnd)); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return int(::SetWindowLongPtrW(m_hWnd, GWLP_ID, nID)); }

    // ---- State and style ----
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    DWORD GetStyle() const { return DWORD(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return DWORD(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }
    // nFlags non-zero: SetWindowPos with these flags plus no move, size,
    // z-order or activation change, so that the frame is recomputed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }

    // ---- Geometry ----
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
        ::MapWindowPoints(m_hWnd, HwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
    }
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
        ::MapWindowPoints(m_hWnd, HwndOf(pwndTo), lpPoint, nCount);
    }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // ---- Painting ----
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, bRedraw); }
    CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
    CDC* GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
    int ReleaseDC(CDC* pDC) { return ::ReleaseDC(m_hWnd, pDC->m_hDC); }

    // ---- Text and font ----
    void SetWindowText(LPCWSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const {
        return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
    }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) { SendMessage(WM_SETFONT, WPARAM(pFont ? pFont->m_hObject : nullptr), bRedraw); }
    CFont* GetFont() const { return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))); }
    void SetDlgItemText(int nID, LPCWSTR lpszString) { ::SetDlgItemTextW(m_hWnd, nID, lpszString); }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const {
        return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
    }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, LPARAM(hIcon)));
    }
    HICON GetIcon(BOOL bBigIcon) const {
        return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL));
    }

    // ---- Focus, activation, capture, timers ----
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
    static CWnd* GetCapture() { return FromHandle(::GetCapture()); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr) {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }

    // ---- Menus, scrolling, clipboard, boxes ----
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
        return ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    }
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }
    BOOL OpenClipboard() { return ::OpenClipboard(m_hWnd); }
    HWND SetClipboardViewer() { return ::SetClipboardViewer(m_hWnd); }
    BOOL ChangeClipboardChain(HWND hWndNext) { return ::ChangeClipboardChain(m_hWnd, hWndNext); }
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- Handlers that message maps call; each does the default handling ----
    afx_msg int OnCreate(LPCREATESTRUCTW) { return int(Default()); }
    afx_msg void OnDestroy() { Default(); }
    afx_msg void OnNcDestroy() { Default(); }
    afx_msg void OnClose() { Default(); }
    afx_msg void OnSize(UINT, int, int) { Default(); }
    afx_msg void OnMove(int, int) { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return BOOL(Default()); }
    afx_msg void OnNcPaint() { Default(); }
    afx_msg LRESULT OnNcHitTest(CPoint) { return Default(); }
    afx_msg void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
    afx_msg BOOL OnNcActivate(BOOL) { return BOOL(Default()); }
    afx_msg void OnNcLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
    afx_msg void OnEnable(BOOL) { Default(); }
    afx_msg void OnSetFocus(CWnd*) { Default(); }
    afx_msg void OnKillFocus(CWnd*) { Default(); }
    afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
    afx_msg int OnMouseActivate(CWnd*, UINT, UINT) { return int(Default()); }
    afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
    afx_msg void OnMouseLeave() { Default(); }
    afx_msg BOOL OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
    afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg void OnKeyUp(UINT, UINT, UINT) { Default(); }
    afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
    afx_msg void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg UINT OnGetDlgCode() { return UINT(Default()); }
    afx_msg void OnTimer(UINT_PTR) { Default(); }
    afx_msg void OnHotKey(UINT, UINT, UINT) { Default(); }
    afx_msg void OnHScroll(UINT, UINT, CWnd*) { Default(); }
    afx_msg void OnVScroll(UINT, UINT, CWnd*) { Default(); }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
    afx_msg void OnContextMenu(CWnd*, CPoint) { Default(); }
    afx_msg BOOL OnCopyData(CWnd*, COPYDATASTRUCT*) { return BOOL(Default()); }
    afx_msg void OnDrawClipboard() { Default(); }
    afx_msg void OnChangeCbChain(HWND, HWND) { Default(); }
    afx_msg void OnCaptureChanged(CWnd*) { Default(); }
    afx_msg void OnInitMenuPopup(CMenu*, UINT, BOOL);
    // These three first offer the message to the control or the owner-drawn menu.
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);

protected:
    WNDPROC m_pfnSuper = nullptr;  // the window's procedure before ours

    explicit CWnd(HWND hWndSpecial) : m_hWnd(hWndSpecial) {}

    // Hands the message back to the control that sent it (OnChildNotify).
    static BOOL ReflectChildNotify(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The default of OnChildNotify: the message, offset by WM_REFLECT_BASE,
    // through this control's own message map.
    BOOL ReflectMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Registers (once) the framework's default class of a CWnd.
    static LPCWSTR DefaultClassName();

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct FxCreateHook;

    DECLARE_MESSAGE_MAP()
};

// The one window procedure of every window an object owns.
QUORFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Message crackers: each decodes wParam and lParam for one message ----
#define FX_HANDLE_(cond, call) \
    if (cond) {                \
        call;                  \
        return TRUE;           \
    }
#define FX_PT_ CPoint(short(LOWORD(lParam)), short(HIWORD(lParam)))
#define FX_KEY_ UINT(wParam), UINT(LOWORD(lParam)), UINT(HIWORD(lParam))

#define ON_WM_CREATE() FX_HANDLE_(uMsg == WM_CREATE, lResult = OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam)))
#define ON_WM_DESTROY() FX_HANDLE_(uMsg == WM_DESTROY, OnDestroy(); lResult = 0)
#define ON_WM_NCDESTROY() FX_HANDLE_(uMsg == WM_NCDESTROY, OnNcDestroy(); lResult = 0)
#define ON_WM_CLOSE() FX_HANDLE_(uMsg == WM_CLOSE, OnClose(); lResult = 0)
#define ON_WM_SIZE() \
    FX_HANDLE_(uMsg == WM_SIZE, OnSize(UINT(wParam), short(LOWORD(lParam)), short(HIWORD(lParam))); lResult = 0)
#define ON_WM_MOVE() \
    FX_HANDLE_(uMsg == WM_MOVE, OnMove(short(LOWORD(lParam)), short(HIWORD(lParam))); lResult = 0)
#define ON_WM_PAINT() FX_HANDLE_(uMsg == WM_PAINT, OnPaint(); lResult = 0)
#define ON_WM_ERASEBKGND() \
    FX_HANDLE_(uMsg == WM_ERASEBKGND, lResult = OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
#define ON_WM_NCPAINT() FX_HANDLE_(uMsg == WM_NCPAINT, OnNcPaint(); lResult = 0)
#define ON_WM_NCHITTEST() FX_HANDLE_(uMsg == WM_NCHITTEST, lResult = OnNcHitTest(FX_PT_))
#define ON_WM_NCCALCSIZE()                                                                             \
    FX_HANDLE_(uMsg == WM_NCCALCSIZE, OnNcCalcSize(BOOL(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)); \
               lResult = 0)
#define ON_WM_NCACTIVATE() FX_HANDLE_(uMsg == WM_NCACTIVATE, lResult = OnNcActivate(BOOL(wParam)))
#define ON_WM_NCLBUTTONDOWN() \
    FX_HANDLE_(uMsg == WM_NCLBUTTONDOWN, OnNcLButtonDown(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_NCLBUTTONDBLCLK() \
    FX_HANDLE_(uMsg == WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_ACTIVATE()                                                                                   \
    FX_HANDLE_(uMsg == WM_ACTIVATE, OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                               HIWORD(wParam));                                            \
               lResult = 0)
#define ON_WM_SHOWWINDOW() FX_HANDLE_(uMsg == WM_SHOWWINDOW, OnShowWindow(BOOL(wParam), UINT(lParam)); lResult = 0)
#define ON_WM_ENABLE() FX_HANDLE_(uMsg == WM_ENABLE, OnEnable(BOOL(wParam)); lResult = 0)
#define ON_WM_SETFOCUS() \
    FX_HANDLE_(uMsg == WM_SETFOCUS, OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); lResult = 0)
#define ON_WM_KILLFOCUS() \
    FX_HANDLE_(uMsg == WM_KILLFOCUS, OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); lResult = 0)
#define ON_WM_SETCURSOR()                                                                                   \
    FX_HANDLE_(uMsg == WM_SETCURSOR, lResult = OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                           LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_MOUSEACTIVATE()                                                                    \
    FX_HANDLE_(uMsg == WM_MOUSEACTIVATE,                                                         \
               lResult = OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), \
                                         HIWORD(lParam)))
#define ON_WM_MOUSEMOVE() FX_HANDLE_(uMsg == WM_MOUSEMOVE, OnMouseMove(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_MOUSELEAVE() FX_HANDLE_(uMsg == WM_MOUSELEAVE, OnMouseLeave(); lResult = 0)
// The point of WM_MOUSEWHEEL is in screen coordinates.
#define ON_WM_MOUSEWHEEL() \
    FX_HANDLE_(uMsg == WM_MOUSEWHEEL, lResult = OnMouseWheel(LOWORD(wParam), short(HIWORD(wParam)), FX_PT_))
#define ON_WM_LBUTTONDOWN() FX_HANDLE_(uMsg == WM_LBUTTONDOWN, OnLButtonDown(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_LBUTTONUP() FX_HANDLE_(uMsg == WM_LBUTTONUP, OnLButtonUp(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_LBUTTONDBLCLK() \
    FX_HANDLE_(uMsg == WM_LBUTTONDBLCLK, OnLButtonDblClk(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_RBUTTONDOWN() FX_HANDLE_(uMsg == WM_RBUTTONDOWN, OnRButtonDown(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_RBUTTONUP() FX_HANDLE_(uMsg == WM_RBUTTONUP, OnRButtonUp(UINT(wParam), FX_PT_); lResult = 0)
#define ON_WM_KEYDOWN() FX_HANDLE_(uMsg == WM_KEYDOWN, OnKeyDown(FX_KEY_); lResult = 0)
#define ON_WM_KEYUP() FX_HANDLE_(uMsg == WM_KEYUP, OnKeyUp(FX_KEY_); lResult = 0)
#define ON_WM_CHAR() FX_HANDLE_(uMsg == WM_CHAR, OnChar(FX_KEY_); lResult = 0)
#define ON_WM_SYSKEYDOWN() FX_HANDLE_(uMsg == WM_SYSKEYDOWN, OnSysKeyDown(FX_KEY_); lResult = 0)
#define ON_WM_GETDLGCODE() FX_HANDLE_(uMsg == WM_GETDLGCODE, lResult = OnGetDlgCode())
#define ON_WM_TIMER() FX_HANDLE_(uMsg == WM_TIMER, OnTimer(UINT_PTR(wParam)); lResult = 0)
#define ON_WM_HOTKEY() \
    FX_HANDLE_(uMsg == WM_HOTKEY, OnHotKey(UINT(wParam), LOWORD(lParam), HIWORD(lParam)); lResult = 0)
#define ON_WM_HSCROLL()                                                                            \
    FX_HANDLE_(uMsg == WM_HSCROLL, OnHScroll(LOWORD(wParam), short(HIWORD(wParam)),                \
                                             CWnd::FromHandle(reinterpret_cast<HWND>(lParam))); \
               lResult = 0)
#define ON_WM_VSCROLL()                                                                            \
    FX_HANDLE_(uMsg == WM_VSCROLL, OnVScroll(LOWORD(wParam), short(HIWORD(wParam)),                \
                                             CWnd::FromHandle(reinterpret_cast<HWND>(lParam))); \
               lResult = 0)
#define ON_WM_GETMINMAXINFO() \
    FX_HANDLE_(uMsg == WM_GETMINMAXINFO, OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); lResult = 0)
#define ON_WM_SYSCOMMAND() FX_HANDLE_(uMsg == WM_SYSCOMMAND, OnSysCommand(UINT(wParam), lParam); lResult = 0)
#define ON_WM_CONTEXTMENU() \
    FX_HANDLE_(uMsg == WM_CONTEXTMENU, OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), FX_PT_); lResult = 0)
#define ON_WM_COPYDATA()                                                                                   \
    FX_HANDLE_(uMsg == WM_COPYDATA, lResult = OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                         reinterpret_cast<COPYDATASTRUCT*>(lParam)))
#define ON_WM_DRAWCLIPBOARD() FX_HANDLE_(uMsg == WM_DRAWCLIPBOARD, OnDrawClipboard(); lResult = 0)
#define ON_WM_CHANGECBCHAIN()                                                                            \
    FX_HANDLE_(uMsg == WM_CHANGECBCHAIN,                                                                 \
               OnChangeCbChain(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam)); lResult = 0)
#define ON_WM_CAPTURECHANGED() \
    FX_HANDLE_(uMsg == WM_CAPTURECHANGED, OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))); lResult = 0)
#define ON_WM_INITMENUPOPUP()                                                                                 \
    FX_HANDLE_(uMsg == WM_INITMENUPOPUP, OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), \
                                                         LOWORD(lParam), HIWORD(lParam));                     \
               lResult = 0)
// nCtlColor is one of CTLCOLOR_MSGBOX (0) ... CTLCOLOR_STATIC (6).
#define ON_WM_CTLCOLOR()                                                                                          \
    FX_HANDLE_(uMsg >= WM_CTLCOLORMSGBOX && uMsg <= WM_CTLCOLORSTATIC,                                            \
               lResult = LRESULT(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                      \
                                            CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), uMsg - WM_CTLCOLORMSGBOX)))
#define ON_WM_DRAWITEM() \
    FX_HANDLE_(uMsg == WM_DRAWITEM, OnDrawItem(int(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); lResult = TRUE)
#define ON_WM_MEASUREITEM()                                                                      \
    FX_HANDLE_(uMsg == WM_MEASUREITEM,                                                           \
               OnMeasureItem(int(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); lResult = TRUE)

// In a control's own map: WM_CTLCOLOR* that its parent received for it.
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush leaves it to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                     \
    if (uMsg >= WM_REFLECT_BASE + WM_CTLCOLORMSGBOX && uMsg <= WM_REFLECT_BASE + WM_CTLCOLORSTATIC) { \
        HBRUSH hbr_ = CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                       \
                               uMsg - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX);                          \
        if (hbr_) {                                                                                  \
            lResult = LRESULT(hbr_);                                                                 \
            return TRUE;                                                                             \
        }                                                                                            \
    }
