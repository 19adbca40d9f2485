// Helpers the dialogs of this folder share.
#pragma once

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

class CConfigFile;

namespace options_detail {

// The key names of one section, in store order.
std::vector<std::wstring> SectionKeys(const CConfigFile& store, const wchar_t* section);
std::wstring GetItemText(HWND window, int id);
// Boxes go through the core's message-box seam, so that tests can answer them.
int ShowBox(HWND owner, const std::wstring& text, UINT type);
// A setting text escaped with the store's escapes.
std::wstring Escaped(const std::wstring& text);
const wchar_t* FlagText(bool on);
// Saves the settings store to the program folder + "config.ini".
bool SaveSettingsFile();

}  // namespace options_detail
