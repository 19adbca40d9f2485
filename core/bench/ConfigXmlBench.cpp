// The configuration store loading a 10,000-key file and answering 100,000
// lookups, and the XML parser over a 5 MB document.
#include <cstdio>
#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/XmlDocument.h"
#include "core/bench/Bench.h"

namespace {

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

}  // namespace

QUORINDO_BENCH(ConfigFileLookups) {
  const int kSections = 100, kKeysPerSection = 100, kLookups = 100000;
  CConfigFile source;
  for (int s = 0; s < kSections; ++s) {
    std::wstring section = L"Section" + IntToWString(s, 10);
    for (int k = 0; k < kKeysPerSection; ++k) {
      std::wstring name = L"Key" + IntToWString(k, 10);
      source.SetValue(section.c_str(), name.c_str(), L"\"value " + IntToWString(s * k, 10) + L"\", 42, \"x\\ty\"");
    }
  }
  std::wstring path = TempFile(L"quorindo-bench.ini");
  if (!source.Save(path.c_str(), nullptr)) {
    printf("could not write %ls\n", path.c_str());
    return;
  }

  CConfigFile config;
  double start = BenchSeconds();
  bool loaded = config.Load(path.c_str(), nullptr, 0, 0);
  double loadSeconds = BenchSeconds() - start;
  std::vector<std::wstring> keys;
  config.GetEntries(keys);

  // Names built beforehand: the figure is the store's, not the formatting's.
  std::vector<std::pair<std::wstring, std::wstring>> queries;
  uint32_t seed = 7;
  for (int i = 0; i < kLookups; ++i) {
    seed = seed * 1103515245 + 12345;
    int s = (seed >> 8) % kSections, k = (seed >> 20) % (kKeysPerSection + 10);  // some misses
    queries.emplace_back(L"Section" + IntToWString(s, 10), L"Key" + IntToWString(k, 10));
  }
  DeleteFileW(path.c_str());
  printf("load %s: %zu keys in %.1f ms\n", loaded ? "ok" : "FAILED", keys.size(), loadSeconds * 1000);
  for (int index : {-1, 1}) {
    size_t hits = 0;
    start = BenchSeconds();
    for (const auto& q : queries) {
      if (!config.GetString(q.first.c_str(), q.second.c_str(), L"", index).empty()) ++hits;
    }
    double seconds = BenchSeconds() - start;
    printf("%d GetString lookups, %s (%zu hits): %.1f ms, %.2f us each\n", kLookups,
           index < 0 ? "whole value" : "list item 1", hits, seconds * 1000, seconds * 1e6 / kLookups);
  }
}

QUORINDO_BENCH(XmlParse5MB) {
  std::wstring text = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<dictionaries>\r\n";
  const size_t kBytes = 5u << 20;
  for (uint32_t i = 0; text.size() * 2 < kBytes; ++i) {
    text += L"  <dict id=\"" + IntToWString(i, 16) + L"\" enable=\"y\" minimize=\"n\">\r\n";
    text += L"    <name>Dictionary number " + IntToWString(i, 10) + L" &amp; friends</name>\r\n";
    text += L"    <!-- glossaries -->\r\n";
    text += L"    <glossary id=\"1\" enable=\"y\">Word \xE9ntr\xEF\x65s, meanings; examples</glossary>\r\n";
    text += L"  </dict>\r\n";
  }
  text += L"</dictionaries>\r\n";
  std::string buffer("\xFF\xFE", 2);
  buffer.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  buffer.append(2, '\0');

  for (uint32_t flags : {31u, 0u}) {
    CXmlDocument doc;
    double start = BenchSeconds();
    bool ok = doc.Parse(buffer.data(), flags);
    double seconds = BenchSeconds() - start;
    uint32_t children = ok ? doc.GetRoot()->Children()->Count() : 0;
    printf("parse %.1f MB, flags %u: %s, %u children of the root, %.1f ms (%.1f MB/s)\n",
           buffer.size() / 1048576.0, flags, ok ? "ok" : "FAILED", children, seconds * 1000,
           buffer.size() / 1048576.0 / seconds);
    if (flags == 31) {
      std::wstring printed;
      start = BenchSeconds();
      doc.DocumentNode()->Print(printed, 0, 2, nullptr);
      seconds = BenchSeconds() - start;
      printf("print: %zu characters in %.1f ms\n", printed.size(), seconds * 1000);
    }
  }
}
