#include "app/views/WebViewQ.h"

#include <algorithm>

#include "app/views/LinkUrl.h"
#include "app/views/ViewsEnv.h"
#include "platform/htmlview/HtmlText.h"

using htmlview::EqualsNoCase;

IMPLEMENT_DYNCREATE(CWebViewQ, CHtmlWnd2)

BEGIN_MESSAGE_MAP(CWebViewQ, CHtmlWnd2)
END_MESSAGE_MAP()

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

namespace {

// What a window's frame (its edges, not its scroll bars) adds to its client size.
SIZE FrameOf(HWND window) {
  RECT rect = {0, 0, 0, 0};
  if (!window) return {0, 0};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL);
  AdjustWindowRectEx(&rect, style, FALSE, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

bool CWebViewQ::ShowHtml(int& width, int& height, const wchar_t* html, const wchar_t* word, bool scrollTop,
                         SIZE limit) {
  width = height = 0;
  if (!m_bReady) return false;
  ExecWB(htmlview::Command::kClearSelection);
  m_strWord = word ? word : L"";
  htmlview::Document* doc = GetHtmlDocument();
  htmlview::Element* main = GetElement(L"main");
  if (!doc || !main || !GetBody()) return false;
  main->SetInnerHtml(html ? html : L"");
  // The page lies inside the view's frame and its document window's (the
  // sunken edge): measured as the page alone, the view was a few pixels
  // short each way, and a page of two lines got a scroll bar and lost the
  // ends of its lines under it.
  const SIZE outer = FrameOf(m_hWnd), inner = FrameOf(GetDocumentWindow());
  const SIZE frame = {outer.cx + inner.cx, outer.cy + inner.cy};
  // Measured on a page of its own size, not the view's: a size taken from
  // the page as it stands followed the last popup's, and every capture
  // narrowed the popup a little more.
  const int viewWidth = doc->ViewportWidth(), viewHeight = doc->ViewportHeight();
  const int pageWidth = std::max<int>(limit.cx - frame.cx, 1), pageHeight = std::max<int>(limit.cy - frame.cy, 1);
  doc->SetViewport(pageWidth, pageHeight);
  const int natural = main->OffsetLeft() + main->MaxContentWidth();
  int w = std::min(natural, pageWidth);
  doc->SetViewport(w, pageHeight);
  int h = main->OffsetTop() + main->ScrollHeight();
  if (h > pageHeight) {
    // Cut at the limit: the scroll bar comes beside the page, within the limit.
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    w = std::min(natural, std::max(pageWidth - bar, 1)) + bar;
    h = pageHeight;
  }
  doc->SetViewport(viewWidth, viewHeight);
  if (scrollTop) main->ScrollIntoView(true);
  width = w + frame.cx;
  height = h + frame.cy;
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
