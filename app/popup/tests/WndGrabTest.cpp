#include "app/popup/WndGrab.h"

#include <cstring>
#include <memory>

#include "app/popup/PageMenus.h"
#include "app/popup/tests/WindowTestKit.h"
#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"

namespace {

class WndGrabTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    LoadGrabGroup();
    popup_ = std::make_unique<CWndGrab>();
    ASSERT_TRUE(popup_->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return popup_->m_view.IsReady(); }));
    main_.got.clear();
  }
  void TearDown() override {
    if (popup_ && popup_->m_hWnd) popup_->DestroyWindow();
    popup_.reset();
    WindowTest::TearDown();
  }

  static GrabTextResult Record(const wchar_t* text, int index, int x = 100, int y = 100) {
    GrabTextResult r;
    std::memset(&r, 0, sizeof(r));
    r.x = x;
    r.y = y;
    r.length = static_cast<int32_t>(wcslen(text));
    r.index = index;
    wcsncpy(r.text, text, kGrabTextCapacity - 1);
    return r;
  }
  LRESULT SendRecord(const GrabTextResult& record, DWORD size = sizeof(GrabTextResult), ULONG_PTR id = 2027) {
    COPYDATASTRUCT data = {id, size, const_cast<GrabTextResult*>(&record)};
    return ::SendMessageW(popup_->m_hWnd, WM_COPYDATA, reinterpret_cast<WPARAM>(main_.m_hWnd),
                          reinterpret_cast<LPARAM>(&data));
  }
  CRect WindowRect() {
    CRect rc;
    popup_->GetWindowRect(&rc);
    return rc;
  }

  std::unique_ptr<CWndGrab> popup_;  // made once the control library has started
};

TEST_F(WndGrabTest, GrabRecordIsLookedUpInTheGrabGroupAndShownNearThePoint) {
  EXPECT_EQ(TRUE, SendRecord(Record(L"the books here", 5, 100, 120)));
  ASSERT_TRUE(PumpUntil([&] { return popup_->IsWindowVisible() != FALSE; }));
  EXPECT_EQ(L"book", popup_->GetWord());
  // One section of the grab group's dictionary, no no-match text.
  EXPECT_EQ(L"<div class=\"dict\"></div>", popup_->GetHtml());
  const CRect rc = WindowRect();
  EXPECT_EQ(116, rc.left);
  EXPECT_EQ(136, rc.top);
  EXPECT_GE(rc.Width(), 150);
  EXPECT_GE(rc.Height(), 50);
  // The keep zone reaches back to the point.
  EXPECT_EQ(95, popup_->GetKeepZone().left);
  EXPECT_EQ(115, popup_->GetKeepZone().top);
  EXPECT_EQ(0u, main_.Of(WM_LOOKUP_WORD).size());
}

// Sized by the program, the same result gets the same size every time; a
// size the user dragged stays for the results that follow.
TEST_F(WndGrabTest, TheSameResultKeepsItsSizeAndADraggedSizeStays) {
  ASSERT_EQ(TRUE, SendRecord(Record(L"the books here", 5, 100, 120)));
  ASSERT_TRUE(PumpUntil([&] { return popup_->IsWindowVisible() != FALSE; }));
  const CRect first = WindowRect();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(popup_->ShowResult(1, 0));
    EXPECT_EQ(first.Width(), WindowRect().Width()) << "result " << i + 2;
    EXPECT_EQ(first.Height(), WindowRect().Height()) << "result " << i + 2;
  }
  ::SendMessageW(popup_->m_hWnd, WM_ENTERSIZEMOVE, 0, 0);
  popup_->SetWindowPos(nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(popup_->m_hWnd, WM_EXITSIZEMOVE, 0, 0);
  ASSERT_TRUE(popup_->ShowResult(1, 0));
  EXPECT_EQ(420, WindowRect().Width());
  EXPECT_EQ(260, WindowRect().Height());
}

TEST_F(WndGrabTest, RecordsOfAnotherSizeOrIdAreRefusedAndTheLastOneKept) {
  ASSERT_EQ(TRUE, SendRecord(Record(L"cat", 1)));
  Pump();
  ASSERT_EQ(L"cat", popup_->GetWord());
  EXPECT_EQ(FALSE, SendRecord(Record(L"box", 1), 531));
  EXPECT_EQ(FALSE, SendRecord(Record(L"box", 1), 533));
  EXPECT_EQ(FALSE, SendRecord(Record(L"box", 1), sizeof(GrabTextResult), 2026));
  Pump();
  EXPECT_EQ(L"cat", popup_->GetWord());
  EXPECT_EQ(L"cat", std::wstring(popup_->m_grab.text));
}

TEST_F(WndGrabTest, BurstOfRecordsGivesOneLookupOfTheLast) {
  SendRecord(Record(L"cat", 0));
  SendRecord(Record(L"box", 0));
  SendRecord(Record(L"books", 0));
  std::vector<MSG> queued;
  MSG msg;
  while (PeekMessageW(&msg, popup_->m_hWnd, WM_GRAB_TEXT, WM_GRAB_TEXT, PM_REMOVE)) queued.push_back(msg);
  ASSERT_EQ(1u, queued.size());
  EXPECT_EQ(1u, queued[0].wParam);
  EXPECT_EQ(0, queued[0].lParam);
  DispatchMessageW(&queued[0]);
  EXPECT_EQ(L"book", popup_->GetWord());
}

TEST_F(WndGrabTest, UnknownWordShowsTheNoMatchPage) {
  SendRecord(Record(L"as <b>", 0));
  Pump();
  EXPECT_EQ(L"as", popup_->GetWord());
  EXPECT_EQ(L"<p id=\"nomatch\">No match for as</p><p>" + theApp.m_iconFolder + L"|" + theApp.m_iconFolder + L"</p>",
            popup_->GetHtml());
  EXPECT_TRUE(popup_->IsWindowVisible());
}

TEST_F(WndGrabTest, NoWordHidesOnlyOutsideTheZone) {
  SendRecord(Record(L"cat", 0, 100, 100));
  Pump();
  ASSERT_TRUE(popup_->IsWindowVisible());
  SendRecord(Record(L"\x03b1\x03b2", 0, 120, 120));  // Greek, inside the popup
  Pump();
  EXPECT_TRUE(popup_->IsWindowVisible());
  EXPECT_EQ(L"", popup_->GetWord());
  SendRecord(Record(L"\x03b1\x03b2", 0, 900, 700));
  Pump();
  EXPECT_FALSE(popup_->IsWindowVisible());
}

TEST_F(WndGrabTest, MouseMovesHideOutsideTheZoneUnlessPinned) {
  SendRecord(Record(L"cat", 0, 100, 100));
  Pump();
  ASSERT_TRUE(popup_->IsWindowVisible());
  const RECT zone = popup_->GetKeepZone();
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(zone.left + 1, zone.top + 1)));
  EXPECT_TRUE(popup_->IsWindowVisible());

  popup_->m_btnKeepVisible.SetCheck(1);
  ::SendMessageW(popup_->m_hWnd, WM_COMMAND, MAKEWPARAM(117, BN_CLICKED), 0);
  ASSERT_TRUE(popup_->IsKeepVisible()) << popup_->m_btnKeepVisible.m_hWnd << " " << std::hex << popup_->m_btnKeepVisible.GetStyle() << " " << popup_->m_btnKeepVisible.GetCheck();
  ::SendMessageW(popup_->m_hWnd, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(900, 700));
  EXPECT_TRUE(popup_->IsWindowVisible());
  // Pinned: a new result appears where the popup stands.
  const CRect before = WindowRect();
  SendRecord(Record(L"box", 0, 600, 500));
  Pump();
  EXPECT_EQ(L"box", popup_->GetWord());
  EXPECT_EQ(before.TopLeft(), WindowRect().TopLeft());

  popup_->m_btnKeepVisible.SetCheck(0);
  ::SendMessageW(popup_->m_hWnd, WM_COMMAND, MAKEWPARAM(117, BN_CLICKED), 0);
  // Negative coordinates (a monitor left of the primary) are signed 16-bit values.
  ::SendMessageW(popup_->m_hWnd, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(-20, -20));
  EXPECT_FALSE(popup_->IsWindowVisible());
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(5, 5)));
}

TEST_F(WndGrabTest, HeadwordLinkLooksTheTextUpWhereThePopupStands) {
  SendRecord(Record(L"cat", 0, 100, 100));
  Pump();
  const CRect before = WindowRect();
  const std::wstring argument = L"box";
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_APP_LINK, reinterpret_cast<WPARAM>(L"HeadWord"),
                              reinterpret_cast<LPARAM>(argument.c_str())));
  EXPECT_EQ(0, ::SendMessageW(popup_->m_hWnd, WM_APP_LINK, reinterpret_cast<WPARAM>(L"other"),
                              reinterpret_cast<LPARAM>(argument.c_str())));
  EXPECT_EQ(0, ::SendMessageW(popup_->m_hWnd, WM_APP_LINK, reinterpret_cast<WPARAM>(L"headword"), 0));
  Pump();
  EXPECT_EQ(L"box", popup_->GetWord());
  EXPECT_EQ(before.TopLeft(), WindowRect().TopLeft());
  EXPECT_EQ(reinterpret_cast<uintptr_t>(popup_->m_hWnd), popup_->m_grab.hwnd);
}

TEST_F(WndGrabTest, OpenAndTextTranslationTalkToTheMainWindow) {
  SendRecord(Record(L"cat", 0));
  Pump();
  ::SendMessageW(popup_->m_hWnd, WM_COMMAND, MAKEWPARAM(106, BN_CLICKED), 0);
  ASSERT_EQ(1u, main_.Of(WM_LOOKUP_WORD).size());
  EXPECT_EQ(L"cat", main_.Of(WM_LOOKUP_WORD)[0].text);
  EXPECT_EQ(0x323F1, main_.Of(WM_LOOKUP_WORD)[0].lParam);
  ASSERT_EQ(1u, main_.Of(WM_COMMAND).size());
  EXPECT_EQ(32773u, main_.Of(WM_COMMAND)[0].wParam);
  EXPECT_FALSE(popup_->IsWindowVisible());

  main_.got.clear();
  ::SendMessageW(popup_->m_hWnd, WM_COMMAND, MAKEWPARAM(172, BN_CLICKED), 0);
  ASSERT_EQ(3u, main_.got.size());
  EXPECT_EQ(static_cast<UINT>(WM_LOOKUP_WORD), main_.got[0].message);
  EXPECT_EQ(16, main_.got[0].lParam);
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), main_.got[1].message);
  EXPECT_EQ(static_cast<UINT>(WM_PAGE_ACTION), main_.got[2].message);
  EXPECT_EQ(162u, main_.got[2].wParam);
  EXPECT_EQ(L"", main_.got[2].text);

  // The view's ready report goes on to the main window.
  main_.got.clear();
  ::SendMessageW(popup_->m_hWnd, WM_PAGE_READY, 0, 0);
  Pump();
  ASSERT_EQ(1u, main_.Of(WM_PAGE_READY).size());
  EXPECT_EQ(reinterpret_cast<LPARAM>(popup_->m_hWnd), main_.Of(WM_PAGE_READY)[0].lParam);
}

TEST_F(WndGrabTest, SectionToggleFlipsTheMemberAndThePage) {
  int w = 0, h = 0;
  ASSERT_TRUE(popup_->m_view.ShowHtml(w, h, L"<a id=\"dict_show_768\">x</a><div id=\"dict_meaning_768\">m</div>",
                                     L"x", true, {400, 300}));
  SectionToggle toggle = {0x300, kGroupGrab};
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&toggle)));
  EXPECT_TRUE(theApp.m_dictManager.GetGroupItem(kGroupGrab, 1)->minimize);
  EXPECT_EQ(L"none", popup_->m_view.GetElement(L"dict_meaning_768")->GetStyle(L"display"));
  EXPECT_EQ(L"Show", popup_->m_view.GetElement(L"dict_show_768")->Title());
  ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&toggle));
  EXPECT_FALSE(theApp.m_dictManager.GetGroupItem(kGroupGrab, 1)->minimize);
  EXPECT_EQ(L"", popup_->m_view.GetElement(L"dict_meaning_768")->GetStyle(L"display"));
  EXPECT_EQ(L"Minimize", popup_->m_view.GetElement(L"dict_show_768")->Title());
  SectionToggle stranger = {0x999, kGroupGrab};
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(&stranger)));
  EXPECT_EQ(0, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 999, 0));
}

std::wstring g_opened;
bool RecordOpen(HWND, const wchar_t*, const wchar_t* file, const wchar_t*) {
  g_opened = file ? file : L"";
  return true;
}

TEST_F(WndGrabTest, WebSearchFillsTheEngineTemplate) {
  theApp.m_settings.SetValue(L"General", L"SearchEngine", L"web");
  theApp.m_settings.SetValue(L"General", L"LangCode", L"de");
  theApp.m_uiText.SetValue(L"SearchEngine", L"web", L"\"http://s/?q=[$key]&hl=[$langcode]\", Web, 1252");
  std::wstring word = L"caf\x00e9 au";
  ::SendMessageW(popup_->m_hWnd, WM_APP_LINK, reinterpret_cast<WPARAM>(L"headword"),
                 reinterpret_cast<LPARAM>(word.c_str()));
  Pump();
  ASSERT_EQ(word, popup_->GetWord());
  ShellOpenHandler old = SetShellOpenHandler(&RecordOpen);
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 32783, reinterpret_cast<LPARAM>(L"")));
  EXPECT_EQ(L"http://s/?q=caf%E9%20au&hl=de", g_opened);
  theApp.m_uiText.SetValue(L"SearchEngine", L"web", L"\"http://s/?q=[$key]\"");
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 32783, reinterpret_cast<LPARAM>(L"")));
  EXPECT_EQ(L"http://s/?q=caf%C3%A9%20au", g_opened);
  EXPECT_EQ(0, ::SendMessageW(popup_->m_hWnd, WM_PAGE_ACTION, 32783, 0));
  SetShellOpenHandler(old);
}

bool PutClipboardText(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  return CloseClipboard() != FALSE;
}

TEST_F(WndGrabTest, ClipboardTextIsTranslatedWhileInTheChain) {
  popup_->JoinClipboardChain(true);
  ASSERT_TRUE(popup_->IsClipboardViewer());
  ASSERT_TRUE(PutClipboardText(main_.m_hWnd, L"  cat\r\n"));
  ASSERT_TRUE(PumpUntil([&] { return popup_->GetWord() == L"cat"; }));
  EXPECT_TRUE(popup_->IsWindowVisible());

  popup_->JoinClipboardChain(false);
  EXPECT_FALSE(popup_->IsClipboardViewer());
  ASSERT_TRUE(PutClipboardText(main_.m_hWnd, L"box"));
  for (int i = 0; i < 20; ++i, Sleep(10)) Pump();  // give a late change the time to come
  EXPECT_EQ(L"cat", popup_->GetWord());
}

TEST_F(WndGrabTest, DrawClipboardTrimsCapsAndPassesTheMessageOn) {
  SpyMain next;
  ASSERT_TRUE(next.CreateSpy());
  popup_->m_bClipboardViewer = 1;  // in the chain, as the system would have it
  popup_->m_hNextViewer = next.m_hWnd;
  ASSERT_TRUE(PutClipboardText(main_.m_hWnd, L"\t" + std::wstring(300, L'x')));
  ::SendMessageW(popup_->m_hWnd, WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_EQ(1u, next.Of(WM_DRAWCLIPBOARD).size());
  Pump();
  EXPECT_EQ(255u, popup_->GetWord().size());  // 256 read, the tab trimmed
  EXPECT_EQ(reinterpret_cast<uintptr_t>(main_.m_hWnd), popup_->m_grab.hwnd);

  SpyMain after;
  ASSERT_TRUE(after.CreateSpy());
  ::SendMessageW(popup_->m_hWnd, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(next.m_hWnd),
                 reinterpret_cast<LPARAM>(after.m_hWnd));
  EXPECT_EQ(after.m_hWnd, popup_->GetNextViewer());
  popup_->m_bClipboardViewer = 0;
  popup_->m_hNextViewer = nullptr;
  next.DestroyWindow();
  after.DestroyWindow();
}

}  // namespace

namespace {

TEST_F(WndGrabTest, TitleBarDragsAndTheBorderSizesWithCornerZones) {
  popup_->SetWindowPos(nullptr, 100, 100, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  auto hit = [&](int x, int y) {
    return ::SendMessageW(popup_->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y));
  };
  EXPECT_EQ(HTCAPTION, hit(250, 110));
  EXPECT_NE(HTCAPTION, hit(250, 200));
  EXPECT_EQ(HTLEFT, hit(100, 200));
  EXPECT_EQ(HTTOPLEFT, hit(100, 105));
  EXPECT_EQ(HTBOTTOMLEFT, hit(100, 290));
  EXPECT_EQ(HTRIGHT, hit(399, 200));
  EXPECT_EQ(HTTOP, hit(250, 100));
  EXPECT_EQ(HTTOPRIGHT, hit(390, 100));
  EXPECT_EQ(HTBOTTOM, hit(250, 299));
  EXPECT_EQ(HTBOTTOMRIGHT, hit(399, 299));
  MINMAXINFO info = {};
  ::SendMessageW(popup_->m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(150, info.ptMinTrackSize.x);
  EXPECT_EQ(50, info.ptMinTrackSize.y);
  // A move by the user carries the keep zone along.
  EXPECT_EQ(95, popup_->GetKeepZone().left);
  EXPECT_EQ(405, popup_->GetKeepZone().right);
}

// The caption buttons through sizes that change the width, the height alone,
// both, and down to the smallest: four at the left, each 2 pixels after the
// last, the pin 4 pixels from the right edge, the view below the title.
TEST_F(WndGrabTest, CaptionButtonsAndViewKeepTheirPlacesThroughEverySize) {
  auto childRect = [&](CWnd& child) {
    CRect rc;
    child.GetWindowRect(&rc);
    popup_->ScreenToClient(&rc);
    return rc;
  };
  // Widths of their own (the test host has no button images to fit them to).
  int width = 16;
  for (CGImageButton* b : {&popup_->m_btnOpen, &popup_->m_btnCopy, &popup_->m_btnSpeak, &popup_->m_btnTranslate,
                           &popup_->m_btnKeepVisible}) {
    b->SetWindowPos(nullptr, 0, 0, width, 18, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    width += 2;
  }
  const SIZE sizes[] = {{300, 200}, {300, 120}, {220, 120}, {480, 320}, {150, 50}};
  for (const SIZE& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    popup_->SetWindowPos(nullptr, 100, 100, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    int x = 4;
    for (CGImageButton* b : {&popup_->m_btnOpen, &popup_->m_btnCopy, &popup_->m_btnSpeak, &popup_->m_btnTranslate}) {
      const CRect rc = childRect(*b);
      EXPECT_EQ(x, rc.left);
      EXPECT_EQ(4, rc.top);
      x = rc.right + 2;
    }
    const CRect keep = childRect(popup_->m_btnKeepVisible);
    EXPECT_EQ(24, keep.Width());
    EXPECT_EQ(size.cx - 4, keep.right);
    EXPECT_EQ(4, keep.top);
    EXPECT_EQ(4 + 16 + 2 + 18 + 2 + 20 + 2 + 22 + 2, x);
    const CRect view = childRect(popup_->m_view);
    EXPECT_EQ(1, view.left);
    EXPECT_EQ(popup_->m_nCaptionHeight + 2, view.top);
    EXPECT_EQ(size.cx - 1, view.right);
    EXPECT_EQ(size.cy - 1, view.bottom);
  }
}

// A result shown again where the popup stands, at its size: the title is
// painted again, the caption buttons are not.
TEST_F(WndGrabTest, AResultShownAgainInThePopupThatStaysUpLeavesTheButtonsAlone) {
  CGImageButton* buttons[] = {&popup_->m_btnOpen, &popup_->m_btnCopy, &popup_->m_btnSpeak, &popup_->m_btnTranslate,
                              &popup_->m_btnKeepVisible};
  for (CGImageButton* b : buttons) b->SetWindowPos(nullptr, 0, 0, 18, 18, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Away from the cursor, which would light a button up.
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  const int x = cursor.x < 500 ? 600 : 50, y = cursor.y < 400 ? 500 : 50;
  ASSERT_EQ(TRUE, SendRecord(Record(L"the books here", 5, x, y)));
  ASSERT_TRUE(PumpUntil([&] { return popup_->IsWindowVisible() != FALSE; }));
  Pump();
  const CRect shown = WindowRect();
  for (CGImageButton* b : buttons) ASSERT_FALSE(::GetUpdateRect(b->m_hWnd, nullptr, FALSE));

  ASSERT_TRUE(popup_->ShowResult(1, 1));
  ASSERT_EQ(shown, WindowRect());
  EXPECT_TRUE(::GetUpdateRect(popup_->m_hWnd, nullptr, FALSE));
  for (CGImageButton* b : buttons) EXPECT_FALSE(::GetUpdateRect(b->m_hWnd, nullptr, FALSE)) << b->GetDlgCtrlID();
  Pump();
}

TEST_F(WndGrabTest, HiddenPopupIgnoresMouseMovesAndDropsQueuedRecords) {
  EXPECT_FALSE(popup_->IsWindowVisible());
  EXPECT_EQ(1, ::SendMessageW(popup_->m_hWnd, WM_GRAB_MOUSEMOVE, 0, MAKELPARAM(900, 700)));
  SendRecord(Record(L"cat", 0));
  popup_->DropQueuedGrabText();
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, popup_->m_hWnd, WM_GRAB_TEXT, WM_GRAB_TEXT, PM_NOREMOVE));
}

}  // namespace

namespace {

TEST_F(WndGrabTest, RecordWithABadLengthOrIndexIsReadInsideItsText) {
  GrabTextResult r = Record(L"cat", 0);
  for (wchar_t& c : r.text) c = L'x';  // no terminating zero
  r.length = 5000;
  r.index = 4000;
  ASSERT_EQ(TRUE, SendRecord(r));
  Pump();
  EXPECT_EQ(L"", popup_->GetWord());
  r.index = -5;
  SendRecord(r);
  Pump();
  EXPECT_EQ(L"", popup_->GetWord());
  r.index = 3;
  SendRecord(r);
  Pump();
  EXPECT_EQ(255u, popup_->GetWord().size());  // the last character gives way to the zero
}

}  // namespace
