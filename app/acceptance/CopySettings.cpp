#include "app/acceptance/CopySettings.h"

#include <cstdint>

#include "app/acceptance/AcceptanceKit.h"
#include "core/TextStoreKey.h"
#include "core/EnvelopeFile.h"
#include "core/FileUtil.h"
#include "core/StrUtil.h"
#include "tools/DictWriter.h"

namespace acceptance {

namespace {

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return L"";
  return text.substr(first, text.find_last_not_of(L" \t\r") + 1 - first);
}

// A UTF-16 text file of the program (byte-order mark first), deciphered with
// key when given.
bool ReadTextFile(const std::wstring& path, const uint8_t* key, std::wstring& text) {
  std::string bytes;
  if (!ReadEnvelopeFile(bytes, path.c_str(), key) || bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0)
    return false;
  text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
  return true;
}

// Such a file changed by edit and written back the same way.
bool EditTextFile(const std::wstring& path, const uint8_t* key, const std::function<void(std::wstring&)>& edit) {
  std::wstring text;
  if (!ReadTextFile(path, key, text)) return false;
  edit(text);
  text.insert(0, 1, L'\xFEFF');
  return WriteEnvelopeFile(path.c_str(), text.data(), static_cast<uint32_t>(text.size() * sizeof(wchar_t)), key);
}

}  // namespace

void SetIniValue(std::wstring& ini, const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  const std::wstring line = key + L"=" + value;
  const std::wstring header = L"[" + section + L"]";
  size_t start = 0, insertAt = std::wstring::npos;
  bool inSection = false;
  while (start < ini.size()) {
    size_t end = ini.find(L'\n', start);
    if (end == std::wstring::npos) end = ini.size();
    const std::wstring current = Trimmed(ini.substr(start, end - start));
    if (!current.empty() && current[0] == L'[') {
      if (inSection) break;
      inSection = current == header;
      if (inSection) insertAt = end + 1 <= ini.size() ? end + 1 : ini.size();
    } else if (inSection) {
      const size_t equals = current.find(L'=');
      if (equals != std::wstring::npos && Trimmed(current.substr(0, equals)) == key) {
        const bool cr = end > start && ini[end - 1] == L'\r';
        ini.replace(start, end - start - (cr ? 1 : 0), line);
        return;
      }
      if (!current.empty()) insertAt = end + 1 <= ini.size() ? end + 1 : ini.size();
    }
    start = end + 1;
  }
  if (insertAt == std::wstring::npos) {
    if (!ini.empty() && ini.back() != L'\n') ini += L"\r\n";
    ini += header + L"\r\n" + line + L"\r\n";
    return;
  }
  if (insertAt > 0 && ini[insertAt - 1] != L'\n') {
    ini.insert(insertAt, L"\r\n");
    insertAt += 2;
  }
  ini.insert(insertAt, line + L"\r\n");
}

bool SetSetting(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                const std::wstring& value) {
  return EditTextFile(path, nullptr, [&](std::wstring& ini) { SetIniValue(ini, section, key, value); });
}

bool SetUiText(const std::wstring& folder, const std::wstring& section, const std::wstring& key,
               const std::wstring& value) {
  uint8_t key16[16];
  return BuildTextStoreKey(key16) && EditTextFile(folder + L"system.inc", key16, [&](std::wstring& ini) {
           SetIniValue(ini, section, key, value);
         });
}

namespace {

// The key of the engine definitions and the dictionary configuration: the
// UI-text store's entry "3", 32 hex digits.
bool DataKey(const std::wstring& folder, uint8_t key[16]) {
  uint8_t storeKey[16];
  std::wstring store;
  if (!BuildTextStoreKey(storeKey) || !ReadTextFile(folder + L"system.inc", storeKey, store)) return false;
  const size_t at = store.find(L"\n3=");
  if (at == std::wstring::npos || store.size() < at + 3 + 32) return false;
  const std::wstring hex = store.substr(at + 3, 32);
  for (int i = 0; i < 16; ++i)
    if (!HexPairToByte(&key[i], hex[2 * i], hex[2 * i + 1])) return false;
  return true;
}

}  // namespace

bool EditEngines(const std::wstring& folder, const std::function<void(std::wstring& xml)>& edit) {
  uint8_t key[16];
  return DataKey(folder, key) && EditTextFile(folder + L"data\\tt\\tt.xmc", key, edit);
}

std::wstring DictConfigText(const std::wstring& folder) {
  uint8_t key[16];
  std::wstring text;
  if (!DataKey(folder, key) || !ReadTextFile(folder + L"dict\\dictcfg.xmc", key, text)) text.clear();
  return text;
}

bool WriteDictionary(const std::wstring& path, const std::wstring& source, std::string& why) {
  WriterSource parsed;
  std::wstring error;
  std::string file;
  if (!ParseWriterSource(parsed, source, L"", error) || !BuildDictionary(file, parsed, L"", error)) {
    why = "the dictionary writer refused the source: " + Utf8(error);
    return false;
  }
  if (!WriteWholeFile(path.c_str(), file.data(), static_cast<uint32_t>(file.size()))) {
    why = "cannot write " + Utf8(path);
    return false;
  }
  return true;
}

}  // namespace acceptance
