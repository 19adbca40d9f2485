// CHtmlCtrl2: the HTML page of a dialog. The dialog creates it over the page's
// area, navigates it to "about:blank", and on that document's completion hands
// it its CDocHostHandler (SetHostHandler) and loads its page. The page's events
// (before-navigate, new window, document complete, click, double click, key
// down) go to the sink the dialog sets.
#pragma once

#include <string>

#include "app/views/DocHostHandler.h"
#include "app/views/HtmlHost.h"

class CHtmlCtrl2 : public CHtmlView {
  DECLARE_DYNCREATE(CHtmlCtrl2)

 public:
  CHtmlCtrl2() = default;

  // Navigate2 of the hosted view; the system's callers pass only the URL.
  BOOL Navigate(LPCWSTR lpszURL, DWORD dwFlags = 0, LPCWSTR lpszTargetFrameName = nullptr,
                LPCWSTR lpszHeaders = nullptr, const void* lpvPostData = nullptr, DWORD dwPostDataLen = 0);

  // The document's host handler (menus, keys, host flags); null removes it.
  void SetHostHandler(CDocHostHandler* pHandler);
  // Where the page's events go; null drops them.
  void SetEventSink(htmlview::HtmlViewEvents* pSink) { m_pSink = pSink; }

  // Empties text, then copies the element's id when it has one.
  static void GetElementId(std::wstring& text, htmlview::Element* pElement);
  // Scrolls the element to the top when it starts above the visible part, to
  // the bottom when it ends below it, and leaves a visible element alone.
  void EnsureElementVisible(htmlview::Element* pElement);

 protected:
  void OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) override;
  void OnNewWindow2(BOOL* pbCancel) override;
  void OnDocumentComplete(LPCWSTR lpszURL) override;
  void OnDocumentEvent(htmlview::DocEvent kind, htmlview::Element* pSource, int nKeyCode) override;

 private:
  htmlview::HtmlViewEvents* m_pSink = nullptr;
};
