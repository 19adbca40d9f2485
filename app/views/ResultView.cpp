#include "app/views/ResultView.h"

#include <shellapi.h>

#include <algorithm>

#include "app/views/LinkUrl.h"
#include "app/views/ViewsEnv.h"
#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "platform/htmlview/HtmlText.h"

using htmlview::EqualsNoCase;
using htmlview::StartsWithNoCase;

namespace {

// Where the last "dict://" link's command and argument live: the posted
// message points into them, so they outlive the call.
std::wstring& LinkCommand() {
  static std::wstring text;
  return text;
}
std::wstring& LinkArgument() {
  static std::wstring text;
  return text;
}

void PostToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  if (CWnd* main = viewsenv::MainWindow()) main->PostMessage(message, wParam, lParam);
}

LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* main = viewsenv::MainWindow();
  return main ? main->SendMessage(message, wParam, lParam) : 0;
}

}  // namespace

void ReplaceChar(std::wstring& text, wchar_t from, wchar_t to) { std::replace(text.begin(), text.end(), from, to); }

void TrimWhitespace(std::wstring& text, int side) { TrimWString(text, L" \t\r\n", side); }

CResultView::CResultView() = default;
CResultView::~CResultView() = default;

htmlview::Element* CResultView::MainElement() {
  if (!m_pMainWnd) m_pMainWnd = GetElement(L"main_wnd");
  return m_pMainWnd;
}

bool CResultView::SetMainHtml(const wchar_t* html, const wchar_t* word, bool scrollTop) {
  if (!m_bReady || !html || !word) return false;
  htmlview::Element* main = MainElement();
  if (!main) return false;
  ExecWB(htmlview::Command::kClearSelection);
  m_strWord = word;
  main->SetInnerHtml(html);
  if (scrollTop) ScrollTo(0, 0);
  return true;
}

bool CResultView::SetInfoHtml(const wchar_t* html, bool show) {
  if (!m_bReady) return false;
  ExecWB(htmlview::Command::kClearSelection);
  SetElementHtml(L"main_info", html ? html : L"");
  return SetElementDisplay(L"main_info", show ? L"" : L"none") != FALSE;
}

void CResultView::ScrollToElement(const wchar_t* id, bool alignTop) {
  if (!m_bReady) return;
  if (htmlview::Element* el = GetElement(id)) el->ScrollIntoView(alignTop);
}

void CResultView::GetStartPageHtml(std::wstring& out) {
  out.clear();
  viewsenv::FillUpdateTemplate(out, L"content");
  if (!out.empty()) return;
  out = viewsenv::UiText(L"WebStartPage", L"StartPageTpl");
  ReplaceAll(out, L"[$ImgPath]", viewsenv::ImageFolder().c_str());
}

void CResultView::OnDocumentComplete(LPCWSTR lpszURL) {
  // The old page's elements went with it.
  m_pMainWnd = nullptr;
  m_strWord.clear();
  if (m_pHostHandler) {
    m_pHostHandler->m_bDialog = 0;
    m_pHostHandler->m_bAccelerators = 0;
    m_pHostHandler->m_bAllowFind = 1;
    m_pHostHandler->m_bAllowPrint = 1;
    m_pHostHandler->m_bContextMenu = 1;
    m_pHostHandler->SetContextMenuHandler(m_pfnContextMenu, this);
  }
  if (lpszURL && EqualsNoCase(lpszURL, L"about:blank")) {
    Navigate2(viewsenv::StartPage().c_str());
    return;
  }
  std::wstring start;
  GetStartPageHtml(start);
  SetElementHtml(L"main_wnd", start.c_str());
  m_bReady = true;
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PAGE_READY, 0, LPARAM(m_hWnd));
}

void CResultView::OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) {
  if (!lpszURL) return;
  std::wstring rest;
  switch (ClassifyPageLink(lpszURL, viewsenv::StartPage(), rest)) {
    case PageLink::kDict:
      *pbCancel = TRUE;
      OnDictLink(rest);
      break;
    case PageLink::kApp:
      *pbCancel = TRUE;
      OnAppCommand(rest);
      break;
    case PageLink::kStartPage:
      m_pMainWnd = nullptr;  // the document is being replaced
      break;
    case PageLink::kOther:
      *pbCancel = TRUE;
      if (StartsWithNoCase(rest, L"http://")) OpenInBrowser(rest);
      break;
  }
}

void CResultView::OpenInBrowser(const std::wstring& url) {
  ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CResultView::OnDictLink(const std::wstring& rest) {
  SplitLinkCommand(rest, LinkCommand(), LinkArgument());
  if (CWnd* parent = GetParent()) {
    parent->PostMessage(WM_APP_LINK, WPARAM(LinkCommand().c_str()), LPARAM(LinkArgument().c_str()));
  }
  return 1;
}

LRESULT CResultView::OnAppCommand(const std::wstring& rest) {
  std::wstring command, argument;
  SplitLinkCommand(rest, command, argument);
  CWnd* parent = GetParent();
  struct Posted {
    const wchar_t* command;
    UINT message;
    WPARAM wParam;
  };
  static const Posted kToMainWindow[] = {
      {L"configuration", WM_COMMAND, 32776}, {L"dictionaries", WM_COMMAND, 32775}, {L"websearch", WM_COMMAND, 32783},
      {L"help", WM_COMMAND, 32779},          {L"homepage", WM_PAGE_ACTION, 168},  {L"downdict", WM_PAGE_ACTION, 164},
  };
  for (const Posted& p : kToMainWindow) {
    if (command == p.command) {
      PostToMainWindow(p.message, p.wParam, 0);
      return 1;
    }
  }
  if (command == L"texttranslation") {
    SendToMainWindow(WM_PAGE_ACTION, 162, LPARAM(argument.c_str()));
  } else if (command == L"bug") {
    SendToMainWindow(WM_PAGE_ACTION, 169, LPARAM(argument.c_str()));
  } else if (command == L"startpage") {
    if (parent) parent->PostMessage(WM_COMMAND, 1129, 0);
  } else if (command == L"dictmenu" || command == L"hidemeaning") {
    uint32_t a = 0, b = 0;
    if (!parent || !ParseNumberPair(argument, &a, &b)) return 1;
    if (command == L"hidemeaning") {
      uint32_t record[4] = {b, a, 0, 0};
      parent->SendMessage(WM_PAGE_ACTION, 156, LPARAM(record));
      return 1;
    }
    RECT rect;
    if (!GetElementViewRect(&rect, GetElement((L"dict_head_" + std::to_wstring(a)).c_str()))) return 1;
    POINT topLeft = {rect.left, rect.top}, bottomRight = {rect.right, rect.bottom};
    ::ClientToScreen(m_hDocWnd, &topLeft);
    ::ClientToScreen(m_hDocWnd, &bottomRight);
    uint32_t record[4] = {uint32_t(topLeft.x), a, b, uint32_t(bottomRight.y)};
    parent->SendMessage(WM_PAGE_ACTION, 150, LPARAM(record));
  }
  return 1;
}
