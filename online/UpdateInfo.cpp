// The texts of the saved update description for the start page and the
// update notice.
#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "dict/DictHost.h"
#include "dict/DictResources.h"
#include "online/OnlineText.h"
#include "online/OnlineUpdate.h"

CXmlNode* FindItemByLanguage(CXmlNode* parent, const wchar_t* language) {
  if (!parent) return nullptr;
  CXmlNode* first = nullptr;
  CXmlNode* partial = nullptr;
  for (CXmlNode* child = parent->FirstChild(); child; child = child->NextSibling()) {
    if (child->Kind() != kXmlElement || !child->IsNamed(L"item")) continue;
    if (!first) first = child;
    std::wstring lang;
    child->GetAttribute(lang, L"lang");
    int match = DictHost().MatchLanguageCode(lang.c_str(), language);
    if (match == 1) return child;
    if (match == 2 && !partial) partial = child;
  }
  return partial ? partial : first;
}

bool COnlineUpdate::FillTemplateVars(std::wstring& out, const wchar_t* name, const wchar_t* language) {
  out.clear();
  if (!name) return false;
  std::wstring id = GetUpdateValue(L"ID");
  HttpTime time = ParseTimeString(GetUpdateValue(L"Time").c_str());
  std::wstring stamp;
  if (time != -1) FormatTimeString(stamp, &time, 5);

  const std::wstring updateFolder = m_host->GetUpdateFolder();
  std::wstring path = updateFolder + id + L"\\uf_" + stamp + L".xml";
  CXmlDocument document;
  if (!document.LoadFile(path.c_str(), kXmlAllFlags, nullptr) || !document.GetRoot()) return false;
  CXmlNode* info = document.GetRoot()->FindChildElement(L"Info", kXmlElement, 0);
  CXmlNode* item = FindItemByLanguage(info, language);
  CXmlNode* element = item ? item->FindChildElement(name, kXmlElement, 0) : nullptr;
  if (!element) return false;
  std::wstring text;
  element->GetText(text);

  const CConfigFile& settings = m_host->GetSettings();
  std::wstring version;
  FormatWString(version, L"%s.%.4d", m_host->GetVersionText().c_str(), static_cast<int>(m_host->GetBuildNumber() & 0xFFFF));
  CStringMap vars;
  SetTemplateVar(vars, L"DataPath", m_host->GetDataFolder());
  SetTemplateVar(vars, L"ImgPath", m_host->GetImageFolder());
  SetTemplateVar(vars, L"IconPath", m_host->GetIconFolder());
  SetTemplateVar(vars, L"TextFont", settings.GetString(L"Appearance", L"UITextFont"));
  SetTemplateVar(vars, L"FontSize", settings.GetString(L"Appearance", L"UIFontSize"));
  SetTemplateVar(vars, L"AppPath", m_host->GetProgramFolder());
  SetTemplateVar(vars, L"UpdatePath", updateFolder);
  SetTemplateVar(vars, L"DownPath", updateFolder + id + L"\\");
  SetTemplateVar(vars, L"Version", version);
  SetTemplateVar(vars, L"UpdateID", id);
  ExpandTemplateVars(out, text.c_str(), vars);
  return true;
}
