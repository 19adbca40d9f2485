#include "app/views/HtmlCtrl2.h"

IMPLEMENT_DYNCREATE(CHtmlCtrl2, CHtmlView)

BOOL CHtmlCtrl2::Navigate(LPCWSTR lpszURL, DWORD, LPCWSTR, LPCWSTR, const void*, DWORD) { return Navigate2(lpszURL); }

void CHtmlCtrl2::SetHostHandler(CDocHostHandler* pHandler) {
  if (htmlview::HtmlView* browser = GetBrowser()) {
    if (pHandler) pHandler->SetCommandTarget(browser);
    browser->SetHostHandler(pHandler);
  }
}

void CHtmlCtrl2::GetElementId(std::wstring& text, htmlview::Element* pElement) {
  text.clear();
  if (pElement) text = pElement->Id();
}

void CHtmlCtrl2::EnsureElementVisible(htmlview::Element* pElement) {
  long scrollLeft, scrollTop, clientWidth, clientHeight;
  if (!pElement || !GetBodyScroll(&scrollLeft, &scrollTop, &clientWidth, &clientHeight)) return;
  long left, top, width, height;
  GetElementOffsetRect(&left, &top, &width, &height, pElement);
  if (top < scrollTop) {
    pElement->ScrollIntoView(true);
  } else if (top + height > scrollTop + clientHeight) {
    pElement->ScrollIntoView(false);
  }
}

void CHtmlCtrl2::OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) {
  if (!m_pSink) return;
  bool cancel = false;
  m_pSink->OnBeforeNavigate(lpszURL, &cancel);
  if (cancel) *pbCancel = TRUE;
}

void CHtmlCtrl2::OnNewWindow2(BOOL* pbCancel) {
  *pbCancel = TRUE;
  if (m_pSink) m_pSink->OnNewWindow();
}

void CHtmlCtrl2::OnDocumentComplete(LPCWSTR lpszURL) {
  if (m_pSink) m_pSink->OnDocumentComplete(lpszURL);
}

void CHtmlCtrl2::OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* pSource, int nKeyCode) {
  if (m_pSink) m_pSink->OnDocumentEvent(kind, pSource, nKeyCode);
}
