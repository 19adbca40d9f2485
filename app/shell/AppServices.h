// Registry, link, clipboard and connection services of the program. The
// registry locations and the link template come from the application's
// UI-text store (section "RegTab", key "Command" of section "Link"); none of
// these report errors to the user.
#pragma once

#include "platform/framework/Quorfx.h"

#include <cstdint>
#include <string>

// The program's own registry values under "Root" / "SubKey" of section "RegTab".
bool RegGetAppValue(CString& out, const wchar_t* name);
bool RegSetAppValue(const wchar_t* name, const wchar_t* text);
// Associates the extension key with the program key, its icon and its open command.
void RegisterFileType(const wchar_t* extensionKey, const wchar_t* programKey, const wchar_t* programPath,
                      int iconIndex);

// Bytes other than ASCII letters, digits and _ - . @ * become "%XX"; the length of out.
uint32_t PercentEncodeString(std::string& out, const char* bytes);
// The text in the ANSI code page as CF_TEXT.
bool CopyTextToClipboard(const wchar_t* text, HWND owner);

// True when a manual proxy is configured ("Connect" of section "Connection" is 1).
bool GetConnectionSetting(std::wstring& server, uint32_t& port, std::wstring& user, std::wstring& password);
// The stored proxy values; returns "Connect" of section "Connection".
uint32_t ReadProxySettings(std::wstring& server, uint32_t& port, std::wstring& user, std::wstring& password);

// Opens a file or web link with the shell's "open" verb.
bool ShellOpen(const wchar_t* file, const wchar_t* parameters = nullptr, HWND owner = nullptr);
// Opens the web link of a command word ("homepage", "support", "speech", ...).
bool OpenCommandLink(const wchar_t* command, HWND owner = nullptr);

// Seams for tests: where the shell's fixed registry roots lie (the Run key
// under HKEY_LOCAL_MACHINE, file types under HKEY_CLASSES_ROOT, the browser
// version under HKEY_LOCAL_MACHINE) and what opens a link. Each setter
// returns the previous value; a null handler restores ShellExecuteW.
struct ShellRegistryRoots {
  HKEY runRoot;
  HKEY classesRoot;
  HKEY browserRoot;
};
ShellRegistryRoots SetShellRegistryRoots(const ShellRegistryRoots& roots);
const ShellRegistryRoots& GetShellRegistryRoots();
using ShellOpenHandler = bool (*)(HWND owner, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters);
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);
