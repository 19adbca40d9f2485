// The options road: the options dialog opened from the main menu shows each
// of its six pages with the lists filled from the shipped texts; a value
// changed on every page, OK writes them all to "config.ini" of the program
// folder, and the page last shown is remembered in "user.ini" at exit.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "core/ConfigFile.h"
#include "dialogs/options/OptionsRes.h"

namespace acceptance {
namespace {

class OptionsRoad : public Road {
 protected:
  // The options dialog's page of tab index page: the first tab clicked, then
  // the arrow key to the right one.
  bool ShowPage(HWND dialog, int page) {
    HWND tabs = DialogItem(dialog, IDC_OPTION_TAB);
    if (!tabs) return false;
    auto selected = [tabs](int tab) { return WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == tab; }); };
    Click(tabs, 8 + 4 * page, 8);  // never twice on one spot: two clicks there may count as a double click
    // The click focuses the tab control but, after some pages, leaves the
    // selection where it was: the arrow keys bring it to the first tab then.
    for (int i = 0; i < 6 && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) > 0; ++i) {
      PressKey(VK_LEFT);
      WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) < 6 - i - 1; }, 2000);
    }
    if (!selected(0)) return false;
    for (int i = 1; i <= page; ++i) {
      PressKey(VK_RIGHT);
      if (!selected(i)) return false;
    }
    return true;
  }
  // Chooses the item `downs` rows below the selection of a drop-down list.
  void ChooseBelow(HWND combo, int downs) {
    ASSERT_NE(combo, nullptr);
    const int target = ComboSelection(combo) + downs;
    Click(combo);
    for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return ComboSelection(combo) == target; }))
        << "the list stands on " << ComboSelection(combo) << ", not " << target;
  }
  // Replaces an edit's text by typing.
  void TypeInto(HWND edit, const std::wstring& text) {
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(ClickToFocus(edit));
    PressKey(VK_HOME);
    PressKeys({VK_SHIFT, VK_END});
    TypeText(text);
    EXPECT_TRUE(WaitFor([&] { return WindowText(edit) == text; })) << Utf8(WindowText(edit));
  }
  void Tick(HWND button, bool on) {
    ASSERT_NE(button, nullptr);
    Click(button);
    EXPECT_TRUE(WaitFor([&] { return IsChecked(button) == on; })) << Utf8(WindowText(button));
  }
};

TEST_F(OptionsRoad, EveryPageShowsItsListsAndOkStoresEveryPage) {
  MainWindow window = Window();
  ASSERT_TRUE(window.ChooseFromMainMenu(kMenuConfiguration));
  HWND dialog = WaitForTopWindow(program_.Id(), L"#32770", L"Options");
  ASSERT_NE(dialog, nullptr) << "the options dialog did not open";

  // General: the languages and web search engines of the shipped texts.
  ASSERT_TRUE(ShowPage(dialog, 0));
  EXPECT_EQ(ComboItems(DialogItem(dialog, IDC_GEN_LANGUAGE)), std::vector<std::wstring>{L"English"});
  const std::vector<std::wstring> engines = {L"Google", L"Wikipedia"};
  EXPECT_EQ(ComboItems(DialogItem(dialog, IDC_GEN_WEBSEARCH)), engines);
  EXPECT_EQ(WindowText(DialogItem(dialog, IDC_GEN_HISTORY)), L"20");
  ChooseBelow(DialogItem(dialog, IDC_GEN_WEBSEARCH), 1);
  TypeInto(DialogItem(dialog, IDC_GEN_HISTORY), L"35");
  Tick(DialogItem(dialog, IDC_GEN_STARTMIN), true);
  Screenshot(L"general");

  // Appearance: the installed fonts, the interface sizes and the result sizes.
  ASSERT_TRUE(ShowPage(dialog, 1));
  for (int id : {IDC_APP_UIFONT, IDC_APP_TEXTFONT, IDC_APP_PHONETIC})
    EXPECT_FALSE(ComboItems(DialogItem(dialog, id)).empty()) << "font list " << id << " is empty";
  const std::vector<std::wstring> uiSizes = {L"8", L"9", L"10", L"11", L"12"};
  EXPECT_EQ(ComboItems(DialogItem(dialog, IDC_APP_UISIZE)), uiSizes);
  const std::vector<std::wstring> sizes = {L"Smallest", L"Small", L"Medium", L"Large", L"Largest"};
  EXPECT_EQ(ComboItems(DialogItem(dialog, IDC_APP_FONTSIZE)), sizes);
  EXPECT_EQ(ComboSelection(DialogItem(dialog, IDC_APP_FONTSIZE)), 2);
  ChooseBelow(DialogItem(dialog, IDC_APP_FONTSIZE), 1);
  Tick(DialogItem(dialog, IDC_APP_ALPHA), true);
  Screenshot(L"appearance");

  // Speech: its sliders stand on the shipped values.
  ASSERT_TRUE(ShowPage(dialog, 3));
  EXPECT_EQ(SendMessageW(DialogItem(dialog, IDC_SP_VOLUME), TBM_GETPOS, 0, 0), 100);
  EXPECT_EQ(WindowText(DialogItem(dialog, IDC_SP_TESTTEXT)), L"Quorindo reads the words you look up.");
  Tick(DialogItem(dialog, IDC_SP_REALTIME), true);
  TypeInto(DialogItem(dialog, IDC_SP_TESTTEXT), L"Try this voice");
  Screenshot(L"speech");

  // Connection: a proxy with its user.
  ASSERT_TRUE(ShowPage(dialog, 4));
  EXPECT_TRUE(IsChecked(DialogItem(dialog, IDC_CN_DIRECT)));
  EXPECT_FALSE(IsWindowEnabled(DialogItem(dialog, IDC_CN_SERVER)));
  Tick(DialogItem(dialog, IDC_CN_PROXY), true);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(DialogItem(dialog, IDC_CN_SERVER)) != FALSE; }));
  TypeInto(DialogItem(dialog, IDC_CN_SERVER), L"proxy.example.org");
  TypeInto(DialogItem(dialog, IDC_CN_PORT), L"8080");
  TypeInto(DialogItem(dialog, IDC_CN_USER), L"anna");
  HWND password = DialogItem(dialog, IDC_CN_PASSWORD);
  ASSERT_TRUE(ClickToFocus(password));
  TypeText(L"secret");
  Tick(DialogItem(dialog, IDC_CN_ENABLEUPDATE), true);
  Screenshot(L"connection");

  // Hot keys: Ctrl+Shift+F9 pressed in the first field.
  ASSERT_TRUE(ShowPage(dialog, 5));
  HWND hotkey = DialogItem(dialog, IDC_HK_OPENMAIN);
  ASSERT_TRUE(ClickToFocus(hotkey));
  PressKeys({VK_CONTROL, VK_SHIFT, VK_F9});
  EXPECT_TRUE(WaitFor([&] { return SendMessageW(hotkey, HKM_GETHOTKEY, 0, 0) == MAKEWORD(VK_F9, 3); }))
      << std::hex << SendMessageW(hotkey, HKM_GETHOTKEY, 0, 0);
  Screenshot(L"hotkey");

  // Translate: the nine delays (last: a click on the first tab is not taken
  // after this page's controls).
  ASSERT_TRUE(ShowPage(dialog, 2));
  const std::vector<std::wstring> delays = {L"100", L"200", L"300", L"400", L"500",
                                            L"600", L"700", L"800", L"900"};
  EXPECT_EQ(ComboItems(DialogItem(dialog, IDC_TR_DELAY)), delays);
  EXPECT_TRUE(IsChecked(DialogItem(dialog, IDC_TR_CTRLMOUSE)));
  ChooseBelow(DialogItem(dialog, IDC_TR_DELAY), 2);
  Tick(DialogItem(dialog, IDC_TR_MIDDLEMOUSE), true);
  Tick(DialogItem(dialog, IDC_TR_IGNORECYRILLIC), true);
  Screenshot(L"translate");

  Click(DialogItem(dialog, IDOK));
  ASSERT_TRUE(WaitUntilGone(dialog)) << "OK did not close the dialog";

  CConfigFile settings;
  const std::wstring path = Folder() + L"config.ini";
  struct Stored {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
  };
  const Stored expected[] = {
      {L"General", L"SearchEngine", L"Wikipedia"}, {L"General", L"SearchHistory", L"35"},
      {L"General", L"StartMinmize", L"y"},         {L"General", L"LangCode", L"en-US"},
      {L"Appearance", L"FontSize", L"3"},          {L"Appearance", L"GrabAlpha", L"192"},
      {L"Translate", L"GrabTimeDelay", L"500"},    {L"Translate", L"GrabActivation", L"2"},
      {L"Translate", L"IgnoreCyrillic", L"y"},     {L"Translate", L"ClipboardActivation", L"1"},
      {L"Speech", L"RealtimePron", L"y"},          {L"Speech", L"TestText", L"Try this voice"},
      {L"Speech", L"Volume", L"100"},              {L"Connection", L"Connect", L"1"},
      {L"Connection", L"ProxyServer", L"proxy.example.org"}, {L"Connection", L"ProxyPort", L"8080"},
      {L"Connection", L"EnableUpdate", L"y"},      {L"Hotkey", L"OpenMainWnd", L"196728"},
  };
  // OK writes the file; the last value stands in it once it is complete.
  ASSERT_TRUE(WaitFor([&] {
    return settings.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0) &&
           settings.GetString(L"Hotkey", L"OpenMainWnd", L"") == L"196728";
  })) << Utf8(FileText(path));
  for (const Stored& s : expected)
    EXPECT_EQ(Utf8(settings.GetString(s.section, s.key, L"(none)")), Utf8(s.value)) << Utf8(s.section) << "/"
                                                                                      << Utf8(s.key);
  EXPECT_FALSE(settings.GetString(L"Connection", L"ProxyAuth", L"").empty());

  // The page confirmed last (Translate) is kept at exit.
  ASSERT_TRUE(window.ChooseExit());
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  CConfigFile state;
  ASSERT_TRUE(state.Load((Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_EQ(state.GetString(L"App", L"ConfigPage", L""), L"2");
}

// A proxy port outside 1-65535 is refused on the Connection page with a box
// that says why; the dialog stays open and "config.ini" keeps what it had.
TEST_F(OptionsRoad, ProxyPortOutsideTheRangeIsRefused) {
  MainWindow window = Window();
  ASSERT_TRUE(window.ChooseFromMainMenu(kMenuConfiguration));
  HWND dialog = WaitForTopWindow(program_.Id(), L"#32770", L"Options");
  ASSERT_NE(dialog, nullptr) << "the options dialog did not open";
  ASSERT_TRUE(ShowPage(dialog, 4));
  Tick(DialogItem(dialog, IDC_CN_PROXY), true);
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(DialogItem(dialog, IDC_CN_SERVER)) != FALSE; }));
  TypeInto(DialogItem(dialog, IDC_CN_SERVER), L"127.0.0.1");
  TypeInto(DialogItem(dialog, IDC_CN_PORT), L"99999");
  const std::wstring before = FileText(Folder() + L"config.ini");
  Click(DialogItem(dialog, IDOK));

  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND top : TopWindows(program_.Id(), L"#32770", nullptr, true))
      if (top != dialog) box = top;
    return box != nullptr;
  })) << "OK with port 99999 showed no box";
  const std::wstring text = WindowText(DialogItem(box, 0xFFFF));
  EXPECT_NE(text.find(L"1 to 65535"), std::wstring::npos) << Utf8(text);
  Screenshot(L"port-refused");
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntilGone(box));
  EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed with the port refused";
  EXPECT_EQ(FileText(Folder() + L"config.ini"), before);

  Click(DialogItem(dialog, IDCANCEL));
  ASSERT_TRUE(WaitUntilGone(dialog)) << "Cancel did not close the dialog";
}

}  // namespace
}  // namespace acceptance
