#include "grabhook/SehGuard.h"

#include <windows.h>

namespace {

// An exception registration record on the stack (the fs:0 chain of i386
// Windows), followed by the place to resume at when the guarded call faults.
struct GuardFrame {
  GuardFrame* prev;
  void* handler;
  void* resume[5];
};

constexpr DWORD kUnwindFlags = 0x2 | 0x4;  // unwinding, exit unwind

GuardFrame* CurrentFrame() {
  GuardFrame* frame;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(frame));
  return frame;
}

void SetCurrentFrame(GuardFrame* frame) { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(frame) : "memory"); }

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
  if (record->ExceptionFlags & kUnwindFlags) return ExceptionContinueSearch;
  // Warnings and informational codes (debug output, ...) are not faults.
  if ((record->ExceptionCode >> 30) != 3) return ExceptionContinueSearch;
  GuardFrame* frame = static_cast<GuardFrame*>(establisher);
  // Frames that the guarded call registered die with its stack.
  SetCurrentFrame(frame->prev);
  __builtin_longjmp(frame->resume, 1);
}

GuardFrame* const kChainEnd = reinterpret_cast<GuardFrame*>(-1);

bool IsGuardFrame(const GuardFrame* frame) {
  return frame && frame != kChainEnd && frame->handler == reinterpret_cast<void*>(&GuardHandler);
}

}  // namespace

bool RunGuarded(void (*fn)(void* context), void* context) {
  GuardFrame frame;
  frame.prev = CurrentFrame();
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  if (__builtin_setjmp(frame.resume)) return false;
  SetCurrentFrame(&frame);
  fn(context);
  SetCurrentFrame(frame.prev);
  return true;
}

void RunUnguarded(void (*fn)(void* context), void* context) {
  GuardFrame* top = CurrentFrame();
  // The library's own code registers no frames of its own: the guards it runs
  // in lie on top of the chain, and below them is the host's chain.
  GuardFrame* host = top;
  while (IsGuardFrame(host)) host = host->prev;
  SetCurrentFrame(host);
  fn(context);
  SetCurrentFrame(top);
}
