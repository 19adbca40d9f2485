#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {

// Grab modes of the hook library, by radio button.
struct GrabMode {
  int control;
  uint32_t mode;
};
const GrabMode kGrabModes[] = {
    {IDC_TR_MOUSEOVER, 1}, {IDC_TR_SHIFTMOUSE, 256}, {IDC_TR_CTRLMOUSE, 512}, {IDC_TR_MIDDLEMOUSE, 2}};
constexpr uint32_t kDefaultGrabMode = 512;
constexpr int kDefaultDelayItem = 2;  // "300"

struct HotkeySetting {
  const wchar_t* key;
  int control;
  int label;
};
// In the order the page loads and saves them.
const HotkeySetting kHotkeys[] = {{L"OpenMainWnd", IDC_HK_OPENMAIN, IDC_HK_OPENMAIN_LABEL},
                                  {L"GrabToggleKey", IDC_HK_GRABTOGGLE, IDC_HK_GRABTOGGLE_LABEL},
                                  {L"ClipboardToggleKey", IDC_HK_CLIPBOARD, IDC_HK_CLIPBOARD_LABEL},
                                  {L"Pronounce", IDC_HK_PRONOUNCE, IDC_HK_PRONOUNCE_LABEL},
                                  {L"CopyInterpretation", IDC_HK_COPY, IDC_HK_COPY_LABEL}};

}  // namespace

CDlgOptTranslate::CDlgOptTranslate() : COptionPage(IDD_OPT_TRANSLATE) {}

BOOL CDlgOptTranslate::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_ignoreCyrillic.SubclassDlgItem(IDC_TR_IGNORECYRILLIC, this);
  m_ignoreLatin.SubclassDlgItem(IDC_TR_IGNORELATIN, this);
  m_ignoreCjk.SubclassDlgItem(IDC_TR_IGNORECJK, this);
  m_delay.SubclassDlgItem(IDC_TR_DELAY, this);

  static const std::pair<const wchar_t*, int> kTexts[] = {
      {L"CursorActivation", IDC_TR_ACTIVATION_LABEL}, {L"TimeDelay", IDC_TR_DELAY_LABEL},
      {L"MSEL", IDC_TR_MSEL_LABEL},                   {L"MouseOver", IDC_TR_MOUSEOVER},
      {L"ShiftMouse", IDC_TR_SHIFTMOUSE},             {L"CtrlMouse", IDC_TR_CTRLMOUSE},
      {L"MiddleMouse", IDC_TR_MIDDLEMOUSE},           {L"Language", IDC_TR_LANGUAGE_LABEL},
      {L"IgnoreLatin", IDC_TR_IGNORELATIN},           {L"IgnoreCyrillic", IDC_TR_IGNORECYRILLIC},
      {L"IgnoreCJK", IDC_TR_IGNORECJK}};
  SetTexts(L"DlgOptTranslate", kTexts, std::size(kTexts));

  CConfigFile& settings = Settings();
  for (uint32_t ms = 100; ms <= 900; ms += 100) m_delay.AddString(IntToWString(ms, 10).c_str());
  uint32_t delay = settings.GetInt(L"Translate", L"GrabTimeDelay", 0);
  int selected = kDefaultDelayItem;
  for (int item = 0; item < m_delay.GetCount(); ++item) {
    CString text;
    m_delay.GetLBText(item, text);
    if (wcstoul(text, nullptr, 10) == delay) {
      selected = item;
      break;
    }
  }
  m_delay.SetCurSel(selected);

  uint32_t mode = settings.GetInt(L"Translate", L"GrabActivation", kDefaultGrabMode);
  int radio = IDC_TR_CTRLMOUSE;
  for (const GrabMode& m : kGrabModes)
    if (m.mode == mode) radio = m.control;
  ::CheckRadioButton(m_hWnd, IDC_TR_MOUSEOVER, IDC_TR_MIDDLEMOUSE, radio);

  m_ignoreLatin.SetCheck(settings.GetBool(L"Translate", L"IgnoreLatin", false) ? BST_CHECKED : BST_UNCHECKED);
  m_ignoreCjk.SetCheck(settings.GetBool(L"Translate", L"IgnoreCJK", false) ? BST_CHECKED : BST_UNCHECKED);
  m_ignoreCyrillic.SetCheck(settings.GetBool(L"Translate", L"IgnoreCyrillic", false) ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

int CDlgOptTranslate::Save() {
  CConfigFile& settings = Settings();
  uint32_t delay = 0;
  int item = m_delay.GetCurSel();
  if (item >= 0) {
    CString text;
    m_delay.GetLBText(item, text);
    delay = wcstoul(text, nullptr, 10);
  }
  delay = std::min<uint32_t>(std::max<uint32_t>(delay, 100), 900);
  settings.SetValue(L"Translate", L"GrabTimeDelay", IntToWString(delay, 10));

  uint32_t mode = kDefaultGrabMode;
  for (const GrabMode& m : kGrabModes)
    if (IsDlgButtonChecked(m.control) == BST_CHECKED) mode = m.mode;
  settings.SetValue(L"Translate", L"GrabActivation", IntToWString(mode, 10));

  SaveFlag(L"Translate", L"IgnoreLatin", IDC_TR_IGNORELATIN);
  SaveFlag(L"Translate", L"IgnoreCJK", IDC_TR_IGNORECJK);
  SaveFlag(L"Translate", L"IgnoreCyrillic", IDC_TR_IGNORECYRILLIC);
  settings.SetValue(L"Translate", L"ClipboardActivation", L"1");
  ::SendMessageW(GetOptionsHost()->GetMainWindow(), WM_PAGE_ACTION, kPageActionApplyGrab, 0);
  return 1;
}

CDlgOptHotkey::CDlgOptHotkey() : COptionPage(IDD_OPT_HOTKEY) {}

BOOL CDlgOptHotkey::OnInitDialog() {
  COptionPage::OnInitDialog();
  m_clipboard.SubclassDlgItem(IDC_HK_CLIPBOARD, this);
  m_copy.SubclassDlgItem(IDC_HK_COPY, this);
  m_pronounce.SubclassDlgItem(IDC_HK_PRONOUNCE, this);
  m_grabToggle.SubclassDlgItem(IDC_HK_GRABTOGGLE, this);
  m_openMain.SubclassDlgItem(IDC_HK_OPENMAIN, this);

  CConfigFile& settings = Settings();
  for (const HotkeySetting& h : kHotkeys) SetDlgItemText(h.label, OptionText(L"DlgOptHotkey", h.key).c_str());
  for (const HotkeySetting& h : kHotkeys) {
    uint32_t value = settings.GetInt(L"Hotkey", h.key, 0);
    ::SendDlgItemMessageW(m_hWnd, h.control, HKM_SETHOTKEY, (value & 0xFF) | ((value >> 16) & 0xFF) << 8, 0);
  }
  return TRUE;
}

int CDlgOptHotkey::Save() {
  CConfigFile& settings = Settings();
  for (const HotkeySetting& h : kHotkeys) {
    DWORD hotkey = DWORD(::SendDlgItemMessageW(m_hWnd, h.control, HKM_GETHOTKEY, 0, 0));
    uint32_t value = ((hotkey >> 8) & 0xFF) << 16 | (hotkey & 0xFF);
    settings.SetValue(L"Hotkey", h.key, IntToWString(value, 10));
  }
  return 1;
}
