// Kestrelu's library-wide services: initialisation, the skin folder, the
// link cursor, window classes, tooltips, background requests to the parent
// (WM_GUI_PARENTBKGND) and the icon-and-text layout every control uses.
//
//   Kestrel_Initialize(folder)  once before the first control; counted
//   Kestrel_UnInitialize()      once per Kestrel_Initialize
//   Kestrel_GetManager()        the one CGuiManager (null outside the two)
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"
#include "guictl/KestrelRes.h"
#include "guictl/OImage.h"

// A control asks its parent to paint the background behind it: wParam is a
// RECT* in the parent's client coordinates, lParam a GuiBkgndRequest*. A
// parent that painted returns non-zero; 0 leaves the filling to the control.
#define WM_GUI_PARENTBKGND 1206
// A splitter bar moved: wParam its HWND, lParam a RECT* (screen coordinates).
#define WM_SPLITTER_MOVED 1225

struct GuiBkgndRequest {
  int kind;                 // 0 paint into dc, 1 fill image
  CDC* dc;                  // kind 0: paint the rectangle at (x, y) of dc
  Veltra::COImage* image;   // kind 1: the image has the rectangle's size
  HWND control;             // the control that asks
  int x;                    // the rectangle's left and top in the
  int y;                    // control's client coordinates
};
static_assert(sizeof(GuiBkgndRequest) == 24, "GuiBkgndRequest is a 24-byte record");

class KESTREL_API CGuiManager {
 public:
  CGuiManager();
  virtual ~CGuiManager();

  // 1; 0 when the module's file name cannot be read (no folder, no cursor).
  int Init(const wchar_t* skinFolder, HMODULE module);
  HINSTANCE GetInstance() const { return m_hModule; }
  CString GetSkinFolder() const { return m_strSkinFolder; }
  // The folder of a module's file plus "kestrel\".
  static CString SkinFolderFromModulePath(const wchar_t* modulePath);

  // 1 when the class exists or was registered; 0 when registration failed.
  int RegisterWndClass(const wchar_t* className, UINT style);
  BOOL StripFrame(CWnd& wnd);
  int SetToolTip(CWnd* wnd, CToolTipCtrl& tip, const wchar_t* text, UINT toolId);

  // What the parent shows behind rect (null: the whole client area), or
  // the fallback colour when the parent does not answer.
  void FillParentBkgndImage(Veltra::COImage& image, CWnd* control, COLORREF fallback, const RECT* rect);
  void FillParentBkgndDC(CDC* dc, CWnd* control, COLORREF fallback, const RECT* rect);

  // arrange: 0 icon left of the text, 1 right, 2 above, 3 below, 4 over
  // each other. format: DrawText bits. Returns the block holding both.
  CRect CalcLayout(RECT* iconRect, RECT* textRect, int arrange, UINT format, CDC* dc, const RECT* bounds,
                   Veltra::COImage* icon, const CString* text, int gap);
  // The same with the icon's size given (one cell of an image list).
  CRect CalcLayout(RECT* iconRect, RECT* textRect, int arrange, UINT format, CDC* dc, const RECT* bounds,
                   Veltra::COImage* icon, int iconWidth, int iconHeight, const CString* text, int gap);

  HCURSOR m_hLinkCursor;
  HMODULE m_hModule;
  CString m_strSkinFolder;
  int m_nRefCount;
};

extern "C" {
KESTREL_API int __cdecl Kestrel_Initialize(const wchar_t* skinFolder);
KESTREL_API void __cdecl Kestrel_UnInitialize();
}
KESTREL_API CGuiManager* Kestrel_GetManager();
