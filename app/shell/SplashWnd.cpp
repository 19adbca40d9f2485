#include "app/shell/SplashWnd.h"

#include "core/BmpImage.h"

namespace {
constexpr wchar_t kSplashClass[] = L"Talvane_Splash";
}

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

bool CSplashWnd::RegisterWindowClass() {
  HINSTANCE instance = AfxGetInstanceHandle();
  WNDCLASSW wc = {};
  if (GetClassInfoW(instance, kSplashClass, &wc)) return true;
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_GLOBALCLASS;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kSplashClass;
  return AfxRegisterClass(&wc) != FALSE;
}

bool CSplashWnd::Create(CWnd* parent) {
  if (!RegisterWindowClass()) return false;
  return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSplashClass, nullptr, WS_POPUP, 0, 0, 1, 1,
                  CWnd::HwndOf(parent), nullptr) != FALSE;
}

int CSplashWnd::OnCreate(LPCREATESTRUCTW cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CBmpImage bmp;
  if (!bmp.ReadFile(m_bitmapPath.c_str(), &m_image, 0) || m_image.IsEmpty()) return -1;
  SetWindowPos(nullptr, 0, 0, m_image.GetWidth(), m_image.GetHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow();
  ShowWindow(SW_SHOW);
  // Start-up runs before any message loop: the picture is painted now, or
  // the window would stay an empty area until the main window replaces it.
  UpdateWindow();
  return 0;
}

BOOL CSplashWnd::OnEraseBkgnd(CDC* dc) {
  if (dc && !m_image.IsEmpty()) m_image.Draw(dc->GetSafeHdc(), 0, 0, SRCCOPY);
  return TRUE;
}
