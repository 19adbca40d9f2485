#include "platform/framework/FxGdi.h"

#include "platform/framework/FxState.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

// ---- GDI objects -----------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (m_hObject || !hObject) return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectW(m_hObject, nCount, lpObject); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    return FxState().gdiObjects.FromHandle(hObject, [](HGDIOBJ h) -> CGdiObject* {
        CGdiObject* p;
        switch (::GetObjectType(h)) {
        case OBJ_FONT: p = new CFont; break;
        case OBJ_PEN: p = new CPen; break;
        case OBJ_BRUSH: p = new CBrush; break;
        case OBJ_BITMAP: p = new CBitmap; break;
        case OBJ_REGION: p = new CRgn; break;
        default: p = new CGdiObject; break;
        }
        p->m_hObject = h;
        return p;
    });
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) { return Attach(::CreateFontIndirectW(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename) {
    return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC) {
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    if (lpszFaceName) lstrcpynW(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* lpLogFont, CDC* pDC) {
    // lfHeight holds tenths of a point: turn it into a character height in
    // the context's logical units (negative: the em height, not the cell's).
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    LOGFONTW lf = *lpLogFont;
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(hDC, &pt, 1);
    ::DPtoLP(hDC, &origin, 1);
    lf.lfHeight = -abs(pt.y - origin.y);
    if (!pDC) ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) { return Attach(::CreatePatternBrush(*pBitmap)); }

BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCE(nIDResource), RT_BITMAP);
    return hInst && Attach(::LoadBitmapW(hInst, MAKEINTRESOURCE(nIDResource)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(*pDC, nWidth, nHeight));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
    return ::CombineRgn(*this, pRgn1 ? HRGN(*pRgn1) : nullptr, pRgn2 ? HRGN(*pRgn2) : nullptr, nCombineMode);
}

// ---- Device contexts -------------------------------------------------------

CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hDC) {
    return FxState().dcs.FromHandle(hDC, [](HDC h) {
        CDC* p = new CDC;
        p->m_hDC = h;
        return p;
    });
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !hDC) return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject ? pObject->m_hObject : nullptr));
}
CFont* CDC::SelectObject(CFont* pFont) { return static_cast<CFont*>(SelectObject(static_cast<CGdiObject*>(pFont))); }
CPen* CDC::SelectObject(CPen* pPen) { return static_cast<CPen*>(SelectObject(static_cast<CGdiObject*>(pPen))); }
CBrush* CDC::SelectObject(CBrush* pBrush) {
    return static_cast<CBrush*>(SelectObject(static_cast<CGdiObject*>(pBrush)));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return static_cast<CBitmap*>(SelectObject(static_cast<CGdiObject*>(pBitmap)));
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}

CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old = {};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old = {};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}

CPoint CDC::GetViewportOrg() const {
    POINT p = {};
    ::GetViewportOrgEx(m_hDC, &p);
    return p;
}

CSize CDC::GetTextExtent(LPCWSTR lpszString, int nCount) const {
    SIZE s = {};
    ::GetTextExtentPoint32W(m_hDC, lpszString, nCount, &s);
    return s;
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old = {};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    // ExtTextOut with an opaque rectangle fills without making a brush.
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    CRect r(x, y, x + cx, y + cy);
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
    return ::DrawStateW(m_hDC, hBrush, nullptr, LPARAM(hIcon), 0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_ICON);
}

CBrush* CDC::GetHalftoneBrush() {
    // One brush per process, made on first use: a checkerboard of pixels.
    static CBrush brush;
    if (!brush.m_hObject) {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i) pattern[i] = WORD(0x5555 << (i & 1));
        HBITMAP bits = ::CreateBitmap(8, 8, 1, 1, pattern);
        if (bits) {
            brush.Attach(::CreatePatternBrush(bits));
            ::DeleteObject(bits);
        }
    }
    return &brush;
}

void CDC::InvertFrame(LPCRECT lpRect, SIZE size, CBrush* pBrush) {
    // The frame is the rectangle less its interior size.cx / size.cy in from
    // each side; a border as thick as the rectangle inverts it whole.
    CRect outer(lpRect);
    CRect inner(outer);
    inner.DeflateRect(size.cx, size.cy);
    CRgn frame, hole;
    if (!frame.CreateRectRgnIndirect(&outer)) return;
    if (!inner.IsRectEmpty() && inner.left < inner.right && inner.top < inner.bottom &&
        hole.CreateRectRgnIndirect(&inner))
        frame.CombineRgn(&frame, &hole, RGN_DIFF);
    HGDIOBJ oldBrush = ::SelectObject(m_hDC, pBrush ? HBRUSH(*pBrush) : HBRUSH(*GetHalftoneBrush()));
    int saved = ::SaveDC(m_hDC);
    ::ExtSelectClipRgn(m_hDC, frame, RGN_AND);
    ::PatBlt(m_hDC, outer.left, outer.top, outer.Width(), outer.Height(), PATINVERT);
    ::RestoreDC(m_hDC, saved);
    ::SelectObject(m_hDC, oldBrush);
}

void CDC::DrawDragRect(LPCRECT lpRect, SIZE size, LPCRECT lpRectLast, SIZE sizeLast, CBrush* pBrush,
                       CBrush* pBrushLast) {
    if (lpRectLast) InvertFrame(lpRectLast, sizeLast, pBrushLast ? pBrushLast : pBrush);
    if (lpRect) InvertFrame(lpRect, size, pBrush);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) { Attach(::GetWindowDC(m_hWnd)); }

CWindowDC::~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, Detach());
}
