// Dialogs: DoModal's result, Enter and Esc in modal and child dialogs, and
// controls of a template bound to objects.
#include <gtest/gtest.h>

#include "platform/framework/tests/FxTestRes.h"
#include "platform/framework/tests/TestWindows.h"

namespace {

const UINT WM_TEST_END = WM_APP + 1;

// Ends itself from a posted message, or by a key pressed in its edit.
class ModalDlg : public CDialog {
public:
    ModalDlg() : CDialog(IDD_TEST_MODAL) {}
    int endWith = 0;   // non-zero: EndDialog(endWith) once the loop runs
    UINT key = 0;      // non-zero: this key pressed in the edit
    bool initialised = false;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        initialised = true;
        if (endWith) PostMessage(WM_TEST_END);
        if (key) {
            HWND edit = ::GetDlgItem(m_hWnd, IDC_TEST_EDIT);
            ::PostMessageW(edit, WM_KEYDOWN, key, 1);
            ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
        }
        return TRUE;
    }

protected:
    afx_msg LRESULT OnTestEnd(WPARAM, LPARAM) {
        EndDialog(endWith);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ModalDlg, CDialog)
    ON_MESSAGE(WM_TEST_END, OnTestEnd)
END_MESSAGE_MAP()

TEST(Dialog, DoModalReturnsTheEndDialogCode) {
    ModalDlg dlg;
    dlg.endWith = 42;
    EXPECT_EQ(42, dlg.DoModal());
    EXPECT_TRUE(dlg.initialised);
    EXPECT_EQ(nullptr, dlg.m_hWnd);  // the window is gone afterwards
}

TEST(Dialog, EnterAndEscEndAModalDialog) {
    struct Case {
        UINT key;
        INT_PTR result;
    } cases[] = {{VK_RETURN, IDOK}, {VK_ESCAPE, IDCANCEL}};
    for (const Case& c : cases) {
        ModalDlg dlg;
        dlg.key = c.key;
        EXPECT_EQ(c.result, dlg.DoModal()) << "key " << c.key;
    }
}

TEST(Dialog, DisablesTheOwnerWhileModal) {
    HostWnd host;
    ASSERT_TRUE(host.CreateHost());
    class Probe : public ModalDlg {
    public:
        HWND owner = nullptr;
        BOOL ownerEnabled = TRUE;
        BOOL OnInitDialog() override {
            ownerEnabled = ::IsWindowEnabled(owner);
            return ModalDlg::OnInitDialog();
        }
    } dlg;
    dlg.m_pParentWnd = &host;
    dlg.owner = host.m_hWnd;
    dlg.endWith = 5;
    EXPECT_EQ(5, dlg.DoModal());
    EXPECT_FALSE(dlg.ownerEnabled);
    EXPECT_TRUE(host.IsWindowEnabled());
    host.DestroyWindow();
}

TEST(Dialog, MissingTemplateFails) {
    CDialog dlg(9999);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_FALSE(dlg.Create(9999));
}

// A button that records being bound to its template control.
class BoundButton : public CButton {
public:
    int preSubclass = 0;
    bool hadHandle = false;
    int clicks = 0;
    void PreSubclassWindow() override {
        ++preSubclass;
        hadHandle = m_hWnd != nullptr;
    }

protected:
    afx_msg void OnLButtonUp(UINT, CPoint) {
        ++clicks;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BoundButton, CButton)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

// A child pane of a frame, as the main window's bars are.
class PaneDlg : public CDialog {
public:
    BoundButton button;
    int oks = 0, cancels = 0, clicked = 0;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        button.SubclassDlgItem(IDC_PANE_BUTTON, this);
        return FALSE;
    }
    void OnOK() override {
        ++oks;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }

protected:
    afx_msg void OnButton() { ++clicked; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaneDlg, CDialog)
    ON_BN_CLICKED(IDC_PANE_BUTTON, OnButton)
END_MESSAGE_MAP()

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ::DefWindowProcW;
        // Registered by a library (here the framework's own module), as the
        // control library registers its controls' classes.
        wc.hInstance = ::GetModuleHandleW(L"Quorfx.dll");
        wc.lpszClassName = L"FxTestCustom";
        ASSERT_TRUE(AfxRegisterClass(&wc));
        ASSERT_TRUE(AfxRegisterClass(&wc));  // a second time is no failure
        ASSERT_TRUE(host.CreateShownHost(400, 300));
        ASSERT_TRUE(pane.Create(IDD_TEST_PANE, &host));
    }
    void TearDown() override { host.DestroyWindow(); }
    HostWnd host;
    PaneDlg pane;
};

TEST_F(PaneTest, TemplateControlIsBoundThroughPreSubclassWindow) {
    EXPECT_EQ(1, pane.button.preSubclass);
    EXPECT_TRUE(pane.button.hadHandle);
    HWND hButton = ::GetDlgItem(pane, IDC_PANE_BUTTON);
    EXPECT_EQ(hButton, pane.button.m_hWnd);
    EXPECT_EQ(&pane.button, CWnd::FromHandlePermanent(hButton));
    EXPECT_NE(nullptr, ::GetDlgItem(pane, IDC_PANE_CUSTOM));  // the custom-class control exists
    EXPECT_EQ(&pane, CWnd::FromHandlePermanent(pane.m_hWnd));
    EXPECT_EQ(host.m_hWnd, ::GetParent(pane));

    // Its messages run through the object, the button still works.
    pane.button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    pane.button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(1, pane.button.clicks);
    EXPECT_EQ(1, pane.clicked);
}

TEST_F(PaneTest, ChildDialogIgnoresEnterAndEsc) {
    HWND edit = ::GetDlgItem(pane, IDC_PANE_EDIT);
    for (UINT key : {VK_RETURN, VK_ESCAPE}) {
        ::PostMessageW(edit, WM_KEYDOWN, key, 1);
        ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
        PumpPending();
    }
    EXPECT_EQ(1, pane.oks);
    EXPECT_EQ(1, pane.cancels);
    EXPECT_TRUE(pane.IsWindow());
    EXPECT_TRUE(pane.IsWindowVisible());
    pane.SendMessage(WM_CLOSE);  // nor does closing it
    EXPECT_TRUE(pane.IsWindowVisible());
}

}  // namespace
