// The information dialog's page and the picker: its candidates, its result
// and the information links it intercepts.
#include "dialogs/dict/DictDialogsRes.h"
#include "dialogs/dict/DlgDictInfo.h"
#include "dialogs/dict/DlgDictList.h"
#include "dialogs/dict/tests/DictDialogTestKit.h"
#include "dict/DictFile.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

using namespace dlgtest;

template <class Dialog>
htmlview::Element* Element(Dialog& dialog, const wchar_t* id) {
  return dialog.GetSafeHwnd() ? dialog.GetHtmlCtrl().GetElement(id) : nullptr;
}

using InfoTest = DictDialogTest;

TEST_F(InfoTest, PageShowsTheRecordAndLeavesOutEmptyTexts) {
  const std::wstring path =
      Build(0x600, L"date = 2026-01-02\ndescription = en | Nouns | 2nd | Plain words | Ann Author | | | (c) Ann");
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  auto doc = htmlview::Document::Parse(L"<html><body>" + BuildDictInfoHtml(dict) + L"</body></html>");
  const std::wstring text = doc->Body()->InnerText();
  EXPECT_NE(text.find(L"Title:\u00A0 Nouns"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"Author:\u00A0 Ann Author"), std::wstring::npos);
  EXPECT_NE(text.find(L"ID:\u00A0 1536"), std::wstring::npos);
  EXPECT_NE(text.find(L"Version:\u00A0 1.3"), std::wstring::npos);
  EXPECT_NE(text.find(L"2026-01-02"), std::wstring::npos);
  EXPECT_NE(text.find(L"Glossaries:\u00A0 1"), std::wstring::npos);
  EXPECT_EQ(text.find(L"E-mail"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Web site"), std::wstring::npos);
  EXPECT_NE(doc->GetItem(L"tab_info"), nullptr);
}

TEST_F(InfoTest, TextsOfADictionaryFileStayText) {
  InstallMarkupDict();
  CDictFile* dict = manager_.FindDict(kMarkup);
  ASSERT_NE(dict, nullptr);
  auto doc = htmlview::Document::Parse(L"<html><body>" + BuildDictInfoHtml(*dict) + L"</body></html>");
  const std::wstring text = doc->Body()->InnerText();
  EXPECT_NE(text.find(std::wstring(L"Title:\u00A0 ") + kMarkupTitle), std::wstring::npos) << text;
  EXPECT_NE(text.find(std::wstring(L"Author:\u00A0 ") + kMarkupAuthor), std::wstring::npos) << text;
  EXPECT_NE(text.find(kMarkupDate), std::wstring::npos) << text;
  EXPECT_EQ(doc->GetItem(L"tab_info")->Rows().size(), 2u);  // the page around the texts is whole
}

TEST_F(InfoTest, TheTitleRowStaysWhenTheTitleIsEmpty) {
  const std::wstring path = Build(0x601, L"description = en |");
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  auto doc = htmlview::Document::Parse(L"<html><body>" + BuildDictInfoHtml(dict) + L"</body></html>");
  EXPECT_NE(doc->Body()->InnerText().find(L"Title:"), std::wstring::npos);
}

TEST_F(InfoTest, WindowShowsTheDictionaryItWasGiven) {
  CDlgDictInfo dialog;
  dialog.SetDictId(kTwoGls);
  ASSERT_TRUE(dialog.Create(IDD_DICT_INFO));
  ASSERT_TRUE(PumpUntil([&] { return Element(dialog, L"tab_info") != nullptr; }));
  EXPECT_NE(Element(dialog, L"main")->InnerText().find(L"Title 512"), std::wstring::npos);
  dialog.SetDictId(kBase);  // ignored now
  EXPECT_EQ(dialog.GetDictId(), kTwoGls);
  CRect close, page, client;
  dialog.GetClientRect(&client);
  dialog.m_btnClose.GetWindowRect(&close);
  dialog.ScreenToClient(&close);
  dialog.GetHtmlCtrl().GetWindowRect(&page);
  dialog.ScreenToClient(&page);
  EXPECT_EQ(close.right, client.right - 5);
  EXPECT_EQ(close.bottom, client.bottom - 8);
  EXPECT_EQ(page, CRect(0, 0, client.right, close.top - 8));
  dialog.DestroyWindow();
}

// The first cell whose text begins with `start`, depth first.
htmlview::Element* CellStarting(htmlview::Element* from, const std::wstring& start) {
  if (!from) return nullptr;
  if (from->Is(L"td") && from->InnerText().compare(0, start.size(), start) == 0) return from;
  for (size_t i = 0; i < from->ChildCount(); ++i)
    if (htmlview::Element* found = CellStarting(from->Child(i), start)) return found;
  return nullptr;
}

TEST_F(InfoTest, ALongNameLeavesBothColumnsInTheWindow) {
  std::wstring words;
  for (int i = 0; i < 200; ++i) words += L"Longname ";
  const std::wstring names[] = {std::wstring(2000, L'W'), words};
  uint32_t id = 0x600;
  for (const std::wstring& name : names) {
    SCOPED_TRACE(id);
    uint32_t installed = 0;
    const std::wstring path = Build(id, L"description = en | " + name, L"", L"long" + std::to_wstring(id));
    ++id;
    ASSERT_TRUE(manager_.InstallDict(installed, path.c_str(), true));
    CDlgDictInfo dialog;
    dialog.SetDictId(installed);
    ASSERT_TRUE(dialog.Create(IDD_DICT_INFO));
    ASSERT_TRUE(PumpUntil([&] { return Element(dialog, L"tab_info") != nullptr; }));
    CRect page;
    dialog.GetHtmlCtrl().GetClientRect(&page);
    htmlview::Element* idCell = CellStarting(Element(dialog, L"tab_info"), L"ID:");
    ASSERT_NE(idCell, nullptr);
    const htmlview::PageRect box = idCell->PageBox();
    EXPECT_GT(box.width, 0);
    EXPECT_LE(box.left + box.width, page.Width()) << "the right column is out of the window";
    EXPECT_NE(Element(dialog, L"main")->InnerText().find(L"\x2026"), std::wstring::npos);
    dialog.DestroyWindow();
  }
}

TEST_F(InfoTest, AnUnknownIdLeavesThePageBlankAndCloseWorks) {
  CDlgDictInfo dialog;
  dialog.SetDictId(0x999);
  CloseDialogLater(L"Dictionary Information", IDOK, 200);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(DialogWasClosed());
}

class PickerTest : public DictDialogTest {
 protected:
  void Open(int32_t kind) {
    picker_ = std::make_unique<CDlgDictList>();
    picker_->m_groupKind = kind;
    ASSERT_TRUE(picker_->Create(IDD_DICT_LIST));
    ASSERT_TRUE(PumpUntil([&] { return Element(*picker_, L"tab_list") != nullptr; }));
  }
  void TearDown() override {
    if (picker_ && picker_->GetSafeHwnd()) picker_->DestroyWindow();
    picker_.reset();
    DictDialogTest::TearDown();
  }
  std::unique_ptr<CDlgDictList> picker_;
};

TEST_F(PickerTest, ListsWhatTheGroupMayTakeAndGreysItsMembers) {
  ASSERT_TRUE(manager_.AddToGroup(kGroupGrab, kBase));
  Open(kGroupGrab);
  EXPECT_EQ(Element(*picker_, L"tab_list")->Rows().size(), 4u);  // header, base, two glossaries, permanent
  EXPECT_EQ(Element(*picker_, L"dict_00000300"), nullptr);        // may not grab
  htmlview::Element* member = Element(*picker_, L"chk_00000100");
  EXPECT_TRUE(member->Checked());
  EXPECT_TRUE(member->Disabled());
  EXPECT_EQ(member->GetStyle(L"display"), L"none");
  EXPECT_EQ(Element(*picker_, L"dict_00000100")->GetStyle(L"background-color"), L"#F8F8F8");
  htmlview::Element* other = Element(*picker_, L"chk_00000200");
  EXPECT_FALSE(other->Checked());
  EXPECT_FALSE(other->Disabled());
  // Select returns the newly checked ones only.
  picker_->OnSelect();
  EXPECT_TRUE(picker_->m_result.empty());
  other->SetChecked(true);
  Element(*picker_, L"chk_00000400")->SetChecked(true);
  picker_->OnSelect();
  EXPECT_EQ(picker_->m_result, (std::vector<uint32_t>{kTwoGls, kPermanent}));
}

TEST_F(PickerTest, TheIndexGroupListsOnlyIndexableDictionaries) {
  Open(kGroupIndex);
  EXPECT_NE(Element(*picker_, L"dict_00000100"), nullptr);
  EXPECT_NE(Element(*picker_, L"dict_00000200"), nullptr);
  EXPECT_EQ(Element(*picker_, L"dict_00000300"), nullptr);
  EXPECT_EQ(Element(*picker_, L"dict_00000400"), nullptr);
}

TEST_F(PickerTest, InformationLinksAreInterceptedWhateverTheirCase) {
  Open(kGroupGrab);
  CHtmlCtrl2& html = picker_->GetHtmlCtrl();
  CloseDialogLater(L"Dictionary Information", IDOK);
  EXPECT_FALSE(html.Navigate(L"APP://DictInfo/00000200"));
  EXPECT_TRUE(DialogWasClosed());
  // Not installed: cancelled, nothing opens.
  CloseDialogLater(L"Dictionary Information", IDOK);
  EXPECT_FALSE(html.Navigate(L"app://dictinfo/%30%30%30%30%30%39%39%39"));
  PumpPending();
  EXPECT_FALSE(DialogWasClosed());
  CancelCloseDialog();
  // Any other place is not the picker's: a link in the page goes nowhere.
  for (const wchar_t* url : {L"app://dictinfo/%4", L"app://exit/", L"file:///C:/page.htm", L"http://example.org/",
                             L"C:\\page.htm"})
    EXPECT_FALSE(html.Navigate(url)) << url;
  // Its own page loads as before.
  EXPECT_TRUE(html.Navigate(L"about:blank"));
  ASSERT_TRUE(PumpUntil([&] { return Element(*picker_, L"tab_list") != nullptr; }));
}

TEST_F(PickerTest, TextsOfADictionaryFileStayText) {
  InstallMarkupDict();
  Open(kGroupGrab);
  htmlview::Element* row = Element(*picker_, L"dict_00000500");
  ASSERT_NE(row, nullptr);
  EXPECT_NE(row->InnerText().find(kMarkupTitle), std::wstring::npos) << row->InnerText();
  EXPECT_EQ(Element(*picker_, L"tab_list")->Rows().size(), 5u);
}

TEST_F(PickerTest, RunsModallyAndCancels) {
  picker_ = std::make_unique<CDlgDictList>();
  picker_->m_groupKind = kGroupIndex;
  CloseDialogLater(L"Choose Dictionaries", IDCANCEL, 100);
  EXPECT_EQ(picker_->DoModal(), IDCANCEL);
  EXPECT_TRUE(picker_->m_result.empty());
}

}  // namespace
