#include "guictl/GSplitterBar.h"

#include "guictl/GuiManager.h"

namespace {
const wchar_t kClassName[] = L"Talvane_SplitterBar";
const UINT kClassStyle = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;

// A pane's rectangle in its parent's client coordinates.
CRect RectInParent(CWnd* wnd) {
  CRect rc;
  wnd->GetWindowRect(&rc);
  ::MapWindowPoints(nullptr, ::GetParent(wnd->GetSafeHwnd()), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}
}  // namespace

BEGIN_MESSAGE_MAP(CGSplitterBar, CWnd)
  ON_WM_PAINT()
  ON_WM_NCHITTEST()
  ON_WM_CREATE()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CGSplitterBar::CGSplitterBar()
    : m_clrBack(::GetSysColor(COLOR_BTNFACE)), m_nBkMode(2), m_bDragging(0), m_pFirst(nullptr), m_pSecond(nullptr),
      m_nMinFirst(0), m_nMinSecond(0), m_nRangeStart(0), m_nRangeEnd(0), m_nBarWidth(3), m_bVertical(1),
      m_nGrabOffset(0) {
  if (CGuiManager* gm = Kestrel_GetManager()) gm->RegisterWndClass(kClassName, kClassStyle);
}

CGSplitterBar::~CGSplitterBar() {}

int CGSplitterBar::Create(CWnd* parent, UINT id, int vertical) {
  m_bVertical = vertical;
  return CWnd::Create(kClassName, L"", WS_CHILD | WS_VISIBLE, CRect(), parent, id);
}

BOOL CGSplitterBar::PreCreateWindow(CREATESTRUCTW& cs) {
  cs.style &= ~LONG(WS_CAPTION);
  cs.dwExStyle &= ~DWORD(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
  return CWnd::PreCreateWindow(cs);
}

int CGSplitterBar::OnCreate(LPCREATESTRUCTW cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CRect client;
  ::GetClientRect(::GetParent(m_hWnd), &client);
  m_nRangeStart = m_bVertical ? client.left : client.top;
  m_nRangeEnd = m_bVertical ? client.right : client.bottom;
  return 0;
}

void CGSplitterBar::RenewRange() {
  HWND parent = ::GetParent(m_hWnd);
  CRect client;
  ::GetClientRect(parent, &client);
  if (m_pFirst && m_pFirst->GetSafeHwnd()) {
    CRect first = RectInParent(m_pFirst);
    m_nRangeStart = m_bVertical ? first.left : first.top;
  }
  if (m_pSecond && m_pSecond->GetSafeHwnd()) {
    CRect second = RectInParent(m_pSecond);
    m_nRangeEnd = m_bVertical ? second.right : second.bottom;
  } else {
    m_nRangeEnd = m_bVertical ? client.right : client.bottom;
  }
}

void CGSplitterBar::SetPanes(CWnd* first, int minFirst, CWnd* second, int minSecond, int width) {
  m_pFirst = first;
  m_pSecond = second;
  m_nMinFirst = minFirst < 0 ? 0 : minFirst;
  m_nMinSecond = minSecond < 0 ? 0 : minSecond;
  m_nBarWidth = width <= 0 ? 1 : width;
  if (!m_hWnd || !first || !first->GetSafeHwnd()) return;
  CRect rc = RectInParent(first);
  CRect bar;
  if (m_bVertical)
    bar.SetRect(rc.right - m_nBarWidth / 2, rc.top, rc.right - m_nBarWidth / 2 + m_nBarWidth, rc.bottom);
  else
    bar.SetRect(rc.left, rc.bottom - m_nBarWidth / 2, rc.right, rc.bottom - m_nBarWidth / 2 + m_nBarWidth);
  MoveWindow(&bar, TRUE);
  MovePanes();
  RenewRange();
}

void CGSplitterBar::MovePanes() {
  if (!m_hWnd) return;
  CRect bar = RectInParent(this);
  CRect area = bar;
  // A pane never gets a negative size, even when the bar sits past its far edge.
  if (m_pFirst && m_pFirst->GetSafeHwnd()) {
    CRect rc = RectInParent(m_pFirst);
    if (m_bVertical) rc.right = bar.left < rc.left ? rc.left : bar.left;
    else rc.bottom = bar.top < rc.top ? rc.top : bar.top;
    m_pFirst->MoveWindow(&rc, FALSE);
    area.UnionRect(&area, &rc);
  }
  if (m_pSecond && m_pSecond->GetSafeHwnd()) {
    CRect rc = RectInParent(m_pSecond);
    if (m_bVertical) rc.left = bar.right > rc.right ? rc.right : bar.right;
    else rc.top = bar.bottom > rc.bottom ? rc.bottom : bar.bottom;
    m_pSecond->MoveWindow(&rc, FALSE);
    area.UnionRect(&area, &rc);
  }
  // The panes were moved without repainting: they are drawn again with
  // their children (buttons, lists, pages) and frames.
  ::RedrawWindow(::GetParent(m_hWnd), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CGSplitterBar::SetBkColor(COLORREF colour, int mode) {
  m_clrBack = colour;
  m_nBkMode = mode == 1 ? 1 : 2;
  if (m_hWnd) Invalidate();
}

int CGSplitterBar::ParentOrigin() const {
  POINT origin = {0, 0};
  ::ClientToScreen(::GetParent(m_hWnd), &origin);
  return m_bVertical ? origin.x : origin.y;
}

int CGSplitterBar::ClampPosition(int pos) const {
  const int origin = ParentOrigin();
  const int start = origin + m_nRangeStart, end = origin + m_nRangeEnd;
  if (pos < start + m_nMinFirst) pos = start + m_nMinFirst;
  if (end - m_nMinSecond < pos + m_nBarWidth) pos = end - m_nMinSecond - m_nBarWidth;
  // When the two minimums overlap the second one wins, but the bar stays
  // inside the range so that neither pane is pushed to a negative size.
  if (pos + m_nBarWidth > end) pos = end - m_nBarWidth;
  if (pos < start) pos = start;
  return pos;
}

int CGSplitterBar::DragPosition(CPoint clientPoint) const {
  POINT p = clientPoint;
  ::ClientToScreen(m_hWnd, &p);
  return ClampPosition((m_bVertical ? p.x : p.y) - m_nGrabOffset);
}

void CGSplitterBar::DrawDraggingBar(CPoint point, DRAGFLAG flag) {
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) return;
  CRect bar = m_rcStart;
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bar), 2);
  if (m_bVertical) bar.OffsetRect(point.x - bar.left, 0);
  else bar.OffsetRect(0, point.y - bar.top);
  CWnd* parentWnd = CWnd::FromHandle(parent);
  CClientDC dc(parentWnd);
  const CSize size(bar.Width(), bar.Height());
  const CSize lastSize(m_rcTracker.Width(), m_rcTracker.Height());
  switch (flag) {
    case DRAG_FIRST:
      dc.DrawDragRect(&bar, size, nullptr, size);
      m_rcTracker = bar;
      break;
    case DRAG_MOVE:
      dc.DrawDragRect(&bar, size, &m_rcTracker, lastSize);
      m_rcTracker = bar;
      break;
    case DRAG_FINAL:
      // The last tracker is taken away; the bar itself moves there next.
      dc.DrawDragRect(nullptr, size, &m_rcTracker, lastSize);
      m_rcTracker = bar;
      break;
  }
}

BOOL CGSplitterBar::OnSetCursor(CWnd*, UINT, UINT) {
  LPCWSTR id = MAKEINTRESOURCEW(m_bVertical ? AFX_IDC_HSPLITBAR : AFX_IDC_VSPLITBAR);
  HINSTANCE module = AfxFindResourceHandle(id, RT_GROUP_CURSOR);
  ::SetCursor(::LoadCursorW(module, id));
  return TRUE;
}

LRESULT CGSplitterBar::OnNcHitTest(CPoint) { return HTCLIENT; }

BOOL CGSplitterBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CGSplitterBar::OnPaint() {
  CPaintDC dc(this);
  if (m_nBkMode == 2) dc.FillSolidRect(&dc.m_ps.rcPaint, m_clrBack);
}

void CGSplitterBar::OnLButtonDown(UINT, CPoint point) {
  RenewRange();
  SetCapture();
  m_bDragging = 1;
  GetWindowRect(&m_rcStart);
  POINT p = point;
  ::ClientToScreen(m_hWnd, &p);
  m_nGrabOffset = m_bVertical ? p.x - m_rcStart.left : p.y - m_rcStart.top;
  CRect bar = m_rcStart;
  ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&bar), 2);
  DrawDraggingBar(bar.TopLeft(), DRAG_FIRST);
}

void CGSplitterBar::OnMouseMove(UINT flags, CPoint point) {
  if (!m_bDragging || !(flags & MK_LBUTTON)) return;
  const int pos = DragPosition(point) - ParentOrigin();
  DrawDraggingBar(m_bVertical ? CPoint(pos, 0) : CPoint(0, pos), DRAG_MOVE);
}

void CGSplitterBar::OnLButtonUp(UINT, CPoint point) {
  if (!m_bDragging) return;
  const int pos = DragPosition(point);
  const int local = pos - ParentOrigin();
  DrawDraggingBar(m_bVertical ? CPoint(local, 0) : CPoint(0, local), DRAG_FINAL);
  m_rcNew = m_rcStart;
  if (m_bVertical) m_rcNew.OffsetRect(pos - m_rcStart.left, 0);
  else m_rcNew.OffsetRect(0, pos - m_rcStart.top);
  HWND parent = ::GetParent(m_hWnd);
  CRect inParent = m_rcNew;
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
  MoveWindow(&inParent, TRUE);
  Invalidate();
  m_bDragging = 0;
  MovePanes();
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  CRect moved = m_rcNew;
  ::SendMessageW(parent, WM_SPLITTER_MOVED, WPARAM(m_hWnd), LPARAM(&moved));
}
