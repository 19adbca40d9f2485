// quorindo_dictwriter: builds a dictionary file from a plain source, from a
// dictd dictionary or synthetically; can spoil the file for tests.
//
//   quorindo_dictwriter SOURCE OUTPUT [--damage=KIND[,KIND...]]
//     (with several kinds, one file per kind: OUTPUT with ".KIND" before its extension)
//   quorindo_dictwriter --dictd INDEX DICT.DZ OUTPUT [--id=N] [--key-block=N] [--limit=N]
//                       [--name=TEXT] [--sorted]
//   quorindo_dictwriter --synthetic COUNT OUTPUT [--id=N] [--seed=N] [--key-block=N]
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "core/TextCodec.h"
#include "tools/DictWriter.h"

namespace {

int Fail(const std::wstring& message) {
  std::string text;
  WStringToMultiByteStr(text, message);
  std::fprintf(stderr, "quorindo_dictwriter: %s\n", text.c_str());
  return 1;
}

bool WriteOut(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> positional;
  std::wstring damage, name;
  uint32_t id = 0, keyBlock = 0, limit = 0, seed = 1;
  bool dictd = false, synthetic = false, sorted = false;
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    auto value = [&](const wchar_t* prefix) -> const wchar_t* {
      size_t n = wcslen(prefix);
      return a.compare(0, n, prefix) == 0 ? a.c_str() + n : nullptr;
    };
    if (a == L"--dictd") dictd = true;
    else if (a == L"--synthetic") synthetic = true;
    else if (a == L"--sorted") sorted = true;
    else if (const wchar_t* v = value(L"--damage=")) damage = v;
    else if (const wchar_t* v = value(L"--id=")) id = wcstoul(v, nullptr, 0);
    else if (const wchar_t* v = value(L"--key-block=")) keyBlock = wcstoul(v, nullptr, 0);
    else if (const wchar_t* v = value(L"--limit=")) limit = wcstoul(v, nullptr, 0);
    else if (const wchar_t* v = value(L"--seed=")) seed = wcstoul(v, nullptr, 0);
    else if (const wchar_t* v = value(L"--name=")) name = v;
    else positional.push_back(a);
  }
  LocalFree(argv);

  WriterSource source;
  std::wstring error;
  std::wstring output;
  if (dictd || synthetic) {
    if (positional.size() != (dictd ? 3u : 2u)) return Fail(L"wrong arguments");
    source.id = id ? id : 0x100;
    source.keyBlockSize = keyBlock;
    source.sorted = sorted;
    ParseWriterSource(source, L"", L"", error);
    if (dictd) {
      source.name = name.empty() ? L"English-German" : name;
      source.indexLang = L"en";
      source.glossaries.push_back({L"en", L"de", L"text", source.name});
      source.descriptions.push_back(WriterDescription(L"en", source.name, L"Converted from a dictd dictionary"));
      if (!ConvertDictd(source, positional[0], positional[1], limit, error)) return Fail(error);
      output = positional[2];
    } else {
      source.name = name.empty() ? L"Synthetic" : name;
      MakeSynthetic(source, wcstoul(positional[0].c_str(), nullptr, 0), seed);
      output = positional[1];
    }
  } else {
    if (positional.size() != 2) return Fail(L"usage: quorindo_dictwriter SOURCE OUTPUT [--damage=KIND]");
    std::string bytes;
    if (!ReadFileToString(bytes, positional[0].c_str())) return Fail(L"cannot read " + positional[0]);
    std::wstring text;
    if (!bytes.empty()) Utf8ToWString(text, bytes.data(), static_cast<int>(bytes.size()));
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    std::wstring folder = positional[0];
    size_t slash = folder.find_last_of(L"\\/");
    folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
    if (!ParseWriterSource(source, text, folder, error)) return Fail(error);
    output = positional[1];
  }
  std::vector<std::wstring> kinds;
  for (size_t from = 0;;) {
    size_t comma = damage.find(L',', from);
    kinds.push_back(damage.substr(from, comma == std::wstring::npos ? comma : comma - from));
    if (comma == std::wstring::npos) break;
    from = comma + 1;
  }
  for (const std::wstring& kind : kinds) {
    std::wstring path = output;
    if (kinds.size() > 1) {
      size_t dot = path.find_last_of(L'.');
      path.insert(dot == std::wstring::npos || dot < path.find_last_of(L"\\/") + 1 ? path.size() : dot, L"." + kind);
    }
    std::string file;
    if (!BuildDictionary(file, source, kind, error)) return Fail(error);
    if (!WriteOut(path, file)) return Fail(L"cannot write " + path);
  }
  return 0;
}
