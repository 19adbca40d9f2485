#include "app/frame/tests/ProgramFolderKit.h"

#include "app/frame/tests/DictConfigKit.h"

#include <cstdio>

#include "app/shell/TextStoreKey.h"
#include "core/ConfigFile.h"
#include "dict/tests/DictTestKit.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"

const wchar_t kLanternWord[] = L"lantern";
const wchar_t kLanternDefinition[] = L"a lamp in a case of glass";
const wchar_t kLighthouseWord[] = L"lighthouse";
const wchar_t kLighthouseDefinition[] = L"a tower with a bright light";

namespace {

bool EndsWith(const std::wstring& text, const wchar_t* tail) {
  size_t n = wcslen(tail);
  return text.size() >= n && _wcsicmp(text.c_str() + text.size() - n, tail) == 0;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  for (const std::wstring& name : ListFolder(from)) {
    if (IsFolderPath(from + name))
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
  }
}

void DeleteTree(const std::wstring& folder) {
  for (const std::wstring& name : ListFolder(folder)) {
    std::wstring path = folder + name;
    if (IsFolderPath(path))
      DeleteTree(path + L"\\");
    else
      DeleteFileW(path.c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool IsFolderPath(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

CProgramFolderCopy::CProgramFolderCopy(const wchar_t* name) : name_(name) {}

CProgramFolderCopy::~CProgramFolderCopy() {
  if (!folder_.empty()) DeleteTree(folder_);
}

bool CProgramFolderCopy::Make(std::string& why) {
  const std::wstring bin = TestProgramFolder();
  if (!FileExists(bin + L"Quorindo.exe") || !FileExists(bin + L"system.inc")) {
    why = "Quorindo.exe or its program folder is not built";
    return false;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  folder_ = std::wstring(temp) + name_ + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder_.c_str(), nullptr);
  // The program, its libraries and its data; not the other tests.
  for (const std::wstring& name : ListFolder(bin)) {
    std::wstring path = bin + name;
    if (IsFolderPath(path)) {
      if (name != L"wineprefix") CopyTree(path + L"\\", folder_ + name + L"\\");
    } else if (name == L"Quorindo.exe" || EndsWith(name, L".dll") || EndsWith(name, L".inc") ||
               EndsWith(name, L".ini")) {
      CopyFileW(path.c_str(), (folder_ + name).c_str(), FALSE);
    }
  }
  return AddDictionary(why);
}

bool CProgramFolderCopy::AddDictionary(std::string& why) {
  CConfigFile texts;
  uint8_t key[16];
  if (!BuildTextStoreKey(key) ||
      !texts.Load((folder_ + L"system.inc").c_str(), key, CConfigFile::kReplaceStore, 0)) {
    why = "system.inc cannot be read";
    return false;
  }
  const std::wstring configKey = texts.GetString(L"", L"3", L"");
  const uint32_t baseId = static_cast<uint32_t>(wcstoul(texts.GetString(L"", L"10", L"").c_str(), nullptr, 0));

  // The shipped settings keep no search history; the tests want one.
  CConfigFile settings;
  if (settings.Load((folder_ + L"config.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0) &&
      !settings.GetValue(L"General", L"SearchHistory")) {
    settings.SetValue(L"General", L"SearchHistory", L"20");
    settings.Save((folder_ + L"config.ini").c_str(), nullptr);
  }

  CTestHost host;
  std::wstring built = MakeDict(host, L"frame", DictSource(0x2E2, L"glossary = en | en | text | English", {SimpleEntry(kLanternWord, kLanternDefinition),
                                                                        SimpleEntry(kLighthouseWord, kLighthouseDefinition)}));
  if (built.empty() || !CopyFileW(built.c_str(), (folder_ + L"dict\\000002e2.tdc").c_str(), FALSE)) {
    why = "the dictionary writer failed";
    return false;
  }

  wchar_t base[16];
  swprintf(base, 16, L"%.8x", baseId);
  const std::wstring b(base);
  const std::wstring body = L"<install><dict src=\"" + b + L".tdc\" id=\"" + b + L"\"/>"
                            L"<dict src=\"000002e2.tdc\" id=\"000002e2\"/></install>"
                            L"<query_group>" + DictConfigMember(0x2E2) + DictConfigMember(baseId) + L"</query_group>"
                            L"<index_group>" + DictConfigMember(0x2E2) + DictConfigMember(baseId) + L"</index_group>"
                            L"<grab_group/>";
  if (!WriteDictConfig(folder_ + L"dict\\dictcfg.xmc", body, configKey)) {
    why = "dictcfg.xmc cannot be written";
    return false;
  }
  return true;
}

std::wstring SaveScreenshot(const wchar_t* name) {
  std::wstring folder = TestProgramFolder() + L"..\\test-output\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Veltra::COImage image;
  if (!image.Create(width, height, 72.0, 1)) return L"";
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, image.GetBitmap());
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  image.FillChannel(0, 255);
  const std::wstring path = folder + name;
  CPngImage png;
  return png.WriteFile(path.c_str(), &image, 0) ? path : L"";
}
