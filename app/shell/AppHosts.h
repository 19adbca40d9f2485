// The application object as the dictionary engine's and the online part's
// host: thin forwarders to its stores, folders and members.
#pragma once

#include "dict/DictHost.h"
#include "online/OnlineHost.h"

class CQuorindoApp;

class CAppDictHost : public IDictHost {
 public:
  explicit CAppDictHost(CQuorindoApp& app) : m_app(app) {}

  std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int index = -1) override;
  std::wstring GetSetting(const wchar_t* section, const wchar_t* key) override;
  std::wstring GetDataFolder() override;
  std::wstring GetDictFolder() override;
  std::wstring GetTempFolder() override;
  std::wstring GetIconFolder() override;
  std::wstring GetImageFolder() override;
  std::wstring GetUiLanguageCode() override;
  std::wstring GetUiFontName() override;
  std::wstring GetUiFontSize() override;
  uint32_t GetLanguageLocale(const wchar_t* code) override;
  int MatchLanguageCode(const wchar_t* have, const wchar_t* code) override;
  std::wstring GetLanguageName(const wchar_t* code) override;
  void ShowMessage(const wchar_t* text, const wchar_t* caption, uint32_t type) override;
  void SetTranslatorSourceText(const std::wstring& text) override;
  void BuildTranslatorFormPage(std::wstring& html, bool showSource, bool showResult) override;

 private:
  CQuorindoApp& m_app;
};

class CAppOnlineHost : public IOnlineHost {
 public:
  explicit CAppOnlineHost(CQuorindoApp& app);

  std::wstring GetProgramFolder() const override;
  std::wstring GetDataFolder() const override;
  std::wstring GetImageFolder() const override;
  std::wstring GetIconFolder() const override;
  std::wstring GetUpdateFolder() const override;
  std::wstring GetTempFolder() const override;
  std::wstring GetWindowsFolder() const override;
  std::wstring GetSystemFolder() const override;
  const CConfigFile& GetUiTexts() const override;
  const CConfigFile& GetSettings() const override;
  std::wstring GetUiLanguage() const override;
  uint32_t GetBuildNumber() const override;
  std::wstring GetVersionText() const override;
  bool GetConnectionSetting(std::wstring& host, uint16_t& port, std::wstring& user,
                            std::wstring& password) const override;
  IUpdateDictManager* GetDictManager() override;
  HWND GetMainWindow() const override;
  bool ConfirmRun(const std::wstring& path) override;

 private:
  CQuorindoApp& m_app;
  CDictManagerCommands m_commands;
};
