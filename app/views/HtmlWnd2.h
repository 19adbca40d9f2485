// CHtmlWnd2: the base of the program's HTML views (the result view, the guide
// and the popup's view). Each view owns a CDocHostHandler that it installs on
// every new document, keeps the handle of the page's document window (so that
// its owner can forward keys into the page), and reads and changes the page by
// element name. The views are members of their owner windows: they never
// delete themselves. The derived views intercept their links in
// OnBeforeNavigate2 and load their page shell in OnDocumentComplete.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/views/DocHostHandler.h"
#include "app/views/HtmlHost.h"

// The messages the views send and post (their receivers know the same numbers).
// Posted by a view to its parent once its page shell has loaded (wParam 0,
// lParam the view's window).
#ifndef WM_PAGE_READY
#define WM_PAGE_READY 3024
#endif
// A "dict://" link: wParam the command, lParam the argument (wide texts).
#ifndef WM_APP_LINK
#define WM_APP_LINK 2030
#endif
// A page action: wParam the action number, lParam its argument.
#ifndef WM_PAGE_ACTION
#define WM_PAGE_ACTION 2031
#endif

class CHtmlWnd2 : public CHtmlView {
  DECLARE_DYNCREATE(CHtmlWnd2)

 public:
  CHtmlWnd2();
  ~CHtmlWnd2() override;

  HWND m_hDocWnd = nullptr;                      // the page's document window; 0 before the first page
  CDocHostHandler* m_pHostHandler = nullptr;     // owned; null only when it could not be made

  // ---- Elements (by id or name, the index-th of that name) ----
  htmlview::Element* GetElement2(LPCWSTR lpszName, int nIndex = 0) const { return GetElement(lpszName, nIndex); }
  htmlview::Element* GetTextAreaElement(LPCWSTR lpszName, int nIndex = 0) const;
  htmlview::Element* GetSelectElement(LPCWSTR lpszName, int nIndex = 0) const;
  // The element whose inline style the caller reads or writes (GetStyle, SetStyle).
  htmlview::Element* GetElementStyle(LPCWSTR lpszName) const { return GetElement(lpszName); }
  // Sets style "display" ("none" hides, "" shows); false when the element is absent.
  BOOL SetElementDisplay(LPCWSTR lpszName, LPCWSTR lpszValue);
  BOOL SetElementAttribute(LPCWSTR lpszElement, LPCWSTR lpszAttribute, LPCWSTR lpszValue);

  // ---- Select elements ----
  BOOL SetSelectedIndex(int nNewIndex, LPCWSTR lpszName, int nIndex = 0);
  // The selected option's value and index (-1 and an empty value when none is
  // selected, which is a success); false when the select is absent.
  BOOL GetSelectValue(std::wstring& value, int* pSelectedIndex, LPCWSTR lpszName, int nIndex = 0);
  // Replaces the options by one per value (texts must be at least as many).
  BOOL FillSelect(const std::vector<std::wstring>& values, const std::vector<std::wstring>& texts,
                  LPCWSTR lpszName, int nIndex = 0);

  // ---- Selection and scrolling ----
  BOOL GetSelectedText(std::wstring& text);
  BOOL HasTextSelection() const;
  // The selection types the page reports: "Text" (any case) is a text selection.
  static bool IsTextSelectionType(const std::wstring& type);
  HRESULT ScrollTo(long x, long y);
  // The element's page rectangle less the body's scroll position.
  BOOL GetElementViewRect(RECT* pRect, htmlview::Element* pElement) const;

  // ---- The document window ----
  HWND GetDocumentWindow() const { return m_hDocWnd; }
  void SendToDocumentWindow(UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // Installs the host handler on the new document and takes its window, then
  // calls OnDocumentComplete.
  void DocumentComplete(LPCWSTR lpszURL) override;
  void PostNcDestroy() override {}

  afx_msg void OnDestroy();
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);

  DECLARE_MESSAGE_MAP()

 private:
  std::unique_ptr<CDocHostHandler> m_hostHandler;
};
