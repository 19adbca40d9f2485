#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {
constexpr uint32_t kMaxHistory = 100;
const wchar_t kSection[] = L"DlgOptGeneral";

// Fills a sorted combo box: item data = index into the list; selects the
// entry equal to current, else item 0.
void FillSortedCombo(CComboBox& combo, const std::vector<std::wstring>& keys, const std::vector<std::wstring>& texts,
                     const std::wstring& current) {
  for (size_t i = 0; i < texts.size(); ++i) {
    int item = combo.AddString(texts[i].c_str());
    if (item >= 0) combo.SetItemData(item, i);
  }
  for (int item = 0; item < combo.GetCount(); ++item) {
    if (keys[combo.GetItemData(item)] == current) {
      combo.SetCurSel(item);
      return;
    }
  }
  combo.SetCurSel(0);
}
}  // namespace

BEGIN_MESSAGE_MAP(CDlgOptGeneral, COptionPage)
  ON_EN_KILLFOCUS(IDC_GEN_HISTORY, OnHistoryKillFocus)
  ON_BN_CLICKED(IDC_GEN_CLEARHISTORY, OnClearHistory)
END_MESSAGE_MAP()

CDlgOptGeneral::CDlgOptGeneral() : COptionPage(IDD_OPT_GENERAL) {}

BOOL CDlgOptGeneral::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_spin.SubclassDlgItem(IDC_GEN_SPIN, this);
  m_history.SubclassDlgItem(IDC_GEN_HISTORY, this);
  m_webSearch.SubclassDlgItem(IDC_GEN_WEBSEARCH, this);
  m_language.SubclassDlgItem(IDC_GEN_LANGUAGE, this);
  m_startMin.SubclassDlgItem(IDC_GEN_STARTMIN, this);
  m_autoStart.SubclassDlgItem(IDC_GEN_AUTOSTART, this);
  m_clearHistory.SubclassDlgItem(IDC_GEN_CLEARHISTORY, this);

  const CConfigFile& texts = GetOptionsHost()->GetUiTexts();
  m_languages = SectionKeys(texts, L"UILanguage");
  m_engines = SectionKeys(texts, L"SearchEngine");

  static const std::pair<const wchar_t*, int> kTexts[] = {
      {L"Language", IDC_GEN_LANGUAGE_LABEL},   {L"UILanguage", IDC_GEN_UILANGUAGE_LABEL},
      {L"WebSearch", IDC_GEN_WEBSEARCH_LABEL}, {L"SelectWebSearch", IDC_GEN_SELECTWEB_LABEL},
      {L"TermHistory", IDC_GEN_HISTORY_LABEL}, {L"SaveHistory", IDC_GEN_SAVEHISTORY_LABEL},
      {L"ClearHistory", IDC_GEN_CLEARHISTORY}, {L"AutoStart", IDC_GEN_AUTOSTART},
      {L"StartMin", IDC_GEN_STARTMIN}};
  SetTexts(kSection, kTexts, std::size(kTexts));

  CConfigFile& settings = Settings();
  std::vector<std::wstring> names;
  for (const std::wstring& code : m_languages) names.push_back(texts.GetString(L"UILanguage", code.c_str()));
  FillSortedCombo(m_language, m_languages, names, settings.GetString(L"General", L"LangCode"));

  names.clear();
  for (const std::wstring& key : m_engines) names.push_back(texts.GetString(L"SearchEngine", key.c_str(), nullptr, 1));
  FillSortedCombo(m_webSearch, m_engines, names, settings.GetString(L"General", L"SearchEngine"));

  m_spin.SetRange(0, kMaxHistory);
  m_spin.SetPos(int(std::min(settings.GetInt(L"General", L"SearchHistory", 0), kMaxHistory)));

  m_autoStart.SetCheck(settings.GetBool(L"General", L"AutoStart", false) ? BST_CHECKED : BST_UNCHECKED);
  m_startMin.SetCheck(settings.GetBool(L"General", L"StartMinmize", false) ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

int CDlgOptGeneral::Save() {
  IOptionsHost* host = GetOptionsHost();
  CConfigFile& settings = Settings();

  int item = m_language.GetCurSel();
  if (item < 0) return 0;
  const std::wstring& code = m_languages[m_language.GetItemData(item)];
  settings.SetValue(L"General", L"LangCode", code);
  host->RegSetAppValue(L"LangCode", code.c_str());

  item = m_webSearch.GetCurSel();
  if (item < 0) return 0;
  settings.SetValue(L"General", L"SearchEngine", m_engines[m_webSearch.GetItemData(item)]);

  // Read signed: a negative size typed without leaving the field would
  // otherwise wrap round to a huge number and end up as the maximum.
  long typed = wcstol(GetItemText(m_hWnd, IDC_GEN_HISTORY).c_str(), nullptr, 10);
  uint32_t history = typed < 0 ? 0 : std::min(uint32_t(typed), kMaxHistory);
  settings.SetValue(L"General", L"SearchHistory", IntToWString(history, 10));
  ::SendMessageW(host->GetMainWindow(), WM_PAGE_ACTION, kPageActionHistorySize, LPARAM(history));

  bool autoStart = m_autoStart.GetCheck() == BST_CHECKED;
  settings.SetValue(L"General", L"AutoStart", FlagText(autoStart));
  host->SetAutoStart(autoStart);
  settings.SetValue(L"General", L"StartMinmize", FlagText(m_startMin.GetCheck() == BST_CHECKED));

  const CConfigFile& texts = host->GetUiTexts();
  host->RegisterFileType(texts.GetString(L"FileRelation", L"ExtName").c_str(),
                         texts.GetString(L"FileRelation", L"AppKey").c_str(), host->GetProgramPath().c_str(),
                         int(texts.GetInt(L"FileRelation", L"DefaultIcon", 0)));
  return 1;
}

void CDlgOptGeneral::OnHistoryKillFocus() {
  std::wstring text = GetItemText(m_hWnd, IDC_GEN_HISTORY);
  wchar_t* end = nullptr;
  long value = wcstol(text.c_str(), &end, 10);
  if (end == text.c_str()) return;  // not a number: left for the save to read as 0
  if (value < 0) m_history.SetWindowText(L"0");
  else if (value > long(kMaxHistory)) m_history.SetWindowText(L"100");
}

void CDlgOptGeneral::OnClearHistory() {
  if (ShowBox(m_hWnd, OptionText(kSection, L"ClearHistoryConfirmation"), MB_YESNO | MB_ICONQUESTION) == IDYES)
    ::SendMessageW(GetOptionsHost()->GetMainWindow(), WM_PAGE_ACTION, kPageActionClearHistory, 0);
}
