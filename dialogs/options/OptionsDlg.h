// The options dialog with its six pages, the proxy authentication dialog with
// the credential callback of the text translator, and the About dialog.
//
//   CDlgOption          modal; on OK every page saves, "config.ini" is written
//                       and WM_UI_SETTINGS_CHANGED (2033) is posted to the main
//                       window; Cancel writes nothing
//   CDlgAuthentication  modal; the main window runs it for WM_AUTH_REQUEST (2036)
//   OnAuthCredentials   asks the main window (2036) for proxy credentials and
//                       remembers them enciphered when asked to
//   CDlgAbout           modal; any click closes it
#pragma once

#include <string>
#include <vector>

#include "dialogs/options/OptionsHost.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

// Common ground of the pages: a child dialog that ignores Enter and Escape
// and writes its controls back to the settings only when asked.
class COptionPage : public CDialog {
 public:
  explicit COptionPage(UINT templateId) : CDialog(templateId), m_templateId(templateId) {}
  BOOL CreatePage(CWnd* parent) { return Create(m_templateId, parent); }
  // 1 done, 0 stopped early.
  virtual int Save() = 0;

 protected:
  void OnOK() override {}
  void OnCancel() override {}
  CConfigFile& Settings();
  void SetTexts(const wchar_t* section, const std::pair<const wchar_t*, int>* texts, size_t count);
  void SaveFlag(const wchar_t* section, const wchar_t* key, int control);

 private:
  UINT m_templateId;
};

class CDlgOptGeneral : public COptionPage {
 public:
  CDlgOptGeneral();
  BOOL OnInitDialog() override;
  int Save() override;

 protected:
  afx_msg void OnHistoryKillFocus();
  afx_msg void OnClearHistory();
  DECLARE_MESSAGE_MAP()

 private:
  std::vector<std::wstring> m_languages;
  std::vector<std::wstring> m_engines;
  CSpinButtonCtrl m_spin;
  CEdit m_history;
  CComboBox m_webSearch;
  CComboBox m_language;
  CButton m_startMin;
  CButton m_autoStart;
  CButton m_clearHistory;
};

class CDlgOptAppearance : public COptionPage {
 public:
  CDlgOptAppearance();
  BOOL OnInitDialog() override;
  int Save() override;
  // The fonts the page lists: TrueType, not symbol, not vertical (@), once each.
  static void AddFontFace(std::vector<std::wstring>& faces, const ENUMLOGFONTEXW& font, DWORD fontType);
  void DrawSample();
  Veltra::COImage* GetSampleImage() { return m_sample.GetIcon(); }

 protected:
  afx_msg void OnSampleChange();
  afx_msg void OnTextColor();
  afx_msg void OnBackColor();
  afx_msg void OnBorderColor();
  DECLARE_MESSAGE_MAP()

 private:
  void PickColor(COLORREF& colour);
  std::wstring SelectedFace(CComboBox& combo) const;
  std::wstring SelectedSizeKey() const;

  std::vector<std::wstring> m_faces;
  std::vector<std::wstring> m_sizeKeys;
  std::vector<std::wstring> m_uiSizes;
  COLORREF m_textColor = 0;
  COLORREF m_backColor = 0;
  COLORREF m_borderColor = 0;
  CComboBox m_uiSize;
  CComboBox m_uiFont;
  CButton m_alpha;
  CGStatic m_sample;
  CComboBox m_textFont;
  CComboBox m_phoneticFont;
  CComboBox m_fontSize;
};

class CDlgOptTranslate : public COptionPage {
 public:
  CDlgOptTranslate();
  BOOL OnInitDialog() override;
  int Save() override;

 private:
  CButton m_ignoreCyrillic;
  CButton m_ignoreLatin;
  CButton m_ignoreCjk;
  CComboBox m_delay;
};

class CDlgOptHotkey : public COptionPage {
 public:
  CDlgOptHotkey();
  BOOL OnInitDialog() override;
  int Save() override;

 private:
  CHotKeyCtrl m_clipboard;
  CHotKeyCtrl m_copy;
  CHotKeyCtrl m_pronounce;
  CHotKeyCtrl m_grabToggle;
  CHotKeyCtrl m_openMain;
};

class CDlgOptSpeech : public COptionPage {
 public:
  CDlgOptSpeech();
  BOOL OnInitDialog() override;
  int Save() override;
  // The markup that "Test" speaks: "SpeakXML" of section "Speech" with its
  // [$voice], [$rate], [$volume], [$pitch] and [$text] filled in.
  static std::wstring BuildSpeakMarkup(const std::wstring& templ, const std::wstring& voice, int rate, int volume,
                                       int pitch, const std::wstring& text);

 protected:
  afx_msg void OnTest();
  afx_msg void OnDownload();
  DECLARE_MESSAGE_MAP()

 private:
  std::wstring SelectedVoice(bool firstWhenNone) const;

  std::vector<SpeechVoiceInfo> m_voices;
  CButton m_realtime;
  CGLinkButton m_download;
  CSliderCtrl m_pitch;
  CEdit m_testText;
  CSliderCtrl m_volume;
  CSliderCtrl m_speed;
  CComboBox m_voice;
};

class CDlgOptConnection : public COptionPage {
 public:
  CDlgOptConnection();
  BOOL OnInitDialog() override;
  int Save() override;
  // A proxy needs a port of 1 to 65535; a refused one is told and focused.
  bool IsPortValid();
  void RefusePort();

 protected:
  afx_msg void OnDirect();
  afx_msg void OnProxy();
  afx_msg void OnUpdateNow();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableProxyFields(BOOL enable);

  CEdit m_user;
  CEdit m_password;
  CEdit m_port;
  CEdit m_server;
  CButton m_enableUpdate;
};

class CDlgOption : public CDialog {
 public:
  explicit CDlgOption(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  // The page of a tab index (General for an index out of range).
  COptionPage* PageOfTab(int index);
  CTabCtrl& Tabs() { return m_tab; }

 protected:
  afx_msg void OnTabChange(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  void ShowPage(int index);

 public:
  CDlgOptGeneral m_general;
  CDlgOptSpeech m_speech;
  CDlgOptTranslate m_translate;
  CDlgOptAppearance m_appearance;
  CDlgOptHotkey m_hotkey;
  CDlgOptConnection m_connection;

 private:
  CButton m_cancel;
  CButton m_ok;
  CTabCtrl m_tab;
};

class CDlgAuthentication : public CDialog {
 public:
  explicit CDlgAuthentication(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

  int m_remember;
  std::wstring m_user;
  std::wstring m_password;
  std::wstring m_caption;
  std::wstring m_prompt;

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  Veltra::COImage m_title;
  CButton m_rememberBox;
  CEdit m_userEdit;
  CEdit m_passwordEdit;
};

// WM_AUTH_REQUEST: wParam and lParam point to std::wstring (caption in, user
// name out; prompt in, password out); the main window runs CDlgAuthentication
// with m_remember preset to 1 and answers 0 cancelled (or a null pointer),
// 1 OK, 2 OK with the remember box ticked.
//
// Asks the main window for proxy credentials (UTF-8 in and out); false when
// the user cancelled. Remembered credentials go enciphered into "config.ini".
bool OnAuthCredentials(std::string& user, std::string& password, const char* realm, const char* prompt);
// The same as the HttpCredentialCallback that the text translator hands to
// its HTTP session: context null, or an AuthPromptTexts.
struct AuthPromptTexts {
  const char* realm;
  const char* prompt;
};
bool AuthCredentialCallback(void* context, std::string& user, std::string& password);

class CDlgAbout : public CDialog {
 public:
  explicit CDlgAbout(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  // "Version" + version + "." + build (four digits at least) + " ".
  static std::wstring BuildVersionLine(const std::wstring& label, const std::wstring& version, uint32_t build);

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnContact();
  afx_msg void OnWebsite();
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  DECLARE_MESSAGE_MAP()

 private:
  CFont m_font;
  Veltra::COImage m_background;
  Veltra::COImage m_logo;
  CGLinkButton m_contact;
  CGLinkButton m_website;
  CGStatic m_rights;
  CGStatic m_version;
};
