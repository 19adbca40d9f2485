// CGSplitterBar: a thin bar between two sibling panes that the user drags
// (window class "Talvane_SplitterBar"). A vertical bar moves left and right
// between a left and a right pane, a horizontal one up and down. While
// dragging it shows an inverted tracker in the parent; on release it moves,
// resizes both panes to touch it and sends WM_SPLITTER_MOVED (1225) to the
// parent with wParam = its window, lParam = RECT* of its new place (screen).
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"

class KESTREL_API CGSplitterBar : public CWnd {
 public:
  enum DRAGFLAG { DRAG_FIRST = 0, DRAG_FINAL = 1, DRAG_MOVE = 2 };

  CGSplitterBar();
  ~CGSplitterBar() override;

  int Create(CWnd* parent, UINT id, int vertical);
  // Places the bar on first's trailing edge and makes both panes touch it.
  void SetPanes(CWnd* first, int minFirst, CWnd* second, int minSecond, int width);
  void MovePanes();
  // mode 1: the bar paints nothing; any other value: filled with colour.
  void SetBkColor(COLORREF colour, int mode);
  // The tracker with its leading edge at pos (parent client coordinates).
  void DrawDraggingBar(CPoint point, DRAGFLAG flag);
  // Where a drag to pos (the bar's leading edge, screen) puts the bar:
  // both minimums kept where they fit, and never a pane of negative size.
  int ClampPosition(int pos) const;

  int IsVertical() const { return m_bVertical; }
  int GetBarWidth() const { return m_nBarWidth; }
  int GetRangeStart() const { return m_nRangeStart; }
  int GetRangeEnd() const { return m_nRangeEnd; }

 protected:
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

  afx_msg void OnPaint();
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  void RenewRange();
  // The parent's client origin on the screen along the bar's axis.
  int ParentOrigin() const;
  int DragPosition(CPoint clientPoint) const;

  COLORREF m_clrBack;
  int m_nBkMode;
  CRect m_rcStart;    // the bar at drag start (screen)
  CRect m_rcTracker;  // the last tracker (parent client)
  CRect m_rcNew;      // the bar after the drag (screen)
  int m_bDragging;
  CWnd* m_pFirst;
  CWnd* m_pSecond;
  int m_nMinFirst;
  int m_nMinSecond;
  int m_nRangeStart;
  int m_nRangeEnd;
  int m_nBarWidth;
  int m_bVertical;
  int m_nGrabOffset;
};
