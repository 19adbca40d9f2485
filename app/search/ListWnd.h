// CListWnd: a small self-painted list of one column of text rows (window
// class "Talvane_ListWnd"). The search bar shows one as a popup under its
// edit with the search history; a chosen row is reported to the owner as
// WM_COMMAND with notification code 1 (from control id 0 in the popup) and
// the list hides itself. Without popup mode the navigation keys select at once.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/framework/Quorfx.h"

// One row: its text and two values for the caller's use.
class CListWndItem {
 public:
  CListWndItem(const wchar_t* text, uint32_t data1, uint32_t data2)
      : m_text(text ? text : L""), m_data1(data1), m_data2(data2) {}
  virtual ~CListWndItem() = default;
  CString m_text;
  uint32_t m_data1;
  uint32_t m_data2;
};

// Registers the window class once; FALSE when it cannot be registered.
BOOL RegisterListWndClass();

class CListWnd : public CWnd {
 public:
  CListWnd();
  ~CListWnd() override;

  // A popup (the style's two top bits become WS_POPUP) owned by owner, id 0.
  bool Create(DWORD style, const RECT& rect, CWnd* owner);

  int AddItem(const wchar_t* text, uint32_t data1, uint32_t data2, bool redraw);
  void ResetContent(bool redraw);
  int GetCount() const { return int(m_items.size()); }
  int GetCurSel() const { return m_nSelected; }
  int GetHover() const { return m_nHover; }
  int GetTopRow() const { return m_nTop; }
  void GetItemText(CString& text, int row) const;
  int GetItemHeight() const { return m_nItemHeight; }

  // Popup mode only: whole rows, at most as many as there are.
  void ShowAt(int x, int y, int width, int height);
  void SetCurSel(int row, bool scroll, bool notify, bool redraw);
  void SetHover(int row, bool scroll, bool redraw);
  void ScrollTo(int offset, int top, bool redraw);
  void EnsureVisible(int row, bool redraw);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Paints the rows that meet update into dc (client coordinates).
  void Paint(CDC& dc, const RECT& update);

  COLORREF m_crText;
  COLORREF m_crBack;
  COLORREF m_crHoverText;
  COLORREF m_crHoverBack;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnPaint();
  afx_msg void OnKillFocus(CWnd* newWnd);
  afx_msg void OnSetFocus(CWnd* oldWnd);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg void OnVScroll(UINT code, UINT pos, CWnd* bar);
  afx_msg int OnMouseActivate(CWnd* top, UINT hitTest, UINT message);
  afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  afx_msg void OnDestroy();
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
  DECLARE_MESSAGE_MAP()

 private:
  int ClampRow(int row) const;
  int PageRows() const;
  int BorderWidth() const { return (GetStyle() & WS_BORDER) ? 2 : 0; }
  void UpdateScrollBar();
  void Choose(int row);  // SetCurSel with scroll, notify and redraw
  void HidePopup();
  void MoveTo(int row);
  void HandleKey(UINT key);

  HWND m_hOwner;
  bool m_bPopup;
  HFONT m_hFont;
  int m_nItemHeight;
  int m_nWidth;
  int m_nSelected;
  int m_nHover;
  int m_nPressed;
  int m_nOffset;
  int m_nTop;
  std::vector<CListWndItem*> m_items;
};
