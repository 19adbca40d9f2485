#include "app/shell/QuorindoApp.h"

namespace {

using ActivateMouseHook = int(__stdcall*)(int on, HWND owner, HWND notify, UINT copyDataId, UINT moveMessage);
using SetGrabModeProc = int(__stdcall*)(int mode, int delayMs);
using SetClipboardModeProc = int(__stdcall*)(int mode);

constexpr UINT kGrabTextCopyData = 2027;  // WM_GRAB_TEXT
constexpr UINT kGrabMouseMove = 2026;     // WM_GRAB_MOUSEMOVE

// The hook library and its switch; the switch is non-null exactly while the
// library is loaded.
HMODULE g_hookModule = nullptr;
ActivateMouseHook g_activateHook = nullptr;

template <typename Proc>
Proc HookExport(const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(g_hookModule, name)));
}

}  // namespace

int CQuorindoApp::ActivateGrabHook(bool on) {
  if (!on) {
    if (!g_hookModule) return 0;
    int result = g_activateHook(0, nullptr, nullptr, 0, 0);
    FreeLibrary(g_hookModule);
    g_activateHook = nullptr;
    g_hookModule = nullptr;
    return result;
  }
  if (g_hookModule) return 0;
  g_hookModule = LoadLibraryW((m_programFolder + L"scrivet.dll").c_str());
  if (!g_hookModule) return 0;
  g_activateHook = HookExport<ActivateMouseHook>("gtActiveMouseHook");
  if (!g_activateHook) {
    FreeLibrary(g_hookModule);
    g_hookModule = nullptr;
    return 0;
  }
  return g_activateHook(1, CWnd::HwndOf(m_pMainWnd), m_hGrabNotifyWnd, kGrabTextCopyData, kGrabMouseMove);
}

int CQuorindoApp::SetGrabMode(int mode, int delayMs) {
  if (!g_hookModule) ActivateGrabHook(true);
  if (!g_hookModule) return 0;
  SetGrabModeProc setMode = HookExport<SetGrabModeProc>("gtSetGrabMode");
  return setMode ? setMode(mode, delayMs) : 0;
}

int CQuorindoApp::SetClipboardMode(int mode) {
  if (!g_hookModule) ActivateGrabHook(true);
  if (!g_hookModule) return 0;
  SetClipboardModeProc setMode = HookExport<SetClipboardModeProc>("gtSetClipboardMode");
  return setMode ? setMode(mode) : 0;
}
