// The hard-kill road: Quorindo ended by TerminateProcess in the middle of
// writing what the user keeps, then started again from the same folder: the
// user state written at once when the history is cleared (a large state,
// written over and over, cut off at several moments). After each kill the
// program starts without a message and its user state holds every value it had.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/acceptance/Road.h"
#include "core/ConfigFile.h"
#include "core/FileUtil.h"
#include "core/TextCodec.h"

namespace acceptance {
namespace {

// The options' Clear history asks the main window with this page action to
// clear the history and write the user state at once.
constexpr UINT kPageAction = 2031;
constexpr WPARAM kClearHistory = 149;
// The user state is made large, so writing it takes long enough to be cut.
constexpr int kFillerKeys = 3000;
constexpr wchar_t kFillerSection[] = L"RoadFiller";
// Clear-history writes queued at once: the kill lands among them.
constexpr int kWritesQueued = 40;
// How long after the write is asked for the program is ended.
constexpr DWORD kKillDelaysMs[] = {30, 250, 700};

std::wstring FillerKey(int i) { return L"k" + std::to_wstring(i); }
std::wstring FillerValue(int i) { return L"value number " + std::to_wstring(i) + L" kept across a hard end"; }

class HardKillRoad : public Road {
 protected:
  void Prepare() override {
    CConfigFile state;
    const std::wstring path = Folder() + L"user.ini";
    if (IsFilePresent(path.c_str())) {
      ASSERT_TRUE(state.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0));
    }
    for (int i = 0; i < kFillerKeys; ++i) state.SetValue(kFillerSection, FillerKey(i).c_str(), FillerValue(i));
    ASSERT_TRUE(state.Save(path.c_str(), nullptr));
  }

  // Every value of the user state reads back from the file.
  void ExpectUserStateWhole(const char* when) {
    CConfigFile state;
    ASSERT_TRUE(state.Load((Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0))
        << when << ": user.ini does not read (" << GetFileSizeOf((Folder() + L"user.ini").c_str()) << " bytes)";
    int lost = 0;
    for (int i = 0; i < kFillerKeys; ++i)
      if (state.GetString(kFillerSection, FillerKey(i).c_str(), L"") != FillerValue(i)) ++lost;
    EXPECT_EQ(lost, 0) << when << ": values of the user state lost";
  }

  // Starts the program again from the folder it was ended in: it comes up
  // with no message about its settings or dictionaries.
  void Restart(const char* when) {
    std::string why;
    ASSERT_TRUE(program_.Start(Folder(), L"", why)) << when << ": " << why;
    EXPECT_EQ(DialogTexts(program_.Id()), L"") << when;
  }

  // Asks for the write, ends the program after each delay and starts it again.
  void KillInTheMiddle(const char* what, const std::function<void()>& write) {
    for (DWORD delay : kKillDelaysMs) {
      const std::string when = std::string(what) + ", ended after " + std::to_string(delay) + " ms";
      SCOPED_TRACE(when);
      write();
      if (HasFatalFailure()) return;
      Sleep(delay);  // the moment of the kill, not a wait for something
      program_.Terminate();
      ASSERT_FALSE(program_.IsRunning());
      ExpectUserStateWhole(when.c_str());
      Restart(when.c_str());
      if (HasFatalFailure()) return;
    }
  }
};

TEST_F(HardKillRoad, ClearingTheHistoryLosesNothingOfTheUserState) {
  KillInTheMiddle(
      "clearing the history",
      [&] {
        for (int i = 0; i < kWritesQueued; ++i)
          PostMessageW(program_.MainWindow(), kPageAction, kClearHistory, 0);
      });
  EXPECT_TRUE(Window().LookUp(L"house"));
  std::wstring text;
  EXPECT_TRUE(Window().WaitForPageText(L"Haus", text)) << Utf8(text);
}

}  // namespace
}  // namespace acceptance
