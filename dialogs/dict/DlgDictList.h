// CDlgDictList: the picker of installed dictionaries for the index or grab
// group. Members of the query group that the target group may take are
// listed with a check box; members of the target group are shown checked and
// greyed. Select returns the ids newly checked; a double click on a row opens
// the dictionary's information through an "app://dictinfo/<hex id>" link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dict/DictHtmlDialog.h"

class CDlgDictList : public CDictHtmlDialog {
 public:
  explicit CDlgDictList(CWnd* parent = nullptr);

  CButton m_btnSelect;
  CButton m_btnCancel;
  int32_t m_groupKind = 2;          // the target group, set before DoModal
  std::vector<uint32_t> m_result;   // filled by Select

  // The page's HTML for the target group; empty when the manager has none.
  std::wstring BuildHtml();
  // Select: reads the checked boxes back from the page and closes with IDOK.
  void OnSelect();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnPageLoaded(const std::wstring& url) override;
  void OnBeforeNavigate(const std::wstring& url, bool* cancel) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  DECLARE_MESSAGE_MAP()
};
