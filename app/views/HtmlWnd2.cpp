#include "app/views/HtmlWnd2.h"

#include <new>

#include "platform/htmlview/HtmlText.h"

IMPLEMENT_DYNCREATE(CHtmlWnd2, CHtmlView)

BEGIN_MESSAGE_MAP(CHtmlWnd2, CHtmlView)
  ON_WM_DESTROY()
  ON_WM_MOUSEACTIVATE()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHtmlWnd2::CHtmlWnd2() : m_hostHandler(new (std::nothrow) CDocHostHandler) { m_pHostHandler = m_hostHandler.get(); }

CHtmlWnd2::~CHtmlWnd2() {
  // The view must not call a handler that is gone.
  ReleaseBrowser();
}

void CHtmlWnd2::OnDestroy() {
  CHtmlView::OnDestroy();
  m_hDocWnd = nullptr;
}

// Activation is the default window's, not a view's (the views sit in dialogs and popups).
int CHtmlWnd2::OnMouseActivate(CWnd*, UINT, UINT) { return int(Default()); }

BOOL CHtmlWnd2::OnEraseBkgnd(CDC*) { return TRUE; }

void CHtmlWnd2::DocumentComplete(LPCWSTR lpszURL) {
  htmlview::HtmlView* browser = GetBrowser();
  if (!browser || !browser->GetDocument() || !m_pHostHandler) return;
  m_pHostHandler->m_bNo3DBorder = 0;
  m_pHostHandler->SetCommandTarget(browser);
  browser->SetHostHandler(m_pHostHandler);
  m_hDocWnd = browser->Hwnd();
  OnDocumentComplete(lpszURL);
}

htmlview::Element* CHtmlWnd2::GetTextAreaElement(LPCWSTR lpszName, int nIndex) const {
  htmlview::Element* el = GetElement(lpszName, nIndex);
  return el && el->Is(L"textarea") ? el : nullptr;
}

htmlview::Element* CHtmlWnd2::GetSelectElement(LPCWSTR lpszName, int nIndex) const {
  htmlview::Element* el = GetElement(lpszName, nIndex);
  return el && el->Is(L"select") ? el : nullptr;
}

BOOL CHtmlWnd2::SetElementDisplay(LPCWSTR lpszName, LPCWSTR lpszValue) {
  htmlview::Element* el = GetElement(lpszName);
  if (!el) return FALSE;
  el->SetStyle(L"display", lpszValue ? lpszValue : L"");
  return TRUE;
}

BOOL CHtmlWnd2::SetElementAttribute(LPCWSTR lpszElement, LPCWSTR lpszAttribute, LPCWSTR lpszValue) {
  htmlview::Element* el = GetElement(lpszElement);
  if (!el || !lpszAttribute || !*lpszAttribute) return FALSE;
  el->SetAttribute(lpszAttribute, lpszValue ? lpszValue : L"");
  return TRUE;
}

BOOL CHtmlWnd2::SetSelectedIndex(int nNewIndex, LPCWSTR lpszName, int nIndex) {
  htmlview::Element* select = GetSelectElement(lpszName, nIndex);
  return select && select->SetSelectedIndex(nNewIndex);
}

BOOL CHtmlWnd2::GetSelectValue(std::wstring& value, int* pSelectedIndex, LPCWSTR lpszName, int nIndex) {
  value.clear();
  if (pSelectedIndex) *pSelectedIndex = -1;
  htmlview::Element* select = GetSelectElement(lpszName, nIndex);
  if (!select) return FALSE;
  int selected = select->SelectedIndex();
  if (selected < 0) return TRUE;
  std::vector<htmlview::Element*> options = select->Options();
  if (selected >= int(options.size())) return FALSE;
  if (pSelectedIndex) *pSelectedIndex = selected;
  value = options[selected]->Value();
  return TRUE;
}

BOOL CHtmlWnd2::FillSelect(const std::vector<std::wstring>& values, const std::vector<std::wstring>& texts,
                           LPCWSTR lpszName, int nIndex) {
  htmlview::Document* doc = GetHtmlDocument();
  htmlview::Element* select = GetSelectElement(lpszName, nIndex);
  if (!doc || !select) return FALSE;
  for (int i = int(select->Options().size()) - 1; i >= 0; --i) select->RemoveOption(i);
  // A text list shorter than the value list would read past its end.
  size_t count = values.size() < texts.size() ? values.size() : texts.size();
  for (size_t i = 0; i < count; ++i) {
    htmlview::Element* option = doc->CreateElement(L"option");
    if (!option) continue;
    option->SetAttribute(L"value", values[i]);
    option->SetInnerText(texts[i]);
    select->AddOption(option);
  }
  return TRUE;
}

bool CHtmlWnd2::IsTextSelectionType(const std::wstring& type) { return htmlview::EqualsNoCase(type, L"text"); }

BOOL CHtmlWnd2::HasTextSelection() const {
  htmlview::Document* doc = GetHtmlDocument();
  return doc && IsTextSelectionType(doc->SelectionType());
}

BOOL CHtmlWnd2::GetSelectedText(std::wstring& text) {
  text.clear();
  if (!HasTextSelection()) return FALSE;
  text = GetHtmlDocument()->SelectionText();
  return TRUE;
}

HRESULT CHtmlWnd2::ScrollTo(long x, long y) {
  htmlview::Document* doc = GetHtmlDocument();
  if (!doc) return E_FAIL;
  doc->ScrollTo(int(x), int(y));
  return S_OK;
}

BOOL CHtmlWnd2::GetElementViewRect(RECT* pRect, htmlview::Element* pElement) const {
  long scrollLeft, scrollTop, clientWidth, clientHeight;
  if (!pRect || !pElement || !GetBodyScroll(&scrollLeft, &scrollTop, &clientWidth, &clientHeight)) return FALSE;
  long left, top, width, height;
  GetElementOffsetRect(&left, &top, &width, &height, pElement);
  pRect->left = left - scrollLeft;
  pRect->top = top - scrollTop;
  pRect->right = pRect->left + width;
  pRect->bottom = pRect->top + height;
  return TRUE;
}

void CHtmlWnd2::SendToDocumentWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hDocWnd) ::SendMessageW(m_hDocWnd, message, wParam, lParam);
}
