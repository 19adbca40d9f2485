#include "app/search/ListWnd.h"
#include "app/search/ListScroll.h"

#include <algorithm>
#include <new>

namespace {

const wchar_t kClassName[] = L"Talvane_ListWnd";
const UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

}  // namespace

BOOL RegisterListWndClass() {
  WNDCLASSW wc = {};
  HINSTANCE instance = AfxGetInstanceHandle();
  if (::GetClassInfoW(instance, kClassName, &wc)) return TRUE;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  return AfxRegisterClass(&wc);
}

CListWnd::CListWnd()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crBack(RGB(246, 249, 252)),
      m_crHoverText(RGB(255, 255, 255)),
      m_crHoverBack(RGB(83, 143, 206)),
      m_hOwner(nullptr),
      m_bPopup(false),
      m_hFont(nullptr),
      m_nItemHeight(20),
      m_nWidth(100),
      m_nSelected(-1),
      m_nHover(-1),
      m_nPressed(-1),
      m_nOffset(0),
      m_nTop(0) {}

CListWnd::~CListWnd() {
  for (CListWndItem* item : m_items) delete item;
}

bool CListWnd::Create(DWORD style, const RECT& rect, CWnd* owner) {
  m_hOwner = HwndOf(owner);
  m_bPopup = true;
  return CreateEx(0, kClassName, L"", (style & 0x3FFFFFFF) | WS_POPUP, rect, owner, 0) != FALSE;
}

int CListWnd::AddItem(const wchar_t* text, uint32_t data1, uint32_t data2, bool redraw) {
  CListWndItem* item = new (std::nothrow) CListWndItem(text, data1, data2);
  if (!item) return -1;
  m_items.push_back(item);
  if (m_hWnd) {
    UpdateScrollBar();
    if (redraw) Invalidate(FALSE);
  }
  return int(m_items.size()) - 1;
}

void CListWnd::ResetContent(bool redraw) {
  for (CListWndItem* item : m_items) delete item;
  m_items.clear();
  m_nOffset = m_nTop = 0;
  m_nSelected = m_nHover = m_nPressed = -1;
  if (m_hWnd) {
    UpdateScrollBar();
    if (redraw) Invalidate(FALSE);
  }
}

void CListWnd::GetItemText(CString& text, int row) const {
  text = (row >= 0 && row < GetCount()) ? m_items[row]->m_text : CString();
}

int CListWnd::ClampRow(int row) const {
  const int count = GetCount();
  row = std::max(-1, std::min(row, count - 1));
  if (count > 0 && row < 0) row = 0;
  return row;
}

int CListWnd::PageRows() const {
  CRect rc;
  GetClientRect(&rc);
  return rc.Height() / m_nItemHeight;
}

void CListWnd::UpdateScrollBar() {
  const int count = GetCount();
  const int page = PageRows();
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(count - 1, 0), UINT(std::max(page, 0)), 0, 0};
  SetScrollInfo(SB_VERT, &si, TRUE);
  ShowScrollBar(SB_VERT, count > page);
  ScrollTo(m_nOffset, m_nTop, false);
}

void CListWnd::ScrollTo(int offset, int top, bool redraw) {
  m_nOffset = std::max(0, std::min(offset, m_nWidth - 1));
  const int count = GetCount();
  const int page = PageRows();
  m_nTop = count > page ? std::max(0, std::min(top, count - page)) : 0;
  SetScrollPos(SB_VERT, m_nTop, TRUE);
  if (redraw) Invalidate(FALSE);
}

void CListWnd::EnsureVisible(int row, bool redraw) {
  const int page = std::max(PageRows(), 1);
  if (row < m_nTop)
    ScrollTo(m_nOffset, row, redraw);
  else if (row > m_nTop + page - 1)
    ScrollTo(m_nOffset, row - page + 1, redraw);
  else if (redraw)
    Invalidate(FALSE);
}

void CListWnd::ShowAt(int x, int y, int width, int height) {
  if (!m_bPopup) return;
  const int b = BorderWidth();
  height = (height - b) / m_nItemHeight * m_nItemHeight + b;
  height = std::min(height, m_nItemHeight * std::max(GetCount(), 1) + b);
  MoveWindow(x, y, width, height, TRUE);
  m_nSelected = m_nHover = m_nPressed = -1;
  m_nOffset = m_nTop = 0;
  ShowWindow(SW_SHOW);
  UpdateScrollBar();
  SetFocus();
}

void CListWnd::SetCurSel(int row, bool scroll, bool notify, bool redraw) {
  row = ClampRow(row);
  const int old = m_nSelected;
  m_nSelected = m_nHover = row;
  if (scroll && row >= 0) EnsureVisible(row, false);
  if (redraw) Invalidate(FALSE);
  if (notify && row != old) {
    HWND owner = m_hOwner ? m_hOwner : ::GetParent(m_hWnd);
    ::SendMessageW(owner, WM_COMMAND, WPARAM((GetDlgCtrlID() & 0xFFFF) | 0x10000), LPARAM(m_hWnd));
  }
}

void CListWnd::SetHover(int row, bool scroll, bool redraw) {
  m_nHover = ClampRow(row);
  if (scroll && m_nHover >= 0) EnsureVisible(m_nHover, false);
  if (redraw) Invalidate(FALSE);
}

void CListWnd::Choose(int row) { SetCurSel(row, true, true, true); }

void CListWnd::HidePopup() {
  m_nPressed = -1;
  ShowWindow(SW_HIDE);
}

void CListWnd::MoveTo(int row) {
  if (m_bPopup)
    SetHover(row, true, true);
  else
    SetCurSel(row, true, true, true);
}

BOOL CListWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd && ::GetFocus() == m_hWnd) {
    HandleKey(UINT(pMsg->wParam));
    return TRUE;
  }
  return CWnd::PreTranslateMessage(pMsg);
}

void CListWnd::HandleKey(UINT key) {
  const bool captured = ::GetCapture() == m_hWnd;
  const int page = PageRows();
  switch (key) {
    case VK_RETURN:
      if (captured) ::ReleaseCapture();
      Choose(m_nHover);
      HidePopup();
      break;
    case VK_ESCAPE:
      if (captured) ::ReleaseCapture();
      m_nHover = m_nSelected;
      HidePopup();
      break;
    case VK_PRIOR:
      if (!captured) MoveTo(m_nHover > m_nTop ? m_nTop : m_nTop - page + 1);
      break;
    case VK_NEXT:
      if (captured) {
        ::ReleaseCapture();
      } else {
        const int last = m_nTop + page - 1;
        MoveTo(m_nHover >= last ? m_nHover + page - 1 : last);
      }
      Choose(m_nHover);
      HidePopup();
      break;
    case VK_END:
      if (!captured) MoveTo(GetCount() - 1);
      break;
    case VK_HOME:
      if (!captured) MoveTo(0);
      break;
    case VK_LEFT:
    case VK_UP:
      if (!captured) MoveTo(m_nHover - 1);
      break;
    case VK_RIGHT:
    case VK_DOWN:
      if (!captured) MoveTo(m_nHover + 1);
      break;
    default:
      break;
  }
}

LRESULT CListWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFONT) {
    m_hFont = reinterpret_cast<HFONT>(wParam);
    if (lParam) Invalidate();
    return 0;
  }
  if (message == WM_GETFONT) return LRESULT(m_hFont);
  return CWnd::WindowProc(message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CListWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_KILLFOCUS()
  ON_WM_SETFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_SIZE()
  ON_WM_VSCROLL()
  ON_WM_MOUSEACTIVATE()
  ON_WM_MOUSEWHEEL()
  ON_WM_DESTROY()
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

int CListWnd::OnCreate(LPCREATESTRUCTW cs) {
  (void)cs;
  if (Default() == -1) return -1;
  HWND parent = ::GetParent(m_hWnd);
  if (parent) SendMessage(WM_SETFONT, WPARAM(::SendMessageW(parent, WM_GETFONT, 0, 0)), 0);
  m_nSelected = m_nHover = m_nPressed = -1;
  m_nOffset = m_nTop = 0;
  return 0;
}

BOOL CListWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CListWnd::OnPaint() {
  CPaintDC dc(this);
  Paint(dc, dc.m_ps.rcPaint);
}

void CListWnd::Paint(CDC& dc, const RECT& update) {
  CRect client;
  GetClientRect(&client);
  const int count = GetCount();
  if (count == 0) {
    dc.FillSolidRect(&client, m_crBack);
    return;
  }
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&dc, std::max(client.Width(), 1), m_nItemHeight);
  HGDIOBJ oldBitmap = mem.SelectObject(HGDIOBJ(bitmap));
  HGDIOBJ oldFont = mem.SelectObject(HGDIOBJ(m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT)));
  mem.SetBkMode(TRANSPARENT);

  int y = 0;
  for (int row = m_nTop; row < count && y < client.bottom; ++row, y += m_nItemHeight) {
    CRect onScreen(-m_nOffset, y, client.right, y + m_nItemHeight);
    CRect meet;
    if (!meet.IntersectRect(&onScreen, &update)) continue;
    const bool hover = row == m_nHover;
    CRect local(-m_nOffset, 0, client.right, m_nItemHeight);
    mem.FillSolidRect(CRect(0, 0, client.right, m_nItemHeight), hover ? m_crHoverBack : m_crBack);
    mem.SetTextColor(hover ? m_crHoverText : m_crText);
    CRect text = local;
    text.DeflateRect(4, 0);
    mem.DrawText(m_items[row]->m_text, &text, kTextFormat);
    dc.BitBlt(0, y, client.Width(), m_nItemHeight, &mem, 0, 0, SRCCOPY);
  }
  if (y < client.bottom) dc.FillSolidRect(CRect(0, y, client.right, client.bottom), m_crBack);
  mem.SelectObject(oldFont);
  mem.SelectObject(oldBitmap);
}

void CListWnd::OnKillFocus(CWnd* newWnd) {
  (void)newWnd;
  Default();
  if (m_bPopup) {
    m_nHover = m_nSelected;
    HidePopup();
  } else {
    Invalidate(FALSE);
  }
}

void CListWnd::OnSetFocus(CWnd* oldWnd) {
  (void)oldWnd;
  Default();
  Invalidate(FALSE);
}

void CListWnd::OnMouseMove(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  const int hover = point.y < 0 ? m_nTop - 1 : std::min<int>(point.y, client.Height()) / m_nItemHeight + m_nTop;
  SetHover(hover, true, true);
}

void CListWnd::OnLButtonDown(UINT, CPoint point) {
  SetHover(point.y / m_nItemHeight + m_nTop, true, true);
  m_nPressed = m_nHover;
  SetCapture();
}

void CListWnd::OnLButtonUp(UINT, CPoint point) {
  CRect client;
  GetClientRect(&client);
  const bool inside = point.y >= 0 && point.y < client.Height() && point.x > 0 && point.x < m_nWidth;
  // A release outside that began nowhere on the list chooses nothing.
  if (inside)
    Choose(m_nHover);
  else if (m_nPressed >= 0)
    Choose(m_nPressed);
  m_nPressed = -1;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  HidePopup();
}

void CListWnd::OnSize(UINT, int cx, int) {
  m_nWidth = cx;
  UpdateScrollBar();
}

void CListWnd::OnVScroll(UINT code, UINT, CWnd*) {
  const int top = TopRowForScrollCode(m_hWnd, code, m_nTop, PageRows(), GetCount());
  ScrollTo(m_nOffset, top, true);
  Default();
}

int CListWnd::OnMouseActivate(CWnd*, UINT, UINT) {
  const int result = int(Default());
  if (result == MA_ACTIVATE || result == MA_ACTIVATEANDEAT) SetFocus();
  return result;
}

BOOL CListWnd::OnMouseWheel(UINT, short delta, CPoint) {
  const int n = delta / WHEEL_DELTA;
  if (n == 0) return BOOL(Default());
  ScrollTo(m_nOffset, m_nTop - n, true);
  return TRUE;
}

void CListWnd::OnDestroy() {
  Default();
  m_hOwner = nullptr;
  m_bPopup = false;
  m_hFont = nullptr;
}

void CListWnd::OnGetMinMaxInfo(MINMAXINFO* info) {
  const int b = BorderWidth();
  info->ptMinTrackSize.x = b;
  info->ptMinTrackSize.y = m_nItemHeight + b;
}
