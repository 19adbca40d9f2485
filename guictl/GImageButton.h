// CGImageButton: a self-drawn push, check or radio button (window class
// "Talvane_ImageButton"). It paints a nine-grid background image, one cell
// of an image list (column: 0 normal, 1 pressed, 2 hover, 3 disabled; row:
// the check state) and its text over the parent's background, answers the
// BM_* messages itself and sends WM_COMMAND/BN_CLICKED to its parent.
// Kestrel_Initialize must have run before one is constructed.
#pragma once

#include "platform/framework/Quorfx.h"
#include "guictl/KestrelApi.h"
#include "guictl/OImage.h"

class KESTREL_API CGImageButton : public CWnd {
 public:
  CGImageButton();
  ~CGImageButton() override;

  int Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // 0 (old list kept) when a cell size is 0 or the image holds no whole cell.
  int SetImageList(Veltra::COImage& image, DWORD cellWidth, DWORD cellHeight, int autoSize);
  Veltra::COImage* GetImgList() { return m_pImageList; }
  DWORD GetImgWidth() const { return m_dwCellWidth; }
  DWORD GetImgHeight() const { return m_dwCellHeight; }
  void ReleaseImageList();
  // cuts: left, middle, right column widths, top, middle, bottom row heights.
  void SetBackImgList(Veltra::COImage& image, long cuts[6], int modes[6], int redraw);

  void SetText(const wchar_t* text, const wchar_t* tooltip, int redraw);
  void SetTooltip(const wchar_t* tooltip, int activate);
  // 0xFFFFFFFF: the system colour of that slot.
  void SetTextColor(COLORREF normal, COLORREF hover, COLORREF pressed, COLORREF disabled, int redraw);
  void SetPadding(long left, long top, long right, long bottom, int redraw);
  void SetArrange(int arrange, int redraw);
  int GetArrange() const { return m_nArrange; }
  // 1: the library's link cursor; anything else the arrow.
  void SetCursorType(int type) { m_nCursorType = type; }

  int GetCheck() const { return int(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int state) { ::SendMessageW(m_hWnd, BM_SETCHECK, WPARAM(state), 0); }
  UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT style, int redraw) { SendMessage(BM_SETSTYLE, style, redraw); }

  // The window rectangle that fits the content. anchor: 1 keep the
  // horizontal centre, else 2 the right edge; 4 the vertical centre, else
  // 8 the bottom. apply: move the window there (parent coordinates).
  CRect CalcFixSize(int anchor, int apply);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Paints the whole button into dc (client coordinates).
  virtual void DrawItem(CDC* dc);
  // The cell being drawn: column (visual state) and row (check state).
  int GetVisualState() const;

 protected:
  void PreSubclassWindow() override;
  BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  afx_msg void OnLButtonDown(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnPaint();
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnSize(UINT type, int cx, int cy);
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  afx_msg void OnNcPaint();
  afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  DECLARE_MESSAGE_MAP()

 private:
  int _TestArea(CPoint point);
  void Repaint();

  CToolTipCtrl m_wndToolTip;
  CString m_strToolTip;
  int m_nArrange;
  Veltra::COImage* m_pImageList;
  Veltra::COImage m_imgList;
  DWORD m_dwCellWidth;
  DWORD m_dwCellHeight;
  Veltra::COImage m_imgBack;
  long m_nBackCuts[6];
  int m_nBackModes[6];
  int m_nCursorType;
  COLORREF m_clrText[4];  // normal, hover, pressed, disabled
  RECT m_rcPadding;
  HFONT m_hFont;
  int m_bTracking;
  int m_bPressed;
  int m_bDisabled;
  int m_nPart;
  Veltra::COImage m_imgPaint;
  int m_nCheck;
  int m_bAttach;
};
