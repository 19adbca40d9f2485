#include "guictl/ButtonCommon.h"

namespace kestrel {

namespace {

bool HasCheck(UINT type) { return (type >= BS_CHECKBOX && type <= BS_AUTO3STATE) || type == BS_AUTORADIOBUTTON; }

}  // namespace

bool HandleButtonMessage(CWnd& wnd, ButtonFields f, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                         bool& repaint) {
  repaint = false;
  result = 0;
  const UINT type = wnd.GetStyle() & 0xF;
  switch (msg) {
    case WM_ENABLE:
      f.disabled = !wParam;
      repaint = true;
      return true;
    case WM_SETFONT:
      f.font = reinterpret_cast<HFONT>(wParam);
      repaint = lParam != 0;
      return true;
    case WM_GETFONT:
      result = LRESULT(f.font);
      return true;
    case BM_GETCHECK:
      result = HasCheck(type) ? f.check : 0;
      return true;
    case BM_SETCHECK: {
      const int v = int(wParam);
      const int was = f.check;
      if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        if (v == 0 || v == 1) f.check = v;
      } else if (type == BS_3STATE || type == BS_AUTO3STATE) {
        if (v >= 0 && v <= 2) f.check = v;
      }
      // Drawn at once, so only when the check changed: a row of tabs sets
      // every tab's check on each switch.
      repaint = f.check != was;
      return true;
    }
    case BM_SETSTYLE:
      ::SetWindowLongW(wnd.GetSafeHwnd(), GWL_STYLE, LONG((wnd.GetStyle() & 0xFFFF0000u) | (wParam & 0xFFFF)));
      repaint = lParam != 0;
      return true;
    case BM_CLICK:
      wnd.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
      wnd.PostMessage(WM_LBUTTONUP, 0, 0);
      return true;
    default:
      return false;
  }
}

bool TrackMouseLeave(CWnd& wnd, int& tracking) {
  if (tracking) return false;
  TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, wnd.GetSafeHwnd(), HOVER_DEFAULT};
  tracking = ::TrackMouseEvent(&tme);
  return true;
}

int NextCheckAfterClick(DWORD style, int check) {
  switch (style & 0xF) {
    case BS_AUTOCHECKBOX:
    case BS_AUTORADIOBUTTON: return check == 0 ? 1 : 0;
    case BS_AUTO3STATE: return (check + 1) % 3;
    default: return check;
  }
}

UINT ButtonTextFormat(DWORD style, bool ellipsis) {
  UINT format = 0;
  const DWORD h = style & BS_CENTER, v = style & BS_VCENTER;
  if (h == BS_LEFT) format |= DT_LEFT;
  else if (h == BS_RIGHT) format |= DT_RIGHT;
  else format |= DT_CENTER;
  if (v == BS_TOP) format |= DT_TOP;
  else if (v == BS_BOTTOM) format |= DT_BOTTOM;
  else format |= DT_VCENTER;
  if (style & BS_MULTILINE) format |= DT_WORDBREAK;
  else if (ellipsis) format |= DT_END_ELLIPSIS;
  return format;
}

void AttachButtonWindow(CWnd& wnd, ButtonFields f) {
  HWND h = wnd.GetSafeHwnd();
  f.disabled = !wnd.IsWindowEnabled();
  f.check = 0;
  HWND parent = ::GetParent(h);
  f.font = parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
  ::SetWindowLongW(h, GWL_STYLE, LONG(SelfDrawnButtonStyle(wnd.GetStyle())));
  if (CGuiManager* gm = Kestrel_GetManager()) gm->StripFrame(wnd);
  CRect client;
  wnd.GetClientRect(&client);
  wnd.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetButtonTooltip(CWnd& wnd, CToolTipCtrl& tip, CString& store, const wchar_t* text, BOOL activate) {
  store = text ? text : L"";
  // Made at the first mouse message; an empty text needs no window at all
  // until it has a text (a tip that never had one shows nothing).
  if (!tip.GetSafeHwnd() && (activate || store.IsEmpty())) return;
  if (CGuiManager* gm = Kestrel_GetManager()) gm->SetToolTip(&wnd, tip, store, 1);
  if (tip.GetSafeHwnd()) tip.Activate(activate);
}

void NotifyParentWithoutTip(CWnd& wnd, CToolTipCtrl& tip, const CString& store, WORD code) {
  const HWND h = wnd.GetSafeHwnd();
  const HWND parent = ::GetParent(h);
  if (!parent) return;
  // Without its tool the tip neither stays nor comes up.
  const bool tool = tip.GetSafeHwnd() && tip.GetToolCount() > 0;
  if (tool) {
    tip.Pop();
    tip.DelTool(&wnd, 1);
  }
  ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(h), code), LPARAM(h));
  // The parent may have given the button a new tip text meanwhile.
  if (tool && ::IsWindow(h) && tip.GetSafeHwnd() && tip.GetToolCount() == 0)
    if (CGuiManager* gm = Kestrel_GetManager()) gm->SetToolTip(&wnd, tip, store, 1);
}

void SizeTooltipTool(CWnd& wnd, CToolTipCtrl& tip, int cx, int cy) {
  if (!tip.GetSafeHwnd() || tip.GetToolCount() == 0) return;
  CRect rc(0, 0, cx - 1, cy - 1);
  tip.SetToolRect(&wnd, 1, &rc);
}

void RelayToTooltip(CWnd& wnd, CToolTipCtrl& tip, const CString& store, MSG* msg) {
  if (!tip.GetSafeHwnd() && !store.IsEmpty() && msg->hwnd == wnd.GetSafeHwnd() && msg->message >= WM_MOUSEFIRST &&
      msg->message <= WM_MOUSELAST) {
    CGuiManager* gm = Kestrel_GetManager();
    if (gm && gm->SetToolTip(&wnd, tip, store, 1)) tip.Activate(TRUE);
  }
  if (tip.GetSafeHwnd()) tip.RelayEvent(msg);
}

CRect FitWindowRect(CWnd& wnd, const CRect& block, const RECT& padding, int anchor, int apply) {
  CRect window, client;
  wnd.GetWindowRect(&window);
  wnd.GetClientRect(&client);
  const int width = window.Width() - client.Width() + block.Width() + padding.left + padding.right;
  const int height = window.Height() - client.Height() + block.Height() + padding.top + padding.bottom;
  CRect fit(window.left, window.top, window.left + width, window.top + height);
  if (anchor & 1)
    fit.OffsetRect((window.left + window.right) / 2 - (fit.left + fit.right) / 2, 0);
  else if (anchor & 2)
    fit.OffsetRect(window.right - fit.right, 0);
  if (anchor & 4)
    fit.OffsetRect(0, (window.top + window.bottom) / 2 - (fit.top + fit.bottom) / 2);
  else if (anchor & 8)
    fit.OffsetRect(0, window.bottom - fit.bottom);
  HWND parent = ::GetParent(wnd.GetSafeHwnd());
  if (apply && parent) {
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&fit), 2);
    wnd.MoveWindow(&fit, TRUE);
  }
  return fit;
}

BufferDC::BufferDC(CDC* dc, Veltra::COImage& buffer) {
  m_dc.CreateCompatibleDC(dc);
  if (buffer.GetBitmap()) m_old = ::SelectObject(m_dc, buffer.GetBitmap());
}

BufferDC::~BufferDC() {
  if (m_old) ::SelectObject(m_dc, m_old);
  m_dc.DeleteDC();
}

UnderlinedFont::UnderlinedFont(CDC* dc) : m_dc(dc) {
  LOGFONTW lf = {};
  HGDIOBJ current = ::GetCurrentObject(*dc, OBJ_FONT);
  if (!current || !::GetObjectW(current, sizeof(lf), &lf)) return;
  lf.lfUnderline = 1;
  m_font = ::CreateFontIndirectW(&lf);
  if (m_font) m_old = ::SelectObject(*dc, m_font);
}

UnderlinedFont::~UnderlinedFont() {
  if (m_old) ::SelectObject(*m_dc, m_old);
  if (m_font) ::DeleteObject(m_font);
}

}  // namespace kestrel
