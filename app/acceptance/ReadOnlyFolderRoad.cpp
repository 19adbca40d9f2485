// The read-only road: Quorindo installed where the user may not write. The
// program folder is a copy of the shipped folder that nobody may change
// (ReadOnlyFolderRoad.sh makes it so before the road and names it in
// QUORINDO_READONLY_FOLDER). The program starts, looks words up, and says
// which file it cannot save: the options at OK, its state at exit. It ends
// as its Exit ends it.
#include <gtest/gtest.h>

#include <string>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/acceptance/SoakKit.h"

namespace acceptance {
namespace {

class ReadOnlyFolderRoad : public Road {
 protected:
  ReadOnlyFolderRoad() {
    wchar_t folder[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"QUORINDO_READONLY_FOLDER", folder, MAX_PATH);
    if (n > 0 && n < MAX_PATH) copy_.Adopt(folder);
  }

  void SetUp() override {
    if (Folder().empty()) GTEST_SKIP() << "no read-only folder: ReadOnlyFolderRoad.sh runs this road";
    Road::SetUp();
  }

  // Waits for a message box of the program whose text holds `part` and
  // closes it with its OK button; false when none came.
  bool AcknowledgeBox(const wchar_t* part, const wchar_t* screenshot) {
    HWND box = nullptr;
    const bool shown = WaitFor([&] {
      for (HWND dialog : TopWindows(program_.Id(), L"#32770", nullptr, true)) {
        if (DialogTexts(program_.Id()).find(part) != std::wstring::npos && DialogItem(dialog, IDOK) &&
            !DialogItem(dialog, IDCANCEL))
          box = dialog;
      }
      return box != nullptr;
    });
    if (!shown) {
      ADD_FAILURE() << "no message naming " << Utf8(part) << "; the program shows: " << Utf8(DialogTexts(program_.Id()));
      return false;
    }
    Screenshot(screenshot);
    Click(DialogItem(box, IDOK));
    return WaitUntilGone(box);
  }
};

TEST_F(ReadOnlyFolderRoad, StartsLooksUpAndSaysWhatItCannotSave) {
  HANDLE probe = CreateFileW((Folder() + L"probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) CloseHandle(probe);
  ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << "the program folder can be written";

  // The start is complete with the tray icon, and nothing was asked or told.
  ASSERT_TRUE(WaitFor([] { return TrayIcon() != nullptr; })) << "no tray icon";
  EXPECT_EQ(Utf8(DialogTexts(program_.Id())), "");

  MainWindow window = Window();
  ASSERT_TRUE(window.LookUp(L"house"));
  std::wstring page;
  EXPECT_TRUE(window.WaitForPageText(L"a building in which people live", page)) << Utf8(page.substr(0, 300));
  ASSERT_TRUE(window.LookUp(L"tree"));
  EXPECT_TRUE(window.WaitForPageText(L"Baum", page)) << Utf8(page.substr(0, 300));

  // OK in the options applies them and names the file they cannot go to.
  HWND options = OpenFromMainMenu(window, kMenuConfiguration);
  ASSERT_NE(options, nullptr) << "the options did not open";
  Click(DialogItem(options, IDOK));
  EXPECT_TRUE(AcknowledgeBox(L"config.ini", L"options"));
  EXPECT_TRUE(WaitUntilGone(options));

  // Exit names the state file and ends the program.
  ASSERT_TRUE(window.ChooseExit());
  EXPECT_TRUE(AcknowledgeBox(L"user.ini", L"exit"));
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  EXPECT_EQ(program_.ExitCode(), 0u);
}

}  // namespace
}  // namespace acceptance
