#include "platform/framework/tests/FxTestLib.h"

static HINSTANCE g_hLibrary = nullptr;

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hLibrary = hInstance;
        AfxAddResourceModule(hInstance);
    } else if (reason == DLL_PROCESS_DETACH) {
        AfxRemoveResourceModule(hInstance);
    }
    return TRUE;
}

IMPLEMENT_DYNAMIC(LibButton, CButton)

BEGIN_MESSAGE_MAP(LibButton, CButton)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL LibButton::CreateInLibrary(CWnd* pParent, UINT nID) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = g_hLibrary;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"FxTestLibControl";
    if (!AfxRegisterClass(&wc)) return FALSE;
    return CWnd::Create(L"FxTestLibControl", L"lib", WS_VISIBLE, CRect(0, 0, 40, 20), pParent, nID);
}

void LibButton::OnLButtonUp(UINT, CPoint) { ++clicks; }

CWnd* LibFromHandlePermanent(HWND hWnd) { return CWnd::FromHandlePermanent(hWnd); }

HINSTANCE LibInstanceHandle() { return AfxGetInstanceHandle(); }
