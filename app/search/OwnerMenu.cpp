#include "app/search/OwnerMenu.h"

#include <new>

#include "app/search/SearchApp.h"
#include "guictl/ImageFile.h"

namespace {

const COLORREF kSelFrame = 0xB06B1F;
const COLORREF kSeparator = 0xC9C6C6;
const COLORREF kGreyText = 0x7F7F7F;
const COLORREF kCheckedIconBack = 0xE9DBD1;
const COLORREF kCheckedIconSelBack = 0xD8B69D;
const int kIconColumn = 22;
const int kTextIndent = 30;

void FrameSolid(CDC& dc, const RECT& rc, COLORREF colour) {
  CBrush brush(colour);
  dc.FrameRect(&rc, &brush);
}

// Selects a font into a context for the scope and restores the previous one.
class FontScope {
 public:
  FontScope(HDC dc, HFONT font) : m_dc(dc), m_old(::SelectObject(dc, font)) {}
  ~FontScope() { ::SelectObject(m_dc, m_old); }
  FontScope(const FontScope&) = delete;
  FontScope& operator=(const FontScope&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

}  // namespace

Veltra::COImage& COwnerMenu::CheckImage() {
  static Veltra::COImage image;
  return image;
}

COwnerMenu::COwnerMenu()
    : m_crIconBack(0xF6E9E0),
      m_crBack(0xFFFDFC),
      m_crText(0),
      m_crSelBack(0xE8D3C5),
      m_crSelText(0),
      m_nItemHeight(24),
      m_nIconWidth(16),
      m_nIconHeight(16) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = 500;  // the structure without the Vista padding field
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  m_fontNormal.CreateFontIndirect(&metrics.lfMenuFont);
  LOGFONTW bold = metrics.lfMenuFont;
  bold.lfWeight = FW_BOLD;
  m_fontBold.CreateFontIndirect(&bold);
  if (CheckImage().IsEmpty()) {
    CPngImage png;
    png.ReadFile((SearchIconFolder() + L"check8.png").c_str(), &CheckImage(), 0);
  }
}

COwnerMenu::~COwnerMenu() {
  m_fontNormal.DeleteObject();
  m_fontBold.DeleteObject();
  for (Item* item : m_items) delete item;
  m_items.clear();
  DestroyMenu();
}

BOOL COwnerMenu::AppendItem(UINT flags, UINT_PTR id, LPCWSTR text) {
  return AppendIconItem(flags, id, text, nullptr);
}

BOOL COwnerMenu::AppendIconItem(UINT flags, UINT_PTR id, LPCWSTR text, const Veltra::COImage* icon) {
  Item* item = new (std::nothrow) Item;
  if (!item) return 0;
  item->text = text ? text : L"";
  item->flags = flags;
  if (icon && !icon->IsEmpty()) item->icon = *icon;
  m_items.push_back(item);
  return ::AppendMenuW(m_hMenu, flags | MF_OWNERDRAW, id, reinterpret_cast<LPCWSTR>(item));
}

void COwnerMenu::MeasureItem(LPMEASUREITEMSTRUCT mis) {
  const Item* item = reinterpret_cast<const Item*>(mis->itemData);
  if (item && (item->flags & MF_SEPARATOR)) {
    mis->itemWidth = kIconColumn;
    mis->itemHeight = 3;
    return;
  }
  HWND main = CWnd::HwndOf(AfxGetMainWnd());
  HDC dc = ::GetDC(main);
  RECT rc = {0, 0, 1, 1};
  if (dc) {
    FontScope font(dc, m_fontNormal);
    const wchar_t* text = item ? static_cast<LPCWSTR>(item->text) : L"";
    ::DrawTextW(dc, text, -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    ::ReleaseDC(main, dc);
  }
  mis->itemWidth = UINT(m_nIconWidth + (rc.right - rc.left) + 13);
  mis->itemHeight = UINT(m_nItemHeight);
}

void COwnerMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  CRect rc(dis->rcItem);
  Item* item = reinterpret_cast<Item*>(dis->itemData);
  const UINT state = dis->itemState;

  Veltra::COImage* icon = nullptr;
  if (item) {
    icon = &item->icon;
    if ((state & ODS_CHECKED) && icon->IsEmpty()) icon = &CheckImage();
    if (icon->IsEmpty()) icon = nullptr;
  }

  COLORREF textColour;
  if (state & ODS_SELECTED) {
    FrameSolid(*dc, rc, kSelFrame);
    CRect inner = rc;
    inner.DeflateRect(1, 1);
    dc->FillSolidRect(&inner, m_crSelBack);
    textColour = m_crSelText;
  } else {
    dc->FillSolidRect(CRect(rc.left, rc.top, rc.left + kIconColumn, rc.bottom), m_crIconBack);
    dc->FillSolidRect(CRect(rc.left + kIconColumn, rc.top, rc.right, rc.bottom), m_crBack);
    textColour = m_crText;
  }

  if (item && (item->flags & MF_SEPARATOR)) {
    dc->FillSolidRect(rc.left + kTextIndent, rc.top + 1, rc.right - rc.left - kTextIndent, 1, kSeparator);
    return;
  }

  if (icon) {
    const int y = rc.top + (m_nItemHeight - m_nIconHeight) / 2;
    if ((state & ODS_CHECKED) && icon != &CheckImage()) {
      CRect box(rc.left + 1, rc.top + 1, rc.left + 21, rc.top + 21);
      FrameSolid(*dc, box, kSelFrame);
      box.DeflateRect(1, 1);
      dc->FillSolidRect(&box, (state & ODS_SELECTED) ? kCheckedIconSelBack : kCheckedIconBack);
    }
    icon->AlphaDraw(dis->hDC, rc.left + 3, y, 0, 0, m_nIconWidth, m_nIconHeight, 0,
                    (state & ODS_DISABLED) ? 1 : 0, nullptr);
  }

  rc.left += kTextIndent;
  if (item && !item->text.IsEmpty()) {
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor((state & ODS_GRAYED) ? kGreyText : textColour);
    FontScope font(dis->hDC, (state & ODS_DEFAULT) ? HFONT(m_fontBold) : HFONT(m_fontNormal));
    dc->DrawText(item->text, &rc, DT_SINGLELINE | DT_VCENTER);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
  }
}
