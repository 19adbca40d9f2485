#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "core/TripleDes.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {
const wchar_t kSection[] = L"DlgAuthentication";
}

BEGIN_MESSAGE_MAP(CDlgAuthentication, CDialog)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CDlgAuthentication::CDlgAuthentication(CWnd* parent) : CDialog(IDD_AUTHENTICATION, parent), m_remember(0) {}

BOOL CDlgAuthentication::OnInitDialog() {
  CDialog::OnInitDialog();
  m_rememberBox.SubclassDlgItem(IDC_AU_REMEMBER, this);
  m_userEdit.SubclassDlgItem(IDC_AU_USER, this);
  m_passwordEdit.SubclassDlgItem(IDC_AU_PASSWORD, this);

  SetWindowText(m_caption.c_str());
  SetDlgItemText(IDC_AU_PROMPT, m_prompt.c_str());
  SetDlgItemText(IDC_AU_USER_LABEL, OptionText(kSection, L"Username").c_str());
  SetDlgItemText(IDC_AU_PASSWORD_LABEL, OptionText(kSection, L"Password").c_str());
  SetDlgItemText(IDC_AU_REMEMBER, OptionText(kSection, L"Remember").c_str());
  SetDlgItemText(IDOK, OptionText(kSection, L"Ok").c_str());
  SetDlgItemText(IDCANCEL, OptionText(kSection, L"Cancel").c_str());
  m_rememberBox.SetCheck(m_remember ? BST_CHECKED : BST_UNCHECKED);
  CPngImage png;
  png.ReadFile((GetOptionsHost()->GetImageFolder() + L"authtitle.png").c_str(), &m_title, 0);
  return TRUE;
}

BOOL CDlgAuthentication::OnEraseBkgnd(CDC* dc) {
  if (!m_title.IsEmpty()) {
    m_title.Draw(dc->GetSafeHdc(), 0, 0, SRCCOPY);
    ::ExcludeClipRect(dc->GetSafeHdc(), 0, 0, m_title.GetWidth(), m_title.GetHeight());
  }
  return BOOL(Default());
}

void CDlgAuthentication::OnOK() {
  std::wstring user = GetItemText(m_hWnd, IDC_AU_USER);
  TrimWString(user, L" ", 0);
  if (user.empty()) {
    ShowBox(m_hWnd, GetOptionsHost()->GetUiTexts().GetString(L"Message", L"UsernameIsEmpty"), MB_ICONINFORMATION);
    m_userEdit.SetWindowText(L"");
    GotoDlgCtrl(&m_userEdit);
    return;
  }
  m_user = user;
  m_password = GetItemText(m_hWnd, IDC_AU_PASSWORD);
  m_remember = m_rememberBox.GetCheck() == BST_CHECKED ? 1 : 0;
  EndDialog(IDOK);
}

bool OnAuthCredentials(std::string& user, std::string& password, const char* realm, const char* prompt) {
  IOptionsHost* host = GetOptionsHost();
  std::wstring caption = host->GetUiTexts().GetString(kSection, L"TitleProxy");
  std::wstring text;
  if (realm && *realm) {
    Utf8ToWString(text, realm, -1);
    caption += text;
  }
  std::wstring promptText;
  if (prompt && *prompt) Utf8ToWString(promptText, prompt, -1);

  LRESULT answer = ::SendMessageW(host->GetMainWindow(), WM_AUTH_REQUEST, WPARAM(&caption), LPARAM(&promptText));
  if (answer != 1 && answer != 2) return false;
  WStringToUtf8(user, caption.c_str(), -1);
  WStringToUtf8(password, promptText.c_str(), -1);

  if (answer == 2) {
    std::wstring plain;
    FormatWString(plain, L"%s\n%s", caption.c_str(), promptText.c_str());
    std::wstring sealed;
    EncryptSettingText(sealed, reinterpret_cast<const uint8_t*>(plain.data()), unsigned(plain.size() * sizeof(wchar_t)));
    CConfigFile& settings = host->GetSettings();
    switch (settings.GetInt(L"Connection", L"Connect", 0)) {
      case 1:
        // The proxy of the Connection page reads "ProxyAuth": without it the
        // remembered entries would never be used.
        settings.SetValue(L"Connection", L"IEProxyAuth", sealed);
        settings.SetValue(L"Connection", L"ProxyAuth", sealed);
        break;
      case 2: settings.SetValue(L"Connection", L"ProxyAuth", sealed); break;
      default: break;
    }
    SaveSettingsFile();
  }
  return true;
}

bool AuthCredentialCallback(void* context, std::string& user, std::string& password) {
  const auto* texts = static_cast<const AuthPromptTexts*>(context);
  return OnAuthCredentials(user, password, texts ? texts->realm : nullptr, texts ? texts->prompt : nullptr);
}
