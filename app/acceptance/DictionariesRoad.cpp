// The dictionaries road: the dictionaries dialog opened from the main menu is
// drawn (its page, lists and buttons); a dictionary file made by the
// dictionary writer is installed through its Install button and the open-file
// dialog, and a lookup then finds its words; moved to the top, its entries
// come first; uninstalled, its file is deleted and a lookup no longer finds
// it; unticked, a lookup no longer asks it. While the dialog is open, an
// online update installs a dictionary: the page shows the dictionaries the
// program now holds, and Top moves the row the user clicked, on the screen as
// in the saved configuration. While the dictionary configuration cannot be
// written, an installation is refused and told, and what was installed before
// is there after a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/acceptance/CopySettings.h"
#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/acceptance/SoakKit.h"
#include "core/FileUtil.h"
#include "core/ScopedHandle.h"
#include "core/TextCodec.h"
#include "dialogs/dict/DictDialogsRes.h"
#include "http/tests/TestServer.h"

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

// ---- An online update while the dialog is open ----------------------------

// What the update installs: two glossaries, so its row on the page is the one
// with two glossary tick boxes below its own.
const char kUpdateSource[] =
    "id = 0x00C0FFEF\n"
    "version = 1.3\n"
    "flags = 0x18\n"
    "name = Update Glossary\n"
    "description = en | Update Glossary | | A dictionary an online update installs\n"
    "glossary = en | de | text | There\n"
    "glossary = de | en | text | Back\n"
    "index_lang = en\n"
    "icon = none\n"
    "[entries]\n"
    "quokkaupdate\t<C A=\"0\"><F><a>quokkaupdate</a></F><G><O><d>Neubeutler</d></O></G></C>\n";
constexpr wchar_t kUpdateId[] = L"00c0ffef";
constexpr wchar_t kRoadId[] = L"00c0ffee";

std::string HttpAnswer(const char* type, const std::string& body) {
  return std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string XmlAnswer(const std::string& xml) {
  return HttpAnswer("text/xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n" + xml);
}

// A dictionary row of the page as the screen shows it: its tick box and the
// number of glossary tick boxes (indented) below it.
struct ScreenRow {
  HWND box;
  int glossaries;
};

std::vector<ScreenRow> RowsOnScreen(HWND page) {
  std::vector<ScreenRow> rows;
  const std::vector<HWND> boxes = TickBoxes(page);
  if (boxes.empty()) return rows;
  const LONG left = ScreenRect(boxes[0]).left;  // row 0 is a dictionary's
  for (HWND box : boxes) {
    if (ScreenRect(box).left < left + 20)
      rows.push_back({box, 0});
    else if (!rows.empty())
      ++rows.back().glossaries;
  }
  return rows;
}

// The dictionary ids of the query group as dictcfg.xmc lists them.
std::vector<std::wstring> QueryGroupIds(const std::wstring& config) {
  std::vector<std::wstring> ids;
  const size_t start = config.find(L"<query_group>"), end = config.find(L"</query_group>");
  if (start == std::wstring::npos || end == std::wstring::npos) return ids;
  const std::wstring marker = L"<dict id=\"";
  for (size_t at = config.find(marker, start); at < end; at = config.find(marker, at + 1))
    ids.push_back(config.substr(at + marker.size(), 8));
  return ids;
}

class DictionariesUpdateRoad : public DictionariesRoad {
 protected:
  ~DictionariesUpdateRoad() override { SetEvent(gate_.Get()); }

  void Prepare() override {
    DictionariesRoad::Prepare();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(server_.IsListening());
    const std::wstring offered = Folder() + L"update-glossary.tdc";
    std::string why, dictionary;
    ASSERT_TRUE(WriteDictionaryFile(offered, kUpdateSource, why)) << why;
    ASSERT_GT(ReadFileToString(dictionary, offered.c_str()), 0u);
    // The news waits for the road: the update runs once the dialog is open
    // with a dictionary installed through it.
    ScriptedAnswer news;
    const std::string newsXml = "<update id=\"7\" time=\"2026-01-02 03:04:05\"><upgrade><url method=\"GET\">" +
                                server_.Url("/upgrade.xml") +
                                "</url></upgrade><Info><item lang=\"en\"><tip>Updated</tip><content><div "
                                "id=\"startpage\">Updated</div></content></item></Info></update>";
    HANDLE gate = gate_.Get();
    news.respond = [gate, newsXml](const std::string&) {
      WaitForSingleObject(gate, INFINITE);
      return XmlAnswer(newsXml);
    };
    server_.Queue(std::move(news));
    std::string script = "<upgrade id=\"7\"><action><cmd act=\"install_dict\" name=\"" +
                         server_.Url("/update-glossary.tdc") + "\"/></action></upgrade>";
    server_.Queue(XmlAnswer(script));
    server_.Queue(HttpAnswer("application/octet-stream", dictionary));
    const std::string link = server_.Url("/news.xml");
    ASSERT_TRUE(SetUiText(Folder(), L"Link", L"Update", std::wstring(link.begin(), link.end())));
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Connection", L"EnableUpdate", L"y"));
  }

  ScopedHandle gate_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // outlives the server's thread
  WinsockScope winsock_;
  TestServer server_;
};

TEST_F(DictionariesUpdateRoad, PageShowsWhatTheUpdateChangedAndTopMovesTheClickedRow) {
  HWND dialog = OpenAndInstall();
  if (!dialog) return;
  std::vector<ScreenRow> rows;
  ASSERT_TRUE(WaitFor([&] {
    rows = RowsOnScreen(page_);
    return !rows.empty();
  })) << "no rows on the page";
  const size_t rowCount = rows.size();
  SetEvent(gate_.Get());

  // The update brings its own dictionary (one row with two glossaries): the
  // page shows it without being reopened.
  ASSERT_TRUE(WaitFor([&] {
    rows = RowsOnScreen(page_);
    return rows.size() == rowCount + 1 && rows.back().glossaries == 2;
  }, kStartDeadlineMs)) << "the page still shows the dictionaries from before the update: " << rows.size() << " rows";
  WaitForPainted(program_.Id());
  Screenshot(L"after-update");

  // The user clicks the new dictionary's name and moves it to the top.
  RECT box = ScreenRect(rows.back().box);
  POINT name = {box.right + 30, (box.top + box.bottom) / 2};
  ScreenToClient(page_, &name);
  Click(page_, name.x, name.y);
  ASSERT_TRUE(WaitFor([&] {
    for (const RECT& band : ColourBands(page_, 0xFFF1D1, 40))
      if (band.top <= name.y && name.y < band.bottom) return true;
    return false;
  })) << "the clicked row is not shown selected";
  Click(DialogItem(dialog, IDC_DICTOPT_TOP));
  EXPECT_TRUE(WaitFor([&] {
    rows = RowsOnScreen(page_);
    return !rows.empty() && rows.front().glossaries == 2;
  })) << "the clicked row is not on top of the page";
  WaitForPainted(program_.Id());
  Screenshot(L"update-moved-top");
  const size_t onScreen = rows.size();
  // The dialog saves the new order as it is destroyed, after it has gone
  // from the screen: the file changes then.
  const std::wstring before = DictConfigText(Folder());
  CloseDialog(dialog);
  std::wstring config;
  EXPECT_TRUE(WaitFor([&] {
    config = DictConfigText(Folder());
    return !config.empty() && config != before;
  })) << "the dialog did not save the new order";

  // Saved as shown: the same rows, the clicked one first.
  const std::vector<std::wstring> saved = QueryGroupIds(config);
  ASSERT_FALSE(saved.empty()) << "dictcfg.xmc cannot be read";
  EXPECT_EQ(saved.front(), kUpdateId);
  EXPECT_EQ(saved.size(), onScreen);
  EXPECT_NE(std::find(saved.begin(), saved.end(), kRoadId), saved.end()) << "the road's dictionary is not saved";
}

}  // namespace
}  // namespace acceptance
