// CListWord: the index word list (window class "Talvane_ListWord"), a
// virtual list of every key of one dictionary of the index group, in the
// dictionary's key order. It stores no rows: each visible row's text is read
// from the dictionary while painting. It reports to its parent by WM_COMMAND
// with code 1 (selection changed) and code 2 (double click). The search edit
// posts Page Up, Page Down, Up and Down to it, so the list follows the
// keyboard while the focus stays in the edit.
#pragma once

#include <cstdint>

#include "platform/framework/Quorfx.h"

class CDictFile;

// Registers the window class once (before the index pane's template is
// instantiated); FALSE when it cannot be registered.
BOOL RegisterListWordClass();

class CListWord : public CWnd {
 public:
  CListWord();
  ~CListWord() override;

  // dict must not be null; the list never owns it.
  void SetSource(CDictFile* dict, uint32_t position, uint32_t selection);
  CDictFile* GetSource() const { return m_pSource; }
  uint32_t GetSourceId() const { return m_nSourceId; }
  int GetSourceIndex() const { return m_nSourceIndex; }
  int GetSelection() const { return m_nSelected; }
  int GetTopRow() const { return m_nTop; }
  int GetItemHeight() const { return m_nItemHeight; }
  void SetSelection(int row, bool redraw, bool notify);
  // Makes row the top row as far as the rows allow.
  void EnsureVisible(int offset, int row, bool redraw);
  int GetVisibleRows() const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Paints the rows that meet update into dc (client coordinates).
  void Paint(CDC& dc, const RECT& update);

  COLORREF m_crText;
  COLORREF m_crBack;
  COLORREF m_crSelText;
  COLORREF m_crSelBack;

 protected:
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnPaint();
  afx_msg int OnMouseActivate(CWnd* top, UINT hitTest, UINT message);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnRButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnVScroll(UINT code, UINT pos, CWnd* bar);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  int KeyCount() const;
  void NotifyChosen();  // code 2 to the parent: a double click or Enter
  int ClampRow(int row) const;
  void UpdateScrollBar();
  void InvalidateWithScrollBar();  // the rows and the scroll bar, drawn by the next paint
  void SelectAt(CPoint point);
  void TakeParentFont();

  int m_nItemHeight;
  int m_nWidth;
  CDictFile* m_pSource;
  uint32_t m_nSourceId;
  int m_nSourceIndex;
  int m_nOffset;
  int m_nTop;
  int m_nSelected;
  HFONT m_hFont;
  bool m_bTakeParentFont;
};
