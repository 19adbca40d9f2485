#include "dialogs/dict/DlgDictInfo.h"

#include "core/StrUtil.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DictGroupPage.h"
#include "dict/DictFile.h"
#include "dict/DictHost.h"
#include "dict/DictManager.h"

namespace {

const wchar_t kSection[] = L"DlgDictInfo";
// Characters of a run without a blank that fit the narrowest page in the
// heading's font.
constexpr size_t kLongestRun = 24;

const wchar_t kFullRowTemplate[] =
    L"<div style='padding: 7 0 7 0; border-top: 1px solid #A0BDDF; font-size: 8pt;'><b>%s:</b>&nbsp; %s</div>";

const wchar_t kPairRowTemplate[] =
    L"<tr><td width='50%%' style='font-size:8pt; color:#366AB3'><b>%s:</b>&nbsp; %s</td><td width='50%%' "
    L"style='font-size:8pt; color:#366AB3'><b>%s:</b>&nbsp; %s</td></tr>";

const wchar_t kPageTemplate[] =
    L"\t\t\t<table id='tab_info' border='0' width='100%%' height='100%%' cellspacing='0' "
    L"cellpadding='0'>\t\t\t\t<tr>\t\t\t\t\t<td style='color:#1A4177; padding:5; "
    L"background-color:#EBF1FA'>\t\t\t\t\t\t<div style='font-size: 10pt; line-height: 1.2em'><img border='0' "
    L"src='%s' width='16' height='16' align='absmiddle'> <b>%s</b></div>\t\t\t\t\t</td>\t\t\t\t</tr>\t\t\t\t<tr "
    L"height='100%%'>\t\t\t\t\t<td>\t\t\t\t\t\t<div style='width:100%%; height:100%%; overflow: auto; padding:0 "
    L"10 0 10; border-top: 1px solid #A0BDDF; border-bottom: 1px solid #A0BDDF;'>\t\t\t\t\t\t<table border='0' "
    L"width='100%%' cellpadding='2' style='border-top: 1px solid #A0BDDF; border-left: 1px solid #A0BDDF; "
    L"border-right: 1px solid #A0BDDF; border-collapse:collapse; margin: 10 0 0 0' "
    L"bgcolor='#FFFFDD'>\t\t\t\t\t\t%s\t\t\t\t\t\t</table>\t\t\t\t\t\t%s\t\t\t\t\t\t</div>\x3000\t\t\t\t</td>"
    L"\t\t\t\t</tr>\t\t\t</table>";

}  // namespace

std::wstring BuildDictInfoHtml(CDictFile& dict) {
  const InfoDescription* description = dict.FindDescription(DictHost().GetUiLanguageCode().c_str());
  const InfoDescription empty;
  const InfoDescription& r = description ? *description : empty;

  // The page's width follows the longest unbroken run of its text: a longer
  // one would push the right column out of the window. The heading, above the
  // scrolled part, stays short as well.
  const std::wstring title = ShortenText(r.title, std::wstring::npos, kLongestRun);
  const std::wstring heading = ShortenText(r.title, 128, kLongestRun);
  std::wstring fullRows, row;
  auto addFull = [&](const wchar_t* key, const std::wstring& value, bool always) {
    if (value.empty() && !always) return;
    FormatWString(row, kFullRowTemplate, DlgText(kSection, key).c_str(), PageText(value).c_str());
    fullRows += row;
  };
  addFull(L"DictTitle", title, true);
  addFull(L"DictEdition", r.edition, false);
  addFull(L"DictDescription", r.description, false);
  addFull(L"PubAuthor", r.author, false);
  addFull(L"PubEmail", r.email, false);
  addFull(L"PubWebsite", r.website, false);
  addFull(L"PubCopyright", r.copyright, false);

  const DictInfoRecord* record = dict.GetInfo().GetRecord();
  const DictInfoRecord none;
  const DictInfoRecord& info = record ? *record : none;
  std::wstring pairRows;
  auto addPair = [&](const wchar_t* key1, const std::wstring& value1, const wchar_t* key2, const std::wstring& value2) {
    FormatWString(row, kPairRowTemplate, DlgText(kSection, key1).c_str(), PageText(value1).c_str(),
                  DlgText(kSection, key2).c_str(), PageText(value2).c_str());
    pairRows += row;
  };
  std::wstring id;
  FormatWString(id, L"%lu", static_cast<unsigned long>(dict.GetId()));
  addPair(L"Version", info.version, L"ID", id);
  addPair(L"Date", info.date, L"GlsCount", IntToWString(info.glossaryCount, 10));
  addPair(L"Update", info.update, L"IndexCount", IntToWString(info.keyCount, 10));

  std::wstring page;
  FormatWString(page, kPageTemplate, dict.GetIconPath().c_str(), PageText(heading).c_str(), pairRows.c_str(),
                fullRows.c_str());
  return page;
}

BEGIN_MESSAGE_MAP(CDlgDictInfo, CDialog)
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CDlgDictInfo::CDlgDictInfo(CWnd* parent) : CDictHtmlDialog(IDD_DICT_INFO, parent, IDC_DICTINFO_BROWSER) {}

void CDlgDictInfo::SetDictId(uint32_t id) {
  if (!m_hWnd) m_dictId = id;
}

BOOL CDlgDictInfo::OnInitDialog() {
  m_btnClose.SubclassDlgItem(IDOK, this);
  InitCommon(kSection);
  m_btnClose.SetWindowText(DlgText(kSection, L"Close").c_str());
  CreateBrowser();
  FinishInit();
  return TRUE;
}

void CDlgDictInfo::OnPageLoaded(const std::wstring&) {
  CDictFile* dict = m_manager.FindDict(m_dictId);
  if (dict) m_html.SetElementHtml(L"main", BuildDictInfoHtml(*dict).c_str());
}

void CDlgDictInfo::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (!m_html.GetSafeHwnd()) return;
  CRect close;
  m_btnClose.GetWindowRect(&close);
  const int top = cy - 8 - close.Height();
  m_btnClose.SetWindowPos(nullptr, cx - 5 - close.Width(), top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  m_html.MoveWindow(0, 0, cx, top - 8);
}

BOOL CDlgDictInfo::OnEraseBkgnd(CDC* dc) { return EraseAroundPage(dc); }

void CDlgDictInfo::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = 400;
  info->ptMinTrackSize.y = 400;
}
