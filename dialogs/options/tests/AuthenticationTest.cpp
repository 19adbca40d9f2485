// The proxy authentication dialog, the main window's answer to 2036 and the
// credential callback that sends it.
#include <algorithm>
#include <atomic>
#include <thread>

#include "core/TripleDes.h"
#include "dialogs/options/OptionsRes.h"
#include "dialogs/options/tests/OptionsTestKit.h"

namespace options_test {
namespace {

class AuthenticationTest : public OptionsTest {};

TEST_F(AuthenticationTest, BlankUserNameIsRefusedAndTheDialogStaysOpen) {
  CDlgAuthentication dlg;
  dlg.m_remember = 1;
  dlg.m_caption = L"Proxy login";
  dlg.m_prompt = L"Enter your name";
  std::wstring title, prompt, userAfterRefusal;
  bool stillOpen = false;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) {
    wchar_t buffer[64] = {};
    ::GetWindowTextW(d.m_hWnd, buffer, 64);
    title = buffer;
    prompt = ItemText(d.m_hWnd, IDC_AU_PROMPT);
    SetItemText(d.m_hWnd, IDC_AU_USER, L"   ");
    PressButton(d, IDOK);
    stillOpen = ::IsWindow(d.m_hWnd) && ::IsWindowVisible(d.m_hWnd);
    userAfterRefusal = ItemText(d.m_hWnd, IDC_AU_USER);
    SetItemText(d.m_hWnd, IDC_AU_USER, L"  anna ");
    SetItemText(d.m_hWnd, IDC_AU_PASSWORD, L" pw ");
    ::CheckDlgButton(d.m_hWnd, IDC_AU_REMEMBER, BST_UNCHECKED);
    PressButton(d, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(L"Proxy login", title);
  EXPECT_EQ(L"Enter your name", prompt);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(L"", userAfterRefusal);
  EXPECT_EQ(std::vector<std::wstring>{L"Enter a user name."}, BoxRecorder::texts);
  EXPECT_EQ(L"anna", dlg.m_user);
  EXPECT_EQ(L" pw ", dlg.m_password);  // as typed
  EXPECT_EQ(0, dlg.m_remember);
}

// The title band the program ships, drawn across the dialog's top above the
// prompt; the rest of the dialog is erased as usual.
TEST_F(AuthenticationTest, ShippedTitleBandIsDrawnAboveThePrompt) {
  wchar_t exe[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring shipped(exe, n);
  shipped = shipped.substr(0, shipped.find_last_of(L'\\') + 1) + L"..\\dist\\image\\authtitle.png";
  CPngImage png;
  Veltra::COImage band;
  ASSERT_TRUE(png.ReadFile(shipped.c_str(), &band, 0)) << "the shipped folder has no authtitle.png";
  const std::wstring copy = host->folder + L"authtitle.png";
  ASSERT_TRUE(::CopyFileW(shipped.c_str(), copy.c_str(), FALSE));
  CDlgAuthentication dlg;
  dlg.m_caption = L"Proxy";
  dlg.m_prompt = L"Enter your name";
  int mismatches = 0, checked = 0;
  CRect client, prompt;
  RunModal(dlg, [&](CDialog& d) {
    ::RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GetClientRect(d.m_hWnd, &client);
    ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDC_AU_PROMPT), &prompt);
    ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&prompt), 2);
    HDC dc = ::GetDC(d.m_hWnd);
    const int width = std::min(client.Width(), band.GetWidth());
    for (int y = 0; y < band.GetHeight(); y += 3) {
      for (int x = 0; x < width; x += 7) {
        const uint32_t argb = band.At(x, y);
        ++checked;
        if (::GetPixel(dc, x, y) != RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF)) ++mismatches;
      }
    }
    ::ReleaseDC(d.m_hWnd, dc);
    d.EndDialog(IDCANCEL);
  });
  ::DeleteFileW(copy.c_str());
  EXPECT_GT(checked, 100);
  EXPECT_EQ(mismatches, 0) << "of " << checked << " pixels of the band";
  EXPECT_GE(band.GetWidth(), client.Width()) << "the band stops short of the dialog's right edge";
  EXPECT_LE(band.GetHeight(), prompt.top) << "the band covers the prompt";
}

// What the timer does to the dialog that the request runs.
struct RequestCase {
  bool untick;
  int button;
  LRESULT answer;
};
const RequestCase* g_case = nullptr;
bool g_ticked = false;

void CALLBACK FillRequestDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = ::FindWindowW(L"#32770", L"Ask");
  if (!dlg) return;
  ::KillTimer(nullptr, id);
  g_ticked = ::IsDlgButtonChecked(dlg, IDC_AU_REMEMBER) == BST_CHECKED;
  ::SetDlgItemTextW(dlg, IDC_AU_USER, L"bob");
  ::SetDlgItemTextW(dlg, IDC_AU_PASSWORD, L"pw");
  if (g_case->untick) ::CheckDlgButton(dlg, IDC_AU_REMEMBER, BST_UNCHECKED);
  ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(g_case->button, BN_CLICKED), LPARAM(::GetDlgItem(dlg, g_case->button)));
}

TEST_F(AuthenticationTest, RequestAnswersByTheRememberBox) {
  const RequestCase cases[] = {{false, IDOK, 2}, {true, IDOK, 1}, {false, IDCANCEL, 0}};
  for (const RequestCase& c : cases) {
    g_case = &c;
    g_ticked = false;
    std::wstring user = L"Ask", password = L"prompt";
    ::SetTimer(nullptr, 0, 10, FillRequestDialog);
    EXPECT_EQ(c.answer, RunAuthenticationRequest(nullptr, WPARAM(&user), LPARAM(&password)));
    EXPECT_TRUE(g_ticked);  // the box starts ticked
    EXPECT_EQ(c.answer ? L"bob" : L"Ask", user);
    EXPECT_EQ(c.answer ? L"pw" : L"prompt", password);
  }
  std::wstring text;
  EXPECT_EQ(0, RunAuthenticationRequest(nullptr, 0, LPARAM(&text)));
  EXPECT_EQ(0, RunAuthenticationRequest(nullptr, WPARAM(&text), 0));
}

// The callback asks the spy main window, which answers as the user would.
class CredentialCallbackTest : public OptionsTest {
 protected:
  void Answer(LRESULT result, const wchar_t* user, const wchar_t* password) {
    host->mainWindow.authAnswer = [=](std::wstring* u, std::wstring* p) {
      caption = *u;
      prompt = *p;
      *u = user;
      *p = password;
      return result;
    };
  }
  std::wstring Sealed(const wchar_t* key) const {
    const wchar_t* value = host->settings.GetValue(L"Connection", key);
    if (!value) return L"<none>";
    std::string plain;
    DecryptSettingText(plain, value);
    return std::wstring(reinterpret_cast<const wchar_t*>(plain.data()), plain.size() / 2);
  }
  std::wstring caption, prompt;
};

TEST_F(CredentialCallbackTest, CancelAnswersFalseAndLeavesTheOutputs) {
  Answer(0, L"x", L"y");
  std::string user = "keep", password = "this";
  EXPECT_FALSE(OnAuthCredentials(user, password, "realm", "prompt"));
  EXPECT_EQ("keep", user);
  EXPECT_EQ("this", password);
  EXPECT_FALSE(host->ConfigWritten());
}

TEST_F(CredentialCallbackTest, OkWithoutRememberStoresNothing) {
  host->settings.SetValue(L"Connection", L"Connect", L"2");
  Answer(1, L"J\u00f6rg", L"p\u00e4ss");
  std::string user, password;
  EXPECT_TRUE(OnAuthCredentials(user, password, "caf\xc3\xa9", "Who?"));
  EXPECT_EQ(L"Proxy caf\u00e9", caption);
  EXPECT_EQ(L"Who?", prompt);
  EXPECT_EQ("J\xc3\xb6rg", user);
  EXPECT_EQ("p\xc3\xa4ss", password);
  EXPECT_EQ(L"<none>", Sealed(L"ProxyAuth"));
  EXPECT_FALSE(host->ConfigWritten());
}

TEST_F(CredentialCallbackTest, RememberStoresByConnectionMode) {
  struct Case {
    const wchar_t* mode;  // null: absent
    const wchar_t* proxyAuth;
    const wchar_t* ieProxyAuth;
  } cases[] = {{nullptr, L"<none>", L"<none>"},
               {L"0", L"<none>", L"<none>"},
               {L"1", L"ann\nsecret", L"ann\nsecret"},
               {L"2", L"ann\nsecret", L"<none>"}};
  for (const Case& c : cases) {
    host->settings.Entries().Tree().Clear(false);
    if (c.mode) host->settings.SetValue(L"Connection", L"Connect", c.mode);
    host->RemoveConfig();
    Answer(2, L"ann", L"secret");
    std::string user, password;
    EXPECT_TRUE(OnAuthCredentials(user, password, nullptr, nullptr));
    const wchar_t* mode = c.mode ? c.mode : L"absent";
    EXPECT_EQ(c.proxyAuth, Sealed(L"ProxyAuth")) << mode;
    EXPECT_EQ(c.ieProxyAuth, Sealed(L"IEProxyAuth")) << mode;
    EXPECT_TRUE(host->ConfigWritten()) << mode;  // in every remember case
  }
}

bool g_filled = false;

// Runs inside the dialog's modal loop on the GUI thread.
void CALLBACK FillCredentialsDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = ::FindWindowW(L"#32770", L"Proxy host");
  if (!dlg) return;
  ::KillTimer(nullptr, id);
  g_filled = true;
  ::SetDlgItemTextW(dlg, IDC_AU_USER, L"zoe");
  ::SetDlgItemTextW(dlg, IDC_AU_PASSWORD, L"pw");
  ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(::GetDlgItem(dlg, IDOK)));
}

TEST_F(CredentialCallbackTest, WorkerThreadWaitsForTheDialogOnTheGuiThread) {
  // The spy main window runs the real dialog on this thread.
  host->settings.SetValue(L"Connection", L"Connect", L"2");
  std::atomic<bool> done{false};
  bool answered = false;
  std::string user, password;
  AuthPromptTexts texts = {"host", "Log in"};
  g_filled = false;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 10, FillCredentialsDialog);
  std::thread worker([&] {
    answered = AuthCredentialCallback(&texts, user, password);
    done = true;
  });
  DWORD end = ::GetTickCount() + 5000;
  while (!done && int(end - ::GetTickCount()) > 0) {
    PumpPending();
    ::Sleep(1);
  }
  worker.join();
  if (!g_filled) ::KillTimer(nullptr, timer);
  EXPECT_TRUE(g_filled);
  EXPECT_TRUE(answered);
  EXPECT_EQ("zoe", user);
  EXPECT_EQ("pw", password);
  EXPECT_EQ(L"zoe\npw", Sealed(L"ProxyAuth"));  // the box starts ticked
  EXPECT_TRUE(host->ConfigWritten());
}

}  // namespace
}  // namespace options_test
