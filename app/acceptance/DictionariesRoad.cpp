// The dictionaries road: the dictionaries dialog opened from the main menu is
// drawn (its page, lists and buttons); a dictionary file made by the
// dictionary writer is installed through its Install button and the open-file
// dialog, and a lookup then finds its words; moved to the top, its entries
// come first; uninstalled, its file is deleted and a lookup no longer finds
// it; unticked, a lookup no longer asks it. While the dictionary
// configuration cannot be written, an installation is refused and told, and
// what was installed before is there after a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/acceptance/SoakKit.h"
#include "core/FileUtil.h"
#include "core/ScopedHandle.h"
#include "dialogs/dict/DictDialogsRes.h"

namespace acceptance {
namespace {

constexpr wchar_t kRoadTitle[] = L"Road Glossary";
constexpr wchar_t kRoadFile[] = L"00c0ffee.tdc";  // the installed file's name: the id in hexadecimal
constexpr wchar_t kDemoTitle[] = L"English-German (FreeDict)";

// A small English-German dictionary of its own, with a word no shipped
// dictionary has.
const char kRoadSource[] =
    "id = 0x00C0FFEE\n"
    "version = 1.3\n"
    "flags = 0x18\n"
    "name = Road Glossary\n"
    "description = en | Road Glossary | | A dictionary installed by the acceptance road\n"
    "glossary = en | de | text | Road\n"
    "index_lang = en\n"
    "icon = none\n"
    "[entries]\n"
    "house\t<C A=\"0\"><F><a>house</a></F><G><O><d>Strassenhaus</d></O></G></C>\n"
    "quokkaroad\t<C A=\"0\"><F><a>quokkaroad</a></F><G><O><d>Wegbeutler</d></O></G></C>\n";

// A second one, installed while the configuration cannot be written.
const char kLateSource[] =
    "id = 0x00C0FFEF\n"
    "version = 1.3\n"
    "flags = 0x18\n"
    "name = Late Glossary\n"
    "description = en | Late Glossary | | Installed while the configuration is held\n"
    "glossary = en | de | text | Late\n"
    "index_lang = en\n"
    "icon = none\n"
    "[entries]\n"
    "quokkalate\t<C A=\"0\"><F><a>quokkalate</a></F><G><O><d>Spaetbeutler</d></O></G></C>\n";

class DictionariesRoad : public Road {
 protected:
  void Prepare() override {
    file_ = Folder() + L"road-glossary.tdc";
    lateFile_ = Folder() + L"late-glossary.tdc";
    std::string why;
    ASSERT_TRUE(WriteDictionaryFile(file_, kRoadSource, why)) << why;
    ASSERT_TRUE(WriteDictionaryFile(lateFile_, kLateSource, why)) << why;
  }

  // The dictionaries dialog, opened from the main menu and drawn.
  HWND OpenDialog(const wchar_t* shot) {
    if (!Window().ChooseFromMainMenu(kMenuDictionaries)) return nullptr;
    HWND dialog = WaitForTopWindow(program_.Id(), L"#32770", L"Dictionary Options");
    if (!dialog) return nullptr;
    page_ = nullptr;
    WaitFor([&] {
      page_ = Control(dialog, L"Internet Explorer_Server");
      return page_ != nullptr;
    });
    std::string why;
    EXPECT_TRUE(WaitUntilPainted(dialog, why)) << why;
    if (page_) {
      EXPECT_TRUE(WaitUntilPainted(page_, why)) << "page: " << why;
    }
    Screenshot(shot);
    return dialog;
  }
  void CloseDialog(HWND dialog) {
    Click(DialogItem(dialog, IDCANCEL));
    ASSERT_TRUE(WaitUntilGone(dialog)) << "Close did not close the dictionaries dialog";
  }
  // The result page of a word once it shows `part`.
  std::wstring PageOf(const std::wstring& word, const std::wstring& part) {
    MainWindow window = Window();
    EXPECT_TRUE(window.LookUp(word));
    std::wstring text;
    EXPECT_TRUE(window.WaitForPageText(part, text)) << Utf8(word) << ": " << Utf8(text);
    return text;
  }
  // A dialog box of the program besides the dictionaries dialog, once one shows.
  HWND WaitForOtherBox(HWND dialog) {
    HWND other = nullptr;
    WaitFor([&] {
      for (HWND box : TopWindows(program_.Id(), L"#32770", nullptr, true))
        if (box != dialog) other = box;
      return other != nullptr;
    });
    return other;
  }
  // The Install button; its open-file dialog takes the typed path.
  void ChooseInstall(HWND dialog, const std::wstring& file) {
    HWND install = DialogItem(dialog, IDC_DICTOPT_INSTALL);
    ASSERT_NE(install, nullptr) << "no visible Install button";
    Click(install);
    ASSERT_NE(WaitForOtherBox(dialog), nullptr) << "Install opened no file dialog";
    Screenshot(L"open-file");
    TypeText(file);
    PressKey(VK_RETURN);
  }
  // Install: the install result names the new dictionary, which is selected
  // afterwards.
  void Install(HWND dialog) {
    ChooseInstall(dialog, file_);
    if (HasFatalFailure()) return;
    HWND result = WaitForTopWindow(program_.Id(), L"#32770", L"Install Dictionary");
    ASSERT_NE(result, nullptr) << "no install result; the program shows: " << Utf8(DialogTexts(program_.Id()));
    EXPECT_NE(WindowText(DialogItem(result, IDC_DICTINST_TEXT)).find(kRoadTitle), std::wstring::npos)
        << Utf8(WindowText(DialogItem(result, IDC_DICTINST_TEXT)));
    Screenshot(L"installed");
    Click(DialogItem(result, IDOK));
    ASSERT_TRUE(WaitUntilGone(result));
    EXPECT_TRUE(IsFilePresent(InstalledFile().c_str())) << "the file was not copied in";
    Screenshot(L"after-install");
  }
  // The dialog opened and the road's dictionary installed through it; null,
  // the failure reported, when either did not happen.
  HWND OpenAndInstall() {
    HWND dialog = OpenDialog(L"dialog");
    EXPECT_NE(dialog, nullptr) << "the dictionaries dialog did not open";
    if (dialog) Install(dialog);
    return HasFatalFailure() ? nullptr : dialog;
  }
  std::wstring InstalledFile() { return Folder() + L"dict\\" + kRoadFile; }
  std::wstring DictConfig() { return FileText(Folder() + L"dict\\dictcfg.xmc"); }

  std::wstring file_, lateFile_;
  HWND page_ = nullptr;
};

TEST_F(DictionariesRoad, InstallsADictionaryThatALookupFindsFirstOnceMovedToTheTop) {
  HWND dialog = OpenAndInstall();
  if (!dialog) return;

  // Reorder: the new dictionary, selected after its installation, to the top.
  Click(DialogItem(dialog, IDC_DICTOPT_TOP));
  Screenshot(L"moved-top");
  CloseDialog(dialog);
  std::wstring text = PageOf(L"quokkaroad", L"Wegbeutler");
  EXPECT_NE(text.find(kRoadTitle), std::wstring::npos) << Utf8(text);
  text = PageOf(L"house", L"Strassenhaus");
  EXPECT_NE(text.find(L"Haus"), std::wstring::npos) << Utf8(text);
  ASSERT_NE(text.find(kDemoTitle), std::wstring::npos) << Utf8(text);
  EXPECT_LT(text.find(kRoadTitle), text.find(kDemoTitle)) << "not moved to the top:\n" << Utf8(text);
  Screenshot(L"lookup-first");
}

TEST_F(DictionariesRoad, UninstallsTheSelectedDictionaryWhichALookupNoLongerFinds) {
  HWND dialog = OpenAndInstall();
  if (!dialog) return;
  // On top, it is the row selected when the dialog opens again; the page
  // shows its entry until it is uninstalled.
  Click(DialogItem(dialog, IDC_DICTOPT_TOP));
  CloseDialog(dialog);
  PageOf(L"house", L"Strassenhaus");
  const std::wstring icon = Folder() + L"temp\\00c0ffee_icon.png";
  EXPECT_TRUE(IsFilePresent(icon.c_str())) << "no icon of the dictionary in temp";
  dialog = OpenDialog(L"dialog-again");
  ASSERT_NE(dialog, nullptr) << "the dictionaries dialog did not open again";

  // Uninstall asks first; Yes takes the dictionary and its file away.
  HWND uninstall = DialogItem(dialog, IDC_DICTOPT_UNINSTALL);
  ASSERT_NE(uninstall, nullptr) << "no visible Uninstall button";
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(uninstall) != FALSE; })) << "Uninstall stays disabled";
  Click(uninstall);
  HWND ask = WaitForOtherBox(dialog);
  ASSERT_NE(ask, nullptr) << "Uninstall asked nothing";
  Screenshot(L"ask-uninstall");
  HWND yes = DialogItem(ask, IDYES);
  ASSERT_NE(yes, nullptr) << "the question has no Yes: " << Utf8(DialogTexts(program_.Id()));
  Click(yes);
  ASSERT_TRUE(WaitUntilGone(ask));
  EXPECT_TRUE(WaitFor([&] { return !IsFilePresent(InstalledFile().c_str()); })) << "the installed file stays";
  EXPECT_FALSE(IsFilePresent(icon.c_str())) << "its icon stays in temp";
  Screenshot(L"uninstalled");
  CloseDialog(dialog);

  // The page no longer shows it, before any new lookup.
  std::wstring shown;
  EXPECT_TRUE(WaitFor([&] {
    shown = Window().PageText();
    return shown.find(L"Haus") != std::wstring::npos && shown.find(kRoadTitle) == std::wstring::npos;
  })) << "the page still shows the uninstalled dictionary:\n" << Utf8(shown);
  Screenshot(L"page-after-uninstall");

  const std::wstring text = PageOf(L"house", L"Haus");
  EXPECT_EQ(text.find(kRoadTitle), std::wstring::npos) << "the uninstalled dictionary still answers:\n" << Utf8(text);
  Screenshot(L"lookup-without");
}

// Another program holds the dictionary configuration open (it may be read,
// not replaced), as a backup or a virus scanner does.
TEST_F(DictionariesRoad, AnInstallationTheConfigurationCannotTakeIsRefusedAndNothingIsLost) {
  HWND dialog = OpenAndInstall();
  if (!dialog) return;
  const std::wstring config = Folder() + L"dict\\dictcfg.xmc";
  ScopedHandle held(CreateFileW(config.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.IsValid()) << "cannot hold " << Utf8(config);

  ChooseInstall(dialog, lateFile_);
  if (HasFatalFailure()) return;
  HWND box = WaitForBoxSaying(program_.Id(), L"dictcfg.xmc");
  ASSERT_NE(box, nullptr) << "the failed save was not told; the program shows: " << Utf8(DialogTexts(program_.Id()));
  Screenshot(L"not-saved");
  for (HWND other : TopWindows(program_.Id(), L"#32770", nullptr, true))
    EXPECT_EQ(DialogItem(other, IDC_DICTINST_TEXT), nullptr) << "the installation was reported as done";
  Click(DialogItem(box, IDOK));
  ASSERT_TRUE(WaitUntilGone(box));
  EXPECT_FALSE(IsFilePresent((Folder() + L"dict\\00c0ffef.tdc").c_str())) << "the refused file stays in dict";

  // Closing the dialog saves the groups: that failure is told too.
  Click(DialogItem(dialog, IDCANCEL));
  box = WaitForBoxSaying(program_.Id(), L"dictcfg.xmc");
  ASSERT_NE(box, nullptr) << "closing told nothing; the program shows: " << Utf8(DialogTexts(program_.Id()));
  Click(DialogItem(box, IDOK));
  ASSERT_TRUE(WaitUntilGone(dialog));
  held.Close();

  ASSERT_TRUE(Window().ChooseExit());
  ASSERT_TRUE(program_.WaitForExit()) << "Exit did not end the program";
  std::string why;
  ASSERT_TRUE(program_.Start(Folder(), L"", why)) << why;
  EXPECT_EQ(Utf8(DialogTexts(program_.Id())), "");
  const std::wstring text = PageOf(L"quokkaroad", L"Wegbeutler");
  EXPECT_NE(text.find(kRoadTitle), std::wstring::npos) << Utf8(text);
  EXPECT_NE(PageOf(L"house", L"Haus").find(kDemoTitle), std::wstring::npos);
  EXPECT_TRUE(IsFilePresent(InstalledFile().c_str()));
  Screenshot(L"after-restart");
}

// The tick boxes of the dictionaries page, top to bottom.
std::vector<HWND> TickBoxes(HWND page) {
  std::vector<HWND> boxes;
  for (HWND button : Controls(page, L"Button")) {
    const LONG_PTR kind = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
    if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) boxes.push_back(button);
  }
  std::sort(boxes.begin(), boxes.end(), [](HWND a, HWND b) { return ScreenRect(a).top < ScreenRect(b).top; });
  return boxes;
}

TEST_F(DictionariesRoad, UntickedDictionaryIsNoLongerAsked) {
  HWND dialog = OpenAndInstall();
  if (!dialog) return;
  Click(DialogItem(dialog, IDC_DICTOPT_TOP));
  // Moved to the top, its row's tick box is the first of the page.
  std::vector<HWND> boxes;
  ASSERT_TRUE(WaitFor([&] {
    boxes = TickBoxes(page_);
    return !boxes.empty() && SendMessageW(boxes[0], BM_GETCHECK, 0, 0) == BST_CHECKED;
  })) << "no ticked box on the page";
  Click(boxes[0]);
  // The page is written again with the new state: its boxes are read afresh.
  EXPECT_TRUE(WaitFor([&] {
    boxes = TickBoxes(page_);
    return !boxes.empty() && SendMessageW(boxes[0], BM_GETCHECK, 0, 0) == BST_UNCHECKED;
  })) << "the click did not untick the box";
  Screenshot(L"unticked");
  CloseDialog(dialog);

  const std::wstring text = PageOf(L"house", L"Haus");
  EXPECT_EQ(text.find(L"Strassenhaus"), std::wstring::npos) << "the unticked dictionary still answers:\n"
                                                            << Utf8(text);
  EXPECT_NE(text.find(kDemoTitle), std::wstring::npos) << Utf8(text);
  Screenshot(L"lookup-without");
}

}  // namespace
}  // namespace acceptance
