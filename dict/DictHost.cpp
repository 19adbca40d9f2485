#include "dict/DictHost.h"

#include <windows.h>

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n < MAX_PATH ? n : 0);
  size_t slash = folder.find_last_of(L'\\');
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder;
}

wchar_t AsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? c + 32 : c; }

// Serves until the application sets itself as the host: no stores, the
// program's own folders.
class CDefaultDictHost : public IDictHost {
 public:
  std::wstring GetUiText(const wchar_t*, const wchar_t*, int) override { return {}; }
  std::wstring GetSetting(const wchar_t*, const wchar_t*) override { return {}; }
  std::wstring GetDataFolder() override { return ProgramFolder() + L"data\\"; }
  std::wstring GetDictFolder() override { return ProgramFolder() + L"dict\\"; }
  std::wstring GetTempFolder() override { return ProgramFolder() + L"temp\\"; }
  std::wstring GetIconFolder() override { return ProgramFolder() + L"icon\\"; }
  std::wstring GetImageFolder() override { return ProgramFolder() + L"image\\"; }
  std::wstring GetUiLanguageCode() override { return L"en"; }
  std::wstring GetUiFontName() override { return {}; }
  std::wstring GetUiFontSize() override { return {}; }
  uint32_t GetLanguageLocale(const wchar_t*) override { return 1024; }
  int MatchLanguageCode(const wchar_t* have, const wchar_t* code) override {
    if (!have || !code) return 0;
    size_t i = 0;
    for (; have[i] && code[i]; ++i)
      if (AsciiLower(have[i]) != AsciiLower(code[i])) return 0;
    if (!have[i] && !code[i]) return 1;
    if (!have[i] && i > 0 && (code[i] == L'-' || code[i] == L'.' || code[i] == L'_')) return 2;
    return 0;
  }
  std::wstring GetLanguageName(const wchar_t* code) override { return code ? code : L""; }
  void ShowMessage(const wchar_t*, const wchar_t*, uint32_t) override {}
  void SetTranslatorSourceText(const std::wstring&) override {}
  void BuildTranslatorFormPage(std::wstring& html, bool, bool) override { html.clear(); }
};

CDefaultDictHost g_defaultHost;
IDictHost* g_host = &g_defaultHost;

}  // namespace

IDictHost& DictHost() { return *g_host; }

void SetDictHost(IDictHost* host) { g_host = host ? host : &g_defaultHost; }
