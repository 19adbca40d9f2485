#include <gtest/gtest.h>

#include <windows.h>

#include "core/DesCipher.h"
#include "dict/DictFile.h"
#include "dict/tests/DictTestKit.h"
#include "online/TextTranslator.h"

namespace {

void WriteDefinitions(CTestHost& host, const std::wstring& xml) {
  std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n" + xml;
  uint8_t key[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  int size = cipher.Encrypt(nullptr, plain, static_cast<int>(text.size() * 2));
  std::string envelope(size, '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, static_cast<int>(text.size() * 2));
  CreateDirectoryW((host.GetDataFolder() + L"tt").c_str(), nullptr);
  FILE* f = _wfopen((host.GetDataFolder() + L"tt\\tt.xmc").c_str(), L"wb");
  ASSERT_NE(f, nullptr);
  fwrite(envelope.data(), 1, envelope.size(), f);
  fclose(f);
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
