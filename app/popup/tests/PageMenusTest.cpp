#include "app/popup/PageMenus.h"

#include <windows.h>

#include "app/popup/tests/PopupTestKit.h"
#include "core/ConfigFile.h"
#include "core/TextCodec.h"

namespace {

class PageMenusTest : public GroupFixture {
 protected:
  void SetUp() override {
    host_.uiTexts[L"/10"] = L"0x100";  // the base dictionary
    Install(0x100, {{L"base", L"b"}});
    Install(0x200, {{L"apple", L"a"}});
    Install(0x300, {{L"cherry", L"c"}});
    ASSERT_TRUE(LoadGroups(L"<query_group/><index_group><dict id=\"200\"/><dict id=\"100\"/></index_group>"
                           L"<grab_group><dict id=\"200\"/><dict id=\"300\"/></grab_group>"));
    const wchar_t* texts[][3] = {
        {L"DictMenu", L"About", L"About"},      {L"DictMenu", L"Disable", L"Disable"},
        {L"DictMenu", L"Enable", L"Enable"},    {L"DictMenu", L"MoveTop", L"Top"},
        {L"DictMenu", L"ArrangeResults", L"Arrange"}, {L"DictMenu", L"IndexGroup", L" (index)"},
        {L"DlgView", L"Search", L"Search"},     {L"DlgView", L"Speak", L"Speak, Speak the selection"},
        {L"DlgView", L"SelectVoice", L"Voice"}, {L"DlgView", L"Copy", L"Copy"},
        {L"DlgView", L"Find", L"Find"},         {L"DlgView", L"Save", L"Save"},
        {L"DlgView", L"Print", L"Print"},       {L"DlgView", L"SelectAll", L"All"},
        {L"DlgView", L"SpeechOption", L"Options"}, {L"DlgOptSpeech", L"DownloadTTS", L"Download"},
    };
    for (auto& t : texts) texts_.SetValue(t[0], t[1], t[2]);
  }
  CConfigFile texts_;
};

TEST_F(PageMenusTest, SectionStateTogglesOrFollowsTheExplicitRequest) {
  bool minimized = false;
  ASSERT_TRUE(SetSectionState(manager_, kGroupGrab, 0x300, false, false, minimized));
  EXPECT_TRUE(minimized);
  EXPECT_TRUE(manager_.GetGroupItem(kGroupGrab, 1)->minimize);
  ASSERT_TRUE(SetSectionState(manager_, kGroupGrab, 0x300, false, false, minimized));
  EXPECT_FALSE(minimized);
  // Explicit show on a section that is shown leaves it shown.
  ASSERT_TRUE(SetSectionState(manager_, kGroupGrab, 0x300, true, true, minimized));
  EXPECT_FALSE(minimized);
  ASSERT_TRUE(SetSectionState(manager_, kGroupGrab, 0x300, true, false, minimized));
  ASSERT_TRUE(SetSectionState(manager_, kGroupGrab, 0x300, true, false, minimized));
  EXPECT_TRUE(minimized);
  EXPECT_FALSE(SetSectionState(manager_, kGroupGrab, 0x100, false, false, minimized));
  EXPECT_FALSE(SetSectionState(manager_, 3, 0x300, false, false, minimized));
  EXPECT_EQ(L"dict_meaning_768", SectionMeaningName(0x300));
  EXPECT_EQ(L"dict_show_768", SectionShowName(0x300));
}

TEST_F(PageMenusTest, DictMenuItemsFollowTheMemberAndTheGroup) {
  std::vector<MenuItemText> items = DictMenuItems(manager_, texts_, kGroupGrab, 0x300);
  ASSERT_EQ(6u, items.size());
  EXPECT_EQ(L"About", items[0].text);
  EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), items[1].flags);
  EXPECT_EQ(L"Disable", items[2].text);
  EXPECT_EQ(static_cast<UINT>(MF_STRING), items[2].flags);
  EXPECT_EQ(kCmdDictMoveTop, items[3].id);
  EXPECT_EQ(L"Arrange", items[5].text);

  items = DictMenuItems(manager_, texts_, kGroupIndex, 0x100);
  ASSERT_EQ(6u, items.size());
  EXPECT_EQ(L"Disable (index)", items[2].text);
  EXPECT_TRUE(items[2].flags & MF_GRAYED);  // the base dictionary stays in the index
  EXPECT_EQ(L"Top (index)", items[3].text);
  EXPECT_FALSE(DictMenuItems(manager_, texts_, kGroupIndex, 0x200)[2].flags & MF_GRAYED);

  manager_.GetGroupItem(kGroupGrab, 0)->enable = false;
  EXPECT_EQ(L"Enable", DictMenuItems(manager_, texts_, kGroupGrab, 0x200)[2].text);
  EXPECT_TRUE(DictMenuItems(manager_, texts_, kGroupGrab, 0x100).empty());
}

TEST_F(PageMenusTest, EnableAndMoveTopActOnTheGroupAndAreSaved) {
  bool enabled = true;
  ASSERT_TRUE(ToggleMemberEnable(manager_, kGroupGrab, 0x300, enabled));
  EXPECT_FALSE(enabled);
  ASSERT_TRUE(MoveMemberToTop(manager_, kGroupGrab, 0x300));
  EXPECT_EQ(0x300u, manager_.GetGroupItem(kGroupGrab, 0)->id);
  EXPECT_EQ(0x200u, manager_.GetGroupItem(kGroupGrab, 1)->id);
  EXPECT_FALSE(ToggleMemberEnable(manager_, kGroupGrab, 0x100, enabled));
  EXPECT_FALSE(MoveMemberToTop(manager_, kGroupGrab, 0x100));

  CDictManager again;
  ASSERT_TRUE(again.LoadConfig());
  ASSERT_EQ(2u, again.GetGroupCount(kGroupGrab));
  EXPECT_EQ(0x300u, again.GetGroupItem(kGroupGrab, 0)->id);
  EXPECT_FALSE(again.GetGroupItem(kGroupGrab, 0)->enable);
}

struct MenuRow {
  UINT id;
  UINT state;
  std::wstring text;
  HMENU sub;
};

std::vector<MenuRow> ReadMenu(HMENU menu) {
  std::vector<MenuRow> rows;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = 64;
    GetMenuItemInfoW(menu, i, TRUE, &info);
    rows.push_back({info.fType & MFT_SEPARATOR ? 0u : info.wID, info.fState, text, info.hSubMenu});
  }
  return rows;
}

TEST_F(PageMenusTest, ContextMenuGreysSelectionItemsWithoutASelection) {
  HMENU menu = BuildResultContextMenu(texts_, false, {L"Anna", L"Bert"}, 1);
  ASSERT_NE(nullptr, menu);
  std::vector<MenuRow> rows = ReadMenu(menu);
  ASSERT_EQ(12u, rows.size());
  EXPECT_EQ(kCmdCtxSearch, rows[0].id);
  EXPECT_FALSE(rows[0].state & MFS_GRAYED);
  EXPECT_EQ(kCmdCtxSpeak, rows[2].id);
  EXPECT_EQ(L"Speak", rows[2].text);  // the caption of the view bar's caption-and-tooltip text
  EXPECT_TRUE(rows[2].state & MFS_GRAYED);
  ASSERT_NE(nullptr, rows[3].sub);
  EXPECT_EQ(L"Voice", rows[3].text);
  EXPECT_TRUE(rows[3].state & MFS_GRAYED);
  std::vector<MenuRow> voices = ReadMenu(rows[3].sub);
  ASSERT_EQ(2u, voices.size());
  EXPECT_EQ(kCmdVoiceFirst + 1, voices[1].id);
  EXPECT_TRUE(voices[1].state & MFS_CHECKED);
  EXPECT_FALSE(voices[0].state & MFS_CHECKED);
  EXPECT_EQ(kCmdCtxCopy, rows[5].id);
  EXPECT_TRUE(rows[5].state & MFS_GRAYED);
  EXPECT_EQ(kCmdCtxFind, rows[7].id);
  EXPECT_FALSE(rows[7].state & MFS_GRAYED);
  EXPECT_EQ(kCmdCtxSelectAll, rows[11].id);
  DestroyMenu(menu);

  menu = BuildResultContextMenu(texts_, true, {}, -1);
  rows = ReadMenu(menu);
  ASSERT_EQ(11u, rows.size());  // no voice submenu
  EXPECT_FALSE(rows[2].state & MFS_GRAYED);
  EXPECT_EQ(kCmdCtxCopy, rows[4].id);
  EXPECT_FALSE(rows[4].state & MFS_GRAYED);
  DestroyMenu(menu);

  EXPECT_EQ(163u, ContextMenuCommand(kCmdCtxSelectAll));
  EXPECT_EQ(1021u, ContextMenuCommand(kCmdCtxPrint));
  EXPECT_EQ(1020u, ContextMenuCommand(kCmdCtxSave));
  EXPECT_EQ(1023u, ContextMenuCommand(kCmdCtxFind));
  EXPECT_EQ(1018u, ContextMenuCommand(kCmdCtxCopy));
  EXPECT_EQ(1019u, ContextMenuCommand(kCmdCtxSpeak));
  EXPECT_EQ(0u, ContextMenuCommand(kCmdCtxSearch));
}

// The speak button's menu: the voices, a separator only when there are any,
// then the speech options and the download of voices.
TEST_F(PageMenusTest, VoiceMenuListsTheVoicesAndNeverStartsWithASeparator) {
  struct Case {
    std::vector<std::wstring> voices;
    int checked;
    std::vector<UINT> ids;  // 0 for a separator (ReadMenu's id of one)
  } const cases[] = {
      {{}, -1, {kCmdVoiceOptions, 0, kCmdVoiceDownload}},
      {{L"Anna"}, 0, {kCmdVoiceFirst, 0, kCmdVoiceOptions, 0, kCmdVoiceDownload}},
      {{L"Anna", L"Bert"}, 1, {kCmdVoiceFirst, kCmdVoiceFirst + 1, 0, kCmdVoiceOptions, 0, kCmdVoiceDownload}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.voices.size() << " voices");
    HMENU menu = BuildVoiceMenu(texts_, c.voices, c.checked);
    ASSERT_NE(nullptr, menu);
    std::vector<MenuRow> rows = ReadMenu(menu);
    DestroyMenu(menu);
    ASSERT_EQ(c.ids.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(c.ids[i], rows[i].id) << "row " << i;
    for (size_t i = 0; i < c.voices.size(); ++i) {
      EXPECT_EQ(c.voices[i], rows[i].text);
      EXPECT_EQ(static_cast<int>(i) == c.checked, (rows[i].state & MFS_CHECKED) != 0);
    }
    EXPECT_EQ(L"Options", rows[rows.size() - 3].text);
    EXPECT_EQ(L"Download", rows.back().text);
  }
}

TEST(PageTextTest, CleanLookupText) {
  struct {
    std::wstring in, out;
  } cases[] = {
      {L"  two\r\nlines \t", L"two lines"},
      {L"\r\n\t ", L""},
      {L"a\nb\rc", L"a bc"},
      {std::wstring(2000, L'x'), std::wstring(1024, L'x')},
  };
  for (auto& c : cases) {
    std::wstring text = c.in;
    CleanLookupText(text);
    EXPECT_EQ(c.out, text);
  }
}

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

TEST(PageTextTest, SavedPageIsTheShellHeadAndTheBody) {
  EXPECT_EQ(L"\xFEFF<html><head></head><body>x</body>\n</html>",
            ComposeSavedPage(L"\xFEFF<html><head></head><body id=m>shell</body></html>", L"<body>x</body>"));
  EXPECT_EQ(L"\xFEFF<html>no body<body>x</body>\n</html>", ComposeSavedPage(L"<html>no body", L"<body>x</body>"));
}

TEST_F(PageMenusTest, WriteSavedPageWritesUtf16AndFailsWithoutAShell) {
  const std::wstring shell = host_.GetDataFolder() + L"start.htm";
  const std::wstring out = host_.root + L"page.htm";
  EXPECT_FALSE(WriteSavedPage(out.c_str(), shell.c_str(), L"<body/>"));
  EXPECT_FALSE(FileExists(out));
  auto readBack = [&] {
    std::string bytes;
    ReadFileToString(bytes, out.c_str());
    return bytes;
  };
  // The shipped shell: UTF-8 without a mark, here with a non-ASCII title.
  FILE* f = _wfopen(shell.c_str(), L"wb");
  fputs("<html><title>caf\xC3\xA9</title><body>", f);
  fclose(f);
  ASSERT_TRUE(WriteSavedPage(out.c_str(), shell.c_str(), L"<body>w</body>"));
  EXPECT_EQ(Utf16Bytes(L"\xFEFF<html><title>caf\x00e9</title><body>w</body>\n</html>"), readBack());
  // A UTF-16 shell with its mark.
  ASSERT_TRUE(WriteSavedPage(out.c_str(), shell.c_str(), L"<body>w</body>"));
  f = _wfopen(shell.c_str(), L"wb");
  const std::string utf16 = Utf16Bytes(L"\xFEFF<html><body>");
  fwrite(utf16.data(), 1, utf16.size(), f);
  fclose(f);
  ASSERT_TRUE(WriteSavedPage(out.c_str(), shell.c_str(), L"<body>w</body>"));
  EXPECT_EQ(Utf16Bytes(L"\xFEFF<html><body>w</body>\n</html>"), readBack());
  EXPECT_FALSE(WriteSavedPage((host_.root + L"missing\\page.htm").c_str(), shell.c_str(), L"<body/>"));
}

}  // namespace
