#include "guictl/GLinkButton.h"

#include "guictl/ButtonCommon.h"
#include "guictl/GuiManager.h"

namespace {
const COLORREF kBlue = 0xFF0000;
const COLORREF kRed = 0x0000FF;
}  // namespace

BEGIN_MESSAGE_MAP(CGLinkButton, CButton)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_DESTROY()
  ON_WM_SETCURSOR()
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_NCPAINT()
END_MESSAGE_MAP()

CGLinkButton::CGLinkButton() : m_nArrange(0), m_rcPadding{0, 0, 0, 0}, m_bAttach(1), m_bTracking(0) {
  SetTextColor(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  m_imgPaint.SetStorage(1);
}

CGLinkButton::~CGLinkButton() {}

int CGLinkButton::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CButton::Create(text, style | WS_CHILD, rect, parent, id);
}

BOOL CGLinkButton::PreCreateWindow(CREATESTRUCTW& cs) {
  m_bAttach = 0;
  return CButton::PreCreateWindow(cs);
}

int CGLinkButton::OnCreate(LPCREATESTRUCTW cs) {
  return kestrel::AttachOnCreate(CButton::OnCreate(cs), m_bAttach, [this] { PreSubclassWindow(); });
}

void CGLinkButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  if (!m_bAttach) return;
  SendMessage(BM_SETSTYLE, BS_OWNERDRAW, FALSE);
  if (CGuiManager* gm = Kestrel_GetManager()) gm->StripFrame(*this);
  HWND parent = ::GetParent(m_hWnd);
  if (parent) SendMessage(WM_SETFONT, WPARAM(::SendMessageW(parent, WM_GETFONT, 0, 0)), TRUE);
}

void CGLinkButton::SetText(const wchar_t* text, const wchar_t* tooltip, int redraw) {
  if (m_hWnd) SetWindowText(text ? text : L"");
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, tooltip && *tooltip);
  if (redraw && m_hWnd) Invalidate();
}

void CGLinkButton::SetTooltip(const wchar_t* tooltip, int activate) {
  kestrel::SetButtonTooltip(*this, m_wndToolTip, m_strToolTip, tooltip, activate);
}

void CGLinkButton::SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled, int redraw) {
  m_clrText[0] = kestrel::OrSys(normal, COLOR_BTNTEXT);
  m_clrText[1] = hover == 0xFFFFFFFF ? kBlue : hover;
  m_clrText[2] = pressed == 0xFFFFFFFF ? kRed : pressed;
  m_clrText[3] = kestrel::OrSys(disabled, COLOR_GRAYTEXT);
  if (redraw && m_hWnd) Invalidate();
}

void CGLinkButton::SetIcon(Veltra::COImage* icon, int redraw) {
  if (!icon || icon->IsEmpty())
    m_imgIcon.Release();
  else
    m_imgIcon.CopyFrom(*icon);
  if (redraw && m_hWnd) Invalidate();
}

void CGLinkButton::SetArrange(int arrange, int redraw) {
  m_nArrange = arrange < 0 ? 0 : (arrange > 4 ? 4 : arrange);
  if (redraw && m_hWnd) Invalidate();
}

CRect CGLinkButton::CalcFixSize(int anchor, int apply) {
  if (!m_hWnd) return CRect();
  CGuiManager* gm = Kestrel_GetManager();
  CRect content;
  GetClientRect(&content);
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);
  CClientDC dc(this);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
  CString text;
  GetWindowText(text);
  CRect ic, tx, block;
  if (gm)
    block = gm->CalcLayout(&ic, &tx, m_nArrange, kestrel::ButtonTextFormat(GetStyle(), false), &dc, &content,
                           &m_imgIcon, &text, m_nArrange <= 1 ? 4 : 2);
  if (oldFont) ::SelectObject(dc, oldFont);
  return kestrel::FitWindowRect(*this, block, m_rcPadding, anchor, apply);
}

HBRUSH CGLinkButton::CtlColor(CDC* dc, UINT) {
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CGLinkButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // A fast second click is a second click, not a double click.
  if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
  return CButton::DefWindowProc(message, wParam, lParam);
}

void CGLinkButton::OnMouseMove(UINT flags, CPoint point) {
  if (kestrel::TrackMouseLeave(*this, m_bTracking)) Invalidate();
  CButton::OnMouseMove(flags, point);
}

void CGLinkButton::OnMouseLeave() {
  m_bTracking = 0;
  Invalidate();
  CButton::OnMouseLeave();
}

void CGLinkButton::OnDestroy() {
  m_bTracking = 0;
  CButton::OnDestroy();
}

BOOL CGLinkButton::OnSetCursor(CWnd*, UINT, UINT) {
  CGuiManager* gm = Kestrel_GetManager();
  ::SetCursor(gm ? gm->m_hLinkCursor : nullptr);
  return TRUE;
}

void CGLinkButton::OnSize(UINT type, int cx, int cy) {
  CButton::OnSize(type, cx, cy);
  kestrel::SizeTooltipTool(*this, m_wndToolTip, cx, cy);
}

BOOL CGLinkButton::PreTranslateMessage(MSG* pMsg) {
  kestrel::RelayToTooltip(*this, m_wndToolTip, m_strToolTip, pMsg);
  return CButton::PreTranslateMessage(pMsg);
}

BOOL CGLinkButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CGLinkButton::OnNcPaint() {}

COLORREF CGLinkButton::TextColorOfState(UINT itemState) const {
  if (itemState & ODS_DISABLED) return m_clrText[3];
  if (itemState & ODS_SELECTED) return m_clrText[2];
  if (m_bTracking) return m_clrText[1];
  return m_clrText[0];
}

void CGLinkButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  CGuiManager* gm = Kestrel_GetManager();
  if (!gm || !m_hWnd) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CRect content = client;
  content.DeflateRect(m_rcPadding.left, m_rcPadding.top, m_rcPadding.right, m_rcPadding.bottom);

  gm->FillParentBkgndImage(m_imgPaint, this, ::GetSysColor(COLOR_BTNFACE), &client);
  if (m_imgPaint.IsEmpty()) return;
  ::GdiFlush();
  kestrel::BufferDC mem(dc, m_imgPaint);

  const UINT st = dis->itemState;
  const bool disabled = (st & ODS_DISABLED) != 0;
  const bool underline = !disabled && ((st & ODS_SELECTED) || m_bTracking);
  mem->SetTextColor(TextColorOfState(st));
  mem->SetBkMode(TRANSPARENT);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ oldFont = font ? ::SelectObject(*mem.get(), font) : nullptr;
  const UINT format = kestrel::ButtonTextFormat(GetStyle(), true);
  mem->IntersectClipRect(&content);
  m_imgPaint.SetClipRect(content);
  CString text;
  GetWindowText(text);
  CRect ic, tx;
  gm->CalcLayout(&ic, &tx, m_nArrange, format, mem.get(), &content, &m_imgIcon, &text, m_nArrange <= 1 ? 4 : 2);
  if (!m_imgIcon.IsEmpty()) {
    const int w = m_imgIcon.GetWidth(), h = m_imgIcon.GetHeight();
    if (disabled) m_imgIcon.SetOpacity(70);
    m_imgPaint.DrawImage(ic.left, ic.top, m_imgIcon, 0, 0, w, h, 0, disabled ? 1 : 0);
    m_imgIcon.SetOpacity(100);
  }
  if (!text.IsEmpty()) {
    if (underline) {
      kestrel::UnderlinedFont ul(mem.get());
      mem->DrawText(text, &tx, format);
    } else {
      mem->DrawText(text, &tx, format);
    }
  }
  ::SelectClipRgn(*mem.get(), nullptr);
  m_imgPaint.SetClipRect(client);
  if (oldFont) ::SelectObject(*mem.get(), oldFont);
  dc->BitBlt(client.left, client.top, client.Width(), client.Height(), mem.get(), 0, 0, SRCCOPY);
}
