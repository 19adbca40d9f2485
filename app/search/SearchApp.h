// What the search bar, the index pane, the word list and the owner-drawn
// menus read of the application object. The program's definitions
// (SearchApp.cpp) take them from theApp; the tests link stand-ins of their own.
#pragma once

#include <cstdint>
#include <string>

class CConfigFile;
class CDictManager;
class CFont;

// The user-interface texts, the settings ("config.ini") and the user's
// state ("user.ini").
const CConfigFile& SearchTexts();
const CConfigFile& SearchSettings();
const CConfigFile& SearchUserState();
// Folders, each ending in "\".
const std::wstring& SearchImageFolder();
const std::wstring& SearchIconFolder();
// The interface font and its bold form.
CFont* SearchUiFont();
CFont* SearchBoldUiFont();
CDictManager& SearchDictManager();
// The dictionary management dialog, modal, opened on the page of groupKind
// with the member dictId selected (0xFFFFFFFF: none).
void SearchRunDictOptions(int groupKind, uint32_t dictId);
// The user-interface language code ("en-US").
const std::wstring& SearchUiLanguage();
