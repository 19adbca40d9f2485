// Writes a dictionary configuration ("dictcfg.xmc") for the tests: the given
// elements inside <config>, enciphered with the key text of the UI-text store.
#pragma once

#include <string>

bool WriteDictConfig(const std::wstring& path, const std::wstring& body, const std::wstring& keyText);

// A group member with glossary 0 shown.
std::wstring DictConfigMember(unsigned id);
