// A sandbox program folder for the application object: its own system.inc,
// config.ini, user.ini and language files, removed again at the end.
#pragma once

#include <windows.h>

#include <string>

#include "app/shell/QuorindoApp.h"
#include "core/ConfigFile.h"
#include "core/UiSeam.h"

// A fresh folder under the temp folder, ending in "\".
std::wstring MakeSandbox(const wchar_t* name);
void RemoveSandbox(const std::wstring& folder);

// UTF-16 text with a byte-order mark.
bool WriteUtf16File(const std::wstring& path, const std::wstring& text);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The store's entries written enciphered with the text-store key.
bool WriteSystemInc(const std::wstring& path, const std::wstring& iniText);

// The Software values that make InitSystem succeed.
extern const wchar_t kSoftwareSection[];

// Records the message boxes shown while it lives; answers with `answer`.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = IDOK);
  ~MessageBoxRecorder();
  static std::wstring last;
  static UINT lastType;
  static int count;

 private:
  static int Handler(HWND, const wchar_t* text, const wchar_t*, UINT type);
  static int s_answer;
  MessageBoxHandler m_previous;
};

// A sandbox with a complete set of start-up files and an application object
// whose program path lies in it.
class AppSandbox {
 public:
  explicit AppSandbox(const wchar_t* name);
  ~AppSandbox();
  // system.inc = unnamed-section keys + Software section + extra; config.ini,
  // user.ini, Lang-en-US.ini, lc-en-US.ini.
  void WriteStartupFiles(const std::wstring& systemExtra = L"", const std::wstring& unnamedKeys = L"");
  std::wstring folder;
  CQuorindoApp app;
};

// A registry key of its own under HKEY_CURRENT_USER, deleted with its subkeys
// at the end; tests point the shell's fixed roots at it.
class TestRegistryKey {
 public:
  explicit TestRegistryKey(const wchar_t* name);
  ~TestRegistryKey();
  HKEY Get() const { return m_key; }
  const std::wstring& Path() const { return m_path; }  // below HKEY_CURRENT_USER
  bool SetText(const wchar_t* subKey, const wchar_t* name, const wchar_t* text);
  bool GetText(const wchar_t* subKey, const wchar_t* name, std::wstring& out);

 private:
  std::wstring m_path;
  HKEY m_key = nullptr;
};
