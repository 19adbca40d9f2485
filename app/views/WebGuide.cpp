#include "app/views/WebGuide.h"

#include "app/views/LinkUrl.h"
#include "app/views/ViewsEnv.h"
#include "core/StrUtil.h"
#include "dict/DictFile.h"
#include "dict/DictInfo.h"
#include "platform/htmlview/HtmlText.h"

IMPLEMENT_DYNCREATE(CWebGuide, CHtmlWnd2)

BEGIN_MESSAGE_MAP(CWebGuide, CHtmlWnd2)
END_MESSAGE_MAP()

namespace {

const wchar_t kGroupTemplate[] =
    L"\t\t\t<div id='group_%s' style='width:100%%; padding:2 4 5 4; font-family:\"%s\"; font-size:%spt; display:%s'>"
    L"\t\t\t\t<div id='title_%s' style='border-bottom:1px solid #92B0DD; padding: 4 0 2 0; color:#666666' nowrap>"
    L"\t\t\t\t\t<b>%s</b>\t\t\t\t</div>\t\t\t\t<div id='list_%s' style='padding: 4 2 0 2'>\t\t\t\t\t%s"
    L"\t\t\t\t</div>\t\t\t</div>";

const wchar_t kRowTemplate[] =
    L"\t\t\t<div nowrap style='width:100%%; text-overflow:ellipsis; overflow: hidden' title='%s' "
    L"class='btn1_mouse_out' onclick=\"window.navigate('%s')\" onmouseover=\"this.className='btn1_mouse_over'\" "
    L"onmouseout=\"this.className='btn1_mouse_out'\" onmousedown=\"this.className='btn1_mouse_down'\" "
    L"onmouseup=\"this.className='btn1_mouse_up'\">\t\t\t\t<img border='0' src='%s' width='16' height='16' "
    L"align='absmiddle'>&nbsp;%s\t\t\t</div>";

// Texts from the text store and from dictionary files go into single-quoted
// attributes and into the page: a quote or "<" in a title must stay text.
std::wstring Escaped(const std::wstring& text) {
  std::wstring out;
  EscapeXmlText(out, text.c_str(), static_cast<uint32_t>(text.size()), false);
  ReplaceAll(out, L"'", L"&#39;");
  return out;
}

void AppendRow(std::wstring& rows, const std::wstring& tooltip, const std::wstring& link, const std::wstring& image,
               const std::wstring& label) {
  std::wstring row;
  FormatWString(row, kRowTemplate, Escaped(tooltip).c_str(), link.c_str(), Escaped(image).c_str(),
                Escaped(label).c_str());
  rows += row;
}

// A row of an action: label and tooltip are items 0 and 1 of its text.
void AppendActionRow(std::wstring& rows, const wchar_t* key, const wchar_t* image, const wchar_t* link) {
  AppendRow(rows, viewsenv::UiText(L"WebGuide", key, 1), link, viewsenv::IconFolder() + image,
            viewsenv::UiText(L"WebGuide", key, 0));
}

std::wstring Group(const wchar_t* name, const wchar_t* display, const std::wstring& rows) {
  std::wstring font = viewsenv::Setting(L"Appearance", L"UITextFont");
  std::wstring size = viewsenv::Setting(L"Appearance", L"UIFontSize");
  std::wstring title = Escaped(viewsenv::UiText(L"WebGuide", name));
  std::wstring html;
  FormatWString(html, kGroupTemplate, name, Escaped(font).c_str(), Escaped(size).c_str(), display, name,
                title.c_str(), name, rows.c_str());
  return html;
}

}  // namespace

CWebGuide::CWebGuide() = default;
CWebGuide::~CWebGuide() = default;

void CWebGuide::OnDocumentComplete(LPCWSTR lpszURL) {
  if (m_pHostHandler) {
    m_pHostHandler->m_bContextMenu = 0;
    m_pHostHandler->m_bDialog = 1;
    m_pHostHandler->m_bAccelerators = 0;
  }
  if (lpszURL && htmlview::EqualsNoCase(lpszURL, L"about:blank")) {
    Navigate2((viewsenv::DataFolder() + L"blank.htm").c_str());
    return;
  }
  BuildPage();
  m_bReady = true;
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PAGE_READY, 0, LPARAM(m_hWnd));
}

void CWebGuide::BuildPage() {
  std::wstring actions, options;
  AppendActionRow(actions, L"TextTranslation", L"trans8.png", L"app://texttranslation/");
  AppendActionRow(actions, L"WebSearch", L"websearch8.png", L"app://websearch/");
  AppendActionRow(options, L"Dictionaries", L"dictlib8.png", L"app://dictionaries/");
  AppendActionRow(options, L"Configuration", L"config8.png", L"app://configuration/");
  AppendActionRow(options, L"Homepage", L"homepage8.png", L"app://homepage/");
  std::wstring page = Group(L"Results", L"none", L"") + Group(L"Actions", L"", actions) +
                      Group(L"Options", L"", options);
  SetElementHtml(L"main", page.c_str());
}

void CWebGuide::FillResults(const std::vector<CDictFile*>& dicts) {
  if (!m_bReady) return;
  std::wstring rows;
  if (dicts.empty()) {
    AppendActionRow(rows, L"Spelling", L"spelling8.png", L"app://results_view/dict_spelling");
  }
  std::wstring language = viewsenv::LanguageCode();
  for (CDictFile* dict : dicts) {
    if (!dict) continue;
    const InfoDescription* description = dict->FindDescription(language.c_str());
    std::wstring title = description ? description->title : std::wstring();
    AppendRow(rows, title, L"app://results_view/dict_" + std::to_wstring(dict->GetId()), dict->GetIconPath(), title);
  }
  SetElementDisplay(L"group_Results", L"");
  SetElementHtml(L"list_Results", rows.c_str());
}

void CWebGuide::ClearResults() {
  SetElementDisplay(L"group_Results", L"none");
  SetElementHtml(L"list_Results", L"");
}

void CWebGuide::OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) {
  if (!lpszURL) return;
  std::wstring rest;
  if (ClassifyPageLink(lpszURL, viewsenv::DataFolder() + L"blank.htm", rest) != PageLink::kApp) return;
  *pbCancel = TRUE;
  std::wstring command, argument;
  SplitLinkCommand(rest, command, argument);
  OnAppCommand(command, argument);
}

LRESULT CWebGuide::OnAppCommand(const std::wstring& command, const std::wstring& argument) {
  CWnd* main = viewsenv::MainWindow();
  if (!m_bReady || !main) return 0;
  struct Route {
    const wchar_t* command;
    UINT message;
    WPARAM wParam;
    bool send;  // sent with the argument, else posted with 0
  };
  static const Route kRoutes[] = {
      {L"configuration", WM_COMMAND, 32776, false},    {L"dictionaries", WM_COMMAND, 32775, false},
      {L"websearch", WM_COMMAND, 32783, false},        {L"results_view", WM_PAGE_ACTION, 145, true},
      {L"help", WM_COMMAND, 32779, false},             {L"homepage", WM_PAGE_ACTION, 168, false},
      {L"community", WM_PAGE_ACTION, 146, false},      {L"texttranslation", WM_PAGE_ACTION, 162, true},
  };
  for (const Route& r : kRoutes) {
    if (command != r.command) continue;
    if (r.send) return main->SendMessage(r.message, r.wParam, LPARAM(argument.c_str()));
    return main->PostMessage(r.message, r.wParam, 0);
  }
  return 0;
}
