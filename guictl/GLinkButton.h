// CGLinkButton: a hyperlink-style owner-drawn button: text (and an optional
// icon) on the parent's background, coloured by state (normal, hover blue,
// pressed red, disabled grey), underlined under the mouse and while
// pressed, with the library's link cursor. Clicks, focus and BN_CLICKED are
// the system button's own.
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"
#include "guictl/OImage.h"

class KESTREL_API CGLinkButton : public CButton {
 public:
  CGLinkButton();
  ~CGLinkButton() override;

  int Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  void SetText(const wchar_t* text, const wchar_t* tooltip, int redraw);
  void SetTooltip(const wchar_t* tooltip, int activate);
  // 0xFFFFFFFF: the slot's default (system text colour, blue, red, grey).
  void SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled, int redraw);
  void SetIcon(Veltra::COImage* icon, int redraw);
  void SetArrange(int arrange, int redraw);
  int GetArrange() const { return m_nArrange; }
  CRect CalcFixSize(int anchor, int apply);
  int IsTracking() const { return m_bTracking; }
  // The colour the given owner-draw state paints the text with.
  COLORREF TextColorOfState(UINT itemState) const;

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

 protected:
  void PreSubclassWindow() override;
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnDestroy();
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnNcPaint();
  DECLARE_MESSAGE_MAP()

 private:
  Veltra::COImage m_imgPaint;
  int m_nArrange;
  COLORREF m_clrText[4];  // normal, hover, pressed, disabled
  RECT m_rcPadding;
  Veltra::COImage m_imgIcon;
  CString m_strToolTip;
  CToolTipCtrl m_wndToolTip;
  int m_bAttach;
  int m_bTracking;
};
