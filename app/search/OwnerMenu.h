// COwnerMenu: the program's owner-drawn popup menu (tray menu, the search
// bar's two menus, the result page's dictionary menu): an icon column with
// 16 x 16 icons, the system menu font, a framed highlight, thin separators
// and a check image for checked items without an icon of their own.
//
//   COwnerMenu menu;
//   menu.CreatePopupMenu();
//   menu.AppendIconItem(MF_STRING, id, L"Text", &icon);
//   menu.AppendItem(MF_SEPARATOR, 0, nullptr);
//   menu.TrackPopupMenu(TPM_LEFTALIGN, x, y, wnd);
//
// The framework hands the menu's WM_MEASUREITEM and WM_DRAWITEM to the object
// because it holds the menu handle.
#pragma once

#include <list>

#include "guictl/OImage.h"
#include "platform/framework/Quorfx.h"

class COwnerMenu : public CMenu {
 public:
  // One appended item; its address is the item's data.
  struct Item {
    CString text;
    Veltra::COImage icon;
    UINT flags = 0;
  };

  COwnerMenu();
  ~COwnerMenu() override;

  void SetIconSize(int width, int height) {
    m_nIconWidth = width;
    m_nIconHeight = height;
  }
  // AppendMenuW's result; 0 when the item cannot be made.
  BOOL AppendItem(UINT flags, UINT_PTR id, LPCWSTR text);
  BOOL AppendIconItem(UINT flags, UINT_PTR id, LPCWSTR text, const Veltra::COImage* icon);

  void MeasureItem(LPMEASUREITEMSTRUCT mis) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  // The image drawn for checked items without an icon ("check8.png").
  static Veltra::COImage& CheckImage();

  COLORREF m_crIconBack;
  COLORREF m_crBack;
  COLORREF m_crText;
  COLORREF m_crSelBack;
  COLORREF m_crSelText;
  CFont m_fontNormal;
  CFont m_fontBold;
  int m_nItemHeight;
  int m_nIconWidth;
  int m_nIconHeight;
  std::list<Item*> m_items;
};
