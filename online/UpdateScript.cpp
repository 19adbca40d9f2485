// The update script: the "cmd" children of an upgrade's "action" element.
#include <cwchar>
#include <vector>

#include "core/FileUtil.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/XmlNode.h"
#include "dict/DictResources.h"
#include "online/OnlineText.h"
#include "online/OnlineUpdate.h"
#include "online/UpdateInternal.h"

namespace {

using namespace update_internal;

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
  return !folder.empty() && path.size() >= folder.size() &&
         _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

// A path as the system resolves it: each step without the trailing dots and
// blanks that the system drops, and no closing backslash.
std::wstring ResolvedName(const std::wstring& path) {
  std::wstring out;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring step = path.substr(start, end - start);
    size_t last = step.find_last_not_of(L". ");
    step.erase(last == std::wstring::npos ? 0 : last + 1);
    if (!out.empty() || start) out += L'\\';
    out += step;
    start = end + 1;
  }
  while (!out.empty() && out.back() == L'\\') out.pop_back();
  return out;
}

// The path names the kept one, or a folder that holds it.
bool NamesOrHolds(const std::wstring& path, const std::wstring& kept) {
  return _wcsicmp(path.c_str(), kept.c_str()) == 0 || StartsWithFolder(kept, path + L'\\');
}

}  // namespace

// A script may only touch what lies below the program's folder: a path is
// taken when it starts with that folder, has no step of dots and blanks only
// (".", "..", ".. "), no other separator or drive colon, and lies outside the Windows and system folders.
bool COnlineUpdate::ConfinePath(const std::wstring& path) const {
  const std::wstring program = m_host->GetProgramFolder();
  if (program.empty() || program.back() != L'\\' || path.size() <= program.size()) return false;
  if (!StartsWithFolder(path, program)) return false;
  if (StartsWithFolder(path, m_host->GetWindowsFolder()) || StartsWithFolder(path, m_host->GetSystemFolder()))
    return false;
  std::wstring rest = path.substr(program.size());
  if (rest.find_first_of(L"/:*?\"<>|") != std::wstring::npos) return false;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(L'\\', start);
    if (end == std::wstring::npos) end = rest.size();
    std::wstring step = rest.substr(start, end - start);
    // The system drops trailing dots and blanks: ".. " would climb like "..".
    if (!step.empty() && step.find_first_not_of(L". ") == std::wstring::npos) return false;
    if (step.empty() && end != rest.size()) return false;  // "\\" would reach another root
    start = end + 1;
  }
  return true;
}

// What a script may not delete, move away or write over, whatever the server
// says: the user's settings and state, the update state, the dictionary
// configuration and the installed dictionaries (found by the dictionary
// manager's file names), or a folder that holds any of them.
bool COnlineUpdate::IsUserData(const std::wstring& path) const {
  const std::wstring name = ResolvedName(path);
  const std::wstring program = m_host->GetProgramFolder();
  const std::wstring dict = ResolvedName(program + L"dict");
  const std::wstring kept[] = {program + L"config.ini", program + L"user.ini",
                               m_host->GetUpdateFolder() + L"update.ini", dict + L"\\dictcfg.xmc", dict};
  for (const std::wstring& k : kept)
    if (NamesOrHolds(name, ResolvedName(k))) return true;
  return StartsWithFolder(name, dict + L'\\') && name.size() > 4 &&
         _wcsicmp(name.c_str() + name.size() - 4, L".tdc") == 0 && IsFilePresent(name.c_str());
}

int COnlineUpdate::RunScript(CXmlNode* action, const std::wstring& folder) {
  CStringMap vars;
  SetTemplateVar(vars, L"AppPath", m_host->GetProgramFolder());
  SetTemplateVar(vars, L"DataPath", m_host->GetDataFolder());
  SetTemplateVar(vars, L"ImgPath", m_host->GetImageFolder());
  SetTemplateVar(vars, L"IconPath", m_host->GetIconFolder());
  SetTemplateVar(vars, L"UpdatePath", m_host->GetUpdateFolder());
  SetTemplateVar(vars, L"DownPath", folder);
  SetTemplateVar(vars, L"TempPath", m_host->GetTempFolder());
  SetTemplateVar(vars, L"WinPath", m_host->GetWindowsFolder());
  SetTemplateVar(vars, L"SysPath", m_host->GetSystemFolder());

  uint32_t n = 0;
  for (CXmlNode* cmd = action ? action->FirstChild() : nullptr; cmd; cmd = cmd->NextSibling()) {
    if (cmd->Kind() != kXmlElement || !cmd->IsNamed(L"cmd")) continue;
    std::wstring act = Attribute(cmd, L"act");
    std::wstring name = Attribute(cmd, L"name");
    if (StartsWithNoCase(name, L"http://")) name = folder + IntToWString(n, 10) + L".tmp";
    std::wstring expanded;
    ExpandTemplateVars(expanded, name.c_str(), vars);
    AsciiToLower(act);
    int end = 0;
    if (!RunCommand(act, expanded, cmd, vars, &end)) return 0;
    if (end) return end;
    ++n;
  }
  return 1;
}

bool COnlineUpdate::RunCommand(const std::wstring& act, const std::wstring& name, CXmlNode* cmd,
                               const CStringMap& vars, int* end) {
  if (act == L"restart") return *end = 3, true;
  if (act == L"exit") return *end = 2, true;
  // The user's dictionaries are the user's: no update takes one away.
  if (act == L"uninstall_dict") return false;

  if (!ConfinePath(name)) return false;
  std::wstring dest;
  if (act == L"move_dir" || act == L"copy_file" || act == L"move_file") {
    ExpandTemplateVars(dest, Attribute(cmd, L"destname").c_str(), vars);
    if (!ConfinePath(dest) || IsUserData(dest)) return false;
  }
  const bool removes = act == L"delete_dir" || act == L"move_dir" || act == L"delete_file" ||
                       act == L"move_file" || act == L"create_file";
  if (removes && IsUserData(name)) return false;
  const wchar_t* path = name.c_str();
  if (act == L"create_dir") return CreateDirectoryPath(path);
  if (act == L"delete_dir") return !DirectoryExists(path) || DeleteDirectoryTree(path, BoolAttribute(cmd, L"includechild"));
  if (act == L"move_dir") return MoveExistingFile(path, dest.c_str());
  if (act == L"copy_file") {
    bool overwrite = BoolAttribute(cmd, L"overwrite");
    return (!overwrite && IsFilePresent(dest.c_str())) || ForceCopyFile(path, dest.c_str(), overwrite);
  }
  if (act == L"delete_file") return !IsFilePresent(path) || ForceDeleteFile(path);
  if (act == L"move_file") {
    bool replace = BoolAttribute(cmd, L"replace");
    return (!replace && IsFilePresent(dest.c_str())) || ForceMoveFile(path, dest.c_str(), replace);
  }
  if (act == L"create_file") {
    std::wstring data;
    cmd->GetAttribute(data, L"data");
    if (data.size() % 2) return false;
    std::vector<uint8_t> bytes(data.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
      if (!HexPairToByte(&bytes[i], data[2 * i], data[2 * i + 1])) return false;
    return WriteWholeFile(path, bytes.data(), static_cast<uint32_t>(bytes.size()));
  }
  if (act == L"install_dict") {
    IUpdateDictManager* manager = m_host->GetDictManager();
    const bool index = BoolAttribute(cmd, L"index"), grab = BoolAttribute(cmd, L"grab");
    return manager && CallOnGuiThread([&] {
      uint32_t id = static_cast<uint32_t>(-1);
      if (!manager->InstallDict(id, name.c_str(), 0)) return false;
      if (index) manager->AddToGroup(2, id);
      if (grab) manager->AddToGroup(4, id);
      // The group choice is part of the step: a configuration that cannot take it fails the step.
      return manager->SaveConfig();
    });
  }
  if (act == L"run") return RunProgram(name, BoolAttribute(cmd, L"waitexit"));
  return false;
}

bool COnlineUpdate::RunProgram(const std::wstring& name, bool waitExit) {
  std::wstring path = name;
  size_t tmp = name.find(L".tmp");
  const bool downloaded = tmp != std::wstring::npos && tmp + 4 == name.size();
  if (downloaded) path = name + L".exe";
  std::wstring folderHex;
  for (wchar_t c : m_host->GetProgramFolder()) {
    std::wstring pair;
    FormatWString(pair, L"%02X%02X", c & 0xFF, (c >> 8) & 0xFF);
    folderHex += pair;
  }
  std::wstring commandLine;
  FormatWString(commandLine, L"\"%s\" -i%lu -w%lu -p%s", path.c_str(), GetCurrentProcessId(),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(m_host->GetMainWindow())), folderHex.c_str());
  if (commandLine.size() + 1 > kMaxCommandLine) return false;
  std::vector<wchar_t> buffer(kMaxCommandLine, 0);
  commandLine.copy(buffer.data(), commandLine.size());
  // The server is not authenticated: nothing it names starts unless the user agrees.
  if (!CallOnGuiThread([&] { return m_host->ConfirmRun(path); })) return false;
  if (downloaded) ForceCopyFile(name.c_str(), path.c_str(), true);  // a failed copy fails the start

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  if (!waitExit) return true;
  // A stop must not wait for a program that never ends.
  HANDLE handles[2] = {process.hProcess, m_stopEvent};
  return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0;
}
