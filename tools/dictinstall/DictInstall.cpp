// quorindo_dictinstall: installs a dictionary file into a program folder by
// the program's own road, so the shipped configuration is what the program
// itself writes: the dictionary manager copies the file into the dictionary
// folder and adds it to the query group (as the dictionaries dialog's Install
// does), and with --index or --grab adds it to those groups (as the dialog's
// Add does) and saves the configuration.
//
//   quorindo_dictinstall PROGRAM_FOLDER DICTIONARY [--index] [--grab]
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "core/TextStoreKey.h"
#include "core/ConfigFile.h"
#include "core/TextCodec.h"
#include "dict/DictHost.h"
#include "dict/DictManager.h"

namespace {

void Print(const std::wstring& text) {
  std::string bytes;
  WStringToMultiByteStr(bytes, text);
  std::fprintf(stderr, "quorindo_dictinstall: %s\n", bytes.c_str());
}

// The program folder as the engine sees it when the program runs there: the
// shipped text store and language file, the folders beside the program.
class CProgramFolderHost : public IDictHost {
 public:
  explicit CProgramFolderHost(const std::wstring& folder) : folder_(folder) {}

  bool LoadTexts() {
    uint8_t key[16];
    if (!BuildTextStoreKey(key) ||
        !texts_.Load((folder_ + L"system.inc").c_str(), key, CConfigFile::kReplaceStore, 0))
      return false;
    // The failure texts come from the language file; without it they stay empty.
    CConfigFile settings;
    settings.Load((folder_ + L"config.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0);
    language_ = settings.GetString(L"General", L"LangCode", L"en-US");
    texts_.Load((GetDataFolder() + L"Lang-" + language_ + L".ini").c_str(), nullptr,
                CConfigFile::kMergeExistingWins, 0);
    return true;
  }

  std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int index) override {
    return texts_.GetString(section, key, L"", index);
  }
  std::wstring GetSetting(const wchar_t*, const wchar_t*) override { return {}; }
  std::wstring GetDataFolder() override { return folder_ + L"data\\"; }
  std::wstring GetDictFolder() override { return folder_ + L"dict\\"; }
  std::wstring GetTempFolder() override { return folder_ + L"temp\\"; }
  std::wstring GetIconFolder() override { return folder_ + L"icon\\"; }
  std::wstring GetImageFolder() override { return folder_ + L"image\\"; }
  std::wstring GetUiLanguageCode() override { return language_; }
  std::wstring GetUiFontName() override { return {}; }
  std::wstring GetUiFontSize() override { return {}; }
  uint32_t GetLanguageLocale(const wchar_t*) override { return 1024; }
  int MatchLanguageCode(const wchar_t*, const wchar_t*) override { return 0; }
  std::wstring GetLanguageName(const wchar_t* code) override { return code ? code : L""; }
  void ShowMessage(const wchar_t* text, const wchar_t*, uint32_t) override { Print(text ? text : L""); }
  void SetTranslatorSourceText(const std::wstring&) override {}
  void BuildTranslatorFormPage(std::wstring& html, bool, bool) override { html.clear(); }

 private:
  std::wstring folder_;
  std::wstring language_;
  CConfigFile texts_;
};

int Fail(CDictManager& manager, const std::wstring& what) {
  std::wstring error;
  manager.GetErrorText(error);
  Print(what + (error.empty() ? L"" : L": " + error));
  return 1;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring folder, path;
  bool index = false, grab = false, usage = false;
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--index") index = true;
    else if (a == L"--grab") grab = true;
    else if (folder.empty()) folder = a;
    else if (path.empty()) path = a;
    else usage = true;
  }
  LocalFree(argv);
  if (usage || folder.empty() || path.empty()) {
    Print(L"usage: quorindo_dictinstall PROGRAM_FOLDER DICTIONARY [--index] [--grab]");
    return 2;
  }
  if (folder.back() != L'\\') folder.push_back(L'\\');

  CProgramFolderHost host(folder);
  if (!host.LoadTexts()) {
    Print(L"cannot read " + folder + L"system.inc");
    return 1;
  }
  SetDictHost(&host);
  CDictManager manager;
  if (!manager.LoadConfig()) return Fail(manager, L"cannot read the dictionary configuration");
  uint32_t id = 0;
  if (!manager.InstallDict(id, path.c_str(), false)) return Fail(manager, L"cannot install " + path);
  if (index && !manager.AddToGroup(2, id)) return Fail(manager, L"cannot add it to the index group");
  if (grab && !manager.AddToGroup(4, id)) return Fail(manager, L"cannot add it to the grab group");
  if ((index || grab) && !manager.SaveConfig()) return Fail(manager, L"cannot save the dictionary configuration");
  SetDictHost(nullptr);
  return 0;
}
