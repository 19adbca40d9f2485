// CDialog: a window from a dialog template. DoModal runs it modally with a
// loop of its own that keeps the PreTranslateMessage chain; Create makes a
// modeless one, such as a child pane of a frame. OK and Cancel (Enter and Esc)
// end a modal dialog only: a modeless dialog stays.
#pragma once

#include <commdlg.h>

#include "platform/framework/FxWnd.h"

// What DoDataExchange gets; the windows here move their data by hand.
class QUORFX_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class QUORFX_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

    // The EndDialog code; -1 when the template is missing or the window
    // cannot be made.
    virtual INT_PTR DoModal();
    // Modeless. FALSE when the template is missing or creation fails.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd = nullptr, HINSTANCE hInst = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();  // runs DoDataExchange; TRUE: the system sets the focus
    virtual void OnOK();          // UpdateData, then EndDialog(IDOK) when modal
    virtual void OnCancel();      // EndDialog(IDCANCEL) when modal
    BOOL PreTranslateMessage(MSG* pMsg) override;  // the dialog keys (IsDialogMessage)

    void NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl) { SendMessage(WM_NEXTDLGCTL, WPARAM(HwndOf(pWndCtrl)), 1); }
    void SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
    BOOL IsModal() const { return m_bModal; }

    LPCWSTR m_lpszTemplateName = nullptr;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    BOOL m_bModal = FALSE;
    BOOL m_bEnded = FALSE;
    int m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};

class QUORFX_API CColorDialog : public CDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal() override;  // IDOK or IDCANCEL
    COLORREF GetColor() const { return m_cc.rgbResult; }
    CHOOSECOLORW m_cc;

private:
    COLORREF m_custom[16];
};
