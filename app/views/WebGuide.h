// CWebGuide: the HTML view on the index pane's Guide tab. It loads the page
// shell "blank.htm" of the data folder and builds three groups of clickable
// rows in its element "main": "Results" (the dictionaries that answered the
// last lookup, or a spelling row), "Actions" and "Options". Each row is an
// "app://command/argument" link that the view turns into a command or page
// action of the main window. It posts WM_PAGE_READY (3024) to its parent once
// the page is built.
#pragma once

#include <string>
#include <vector>

#include "app/views/HtmlWnd2.h"

class CDictFile;

class CWebGuide : public CHtmlWnd2 {
  DECLARE_DYNCREATE(CWebGuide)

 public:
  CWebGuide();
  ~CWebGuide() override;

  bool IsReady() const { return m_bReady; }
  // One row per dictionary in list order, or the spelling row for an empty
  // list; shows the group. Nothing before the page is ready.
  void FillResults(const std::vector<CDictFile*>& dicts);
  // Hides the "Results" group and empties its list.
  void ClearResults();
  // A command word of the page's links; 0 when not ready or unknown, else the
  // result of posting or sending it to the main window.
  LRESULT OnAppCommand(const std::wstring& command, const std::wstring& argument);

 protected:
  void OnBeforeNavigate2(LPCWSTR lpszURL, BOOL* pbCancel) override;
  void OnNewWindow2(BOOL* pbCancel) override { *pbCancel = TRUE; }
  void OnDocumentComplete(LPCWSTR lpszURL) override;

  DECLARE_MESSAGE_MAP()

 private:
  void BuildPage();

  bool m_bReady = false;
};
