#include "dialogs/dict/DlgDictList.h"

#include <cwchar>

#include "core/StrUtil.h"
#include "app/views/LinkUrl.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DictGroupPage.h"
#include "dialogs/dict/DlgDictInfo.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"
#include "dict/DictManager.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

const wchar_t kSection[] = L"DlgDictList";
const wchar_t kInfoPrefix[] = L"app://dictinfo/";

const wchar_t kRowTemplate[] =
    L"\t\t\t<tr id='dict_%.8x' style='background-color:%s' "
    L"ondblclick=\"window.navigate('app://dictinfo/%.8x')\">\t\t\t\t<td width='' align='center' "
    L"style='border-bottom: 1px solid #CCCCCC;' nowrap>\t\t\t\t\t<input id='chk_%.8x' style='display: %s' "
    L"type='checkbox' value='y' %s %s>\t\t\t\t</td>\t\t\t\t<td width='100%%' style='border-bottom: 1px solid "
    L"#CCCCCC; border-left: 1px solid #CCCCCC; color:#000030' nowrap>\t\t\t\t\t<img border='0' src='%s' "
    L"width='16' height='16' align='absmiddle'> %s\t\t\t\t</td>\t\t\t\t<td width='' align='center' "
    L"style='border-bottom: 1px solid #CCCCCC; border-left: 1px solid #CCCCCC; ' nowrap>%lu</td>\t\t\t\t<td "
    L"width='' align='center' style='border-bottom: 1px solid #CCCCCC; border-left: 1px solid #CCCCCC; ' "
    L"nowrap>%s</td>\t\t\t</tr>";

const wchar_t kPageTemplate[] =
    L"\t\t\t<div style='width:100%%; height:100%%; overflow: auto; border-bottom:0px solid #4273B7'>\t\t\t<table "
    L"id='tab_list' border='0' width='100%%' cellspacing='0' cellpadding='2' style='border-collapse: collapse;' "
    L"bordercolor='#4273B7'>\t\t\t\t<tr style='background-color:#ffffe0'>\t\t\t\t\t<td width='' align='center' "
    L"style='padding: 5px; border-bottom: 1px solid #4273B7; color:#1A4177;' nowrap><b>%s</b></td>\t\t\t\t\t<td "
    L"width='100%%' style='padding: 5px; border-bottom: 1px solid #4273B7; border-left: 1px solid #CCCCCC; "
    L"color:#1A4177;' nowrap><b>%s</b></td>\t\t\t\t\t<td width='' align='center' style='padding: 5px; "
    L"border-bottom: 1px solid #4273B7; border-left: 1px solid #CCCCCC; color:#1A4177;' "
    L"nowrap><b>%s</b></td>\t\t\t\t\t<td width='' align='center' style='padding: 5px;border-bottom: 1px solid "
    L"#4273B7; border-left: 1px solid #CCCCCC; color:#1A4177;' nowrap><b>%s</b></td>\t\t\t\t</tr>\t\t\t\t%s "
    L"\t\t</table>\t\t\t</div>";

uint32_t ParseHexId(const std::wstring& text, size_t at, size_t length) {
  std::wstring digits = text.substr(at, length);
  return static_cast<uint32_t>(wcstoul(digits.c_str(), nullptr, 16));
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgDictList, CDialog)
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CDlgDictList::CDlgDictList(CWnd* parent) : CDictHtmlDialog(IDD_DICT_LIST, parent, IDC_DICTLIST_BROWSER) {}

BOOL CDlgDictList::OnInitDialog() {
  m_btnSelect.SubclassDlgItem(IDC_DICTLIST_SELECT, this);
  m_btnCancel.SubclassDlgItem(IDCANCEL, this);
  InitCommon(kSection);
  m_result.clear();
  m_btnSelect.SetWindowText(DlgText(kSection, L"Add").c_str());
  m_btnCancel.SetWindowText(DlgText(kSection, L"Cancel").c_str());
  CreateBrowser();
  FinishInit();
  return TRUE;
}

std::wstring CDlgDictList::BuildHtml() {
  CDictGroup* target = m_manager.GetGroup(m_groupKind);
  CDictGroup* query = m_manager.GetGroup(kGroupQuery);
  if (!target || !query) return std::wstring();
  std::wstring rows, row;
  for (const DictGroupItem* member : query->GetMembers()) {
    CDictFile* dict = member->dictionary;
    if (!dict) continue;
    if ((m_groupKind == kGroupIndex && !dict->CanIndex()) || (m_groupKind == kGroupGrab && !dict->CanGrab())) continue;
    const uint32_t id = member->id;
    const bool inTarget = target->IndexOf(id) != -1;
    const std::wstring type = dict->IsGroupLocked() ? OnlineImageHtml() : std::wstring();
    FormatWString(row, kRowTemplate, id, inTarget ? L"#F8F8F8" : L"#FFFFFF", id, id, inTarget ? L"none" : L"",
                  inTarget ? L"checked" : L"", inTarget ? L"disabled" : L"", dict->GetIconPath().c_str(),
                  PageText(DictDisplayName(*dict)).c_str(), static_cast<unsigned long>(id), type.c_str());
    rows += row;
  }
  std::wstring page;
  FormatWString(page, kPageTemplate, DlgText(kSection, L"Select").c_str(), DlgText(kSection, L"DictList").c_str(),
                DlgText(kSection, L"ID").c_str(), DlgText(kSection, L"Online").c_str(), rows.c_str());
  return page;
}

void CDlgDictList::OnPageLoaded(const std::wstring&) {
  if (m_manager.GetGroup(m_groupKind)) m_html.SetElementHtml(L"main", BuildHtml().c_str());
}

void CDlgDictList::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
  // The picker goes nowhere but its own page and its own information links:
  // anything else a page could hold is not followed.
  if (IsAboutBlank(url) || url == DictHost().GetDataFolder() + L"blank.htm") return;
  *cancel = true;
  std::wstring decoded;
  if (!DecodeLinkUrl(decoded, url.c_str()) || !StartsWithNoCase(decoded, kInfoPrefix)) return;
  const size_t prefix = wcslen(kInfoPrefix);
  const uint32_t id = ParseHexId(decoded, prefix, decoded.size() - prefix);
  if (!m_manager.FindDict(id)) return;
  CDlgDictInfo info(this);
  info.SetDictId(id);
  info.DoModal();
}

void CDlgDictList::OnSelect() {
  m_result.clear();
  CDictGroup* target = m_manager.GetGroup(m_groupKind);
  htmlview::Element* table = m_html.GetSafeHwnd() ? m_html.GetElement(L"tab_list") : nullptr;
  if (!target || !table || !table->Is(L"table")) return;
  const std::vector<htmlview::Element*> rows = table->Rows();
  for (size_t i = 1; i < rows.size(); ++i) {
    const std::wstring id = rows[i]->Id();
    if (!StartsWithNoCase(id, L"dict_") || id.size() < 13) continue;
    const std::wstring hex = id.substr(5, 8);
    htmlview::Element* box = m_html.GetElement((L"chk_" + hex).c_str());
    const uint32_t dictId = ParseHexId(hex, 0, 8);
    if (box && box->Checked() && target->IndexOf(dictId) == -1) m_result.push_back(dictId);
  }
  EndDialog(IDOK);
}

BOOL CDlgDictList::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_DICTLIST_SELECT && HIWORD(wParam) == BN_CLICKED) {
    OnSelect();
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void CDlgDictList::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_html.GetSafeHwnd()) return;
  CRect cancel, select;
  m_btnCancel.GetWindowRect(&cancel);
  m_btnSelect.GetWindowRect(&select);
  const int top = cy - 8 - cancel.Height();
  const int cancelLeft = cx - 5 - cancel.Width();
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE;
  m_btnCancel.SetWindowPos(nullptr, cancelLeft, top, 0, 0, flags);
  m_btnSelect.SetWindowPos(nullptr, cancelLeft - 10 - select.Width(), top, 0, 0, flags);
  m_html.MoveWindow(0, 0, cx, top - 8);
}

BOOL CDlgDictList::OnEraseBkgnd(CDC* dc) { return EraseAroundPage(dc); }

void CDlgDictList::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 500;
  info->ptMinTrackSize.y = 400;
}
