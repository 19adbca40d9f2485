// A small library on the framework, as the control library is: it exports a
// control class and adds its resources to the chain when it is loaded.
#pragma once

#include "platform/framework/Quorfx.h"
#include "platform/framework/tests/FxTestLibRes.h"

#ifdef FXTESTLIB_BUILD
#define FXTESTLIB_API __declspec(dllexport)
#else
#define FXTESTLIB_API __declspec(dllimport)
#endif

class FXTESTLIB_API LibButton : public CButton {
    DECLARE_DYNAMIC(LibButton)
public:
    // A child of the library's own window class, registered under its instance.
    BOOL CreateInLibrary(CWnd* pParent, UINT nID);
    int clicks = 0;

protected:
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// What the library sees of the process-wide framework state.
FXTESTLIB_API CWnd* LibFromHandlePermanent(HWND hWnd);
FXTESTLIB_API HINSTANCE LibInstanceHandle();
