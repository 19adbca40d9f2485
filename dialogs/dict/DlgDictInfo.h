// CDlgDictInfo: the properties of one installed dictionary as an HTML page:
// icon and title, version, id, date, glossary and index counts, and its
// descriptive texts in the user-interface language.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dict/DictHtmlDialog.h"

class CDictFile;

class CDlgDictInfo : public CDictHtmlDialog {
 public:
  explicit CDlgDictInfo(CWnd* parent = nullptr);

  // Before DoModal; ignored once the window exists.
  void SetDictId(uint32_t id);
  uint32_t GetDictId() const { return m_dictId; }

  CButton m_btnClose;

 protected:
  BOOL OnInitDialog() override;
  void OnPageLoaded(const std::wstring& url) override;

  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  DECLARE_MESSAGE_MAP()

 private:
  uint32_t m_dictId = 0xFFFFFFFF;
};

// The information page of a dictionary.
std::wstring BuildDictInfoHtml(CDictFile& dict);
