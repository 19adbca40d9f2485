// What the HTML views read of the application: folders, texts, settings, the
// user-interface language, the main window and the update component's pages.
#pragma once

#include <string>

class CWnd;

namespace viewsenv {

std::wstring DataFolder();   // each folder ends in "\"
std::wstring ImageFolder();
std::wstring IconFolder();
// Value (or list item index) of section/key in the user-interface text store.
std::wstring UiText(const wchar_t* section, const wchar_t* key, int index = -1);
// Value of section/key in the settings ("config.ini").
std::wstring Setting(const wchar_t* section, const wchar_t* key);
std::wstring LanguageCode();
CWnd* MainWindow();
// The update component's page text of that name in the user-interface language.
bool FillUpdateTemplate(std::wstring& out, const wchar_t* name);
// The page shell "start.htm" of the data folder.
std::wstring StartPage();

}  // namespace viewsenv
