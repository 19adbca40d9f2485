// The main frame inside the test process: the application object started in
// a copy of the shipped program folder with a small dictionary of its own,
// its frame driven by the messages that the other windows send it.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "app/frame/FrameInternal.h"
#include "app/frame/FrameLayout.h"
#include "app/acceptance/AcceptanceKit.h"
#include "app/frame/tests/DictConfigKit.h"
#include "app/shell/AppServices.h"
#include "core/TextStoreKey.h"
#include "dialogs/options/OptionsRes.h"
#include "core/UiSeam.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"
#include "core/XmlNode.h"
#include "online/TextTranslator.h"
#include "dict/tests/DictTestKit.h"

namespace {

// Words of the test's own dictionary and their definitions.
const wchar_t kLanternWord[] = L"lantern";
const wchar_t kLanternDefinition[] = L"a lamp in a case of glass";
const wchar_t kLighthouseWord[] = L"lighthouse";
const wchar_t kLighthouseDefinition[] = L"a tower with a bright light";

// The test's dictionary, first in the query and index groups before the
// base dictionary; a search history kept.
bool AddLanternDictionary(const std::wstring& folder, std::string& why) {
  CConfigFile texts;
  uint8_t key[16];
  if (!BuildTextStoreKey(key) ||
      !texts.Load((folder + L"system.inc").c_str(), key, CConfigFile::kReplaceStore, 0)) {
    why = "system.inc cannot be read";
    return false;
  }
  const std::wstring configKey = texts.GetString(L"", L"3", L"");
  const uint32_t baseId = static_cast<uint32_t>(wcstoul(texts.GetString(L"", L"10", L"").c_str(), nullptr, 0));

  CConfigFile settings;
  if (settings.Load((folder + L"config.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0) &&
      !settings.GetValue(L"General", L"SearchHistory")) {
    settings.SetValue(L"General", L"SearchHistory", L"20");
    settings.Save((folder + L"config.ini").c_str(), nullptr);
  }

  CTestHost host;
  std::wstring built = MakeDict(host, L"frame",
                                DictSource(0x2E2, L"glossary = en | en | text | English",
                                           {SimpleEntry(kLanternWord, kLanternDefinition),
                                            SimpleEntry(kLighthouseWord, kLighthouseDefinition)}));
  if (built.empty() || !CopyFileW(built.c_str(), (folder + L"dict\\000002e2.tdc").c_str(), FALSE)) {
    why = "the dictionary writer failed";
    return false;
  }

  wchar_t base[16];
  swprintf(base, 16, L"%.8x", baseId);
  const std::wstring b(base);
  const std::wstring body = L"<install><dict src=\"" + b + L".tdc\" id=\"" + b + L"\"/>"
                            L"<dict src=\"000002e2.tdc\" id=\"000002e2\"/></install>"
                            L"<query_group>" + DictConfigMember(0x2E2) + DictConfigMember(baseId) + L"</query_group>"
                            L"<index_group>" + DictConfigMember(0x2E2) + DictConfigMember(baseId) + L"</index_group>"
                            L"<grab_group/>";
  if (!WriteDictConfig(folder + L"dict\\dictcfg.xmc", body, configKey)) {
    why = "dictcfg.xmc cannot be written";
    return false;
  }
  return true;
}


std::unique_ptr<acceptance::ShippedCopy> g_copy;
CMainFrame* g_frame = nullptr;
std::string g_why;
std::wstring g_boxes;  // message boxes shown: the tests answer them with OK

int RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
  g_boxes += std::wstring(caption ? caption : L"") + L": " + (text ? text : L"") + L"\n";
  return IDOK;
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!AfxGetApp()->PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

template <typename Done>
bool PumpUntil(Done done, DWORD ms = 10000) {
  for (DWORD waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    Pump(20);
  }
  return done();
}

std::wstring PageText() {
  htmlview::Element* main = g_frame->GetViewBar().m_view.GetElement(L"main_wnd");
  return main ? main->InnerText() : std::wstring();
}

// The text-translation form of the shipped engine definitions, shown in the
// result view; its result box, or null.
htmlview::Element* ShowTranslationForm() {
  CTextTranslator* translator = theApp.GetTextTranslator();
  translator->SetSourceText(L"word");
  std::wstring form;
  translator->BuildFormPage(form, true, true);
  g_frame->GetViewBar().SetResultHtml(form.c_str(), L"word", true);
  return g_frame->GetViewBar().m_view.GetElement(L"talvane_ftt_textdest");
}

// The form shown with a text typed into its source box; its result box, or
// null when either is missing.
htmlview::Element* ShowTranslationFormWithText() {
  g_frame->ShowMainWindow();
  htmlview::Element* box = ShowTranslationForm();
  htmlview::Element* source = g_frame->GetViewBar().m_view.GetTextAreaElement(L"talvane_ftt_textsrc");
  if (!box || !source) return nullptr;
  source->SetValue(L"a text to translate");
  return box;
}

std::wstring TranslationText(const wchar_t* key) { return theApp.m_uiText.GetString(L"TextTranslation", key); }

std::wstring InputText() {
  std::wstring text;
  g_frame->GetSearchBar().GetInputText(text);
  return text;
}

class MainFrameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_copy.reset(new acceptance::ShippedCopy(L"qframe"));
    if (!g_copy->Make(g_why) || !AddLanternDictionary(g_copy->Folder(), g_why)) return;
    // Making the dictionary borrowed the engine's host: it is the application's again.
    SetDictHost(&theApp.m_dictHost);
    SetMessageBoxHandler(RecordBox);
    theApp.SetProgramPath(g_copy->Folder() + L"Quorindo.exe");
    theApp.SetStartup(GetModuleHandleW(nullptr), const_cast<wchar_t*>(L""), SW_SHOWNORMAL);
    if (!theApp.InitInstance()) {
      g_why = "the application did not start: " + testing::PrintToString(g_boxes);
      return;
    }
    g_frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
    if (!g_frame) {
      g_why = "no main frame";
      return;
    }
    if (!PumpUntil([] { return g_frame->IsStartupComplete(); }, 20000)) g_why = "the pages never became ready";
  }
  static void TearDownTestSuite() {
    if (g_frame && ::IsWindow(g_frame->m_hWnd)) g_frame->DestroyWindow();
    g_frame = nullptr;
    Pump(50);
    theApp.ExitInstance();
    g_copy.reset();
  }
  void SetUp() override {
    if (!g_frame || !g_why.empty()) GTEST_SKIP() << g_why;
  }
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return ::SendMessageW(g_frame->m_hWnd, message, wParam, lParam); }
};

TEST_F(MainFrameTest, StartUpCompletesOnceAndShowsTheWindow) {
  EXPECT_TRUE(g_frame->IsWindowVisible());
  // The popup, made after the window showed, was ready before the start
  // completed, and it is the window the captures go to.
  ASSERT_TRUE(g_frame->GetPopup().GetSafeHwnd());
  EXPECT_TRUE(g_frame->GetPopup().m_view.IsReady());
  EXPECT_EQ(theApp.m_hGrabNotifyWnd, g_frame->GetPopup().GetSafeHwnd());
  // Later ready notifications change nothing.
  EXPECT_EQ(Send(WM_PAGE_READY, 0, 0), 0);
  EXPECT_EQ(Send(WM_PAGE_READY, 1, 0), 0);
  EXPECT_TRUE(g_frame->IsStartupComplete());
}

TEST_F(MainFrameTest, SearchBarLookupShowsTheEntryAndAddsToHistory) {
  EXPECT_EQ(Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLanternWord), 0x324E1), 1);
  EXPECT_NE(PageText().find(kLanternDefinition), std::wstring::npos) << testing::PrintToString(PageText());
  const auto& history = g_frame->GetSearchBar().GetHistory();
  ASSERT_FALSE(history.empty());
  EXPECT_TRUE(history.front() == kLanternWord || history.back() == kLanternWord);
  EXPECT_EQ(g_frame->GetIndexPane().GetCurrentTab(), 1);
  // The index word list stands at the word.
  CListWord& list = g_frame->GetIndexPane().GetWordList();
  ASSERT_NE(list.GetSource(), nullptr);
  EXPECT_EQ(list.GetSource()->GetKey(static_cast<uint32_t>(list.GetSelection())), kLanternWord);
}

TEST_F(MainFrameTest, NoMatchPageNamesTheEscapedWord) {
  EXPECT_EQ(Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L"zz<y>"), 0x80 | 0x1), 1);
  EXPECT_NE(PageText().find(L"zz<y>"), std::wstring::npos) << testing::PrintToString(PageText());
}

TEST_F(MainFrameTest, InputOnlyFlagChangesOnlyTheInputBox) {
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLanternWord), 0x324E1);
  const std::wstring page = PageText();
  EXPECT_EQ(Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L"typed only"), 0x10), 1);
  EXPECT_EQ(InputText(), L"typed only");
  EXPECT_EQ(PageText(), page);
  EXPECT_EQ(Send(WM_LOOKUP_WORD, 0, 0x324E1), 1);  // a null word does nothing
  EXPECT_EQ(PageText(), page);
}

TEST_F(MainFrameTest, RefreshWithoutWordShowsTheSelectedRow) {
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLighthouseWord), 0x20);
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L""), 0x10);
  EXPECT_EQ(Send(WM_LOOKUP_REFRESH, 0, 0), 1);
  EXPECT_EQ(InputText(), kLighthouseWord);
  EXPECT_NE(PageText().find(kLighthouseDefinition), std::wstring::npos) << testing::PrintToString(PageText());
  EXPECT_EQ(g_frame->GetIndexPane().GetCurrentTab(), 0);
}

TEST_F(MainFrameTest, HeadwordLinkLooksTheWordUpWhateverTheCase) {
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L""), 0x10);
  Send(WM_APP_LINK, reinterpret_cast<WPARAM>(L"HEADWORD"), reinterpret_cast<LPARAM>(kLighthouseWord));
  EXPECT_EQ(InputText(), kLighthouseWord);
  EXPECT_NE(PageText().find(kLighthouseDefinition), std::wstring::npos);
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L""), 0x10);
  Send(WM_APP_LINK, reinterpret_cast<WPARAM>(L"other"), reinterpret_cast<LPARAM>(kLanternWord));
  EXPECT_EQ(InputText(), L"");
}

TEST_F(MainFrameTest, PageActionsOutsideTheirRangeAnswerZero) {
  for (WPARAM action : {0u, 143u, 150u, 170u, 200u}) EXPECT_EQ(Send(WM_PAGE_ACTION, action, 0), 0) << action;
  EXPECT_EQ(Send(WM_PAGE_ACTION, 169, 0), 1);  // a problem report without text opens nothing
}

TEST_F(MainFrameTest, HistoryIsTrimmedAndClearedByPageActions) {
  for (const wchar_t* word : {L"one", L"two", L"three"})
    Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(word), 0x10000);
  EXPECT_EQ(Send(WM_PAGE_ACTION, 148, 2), 1);
  EXPECT_EQ(g_frame->GetSearchBar().GetHistory().size(), 2u);
  EXPECT_EQ(Send(WM_PAGE_ACTION, 149, 0), 1);
  EXPECT_TRUE(g_frame->GetSearchBar().GetHistory().empty());
  CConfigFile written;
  ASSERT_TRUE(written.Load((g_copy->Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_TRUE(written.GetValue(L"App", L"SearchList") != nullptr);
  EXPECT_EQ(written.GetString(L"App", L"SearchList", L"x"), L"");
}

// The user state written at once is put in place of the old file, never
// rewritten inside it: a program ended in the middle of the write leaves the
// old file whole. A second name of the old file (a hard link) keeps it all.
TEST_F(MainFrameTest, ClearingTheHistoryReplacesUserIniInsteadOfRewritingIt) {
  const std::wstring path = g_copy->Folder() + L"user.ini", before = g_copy->Folder() + L"user-before.ini";
  theApp.m_userState.SetValue(L"App", L"SearchList", L"\"kept\"");
  ASSERT_TRUE(theApp.m_userState.Save(path.c_str(), nullptr));
  const std::wstring old = acceptance::FileText(path);
  ASSERT_NE(old.find(L"kept"), std::wstring::npos);
  DeleteFileW(before.c_str());
  ASSERT_TRUE(CreateHardLinkW(before.c_str(), path.c_str(), nullptr));

  EXPECT_EQ(Send(WM_PAGE_ACTION, 149, 0), 1);
  EXPECT_EQ(acceptance::FileText(before), old) << "user.ini was rewritten in place";
  DeleteFileW(before.c_str());
  CConfigFile written;
  ASSERT_TRUE(written.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_EQ(written.GetString(L"App", L"SearchList", L"x"), L"");
}

TEST_F(MainFrameTest, HotkeysFollowTheSettings) {
  theApp.m_settings.SetValue(L"Hotkey", L"OpenMainWnd", L"0x60041");
  theApp.m_settings.SetValue(L"Hotkey", L"GrabToggleKey", L"0");
  g_frame->RegisterHotkeys(false);
  g_frame->RegisterHotkeys(true);
  // Registered ids can be unregistered once; missing ones cannot.
  EXPECT_TRUE(::UnregisterHotKey(g_frame->m_hWnd, 1));
  EXPECT_FALSE(::UnregisterHotKey(g_frame->m_hWnd, 2));
  g_frame->RegisterHotkeys(false);
}

TEST_F(MainFrameTest, CloseOnlyHidesTheWindow) {
  Send(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(::IsWindow(g_frame->m_hWnd));
  EXPECT_FALSE(g_frame->IsWindowVisible());
  Send(WM_TRAY_NOTIFY, 128, WM_LBUTTONDOWN);
  EXPECT_TRUE(g_frame->IsWindowVisible());
}

TEST_F(MainFrameTest, FrameGeometry) {
  MINMAXINFO info = {};
  Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, kFrameMinWidth);
  EXPECT_EQ(info.ptMinTrackSize.y, kFrameMinHeight);
  g_frame->MoveWindow(50, 60, 640, 480, TRUE);
  RECT w;
  g_frame->GetWindowRect(&w);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(w.left + 2, w.top + 10)), HTTOPLEFT);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(w.left + 2, w.top + 100)), HTLEFT);
  EXPECT_EQ(Send(WM_NCHITTEST, 0, MAKELPARAM(w.left + 200, w.top + 10)), HTCAPTION);
  // The view bar fills the width to 5 pixels from the right edge.
  RECT client, view;
  g_frame->GetClientRect(&client);
  g_frame->GetViewBar().GetWindowRect(&view);
  g_frame->ScreenToClient(&view);
  EXPECT_EQ(view.right, client.right - 5);
  EXPECT_EQ(view.bottom, client.bottom - 26);
}

TEST_F(MainFrameTest, IndexButtonTogglesTheIndexPane) {
  CGImageButton& button = g_frame->GetViewBar().m_btnIndex;
  const int before = button.GetCheck();
  button.SetCheck(BST_CHECKED);
  Send(WM_COMMAND, IDC_VIEW_INDEX_BUTTON, 0);
  EXPECT_FALSE(g_frame->GetIndexPane().IsWindowVisible());
  RECT view;
  g_frame->GetViewBar().GetWindowRect(&view);
  g_frame->ScreenToClient(&view);
  EXPECT_EQ(view.left, 5);
  button.SetCheck(BST_UNCHECKED);
  Send(WM_COMMAND, IDC_VIEW_INDEX_BUTTON, 0);
  EXPECT_TRUE(g_frame->GetIndexPane().IsWindowVisible());
  RECT index;
  g_frame->GetIndexPane().GetWindowRect(&index);
  g_frame->GetViewBar().GetWindowRect(&view);
  EXPECT_EQ(view.left - index.right, 5);
  button.SetCheck(before);
  Send(WM_COMMAND, IDC_VIEW_INDEX_BUTTON, 0);
}

TEST_F(MainFrameTest, BackgroundRequestsAndBadCopyData) {
  Veltra::COImage image;
  ASSERT_TRUE(image.Create(4, 4, 72.0, 0));
  RECT rect = {0, 0, 2, 2};
  GuiBkgndRequest request = {1, nullptr, &image, nullptr, 1, 1};
  EXPECT_EQ(Send(WM_GUI_PARENTBKGND, reinterpret_cast<WPARAM>(&rect), reinterpret_cast<LPARAM>(&request)), 1);
  EXPECT_EQ(image.At(1, 1), 0xFFCFDDF0u);
  EXPECT_EQ(image.At(2, 2), 0xFFCFDDF0u);
  EXPECT_NE(image.At(0, 0), 0xFFCFDDF0u);
  request.kind = 0;
  EXPECT_EQ(Send(WM_GUI_PARENTBKGND, reinterpret_cast<WPARAM>(&rect), reinterpret_cast<LPARAM>(&request)), 0);
  EXPECT_EQ(Send(WM_GUI_PARENTBKGND, 0, reinterpret_cast<LPARAM>(&request)), 0);

  EXPECT_EQ(Send(WM_COPYDATA, 0, 0), 0);
  // A path without its terminator is not read past its end.
  wchar_t unterminated[3] = {L'a', L'b', L'c'};
  COPYDATASTRUCT data = {1, sizeof(unterminated), unterminated};
  EXPECT_EQ(Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 1);
}

TEST_F(MainFrameTest, TextTranslationFocusEventsSetTheFormFlag) {
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"get_focus")), 1);
  EXPECT_TRUE(g_frame->IsFormActive());
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLanternWord), 0x80 | 0x1);  // a new result clears it
  EXPECT_FALSE(g_frame->IsFormActive());
  Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"get_focus"));
  Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"lost_focus"));
  EXPECT_FALSE(g_frame->IsFormActive());
}

TEST_F(MainFrameTest, TextTranslationRepliesToOlderRequestsAreIgnored) {
  htmlview::Element* box = ShowTranslationForm();
  ASSERT_NE(box, nullptr);
  box->SetInnerHtml(L"the result shown");
  const uint32_t current = theApp.GetTextTranslator()->GetRequestNumber();
  EXPECT_EQ(Send(WM_TRANSLATE_DONE, 1, current + 1), 1);
  EXPECT_EQ(box->InnerText(), L"the result shown");
  // The same reply for the current request is shown.
  EXPECT_EQ(Send(WM_TRANSLATE_DONE, 1, current), 1);
  EXPECT_EQ(box->InnerText(), TranslationText(L"ConnectFailed"));
}

TEST_F(MainFrameTest, ATranslationThatCannotBeSentShowsTheErrorPage) {
  htmlview::Element* box = ShowTranslationFormWithText();
  ASSERT_NE(box, nullptr);
  // An engine without its request part: nothing can be sent.
  CXmlNode* engine = theApp.GetTextTranslator()->GetCurrentEngine();
  ASSERT_NE(engine, nullptr);
  CXmlNode* request = engine->FindChildElement(L"request", kXmlElement, 0);
  ASSERT_NE(request, nullptr);
  request->SetName(L"withheld");
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"translate")), 1);
  request->SetName(L"request");
  EXPECT_EQ(box->InnerText(), TranslationText(L"ConnectFailed"));
  EXPECT_EQ(box->GetStyle(L"display"), L"");
  Pump(100);
  acceptance::SaveScreenshot(L"MainFrameTest-translation-not-sent");
}

// An engine without languages says so, not that the service cannot be reached.
TEST_F(MainFrameTest, AnEngineWithoutLanguagesSaysSo) {
  htmlview::Element* box = ShowTranslationFormWithText();
  ASSERT_NE(box, nullptr);
  CTextTranslator* translator = theApp.GetTextTranslator();
  CXmlNode* engine = translator->GetCurrentEngine();
  ASSERT_NE(engine, nullptr);
  CXmlNode* languages = engine->FindChildElement(L"translate", kXmlElement, 0);
  ASSERT_NE(languages, nullptr);
  const std::wstring from = translator->GetSourceLanguage(), to = translator->GetTargetLanguage();
  std::wstring chosen;
  languages->SetName(L"withheld");
  translator->SelectEngine(translator->GetEngineNumber());
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"translate")), 1);
  languages->SetName(L"translate");
  translator->SelectSourceLanguage(chosen, from.c_str());
  translator->SelectTargetLanguage(chosen, to.c_str());
  EXPECT_EQ(box->InnerText(), TranslationText(L"NoLanguages"));
  EXPECT_EQ(box->GetStyle(L"display"), L"");
}

TEST_F(MainFrameTest, UpdateEndActsOnlyOnItsOwnResult) {
  // Action 2 would end the program: without result 1, or without an action, nothing happens.
  EXPECT_EQ(Send(WM_UPDATE_DONE, 0, 2), 1);
  EXPECT_EQ(Send(WM_UPDATE_DONE, 3, 2), 1);
  EXPECT_EQ(Send(WM_UPDATE_DONE, 1, 0), 1);
  Pump(50);
  EXPECT_TRUE(::IsWindow(g_frame->m_hWnd));
}

TEST_F(MainFrameTest, TextTranslationWithoutTheCatchAllDictionaryKeepsThePage) {
  ASSERT_EQ(theApp.GetDictManager()->FindDict(1), nullptr);
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLanternWord), 0x324E1);
  const std::wstring page = PageText();
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"open")), 1);
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, 0), 1);
  EXPECT_EQ(Send(WM_PAGE_ACTION, 162, reinterpret_cast<LPARAM>(L"no such event")), 1);
  EXPECT_EQ(PageText(), page);
}

// What the frame hands to the shell instead of opening it.
struct OpenedLinks {
  OpenedLinks() { previous = SetShellOpenHandler(Record); }
  ~OpenedLinks() { SetShellOpenHandler(previous); }
  static bool Record(HWND, const wchar_t*, const wchar_t* file, const wchar_t* parameters) {
    files.push_back(std::wstring(file ? file : L"") + L"|" + (parameters ? parameters : L""));
    return true;
  }
  static std::vector<std::wstring> files;
  ShellOpenHandler previous;
};
std::vector<std::wstring> OpenedLinks::files;

TEST_F(MainFrameTest, LinksOfPageActionsAndWebSearch) {
  OpenedLinks opened;
  OpenedLinks::files.clear();
  theApp.m_uiText.SetValue(L"Link", L"Command", L"http://example.org/go?c=[$cmd]");
  Send(WM_PAGE_ACTION, 164, 5);
  Send(WM_PAGE_ACTION, 169, reinterpret_cast<LPARAM>(L"\x00E9t\x00E9 x"));
  Send(WM_PAGE_ACTION, 167, 0);
  ASSERT_EQ(OpenedLinks::files.size(), 3u);
  EXPECT_EQ(OpenedLinks::files[0], L"http://example.org/go?c=dictionary&dictid=5|");
  EXPECT_EQ(OpenedLinks::files[1], L"http://example.org/go?c=bug&bug=%C3%A9t%C3%A9%20x|");
  EXPECT_EQ(OpenedLinks::files[2], L"http://example.org/go?c=download|");

  OpenedLinks::files.clear();
  theApp.m_settings.SetValue(L"General", L"SearchEngine", L"NoSuchEngine");
  theApp.m_settings.SetValue(L"General", L"LangCode", L"en-US");
  theApp.m_uiText.SetValue(L"SearchEngine", L"Google", L"http://search.example/?hl=[$langcode]&q=[$key], Google");
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L" sea lion "), 0x10);
  Send(WM_COMMAND, ID_WEB_SEARCH, 0);
  ASSERT_EQ(OpenedLinks::files.size(), 1u);
  const std::wstring& url = OpenedLinks::files[0];
  EXPECT_EQ(url.find(L"http://search.example/?hl=en-US&q=sea"), 0u) << url;
  EXPECT_EQ(url.find(L' '), std::wstring::npos) << url;
}

TEST_F(MainFrameTest, OnlyALanguageOrFontChangeRestartsTheProgram) {
  OpenedLinks opened;
  LOGFONTW current = {};
  theApp.m_uiFont.GetLogFont(&current);
  const std::wstring face = current.lfFaceName;
  auto restarts = [&](const wchar_t* language, const wchar_t* size) {
    OpenedLinks::files.clear();
    theApp.m_settings.SetValue(L"General", L"LangCode", language);
    theApp.m_settings.SetValue(L"Appearance", L"UIFontSize", size);
    theApp.m_settings.SetValue(L"Appearance", L"UITextFont", face);
    Send(WM_UI_SETTINGS_CHANGED, 0, 0);
    return !OpenedLinks::files.empty() && OpenedLinks::files[0].find(L"-cphs") != std::wstring::npos;
  };
  // The application's font as start-up makes it from a fractional size.
  CFont saved;
  saved.Attach(theApp.m_uiFont.Detach());
  theApp.m_uiFont.CreatePointFont(95, face.c_str());
  EXPECT_FALSE(restarts(theApp.m_langCode.c_str(), L"9.5"));
  EXPECT_TRUE(restarts(theApp.m_langCode.c_str(), L"12"));
  EXPECT_TRUE(restarts(L"xx-XX", L"9.5"));
  theApp.m_uiFont.DeleteObject();
  theApp.m_uiFont.Attach(saved.Detach());
}

TEST_F(MainFrameTest, CaptionDoubleClickMaximisesAndRestores) {
  g_frame->ShowMainWindow();
  Send(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_TRUE(g_frame->IsZoomed());
  CGImageButton* maximize = static_cast<CGImageButton*>(CWnd::FromHandlePermanent(::GetDlgItem(g_frame->m_hWnd, IDC_FRAME_MAXIMIZE)));
  ASSERT_NE(maximize, nullptr);
  EXPECT_EQ(maximize->GetCheck(), BST_CHECKED);
  Send(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  EXPECT_FALSE(g_frame->IsZoomed());
  EXPECT_EQ(maximize->GetCheck(), BST_UNCHECKED);
}

TEST_F(MainFrameTest, TypingElsewhereGoesToTheSearchInput) {
  g_frame->ShowMainWindow();
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L""), 0x10);
  // The footer link is the frame's own child: no dialog below the frame takes the key.
  HWND footer = ::GetDlgItem(g_frame->m_hWnd, IDC_FRAME_FOOTER);
  ASSERT_NE(footer, nullptr);
  ::SetFocus(footer);
  ::PostMessageW(footer, WM_CHAR, L'q', 1);
  Pump(100);
  EXPECT_EQ(InputText(), L"q");
}

// A window the frame owns (the page's find box, a dialog) keeps what is typed
// into it: its keys pass the frame's pre-translation, but not to the search input.
TEST_F(MainFrameTest, TypingInAWindowTheFrameOwnsStaysThere) {
  g_frame->ShowMainWindow();
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(L""), 0x10);
  HWND owned = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 40,
                                 g_frame->m_hWnd, nullptr, nullptr, nullptr);
  ASSERT_NE(owned, nullptr);
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, owned, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  ::SetFocus(edit);
  ::PostMessageW(edit, WM_CHAR, L'q', 1);
  Pump(100);
  wchar_t text[8] = {};
  ::GetWindowTextW(edit, text, 8);
  EXPECT_STREQ(text, L"q");
  EXPECT_EQ(InputText(), L"");
  ::DestroyWindow(owned);
}

TEST_F(MainFrameTest, GrabAndClipboardTogglesAreStoredInTheUserState) {
  const bool grab = theApp.m_userState.GetBool(L"App", L"EnableGrab", false);
  Send(WM_COMMAND, ID_CURSOR_TRANSLATOR, 0);
  EXPECT_EQ(theApp.m_userState.GetBool(L"App", L"EnableGrab", false), !grab);
  Send(WM_COMMAND, ID_CURSOR_TRANSLATOR, 0);
  EXPECT_EQ(theApp.m_userState.GetString(L"App", L"EnableGrab", L""), grab ? L"y" : L"n");
  const bool clipboard = theApp.m_userState.GetBool(L"App", L"EnableClipboard", false);
  Send(WM_COMMAND, ID_CLIPBOARD_TRANSLATOR, 0);
  EXPECT_EQ(theApp.m_userState.GetBool(L"App", L"EnableClipboard", false), !clipboard);
  EXPECT_EQ(g_frame->GetPopup().IsClipboardViewer(), !clipboard);
  Send(WM_COMMAND, ID_CLIPBOARD_TRANSLATOR, 0);
  EXPECT_EQ(g_frame->GetPopup().IsClipboardViewer(), clipboard);
  // Page action 144 with 0 only applies the stored setting again.
  EXPECT_EQ(Send(WM_PAGE_ACTION, 144, 0), 1);
  EXPECT_EQ(theApp.m_userState.GetBool(L"App", L"EnableGrab", false), grab);
}

// Modal loops of the frame (menus, dialogs) are inspected and closed from a
// thread timer, which runs inside them.
std::vector<UINT> g_menuIds;
UINT g_menuDefault = 0;
bool g_grabChecked = false;
void CALLBACK InspectTrayMenu(HWND, UINT, UINT_PTR id, DWORD) {
  HWND menuWindow = ::FindWindowW(L"#32768", nullptr);
  if (!menuWindow) return;
  ::KillTimer(nullptr, id);
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) g_menuIds.push_back(::GetMenuItemID(menu, i));
  g_menuDefault = menu ? ::GetMenuDefaultItem(menu, FALSE, 0) : 0;
  g_grabChecked = menu && (::GetMenuState(menu, ID_CURSOR_TRANSLATOR, MF_BYCOMMAND) & MF_CHECKED);
  ::EndMenu();
}

TEST_F(MainFrameTest, TrayMenuListsTheCommands) {
  theApp.m_userState.SetValue(L"App", L"EnableGrab", L"y");
  g_menuIds.clear();
  ::SetTimer(nullptr, 0, 50, InspectTrayMenu);
  EXPECT_EQ(Send(WM_TRAY_NOTIFY, 128, WM_RBUTTONUP), 1);
  theApp.m_userState.SetValue(L"App", L"EnableGrab", L"n");
  const std::vector<UINT> expected = {ID_APP_OPEN, 0, ID_CURSOR_TRANSLATOR, ID_CLIPBOARD_TRANSLATOR, 0,
                                      ID_DICTIONARIES, ID_CONFIGURATION, 0, ID_MENU_HELP, ID_SUPPORT, ID_ABOUT, 0,
                                      ID_MENU_EXIT};
  EXPECT_EQ(g_menuIds, expected);
  EXPECT_EQ(g_menuDefault, ID_APP_OPEN);
  EXPECT_TRUE(g_grabChecked);
  Pump(20);
}

void CALLBACK CancelDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = ::FindWindowW(L"#32770", nullptr);
  if (!dialog) return;
  ::KillTimer(nullptr, id);
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(MainFrameTest, ProxyCredentialsCancelledLeaveTheStrings) {
  EXPECT_EQ(Send(WM_AUTH_REQUEST, 0, 0), 0);
  std::wstring user = L"Proxy", password = L"Give your name";
  ::SetTimer(nullptr, 0, 50, CancelDialog);
  EXPECT_EQ(Send(WM_AUTH_REQUEST, reinterpret_cast<WPARAM>(&user), reinterpret_cast<LPARAM>(&password)), 0);
  EXPECT_EQ(user, L"Proxy");
  EXPECT_EQ(password, L"Give your name");
}

void CALLBACK AcceptDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = ::FindWindowW(L"#32770", nullptr);
  if (!dialog) return;
  ::KillTimer(nullptr, id);
  ::SetDlgItemTextW(dialog, IDC_AU_USER, L" anna ");
  ::SetDlgItemTextW(dialog, IDC_AU_PASSWORD, L"secret");
  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(MainFrameTest, ProxyCredentialsAcceptedComeBackInTheStrings) {
  std::wstring user = L"Proxy", password = L"Give your name";
  ::SetTimer(nullptr, 0, 50, AcceptDialog);
  // The remember box starts ticked: the answer asks to keep the credentials.
  EXPECT_EQ(Send(WM_AUTH_REQUEST, reinterpret_cast<WPARAM>(&user), reinterpret_cast<LPARAM>(&password)), 2);
  EXPECT_EQ(user, L"anna");
  EXPECT_EQ(password, L"secret");
}

TEST_F(MainFrameTest, DestroyingTheWindowSavesTheUserState) {
  Send(WM_LOOKUP_WORD, reinterpret_cast<WPARAM>(kLighthouseWord), 0x10000);
  g_frame->SaveState();
  CConfigFile written;
  ASSERT_TRUE(written.Load((g_copy->Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_NE(written.GetString(L"App", L"SearchList", L"").find(kLighthouseWord), std::wstring::npos);
  EXPECT_FALSE(written.GetString(L"App", L"Window", L"").empty());
  EXPECT_FALSE(written.GetString(L"App", L"IndexWidth", L"").empty());
  EXPECT_FALSE(written.GetString(L"TT", L"Engine", L"").empty());
  // The index pane is stored as it stands.
  CGImageButton& button = g_frame->GetViewBar().m_btnIndex;
  const int before = button.GetCheck();
  for (bool shown : {false, true}) {
    button.SetCheck(shown ? BST_UNCHECKED : BST_CHECKED);
    Send(WM_COMMAND, IDC_VIEW_INDEX_BUTTON, 0);
    ASSERT_EQ(g_frame->GetIndexPane().IsWindowVisible() != FALSE, shown);
    g_frame->SaveState();
    ASSERT_TRUE(written.Load((g_copy->Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
    EXPECT_EQ(written.GetString(L"App", L"ShowIndex", L""), shown ? L"y" : L"n");
  }
  button.SetCheck(before);
  Send(WM_COMMAND, IDC_VIEW_INDEX_BUTTON, 0);
}

}  // namespace
