#include <gtest/gtest.h>

#include <windows.h>

#include "app/frame/LookupPage.h"
#include "app/frame/tests/DictConfigKit.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"
#include "dict/tests/DictTestKit.h"

namespace {

TEST(EscapeWordForHtml, Cases) {
  struct Case {
    const wchar_t* word;
    const wchar_t* escaped;
  } cases[] = {
      {L"", L""},
      {L"plain", L"plain"},
      {L"a<b&c", L"a&lt;b&amp;c"},
      {L"\"q\">", L"&quot;q&quot;&gt;"},
      {L"a   b", L"a &nbsp;&nbsp;b"},
      {L"a\r\nb", L"a\nb"},
      {L"a\r\n\r\n b", L"a\n&nbsp;&nbsp;b"},
      {L"a\t \rb c", L"a\t&nbsp;&nbsp;b c"},
  };
  for (const Case& c : cases) {
    std::wstring out = L"stale";
    EscapeWordForHtml(out, c.word);
    EXPECT_EQ(out, c.escaped) << c.word;
  }
  std::wstring out = L"stale";
  EscapeWordForHtml(out, nullptr);
  EXPECT_EQ(out, L"");
}

// A manager over three dictionaries: the catch-all one (id 1) and two ordinary
// ones, with the query group in the order 0x200, 1, 0x300.
class QueryLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.uiTexts[L"/10"] = L"0x100";
    ASSERT_TRUE(WriteTextFile(host_.GetDictFolder() + L"layout_def.cfg",
                              L"[comm]\nDictB=<div class=\"dict\" title=\"%s\">;\nDictE=</div>;\n[fmt]\n"
                              L"DefB=<p>;\nDefB1=<p>;\nDefE=</p>;\n",
                              true));
    Install(0x100, {SimpleEntry(L"base", L"b")});
    Install(1, {SimpleEntry(L"*", L"everything")});
    Install(0x200, {SimpleEntry(L"apple", L"red fruit"), SimpleEntry(L"common", L"in 200")});
    Install(0x300, {SimpleEntry(L"banana", L"yellow"), SimpleEntry(L"common", L"in 300")});
    WriteConfig(L"<install><dict src=\"00000100.tdc\"/><dict src=\"00000001.tdc\"/><dict src=\"00000200.tdc\"/>"
                L"<dict src=\"00000300.tdc\"/></install>"
                L"<query_group>" + DictConfigMember(0x200) + DictConfigMember(1) + DictConfigMember(0x300) + L"</query_group>"
                L"<index_group><dict id=\"200\"/></index_group><grab_group/>");
    ASSERT_TRUE(manager_.LoadConfig());
  }
  void Install(uint32_t id, const std::vector<std::wstring>& entries) {
    std::wstring path = MakeDict(host_, L"q" + std::to_wstring(id), DictSource(id, L"glossary = en | en | text | English", entries));
    ASSERT_FALSE(path.empty());
    wchar_t name[16];
    swprintf(name, 16, L"%.8x.tdc", id);
    ASSERT_TRUE(CopyFileW(path.c_str(), (host_.GetDictFolder() + name).c_str(), FALSE));
  }
  void WriteConfig(const std::wstring& body) {
    ASSERT_TRUE(WriteDictConfig(host_.GetDictFolder() + L"dictcfg.xmc", body, host_.uiTexts[L"/3"]));
  }
  void SetQueryEnabled(uint32_t id, bool enable) {
    CDictGroup* group = manager_.GetGroup(kGroupQuery);
    group->GetAt(static_cast<uint32_t>(group->IndexOf(id)))->enable = enable;
  }
  std::wstring Fragment(const wchar_t* word, uint32_t id) {
    std::vector<CDictFile*> dicts;
    std::vector<std::wstring> fragments;
    manager_.QueryGroup(dicts, fragments, word, kGroupQuery);
    for (size_t i = 0; i < dicts.size(); ++i)
      if (dicts[i]->GetId() == id) return fragments[i];
    return L"";
  }

  CTestHost host_;
  CDictManager manager_;
  const std::wstring noMatch_ = L"<p class=\"nomatch\">No entry for %s.</p>";
};

TEST_F(QueryLookupTest, TwoMatchesAreJoinedInGroupOrderAndSpoken) {
  SetQueryEnabled(1, false);
  LookupOutcome out;
  EXPECT_EQ(QueryLookup(out, manager_, L"common", noMatch_, true), 2u);
  ASSERT_EQ(out.dicts.size(), 2u);
  EXPECT_EQ(out.dicts[0]->GetId(), 0x200u);
  EXPECT_EQ(out.dicts[1]->GetId(), 0x300u);
  std::wstring first = Fragment(L"common", 0x200), second = Fragment(L"common", 0x300);
  EXPECT_NE(first.find(L"in 200"), std::wstring::npos) << first;
  EXPECT_NE(second.find(L"in 300"), std::wstring::npos) << second;
  EXPECT_EQ(out.html, first + second);
  EXPECT_TRUE(out.speak);

  EXPECT_EQ(QueryLookup(out, manager_, L"common", noMatch_, false), 2u);
  EXPECT_FALSE(out.speak);
}

TEST_F(QueryLookupTest, CatchAllAloneGetsTheNoMatchTextAndIsNotSpoken) {
  LookupOutcome out;
  EXPECT_EQ(QueryLookup(out, manager_, L"a<b&c", noMatch_, true), 1u);
  ASSERT_EQ(out.dicts.size(), 1u);
  EXPECT_EQ(out.dicts[0]->GetId(), 1u);
  EXPECT_EQ(out.html, Fragment(L"a<b&c", 1) + L"<p class=\"nomatch\">No entry for a&lt;b&amp;c.</p>");
  EXPECT_FALSE(out.speak);
}

TEST_F(QueryLookupTest, CatchAllBesideARealMatchIsAnOrdinaryMatch) {
  LookupOutcome out;
  EXPECT_EQ(QueryLookup(out, manager_, L"apple", noMatch_, true), 2u);
  EXPECT_EQ(out.html, Fragment(L"apple", 0x200) + Fragment(L"apple", 1));
  EXPECT_EQ(out.html.find(L"nomatch"), std::wstring::npos);
  EXPECT_TRUE(out.speak);
}

TEST_F(QueryLookupTest, NothingMatchedGivesOnlyTheNoMatchText) {
  SetQueryEnabled(1, false);
  LookupOutcome out;
  out.html = L"stale";
  EXPECT_EQ(QueryLookup(out, manager_, L"a   b", noMatch_, true), 0u);
  EXPECT_TRUE(out.dicts.empty());
  EXPECT_EQ(out.html, L"<p class=\"nomatch\">No entry for a &nbsp;&nbsp;b.</p>");
  EXPECT_FALSE(out.speak);

  // Without a "NoMatch" text the page stays empty.
  EXPECT_EQ(QueryLookup(out, manager_, L"zebra", L"", true), 0u);
  EXPECT_EQ(out.html, L"");
  EXPECT_EQ(QueryLookup(out, manager_, nullptr, noMatch_, true), 0u);
  EXPECT_EQ(out.html, L"");
}

}  // namespace
