// What the dictionary dialog tests share: a sandbox host with its texts and
// a small set of installed dictionaries made by the dictionary writer, a
// manager the dialogs use in place of the application's, message boxes that
// answer from a queue, a main window that records what is posted to it, and
// a pump that runs the message loop until a condition holds.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dict/DictManager.h"
#include "dict/tests/DictTestKit.h"
#include "platform/framework/Quorfx.h"

namespace dlgtest {

constexpr uint32_t kBase = 0x100;     // the fixed dictionary: index and grab allowed
constexpr uint32_t kTwoGls = 0x200;   // two glossaries, index and grab allowed, flag 5
constexpr uint32_t kOnline = 0x300;   // online (bit 2), neither index nor grab
constexpr uint32_t kPermanent = 0x400;  // bit 7: cannot be uninstalled; grab only
constexpr uint32_t kMarkup = 0x500;     // texts that look like markup; installed by InstallMarkupDict

// The texts of the kMarkup dictionary, as the pages must show them.
extern const wchar_t kMarkupTitle[];
extern const wchar_t kMarkupAuthor[];
extern const wchar_t kMarkupGlossary[];
extern const wchar_t kMarkupDate[];

struct Box {
  std::wstring text, caption;
  UINT type;
};

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Answers and records every message box the code under test shows.
class MessageBoxes {
 public:
  MessageBoxes();
  ~MessageBoxes();
  std::deque<int> answers;  // IDYES... in order; IDOK when empty
  std::vector<Box> shown;
};

// Runs the message loop until done() or the time is up; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);
void PumpPending();
// The interface font the dialogs take from now on; null: the default GUI font.
void SetDialogFont(HFONT font);

// Closes the first dialog of this thread whose caption is caption (or any
// dialog but those excluded, with a null caption) by sending it command id,
// from a thread timer, while a modal loop runs.
void CloseDialogLater(const wchar_t* caption, UINT command, UINT delayMs = 50);
void CancelCloseDialog();
// A top-level window of this thread that has a child with that control id.
HWND FindThreadDialogWith(UINT controlId);
// Whether CloseDialogLater found and closed its dialog.
bool DialogWasClosed();
// The text of the closed dialog's child control, read just before closing.
std::wstring ClosedDialogText(UINT id);

class DictDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Builds a dictionary file by the writer (not installed).
  std::wstring Build(uint32_t id, const std::wstring& fields, const std::wstring& options = L"",
                     const std::wstring& name = L"");
  // Installs kMarkup (index and grab allowed) into the manager's groups.
  void InstallMarkupDict();
  // Reloads the configuration into a fresh manager, as the next start would.
  std::unique_ptr<CDictManager> Reload();
  std::vector<uint32_t> Ids(CDictManager& manager, int32_t kind);
  std::vector<Posted> PostedToMain(UINT message);

  CTestHost host_;
  CDictManager manager_;
  MessageBoxes boxes_;
  CWnd main_;
  std::vector<Posted> posted_;
};

}  // namespace dlgtest
