// The self-drawn frame: caption buttons and panes, painting, hit-testing,
// the window region, maximising and the index-pane toggle.
#include "app/frame/FrameInternal.h"

#include "app/frame/FrameLayout.h"
#include "core/FileUtil.h"
#include "core/StrUtil.h"

using namespace frame;

namespace {

bool ReadPng(Veltra::COImage& image, const std::wstring& path) {
  CPngImage png;
  return png.ReadFile(path.c_str(), &image, 0) != 0;
}

// Draws part of an image into dc at (x, y), size (w, h), stretched from the
// source rectangle (sx, sy, sw, sh), through a memory DC.
void BlitImage(HDC dc, HDC memory, const Veltra::COImage& image, int x, int y, int w, int h, int sx, int sy, int sw,
               int sh) {
  if (image.IsEmpty() || !image.GetBitmap() || w <= 0 || h <= 0) return;
  HGDIOBJ old = ::SelectObject(memory, image.GetBitmap());
  if (w == sw && h == sh)
    ::BitBlt(dc, x, y, w, h, memory, sx, sy, SRCCOPY);
  else
    ::StretchBlt(dc, x, y, w, h, memory, sx, sy, sw, sh, SRCCOPY);
  ::SelectObject(memory, old);
}

}  // namespace

void CMainFrame::CreateChildren() {
  const std::wstring& images = theApp.m_imageFolder;
  struct CaptionButton {
    CGImageButton* button;
    const wchar_t* image;
    UINT id;
    DWORD style;
    const wchar_t* tip;
  } buttons[] = {
      {&m_btnClose, L"close.png", IDC_FRAME_CLOSE, 0x50000000, L"Close"},
      {&m_btnMaximize, L"maximize.png", IDC_FRAME_MAXIMIZE, 0x50000002, L"Maximize"},
      {&m_btnMinimize, L"minimize.png", IDC_FRAME_MINIMIZE, 0x50000000, L"Minimize"},
      {&m_btnPin, L"nail.png", IDC_FRAME_PIN, 0x50000003, L"KeepVisible"},
  };
  for (const CaptionButton& b : buttons) {
    b.button->Create(L"", b.style, CRect(0, 0, 0, 0), this, b.id);
    Veltra::COImage cells;
    if (ReadPng(cells, images + b.image)) b.button->SetImageList(cells, kCaptionButtonWidth, kCaptionButtonHeight, 1);
    b.button->SetTooltip(UiText(L"MainFrame", b.tip).c_str(), 1);
    b.button->ShowWindow(SW_SHOW);
  }

  m_searchBar->Create(136, this);
  m_searchBar->ShowWindow(SW_SHOW);
  m_indexPane->Create(134, this);
  m_indexPane->MoveWindow(0, 0, 180, 1, FALSE);
  m_indexPane->ShowWindow(SW_SHOW);
  m_viewBar->Create(135, this);
  m_viewBar->ShowWindow(SW_SHOW);

  m_splitter.Create(this, IDC_FRAME_SPLITTER, 1);
  m_splitter.SetPanes(m_indexPane.get(), 150, m_viewBar.get(), 230, 5);
  m_splitter.SetBkColor(kClientBack, 1);

  m_footer.Create(L"", 0x50000D0B, CRect(0, 0, 0, 0), this, IDC_FRAME_FOOTER);
  m_footer.SetTextColor(0xBC7953, 0xE48800, 0xE48800, ::GetSysColor(COLOR_GRAYTEXT), 0);
  m_footer.SetFont(&theApp.m_uiFont, FALSE);
  m_footer.SetText(UiText(L"Maker", L"Copyright").c_str(), nullptr, 0);
  m_footer.CalcFixSize(4, 1);

  ReadPng(m_captionCentre, images + L"caption_c.png");
  ReadPng(m_captionRight, images + L"caption_r.png");
  ReadPng(m_sizeGrip, images + L"movewnd.png");
  std::wstring logo;
  FormatWString(logo, L"%scaption_logo-%s.png", images.c_str(), theApp.m_langCode.c_str());
  if (!IsFilePresent(logo.c_str())) logo = images + L"caption_logo.png";
  ReadPng(m_captionLogo, logo);
  for (Veltra::COImage* image : {&m_captionCentre, &m_captionRight, &m_sizeGrip, &m_captionLogo})
    if (!image->IsEmpty()) image->SetStorage(1);  // drawn through a memory DC
  m_captionHeight = m_captionCentre.GetHeight();

  m_region = ::CreateRectRgn(0, 0, 0, 0);

  const std::wstring partner = UiText(L"Software", L"Partner");
  if (!partner.empty()) {
    const std::wstring file = UiText(partner.c_str(), L"Logo");
    if (!file.empty() && ReadPng(m_partnerLogo, theApp.m_partnerFolder + file)) m_partnerLogo.SetStorage(1);
  }
}

void CMainFrame::SetFrameRegion(int cx, int cy) {
  SetWindowRgn(nullptr, FALSE);
  if (m_region) ::DeleteObject(m_region);
  POINT points[kFrameRegionPoints];
  FrameRegionOutline(points, cx, cy);
  m_region = ::CreatePolygonRgn(points, kFrameRegionPoints, ALTERNATE);
  // The window owns the region it is given: keep our own copy for later deletion.
  HRGN windowRegion = ::CreateRectRgn(0, 0, 0, 0);
  ::CombineRgn(windowRegion, m_region, nullptr, RGN_COPY);
  if (SetWindowRgn(windowRegion, TRUE) == 0) ::DeleteObject(windowRegion);
  Invalidate();
}

void CMainFrame::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* params) {
  (void)bCalcValidRects;
  (void)params;
  if (IsIconic()) Default();
  // Otherwise the whole window is client area.
}

BOOL CMainFrame::OnEraseBkgnd(CDC* pDC) {
  (void)pDC;
  return TRUE;
}

BOOL CMainFrame::OnNcActivate(BOOL bActive) {
  (void)bActive;
  return TRUE;
}

void CMainFrame::OnNcPaint() {}

void CMainFrame::OnPaint() {
  if (IsIconic()) {
    Default();
    return;
  }
  CPaintDC dc(this);
  DrawFrame(dc);
}

void CMainFrame::DrawFrame(CDC& dc) {
  CRect r;
  GetClientRect(&r);
  const int h = m_captionHeight;
  const COLORREF lines[3] = {kOuterLine, kMiddleLine, kInnerLine};
  CRect inner = r;
  for (COLORREF colour : lines) {
    dc.FillSolidRect(inner.left, inner.top, inner.Width(), 1, colour);
    dc.FillSolidRect(inner.left, inner.bottom - 1, inner.Width(), 1, colour);
    dc.FillSolidRect(inner.left, inner.top, 1, inner.Height(), colour);
    dc.FillSolidRect(inner.right - 1, inner.top, 1, inner.Height(), colour);
    inner.DeflateRect(1, 1);
  }
  HDC memory = ::CreateCompatibleDC(dc.m_hDC);
  const int captionHeight = h - r.top;
  const int logoRight = r.left + m_captionLogo.GetWidth();
  const int rightLeft = r.right - m_captionRight.GetWidth();
  BlitImage(dc.m_hDC, memory, m_captionLogo, r.left, r.top, m_captionLogo.GetWidth(), captionHeight, 0, 0,
            m_captionLogo.GetWidth(), m_captionLogo.GetHeight());
  BlitImage(dc.m_hDC, memory, m_captionRight, rightLeft, r.top, m_captionRight.GetWidth(), captionHeight, 0, 0,
            m_captionRight.GetWidth(), m_captionRight.GetHeight());
  BlitImage(dc.m_hDC, memory, m_captionCentre, logoRight, r.top, rightLeft - logoRight, captionHeight, 0, 0, 1,
            m_captionCentre.GetHeight());
  if (m_captionCentre.GetWidth() >= 3)
    BlitImage(dc.m_hDC, memory, m_captionCentre, inner.right - 59, r.top, 3, captionHeight,
              m_captionCentre.GetWidth() - 3, 0, 3, m_captionCentre.GetHeight());
  if (!m_partnerLogo.IsEmpty())
    BlitImage(dc.m_hDC, memory, m_partnerLogo, logoRight + 40, r.top + 4, m_partnerLogo.GetWidth(),
              m_partnerLogo.GetHeight(), 0, 0, m_partnerLogo.GetWidth(), m_partnerLogo.GetHeight());
  for (CWnd* pane : {static_cast<CWnd*>(m_searchBar.get()), static_cast<CWnd*>(m_indexPane.get()),
                     static_cast<CWnd*>(m_viewBar.get()), static_cast<CWnd*>(&m_footer)}) {
    if (!pane->GetSafeHwnd() || !pane->IsWindowVisible()) continue;
    CRect rect;
    pane->GetWindowRect(&rect);
    ScreenToClient(&rect);
    dc.ExcludeClipRect(&rect);
  }
  dc.FillSolidRect(CRect(inner.left, h, inner.right, inner.bottom - 20), kClientBack);
  dc.FillSolidRect(CRect(inner.left - 1, inner.bottom - 20, inner.right + 1, inner.bottom + 1), kStatusStrip);
  BlitImage(dc.m_hDC, memory, m_sizeGrip, inner.right + 1 - m_sizeGrip.GetWidth(),
            inner.bottom + 1 - m_sizeGrip.GetHeight(), m_sizeGrip.GetWidth(), m_sizeGrip.GetHeight(), 0, 0,
            m_sizeGrip.GetWidth(), m_sizeGrip.GetHeight());
  ::DeleteDC(memory);
}

LRESULT CMainFrame::OnNcHitTest(CPoint point) {
  if (IsIconic()) return Default();
  CRect w;
  GetWindowRect(&w);
  LRESULT hit = FrameHitTest(w, point, m_captionHeight, SIZE{m_sizeGrip.GetWidth(), m_sizeGrip.GetHeight()});
  return hit == HTNOWHERE ? Default() : hit;
}

void CMainFrame::OnNcLButtonDblClk(UINT nHitTest, CPoint point) {
  if (nHitTest == HTCAPTION) {
    OnSysMaximize();
    return;
  }
  CFrameWnd::OnNcLButtonDblClk(nHitTest, point);
}

void CMainFrame::OnLButtonDblClk(UINT nFlags, CPoint point) {
  if (point.y < m_captionHeight) {
    OnSysMaximize();
    return;
  }
  CFrameWnd::OnLButtonDblClk(nFlags, point);
}

void CMainFrame::OnSysMaximize() {
  if (IsZoomed()) {
    ShowWindow(SW_RESTORE);
    m_btnMaximize.SetTooltip(UiText(L"MainFrame", L"Maximize").c_str(), 1);
  } else {
    SetWindowRgn(nullptr, TRUE);
    ShowWindow(SW_MAXIMIZE);
    m_btnMaximize.SetTooltip(UiText(L"MainFrame", L"Restore").c_str(), 1);
  }
  m_btnMaximize.SetCheck(IsZoomed() ? BST_CHECKED : BST_UNCHECKED);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kFrameMinWidth;
  info->ptMinTrackSize.y = kFrameMinHeight;
  CFrameWnd::OnGetMinMaxInfo(info);
}

void CMainFrame::OnSetFocus(CWnd* pOldWnd) {
  (void)pOldWnd;
  if (m_searchBar->GetSafeHwnd()) m_searchBar->SetFocus();
}

BOOL CMainFrame::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (nHitTest == HTCLIENT && pWnd == this) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
  }
  return CFrameWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CMainFrame::OnToggleIndexPane() {
  const bool hide = m_viewBar->m_btnIndex.GetCheck() == BST_CHECKED;
  m_indexPane->ShowWindow(hide ? SW_HIDE : SW_SHOW);
  m_splitter.ShowWindow(hide ? SW_HIDE : SW_SHOW);
  CRect client, index;
  GetClientRect(&client);
  m_indexPane->GetWindowRect(&index);
  RECT view = ViewBarRect(client.Width(), client.Height(), m_captionHeight, index.Width(), !hide);
  m_viewBar->MoveWindow(&view, FALSE);
  // The move repaints nothing: the view bar's strip, its buttons and its
  // frame are drawn again with the frame, or they keep the old place's bits.
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
