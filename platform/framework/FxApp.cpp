#include <ocidl.h>
#include <ole2.h>
#include <shellapi.h>

#include "platform/framework/FxState.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

// ---- CCommandLineInfo --------------------------------------------------------

void CCommandLineInfo::ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL) {
    if (!bFlag && m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        m_nShellCommand = FileOpen;
    }
}

// ---- CWinApp -----------------------------------------------------------------

CWinApp::CWinApp(LPCWSTR lpszAppName) {
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    FxState().app = this;
}

CWinApp::~CWinApp() {
    if (FxState().app == this) FxState().app = nullptr;
}

void CWinApp::SetStartup(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow) {
    m_hInstance = hInstance;
    m_nCmdShow = nCmdShow;
    FxState().instance = hInstance;
    if (!lpCmdLine) {
        // The arguments are what follows the program name, quoted or not.
        const wchar_t* p = ::GetCommandLineW();
        if (*p == L'"') {
            for (++p; *p && *p != L'"'; ++p) {}
            if (*p) ++p;
        } else {
            while (*p && *p != L' ' && *p != L'\t') ++p;
        }
        while (*p == L' ' || *p == L'\t') ++p;
        m_strCmdLine = p;
    } else {
        m_strCmdLine = lpCmdLine;
    }
    m_lpCmdLine = m_strCmdLine.GetBuffer();
    if (!m_pszAppName) {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(hInstance, path, MAX_PATH);
        CString title(path);
        title = title.Mid(title.ReverseFind(L'\\') + 1);
        int dot = title.ReverseFind(L'.');
        m_strAppName = dot > 0 ? title.Left(dot) : title;
        m_pszAppName = m_strAppName;
    }
}

int CWinApp::ExitInstance() { return m_nExitCode; }

BOOL CWinApp::OnIdle(LONG lCount) {
    if (lCount == 0) FxDeleteTempMaps();
    return FALSE;
}

int CWinApp::Run() {
    for (;;) {
        MSG msg;
        for (LONG idle = 0; !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);) {
            if (!OnIdle(idle++)) break;
        }
        if (!AfxPumpMessage()) break;
    }
    m_nExitCode = FxState().quitCode;
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return FxWalkPreTranslateTree(pMsg); }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
    // The arguments are those of m_lpCmdLine, so that a program that empties
    // it (having taken a switch for itself) leaves nothing to parse. A dummy
    // program name goes first: the system parses the first word by other rules.
    if (!m_lpCmdLine || !*m_lpCmdLine) return;
    CString line = CString(L"program ") + m_lpCmdLine;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(line, &argc);
    if (!argv) return;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* arg = argv[i];
        BOOL bFlag = arg[0] == L'-' || arg[0] == L'/';
        rCmdInfo.ParseParam(bFlag ? arg + 1 : arg, bFlag, i == argc - 1);
    }
    ::LocalFree(argv);
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : L"";
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_pszAppName ? m_pszAppName : L"";
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEW(nIDResource)); }

HCURSOR CWinApp::LoadCursor(LPCWSTR lpszResourceName) const {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_GROUP_CURSOR);
    return hInst ? ::LoadCursorW(hInst, lpszResourceName) : nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_ICON);
    return hInst ? ::LoadIconW(hInst, MAKEINTRESOURCEW(nIDResource)) : nullptr;
}

// ---- The message loop ----------------------------------------------------------

BOOL FxWalkPreTranslateTree(MSG* pMsg) {
    // GetParent gives a pop-up's owner too: a modeless window's keys reach
    // the frame that owns it.
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    return FALSE;
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    CWinApp* app = AfxGetApp();
    return app ? app->PreTranslateMessage(pMsg) : FxWalkPreTranslateTree(pMsg);
}

BOOL AfxPumpMessage() {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        FxState().quitCode = got == 0 ? int(msg.wParam) : -1;
        return FALSE;
    }
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->SetStartup(hInstance, lpCmdLine, nCmdShow);
    int code;
    if (app->InitInstance()) {
        code = app->Run();
    } else {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        code = app->ExitInstance();
    }
    FxDeleteTempMaps();
    if (FxState().oleInitialized) ::OleUninitialize();
    return code;
}

// ---- Global services ---------------------------------------------------------

CWinApp* AfxGetApp() { return FxState().app; }

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    FxProcessState& state = FxState();
    if (!state.instance) state.instance = ::GetModuleHandleW(nullptr);
    return state.instance;
}

LPCWSTR AfxGetAppName() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pszAppName ? app->m_pszAppName : L"";
}

HINSTANCE AfxGetResourceHandle() {
    HINSTANCE resources = FxState().resources;
    return resources ? resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) { FxState().resources = hInstResource; }

void AfxAddResourceModule(HINSTANCE hModule) {
    auto& modules = FxState().resourceModules;
    for (HINSTANCE h : modules)
        if (h == hModule) return;
    modules.push_back(hModule);
}

void AfxRemoveResourceModule(HINSTANCE hModule) {
    auto& modules = FxState().resourceModules;
    for (auto it = modules.begin(); it != modules.end(); ++it) {
        if (*it == hModule) {
            modules.erase(it);
            return;
        }
    }
}

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType) {
    FxProcessState& state = FxState();
    HINSTANCE program = AfxGetResourceHandle();
    if (::FindResourceW(program, lpszName, lpszType)) return program;
    for (HINSTANCE h : state.resourceModules)
        if (::FindResourceW(h, lpszName, lpszType)) return h;
    if (state.framework && ::FindResourceW(state.framework, lpszName, lpszType)) return state.framework;
    return nullptr;
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT) {
    HWND owner = ::GetActiveWindow();
    if (!owner) owner = CWnd::HwndOf(AfxGetMainWnd());
    if (owner && !::IsWindowVisible(owner)) owner = nullptr;
    return ::MessageBoxW(owner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, 0);
}

BOOL AfxRegisterClass(WNDCLASSW* lpWndClass) {
    // A library's class is made global: the program's dialog templates and
    // CreateEx name it with the program's instance, under which the system
    // would not find a class local to the library.
    if (lpWndClass->hInstance && lpWndClass->hInstance != AfxGetInstanceHandle())
        lpWndClass->style |= CS_GLOBALCLASS;
    WNDCLASSW existing;
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing)) return TRUE;
    ATOM atom = ::RegisterClassW(lpWndClass);
    if (!atom) return FALSE;
    FxState().registeredClasses.emplace_back(atom, lpWndClass->hInstance);
    return TRUE;
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    HINSTANCE hInst = AfxGetInstanceHandle();
    wchar_t name[96];
    wsprintfW(name, L"Qfx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle, static_cast<void*>(hCursor),
              static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    WNDCLASSW wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!AfxRegisterClass(&wc)) return nullptr;
    return FxState().classNames.insert(name).first->c_str();
}

BOOL AfxOleInit() {
    FxProcessState& state = FxState();
    if (state.oleInitialized) return TRUE;
    state.oleInitialized = SUCCEEDED(::OleInitialize(nullptr));
    return state.oleInitialized;
}

void AfxEnableControlContainer() {}

// The connection point iid of pUnkSrc, with a reference; null when it has none.
static IConnectionPoint* FindConnectionPoint(IUnknown* pUnkSrc, REFIID iid) {
    if (!pUnkSrc) return nullptr;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(pUnkSrc->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) ||
        !container)
        return nullptr;
    IConnectionPoint* point = nullptr;
    if (FAILED(container->FindConnectionPoint(iid, &point))) point = nullptr;
    container->Release();
    return point;
}

BOOL AfxConnectionAdvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount, DWORD* pdwCookie) {
    if (!pUnkSink || !pdwCookie) return FALSE;
    IConnectionPoint* point = FindConnectionPoint(pUnkSrc, iid);
    if (!point) return FALSE;
    bool ok = SUCCEEDED(point->Advise(pUnkSink, pdwCookie));
    point->Release();
    if (ok && !bRefCount) pUnkSink->Release();
    return ok;
}

BOOL AfxConnectionUnadvise(IUnknown* pUnkSrc, REFIID iid, IUnknown* pUnkSink, BOOL bRefCount, DWORD dwCookie) {
    if (!pUnkSink) return FALSE;
    IConnectionPoint* point = FindConnectionPoint(pUnkSrc, iid);
    if (!point) return FALSE;
    // The source releases the sink on Unadvise: give back the reference
    // that Advise did not keep.
    if (!bRefCount) pUnkSink->AddRef();
    bool ok = SUCCEEDED(point->Unadvise(dwCookie));
    if (!ok && !bRefCount) pUnkSink->Release();
    point->Release();
    return ok;
}
