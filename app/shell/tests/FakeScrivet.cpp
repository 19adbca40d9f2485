// A stand-in for the hook library: records each call in a log whose address
// the test passes in the environment variable FAKE_SCRIVET_LOG.
#include <windows.h>

#include <cstdlib>

#include "app/shell/tests/FakeScrivetLog.h"

namespace {

FakeScrivetLog* Log() {
  static FakeScrivetLog* log = [] {
    char text[32] = {};
    if (!GetEnvironmentVariableA("FAKE_SCRIVET_LOG", text, sizeof(text))) return static_cast<FakeScrivetLog*>(nullptr);
    return reinterpret_cast<FakeScrivetLog*>(std::strtoul(text, nullptr, 16));
  }();
  return log;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH && Log()) ++Log()->loads;
  if (reason == DLL_PROCESS_DETACH && Log()) ++Log()->unloads;
  return TRUE;
}

extern "C" {

#if defined(FAKE_SCRIVET_FULL) || defined(FAKE_SCRIVET_SWITCHONLY)
__declspec(dllexport) int WINAPI gtActiveMouseHook(int on, HWND owner, HWND notify, UINT copyDataId, UINT moveMsg) {
  FakeScrivetLog* log = Log();
  if (!log) return 0;
  FakeScrivetCall& call = log->activate[log->activateCount++ % 8];
  call = {on, owner, notify, copyDataId, moveMsg, log->unloads};
  return log->activateResult;
}
#endif

#if defined(FAKE_SCRIVET_FULL) || defined(FAKE_SCRIVET_NOSWITCH)
__declspec(dllexport) int WINAPI gtSetGrabMode(int mode, int delayMs) {
  FakeScrivetLog* log = Log();
  if (!log) return 0;
  log->grabMode = mode;
  log->grabDelay = delayMs;
  ++log->grabModeCalls;
  return 1;
}

__declspec(dllexport) int WINAPI gtSetClipboardMode(int mode) {
  FakeScrivetLog* log = Log();
  if (!log) return 0;
  log->clipboardMode = mode;
  ++log->clipboardModeCalls;
  return 1;
}
#endif
}
