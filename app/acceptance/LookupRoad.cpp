// The lookup road: a word typed into the search bar and Enter show the demo
// dictionary's entries, rendered through the shipped layout; the index word
// list stands on the word; Back and Forward go through the words looked up;
// Exit from the main menu ends the program, which keeps the history in
// "user.ini" of its folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/acceptance/Road.h"
#include "app/search/SearchRes.h"
#include "core/ConfigFile.h"

namespace acceptance {
namespace {

// The demo dictionary (Debian's English-German FreeDict, converted and
// installed by the build) and the section title it renders under.
constexpr wchar_t kDemoTitle[] = L"English-German (FreeDict)";

using LookupRoad = Road;

TEST_F(LookupRoad, TypedWordShowsTheDemoEntriesAndBackAndForwardReturnToThem) {
  MainWindow window = Window();
  std::string why;
  EXPECT_TRUE(LooksPainted(window.Frame(), why)) << "main window: " << why;
  HWND edit = window.SearchEdit();
  ASSERT_NE(edit, nullptr) << "no visible search edit";

  ASSERT_TRUE(window.LookUp(L"house")) << "the search edit did not take the typed word";
  std::wstring text;
  EXPECT_TRUE(window.WaitForPageText(L"Haus", text)) << "result page: " << Utf8(text);
  EXPECT_NE(text.find(kDemoTitle), std::wstring::npos) << "result page: " << Utf8(text);
  HWND page = window.ResultPage();
  ASSERT_NE(page, nullptr) << "no visible result page";
  EXPECT_TRUE(LooksPainted(page, why)) << "result page: " << why;
  Screenshot(L"house");

  // The word list stands on the word: one row down and back up from the
  // search edit (which hands those keys to the list) returns to it, each
  // row putting its word into the edit.
  ASSERT_TRUE(ClickToFocus(edit));
  PressKey(VK_DOWN);
  EXPECT_TRUE(WaitFor([edit] { return WindowText(edit) != L"house" && !WindowText(edit).empty(); }))
      << "Down left the search edit at " << Utf8(WindowText(edit));
  HWND list = window.WordList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  const std::wstring next = WindowText(edit);
  PressKey(VK_UP);
  EXPECT_TRUE(window.WaitForInput(L"house")) << "Up after Down (on " << Utf8(next) << ") left the search edit at "
                                             << Utf8(WindowText(edit));
  EXPECT_TRUE(LooksPainted(list, why)) << "word list: " << why;
  Screenshot(L"word-list");

  ASSERT_TRUE(window.LookUp(L"tree"));
  EXPECT_TRUE(window.WaitForPageText(L"Baum", text)) << "result page: " << Utf8(text);

  HWND back = window.Button(IDC_INPUT_BACK), forward = window.Button(IDC_INPUT_FORWARD);
  ASSERT_NE(back, nullptr);
  ASSERT_NE(forward, nullptr);
  Click(back);
  EXPECT_TRUE(window.WaitForInput(L"house")) << "after Back: " << Utf8(WindowText(edit));
  EXPECT_TRUE(window.WaitForPageText(L"Haus", text)) << "after Back: " << Utf8(text);
  EXPECT_EQ(text.find(L"Baum"), std::wstring::npos) << "after Back: " << Utf8(text);
  Click(forward);
  EXPECT_TRUE(window.WaitForInput(L"tree")) << "after Forward: " << Utf8(WindowText(edit));
  EXPECT_TRUE(window.WaitForPageText(L"Baum", text)) << "after Forward: " << Utf8(text);
  Screenshot(L"forward");

  ASSERT_TRUE(window.ChooseExit()) << "the main menu did not open";
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  CConfigFile state;
  ASSERT_TRUE(state.Load((Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  std::vector<std::wstring> history;
  state.GetStringList(L"App", L"SearchList", history);
  const std::vector<std::wstring> newestFirst = {L"\"tree\"", L"\"house\""};
  EXPECT_EQ(history, newestFirst) << Utf8(state.GetString(L"App", L"SearchList", L""));
}

}  // namespace
}  // namespace acceptance
