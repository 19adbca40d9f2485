#include "app/views/WebViewQ.h"

#include "app/views/LinkUrl.h"
#include "app/views/ViewsEnv.h"
#include "platform/htmlview/HtmlText.h"

using htmlview::EqualsNoCase;

IMPLEMENT_DYNCREATE(CWebViewQ, CHtmlWnd2)

BEGIN_MESSAGE_MAP(CWebViewQ, CHtmlWnd2)
END_MESSAGE_MAP()

namespace {

// Content this much wider than the popup's page is not followed.
constexpr int kMaxExtraWidth = 200;

}  // namespace

CWebViewQ::CWebViewQ() = default;
CWebViewQ::~CWebViewQ() = default;

void CWebViewQ::OnDocumentComplete(LPCWSTR lpszURL) {
  m_strWord.clear();
  if (m_pHostHandler) {
    m_pHostHandler->m_bDialog = 0;
    m_pHostHandler->m_bAccelerators = 0;
    m_pHostHandler->m_bAllowFind = 0;
    m_pHostHandler->m_bAllowPrint = 0;
  }
  if (lpszURL && EqualsNoCase(lpszURL, L"about:blank")) {
    Navigate2(viewsenv::StartPage().c_str());
    return;
  }
  if (htmlview::Element* main = GetElement(L"main")) main->SetStyleColor(L"backgroundColor", 0xFFFFFF);
  m_bReady = true;
  if (CWnd* parent = GetParent()) parent->PostMessage(WM_PAGE_READY, 0, LPARAM(m_hWnd));
}

bool CWebViewQ::ShowHtml(int& width, int& height, const wchar_t* html, const wchar_t* word, bool scrollTop) {
  width = height = 0;
  if (!m_bReady) return false;
  ExecWB(htmlview::Command::kClearSelection);
  m_strWord = word ? word : L"";
  htmlview::Element* main = GetElement(L"main");
  htmlview::Element* body = GetBody();
  if (!main || !body) return false;
  main->SetInnerHtml(html ? html : L"");
  if (scrollTop) main->ScrollIntoView(true);
  int w = main->ScrollWidth(), h = main->ScrollHeight();
  int bodyWidth = body->ClientWidth(), bodyHeight = body->ClientHeight();
  if (w - bodyWidth > kMaxExtraWidth) w = bodyWidth;
  // A scroll bar will appear beside content taller than the page.
  if (bodyHeight < h) w += GetSystemMetrics(SM_CXVSCROLL);
  width = w;
  height = h;
  return true;
}

void CWebViewQ::OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) {
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
      break;
    case PageLink::kOther:
      *pbCancel = TRUE;  // the popup opens nothing else
      break;
  }
}

LRESULT CWebViewQ::OnDictLink(const std::wstring& rest) {
  // Sent, not posted: the texts need only live through the call.
  std::wstring command, argument;
  SplitLinkCommand(rest, command, argument);
  if (CWnd* parent = GetParent()) parent->SendMessage(WM_APP_LINK, WPARAM(command.c_str()), LPARAM(argument.c_str()));
  return 1;
}

LRESULT CWebViewQ::OnAppCommand(const std::wstring& rest) {
  std::wstring command, argument;
  SplitLinkCommand(rest, command, argument);
  CWnd* main = viewsenv::MainWindow();
  CWnd* parent = GetParent();
  if (command == L"configuration" || command == L"dictionaries" || command == L"help") {
    WPARAM id = command == L"configuration" ? 32776 : command == L"dictionaries" ? 32775 : 32779;
    if (main) main->PostMessage(WM_COMMAND, id, 0);
  } else if (command == L"downdict") {
    if (main) main->PostMessage(WM_PAGE_ACTION, 164, 0);
  } else if (command == L"websearch" || command == L"texttranslation") {
    if (parent) parent->SendMessage(WM_PAGE_ACTION, command == L"websearch" ? 32783 : 162, LPARAM(argument.c_str()));
  } else if (command == L"hidemeaning") {
    uint32_t record[2] = {0, 0};
    if (parent && ParseNumberPair(argument, &record[0], &record[1])) {
      parent->SendMessage(WM_PAGE_ACTION, 156, LPARAM(record));
    }
  }
  return 1;
}
