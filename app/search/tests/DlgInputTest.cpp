// The search bar as a child of a spy main window: lookups, history,
// navigation, the drop-down list, the dictionary choice and its menus.
#include "app/search/DlgInput.h"
#include "app/search/ListWord.h"
#include "app/search/tests/SearchTestKit.h"

namespace {

using namespace search_test;

class DlgInputTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    CConfigFile& texts = *App().texts;
    texts.SetValue(L"DlgInput", L"AutoMatch", L"All dictionaries, Match all");
    texts.SetValue(L"DlgInput", L"Search", L"Search, Look it up");
    texts.SetValue(L"DlgInput", L"MatchSetup", L"Setup");
    for (const wchar_t* key : {L"CursorTranslator", L"ClipboardTranslator", L"Dictionaries", L"Configuration",
                               L"Help", L"Support", L"About", L"Exit"})
      texts.SetValue(L"MainMenu", key, std::wstring(L"T:") + key);
    App().settings->SetValue(L"General", L"SearchHistory", L"3");
  }
  void TearDown() override {
    dlg.reset();
    manager.reset();
    WindowTest::TearDown();
  }
  void Open() {
    dlg = std::make_unique<CDlgInput>(&main);
    ASSERT_TRUE(dlg->Create(IDD_DLG_INPUT, &main));
    dlg->MoveWindow(0, 0, 600, 40);
    dlg->ShowWindow(SW_SHOW);
  }
  std::vector<std::wstring> History() const { return {dlg->GetHistory().begin(), dlg->GetHistory().end()}; }
  std::wstring EditText() const {
    CString text;
    dlg->GetEdit().GetWindowText(text);
    return std::wstring(text);
  }
  void KeyToEdit(UINT vk) {
    dlg->GetEdit().PostMessage(WM_KEYDOWN, vk, 1);
    PumpPending();
  }
  void MakeManager() {
    manager = search_test::MakeManager(host);
    ASSERT_TRUE(manager);
    App().manager = manager.get();
  }
  std::unique_ptr<CDlgInput> dlg;
  std::unique_ptr<CDictManager> manager;
};

TEST_F(DlgInputTest, HistoryKeepsTheNewestFirstWithoutRepeatsUpToTheMaximum) {
  Open();
  for (const wchar_t* w : {L"c", L"b", L"a"}) dlg->AddToHistory(w);
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), History());
  dlg->AddToHistory(L"d");
  EXPECT_EQ((std::vector<std::wstring>{L"d", L"a", L"b"}), History());
  dlg->AddToHistory(L"b");
  EXPECT_EQ((std::vector<std::wstring>{L"b", L"d", L"a"}), History());
  dlg->AddToHistory(L"B");  // case counts
  EXPECT_EQ((std::vector<std::wstring>{L"B", L"b", L"d"}), History());
  dlg->AddToHistory(L"");
  dlg->AddToHistory(nullptr);
  EXPECT_EQ(3u, History().size());

  dlg->TrimHistory(1);
  EXPECT_EQ((std::vector<std::wstring>{L"B"}), History());
  dlg->ClearHistory();
  EXPECT_TRUE(History().empty());
  EXPECT_EQ(-1, dlg->GetNavigationIndex());
  EXPECT_FALSE(dlg->GetDlgItem(IDC_INPUT_BACK)->IsWindowEnabled());
}

TEST_F(DlgInputTest, ZeroOrAbsentMaximumKeepsAndLoadsNoHistory) {
  App().user->SetValue(L"App", L"SearchList", L"\"a\", \"b\"");
  App().settings->SetValue(L"General", L"SearchHistory", L"0");
  Open();
  EXPECT_TRUE(History().empty());
  dlg->AddToHistory(L"x");
  EXPECT_TRUE(History().empty());
  EXPECT_TRUE(dlg->GetNavigation().empty());
}

TEST_F(DlgInputTest, BackAndForwardWalkTheNavigationListWithoutTouchingTheHistory) {
  Open();
  CWnd* back = dlg->GetDlgItem(IDC_INPUT_BACK);
  CWnd* forward = dlg->GetDlgItem(IDC_INPUT_FORWARD);
  EXPECT_FALSE(back->IsWindowEnabled());
  EXPECT_FALSE(forward->IsWindowEnabled());
  dlg->AddToHistory(L"a");
  dlg->AddToHistory(L"a");  // twice in a row: once
  EXPECT_EQ(1u, dlg->GetNavigation().size());
  EXPECT_FALSE(back->IsWindowEnabled());
  dlg->AddToHistory(L"b");
  dlg->AddToHistory(L"c");
  EXPECT_TRUE(back->IsWindowEnabled());
  EXPECT_FALSE(forward->IsWindowEnabled());

  dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INPUT_BACK, BN_CLICKED), LPARAM(back->m_hWnd));
  auto lookups = main.Lookups(2028);
  ASSERT_EQ(1u, lookups.size());
  EXPECT_EQ(L"b", lookups[0].word);
  EXPECT_EQ(0x24F1, lookups[0].lParam);
  EXPECT_EQ((std::vector<std::wstring>{L"c", L"b", L"a"}), History());
  EXPECT_TRUE(back->IsWindowEnabled());
  EXPECT_TRUE(forward->IsWindowEnabled());

  dlg->Back();
  EXPECT_FALSE(back->IsWindowEnabled());
  dlg->Back();  // nothing before the first
  EXPECT_EQ(2u, main.Lookups(2028).size());
  dlg->Forward();
  EXPECT_EQ(L"b", main.Lookups(2028).back().word);

  dlg->AddToHistory(L"x");  // the forward part goes
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"x"}), dlg->GetNavigation());
  EXPECT_EQ(2, dlg->GetNavigationIndex());
  EXPECT_FALSE(forward->IsWindowEnabled());
}

TEST_F(DlgInputTest, HistoryTextRoundTripsQuotesAndBackslashes) {
  App().settings->SetValue(L"General", L"SearchHistory", L"10");
  Open();
  dlg->AddToHistory(L"w2");
  dlg->AddToHistory(L"w1");
  std::wstring text;
  dlg->FormatHistory(text);
  EXPECT_EQ(L"\"w1\", \"w2\"", text);

  dlg->ClearHistory();
  dlg->FormatHistory(text);
  EXPECT_EQ(L"", text);
  for (const wchar_t* w : {L"ends in \\", L"a, b", L"back\\slash", L"say \"hi\""}) dlg->AddToHistory(w);
  dlg->FormatHistory(text);
  EXPECT_EQ(L"\"say \\\"hi\\\"\", \"back\\\\slash\", \"a, b\", \"ends in \\\\\"", text);

  App().user->SetValue(L"App", L"SearchList", text + L", plain item");
  dlg->LoadHistory();
  EXPECT_EQ((std::vector<std::wstring>{L"say \"hi\"", L"back\\slash", L"a, b", L"ends in \\", L"plain item"}),
            History());

  App().settings->SetValue(L"General", L"SearchHistory", L"2");
  dlg->LoadHistory();  // items beyond the maximum are ignored
  EXPECT_EQ((std::vector<std::wstring>{L"say \"hi\"", L"back\\slash"}), History());
}

TEST_F(DlgInputTest, SearchAndEnterSendTheTrimmedWord) {
  Open();
  dlg->SetInputText(L"  apple \t\r\n", false);
  EXPECT_TRUE(main.Lookups(2029).empty());
  dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INPUT_SEARCH, BN_CLICKED),
                   LPARAM(dlg->GetDlgItem(IDC_INPUT_SEARCH)->m_hWnd));
  auto lookups = main.Lookups(2028);
  ASSERT_EQ(1u, lookups.size());
  EXPECT_EQ(L"apple", lookups[0].word);
  EXPECT_EQ(0x324E1, lookups[0].lParam);

  dlg->GetEdit().SetFocus();
  KeyToEdit(VK_RETURN);
  EXPECT_EQ(2u, main.Lookups(2028).size());

  dlg->SetInputText(L" \t ", false);
  dlg->Search();
  EXPECT_EQ(2u, main.Lookups(2028).size());  // a blank word looks nothing up
  dlg->SetInputText(nullptr, true);
  EXPECT_EQ(L" \t ", EditText());
}

TEST_F(DlgInputTest, TypingRefreshesTheIndexAndBlanksAloneAreRemoved) {
  Open();
  dlg->SetInputText(L" pe", true);
  auto refresh = main.Lookups(2029);
  ASSERT_EQ(1u, refresh.size());
  EXPECT_EQ(L"pe", refresh[0].word);
  EXPECT_EQ(0, refresh[0].lParam);

  dlg->SetInputText(L"   ", true);
  refresh = main.Lookups(2029);
  ASSERT_EQ(2u, refresh.size());
  EXPECT_EQ(L"", refresh[1].word);
  EXPECT_EQ(L"", EditText());
  EXPECT_EQ(2u, main.Lookups(2029).size());  // the clearing itself is silent
  EXPECT_TRUE(main.Lookups(2028).empty());
}

TEST_F(DlgInputTest, EscClearsTheTextThenHidesTheMainWindow) {
  Open();
  dlg->SetInputText(L"word", false);
  dlg->GetEdit().SetFocus();
  KeyToEdit(VK_ESCAPE);
  EXPECT_EQ(L"", EditText());
  EXPECT_TRUE(main.Lookups(WM_COMMAND).empty());
  KeyToEdit(VK_ESCAPE);
  auto commands = main.Lookups(WM_COMMAND);
  ASSERT_EQ(1u, commands.size());
  EXPECT_EQ(171u, commands[0].wParam);
}

TEST_F(DlgInputTest, NavigationKeysInTheEditMoveTheWordListAndKeepTheFocus) {
  RegisterListWordClass();
  SpyParent pane;
  ASSERT_TRUE(pane.CreateSpy(&main, 200, 200));
  pane.MoveWindow(0, 50, 200, 200);
  CListWord list;
  ASSERT_TRUE(list.Create(L"Talvane_ListWord", L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 150, 200), &pane, 1015));
  auto dict = MakeWordDict(host, 0x5200, 40);
  ASSERT_TRUE(dict);
  list.SetSource(dict.get(), 0, 0);
  Open();
  dlg->GetEdit().SetFocus();
  ASSERT_EQ(dlg->GetEdit().m_hWnd, ::GetFocus());

  KeyToEdit(VK_NEXT);
  EXPECT_EQ(9, list.GetSelection());
  KeyToEdit(VK_DOWN);
  EXPECT_EQ(10, list.GetSelection());
  KeyToEdit(VK_UP);
  KeyToEdit(VK_UP);
  EXPECT_EQ(8, list.GetSelection());
  KeyToEdit(VK_PRIOR);
  EXPECT_EQ(1, list.GetSelection());
  EXPECT_EQ(dlg->GetEdit().m_hWnd, ::GetFocus());
  EXPECT_EQ(5, pane.Count(1));
}

TEST_F(DlgInputTest, AKeyPressedElsewhereInTheBarGoesToTheEdit) {
  Open();
  main.SetFocus();
  dlg->SetFocus();  // the bar hands the focus to its edit
  EXPECT_EQ(dlg->GetEdit().m_hWnd, ::GetFocus());
  CWnd* search = dlg->GetDlgItem(IDC_INPUT_SEARCH);
  ::SetFocus(search->m_hWnd);
  search->PostMessage(WM_KEYDOWN, 'Q', 1);
  PumpPending();
  EXPECT_EQ(dlg->GetEdit().m_hWnd, ::GetFocus());
  EXPECT_EQ(L"q", EditText());
}

TEST_F(DlgInputTest, APickFromTheDropDownListLooksTheWordUp) {
  Open();
  dlg->AddToHistory(L"older");
  dlg->AddToHistory(L"newer");
  dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INPUT_HISTORY, BN_CLICKED),
                   LPARAM(dlg->GetDlgItem(IDC_INPUT_HISTORY)->m_hWnd));
  CListWnd& list = dlg->GetHistoryList();
  EXPECT_TRUE(list.IsWindowVisible());
  ASSERT_EQ(2, list.GetCount());
  CString first;
  list.GetItemText(first, 0);
  EXPECT_STREQ(L"newer", first);
  EXPECT_EQ(list.m_hWnd, ::GetFocus());
  // Under the edit: 22 pixels left of it, 3 below, 34 wider, two rows high.
  CRect edit, popup;
  dlg->GetEdit().GetWindowRect(&edit);
  list.GetWindowRect(&popup);
  EXPECT_EQ(edit.left - 22, popup.left);
  EXPECT_EQ(edit.bottom + 3, popup.top);
  EXPECT_EQ(edit.Width() + 34, popup.Width());
  EXPECT_EQ(2 * list.GetItemHeight() + 2, popup.Height());

  list.PostMessage(WM_KEYDOWN, VK_DOWN, 1);
  list.PostMessage(WM_KEYDOWN, VK_DOWN, 1);
  list.PostMessage(WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
  EXPECT_FALSE(list.IsWindowVisible());
  EXPECT_EQ(0, list.GetCount());
  EXPECT_EQ(L"older", EditText());
  EXPECT_TRUE(main.Lookups(2029).empty());  // put in without a refresh
  auto lookups = main.Lookups(2028);
  ASSERT_EQ(1u, lookups.size());
  EXPECT_EQ(L"older", lookups[0].word);
  EXPECT_EQ(0x324E1, lookups[0].lParam);
}

TEST_F(DlgInputTest, MenuSelectionTakesOnlyEnabledMembersAndMovesTheIndexList) {
  MakeManager();
  manager->GetGroupItem(kGroupIndex, 1)->enable = false;
  Open();
  dlg->SetInputText(L" pear ", false);
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  dlg->SetMenuSelection(0);
  EXPECT_EQ(0, dlg->GetMenuSelection());
  EXPECT_STREQ(L"Title 512", dlg->GetAutoMatchTooltip());
  auto lookups = main.Lookups(2028);
  ASSERT_EQ(1u, lookups.size());
  EXPECT_EQ(L"pear", lookups[0].word);
  EXPECT_EQ(0x20, lookups[0].lParam);

  dlg->SetMenuSelection(1);  // not enabled
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  EXPECT_STREQ(L"Match all", dlg->GetAutoMatchTooltip());
  dlg->SetMenuSelection(3);  // beyond the last member
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  dlg->SetMenuSelection(-7);  // before the first
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  dlg->SetMenuSelection(2);
  EXPECT_EQ(2, dlg->GetMenuSelection());
  EXPECT_EQ(5u, main.Lookups(2028).size());
  // The button's strip: two frames of 22 x 16.
  EXPECT_EQ(44, dlg->GetAutoMatchStrip().GetWidth());
  EXPECT_EQ(16, dlg->GetAutoMatchStrip().GetHeight());
}

TEST_F(DlgInputTest, AutoMatchMenuListsEnabledMembersAndItsCommandsChoose) {
  MakeManager();
  manager->GetGroupItem(kGroupIndex, 1)->enable = false;
  Open();
  dlg->SetMenuSelection(2);
  COwnerMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  dlg->BuildAutoMatchMenu(menu);
  std::vector<UINT> ids;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) ids.push_back(menu.GetMenuItemID(i));
  EXPECT_EQ((std::vector<UINT>{599, 0, 600, 602, 0, 598}), ids);
  EXPECT_EQ(UINT(MF_CHECKED), menu.GetMenuState(602, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(0u, menu.GetMenuState(599, MF_BYCOMMAND) & MF_CHECKED);
  ASSERT_EQ(6u, menu.m_items.size());
  EXPECT_STREQ(L"All dictionaries", menu.m_items.front()->text);
  EXPECT_STREQ(L"Setup", menu.m_items.back()->text);

  dlg->SetInputText(L"ap", false);
  main.sent.clear();
  dlg->SendMessage(WM_COMMAND, 600, 0);
  EXPECT_EQ(0, dlg->GetMenuSelection());
  auto refresh = main.Lookups(2029);  // the word list follows the new choice
  ASSERT_EQ(1u, refresh.size());
  EXPECT_EQ(L"ap", refresh[0].word);
  dlg->SendMessage(WM_COMMAND, 599, 0);
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  dlg->SendMessage(WM_COMMAND, 598, 0);
  EXPECT_EQ(-1, dlg->GetMenuSelection());
  ASSERT_EQ(1u, App().dictOptions.size());
  EXPECT_EQ(2, App().dictOptions[0].first);
  EXPECT_EQ(0xFFFFFFFFu, App().dictOptions[0].second);
  EXPECT_TRUE(main.Lookups(2028).empty());
}

TEST_F(DlgInputTest, MainMenuTakesItsTextsAndChecksFromTheStores) {
  App().user->SetValue(L"App", L"EnableGrab", L"y");
  App().user->SetValue(L"App", L"EnableClipboard", L"0");
  Open();
  COwnerMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  dlg->BuildMainMenu(menu);
  std::vector<UINT> ids;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) ids.push_back(menu.GetMenuItemID(i));
  EXPECT_EQ((std::vector<UINT>{32777, 170, 0, 32775, 32776, 0, 32779, 32780, 32778, 0, 32774}), ids);
  EXPECT_EQ(UINT(MF_CHECKED), menu.GetMenuState(32777, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(0u, menu.GetMenuState(170, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_STREQ(L"T:CursorTranslator", menu.m_items.front()->text);
  EXPECT_STREQ(L"T:Exit", menu.m_items.back()->text);
}

TEST_F(DlgInputTest, ControlsAreLaidOutAlongTheBar) {
  Open();
  dlg->MoveWindow(0, 0, 700, 40);
  auto rect = [&](int id) {
    CRect rc;
    dlg->GetDlgItem(id)->GetWindowRect(&rc);
    dlg->ScreenToClient(&rc);
    return rc;
  };
  const CRect back = rect(IDC_INPUT_BACK), forward = rect(IDC_INPUT_FORWARD), menu = rect(IDC_INPUT_MAINMENU);
  const CRect search = rect(IDC_INPUT_SEARCH), edit = rect(IDC_INPUT_EDIT), automatch = rect(IDC_INPUT_AUTOMATCH);
  const CRect history = rect(IDC_INPUT_HISTORY);
  EXPECT_EQ(CPoint(5, 6), back.TopLeft());
  EXPECT_EQ(CPoint(5 + back.Width(), 6), forward.TopLeft());
  EXPECT_EQ(700 - 15, menu.right);
  EXPECT_EQ(menu.left - 15, search.right);
  const int l = back.Width() + forward.Width() + 10;
  EXPECT_EQ(CPoint(l + 32, 10), edit.TopLeft());
  EXPECT_EQ((search.left - 5) - l - 52, edit.Width());
  EXPECT_EQ(16, edit.Height());
  EXPECT_EQ(CPoint(l + 7, 10), automatch.TopLeft());
  EXPECT_EQ(CPoint(search.left - 25, 10), history.TopLeft());
}

TEST_F(DlgInputTest, ParentBackgroundRequestsOfTheButtons) {
  ASSERT_TRUE(WritePng(App().imageFolder, L"toolsbar.png", 4, 40, 0xFF102030));
  Open();
  Veltra::COImage image;
  image.CreateFilled(10, 10, 72.0, 0xFF000000, 1);
  CRect rc(0, 0, 10, 10);
  GuiBkgndRequest req = {1, nullptr, &image, dlg->GetDlgItem(IDC_INPUT_SEARCH)->m_hWnd, 0, 0};
  EXPECT_EQ(1, dlg->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&req)));
  EXPECT_EQ(0xFF102030u, image.At(3, 3));
  req.control = dlg->GetDlgItem(IDC_INPUT_HISTORY)->m_hWnd;
  EXPECT_EQ(1, dlg->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&req)));
  EXPECT_EQ(0xFFFFFFFFu, image.At(3, 3));  // on the white edit frame

  Canvas canvas(20, 20);
  GuiBkgndRequest paint = {0, CDC::FromHandle(canvas.dc()), nullptr, req.control, 2, 2};
  EXPECT_EQ(1, dlg->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&paint)));
  EXPECT_EQ(RGB(230, 237, 250), canvas.At(5, 5));
  EXPECT_EQ(RGB(255, 0, 255), canvas.At(1, 1));
  EXPECT_EQ(0, dlg->SendMessage(WM_GUI_PARENTBKGND, 0, LPARAM(&paint)));
  EXPECT_EQ(0, dlg->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), 0));
}

}  // namespace

namespace {

using namespace search_test;

TEST_F(DlgInputTest, TheDictionaryChoiceStripHoldsTheIconAndArrowTwiceTheSecondOnePixelLower) {
  ASSERT_TRUE(WritePng(App().imageFolder, L"automatch.png", 30, 30, 0xFF0000FF));  // larger than a cell
  ASSERT_TRUE(WritePng(App().imageFolder, L"dropmenu.png", 5, 3, 0xFFFF0000));
  Open();
  dlg->SetMenuSelection(-1);
  const Veltra::COImage& strip = dlg->GetAutoMatchStrip();
  ASSERT_EQ(44, strip.GetWidth());
  EXPECT_EQ(0xFF0000FFu, strip.At(0, 0));
  EXPECT_EQ(0xFF0000FFu, strip.At(12, 15));
  EXPECT_EQ(0xFFFF0000u, strip.At(13, 5));    // the arrow over the icon
  EXPECT_EQ(0xFFFFFFFFu, strip.At(22, 0));    // frame 2 starts one pixel lower, on white
  EXPECT_EQ(0xFF0000FFu, strip.At(22, 1));
  EXPECT_EQ(0xFFFF0000u, strip.At(35, 6));
  EXPECT_EQ(0xFFFF0000u, strip.At(35 + 4, 8));
  EXPECT_EQ(0xFF0000FFu, strip.At(35, 5));
}

}  // namespace
