#include "dict/bench/BenchHost.h"

#include <cstdio>
#include <cwchar>

#include "core/DesCipher.h"

namespace {

// The group file's key: the host hands it out as UI text 3 in hex.
const uint8_t kConfigKey[16] = {0x51, 0x75, 0x6F, 0x72, 0x69, 0x6E, 0x64, 0x6F,
                                0x42, 0x65, 0x6E, 0x63, 0x68, 0x4B, 0x65, 0x79};

}  // namespace

std::wstring BenchHost::GetUiText(const wchar_t* section, const wchar_t* key, int) {
  if (!*section && std::wstring(key) == L"3") return L"51756F72696E646F42656E63684B6579";
  if (!*section && std::wstring(key) == L"10") return L"0x100";
  return {};
}

int BenchHost::MatchLanguageCode(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

void BenchHost::ShowMessage(const wchar_t* text, const wchar_t*, uint32_t) { fwprintf(stderr, L"%ls\n", text); }

bool WriteBenchConfig(const std::wstring& folder, const std::vector<uint32_t>& ids, const wchar_t* groupElement) {
  std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config><install>";
  wchar_t line[128];
  for (uint32_t id : ids) {
    swprintf(line, 128, L"<dict src=\"%.8x.tdc\"/>", id);
    text += line;
  }
  text += L"</install>";
  for (const wchar_t* group : {L"query_group", L"index_group", L"grab_group"}) {
    text += std::wstring(L"<") + group + L">";
    if (wcscmp(group, groupElement) == 0) {
      for (uint32_t id : ids) {
        swprintf(line, 128, L"<dict id=\"%.8x\"/>", id);
        text += line;
      }
    }
    text += std::wstring(L"</") + group + L">";
  }
  text += L"</config>";
  CDesCipher cipher;
  cipher.SetKey(kConfigKey, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  int size = cipher.Encrypt(nullptr, plain, static_cast<int>(text.size() * 2));
  std::string envelope(size, '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, static_cast<int>(text.size() * 2));
  FILE* f = _wfopen((folder + L"dictcfg.xmc").c_str(), L"wb");
  if (!f) return false;
  fwrite(envelope.data(), 1, envelope.size(), f);
  return fclose(f) == 0;
}
