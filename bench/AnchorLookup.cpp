// The project's side of the dictionary anchor: the same headwords sdcv looks
// up, through the converted demo dictionary.
//   anchor_lookup WORDS DICT_FOLDER
// WORDS is a UTF-8 file of one headword a line; DICT_FOLDER holds
// 00000100.tdc and its layouts (the shipped folder's dict). One pass in this
// fresh process, as each sdcv run is one: every word's matches found and
// their entries read; then the lookup road, the word queried over a query
// group of that dictionary with its result page rendered. Prints
// "lookup_us", "road_us" (per word) and "misses".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/bench/Bench.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"
#include "dict/bench/BenchHost.h"

namespace {

std::vector<std::wstring> ReadWords(const wchar_t* path) {
  std::vector<std::wstring> words;
  FILE* f = _wfopen(path, L"rb");
  if (!f) return words;
  char line[4096];
  while (fgets(line, sizeof(line), f)) {
    std::string bytes(line);
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    if (bytes.empty()) continue;
    std::wstring word(bytes.size(), L'\0');
    word.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), &word[0], int(word.size())));
    words.push_back(word);
  }
  fclose(f);
  return words;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 3) {
    fprintf(stderr, "usage: anchor_lookup WORDS DICT_FOLDER\n");
    return 2;
  }
  const std::vector<std::wstring> words = ReadWords(argv[1]);
  const std::wstring source = std::wstring(argv[2]) + L"\\";
  if (words.empty()) {
    fprintf(stderr, "anchor_lookup: no words in %ls\n", argv[1]);
    return 1;
  }

  BenchHost host;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  host.temp = std::wstring(temp) + L"quorindo_anchor_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  host.folder = host.temp;
  CreateDirectoryW(host.temp.c_str(), nullptr);
  SetDictHost(&host);

  // Lookup with the entry read, from the shipped file itself.
  CDictFile dict;
  if (!dict.Open((source + L"00000100.tdc").c_str())) {
    fprintf(stderr, "anchor_lookup: cannot open %ls00000100.tdc\n", source.c_str());
    return 1;
  }
  std::vector<uint32_t> matches;
  size_t misses = 0, bytes = 0;
  double find = 0, read = 0;
  auto pass = [&] {
    misses = bytes = 0;
    find = read = 0;
    for (const std::wstring& w : words) {
      double t = BenchSeconds();
      if (dict.FindMatches(matches, w.c_str(), int(w.size())) == 0) ++misses;
      double u = BenchSeconds();
      for (uint32_t entry : matches) bytes += dict.GetData(entry).size();
      find += u - t;
      read += BenchSeconds() - u;
    }
  };
  pass();
  const double lookup = find + read;
  printf("lookup_find_us %.3f\nlookup_read_us %.3f\n", find / words.size() * 1e6, read / words.size() * 1e6);
  // Again in the same process: what the dictionary keeps of the first pass.
  pass();
  printf("lookup_warm_us %.3f\n", (find + read) / words.size() * 1e6);

  // The lookup road: a query group of that dictionary, its pages rendered.
  const wchar_t* files[] = {L"00000100.tdc", L"layout.cfg", L"layout_def.cfg"};
  for (const wchar_t* name : files) CopyFileW((source + name).c_str(), (host.folder + name).c_str(), FALSE);
  CDictManager manager;
  if (!WriteBenchConfig(host.folder, {0x100}, L"query_group") || !manager.LoadConfig()) {
    fprintf(stderr, "anchor_lookup: cannot set up the query group\n");
    return 1;
  }
  std::vector<CDictFile*> dicts;
  std::vector<std::wstring> fragments;
  size_t pageChars = 0;
  double t = BenchSeconds();
  for (const std::wstring& w : words) {
    manager.QueryGroup(dicts, fragments, w.c_str(), kGroupQuery);
    for (const std::wstring& f : fragments) pageChars += f.size();
  }
  const double road = BenchSeconds() - t;
  manager.Clear();
  for (const wchar_t* name : files) DeleteFileW((host.folder + name).c_str());
  DeleteFileW((host.folder + L"dictcfg.xmc").c_str());
  RemoveDirectoryW(host.folder.c_str());

  printf("lookup_us %.3f\n", lookup / words.size() * 1e6);
  printf("road_us %.3f\n", road / words.size() * 1e6);
  printf("misses %zu\n", misses);
  printf("entry_chars %zu\npage_chars %zu\n", bytes, pageChars);
  LocalFree(argv);
  return 0;
}
