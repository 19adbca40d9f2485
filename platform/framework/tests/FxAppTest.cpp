// A program with its own application object: the framework's WinMain runs
// InitInstance, the message loop until the main window is gone, and
// ExitInstance in every case. The exit code is 0 when everything held.
//   framework_app_test -run "two words.txt"   a frame closes itself; Run ends
//   framework_app_test -fail                  InitInstance fails; ExitInstance runs anyway
#include <cstdio>

#include "platform/framework/Quorfx.h"
#include "platform/framework/tests/FxTestRes.h"

namespace {

bool g_frameDeleted = false;

class AppFrame : public CFrameWnd {
public:
    ~AppFrame() override { g_frameDeleted = true; }

protected:
    afx_msg void OnTimer(UINT_PTR) {
        KillTimer(1);
        PostMessage(WM_CLOSE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(AppFrame, CFrameWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(L"FxAppTest") {}
    int failures = 0;
    bool failMode = false;
    bool started = false;

    void Check(bool ok, const char* what) {
        if (!ok) {
            ++failures;
            printf("FAILED: %s\n", what);
        }
    }

    BOOL InitInstance() override {
        Check(AfxGetApp() == this, "AfxGetApp is the application object");
        Check(AfxGetInstanceHandle() == ::GetModuleHandleW(nullptr), "the instance is the program's");
        CString args(m_lpCmdLine);
        failMode = args == L"-fail";
        if (failMode) return FALSE;
        Check(args == L"-run \"two words.txt\"", "m_lpCmdLine holds the arguments");
        CCommandLineInfo info;
        ParseCommandLine(info);
        Check(info.m_strFileName == L"two words.txt", "ParseCommandLine gives the file argument without quotes");
        Check(info.m_nShellCommand == CCommandLineInfo::FileOpen, "a file argument asks to open it");
        // A program that took the command line for itself empties it.
        m_lpCmdLine[0] = 0;
        CCommandLineInfo none;
        ParseCommandLine(none);
        Check(none.m_strFileName.IsEmpty() && none.m_nShellCommand == CCommandLineInfo::FileNew,
              "an emptied command line gives nothing to parse");
        SetRegistryKey(L"Talvane");
        Check(CString(m_pszRegistryKey) == L"Talvane", "SetRegistryKey");
        Check(CString(m_pszProfileName) == L"FxAppTest", "the profile is the application name");
        Check(LoadCursor(AFX_IDC_HSPLITBAR) != nullptr, "LoadCursor finds the framework's cursor");
        AfxOleInit();
        AfxEnableControlContainer();

        AppFrame* frame = new AppFrame;
        if (!frame->LoadFrame(IDR_TEST_FRAME)) return FALSE;
        m_pMainWnd = frame;
        Check(AfxGetMainWnd() == frame, "AfxGetMainWnd");
        frame->SetTimer(1, 50);
        started = true;
        return TRUE;
    }

    int ExitInstance() override {
        if (!failMode) {
            Check(started, "the start succeeded and Run ran");
            Check(g_frameDeleted, "the heap frame deleted itself");
            Check(m_pMainWnd == nullptr, "the main window is forgotten");
        }
        printf("ExitInstance ran (%s), %d failure(s)\n", failMode ? "failed start" : "after Run", failures);
        return failures;
    }
};

TestApp theApp;

}  // namespace
