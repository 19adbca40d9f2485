// Installation through the options dialog's InstallDict, with and without
// its window, and the install result dialog that follows a success.
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DlgDictInstall.h"
#include "dialogs/dict/DlgDictOption.h"
#include "dialogs/dict/tests/DictDialogTestKit.h"
#include "core/ScopedHandle.h"
#include "core/TextCodec.h"
#include "dict/DictFile.h"

namespace {

using namespace dlgtest;

constexpr uint32_t kNew = 0x500;

std::string Narrow(const std::wstring& text) {
  std::string out;
  WStringToUtf8(out, text.c_str(), static_cast<int>(text.size()));
  return out;
}

class InstallTest : public DictDialogTest {
 protected:
  // Runs InstallDict on a dialog object whose window never exists, closing
  // the result dialog (when it comes) with OK.
  bool Install(const std::wstring& path) {
    CDlgDictOption dialog;
    CloseDialogLater(L"Installed", IDOK);
    const bool installed = dialog.InstallDict(path.c_str(), main_.GetSafeHwnd());
    CancelCloseDialog();
    return installed;
  }
};

TEST_F(InstallTest, ANewDictionaryIsInstalledAndAnnounced) {
  const std::wstring path = Build(kNew, L"flags = 0x18\ndescription = en | Fresh");
  ASSERT_TRUE(Install(path));
  EXPECT_TRUE(boxes_.shown.empty());
  ASSERT_NE(manager_.FindDict(kNew), nullptr);
  EXPECT_EQ(Ids(manager_, kGroupQuery).back(), kNew);
  // The result dialog named the dictionary; OK left the groups as the boxes said.
  ASSERT_TRUE(DialogWasClosed());
  EXPECT_EQ(ClosedDialogText(IDC_DICTINST_TEXT), L"Installed 00000500 Fresh");
  EXPECT_EQ(PostedToMain(2032).size(), 1u);
  EXPECT_EQ(Reload()->GroupIndexOf(kGroupQuery, kNew), 4);
}

TEST_F(InstallTest, HeadersThatCannotBeInstalledAreExplained) {
  struct Case {
    const wchar_t* name;
    std::wstring fields, options;
    std::wstring text;  // with the path in place of %p
    UINT type;
    int answer;
    WPARAM action;  // 2031 posted on Yes; 0 for none
  } cases[] = {
      {L"new", L"version = 1.4", L"", L"TooNew %p 1.4", MB_YESNO | MB_ICONERROR, IDYES, 167},
      {L"new-no", L"version = 2.0", L"", L"TooNew %p 2.0", MB_YESNO | MB_ICONERROR, IDNO, 0},
      {L"old", L"version = 0.9", L"", L"TooOld %p 0.9", MB_YESNO | MB_ICONERROR, IDYES, 164},
      {L"magic", L"", L"--damage=magic", L"NoDict %p", MB_ICONERROR, IDOK, 0},
      {L"id0", L"", L"--damage=id0", L"NoDict %p", MB_ICONERROR, IDOK, 0},
  };
  for (const Case& c : cases) {
    boxes_.shown.clear();
    posted_.clear();
    const std::wstring path = Build(kNew, c.fields, c.options, c.name);
    ASSERT_FALSE(path.empty()) << c.name;
    boxes_.answers = {c.answer};
    EXPECT_FALSE(Install(path)) << c.name;
    ASSERT_EQ(boxes_.shown.size(), 1u) << c.name;
    std::wstring text = c.text;
    text.replace(text.find(L"%p"), 2, path);
    EXPECT_EQ(boxes_.shown[0].text, text) << c.name;
    EXPECT_EQ(boxes_.shown[0].caption, L"Install Dictionary") << c.name;
    EXPECT_EQ(boxes_.shown[0].type, c.type) << c.name;
    auto actions = PostedToMain(2031);
    if (c.action) {
      ASSERT_EQ(actions.size(), 1u) << c.name;
      EXPECT_EQ(actions[0].wParam, c.action) << c.name;
      EXPECT_EQ(actions[0].lParam, c.action == 164 ? LPARAM(kNew) : 0) << c.name;
    } else {
      EXPECT_TRUE(actions.empty()) << c.name;
    }
    EXPECT_EQ(manager_.FindDict(kNew), nullptr) << c.name;
  }
  // A missing file is no dictionary either.
  boxes_.shown.clear();
  EXPECT_FALSE(Install(host_.root + L"missing.tdc"));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"NoDict " + host_.root + L"missing.tdc");
}

TEST_F(InstallTest, ARepeatedInstallationAsksFirst) {
  const std::wstring path = Build(kTwoGls, L"flags = 0x38\ndescription = en | Second edition", L"", L"again");
  boxes_.answers = {IDNO};
  EXPECT_FALSE(Install(path));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"Repeat " + path + L" 00000200");
  EXPECT_EQ(boxes_.shown[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(manager_.FindDict(kTwoGls)->GetTitle(L"en"), L"Title 512");

  boxes_.shown.clear();
  boxes_.answers = {IDYES};
  EXPECT_TRUE(Install(path));
  EXPECT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(manager_.FindDict(kTwoGls)->GetTitle(L"en"), L"Second edition");
  EXPECT_EQ(Ids(manager_, kGroupQuery).size(), 4u);  // still one member
}

TEST_F(InstallTest, AFailedUpdateKeepsTheInstalledDictionary) {
  const std::wstring path = Build(kTwoGls, L"flags = 0x38", L"--damage=key-short", L"broken");
  boxes_.answers = {IDYES};
  EXPECT_FALSE(Install(path));
  ASSERT_EQ(boxes_.shown.size(), 2u);
  EXPECT_EQ(boxes_.shown[1].text.compare(0, 5 + path.size(), L"Fail " + path), 0);
  EXPECT_EQ(boxes_.shown[1].type, UINT(MB_ICONERROR));
  EXPECT_FALSE(DialogWasClosed());  // no result dialog
  CDictFile* kept = manager_.FindDict(kTwoGls);
  ASSERT_NE(kept, nullptr);
  std::wstring data;
  EXPECT_GE(kept->LookupEntry(data, L"apple", 5), 0);
  EXPECT_TRUE(PostedToMain(2032).empty());
}

// The confirmation line has a box of fixed size: a long name is cut to fit
// it, and an "&" of a name is shown, not taken for a mnemonic.
TEST_F(InstallTest, ResultTextFitsItsBoxAndShowsTheNameAsItIs) {
  std::wstring words;
  for (int i = 0; i < 200; ++i) words += L"Longname ";
  struct Case {
    const wchar_t* file;
    std::wstring name;
    bool shortened;
  } cases[] = {
      {L"amp", L"Salt & Pepper", false},
      {L"words", words, true},
      {L"run", std::wstring(2000, L'W'), true},
  };
  uint32_t id = 0x600;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    uint32_t installed = 0;
    const std::wstring path = Build(id++, L"flags = 0x18\ndescription = en | " + c.name, L"", c.file);
    ASSERT_TRUE(manager_.InstallDict(installed, path.c_str(), true));
    CDlgDictInstall dialog;
    dialog.m_dictId = installed;
    ASSERT_TRUE(dialog.Create(IDD_DICT_INSTALL));
    CString shown;
    dialog.m_text.GetWindowText(shown);
    const std::wstring text(shown);
    EXPECT_TRUE(dialog.m_text.GetStyle() & SS_NOPREFIX);
    if (c.shortened) {
      EXPECT_EQ(text.back(), L'\x2026') << Narrow(text);
      EXPECT_GT(text.size(), 40u) << "cut shorter than needed: " << Narrow(text);
    } else {
      EXPECT_EQ(text, L"Installed 00000600 " + c.name);
    }
    CRect area, need;
    dialog.m_text.GetClientRect(&area);
    need.SetRect(0, 0, area.Width(), 0);
    CClientDC dc(&dialog.m_text);
    dc.SelectObject(reinterpret_cast<HGDIOBJ>(dialog.m_text.SendMessage(WM_GETFONT)));
    ::DrawTextW(dc.GetSafeHdc(), text.c_str(), static_cast<int>(text.size()), &need,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    EXPECT_LE(need.Width(), area.Width()) << Narrow(text);
    EXPECT_LE(need.Height(), area.Height()) << Narrow(text);
    dialog.DestroyWindow();
  }
}

TEST_F(InstallTest, AnInstallationTheConfigurationCannotTakeIsReportedAsFailed) {
  host_.uiTexts[L"Message/SaveDictConfigFail"] = L"Cannot save";
  const std::wstring path = Build(kNew, L"flags = 0x18\ndescription = en | Fresh");
  // Another program holds the configuration: it may be read, not replaced.
  ScopedHandle held(CreateFileW((host_.GetDictFolder() + L"dictcfg.xmc").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.IsValid());
  EXPECT_FALSE(Install(path));
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"Fail " + path + L" [Cannot save]");
  EXPECT_FALSE(DialogWasClosed());  // no result dialog
  EXPECT_EQ(manager_.FindDict(kNew), nullptr);
  EXPECT_TRUE(PostedToMain(2032).empty());
  held.Close();
  EXPECT_EQ(Reload()->FindDict(kNew), nullptr);
}

UINT g_grabState;

void CALLBACK SetGrabAndConfirm(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND found = FindThreadDialogWith(IDC_DICTINST_GRAB);
  if (!found) return;
  KillTimer(nullptr, timer);
  CheckDlgButton(found, IDC_DICTINST_GRAB, g_grabState);
  SendMessageW(found, WM_COMMAND, IDOK, 0);
}

// Runs the install result dialog modally; a timer sets the grab box and presses OK.
INT_PTR RunModal(uint32_t id, UINT grabState) {
  g_grabState = grabState;
  CDlgDictInstall dialog;
  dialog.m_dictId = id;
  SetTimer(nullptr, 0, 30, SetGrabAndConfirm);
  return dialog.DoModal();
}

TEST_F(InstallTest, ResultDialogPutsTheDictionaryIntoTheChosenGroups) {
  struct Case {
    uint32_t id;
    bool indexEnabled, grabEnabled, indexChecked, grabChecked;
  } cases[] = {
      {kTwoGls, true, true, true, false},   // already an index member
      {kOnline, false, false, false, false},  // neither allowed
      {kPermanent, false, true, false, false},
  };
  for (const Case& c : cases) {
    CDlgDictInstall dialog;
    dialog.m_dictId = c.id;
    ASSERT_TRUE(dialog.Create(IDD_DICT_INSTALL));
    EXPECT_EQ(dialog.m_chkIndex.IsWindowEnabled() != 0, c.indexEnabled) << c.id;
    EXPECT_EQ(dialog.m_chkGrab.IsWindowEnabled() != 0, c.grabEnabled) << c.id;
    EXPECT_EQ(dialog.m_chkIndex.GetCheck() == BST_CHECKED, c.indexChecked) << c.id;
    EXPECT_EQ(dialog.m_chkGrab.GetCheck() == BST_CHECKED, c.grabChecked) << c.id;
    // Escape does not close it.
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(dialog.IsWindow());
    dialog.DestroyWindow();
  }
  // Run modally: OK applies the grab box at once and saves.
  EXPECT_EQ(RunModal(kPermanent, BST_CHECKED), IDOK);
  EXPECT_EQ(Ids(manager_, kGroupGrab), (std::vector<uint32_t>{kPermanent}));
  EXPECT_EQ(Ids(*Reload(), kGroupGrab), (std::vector<uint32_t>{kPermanent}));
  EXPECT_EQ(RunModal(kPermanent, BST_UNCHECKED), IDOK);
  EXPECT_TRUE(Ids(*Reload(), kGroupGrab).empty());
  EXPECT_EQ(Ids(manager_, kGroupIndex).size(), 2u);
}

}  // namespace
