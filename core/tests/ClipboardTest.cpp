#include "core/Clipboard.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Another thread's window stands in for another program: it holds the
// clipboard open for hold_ms; the test's open starts once it is taken.
class ClipboardHeld {
 public:
  explicit ClipboardHeld(DWORD hold_ms)
      : taken_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), holder_([this, hold_ms] {
          HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
          if (window && OpenClipboard(window)) {
            SetEvent(taken_);
            Sleep(hold_ms);
            CloseClipboard();
          }
          SetEvent(taken_);
          if (window) DestroyWindow(window);
        }) {
    WaitForSingleObject(taken_, INFINITE);
  }
  ~ClipboardHeld() {
    holder_.join();
    CloseHandle(taken_);
  }

 private:
  HANDLE taken_;
  std::thread holder_;
};

TEST(Clipboard, OpenWaitsForAProgramThatHoldsItBriefly) {
  ClipboardHeld held(150);
  ASSERT_FALSE(OpenClipboard(nullptr)) << "the holder did not take the clipboard";
  EXPECT_TRUE(OpenClipboardPatiently(nullptr));
  CloseClipboard();
}

TEST(Clipboard, OpenGivesUpOnAClipboardHeldPastTheWait) {
  ClipboardHeld held(1500);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(OpenClipboardPatiently(nullptr, 200));
  EXPECT_LT(GetTickCount() - start, 1200u);
}

}  // namespace
