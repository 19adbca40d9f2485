#include "guictl/GToolButton.h"

#include "guictl/ButtonCommon.h"
#include "guictl/GuiManager.h"
#include "guictl/ImageFile.h"

namespace {
const wchar_t kClassName[] = L"Talvane_ToolButton";
const UINT kClassStyle = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
const int kCell = 22;      // skin cell size
const int kDropWidth = 13;  // the drop-down part's width at the right edge
const int kDropExtra = 11;  // the room the drop-down part takes from the content
}  // namespace

Veltra::COImage CGToolButton::ms_imgBackList;

BEGIN_MESSAGE_MAP(CGToolButton, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_NCPAINT()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_CREATE()
  ON_WM_MOUSELEAVE()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CGToolButton::CGToolButton()
    : m_nArrange(0), m_clrText(::GetSysColor(COLOR_BTNTEXT)), m_clrDisabled(::GetSysColor(COLOR_GRAYTEXT)),
      m_rcPadding{4, 3, 4, 3}, m_bTracking(0), m_nPressed(0), m_bDisabled(0), m_nPart(0), m_nCheck(0),
      m_bDropDown(0), m_hFont(nullptr), m_bAttach(1) {
  if (CGuiManager* gm = Kestrel_GetManager()) gm->RegisterWndClass(kClassName, kClassStyle);
  m_imgPaint.SetStorage(1);
}

CGToolButton::~CGToolButton() {}

int CGToolButton::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(kClassName, text, kestrel::SelfDrawnButtonStyle(style), rect, parent, id);
}

BOOL CGToolButton::PreCreateWindow(CREATESTRUCTW& cs) {
  m_bAttach = 0;
  return CWnd::PreCreateWindow(cs);
}

int CGToolButton::OnCreate(LPCREATESTRUCTW cs) {
  return kestrel::AttachOnCreate(CWnd::OnCreate(cs), m_bAttach, [this] { PreSubclassWindow(); });
}

void CGToolButton::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  if (!m_bAttach) return;
  m_bTracking = m_nPressed = m_nPart = 0;
  kestrel::AttachButtonWindow(*this, {m_bDisabled, m_nCheck, m_hFont});
  CGuiManager* gm = Kestrel_GetManager();
  if (ms_imgBackList.IsEmpty() && gm && !gm->GetSkinFolder().IsEmpty()) {
    CPngImage png;
    png.ReadFile(gm->GetSkinFolder() + L"button_flat_menu.png", &ms_imgBackList, 0);
  }
}

void CGToolButton::SetIcon(Veltra::COImage* icon, int redraw) {
  if (!icon || icon->IsEmpty())
    m_imgIcon.Release();
  else
    m_imgIcon.CopyFrom(*icon);
  if (redraw && m_hWnd) Invalidate();
}

void CGToolButton::EnableDropDown(int enable) {
  m_bDropDown = enable;
  Repaint();
}

void CGToolButton::SetTextColor(COLORREF normal, COLORREF disabled, int redraw) {
  m_clrText = kestrel::OrSys(normal, COLOR_BTNTEXT);
  m_clrDisabled = kestrel::OrSys(disabled, COLOR_GRAYTEXT);
  if (redraw && m_hWnd) Invalidate();
}

void CGToolButton::SetPadding(long left, long top, long right, long bottom, int redraw) {
  m_rcPadding = RECT{left, top, right, bottom};
  if (redraw && m_hWnd) Invalidate();
}

void CGToolButton::SetText(const wchar_t* text, const wchar_t* tooltip, int redraw) {
  if (m_hWnd) SetWindowText(text ? text : L"");
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, tooltip && *tooltip);
  if (redraw && m_hWnd) Invalidate();
}

void CGToolButton::SetTooltip(const wchar_t* tooltip, int activate) {
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, activate);
}

void CGToolButton::SetArrange(int arrange, int redraw) {
  m_nArrange = arrange < 0 ? 0 : (arrange > 4 ? 4 : arrange);
  if (redraw && m_hWnd) Invalidate();
}

CRect CGToolButton::CalcFixSize(int anchor, int apply) {
  if (!m_hWnd) return CRect();
  CGuiManager* gm = Kestrel_GetManager();
  CRect content;
  GetClientRect(&content);
  if (m_bDropDown) content.right -= kDropExtra;
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);
  CClientDC dc(this);
  HGDIOBJ oldFont = m_hFont ? ::SelectObject(dc, m_hFont) : nullptr;
  CString text;
  GetWindowText(text);
  CRect ic, tx, block;
  if (gm)
    block = gm->CalcLayout(&ic, &tx, m_nArrange, kestrel::ButtonTextFormat(GetStyle(), false), &dc, &content,
                           &m_imgIcon, &text, m_nArrange <= 1 ? 4 : 2);
  if (oldFont) ::SelectObject(dc, oldFont);
  if (m_bDropDown) block.right += kDropExtra;
  return kestrel::FitWindowRect(*this, block, m_rcPadding, anchor, apply);
}

void CGToolButton::GetSkinCell(int& column, int& row) const {
  if (!m_bDropDown) {
    row = 0;
    if (m_bDisabled) column = 3;
    else if (m_bTracking) column = (m_nPressed == 1 && m_nPart == 1) ? 1 : 2;
    else column = 0;
    return;
  }
  row = kCell;
  if (m_bDisabled) { column = 3; return; }
  if (!m_bTracking) { column = 0; return; }
  if (m_nPressed == 2) {
    row = 2 * kCell;
    column = m_nPart == 2 ? 1 : 2;
  } else if (m_nPressed == 1) {
    if (m_nPart == 1) column = 1;
    else if (m_nPart == 2) { row = 2 * kCell; column = 2; }
    else column = 2;
  } else {
    if (m_nPart == 2) { row = 2 * kCell; column = 2; }
    else if (m_nPart == 1) column = 2;
    else column = 0;
  }
}

int CGToolButton::_TestArea(CPoint point) {
  CRect rc;
  GetClientRect(&rc);
  if (!rc.PtInRect(point)) return 0;
  if (m_bDropDown && point.x >= rc.right - kDropWidth) return 2;
  return 1;
}

void CGToolButton::Repaint() {
  if (!m_hWnd) return;
  CClientDC dc(this);
  DrawItem(&dc);
}

void CGToolButton::OnMouseMove(UINT, CPoint point) {
  if (kestrel::TrackMouseLeave(*this, m_bTracking)) m_nPart = 0;
  int part = _TestArea(point);
  if (part != m_nPart) {
    m_nPart = part;
    Repaint();
  }
}

void CGToolButton::OnMouseLeave() {
  m_bTracking = m_nPart = m_nPressed = 0;
  Repaint();
}

void CGToolButton::OnLButtonDown(UINT, CPoint point) {
  if (m_nPressed) return;
  m_nPart = _TestArea(point);
  m_nPressed = m_nPart ? m_nPart : 1;
  Repaint();
  SetCapture();
}

void CGToolButton::OnLButtonUp(UINT, CPoint point) {
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_nPressed) {
    const int pressed = m_nPressed;
    m_nPressed = 0;
    m_nPart = _TestArea(point);
    if (pressed == m_nPart)
      kestrel::NotifyParentWithoutTip(*this, m_wndToolTip, m_strToolTip, pressed == 2 ? GBN_DROPDOWN : BN_CLICKED);
  }
  Repaint();
}

void CGToolButton::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  kestrel::SizeTooltipTool(*this, m_wndToolTip, cx, cy);
}

BOOL CGToolButton::PreTranslateMessage(MSG* pMsg) {
  kestrel::RelayToTooltip(*this, m_wndToolTip, m_strToolTip, pMsg);
  return CWnd::PreTranslateMessage(pMsg);
}

BOOL CGToolButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CGToolButton::OnNcPaint() {}

void CGToolButton::OnPaint() {
  CPaintDC dc(this);
  DrawItem(&dc);
}

LRESULT CGToolButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool repaint = false;
  if (kestrel::HandleButtonMessage(*this, {m_bDisabled, m_nCheck, m_hFont}, message, wParam, lParam, result,
                                   repaint)) {
    if (repaint) Repaint();
    return result;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

void CGToolButton::DrawItem(CDC* dc) {
  CGuiManager* gm = Kestrel_GetManager();
  if (!gm || !m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  const int W = client.Width(), H = client.Height();
  CRect content = client;
  if (m_bDropDown) content.right -= kDropExtra;
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);

  gm->FillParentBkgndImage(m_imgPaint, this, ::GetSysColor(COLOR_BTNFACE), &client);
  if (m_imgPaint.IsEmpty()) return;
  ::GdiFlush();
  kestrel::BufferDC mem(dc, m_imgPaint);

  int s = 0, y = 0;
  GetSkinCell(s, y);
  if ((m_bDropDown || s != 0) && !ms_imgBackList.IsEmpty()) {
    const int x = kCell * s;
    const int nearest = Veltra::COImage::kFilterNearest;
    m_imgPaint.StretchDraw(0, 0, 2, H, ms_imgBackList, x, y, 2, kCell, nearest, 0, 0);
    m_imgPaint.StretchDraw(2, 0, W - 15, H, ms_imgBackList, x + 2, y, 1, kCell, nearest, 0, 0);
    m_imgPaint.StretchDraw(W - 13, 0, 13, H, ms_imgBackList, x + 9, y, 13, kCell, nearest, 0, 0);
  }

  mem->SetTextColor(s == 3 ? m_clrDisabled : m_clrText);
  mem->SetBkMode(TRANSPARENT);
  HGDIOBJ oldFont = m_hFont ? ::SelectObject(*mem.get(), m_hFont) : nullptr;
  const UINT format = kestrel::ButtonTextFormat(GetStyle(), true);
  mem->IntersectClipRect(&content);
  m_imgPaint.SetClipRect(content);
  CString text;
  GetWindowText(text);
  CRect ic, tx;
  gm->CalcLayout(&ic, &tx, m_nArrange, format, mem.get(), &content, &m_imgIcon, &text, m_nArrange <= 1 ? 4 : 2);
  if (!m_imgIcon.IsEmpty()) {
    const int w = m_imgIcon.GetWidth(), h = m_imgIcon.GetHeight();
    if (s == 3) {
      m_imgIcon.SetOpacity(70);
      m_imgPaint.DrawImage(ic.left, ic.top, m_imgIcon, 0, 0, w, h, 0, 1);
      m_imgIcon.SetOpacity(100);
    } else {
      m_imgPaint.DrawImage(ic.left, ic.top, m_imgIcon, 0, 0, w, h, 0, 0);
    }
  }
  if (!text.IsEmpty()) mem->DrawText(text, &tx, format);
  ::SelectClipRgn(*mem.get(), nullptr);
  m_imgPaint.SetClipRect(client);
  if (oldFont) ::SelectObject(*mem.get(), oldFont);
  dc->BitBlt(0, 0, W, H, mem.get(), 0, 0, SRCCOPY);
}
