// What the web translator and the online update take from the application
// object: its folders, stores, language, version, connection setting, the
// dictionary manager and the main window. The application implements it;
// tests hand in doubles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CConfigFile;
class CDictManager;

// The dictionary commands of an update script. Called on the GUI thread only.
class IUpdateDictManager {
 public:
  virtual ~IUpdateDictManager() = default;
  virtual bool InstallDict(uint32_t& id, const wchar_t* path, uint32_t flags) = 0;
  virtual bool AddToGroup(int kind, uint32_t id) = 0;
  virtual bool SaveConfig() = 0;
};

// The same commands on the application's dictionary manager.
class CDictManagerCommands : public IUpdateDictManager {
 public:
  explicit CDictManagerCommands(CDictManager& manager) : m_manager(manager) {}
  bool InstallDict(uint32_t& id, const wchar_t* path, uint32_t flags) override;
  bool AddToGroup(int kind, uint32_t id) override;
  bool SaveConfig() override;

 private:
  CDictManager& m_manager;
};

class IOnlineHost {
 public:
  virtual ~IOnlineHost() = default;

  // Folders end with a backslash. Windows and system folders go through the
  // host so that tests never reach the real ones.
  virtual std::wstring GetProgramFolder() const = 0;
  virtual std::wstring GetDataFolder() const = 0;
  virtual std::wstring GetImageFolder() const = 0;
  virtual std::wstring GetIconFolder() const = 0;
  virtual std::wstring GetUpdateFolder() const = 0;
  virtual std::wstring GetTempFolder() const = 0;
  virtual std::wstring GetWindowsFolder() const = 0;
  virtual std::wstring GetSystemFolder() const = 0;

  virtual const CConfigFile& GetUiTexts() const = 0;  // user-interface texts
  virtual const CConfigFile& GetSettings() const = 0;  // "config.ini"
  virtual std::wstring GetUiLanguage() const = 0;
  virtual uint32_t GetBuildNumber() const = 0;
  virtual std::wstring GetVersionText() const = 0;

  // True when a proxy is to be used; then its host, port and credentials.
  virtual bool GetConnectionSetting(std::wstring& host, uint16_t& port, std::wstring& user,
                                    std::wstring& password) const = 0;
  virtual IUpdateDictManager* GetDictManager() = 0;
  virtual HWND GetMainWindow() const = 0;
  // Asks the user whether the program at path, which an update script wants
  // to start, may run; true only when the user agrees. On the GUI thread.
  virtual bool ConfirmRun(const std::wstring& path) = 0;
};

// The system's Windows (system = false) or system folder, with a backslash.
std::wstring ReadSystemFolder(bool system);
