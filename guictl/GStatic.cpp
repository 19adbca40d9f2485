#include "guictl/GStatic.h"

#include "guictl/ButtonCommon.h"
#include "guictl/GuiManager.h"

BEGIN_MESSAGE_MAP(CGStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_NCPAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_ENABLE()
END_MESSAGE_MAP()

CGStatic::CGStatic()
    : m_clrText(::GetSysColor(COLOR_BTNTEXT)), m_clrDisabled(::GetSysColor(COLOR_GRAYTEXT)),
      m_clrBack(::GetSysColor(COLOR_BTNFACE)), m_nBkMode(1), m_nArrange(0), m_bShadow(0), m_clrShadow(0xFFFFFF),
      m_nLineMode(0), m_clrLineDark(0x99A8AC), m_clrLineLight(0xFFFFFF), m_nEllipsis(0), m_dwStyle(0),
      m_bAttach(1) {}

CGStatic::~CGStatic() {}

BOOL CGStatic::PreCreateWindow(CREATESTRUCTW& cs) {
  m_bAttach = 0;
  return CStatic::PreCreateWindow(cs);
}

int CGStatic::OnCreate(LPCREATESTRUCTW cs) {
  return kestrel::AttachOnCreate(CStatic::OnCreate(cs), m_bAttach, [this] { PreSubclassWindow(); });
}

void CGStatic::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  if (!m_bAttach) return;
  m_dwStyle = GetStyle();
  // The saved style keeps SS_NOPREFIX; the painting honours it from there.
  ::SetWindowLongW(m_hWnd, GWL_STYLE, LONG(m_dwStyle & ~DWORD(SS_NOPREFIX)));
  _ModifyWndBorderForStatic(*this);
}

void CGStatic::_ModifyWndBorderForStatic(CWnd& wnd) {
  HWND h = wnd.GetSafeHwnd();
  const DWORD style = wnd.GetStyle();
  DWORD ex = wnd.GetExStyle() & ~DWORD(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
  if (style & SS_SUNKEN) ex |= WS_EX_STATICEDGE;
  if (style & WS_BORDER) ex |= WS_EX_CLIENTEDGE;
  ::SetWindowLongW(h, GWL_STYLE, LONG(style & ~DWORD(WS_CAPTION | SS_SUNKEN)));
  ::SetWindowLongW(h, GWL_EXSTYLE, LONG(ex));
  ::SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CGStatic::_DrawWndBorder(CWnd& wnd) {
  const DWORD ex = wnd.GetExStyle();
  if (!(ex & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE))) return;
  CWindowDC dc(&wnd);
  CRect rc;
  wnd.GetWindowRect(&rc);
  rc.OffsetRect(-rc.left, -rc.top);
  if (ex & WS_EX_STATICEDGE) {
    dc.Draw3dRect(&rc, 0x9F9F9F, 0xFAFAFA);
    rc.DeflateRect(1, 1);
  }
  if (ex & WS_EX_CLIENTEDGE) {
    dc.Draw3dRect(&rc, 0x9F9F9F, 0x9F9F9F);
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, 0xFAFAFA, 0xFAFAFA);
  }
}

void CGStatic::SetText(const wchar_t* text, int redraw) {
  if (!m_hWnd) return;
  SetWindowText(text ? text : L"");
  if (redraw) Invalidate();
}

CString CGStatic::GetText() const {
  CString text;
  if (m_hWnd) GetWindowText(text);
  return text;
}

void CGStatic::SetTextColor(COLORREF normal, COLORREF disabled, int redraw) {
  m_clrText = normal == 0xFFFFFFFF ? ::GetSysColor(COLOR_BTNTEXT) : normal;
  m_clrDisabled = disabled == 0xFFFFFFFF ? ::GetSysColor(COLOR_GRAYTEXT) : disabled;
  if (redraw && m_hWnd) Invalidate();
}

void CGStatic::SetIcon(Veltra::COImage* icon) {
  if (!icon || icon->IsEmpty())
    m_imgIcon.Release();
  else
    m_imgIcon.CopyFrom(*icon);
  if (m_hWnd) Invalidate();
}

int CGStatic::SetBkMode(int mode) {
  int old = m_nBkMode;
  m_nBkMode = mode;
  return old;
}

COLORREF CGStatic::SetBkColor(COLORREF colour) {
  COLORREF old = m_clrBack;
  m_clrBack = colour;
  return old;
}

void CGStatic::SetGroupLine(int mode, COLORREF dark, COLORREF light) {
  m_nLineMode = mode < 0 ? 0 : (mode > 2 ? 2 : mode);
  m_clrLineDark = dark;
  m_clrLineLight = light;
  if (m_hWnd) Invalidate();
}

void CGStatic::SetTextShadow(int on, COLORREF colour) {
  m_bShadow = on;
  m_clrShadow = colour;
  if (m_hWnd) Invalidate();
}

void CGStatic::SetTextEllipsis(int ellipsis, int redraw) {
  m_nEllipsis = (ellipsis == DT_PATH_ELLIPSIS || ellipsis == DT_END_ELLIPSIS || ellipsis == DT_WORD_ELLIPSIS)
                    ? ellipsis : 0;
  if (redraw && m_hWnd) Invalidate();
}

void CGStatic::SetArrange(int arrange, int redraw) {
  m_nArrange = arrange < 0 ? 0 : (arrange > 4 ? 4 : arrange);
  if (redraw && m_hWnd) Invalidate();
}

UINT CGStatic::GetTextFormat(bool withEllipsis) const {
  UINT format;
  switch (m_dwStyle & SS_TYPEMASK) {
    case SS_LEFT: format = DT_WORDBREAK | DT_EXPANDTABS; break;
    case SS_CENTER: format = DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER; break;
    case SS_RIGHT: format = DT_WORDBREAK | DT_EXPANDTABS | DT_RIGHT; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format = DT_EXPANDTABS; break;
    default: format = 0; break;
  }
  if (m_dwStyle & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (m_dwStyle & SS_CENTERIMAGE) format |= DT_VCENTER;
  if (withEllipsis) format |= UINT(m_nEllipsis);
  return format;
}

CRect CGStatic::CalcFixSize(int anchor, int apply) {
  if (!m_hWnd) return CRect();
  CGuiManager* gm = Kestrel_GetManager();
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
  CString text = GetText();
  CRect ic, tx, block;
  if (gm)
    block = gm->CalcLayout(&ic, &tx, m_nArrange, GetTextFormat(false), &dc, &client, &m_imgIcon, &text,
                           m_nArrange <= 1 ? 4 : 2);
  if (oldFont) ::SelectObject(dc, oldFont);
  return kestrel::FitWindowRect(*this, block, RECT{0, 0, 0, 0}, anchor, apply);
}

HBRUSH CGStatic::CtlColor(CDC* dc, UINT) {
  dc->SetBkMode(TRANSPARENT);
  dc->SetBkColor(m_clrBack);
  dc->SetTextColor(m_clrText);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CGStatic::OnNcPaint() { _DrawWndBorder(*this); }

BOOL CGStatic::OnEraseBkgnd(CDC*) { return TRUE; }

void CGStatic::OnEnable(BOOL enable) {
  CStatic::OnEnable(enable);
  Invalidate();
  UpdateWindow();
}

void CGStatic::FillBack(CDC* dc, const CRect& rc) {
  if (m_nBkMode == 2) {
    dc->FillSolidRect(&rc, m_clrBack);
  } else if (CGuiManager* gm = Kestrel_GetManager()) {
    // The fallback fill lands at the context's origin, so ask for the whole
    // client area and let the clip keep rc alone.
    CRect client;
    GetClientRect(&client);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&rc);
    gm->FillParentBkgndDC(dc, this, m_clrBack, &client);
    dc->RestoreDC(saved);
  }
}

void CGStatic::OnPaint() {
  CPaintDC dc(this);
  if (m_nLineMode == 2) {
    DrawGroupBox(&dc);
    return;
  }
  CGuiManager* gm = Kestrel_GetManager();
  CRect client;
  GetClientRect(&client);
  if (m_nBkMode == 2) dc.FillSolidRect(&dc.m_ps.rcPaint, m_clrBack);
  else FillBack(&dc, client);
  if (!gm) return;

  const bool disabled = !IsWindowEnabled();
  const int saved = dc.SaveDC();
  dc.SetTextColor(m_clrText);
  dc.SetBkMode(TRANSPARENT);
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (font) dc.SelectObject(HGDIOBJ(font));
  const UINT format = GetTextFormat(true);
  CString text = GetText();
  CRect ic, tx;
  CRect block = gm->CalcLayout(&ic, &tx, m_nArrange, format, &dc, &client, &m_imgIcon, &text,
                               m_nArrange <= 1 ? 4 : 2);
  dc.IntersectClipRect(&client);
  if (!m_imgIcon.IsEmpty())
    m_imgIcon.AlphaDraw(dc, ic.left, ic.top, 0, 0, m_imgIcon.GetWidth(), m_imgIcon.GetHeight(), 0, disabled ? 1 : 0,
                        nullptr);
  if (!text.IsEmpty()) {
    if (m_bShadow) {
      CRect shadow = tx;
      shadow.OffsetRect(0, 1);
      dc.SetTextColor(disabled ? 0xFFFFFF : m_clrShadow);
      dc.DrawText(text, &shadow, format);
    }
    dc.SetTextColor(disabled ? m_clrDisabled : m_clrText);
    dc.DrawText(text, &tx, format);
  }
  if (m_nLineMode == 1) {
    const CRect& around = block.IsRectEmpty() ? client : block;
    const int y = (around.top + around.bottom) / 2;
    if (!block.IsRectEmpty()) dc.ExcludeClipRect(block.left - 4, block.top, block.right + 4, block.bottom);
    CPen dark(PS_SOLID, 1, disabled ? m_clrDisabled : m_clrLineDark);
    CPen light(PS_SOLID, 1, disabled ? 0xFFFFFF : m_clrLineLight);
    HGDIOBJ oldPen = ::SelectObject(dc, dark);
    dc.MoveTo(client.left, y);
    dc.LineTo(client.right, y);
    ::SelectObject(dc, light);
    dc.MoveTo(client.left, y + 1);
    dc.LineTo(client.right, y + 1);
    ::SelectObject(dc, oldPen);  // the pens go at the end of this block
  }
  dc.RestoreDC(saved);
}

void CGStatic::DrawGroupBox(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  const bool disabled = !IsWindowEnabled();
  const int saved = dc->SaveDC();
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (font) dc->SelectObject(HGDIOBJ(font));
  dc->SetBkMode(TRANSPARENT);
  CString text = GetText();
  CSize size = dc->GetTextExtent(text.IsEmpty() ? CString(L"A") : text);
  const int textHeight = size.cy;
  if (text.IsEmpty()) size.cx = 0;
  const UINT format = GetTextFormat(false);
  int left;
  if (format & DT_CENTER) left = client.left + (client.Width() - size.cx) / 2;
  else if (format & DT_RIGHT) left = client.right - size.cx - 10;
  else left = client.left + 10;
  CRect title(left, client.top, left + size.cx, client.top + textHeight);
  const UINT titleFormat = DT_SINGLELINE | DT_END_ELLIPSIS;
  CRect gap = title;
  gap.InflateRect(2, 0);

  // Frame first, around the title's gap, then the title over its own background.
  CRect frame(client.left, client.top + textHeight / 2, client.right - 1, client.bottom - 1);
  if (m_bShadow) frame.bottom -= 1;
  const int clipSaved = dc->SaveDC();
  if (!text.IsEmpty()) dc->ExcludeClipRect(&gap);
  dc->SelectObject(::GetStockObject(HOLLOW_BRUSH));
  if (m_bShadow) {
    CPen shadowPen(PS_SOLID, 1, m_clrShadow);
    HGDIOBJ old = ::SelectObject(*dc, shadowPen);
    CRect s = frame;
    s.OffsetRect(0, 1);
    dc->Rectangle(&s);
    ::SelectObject(*dc, old);
  }
  CPen pen(PS_SOLID, 1, disabled ? m_clrDisabled : m_clrLineDark);
  HGDIOBJ oldPen = ::SelectObject(*dc, pen);
  dc->Rectangle(&frame);
  ::SelectObject(*dc, oldPen);
  dc->RestoreDC(clipSaved);

  if (!text.IsEmpty()) {
    FillBack(dc, gap);
    if (m_bShadow) {
      CRect s = title;
      s.OffsetRect(0, 1);
      dc->SetTextColor(m_clrShadow);
      dc->DrawText(text, &s, titleFormat);
    }
    dc->SetTextColor(disabled ? m_clrDisabled : m_clrText);
    dc->DrawText(text, &title, titleFormat);
  }
  dc->RestoreDC(saved);
}
