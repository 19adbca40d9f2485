#include "core/ConfigFile.h"

#include <cwchar>
#include <cstring>
#include <new>

#include "core/EnvelopeFile.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"

namespace {

const wchar_t kBlankTab[] = L" \t";

inline bool IsBlankTab(wchar_t c) { return c == L' ' || c == L'\t'; }
inline bool IsLineWhite(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r'; }
inline bool IsStrictWhite(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// A quote or other character is escaped when an odd run of backslashes stands
// before it: "\\" before a closing quote is an escaped backslash, not an
// escaped quote, so a value ending in a backslash keeps its quotes apart.
bool IsEscaped(const wchar_t* text, size_t pos) {
  size_t run = 0;
  while (pos > run && text[pos - run - 1] == L'\\') ++run;
  return run % 2 == 1;
}

// One pair of surrounding double quotes, when the closing one is not escaped.
bool IsQuoted(const wchar_t* text, size_t length) {
  return length >= 2 && text[0] == L'"' && text[length - 1] == L'"' && !IsEscaped(text, length - 1);
}

// List items: an item ends at a comma outside quotes directly followed by a
// blank or a tab; a comma as the very last character is dropped. Calls
// visit(begin, end) for each item in order until it returns false.
template <class Visit>
void ForEachListItem(const std::wstring& value, Visit visit) {
  const size_t n = value.size();
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < n; ++i) {
    wchar_t c = value[i];
    if (c == L'"' && !IsEscaped(value.c_str(), i)) {
      quoted = !quoted;
    } else if (c == L',' && !quoted && i + 1 < n && IsBlankTab(value[i + 1])) {
      if (!visit(start, i)) return;
      start = i + 1;
    }
  }
  if (start < n) visit(start, value[n - 1] == L',' ? n - 1 : n);
}

// The item from begin to end, trimmed of blanks and tabs.
std::wstring ItemText(const std::wstring& value, size_t begin, size_t end) {
  while (begin < end && IsBlankTab(value[begin])) ++begin;
  while (end > begin && IsBlankTab(value[end - 1])) --end;
  return value.substr(begin, end - begin);
}

std::vector<std::wstring> SplitList(const std::wstring& value) {
  std::vector<std::wstring> items;
  ForEachListItem(value, [&](size_t begin, size_t end) {
    items.push_back(ItemText(value, begin, end));
    return true;
  });
  return items;
}

bool ListItem(const std::wstring& value, int32_t index, std::wstring& out) {
  bool found = false;
  ForEachListItem(value, [&](size_t begin, size_t end) {
    if (index-- > 0) return true;
    out = ItemText(value, begin, end);
    found = true;
    return false;
  });
  return found;
}

std::wstring MakeKey(const wchar_t* section, const wchar_t* name) {
  std::wstring key(section);
  key += L'/';
  key += name;
  return key;
}

// Whether the rest of a key from a place on reads back as the name of a key
// line: not empty, not begun by what reading passes over (blanks, CR) or takes
// for a section line ("["), and none of the characters that end a name or
// make the line no key.
bool NameReadsBack(const std::wstring& key, std::wstring::size_type from) {
  if (from >= key.size()) return false;
  const wchar_t first = key[from];
  if (first == L' ' || first == L'\t' || first == L'\r' || first == L'[') return false;
  return key.find_first_of(L"=\\\";", from) == std::wstring::npos;
}

// A key of the empty section, written by its name before any section line. A
// key that begins with "/" but whose rest is no name is a section's that
// begins with "/".
bool IsEmptySectionKey(const std::wstring& key) { return !key.empty() && key[0] == L'/' && NameReadsBack(key, 1); }

void AppendEntry(std::wstring& out, std::wstring& section, bool& wroteAny, const std::wstring& key,
                 const std::wstring& value) {
  // A section's name ends at its first "]": the section is split off at the
  // last slash before that, so that a key's name may hold "/" and "]" both.
  // A slash is passed over for one further left when the file would not read
  // the split back: blanks before it are trimmed off the section, and the
  // rest must read back as a name.
  std::wstring::size_type slash = key.rfind(L'/', key.find(L']'));
  if (slash == std::wstring::npos) return;
  for (std::wstring::size_type s = slash; s != std::wstring::npos && s > 0; s = key.rfind(L'/', s - 1)) {
    if (key[s - 1] != L' ' && key[s - 1] != L'\t' && NameReadsBack(key, s + 1)) {
      slash = s;
      break;
    }
  }
  std::wstring sec, name;
  if (IsEmptySectionKey(key)) {
    name = key.substr(1);
  } else {
    sec = key.substr(0, slash);
    name = key.substr(slash + 1);
  }
  if (sec != section) {
    if (wroteAny) out += L'\n';
    out += L'[';
    out += sec;
    out += L"]\n";
    section = sec;
  }
  out += name;
  out += L'=';
  // CR and LF inside a value would end its line: written as their escapes,
  // which GetString turns back into the characters.
  for (wchar_t c : value) {
    if (c == L'\n') {
      out += L"\\n";
    } else if (c == L'\r') {
      out += L"\\r";
    } else {
      out += c;
    }
  }
  out += L'\n';
  wroteAny = true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Loading and saving

void CConfigFile::Store(const std::wstring& key, const std::wstring& value, bool replace) {
  entries_.SetAt(&key, &value, replace);
}

bool CConfigFile::Load(const wchar_t* path, const uint8_t* key, uint32_t merge, uint32_t codePage) {
  if (!path) return false;
  if (merge == kReplaceStore) entries_.Tree().Clear(false);

  std::string bytes;
  if (!ReadEnvelopeFile(bytes, path, key)) return false;
  std::wstring text;
  if (DecodeTextBuffer(text, bytes.data(), static_cast<uint32_t>(bytes.size()), codePage) < 0) return false;

  std::wstring prefix = L"/", name, value, comment;
  const bool replace = merge == kMergeLaterWins;
  const wchar_t* p = text.c_str();
  const wchar_t* end = p + text.size();
  while (p < end) {
    const wchar_t* eol = std::wmemchr(p, L'\n', end - p);
    if (!eol) eol = end;
    int32_t kind = ParseLine(name, value, comment, p, static_cast<uint32_t>(eol - p));
    if (kind == kLineSection) {
      prefix = name + L'/';
    } else if (kind == kLineKey) {
      Store(prefix + name, value, replace);
    }
    p = eol + 1;
  }
  return true;
}

uint32_t CConfigFile::FormatIni(std::wstring& out, bool append) const {
  if (!append) out.clear();
  std::vector<std::wstring> keys;
  GetEntries(keys);
  std::wstring section;
  bool wroteAny = false;
  // Keys of the empty section first: written after another section they
  // would load back into that section.
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::wstring& key : keys) {
      if (IsEmptySectionKey(key) != (pass == 0)) continue;
      AppendEntry(out, section, wroteAny, key, *entries_.Tree().Find(&key));
    }
  }
  return static_cast<uint32_t>(out.size());
}

bool CConfigFile::Save(const wchar_t* path, const uint8_t* key) {
  if (!path) return false;
  std::wstring text(1, L'\xFEFF');
  FormatIni(text, true);
  return WriteEnvelopeFile(path, text.data(), static_cast<uint32_t>(text.size() * sizeof(wchar_t)), key);
}

int32_t CConfigFile::GetEntries(std::vector<std::wstring>& out) const {
  out.reserve(out.size() + entries_.Tree().Count());
  entries_.Tree().ForEach(
      entries_.Tree().Root(),
      [](CKeyTreeNode* node, void* context) { static_cast<std::vector<std::wstring>*>(context)->push_back(node->key); },
      &out);
  return static_cast<int32_t>(out.size());
}

// ---------------------------------------------------------------------------
// Line grammar

int32_t CConfigFile::ParseLine(std::wstring& name, std::wstring& value, std::wstring& comment, const wchar_t* line,
                               uint32_t length) {
  name.clear(), value.clear(), comment.clear();
  if (!line || length == 0) return kLineInvalid;
  bool quoted = false, hasComment = false;
  uint32_t first = length, last = 0;
  for (uint32_t i = 0; i < length; ++i) {
    wchar_t c = line[i];
    if (c == L'"' && !IsEscaped(line, i)) {
      quoted = !quoted;
    } else if (c == L';' && !quoted && (i == 0 || IsBlankTab(line[i - 1]))) {
      comment.assign(line + i + 1, length - i - 1);
      TrimWString(comment, L" \t\r", 0);
      hasComment = true;
      break;
    }
    if (!IsLineWhite(c)) {
      if (first == length) first = i;
      last = i;
    }
  }
  if (first == length) return hasComment ? kLineComment : kLineBlank;

  if (line[first] == L'[') {
    uint32_t close = first + 1;
    while (close <= last && line[close] != L']') ++close;
    if (close > last) return kLineInvalid;
    name.assign(line + first + 1, close - first - 1);
    TrimWString(name, kBlankTab, 0);
    return name.empty() ? kLineInvalid : kLineSection;
  }

  uint32_t eq = first;
  for (; eq <= last; ++eq) {
    wchar_t c = line[eq];
    if (c == L'=') break;
    if (c == L'\\' || c == L'"' || c == L';') return kLineInvalid;
  }
  if (eq > last) return kLineInvalid;
  name.assign(line + first, eq - first);
  TrimWString(name, L" \t\r", 1);
  if (name.empty()) return kLineInvalid;
  if (eq < last) {
    value.assign(line + eq + 1, last - eq);
    TrimWString(value, L" \t\r", -1);
  }
  return kLineKey;
}

int32_t CConfigFile::ParseLineStrict(std::wstring& name, std::wstring& value, const wchar_t* line, uint32_t length) {
  name.clear(), value.clear();
  if (!line || length == 0) return kLineInvalid;
  uint32_t first = 0;
  while (first < length && IsStrictWhite(line[first])) ++first;
  if (first == length) return kLineBlank;
  if (line[first] == L';') return kLineComment;
  if (WStrChr(L"\\\"'/,=]", line[first])) return kLineInvalid;

  if (line[first] == L'[') {
    uint32_t i = first + 1;
    for (; i < length && line[i] != L']'; ++i) {
      if (WStrChr(L"\\\"',=;[", line[i])) return kLineInvalid;
    }
    if (i == length) return kLineInvalid;
    name.assign(line + first + 1, i - first - 1);
    TrimWString(name, L" \t\r\n", 0);
    return name.empty() ? kLineInvalid : kLineSection;
  }

  uint32_t eq = first;
  for (; eq < length && line[eq] != L'='; ++eq) {
    if (WStrChr(L"\\\"'/,;[]", line[eq])) return kLineInvalid;
  }
  if (eq == length) return kLineInvalid;
  name.assign(line + first, eq - first);
  TrimWString(name, L" \t\r\n", 1);
  if (name.empty()) return kLineInvalid;
  uint32_t end = eq + 1;
  while (end < length && line[end] != L';') ++end;  // the first ";" ends the value
  value.assign(line + eq + 1, end - eq - 1);
  TrimWString(value, L" \t\r\n", 0);
  return kLineKey;
}

bool CConfigFile::Parse(const wchar_t* text, bool unquote, uint32_t merge) {
  if (!text) return false;
  if (merge == kReplaceStore) entries_.Tree().Clear(false);
  const bool replace = merge == kMergeLaterWins;
  std::wstring prefix = L"/", name, value;
  const wchar_t* p = text;
  // The next ";" and the next character that ends a key's name ("=" or one
  // that makes the line no key), found once for all the lines before them: a
  // text with few of them would otherwise be searched to its end per line.
  const wchar_t* semicolon = nullptr;
  const wchar_t* nameEnd = nullptr;
  while (*p) {
    const wchar_t* eol = p;
    while (*eol && *eol != L'\n') ++eol;
    const wchar_t* q = p;
    while (q < eol && IsStrictWhite(*q)) ++q;
    const wchar_t* next = *eol ? eol + 1 : eol;
    if (q < eol && *q != L'[' && *q != L';' && !WStrChr(L"\\\"'/,=]", *q)) {
      // A key line runs on to the first line that holds a ";".
      if (!semicolon || semicolon < p) {
        semicolon = p;
        while (*semicolon && *semicolon != L';') ++semicolon;
      }
      if (!nameEnd || nameEnd < q) {
        nameEnd = q;
        while (*nameEnd && !WStrChr(L"=\\\"'/,;[]", *nameEnd)) ++nameEnd;
      }
      const wchar_t* extentEnd = semicolon;
      while (*extentEnd && *extentEnd != L'\n') ++extentEnd;
      if (*nameEnd == L'=' && nameEnd < extentEnd &&
          ParseLineStrict(name, value, p, static_cast<uint32_t>(extentEnd - p)) == kLineKey) {
        if (unquote) {
          if (IsQuoted(value.c_str(), value.size())) value = value.substr(1, value.size() - 2);
          UnescapeWString(value);
        }
        Store(prefix + name, value, replace);
        next = *extentEnd ? extentEnd + 1 : extentEnd;
      }
    } else if (q < eol && *q == L'[') {
      if (ParseLineStrict(name, value, p, static_cast<uint32_t>(eol - p)) == kLineSection) prefix = name + L'/';
    }
    p = next;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Lookups and setters

const std::wstring* CConfigFile::Lookup(const wchar_t* section, const wchar_t* name) const {
  if (!section || !name) return nullptr;
  std::wstring key = MakeKey(section, name);
  return entries_.Tree().Find(&key);
}

std::wstring CConfigFile::GetString(const wchar_t* section, const wchar_t* name, const wchar_t* defaultValue,
                                    int32_t index) const {
  const std::wstring* v = Lookup(section, name);
  std::wstring out;
  if (v && index < 0) {
    if (IsQuoted(v->c_str(), v->size())) {
      out.assign(*v, 1, v->size() - 2);
    } else {
      out = *v;
    }
    UnescapeWString(out);
    return out;
  }
  if (!v || !ListItem(*v, index, out)) return defaultValue ? std::wstring(defaultValue) : empty_;
  if (IsQuoted(out.c_str(), out.size())) {
    out.pop_back();
    out.erase(0, 1);
  }
  if (!out.empty()) out.resize(UnescapeBuffer(&out[0], static_cast<uint32_t>(out.size())));
  return out;
}

uint32_t CConfigFile::GetInt(const wchar_t* section, const wchar_t* name, uint32_t defaultValue, int32_t index) const {
  const std::wstring* v = Lookup(section, name);
  if (!v) return defaultValue;
  if (index < 0) return std::wcstoul(v->c_str(), nullptr, 0);
  std::wstring item;
  return ListItem(*v, index, item) ? std::wcstoul(item.c_str(), nullptr, 0) : defaultValue;
}

bool CConfigFile::GetBool(const wchar_t* section, const wchar_t* name, bool defaultValue, int32_t index) const {
  const std::wstring* v = Lookup(section, name);
  if (!v) return defaultValue;
  if (index < 0) return ParseBoolText(v->c_str());
  std::wstring item;
  return ListItem(*v, index, item) ? ParseBoolText(item.c_str()) : defaultValue;
}

int32_t CConfigFile::GetIntList(const wchar_t* section, const wchar_t* name, std::vector<int32_t>& out) const {
  out.clear();
  const std::wstring* v = Lookup(section, name);
  if (!v) return 0;
  for (const std::wstring& item : SplitList(*v)) out.push_back(static_cast<int32_t>(std::wcstol(item.c_str(), nullptr, 0)));
  return static_cast<int32_t>(out.size());
}

bool CConfigFile::GetStringList(const wchar_t* section, const wchar_t* name, std::vector<std::wstring>& out) const {
  out.clear();
  const std::wstring* v = Lookup(section, name);
  if (!v) return false;
  out = SplitList(*v);
  return true;
}

bool CConfigFile::FindValue(const wchar_t* section, const wchar_t* name, std::wstring& out) const {
  const std::wstring* v = Lookup(section, name);
  if (!v) {
    out.clear();
    return false;
  }
  out = *v;
  return true;
}

const wchar_t* CConfigFile::GetValue(const wchar_t* section, const wchar_t* name) const {
  const std::wstring* v = Lookup(section, name);
  return v ? v->c_str() : nullptr;
}

bool CConfigFile::SetValue(const wchar_t* section, const wchar_t* name, const std::wstring& value) {
  if (!section || !name) return false;
  std::wstring key = MakeKey(section, name);
  return entries_.SetAt(&key, &value, true);
}

bool CConfigFile::SetValue(const wchar_t* sectionAndName, const std::wstring& value) {
  if (!sectionAndName || !wcschr(sectionAndName, L'/')) return false;
  std::wstring key(sectionAndName);
  return entries_.SetAt(&key, &value, true);
}

bool CConfigFile::SetValueN(const wchar_t* section, const wchar_t* name, const wchar_t* value, uint32_t length) {
  if (!value) return false;
  return SetValue(section, name, std::wstring(value, length));
}

// ---------------------------------------------------------------------------
// Text helpers

uint32_t EscapeString(std::wstring& out, const wchar_t* text) {
  if (!text || text == out.c_str()) {
    out.clear();
    return 0;
  }
  out.clear();
  for (const wchar_t* p = text; *p; ++p) {
    switch (*p) {
      case 7: out += L"\\a"; break;
      case 8: out += L"\\b"; break;
      case 9: out += L"\\t"; break;
      case 10: out += L"\\n"; break;
      case 11: out += L"\\v"; break;
      case 12: out += L"\\f"; break;
      case 13: out += L"\\r"; break;
      case L'"': out += L"\\\""; break;
      case L'\'': out += L"\\'"; break;
      case L'?': out += L"\\?"; break;
      case L'\\': out += L"\\\\"; break;
      case L';': out += L"\\x3B"; break;
      default: out += *p; break;
    }
  }
  return static_cast<uint32_t>(out.size());
}

uint32_t EscapeWStringInPlace(std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  size_t start = 0;
  // Runs between LF and CR go through the table; the line breaks stay raw.
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == L'\n' || text[i] == L'\r') {
      std::wstring piece, escaped;
      piece.assign(text, start, i - start);
      EscapeString(escaped, piece.c_str());
      out += escaped;
      if (i < text.size()) out += text[i];
      start = i + 1;
    }
  }
  text.swap(out);
  return static_cast<uint32_t>(text.size());
}

uint32_t UnescapeBuffer(wchar_t* text, uint32_t length) {
  if (!text) return 0;
  uint32_t r = 0, w = 0;
  while (r < length) {
    wchar_t c = text[r];
    if (c != L'\\' || r + 1 >= length) {
      text[w++] = c, ++r;
      continue;
    }
    wchar_t e = text[r + 1];
    const wchar_t* simple = WStrChr(L"abtnvfr\"'?\\", e);
    if (simple && e) {
      static const wchar_t kValues[] = L"\a\b\t\n\v\f\r\"'?\\";
      text[w++] = kValues[simple - L"abtnvfr\"'?\\"];
      r += 2;
    } else if (e >= L'0' && e <= L'7') {
      uint8_t v = 0;
      uint32_t n = ParseOctalByte(v, text + r + 1, length - r - 1);
      text[w++] = v;
      r += 1 + n;
    } else if (e == L'x') {
      uint8_t v = 0;
      uint32_t n = ParseHexByte(v, text + r + 2, length - r - 2);
      if (n == 0) {
        text[w++] = c, ++r;
      } else {
        text[w++] = v;
        r += 2 + n;
      }
    } else {
      text[w++] = c, ++r;
    }
  }
  for (uint32_t i = w; i < length; ++i) text[i] = 0;
  return w;
}

void UnescapeWString(std::wstring& text) {
  if (text.empty()) return;
  text.resize(UnescapeBuffer(&text[0], static_cast<uint32_t>(text.size())));
}

void TrimWString(std::wstring& text, const wchar_t* characters, int32_t mode) {
  if (!characters) return;
  if (mode >= 0) {
    std::wstring::size_type end = text.find_last_not_of(characters);
    text.erase(end == std::wstring::npos ? 0 : end + 1);
  }
  if (mode <= 0) text.erase(0, text.find_first_not_of(characters));
}

bool ParseBoolText(const wchar_t* text) {
  if (!text) return false;
  while (IsBlankTab(*text)) ++text;
  wchar_t c = *text;
  return c == L'1' || c == L'T' || c == L'Y' || c == L't' || c == L'y';
}

const wchar_t* WStrChr(const wchar_t* text, wchar_t c) {
  if (!text) return nullptr;
  for (; *text; ++text) {
    if (*text == c) return text;
  }
  return c == 0 ? text : nullptr;
}

uint32_t ParseHexByte(uint8_t& out, const wchar_t* text, uint32_t length) {
  out = 0;
  uint32_t i = 0, digits = 0;
  unsigned value = 0;
  while (i < length && text[i] == L'0') ++i;
  for (; i < length && digits < 2; ++i, ++digits) {
    wchar_t c = text[i];
    unsigned d;
    if (c >= L'0' && c <= L'9') {
      d = c - L'0';
    } else if (c >= L'a' && c <= L'f') {
      d = c - L'a' + 10;
    } else if (c >= L'A' && c <= L'F') {
      d = c - L'A' + 10;
    } else {
      break;
    }
    value = value * 16 + d;
  }
  out = static_cast<uint8_t>(value);
  return i;
}

uint32_t ParseOctalByte(uint8_t& out, const wchar_t* text, uint32_t length) {
  out = 0;
  uint32_t i = 0, digits = 0;
  unsigned value = 0;
  while (i < length && text[i] == L'0') ++i;
  for (; i < length && digits < 3; ++i, ++digits) {
    wchar_t c = text[i];
    if (c < L'0' || c > L'7') break;
    unsigned next = value * 8 + (c - L'0');
    if (next > 255) break;
    value = next;
  }
  out = static_cast<uint8_t>(value);
  return i;
}

uint32_t UrlEncodeInPlace(std::wstring& text) {
  std::wstring out;
  UrlEncode(out, text.c_str());
  text.swap(out);
  return static_cast<uint32_t>(text.size());
}

uint32_t ReadWholeFile(uint8_t*& out, const wchar_t* path) {
  out = nullptr;
  std::string bytes;
  uint32_t size = ReadFileToString(bytes, path);
  if (size == 0) return 0;
  out = new (std::nothrow) uint8_t[size];
  if (!out) return 0;
  memcpy(out, bytes.data(), size);
  return size;
}

int ReadTextFile(std::wstring& out, const wchar_t* path, uint32_t codePage) {
  out.clear();
  std::string bytes;
  if (ReadFileToString(bytes, path) == 0) return -1;
  return DecodeTextBuffer(out, bytes.data(), static_cast<uint32_t>(bytes.size()), codePage);
}

void ApplyFontToChildren(HWND window, HFONT font, bool recursive) {
  if (!window) return;
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (recursive) {
      ApplyFontToChildren(child, font, true);
    } else {
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
  }
}
