// The program's host of the dialogs: the application object, its main window
// and the main window's cursor-translation popup.
#include "app/shell/QuorindoApp.h"
#include "dialogs/options/OptionsHost.h"

#include "app/frame/MainFrame.h"
#include "app/popup/WndGrab.h"

namespace {

class CAppOptionsHost : public IOptionsHost {
 public:
  CConfigFile& GetSettings() override { return theApp.m_settings; }
  CConfigFile& GetUserState() override { return theApp.m_userState; }
  const CConfigFile& GetUiTexts() override { return theApp.m_uiText; }
  std::wstring GetProgramFolder() override { return theApp.m_programFolder; }
  std::wstring GetImageFolder() override { return theApp.m_imageFolder; }
  std::wstring GetProgramPath() override { return theApp.m_programPath; }
  HWND GetMainWindow() override { return CWnd::HwndOf(AfxGetMainWnd()); }
  HFONT GetInterfaceFont() override { return HFONT(theApp.m_uiFont); }
  std::wstring GetVersionText() override { return theApp.m_version; }
  uint32_t GetBuildNumber() override { return theApp.m_buildNumber; }

  std::wstring BuildLinkUrl(const wchar_t* command) override {
    std::wstring url;
    theApp.BuildLinkUrl(url, command);
    return url;
  }

  ProxySettings GetProxySettings() override {
    ProxySettings proxy;
    proxy.mode = int(theApp.GetProxySettings(proxy.server, proxy.port, proxy.user, proxy.password));
    return proxy;
  }

  COnlineUpdate* GetOnlineUpdate() override { return theApp.GetOnlineUpdate(); }
  void SetAutoStart(bool on) override { theApp.SetAutoStart(on); }
  void RegSetAppValue(const wchar_t* name, const wchar_t* text) override { ::RegSetAppValue(name, text); }
  void RegisterFileType(const wchar_t* extension, const wchar_t* appKey, const wchar_t* programPath,
                        int iconIndex) override {
    ::RegisterFileType(extension, appKey, programPath, iconIndex);
  }

  bool Speak(const std::wstring& markup, DWORD flags) override {
    CSpeechVoice* voice = theApp.GetSpeechVoice();
    return voice && voice->Speak(markup.c_str(), flags);
  }

  void GetVoices(std::vector<SpeechVoiceInfo>& out) override {
    std::vector<std::pair<std::wstring, std::wstring>> voices;
    EnumSpeechVoices(voices);
    out.clear();
    for (auto& voice : voices) out.push_back({voice.first, voice.second});
  }

  void SetGrabColors(COLORREF text, COLORREF back, COLORREF border) override {
    if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd())) frame->GetPopup().SetColors(text, back, border);
  }

  void RefreshDictionaries() override { theApp.GetDictManager()->ForEachDict(); }
};

}  // namespace

IOptionsHost* GetOptionsHost() {
  static CAppOptionsHost host;
  return &host;
}
