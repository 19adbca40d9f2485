// The options dialog's page over a parsed document: the rows it writes, the
// selection, the check-box rule and the row moves, on the manager's lists.
#include "dialogs/dict/DictGroupPage.h"

#include "dialogs/dict/tests/DictDialogTestKit.h"
#include "dict/DictFile.h"
#include "platform/htmlview/HtmlDom.h"

namespace {

using namespace dlgtest;

class PageHost : public IDictGroupPageHost {
 public:
  void OnSelectionChanged() override { ++selections; }
  void EnsureElementVisible(htmlview::Element* element) override { visible = element; }
  HWND MessageOwner() override { return nullptr; }
  int selections = 0;
  htmlview::Element* visible = nullptr;
};

class GroupPageTest : public DictDialogTest {
 protected:
  void SetUp() override {
    DictDialogTest::SetUp();
    doc_ = htmlview::Document::Parse(L"<html><body><div id='main'></div></body></html>");
    page_ = std::make_unique<CDictGroupPage>(manager_, host_page_);
    page_->SetDocument(doc_.get());
  }
  htmlview::Element* Get(const std::wstring& id) { return doc_->GetItem(id); }
  htmlview::Element* Box(uint32_t id, uint32_t gls) { return Get(DictElementId(L"chk_", id, gls)); }
  htmlview::Element* Row(uint32_t id, uint32_t gls) { return Get(DictElementId(L"dict_", id, gls)); }
  // The id of the first element below e whose id starts with "dict_".
  static std::wstring RowId(htmlview::Element* e) {
    if (e->IsElement() && StartsWithNoCase(e->Id(), L"dict_")) return e->Id();
    for (size_t i = 0; i < e->ChildCount(); ++i) {
      std::wstring id = RowId(e->Child(i));
      if (!id.empty()) return id;
    }
    return L"";
  }
  bool Highlighted(uint32_t id, uint32_t gls) { return Row(id, gls)->GetStyle(L"background-color") == L"#fff1d1"; }
  // Clicks a box as the page does: the state flips, then the click reaches the page.
  void ClickBox(uint32_t id, uint32_t gls) {
    htmlview::Element* box = Box(id, gls);
    box->SetChecked(!box->Checked());
    page_->OnClick(box);
  }

  PageHost host_page_;
  std::unique_ptr<htmlview::Document> doc_;
  std::unique_ptr<CDictGroupPage> page_;
};

TEST_F(GroupPageTest, RowsShowIdsFlagsGlossariesAndTheOnlineMark) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  htmlview::Element* table = Get(L"tab_install");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->Rows().size(), 5u);  // header and four members
  EXPECT_NE(table->InnerText().find(L"Dictionaries to search"), std::wstring::npos);
  // The id twice: hexadecimal in the element ids, decimal in its column.
  EXPECT_NE(Row(kTwoGls, 0xFFFFFFFF)->InnerText().find(L"512"), std::wstring::npos);
  EXPECT_NE(Row(kTwoGls, 0xFFFFFFFF)->InnerHtml().find(L"ID: 00000200"), std::wstring::npos);
  EXPECT_NE(Row(kTwoGls, 0xFFFFFFFF)->InnerText().find(L"Title 512"), std::wstring::npos);
  EXPECT_TRUE(Box(kTwoGls, 0xFFFFFFFF)->Checked());
  EXPECT_FALSE(Box(kBase, 0xFFFFFFFF)->Disabled());  // only the index group locks the fixed dictionary
  // Two glossaries: the nested table shows, labelled by title and languages.
  EXPECT_EQ(Get(L"gls_00000200")->GetStyle(L"display"), L"");
  EXPECT_EQ(Row(kTwoGls, 0)->InnerText(), L" Fruit : Lang(en) - Lang(de) ");
  EXPECT_EQ(Row(kTwoGls, 1)->InnerText(), L" Lang(de) - Lang(en) ");
  EXPECT_EQ(Get(L"gls_00000100")->GetStyle(L"display"), L"none");
  // Only the online dictionary carries the online image.
  EXPECT_NE(Row(kOnline, 0xFFFFFFFF)->InnerHtml().find(L"onlinedict8.png"), std::wstring::npos);
  EXPECT_EQ(Row(kBase, 0xFFFFFFFF)->InnerHtml().find(L"onlinedict8.png"), std::wstring::npos);
}

TEST_F(GroupPageTest, TextsOfADictionaryFileStayText) {
  InstallMarkupDict();
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  htmlview::Element* row = Row(kMarkup, 0xFFFFFFFF);
  ASSERT_NE(row, nullptr);
  EXPECT_NE(row->InnerText().find(kMarkupTitle), std::wstring::npos) << row->InnerText();
  ASSERT_NE(Row(kMarkup, 0), nullptr);
  EXPECT_EQ(Row(kMarkup, 0)->InnerText(), std::wstring(L" ") + kMarkupGlossary + L" : Lang(en) - Lang(de) ");
  EXPECT_EQ(Get(L"tab_install")->Rows().size(), 6u);  // the page around the row is whole
}

TEST_F(GroupPageTest, TheFixedDictionaryIsLockedInTheIndexGroupOnly) {
  ASSERT_TRUE(page_->BuildPage(kGroupIndex));
  EXPECT_TRUE(Box(kBase, 0xFFFFFFFF)->Disabled());
  EXPECT_TRUE(Box(kBase, 0)->Disabled());
  EXPECT_FALSE(Box(kTwoGls, 0xFFFFFFFF)->Disabled());
  EXPECT_NE(Get(L"tab_install")->InnerText().find(L"Dictionaries of the index"), std::wstring::npos);
}

TEST_F(GroupPageTest, AnEmptyGroupShowsTheHeaderAndSelectsNothing) {
  ASSERT_TRUE(page_->BuildPage(kGroupGrab));
  EXPECT_EQ(Get(L"tab_install")->Rows().size(), 1u);
  EXPECT_FALSE(page_->SelectByPosition(0, -1));
  EXPECT_EQ(host_page_.selections, 0);
  EXPECT_FALSE(page_->BuildPage(3));  // no such group
}

TEST_F(GroupPageTest, SelectionMovesTheHighlightAndKeysWalkTheRows) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  page_->OnKeyDown(VK_UP);  // nothing selected: the first row
  EXPECT_EQ(page_->GetPosition(), 0);
  EXPECT_TRUE(Highlighted(kBase, 0xFFFFFFFF));
  page_->OnKeyDown(VK_DOWN);
  EXPECT_EQ(page_->GetPosition(), 1);
  EXPECT_EQ(Row(kBase, 0xFFFFFFFF)->GetStyle(L"background-color"), L"transparent");
  EXPECT_TRUE(Highlighted(kTwoGls, 0xFFFFFFFF));
  EXPECT_EQ(host_page_.visible, Row(kTwoGls, 0xFFFFFFFF));
  page_->SelectByPosition(3, -1);
  page_->OnKeyDown(VK_DOWN);  // the last row stays
  EXPECT_EQ(page_->GetPosition(), 3);
  // A click inside a glossary row selects that glossary.
  page_->OnClick(Row(kTwoGls, 1)->Child(0));
  EXPECT_EQ(page_->GetPosition(), 1);
  EXPECT_EQ(page_->GetGlossaryPosition(), 1);
  EXPECT_TRUE(Highlighted(kTwoGls, 1));
  // A glossary position past the member's glossaries is its dictionary row.
  ASSERT_TRUE(page_->SelectByPosition(1, 7));
  EXPECT_EQ(page_->GetGlossaryPosition(), -1);
  EXPECT_TRUE(Highlighted(kTwoGls, 0xFFFFFFFF));
  EXPECT_TRUE(page_->Move(RowMove::kDown));  // and moves as one
  EXPECT_EQ(Ids(manager_, kGroupQuery)[2], kTwoGls);
  page_->OnClick(Row(kTwoGls, 1)->Child(0));
  // A click on something that is no row changes nothing.
  page_->OnClick(Get(L"tab_install"));
  EXPECT_EQ(page_->GetPosition(), 2);
  EXPECT_EQ(page_->GetGlossaryPosition(), 1);
}

TEST_F(GroupPageTest, DoubleClickOnADictionaryRowTogglesItsGlossaries) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  page_->OnDoubleClick(Row(kBase, 0xFFFFFFFF));
  EXPECT_EQ(Get(L"gls_00000100")->GetStyle(L"display"), L"");
  page_->OnDoubleClick(Row(kBase, 0xFFFFFFFF));
  EXPECT_EQ(Get(L"gls_00000100")->GetStyle(L"display"), L"none");
  page_->OnDoubleClick(Row(kTwoGls, 0));  // a glossary row: nothing
  EXPECT_EQ(Get(L"gls_00000200")->GetStyle(L"display"), L"");
}

TEST_F(GroupPageTest, CheckBoxesKeepDictionaryAndGlossaryFlagsInStep) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  DictGroupItem* member = manager_.GetGroupItem(kGroupQuery, 1);
  ASSERT_EQ(member->id, kTwoGls);
  // Unchecking both glossaries unchecks the dictionary.
  ClickBox(kTwoGls, 0);
  EXPECT_TRUE(member->enable);
  ClickBox(kTwoGls, 1);
  EXPECT_FALSE(member->glossaries[1].enable);
  EXPECT_FALSE(member->enable);
  EXPECT_FALSE(Box(kTwoGls, 0xFFFFFFFF)->Checked());
  // Checking the dictionary again checks its first glossary.
  ClickBox(kTwoGls, 0xFFFFFFFF);
  EXPECT_TRUE(member->enable);
  EXPECT_TRUE(member->glossaries[0].enable);
  EXPECT_FALSE(member->glossaries[1].enable);
  EXPECT_TRUE(Box(kTwoGls, 0)->Checked());
  // Checking a glossary of an unchecked dictionary checks the dictionary.
  ClickBox(kTwoGls, 0xFFFFFFFF);
  EXPECT_FALSE(member->enable);
  ClickBox(kTwoGls, 1);
  EXPECT_TRUE(member->enable);
  EXPECT_TRUE(Box(kTwoGls, 0xFFFFFFFF)->Checked());
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(GroupPageTest, TheIndexGroupKeepsOneEnabledDictionary) {
  ASSERT_TRUE(page_->BuildPage(kGroupIndex));
  ASSERT_EQ(Ids(manager_, kGroupIndex), (std::vector<uint32_t>{kTwoGls, kBase}));
  ClickBox(kTwoGls, 0xFFFFFFFF);  // the fixed one is still on
  EXPECT_TRUE(boxes_.shown.empty());
  manager_.GetGroupItem(kGroupIndex, 1)->enable = false;  // the fixed dictionary off
  DictGroupItem* member = manager_.GetGroupItem(kGroupIndex, 0);
  ClickBox(kTwoGls, 0xFFFFFFFF);  // on again, with its glossaries as they were
  ASSERT_TRUE(member->glossaries[0].enable);
  if (member->glossaries[1].enable) ClickBox(kTwoGls, 1);
  EXPECT_TRUE(boxes_.shown.empty());
  ClickBox(kTwoGls, 0);  // its last enabled glossary: comes back with a message
  EXPECT_TRUE(member->enable);
  EXPECT_TRUE(member->glossaries[0].enable);
  EXPECT_TRUE(Box(kTwoGls, 0)->Checked());
  EXPECT_TRUE(Box(kTwoGls, 0xFFFFFFFF)->Checked());
  ASSERT_EQ(boxes_.shown.size(), 1u);
  EXPECT_EQ(boxes_.shown[0].text, L"AtLeastOne");
  EXPECT_EQ(boxes_.shown[0].type, UINT(MB_ICONINFORMATION));
  // The dictionary's own box: it and its first glossary come back.
  ClickBox(kTwoGls, 0xFFFFFFFF);
  EXPECT_TRUE(member->enable);
  EXPECT_TRUE(Box(kTwoGls, 0xFFFFFFFF)->Checked());
  EXPECT_EQ(boxes_.shown.size(), 2u);
}

TEST_F(GroupPageTest, RowMovesFollowTheTable) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  const std::vector<uint32_t> start = Ids(manager_, kGroupQuery);
  ASSERT_EQ(start, (std::vector<uint32_t>{kBase, kTwoGls, kOnline, kPermanent}));
  auto tableOrder = [&] {
    std::vector<uint32_t> ids;
    auto rows = Get(L"tab_install")->Rows();
    for (size_t i = 1; i < rows.size(); ++i) {
      uint32_t id, gls;
      ParseElementIds(RowId(rows[i]), 5, id, gls);
      ids.push_back(id);
    }
    return ids;
  };
  struct Case {
    int32_t from;
    RowMove move;
    bool moves;
    std::vector<uint32_t> order;
    int32_t position;
  } cases[] = {
      {0, RowMove::kUp, false, {kBase, kTwoGls, kOnline, kPermanent}, 0},
      {0, RowMove::kTop, false, {kBase, kTwoGls, kOnline, kPermanent}, 0},
      {0, RowMove::kDown, true, {kTwoGls, kBase, kOnline, kPermanent}, 1},
      {1, RowMove::kBottom, true, {kTwoGls, kOnline, kPermanent, kBase}, 3},
      {3, RowMove::kDown, false, {kTwoGls, kOnline, kPermanent, kBase}, 3},
      {2, RowMove::kUp, true, {kTwoGls, kPermanent, kOnline, kBase}, 1},
      {3, RowMove::kTop, true, {kBase, kTwoGls, kPermanent, kOnline}, 0},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(page_->SelectByPosition(c.from, -1));
    EXPECT_EQ(page_->Move(c.move), c.moves) << c.from;
    EXPECT_EQ(Ids(manager_, kGroupQuery), c.order) << c.from;
    EXPECT_EQ(tableOrder(), c.order) << c.from;
    EXPECT_EQ(page_->GetPosition(), c.position) << c.from;
    // The highlight went with the row.
    EXPECT_TRUE(Highlighted(c.order[c.position], 0xFFFFFFFF)) << c.from;
  }
}

TEST_F(GroupPageTest, GlossaryMovesStayInsideTheirOwnTable) {
  ASSERT_TRUE(page_->BuildPage(kGroupQuery));
  DictGroupItem* member = manager_.GetGroupItem(kGroupQuery, 1);
  ASSERT_TRUE(page_->SelectById(kTwoGls, 1));
  EXPECT_TRUE(page_->Move(RowMove::kTop));
  EXPECT_EQ(member->glossaries[0].number, 1u);
  EXPECT_EQ(member->glossaries[1].number, 0u);
  EXPECT_EQ(page_->GetGlossaryPosition(), 0);
  EXPECT_EQ(page_->GetPosition(), 1);
  auto rows = Get(L"gls_00000200")->Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(RowId(rows[0]), L"dict_00000200_00000001");
  EXPECT_EQ(Ids(manager_, kGroupQuery)[1], kTwoGls);  // the dictionaries keep their order
  EXPECT_FALSE(page_->Move(RowMove::kUp));
}

TEST(GroupPageIds, ElementIdsReadBack) {
  uint32_t id = 0, gls = 0;
  EXPECT_TRUE(ParseElementIds(L"chk_0000abcd_ffffffff", 4, id, gls));
  EXPECT_EQ(id, 0xABCDu);
  EXPECT_EQ(gls, 0xFFFFFFFFu);
  EXPECT_TRUE(ParseElementIds(L"DICT_0000ABCD_00000002", 5, id, gls));
  EXPECT_EQ(gls, 2u);
  EXPECT_FALSE(ParseElementIds(L"dict_0000abcd", 5, id, gls));
  EXPECT_EQ(DictElementId(L"dict_", 0x1A, 0xFFFFFFFF), L"dict_0000001a_ffffffff");
  EXPECT_TRUE(StartsWithNoCase(L"Chk_1", L"chk_"));
  EXPECT_FALSE(StartsWithNoCase(L"ch", L"chk_"));
}

}  // namespace
