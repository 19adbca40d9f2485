// CGStatic: a label that paints itself on the parent's background (or a
// colour) with an optional icon, a text with an optional one-pixel shadow,
// an optional etched line through it, or as a group box a titled frame. It
// keeps the alignment and prefix behaviour of its static style and draws
// its own sunken or bordered edge.
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"
#include "guictl/OImage.h"

class KESTREL_API CGStatic : public CStatic {
 public:
  CGStatic();
  ~CGStatic() override;

  void SetText(const wchar_t* text, int redraw);
  CString GetText() const;
  void SetTextColor(COLORREF normal, COLORREF disabled, int redraw);
  DWORD GetTextColor() const { return m_clrText; }
  void SetIcon(Veltra::COImage* icon);
  Veltra::COImage* GetIcon() { return &m_imgIcon; }
  // 2: fill with the background colour; else the parent's background.
  int SetBkMode(int mode);
  COLORREF SetBkColor(COLORREF colour);
  // 0 none, 1 a line through the text, 2 group box.
  void SetGroupLine(int mode, COLORREF dark, COLORREF light);
  void SetTextShadow(int on, COLORREF colour);
  // DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS or 0.
  void SetTextEllipsis(int ellipsis, int redraw);
  int GetTextEllipsis() const { return m_nEllipsis; }
  void SetArrange(int arrange, int redraw);
  int GetArrange() const { return m_nArrange; }
  CRect CalcFixSize(int anchor, int apply);
  // The DrawText format of the saved static style.
  UINT GetTextFormat(bool withEllipsis) const;

  // Border helpers other windows may use for the same look.
  static void _ModifyWndBorderForStatic(CWnd& wnd);
  static void _DrawWndBorder(CWnd& wnd);

 protected:
  void PreSubclassWindow() override;
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

  afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
  afx_msg void OnPaint();
  afx_msg void OnNcPaint();
  afx_msg void OnEnable(BOOL enable);
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  void DrawGroupBox(CDC* dc);
  void FillBack(CDC* dc, const CRect& rc);

  Veltra::COImage m_imgIcon;
  COLORREF m_clrText;
  COLORREF m_clrDisabled;
  COLORREF m_clrBack;
  int m_nBkMode;
  int m_nArrange;
  int m_bShadow;
  COLORREF m_clrShadow;
  int m_nLineMode;
  COLORREF m_clrLineDark;
  COLORREF m_clrLineLight;
  int m_nEllipsis;
  DWORD m_dwStyle;
  int m_bAttach;
};
