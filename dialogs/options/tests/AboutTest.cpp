// The About dialog: its texts, the fixed positions of its lines and the
// click that closes it.
#include "dialogs/options/OptionsRes.h"
#include "dialogs/options/tests/OptionsTestKit.h"

namespace options_test {
namespace {

class AboutTest : public OptionsTest {};

TEST(AboutVersion, BuildNumberHasFourDigitsAtLeast) {
  EXPECT_EQ(L"Version 2.1.0007 ", CDlgAbout::BuildVersionLine(L"Version ", L"2.1", 7));
  EXPECT_EQ(L"Version 2.1.12345 ", CDlgAbout::BuildVersionLine(L"Version ", L"2.1", 12345));
  EXPECT_EQ(L"2.1.0007 ", CDlgAbout::BuildVersionLine(L"", L"2.1", 0x30007));  // low 16 bits
}

TEST_F(AboutTest, LinesSitAtTheirPlacesAndAClickCloses) {
  host->texts.SetValue(L"DlgAbout", L"DlgTitle", L"About Quorindo");
  host->texts.SetValue(L"DlgAbout", L"Version", L"Version ");
  host->texts.SetValue(L"Maker", L"Website", L"www.example.org");
  CDlgAbout dlg;
  std::wstring title;
  struct Line {
    int id;
    int y;
    CRect rc;
  } lines[] = {{IDC_AB_VERSION, 118, {}}, {IDC_AB_CONTACT, 140, {}}, {IDC_AB_WEBSITE, 162, {}}, {IDC_AB_RIGHTS, 184, {}}};
  std::wstring version, website, rights;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) {
    wchar_t buffer[64] = {};
    ::GetWindowTextW(d.m_hWnd, buffer, 64);
    title = buffer;
    for (Line& line : lines) {
      HWND item = ::GetDlgItem(d.m_hWnd, line.id);
      ::GetWindowRect(item, &line.rc);
      ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&line.rc), 2);
    }
    version = ItemText(d.m_hWnd, IDC_AB_VERSION);
    website = ItemText(d.m_hWnd, IDC_AB_WEBSITE);
    rights = ItemText(d.m_hWnd, IDC_AB_RIGHTS);
    ::SendMessageW(d.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
  });
  EXPECT_EQ(IDCANCEL, result);
  EXPECT_EQ(L"About Quorindo", title);
  EXPECT_EQ(L"Version 2.1.0007 ", version);
  EXPECT_EQ(L"www.example.org", website);
  EXPECT_EQ(L"", rights);  // missing text: an empty line, still in its place
  for (const Line& line : lines) {
    EXPECT_EQ(40, line.rc.left) << line.id;  // no logo image: width 0
    EXPECT_EQ(line.y, line.rc.top) << line.id;
  }
  EXPECT_TRUE(BoxRecorder::texts.empty());
}

TEST_F(AboutTest, TakesTheBackgroundSizeAndPlacesLinesRightOfTheLogo) {
  CPngImage png;
  Veltra::COImage background, logo;
  background.CreateFilled(420, 260, 72.0, 0xFF336699, 0);
  logo.CreateFilled(36, 36, 72.0, 0x80FF0000, 0);
  ASSERT_TRUE(png.WriteFile((host->folder + L"about.png").c_str(), &background, 0));
  ASSERT_TRUE(png.WriteFile((host->folder + L"logo36.png").c_str(), &logo, 0));
  CDlgAbout dlg;
  CRect window, version;
  RunModal(dlg, [&](CDialog& d) {
    ::GetWindowRect(d.m_hWnd, &window);
    ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDC_AB_VERSION), &version);
    ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&version), 2);
    d.EndDialog(IDCANCEL);
  });
  ::DeleteFileW((host->folder + L"about.png").c_str());
  ::DeleteFileW((host->folder + L"logo36.png").c_str());
  EXPECT_EQ(420, window.Width());
  EXPECT_EQ(260, window.Height());
  EXPECT_EQ(36 + 40, version.left);
  EXPECT_EQ(118, version.top);
}

TEST_F(AboutTest, ParentBackgroundRequestsAreFilledWhite) {
  CDlgAbout dlg;
  LRESULT imageAnswer = -1, emptyAnswer = -1, otherAnswer = -1;
  uint32_t pixel = 0;
  RunModal(dlg, [&](CDialog& d) {
    Veltra::COImage image;
    image.CreateFilled(4, 3, 72.0, 0xFF000000, 0);
    RECT rc = {10, 10, 14, 13};
    GuiBkgndRequest request = {1, nullptr, &image, nullptr, 10, 10};
    imageAnswer = ::SendMessageW(d.m_hWnd, WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&request));
    pixel = image.At(3, 2);
    Veltra::COImage empty;
    request.image = &empty;
    emptyAnswer = ::SendMessageW(d.m_hWnd, WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&request));
    request.kind = 7;
    otherAnswer = ::SendMessageW(d.m_hWnd, WM_GUI_PARENTBKGND, WPARAM(&rc), LPARAM(&request));
    d.EndDialog(IDOK);
  });
  EXPECT_EQ(1, imageAnswer);
  EXPECT_EQ(0xFFFFFFFFu, pixel);
  EXPECT_EQ(0, emptyAnswer);
  EXPECT_EQ(0, otherAnswer);
}

}  // namespace
}  // namespace options_test
