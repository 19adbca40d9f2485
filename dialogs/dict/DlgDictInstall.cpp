#include "dialogs/dict/DlgDictInstall.h"

#include <functional>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/dict/DictDialogApp.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DictGroupPage.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"

namespace {

const wchar_t kSection[] = L"DlgDictInstall";

// compose(name) with the name cut, and ended by an ellipsis, until the text
// fits the control's area in its font; the control does not grow.
std::wstring FitNameInControl(CWnd& control, const std::wstring& name,
                              const std::function<std::wstring(const std::wstring&)>& compose) {
  CRect area;
  control.GetClientRect(&area);
  CClientDC dc(&control);
  const HGDIOBJ oldFont = dc.SelectObject(reinterpret_cast<HGDIOBJ>(control.SendMessage(WM_GETFONT)));
  auto fits = [&](const std::wstring& text) {
    CRect need(0, 0, area.Width(), 0);
    ::DrawTextW(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &need,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    return need.Width() <= area.Width() && need.Height() <= area.Height();
  };
  auto cut = [&](size_t length) { return compose(name.substr(0, length) + L"\x2026"); };
  std::wstring text = compose(name);
  if (!fits(text)) {
    size_t low = 0, high = name.size();  // cut(low) is taken; cut(high) does not fit
    while (high - low > 1) {
      const size_t middle = (low + high) / 2;
      (fits(cut(middle)) ? low : high) = middle;
    }
    text = cut(low);
  }
  dc.SelectObject(oldFont);
  return text;
}

}  // namespace

CDlgDictInstall::CDlgDictInstall(CWnd* parent) : CDialog(IDD_DICT_INSTALL, parent), m_manager(DictDialogManager()) {}

BOOL CDlgDictInstall::OnInitDialog() {
  m_text.SubclassDlgItem(IDC_DICTINST_TEXT, this);
  m_btnOk.SubclassDlgItem(IDOK, this);
  m_chkIndex.SubclassDlgItem(IDC_DICTINST_INDEX, this);
  m_chkGrab.SubclassDlgItem(IDC_DICTINST_GRAB, this);
  CDialog::OnInitDialog();
  ApplyFontToChildren(m_hWnd, DictDialogUiFont(), false);
  CDictFile* dict = m_manager.FindDict(m_dictId);
  if (!dict) return TRUE;
  SetWindowText(DlgText(kSection, L"Title").c_str());
  const std::wstring format = DlgText(kSection, L"InstallSucceed");
  m_text.SetWindowText(FitNameInControl(m_text, DictDisplayName(*dict), [&](const std::wstring& name) {
                         std::wstring text;
                         FormatWString(text, format.c_str(), m_dictId, name.c_str());
                         return text;
                       }).c_str());
  SetDlgItemText(IDC_DICTINST_GROUPBOX, DlgText(kSection, L"DictGroupOption").c_str());
  m_chkIndex.SetWindowText(DlgText(kSection, L"AddIndexGroup").c_str());
  SetDlgItemText(IDC_DICTINST_INDEXDESC, DlgText(kSection, L"AddIndexGroupDesc").c_str());
  m_chkGrab.SetWindowText(DlgText(kSection, L"AddGrabGroup").c_str());
  SetDlgItemText(IDC_DICTINST_GRABDESC, DlgText(kSection, L"AddGrabGroupDesc").c_str());
  m_chkIndex.SetCheck(m_manager.FindGroupDict(kGroupIndex, m_dictId) ? BST_CHECKED : BST_UNCHECKED);
  m_chkGrab.SetCheck(m_manager.FindGroupDict(kGroupGrab, m_dictId) ? BST_CHECKED : BST_UNCHECKED);
  m_chkIndex.EnableWindow(dict->CanIndex());
  m_chkGrab.EnableWindow(dict->CanGrab());
  return TRUE;
}

void CDlgDictInstall::OnOK() {
  // A refused add or remove (the last index member) leaves the group as it was.
  for (auto [box, kind] : {std::make_pair(&m_chkIndex, kGroupIndex), std::make_pair(&m_chkGrab, kGroupGrab)}) {
    if (box->GetCheck() == BST_CHECKED) {
      if (!m_manager.FindGroupDict(kind, m_dictId)) m_manager.AddToGroup(kind, m_dictId);
    } else {
      m_manager.RemoveFromGroup(kind, m_dictId);
    }
  }
  std::wstring ignored;
  m_manager.GetErrorText(ignored);
  m_manager.SaveConfig();
  EndDialog(IDOK);
}
