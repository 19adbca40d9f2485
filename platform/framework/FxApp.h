// The application: one CWinApp-derived global object per program. The
// framework's WinMain (linked into the program from Quorfx's winmain object)
// runs InitInstance; when it returns TRUE, Run pumps messages until the main
// window is destroyed; ExitInstance runs in every case and gives the exit code.
#pragma once

#include "platform/framework/FxCore.h"
#include "platform/framework/FxString.h"

#include <unknwn.h>

class CWnd;

// What the command line asks for; ParseParam is called once per argument.
class QUORFX_API CCommandLineInfo : public CObject {
public:
    enum { FileNew, FileOpen, FileNothing = -1 };
    BOOL m_bShowSplash = TRUE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;  // the first argument that is not a flag ("-x" or "/x")

    // pszParam without its leading '-' or '/' when bFlag.
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);
};

class QUORFX_API CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCWSTR m_pszAppName = nullptr;      // the program's file title unless given
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;        // the arguments, without the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;          // its destruction ends Run
    LPCWSTR m_pszRegistryKey = nullptr;  // set by SetRegistryKey
    LPCWSTR m_pszProfileName = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    // Runs also after a failed InitInstance; the result is the exit code.
    virtual int ExitInstance();
    virtual int Run();
    // Called when the queue is empty; TRUE asks for more idle time.
    virtual BOOL OnIdle(LONG lCount);
    // By default the target window's PreTranslateMessage, then its parents'
    // (and a pop-up's owner's); TRUE from one of them stops the message.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Each argument of m_lpCmdLine, quotes removed, to rCmdInfo.ParseParam.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // The registry root HKEY_CURRENT_USER\Software\<lpszRegistryKey>\<app name>.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    BOOL Enable3dControls() { return TRUE; }  // the system draws 3-D controls itself

    HCURSOR LoadCursor(UINT nIDResource) const;  // along the resource chain
    HCURSOR LoadCursor(LPCWSTR lpszResourceName) const;
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }
    HICON LoadIcon(UINT nIDResource) const;

    // Set by the framework's WinMain before InitInstance.
    void SetStartup(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow);
    int m_nExitCode = 0;

private:
    CString m_strAppName, m_strRegistryKey, m_strProfileName, m_strCmdLine;
};

// ---- Global services ----
QUORFX_API CWinApp* AfxGetApp();
QUORFX_API CWnd* AfxGetMainWnd();
QUORFX_API HINSTANCE AfxGetInstanceHandle();  // the program's module
QUORFX_API LPCWSTR AfxGetAppName();

// The resource chain: the program's module first, then the libraries that
// added themselves, then the framework's own resources.
QUORFX_API HINSTANCE AfxGetResourceHandle();
QUORFX_API void AfxSetResourceHandle(HINSTANCE hInstResource);
QUORFX_API void AfxAddResourceModule(HINSTANCE hModule);
QUORFX_API void AfxRemoveResourceModule(HINSTANCE hModule);
// The first module of the chain holding the resource; null when none does.
QUORFX_API HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);

QUORFX_API int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
QUORFX_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// A window class of the given look with the system's default procedure,
// registered once per combination under the program's instance. Null when
// the class cannot be registered (where the original design would throw).
QUORFX_API LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                       HICON hIcon = nullptr);
// Registers lpWndClass unless a class of that name exists for its instance;
// the framework unregisters it at the end of the process. A class of another
// module than the program's (a library's) is registered as a global class.
QUORFX_API BOOL AfxRegisterClass(WNDCLASSW* lpWndClass);

QUORFX_API BOOL AfxOleInit();                  // OLE for this thread, ended at exit
QUORFX_API void AfxEnableControlContainer();  // nothing to do: views host their controls themselves

// Connects pUnkSink to the connection point iid of pUnkSrc; *pdwCookie
// names the connection for AfxConnectionUnadvise. With bRefCount FALSE the
// connection holds no reference on the sink (a sink that is part of its
// owner would otherwise keep the owner alive). FALSE when any step fails.
QUORFX_API BOOL AfxConnectionAdvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                                    DWORD* pdwCookie);
QUORFX_API BOOL AfxConnectionUnadvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount,
                                      DWORD dwCookie);

// One pass of the message loop outside Run (modal loops, tests): gets a
// message, runs the PreTranslateMessage chain, dispatches. FALSE on WM_QUIT.
QUORFX_API BOOL AfxPumpMessage();
// The PreTranslateMessage chain alone: the application's PreTranslateMessage,
// whose default walks from the target window up through its parents (and a
// pop-up's owner). TRUE when a window consumed the message.
QUORFX_API BOOL AfxPreTranslateMessage(MSG* pMsg);
QUORFX_API void AfxDeleteTempMaps();

// The framework's entry point, called by the program's WinMain.
QUORFX_API int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
