// What the library's own buttons share: the button messages they answer
// themselves, the text format from the button style, tooltips, the paint
// buffer's memory context and the fitted window rectangle. Internal.
#pragma once

#include "guictl/GuiManager.h"

namespace kestrel {

// The fields a self-drawn button keeps for the button messages.
struct ButtonFields {
  int& disabled;
  int& check;
  HFONT& font;
};

// WM_ENABLE, WM_SETFONT, WM_GETFONT and BM_*: true when handled (result
// set); repaint tells whether the button should be drawn again.
bool HandleButtonMessage(CWnd& wnd, ButtonFields f, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                         bool& repaint);

// A mouse move: asks for the leave notification when not tracking yet
// (tracking = the request's result). True on that first move.
bool TrackMouseLeave(CWnd& wnd, int& tracking);

// New check state after a click released inside the button.
int NextCheckAfterClick(DWORD style, int check);

// DrawText format from BS_LEFT/RIGHT/TOP/BOTTOM/MULTILINE.
UINT ButtonTextFormat(DWORD style, bool ellipsis);

// The style of a self-drawn button: never a tab stop, a child, text centred.
inline DWORD SelfDrawnButtonStyle(DWORD style) {
  return (style & ~DWORD(WS_TABSTOP)) | WS_CHILD | BS_CENTER | BS_VCENTER;
}

// The attach steps shared by the self-drawn buttons: state cleared, the
// parent's font, style, frame stripped, resized to the former client size.
void AttachButtonWindow(CWnd& wnd, ButtonFields f);

// The end of creation for a control made by its own Create. Its
// PreCreateWindow clears attach, so that the framework's subclassing call
// during creation skips the attach steps; they run here, once the window
// exists, as they run when an existing window is subclassed. baseResult is
// the base class's OnCreate; attachSteps calls the control's PreSubclassWindow.
template <typename AttachSteps>
int AttachOnCreate(int baseResult, int& attach, AttachSteps attachSteps) {
  if (baseResult == -1) return -1;
  attach = 1;
  attachSteps();
  attach = 0;
  return 0;
}

// Tool 1 of tip gets text; activate as given. An active tip is made when the
// mouse first comes to the control (RelayToTooltip): a window each, made with
// the controls, cost a start with many buttons a good part of its time.
void SetButtonTooltip(CWnd& wnd, CToolTipCtrl& tip, CString& store, const wchar_t* text, BOOL activate);
void SizeTooltipTool(CWnd& wnd, CToolTipCtrl& tip, int cx, int cy);
// Sends the parent the button's notification (BN_CLICKED, GBN_DROPDOWN) with
// the tip put away until the parent has answered: a menu the parent opens
// for the button would lie under the tip, which stays on top, or meet it
// when a show the mouse asked for before the click comes due.
void NotifyParentWithoutTip(CWnd& wnd, CToolTipCtrl& tip, const CString& store, WORD code);
// Hands a message of the control to its tip, making the tip with the store's
// text at the first mouse message.
void RelayToTooltip(CWnd& wnd, CToolTipCtrl& tip, const CString& store, MSG* msg);

// The window rectangle that fits block plus padding, anchored and applied
// as CalcFixSize describes.
CRect FitWindowRect(CWnd& wnd, const CRect& block, const RECT& padding, int anchor, int apply);

inline COLORREF OrSys(COLORREF c, int sysIndex) { return c == 0xFFFFFFFF ? ::GetSysColor(sysIndex) : c; }

// A memory context compatible with dc holding the paint buffer's bitmap.
class BufferDC {
 public:
  BufferDC(CDC* dc, Veltra::COImage& buffer);
  ~BufferDC();
  CDC* operator->() { return &m_dc; }
  CDC* get() { return &m_dc; }
  BufferDC(const BufferDC&) = delete;
  BufferDC& operator=(const BufferDC&) = delete;

 private:
  CDC m_dc;
  HGDIOBJ m_old = nullptr;
};

// The font now selected, underlined, selected for the scope.
class UnderlinedFont {
 public:
  explicit UnderlinedFont(CDC* dc);
  ~UnderlinedFont();
  UnderlinedFont(const UnderlinedFont&) = delete;
  UnderlinedFont& operator=(const UnderlinedFont&) = delete;

 private:
  CDC* m_dc;
  HFONT m_font = nullptr;
  HGDIOBJ m_old = nullptr;
};

}  // namespace kestrel
