#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/TripleDes.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"
#include "online/OnlineUpdate.h"

using namespace options_detail;

namespace {
const int kProxyFields[] = {IDC_CN_SERVER, IDC_CN_PORT, IDC_CN_USER, IDC_CN_PASSWORD};

// The port field's number: 1 to 65535, else 0 (empty, not a number, out of
// range). Read digit by digit, so that no value wraps into another port.
uint32_t PortOfText(const std::wstring& text) {
  if (text.empty() || text.size() > 5) return 0;
  uint32_t port = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    port = port * 10 + uint32_t(c - L'0');
  }
  return port <= 65535 ? port : 0;
}
}

BEGIN_MESSAGE_MAP(CDlgOptConnection, COptionPage)
  ON_BN_CLICKED(IDC_CN_DIRECT, OnDirect)
  ON_BN_CLICKED(IDC_CN_PROXY, OnProxy)
  ON_BN_CLICKED(IDC_CN_UPDATENOW, OnUpdateNow)
END_MESSAGE_MAP()

CDlgOptConnection::CDlgOptConnection() : COptionPage(IDD_OPT_CONNECTION) {}

BOOL CDlgOptConnection::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_user.SubclassDlgItem(IDC_CN_USER, this);
  m_password.SubclassDlgItem(IDC_CN_PASSWORD, this);
  m_port.SubclassDlgItem(IDC_CN_PORT, this);
  m_server.SubclassDlgItem(IDC_CN_SERVER, this);
  m_enableUpdate.SubclassDlgItem(IDC_CN_ENABLEUPDATE, this);

  static const std::pair<const wchar_t*, int> kTexts[] = {
      {L"ConnectSet", IDC_CN_GROUP},          {L"DirectConnect", IDC_CN_DIRECT},
      {L"ProxyConnect", IDC_CN_PROXY},        {L"ProxyServer", IDC_CN_SERVER_LABEL},
      {L"ProxyPort", IDC_CN_PORT_LABEL},      {L"Username", IDC_CN_USER_LABEL},
      {L"Password", IDC_CN_PASSWORD_LABEL},   {L"OnlineUpdate", IDC_CN_UPDATE_GROUP},
      {L"UpdateNow", IDC_CN_UPDATENOW},       {L"EnableUpdate", IDC_CN_ENABLEUPDATE}};
  SetTexts(L"DlgOptConnection", kTexts, std::size(kTexts));

  ProxySettings proxy = GetOptionsHost()->GetProxySettings();
  bool useProxy = proxy.mode == 1;
  ::CheckRadioButton(m_hWnd, IDC_CN_DIRECT, IDC_CN_PROXY, useProxy ? IDC_CN_PROXY : IDC_CN_DIRECT);
  EnableProxyFields(useProxy);
  m_server.SetWindowText(proxy.server.c_str());
  m_port.SetWindowText(proxy.port ? IntToWString(proxy.port, 10).c_str() : L"");
  m_user.SetWindowText(proxy.user.c_str());
  m_password.SetWindowText(proxy.password.c_str());

  const CConfigFile& settings = Settings();
  bool update = !settings.GetValue(L"Connection", L"EnableUpdate") ||
                settings.GetBool(L"Connection", L"EnableUpdate", true);
  m_enableUpdate.SetCheck(update ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CDlgOptConnection::EnableProxyFields(BOOL enable) {
  for (int id : kProxyFields) ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
}

void CDlgOptConnection::OnDirect() { EnableProxyFields(FALSE); }
void CDlgOptConnection::OnProxy() { EnableProxyFields(TRUE); }

int CDlgOptConnection::Save() {
  CConfigFile& settings = Settings();
  settings.SetValue(L"Connection", L"Connect", IsDlgButtonChecked(IDC_CN_PROXY) == BST_CHECKED ? L"1" : L"0");
  settings.SetValue(L"Connection", L"ProxyServer", Escaped(GetItemText(m_hWnd, IDC_CN_SERVER)));
  settings.SetValue(L"Connection", L"ProxyPort", IntToWString(PortOfText(GetItemText(m_hWnd, IDC_CN_PORT)), 10));

  std::wstring auth;
  FormatWString(auth, L"%s\n%s", GetItemText(m_hWnd, IDC_CN_USER).c_str(),
                GetItemText(m_hWnd, IDC_CN_PASSWORD).c_str());
  std::wstring sealed;
  EncryptSettingText(sealed, reinterpret_cast<const uint8_t*>(auth.data()), unsigned(auth.size() * sizeof(wchar_t)));
  settings.SetValue(L"Connection", L"ProxyAuth", sealed);

  SaveFlag(L"Connection", L"EnableUpdate", IDC_CN_ENABLEUPDATE);
  return 1;
}

bool CDlgOptConnection::IsPortValid() {
  return IsDlgButtonChecked(IDC_CN_PROXY) != BST_CHECKED || PortOfText(GetItemText(m_hWnd, IDC_CN_PORT)) != 0;
}

void CDlgOptConnection::RefusePort() {
  ShowBox(m_hWnd, GetOptionsHost()->GetUiTexts().GetString(L"Message", L"ProxyPortInvalid"), MB_ICONWARNING);
  m_port.SetFocus();
  m_port.SetSel(0, -1);
}

void CDlgOptConnection::OnUpdateNow() {
  IOptionsHost* host = GetOptionsHost();
  COnlineUpdate* update = host->GetOnlineUpdate();
  if (!update || update->IsRunning()) return;
  update->Stop();
  update->Start(host->GetMainWindow(), WM_UPDATE_DONE);
}
