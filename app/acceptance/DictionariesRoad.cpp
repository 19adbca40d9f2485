// The dictionaries road: the dictionaries dialog opened from the main menu is
// drawn (its page, lists and buttons); a dictionary file made by the
// dictionary writer is installed through its Install button and the open-file
// dialog, and a lookup then finds its words; moved to the top, its entries
// come first; uninstalled, its file is deleted and a lookup no longer finds
// it; unticked, a lookup no longer asks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/acceptance/SoakKit.h"
#include "core/FileUtil.h"
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

class DictionariesRoad : public Road {
 protected:
  void Prepare() override {
    file_ = Folder() + L"road-glossary.tdc";
    std::string why;
    ASSERT_TRUE(WriteDictionaryFile(file_, kRoadSource, why)) << why;
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
  // Install: the button's open-file dialog takes the typed path; the new
  // dictionary is selected afterwards.
  void Install(HWND dialog) {
    HWND install = DialogItem(dialog, IDC_DICTOPT_INSTALL);
    ASSERT_NE(install, nullptr) << "no visible Install button";
    Click(install);
    ASSERT_NE(WaitForOtherBox(dialog), nullptr) << "Install opened no file dialog";
    Screenshot(L"open-file");
    TypeText(file_);
    PressKey(VK_RETURN);
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

  std::wstring file_;
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
  Screenshot(L"uninstalled");
  CloseDialog(dialog);

  const std::wstring text = PageOf(L"house", L"Haus");
  EXPECT_EQ(text.find(kRoadTitle), std::wstring::npos) << "the uninstalled dictionary still answers:\n" << Utf8(text);
  Screenshot(L"lookup-without");
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
  // Installed last, its row's tick box is the last of the page; moved to the
  // top, the same box is the first.
  std::vector<HWND> boxes = TickBoxes(page_);
  ASSERT_FALSE(boxes.empty()) << "no tick box on the page";
  const HWND box = boxes.back();
  ASSERT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "the installed dictionary is not ticked";
  Click(DialogItem(dialog, IDC_DICTOPT_TOP));
  ASSERT_TRUE(WaitFor([&] {
    boxes = TickBoxes(page_);
    return !boxes.empty() && boxes[0] == box;
  })) << "the installed dictionary's row did not move to the top";
  Click(box);
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
