#include <gtest/gtest.h>

#include <windows.h>

#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/tests/DictTestKit.h"

namespace {

const wchar_t kLayout[] =
    L"[comm]\n"
    L"DictB=<D %s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s>;\n"
    L"DictB_Grab=<DG %s>;\n"
    L"DictE=</D>;\n"
    L"GlsB=<G>;\nGlsB1=<G1 %s>;\nGlsB2=<G2 %s>;\nGlsE=</G>;\n"
    L"[fmt]\n"
    L"EntryB0=<E0 %s %s>;\nEntryBn=<En>;\nEntryE=</E>;\nEntryB=<mE>;\nEntryB1=<mE1>;\n"
    L"HomB=<H>;\nHomB1=<H1>;\nHomB2=<H2>;\nHomE=</H>;\n"
    L"FormB=<F>;\nFormB1=<F1 %s %s %s %s>;\nFormE=</F %s>;\n"
    L"OrthB=<a>;\nOrthBk=<ak>;\nOrthBn=<an>;\nOrthE=</a>;\nOrthEn=</an>;\n"
    L"SenseB=<S>;\nSenseE=</S>;\nItemB=<I>;\nItemE=</I>;\n"
    L"DefB1=<d%s>;\nDefB=<d%s>;\nDefE=</d>;\n"
    L"DB=<y %s %s %s %c>;\nDE=</y>;\n"
    L"ColorB=<z %s>;\nColorE=</z>;\n"
    L"RefB=<e %s|%s>;\nRefE=</e>;\n"
    L"SynB=<h %s>;\nSynE=</h>;\n"
    L"PosB=<r [$DictID] [$Other]>;\nPosE=</r>;\n"
    L"ImgB=[$ImgPath]|[$DictID]|[$Other];\n";

class RenderTest : public ::testing::Test {
 protected:
  void Write(const wchar_t* name, const std::wstring& text, bool bom = true) {
    ASSERT_TRUE(WriteTextFile(host_.GetDictFolder() + name, text, bom));
  }
  void Open(const std::wstring& fields, const std::vector<std::wstring>& entries) {
    std::wstring path = MakeDict(host_, L"r", DictSource(0x51, fields, entries));
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(dict_.Open(path.c_str()));
    member_.dictionary = &dict_;
    member_.id = dict_.GetId();
    member_.glossaries.clear();
    for (uint32_t g = 0; g < dict_.GetGlossaryCount(); ++g) member_.glossaries.push_back({g, true});
  }
  std::wstring Render(const wchar_t* word, uint32_t kind = 1) {
    std::vector<uint32_t> entries;
    dict_.FindMatches(entries, word, static_cast<int>(wcslen(word)));
    std::wstring html;
    dict_.BuildResult(html, entries, word, kind, &member_);
    return html;
  }
  CTestHost host_;
  CDictFile dict_;
  DictGroupItem member_;
};

TEST_F(RenderTest, EntriesRenderThroughTheLayout) {
  Write(L"layout_def.cfg", kLayout);
  Open(L"index_sort = 0\ndescription = en | A <b>bold</b> title",
       {L"cat\t<C A=\"0\"><F><a>cat</a></F><G><O><d>one</d></O><O><d>x</d><d>y</d><d>z</d></O></G></C>",
        L"Cat\t<C A=\"0\"><F/><G><O><d>two</d></O></G></C>"});
  std::wstring html = Render(L"cat");
  EXPECT_EQ(html,
            L"<D 1|Arial|10|UiFont|9||1|A &lt;b&gt;bold&lt;/b&gt; title||0|1|>"
            L"<G><E0 Arial 10><F><a>cat</a></F Arial><S><I>one</I><I><d1>x</d><d2>y</d><d3>z</d></I></S></E>"
            L"<En><F1 10 Cat 8 ></F Arial><S><I>two</I></S></E></G></D>");
}

TEST_F(RenderTest, OnlyEnabledGlossariesWithEntriesRenderInTheMembersOrder) {
  Write(L"layout_def.cfg", kLayout);
  Open(L"glossary = en | de | text | G0\nglossary = en | fr | text | G1",
       {L"dog\t<C A=\"0\"><G><O><d>Hund</d></O></G></C><C A=\"1\"><G><O><d>chien</d></O></G></C>"});
  member_.glossaries = {{1, true}, {0, true}};
  std::wstring both = Render(L"dog");
  EXPECT_NE(both.find(L"<G1 Lang(fr)>"), std::wstring::npos) << both;
  EXPECT_NE(both.find(L"<G2 Lang(de)>"), std::wstring::npos);
  EXPECT_LT(both.find(L"chien"), both.find(L"Hund"));
  member_.glossaries = {{0, false}, {1, true}};
  std::wstring one = Render(L"dog");
  EXPECT_NE(one.find(L"<G><E0"), std::wstring::npos) << one;
  EXPECT_EQ(one.find(L"Hund"), std::wstring::npos);
}

TEST_F(RenderTest, TextIsEscapedUnlessTheGlossaryHoldsHtml) {
  Write(L"layout_def.cfg", kLayout);
  Open(L"glossary = en | de | text | plain",
       {L"amp\t<C A=\"0\"><G><O><d>a &amp; &lt;b&gt;</d></O></G></C>"});
  EXPECT_NE(Render(L"amp").find(L"a &amp; &lt;b&gt;"), std::wstring::npos);
  CDictFile other;
  std::wstring path = MakeDict(host_, L"html", DictSource(0x52, L"glossary = en | de | html | rich",
                                                              {L"amp\t<C A=\"0\"><G><O><d>a &lt;b&gt;</d></O></G></C>"}));
  ASSERT_TRUE(other.Open(path.c_str()));
  std::vector<uint32_t> entries{0};
  std::wstring html;
  other.BuildResult(html, entries, L"amp", 1, nullptr);
  EXPECT_NE(html.find(L"a <b>"), std::wstring::npos) << html;
}

TEST_F(RenderTest, LayoutFormatsCannotCrashAndAttributesAreEscaped) {
  Write(L"layout_def.cfg", kLayout);
  Open(L"", {L"q\t<C A=\"0\"><y M=\"a&quot;&lt;x\"/><z L=\"red&quot; onclick=&quot;x\">t</z>"
             L"<e E=\"big &amp; small\"/><h>caf&#233; au lait</h></C>"});
  std::wstring html = Render(L"q");
  EXPECT_NE(html.find(L"<y a&quot;&lt;x   >"), std::wstring::npos) << html;  // missing arguments render nothing
  EXPECT_NE(html.find(L"<z red&quot; onclick=&quot;x>t</z>"), std::wstring::npos) << html;
  EXPECT_NE(html.find(L"<e big%20%26%20small|big &amp; small>"), std::wstring::npos) << html;
  EXPECT_NE(html.find(L"<h caf%C3%A9%20au%20lait>"), std::wstring::npos) << html;
}

TEST_F(RenderTest, TemplateVariablesExpandAndUnknownOnesStay) {
  Write(L"layout_def.cfg", kLayout);
  Write(L"layout.cfg", L"[fmt]\nPosB=<pos>;\n");
  Open(L"", {L"run\t<C A=\"0\"><r>v</r></C>"});
  EXPECT_NE(Render(L"run").find(L"<r 81 [$Other]>v</r>"), std::wstring::npos);  // the own layout file wins
}

TEST_F(RenderTest, LayoutWithoutByteOrderMarkRendersNothing) {
  Write(L"layout_def.cfg", kLayout, false);
  Open(L"", {SimpleEntry(L"sun", L"hot")});
  EXPECT_EQ(Render(L"sun"), L"");
}

TEST_F(RenderTest, MttStyleInAnyCaseSelectsTheSecondRenderer) {
  std::wstring layout = kLayout;
  layout.replace(layout.find(L"ItemB=<I>"), 9, L"ItemB=<I %s>");
  Write(L"layout_mtt.cfg", layout);
  Open(L"layout = MTT", {L"w\t<C A=\"0\"><G><O><d>a</d><d>b</d></O></G></C>"});
  std::wstring html = Render(L"w");
  EXPECT_NE(html.find(L"<mE><S><I Arial><dLang(ar-SA)>a</d><dLang(bg)>b</d></I></S></E>"), std::wstring::npos)
      << html;
}

TEST_F(RenderTest, LinkedFilesAreExtractedAndTheirPathsEscaped) {
  Write(L"layout_def.cfg", kLayout);
  Open(L"resource = a&b.png | text:X", {L"pic\t<C A=\"0\"><f D=\"a&amp;b.png\" E=\"LinkFile\"/><f D=\"..\\x\" E=\"linkfile\"/></C>"});
  std::wstring html = Render(L"pic");
  EXPECT_NE(html.find(L"00000051_res_a&amp;b.png"), std::wstring::npos) << html;
  EXPECT_EQ(html.find(L"..\\x"), std::wstring::npos);
}

}  // namespace
