#include "app/popup/DlgView.h"

#include <memory>

#include "app/popup/PageMenus.h"
#include "app/popup/tests/WindowTestKit.h"
#include "app/shell/QuorindoApp.h"
#include "core/TextCodec.h"
#include "core/UiSeam.h"

namespace {

class DlgViewTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    LoadGrabGroup();
    bar_ = std::make_unique<CDlgView>();
    ASSERT_TRUE(bar_->Create(CDlgView::IDD, &main_));
    bar_->SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    ASSERT_TRUE(PumpUntil([&] { return bar_->m_view.IsReady(); }));
    Pump();
    main_.got.clear();
  }
  void TearDown() override {
    if (bar_ && bar_->m_hWnd) bar_->DestroyWindow();
    bar_.reset();
    WindowTest::TearDown();
  }
  std::unique_ptr<CDlgView> bar_;  // made once the control library has started
};

TEST_F(DlgViewTest, PageReadyShowsTheViewAndReportsToTheMainWindow) {
  EXPECT_TRUE(bar_->m_view.GetStyle() & WS_VISIBLE);
  EXPECT_EQ(0, ::SendMessageW(bar_->m_hWnd, WM_PAGE_READY, 1, 0));
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_READY, 0, 0));
  Pump();
  ASSERT_EQ(1u, main_.Of(WM_PAGE_READY).size());
  EXPECT_EQ(reinterpret_cast<LPARAM>(bar_->m_hWnd), main_.Of(WM_PAGE_READY)[0].lParam);
}

TEST_F(DlgViewTest, SectionActionFollowsTheRecord) {
  ASSERT_TRUE(bar_->SetResultHtml(L"<a id=\"dict_show_512\">x</a><div id=\"dict_meaning_512\">m</div>", L"x", true));
  EXPECT_FALSE(bar_->SetResultHtml(nullptr, L"x", true));
  SectionRequest show = {kGroupGrab, 0x200, 1, 1};
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&show)));
  EXPECT_FALSE(theApp.m_dictManager.GetGroupItem(kGroupGrab, 0)->minimize);
  EXPECT_EQ(L"", bar_->m_view.GetElement(L"dict_meaning_512")->GetStyle(L"display"));
  SectionRequest toggle = {kGroupGrab, 0x200, 0, 1};
  ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&toggle));
  EXPECT_TRUE(theApp.m_dictManager.GetGroupItem(kGroupGrab, 0)->minimize);
  EXPECT_EQ(L"none", bar_->m_view.GetElement(L"dict_meaning_512")->GetStyle(L"display"));
  EXPECT_EQ(L"Show", bar_->m_view.GetElement(L"dict_show_512")->Title());
  SectionRequest stranger = {kGroupIndex, 0x200, 0, 0};
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&stranger)));
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 150, 0));
  EXPECT_EQ(0, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 151, 0));
}

TEST_F(DlgViewTest, LinksAndCommandsGoToTheMainWindow) {
  const wchar_t* arg = L"word";
  EXPECT_EQ(0, ::SendMessageW(bar_->m_hWnd, WM_APP_LINK, reinterpret_cast<WPARAM>(L"headword"),
                              reinterpret_cast<LPARAM>(arg)));
  ASSERT_EQ(1u, main_.Of(WM_APP_LINK).size());
  EXPECT_EQ(L"word", main_.Of(WM_APP_LINK)[0].text);

  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, MAKEWPARAM(1039, BN_CLICKED), 0);
  ASSERT_EQ(1u, main_.Of(WM_PAGE_ACTION).size());
  EXPECT_EQ(162u, main_.Of(WM_PAGE_ACTION)[0].wParam);
  EXPECT_EQ(L"open", main_.Of(WM_PAGE_ACTION)[0].text);

  bar_->m_btnIndex.SetCheck(1);
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, MAKEWPARAM(1022, BN_CLICKED), 0);
  ASSERT_EQ(1u, main_.Of(WM_COMMAND).size());
  EXPECT_EQ(1022u, main_.Of(WM_COMMAND)[0].wParam);
}

TEST_F(DlgViewTest, SearchSelectionSendsTheCleanedText) {
  ASSERT_TRUE(bar_->SetResultHtml(L"<p id=\"p\">two\nlines</p>", L"two", true));
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 163, 0);  // select all
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 106, 0);
  ASSERT_EQ(1u, main_.Of(WM_APP_LINK).size());
  EXPECT_EQ(L"two lines", main_.Of(WM_APP_LINK)[0].text);
}

TEST_F(DlgViewTest, CopyWithoutSelectionCopiesThePageAndLeavesNoSelection) {
  ASSERT_TRUE(bar_->SetResultHtml(L"<p>whole page</p>", L"whole", true));
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 1018, 0);
  EXPECT_FALSE(bar_->m_view.HasTextSelection());
  ASSERT_TRUE(OpenClipboard(main_.m_hWnd));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_NE(std::wstring::npos, text.find(L"whole page"));
}

std::wstring g_saveName;
bool AnswerSave(OPENFILENAMEW& dialog, bool save, DWORD& error) {
  error = 0;
  if (!save || g_saveName.empty()) return false;
  wcsncpy(dialog.lpstrFile, g_saveName.c_str(), dialog.nMaxFile - 1);
  return true;
}
std::vector<std::wstring> g_boxes;
int RecordBox(HWND, const wchar_t* text, const wchar_t*, UINT) {
  g_boxes.push_back(text ? text : L"");
  return IDOK;
}

TEST_F(DlgViewTest, SaveWritesThePageAndReportsFailure) {
  FileDialogHandler oldDialog = SetFileDialogHandler(&AnswerSave);
  MessageBoxHandler oldBox = SetMessageBoxHandler(&RecordBox);
  g_boxes.clear();
  g_saveName = host_.root + L"saved.htm";
  // No lookup yet: nothing happens.
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 1020, 0);
  EXPECT_FALSE(FileExists(g_saveName));

  ASSERT_TRUE(bar_->SetResultHtml(L"<p>saved text</p>", L"saved", true));
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 1020, 0);
  ASSERT_TRUE(FileExists(g_saveName));
  EXPECT_TRUE(g_boxes.empty());
  std::string saved;
  ReadFileToString(saved, g_saveName.c_str());
  const std::wstring page(reinterpret_cast<const wchar_t*>(saved.data()), saved.size() / 2);
  EXPECT_NE(std::wstring::npos, page.find(L"saved text"));
  EXPECT_EQ(0u, page.find(L"\xFEFF<html><head></head><body"));
  EXPECT_EQ(page.size() - 8, page.find(L"\n</html>"));

  g_saveName = host_.root + L"missing\\saved.htm";
  ::SendMessageW(bar_->m_hWnd, WM_COMMAND, 1020, 0);
  ASSERT_EQ(1u, g_boxes.size());
  EXPECT_EQ(L"Save failed", g_boxes[0]);
  SetFileDialogHandler(oldDialog);
  SetMessageBoxHandler(oldBox);
}

}  // namespace

namespace {

TEST_F(DlgViewTest, ContextMenuIsLeftToTheBrowserOnlyForTextFields) {
  ASSERT_TRUE(bar_->SetResultHtml(L"<textarea id=\"t\"></textarea><input id=\"i\"><input id=\"c\" type=\"checkbox\">"
                                  L"<img id=\"m\">",
                                  L"w", true));
  CResultView& view = bar_->m_view;
  const POINT pt = {10, 10};
  EXPECT_EQ(S_OK, CDlgView::ResultContextMenu(1, pt, view.GetBrowser(), view.GetElement(L"m"), &view));
  EXPECT_EQ(S_OK, CDlgView::ResultContextMenu(3, pt, view.GetBrowser(), nullptr, &view));
  EXPECT_EQ(S_FALSE, CDlgView::ResultContextMenu(2, pt, view.GetBrowser(), view.GetElement(L"t"), &view));
  EXPECT_EQ(S_FALSE, CDlgView::ResultContextMenu(2, pt, view.GetBrowser(), view.GetElement(L"i"), &view));
  EXPECT_EQ(S_OK, CDlgView::ResultContextMenu(2, pt, view.GetBrowser(), view.GetElement(L"c"), &view));
  EXPECT_TRUE(main_.got.empty());
}

}  // namespace

namespace {

// The menu's own loop takes the keys that wait in the thread's queue.
void QueueKeys(HWND window, std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) {
    ::PostMessageW(window, WM_KEYDOWN, key, 0);
    ::PostMessageW(window, WM_KEYUP, key, 0);
  }
}

TEST_F(DlgViewTest, DictionaryMenuMovesTheMemberToTheTopAndReportsTheChange) {
  ASSERT_EQ(0x300u, theApp.m_dictManager.GetGroupItem(kGroupGrab, 1)->id);
  QueueKeys(main_.m_hWnd, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // About, Disable, Move to the top
  DictMenuRequest request = {20, 0x300, kGroupGrab, 20};
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 150, reinterpret_cast<LPARAM>(&request)));
  EXPECT_EQ(0x300u, theApp.m_dictManager.GetGroupItem(kGroupGrab, 0)->id);
  Pump();
  EXPECT_EQ(1u, main_.Of(WM_INDEX_GROUP_CHANGED).size());
}

TEST_F(DlgViewTest, DisablingFromTheDictionaryMenuTellsTheUser) {
  MessageBoxHandler old = SetMessageBoxHandler(&RecordBox);
  g_boxes.clear();
  QueueKeys(main_.m_hWnd, {VK_DOWN, VK_DOWN, VK_RETURN});
  DictMenuRequest request = {20, 0x200, kGroupGrab, 20};
  ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 150, reinterpret_cast<LPARAM>(&request));
  EXPECT_FALSE(theApp.m_dictManager.GetGroupItem(kGroupGrab, 0)->enable);
  ASSERT_EQ(1u, g_boxes.size());
  EXPECT_EQ(L"Disabled", g_boxes[0]);
  SetMessageBoxHandler(old);
  // A dictionary of no group shows no menu: the key a menu would take still waits.
  QueueKeys(main_.m_hWnd, {VK_ESCAPE});
  DictMenuRequest stranger = {20, 0x999, kGroupGrab, 20};
  EXPECT_EQ(1, ::SendMessageW(bar_->m_hWnd, WM_PAGE_ACTION, 150, reinterpret_cast<LPARAM>(&stranger)));
  MSG key;
  EXPECT_TRUE(::PeekMessageW(&key, main_.m_hWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  Pump();
}

}  // namespace
