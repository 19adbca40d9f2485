#include <gtest/gtest.h>

#include <windows.h>

#include "dict/DictFile.h"
#include "dict/tests/DictTestKit.h"
#include "online/TextTranslator.h"

namespace {

void WriteDefinitions(CTestHost& host, const std::wstring& xml) {
  CreateDirectoryW((host.GetDataFolder() + L"tt").c_str(), nullptr);
  ASSERT_TRUE(WriteEnvelopeFile(host.GetDataFolder() + L"tt\\tt.xmc",
                                L"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n" + xml));
}

const wchar_t kEngines[] =
    L"<tt><engine id=\"7\"><name de=\"Maschine\">Engine</name>"
    L"<translate><lang from=\"en\" to=\"de, fr\"/><lang from=\"de\" to=\"en\"/></translate>"
    L"<copyright>(c) &lt;b&gt;</copyright></engine>"
    L"<ui><form>[[$TextSrc]|[$LangSrcList]|[$LangDestList]|[$ShowTextSrc]|[$ShowTextDest]|[$Copyright]]</form></ui></tt>";

TEST(TranslatorTest, FormPageCarriesTheSourceTextAndLanguages) {
  CTestHost host;
  host.uiLanguage = L"fr";
  WriteDefinitions(host, kEngines);
  CTextTranslator translator;
  ASSERT_TRUE(translator.Load());
  EXPECT_EQ(translator.GetEngineNumber(), 7u);
  EXPECT_EQ(translator.GetSourceLanguage(), L"en");
  EXPECT_EQ(translator.GetTargetLanguage(), L"fr");
  translator.SetSourceText(L"a<b");
  std::wstring html;
  translator.BuildFormPage(html, true, false);
  EXPECT_EQ(html,
            L"[a&lt;b|<option value=\"en\" SELECTED>Lang(en)</option><option value=\"de\">Lang(de)</option>|"
            L"<option value=\"de\">Lang(de)</option><option value=\"fr\" SELECTED>Lang(fr)</option>||none|(c) <b>]");
}

// A code the language list does not name shows as itself, not as a blank entry.
TEST(TranslatorTest, FormPageNamesUnknownLanguagesByTheirCode) {
  CTestHost host;
  WriteDefinitions(host,
                   L"<tt><engine id=\"7\"><name>Engine</name><translate><lang from=\"en\" to=\"xx, de\"/></translate>"
                   L"</engine><ui><form>[$LangDestList]</form></ui></tt>");
  CTextTranslator translator;
  ASSERT_TRUE(translator.Load());
  std::wstring html;
  translator.BuildFormPage(html, true, false);
  EXPECT_NE(html.find(L">xx</option>"), std::wstring::npos) << html;
  EXPECT_NE(html.find(L">Lang(de)</option>"), std::wstring::npos) << html;
  EXPECT_EQ(translator.LanguageLabel(L"xx"), L"xx");
  EXPECT_EQ(translator.LanguageLabel(L"de"), L"Lang(de)");
}

TEST(TranslatorTest, EntryWithTheFormElementRendersTheForm) {
  CTestHost host;
  WriteDefinitions(host, kEngines);
  CTextTranslator translator;
  ASSERT_TRUE(translator.Load());
  host.translator = &translator;
  WriteTextFile(host.GetDictFolder() + L"layout_def.cfg", L"[comm]\nDictB=<D>;\nDictE=</D>;\nGlsB=;\nGlsE=;\n", true);
  std::wstring path = MakeDict(host, L"one", DictSource(1, L"", {L"*\t<C A=\"0\"><Y/></C>"}));
  CDictFile dict;
  ASSERT_TRUE(dict.Open(path.c_str()));
  std::vector<uint32_t> entries;
  ASSERT_EQ(dict.FindMatches(entries, L"hello", 5), 1u);
  std::wstring html;
  dict.BuildResult(html, entries, L"hello", 1, nullptr);
  EXPECT_EQ(translator.GetSourceText(), L"hello");
  EXPECT_EQ(html.find(L"<D>[hello|"), 0u) << html;
}

}  // namespace
