// The settings of a shipped copy, changed before the program starts: a road
// points the copy at its loopback servers or switches a feature on, through
// the same files the program reads ("config.ini", "user.ini", the enciphered
// UI-text store "system.inc" and engine definitions "data\tt\tt.xmc").
#pragma once

#include <functional>
#include <string>

namespace acceptance {

// Sets key=value in [section] of an INI text: the key's line replaced, or
// added at the section's end, the section added when missing.
void SetIniValue(std::wstring& ini, const std::wstring& section, const std::wstring& key, const std::wstring& value);

// Sets a value of a plain settings file of the copy (e.g. "config.ini").
bool SetSetting(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                const std::wstring& value);
// Sets a value of the copy's UI-text store ("system.inc" of folder).
bool SetUiText(const std::wstring& folder, const std::wstring& section, const std::wstring& key,
               const std::wstring& value);
// The copy's engine definitions as XML text, changed by edit and written back.
bool EditEngines(const std::wstring& folder, const std::function<void(std::wstring& xml)>& edit);
// The copy's dictionary configuration ("dict\dictcfg.xmc") as XML text; empty
// when it cannot be read.
std::wstring DictConfigText(const std::wstring& folder);

// A dictionary file made by the dictionary writer from its source text
// (the format of data/dict/*.src); false, with the reason, when it cannot be.
bool WriteDictionary(const std::wstring& path, const std::wstring& source, std::string& why);

}  // namespace acceptance
