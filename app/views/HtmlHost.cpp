#include "app/views/HtmlHost.h"

IMPLEMENT_DYNCREATE(CHtmlView, CWnd)

namespace {
// The id a view's pane carries inside its frame.
constexpr UINT kBrowserId = 0xE900;
}  // namespace

BEGIN_MESSAGE_MAP(CHtmlView, CWnd)
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CHtmlView::CHtmlView() = default;

CHtmlView::~CHtmlView() {
  // The view's window is a child of ours: it goes first.
  m_pBrowser.reset();
}

BOOL CHtmlView::Create(LPCWSTR, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       void*) {
  if (m_hWnd || !CWnd::Create(nullptr, lpszWindowName, dwStyle | WS_CLIPCHILDREN, rect, pParentWnd, nID)) {
    return FALSE;
  }
  auto browser = std::make_unique<htmlview::HtmlView>();
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (!browser->Create(m_hWnd, client, kBrowserId, WS_CHILD | WS_VISIBLE)) {
    DestroyWindow();
    return FALSE;
  }
  browser->SetEvents(&m_events);
  m_pBrowser = std::move(browser);
  return TRUE;
}

void CHtmlView::ReleaseBrowser() { m_pBrowser.reset(); }

BOOL CHtmlView::Navigate2(LPCWSTR lpszURL) {
  return m_pBrowser && lpszURL && m_pBrowser->Navigate2(lpszURL);
}

BOOL CHtmlView::ExecWB(htmlview::Command command) { return m_pBrowser && m_pBrowser->Exec(command); }

htmlview::Document* CHtmlView::GetHtmlDocument() const { return m_pBrowser ? m_pBrowser->GetDocument() : nullptr; }

std::vector<htmlview::Element*> CHtmlView::GetAllCollection() const {
  htmlview::Document* doc = GetHtmlDocument();
  return doc ? doc->All() : std::vector<htmlview::Element*>();
}

htmlview::Element* CHtmlView::GetElement(LPCWSTR lpszName, int nIndex) const {
  htmlview::Document* doc = GetHtmlDocument();
  if (!doc || !lpszName) return nullptr;
  return doc->GetItem(lpszName, nIndex);
}

htmlview::Element* CHtmlView::GetBody() const {
  htmlview::Document* doc = GetHtmlDocument();
  return doc ? doc->Body() : nullptr;
}

BOOL CHtmlView::SetElementHtml(LPCWSTR lpszName, LPCWSTR lpszHtml) {
  htmlview::Element* el = lpszHtml ? GetElement(lpszName) : nullptr;
  if (!el) return FALSE;
  el->SetInnerHtml(lpszHtml);
  return TRUE;
}

BOOL CHtmlView::GetBodyScroll(long* pScrollLeft, long* pScrollTop, long* pClientWidth, long* pClientHeight) const {
  *pScrollLeft = *pScrollTop = *pClientWidth = *pClientHeight = 0;
  htmlview::Element* body = GetBody();
  if (!body) return FALSE;
  *pScrollLeft = body->ScrollLeft();
  *pScrollTop = body->ScrollTop();
  *pClientWidth = body->ClientWidth();
  *pClientHeight = body->ClientHeight();
  return TRUE;
}

void CHtmlView::GetElementOffsetRect(long* pLeft, long* pTop, long* pWidth, long* pHeight,
                                     htmlview::Element* pElement) {
  *pLeft = *pTop = *pWidth = *pHeight = 0;
  if (!pElement) return;
  *pWidth = pElement->OffsetWidth();
  *pHeight = pElement->OffsetHeight();
  for (htmlview::Element* el = pElement; el; el = el->OffsetParent()) {
    *pLeft += el->OffsetLeft();
    *pTop += el->OffsetTop();
  }
}

void CHtmlView::OnBeforeNavigate2(LPCWSTR, BOOL*) {}
void CHtmlView::OnNewWindow2(BOOL*) {}
void CHtmlView::DocumentComplete(LPCWSTR lpszURL) { OnDocumentComplete(lpszURL); }
void CHtmlView::OnDocumentComplete(LPCWSTR) {}
void CHtmlView::OnDocumentEvent(htmlview::DocEvent, htmlview::Element*, int) {}

void CHtmlView::OnSize(UINT, int cx, int cy) {
  if (m_pBrowser && m_pBrowser->Hwnd()) ::MoveWindow(m_pBrowser->Hwnd(), 0, 0, cx, cy, TRUE);
}

void CHtmlView::OnSetFocus(CWnd*) {
  if (m_pBrowser && m_pBrowser->Hwnd()) ::SetFocus(m_pBrowser->Hwnd());
}

void CHtmlView::OnDestroy() {
  ReleaseBrowser();
  Default();
}

void CHtmlView::Events::OnBeforeNavigate(const std::wstring& url, bool* cancel) {
  BOOL bCancel = FALSE;
  owner_->OnBeforeNavigate2(url.c_str(), &bCancel);
  if (bCancel) *cancel = true;
}

void CHtmlView::Events::OnDocumentComplete(const std::wstring& url) { owner_->DocumentComplete(url.c_str()); }

void CHtmlView::Events::OnNewWindow() {
  BOOL bCancel = TRUE;
  owner_->OnNewWindow2(&bCancel);
}

void CHtmlView::Events::OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* source, int keyCode) {
  owner_->OnDocumentEvent(kind, source, keyCode);
}
