// Test double of the application for the dialogs: sandbox stores and folder,
// a spy main window that records what the dialogs send it, message boxes
// answered at once, and modal dialogs driven from a timer.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "dialogs/options/OptionsDlg.h"

namespace options_test {

struct SentMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The main window: records 2031 and 2033, answers 2036 through authAnswer.
class SpyMainWindow {
 public:
  SpyMainWindow();
  ~SpyMainWindow();
  HWND hwnd() const { return m_hwnd; }
  std::vector<SentMessage> messages;
  // Answer to WM_AUTH_REQUEST; null: the real dialog (RunAuthenticationRequest).
  std::function<LRESULT(std::wstring* user, std::wstring* password)> authAnswer;
  int Count(UINT message, WPARAM wParam) const;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND m_hwnd = nullptr;
};

class TestHost : public IOptionsHost {
 public:
  TestHost();
  ~TestHost() override;

  CConfigFile settings;
  CConfigFile userState;
  CConfigFile texts;
  std::wstring folder;  // sandbox program folder (and image folder)
  SpyMainWindow mainWindow;

  // What the dialogs asked of the application.
  std::vector<bool> autoStarts;
  std::vector<std::wstring> registryValues;  // name=text
  std::vector<std::wstring> fileTypes;       // ext|appKey|path|icon
  std::vector<std::wstring> spoken;
  std::vector<DWORD> speakFlags;
  std::vector<COLORREF> grabColors;
  int refreshes = 0;
  std::vector<SpeechVoiceInfo> voices;
  bool hasVoice = true;
  COnlineUpdate* onlineUpdate = nullptr;

  std::wstring ConfigPath() const { return folder + L"config.ini"; }
  bool ConfigWritten() const;
  void RemoveConfig() const;

  CConfigFile& GetSettings() override { return settings; }
  CConfigFile& GetUserState() override { return userState; }
  const CConfigFile& GetUiTexts() override { return texts; }
  std::wstring GetProgramFolder() override { return folder; }
  std::wstring GetImageFolder() override { return folder; }
  std::wstring GetProgramPath() override { return folder + L"Quorindo.exe"; }
  HWND GetMainWindow() override { return mainWindow.hwnd(); }
  HFONT GetInterfaceFont() override { return HFONT(::GetStockObject(DEFAULT_GUI_FONT)); }
  std::wstring GetVersionText() override { return L"2.1"; }
  uint32_t GetBuildNumber() override { return 0x30007; }
  std::wstring BuildLinkUrl(const wchar_t* command) override { return std::wstring(L"about:") + command; }
  ProxySettings GetProxySettings() override;
  COnlineUpdate* GetOnlineUpdate() override { return onlineUpdate; }
  void SetAutoStart(bool on) override { autoStarts.push_back(on); }
  void RegSetAppValue(const wchar_t* name, const wchar_t* text) override;
  void RegisterFileType(const wchar_t* extension, const wchar_t* appKey, const wchar_t* programPath,
                        int iconIndex) override;
  bool Speak(const std::wstring& markup, DWORD flags) override;
  void GetVoices(std::vector<SpeechVoiceInfo>& out) override { out = voices; }
  void SetGrabColors(COLORREF text, COLORREF back, COLORREF border) override;
  void RefreshDictionaries() override { ++refreshes; }
};

// The host GetOptionsHost hands out; set by the fixture.
extern TestHost* g_host;

// The main window's answer to WM_AUTH_REQUEST, as the main frame gives it.
LRESULT RunAuthenticationRequest(CWnd* owner, WPARAM wParam, LPARAM lParam);

// Message boxes: recorded and answered with `answer`.
struct BoxRecorder {
  BoxRecorder();
  ~BoxRecorder();
  static std::vector<std::wstring> texts;
  static int answer;
};

// Runs dlg modally; once its window exists, action runs from a timer (it
// ends the dialog, e.g. with PressOk). Returns DoModal's result.
INT_PTR RunModal(CDialog& dlg, std::function<void(CDialog&)> action);
void PressButton(CDialog& dlg, int id);
void SetItemText(HWND dialog, int id, const wchar_t* text);
std::wstring ItemText(HWND dialog, int id);
void PumpPending();

// A top-level window that holds a page created on its own.
class PageParent : public CWnd {
 public:
  PageParent();
  ~PageParent() override;
};

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TestHost* host = nullptr;
  BoxRecorder boxes;
};

}  // namespace options_test
