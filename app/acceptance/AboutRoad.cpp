// The About road: the About dialog opened from the main menu shows the
// program's version, the contact and web-site links and the rights line,
// each inside the dialog and painted over its picture; a click closes it.
#include <gtest/gtest.h>

#include <string>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "dialogs/options/OptionsRes.h"

namespace acceptance {
namespace {

using AboutRoad = Road;

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && inner.right > inner.left && inner.bottom > inner.top;
}

TEST_F(AboutRoad, ShowsVersionLinksAndRightsInsideItsWindow) {
  ASSERT_TRUE(Window().ChooseFromMainMenu(kMenuAbout));
  HWND about = WaitForTopWindow(program_.Id(), L"#32770", L"About Quorindo");
  ASSERT_NE(about, nullptr) << "the About dialog did not open";
  std::string why;
  EXPECT_TRUE(WaitUntilPainted(about, why)) << why;
  Screenshot(L"about");

  const RECT frame = ScreenRect(about);
  // Bigger than a stand-in picture: the dialog takes the size of its own.
  EXPECT_GE(frame.right - frame.left, 200);
  EXPECT_GE(frame.bottom - frame.top, 150);
  const struct {
    int id;
    const wchar_t* starts;  // what the line begins with
  } lines[] = {{IDC_AB_VERSION, L"Version "}, {IDC_AB_CONTACT, L""}, {IDC_AB_WEBSITE, L""}, {IDC_AB_RIGHTS, L"Copyright"}};
  for (const auto& line : lines) {
    HWND control = DialogItem(about, line.id);
    ASSERT_NE(control, nullptr) << line.id;
    const std::wstring text = WindowText(control);
    EXPECT_FALSE(text.empty()) << line.id << " is empty";
    EXPECT_EQ(text.rfind(line.starts, 0), 0u) << line.id << ": " << Utf8(text);
    EXPECT_TRUE(Inside(ScreenRect(control), frame)) << line.id << " (" << Utf8(text) << ") lies outside the dialog";
    EXPECT_TRUE(LooksPainted(control, why)) << line.id << " (" << Utf8(text) << "): " << why;
  }
  // The version: digits after the word, the build number four digits at least.
  const std::wstring version = WindowText(DialogItem(about, IDC_AB_VERSION));
  EXPECT_NE(version.find_first_of(L"0123456789"), std::wstring::npos) << Utf8(version);

  Click(about, 10, 10);
  EXPECT_TRUE(WaitUntilGone(about)) << "a click did not close the About dialog";
}

}  // namespace
}  // namespace acceptance
