// The lookup road: a word typed into the search bar and Enter show the demo
// dictionary's entries, rendered through the shipped layout; the index word
// list stands on the word; Back and Forward go through the words looked up;
// Exit from the main menu ends the program, which keeps the history in
// "user.ini" of its folder.
#include <gtest/gtest.h>

#include <algorithm>
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

// Words looked up one right after the other, as fast as the road goes: each
// lookup hands the focus to the result page, and the next click into the
// search bar follows at once. That click must come as a click of its own:
// the second half of a double click leaves the focus on the page.
TEST_F(LookupRoad, WordsLookedUpOneRightAfterTheOtherEachReachTheSearchEdit) {
  MainWindow window = Window();
  HWND edit = window.SearchEdit();
  ASSERT_NE(edit, nullptr);
  for (const wchar_t* word : {L"house", L"tree", L"water", L"dog"}) {
    ASSERT_TRUE(window.LookUp(word)) << "the search edit did not take " << Utf8(word) << "; it holds "
                                     << Utf8(WindowText(edit)) << ", the focus is on "
                                     << Utf8(ClassOf(FocusOf(window.Frame())));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(window.Frame()) != edit; }))
        << "the lookup of " << Utf8(word) << " left the focus in the search edit";
  }
  std::wstring text;
  EXPECT_TRUE(window.WaitForPageText(L"Hund", text)) << "result page: " << Utf8(text);
}

// The lines of a copied page that hold text.
std::vector<std::wstring> NonEmptyLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    if (text.find_first_not_of(L" \t", start) < end) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Whether the layout the copy ships with holds a piece of page (an element id,
// a kind of link): the checks of what the data does not give yet are skipped.
bool LayoutHas(const std::wstring& folder, const std::wstring& piece) {
  for (const wchar_t* name : {L"layout.cfg", L"layout_def.cfg"})
    if (FileText(folder + L"dict\\" + name).find(piece) != std::wstring::npos) return true;
  return false;
}

// Where the first match of a text stands on the page: found with the view
// bar's Find, which selects it and brings it into view, then the selection's
// colour sought on the screen.
bool FindOnScreen(MainWindow& window, const std::wstring& text, RECT& found) {
  if (!window.FindInPage(text)) return false;
  const COLORREF selection = GetSysColor(COLOR_HIGHLIGHT);
  const uint32_t rgb = GetRValue(selection) << 16 | GetGValue(selection) << 8 | GetBValue(selection);
  std::vector<RECT> bands;
  if (!WaitFor([&] { return !(bands = ColourBands(window.ResultPage(), rgb, 4)).empty(); })) return false;
  found = bands.front();
  return true;
}

// A cross-reference link ("see: trees, ...") looks its word up; Back returns
// to the word before it and Forward to the linked one again.
TEST_F(LookupRoad, CrossReferenceLinkLooksUpItsWordAndBackAndForwardFollow) {
  if (!LayoutHas(Folder(), L"\"dict://headword/"))
    GTEST_SKIP() << "the shipped layout renders cross-references without links";
  MainWindow window = Window();
  ASSERT_TRUE(window.LookUp(L"tree"));
  std::wstring text;
  ASSERT_TRUE(window.WaitForPageText(L"Baum", text)) << "result page: " << Utf8(text);
  HWND page = window.ResultPage();
  ASSERT_NE(page, nullptr);
  const std::vector<std::wstring> lines = NonEmptyLines(text);
  size_t see = lines.size();
  for (size_t i = 0; i < lines.size() && see == lines.size(); ++i)
    if (lines[i].rfind(L"see: ", 0) == 0) see = i;
  ASSERT_LT(see, lines.size()) << "no cross-reference on the page:\n" << Utf8(text);
  // The first word after "see: " is the first cross-reference.
  const std::wstring target = lines[see].substr(5, lines[see].find_first_of(L", ", 5) - 5);

  RECT label = {};
  ASSERT_TRUE(FindOnScreen(window, L"see:", label)) << "the page's Find did not show \"see:\"";
  RECT client = {};
  GetClientRect(page, &client);
  const RECT rest = {label.right + 1, label.top, client.right, label.bottom};
  const std::vector<RECT> words = InkWords(page, rest);
  ASSERT_FALSE(words.empty()) << "nothing right of \"see:\" on the screen";
  const int x = (words[0].left + words[0].right) / 2, y = (words[0].top + words[0].bottom) / 2;
  MoveMouse(page, x, y);
  Screenshot(L"link");
  Click(page, x, y);
  auto showsTarget = [&] {
    text = window.PageText();
    return NonEmptyLines(text).size() > 1 && NonEmptyLines(text)[1].rfind(target, 0) == 0;
  };
  EXPECT_TRUE(window.WaitForInput(target)) << "after the link: " << Utf8(WindowText(window.SearchEdit()));
  EXPECT_TRUE(WaitFor(showsTarget)) << "after the link to " << Utf8(target) << ": " << Utf8(text);
  Screenshot(L"linked");

  Click(window.Button(IDC_INPUT_BACK));
  EXPECT_TRUE(window.WaitForInput(L"tree")) << "after Back: " << Utf8(WindowText(window.SearchEdit()));
  EXPECT_TRUE(window.WaitForPageText(L"Baum", text)) << "after Back: " << Utf8(text);
  Click(window.Button(IDC_INPUT_FORWARD));
  EXPECT_TRUE(window.WaitForInput(target)) << "after Forward: " << Utf8(WindowText(window.SearchEdit()));
  EXPECT_TRUE(WaitFor(showsTarget)) << "after Forward: " << Utf8(text);
}

// The background of each dictionary's title band on the result page.
constexpr uint32_t kTitleBand = 0xE8EEF6;

// How far right a title band holds ink: its title's end (the titles differ).
LONG InkEnd(HWND page, const RECT& band) {
  const std::vector<RECT> ink = InkLines(page, &band);
  LONG end = -1;
  for (const RECT& line : ink) end = std::max(end, line.right);
  return end;
}

// The guide lists the dictionaries that answered; a row brings its dictionary's
// section to the top of the result page, the first row the page's top again.
TEST_F(LookupRoad, GuideRowsScrollTheResultPageToTheirDictionary) {
  if (!LayoutHas(Folder(), L"id=\"dict_[$DictID]\""))
    GTEST_SKIP() << "the shipped layout gives the dictionaries' sections no element id";
  MainWindow window = Window();
  // A window made lower by its size grip: the page of "water" goes past the view.
  const RECT frame = ScreenRect(window.Frame());
  const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
  Drag(window.Frame(), {width - 3, height - 3}, {width - 3, height - 3 - height / 3});
  ASSERT_TRUE(WaitFor([&] { return ScreenRect(window.Frame()).bottom < frame.bottom - height / 4; }))
      << "the size grip did not make the window lower";
  ASSERT_TRUE(window.LookUp(L"water"));
  std::wstring text;
  ASSERT_TRUE(window.WaitForPageText(kDemoTitle, text)) << "result page: " << Utf8(text);
  HWND page = window.ResultPage(), guide = window.GuidePage();
  ASSERT_NE(page, nullptr);
  ASSERT_NE(guide, nullptr);
  ASSERT_TRUE(WaitFor([guide] { return IsWindowVisible(guide) != FALSE; })) << "the guide is not shown";

  // At the page's top: the first two dictionaries' title bands, told apart by
  // where their titles end.
  std::vector<RECT> titles;
  ASSERT_TRUE(WaitFor([&] {
    titles = ColourBands(page, kTitleBand, 40);
    return titles.size() >= 2;
  })) << titles.size() << " title bands on the screen";
  const LONG firstEnd = InkEnd(page, titles[0]), secondEnd = InkEnd(page, titles[1]);
  ASSERT_NE(firstEnd, secondEnd) << "the first two titles look alike";

  // The guide: the heading "Results", then a row per dictionary; its texts
  // right of the column of icons.
  RECT texts = {};
  GetClientRect(guide, &texts);
  texts.left = texts.right / 4;
  std::vector<RECT> rows;
  ASSERT_TRUE(WaitFor([&] {
    rows = InkLines(guide, &texts);
    return rows.size() >= 3;
  })) << "the guide shows " << rows.size() << " lines";
  // A dictionary's section at the top: its title band the first on the view,
  // at the top.
  std::vector<RECT> now;
  auto atTop = [&](LONG titleEnd) {
    return WaitFor([&] {
      now = ColourBands(page, kTitleBand, 40);
      return !now.empty() && now[0].top <= titles[0].top && InkEnd(page, now[0]) == titleEnd;
    });
  };
  Click(guide, (rows[2].left + rows[2].right) / 2, (rows[2].top + rows[2].bottom) / 2);
  EXPECT_TRUE(atTop(secondEnd)) << "the second dictionary's title did not come to the top; the first band is at "
                                << (now.empty() ? -1 : now[0].top);
  Screenshot(L"second-row");
  Click(guide, (rows[1].left + rows[1].right) / 2, (rows[1].top + rows[1].bottom) / 2);
  EXPECT_TRUE(atTop(firstEnd)) << "the first dictionary's title did not come back to the top";
}

}  // namespace
}  // namespace acceptance
