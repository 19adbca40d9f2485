// What the dictionary engine needs of the application: its text and settings
// stores, its folders, its language functions and its message boxes. The
// application object implements this; tests give their own.
#pragma once

#include <cstdint>
#include <string>

class IDictHost {
 public:
  virtual ~IDictHost() = default;

  // Value of section/key in the user-interface text store; with index >= 0 the
  // list item of that number. Empty when absent.
  virtual std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int index = -1) = 0;
  // Value of section/key in the settings store ("config.ini"), unquoted.
  virtual std::wstring GetSetting(const wchar_t* section, const wchar_t* key) = 0;

  // Folders, each ending in "\".
  virtual std::wstring GetDataFolder() = 0;
  virtual std::wstring GetDictFolder() = 0;
  virtual std::wstring GetTempFolder() = 0;
  virtual std::wstring GetIconFolder() = 0;
  virtual std::wstring GetImageFolder() = 0;

  virtual std::wstring GetUiLanguageCode() = 0;
  virtual std::wstring GetUiFontName() = 0;
  virtual std::wstring GetUiFontSize() = 0;

  // Item 0 of the code's entry in section "LangCode" of the language list; 1024 when absent.
  virtual uint32_t GetLanguageLocale(const wchar_t* code) = 0;
  // Language-code match, ASCII case ignored: 1 when equal, 2 when `have` ends
  // where `code` goes on with "-", "." or "_", 0 otherwise.
  virtual int MatchLanguageCode(const wchar_t* have, const wchar_t* code) = 0;
  // Display name of a language code.
  virtual std::wstring GetLanguageName(const wchar_t* code) = 0;

  virtual void ShowMessage(const wchar_t* text, const wchar_t* caption, uint32_t type) = 0;

  // The application's web text translator (CTextTranslator::SetSourceText and
  // CTextTranslator::BuildFormPage), for the entries that hold its form.
  virtual void SetTranslatorSourceText(const std::wstring& text) = 0;
  virtual void BuildTranslatorFormPage(std::wstring& html, bool showSource, bool showResult) = 0;
};

// The engine's host. Until one is set, a host without stores, with the
// folders of the running program's "temp\", "icon\" and "dict\" beside it, serves.
IDictHost& DictHost();
void SetDictHost(IDictHost* host);

