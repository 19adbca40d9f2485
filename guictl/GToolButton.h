// CGToolButton: a flat tool-bar button (window class "Talvane_ToolButton"):
// icon and text on the parent's background, a skinned frame on hover and
// press from the shared "button_flat_menu.png" (cells 22 x 22: column the
// visual state, row 0 plain, 22 with a drop-down part, 44 drop-down hot),
// and an optional drop-down part on its right whose click is reported as
// WM_COMMAND with the code GBN_DROPDOWN. The check state is kept, not drawn.
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"
#include "guictl/OImage.h"

#define GBN_DROPDOWN 15

class KESTREL_API CGToolButton : public CWnd {
 public:
  CGToolButton();
  ~CGToolButton() override;

  // The skin every tool button draws its frame from.
  static Veltra::COImage ms_imgBackList;

  int Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // Null or empty releases the icon; else it is copied.
  void SetIcon(Veltra::COImage* icon, int redraw);
  const Veltra::COImage& GetIcon() const { return m_imgIcon; }
  void EnableDropDown(int enable);
  int IsDropDownEnabled() const { return m_bDropDown; }
  void SetTextColor(COLORREF normal, COLORREF disabled, int redraw);
  void SetPadding(long left, long top, long right, long bottom, int redraw);
  void SetText(const wchar_t* text, const wchar_t* tooltip, int redraw);
  void SetTooltip(const wchar_t* tooltip, int activate);
  void SetArrange(int arrange, int redraw);
  int GetArrange() const { return m_nArrange; }
  int GetCheck() const { return int(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int state) { ::SendMessageW(m_hWnd, BM_SETCHECK, WPARAM(state), 0); }
  UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT style, int redraw) { SendMessage(BM_SETSTYLE, style, redraw); }
  CRect CalcFixSize(int anchor, int apply);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  virtual void DrawItem(CDC* dc);
  // The skin cell drawn now: column (state) and row offset (0, 22 or 44).
  void GetSkinCell(int& column, int& row) const;

 protected:
  void PreSubclassWindow() override;
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnPaint();
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnNcPaint();
  DECLARE_MESSAGE_MAP()

 private:
  int _TestArea(CPoint point);
  void Repaint();

  CToolTipCtrl m_wndToolTip;
  CString m_strToolTip;
  int m_nArrange;
  Veltra::COImage m_imgIcon;
  COLORREF m_clrText;
  COLORREF m_clrDisabled;
  RECT m_rcPadding;
  int m_bTracking;
  int m_nPressed;
  int m_bDisabled;
  int m_nPart;
  Veltra::COImage m_imgPaint;
  int m_nCheck;
  int m_bDropDown;
  HFONT m_hFont;
  int m_bAttach;
};
