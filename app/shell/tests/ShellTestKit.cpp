#include "app/shell/tests/ShellTestKit.h"

#include "core/TextStoreKey.h"
#include "core/EnvelopeFile.h"
#include "core/FileUtil.h"
#include "core/UiSeam.h"

#include <shlwapi.h>

const wchar_t kSoftwareSection[] =
    L"[Software]\nID=7\nBuild=42\nName=Quorindo Test\nVersion=2.5\nEdition=Tester\n";

namespace {

// The whole tree, subfolders with their files included.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + L"\\");
      } else {
        SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((folder + name).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring MakeSandbox(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"qshell_" + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  RemoveTree(folder);
  CreateDirectoryPath(folder.c_str());
  return folder;
}

void RemoveSandbox(const std::wstring& folder) { RemoveTree(folder); }

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  return WriteFileReplacing(path.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool WriteUtf16File(const std::wstring& path, const std::wstring& text) {
  std::wstring full = L"\xFEFF" + text;
  return WriteFileReplacing(path.c_str(), full.data(), static_cast<uint32_t>(full.size() * 2));
}

bool WriteSystemInc(const std::wstring& path, const std::wstring& iniText) {
  uint8_t key[16];
  BuildTextStoreKey(key);
  std::wstring full = L"\xFEFF" + iniText;
  return WriteEnvelopeFile(path.c_str(), full.data(), static_cast<uint32_t>(full.size() * 2), key);
}

std::wstring MessageBoxRecorder::last;
UINT MessageBoxRecorder::lastType = 0;
int MessageBoxRecorder::count = 0;
int MessageBoxRecorder::s_answer = IDOK;

MessageBoxRecorder::MessageBoxRecorder(int answer) {
  s_answer = answer;
  last.clear();
  lastType = 0;
  count = 0;
  m_previous = SetMessageBoxHandler(&Handler);
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(m_previous); }

int MessageBoxRecorder::Handler(HWND, const wchar_t* text, const wchar_t*, UINT type) {
  last = text ? text : L"";
  lastType = type;
  ++count;
  return s_answer;
}

AppSandbox::AppSandbox(const wchar_t* name) : folder(MakeSandbox(name)) {
  app.SetProgramPath(folder + L"Quorindo.exe");
}

AppSandbox::~AppSandbox() { RemoveSandbox(folder); }

void AppSandbox::WriteStartupFiles(const std::wstring& systemExtra, const std::wstring& unnamedKeys) {
  CreateDirectoryPath((folder + L"data").c_str());
  WriteSystemInc(folder + L"system.inc", std::wstring(L"4=00112233445566778899AABBCCDDEEFF\n") + unnamedKeys + kSoftwareSection +
                                             systemExtra);
  WriteUtf16File(folder + L"config.ini", L"[General]\nLangCode=en-US\n[Appearance]\nUITextFont=Arial\nUIFontSize=9\n");
  WriteUtf16File(folder + L"user.ini", L"[App]\nWindow=10, 20, 410, 320\n");
  WriteUtf16File(folder + L"data\\Lang-en-US.ini",
                 L"[Message]\nNeedIE6Support=Browser too old\nReadConfigFail=Cannot read\n[Software]\nName=Lang Name\n");
  WriteUtf16File(folder + L"data\\lc-en-US.ini", L"[LangCode]\nen=1033, English\nde=1031, German\n");
}

TestRegistryKey::TestRegistryKey(const wchar_t* name)
    : m_path(L"Software\\QuorindoShellTest\\" + std::wstring(name) + L"_" + std::to_wstring(GetCurrentProcessId())) {
  SHDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
  RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
}

TestRegistryKey::~TestRegistryKey() {
  if (m_key) RegCloseKey(m_key);
  SHDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
}

bool TestRegistryKey::SetText(const wchar_t* subKey, const wchar_t* name, const wchar_t* text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(m_key, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>((wcslen(text) + 1) * 2));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool TestRegistryKey::GetText(const wchar_t* subKey, const wchar_t* name, std::wstring& out) {
  out.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExW(m_key, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - 2;
  LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  out = buffer;
  return true;
}
