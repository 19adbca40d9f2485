#include <windows.h>
#include <shellapi.h>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {
// SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_XML
constexpr DWORD kSpeakFlags = 11;

std::wstring XmlEscaped(const std::wstring& text) {
  std::wstring out;
  EscapeXmlText(out, text.c_str(), uint32_t(text.size()), false);
  ReplaceAll(out, L"'", L"&apos;");
  return out;
}
}  // namespace

BEGIN_MESSAGE_MAP(CDlgOptSpeech, COptionPage)
  ON_BN_CLICKED(IDC_SP_TEST, OnTest)
  ON_BN_CLICKED(IDC_SP_DOWNLOAD, OnDownload)
END_MESSAGE_MAP()

CDlgOptSpeech::CDlgOptSpeech() : COptionPage(IDD_OPT_SPEECH) {}

BOOL CDlgOptSpeech::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_realtime.SubclassDlgItem(IDC_SP_REALTIME, this);
  m_download.SubclassDlgItem(IDC_SP_DOWNLOAD, this);
  m_pitch.SubclassDlgItem(IDC_SP_PITCH, this);
  m_testText.SubclassDlgItem(IDC_SP_TESTTEXT, this);
  m_volume.SubclassDlgItem(IDC_SP_VOLUME, this);
  m_speed.SubclassDlgItem(IDC_SP_SPEED, this);
  m_voice.SubclassDlgItem(IDC_SP_VOICE, this);

  static const std::pair<const wchar_t*, int> kTexts[] = {
      {L"Engine", IDC_SP_ENGINE_LABEL},   {L"Voice", IDC_SP_VOICE_LABEL},
      {L"Volume", IDC_SP_VOLUME_LABEL},   {L"Pitch", IDC_SP_PITCH_LABEL},
      {L"Speed", IDC_SP_SPEED_LABEL},     {L"RealtimePron", IDC_SP_REALTIME},
      {L"EnterText", IDC_SP_ENTERTEXT_LABEL}, {L"Test", IDC_SP_TEST}};
  SetTexts(L"DlgOptSpeech", kTexts, std::size(kTexts));
  std::wstring download = OptionText(L"DlgOptSpeech", L"DownloadTTS");
  m_download.SetText(download.c_str(), download.c_str(), TRUE);

  GetOptionsHost()->GetVoices(m_voices);
  for (size_t i = 0; i < m_voices.size(); ++i) {
    int item = m_voice.AddString(m_voices[i].description.c_str());
    if (item >= 0) m_voice.SetItemData(item, i);
  }

  m_volume.SetRangeMin(0);
  m_volume.SetRangeMax(100);
  m_volume.SetTicFreq(5);
  m_volume.SetPageSize(5);
  for (CSliderCtrl* slider : {&m_pitch, &m_speed}) {
    slider->SetRangeMin(-10);
    slider->SetRangeMax(10);
    slider->SetTicFreq(2);
    slider->SetPageSize(2);
  }

  CConfigFile& settings = Settings();
  std::wstring voice = settings.GetString(L"Speech", L"Voice");
  for (int item = 0; item < m_voice.GetCount(); ++item)
    if (m_voices[m_voice.GetItemData(item)].name == voice) m_voice.SetCurSel(item);
  m_volume.SetPos(int(settings.GetInt(L"Speech", L"Volume", 0)));
  m_pitch.SetPos(int32_t(settings.GetInt(L"Speech", L"Pitch", 0)));
  m_speed.SetPos(int32_t(settings.GetInt(L"Speech", L"Rate", 0)));
  m_realtime.SetCheck(settings.GetBool(L"Speech", L"RealtimePron", false) ? BST_CHECKED : BST_UNCHECKED);
  m_testText.SetWindowText(settings.GetString(L"Speech", L"TestText").c_str());
  return TRUE;
}

std::wstring CDlgOptSpeech::SelectedVoice(bool firstWhenNone) const {
  int item = m_voice.GetCurSel();
  if (item < 0 && firstWhenNone && m_voice.GetCount() > 0) item = 0;
  if (item < 0) return std::wstring();
  size_t index = m_voice.GetItemData(item);
  return index < m_voices.size() ? m_voices[index].name : std::wstring();
}

int CDlgOptSpeech::Save() {
  CConfigFile& settings = Settings();
  settings.SetValue(L"Speech", L"Voice", Escaped(SelectedVoice(false)));
  settings.SetValue(L"Speech", L"Volume", IntToWStringSigned(m_volume.GetPos(), 10));
  settings.SetValue(L"Speech", L"Pitch", IntToWStringSigned(m_pitch.GetPos(), 10));
  settings.SetValue(L"Speech", L"Rate", IntToWStringSigned(m_speed.GetPos(), 10));
  SaveFlag(L"Speech", L"RealtimePron", IDC_SP_REALTIME);
  settings.SetValue(L"Speech", L"TestText", Escaped(GetItemText(m_hWnd, IDC_SP_TESTTEXT)));
  return 1;
}

std::wstring CDlgOptSpeech::BuildSpeakMarkup(const std::wstring& templ, const std::wstring& voice, int rate,
                                             int volume, int pitch, const std::wstring& text) {
  std::wstring markup = templ;
  ReplaceAll(markup, L"[$voice]", XmlEscaped(voice).c_str());
  ReplaceAll(markup, L"[$rate]", IntToWStringSigned(rate, 10).c_str());
  ReplaceAll(markup, L"[$volume]", IntToWStringSigned(volume, 10).c_str());
  ReplaceAll(markup, L"[$pitch]", IntToWStringSigned(pitch, 10).c_str());
  // The text last: what the user typed may hold a placeholder of its own.
  ReplaceAll(markup, L"[$text]", XmlEscaped(text).c_str());
  return markup;
}

void CDlgOptSpeech::OnTest() {
  std::wstring text = GetItemText(m_hWnd, IDC_SP_TESTTEXT);
  TrimWString(text, L" \t\r\n", 0);
  if (text.empty()) return;
  std::wstring markup = BuildSpeakMarkup(OptionText(L"Speech", L"SpeakXML"), SelectedVoice(true), m_speed.GetPos(),
                                         m_volume.GetPos(), m_pitch.GetPos(), text);
  GetOptionsHost()->Speak(markup, kSpeakFlags);
}

void CDlgOptSpeech::OnDownload() {
  std::wstring url = GetOptionsHost()->BuildLinkUrl(L"speech");
  ::ShellExecuteW(m_hWnd, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
