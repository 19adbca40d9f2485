// CDlgIndex: the index pane at the side of the main window (template 134,
// texts of section "DlgIndex"). A column of tab buttons switches between the
// index word list (CListWord, control 1015) and the guide view (CWebGuide,
// control 137); the Appendix button shows the Index tab. The list's
// notifications reach the main window as lookups: a selection change as
// WM_LOOKUP_REFRESH (2029) without a word, a double click as WM_LOOKUP_WORD
// (2028) with the row's key and the flags 0x124D1.
#pragma once

#include "app/search/ListWord.h"
#include "app/search/SearchRes.h"
#include "app/views/WebGuide.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

class CDictGroup;

// The lookup of a double-clicked word of the index list.
enum : UINT { kLookupFromIndexList = 0x124D1 };

class CDlgIndex : public CDialog {
 public:
  enum { IDD = IDD_DLG_INDEX };
  enum { kTabIndex = 0, kTabGuide = 1, kTabAppendix = 2 };

  explicit CDlgIndex(CWnd* parent = nullptr);
  ~CDlgIndex() override;

  // The tab current afterwards (the Appendix button shows the Index tab).
  int SelectTab(int tab);
  int GetCurrentTab() const { return m_nCurTab; }
  CListWord& GetWordList() { return m_wordList; }
  CWebGuide& GetGuide() { return m_guide; }

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnTabIndex() { SelectTab(kTabIndex); }
  afx_msg void OnTabGuide() { SelectTab(kTabGuide); }
  afx_msg void OnTabAppendix() { SelectTab(kTabAppendix); }
  afx_msg void OnWordSelected();
  afx_msg void OnWordDoubleClicked();
  DECLARE_MESSAGE_MAP()

 private:
  LRESULT OnParentBackground(WPARAM wParam, LPARAM lParam);
  CRect ChildRect(const CWnd& child) const;

  CWebGuide m_guide;
  CListWord m_wordList;
  CGImageButton m_btnIndex;
  CGImageButton m_btnAppendix;
  CGImageButton m_btnGuide;
  CDictGroup* m_pIndexGroup;
  int m_nCurTab;
};
