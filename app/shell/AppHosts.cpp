#include "app/shell/AppHosts.h"

#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"
#include "core/StrUtil.h"
#include "core/UiSeam.h"

// ---- Dictionary engine ---------------------------------------------------------

std::wstring CAppDictHost::GetUiText(const wchar_t* section, const wchar_t* key, int index) {
  return m_app.m_uiText.GetString(section, key, nullptr, index);
}

std::wstring CAppDictHost::GetSetting(const wchar_t* section, const wchar_t* key) {
  return m_app.m_settings.GetString(section, key);
}

std::wstring CAppDictHost::GetDataFolder() { return m_app.m_dataFolder; }
std::wstring CAppDictHost::GetDictFolder() { return m_app.m_dictFolder; }
std::wstring CAppDictHost::GetTempFolder() { return m_app.m_tempFolder; }
std::wstring CAppDictHost::GetIconFolder() { return m_app.m_iconFolder; }
std::wstring CAppDictHost::GetImageFolder() { return m_app.m_imageFolder; }
std::wstring CAppDictHost::GetUiLanguageCode() { return m_app.m_langCode; }

std::wstring CAppDictHost::GetUiFontName() { return m_app.m_settings.GetString(L"Appearance", L"UITextFont"); }

std::wstring CAppDictHost::GetUiFontSize() { return m_app.m_settings.GetString(L"Appearance", L"UIFontSize"); }

uint32_t CAppDictHost::GetLanguageLocale(const wchar_t* code) {
  return code ? m_app.m_langList.GetInt(L"LangCode", code, LOCALE_USER_DEFAULT, 0) : LOCALE_USER_DEFAULT;
}

int CAppDictHost::MatchLanguageCode(const wchar_t* have, const wchar_t* code) {
  return ::MatchLanguageCode(have, code);
}

std::wstring CAppDictHost::GetLanguageName(const wchar_t* code) {
  return code ? m_app.m_langList.GetString(L"LangCode", code) : std::wstring();
}

void CAppDictHost::ShowMessage(const wchar_t* text, const wchar_t* caption, uint32_t type) {
  ShowMessageBox(CWnd::HwndOf(m_app.m_pMainWnd), text, caption ? caption : AfxGetAppName(), type);
}

void CAppDictHost::SetTranslatorSourceText(const std::wstring& text) { m_app.m_textTranslator.SetSourceText(text); }

void CAppDictHost::BuildTranslatorFormPage(std::wstring& html, bool showSource, bool showResult) {
  m_app.m_textTranslator.BuildFormPage(html, showSource, showResult);
}

// ---- Online part ---------------------------------------------------------------

CAppOnlineHost::CAppOnlineHost(CQuorindoApp& app) : m_app(app), m_commands(app.m_dictManager) {}

std::wstring CAppOnlineHost::GetProgramFolder() const { return m_app.m_programFolder; }
std::wstring CAppOnlineHost::GetDataFolder() const { return m_app.m_dataFolder; }
std::wstring CAppOnlineHost::GetImageFolder() const { return m_app.m_imageFolder; }
std::wstring CAppOnlineHost::GetIconFolder() const { return m_app.m_iconFolder; }
std::wstring CAppOnlineHost::GetUpdateFolder() const { return m_app.m_updateFolder; }
std::wstring CAppOnlineHost::GetTempFolder() const { return m_app.m_tempFolder; }
std::wstring CAppOnlineHost::GetWindowsFolder() const { return ReadSystemFolder(false); }
std::wstring CAppOnlineHost::GetSystemFolder() const { return ReadSystemFolder(true); }
const CConfigFile& CAppOnlineHost::GetUiTexts() const { return m_app.m_uiText; }
const CConfigFile& CAppOnlineHost::GetSettings() const { return m_app.m_settings; }
std::wstring CAppOnlineHost::GetUiLanguage() const { return m_app.m_langCode; }
uint32_t CAppOnlineHost::GetBuildNumber() const { return m_app.m_buildNumber; }
std::wstring CAppOnlineHost::GetVersionText() const { return m_app.m_version; }

bool CAppOnlineHost::GetConnectionSetting(std::wstring& host, uint16_t& port, std::wstring& user,
                                          std::wstring& password) const {
  host.clear();
  user.clear();
  password.clear();
  port = 0;
  if (m_app.m_settings.GetInt(L"Connection", L"Connect", 0) != 1) return false;
  uint32_t wide = 0;
  m_app.GetProxySettings(host, wide, user, password);
  port = static_cast<uint16_t>(wide);
  return true;
}

IUpdateDictManager* CAppOnlineHost::GetDictManager() { return &m_commands; }

HWND CAppOnlineHost::GetMainWindow() const { return CWnd::HwndOf(m_app.m_pMainWnd); }

bool CAppOnlineHost::ConfirmRun(const std::wstring& path) {
  std::wstring text = m_app.m_uiText.GetString(L"Message", L"UpdateRunProgram", L"Start %s?");
  ReplaceAll(text, L"%s", path.c_str());
  return ShowMessageBox(GetMainWindow(), text.c_str(), AfxGetAppName(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
         IDYES;
}
