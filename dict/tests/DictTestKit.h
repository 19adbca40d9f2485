// Shared by the engine tests: a host with its own folders and stores, and
// fixtures built by the dictionary writer.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dict/DictHost.h"
#include "guictl/OImage.h"

class CTextTranslator;

class CTestHost : public IDictHost {
 public:
  CTestHost();
  ~CTestHost() override;

  std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int index) override;
  std::wstring GetSetting(const wchar_t* section, const wchar_t* key) override;
  std::wstring GetDataFolder() override { return root + L"data\\"; }
  std::wstring GetDictFolder() override { return root + L"dict\\"; }
  std::wstring GetTempFolder() override { return root + L"temp\\"; }
  std::wstring GetIconFolder() override { return root + L"icon\\"; }
  std::wstring GetImageFolder() override { return root + L"image\\"; }
  std::wstring GetUiLanguageCode() override { return uiLanguage; }
  std::wstring GetUiFontName() override { return L"UiFont"; }
  std::wstring GetUiFontSize() override { return L"9"; }
  uint32_t GetLanguageLocale(const wchar_t* code) override;
  int MatchLanguageCode(const wchar_t* have, const wchar_t* code) override;
  std::wstring GetLanguageName(const wchar_t* code) override;
  void ShowMessage(const wchar_t* text, const wchar_t* caption, uint32_t type) override;
  void SetTranslatorSourceText(const std::wstring& text) override;
  void BuildTranslatorFormPage(std::wstring& html, bool showSource, bool showResult) override;

  std::wstring root;  // ends in "\"
  std::wstring uiLanguage = L"en";
  std::map<std::wstring, std::wstring> uiTexts;  // "section/key"
  std::map<std::wstring, std::wstring> settings;
  std::map<std::wstring, uint32_t> locales;
  std::vector<std::wstring> messages;
  CTextTranslator* translator = nullptr;
};

// Writes text as UTF-8 (with a byte-order mark when asked) to path.
bool WriteTextFile(const std::wstring& path, const std::wstring& text, bool bom);
bool FileExists(const std::wstring& path);
// Writes text as UTF-16 (with U+FEFF) inside the cipher envelope, under the host's "/3" key.
bool WriteEnvelopeFile(const std::wstring& path, const std::wstring& text);
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// Runs the dictionary writer over a source text; the built file's path, or
// empty when the writer failed.
std::wstring MakeDict(CTestHost& host, const std::wstring& name, const std::wstring& source,
                      const std::wstring& options = L"");

// One writer run for several damaged files of one source: their paths, in
// the order of the kinds (empty when the writer failed).
std::vector<std::wstring> MakeDamagedDicts(CTestHost& host, const std::wstring& name, const std::wstring& source,
                                           const std::vector<std::wstring>& kinds);

// A source with the usual header lines, the given extra fields and entries
// ("key\txml" lines).
std::wstring DictSource(uint32_t id, const std::wstring& fields, const std::vector<std::wstring>& entries);

// An entry of glossary 0 whose form is the key and whose one definition is text.
std::wstring SimpleEntry(const std::wstring& key, const std::wstring& text);
// Whether a dictionary's icon is one the lists can show: 16x16, with a
// picture on it (several colours, opaque and clear pixels).
bool IsListIcon(const Veltra::COImage& icon, std::string& why);
