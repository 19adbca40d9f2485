#include <gtest/gtest.h>

#include <memory>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/tests/DictTestKit.h"

namespace {

class GroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (uint32_t id : {0x10u, 0x20u}) {
      std::wstring fields = id == 0x20 ? L"glossary = en | de | text | a\nglossary = en | fr | text | b\nglossary = en | it | text | c" : L"";
      std::wstring path = MakeDict(host_, L"g" + std::to_wstring(id), DictSource(id, fields, {SimpleEntry(L"word", L"x")}));
      std::unique_ptr<CDictFile> d(new CDictFile);
      ASSERT_TRUE(d->Open(path.c_str()));
      dicts_.push_back(d.release());
    }
  }
  void TearDown() override {
    for (CDictFile* d : dicts_) delete d;
  }
  std::unique_ptr<CXmlElement> Parse(const wchar_t* text) {
    std::unique_ptr<CXmlElement> e(new CXmlElement);
    const wchar_t* cursor = text;
    EXPECT_EQ(e->Parse(&cursor, 24), 0u);
    return e;
  }
  CTestHost host_;
  DictList dicts_;
};

TEST_F(GroupTest, LoadReadsFlagsDropsUnknownAndRepeatedIdsAndNormalizesGlossaries) {
  auto e = Parse(
      L"<query_group><dict id=\"00000020\" enable=\"n\" minimize=\"y\">"
      L"<gls id=\"2\" enable=\"n\"/><gls id=\"0\" enable=\"y\"/><gls id=\"2\" enable=\"y\"/><gls id=\"5\"/></dict>"
      L"<dict id=\"99\"/><dict id=\"10\" enable=\"Yes\"/><dict id=\"20\"/></query_group>");
  CDictGroup g;
  ASSERT_EQ(g.Load(e.get(), &dicts_, kGroupQuery), 2u);
  DictGroupItem* m = g.GetAt(0);
  EXPECT_EQ(m->id, 0x20u);
  EXPECT_FALSE(m->enable);
  EXPECT_FALSE(m->minimize);
  ASSERT_EQ(m->glossaries.size(), 3u);
  EXPECT_EQ(m->glossaries[0].number, 0u);
  EXPECT_TRUE(m->glossaries[0].enable);
  EXPECT_EQ(m->glossaries[1].number, 2u);
  EXPECT_TRUE(m->glossaries[1].enable);
  EXPECT_EQ(m->glossaries[2].number, 1u);
  EXPECT_FALSE(m->glossaries[2].enable);
  EXPECT_FALSE(g.IsEnabled(1));  // "Yes" is not "y"
  EXPECT_EQ(g.IndexOf(0x10), 1);
}

TEST_F(GroupTest, SaveWritesTheGroupElement) {
  CDictGroup g;
  g.Load(nullptr, &dicts_, kGroupIndex);
  std::wstring out;
  ASSERT_TRUE(g.Save(out));
  EXPECT_EQ(out, L"<index_group>\n</index_group>\n");
  ASSERT_TRUE(g.Add(0x10));
  g.GetAt(0)->minimize = true;
  ASSERT_TRUE(g.Save(out));
  EXPECT_EQ(out,
            L"<index_group>\n  <dict id=\"00000010\" enable=\"y\" minimize=\"y\">\n"
            L"    <gls id=\"00000000\" enable=\"y\" />\n  </dict>\n</index_group>\n");
  CDictGroup unset;
  EXPECT_FALSE(unset.Save(out));
}

TEST_F(GroupTest, AddRemoveAndRefresh) {
  CDictGroup g;
  g.LoadAll(&dicts_, kGroupQuery);
  EXPECT_EQ(g.GetCount(), 2u);
  EXPECT_FALSE(g.Add(0x10));
  EXPECT_FALSE(g.Add(0x77));
  EXPECT_TRUE(g.Remove(0x10));
  EXPECT_FALSE(g.Remove(0x10));
  EXPECT_TRUE(g.Add(0x10));
  EXPECT_EQ(g.IndexOf(0x10), 1);
  CDictFile* gone = dicts_[0];
  dicts_.erase(dicts_.begin());
  EXPECT_TRUE(g.Refresh(0x10));
  EXPECT_EQ(g.IndexOf(0x10), -1);
  dicts_.push_back(gone);
  EXPECT_TRUE(g.Refresh(0x20));
}

TEST_F(GroupTest, ContainsWordHonoursMemberAndEnable) {
  CDictGroup g;
  g.LoadAll(&dicts_, kGroupGrab);
  EXPECT_TRUE(g.ContainsWord(L"WORD", 4, true, 0xFFFFFFFF));
  EXPECT_TRUE(g.ContainsWord(L"word", 4, true, 1));
  EXPECT_FALSE(g.ContainsWord(L"word", 4, true, 2));
  EXPECT_FALSE(g.ContainsWord(L"other", 5, true, 0xFFFFFFFF));
  g.GetAt(0)->enable = false;
  g.GetAt(1)->enable = false;
  EXPECT_FALSE(g.ContainsWord(L"word", 4, true, 0xFFFFFFFF));
}

}  // namespace
