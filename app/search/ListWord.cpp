#include "app/search/ListWord.h"
#include "app/search/ListScroll.h"

#include <algorithm>
#include <string>

#include "app/search/SearchApp.h"
#include "dict/DictFile.h"

namespace {

const wchar_t kClassName[] = L"Talvane_ListWord";
const UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
const COLORREF kFocusFrame = RGB(131, 150, 195);
const COLORREF kFrame = RGB(184, 201, 226);

}  // namespace

BOOL RegisterListWordClass() {
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

CListWord::CListWord()
    : m_crText(RGB(0, 0, 0)),
      m_crBack(RGB(255, 255, 255)),
      m_crSelText(RGB(0, 0, 0)),
      m_crSelBack(RGB(232, 238, 247)),
      m_nItemHeight(20),
      m_nWidth(100),
      m_pSource(nullptr),
      m_nSourceId(0),
      m_nSourceIndex(-1),
      m_nOffset(0),
      m_nTop(0),
      m_nSelected(0),
      m_hFont(nullptr),
      m_bTakeParentFont(true) {}

CListWord::~CListWord() = default;

int CListWord::KeyCount() const { return m_pSource ? int(m_pSource->GetKeyCount()) : 0; }

int CListWord::ClampRow(int row) const { return std::max(0, std::min(row, KeyCount() - 1)); }

int CListWord::GetVisibleRows() const {
  CRect rc;
  GetClientRect(&rc);
  return rc.Height() / m_nItemHeight;
}

void CListWord::SetSource(CDictFile* dict, uint32_t position, uint32_t selection) {
  if (!dict) return;
  m_pSource = dict;
  m_nSourceId = dict->GetId();
  m_nSourceIndex = int(position);
  const int row = int(std::min(selection, dict->GetKeyCount() - 1));
  if (m_hWnd) {
    UpdateScrollBar();
    EnsureVisible(0, m_nTop, false);  // a top row of the former source may lie past this one's rows
  }
  SetSelection(row, true, false);
}

void CListWord::SetSelection(int row, bool redraw, bool notify) {
  row = ClampRow(row);
  const int old = m_nSelected;
  m_nSelected = row;
  if (m_hWnd) {
    const int page = GetVisibleRows();
    if (row < m_nTop)
      EnsureVisible(0, row, redraw);
    else if (row > m_nTop + page - 1)
      EnsureVisible(0, row - page + 1, redraw);
    else if (redraw)
      Invalidate(FALSE);
  }
  if (notify && row != old && m_hWnd) {
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, WPARAM((GetDlgCtrlID() & 0xFFFF) | 0x10000), LPARAM(m_hWnd));
  }
}

void CListWord::EnsureVisible(int offset, int row, bool redraw) {
  (void)offset;  // the rows never move sideways
  m_nOffset = 0;
  const int count = KeyCount();
  row = count > 0 ? ClampRow(row) : 0;
  const int page = GetVisibleRows();
  m_nTop = count > page ? std::min(row, count - page) : 0;
  if (m_hWnd) {
    // The scroll bar is drawn with the next paint, not here: drawing it at
    // once, outside WM_PAINT, cost every lookup a frame or more under Wine.
    SetScrollPos(SB_VERT, m_nTop, FALSE);
    if (redraw) InvalidateWithScrollBar();
  }
}

void CListWord::InvalidateWithScrollBar() {
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void CListWord::UpdateScrollBar() {
  const int count = KeyCount();
  const int page = GetVisibleRows();
  SCROLLINFO si = {sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(count - 1, 0), UINT(std::max(page, 0)), 0, 0};
  SetScrollInfo(SB_VERT, &si, FALSE);
  ShowScrollBar(SB_VERT, count > page);
  InvalidateWithScrollBar();
}

BOOL CListWord::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message != WM_KEYDOWN || pMsg->hwnd != m_hWnd) return CWnd::PreTranslateMessage(pMsg);
  const UINT key = UINT(pMsg->wParam);
  const int page = GetVisibleRows();
  int target = m_nSelected;
  switch (key) {
    case VK_PRIOR:
      target = m_nSelected > m_nTop ? m_nTop : m_nTop - page + 1;
      break;
    case VK_NEXT:
      target = m_nSelected >= m_nTop + page - 1 ? m_nSelected + page - 1 : m_nTop + page - 1;
      break;
    case VK_END:
      target = KeyCount() - 1;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_UP:
      target = m_nSelected - 1;
      break;
    case VK_DOWN:
      target = m_nSelected + 1;
      break;
    case VK_RETURN:
      // Enter chooses the selected word as a double click does.
      NotifyChosen();
      return TRUE;
    case VK_LEFT:
    case VK_RIGHT:
      if (m_pSource) {
        SetSelection(m_nSelected, false, true);
        EnsureVisible(m_nOffset + (key == VK_LEFT ? -5 : 5), m_nTop, true);
      }
      return TRUE;
    default:
      return CWnd::PreTranslateMessage(pMsg);
  }
  if (m_pSource) SetSelection(target, true, true);
  return TRUE;
}

BOOL CListWord::PreCreateWindow(CREATESTRUCTW& cs) {
  m_bTakeParentFont = false;
  return CWnd::PreCreateWindow(cs);
}

void CListWord::PreSubclassWindow() {
  if (m_bTakeParentFont) TakeParentFont();
  CWnd::PreSubclassWindow();
}

void CListWord::TakeParentFont() {
  HWND parent = ::GetParent(m_hWnd);
  if (parent) SendMessage(WM_SETFONT, WPARAM(::SendMessageW(parent, WM_GETFONT, 0, 0)), 0);
}

LRESULT CListWord::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFONT) {
    m_hFont = reinterpret_cast<HFONT>(wParam);
    LOGFONTW lf = {};
    if (m_hFont && ::GetObjectW(m_hFont, sizeof(lf), &lf))
      m_nItemHeight = std::abs(int(lf.lfHeight)) + 8;
    else
      m_nItemHeight = 20;
    if (lParam) Invalidate(TRUE);
    return 0;
  }
  if (message == WM_GETFONT) return LRESULT(m_hFont);
  return CWnd::WindowProc(message, wParam, lParam);
}

BEGIN_MESSAGE_MAP(CListWord, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_WM_MOUSEWHEEL()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KILLFOCUS()
  ON_WM_SETFOCUS()
  ON_WM_VSCROLL()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

int CListWord::OnCreate(LPCREATESTRUCTW) {
  if (Default() == -1) return -1;
  m_bTakeParentFont = true;
  TakeParentFont();
  m_bTakeParentFont = false;
  return 0;
}

void CListWord::OnSize(UINT, int cx, int) {
  m_nWidth = cx;
  if (!m_pSource) return;
  UpdateScrollBar();
  EnsureVisible(0, m_nTop, true);
}

BOOL CListWord::OnEraseBkgnd(CDC*) { return TRUE; }

void CListWord::OnPaint() {
  CPaintDC dc(this);
  Paint(dc, dc.m_ps.rcPaint);
}

void CListWord::Paint(CDC& dc, const RECT& update) {
  CRect client;
  GetClientRect(&client);
  if (!m_pSource) {
    dc.FillSolidRect(&client, m_crBack);
    return;
  }
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(m_crBack);
  dc.SetTextColor(m_crText);
  CFont* uiFont = SearchUiFont();
  HFONT font = uiFont && uiFont->m_hObject ? HFONT(*uiFont) : m_hFont;
  HGDIOBJ oldFont = ::SelectObject(dc, font ? HGDIOBJ(font) : ::GetStockObject(DEFAULT_GUI_FONT));

  const int count = KeyCount();
  const bool focused = ::GetFocus() == m_hWnd;
  int y = client.top;
  for (int row = m_nTop; row < count && y < client.bottom; ++row, y += m_nItemHeight) {
    CRect rowRect(0, y, client.right, y + m_nItemHeight);
    CRect meet;
    if (!meet.IntersectRect(&rowRect, &update)) continue;
    CRect text = rowRect;
    text.DeflateRect(4, 0);
    const std::wstring key = m_pSource->GetKey(uint32_t(row));
    dc.FillSolidRect(&rowRect, m_crBack);
    if (row == m_nSelected) {
      CRect measured = text;
      dc.DrawText(key.c_str(), int(key.size()), &measured, kTextFormat | DT_CALCRECT);
      CRect highlight(text.left, text.top, std::min(measured.right, text.right), text.bottom);
      highlight.InflateRect(3, 0);
      highlight.DeflateRect(0, 1);
      dc.FillSolidRect(&highlight, m_crSelBack);
      CBrush frame(focused ? kFocusFrame : kFrame);
      dc.FrameRect(&highlight, &frame);
      dc.SetTextColor(m_crSelText);
    } else {
      dc.SetTextColor(m_crText);
    }
    dc.DrawText(key.c_str(), int(key.size()), &text, kTextFormat | DT_END_ELLIPSIS);
  }
  if (y < client.bottom) dc.FillSolidRect(CRect(0, y, client.right, client.bottom), m_crBack);
  ::SelectObject(dc, oldFont);
}

int CListWord::OnMouseActivate(CWnd*, UINT, UINT) {
  const int result = int(Default());
  if (result == MA_ACTIVATE || result == MA_ACTIVATEANDEAT) SetFocus();
  return result;
}

BOOL CListWord::OnMouseWheel(UINT, short delta, CPoint) {
  const int n = delta / WHEEL_DELTA;
  if (n == 0) return BOOL(Default());
  if (m_pSource) EnsureVisible(0, m_nTop - n, true);
  return TRUE;
}

void CListWord::SelectAt(CPoint point) {
  if (m_pSource) SetSelection(point.y / m_nItemHeight + m_nTop, true, true);
}

void CListWord::OnLButtonDown(UINT, CPoint point) {
  SelectAt(point);
  Default();
}

void CListWord::OnRButtonDown(UINT, CPoint point) {
  SelectAt(point);
  Default();
}

void CListWord::NotifyChosen() {
  if (m_pSource)
    ::SendMessageW(::GetParent(m_hWnd), WM_COMMAND, WPARAM((GetDlgCtrlID() & 0xFFFF) + 0x20000), LPARAM(m_hWnd));
}

void CListWord::OnLButtonDblClk(UINT, CPoint) {
  NotifyChosen();
  Default();
}

void CListWord::OnKillFocus(CWnd*) {
  Default();
  Invalidate(FALSE);
}

void CListWord::OnSetFocus(CWnd*) {
  Default();
  Invalidate(FALSE);
}

void CListWord::OnVScroll(UINT code, UINT, CWnd*) {
  if (m_pSource) {
    const int top = TopRowForScrollCode(m_hWnd, code, m_nTop, GetVisibleRows(), KeyCount());
    EnsureVisible(0, top, true);
  }
  Default();
}

void CListWord::OnDestroy() {
  Default();
  m_hFont = nullptr;
}
