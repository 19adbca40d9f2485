// CFrameWnd: a top-level window with a menu, an icon, a title and an
// accelerator table from one resource id. Closing it destroys it; a frame
// made with new deletes itself when its window is gone.
#pragma once

#include "platform/framework/FxWnd.h"

// Style bit of the original design that asked for the document name in the
// title; the frame takes it and leaves the title as it is.
#define FWS_ADDTOTITLE 0x00008000L

class QUORFX_API CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    // Menu (optional), icon, title (the string's text up to the first '\n')
    // and accelerators (optional), all with resource id nIDResource.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, void* pContext = nullptr);
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCWSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, void* pContext = nullptr);
    BOOL LoadAccelTable(LPCWSTR lpszResourceName);

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;  // the accelerators
    void PostNcDestroy() override;                 // delete this
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Off: menu items are left enabled as they are (the frame does not
    // update menu states by itself, so this only records the wish).
    BOOL m_bAutoMenuEnable = TRUE;
    HACCEL m_hAccelTable = nullptr;
    CString m_strTitle;
    static const CRect rectDefault;

    afx_msg int OnCreate(LPCREATESTRUCTW lpCreateStruct) { return CWnd::OnCreate(lpCreateStruct); }
    afx_msg void OnClose();

protected:
    HMENU m_hMenuDefault = nullptr;  // the menu of LoadFrame, destroyed with the frame even when taken off
    UINT m_nIDHelp = 0;

    DECLARE_MESSAGE_MAP()
};
