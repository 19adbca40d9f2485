// The dictionary options dialog as a window: its page hand-shake, tabs,
// buttons, commands and what it saves and announces when it goes.
#include "core/UiSeam.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DlgDictList.h"
#include "dialogs/dict/DlgDictOption.h"
#include "dialogs/dict/tests/DictDialogTestKit.h"
#include "dict/DictFile.h"
#include "guictl/GuiManager.h"
#include "guictl/OImage.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

using namespace dlgtest;

std::wstring g_chosenFile;
int g_fileDialogs = 0;

bool ChooseFile(OPENFILENAMEW& dialog, bool, DWORD& error) {
  ++g_fileDialogs;
  error = 0;
  if (g_chosenFile.empty()) return false;
  wcsncpy(dialog.lpstrFile, g_chosenFile.c_str(), dialog.nMaxFile);
  return true;
}

class OptionDialogTest : public DictDialogTest {
 protected:
  void SetUp() override {
    DictDialogTest::SetUp();
    g_chosenFile.clear();
    g_fileDialogs = 0;
    SetFileDialogHandler(ChooseFile);
    dialog_ = std::make_unique<CDlgDictOption>();
  }
  void TearDown() override {
    if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
    dialog_.reset();
    SetFileDialogHandler(nullptr);
    DictDialogTest::TearDown();
  }
  // Creates the dialog modeless and waits for its page.
  void Open() {
    ASSERT_TRUE(dialog_->Create(IDD_DICT_OPTION));
    ASSERT_TRUE(PumpUntil([&] { return Element(L"tab_install") != nullptr; }));
  }
  htmlview::Element* Element(const std::wstring& id) {
    return dialog_->GetSafeHwnd() ? dialog_->GetHtmlCtrl().GetElement(id.c_str()) : nullptr;
  }
  void Command(UINT id) { dialog_->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  bool Visible(CWnd& w) { return (w.GetStyle() & WS_VISIBLE) != 0; }
  bool Enabled(CWnd& w) { return w.IsWindowEnabled() != 0; }
  uint32_t SelectedId() {
    DictGroupItem* m = dialog_->GetPage().SelectedMember();
    return m ? m->id : 0;
  }

  std::unique_ptr<CDlgDictOption> dialog_;
};

TEST_F(OptionDialogTest, OpensOnTheQueryTabWithTheFirstRowSelected) {
  Open();
  wchar_t caption[64];
  dialog_->GetWindowText(caption, 64);
  EXPECT_STREQ(caption, L"Dictionary Options");
  EXPECT_EQ(dialog_->m_tabQuery.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dialog_->m_tabIndex.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(dialog_->GetPage().GetPosition(), 0);
  EXPECT_EQ(Element(L"dict_00000100_ffffffff")->GetStyle(L"background-color"), L"#fff1d1");
  EXPECT_TRUE(Visible(dialog_->m_btnInstall));
  EXPECT_FALSE(Visible(dialog_->m_btnAdd));
  wchar_t text[64];
  dialog_->m_btnClose.GetWindowText(text, 64);
  EXPECT_STREQ(text, L"Close");
  // The layout: tabs side by side at the top, the page below the tool row.
  CRect query, index, grab, page, close, client;
  dialog_->GetClientRect(&client);
  for (auto [w, r] : {std::make_pair<CWnd*, CRect*>(&dialog_->m_tabQuery, &query), {&dialog_->m_tabIndex, &index},
                      {&dialog_->m_tabGrab, &grab}, {&dialog_->GetHtmlCtrl(), &page}, {&dialog_->m_btnClose, &close}}) {
    w->GetWindowRect(r);
    dialog_->ScreenToClient(r);
  }
  EXPECT_EQ(query.TopLeft(), CPoint(5, 5));
  EXPECT_EQ(index.left, query.right);
  EXPECT_EQ(grab.left, index.right);
  EXPECT_EQ(close.right, client.right - 5);
  EXPECT_EQ(close.bottom, client.bottom - 8);
  EXPECT_EQ(page.left, 6);
  EXPECT_EQ(page.right, client.right - 6);
  EXPECT_EQ(page.bottom, close.top - 9);  // 11 above the Close button, less the frame
  EXPECT_GT(page.top, query.bottom);
}

TEST_F(OptionDialogTest, InitialSelectionOpensItsGroupAndRow) {
  dialog_->SetInitialSelection(kGroupIndex, kBase);
  Open();
  EXPECT_EQ(dialog_->GetPage().GetKind(), kGroupIndex);
  EXPECT_EQ(dialog_->m_tabIndex.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dialog_->GetPage().GetPosition(), 1);
  EXPECT_EQ(Element(L"dict_00000100_ffffffff")->GetStyle(L"background-color"), L"#fff1d1");
  EXPECT_EQ(Element(L"dict_00000200_ffffffff")->GetStyle(L"background-color"), L"transparent");
  // Once the window exists it changes nothing.
  dialog_->SetInitialSelection(kGroupQuery, kTwoGls);
  EXPECT_EQ(dialog_->GetPage().GetKind(), kGroupIndex);
  EXPECT_TRUE(Visible(dialog_->m_btnAdd));
  EXPECT_FALSE(Visible(dialog_->m_btnInstall));
}

TEST_F(OptionDialogTest, ButtonsFollowTheSelectedRow) {
  Open();
  struct Case {
    uint32_t id, glossary;
    bool uninstall, download;
  } cases[] = {
      {kBase, 0xFFFFFFFF, false, false},
      {kTwoGls, 0xFFFFFFFF, true, true},
      {kPermanent, 0xFFFFFFFF, false, false},
      {kTwoGls, 1, false, false},
      {kOnline, 0xFFFFFFFF, true, false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(dialog_->GetPage().SelectById(c.id, c.glossary)) << c.id;
    EXPECT_EQ(Enabled(dialog_->m_btnUninstall), c.uninstall) << c.id;
    EXPECT_EQ(Enabled(dialog_->m_btnDownload), c.download) << c.id;
    EXPECT_TRUE(Enabled(dialog_->m_btnDetail)) << c.id;
  }
  Command(IDC_DICTOPT_INDEX);
  EXPECT_EQ(dialog_->GetPage().GetKind(), kGroupIndex);
  ASSERT_TRUE(dialog_->GetPage().SelectById(kBase, 0xFFFFFFFF));
  EXPECT_FALSE(Enabled(dialog_->m_btnRemove));  // the fixed dictionary stays in the index
  Command(IDC_DICTOPT_GRAB);
  EXPECT_EQ(dialog_->m_tabGrab.GetCheck(), BST_CHECKED);
  EXPECT_EQ(dialog_->m_tabIndex.GetCheck(), BST_UNCHECKED);
  EXPECT_EQ(Element(L"tab_install")->Rows().size(), 1u);
}

TEST_F(OptionDialogTest, InstallIsForTheQueryTabAndAddRemoveForTheOthers) {
  Open();
  Command(IDC_DICTOPT_ADD);
  Command(IDC_DICTOPT_REMOVE);
  EXPECT_TRUE(boxes_.shown.empty());
  EXPECT_EQ(manager_.GetGroupCount(kGroupQuery), 4u);
  Command(IDC_DICTOPT_INDEX);
  Command(IDC_DICTOPT_INSTALL);
  Command(IDC_DICTOPT_UNINSTALL);
  EXPECT_EQ(g_fileDialogs, 0);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(OptionDialogTest, InstallButtonInstallsAndSelectsTheNewRow) {
  Open();
  g_chosenFile = Build(0x500, L"flags = 0x18\ndescription = en | Fresh");
  CloseDialogLater(L"Installed", IDOK);
  Command(IDC_DICTOPT_INSTALL);
  EXPECT_EQ(g_fileDialogs, 1);
  EXPECT_TRUE(DialogWasClosed());
  EXPECT_EQ(SelectedId(), 0x500u);
  EXPECT_NE(Element(L"dict_00000500_ffffffff"), nullptr);
  EXPECT_TRUE(PostedToMain(2032).empty());  // the open dialog announces when it goes
  // Cancelling the file dialog installs nothing.
  g_chosenFile.clear();
  Command(IDC_DICTOPT_INSTALL);
  EXPECT_EQ(manager_.GetGroupCount(kGroupQuery), 5u);
}

TEST_F(OptionDialogTest, UninstallAsksAndRebuildsThePage) {
  Open();
  ASSERT_TRUE(dialog_->GetPage().SelectById(kPermanent, 0xFFFFFFFF));  // the last row
  boxes_.answers = {IDNO};
  Command(IDC_DICTOPT_UNINSTALL);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"Uninstall Title 1024 00000400");
  EXPECT_NE(manager_.FindDict(kPermanent), nullptr);
  // The manager refuses a permanent dictionary; its text is shown.
  boxes_.answers = {IDYES};
  Command(IDC_DICTOPT_UNINSTALL);
  ASSERT_EQ(boxes_.shown.size(), 3u);
  EXPECT_EQ(boxes_.shown[2].text, L"UninstallDictFail");
  EXPECT_EQ(boxes_.shown[2].type, UINT(MB_OK));
  EXPECT_NE(manager_.FindDict(kPermanent), nullptr);
  // The online one goes; the row after it takes its place.
  ASSERT_TRUE(dialog_->GetPage().SelectById(kOnline, 0xFFFFFFFF));
  boxes_.answers = {IDYES};
  Command(IDC_DICTOPT_UNINSTALL);
  EXPECT_EQ(manager_.FindDict(kOnline), nullptr);
  EXPECT_EQ(Element(L"dict_00000300_ffffffff"), nullptr);
  EXPECT_EQ(dialog_->GetPage().GetPosition(), 2);
  EXPECT_EQ(SelectedId(), kPermanent);
  EXPECT_EQ(Ids(*Reload(), kGroupQuery), (std::vector<uint32_t>{kBase, kTwoGls, kPermanent}));
}

TEST_F(OptionDialogTest, PageFollowsChangesMadeToTheManagerElsewhere) {
  Open();
  ASSERT_TRUE(dialog_->GetPage().SelectById(kOnline, 0xFFFFFFFF));
  // An update's script installs one dictionary and uninstalls another.
  uint32_t installed = 0;
  ASSERT_TRUE(manager_.InstallDict(installed, Build(0x500, L"flags = 0x18\ndescription = en | Fresh").c_str(), false));
  ASSERT_TRUE(manager_.UninstallDict(kTwoGls));
  EXPECT_NE(Element(L"dict_00000500_ffffffff"), nullptr);
  EXPECT_EQ(Element(L"dict_00000200_ffffffff"), nullptr);
  EXPECT_EQ(SelectedId(), kOnline);
  EXPECT_EQ(Element(L"dict_00000300_ffffffff")->GetStyle(L"background-color"), L"#fff1d1");
  // Top moves the row shown selected, on the page as in the manager's list.
  Command(IDC_DICTOPT_TOP);
  const std::vector<uint32_t> order = {kOnline, kBase, kPermanent, 0x500};
  EXPECT_EQ(Ids(manager_, kGroupQuery), order);
  const std::vector<htmlview::Element*> rows = Element(L"tab_install")->Rows();
  ASSERT_EQ(rows.size(), order.size() + 1);
  for (size_t i = 0; i < order.size(); ++i) {
    htmlview::Element* row = Element(DictElementId(L"dict_", order[i], 0xFFFFFFFF));
    while (row && !row->Is(L"tr")) row = row->Parent();
    EXPECT_EQ(row, rows[i + 1]) << "row " << i;
  }
  // The selected dictionary itself goes: the row now at its place is selected.
  ASSERT_TRUE(manager_.UninstallDict(kOnline));
  EXPECT_EQ(SelectedId(), kBase);
  EXPECT_EQ(Element(L"dict_00000100_ffffffff")->GetStyle(L"background-color"), L"#fff1d1");
  // Gone, the dialog is told nothing more.
  dialog_->DestroyWindow();
  dialog_.reset();
  EXPECT_TRUE(manager_.AddToGroup(kGroupGrab, kBase));
}

TEST_F(OptionDialogTest, ToolRowFitsAtTheLeastSizeWithEveryFontSize) {
  for (int points : {9, 10, 12}) {
    SCOPED_TRACE(points);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(points * 10, L"Tahoma", nullptr));
    SetDialogFont(static_cast<HFONT>(font.GetSafeHandle()));
    dialog_ = std::make_unique<CDlgDictOption>();
    Open();
    auto resize = [&](int cx) { dialog_->SetWindowPos(nullptr, 0, 0, cx, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); };
    auto netWidth = [&] {
      CRect r;
      dialog_->m_btnNetInstall.GetWindowRect(&r);
      return r.Width();
    };
    resize(1200);
    const int wideNet = netWidth();
    resize(600);
    CRect window;
    dialog_->GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(600, 400));
    for (UINT tab : {IDC_DICTOPT_INDEX, IDC_DICTOPT_QUERY}) {
      Command(tab);
      CRect client;
      dialog_->GetClientRect(&client);
      std::vector<CRect> placed;
      for (CWnd* w : std::initializer_list<CWnd*>{
               &dialog_->m_tabQuery, &dialog_->m_tabIndex, &dialog_->m_tabGrab, &dialog_->m_btnNetInstall,
               &dialog_->m_btnInstall, &dialog_->m_btnUninstall, &dialog_->m_btnDownload, &dialog_->m_btnAdd,
               &dialog_->m_btnRemove, &dialog_->m_btnDetail, &dialog_->m_btnTop, &dialog_->m_btnUp,
               &dialog_->m_btnDown, &dialog_->m_btnBottom}) {
        if (!Visible(*w)) continue;
        CRect r;
        w->GetWindowRect(&r);
        dialog_->ScreenToClient(&r);
        EXPECT_GE(r.left, 5) << w->GetDlgCtrlID();
        EXPECT_LE(r.right, client.right - 5) << w->GetDlgCtrlID();
        EXPECT_GT(r.Width(), 0) << w->GetDlgCtrlID();
        for (const CRect& other : placed) {
          CRect both;
          EXPECT_FALSE(both.IntersectRect(&r, &other)) << w->GetDlgCtrlID() << " overlaps another control";
        }
        placed.push_back(r);
      }
    }
    // Wide again, every caption has its whole width back.
    resize(1200);
    EXPECT_EQ(netWidth(), wideNet);
    dialog_->DestroyWindow();
    SetDialogFont(nullptr);
  }
}

TEST(ToolbarFit, GapsCloseUpThenTheWidestButtonsNarrow) {
  const struct Case {
    std::vector<int> widths, gaps;
    int room;
    std::vector<int> wantWidths, wantGaps;
  } cases[] = {
      {{24, 100, 60}, {5, 40, 40}, 300, {24, 100, 60}, {5, 40, 40}},  // it fits
      {{24, 100, 60}, {5, 40, 40}, 230, {24, 100, 60}, {5, 10, 10}},  // the gaps are enough
      {{24, 100, 60}, {5, 40, 40}, 200, {24, 91, 60}, {5, 10, 10}},
      {{24, 80, 80}, {5, 5, 5}, 159, {24, 60, 60}, {5, 5, 5}},  // equals narrow alike
      {{24, 50, 30}, {5, 5, 5}, 40, {24, 24, 24}, {5, 5, 5}},   // never below a square
  };
  for (const Case& c : cases) {
    std::vector<ToolbarStep> steps;
    for (size_t i = 0; i < c.widths.size(); ++i) steps.push_back({nullptr, c.gaps[i], c.widths[i], 24});
    FitToolbar(steps, c.room);
    std::vector<int> widths, gaps;
    for (const ToolbarStep& s : steps) {
      widths.push_back(s.width);
      gaps.push_back(s.gap);
    }
    EXPECT_EQ(widths, c.wantWidths) << c.room;
    EXPECT_EQ(gaps, c.wantGaps) << c.room;
  }
}

TEST_F(OptionDialogTest, ALongNameIsCutShortAndTheColumnsStay) {
  uint32_t installed = 0;
  const std::wstring fields = L"flags = 0x18\ndescription = en | " + std::wstring(2000, L'W');
  ASSERT_TRUE(manager_.InstallDict(installed, Build(0x600, fields).c_str(), false));
  Open();
  const int width = dialog_->GetPageDocument()->ViewportWidth();
  ASSERT_GT(width, 0);
  for (uint32_t id : {kBase, 0x600u}) {
    htmlview::Element* row = Element(DictElementId(L"dict_", id, 0xFFFFFFFF));
    ASSERT_NE(row, nullptr);
    std::vector<htmlview::Element*> parts;  // the Online and ID columns, then the name
    for (size_t i = 0; i < row->ChildCount(); ++i)
      if (row->Child(i)->IsElement()) parts.push_back(row->Child(i));
    ASSERT_EQ(parts.size(), 3u);
    for (htmlview::Element* column : {parts[0], parts[1]}) {
      const htmlview::PageRect box = column->PageBox();
      EXPECT_GT(box.width, 0) << std::hex << id;
      EXPECT_LE(box.left + box.width, width) << std::hex << id;
    }
    EXPECT_LE(parts[2]->PageBox().width, width) << std::hex << id;
  }
}

// A message box grows with its text: the question names a dictionary of a
// very long name shortly.
TEST_F(OptionDialogTest, TheUninstallQuestionNamesALongDictionaryShortly) {
  uint32_t installed = 0;
  const std::wstring path = Build(0x600, L"description = en | " + std::wstring(2000, L'W'), L"", L"long");
  ASSERT_TRUE(manager_.InstallDict(installed, path.c_str(), true));
  Open();
  ASSERT_TRUE(dialog_->GetPage().SelectById(installed, 0xFFFFFFFF));
  boxes_.answers = {IDNO};
  Command(IDC_DICTOPT_UNINSTALL);
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"Uninstall " + std::wstring(31, L'W') + L"\x2026 00000600");
}

TEST_F(OptionDialogTest, RemoveTakesMembersOutButNotTheLastIndexMember) {
  Open();
  Command(IDC_DICTOPT_INDEX);
  ASSERT_TRUE(dialog_->GetPage().SelectById(kTwoGls, 0xFFFFFFFF));
  boxes_.answers = {IDYES};
  Command(IDC_DICTOPT_REMOVE);
  EXPECT_EQ(boxes_.shown[0].text, L"Remove Title 512 00000200");
  EXPECT_EQ(Ids(manager_, kGroupIndex), (std::vector<uint32_t>{kBase}));
  EXPECT_EQ(SelectedId(), kBase);
  boxes_.answers = {IDYES};
  Command(IDC_DICTOPT_REMOVE);
  ASSERT_EQ(boxes_.shown.size(), 3u);
  EXPECT_EQ(boxes_.shown[2].text, L"NoClearAllIndexGroup");
  EXPECT_EQ(Ids(manager_, kGroupIndex), (std::vector<uint32_t>{kBase}));
}

TEST_F(OptionDialogTest, OrderAndFlagsAreSavedAndAnnouncedWhenTheDialogGoes) {
  Open();
  ASSERT_TRUE(dialog_->GetPage().SelectById(kBase, 0xFFFFFFFF));
  Command(IDC_DICTOPT_DOWN);
  Command(IDC_DICTOPT_DOWN);
  // The page's own check box control, clicked: the view passes the click on.
  htmlview::Element* box = Element(L"chk_00000200_ffffffff");
  ASSERT_TRUE(PumpUntil([&] { return box->ControlWindow() != nullptr; }));
  ::SendMessageW(box->ControlWindow(), BM_CLICK, 0, 0);
  PumpPending();
  EXPECT_FALSE(manager_.GetGroupItem(kGroupQuery, 0)->enable);
  EXPECT_EQ(SelectedId(), kTwoGls);  // the click selected its row
  ASSERT_TRUE(dialog_->GetPage().SelectById(kTwoGls, 1));
  Command(IDC_DICTOPT_TOP);
  EXPECT_TRUE(PostedToMain(2032).empty());
  dialog_->DestroyWindow();
  EXPECT_EQ(PostedToMain(2032).size(), 1u);
  auto saved = Reload();
  EXPECT_EQ(Ids(*saved, kGroupQuery), (std::vector<uint32_t>{kTwoGls, kOnline, kBase, kPermanent}));
  DictGroupItem* member = saved->GetGroupItem(kGroupQuery, 0);
  EXPECT_FALSE(member->enable);
  ASSERT_EQ(member->glossaries.size(), 2u);
  EXPECT_EQ(member->glossaries[0].number, 1u);
}

TEST_F(OptionDialogTest, NetInstallAsksTheMainWindowForTheDictionaryPage) {
  Open();
  Command(IDC_DICTOPT_NETINSTALL);
  auto actions = PostedToMain(2031);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].wParam, WPARAM(164));
  EXPECT_EQ(actions[0].lParam, 0);
}

// The picker, run by Add, is answered from a timer once its page is there.
void CALLBACK PickTwoGlossaryDictionary(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND found = FindThreadDialogWith(IDC_DICTLIST_SELECT);
  auto* picker = dynamic_cast<CDlgDictList*>(CWnd::FromHandlePermanent(found));
  htmlview::Element* box = picker ? picker->GetHtmlCtrl().GetElement(L"chk_00000200") : nullptr;
  if (!box) return;
  KillTimer(nullptr, timer);
  box->SetChecked(true);
  picker->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DICTLIST_SELECT, BN_CLICKED), 0);
}

TEST_F(OptionDialogTest, AddPutsThePickedDictionariesIntoTheGroup) {
  Open();
  Command(IDC_DICTOPT_GRAB);
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, PickTwoGlossaryDictionary);
  Command(IDC_DICTOPT_ADD);
  KillTimer(nullptr, timer);
  EXPECT_EQ(Ids(manager_, kGroupGrab), (std::vector<uint32_t>{kTwoGls}));
  EXPECT_EQ(SelectedId(), kTwoGls);
  EXPECT_NE(Element(L"dict_00000200_ffffffff"), nullptr);
}

TEST_F(OptionDialogTest, ControlsGetTheDialogBackground) {
  Open();
  // An image request: the whole image lies behind the control, wherever it sits.
  Veltra::COImage image;
  image.CreateFilled(30, 20, 72.0, 0xFF000000, 0);
  GuiBkgndRequest request = {1, nullptr, &image, dialog_->m_btnDetail.GetSafeHwnd(), 0, 0};
  CRect inParent(200, 40, 230, 60);
  EXPECT_NE(dialog_->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&inParent), LPARAM(&request)), 0);
  for (int y = 0; y < 20; y += 19)
    for (int x = 0; x < 30; x += 29) EXPECT_EQ(image.At(x, y), 0xFFEBF1FAu) << x << "," << y;
  // A device-context request fills the rectangle at the request's origin.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
  HGDIOBJ old = SelectObject(memory, bitmap);
  GuiBkgndRequest paint = {0, CDC::FromHandle(memory), nullptr, dialog_->m_btnDetail.GetSafeHwnd(), 5, 5};
  CRect size(0, 0, 10, 10);
  EXPECT_NE(dialog_->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&size), LPARAM(&paint)), 0);
  EXPECT_EQ(GetPixel(memory, 5, 5), RGB(0xEB, 0xF1, 0xFA));
  EXPECT_EQ(GetPixel(memory, 14, 14), RGB(0xEB, 0xF1, 0xFA));
  EXPECT_NE(GetPixel(memory, 15, 15), RGB(0xEB, 0xF1, 0xFA));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  GuiBkgndRequest none = {1, nullptr, nullptr, nullptr, 0, 0};
  EXPECT_EQ(dialog_->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&size), LPARAM(&none)), 0);
}

TEST_F(OptionDialogTest, DoModalEndsWithCloseAndSaves) {
  CloseDialogLater(L"Dictionary Options", IDCANCEL, 100);
  EXPECT_EQ(dialog_->DoModal(), IDCANCEL);
  EXPECT_TRUE(DialogWasClosed());
  EXPECT_EQ(PostedToMain(2032).size(), 1u);
  EXPECT_EQ(dialog_->GetPage().GetPosition(), -1);
}

}  // namespace
