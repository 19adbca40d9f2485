#include "dict/tests/DictTestKit.h"

#include <windows.h>

#include <cstdio>
#include <set>

#include "core/DesCipher.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "guictl/OImage.h"
#include "online/TextTranslator.h"

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void DeleteTree(const std::wstring& folder) {
  for (const std::wstring& name : ListFolder(folder)) {
    std::wstring path = folder + name;
    DWORD attributes = GetFileAttributesW(path.c_str());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteTree(path + L"\\");
    else
      DeleteFileW(path.c_str());
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

CTestHost::CTestHost() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  root = std::wstring(temp) + L"qdict_" + IntToWString(GetCurrentProcessId(), 10) + L"_" +
         IntToWString(static_cast<uint32_t>(++serial), 10) + L"\\";
  for (const wchar_t* sub : {L"", L"data\\", L"dict\\", L"temp\\", L"icon\\", L"image\\", L"src\\"})
    CreateDirectoryW((root + sub).c_str(), nullptr);
  locales[L"en"] = 1033;
  locales[L"de"] = 1031;
  uiTexts[L"/3"] = L"00112233445566778899AABBCCDDEEFF";
  for (const wchar_t* key : {L"FilenameInvalid", L"MemoryAllocFail", L"LoadDictFileFail", L"InstallDictFail",
                             L"DictContentDamaged",
                             L"AddDictFail", L"ReadDictConfigFail", L"LoadDictFail", L"UninstallDictFail",
                             L"RemoveDictFail", L"NoClearAllIndexGroup"})
    uiTexts[std::wstring(L"Message/") + key] = key;
  uiTexts[L"Message/LoadDictRepeat"] = L"LoadDictRepeat %s %s %08X";
  uiTexts[L"Message/AddDictFail"] = L"AddDictFail %x";
  uiTexts[L"FontSize/Normal"] = L"10, 1";
  settings[L"Appearance/FontSize"] = L"Normal";
  settings[L"Appearance/TextFont"] = L"Arial";
  settings[L"Appearance/PhoneticFont"] = L"Lucida";
  SetDictHost(this);
}

CTestHost::~CTestHost() {
  SetDictHost(nullptr);
  DeleteTree(root);
}

std::wstring CTestHost::GetUiText(const wchar_t* section, const wchar_t* key, int index) {
  auto it = uiTexts.find(std::wstring(section) + L"/" + key);
  if (it == uiTexts.end()) return {};
  if (index < 0) return it->second;
  std::wstring value = it->second;
  for (int i = 0; i < index; ++i) {
    size_t comma = value.find(L", ");
    if (comma == std::wstring::npos) return {};
    value = value.substr(comma + 2);
  }
  return value.substr(0, value.find(L", "));
}

std::wstring CTestHost::GetSetting(const wchar_t* section, const wchar_t* key) {
  auto it = settings.find(std::wstring(section) + L"/" + key);
  return it == settings.end() ? std::wstring() : it->second;
}

uint32_t CTestHost::GetLanguageLocale(const wchar_t* code) {
  auto it = locales.find(code ? code : L"");
  return it == locales.end() ? 1024 : it->second;
}

int CTestHost::MatchLanguageCode(const wchar_t* have, const wchar_t* code) {
  if (!have || !code) return 0;
  size_t i = 0;
  for (; have[i] && code[i]; ++i)
    if (towlower(have[i]) != towlower(code[i])) return 0;
  if (!have[i] && !code[i]) return 1;
  return !have[i] && i && (code[i] == L'-' || code[i] == L'.' || code[i] == L'_') ? 2 : 0;
}

// The test's language list names every code but "xx".
std::wstring CTestHost::GetLanguageName(const wchar_t* code) {
  if (!code || std::wstring(code) == L"xx") return std::wstring();
  return L"Lang(" + std::wstring(code ? code : L"") + L")";
}

void CTestHost::ShowMessage(const wchar_t* text, const wchar_t* caption, uint32_t) {
  messages.push_back(std::wstring(caption ? caption : L"") + L": " + (text ? text : L""));
}

void CTestHost::SetTranslatorSourceText(const std::wstring& text) {
  if (translator) translator->SetSourceText(text);
}

void CTestHost::BuildTranslatorFormPage(std::wstring& html, bool showSource, bool showResult) {
  html.clear();
  if (translator) translator->BuildFormPage(html, showSource, showResult);
}

bool WriteTextFile(const std::wstring& path, const std::wstring& text, bool bom) {
  std::string bytes = bom ? "\xEF\xBB\xBF" : "";
  std::string utf8;
  if (!text.empty()) WStringToUtf8(utf8, text.c_str(), static_cast<int>(text.size()));
  bytes += utf8;
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

bool WriteEnvelopeFile(const std::wstring& path, const std::wstring& text) {
  std::wstring marked = L"\xFEFF" + text;
  const uint8_t key[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                           0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(marked.data());
  const int length = static_cast<int>(marked.size() * 2);
  std::string envelope(cipher.Encrypt(nullptr, plain, length), '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, length);
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(envelope.data(), 1, envelope.size(), f) == envelope.size();
  return fclose(f) == 0 && ok;
}

bool FileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

namespace {

// Fixtures are kept by content (and the writer's build) in the temporary
// folder, so each test process runs the writer only for what it has not seen.
std::wstring FixtureCachePath(const std::wstring& source, const std::wstring& options) {
  std::wstring writer = ProgramFolder() + L"quorindo_dictwriter.exe";
  WIN32_FILE_ATTRIBUTE_DATA a{};
  GetFileAttributesExW(writer.c_str(), GetFileExInfoStandard, &a);
  std::wstring key = source + L"|" + options + L"|" + IntToWString(a.ftLastWriteTime.dwLowDateTime, 16) +
                     IntToWString(a.nFileSizeLow, 16);
  uint64_t h = 1469598103934665603ull;
  for (wchar_t c : key) h = (h ^ c) * 1099511628211ull;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"qdict_fixtures\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + IntToWString(static_cast<uint32_t>(h >> 32), 16) + IntToWString(static_cast<uint32_t>(h), 16) +
         L".tdc";
}

}  // namespace

namespace {

bool RunWriter(const std::wstring& arguments) {
  std::wstring command = L"\"" + ProgramFolder() + L"quorindo_dictwriter.exe\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code == 0;
}

}  // namespace

std::wstring MakeDict(CTestHost& host, const std::wstring& name, const std::wstring& source,
                      const std::wstring& options) {
  std::wstring src = host.root + L"src\\" + name + L".src";
  std::wstring out = host.root + L"src\\" + name + L".tdc";
  std::wstring cached = FixtureCachePath(source, options);
  if (FileExists(cached) && CopyFileW(cached.c_str(), out.c_str(), FALSE)) return out;
  if (!WriteTextFile(src, source, false)) return {};
  std::wstring built = cached + L"." + IntToWString(GetCurrentProcessId(), 10);
  if (!RunWriter(L"\"" + src + L"\" \"" + built + L"\" " + options)) return {};
  MoveFileExW(built.c_str(), cached.c_str(), MOVEFILE_REPLACE_EXISTING);
  DeleteFileW(built.c_str());
  return CopyFileW(cached.c_str(), out.c_str(), FALSE) ? out : std::wstring();
}

std::vector<std::wstring> MakeDamagedDicts(CTestHost& host, const std::wstring& name, const std::wstring& source,
                                           const std::vector<std::wstring>& kinds) {
  std::vector<std::wstring> paths, cached;
  std::wstring list;
  bool all = true;
  for (const std::wstring& kind : kinds) {
    list += (list.empty() ? L"" : L",") + kind;
    cached.push_back(FixtureCachePath(source, L"--damage=" + kind));
    all = all && FileExists(cached.back());
  }
  if (!all) {
    std::wstring src = host.root + L"src\\" + name + L".src";
    std::wstring base = host.root + L"src\\" + name + L".built.tdc";
    if (!WriteTextFile(src, source, false) || !RunWriter(L"\"" + src + L"\" \"" + base + L"\" --damage=" + list))
      return {};
    for (size_t i = 0; i < kinds.size(); ++i) {
      std::wstring one = host.root + L"src\\" + name + L".built." + kinds[i] + L".tdc";
      if (kinds.size() == 1) one = base;
      MoveFileExW(one.c_str(), cached[i].c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
    }
  }
  for (size_t i = 0; i < kinds.size(); ++i) {
    std::wstring out = host.root + L"src\\" + name + L"." + kinds[i] + L".tdc";
    paths.push_back(CopyFileW(cached[i].c_str(), out.c_str(), FALSE) ? out : std::wstring());
  }
  return paths;
}

std::wstring DictSource(uint32_t id, const std::wstring& fields, const std::vector<std::wstring>& entries) {
  std::wstring text = L"id = " + IntToWString(id, 10) + L"\nversion = 1.3\nflags = 0x18\nname = Dict" +
                      IntToWString(id, 10) + L"\n";
  if (fields.find(L"description =") == std::wstring::npos) text += L"description = en | Title " + IntToWString(id, 10) + L"\n";
  text += fields + L"\n[entries]\n";
  for (const std::wstring& e : entries) text += e + L"\n";
  return text;
}

std::wstring SimpleEntry(const std::wstring& key, const std::wstring& text) {
  return key + L"\t<C A=\"0\"><F><a>" + key + L"</a></F><G><O><d>" + text + L"</d></O></G></C>";
}

bool IsListIcon(const Veltra::COImage& icon, std::string& why) {
  if (icon.GetWidth() != 16 || icon.GetHeight() != 16) {
    why = std::to_string(icon.GetWidth()) + "x" + std::to_string(icon.GetHeight());
    return false;
  }
  std::set<uint32_t> colours;
  int opaque = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      colours.insert(icon.At(x, y));
      if ((icon.At(x, y) >> 24) == 0xFF) ++opaque;
    }
  why = std::to_string(colours.size()) + " colours, " + std::to_string(opaque) + " opaque pixels";
  return colours.size() >= 3 && opaque >= 64 && opaque < 256;
}
