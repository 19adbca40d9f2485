#include <gtest/gtest.h>

#include <string>

#include "core/XmlNode.h"
#include "dict/DictInfo.h"
#include "dict/tests/DictTestKit.h"

namespace {

std::wstring InfoXml(const std::wstring& id, const std::wstring& charset, const std::wstring& info) {
  return L"<d><id>" + id + L"</id><name>N</name><version>1.3</version><icon>89504E47</icon><flag>18</flag>" + charset +
         info +
         L"<layout style=\"def\"/><res index_count=\"0\"/><gls count=\"1\" index_count=\"3\" maxsize_key=\"9\" "
         L"maxsize_data=\"9\"><table lang_from=\"en\" lang_to=\"de\" content_type=\"html\" title=\"T\"/></gls></d>";
}

bool ParseInfo(CDictInfo& info, const std::wstring& xml) {
  CXmlElement root;
  const wchar_t* cursor = xml.c_str();
  if (root.Parse(&cursor, 31) != 0) return false;
  return info.Parse(&root);
}

const wchar_t kCharset[] = L"<charset key=\"UTF-8\" data=\"utf8\"/>";
const wchar_t kTwoDescriptions[] =
    L"<info count=\"2\"><table lang=\"en\"><title>English</title></table>"
    L"<table lang=\"zh-CN\"><title>Chinese</title><publication><author>A</author></publication></table></info>";

TEST(DictInfoTest, ReadsNumbersInAnyBaseAndTheCharsets) {
  CTestHost host;
  CDictInfo info;
  ASSERT_TRUE(ParseInfo(info, InfoXml(L"0x1A", kCharset, kTwoDescriptions)));
  const DictInfoRecord* r = info.GetRecord();
  EXPECT_EQ(r->idText, L"26");
  EXPECT_EQ(r->flags, 0x18u);
  EXPECT_EQ(r->keyCharset, L"UTF-8");
  EXPECT_EQ(r->indexSort, 0xFFFFFFFFu);  // absent: no locale
  EXPECT_EQ(r->iconBytes, std::string("\x89PNG"));
  EXPECT_EQ(info.GetTable(0)->contentType, L"html");
  EXPECT_EQ(info.GetTable(1), nullptr);
  EXPECT_EQ(r->descriptions[1].author, L"A");
}

TEST(DictInfoTest, FindDescriptionMatchesLanguageCodes) {
  CTestHost host;
  CDictInfo info;
  ASSERT_TRUE(ParseInfo(info, InfoXml(L"5", kCharset, kTwoDescriptions)));
  EXPECT_EQ(info.FindDescription(L"en-US")->title, L"English");
  EXPECT_EQ(info.FindDescription(L"fr-FR")->title, L"English");
  EXPECT_EQ(info.FindDescription(L"zh-cn")->title, L"Chinese");
}

TEST(DictInfoTest, MissingPartsFailTheParse) {
  CTestHost host;
  CDictInfo info;
  struct Case {
    const wchar_t* id;
    const wchar_t* charset;
    const wchar_t* info;
  } cases[] = {
      {L"0", kCharset, kTwoDescriptions},
      {L"5", L"", kTwoDescriptions},
      {L"5", L"<charset key=\"utf-8\"/>", kTwoDescriptions},
      {L"5", kCharset, L"<info count=\"2\"><table lang=\"en\"><title>E</title></table></info>"},
      {L"5", kCharset, L"<info count=\"0\"/>"},
      {L"5", kCharset, L"<info count=\"4000000000\"><table lang=\"en\"/></info>"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseInfo(info, InfoXml(c.id, c.charset, c.info))) << c.id << c.charset << c.info;
    EXPECT_EQ(info.GetRecord(), nullptr);
  }
  // An odd-length icon text leaves no icon bytes, which fails the parse.
  std::wstring odd = InfoXml(L"5", kCharset, kTwoDescriptions);
  odd.replace(odd.find(L"89504E47"), 8, L"89504E4");
  EXPECT_FALSE(ParseInfo(info, odd));
}

}  // namespace
