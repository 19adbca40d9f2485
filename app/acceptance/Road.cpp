#include "app/acceptance/Road.h"

#include <cstdio>
#include <vector>

namespace acceptance {

namespace {

std::wstring TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "-" + info->name() : "road";
  return std::wstring(name.begin(), name.end());
}

bool TrayFailed(const char* why) {
  ADD_FAILURE() << "tray: " << why;
  return false;
}

}  // namespace

HWND TrayIcon() {
  for (HWND tray : AnyTopWindows(L"__winex11_standalone_tray", true)) {
    std::vector<HWND> icons = Controls(tray, L"__winex11_tray_icon");
    if (!icons.empty()) return icons.back();
  }
  return nullptr;
}

bool Road::ChooseFromTray(int downs) {
  HWND icon = TrayIcon();
  if (!icon) return TrayFailed("no tray icon");
  RightClick(icon);
  if (!WaitFor([this] { return !TopWindows(program_.Id(), L"#32768", nullptr, true).empty(); }))
    return TrayFailed("no menu came");
  for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  return WaitFor([this] { return TopWindows(program_.Id(), L"#32768", nullptr, true).empty(); }) ||
         TrayFailed("the menu stayed");
}

void Road::SetUp() {
  std::string why;
  ASSERT_TRUE(copy_.Make(why)) << why;
  Prepare();
  ASSERT_TRUE(program_.Start(copy_.Folder(), Arguments(), why)) << why;
}

void Road::TearDown() {
  if (HasFailure()) Screenshot(L"failed");
  program_.Terminate();
  EXPECT_FALSE(program_.IsRunning()) << "Quorindo.exe is still running";
}

void Road::Screenshot(const std::wstring& name) {
  if (program_.IsRunning()) WaitForPainted(program_.Id());
  const std::wstring path = SaveScreenshot(TestName() + L"-" + name);
  EXPECT_FALSE(path.empty()) << "the screenshot " << Utf8(name) << " was not saved";
  std::printf("screenshot: %ls\n", path.c_str());
}

}  // namespace acceptance
