// The shell roads: the tray icon's menu and its commands, the hot key that
// shows and hides the main window, and a second start of the program that
// hands its dictionary file over to the running one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/acceptance/CopySettings.h"
#include "app/acceptance/Road.h"
#include "core/ConfigFile.h"

namespace acceptance {
namespace {

constexpr int kCloseButton = 171;  // the frame's own close button: hides to the tray
constexpr int kOkButton = IDOK;

bool Hidden(HWND window) { return !IsWindowVisible(window); }

// The program's top-level windows other than the main window, shown.
std::vector<HWND> OtherWindows(DWORD process, HWND main) {
  std::vector<HWND> others;
  for (HWND top : TopWindows(process, nullptr, nullptr, true))
    if (top != main && ClassOf(top) != L"tooltips_class32" && ClassOf(top) != L"#32768") others.push_back(top);
  return others;
}

// ---- The tray -------------------------------------------------------------

class TrayRoad : public Road {
 protected:
  // A window a command opened: painted, then closed with Escape.
  void CheckAndClose(const wchar_t* what) {
    HWND main = Window().Frame();
    std::vector<HWND> opened;
    ASSERT_TRUE(WaitFor([&] { return !(opened = OtherWindows(program_.Id(), main)).empty(); }))
        << "the tray menu's " << Utf8(what) << " opened no window"
        << (program_.IsRunning() ? "" : "; the program ended with code " + std::to_string(program_.ExitCode()));
    std::string why;
    EXPECT_TRUE(WaitFor([&] { return LooksPainted(opened.front(), why); })) << Utf8(what) << ": " << why;
    Screenshot(what);
    PostMessageW(opened.front(), WM_CLOSE, 0, 0);
    // Closed, the window hands the activation back to the main window; a
    // right click on the tray before that lands would lose its menu to it.
    EXPECT_TRUE(WaitFor([&] {
      return OtherWindows(program_.Id(), main).empty() && IsWindowEnabled(main) && GetForegroundWindow() == main;
    })) << Utf8(what) << " did not close";
  }
};

TEST_F(TrayRoad, MenuOpensTheWindowSwitchesTheClipboardTranslatorAndExits) {
  MainWindow window = Window();
  ASSERT_TRUE(WaitFor([] { return TrayIcon() != nullptr; })) << "no tray window with the icon";
  HWND close = window.Button(kCloseButton);
  ASSERT_NE(close, nullptr);
  Click(close);
  ASSERT_TRUE(WaitFor([&] { return Hidden(window.Frame()); })) << "the close button left the window up";

  // Open (the first item) brings the window back.
  ASSERT_TRUE(ChooseFromTray(1)) << "the tray icon's menu did not come";
  EXPECT_TRUE(WaitFor([&] { return !Hidden(window.Frame()); })) << "Open did not show the window";
  Screenshot(L"opened");

  // The clipboard translator (third item), off as shipped, is switched on:
  // a copied word brings the popup.
  ASSERT_TRUE(ChooseFromTray(3));
  // The switch is on once the program's popup has joined the clipboard
  // viewers; a word copied before that brings nothing.
  ASSERT_TRUE(WaitFor([&] {
    DWORD owner = 0;
    HWND viewer = GetClipboardViewer();
    return viewer && GetWindowThreadProcessId(viewer, &owner) && owner == program_.Id();
  })) << "the clipboard translator did not come on";
  ASSERT_TRUE(SetClipboardText(L"house"));
  EXPECT_TRUE(WaitFor([&] { return !OtherWindows(program_.Id(), window.Frame()).empty(); }))
      << "no popup for a copied word";
  Screenshot(L"clipboard-popup");

  // Exit (the last item, Up from no selection) ends the program, which keeps
  // the switch.
  ASSERT_TRUE(ChooseFromTray(-1));
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  CConfigFile state;
  ASSERT_TRUE(state.Load((Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_TRUE(state.GetBool(L"App", L"EnableClipboard", false));
}

TEST_F(TrayRoad, MenuOpensTheDialogs) {
  const struct {
    int downs;
    const wchar_t* name;
  } dialogs[] = {{4, L"dictionaries"}, {5, L"options"}, {8, L"about"}};
  for (const auto& dialog : dialogs) {
    ASSERT_TRUE(ChooseFromTray(dialog.downs)) << Utf8(dialog.name);
    CheckAndClose(dialog.name);
  }
}

// ---- The hot key ------------------------------------------------------------

class HotKeyRoad : public Road {
 protected:
  void Prepare() override {
    // Ctrl+Alt+Q shows and hides the main window.
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Hotkey", L"OpenMainWnd",
                           std::to_wstring(0x20000 | 0x40000 | 'Q')));
  }
};

TEST_F(HotKeyRoad, KeyShowsTheHiddenWindowAndHidesTheActiveOne) {
  MainWindow window = Window();
  Click(window.Button(kCloseButton));
  ASSERT_TRUE(WaitFor([&] { return Hidden(window.Frame()); })) << "the close button left the window up";
  PressKeys({VK_CONTROL, VK_MENU, 'Q'});
  EXPECT_TRUE(WaitFor([&] { return !Hidden(window.Frame()) && GetForegroundWindow() == window.Frame(); }))
      << "the hot key did not bring the window";
  Screenshot(L"shown");
  PressKeys({VK_CONTROL, VK_MENU, 'Q'});
  EXPECT_TRUE(WaitFor([&] { return Hidden(window.Frame()); })) << "the hot key did not hide the active window";
}

// ---- A damaged user state ---------------------------------------------------

// A stored place off every monitor and a negative font size, as a damaged
// "user.ini" and "config.ini" hold them: the window comes up on the screen
// with a search bar that works, and leaves a place on the screen at exit.
class DamagedStateRoad : public Road {
 protected:
  void Prepare() override {
    ASSERT_TRUE(SetSetting(Folder() + L"user.ini", L"App", L"Window", L"-99999, -99999, -99199, -99399"));
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Appearance", L"UIFontSize", L"-100"));
  }
};

bool OnAMonitor(const RECT& place) { return MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr; }

TEST_F(DamagedStateRoad, WindowComesUpOnTheScreenAndLeavesAPlaceOnIt) {
  MainWindow window = Window();
  RECT place = {};
  EXPECT_TRUE(WaitFor([&] {
    return IsWindowVisible(window.Frame()) && GetWindowRect(window.Frame(), &place) && OnAMonitor(place);
  })) << "the window stands at " << place.left << ", " << place.top;
  std::string why;
  EXPECT_TRUE(WaitFor([&] { return LooksPainted(GetParent(window.SearchEdit()), why); }))
      << "the search bar: " << why;
  // A font beyond reason would crowd the search box out of its bar.
  RECT box = {};
  GetWindowRect(window.SearchEdit(), &box);
  EXPECT_GT((box.right - box.left) * 3, place.right - place.left) << "the search box is " << box.right - box.left
                                                                  << " wide";
  Screenshot(L"placed");

  ASSERT_TRUE(ChooseFromTray(-1));
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  CConfigFile state;
  ASSERT_TRUE(state.Load((Folder() + L"user.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  std::vector<int32_t> saved;
  ASSERT_EQ(state.GetIntList(L"App", L"Window", saved), 4);
  EXPECT_TRUE(OnAMonitor(RECT{saved[0], saved[1], saved[2], saved[3]}))
      << "saved " << saved[0] << ", " << saved[1] << ", " << saved[2] << ", " << saved[3];
}

// ---- A second instance ------------------------------------------------------

constexpr wchar_t kExtraSource[] =
    L"id = 0x00000777\n"
    L"version = 1.3\n"
    L"flags = 0x18\n"
    L"name = Handed Over\n"
    L"description = en | Handed Over | | A dictionary a second start hands over\n"
    L"glossary = en | en | text | Handed Over\n"
    L"index_lang = en\n"
    L"icon = none\n"
    L"[entries]\n"
    L"zyzzyva\t<C A=\"0\"><F><a>zyzzyva</a></F><G><O><d>a tropical weevil of the handed-over file</d></O></G></C>\n";

class SecondInstanceRoad : public Road {
 protected:
  void Prepare() override {
    std::string why;
    ASSERT_TRUE(WriteDictionary(Folder() + L"handed over.tdc", kExtraSource, why)) << why;
  }
};

TEST_F(SecondInstanceRoad, SecondStartHandsItsDictionaryFileToTheFirst) {
  MainWindow window = Window();
  Click(window.Button(kCloseButton));
  ASSERT_TRUE(WaitFor([&] { return Hidden(window.Frame()); }));

  ProgramProcess second;
  std::string why;
  ASSERT_TRUE(second.Launch(Folder(), L"\"" + Folder() + L"handed over.tdc\"", why)) << why;
  // The first instance comes up and reports the installation.
  EXPECT_TRUE(WaitFor([&] { return !Hidden(window.Frame()); }, kStartDeadlineMs)) << "the first window stayed hidden";
  std::vector<HWND> report;
  ASSERT_TRUE(WaitFor([&] { return !(report = OtherWindows(program_.Id(), window.Frame())).empty(); },
                      kStartDeadlineMs))
      << "the first instance showed no installation report";
  Screenshot(L"installed");
  EXPECT_TRUE(TopWindows(second.Id(), nullptr, L"Quorindo", true).empty()) << "the second start opened a window";
  HWND ok = Control(report.front(), nullptr, kOkButton);
  ASSERT_NE(ok, nullptr) << "the report has no OK button";
  Click(ok);
  EXPECT_TRUE(second.WaitForExit()) << "the second start did not end";

  ASSERT_TRUE(window.LookUp(L"zyzzyva"));
  std::wstring text;
  EXPECT_TRUE(window.WaitForPageText(L"tropical weevil", text)) << Utf8(text);
  Screenshot(L"lookup");
}

}  // namespace
}  // namespace acceptance
