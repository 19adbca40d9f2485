#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

namespace {
constexpr int kTabCount = 6;
const wchar_t* const kTabKeys[kTabCount] = {L"General", L"Appearance", L"Translate",
                                            L"Speech", L"Connection", L"Hotkey"};
}  // namespace

BEGIN_MESSAGE_MAP(CDlgOption, CDialog)
  ON_NOTIFY(TCN_SELCHANGE, IDC_OPTION_TAB, OnTabChange)
END_MESSAGE_MAP()

CDlgOption::CDlgOption(CWnd* parent) : CDialog(IDD_OPTION, parent) {}

COptionPage* CDlgOption::PageOfTab(int index) {
  switch (index) {
    case 1: return &m_appearance;
    case 2: return &m_translate;
    case 3: return &m_speech;
    case 4: return &m_connection;
    case 5: return &m_hotkey;
    default: return &m_general;
  }
}

BOOL CDlgOption::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(OptionText(L"DlgOption", L"Title").c_str());
  m_ok.SubclassDlgItem(IDOK, this);
  m_cancel.SubclassDlgItem(IDCANCEL, this);
  m_tab.SubclassDlgItem(IDC_OPTION_TAB, this);

  // Created in this order so that the tab order of their controls follows it.
  m_general.CreatePage(this);
  m_appearance.CreatePage(this);
  m_translate.CreatePage(this);
  m_speech.CreatePage(this);
  m_connection.CreatePage(this);
  m_hotkey.CreatePage(this);

  for (int i = 0; i < kTabCount; ++i) m_tab.InsertItem(i, OptionText(L"DlgOption", kTabKeys[i]).c_str());
  m_ok.SetWindowText(OptionText(L"DlgOption", L"Ok").c_str());
  m_cancel.SetWindowText(OptionText(L"DlgOption", L"Cancel").c_str());

  // The pages paint above the tab control.
  ::SetWindowPos(m_tab.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW | SWP_NOACTIVATE);
  CRect rc;
  m_tab.GetWindowRect(&rc);
  ScreenToClient(&rc);
  CRect item(0, 0, 0, 0);
  m_tab.GetItemRect(0, &item);
  int rows = int(m_tab.SendMessage(TCM_GETROWCOUNT));
  rc.left += 5;
  rc.right -= 7;
  rc.bottom -= 7;
  rc.top += item.Height() * rows + 7;
  for (int i = 0; i < kTabCount; ++i) PageOfTab(i)->MoveWindow(&rc, TRUE);

  int page = int(GetOptionsHost()->GetUserState().GetInt(L"App", L"ConfigPage", 0));
  m_tab.SetCurSel(page);
  ShowPage(page);
  return TRUE;
}

void CDlgOption::ShowPage(int index) {
  COptionPage* shown = PageOfTab(index);
  for (int i = 0; i < kTabCount; ++i) {
    COptionPage* page = PageOfTab(i);
    page->ShowWindow(page == shown ? SW_SHOW : SW_HIDE);
  }
}

void CDlgOption::OnTabChange(NMHDR*, LRESULT* result) {
  ShowPage(m_tab.GetCurSel());
  *result = 0;
}

void CDlgOption::OnOK() {
  // Nothing is saved while a value is refused: the user mends it on its page.
  if (!m_connection.IsPortValid()) {
    const int connectionPage = 4;
    m_tab.SetCurSel(connectionPage);
    ShowPage(connectionPage);
    m_connection.RefusePort();
    return;
  }
  m_general.Save();
  m_appearance.Save();
  m_translate.Save();
  m_speech.Save();
  m_connection.Save();
  m_hotkey.Save();

  IOptionsHost* host = GetOptionsHost();
  host->GetUserState().SetValue(L"App", L"ConfigPage", IntToWString(uint32_t(m_tab.GetCurSel()), 10));
  // The options apply for this session either way; a folder the user may not
  // write to keeps them from the next one, and the user is told where.
  if (!options_detail::SaveSettingsFile()) {
    const std::wstring path = host->GetProgramFolder() + L"config.ini";
    std::wstring text;
    FormatWString(text,
                  host->GetUiTexts().GetString(L"Message", L"SaveSettingsFail", L"The options cannot be saved to %s.").c_str(),
                  path.c_str());
    options_detail::ShowBox(m_hWnd, text, MB_ICONWARNING);
  }
  ::PostMessageW(host->GetMainWindow(), WM_UI_SETTINGS_CHANGED, 0, 0);
  EndDialog(IDOK);
}
