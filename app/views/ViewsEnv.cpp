#include "app/views/ViewsEnv.h"

#include "app/shell/QuorindoApp.h"

namespace viewsenv {

std::wstring DataFolder() { return theApp.m_dataFolder; }
std::wstring ImageFolder() { return theApp.m_imageFolder; }
std::wstring IconFolder() { return theApp.m_iconFolder; }

std::wstring UiText(const wchar_t* section, const wchar_t* key, int index) {
  return theApp.m_uiText.GetString(section, key, L"", index);
}

std::wstring Setting(const wchar_t* section, const wchar_t* key) {
  return theApp.m_settings.GetString(section, key, L"");
}

std::wstring LanguageCode() { return theApp.m_langCode; }

CWnd* MainWindow() { return AfxGetMainWnd(); }

bool FillUpdateTemplate(std::wstring& out, const wchar_t* name) {
  return theApp.GetOnlineUpdate()->FillTemplateVars(out, name, theApp.m_langCode.c_str());
}

std::wstring StartPage() { return DataFolder() + L"start.htm"; }

}  // namespace viewsenv
