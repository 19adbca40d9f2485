// The library's entry point, its three exports, the two global hooks and the
// timer that runs a capture once the trigger has rested for the delay.
#include "grabhook/Scrivet.h"

#include "grabhook/SehGuard.h"
#include "grabhook/SharedGrabData.h"
#include "grabhook/TextOutPatcher.h"

namespace {

HINSTANCE g_module;
CSharedGrabData g_shared;

HWND ToWindow(uint32_t value) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value)); }
uint32_t FromHandle(const void* handle) { return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(handle)); }
HHOOK ToHook(uint32_t value) { return reinterpret_cast<HHOOK>(static_cast<UINT_PTR>(value)); }

bool IsMove(WPARAM message) { return message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE; }
bool IsMiddleDown(WPARAM message) { return message == WM_MBUTTONDOWN || message == WM_NCMBUTTONDOWN; }

bool TriggerRuleHolds(int mode, int modifier, WPARAM message, POINT point, const GrabSharedData& data) {
  bool newPoint = point.x != data.lastX || point.y != data.lastY;
  switch (mode) {
    case kGrabMouseRest: return IsMove(message) && newPoint;
    case kGrabMiddleButton: return IsMiddleDown(message);
    case kGrabShiftMove: return newPoint && modifier == VK_SHIFT;
    case kGrabCtrlMove: return newPoint && modifier == VK_CONTROL;
    default: return false;
  }
}

void CALLBACK GrabTimerProc(HWND, UINT, UINT_PTR, DWORD);

struct TriggerCall {
  GrabSharedData* data;
  int delayMs;
};

// Runs with the lock held (taken outside the guard, so that a fault cannot
// leave it held).
void RunTrigger(void* context) {
  GrabSharedData* data = static_cast<TriggerCall*>(context)->data;
  int delayMs = static_cast<TriggerCall*>(context)->delayMs;
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  HWND window = WindowFromPoint(cursor);
  if (!window) return;
  for (;;) {
    POINT local = cursor;
    ScreenToClient(window, &local);
    HWND child = RealChildWindowFromPoint(window, local);
    if (!child || child == window) break;
    window = child;
  }
  data->grabbedWnd = FromHandle(window);
  data->lastX = cursor.x;
  data->lastY = cursor.y;
  data->modifier = 0;
  GrabTextResult* result = g_shared.GetResult();
  result->hwnd = FromHandle(window);
  result->x = cursor.x;
  result->y = cursor.y;
  result->length = 0;
  result->text[0] = 0;
  result->index = -1;
  g_shared.StartTimer(GrabTimerProc, static_cast<UINT>(delayMs));
}

struct CaptureCall {
  GrabSharedData* data;
};

void RunCaptureAndSend(void* context) {
  GrabSharedData* data = static_cast<CaptureCall*>(context)->data;
  GrabTextResult* result = g_shared.GetResult();
  HWND window = ToWindow(result->hwnd);
  HWND notify = ToWindow(data->notifyWnd);
  // A tick that was on its way when the hooks were switched off sends nothing.
  if (data->mouseHook == 0) return;
  if (!IsWindow(window) || result->hwnd != data->grabbedWnd || !IsWindow(notify)) return;
  if (!g_textOutPatcher.Install()) return;
  g_textOutPatcher.Capture(result);
  g_textOutPatcher.Uninstall();
  if (result->length <= 0 || result->index == -1) return;
  COPYDATASTRUCT copy;
  copy.dwData = data->copyDataId;
  copy.cbData = sizeof(GrabTextResult);
  copy.lpData = result;
  DWORD_PTR answer;
  SendMessageTimeoutW(notify, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&copy),
                      SMTO_ABORTIFHUNG, static_cast<UINT>(data->delayMs), &answer);
}

void CALLBACK GrabTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  g_shared.StopTimer();
  CGrabLock lock(g_shared);
  if (!lock.get()) return;
  CaptureCall call = {lock.get()};
  if (!RunGuarded(RunCaptureAndSend, &call) && g_textOutPatcher.IsInstalled()) {
    RunGuarded([](void*) { g_textOutPatcher.Uninstall(); }, nullptr);
  }
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM lParam) {
  const GrabSharedData* data = g_shared.GetView();
  const MOUSEHOOKSTRUCT* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  if (data && data->mouseHook != 0 && code == HC_ACTION && mouse) {
    if (data->grabMode != kGrabOff && (IsMove(message) || IsMiddleDown(message))) {
      int delayMs = data->delayMs;
      if (TriggerRuleHolds(data->grabMode, data->modifier, message, mouse->pt, *data)) {
        g_shared.StopTimer();
        CGrabLock lock(g_shared);
        TriggerCall trigger = {lock.get(), delayMs};
        if (trigger.data) RunGuarded(RunTrigger, &trigger);
      }
    }
    if ((data->grabMode != kGrabOff || data->clipboardMode != 0) && IsMove(message)) {
      HWND notify = ToWindow(data->notifyWnd);
      if (IsWindowVisible(notify)) {
        PostMessageW(notify, data->moveMsg, reinterpret_cast<WPARAM>(mouse->hwnd), MAKELPARAM(mouse->pt.x, mouse->pt.y));
      }
    }
  }
  return CallNextHookEx(data ? ToHook(data->mouseHook) : nullptr, code, message, lParam);
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM key, LPARAM flags) {
  GrabSharedData* data = g_shared.GetView();
  if (data && code == HC_ACTION && (data->grabMode & 0xFF00) && (key == VK_SHIFT || key == VK_CONTROL)) {
    if (flags & 0x80000000) {
      data->modifier = 0;
    } else if (flags & 0x40000000) {
      data->modifier = static_cast<int32_t>(key);
    } else {
      data->modifier = static_cast<int32_t>(key);
      // The system answers with a mouse move at the resting cursor, so the
      // press alone can trigger.
      POINT cursor;
      if (GetCursorPos(&cursor)) SetCursorPos(cursor.x, cursor.y);
    }
  }
  return CallNextHookEx(data ? ToHook(data->keyboardHook) : nullptr, code, key, flags);
}

void RemoveQueuedTimers() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_module = instance;
      DisableThreadLibraryCalls(instance);
      return g_shared.Open() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      if (g_textOutPatcher.IsInstalled()) g_textOutPatcher.Uninstall();
      g_shared.Close();
      // A queued tick of the killed timer would call into the unloaded
      // library; at process exit no message is dispatched any more.
      if (!reserved) RemoveQueuedTimers();
      return TRUE;
    default:
      return TRUE;
  }
}

extern "C" int WINAPI gtActiveMouseHook(BOOL enable, HWND ownerWnd, HWND notifyWnd, UINT copyDataId, UINT moveMsg) {
  CGrabLock lock(g_shared);
  GrabSharedData* data = lock.get();
  if (!data) return 0;
  if (!enable) {
    if (data->mouseHook != 0) {
      // Hooks of a process that died went with it.
      if (GrabHooksAreOn(*data)) {
        UnhookWindowsHookEx(ToHook(data->mouseHook));
        UnhookWindowsHookEx(ToHook(data->keyboardHook));
      }
      data->mouseHook = 0;
      data->keyboardHook = 0;
    }
    return 1;
  }
  if (GrabHooksAreOn(*data)) return 0;
  data->ownerWnd = FromHandle(ownerWnd);
  data->notifyWnd = FromHandle(notifyWnd);
  data->copyDataId = copyDataId;
  data->moveMsg = moveMsg;
  data->grabMode = kGrabOff;
  data->delayMs = 300;
  data->clipboardMode = 0;
  data->grabbedWnd = 0;
  data->lastX = -1;
  data->lastY = -1;
  data->modifier = 0;
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE, MouseHookProc, g_module, 0);
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, g_module, 0);
  data->mouseHook = FromHandle(mouse);
  data->keyboardHook = FromHandle(keyboard);
  if (mouse && keyboard) return 1;
  if (mouse) UnhookWindowsHookEx(mouse);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  ZeroMemory(data, sizeof(*data));
  return 0;
}

extern "C" int WINAPI gtSetGrabMode(int mode, int delayMs) {
  CGrabLock lock(g_shared);
  GrabSharedData* data = lock.get();
  if (!data) return 0;
  data->grabMode = mode;
  data->delayMs = delayMs;
  return 1;
}

extern "C" int WINAPI gtSetClipboardMode(int mode) {
  CGrabLock lock(g_shared);
  GrabSharedData* data = lock.get();
  if (!data) return 0;
  data->clipboardMode = mode;
  return 1;
}
