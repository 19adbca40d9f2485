#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grabhook/SehGuard.h"
#include "grabhook/TextOutPatcher.h"
#include "grabhook/tests/GrabTargetLines.h"

extern "C" __declspec(dllimport) void DrawWithTestModule(HDC dc);

namespace {

int g_fakeCalls;
BOOL WINAPI FakeTextOutW(HDC, int, int, LPCWSTR, int) {
  ++g_fakeCalls;
  return TRUE;
}

// A call of its own, so that the import slot is read at every call.
__attribute__((noinline)) void CallTextOutW(HDC dc) { TextOutW(dc, 0, 0, L"x", 1); }

HMODULE TestExe() { return GetModuleHandleW(nullptr); }
HMODULE TestModule() { return GetModuleHandleW(L"grabhook_testmod.dll"); }
void* Real(const char* name) { return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"gdi32.dll"), name)); }

TEST(FindImportDescriptor, FindsOnlyImportsOfRealImages) {
  EXPECT_NE(nullptr, FindImportDescriptor(TestExe(), "GDI32.DLL"));
  EXPECT_NE(nullptr, FindImportDescriptor(TestExe(), "gdi32.dll"));
  EXPECT_EQ(nullptr, FindImportDescriptor(TestExe(), "nosuch.dll"));
  EXPECT_EQ(nullptr, FindImportDescriptor(nullptr, "gdi32.dll"));
  EXPECT_EQ(nullptr, FindImportDescriptor(TestExe(), nullptr));
  std::vector<char> notImage(4096, 'M');
  notImage[1] = 'Z';  // "MZ" with a header offset far outside the buffer
  EXPECT_EQ(nullptr, FindImportDescriptor(notImage.data(), "gdi32.dll"));
  EXPECT_EQ(nullptr, FindImportSlot(TestExe(), "gdi32.dll", "NoSuchFunction"));
  EXPECT_EQ(nullptr, FindImportSlot(TestExe(), "gdi32.dll", ""));
}

TEST(PatchModuleImport, RedirectsTheModulesCallsUntilRestored) {
  HDC dc = GetDC(nullptr);
  ImportPatchLog log = {};
  void** slot = FindImportSlot(TestExe(), "gdi32.dll", "TextOutW");
  ASSERT_NE(nullptr, slot);
  EXPECT_EQ(Real("TextOutW"), *slot);
  // The first letter must match exactly, the rest in any case.
  EXPECT_FALSE(PatchModuleImport(TestExe(), "gdi32.dll", "textOutW", reinterpret_cast<void*>(&FakeTextOutW), &log));
  ASSERT_TRUE(PatchModuleImport(TestExe(), "gdi32.dll", "TEXTOUTW", reinterpret_cast<void*>(&FakeTextOutW), &log));
  EXPECT_EQ(1, log.count);
  g_fakeCalls = 0;
  CallTextOutW(dc);
  EXPECT_EQ(1, g_fakeCalls);
  RestoreImports(&log);
  EXPECT_EQ(0, log.count);
  EXPECT_EQ(Real("TextOutW"), *slot);
  CallTextOutW(dc);
  EXPECT_EQ(1, g_fakeCalls);
  EXPECT_FALSE(PatchModuleImport(TestExe(), "gdi32.dll", "TextOutW", nullptr, &log));
  EXPECT_FALSE(PatchModuleImport(TestExe(), "gdi32.dll", "NoSuchFunction", reinterpret_cast<void*>(&FakeTextOutW), &log));
  EXPECT_EQ(0, log.count);
  ReleaseDC(nullptr, dc);
}

TEST(CTextOutPatcher, GivesEachModuleItsOwnOriginalBack) {
  ASSERT_NE(nullptr, TestModule());
  void** exeSlot = FindImportSlot(TestExe(), "gdi32.dll", "TextOutW");
  void** moduleSlot = FindImportSlot(TestModule(), "gdi32.dll", "TextOutW");
  ASSERT_TRUE(exeSlot && moduleSlot);
  // Some other program has already redirected the test's own import.
  ImportPatchLog other = {};
  ASSERT_TRUE(PatchModuleImport(TestExe(), "gdi32.dll", "TextOutW", reinterpret_cast<void*>(&FakeTextOutW), &other));

  CTextOutPatcher patcher;
  ASSERT_TRUE(patcher.Install());
  EXPECT_FALSE(patcher.Install());
  EXPECT_EQ(reinterpret_cast<void*>(&TextOutWHook), *exeSlot);
  EXPECT_EQ(reinterpret_cast<void*>(&TextOutWHook), *moduleSlot);
  EXPECT_EQ(reinterpret_cast<void*>(&ExtTextOutAHook), *FindImportSlot(TestModule(), "gdi32.dll", "ExtTextOutA"));
  patcher.Uninstall();
  EXPECT_FALSE(patcher.IsInstalled());
  EXPECT_EQ(reinterpret_cast<void*>(&FakeTextOutW), *exeSlot);
  EXPECT_EQ(Real("TextOutW"), *moduleSlot);
  EXPECT_EQ(Real("ExtTextOutA"), *FindImportSlot(TestModule(), "gdi32.dll", "ExtTextOutA"));
  RestoreImports(&other);
  EXPECT_EQ(Real("TextOutW"), *exeSlot);

  // The replacements draw through GDI whatever the module held.
  HDC dc = GetDC(nullptr);
  DrawWithTestModule(dc);
  ReleaseDC(nullptr, dc);
}

// A window of this process that draws the target lines; a capture runs
// against it as the hook's timer would.
class InProcessCapture : public ::testing::Test {
 protected:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      DrawTargetLines(dc);
      EndPaint(window, &paint);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  // A popup with a title strip of its own above the client area (a window
  // with a system caption would wait for a window manager that Xvfb lacks).
  static LRESULT CALLBACK FramedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) {
      reinterpret_cast<RECT*>(lParam)->top += kTitleHeight;
      return 0;
    }
    if (message == WM_NCHITTEST) {
      RECT frame;
      GetWindowRect(window, &frame);
      return TitleY(lParam) < frame.top + kTitleHeight ? HTCAPTION : HTCLIENT;
    }
    if (message == WM_NCPAINT) {
      HDC dc = GetWindowDC(window);
      SetTextAlign(dc, TA_LEFT | TA_TOP);
      SetBkMode(dc, TRANSPARENT);
      TextOutW(dc, 6, 3, L"frame title", 11);
      ReleaseDC(window, dc);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  static constexpr int kTitleHeight = 20;
  static int TitleY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

  HWND Create(const wchar_t* className, DWORD style, WNDPROC proc = Proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", style, 200, 150, 500, 260, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    windows.push_back(window);
    return window;
  }

  void TearDown() override {
    for (HWND window : windows) DestroyWindow(window);
  }

  GrabTextResult CaptureAt(HWND window, POINT screen) {
    GrabTextResult result = {};
    result.hwnd = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(window));
    result.x = screen.x;
    result.y = screen.y;
    result.index = -1;
    EXPECT_TRUE(g_textOutPatcher.Install());
    g_textOutPatcher.Capture(&result);
    g_textOutPatcher.Uninstall();
    return result;
  }

  void ExpectEverySpot(HWND window, bool joined) {
    HDC dc = GetDC(window);
    std::vector<CharSpot> spots = MeasureTargetLines(dc);
    ReleaseDC(window, dc);
    ASSERT_FALSE(spots.empty());
    for (const CharSpot& spot : spots) {
      // The first, a middle and the last character of every run.
      int count = static_cast<int>(wcslen(kTargetLines[spot.line].runs[spot.run]));
      if (spot.index != 0 && spot.index != count / 2 && spot.index != count - 1) continue;
      POINT screen = spot.centre;
      ClientToScreen(window, &screen);
      GrabTextResult result = CaptureAt(window, screen);
      EXPECT_EQ(ExpectedText(spot, joined), std::wstring(result.text))
          << "line " << spot.line << " run " << spot.run << " char " << spot.index;
      EXPECT_EQ(ExpectedIndex(spot, joined), result.index)
          << "line " << spot.line << " run " << spot.run << " char " << spot.index;
      EXPECT_EQ(static_cast<int>(ExpectedText(spot, joined).size()), result.length);
    }
  }

  std::vector<HWND> windows;
};

TEST_F(InProcessCapture, PlainWindowGivesTheRunUnderTheCursor) {
  ExpectEverySpot(Create(kTargetPlainClass, WS_POPUP), false);
}

TEST_F(InProcessCapture, HtmlViewGivesTheWholeLine) {
  ExpectEverySpot(Create(kTargetHtmlClass, WS_POPUP), true);
}

TEST_F(InProcessCapture, NarrowTextAndEmptySpaceGiveNothing) {
  HWND window = Create(kTargetPlainClass, WS_POPUP);
  POINT spots[] = {{30, 240}, {250, 240}, {450, 20}, {5, 100}};
  for (POINT spot : spots) {
    ClientToScreen(window, &spot);
    GrabTextResult result = CaptureAt(window, spot);
    EXPECT_EQ(0, result.length);
    EXPECT_EQ(-1, result.index);
  }
}

TEST_F(InProcessCapture, CursorOverTheFrameRepaintsTheFrameStrip) {
  HWND window = Create(L"QuorindoGrabFramed", WS_POPUP, FramedProc);
  RECT frame;
  GetWindowRect(window, &frame);
  POINT onTitle = {frame.left + 6 + 2, frame.top + 9};
  ASSERT_NE(HTCLIENT, SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(onTitle.x, onTitle.y)));
  GrabTextResult result = CaptureAt(window, onTitle);
  EXPECT_EQ(std::wstring(L"frame title"), result.text);
  EXPECT_EQ(0, result.index);
}

// The thread's exception chain (fs:0), walked to see whose handlers are on it.
struct ChainFrame {
  ChainFrame* prev;
  void* handler;
};
ChainFrame* const kChainEnd = reinterpret_cast<ChainFrame*>(-1);

ChainFrame* ChainTop() {
  ChainFrame* frame;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(frame));
  return frame;
}

bool ChainHolds(void* handler) {
  for (ChainFrame* frame = ChainTop(); frame && frame != kChainEnd; frame = frame->prev)
    if (frame->handler == handler) return true;
  return false;
}

void* g_guardHandler;  // the handler of the library's guard, read off a guarded call's chain
int g_paints, g_guardedPaints;

class WatchedCapture : public InProcessCapture {
 protected:
  static LRESULT CALLBACK WatchedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
      ++g_paints;
      if (ChainHolds(g_guardHandler)) ++g_guardedPaints;
    }
    return Proc(window, message, wParam, lParam);
  }
};

// The capture runs inside the hook timer's guard and makes the window paint:
// the window's own code must run outside the guard, so that a fault of its
// own meets its own handlers and is not ended by the library.
TEST_F(WatchedCapture, TheWindowPaintsOutsideTheLibrarysGuard) {
  ASSERT_TRUE(RunGuarded([](void*) { g_guardHandler = ChainTop()->handler; }, nullptr));
  ASSERT_NE(nullptr, g_guardHandler);
  HWND window = Create(L"QuorindoGrabWatched", WS_POPUP, WatchedProc);
  HDC dc = GetDC(window);
  const CharSpot spot = MeasureTargetLines(dc).front();
  ReleaseDC(window, dc);
  struct Call {
    HWND window;
    POINT at;
    GrabTextResult result;
  } call = {window, spot.centre, {}};
  ClientToScreen(window, &call.at);
  call.result.hwnd = static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(window));
  call.result.x = call.at.x;
  call.result.y = call.at.y;
  g_paints = g_guardedPaints = 0;
  EXPECT_TRUE(RunGuarded(
      [](void* context) {
        GrabTextResult* result = &static_cast<Call*>(context)->result;
        if (!g_textOutPatcher.Install()) return;
        g_textOutPatcher.Capture(result);
        g_textOutPatcher.Uninstall();
      },
      &call));
  EXPECT_GE(g_paints, 1);
  EXPECT_EQ(0, g_guardedPaints);
  EXPECT_EQ(ExpectedText(spot, false), std::wstring(call.result.text));
}

TEST(CTextOutPatcher, CaptureNeedsTheImportsRedirected) {
  GrabTextResult result = {};
  result.length = 7;
  CTextOutPatcher patcher;
  EXPECT_FALSE(patcher.Capture(&result));
  EXPECT_EQ(7, result.length);
}

}  // namespace
