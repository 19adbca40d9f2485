#include <gtest/gtest.h>

#include "grabhook/SehGuard.h"
#include "grabhook/SharedGrabData.h"
#include "grabhook/tests/MutexThreads.h"

namespace {

// Names of this test's own, so that it never meets a running library.
constexpr const wchar_t* kMapping = L"QuorindoTest_GrabSharedData";
constexpr const wchar_t* kMutex = L"QuorindoTest_GrabMutex";

TEST(CSharedGrabData, ProcessesShareOneRecordZeroedOnlyWhenNew) {
  CSharedGrabData first;
  ASSERT_TRUE(first.Open(kMapping, kMutex));
  GrabSharedData* record = first.Lock();
  ASSERT_NE(nullptr, record);
  EXPECT_EQ(0u, record->mouseHook);
  record->delayMs = 123;
  first.Unlock();
  {
    CSharedGrabData second;
    ASSERT_TRUE(second.Open(kMapping, kMutex));
    EXPECT_EQ(123, second.GetView()->delayMs);
  }
  EXPECT_EQ(123, first.GetView()->delayMs);
  first.Close();
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(nullptr, first.GetView());
  EXPECT_EQ(nullptr, first.Lock());
  EXPECT_EQ(nullptr, first.GetResult());
}

TEST(CSharedGrabData, AnAbandonedMutexIsTakenAndGivenBack) {
  CSharedGrabData shared;
  ASSERT_TRUE(shared.Open(kMapping, kMutex));
  HANDLE mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kMutex);
  ASSERT_NE(nullptr, mutex);
  EXPECT_EQ(0u, RunThreadToEnd(AbandonMutex, mutex));
  GrabSharedData* record = shared.Lock();
  EXPECT_NE(nullptr, record);
  if (record) shared.Unlock();
  EXPECT_EQ(WAIT_OBJECT_0, RunThreadToEnd(TryTakeMutex, mutex));  // released, not left abandoned
  CloseHandle(mutex);
}

int g_ticks;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(CSharedGrabData, ThreadTimerIsReplacedAndStopped) {
  CSharedGrabData shared;
  ASSERT_TRUE(shared.Open(kMapping, kMutex));
  g_ticks = 0;
  TIMERPROC proc = CountTick;
  ASSERT_TRUE(shared.StartTimer(proc, 10000));
  ASSERT_TRUE(shared.StartTimer(proc, 1));
  Sleep(30);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_GE(g_ticks, 1);
  EXPECT_TRUE(shared.StopTimer());
  EXPECT_TRUE(shared.StopTimer());
}

TEST(GrabHooksAreOn, AHookOfAnOwnerWindowThatIsGoneCountsAsOff) {
  GrabSharedData data = {};
  EXPECT_FALSE(GrabHooksAreOn(data));
  data.mouseHook = 0x1234;
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  data.ownerWnd = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner));
  EXPECT_TRUE(GrabHooksAreOn(data));
  DestroyWindow(owner);
  EXPECT_FALSE(GrabHooksAreOn(data));
}

TEST(RunGuarded, AFaultEndsTheCallNotTheProcess) {
  static int reached;
  reached = 0;
  EXPECT_TRUE(RunGuarded([](void*) { ++reached; }, nullptr));
  EXPECT_FALSE(RunGuarded(
      [](void* context) {
        ++reached;
        *static_cast<volatile int*>(context) = 1;
        ++reached;
      },
      nullptr));
  EXPECT_EQ(2, reached);
  // Nested guards: the inner one takes its own fault, the outer call goes on.
  EXPECT_TRUE(RunGuarded(
      [](void*) {
        RunGuarded([](void*) { *static_cast<volatile int*>(nullptr) = 1; }, nullptr);
        ++reached;
      },
      nullptr));
  EXPECT_EQ(3, reached);
  // The thread's own exception handling still works afterwards.
  EXPECT_FALSE(IsBadReadPtr(nullptr, 4) == FALSE);
}

// A handler of "the program's own", registered on the thread's exception
// chain for a scope: it takes its own exception and lets the code go on.
constexpr DWORD kProgramException = 0xE0510001;  // an error code: the guard would end it
int g_programHandled;

EXCEPTION_DISPOSITION __cdecl ProgramHandler(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
  if (record->ExceptionCode != kProgramException) return ExceptionContinueSearch;
  ++g_programHandled;
  return ExceptionContinueExecution;
}

class ProgramHandlerScope {
 public:
  ProgramHandlerScope() {
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(prev_));
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(this) : "memory");
  }
  ~ProgramHandlerScope() { __asm__ __volatile__("movl %0, %%fs:0" : : "r"(prev_) : "memory"); }
  ProgramHandlerScope(const ProgramHandlerScope&) = delete;
  ProgramHandlerScope& operator=(const ProgramHandlerScope&) = delete;

 private:
  // The registration record: the first two words of the object.
  ProgramHandlerScope* prev_;
  void* handler_ = reinterpret_cast<void*>(&ProgramHandler);
};

TEST(RunUnguarded, TheProgramsCodeMeetsTheProgramsHandlers) {
  static int reached;
  reached = 0;
  g_programHandled = 0;
  ProgramHandlerScope program;  // below the library's guard, as a program's message loop would be
  EXPECT_TRUE(RunGuarded(
      [](void*) {
        RunUnguarded(
            [](void*) {
              RaiseException(kProgramException, 0, 0, nullptr);
              ++reached;  // the program took its exception and goes on
            },
            nullptr);
        ++reached;
        // Guarded again afterwards: a fault of the library's own is ended.
        RunGuarded([](void*) { *static_cast<volatile int*>(nullptr) = 1; }, nullptr);
        ++reached;
      },
      nullptr));
  EXPECT_EQ(1, g_programHandled);
  EXPECT_EQ(3, reached);
  // Outside any guard it is a plain call.
  RunUnguarded([](void*) { RaiseException(kProgramException, 0, 0, nullptr); }, nullptr);
  EXPECT_EQ(2, g_programHandled);
}

}  // namespace
