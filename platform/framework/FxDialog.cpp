#include "platform/framework/FxState.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CColorDialog, CDialog)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

// The dialog's window runs through AfxWndProc; this procedure, called by the
// system's dialog procedure for what the message map left, adds nothing.
static INT_PTR CALLBACK FxDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

static LPCDLGTEMPLATEW FindDialogTemplate(LPCWSTR lpszTemplateName, HINSTANCE& hInst) {
    hInst = lpszTemplateName ? AfxFindResourceHandle(lpszTemplateName, RT_DIALOG) : nullptr;
    if (!hInst) return nullptr;
    HRSRC hResource = ::FindResourceW(hInst, lpszTemplateName, RT_DIALOG);
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInst, hResource) : nullptr;
    return hTemplate ? static_cast<LPCDLGTEMPLATEW>(::LockResource(hTemplate)) : nullptr;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    HINSTANCE hInst;
    LPCDLGTEMPLATEW lpTemplate = FindDialogTemplate(lpszTemplateName, hInst);
    return lpTemplate && CreateIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
    if (m_hWnd || !lpDialogTemplate) return FALSE;
    FxEnsureCommonControls();
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_bEnded = FALSE;
    // The dialog's own window is the first this thread creates; the hook
    // binds it before WM_INITDIALOG, its controls stay unbound.
    FxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogIndirectParamW(hInst ? hInst : AfxGetInstanceHandle(), lpDialogTemplate,
                                             HwndOf(m_pParentWnd), FxDialogProc, 0);
    if (!FxUnhookWindowCreate()) PostNcDestroy();
    return hWnd != nullptr;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst;
    LPCDLGTEMPLATEW lpTemplate = FindDialogTemplate(m_lpszTemplateName, hInst);
    if (!lpTemplate) return -1;

    // The owner is the parent's top-level window, else the main window; it
    // is disabled while the dialog runs.
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : HwndOf(AfxGetMainWnd());
    while (hOwner && (::GetWindowLongW(hOwner, GWL_STYLE) & WS_CHILD)) hOwner = ::GetParent(hOwner);
    bool ownerDisabled = hOwner && ::IsWindowEnabled(hOwner);
    if (ownerDisabled) ::EnableWindow(hOwner, FALSE);

    CWnd* pParentWnd = m_pParentWnd;
    m_pParentWnd = nullptr;
    m_bModal = TRUE;
    m_nModalResult = -1;
    CWnd owner;
    owner.m_hWnd = hOwner;
    if (CreateIndirect(lpTemplate, hOwner ? &owner : nullptr, hInst)) {
        if (!m_bEnded) ShowWindow(SW_SHOWNORMAL);
        while (!m_bEnded) {
            if (!AfxPumpMessage()) {
                // WM_QUIT ends the dialog; the loop outside must see it too.
                ::PostQuitMessage(FxState().quitCode);
                break;
            }
        }
    }
    owner.m_hWnd = nullptr;
    // The owner is enabled before the dialog goes, so that it is the one
    // activated next.
    if (ownerDisabled) ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hOwner);
    DestroyWindow();
    m_bModal = FALSE;
    m_pParentWnd = pParentWnd;
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEnded = TRUE;
    if (!m_bModal && m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
}

void CDialog::OnOK() {
    if (!m_bModal || !UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    if (m_bModal) EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // Keyboard and mouse input of the dialog and its controls goes to the
    // dialog manager: Tab, arrows, mnemonics, Enter and Esc.
    bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                 (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    return input && ::IsDialogMessageW(m_hWnd, pMsg);
}

// ---- CColorDialog ------------------------------------------------------------

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CDialog(UINT(0), pParentWnd) {
    m_cc = CHOOSECOLORW{};
    for (COLORREF& c : m_custom) c = RGB(255, 255, 255);
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.rgbResult = clrInit;
    m_cc.lpCustColors = m_custom;
    m_cc.Flags = dwFlags | (clrInit ? CC_RGBINIT : 0);
}

INT_PTR CColorDialog::DoModal() {
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : HwndOf(AfxGetMainWnd());
    m_cc.hwndOwner = hOwner;
    return ::ChooseColorW(&m_cc) ? IDOK : IDCANCEL;
}
