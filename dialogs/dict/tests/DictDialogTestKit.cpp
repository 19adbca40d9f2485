#include "dialogs/dict/tests/DictDialogTestKit.h"

#include "core/DesCipher.h"
#include "core/UiSeam.h"
#include "dialogs/dict/DictDialogApp.h"
#include "guictl/GuiManager.h"

namespace {

CDictManager* g_manager = nullptr;
dlgtest::MessageBoxes* g_boxes = nullptr;
std::vector<dlgtest::Posted>* g_posted = nullptr;

struct TestApp : CWinApp {
  TestApp() : CWinApp(L"DictDialogTests") {}
};
TestApp g_app;

int AnswerBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
  if (!g_boxes) return IDOK;
  g_boxes->shown.push_back({text ? text : L"", caption ? caption : L"", type});
  if (g_boxes->answers.empty()) return IDOK;
  int answer = g_boxes->answers.front();
  g_boxes->answers.pop_front();
  return answer;
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 2000 && message < 4000 && g_posted) g_posted->push_back({message, wParam, lParam});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

struct CloseRequest {
  std::wstring caption;
  UINT command = 0;
  bool closed = false;
  UINT_PTR timer = 0;
  std::vector<std::pair<UINT, std::wstring>> texts;
} g_close;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
  wchar_t cls[32], title[256];
  GetClassNameW(hwnd, cls, 32);
  GetWindowTextW(hwnd, title, 256);
  if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(hwnd) && g_close.caption == title) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK CloseTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, LPARAM(&dialog));
  if (!dialog) return;  // not shown yet: the timer comes again
  KillTimer(nullptr, id);
  g_close.timer = 0;
  g_close.texts.clear();
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t text[512];
    GetWindowTextW(child, text, 512);
    g_close.texts.push_back({UINT(GetDlgCtrlID(child)), text});
  }
  g_close.closed = true;
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_close.command, BN_CLICKED), LPARAM(GetDlgItem(dialog, g_close.command)));
}

}  // namespace

// The dialogs' road to the application object.
CDictManager& DictDialogManager() { return *g_manager; }
namespace {
HFONT g_uiFont = nullptr;
}  // namespace
HFONT DictDialogUiFont() { return g_uiFont ? g_uiFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

namespace dlgtest {

MessageBoxes::MessageBoxes() {
  g_boxes = this;
  SetMessageBoxHandler(AnswerBox);
}

MessageBoxes::~MessageBoxes() {
  SetMessageBoxHandler(nullptr);
  g_boxes = nullptr;
}

void SetDialogFont(HFONT font) { g_uiFont = font; }

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!AfxPreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpPending();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void CancelCloseDialog() {
  if (g_close.timer) KillTimer(nullptr, g_close.timer);
  g_close.timer = 0;
}

void CloseDialogLater(const wchar_t* caption, UINT command, UINT delayMs) {
  CancelCloseDialog();
  g_close.caption = caption;
  g_close.command = command;
  g_close.closed = false;
  g_close.timer = SetTimer(nullptr, 0, delayMs, CloseTimer);
}

namespace {
UINT g_findId;
BOOL CALLBACK FindWithControl(HWND w, LPARAM out) {
  if (!GetDlgItem(w, g_findId)) return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}
}  // namespace

HWND FindThreadDialogWith(UINT controlId) {
  g_findId = controlId;
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindWithControl, LPARAM(&found));
  return found;
}

bool DialogWasClosed() { return g_close.closed; }

std::wstring ClosedDialogText(UINT id) {
  for (const auto& t : g_close.texts) {
    if (t.first == id) return t.second;
  }
  return L"<none>";
}

void DictDialogTest::SetUpTestSuite() {
  static bool started = false;
  if (!started) {
    Kestrel_Initialize(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DictDialogTestMain";
    RegisterClassW(&wc);
    started = true;
  }
}

namespace {

void WriteConfig(CTestHost& host, const std::wstring& body) {
  std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config>" + body + L"</config>";
  uint8_t key[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  int size = cipher.Encrypt(nullptr, plain, static_cast<int>(text.size() * 2));
  std::string envelope(size, '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, static_cast<int>(text.size() * 2));
  FILE* f = _wfopen((host.GetDictFolder() + L"dictcfg.xmc").c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fwrite(envelope.data(), 1, envelope.size(), f);
  fclose(f);
}

}  // namespace

const wchar_t kMarkupTitle[] = L"R&amp;D <i>x</i>";
const wchar_t kMarkupAuthor[] = L"<a href='app://dictinfo/00000100'>Ann</a>";
const wchar_t kMarkupGlossary[] = L"<u>Fruit</u> & more";
const wchar_t kMarkupDate[] = L"<b>2026</b>";

void DictDialogTest::InstallMarkupDict() {
  const std::wstring path = Build(kMarkup, std::wstring(L"flags = 0x18\ndate = ") + kMarkupDate +
                                               L"\ndescription = en | " + kMarkupTitle + L" | | Words | " +
                                               kMarkupAuthor + L"\nglossary = en | de | text | " + kMarkupGlossary +
                                               L"\nglossary = de | en | text |");
  ASSERT_FALSE(path.empty());
  uint32_t id = 0;
  ASSERT_TRUE(manager_.InstallDict(id, path.c_str(), false));
  ASSERT_EQ(id, kMarkup);
}

std::wstring DictDialogTest::Build(uint32_t id, const std::wstring& fields, const std::wstring& options,
                                   const std::wstring& name) {
  return MakeDict(host_, name.empty() ? L"d" + std::to_wstring(id) : name,
                  DictSource(id, fields, {SimpleEntry(L"apple", L"a"), SimpleEntry(L"pear", L"p")}), options);
}

void DictDialogTest::SetUp() {
  g_manager = &manager_;
  g_posted = &posted_;
  host_.uiTexts[L"/10"] = L"0x100";
  const std::pair<const wchar_t*, const wchar_t*> texts[] = {
      {L"DlgDictOption/Title", L"Dictionary Options"},
      {L"DlgDictOption/InstallDict", L"Install Dictionary"},
      {L"DlgDictOption/Query", L"Query"},
      {L"DlgDictOption/Index", L"Index"},
      {L"DlgDictOption/Grab", L"Grab"},
      {L"DlgDictOption/Install", L"Install, Install a dictionary file"},
      {L"DlgDictOption/Close", L"Close"},
      {L"DlgDictOption/QueryList", L"Dictionaries to search"},
      {L"DlgDictOption/IndexList", L"Dictionaries of the index"},
      {L"DlgDictOption/GrabList", L"Dictionaries of the cursor translation"},
      {L"DlgDictOption/DictID", L"ID"},
      {L"DlgDictOption/Online", L"Online"},
      {L"DlgDictOption/OnlineType", L"Online dictionary"},
      {L"Message/DictVersinTooNew", L"TooNew %s %s"},
      {L"Message/DictVersinTooOld", L"TooOld %s %s"},
      {L"Message/NoDictFile", L"NoDict %s"},
      {L"Message/AskDictRepeatInstall", L"Repeat %s %08X"},
      {L"Message/InstallDictFail", L"Fail %s [%s]"},
      {L"Message/AtLeastOneInIndexGroup", L"AtLeastOne"},
      {L"Message/AskUninstall", L"Uninstall %s %08X"},
      {L"Message/AskRemove", L"Remove %s %08X"},
      {L"DlgDictInstall/Title", L"Installed"},
      {L"DlgDictInstall/InstallSucceed", L"Installed %08X %s"},
      {L"DlgDictInfo/Title", L"Dictionary Information"},
      {L"DlgDictInfo/DictTitle", L"Title"},
      {L"DlgDictInfo/PubAuthor", L"Author"},
      {L"DlgDictInfo/PubEmail", L"E-mail"},
      {L"DlgDictInfo/PubWebsite", L"Web site"},
      {L"DlgDictInfo/Version", L"Version"},
      {L"DlgDictInfo/ID", L"ID"},
      {L"DlgDictInfo/GlsCount", L"Glossaries"},
      {L"DlgDictList/Title", L"Choose Dictionaries"},
  };
  for (const auto& t : texts) host_.uiTexts[t.first] = t.second;
  ASSERT_TRUE(WriteTextFile(host_.GetDataFolder() + L"blank.htm",
                            L"<html><body style='margin:0'><div id='main'></div></body></html>", false));

  struct Fixture {
    uint32_t id;
    std::wstring fields;
  } fixtures[] = {
      {kBase, L"flags = 0x18"},
      {kTwoGls, L"flags = 0x38\nglossary = en | de | text | Fruit\nglossary = de | en | text |"},
      {kOnline, L"flags = 0x04"},
      {kPermanent, L"flags = 0x90"},
  };
  std::wstring install;
  for (const Fixture& f : fixtures) {
    std::wstring path = Build(f.id, f.fields);
    ASSERT_FALSE(path.empty());
    wchar_t name[16];
    swprintf(name, 16, L"%.8x.tdc", f.id);
    ASSERT_TRUE(CopyFileW(path.c_str(), (host_.GetDictFolder() + name).c_str(), FALSE));
    install += std::wstring(L"<dict src=\"") + name + L"\"/>";
  }
  WriteConfig(host_, L"<install>" + install + L"</install><query_group></query_group>"
                         L"<index_group><dict id=\"200\"/><dict id=\"100\"/></index_group><grab_group/>");
  ASSERT_TRUE(manager_.LoadConfig());

  ASSERT_TRUE(main_.CreateEx(0, L"DictDialogTestMain", L"Main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  g_app.m_pMainWnd = &main_;
}

void DictDialogTest::TearDown() {
  CancelCloseDialog();
  g_app.m_pMainWnd = nullptr;
  main_.DestroyWindow();
  PumpPending();
  g_posted = nullptr;
  g_manager = nullptr;
}

std::unique_ptr<CDictManager> DictDialogTest::Reload() {
  auto again = std::make_unique<CDictManager>();
  EXPECT_TRUE(again->LoadConfig());
  return again;
}

std::vector<uint32_t> DictDialogTest::Ids(CDictManager& manager, int32_t kind) {
  std::vector<uint32_t> ids;
  for (uint32_t i = 0; i < manager.GetGroupCount(kind); ++i) ids.push_back(manager.GetGroupItem(kind, i)->id);
  return ids;
}

std::vector<Posted> DictDialogTest::PostedToMain(UINT message) {
  PumpPending();
  std::vector<Posted> out;
  for (const Posted& p : posted_) {
    if (p.message == message) out.push_back(p);
  }
  return out;
}

}  // namespace dlgtest
