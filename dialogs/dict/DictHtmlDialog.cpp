#include "dialogs/dict/DictHtmlDialog.h"

#include "core/ConfigFile.h"
#include "dialogs/dict/DictDialogApp.h"
#include "dialogs/dict/DictGroupPage.h"
#include "dict/DictHost.h"
#include "guictl/GuiManager.h"
#include "guictl/OImage.h"

bool IsAboutBlank(const std::wstring& url) { return !url.empty() && StartsWithNoCase(url, L"about:blank") && url.size() == 11; }

CDictHtmlDialog::CDictHtmlDialog(UINT templateId, CWnd* parent, UINT browserId)
    : CDialog(templateId, parent), m_manager(DictDialogManager()), m_browserId(browserId) {}

CDictHtmlDialog::~CDictHtmlDialog() = default;

htmlview::Document* CDictHtmlDialog::GetPageDocument() const {
  return m_html.GetSafeHwnd() ? m_html.GetHtmlDocument() : nullptr;
}

void CDictHtmlDialog::InitCommon(const wchar_t* section) {
  CDialog::OnInitDialog();
  ApplyFontToChildren(m_hWnd, DictDialogUiFont(), false);
  SetWindowText(DlgText(section, L"Title").c_str());
  if (CWnd* main = AfxGetMainWnd()) {
    if (main->GetSafeHwnd()) SetIcon(reinterpret_cast<HICON>(main->SendMessage(WM_GETICON, ICON_SMALL)), FALSE);
  }
}

bool CDictHtmlDialog::CreateBrowser() {
  CRect rect;
  GetClientRect(&rect);
  if (!m_html.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, this, m_browserId)) return false;
  m_html.SetEventSink(this);
  return true;
}

void CDictHtmlDialog::FinishInit() {
  CRect rect;
  GetWindowRect(&rect);
  rect.InflateRect(1, 1);
  MoveWindow(&rect);
  CenterWindow();
  if (m_html.GetSafeHwnd()) m_html.Navigate(L"about:blank");
}

void CDictHtmlDialog::OnDocumentComplete(const std::wstring& url) {
  if (!m_html.GetHtmlDocument()) return;
  ConfigureHost();
  m_html.SetHostHandler(&m_hostHandler);
  if (IsAboutBlank(url)) {
    PostMessage(kMsgPageReady, 0, 0);
    return;
  }
  OnPageLoaded(url);
}

void CDictHtmlDialog::FillBackground(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  CBrush brush(m_bkColor);
  dc->FillRect(&client, &brush);
}

BOOL CDictHtmlDialog::EraseAroundPage(CDC* dc) {
  if (m_html.GetSafeHwnd()) {
    CRect page;
    m_html.GetWindowRect(&page);
    ScreenToClient(&page);
    dc->ExcludeClipRect(&page);
  }
  FillBackground(dc);
  return TRUE;
}

LRESULT CDictHtmlDialog::OnParentBackground(WPARAM wParam, LPARAM lParam) {
  const GuiBkgndRequest* request = reinterpret_cast<const GuiBkgndRequest*>(lParam);
  if (!request) return 0;
  if (request->kind == 0 && request->dc && wParam) {
    const RECT* size = reinterpret_cast<const RECT*>(wParam);
    CRect fill(request->x, request->y, request->x + (size->right - size->left), request->y + (size->bottom - size->top));
    CBrush brush(m_bkColor);
    request->dc->FillRect(&fill, &brush);
    return 1;
  }
  if (request->kind == 1 && request->image && !request->image->IsEmpty()) {
    // The image has the size of the control's rectangle: its whole area is
    // what lies behind the control.
    CRect rect(0, 0, request->image->GetWidth(), request->image->GetHeight());
    request->image->FillRect(rect, 0xFF000000u | (GetRValue(m_bkColor) << 16) | (GetGValue(m_bkColor) << 8) |
                                       GetBValue(m_bkColor));
    return 1;
  }
  return 0;
}

LRESULT CDictHtmlDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgParentBackground) return OnParentBackground(wParam, lParam);
  if (message == kMsgPageReady && wParam == 0) {
    if (m_html.GetSafeHwnd()) m_html.Navigate((DictHost().GetDataFolder() + L"blank.htm").c_str());
    return 0;
  }
  return CDialog::DefWindowProc(message, wParam, lParam);
}
