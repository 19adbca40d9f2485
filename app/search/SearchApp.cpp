// The search bar's view of the application object.
#include "app/search/SearchApp.h"

#include "app/shell/QuorindoApp.h"
#include "dialogs/dict/DlgDictOption.h"

const CConfigFile& SearchTexts() { return theApp.m_uiText; }
const CConfigFile& SearchSettings() { return theApp.m_settings; }
const CConfigFile& SearchUserState() { return theApp.m_userState; }
const std::wstring& SearchImageFolder() { return theApp.m_imageFolder; }
const std::wstring& SearchIconFolder() { return theApp.m_iconFolder; }
const std::wstring& SearchUiLanguage() { return theApp.m_langCode; }
CFont* SearchUiFont() { return &theApp.m_uiFont; }
CFont* SearchBoldUiFont() { return &theApp.m_uiBoldFont; }
CDictManager& SearchDictManager() { return *theApp.GetDictManager(); }

void SearchRunDictOptions(int groupKind, uint32_t dictId) {
  CDlgDictOption dlg(nullptr);
  dlg.SetInitialSelection(groupKind, dictId);
  dlg.DoModal();
}
