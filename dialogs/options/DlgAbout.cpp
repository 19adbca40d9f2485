#include <windows.h>
#include <shellapi.h>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "dialogs/options/OptionsCommon.h"
#include "dialogs/options/OptionsDlg.h"
#include "dialogs/options/OptionsRes.h"

using namespace options_detail;

namespace {
constexpr COLORREF kLinkNormal = 0xFF0000;
constexpr COLORREF kLinkHover = 0x0000FF;
constexpr COLORREF kSystemColour = 0xFFFFFFFF;
constexpr int kLogoX = 20;
constexpr int kLogoY = 115;
}  // namespace

BEGIN_MESSAGE_MAP(CDlgAbout, CDialog)
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_BN_CLICKED(IDC_AB_CONTACT, OnContact)
  ON_BN_CLICKED(IDC_AB_WEBSITE, OnWebsite)
END_MESSAGE_MAP()

CDlgAbout::CDlgAbout(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

std::wstring CDlgAbout::BuildVersionLine(const std::wstring& label, const std::wstring& version, uint32_t build) {
  std::wstring line;
  FormatWString(line, L"%s%s.%0.4d ", label.c_str(), version.c_str(), int(build & 0xFFFF));
  return line;
}

BOOL CDlgAbout::OnInitDialog() {
  CDialog::OnInitDialog();
  IOptionsHost* host = GetOptionsHost();
  HFONT uiFont = host->GetInterfaceFont();
  if (uiFont) ApplyFontToChildren(m_hWnd, uiFont, false);
  LOGFONTW lf = {};
  if (!uiFont || !::GetObjectW(uiFont, sizeof(lf), &lf)) ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfHeight = -12;
  m_font.CreateFontIndirect(&lf);

  m_version.SubclassDlgItem(IDC_AB_VERSION, this);
  m_contact.SubclassDlgItem(IDC_AB_CONTACT, this);
  m_website.SubclassDlgItem(IDC_AB_WEBSITE, this);
  m_rights.SubclassDlgItem(IDC_AB_RIGHTS, this);

  SetWindowText(OptionText(L"DlgAbout", L"DlgTitle").c_str());
  std::wstring line =
      BuildVersionLine(OptionText(L"DlgAbout", L"Version"), host->GetVersionText(), host->GetBuildNumber());
  m_version.SetFont(&m_font, FALSE);
  m_version.SetText(line.c_str(), FALSE);
  m_version.CalcFixSize(0, 1);

  struct Link {
    CGLinkButton& button;
    const wchar_t* key;
  };
  for (const Link& link : {Link{m_website, L"Website"}, Link{m_contact, L"Email"}}) {
    link.button.SetFont(&m_font, FALSE);
    link.button.SetText(OptionText(L"Maker", link.key).c_str(), OptionText(L"DlgAbout", link.key).c_str(), FALSE);
    link.button.SetTextColor(kLinkNormal, kLinkHover, kLinkHover, kSystemColour, FALSE);
    link.button.CalcFixSize(0, 1);
  }
  m_rights.SetFont(&m_font, FALSE);
  m_rights.SetText(OptionText(L"Maker", L"Copyright").c_str(), FALSE);
  m_rights.CalcFixSize(0, 1);

  CPngImage png;
  std::wstring images = host->GetImageFolder();
  png.ReadFile((images + L"logo36.png").c_str(), &m_logo, 0);
  if (!m_logo.IsEmpty()) m_logo.FlattenOnColor(0xFFFFFF);
  png.ReadFile((images + L"about.png").c_str(), &m_background, 0);
  if (!m_background.IsEmpty()) {
    SetWindowPos(nullptr, 0, 0, m_background.GetWidth(), m_background.GetHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
  }

  const int x = m_logo.GetWidth() + 40;
  const struct {
    CWnd& control;
    int y;
  } layout[] = {{m_version, 118}, {m_contact, 140}, {m_website, 162}, {m_rights, 184}};
  for (const auto& item : layout)
    item.control.SetWindowPos(nullptr, x, item.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL CDlgAbout::OnEraseBkgnd(CDC* dc) {
  HDC hdc = dc->GetSafeHdc();
  if (!m_background.IsEmpty()) m_background.Draw(hdc, 0, 0, SRCCOPY);
  if (!m_logo.IsEmpty()) m_logo.Draw(hdc, kLogoX, kLogoY, SRCCOPY);
  return TRUE;
}

LRESULT CDlgAbout::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_GUI_PARENTBKGND) return CDialog::DefWindowProc(message, wParam, lParam);
  const RECT* rect = reinterpret_cast<const RECT*>(wParam);
  const GuiBkgndRequest* request = reinterpret_cast<const GuiBkgndRequest*>(lParam);
  if (!rect || !request) return 0;
  int w = rect->right - rect->left, h = rect->bottom - rect->top;
  if (request->kind == 0 && request->dc) {
    RECT fill = {request->x, request->y, request->x + w, request->y + h};
    ::FillRect(request->dc->GetSafeHdc(), &fill, HBRUSH(::GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  if (request->kind == 1 && request->image && !request->image->IsEmpty()) {
    request->image->FillRect(RECT{0, 0, w, h}, 0xFFFFFFFF);
    return 1;
  }
  return 0;
}

void CDlgAbout::OnLButtonDown(UINT flags, CPoint point) {
  CDialog::OnLButtonDown(flags, point);
  if ((::GetKeyState(VK_RCONTROL) & 0x8000) && point.x < 5 && point.y < 5) {
    std::wstring author = OptionText(L"Maker", L"Author") + L" <" + OptionText(L"Maker", L"AuthorEmail") + L">";
    ShowBox(m_hWnd, author, MB_ICONINFORMATION);
  }
  EndDialog(IDCANCEL);
}

void CDlgAbout::OnContact() {
  std::wstring url = L"mailto:" + OptionText(L"Maker", L"Email");
  ::ShellExecuteW(m_hWnd, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CDlgAbout::OnWebsite() {
  std::wstring url = GetOptionsHost()->BuildLinkUrl(L"homepage");
  ::ShellExecuteW(m_hWnd, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
