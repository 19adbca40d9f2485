#include "online/OnlineHost.h"

#include "dict/DictManager.h"

bool CDictManagerCommands::InstallDict(uint32_t& id, const wchar_t* path, uint32_t flags) {
  return m_manager.InstallDict(id, path, flags != 0);
}

bool CDictManagerCommands::AddToGroup(int kind, uint32_t id) { return m_manager.AddToGroup(kind, id); }

bool CDictManagerCommands::SaveConfig() { return m_manager.SaveConfig(); }

std::wstring ReadSystemFolder(bool system) {
  wchar_t buffer[261] = {};
  UINT length = system ? GetSystemDirectoryW(buffer, 261) : GetWindowsDirectoryW(buffer, 261);
  std::wstring folder(buffer, length < 261 ? length : 0);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}
