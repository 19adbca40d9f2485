#include <gtest/gtest.h>

#include <cstdio>

#include "app/shell/tests/FakeScrivetLog.h"
#include "app/shell/tests/ShellTestKit.h"

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

class HookBindingTest : public ::testing::Test {
 protected:
  HookBindingTest() : folder(MakeSandbox(L"hook")) {
    char address[32];
    std::snprintf(address, sizeof(address), "%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(&log)));
    SetEnvironmentVariableA("FAKE_SCRIVET_LOG", address);
    app.m_programFolder = folder;
    app.m_hGrabNotifyWnd = reinterpret_cast<HWND>(0x1234);
  }
  ~HookBindingTest() override {
    app.ActivateGrabHook(false);
    SetEnvironmentVariableA("FAKE_SCRIVET_LOG", nullptr);
    RemoveSandbox(folder);
  }
  void Install(const wchar_t* variant) {
    std::wstring source = ProgramFolder() + L"app_shell_fakescrivet_" + variant + L".dll";
    ASSERT_TRUE(CopyFileW(source.c_str(), (folder + L"scrivet.dll").c_str(), FALSE));
  }

  FakeScrivetLog log;
  std::wstring folder;
  CQuorindoApp app;
};

TEST_F(HookBindingTest, WithoutTheLibraryEverySetterFails) {
  EXPECT_EQ(app.SetGrabMode(1, 300), 0);
  EXPECT_EQ(app.SetClipboardMode(1), 0);
  EXPECT_EQ(app.ActivateGrabHook(false), 0);
  // Tried again at the next call: now it is there.
  Install(L"full");
  EXPECT_EQ(app.SetGrabMode(1, 300), 1);
  EXPECT_EQ(log.loads, 1);
}

TEST_F(HookBindingTest, TheLibraryLoadsOnceAndTheHooksAreAskedForOnce) {
  Install(L"full");
  EXPECT_EQ(log.loads, 0);  // nothing is loaded before a mode is set
  EXPECT_EQ(app.SetGrabMode(512, 250), 1);
  EXPECT_EQ(log.grabMode, 512);
  EXPECT_EQ(log.grabDelay, 250);
  EXPECT_EQ(app.SetGrabMode(0, 250), 1);
  EXPECT_EQ(app.SetGrabMode(1, 300), 1);
  EXPECT_EQ(app.SetClipboardMode(1), 1);
  EXPECT_EQ(log.clipboardMode, 1);
  EXPECT_EQ(app.ActivateGrabHook(true), 0);  // already loaded: nothing happens
  EXPECT_EQ(log.loads, 1);
  ASSERT_EQ(log.activateCount, 1);
  const FakeScrivetCall& on = log.activate[0];
  EXPECT_EQ(on.on, 1);
  EXPECT_EQ(on.owner, nullptr);  // no main window in this test
  EXPECT_EQ(on.notify, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(on.copyDataId, 2027u);
  EXPECT_EQ(on.moveMsg, 2026u);
}

TEST_F(HookBindingTest, SwitchingOffCallsTheHookWithZerosThenUnloads) {
  Install(L"full");
  log.activateResult = 1;
  ASSERT_EQ(app.SetClipboardMode(1), 1);
  log.activateResult = 7;
  EXPECT_EQ(app.ActivateGrabHook(false), 7);
  ASSERT_EQ(log.activateCount, 2);
  const FakeScrivetCall& off = log.activate[1];
  EXPECT_EQ(off.on, 0);
  EXPECT_EQ(off.owner, nullptr);
  EXPECT_EQ(off.notify, nullptr);
  EXPECT_EQ(off.copyDataId, 0u);
  EXPECT_EQ(off.moveMsg, 0u);
  EXPECT_EQ(off.unloadsBefore, 0);  // before FreeLibrary
  EXPECT_EQ(log.unloads, 1);
  EXPECT_EQ(app.ActivateGrabHook(false), 0);
  EXPECT_EQ(log.activateCount, 2);
  // Loaded again on the next setter.
  EXPECT_EQ(app.SetGrabMode(1, 100), 1);
  EXPECT_EQ(log.loads, 2);
}

TEST_F(HookBindingTest, AFailedHookInstallationKeepsTheLibrary) {
  Install(L"full");
  log.activateResult = 0;
  EXPECT_EQ(app.ActivateGrabHook(true), 0);
  EXPECT_EQ(app.SetGrabMode(1, 300), 1);
  EXPECT_EQ(log.activateCount, 1);  // not retried while loaded
  EXPECT_EQ(log.unloads, 0);
}

TEST_F(HookBindingTest, ALibraryWithoutTheSwitchIsUnloadedAtOnce) {
  Install(L"noswitch");
  EXPECT_EQ(app.SetGrabMode(1, 300), 0);
  EXPECT_EQ(log.loads, 1);
  EXPECT_EQ(log.unloads, 1);
  EXPECT_EQ(log.grabModeCalls, 0);
  EXPECT_EQ(app.SetClipboardMode(1), 0);
  EXPECT_EQ(log.loads, 2);
  EXPECT_EQ(log.unloads, 2);
}

TEST_F(HookBindingTest, ALibraryWithoutTheSettersStaysLoaded) {
  Install(L"switchonly");
  EXPECT_EQ(app.SetGrabMode(1, 300), 0);
  EXPECT_EQ(app.SetClipboardMode(1), 0);
  EXPECT_EQ(log.loads, 1);
  EXPECT_EQ(log.unloads, 0);
  EXPECT_EQ(log.activateCount, 1);
}

}  // namespace
