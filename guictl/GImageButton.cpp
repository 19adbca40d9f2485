#include "guictl/GImageButton.h"

#include "guictl/ButtonCommon.h"
#include "guictl/GuiManager.h"

namespace {
const wchar_t kClassName[] = L"Talvane_ImageButton";
const UINT kClassStyle = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
}  // namespace

BEGIN_MESSAGE_MAP(CGImageButton, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_NCPAINT()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_CREATE()
  ON_WM_MOUSELEAVE()
  ON_WM_MOUSEMOVE()
  ON_WM_DESTROY()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

CGImageButton::CGImageButton()
    : m_nArrange(0), m_pImageList(&m_imgList), m_dwCellWidth(0), m_dwCellHeight(0), m_nCursorType(0),
      m_rcPadding{0, 0, 0, 0}, m_hFont(nullptr), m_bTracking(0), m_bPressed(0), m_bDisabled(0), m_nPart(0),
      m_nCheck(0), m_bAttach(1) {
  if (CGuiManager* gm = Kestrel_GetManager()) gm->RegisterWndClass(kClassName, kClassStyle);
  for (int i = 0; i < 6; ++i) {
    m_nBackCuts[i] = 0;
    m_nBackModes[i] = Veltra::COImage::kPartStretch;
  }
  SetTextColor(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  m_imgPaint.SetStorage(1);
}

CGImageButton::~CGImageButton() {}

int CGImageButton::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(kClassName, text, kestrel::SelfDrawnButtonStyle(style), rect, parent, id);
}

BOOL CGImageButton::PreCreateWindow(CREATESTRUCTW& cs) {
  m_bAttach = 0;
  return CWnd::PreCreateWindow(cs);
}

int CGImageButton::OnCreate(LPCREATESTRUCTW cs) {
  return kestrel::AttachOnCreate(CWnd::OnCreate(cs), m_bAttach, [this] { PreSubclassWindow(); });
}

void CGImageButton::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  if (!m_bAttach) return;
  m_bTracking = m_bPressed = m_nPart = 0;
  kestrel::AttachButtonWindow(*this, {m_bDisabled, m_nCheck, m_hFont});
}

int CGImageButton::SetImageList(Veltra::COImage& image, DWORD cellWidth, DWORD cellHeight, int autoSize) {
  if (cellWidth == 0 || cellHeight == 0) return 0;
  if (DWORD(image.GetWidth()) / cellWidth == 0 || DWORD(image.GetHeight()) / cellHeight == 0) return 0;
  m_imgList.CopyFrom(image);
  m_dwCellWidth = cellWidth;
  m_dwCellHeight = cellHeight;
  if (autoSize) CalcFixSize(0, 1);
  if (m_hWnd) Invalidate();
  return 1;
}

void CGImageButton::ReleaseImageList() {
  m_imgList.Release();
  m_dwCellWidth = m_dwCellHeight = 0;
  if (m_hWnd) Invalidate();
}

void CGImageButton::SetBackImgList(Veltra::COImage& image, long cuts[6], int modes[6], int redraw) {
  m_imgBack.CopyFrom(image);
  for (int i = 0; i < 6; ++i) {
    m_nBackCuts[i] = cuts[i];
    m_nBackModes[i] = modes[i];
  }
  if (redraw && m_hWnd) Invalidate();
}

void CGImageButton::SetText(const wchar_t* text, const wchar_t* tooltip, int redraw) {
  if (m_hWnd) SetWindowText(text ? text : L"");
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, tooltip && *tooltip);
  if (redraw && m_hWnd) Invalidate();
}

void CGImageButton::SetTooltip(const wchar_t* tooltip, int activate) {
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, activate);
}

void CGImageButton::SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled, int redraw) {
  m_clrText[0] = kestrel::OrSys(normal, COLOR_BTNTEXT);
  m_clrText[1] = kestrel::OrSys(hover, COLOR_BTNTEXT);
  m_clrText[2] = kestrel::OrSys(pressed, COLOR_BTNTEXT);
  m_clrText[3] = kestrel::OrSys(disabled, COLOR_GRAYTEXT);
  if (redraw && m_hWnd) Invalidate();
}

void CGImageButton::SetPadding(long left, long top, long right, long bottom, int redraw) {
  m_rcPadding = RECT{left, top, right, bottom};
  if (redraw && m_hWnd) Invalidate();
}

void CGImageButton::SetArrange(int arrange, int redraw) {
  m_nArrange = arrange < 0 ? 0 : (arrange > 4 ? 4 : arrange);
  if (redraw && m_hWnd) Invalidate();
}

CRect CGImageButton::CalcFixSize(int anchor, int apply) {
  if (!m_hWnd) return CRect();
  CGuiManager* gm = Kestrel_GetManager();
  CRect content;
  GetClientRect(&content);
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);
  CClientDC dc(this);
  HGDIOBJ oldFont = m_hFont ? ::SelectObject(dc, m_hFont) : nullptr;
  CString text;
  GetWindowText(text);
  CRect ic, tx, block;
  if (gm)
    block = gm->CalcLayout(&ic, &tx, m_nArrange, kestrel::ButtonTextFormat(GetStyle(), false), &dc, &content,
                           &m_imgList, int(m_dwCellWidth), int(m_dwCellHeight), &text, m_nArrange <= 1 ? 4 : 2);
  if (oldFont) ::SelectObject(dc, oldFont);
  return kestrel::FitWindowRect(*this, block, m_rcPadding, anchor, apply);
}

int CGImageButton::GetVisualState() const {
  if (m_bDisabled) return 3;
  if (m_bTracking) return (m_bPressed && m_nPart) ? 1 : 2;
  return 0;
}

int CGImageButton::_TestArea(CPoint point) {
  CRect rc;
  GetClientRect(&rc);
  return rc.PtInRect(point) ? 1 : 0;
}

void CGImageButton::Repaint() {
  if (!m_hWnd) return;
  CClientDC dc(this);
  DrawItem(&dc);
}

void CGImageButton::OnMouseMove(UINT, CPoint point) {
  if (kestrel::TrackMouseLeave(*this, m_bTracking)) m_nPart = 0;
  int part = _TestArea(point);
  if (part != m_nPart) {
    m_nPart = part;
    Repaint();
  }
}

void CGImageButton::OnMouseLeave() {
  m_bTracking = m_nPart = m_bPressed = 0;
  Repaint();
}

void CGImageButton::OnLButtonDown(UINT, CPoint point) {
  if (m_bPressed) return;
  m_bPressed = 1;
  m_nPart = _TestArea(point);
  Repaint();
  SetCapture();
}

void CGImageButton::OnLButtonUp(UINT, CPoint point) {
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_bPressed) {
    m_bPressed = 0;
    m_nPart = _TestArea(point);
    if (m_nPart) {
      m_nCheck = kestrel::NextCheckAfterClick(GetStyle(), m_nCheck);
      kestrel::NotifyParentWithoutTip(*this, m_wndToolTip, m_strToolTip, BN_CLICKED);
    }
  }
  Repaint();
}

BOOL CGImageButton::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
  if (m_nCursorType == 1) {
    CGuiManager* gm = Kestrel_GetManager();
    ::SetCursor(gm ? gm->m_hLinkCursor : nullptr);
    return TRUE;
  }
  return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CGImageButton::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  kestrel::SizeTooltipTool(*this, m_wndToolTip, cx, cy);
}

BOOL CGImageButton::PreTranslateMessage(MSG* pMsg) {
  kestrel::RelayToTooltip(*this, m_wndToolTip, m_strToolTip, pMsg);
  return CWnd::PreTranslateMessage(pMsg);
}

void CGImageButton::OnDestroy() {
  m_bTracking = 0;
  CWnd::OnDestroy();
}

BOOL CGImageButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CGImageButton::OnNcPaint() {}

void CGImageButton::OnPaint() {
  CPaintDC dc(this);
  DrawItem(&dc);
}

LRESULT CGImageButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool repaint = false;
  if (kestrel::HandleButtonMessage(*this, {m_bDisabled, m_nCheck, m_hFont}, message, wParam, lParam, result,
                                   repaint)) {
    if (repaint) Repaint();
    return result;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

void CGImageButton::DrawItem(CDC* dc) {
  CGuiManager* gm = Kestrel_GetManager();
  if (!gm || !m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CRect content = client;
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);

  gm->FillParentBkgndImage(m_imgPaint, this, ::GetSysColor(COLOR_BTNFACE), &client);
  if (m_imgPaint.IsEmpty()) return;
  ::GdiFlush();
  kestrel::BufferDC mem(dc, m_imgPaint);

  const int state = GetVisualState();
  const int columns = m_dwCellWidth ? int(DWORD(m_imgList.GetWidth()) / m_dwCellWidth) : 0;
  const int rows = m_dwCellHeight ? int(DWORD(m_imgList.GetHeight()) / m_dwCellHeight) : 0;
  int grey = 0, opacity = 100;
  if (state == 3 && columns <= 3) {
    grey = 1;
    opacity = 70;
  }

  if (!m_imgBack.IsEmpty()) {
    const int cw = int(m_nBackCuts[0] + m_nBackCuts[1] + m_nBackCuts[2]);
    const int ch = int(m_nBackCuts[3] + m_nBackCuts[4] + m_nBackCuts[5]);
    if (cw > 0 && ch > 0) {
      const int gridCols = m_imgBack.GetWidth() / cw, gridRows = m_imgBack.GetHeight() / ch;
      const int sx = state >= gridCols ? 0 : cw * state;
      const int sy = m_nCheck >= gridRows ? 0 : ch * m_nCheck;
      int cuts[6];
      for (int i = 0; i < 6; ++i) cuts[i] = int(m_nBackCuts[i]);
      m_imgPaint.DrawNineGrid(client, m_imgBack, sx, sy, cuts, m_nBackModes);
    }
  }

  static const int kColourOfState[4] = {0, 2, 1, 3};  // state -> normal, hover, pressed, disabled slot
  mem->SetTextColor(m_clrText[kColourOfState[state]]);
  mem->SetBkMode(TRANSPARENT);
  HGDIOBJ oldFont = m_hFont ? ::SelectObject(*mem.get(), m_hFont) : nullptr;
  const UINT format = kestrel::ButtonTextFormat(GetStyle(), true);

  mem->IntersectClipRect(&content);
  m_imgPaint.SetClipRect(content);
  CString text;
  GetWindowText(text);
  CRect ic, tx;
  gm->CalcLayout(&ic, &tx, m_nArrange, format, mem.get(), &content, &m_imgList, int(m_dwCellWidth),
                 int(m_dwCellHeight), &text, m_nArrange <= 1 ? 4 : 2);
  if (!m_imgList.IsEmpty() && columns > 0 && rows > 0) {
    const int row = m_nCheck >= rows ? 0 : m_nCheck;
    const int column = state >= columns ? 0 : state;
    m_imgList.SetOpacity(uint8_t(opacity));
    m_imgPaint.DrawImage(ic.left, ic.top, m_imgList, column * int(m_dwCellWidth), row * int(m_dwCellHeight),
                         int(m_dwCellWidth), int(m_dwCellHeight), 0, grey);
    m_imgList.SetOpacity(100);
  }
  if (!text.IsEmpty()) mem->DrawText(text, &tx, format);
  ::SelectClipRgn(*mem.get(), nullptr);
  m_imgPaint.SetClipRect(client);
  if (oldFont) ::SelectObject(*mem.get(), oldFont);
  dc->BitBlt(client.left, client.top, client.Width(), client.Height(), mem.get(), 0, 0, SRCCOPY);
}
