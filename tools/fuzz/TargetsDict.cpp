// The dictionary target: a file opened, every search run on keys of its own
// and of the input, entries rendered through the layouts, resources and the
// icon extracted.
#include <windows.h>

#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/DictHost.h"
#include "tools/DictWriter.h"
#include "tools/fuzz/Fuzz.h"
#include "tools/fuzz/FuzzTargets.h"

namespace fuzz {
namespace {

// The engine's host with every folder inside the sandbox.
class SandboxDictHost : public IDictHost {
 public:
  std::wstring GetUiText(const wchar_t*, const wchar_t*, int) override { return {}; }
  std::wstring GetSetting(const wchar_t*, const wchar_t*) override { return {}; }
  std::wstring GetDataFolder() override { return root + L"data\\"; }
  std::wstring GetDictFolder() override { return root + L"dict\\"; }
  std::wstring GetTempFolder() override { return root + L"temp\\"; }
  std::wstring GetIconFolder() override { return root + L"icon\\"; }
  std::wstring GetImageFolder() override { return root + L"image\\"; }
  std::wstring GetUiLanguageCode() override { return L"en"; }
  std::wstring GetUiFontName() override { return L"Tahoma"; }
  std::wstring GetUiFontSize() override { return L"9"; }
  uint32_t GetLanguageLocale(const wchar_t*) override { return 1024; }
  int MatchLanguageCode(const wchar_t* have, const wchar_t* code) override {
    return have && code && _wcsicmp(have, code) == 0 ? 1 : 0;
  }
  std::wstring GetLanguageName(const wchar_t* code) override { return code ? code : L""; }
  void ShowMessage(const wchar_t*, const wchar_t*, uint32_t) override {}
  void SetTranslatorSourceText(const std::wstring&) override {}
  void BuildTranslatorFormPage(std::wstring& html, bool, bool) override { html = L"<form></form>"; }

  std::wstring root;
};

// The shipped result layouts (the "dict" folder beside this program), which
// every sandbox's dictionary folder receives.
const std::vector<std::pair<std::wstring, std::string>>& ShippedLayouts() {
  static const std::vector<std::pair<std::wstring, std::string>> layouts = [] {
    std::vector<std::pair<std::wstring, std::string>> files;
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder = folder.substr(0, folder.find_last_of(L'\\') + 1) + L"dict\\";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"layout*.cfg").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
      std::string bytes;
      ReadFileToString(bytes, (folder + found.cFileName).c_str());
      files.emplace_back(found.cFileName, bytes);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
  }();
  return layouts;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(file != INVALID_HANDLE_VALUE, "cannot write into the sandbox");
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::vector<std::string> DictSeeds() {
  std::vector<std::string> seeds;
  auto build = [&](WriterSource source, const std::wstring& damage) {
    std::string file;
    std::wstring error;
    if (BuildDictionary(file, source, damage, error)) seeds.push_back(file);
  };
  WriterSource plain;
  MakeSynthetic(plain, 60, 7);
  plain.resources.push_back({L"pic.png", std::string("\x89PNG\r\n\x1A\n", 8) + "not really"});
  plain.resources.push_back({L"sound.wav", "RIFF"});
  WriterSource packed = plain;
  packed.keyBlockSize = 256, packed.resBlockSize = 128;
  packed.layout = L"mtt";
  packed.sorted = true, packed.indexSort = 1;
  build(plain, L"");
  build(packed, L"");
  for (const wchar_t* damage : {L"res-escape", L"oversized", L"huge-max", L"bad-count", L"bad-offsets",
                                L"bad-data-offsets", L"area-beyond", L"zero-head", L"info-id", L"flags",
                                L"info-noterm", L"magic", L"tag", L"id0", L"info-odd", L"info-empty", L"key-short",
                                L"no-keys", L"truncate", L"header-only"})
    build(plain, damage);
  for (const wchar_t* damage : {L"bad-zlib", L"bad-blocktable", L"huge-total", L"huge-block"}) build(packed, damage);
  return seeds;
}

void RunDict(const std::string& input, const Sandbox& box) {
  static SandboxDictHost host;
  host.root = box.folder;
  SetDictHost(&host);
  for (const wchar_t* folder : {L"data", L"dict", L"temp", L"icon", L"image"})
    CreateDirectoryW((box.folder + folder).c_str(), nullptr);
  for (const auto& layout : ShippedLayouts()) WriteBytes(box.folder + L"dict\\" + layout.first, layout.second);
  const std::wstring path = box.folder + L"dict\\fuzz.tdc";
  WriteBytes(path, input);

  CDictFile dict;
  if (!dict.Open(path.c_str())) return;
  dict.GetTitle(L"en");
  dict.GetIcon();
  DictGroupItem member;
  member.dictionary = &dict;
  member.id = dict.GetId();
  for (uint32_t g = 0; g < dict.GetGlossaryCount() && g < 64; ++g) member.glossaries.push_back({g, true});

  // Words to look for: keys of the file and pieces of the input.
  std::vector<std::wstring> words = {L"", L"a", L"zzzz", L"\x4E2D", std::wstring(300, L'x')};
  const uint32_t keys = dict.GetKeyCount();
  for (uint32_t i = 0; i < keys && i < 2000; i += 1 + keys / 40) {
    uint8_t flag = 0;
    words.push_back(dict.GetKeyWithFlag(i, flag));
    dict.GetData(i);
  }
  if (keys) words.push_back(dict.GetKey(keys - 1));
  for (const std::wstring& word : words) {
    const int length = static_cast<int>(word.size());
    uint32_t index = 0, matched = 0;
    int position = 0;
    bool lastMark = false, exactCase = false;
    dict.FindWord(index, position, matched, word.c_str(), length, true, 0);
    dict.FindWord(index, position, matched, word.c_str(), length, false, 2);
    if (keys) dict.SearchKeys(lastMark, exactCase, word.c_str(), length, 0, keys - 1, 1);
    dict.FindExact(word.c_str(), length);
    std::wstring data;
    dict.LookupEntry(data, word.c_str(), length);
    std::vector<uint32_t> entries;
    dict.FindMatches(entries, word.c_str(), length);
    std::wstring html, text;
    dict.BuildResult(html, entries, word.c_str(), kGroupQuery, &member);
    dict.BuildTextResult(text, word.c_str(), kGroupGrab, &member);
  }
  for (uint32_t i = 0; i < 8; ++i) {
    const std::wstring name = dict.GetResourceName(i);
    dict.GetResourceData(i);
    std::wstring extracted;
    if (dict.ExtractResource(extracted, name.c_str(), static_cast<int>(name.size())))
      Check(extracted.compare(0, box.folder.size(), box.folder) == 0, "a resource was extracted outside the sandbox");
  }
}

}  // namespace

void AddDictTargets(std::vector<Target>& targets) {
  targets.push_back({"dict", {"dict/*.tdc"}, DictSeeds,
                     {"\xFF\xFF\xFF\x7F", "\0\0\0\0", "<C A=\"0\">", "<F><a>", "</a></F>", "<G><O><d>", "</d></O></G>",
                      "</C>", "&amp;", "<![CDATA["},
                     RunDict, 8u << 20});
}

const std::vector<Target>& Targets() {
  static const std::vector<Target> targets = [] {
    std::vector<Target> list;
    AddDictTargets(list);
    AddTextTargets(list);
    AddImageTargets(list);
    AddWebTargets(list);
    return list;
  }();
  return targets;
}

}  // namespace fuzz
