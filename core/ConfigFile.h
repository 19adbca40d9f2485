// The key/value store behind every INI-syntax text of the program. Entries
// are kept as section + "/" + name -> raw value (quotes and escapes as they
// stand in the file); lookups unquote and unescape. Files may sit inside the
// "?VKC" cipher envelope (16-byte key). Saved text is UTF-16 with a byte-order
// mark, sorted by key, lines ending in LF.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/KeyTree.h"

class CConfigFile {
 public:
  // Merge modes of Load and Parse.
  enum : uint32_t { kReplaceStore = 0, kMergeLaterWins = 1, kMergeExistingWins = 2 };
  // Line kinds of ParseLine.
  enum : int32_t { kLineInvalid = -1, kLineBlank = 0, kLineComment = 1, kLineSection = 2, kLineKey = 3 };

  CConfigFile() = default;
  virtual ~CConfigFile() = default;

  bool Load(const wchar_t* path, const uint8_t* key, uint32_t merge, uint32_t codePage);
  bool Save(const wchar_t* path, const uint8_t* key);
  uint32_t FormatIni(std::wstring& out, bool append) const;
  int32_t GetEntries(std::vector<std::wstring>& out) const;
  // Stricter dialect for texts in memory (a dictionary's layout files).
  bool Parse(const wchar_t* text, bool unquote, uint32_t merge);

  std::wstring GetString(const wchar_t* section, const wchar_t* name, const wchar_t* defaultValue = nullptr,
                         int32_t index = -1) const;
  uint32_t GetInt(const wchar_t* section, const wchar_t* name, uint32_t defaultValue, int32_t index = -1) const;
  bool GetBool(const wchar_t* section, const wchar_t* name, bool defaultValue, int32_t index = -1) const;
  int32_t GetIntList(const wchar_t* section, const wchar_t* name, std::vector<int32_t>& out) const;
  bool GetStringList(const wchar_t* section, const wchar_t* name, std::vector<std::wstring>& out) const;
  bool FindValue(const wchar_t* section, const wchar_t* name, std::wstring& out) const;
  const wchar_t* GetValue(const wchar_t* section, const wchar_t* name) const;

  // Values are stored raw: quote and escape lists and special characters first.
  bool SetValue(const wchar_t* section, const wchar_t* name, const std::wstring& value);
  // The entry's own form, section and name joined by a slash ("App/Window"):
  // the name is what follows the last slash; false without a slash.
  bool SetValue(const wchar_t* sectionAndName, const std::wstring& value);
  bool SetValueN(const wchar_t* section, const wchar_t* name, const wchar_t* value, uint32_t length);

  static int32_t ParseLine(std::wstring& name, std::wstring& value, std::wstring& comment, const wchar_t* line,
                           uint32_t length);
  static int32_t ParseLineStrict(std::wstring& name, std::wstring& value, const wchar_t* line, uint32_t length);

  CStringMap& Entries() { return entries_; }
  const CStringMap& Entries() const { return entries_; }

 private:
  const std::wstring* Lookup(const wchar_t* section, const wchar_t* name) const;
  void Store(const std::wstring& key, const std::wstring& value, bool replace);

  CStringMap entries_;
  std::wstring empty_;
};

// Escapes of INI values: \a \b \t \n \v \f \r \" \' \? \\ and ";" as \x3B.
uint32_t EscapeString(std::wstring& out, const wchar_t* text);
uint32_t EscapeWStringInPlace(std::wstring& text);  // leaves LF and CR as they are
void UnescapeWString(std::wstring& text);
uint32_t UnescapeBuffer(wchar_t* text, uint32_t length);

// mode < 0 left end, > 0 right end, 0 both.
void TrimWString(std::wstring& text, const wchar_t* characters, int32_t mode);
bool ParseBoolText(const wchar_t* text);
const wchar_t* WStrChr(const wchar_t* text, wchar_t c);
uint32_t ParseHexByte(uint8_t& out, const wchar_t* text, uint32_t length);
uint32_t ParseOctalByte(uint8_t& out, const wchar_t* text, uint32_t length);
uint32_t UrlEncodeInPlace(std::wstring& text);

// Size read; out is allocated with new[] (the caller delete[]s it), null on failure.
uint32_t ReadWholeFile(uint8_t*& out, const wchar_t* path);
int ReadTextFile(std::wstring& out, const wchar_t* path, uint32_t codePage);

// WM_SETFONT (no redraw) to the window and its children, all levels when recursive.
void ApplyFontToChildren(HWND window, HFONT font, bool recursive);
