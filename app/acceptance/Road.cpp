#include "app/acceptance/Road.h"

#include <cstdio>

namespace acceptance {

namespace {

std::wstring TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "-" + info->name() : "road";
  return std::wstring(name.begin(), name.end());
}

}  // namespace

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
