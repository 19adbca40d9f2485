#include "app/acceptance/Road.h"

#include <cstdio>
#include <vector>

namespace acceptance {

namespace {

std::wstring TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "-" + info->name() : "road";
  // Parameterized roads are named Prefix/Suite.Case/Param: no folders.
  for (char& c : name)
    if (c == '/') c = '-';
  return std::wstring(name.begin(), name.end());
}

// The desktop as a failed road left it: who has the foreground, and every
// window on screen with its owner's process.
void PrintDesktop() {
  auto describe = [](HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const RECT r = ScreenRect(window);
    return Utf8(ClassOf(window) + L" \"" + WindowText(window) + L"\"") + " process " + std::to_string(process) +
           " at " + std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  };
  HWND foreground = GetForegroundWindow();
  std::printf("foreground: %s\n", foreground ? describe(foreground).c_str() : "none");
  for (HWND window : AnyTopWindows(nullptr, true)) std::printf("  window: %s\n", describe(window).c_str());
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
  // A program that shows its window adds the icon after the window is up.
  HWND icon = nullptr;
  if (!WaitFor([&] { return (icon = TrayIcon()) != nullptr; })) return TrayFailed("no tray icon");
  RightClickIcon(icon);
  if (!WaitFor([this] { return !TopWindows(program_.Id(), L"#32768", nullptr, true).empty(); }))
    return TrayFailed("no menu came");
  for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
  for (int i = 0; i > downs; --i) PressKey(VK_UP);
  PressKey(VK_RETURN);
  return WaitFor([this] { return TopWindows(program_.Id(), L"#32768", nullptr, true).empty(); }) ||
         TrayFailed("the menu stayed");
}

// The press activates Wine's tray window, which takes the X input focus from
// the program; the release asks the program for its menu. Pressed and
// released in one go, the focus may leave the program only after it has
// shown the menu, and a menu closes at once when its program loses the
// focus. So the release waits until the tray holds the foreground and the
// program has seen its window lose it.
void Road::RightClickIcon(HWND icon) {
  MouseButton(icon, MOUSEEVENTF_RIGHTDOWN);
  const HWND tray = GetAncestor(icon, GA_ROOT);
  const DWORD thread = GetWindowThreadProcessId(program_.MainWindow(), nullptr);
  WaitFor([&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetForegroundWindow() == tray && GetGUIThreadInfo(thread, &info) && !info.hwndActive;
  });
  MouseButton(icon, MOUSEEVENTF_RIGHTUP);
}

void Road::SetUp() {
  std::string why;
  ASSERT_TRUE(copy_.Make(why)) << why;
  Prepare();
  ASSERT_TRUE(program_.Start(copy_.Folder(), Arguments(), why)) << why;
}

void Road::TearDown() {
  if (HasFailure()) {
    Screenshot(L"failed");
    std::printf("Quorindo.exe is process %lu\n", static_cast<unsigned long>(program_.Id()));
    PrintDesktop();
  }
  program_.Terminate();
  EXPECT_FALSE(program_.IsRunning()) << "Quorindo.exe is still running";
  // Another start of the program in the copy (one that started itself again)
  // is a fault of the road or of the program; it must not outlive the road.
  const std::wstring others = EndProgramsIn(copy_.Folder());
  EXPECT_TRUE(others.empty()) << "still running in the copy, now ended:\n" << Utf8(others);
}

void Road::Screenshot(const std::wstring& name) {
  if (program_.IsRunning()) WaitForPainted(program_.Id());
  const std::wstring path = SaveScreenshot(TestName() + L"-" + name);
  EXPECT_FALSE(path.empty()) << "the screenshot " << Utf8(name) << " was not saved";
  std::printf("screenshot: %ls\n", path.c_str());
}

}  // namespace acceptance
