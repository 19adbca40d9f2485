// Figures of the dictionary engine over the converted demo data:
//   quorindo_bench [DEMO_FOLDER] [BENCH_FOLDER]
// DEMO_FOLDER holds the converted English-German dictionary (00000100.tdc; by
// default the shipped folder's dist\dict), BENCH_FOLDER the synthetic ones
// (scripts/bench-data.sh builds them).
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "dict/DictFile.h"
#include "dict/bench/BenchHost.h"
#include "dict/DictManager.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Committed private memory (heaps and the like; mapped files are not private).
size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* p = nullptr; VirtualQuery(p, &info, sizeof(info)) == sizeof(info);
       p = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    if (static_cast<const char*>(info.BaseAddress) + info.RegionSize < p) break;
  }
  return total;
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring bin(exe);
  bin.resize(bin.find_last_of(L'\\') + 1);
  std::wstring demo = argc > 1 ? std::wstring(argv[1]) + L"\\" : bin + L"..\\dist\\dict\\";
  std::wstring bench = argc > 2 ? std::wstring(argv[2]) + L"\\" : bin + L"..\\bench-data\\";
  LocalFree(argv);

  BenchHost host;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  host.temp = std::wstring(temp) + L"quorindo_bench\\";
  host.folder = host.temp;
  CreateDirectoryW(host.temp.c_str(), nullptr);
  SetDictHost(&host);

  const std::wstring demoPath = demo + L"00000100.tdc";
  // Open: the first open maps the file from disk; the figure is the mean of later opens.
  double openTimes = 0;
  const int opens = 20;
  {
    CDictFile warm;
    if (!warm.Open(demoPath.c_str())) {
      fwprintf(stderr, L"cannot open %ls: make the build first (scripts/build.sh)\n", demoPath.c_str());
      return 1;
    }
  }
  for (int i = 0; i < opens; ++i) {
    CDictFile d;
    double t = Now();
    d.Open(demoPath.c_str());
    openTimes += Now() - t;
  }
  CDictFile dict;
  size_t before = PrivateBytes();
  double t0 = Now();
  dict.Open(demoPath.c_str());
  double firstOpen = Now() - t0;
  size_t afterOpen = PrivateBytes();
  printf("dictionary: %u entries, compressed key index\n", dict.GetKeyCount());
  t0 = Now();
  dict.FindExact(L"house", 5);
  printf("first search after open: %.2f ms\n", (Now() - t0) * 1000);
  dict.GetData(0);
  size_t afterSearch = PrivateBytes();
  printf("open: %.2f ms (mean of %d), last %.2f ms\n", openTimes / opens * 1000, opens, firstOpen * 1000);

  std::vector<std::wstring> words;
  words.reserve(dict.GetKeyCount());
  for (uint32_t i = 0; i < dict.GetKeyCount(); ++i) {
    uint8_t flag;
    std::wstring key = dict.GetKeyWithFlag(i, flag);
    if (flag & 0x80) words.push_back(key);
  }
  std::mt19937 random(12345);
  std::shuffle(words.begin(), words.end(), random);
  uint32_t misses = 0;
  double t = Now();
  for (const std::wstring& w : words) misses += dict.FindExact(w.c_str(), static_cast<int>(w.size())) < 0;
  double exact = Now() - t;
  printf("FindExact: %zu head words in random order, %.2f us each, %u misses\n", words.size(),
         exact / words.size() * 1e6, misses);
  std::vector<uint32_t> entries;
  size_t found = 0;
  t = Now();
  for (const std::wstring& w : words) found += dict.FindMatches(entries, w.c_str(), static_cast<int>(w.size()));
  double matches = Now() - t;
  printf("FindMatches: %.2f us each, %zu entries found\n", matches / words.size() * 1e6, found);
  printf("memory beyond the file (%.1f MB): %.1f KB after open, %.1f KB after the first search (room for the inflated entry table and keys)\n",
         GetFileSizeOf(demoPath.c_str()) / 1048576.0, (static_cast<double>(afterOpen) - before) / 1024.0,
         (static_cast<double>(afterSearch) - before) / 1024.0);

  // A group of five: four synthetic dictionaries first, then the demo one.
  std::vector<uint32_t> ids{0x201, 0x202, 0x203, 0x204, 0x100};
  bool copied = true;
  for (uint32_t id : ids) {
    wchar_t name[32];
    swprintf(name, 32, L"%.8x.tdc", id);
    std::wstring source = id == 0x100 ? demoPath : bench + name;
    copied = copied && CopyFileW(source.c_str(), (host.folder + name).c_str(), FALSE);
  }
  // With the layout that goes with the demo data, so QueryGroup renders fully.
  for (const wchar_t* layout : {L"layout.cfg", L"layout_def.cfg"})
    CopyFileW((demo + layout).c_str(), (host.folder + layout).c_str(), FALSE);
  CDictManager manager;
  if (!copied || !WriteBenchConfig(host.folder, ids, L"grab_group") || !manager.LoadConfig()) {
    fwprintf(stderr, L"cannot set up the group from %ls\n", bench.c_str());
    return 1;
  }
  const size_t sample = std::min<size_t>(words.size(), 100000);
  uint32_t hits = 0;
  t = Now();
  for (size_t i = 0; i < sample; ++i)
    hits += manager.LookupInGroup(words[i].c_str(), static_cast<uint32_t>(words[i].size()), true, kGroupGrab, 0xFFFFFFFF);
  double group = Now() - t;
  printf("LookupInGroup over %u dictionaries: %.2f us each (%zu words, %u with matches)\n",
         manager.GetGroupCount(kGroupGrab), group / sample * 1e6, sample, hits);
  std::vector<CDictFile*> dicts;
  std::vector<std::wstring> fragments;
  const size_t queries = std::min<size_t>(words.size(), 20000);
  t = Now();
  for (size_t i = 0; i < queries; ++i) manager.QueryGroup(dicts, fragments, words[i].c_str(), kGroupGrab);
  double query = Now() - t;
  printf("QueryGroup over %u dictionaries, rendering the matches: %.2f us each\n", manager.GetGroupCount(kGroupGrab),
         query / queries * 1e6);
  std::vector<std::wstring> strangers;
  for (size_t i = 0; i < sample; ++i) strangers.push_back(L"qx" + words[i]);
  uint32_t strangerHits = 0;
  t = Now();
  for (const std::wstring& w : strangers)
    strangerHits += manager.LookupInGroup(w.c_str(), static_cast<uint32_t>(w.size()), true, kGroupGrab, 0xFFFFFFFF);
  double none = Now() - t;
  printf("LookupInGroup of words no dictionary holds: %.2f us each (%u hits)\n", none / sample * 1e6, strangerHits);
  manager.Clear();
  for (uint32_t id : ids) {
    wchar_t name[32];
    swprintf(name, 32, L"%.8x.tdc", id);
    DeleteFileW((host.folder + name).c_str());
  }
  DeleteFileW((host.folder + L"dictcfg.xmc").c_str());
  for (const wchar_t* layout : {L"layout.cfg", L"layout_def.cfg"}) DeleteFileW((host.folder + layout).c_str());
  return 0;
}
