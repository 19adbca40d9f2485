#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/views/HtmlCtrl2.h"
#include "app/views/HtmlWnd2.h"
#include "app/views/LinkUrl.h"
#include "app/views/tests/ViewTestSupport.h"

using htmlview::Element;

namespace {

// ---------------------------------------------------------------- links

TEST(LinkUrl, DecodesPercentBytesAsUtf8AndPlusAsBlank) {
  struct Case {
    const wchar_t* url;
    bool ok;
    const wchar_t* decoded;
  } cases[] = {
      {L"dict://headword/w%C3%B6rd", true, L"dict://headword/w\u00F6rd"},
      {L"http://example.org/?q=a+b%2Bc", true, L"http://example.org/?q=a b+c"},
      {L"app://texttranslation/%e4%b8%ad", true, L"app://texttranslation/\u4E2D"},
      {L"app://x/\u00E9", true, L"app://x/\u00E9"},  // already decoded text passes as it is
      {L"app://x/100%", false, L""},
      {L"app://x/%4", false, L""},
      {L"app://x/%zz", false, L""},
      {L"", true, L""},
  };
  for (const Case& c : cases) {
    std::wstring out = L"stale";
    EXPECT_EQ(DecodeLinkUrl(out, c.url), c.ok) << c.url;
    EXPECT_EQ(out, c.decoded) << c.url;
  }
  std::wstring out = L"stale";
  EXPECT_TRUE(DecodeLinkUrl(out, nullptr));
  EXPECT_TRUE(out.empty());
}

TEST(LinkUrl, SplitsAtTheFirstSlash) {
  struct Case {
    const wchar_t* rest;
    const wchar_t* command;
    const wchar_t* argument;
  } cases[] = {
      {L"headword/w\u00F6rd", L"headword", L"w\u00F6rd"},
      {L"headword", L"headword", L""},
      {L"headword/", L"headword", L""},
      {L"results_view/dict_17/more", L"results_view", L"dict_17/more"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    std::wstring command = L"x", argument = L"y";
    SplitLinkCommand(c.rest, command, argument);
    EXPECT_EQ(command, c.command) << c.rest;
    EXPECT_EQ(argument, c.argument) << c.rest;
  }
}

TEST(LinkUrl, ClassifiesTheViewsNavigations) {
  const std::wstring shell = L"C:\\Notes+Words\\data\\start.htm";
  struct Case {
    const wchar_t* url;
    PageLink kind;
    const wchar_t* rest;
  } cases[] = {
      {L"DICT://headword/w%C3%B6rd", PageLink::kDict, L"headword/w\u00F6rd"},
      {L"app://help/", PageLink::kApp, L"help/"},
      {L"About:Blank", PageLink::kStartPage, L"About:Blank"},
      {L"c:\\notes+words\\data\\START.HTM", PageLink::kStartPage, L"c:\\notes words\\data\\START.HTM"},
      {L"C:\\Notes%2BWords\\data\\start.htm", PageLink::kStartPage, L"C:\\Notes+Words\\data\\start.htm"},
      {L"http://x.org/a+b", PageLink::kOther, L"http://x.org/a b"},
      {L"app://x/%zz", PageLink::kOther, L""},
  };
  for (const Case& c : cases) {
    std::wstring rest;
    EXPECT_EQ(ClassifyPageLink(c.url, shell, rest), c.kind) << c.url;
    EXPECT_EQ(rest, c.rest) << c.url;
  }
}

TEST(LinkUrl, NumberPairsNeedExactlyTwoParts) {
  uint32_t a = 0, b = 0;
  EXPECT_TRUE(ParseNumberPair(L"3#7", &a, &b));
  EXPECT_EQ(a, 3u);
  EXPECT_EQ(b, 7u);
  EXPECT_TRUE(ParseNumberPair(L"0x10#010", &a, &b));  // automatic base
  EXPECT_EQ(a, 16u);
  EXPECT_EQ(b, 8u);
  EXPECT_FALSE(ParseNumberPair(L"3", &a, &b));
  EXPECT_FALSE(ParseNumberPair(L"3#7#9", &a, &b));
}

// ---------------------------------------------------------------- host handler

MSG KeyMsg(UINT message, WPARAM key) {
  MSG m = {};
  m.message = message;
  m.wParam = key;
  return m;
}

TEST(DocHostHandler, DefaultsSwallowNavigationKeysAndPassEditing) {
  CDocHostHandler h;
  EXPECT_EQ(h.GetHostFlags(), DWORD(htmlview::kHostNo3DBorder));
  MSG none = {};
  struct Case {
    MSG msg;
    DWORD command;
    HRESULT expected;
    const char* what;
  } cases[] = {
      {KeyMsg(WM_KEYDOWN, 'C'), htmlview::kCmdCopy, S_FALSE, "Ctrl+C"},
      {KeyMsg(WM_KEYDOWN, 'X'), htmlview::kCmdCut, S_FALSE, "Ctrl+X"},
      {KeyMsg(WM_KEYDOWN, 'V'), htmlview::kCmdPaste, S_FALSE, "Ctrl+V"},
      {KeyMsg(WM_KEYDOWN, 'A'), htmlview::kCmdSelectAll, S_FALSE, "Ctrl+A"},
      {KeyMsg(WM_KEYDOWN, 'P'), htmlview::kCmdPrint, S_OK, "print"},
      {KeyMsg(WM_KEYDOWN, 'F'), htmlview::kCmdFind, S_OK, "find"},
      {KeyMsg(WM_SYSKEYDOWN, VK_LEFT), htmlview::kCmdBack, S_OK, "Alt+Left as back"},
      {KeyMsg(WM_SYSKEYDOWN, VK_LEFT), 0, S_OK, "Alt+Left"},
      {KeyMsg(WM_SYSKEYDOWN, VK_RIGHT), 0, S_OK, "Alt+Right"},
      {KeyMsg(WM_SYSKEYDOWN, 'D'), 0, S_FALSE, "Alt+D"},
      {KeyMsg(WM_KEYDOWN, VK_F5), 0, S_OK, "F5"},
      {KeyMsg(WM_KEYDOWN, VK_F12), 0, S_OK, "F12"},
      {KeyMsg(WM_KEYDOWN, 'N'), 0, S_FALSE, "N without Ctrl"},
      {KeyMsg(WM_KEYDOWN, VK_DOWN), 0, S_FALSE, "Down"},
      {none, 6041, S_OK, "command 6041"},
      {none, 0, S_FALSE, "no message"},
  };
  for (const Case& c : cases) EXPECT_EQ(h.TranslateAccelerator(c.msg, c.command), c.expected) << c.what;
}

TEST(DocHostHandler, SwitchesLetKeysThrough) {
  CDocHostHandler h;
  h.m_bAllowPrint = 1;
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_KEYDOWN, 'P'), htmlview::kCmdPrint), S_FALSE);
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_SYSKEYDOWN, VK_LEFT), htmlview::kCmdBack), S_OK);
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_KEYDOWN, 'F'), htmlview::kCmdFind), S_OK);
  h.m_bAllowFind = 1;
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_KEYDOWN, 'F'), htmlview::kCmdFind), S_FALSE);
  h.m_bAccelerators = 1;
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_SYSKEYDOWN, VK_LEFT), htmlview::kCmdBack), S_FALSE);
  EXPECT_EQ(h.TranslateAccelerator(KeyMsg(WM_KEYDOWN, VK_F5), 0), S_FALSE);
}

TEST(DocHostHandler, HostFlagsFollowTheSwitches) {
  CDocHostHandler h;
  h.m_bDialog = 1;
  h.m_bNoScroll = 1;
  h.m_bNo3DBorder = 0;
  h.m_bNoScriptInactive = 1;
  EXPECT_EQ(h.GetHostFlags(), DWORD(htmlview::kHostDialog | htmlview::kHostNoScroll | 0x10));
}

struct MenuCall {
  int calls = 0;
  DWORD kind = 99;
  POINT pt = {};
  Element* element = nullptr;
  void* context = nullptr;
  HRESULT answer = S_OK;
};

HRESULT RecordMenu(DWORD kind, POINT pt, htmlview::HtmlView*, Element* element, void* context) {
  auto* call = static_cast<MenuCall*>(context);
  ++call->calls;
  call->kind = kind;
  call->pt = pt;
  call->element = element;
  call->context = context;
  return call->answer;
}

TEST(DocHostHandler, ContextMenuSwitchAndCallback) {
  CDocHostHandler h;
  MenuCall call;
  h.SetContextMenuHandler(RecordMenu, &call);
  POINT pt = {5, 6};
  EXPECT_EQ(h.ShowContextMenu(htmlview::kMenuDefault, pt, nullptr), S_OK);  // switch off: no menu at all
  EXPECT_EQ(call.calls, 0);
  h.m_bContextMenu = 1;
  call.answer = S_FALSE;
  EXPECT_EQ(h.ShowContextMenu(htmlview::kMenuAnchor, pt, nullptr), S_FALSE);  // the callback's answer
  EXPECT_EQ(call.calls, 1);
  EXPECT_EQ(call.kind, DWORD(htmlview::kMenuAnchor));
  EXPECT_EQ(call.context, &call);
  h.SetContextMenuHandler(nullptr, nullptr);
  EXPECT_EQ(h.ShowContextMenu(htmlview::kMenuDefault, pt, nullptr), S_FALSE);  // the view's own menu
}

// ---------------------------------------------------------------- HTML view base

class TestView : public CHtmlWnd2 {
 public:
  std::vector<std::wstring> completed, navigations;
  std::vector<std::wstring> cancelPrefixes;

 protected:
  void OnBeforeNavigate2(LPCWSTR url, BOOL* cancel) override {
    navigations.push_back(url);
    for (const auto& p : cancelPrefixes) {
      if (std::wstring(url).compare(0, p.size(), p) == 0) *cancel = TRUE;
    }
  }
  void OnDocumentComplete(LPCWSTR url) override { completed.push_back(url); }
};

class HtmlWndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { folder = viewtest::MakeDataFolder(L"views_base"); }
  void SetUp() override {
    ASSERT_TRUE(parent.Create(viewtest::Frame()));
    RECT r = {0, 0, 400, 300};
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, CWnd::FromHandle(parent.hwnd), 119));
  }
  void Load(const std::wstring& url) {
    size_t n = view.completed.size();
    ASSERT_TRUE(view.Navigate2(url.c_str()));
    ASSERT_TRUE(viewtest::PumpUntil([&] { return view.completed.size() > n; }));
  }
  void LoadPage(const std::string& html) {
    viewtest::WriteUtf8(folder + L"page.htm", html);
    Load(folder + L"page.htm");
  }

  static std::wstring folder;
  viewtest::MessageRecorder parent;
  TestView view;
};
std::wstring HtmlWndTest::folder;

TEST_F(HtmlWndTest, NothingAnswersBeforeTheFirstDocument) {
  EXPECT_EQ(view.GetHtmlDocument(), nullptr);
  EXPECT_EQ(view.GetElement(L"main"), nullptr);
  EXPECT_EQ(view.GetBody(), nullptr);
  EXPECT_TRUE(view.GetAllCollection().empty());
  EXPECT_FALSE(view.SetElementHtml(L"main", L"x"));
  EXPECT_FALSE(view.SetElementDisplay(L"main", L"none"));
  EXPECT_EQ(view.ScrollTo(0, 10), E_FAIL);
  long a = 1, b = 1, c = 1, d = 1;
  EXPECT_FALSE(view.GetBodyScroll(&a, &b, &c, &d));
  EXPECT_EQ(a + b + c + d, 0);
  std::wstring value = L"x";
  int index = 5;
  EXPECT_FALSE(view.GetSelectValue(value, &index, L"list"));
  EXPECT_EQ(index, -1);
  EXPECT_TRUE(value.empty());
  EXPECT_FALSE(view.HasTextSelection());
  EXPECT_EQ(view.GetDocumentWindow(), nullptr);
}

TEST_F(HtmlWndTest, DocumentCompleteInstallsTheHostHandlerAndTakesTheDocumentWindow) {
  ASSERT_NE(view.m_pHostHandler, nullptr);
  EXPECT_EQ(view.m_pHostHandler->m_bNo3DBorder, 1);
  Load(L"about:blank");
  ASSERT_EQ(view.completed.size(), 1u);
  EXPECT_EQ(view.completed[0], L"about:blank");
  HWND doc = view.GetDocumentWindow();
  ASSERT_NE(doc, nullptr);
  wchar_t cls[64] = {};
  GetClassNameW(doc, cls, 64);
  EXPECT_STREQ(cls, L"Internet Explorer_Server");
  EXPECT_EQ(GetParent(doc), view.m_hWnd);
  EXPECT_EQ(view.m_pHostHandler->m_bNo3DBorder, 0);
  EXPECT_EQ(view.GetBrowser()->GetDocument(), view.GetHtmlDocument());

  Load(folder + L"start.htm");
  EXPECT_EQ(view.completed.back(), folder + L"start.htm");
  EXPECT_NE(view.GetElement(L"main_wnd"), nullptr);
}

TEST_F(HtmlWndTest, CancelledNavigationLoadsNothing) {
  Load(folder + L"start.htm");
  view.cancelPrefixes.push_back(L"app://");
  EXPECT_FALSE(view.Navigate2(L"app://help/"));
  viewtest::Pump();
  EXPECT_EQ(view.completed.size(), 1u);
  EXPECT_EQ(view.navigations.back(), L"app://help/");
}

TEST_F(HtmlWndTest, ElementOperations) {
  LoadPage(
      "<html><body><div id='box' style='color:red'>old</div><div name='twin'>a</div><div name='twin'>b</div>"
      "<textarea id='ta'>t</textarea><select id='list'></select><span id='sp'>s</span></body></html>");
  EXPECT_TRUE(view.SetElementHtml(L"box", L"<b id='bold'>new</b>"));
  EXPECT_NE(view.GetElement(L"bold"), nullptr);
  EXPECT_FALSE(view.SetElementHtml(L"absent", L"x"));
  EXPECT_FALSE(view.SetElementHtml(L"box", nullptr));
  EXPECT_FALSE(view.SetElementHtml(nullptr, L"x"));
  EXPECT_EQ(view.GetElement(L"twin", 1)->InnerText(), L"b");
  EXPECT_EQ(view.GetElement(L"twin", 2), nullptr);
  EXPECT_NE(view.GetTextAreaElement(L"ta"), nullptr);
  EXPECT_EQ(view.GetTextAreaElement(L"box"), nullptr);
  EXPECT_EQ(view.GetSelectElement(L"ta"), nullptr);

  EXPECT_TRUE(view.SetElementDisplay(L"box", L"none"));
  EXPECT_EQ(view.GetElement(L"box")->GetStyle(L"display"), L"none");
  EXPECT_TRUE(view.SetElementDisplay(L"box", L""));
  EXPECT_EQ(view.GetElement(L"box")->GetStyle(L"display"), L"");
  EXPECT_EQ(view.GetElement(L"box")->GetStyle(L"color"), L"red");

  EXPECT_TRUE(view.SetElementAttribute(L"sp", L"title", L"tip"));
  EXPECT_EQ(view.GetElement(L"sp")->Title(), L"tip");
  EXPECT_FALSE(view.SetElementAttribute(L"absent", L"title", L"tip"));
}

TEST_F(HtmlWndTest, SelectsFillReadAndEmpty) {
  LoadPage("<html><body><select id='list'><option value='z'>zed</option></select><div id='d'></div></body></html>");
  std::wstring value;
  int index = 0;
  EXPECT_TRUE(view.FillSelect({L"en", L"de", L"fr"}, {L"English", L"German", L"French"}, L"list"));
  htmlview::Element* select = view.GetSelectElement(L"list");
  ASSERT_EQ(select->Options().size(), 3u);
  EXPECT_EQ(select->Options()[1]->InnerText(), L"German");
  EXPECT_TRUE(view.SetSelectedIndex(2, L"list"));
  EXPECT_TRUE(view.GetSelectValue(value, &index, L"list"));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(value, L"fr");
  EXPECT_TRUE(view.SetSelectedIndex(-1, L"list"));
  EXPECT_TRUE(view.GetSelectValue(value, &index, L"list"));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(value, L"");
  // A text list shorter than the values stops at its end.
  EXPECT_TRUE(view.FillSelect({L"a", L"b"}, {L"A"}, L"list"));
  EXPECT_EQ(select->Options().size(), 1u);
  EXPECT_TRUE(view.FillSelect({}, {}, L"list"));
  EXPECT_TRUE(select->Options().empty());
  EXPECT_FALSE(view.FillSelect({L"a"}, {L"A"}, L"d"));
  EXPECT_FALSE(view.SetSelectedIndex(0, L"d"));
}

TEST_F(HtmlWndTest, SelectionTextAndTypes) {
  LoadPage("<html><body><p id='p'>hello world</p></body></html>");
  std::wstring text = L"x";
  EXPECT_FALSE(view.GetSelectedText(text));
  EXPECT_TRUE(text.empty());
  ASSERT_TRUE(view.ExecWB(htmlview::Command::kSelectAll));
  EXPECT_TRUE(view.HasTextSelection());
  EXPECT_TRUE(view.GetSelectedText(text));
  EXPECT_NE(text.find(L"hello world"), std::wstring::npos);
  ASSERT_TRUE(view.ExecWB(htmlview::Command::kClearSelection));
  EXPECT_FALSE(view.HasTextSelection());

  EXPECT_TRUE(CHtmlWnd2::IsTextSelectionType(L"Text"));
  EXPECT_TRUE(CHtmlWnd2::IsTextSelectionType(L"TEXT"));
  EXPECT_FALSE(CHtmlWnd2::IsTextSelectionType(L"None"));
  EXPECT_FALSE(CHtmlWnd2::IsTextSelectionType(L"Control"));
}

TEST_F(HtmlWndTest, ViewRectFollowsTheScrollPosition) {
  LoadPage(
      "<html><body style='margin:0'><div style='height:600px'>top</div>"
      "<div id='target' style='height:40px; width:120px; margin-left:30px'>t</div>"
      "<div style='height:600px'>bottom</div></body></html>");
  Element* target = view.GetElement(L"target");
  ASSERT_NE(target, nullptr);
  long left, top, width, height;
  CHtmlWnd2::GetElementOffsetRect(&left, &top, &width, &height, target);
  EXPECT_EQ(top, 600);
  EXPECT_EQ(left, 30);
  EXPECT_EQ(height, 40);
  EXPECT_EQ(view.ScrollTo(0, 500), S_OK);
  long sl, st, cw, ch;
  ASSERT_TRUE(view.GetBodyScroll(&sl, &st, &cw, &ch));
  EXPECT_EQ(st, 500);
  EXPECT_GT(ch, 0);
  RECT r;
  ASSERT_TRUE(view.GetElementViewRect(&r, target));
  EXPECT_EQ(r.top, 100);
  EXPECT_EQ(r.bottom, 140);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.right, 30 + width);
}

LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
int g_userMessages = 0;
WNDPROC g_oldProc = nullptr;
LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_USER + 7) ++g_userMessages;
  return CallWindowProcW(g_oldProc, h, msg, wp, lp);
}

TEST_F(HtmlWndTest, DocumentWindowGetsMessagesUntilDestroyed) {
  view.SendToDocumentWindow(WM_USER + 7, 0, 0);  // no document window yet: nothing
  Load(L"about:blank");
  HWND doc = view.GetDocumentWindow();
  ASSERT_NE(doc, nullptr);
  g_userMessages = 0;
  g_oldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(doc, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
  view.SendToDocumentWindow(WM_USER + 7, 0, 0);
  EXPECT_EQ(g_userMessages, 1);
  view.DestroyWindow();
  EXPECT_EQ(view.GetDocumentWindow(), nullptr);
  EXPECT_EQ(view.GetBrowser(), nullptr);
  EXPECT_FALSE(IsWindow(doc));
  view.SendToDocumentWindow(WM_USER + 7, 0, 0);
  EXPECT_EQ(g_userMessages, 1);
}

// A right click asks the installed handler with the kind of what lies under it.
TEST_F(HtmlWndTest, ContextMenuKindsReachTheCallback) {
  LoadPage(
      "<html><body style='margin:0'><p id='para' style='height:30px'>plain words here</p>"
      "<a id='link' href='app://help/'>a link</a><br><img id='pic' width='40' height='40'></body></html>");
  MenuCall call;
  view.m_pHostHandler->m_bContextMenu = 1;
  view.m_pHostHandler->SetContextMenuHandler(RecordMenu, &call);
  auto rightClick = [&](const wchar_t* id) {
    Element* el = view.GetElement(id);
    htmlview::PageRect r = el->PageBox();
    POINT pt = {r.left + 3, r.top + r.height / 2};
    ClientToScreen(view.GetDocumentWindow(), &pt);
    SendMessageW(view.GetDocumentWindow(), WM_CONTEXTMENU, WPARAM(view.GetDocumentWindow()), MAKELPARAM(pt.x, pt.y));
    return pt;
  };
  POINT pt = rightClick(L"pic");
  EXPECT_EQ(call.kind, DWORD(htmlview::kMenuImage));
  EXPECT_EQ(call.pt.x, pt.x);
  EXPECT_EQ(call.element, view.GetElement(L"pic"));
  rightClick(L"link");
  EXPECT_EQ(call.kind, DWORD(htmlview::kMenuAnchor));
  rightClick(L"para");
  EXPECT_EQ(call.kind, DWORD(htmlview::kMenuDefault));
  view.ExecWB(htmlview::Command::kSelectAll);
  rightClick(L"para");
  EXPECT_EQ(call.kind, DWORD(htmlview::kMenuTextSelect));
  EXPECT_EQ(call.calls, 4);
  // With the switch off the callback is not asked.
  view.m_pHostHandler->m_bContextMenu = 0;
  rightClick(L"para");
  EXPECT_EQ(call.calls, 4);
}

// ---------------------------------------------------------------- HTML control

struct SinkRecorder : htmlview::HtmlViewEvents {
  std::vector<std::wstring> before, complete;
  std::vector<std::wstring> clicked;
  int newWindows = 0;
  bool cancelApp = true;
  void OnBeforeNavigate(const std::wstring& url, bool* cancel) override {
    before.push_back(url);
    if (cancelApp && url.compare(0, 6, L"app://") == 0) *cancel = true;
  }
  void OnDocumentComplete(const std::wstring& url) override { complete.push_back(url); }
  void OnNewWindow() override { ++newWindows; }
  void OnDocumentEvent(htmlview::DocEvent kind, Element* source, int) override {
    if (kind == htmlview::DocEvent::kClick) clicked.push_back(source ? source->Id() : L"");
  }
};

class HtmlCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.Create(viewtest::Frame()));
    RECT r = {0, 0, 300, 200};
    ASSERT_TRUE(ctrl.Create(L"ignored", nullptr, WS_CHILD | WS_VISIBLE, r, CWnd::FromHandle(parent.hwnd), 1028));
    ctrl.SetEventSink(&sink);
    folder = viewtest::MakeDataFolder(L"views_ctrl");
  }
  void Load(const std::wstring& url) {
    size_t n = sink.complete.size();
    ASSERT_TRUE(ctrl.Navigate(url.c_str()));
    ASSERT_TRUE(viewtest::PumpUntil([&] { return sink.complete.size() > n; }));
  }
  void Click(const wchar_t* id) {
    htmlview::Document* doc = ctrl.GetHtmlDocument();
    htmlview::PageRect r = doc->GetItem(id)->PageBox();
    LPARAM at = MAKELPARAM(r.left + 2 - doc->ScrollX(), r.top + r.height / 2 - doc->ScrollY());
    HWND page = ctrl.GetBrowser()->Hwnd();
    SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(page, WM_LBUTTONUP, 0, at);
    viewtest::Pump();
  }

  std::wstring folder;
  viewtest::MessageRecorder parent;
  SinkRecorder sink;
  CHtmlCtrl2 ctrl;
};

TEST_F(HtmlCtrlTest, HostsTheViewAndHandsItsEventsToTheSink) {
  EXPECT_TRUE(ctrl.IsKindOf(RUNTIME_CLASS(CHtmlCtrl2)));
  EXPECT_EQ(ctrl.GetHtmlDocument(), nullptr);
  EXPECT_FALSE(ctrl.SetElementHtml(L"main", L"x"));
  Load(L"about:blank");
  CDocHostHandler handler;
  handler.m_bDialog = 1;
  ctrl.SetHostHandler(&handler);
  Load(folder + L"blank.htm");
  ASSERT_EQ(sink.complete.size(), 2u);
  EXPECT_EQ(sink.complete[1], folder + L"blank.htm");
  EXPECT_TRUE(ctrl.SetElementHtml(
      L"main", L"<a id='row' href='app://dictinfo/0000002a'>row</a> <a id='web' style='display:block' target='_blank' href='x.htm'>w</a>"));
  Click(L"row");
  EXPECT_EQ(sink.before.back(), L"app://dictinfo/0000002a");
  EXPECT_EQ(sink.clicked.back(), L"row");
  EXPECT_EQ(sink.complete.size(), 2u);  // cancelled by the sink
  Click(L"web");
  EXPECT_EQ(sink.newWindows, 1);
  std::wstring id = L"stale";
  CHtmlCtrl2::GetElementId(id, ctrl.GetElement(L"row"));
  EXPECT_EQ(id, L"row");
  CHtmlCtrl2::GetElementId(id, ctrl.GetBody());
  EXPECT_EQ(id, L"");
  ctrl.SetHostHandler(nullptr);
}

TEST_F(HtmlCtrlTest, EnsureElementVisibleScrollsOnlyWhenNeeded) {
  Load(L"about:blank");
  Load(folder + L"blank.htm");
  std::wstring rows;
  for (int i = 0; i < 30; ++i) rows += L"<div id='r" + std::to_wstring(i) + L"' style='height:20px'>row</div>";
  ASSERT_TRUE(ctrl.SetElementHtml(L"main", rows.c_str()));
  htmlview::Document* doc = ctrl.GetHtmlDocument();
  long sl, st, cw, ch;
  ASSERT_TRUE(ctrl.GetBodyScroll(&sl, &st, &cw, &ch));
  ctrl.EnsureElementVisible(ctrl.GetElement(L"r2"));  // wholly visible: stays
  EXPECT_EQ(doc->ScrollY(), 0);
  ctrl.EnsureElementVisible(ctrl.GetElement(L"r20"));  // below: aligned to the bottom
  EXPECT_EQ(doc->ScrollY(), 20 * 20 + 20 - ch);
  ctrl.EnsureElementVisible(ctrl.GetElement(L"r1"));  // above: aligned to the top
  EXPECT_EQ(doc->ScrollY(), 20);
  ctrl.EnsureElementVisible(nullptr);
  EXPECT_EQ(doc->ScrollY(), 20);
}

}  // namespace
