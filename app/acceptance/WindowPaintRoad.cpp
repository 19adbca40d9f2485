// Every window the program opens is painted: the splash while it starts, the
// main menu, the tool tips of the main window's buttons, the dictionaries
// dialog, the six pages of the options dialog and the About dialog. Each is
// opened as a user opens it and its pixels on the screen are sampled: no
// window may stay black or of one colour.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/popup/PopupRes.h"
#include "app/search/SearchRes.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/options/OptionsRes.h"

namespace acceptance {
namespace {


// The splash window, watched from before the program starts until its main
// window is up: it must show its picture while it stands on the screen.
class SplashRoad : public Road {
 protected:
  void Prepare() override {
    watcher_ = std::thread([this] {
      bool seen = false;
      WaitFor(
          [&] {
            HWND splash = FindWindowW(L"Talvane_Splash", nullptr);
            if (!splash || !IsWindowVisible(splash)) {
              HWND main = FindWindowW(nullptr, L"Quorindo");
              return seen || (main && IsWindowVisible(main));
            }
            seen = true;
            std::string why;
            if (LooksPainted(splash, why)) {
              painted_ = true;
              SaveScreenshot(L"SplashRoad-splash");
              return true;
            }
            why_ = why;
            return false;
          },
          kStartDeadlineMs);
      seen_ = seen;
    });
  }
  void TearDown() override {
    if (watcher_.joinable()) watcher_.join();
    Road::TearDown();
  }

  std::thread watcher_;
  std::atomic<bool> seen_{false}, painted_{false};
  std::string why_;
};

TEST_F(SplashRoad, SplashShowsItsPictureWhileTheProgramStarts) {
  watcher_.join();
  ASSERT_TRUE(seen_) << "no splash window was seen";
  EXPECT_TRUE(painted_) << "the splash stayed unpainted: " << why_;
}

class WindowPaintRoad : public Road {
 protected:
  // Samples a window that a user opened, with a screenshot of it.
  void ExpectPainted(HWND window, const wchar_t* name) {
    ASSERT_NE(window, nullptr) << Utf8(name) << " did not open";
    std::string why;
    EXPECT_TRUE(WaitUntilPainted(window, why)) << Utf8(name) << ": " << why;
    Screenshot(name);
  }
};

TEST_F(WindowPaintRoad, MenuAndToolTipsArePainted) {
  MainWindow window = Window();
  HWND menu = window.OpenMainMenu();
  ExpectPainted(menu, L"main-menu");
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntilGone(menu));

  // The tool tips of the search bar's buttons, an index pane tab and a view
  // bar button: each comes when the mouse rests on its control. (Back and
  // Forward stay disabled until there is a page to go back to: like any
  // disabled control they get no mouse input, so they show no tip then.)
  for (int id : {IDC_INPUT_MAINMENU, IDC_INPUT_SEARCH, IDC_INDEX_TAB_GUIDE, IDC_VIEW_COPY}) {
    HWND button = window.Button(id);
    ASSERT_NE(button, nullptr) << id;
    MoveMouse(window.Frame(), 5, 5);
    ASSERT_TRUE(WaitFor([&] { return TopWindows(program_.Id(), L"tooltips_class32", nullptr, true).empty(); }))
        << "a tool tip stays after the mouse left its control";
    MoveMouse(button);
    HWND tip = WaitForTopWindow(program_.Id(), L"tooltips_class32", nullptr);
    ExpectPainted(tip, (L"tip-" + std::to_wstring(id)).c_str());
  }
  MoveMouse(window.Frame(), 5, 5);
}

TEST_F(WindowPaintRoad, DictionariesDialogIsPainted) {
  ASSERT_TRUE(Window().ChooseFromMainMenu(kMenuDictionaries));
  HWND dialog = WaitForTopWindow(program_.Id(), L"#32770", L"Dictionary Options");
  ExpectPainted(dialog, L"dictionaries");
  ASSERT_NE(dialog, nullptr);
  HWND page = Control(dialog, L"Internet Explorer_Server");
  ASSERT_NE(page, nullptr) << "the dialog shows no page";
  std::string why;
  EXPECT_TRUE(WaitUntilPainted(page, why)) << "page: " << why;
  // Every button stands inside the dialog and is painted.
  const RECT frame = ScreenRect(dialog);
  for (HWND button : Controls(dialog, L"Talvane_ToolButton")) {
    const RECT r = ScreenRect(button);
    EXPECT_TRUE(r.left >= frame.left && r.right <= frame.right && r.top >= frame.top && r.bottom <= frame.bottom)
        << Utf8(WindowText(button)) << " lies outside the dialog";
    EXPECT_TRUE(LooksPainted(button, why)) << Utf8(WindowText(button)) << ": " << why;
  }
  Click(DialogItem(dialog, IDCANCEL));
  EXPECT_TRUE(WaitUntilGone(dialog));
}

TEST_F(WindowPaintRoad, OptionsPagesAndAboutArePainted) {
  MainWindow window = Window();
  ASSERT_TRUE(window.ChooseFromMainMenu(kMenuConfiguration));
  HWND dialog = WaitForTopWindow(program_.Id(), L"#32770", L"Options");
  ExpectPainted(dialog, L"options");
  ASSERT_NE(dialog, nullptr);
  HWND tabs = DialogItem(dialog, IDC_OPTION_TAB);
  ASSERT_NE(tabs, nullptr);
  // The first tab clicked, then the others with the arrow key.
  Click(tabs, 12, 8);
  for (int page = 0; page < 6; ++page) {
    if (page > 0) PressKey(VK_RIGHT);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == page; })) << page;
    ExpectPainted(dialog, (L"options-page-" + std::to_wstring(page)).c_str());
  }
  Click(DialogItem(dialog, IDCANCEL));
  ASSERT_TRUE(WaitUntilGone(dialog));

  ASSERT_TRUE(window.ChooseFromMainMenu(kMenuAbout));
  HWND about = WaitForTopWindow(program_.Id(), L"#32770", L"About Quorindo");
  ExpectPainted(about, L"about");
  if (about) Click(about, 10, 10);
  EXPECT_TRUE(WaitUntilGone(about));
}

}  // namespace
}  // namespace acceptance
