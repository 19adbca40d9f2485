// CWebViewQ: the HTML view of the cursor-translation popup. It loads the page
// shell "start.htm" of the data folder, writes the popup's content into the
// shell's element "main" and measures it so that the popup can size itself,
// posts WM_PAGE_READY (3024) to the popup once the shell has loaded, and hands
// the page's "dict://" and "app://" links to the popup (or the main window).
// Every other navigation is cancelled.
#pragma once

#include <string>

#include "app/views/HtmlWnd2.h"

class CWebViewQ : public CHtmlWnd2 {
  DECLARE_DYNCREATE(CWebViewQ)

 public:
  CWebViewQ();
  ~CWebViewQ() override;

  bool IsReady() const { return m_bReady; }
  // Shows html and reports the view size that shows the page whole within
  // `limit`: the page's frame around the width of its longest line unwrapped,
  // at most the limit (where it wraps), and its height at that width, at most
  // the limit; a page cut there scrolls, its scroll bar beside the text. The
  // size follows from the content alone, never from the view's size now.
  // False with both 0 before the shell has loaded or without the element
  // "main".
  bool ShowHtml(int& width, int& height, const wchar_t* html, const wchar_t* word, bool scrollTop, SIZE limit);
  std::wstring GetCurrentWord() const { return m_strWord; }

  // The text behind "dict://" and "app://"; both answer 1.
  LRESULT OnDictLink(const std::wstring& rest);
  LRESULT OnAppCommand(const std::wstring& rest);

 protected:
  void OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) override;
  void OnNewWindow2(BOOL* pbCancel) override { *pbCancel = TRUE; }
  void OnDocumentComplete(LPCWSTR lpszURL) override;

  DECLARE_MESSAGE_MAP()

 private:
  std::wstring m_strWord;
  bool m_bReady = false;
};
