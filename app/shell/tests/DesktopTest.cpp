// The clipboard and the topmost splash window: run alone on the desktop.
#include <gtest/gtest.h>

#include <thread>

#include "app/shell/AppServices.h"
#include "app/shell/SplashWnd.h"
#include "app/shell/tests/ShellTestKit.h"
#include "core/BmpImage.h"
#include "core/FileUtil.h"

namespace {

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(not opened)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

TEST(ClipboardTest, TextGoesOnTheClipboardInTheAnsiCodePage) {
  EXPECT_TRUE(CopyTextToClipboard(L"Caf\x00E9 au lait", nullptr));
  EXPECT_EQ(ClipboardText(), "Caf\xE9 au lait");
  EXPECT_TRUE(CopyTextToClipboard(L"", nullptr));
  EXPECT_EQ(ClipboardText(), "");
  EXPECT_TRUE(CopyTextToClipboard(nullptr, nullptr));
}

TEST(ClipboardTest, AClipboardHeldByAnotherWindowFails) {
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(CopyTextToClipboard(L"kept", nullptr));
  ASSERT_TRUE(OpenClipboard(other));
  // The clipboard is open for this thread already: a second open by the same
  // thread succeeds on Windows, so the hold is checked from another thread.
  bool copied = true;
  std::thread([&copied] { copied = CopyTextToClipboard(L"lost", nullptr); }).join();
  CloseClipboard();
  DestroyWindow(other);
  EXPECT_FALSE(copied);
  EXPECT_EQ(ClipboardText(), "kept");
}

class SplashTest : public ::testing::Test {
 protected:
  SplashTest() : sandbox(L"splash") {
    sandbox.app.m_imageFolder = sandbox.folder + L"image\\";
    CreateDirectoryPath(sandbox.app.m_imageFolder.c_str());
  }
  void WriteSplash(int width, int height) {
    Veltra::COImage image;
    ASSERT_TRUE(image.CreateFilled(width, height, 72.0, 0xFF3060A0, 0));
    CBmpImage bmp;
    ASSERT_TRUE(bmp.WriteFile((sandbox.app.m_imageFolder + L"splash.bmp").c_str(), &image, 0));
  }
  AppSandbox sandbox;
};

TEST_F(SplashTest, WithoutTheBitmapThereIsNoSplash) {
  EXPECT_FALSE(sandbox.app.ShowSplash());
  EXPECT_EQ(sandbox.app.m_pSplash, nullptr);
  EXPECT_EQ(FindWindowW(L"Talvane_Splash", nullptr), nullptr);
  sandbox.app.CloseSplash();
}

TEST_F(SplashTest, TheBitmapIsShownCentredOnTopWithoutATaskbarButton) {
  WriteSplash(120, 80);
  ASSERT_TRUE(sandbox.app.ShowSplash());
  ASSERT_NE(sandbox.app.m_pSplash, nullptr);
  HWND window = sandbox.app.m_pSplash->m_hWnd;
  ASSERT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  EXPECT_STREQ(cls, L"Talvane_Splash");
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
  RECT rc;
  GetWindowRect(window, &rc);
  EXPECT_EQ(rc.right - rc.left, 120);
  EXPECT_EQ(rc.bottom - rc.top, 80);
  const int screenX = GetSystemMetrics(SM_CXSCREEN), screenY = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(rc.left, (screenX - 120) / 2, 1);
  EXPECT_NEAR(rc.top, (screenY - 80) / 2, 1);
  EXPECT_EQ(sandbox.app.m_pSplash->GetImage().GetWidth(), 120);
  // Painted at once, with no message pumped: start-up runs before the message loop.
  HDC dc = GetDC(window);
  EXPECT_EQ(GetPixel(dc, 60, 40), RGB(0x30, 0x60, 0xA0));
  ReleaseDC(window, dc);

  // A second splash replaces the first; closing it destroys the window.
  ASSERT_TRUE(sandbox.app.ShowSplash());
  EXPECT_FALSE(IsWindow(window));
  window = sandbox.app.m_pSplash->m_hWnd;
  sandbox.app.ExitInstance();
  EXPECT_EQ(sandbox.app.m_pSplash, nullptr);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
