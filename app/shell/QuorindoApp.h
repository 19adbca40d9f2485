// The application object of Quorindo: start-up and shut-down, the program's
// folders and its four stores, the UI fonts, the hook library binding, the
// speech voice, the splash window and the registry and link services.
//
// Exactly one exists, the global `theApp`. The other windows of the program
// and the dialogs read its stores, folders and fonts directly:
//   m_uiText     user-interface texts ("system.inc" + "Lang-<code>.ini")
//   m_settings   "config.ini"            m_userState  "user.ini"
//   m_langList   language names (section "LangCode")
//   m_*Folder    program, data, dict, image, icon, help, temp, update, partner
//                (each ends in "\")
//   m_uiFont, m_uiBoldFont, m_langCode, m_productId, m_buildNumber, ...
#pragma once

#include "platform/framework/Quorfx.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/AppHosts.h"
#include "app/shell/AppServices.h"
#include "app/shell/SpeechVoice.h"
#include "core/ConfigFile.h"
#include "dict/DictManager.h"
#include "online/OnlineUpdate.h"
#include "online/TextTranslator.h"

class CSplashWnd;

// A voice of the system: its name ("Name" attribute) and its description.
using SpeechVoiceEntry = std::pair<std::wstring, std::wstring>;

class CQuorindoApp : public CWinApp {
 public:
  CQuorindoApp();
  ~CQuorindoApp() override;
  CQuorindoApp(const CQuorindoApp&) = delete;
  CQuorindoApp& operator=(const CQuorindoApp&) = delete;

  BOOL InitInstance() override;
  int ExitInstance() override;

  CDictManager* GetDictManager() { return &m_dictManager; }
  CTextTranslator* GetTextTranslator() { return &m_textTranslator; }
  COnlineUpdate* GetOnlineUpdate() { return &m_onlineUpdate; }
  // The voice, opened on first use (the voice list is filled then); null
  // when no voice can be opened (the next call tries again).
  CSpeechVoice* GetSpeechVoice();
  const std::vector<SpeechVoiceEntry>& GetVoiceList() const { return m_voices; }

  bool ShowSplash();
  void CloseSplash();

  // Folders and the UI-text store from "system.inc"; the Software values.
  bool InitSystem();
  // Settings, user state, language, language files, partner texts, UI fonts.
  bool LoadConfig();
  // Writes the user state to "user.ini" at once (through a temporary file, so
  // a program ended in the middle leaves the old state whole). The first
  // failure of a session tells the user which file cannot be written (a
  // folder the user may not write to); later ones are silent. False on failure.
  bool SaveUserState();

  // The hook library scrivet.dll of the program folder, loaded on first use.
  int ActivateGrabHook(bool on);
  int SetGrabMode(int mode, int delayMs);
  int SetClipboardMode(int mode);

  // The Run key entry "\"<program path>\" -cphs" under the product name.
  void SetAutoStart(bool enable);
  // The link template "Command" of section "Link" filled for a command word.
  void BuildLinkUrl(std::wstring& out, const wchar_t* command);
  // The manual in the user-interface language, "help\manual-<code>.chm"; the
  // language-neutral "help\manual.chm" when that language has none.
  std::wstring HelpFilePath() const;
  // "Connect" of section "Connection"; the proxy server, port and credentials.
  uint32_t GetProxySettings(std::wstring& server, uint32_t& port, std::wstring& user, std::wstring& password);
  // "UIFontSize" of "Appearance" in tenths of a point: 0 (the system's size)
  // when absent or not a number, else held to 6-24 points. A damaged value
  // must not give a font that breaks the bars' painting.
  int GetUiFontTenths() const;
  // Speaks the first `length` characters of text through the speech markup template.
  void SpeakWord(const wchar_t* text, uint32_t length);

  // The program file's path; when set before InitSystem it is used in place
  // of the running module's (tests point it into a sandbox folder).
  void SetProgramPath(const std::wstring& path) { m_programPathOverride = path; }

  // The hosts through which the dictionary engine and the online part reach
  // this object; registered by the constructor.
  CAppDictHost m_dictHost;
  CAppOnlineHost m_onlineHost;

  CDictManager m_dictManager;
  CTextTranslator m_textTranslator;
  COnlineUpdate m_onlineUpdate;
  CSplashWnd* m_pSplash = nullptr;
  CSpeechVoice m_voice;
  std::vector<SpeechVoiceEntry> m_voices;

  CConfigFile m_uiText;
  CConfigFile m_settings;
  CConfigFile m_userState;
  CConfigFile m_langList;

  uint16_t m_productId = 0;
  std::wstring m_productName;
  uint16_t m_buildNumber = 0;
  std::wstring m_edition;
  std::wstring m_version;
  std::wstring m_langCode;
  std::wstring m_oemFolder;

  bool m_userStateUnsaved = false;  // told once that "user.ini" cannot be written

  std::wstring m_programPath;
  std::wstring m_programFolder;
  std::wstring m_dataFolder;
  std::wstring m_dictFolder;
  std::wstring m_imageFolder;
  std::wstring m_iconFolder;
  std::wstring m_helpFolder;
  std::wstring m_tempFolder;
  std::wstring m_updateFolder;
  std::wstring m_partnerFolder;

  CFont m_uiFont;
  CFont m_uiBoldFont;

  // The popup's window that receives the grab records (WM_COPYDATA 2027 and
  // message 2026); the main frame sets it when it has created its popup.
  HWND m_hGrabNotifyWnd = nullptr;

 private:
  enum class Switch { None, Replace, ReplaceHidden, Close };
  Switch ReadSwitch();
  bool HandOver(Switch sw);
  bool Fail(const wchar_t* text);
  bool CreateMainWindow();
  void PlaceMainWindow();

  std::wstring m_programPathOverride;
  CQuorindoApp* m_previousApp = nullptr;
  bool m_kestrelStarted = false;
  bool m_netStarted = false;
};

extern CQuorindoApp theApp;

// The running instance's main window handle, shared by every process of the
// program file; tested with IsWindow before use.
HWND GetRunningInstanceWindow();
void SetRunningInstanceWindow(HWND window);

// The web-browser version text ("6.0.2900.2180"); empty when unknown.
std::wstring GetBrowserVersion();

// The language-list store's name for a code (empty when absent) and its
// locale (item 0; 1024 when absent).
std::wstring GetLanguageName(const wchar_t* code);
uint32_t GetLanguageLocale(const wchar_t* code);
// 1 when a and b are the same code (ASCII case ignored), 2 when a is the
// language part of b ("en" against "en-US", "zh" against "zh_TW"), else 0.
int MatchLanguageCode(const wchar_t* a, const wchar_t* b);
