// What the options, authentication and About dialogs take from the
// application object: its stores, folders, font and version, the registry
// and speech services, the update component and the main window's popup.
// The program's host (AppOptionsHost.cpp) forwards to the application;
// tests define GetOptionsHost themselves and hand in a double.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CConfigFile;
class COnlineUpdate;

// Message numbers the dialogs send to or answer for the main window (the
// main window's header defines the same numbers the same way).
#ifndef WM_PAGE_ACTION
#define WM_PAGE_ACTION 2031
#endif
#ifndef WM_UI_SETTINGS_CHANGED
#define WM_UI_SETTINGS_CHANGED 2033
#endif
#ifndef WM_AUTH_REQUEST
#define WM_AUTH_REQUEST 2036
#endif
// Page actions (wParam of WM_PAGE_ACTION).
constexpr WPARAM kPageActionApplyGrab = 144;
constexpr WPARAM kPageActionHistorySize = 148;
constexpr WPARAM kPageActionClearHistory = 149;

// The proxy setting as "config.ini" holds it, credentials deciphered.
struct ProxySettings {
  int mode = 0;  // "Connect": 1 proxy, anything else direct
  std::wstring server;
  uint32_t port = 0;
  std::wstring user;
  std::wstring password;
};

// One installed speech voice: its token's "Name" attribute and description.
struct SpeechVoiceInfo {
  std::wstring name;
  std::wstring description;
};

class IOptionsHost {
 public:
  virtual ~IOptionsHost() = default;

  virtual CConfigFile& GetSettings() = 0;        // "config.ini"
  virtual CConfigFile& GetUserState() = 0;       // "user.ini"
  virtual const CConfigFile& GetUiTexts() = 0;   // user-interface texts
  virtual std::wstring GetProgramFolder() = 0;   // with a trailing backslash
  virtual std::wstring GetImageFolder() = 0;     // with a trailing backslash
  virtual std::wstring GetProgramPath() = 0;
  virtual HWND GetMainWindow() = 0;
  virtual HFONT GetInterfaceFont() = 0;
  virtual std::wstring GetVersionText() = 0;
  virtual uint32_t GetBuildNumber() = 0;
  virtual std::wstring BuildLinkUrl(const wchar_t* command) = 0;

  virtual ProxySettings GetProxySettings() = 0;
  virtual COnlineUpdate* GetOnlineUpdate() = 0;

  virtual void SetAutoStart(bool on) = 0;
  virtual void RegSetAppValue(const wchar_t* name, const wchar_t* text) = 0;
  virtual void RegisterFileType(const wchar_t* extension, const wchar_t* appKey, const wchar_t* programPath,
                                int iconIndex) = 0;

  // False when the application has no speech voice.
  virtual bool Speak(const std::wstring& markup, DWORD flags) = 0;
  virtual void GetVoices(std::vector<SpeechVoiceInfo>& out) = 0;

  // Recolours the cursor-translation popup of the main window.
  virtual void SetGrabColors(COLORREF text, COLORREF back, COLORREF border) = 0;
  // Has every opened dictionary refresh after a font setting changed.
  virtual void RefreshDictionaries() = 0;
};

IOptionsHost* GetOptionsHost();

// A text of the user-interface store; empty when missing.
std::wstring OptionText(const wchar_t* section, const wchar_t* key);
