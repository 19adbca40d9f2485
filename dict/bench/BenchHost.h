// What the dictionary benchmarks share: a dictionary host over one folder
// (the dictionaries, their group file and layouts, temporary files) and the
// group file that installs a set of dictionaries there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dict/DictHost.h"

class BenchHost : public IDictHost {
 public:
  std::wstring folder, temp;  // both ending in "\"
  std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int) override;
  std::wstring GetSetting(const wchar_t*, const wchar_t*) override { return {}; }
  std::wstring GetDataFolder() override { return folder; }
  std::wstring GetDictFolder() override { return folder; }
  std::wstring GetTempFolder() override { return temp; }
  std::wstring GetIconFolder() override { return folder; }
  std::wstring GetImageFolder() override { return folder; }
  std::wstring GetUiLanguageCode() override { return L"en"; }
  std::wstring GetUiFontName() override { return {}; }
  std::wstring GetUiFontSize() override { return {}; }
  uint32_t GetLanguageLocale(const wchar_t*) override { return 1033; }
  int MatchLanguageCode(const wchar_t* a, const wchar_t* b) override;
  std::wstring GetLanguageName(const wchar_t* code) override { return code; }
  void ShowMessage(const wchar_t* text, const wchar_t*, uint32_t) override;
  void SetTranslatorSourceText(const std::wstring&) override {}
  void BuildTranslatorFormPage(std::wstring& html, bool, bool) override { html.clear(); }
};

// Writes folder\dictcfg.xmc installing the dictionaries <id>.tdc, all of them
// members of the group named groupElement ("query_group", "grab_group", ...).
bool WriteBenchConfig(const std::wstring& folder, const std::vector<uint32_t>& ids, const wchar_t* groupElement);
