#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell/QuorindoApp.h"
#include "app/views/ResultView.h"
#include "app/views/WebGuide.h"
#include "app/views/WebViewQ.h"
#include "app/views/tests/ViewTestSupport.h"
#include "dict/DictFile.h"
#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/HtmlText.h"
#include "tools/DictWriter.h"

using htmlview::Element;
using viewtest::MessageRecorder;
using viewtest::Received;

namespace {

// Copies the texts and records the views hand over while they are valid; the
// records of actions 150 and 156 have recordSize values.
void CopyArgumentsOf(Received& r, size_t recordSize) {
  if (r.message == WM_APP_LINK) {
    r.text1 = reinterpret_cast<const wchar_t*>(r.wParam);
    r.text2 = reinterpret_cast<const wchar_t*>(r.lParam);
  } else if (r.message == WM_PAGE_ACTION && r.sent) {
    if (r.wParam == 150 || r.wParam == 156) {
      const uint32_t* values = reinterpret_cast<const uint32_t*>(r.lParam);
      r.record.assign(values, values + recordSize);
    } else if (r.lParam) {
      r.text1 = reinterpret_cast<const wchar_t*>(r.lParam);
    }
  }
}
void CopyArguments(Received& r) { CopyArgumentsOf(r, 4); }

// The application's folders, texts and main window, in a sandbox.
class AppSandbox {
 public:
  AppSandbox() {
    data = viewtest::MakeDataFolder(L"views_app");
    theApp.m_dataFolder = data;
    theApp.m_imageFolder = data + L"image\\";
    theApp.m_iconFolder = data + L"icon\\";
    theApp.m_tempFolder = data + L"temp\\";
    CreateDirectoryW(theApp.m_tempFolder.c_str(), nullptr);
    theApp.m_langCode = L"en";
    theApp.m_uiText.SetValue(L"WebStartPage", L"StartPageTpl",
                             L"<div id='startpage'><img src='[$ImgPath]logo.png'>Welcome</div>");
    theApp.m_uiText.SetValue(L"WebGuide", L"Results", L"Results");
    theApp.m_uiText.SetValue(L"WebGuide", L"Actions", L"Actions");
    theApp.m_uiText.SetValue(L"WebGuide", L"Options", L"Options");
    theApp.m_uiText.SetValue(L"WebGuide", L"TextTranslation", L"Translate text, Translate a text on the web");
    theApp.m_uiText.SetValue(L"WebGuide", L"WebSearch", L"Web search, Search the web");
    theApp.m_uiText.SetValue(L"WebGuide", L"Dictionaries", L"Dictionaries");
    theApp.m_uiText.SetValue(L"WebGuide", L"Configuration", L"Options, Change the options");
    theApp.m_uiText.SetValue(L"WebGuide", L"Homepage", L"Home page, Visit the home page");
    theApp.m_uiText.SetValue(L"WebGuide", L"Spelling", L"Spelling, Words spelt alike");
    theApp.m_settings.SetValue(L"Appearance", L"UITextFont", L"Tahoma");
    theApp.m_settings.SetValue(L"Appearance", L"UIFontSize", L"9");
    EXPECT_TRUE(mainRecorder.Create(nullptr));
    mainRecorder.hook = CopyArguments;
    mainWnd.Attach(mainRecorder.hwnd);
    theApp.m_pMainWnd = &mainWnd;
  }
  ~AppSandbox() {
    theApp.m_pMainWnd = nullptr;
    mainWnd.Detach();
  }

  std::wstring data;
  MessageRecorder mainRecorder;
  CWnd mainWnd;
};

// The element children of an element, in order.
std::vector<Element*> ElementChildren(Element* parent) {
  std::vector<Element*> out;
  for (size_t i = 0; parent && i < parent->ChildCount(); ++i) {
    if (parent->Child(i)->IsElement()) out.push_back(parent->Child(i));
  }
  return out;
}

// Clicks the middle of the left edge of an element of a view's page.
void ClickElement(CHtmlWnd2& view, const wchar_t* id) {
  Element* el = view.GetElement(id);
  ASSERT_NE(el, nullptr) << id;
  htmlview::Document* doc = view.GetHtmlDocument();
  htmlview::PageRect r = el->PageBox();
  LPARAM at = MAKELPARAM(r.left + 3 - doc->ScrollX(), r.top + r.height / 2 - doc->ScrollY());
  SendMessageW(view.GetDocumentWindow(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(view.GetDocumentWindow(), WM_LBUTTONUP, 0, at);
  viewtest::Pump();
}

template <class View>
class ViewFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.Create(viewtest::Frame()));
    parent.hook = CopyArguments;
    RECT r = {0, 0, 400, 300};
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, CWnd::FromHandle(parent.hwnd), 119));
  }
  void LoadShell() {
    ASSERT_TRUE(view.Navigate2(L"about:blank"));
    ASSERT_TRUE(viewtest::PumpUntil([&] { return parent.Find(WM_PAGE_READY) != nullptr; }));
    ASSERT_TRUE(view.IsReady());
  }
  // Navigates as a page link would; the views cancel their own links.
  void Follow(const wchar_t* url) {
    view.Navigate2(url);
    viewtest::Pump();
  }

  AppSandbox app;
  MessageRecorder parent;
  View view;
};

// ---------------------------------------------------------------- result view

class TestResultView : public CResultView {
 public:
  std::vector<std::wstring> opened;

 protected:
  void OpenInBrowser(const std::wstring& url) override { opened.push_back(url); }
};

HRESULT NoMenu(DWORD, POINT, htmlview::HtmlView*, Element*, void*) { return S_OK; }

using ResultViewTest = ViewFixture<TestResultView>;

TEST_F(ResultViewTest, LoadsTheShellShowsTheStartPageAndReportsReady) {
  view.SetContextMenuCallback(NoMenu);
  std::wstring word = L"x";
  EXPECT_FALSE(view.SetMainHtml(L"<b>early</b>", L"early", true));
  EXPECT_FALSE(view.SetInfoHtml(L"note", true));
  EXPECT_EQ(view.GetCurrentWord(), L"");
  LoadShell();
  const Received* ready = parent.Find(WM_PAGE_READY);
  EXPECT_EQ(ready->wParam, 0u);
  EXPECT_EQ(HWND(ready->lParam), view.m_hWnd);
  EXPECT_EQ(parent.Count(WM_PAGE_READY), 1u);
  Element* main = view.GetElement(L"main_wnd");
  ASSERT_NE(main, nullptr);
  EXPECT_NE(main->InnerHtml().find(L"Welcome"), std::wstring::npos);
  EXPECT_NE(main->InnerHtml().find(app.data + L"image\\logo.png"), std::wstring::npos);
  EXPECT_EQ(view.GetElement(L"early"), nullptr);
  CDocHostHandler* h = view.m_pHostHandler;
  EXPECT_EQ(h->m_bContextMenu, 1);
  EXPECT_EQ(h->m_bAllowFind, 1);
  EXPECT_EQ(h->m_bAllowPrint, 1);
  EXPECT_EQ(h->m_bAccelerators, 0);
  EXPECT_EQ(h->m_pfnContextMenu, &NoMenu);
  EXPECT_EQ(h->m_pMenuContext, static_cast<CResultView*>(&view));
}

TEST_F(ResultViewTest, MainHtmlFromALookupsFragments) {
  LoadShell();
  std::wstring page = std::wstring(L"<div id='dict_1'>first fragment</div>") + L"<div id='dict_2'>second fragment</div>";
  ASSERT_TRUE(view.ScrollTo(0, 0) == S_OK);
  EXPECT_TRUE(view.SetMainHtml(page.c_str(), L"w\u00F6rd", true));
  EXPECT_EQ(view.GetCurrentWord(), L"w\u00F6rd");
  EXPECT_EQ(view.GetElement(L"main_wnd")->InnerText(), L"first fragmentsecond fragment");
  EXPECT_EQ(view.GetElement(L"startpage"), nullptr);
  EXPECT_FALSE(view.SetMainHtml(nullptr, L"w", true));
  EXPECT_FALSE(view.SetMainHtml(L"x", nullptr, true));
  EXPECT_EQ(view.GetCurrentWord(), L"w\u00F6rd");

  EXPECT_TRUE(view.SetInfoHtml(L"<i id='note'>notice</i>", false));
  EXPECT_NE(view.GetElement(L"note"), nullptr);
  EXPECT_EQ(view.GetElement(L"main_info")->GetStyle(L"display"), L"none");
  EXPECT_TRUE(view.SetInfoHtml(nullptr, true));
  EXPECT_EQ(view.GetElement(L"main_info")->InnerHtml(), L"");
  EXPECT_EQ(view.GetElement(L"main_info")->GetStyle(L"display"), L"");
}

// The update notice appearing above a page with a form (the text-translation
// form of a lookup): the form's controls move down with their places and
// stay shown.
TEST_F(ResultViewTest, FormControlsStayWithTheirPlacesWhenTheNoticeAppears) {
  LoadShell();
  const std::wstring form = L"<textarea id='text'>house</textarea><select id='engine'><option>One</option></select>"
                            L"<select id='from'><option>en</option></select> to "
                            L"<select id='to'><option>de</option></select> Translate";
  ASSERT_TRUE(view.SetMainHtml(form.c_str(), L"house", true));
  // A page that just fits: the notice brings the scroll bar, which narrows the page.
  htmlview::Document* page = view.GetHtmlDocument();
  const htmlview::PageRect used = view.GetElement(L"main_wnd")->PageBox();
  const int room = page->ViewportHeight() - (used.top + used.height) - 4;
  ASSERT_GT(room, 0);
  const std::wstring fitting = form + L"<div style='height:" + std::to_wstring(room) + L"px'></div>";
  ASSERT_TRUE(view.SetMainHtml(fitting.c_str(), L"house", true));
  const wchar_t* const ids[] = {L"text", L"engine", L"from", L"to"};
  auto expectShownInPlace = [&](const char* when) {
    UpdateWindow(view.GetDocumentWindow());
    viewtest::Pump();
    htmlview::Document* doc = view.GetHtmlDocument();
    for (size_t i = 0; i < std::size(ids); ++i) {
      Element* el = view.GetElement(ids[i]);
      ASSERT_NE(el, nullptr) << when;
      HWND control = el->ControlWindow();
      ASSERT_NE(control, nullptr) << when;
      EXPECT_TRUE(IsWindowVisible(control)) << when << ": control " << i << " is hidden";
      RECT r = {};
      GetWindowRect(control, &r);
      MapWindowPoints(nullptr, view.GetDocumentWindow(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.top, el->PageBox().top - doc->ScrollY()) << when << ": control " << i;
    }
  };
  expectShownInPlace("before the notice");
  ASSERT_TRUE(view.SetInfoHtml(L"<b>Quorindo was updated</b>", true));
  expectShownInPlace("with the notice");
}

TEST_F(ResultViewTest, ScrollsToAnElement) {
  LoadShell();
  std::wstring page = L"<div style='height:900px'>a</div><div id='dict_17' style='height:50px'>b</div>"
                      L"<div style='height:900px'>c</div>";
  ASSERT_TRUE(view.SetMainHtml(page.c_str(), L"w", true));
  view.ScrollToElement(L"dict_17", true);
  EXPECT_EQ(view.GetHtmlDocument()->ScrollY(), view.GetElement(L"dict_17")->PageBox().top);
  view.ScrollToElement(L"absent", true);
  EXPECT_TRUE(view.SetMainHtml(L"again", L"w", true));
  EXPECT_EQ(view.GetHtmlDocument()->ScrollY(), 0);
}

TEST_F(ResultViewTest, ClickedDictLinksArePostedDecoded) {
  LoadShell();
  ASSERT_TRUE(view.SetMainHtml(L"<a id='accent' style='display:block' href='dict://headword/w%C3%B6rd'>w\u00F6rd</a>"
                               L"<a id='bare' style='display:block' href='dict://headword'>bare</a>",
                               L"w", false));
  ClickElement(view, L"accent");
  ASSERT_TRUE(viewtest::PumpUntil([&] { return parent.Find(WM_APP_LINK) != nullptr; }));
  const Received* link = parent.Find(WM_APP_LINK);
  EXPECT_FALSE(link->sent);
  EXPECT_EQ(link->text1, L"headword");
  EXPECT_EQ(link->text2, L"w\u00F6rd");
  ClickElement(view, L"bare");
  ASSERT_TRUE(viewtest::PumpUntil([&] { return parent.Count(WM_APP_LINK) == 2; }));
  EXPECT_EQ(parent.got.back().text1, L"headword");
  EXPECT_EQ(parent.got.back().text2, L"");
  // The page stays.
  EXPECT_NE(view.GetElement(L"accent"), nullptr);
}

TEST_F(ResultViewTest, AppCommandsReachTheMainWindowAndTheBar) {
  LoadShell();
  ASSERT_TRUE(view.SetMainHtml(L"<a id='cfg' style='display:block' href='app://configuration/'>options</a>", L"w",
                               false));
  ClickElement(view, L"cfg");
  struct Case {
    const wchar_t* url;
    bool toMain;
    UINT message;
    WPARAM wParam;
    bool sent;
    const wchar_t* argument;
  } cases[] = {
      {L"app://dictionaries/", true, WM_COMMAND, 32775, false, L""},
      {L"app://websearch/", true, WM_COMMAND, 32783, false, L""},
      {L"APP://help", true, WM_COMMAND, 32779, false, L""},
      {L"app://homepage/", true, WM_PAGE_ACTION, 168, false, L""},
      {L"app://downdict/", true, WM_PAGE_ACTION, 164, false, L""},
      {L"app://texttranslation/get_focus", true, WM_PAGE_ACTION, 162, true, L"get_focus"},
      {L"app://bug/some+text", true, WM_PAGE_ACTION, 169, true, L"some text"},
      {L"app://startpage/", false, WM_COMMAND, 1129, false, L""},
  };
  for (const Case& c : cases) Follow(c.url);
  viewtest::Pump();
  std::vector<Received> toMain, toBar;
  for (const auto& r : app.mainRecorder.got) toMain.push_back(r);
  for (const auto& r : parent.got) {
    if (r.message != WM_PAGE_READY) toBar.push_back(r);
  }
  ASSERT_EQ(toMain.size(), 8u);
  EXPECT_EQ(toMain[0].message, UINT(WM_COMMAND));
  EXPECT_EQ(toMain[0].wParam, 32776u);
  size_t m = 1;
  for (const Case& c : cases) {
    const Received& r = c.toMain ? toMain[m++] : toBar.at(0);
    EXPECT_EQ(r.message, c.message) << c.url;
    EXPECT_EQ(r.wParam, c.wParam) << c.url;
    EXPECT_EQ(r.sent, c.sent) << c.url;
    if (c.sent) EXPECT_EQ(r.text1, c.argument) << c.url;
    else EXPECT_EQ(r.lParam, 0) << c.url;
  }
  EXPECT_EQ(toBar.size(), 1u);
  Follow(L"app://unknown/");
  EXPECT_EQ(app.mainRecorder.got.size(), 8u);
}

TEST_F(ResultViewTest, DictionaryMenuAndHideMeaningRecords) {
  LoadShell();
  ASSERT_TRUE(view.SetMainHtml(L"<div style='height:20px'>x</div><div id='dict_head_3' "
                               L"style='height:24px; width:100px; margin-left:10px'>head</div>",
                               L"w", false));
  Follow(L"app://dictmenu/3#7");
  const Received* menu = parent.Find(WM_PAGE_ACTION);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->sent);
  EXPECT_EQ(menu->wParam, 150u);
  RECT rect;
  ASSERT_TRUE(view.GetElementViewRect(&rect, view.GetElement(L"dict_head_3")));
  POINT leftTop = {rect.left, rect.top}, rightBottom = {rect.right, rect.bottom};
  ClientToScreen(view.GetDocumentWindow(), &leftTop);
  ClientToScreen(view.GetDocumentWindow(), &rightBottom);
  ASSERT_EQ(menu->record.size(), 4u);
  EXPECT_EQ(int(menu->record[0]), leftTop.x);
  EXPECT_EQ(menu->record[1], 3u);
  EXPECT_EQ(menu->record[2], 7u);
  EXPECT_EQ(int(menu->record[3]), rightBottom.y);

  parent.got.clear();
  Follow(L"app://dictmenu/3");
  Follow(L"app://dictmenu/9#1");  // no such element
  EXPECT_EQ(parent.Find(WM_PAGE_ACTION), nullptr);

  Follow(L"app://hidemeaning/2#5");
  const Received* hide = parent.Find(WM_PAGE_ACTION);
  ASSERT_NE(hide, nullptr);
  EXPECT_EQ(hide->wParam, 156u);
  EXPECT_EQ(hide->record, (std::vector<uint32_t>{5, 2, 0, 0}));
}

TEST_F(ResultViewTest, WebLinksOpenInTheBrowserAndOtherSchemesAreDropped) {
  LoadShell();
  ASSERT_TRUE(view.SetMainHtml(L"<a id='web' style='display:block' href='http://example.org/?q=a+b'>web</a>", L"w",
                               false));
  ClickElement(view, L"web");
  ASSERT_EQ(view.opened.size(), 1u);
  EXPECT_EQ(view.opened[0], L"http://example.org/?q=a b");
  EXPECT_NE(view.GetElement(L"web"), nullptr);  // still on its page
  Follow(L"https://example.org/");
  Follow(L"ftp://example.org/");
  Follow(L"app://x/%zz");  // undecodable: dropped
  EXPECT_EQ(view.opened.size(), 1u);
  EXPECT_NE(view.GetElement(L"web"), nullptr);
  EXPECT_TRUE(app.mainRecorder.got.empty());
}

TEST_F(ResultViewTest, ANewWindowIsNeverOpened) {
  LoadShell();
  ASSERT_TRUE(view.SetMainHtml(L"<a id='w' style='display:block' target='_blank' href='http://x.org/'>w</a>", L"w",
                               false));
  ClickElement(view, L"w");
  EXPECT_TRUE(view.opened.empty());
  EXPECT_NE(view.GetElement(L"w"), nullptr);
}

TEST_F(ResultViewTest, AShellInAFolderWithAPlusInItsNameStillLoads) {
  std::wstring folder = viewtest::MakeDataFolder(L"views+app");
  theApp.m_dataFolder = folder;
  LoadShell();
  EXPECT_EQ(view.GetHtmlDocument()->Url(), folder + L"start.htm");
}

TEST(ResultViewText, ReplaceCharAndTrimWhitespace) {
  std::wstring text = L"a\nb\nc";
  ReplaceChar(text, L'\n', L' ');
  EXPECT_EQ(text, L"a b c");
  struct Case {
    int side;
    const wchar_t* expected;
  } cases[] = {{-1, L"word \t\r\n"}, {0, L"word"}, {1, L" \r\n\tword"}};
  for (const Case& c : cases) {
    std::wstring t = L" \r\n\tword \t\r\n";
    TrimWhitespace(t, c.side);
    EXPECT_EQ(t, c.expected) << c.side;
  }
  std::wstring blank = L" \t ";
  TrimWhitespace(blank, 0);
  EXPECT_EQ(blank, L"");
}

// ---------------------------------------------------------------- guide

// A dictionary file written by the project's dictionary writer.
bool WriteDictionary(const std::wstring& path, uint32_t id, const std::wstring& title) {
  std::wstring source = L"id = " + std::to_wstring(id) + L"\nversion = 1.3\nflags = 0x18\nname = Dict" +
                        std::to_wstring(id) + L"\ndescription = en | " + title + L"\n[entries]\nword\t" +
                        L"<C A=\"0\"><F><a>word</a></F><G><O><d>text</d></O></G></C>\n";
  WriterSource parsed;
  std::wstring error;
  std::string bytes;
  if (!ParseWriterSource(parsed, source, L"", error) || !BuildDictionary(bytes, parsed, L"", error)) return false;
  viewtest::WriteUtf8(path, bytes);
  return true;
}

class WebGuideTest : public ViewFixture<CWebGuide> {
 protected:
  std::vector<std::wstring> RowLinks() {
    std::vector<std::wstring> links;
    for (Element* row : ElementChildren(view.GetElement(L"list_Results"))) {
      links.push_back(row->GetAttribute(L"onclick"));
    }
    return links;
  }
};

TEST_F(WebGuideTest, BuildsItsGroupsWhenTheShellHasLoaded) {
  EXPECT_TRUE(view.IsKindOf(RUNTIME_CLASS(CWebGuide)));
  view.FillResults({});  // before the page: nothing
  EXPECT_EQ(view.OnAppCommand(L"help", L""), 0);
  LoadShell();
  const Received* ready = parent.Find(WM_PAGE_READY);
  EXPECT_EQ(HWND(ready->lParam), view.m_hWnd);
  EXPECT_EQ(view.GetHtmlDocument()->Url(), app.data + L"blank.htm");
  EXPECT_EQ(view.m_pHostHandler->m_bContextMenu, 0);
  EXPECT_EQ(view.m_pHostHandler->m_bDialog, 1);
  EXPECT_EQ(view.GetElement(L"group_Results")->GetStyle(L"display"), L"none");
  EXPECT_EQ(view.GetElement(L"group_Actions")->GetStyle(L"display"), L"");
  EXPECT_EQ(view.GetElement(L"group_Actions")->GetStyle(L"font-family"), L"\"Tahoma\"");
  EXPECT_EQ(htmlview::Trim(view.GetElement(L"title_Options")->InnerText()), L"Options");
  std::vector<Element*> rows = ElementChildren(view.GetElement(L"list_Actions"));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]->Title(), L"Translate a text on the web");
  EXPECT_NE(rows[0]->InnerText().find(L"Translate text"), std::wstring::npos);
  EXPECT_EQ(rows[0]->GetAttribute(L"onclick"), L"window.navigate('app://texttranslation/')");
  Element* image = ElementChildren(rows[1]).at(0);
  EXPECT_EQ(image->GetAttribute(L"src"), app.data + L"icon\\websearch8.png");
  // A text without a comma: all of it is the label, the tooltip is empty.
  std::vector<Element*> options = ElementChildren(view.GetElement(L"list_Options"));
  ASSERT_EQ(options.size(), 3u);
  Element* first = options[0];
  EXPECT_EQ(first->Title(), L"");
  EXPECT_NE(first->InnerText().find(L"Dictionaries"), std::wstring::npos);
}

TEST_F(WebGuideTest, ResultRowsFollowTheLookup) {
  LoadShell();
  view.FillResults({});
  EXPECT_EQ(view.GetElement(L"group_Results")->GetStyle(L"display"), L"");
  EXPECT_EQ(RowLinks(), (std::vector<std::wstring>{L"window.navigate('app://results_view/dict_spelling')"}));

  std::vector<std::unique_ptr<CDictFile>> files;
  std::vector<CDictFile*> dicts;
  const uint32_t ids[] = {17, 3, 9};
  for (uint32_t id : ids) {
    std::wstring path = app.data + L"guide" + std::to_wstring(id) + L".tdic";
    ASSERT_TRUE(WriteDictionary(path, id, id == 3 ? L"Webster's <Three>" : L"Title " + std::to_wstring(id)));
    files.push_back(std::make_unique<CDictFile>());
    ASSERT_TRUE(files.back()->Open(path.c_str())) << id;
    dicts.push_back(files.back().get());
  }
  view.FillResults(dicts);
  EXPECT_EQ(RowLinks(), (std::vector<std::wstring>{L"window.navigate('app://results_view/dict_17')",
                                                   L"window.navigate('app://results_view/dict_3')",
                                                   L"window.navigate('app://results_view/dict_9')"}));
  // A title with a quote and markup characters stays text.
  std::vector<Element*> rows = ElementChildren(view.GetElement(L"list_Results"));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1]->Title(), L"Webster's <Three>");
  EXPECT_NE(rows[1]->InnerText().find(L"Webster's <Three>"), std::wstring::npos);
  EXPECT_EQ(rows[0]->Title(), L"Title 17");

  view.ClearResults();
  EXPECT_EQ(view.GetElement(L"group_Results")->GetStyle(L"display"), L"none");
  EXPECT_TRUE(RowLinks().empty());
}

TEST_F(WebGuideTest, ClickingAResultRowScrollsTheResultView) {
  LoadShell();
  MessageRecorder bar;
  ASSERT_TRUE(bar.Create(viewtest::Frame()));
  CResultView result;
  RECT r = {0, 0, 400, 300};
  ASSERT_TRUE(result.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, r, CWnd::FromHandle(bar.hwnd), 119));
  ASSERT_TRUE(result.Navigate2(L"about:blank"));
  ASSERT_TRUE(viewtest::PumpUntil([&] { return result.IsReady(); }));
  std::wstring page = L"<div style='height:700px'>a</div><div id='dict_17' style='height:40px'>b</div>"
                      L"<div style='height:700px'>c</div>";
  ASSERT_TRUE(result.SetMainHtml(page.c_str(), L"word", true));
  // The main window answers action 145 as the frame does.
  app.mainRecorder.hook = [&](Received& got) {
    CopyArguments(got);
    if (got.message == WM_PAGE_ACTION && got.wParam == 145) result.ScrollToElement(got.text1.c_str(), true);
  };
  std::vector<std::unique_ptr<CDictFile>> files;
  std::wstring path = app.data + L"guide17.tdic";
  ASSERT_TRUE(WriteDictionary(path, 17, L"Seventeen"));
  files.push_back(std::make_unique<CDictFile>());
  ASSERT_TRUE(files.back()->Open(path.c_str()));
  view.FillResults({files.back().get()});
  std::vector<Element*> rows = ElementChildren(view.GetElement(L"list_Results"));
  ASSERT_EQ(rows.size(), 1u);
  Element* row = rows[0];
  row->SetAttribute(L"id", L"row17");
  ClickElement(view, L"row17");
  const Received* action = app.mainRecorder.Find(WM_PAGE_ACTION);
  ASSERT_NE(action, nullptr);
  EXPECT_TRUE(action->sent);
  EXPECT_EQ(action->wParam, 145u);
  EXPECT_EQ(action->text1, L"dict_17");
  EXPECT_EQ(result.GetHtmlDocument()->ScrollY(), result.GetElement(L"dict_17")->PageBox().top);
  app.mainRecorder.hook = CopyArguments;
}

TEST_F(WebGuideTest, CommandsOfTheRows) {
  LoadShell();
  struct Case {
    const wchar_t* url;
    UINT message;
    WPARAM wParam;
    bool sent;
  } cases[] = {
      {L"app://configuration/", WM_COMMAND, 32776, false}, {L"app://dictionaries/", WM_COMMAND, 32775, false},
      {L"app://websearch/", WM_COMMAND, 32783, false},     {L"app://help/", WM_COMMAND, 32779, false},
      {L"app://homepage/", WM_PAGE_ACTION, 168, false},    {L"app://community/", WM_PAGE_ACTION, 146, false},
      {L"app://texttranslation/open", WM_PAGE_ACTION, 162, true},
  };
  for (const Case& c : cases) Follow(c.url);
  viewtest::Pump();
  ASSERT_EQ(app.mainRecorder.got.size(), 7u);
  for (size_t i = 0; i < 7; ++i) {
    const Received& r = app.mainRecorder.got[i];
    EXPECT_EQ(r.message, cases[i].message) << cases[i].url;
    EXPECT_EQ(r.wParam, cases[i].wParam) << cases[i].url;
    EXPECT_EQ(r.sent, cases[i].sent) << cases[i].url;
  }
  EXPECT_EQ(app.mainRecorder.got[6].text1, L"open");
  EXPECT_EQ(view.OnAppCommand(L"results_view", L"dict_1"), 1);  // the main window's answer
  EXPECT_EQ(view.OnAppCommand(L"downdict", L""), 0);
  EXPECT_EQ(view.GetHtmlDocument()->Url(), app.data + L"blank.htm");
}

// ---------------------------------------------------------------- popup's view

using WebViewQTest = ViewFixture<CWebViewQ>;

TEST_F(WebViewQTest, LoadsTheShellWithAWhiteContentArea) {
  EXPECT_TRUE(view.IsKindOf(RUNTIME_CLASS(CWebViewQ)));
  int w = 5, h = 5;
  EXPECT_FALSE(view.ShowHtml(w, h, L"x", L"x", true, {400, 300}));
  EXPECT_EQ(w + h, 0);
  LoadShell();
  EXPECT_EQ(HWND(parent.Find(WM_PAGE_READY)->lParam), view.m_hWnd);
  EXPECT_EQ(view.GetHtmlDocument()->Url(), app.data + L"start.htm");
  EXPECT_NE(view.GetElement(L"main")->GetStyle(L"background-color"), L"");
  EXPECT_EQ(view.m_pHostHandler->m_bAllowFind, 0);
  EXPECT_EQ(view.m_pHostHandler->m_bAllowPrint, 0);
}

// The size a page wants follows from the page and the limit alone: the
// view's own size (the popup's last one) never enters it.
TEST_F(WebViewQTest, ReportsTheContentSizeWithinTheLimitWhateverItsOwnSize) {
  LoadShell();
  // The view's edges round its page: its size less its page's, on a page
  // without a scroll bar.
  int w = 0, h = 0;
  ASSERT_TRUE(view.ShowHtml(w, h, L"x", L"x", true, {400, 300}));
  view.MoveWindow(0, 0, 300, 200, TRUE);
  viewtest::Pump();
  RECT page = {};
  GetClientRect(view.GetDocumentWindow(), &page);
  const SIZE edge = {300 - page.right, 200 - page.bottom};
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  const struct {
    const wchar_t* html;
    int width, height;
  } cases[] = {
      {L"<div style='width:150px; height:40px'>small</div>", 150 + edge.cx, 40 + edge.cy},
      {L"<div style='width:900px; height:40px'>wide</div>", 400, 40 + edge.cy},
      {L"<div style='width:100px; height:900px'>tall</div>", 100 + bar + edge.cx, 300},
  };
  for (const SIZE own : {SIZE{600, 500}, SIZE{200, 100}, SIZE{120, 60}}) {
    view.MoveWindow(0, 0, own.cx, own.cy, TRUE);
    for (const auto& c : cases) {
      ASSERT_TRUE(view.ShowHtml(w, h, c.html, L"word", true, {400, 300}));
      EXPECT_EQ(c.width, w) << "case " << (&c - cases) << " in a view of " << own.cx << "x" << own.cy;
      EXPECT_EQ(c.height, h) << "case " << (&c - cases) << " in a view of " << own.cx << "x" << own.cy;
    }
  }
  EXPECT_EQ(view.GetCurrentWord(), L"word");
  // Text wraps at the limit and is measured there.
  const std::wstring words = L"<p style='margin:0'>" + std::wstring(40, L'x') + L" " + std::wstring(40, L'y') + L"</p>";
  ASSERT_TRUE(view.ShowHtml(w, h, words.c_str(), L"x", true, {2000, 300}));
  const int line = h - edge.cy;
  ASSERT_TRUE(view.ShowHtml(w, h, words.c_str(), L"x", true, {w - 20, 300}));
  EXPECT_EQ(2 * line + edge.cy, h) << "two lines at a narrower limit";
}

// The popup gives its view the size the page asked for: the page then
// shows whole, in a frame of its own, and only a page cut at the limit
// scrolls (never sideways).
TEST_F(WebViewQTest, AViewOfTheSizeAskedForShowsThePageWhole) {
  LoadShell();
  const std::wstring line = L"<p style='margin:0'>" + std::wstring(30, L'x') + L" " + std::wstring(30, L'y') + L"</p>";
  const struct {
    const char* name;
    std::wstring html;
    bool scrolls;
  } cases[] = {
      {"no match",
       L"<div style='padding:6px 10px; white-space:nowrap'>No dictionary has an entry for <b>xyzzyq</b>.</div>"
       L"<div style='padding:2px 10px 6px 10px; white-space:nowrap'><img src='web.png' width='16' height='16' "
       L"align='absmiddle'> <a href='app://websearch/'>Search the web</a> &nbsp; <img src='tt.png' width='16' "
       L"height='16' align='absmiddle'> <a href='app://texttranslation/'>Translate the text</a></div>",
       false},
      {"small", L"<div style='width:150px; height:40px'>small</div>", false},
      {"wrapped at the limit", line + line + line + line, false},
      {"tall", L"<div style='width:100px; height:900px'>tall</div>", true},
      {"long, wrapped at the limit", line + line + line + line + line + line + line + line + line + line + line + line,
       true},
  };
  for (const auto& c : cases) {
    int w = 0, h = 0;
    ASSERT_TRUE(view.ShowHtml(w, h, c.html.c_str(), L"word", true, {400, 300}));
    view.MoveWindow(0, 0, w, h, TRUE);
    viewtest::Pump();
    htmlview::Document* doc = view.GetHtmlDocument();
    const bool bar = (GetWindowLongPtrW(view.GetDocumentWindow(), GWL_STYLE) & WS_VSCROLL) != 0;
    EXPECT_EQ(c.scrolls, bar) << c.name << ": the scroll bar in a view of " << w << "x" << h;
    // The text as laid out for the view: its right and bottom ends.
    int right = 0, bottom = 0;
    for (const htmlview::FlatFrag& f : doc->Engine().TextFragments()) {
      right = std::max(right, f.x + f.frag->w);
      bottom = std::max(bottom, f.y + f.frag->h);
    }
    EXPECT_LE(right, doc->ViewportWidth()) << c.name << " in a view of " << w << "x" << h;
    if (!c.scrolls) EXPECT_LE(bottom, doc->ViewportHeight()) << c.name << " in a view of " << w << "x" << h;
    EXPECT_LE(w, 400) << c.name;
    EXPECT_LE(h, 300) << c.name;
  }
}

TEST_F(WebViewQTest, LinksGoToThePopupOrTheMainWindow) {
  LoadShell();
  parent.hook = [](Received& r) { CopyArgumentsOf(r, 2); };
  int w = 0, h = 0;
  ASSERT_TRUE(view.ShowHtml(w, h, L"<a id='d' style='display:block' href='dict://headword/w%C3%B6rd'>d</a>"
                                  L"<a id='web' style='display:block' href='http://example.org/'>web</a>",
                            L"w", true, {400, 300}));
  ClickElement(view, L"d");
  const Received* link = parent.Find(WM_APP_LINK);
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->sent);
  EXPECT_EQ(link->text1, L"headword");
  EXPECT_EQ(link->text2, L"w\u00F6rd");
  ClickElement(view, L"web");  // cancelled, opened nowhere
  EXPECT_NE(view.GetElement(L"web"), nullptr);

  Follow(L"app://hidemeaning/2#5");
  const Received* hide = parent.Find(WM_PAGE_ACTION);
  ASSERT_NE(hide, nullptr);
  EXPECT_TRUE(hide->sent);
  EXPECT_EQ(hide->wParam, 156u);
  EXPECT_EQ(hide->record, (std::vector<uint32_t>{2, 5}));
  parent.got.clear();
  Follow(L"app://hidemeaning/2");
  Follow(L"app://websearch/w\u00F6rd");
  Follow(L"app://texttranslation/open");
  ASSERT_EQ(parent.got.size(), 2u);
  EXPECT_EQ(parent.got[0].wParam, 32783u);
  EXPECT_EQ(parent.got[0].text1, L"w\u00F6rd");
  EXPECT_EQ(parent.got[1].wParam, 162u);
  EXPECT_EQ(parent.got[1].text1, L"open");

  Follow(L"app://homepage/");  // not in the popup
  EXPECT_TRUE(app.mainRecorder.got.empty());
  Follow(L"app://configuration/");
  Follow(L"app://dictionaries/");
  Follow(L"app://help/");
  Follow(L"app://downdict/");
  ASSERT_EQ(app.mainRecorder.got.size(), 4u);
  EXPECT_EQ(app.mainRecorder.got[0].wParam, 32776u);
  EXPECT_EQ(app.mainRecorder.got[1].wParam, 32775u);
  EXPECT_EQ(app.mainRecorder.got[2].wParam, 32779u);
  EXPECT_EQ(app.mainRecorder.got[3].message, UINT(WM_PAGE_ACTION));
  EXPECT_EQ(app.mainRecorder.got[3].wParam, 164u);
  EXPECT_EQ(parent.got.size(), 2u);
}

}  // namespace
