// CResultView: the view bar's HTML view. It loads the page shell "start.htm"
// of the data folder, writes each lookup result into the shell's element
// "main_wnd" and notices into "main_info", posts WM_PAGE_READY (3024) to its
// parent once the shell has loaded, and turns the page's links into messages:
// "dict://command/argument" is posted as WM_APP_LINK (2030) to the parent,
// "app://command/argument" becomes a command or page action of the main
// window or of the parent; "http://" links open in the default browser.
#pragma once

#include <string>

#include "app/views/HtmlWnd2.h"

class CResultView : public CHtmlWnd2 {
 public:
  CResultView();
  ~CResultView() override;

  bool IsReady() const { return m_bReady; }
  // False before the shell has loaded, for null arguments or without "main_wnd".
  bool SetMainHtml(const wchar_t* html, const wchar_t* word, bool scrollTop);
  // Replaces the notice area's content; show false hides it.
  bool SetInfoHtml(const wchar_t* html, bool show);
  void ScrollToElement(const wchar_t* id, bool alignTop);
  void GetStartPageHtml(std::wstring& out);
  // The word of the result last shown (empty for the start page).
  std::wstring GetCurrentWord() const { return m_strWord; }

  // The view bar's context menu for the page; installed on each document with
  // this view as its context.
  void SetContextMenuCallback(PFN_HTML_CONTEXT_MENU pfn) { m_pfnContextMenu = pfn; }

  // The text behind "dict://" and "app://"; both answer 1.
  LRESULT OnDictLink(const std::wstring& rest);
  LRESULT OnAppCommand(const std::wstring& rest);

 protected:
  void OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) override;
  void OnNewWindow2(BOOL* pbCancel) override { *pbCancel = TRUE; }
  void OnDocumentComplete(LPCWSTR lpszURL) override;
  // Opens a web link in the default browser.
  virtual void OpenInBrowser(const std::wstring& url);

 private:
  htmlview::Element* MainElement();

  htmlview::Element* m_pMainWnd = nullptr;  // cached "main_wnd", forgotten with each page
  std::wstring m_strWord;
  bool m_bReady = false;
  PFN_HTML_CONTEXT_MENU m_pfnContextMenu = nullptr;
};

// Replaces every from by to in text.
void ReplaceChar(std::wstring& text, wchar_t from, wchar_t to);
// Removes blanks, tabs, CR and LF at the left end (side -1), both ends (0) or the right end (1).
void TrimWhitespace(std::wstring& text, int side);
