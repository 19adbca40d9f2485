// The index pane with its tab buttons, word list and guide view, as a child
// of a spy main window.
#include "app/search/DlgIndex.h"
#include "app/search/tests/SearchTestKit.h"

namespace {

using namespace search_test;

class DlgIndexTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(RegisterListWordClass());
  }
  void TearDown() override {
    pane.reset();
    manager.reset();
    WindowTest::TearDown();
  }
  void Open() {
    pane = std::make_unique<CDlgIndex>(&main);
    ASSERT_TRUE(pane->Create(IDD_DLG_INDEX, &main));
    pane->MoveWindow(0, 0, 200, 300);
    pane->ShowWindow(SW_SHOW);
  }
  void Click(int id) {
    pane->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(pane->GetDlgItem(id)->m_hWnd));
  }
  int Checked(int id) { return int(pane->GetDlgItem(id)->SendMessage(BM_GETCHECK)); }
  std::unique_ptr<CDlgIndex> pane;
  std::unique_ptr<CDictManager> manager;
};

TEST_F(DlgIndexTest, StartsOnTheGuideWithTheFirstEnabledMemberAttached) {
  manager = MakeManager(host);
  ASSERT_TRUE(manager);
  manager->GetGroupItem(kGroupIndex, 0)->enable = false;
  App().manager = manager.get();
  Open();
  EXPECT_EQ(CDlgIndex::kTabGuide, pane->GetCurrentTab());
  EXPECT_EQ(BST_CHECKED, Checked(IDC_INDEX_TAB_GUIDE));
  EXPECT_EQ(BST_UNCHECKED, Checked(IDC_INDEX_TAB_INDEX));
  EXPECT_TRUE(pane->GetGuide().IsWindowVisible());
  EXPECT_FALSE(pane->GetWordList().IsWindowVisible());
  EXPECT_EQ(IDC_INDEX_GUIDE, pane->GetGuide().GetDlgCtrlID());
  CListWord& list = pane->GetWordList();
  ASSERT_NE(nullptr, list.GetSource());
  EXPECT_EQ(0x300u, list.GetSourceId());
  EXPECT_EQ(1, list.GetSourceIndex());
  EXPECT_EQ(0, list.GetSelection());
}

TEST_F(DlgIndexTest, AppendixShowsTheIndexTabAndTheCurrentTabChangesNothing) {
  Open();
  Click(IDC_INDEX_TAB_APPENDIX);
  EXPECT_EQ(CDlgIndex::kTabIndex, pane->GetCurrentTab());
  EXPECT_EQ(BST_CHECKED, Checked(IDC_INDEX_TAB_INDEX));
  EXPECT_EQ(BST_UNCHECKED, Checked(IDC_INDEX_TAB_APPENDIX));
  EXPECT_EQ(BST_UNCHECKED, Checked(IDC_INDEX_TAB_GUIDE));
  EXPECT_TRUE(pane->GetWordList().IsWindowVisible());
  EXPECT_FALSE(pane->GetGuide().IsWindowVisible());

  Click(IDC_INDEX_TAB_INDEX);
  EXPECT_EQ(CDlgIndex::kTabIndex, pane->GetCurrentTab());
  EXPECT_EQ(BST_CHECKED, Checked(IDC_INDEX_TAB_INDEX));
  EXPECT_EQ(CDlgIndex::kTabGuide, pane->SelectTab(CDlgIndex::kTabGuide));
  EXPECT_TRUE(pane->GetGuide().IsWindowVisible());
  Click(IDC_INDEX_TAB_GUIDE);
  EXPECT_EQ(BST_CHECKED, Checked(IDC_INDEX_TAB_GUIDE));
}

TEST_F(DlgIndexTest, TheFocusLeavesTheWordListThatATabSwitchHides) {
  Open();
  pane->SelectTab(CDlgIndex::kTabIndex);
  pane->GetWordList().SetFocus();
  ASSERT_EQ(pane->GetWordList().m_hWnd, ::GetFocus());
  pane->SelectTab(CDlgIndex::kTabGuide);
  EXPECT_FALSE(pane->GetWordList().IsWindowVisible());
  // Back to the pane, which as a dialog may hand it on to one of its controls.
  const HWND focus = ::GetFocus();
  EXPECT_NE(pane->GetWordList().m_hWnd, focus);
  EXPECT_TRUE(focus == pane->m_hWnd || ::IsChild(pane->m_hWnd, focus));
}

TEST_F(DlgIndexTest, WordListNotificationsBecomeLookups) {
  manager = MakeManager(host);
  ASSERT_TRUE(manager);
  App().manager = manager.get();
  Open();
  CListWord& list = pane->GetWordList();
  ASSERT_EQ(2u, list.GetSource()->GetKeyCount());
  list.SetSelection(1, true, true);
  auto refresh = main.Lookups(2029);
  ASSERT_EQ(1u, refresh.size());
  EXPECT_EQ(0u, refresh[0].wParam);
  EXPECT_EQ(0, refresh[0].lParam);

  list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  auto lookups = main.Lookups(2028);
  ASSERT_EQ(1u, lookups.size());
  EXPECT_EQ(list.GetSource()->GetKey(1), lookups[0].word);  // the key at the selected row
  EXPECT_EQ(0x124D1, lookups[0].lParam);
}

TEST_F(DlgIndexTest, AnEmptyIndexGroupLeavesTheListEmptyAndThePaneWorking) {
  Open();
  EXPECT_EQ(nullptr, pane->GetWordList().GetSource());
  pane->GetWordList().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(main.Lookups(2028).empty());
  EXPECT_EQ(CDlgIndex::kTabIndex, pane->SelectTab(CDlgIndex::kTabIndex));
  pane->UpdateWindow();
}

TEST_F(DlgIndexTest, TheGuidesPageReadyGoesOnToTheMainWindow) {
  Open();
  main.sent.clear();
  EXPECT_EQ(1, pane->SendMessage(3024, 0, LPARAM(pane->GetGuide().m_hWnd)));
  PumpPending();
  bool forwarded = false;
  for (const Sent& s : main.Lookups(3024)) forwarded = forwarded || (s.wParam == 0 && s.lParam == LPARAM(pane->m_hWnd));
  EXPECT_TRUE(forwarded);
}

TEST_F(DlgIndexTest, LayoutAndBackgroundRequests) {
  Open();
  pane->MoveWindow(0, 0, 220, 320);
  auto rect = [&](const CWnd& child) {
    CRect rc;
    child.GetWindowRect(&rc);
    pane->ScreenToClient(&rc);
    return rc;
  };
  EXPECT_EQ(CRect(0, 15, 22, 47), rect(*pane->GetDlgItem(IDC_INDEX_TAB_INDEX)));
  EXPECT_EQ(CRect(0, 47, 22, 79), rect(*pane->GetDlgItem(IDC_INDEX_TAB_GUIDE)));
  EXPECT_EQ(CRect(0, 79, 22, 111), rect(*pane->GetDlgItem(IDC_INDEX_TAB_APPENDIX)));
  EXPECT_EQ(CRect(23, 1, 219, 319), rect(pane->GetWordList()));
  EXPECT_EQ(CRect(23, 1, 219, 319), rect(pane->GetGuide()));

  Veltra::COImage image;
  image.CreateFilled(6, 6, 72.0, 0xFF000000, 1);
  CRect rc(0, 0, 6, 6);
  GuiBkgndRequest req = {1, nullptr, &image, pane->GetDlgItem(IDC_INDEX_TAB_INDEX)->m_hWnd, 0, 0};
  EXPECT_EQ(1, pane->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&req)));
  EXPECT_EQ(0xFFD1E0F2u, image.At(2, 2));
  Canvas canvas(10, 10);
  GuiBkgndRequest paint = {0, CDC::FromHandle(canvas.dc()), nullptr, req.control, 1, 1};
  EXPECT_EQ(1, pane->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&paint)));
  EXPECT_EQ(RGB(209, 224, 242), canvas.At(3, 3));
  EXPECT_EQ(RGB(255, 0, 255), canvas.At(0, 0));
  image.Release();
  EXPECT_EQ(0, pane->SendMessage(WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&req)));
}

}  // namespace

namespace {

using namespace search_test;

TEST_F(DlgIndexTest, TheBackgroundFillsTheTabColumnBelowTheButtonsAndFramesTheContent) {
  Open();
  pane->MoveWindow(0, 0, 200, 300);
  Canvas canvas(200, 300);
  pane->SendMessage(WM_ERASEBKGND, WPARAM(canvas.dc()));
  EXPECT_EQ(RGB(235, 241, 250), canvas.At(10, 5));    // above the tabs
  EXPECT_EQ(RGB(235, 241, 250), canvas.At(10, 200));  // below them
  EXPECT_EQ(RGB(255, 0, 255), canvas.At(10, 30));     // the Index button paints itself
  EXPECT_EQ(RGB(66, 115, 183), canvas.At(22, 100));   // the content's frame
  EXPECT_EQ(RGB(66, 115, 183), canvas.At(199, 0));
  EXPECT_EQ(RGB(255, 0, 255), canvas.At(100, 100));   // the content is its children's
}

}  // namespace
