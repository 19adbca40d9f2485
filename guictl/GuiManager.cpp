#include "guictl/GuiManager.h"

#include <new>

namespace {

CGuiManager* g_pManager = nullptr;
HMODULE g_hKestrel = nullptr;

}  // namespace

// The library's resources (the link cursor) join the framework's resource
// chain while the library is loaded.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_hKestrel = instance;
    ::DisableThreadLibraryCalls(instance);
    AfxAddResourceModule(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    AfxRemoveResourceModule(instance);
  }
  return TRUE;
}

CGuiManager::CGuiManager() : m_hLinkCursor(nullptr), m_hModule(nullptr), m_nRefCount(0) {}

CGuiManager::~CGuiManager() {
  // A cursor loaded from a module's resources is shared: nothing to destroy.
  m_hLinkCursor = nullptr;
  m_strSkinFolder.Empty();
}

CString CGuiManager::SkinFolderFromModulePath(const wchar_t* modulePath) {
  CString path(modulePath);
  int slash = path.ReverseFind(L'\\');
  CString folder;
  if (slash >= 0)
    folder = path.Left(slash + 1);
  else if (!path.IsEmpty() && path[path.GetLength() - 1] == L':')
    folder = path + L"\\";
  folder += L"kestrel\\";
  return folder;
}

int CGuiManager::Init(const wchar_t* skinFolder, HMODULE module) {
  m_hModule = module;
  if (skinFolder) {
    m_strSkinFolder = skinFolder;
  } else {
    wchar_t name[2048];
    DWORD n = ::GetModuleFileNameW(module, name, 2048);
    if (n == 0 || n >= 2048) return 0;
    m_strSkinFolder = SkinFolderFromModulePath(name);
  }
  m_hLinkCursor = ::LoadCursorW(module, MAKEINTRESOURCEW(IDC_KESTREL_LINK));
  return 1;
}

int CGuiManager::RegisterWndClass(const wchar_t* className, UINT style) {
  WNDCLASSW wc = {};
  if (::GetClassInfoW(m_hModule, className, &wc)) return 1;
  wc.style = style;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = m_hModule;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  // A failed registration is reported, not thrown: the control's Create
  // then fails and the caller sees it there.
  return AfxRegisterClass(&wc) ? 1 : 0;
}

BOOL CGuiManager::StripFrame(CWnd& wnd) {
  HWND h = wnd.GetSafeHwnd();
  ::SetWindowLongW(h, GWL_STYLE, LONG(wnd.GetStyle() & ~DWORD(WS_CAPTION | WS_THICKFRAME)));
  ::SetWindowLongW(h, GWL_EXSTYLE,
                   LONG(wnd.GetExStyle() & ~DWORD(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)));
  return ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int CGuiManager::SetToolTip(CWnd* wnd, CToolTipCtrl& tip, const wchar_t* text, UINT toolId) {
  if (!text || toolId == 0 || !wnd) return 0;
  if (!tip.GetSafeHwnd()) {
    if (!tip.Create(wnd, TTS_ALWAYSTIP | TTS_NOPREFIX)) return 0;
    tip.Activate(FALSE);
    tip.SetMaxTipWidth(400);
  }
  TOOLINFOW ti = {};
  if (tip.GetToolInfo(ti, wnd, toolId)) {
    tip.UpdateTipText(text, wnd, toolId);
    return 1;
  }
  CRect client;
  wnd->GetClientRect(&client);
  return tip.AddTool(wnd, text, &client, toolId);
}

namespace {

// The parent of control, the record and the rectangle in the parent's
// coordinates; false without a parent.
bool AskParent(CWnd* control, GuiBkgndRequest& req, const CRect& rc, LRESULT& answer) {
  HWND parent = control ? ::GetParent(control->GetSafeHwnd()) : nullptr;
  if (!parent) return false;
  req.control = control->GetSafeHwnd();
  req.x = rc.left;
  req.y = rc.top;
  CRect inParent = rc;
  ::MapWindowPoints(req.control, parent, reinterpret_cast<POINT*>(&inParent), 2);
  answer = ::SendMessageW(parent, WM_GUI_PARENTBKGND, WPARAM(&inParent), LPARAM(&req));
  return true;
}

CRect RequestRect(CWnd* control, const RECT* rect) {
  if (rect) return CRect(rect);
  CRect rc;
  if (control) control->GetClientRect(&rc);
  return rc;
}

}  // namespace

void CGuiManager::FillParentBkgndImage(Veltra::COImage& image, CWnd* control, COLORREF fallback, const RECT* rect) {
  if (!control || !::GetParent(control->GetSafeHwnd())) return;
  CRect rc = RequestRect(control, rect);
  if (image.GetWidth() != rc.Width() || image.GetHeight() != rc.Height()) {
    uint32_t back = image.GetBackColor();
    double dpi = image.GetDpi() > 0 ? image.GetDpi() : 72.0;
    int dib = image.IsDibSection() ? 1 : 0;
    if (rc.Width() < 1 || rc.Height() < 1)
      image.Release();
    else
      image.CreateFilled(rc.Width(), rc.Height(), dpi, back, dib);
    image.SetBackColor(back);
  }
  if (image.IsEmpty()) return;
  GuiBkgndRequest req = {1, nullptr, &image, nullptr, 0, 0};
  LRESULT answer = 0;
  if (AskParent(control, req, rc, answer) && answer == 0) {
    uint32_t pixel = 0xFF000000u | (uint32_t(GetRValue(fallback)) << 16) | (uint32_t(GetGValue(fallback)) << 8) |
                     GetBValue(fallback);
    image.Fill(pixel);
  }
}

void CGuiManager::FillParentBkgndDC(CDC* dc, CWnd* control, COLORREF fallback, const RECT* rect) {
  if (!control || !dc || !::GetParent(control->GetSafeHwnd())) return;
  CRect rc = RequestRect(control, rect);
  GuiBkgndRequest req = {0, dc, nullptr, nullptr, 0, 0};
  LRESULT answer = 0;
  if (AskParent(control, req, rc, answer) && answer == 0) dc->FillSolidRect(0, 0, rc.Width(), rc.Height(), fallback);
}

CRect CGuiManager::CalcLayout(RECT* iconRect, RECT* textRect, int arrange, UINT format, CDC* dc, const RECT* bounds,
                              Veltra::COImage* icon, const CString* text, int gap) {
  int w = icon ? icon->GetWidth() : 0;
  int h = icon ? icon->GetHeight() : 0;
  return CalcLayout(iconRect, textRect, arrange, format, dc, bounds, icon, w, h, text, gap);
}

CRect CGuiManager::CalcLayout(RECT* iconRect, RECT* textRect, int arrange, UINT format, CDC* dc, const RECT* bounds,
                              Veltra::COImage* icon, int iconWidth, int iconHeight, const CString* text, int gap) {
  const CRect b(bounds);
  const int W = b.Width(), H = b.Height();
  CRect ic, tx;
  if (!icon || icon->IsEmpty() || iconWidth <= 0 || iconHeight <= 0) {
    gap = 0;
  } else {
    ic.SetRect(0, 0, iconWidth, iconHeight);
  }
  if (!text || text->IsEmpty() || !dc) {
    gap = 0;
  } else {
    CRect room = (arrange == 0 || arrange == 1) ? CRect(0, 0, W - ic.Width() - gap, H)
                                                : CRect(0, 0, W, H - ic.Height() - gap);
    dc->DrawText(*text, &room, format | DT_CALCRECT);
    tx.SetRect(0, 0, room.Width(), room.Height());
    if (format & DT_SINGLELINE) tx.bottom = dc->GetTextExtent(L"A", 1).cy;
  }
  const int iw = ic.Width(), ih = ic.Height(), tw = tx.Width(), th = tx.Height();
  int bw, bh;
  if (arrange == 0 || arrange == 1) {
    bw = iw + gap + tw;
    bh = ih > th ? ih : th;
  } else if (arrange == 2 || arrange == 3) {
    bw = iw > tw ? iw : tw;
    bh = ih + gap + th;
  } else {
    bw = iw > tw ? iw : tw;
    bh = ih > th ? ih : th;
  }
  int bx = b.left, by = b.top;
  if (format & DT_CENTER)
    bx += (W - bw) / 2;
  else if (format & DT_RIGHT)
    bx += W - bw;
  if (format & DT_VCENTER)
    by += (H - bh) / 2;
  else if (format & DT_BOTTOM)
    by += H - bh;
  CRect block(bx, by, bx + bw, by + bh);

  // Offset of a part of size `part` inside the block's size `whole`.
  auto alignV = [&](int part) {
    if (format & DT_VCENTER) return (bh - part) / 2;
    if (format & DT_BOTTOM) return bh - part;
    return 0;
  };
  auto alignH = [&](int part) {
    if (format & DT_CENTER) return (bw - part) / 2;
    if (format & DT_RIGHT) return bw - part;
    return 0;
  };
  int ix = 0, iy = 0, txx = 0, ty = 0;
  switch (arrange) {
    case 0: ix = 0; txx = iw + gap; iy = alignV(ih); ty = alignV(th); break;
    case 1: txx = 0; ix = tw + gap; iy = alignV(ih); ty = alignV(th); break;
    case 2: iy = 0; ty = ih + gap; ix = alignH(iw); txx = alignH(tw); break;
    case 3: ty = 0; iy = th + gap; ix = alignH(iw); txx = alignH(tw); break;
    default:
      // Over each other: right and bottom alignment move the icon alone.
      if (format & DT_CENTER) { ix = (bw - iw) / 2; txx = (bw - tw) / 2; }
      else if (format & DT_RIGHT) ix = bw - iw;
      if (format & DT_VCENTER) { iy = (bh - ih) / 2; ty = (bh - th) / 2; }
      else if (format & DT_BOTTOM) iy = bh - ih;
      break;
  }
  if (iconRect) {
    if (iw > 0) ::SetRect(iconRect, bx + ix, by + iy, bx + ix + iw, by + iy + ih);
    else ::SetRectEmpty(iconRect);
  }
  if (textRect) {
    if (tw > 0 || th > 0) ::SetRect(textRect, bx + txx, by + ty, bx + txx + tw, by + ty + th);
    else ::SetRectEmpty(textRect);
  }
  return block;
}

CGuiManager* Kestrel_GetManager() { return g_pManager; }

int __cdecl Kestrel_Initialize(const wchar_t* skinFolder) {
  if (g_pManager) {
    ++g_pManager->m_nRefCount;
    return 1;
  }
  CGuiManager* manager = new (std::nothrow) CGuiManager;
  if (!manager) return 0;
  manager->Init(skinFolder, g_hKestrel);
  manager->m_nRefCount = 1;
  g_pManager = manager;
  return 1;
}

void __cdecl Kestrel_UnInitialize() {
  if (!g_pManager) return;
  if (--g_pManager->m_nRefCount > 0) return;
  delete g_pManager;
  g_pManager = nullptr;
}
