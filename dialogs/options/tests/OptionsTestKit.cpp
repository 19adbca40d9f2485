#include "dialogs/options/tests/OptionsTestKit.h"

#include "core/TripleDes.h"
#include "core/UiSeam.h"
#include "online/OnlineUpdate.h"

IOptionsHost* GetOptionsHost() { return options_test::g_host; }

namespace options_test {

TestHost* g_host = nullptr;
std::vector<std::wstring> BoxRecorder::texts;
int BoxRecorder::answer = IDOK;

namespace {
const wchar_t kSpyClass[] = L"QuorindoOptionsSpyMain";

int RecordBox(HWND, const wchar_t* text, const wchar_t*, UINT) {
  BoxRecorder::texts.push_back(text ? text : L"");
  return BoxRecorder::answer;
}

std::wstring TestKeyDigits() { return L"00112233445566778899AABBCCDDEEFF"; }

std::wstring MakeSandbox() {
  wchar_t tmp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, tmp);
  static int serial = 0;
  std::wstring folder = std::wstring(tmp) + L"quorindo-options-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++serial) + L"\\";
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}
}  // namespace

SpyMainWindow::SpyMainWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kSpyClass;
  ::RegisterClassW(&wc);
  m_hwnd = ::CreateWindowExW(0, kSpyClass, L"spy", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, this);
  ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, LONG_PTR(this));
}

SpyMainWindow::~SpyMainWindow() {
  if (m_hwnd) ::DestroyWindow(m_hwnd);
}

int SpyMainWindow::Count(UINT message, WPARAM wParam) const {
  int n = 0;
  for (const SentMessage& m : messages)
    if (m.message == message && (message != WM_PAGE_ACTION || m.wParam == wParam)) ++n;
  return n;
}

LRESULT CALLBACK SpyMainWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SpyMainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && (message == WM_PAGE_ACTION || message == WM_UI_SETTINGS_CHANGED || message == WM_AUTH_REQUEST ||
               message == WM_UPDATE_DONE))
    self->messages.push_back({message, wParam, lParam});
  if (self && message == WM_AUTH_REQUEST) {
    if (self->authAnswer)
      return wParam && lParam ? self->authAnswer(reinterpret_cast<std::wstring*>(wParam),
                                                 reinterpret_cast<std::wstring*>(lParam))
                              : 0;
    return RunAuthenticationRequest(nullptr, wParam, lParam);
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

TestHost::TestHost() : folder(MakeSandbox()) {}

TestHost::~TestHost() {
  RemoveConfig();
  ::RemoveDirectoryW(folder.c_str());
}

bool TestHost::ConfigWritten() const { return ::GetFileAttributesW(ConfigPath().c_str()) != INVALID_FILE_ATTRIBUTES; }
void TestHost::RemoveConfig() const { ::DeleteFileW(ConfigPath().c_str()); }

ProxySettings TestHost::GetProxySettings() {
  ProxySettings proxy;
  proxy.mode = int(settings.GetInt(L"Connection", L"Connect", 0));
  proxy.server = settings.GetString(L"Connection", L"ProxyServer");
  proxy.port = settings.GetInt(L"Connection", L"ProxyPort", 0);
  std::string bytes;
  DecryptSettingText(bytes, settings.GetString(L"Connection", L"ProxyAuth"));
  std::wstring auth(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  size_t lf = auth.find(L'\n');
  proxy.user = auth.substr(0, lf);
  if (lf != std::wstring::npos) proxy.password = auth.substr(lf + 1);
  return proxy;
}

void TestHost::RegSetAppValue(const wchar_t* name, const wchar_t* text) {
  registryValues.push_back(std::wstring(name) + L"=" + text);
}

void TestHost::RegisterFileType(const wchar_t* extension, const wchar_t* appKey, const wchar_t* programPath,
                                int iconIndex) {
  fileTypes.push_back(std::wstring(extension) + L"|" + appKey + L"|" + programPath + L"|" + std::to_wstring(iconIndex));
}

bool TestHost::Speak(const std::wstring& markup, DWORD flags) {
  if (!hasVoice) return false;
  spoken.push_back(markup);
  speakFlags.push_back(flags);
  return true;
}

void TestHost::SetGrabColors(COLORREF text, COLORREF back, COLORREF border) {
  grabColors = {text, back, border};
}

LRESULT RunAuthenticationRequest(CWnd* owner, WPARAM wParam, LPARAM lParam) {
  auto* user = reinterpret_cast<std::wstring*>(wParam);
  auto* password = reinterpret_cast<std::wstring*>(lParam);
  if (!user || !password) return 0;
  CDlgAuthentication dialog(owner);
  dialog.m_remember = 1;
  dialog.m_caption = *user;
  dialog.m_prompt = *password;
  if (dialog.DoModal() != IDOK) return 0;
  *user = dialog.m_user;
  *password = dialog.m_password;
  return dialog.m_remember ? 2 : 1;
}

BoxRecorder::BoxRecorder() {
  texts.clear();
  answer = IDOK;
  SetMessageBoxHandler(RecordBox);
}
BoxRecorder::~BoxRecorder() { SetMessageBoxHandler(nullptr); }

namespace {
CDialog* g_modal = nullptr;
std::function<void(CDialog&)> g_action;

void CALLBACK ModalTimer(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_modal || !g_modal->m_hWnd) return;  // not yet made: try again
  ::KillTimer(nullptr, id);
  CDialog* dlg = g_modal;
  g_modal = nullptr;
  auto action = std::move(g_action);
  action(*dlg);
}
}  // namespace

INT_PTR RunModal(CDialog& dlg, std::function<void(CDialog&)> action) {
  g_modal = &dlg;
  g_action = std::move(action);
  UINT_PTR timer = ::SetTimer(nullptr, 0, 10, ModalTimer);
  INT_PTR result = dlg.DoModal();
  if (g_modal) {  // the action never ran
    ::KillTimer(nullptr, timer);
    g_modal = nullptr;
  }
  return result;
}

void PressButton(CDialog& dlg, int id) {
  ::SendMessageW(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dlg.m_hWnd, id)));
}

void SetItemText(HWND dialog, int id, const wchar_t* text) { ::SetDlgItemTextW(dialog, id, text); }

std::wstring ItemText(HWND dialog, int id) {
  wchar_t buffer[512] = {};
  ::GetDlgItemTextW(dialog, id, buffer, 512);
  return buffer;
}

void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

PageParent::PageParent() { CreateEx(0, nullptr, L"pages", WS_POPUP, 0, 0, 600, 500, nullptr, nullptr); }
PageParent::~PageParent() {
  if (m_hWnd) DestroyWindow();
}

void OptionsTest::SetUp() {
  SetSettingTextKeyReader(TestKeyDigits);
  host = new TestHost();
  g_host = host;
  // The program starts the control library before any window: the skinned
  // controls paint only then.
  Kestrel_Initialize(host->folder.c_str());
  CConfigFile& t = host->texts;
  t.SetValue(L"DlgOption", L"Title", L"Options");
  t.SetValue(L"DlgOption", L"General", L"General");
  t.SetValue(L"DlgOption", L"Speech", L"Speech");
  t.SetValue(L"DlgOption", L"Ok", L"OK");
  t.SetValue(L"UILanguage", L"en-US", L"English");
  t.SetValue(L"UILanguage", L"de-DE", L"Deutsch");
  t.SetValue(L"UILanguage", L"zz-ZZ", L"Alpha");
  t.SetValue(L"SearchEngine", L"bing", L"https://b/?q=, Bing");
  t.SetValue(L"SearchEngine", L"google", L"https://g/?q=, Google");
  t.SetValue(L"FileRelation", L"ExtName", L".qdic");
  t.SetValue(L"FileRelation", L"AppKey", L"Quorindo.Dict");
  t.SetValue(L"FileRelation", L"DefaultIcon", L"0x2");
  t.SetValue(L"FontSize", L"0", L"9, Small");
  t.SetValue(L"FontSize", L"1", L"12, Medium");
  t.SetValue(L"FontSize", L"2", L"16, Large");
  t.SetValue(L"DlgOptAppearance", L"WindowFontSizeList", L"\"8\", 9, \"10\"");
  t.SetValue(L"DlgOptAppearance", L"SampleText", L"Sample");
  t.SetValue(L"DlgOptGeneral", L"ClearHistoryConfirmation", L"Clear the history?");
  t.SetValue(L"Message", L"UsernameIsEmpty", L"Enter a user name.");
  t.SetValue(L"Message", L"ProxyPortInvalid", L"Enter a port from 1 to 65535.");
  t.SetValue(L"DlgAuthentication", L"TitleProxy", L"Proxy ");
  t.SetValue(L"Speech", L"SpeakXML", L"<voice required=\"Name=[$voice]\"><rate absspeed=\"[$rate]\"/>"
                                     L"<volume level=\"[$volume]\"/><pitch absmiddle=\"[$pitch]\"/>[$text]</voice>");
}

void OptionsTest::TearDown() {
  Kestrel_UnInitialize();
  g_host = nullptr;
  delete host;
}

}  // namespace options_test
