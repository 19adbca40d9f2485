#include "platform/framework/FxState.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::~CFrameWnd() {
    // A frame object that ends before its window: the window goes in the
    // base destructor, when this class's WindowProc no longer runs.
    if (m_hWnd && m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // The style bit is the framework's own and means nothing to the system.
    cs.style &= ~LONG(FWS_ADDTOTITLE);
    // As the original design did; frames that want no sunken edge remove it.
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return cs.lpszClass != nullptr;
}

BOOL CFrameWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCWSTR lpszMenuName, DWORD dwExStyle, void*) {
    HMENU hMenu = nullptr;
    if (lpszMenuName) {
        HINSTANCE hInst = AfxFindResourceHandle(lpszMenuName, RT_MENU);
        if (hInst) hMenu = ::LoadMenuW(hInst, lpszMenuName);
    }
    m_strTitle = lpszWindowName;
    m_hMenuDefault = hMenu;
    // rectDefault lets the system place and size the window.
    bool useDefault = rect.left == LONG(CW_USEDEFAULT);
    BOOL ok = CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                       useDefault ? CW_USEDEFAULT : rect.right - rect.left,
                       useDefault ? CW_USEDEFAULT : rect.bottom - rect.top, HwndOf(pParentWnd), hMenu);
    // A menu the window took is destroyed with the window; one it did not take is ours.
    if (!ok && hMenu) ::DestroyMenu(hMenu);
    return ok;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, void* pContext) {
    m_nIDHelp = nIDResource;
    LPCWSTR resource = MAKEINTRESOURCEW(nIDResource);
    CString title;
    title.LoadString(nIDResource);
    int newline = title.Find(L'\n');
    if (newline >= 0) title = title.Left(newline);
    HICON hIcon = nullptr;
    if (HINSTANCE hInst = AfxFindResourceHandle(resource, RT_GROUP_ICON)) hIcon = ::LoadIconW(hInst, resource);
    LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
    if (!cls) return FALSE;
    // Create may end in PostNcDestroy, which deletes a heap frame: the
    // accelerators are loaded first so that nothing touches it afterwards.
    LoadAccelTable(resource);
    return Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd, resource, 0, pContext);
}

BOOL CFrameWnd::LoadAccelTable(LPCWSTR lpszResourceName) {
    if (m_hAccelTable) return FALSE;
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR);
    if (hInst) m_hAccelTable = ::LoadAcceleratorsW(hInst, lpszResourceName);
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable &&
        ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    return CWnd::PreTranslateMessage(pMsg);
}

void CFrameWnd::OnClose() { DestroyWindow(); }

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The system destroys only the menu the window still holds; a program
    // that took the frame's menu off (SetMenu(NULL)) would leak it.
    if (message == WM_NCDESTROY && m_hMenuDefault) {
        if (::GetMenu(m_hWnd) != m_hMenuDefault) ::DestroyMenu(m_hMenuDefault);
        m_hMenuDefault = nullptr;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CFrameWnd::PostNcDestroy() { delete this; }
