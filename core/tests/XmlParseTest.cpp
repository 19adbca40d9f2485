#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/ConfigFile.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "core/tests/TempFolder.h"
#include "core/tests/XmlTestUtil.h"

namespace {

const std::wstring kDecl = L"<?xml version=\"1.0\"?>";
const uint8_t kKey[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 'd', 'i', 'c', 't', 'c', 'f', 'g'};

uint32_t TopLevelCode(const std::wstring& text, uint32_t flags = kXmlAllFlags) {
  CXmlDocumentNode node;
  const wchar_t* cursor = text.c_str();
  return node.Parse(&cursor, flags);
}

template <class Node>
uint32_t NodeCode(const std::wstring& text) {
  Node node;
  const wchar_t* cursor = text.c_str();
  return node.Parse(&cursor, kXmlAllFlags);
}

// The text value of the root's only child, or "<none>".
std::wstring RootText(const std::wstring& body, uint32_t flags) {
  CXmlDocument doc;
  if (!ParseXml(doc, kDecl + body, flags)) return L"<fail>";
  const CXmlNode* child = doc.GetRoot()->FirstChild();
  if (!child) return L"<none>";
  EXPECT_EQ(child->NextSibling(), nullptr);
  return child->ValuePtr();
}

}  // namespace

TEST(XmlParse, EveryErrorCode) {
  struct Case {
    uint32_t code;
    std::wstring text;
  } cases[] = {
      {kXmlErrEndOfText, kDecl + L"<a>"},
      {kXmlErrEndOfText, kDecl + L"<a x=\"1\""},
      {kXmlErrEndOfText, kDecl + L"<a x"},
      {kXmlErrEndOfText, kDecl + L"<!DOCTYPE "},
      {kXmlErrEndOfText, kDecl + L"<?p abc"},
      {kXmlErrNotAllowed, L"<a/>"},
      {kXmlErrNotAllowed, kDecl + L"<a/><b/>"},
      {kXmlErrNotAllowed, kDecl + L"<a/>text"},
      {kXmlErrNotAllowed, kDecl + L"<a><?xml version=\"1.0\"?></a>"},
      {kXmlErrNotAllowed, kDecl + L"<a><?XmL x?></a>"},
      {kXmlErrNotAllowed, kDecl + L"<!ELEMENT a ANY><a/>"},
      {kXmlErrNotAllowed, kDecl + L"<a><!ENTITY x></a>"},
      {kXmlErrNotAllowed, kDecl + L"<a/><?xml version=\"1.0\"?>"},
      {kXmlErrNotAllowed, L"<!DOCTYPE a>" + kDecl + L"<a/>"},
      {kXmlErrNotAllowed, kDecl + L"<a/><!DOCTYPE a>"},
      {kXmlErrNotAllowed, L"<?xml version=\"1.1\"?><a/>"},
      {kXmlErrNotAllowed, L"<?xml version=\"1.0\" standalone=\"maybe\"?><a/>"},
      {kXmlErrPiCharacter, kDecl + L"<?p a\x01?><a/>"},
      {kXmlErrPiCharacter, kDecl + L"<a><?p \xDC00?></a>"},
      {kXmlErrEmptyText, L""},
      {kXmlErrEmptyText, L" \r\n\t"},
      {kXmlErrDeclaration, L"<?xml?><a/>"},
      {kXmlErrDeclaration, L"<?XML version=\"1.0\"?><a/>"},
      {kXmlErrDeclaration, L"<?xml encoding=\"UTF-8\"?><a/>"},
      {kXmlErrDeclaration, L"<?xml version=\"1.0\" other=\"x\"?><a/>"},
      {kXmlErrDeclaration, L"<?xml version=\"1.0\" ><a/>"},
      {kXmlErrDocType, kDecl + L"<!DOCTYPE a SYSTEM><a/>"},
      {kXmlErrDocType, kDecl + L"<!DOCTYPE a PUBLIC \"a{b\" \"s\"><a/>"},
      {kXmlErrDocType, kDecl + L"<!DOCTYPE a [ <!ENTITY x \"y\"> <a/>"},
      {kXmlErrDocType, kDecl + L"<!DOCTYPE a junk><a/>"},
      {kXmlErrAttributeEquals, kDecl + L"<a x></a>"},
      {kXmlErrPiMarkup, kDecl + L"<?pi?x><a/>"},
      {kXmlErrCharData, kDecl + L"<a>&nbsp;</a>"},
      {kXmlErrCharData, kDecl + L"<a>&#X41;</a>"},
      {kXmlErrCharData, kDecl + L"<a>&lt</a>"},
      {kXmlErrCharData, kDecl + L"<a>&#1;</a>"},
      {kXmlErrCharData, kDecl + L"<a>&#xD800;</a>"},
      {kXmlErrCharData, kDecl + L"<a>&#x110000;</a>"},
      {kXmlErrCharData, kDecl + L"<a>&#x100000041;</a>"},  // would wrap to A in 32 bits
      {kXmlErrAttributeValue, kDecl + L"<a v=\"&#4294967361;\"/>"},
      {kXmlErrCharData, kDecl + L"<a>\x01</a>"},
      {kXmlErrCharData, kDecl + L"<a>\xDC00</a>"},
      {kXmlErrCharData, kDecl + L"<a>\xD800x</a>"},
      {kXmlErrCharData, kDecl + L"<a>\xFFFE</a>"},
      {kXmlErrCharData, kDecl + L"<a>tail"},
      {kXmlErrCData, kDecl + L"<a><![CDATA[x</a>"},
      {kXmlErrComment, kDecl + L"<!-- a -- b --><a/>"},
      {kXmlErrComment, kDecl + L"<!-- a ---><a/>"},
      {kXmlErrComment, kDecl + L"<a><!-- \x02 --></a>"},
      {kXmlErrComment, kDecl + L"<!-- open"},
      {kXmlErrDocTypeName, kDecl + L"<!DOCTYPE 1a><a/>"},
      {kXmlErrEndTag, kDecl + L"<a/ >"},
      {kXmlErrEndTag, kDecl + L"<a></b>"},
      {kXmlErrEndTag, kDecl + L"<ab></a>"},
      {kXmlErrEndTag, kDecl + L"<a></ab>"},
      {kXmlErrEndTag, kDecl + L"<a></a x>"},
      {kXmlErrAttributeName, kDecl + L"<a 1=\"x\"/>"},
      {kXmlErrAttributeValue, kDecl + L"<a x=1/>"},
      {kXmlErrAttributeValue, kDecl + L"<a x=\"<\"/>"},
      {kXmlErrAttributeValue, kDecl + L"<a x=\"&foo;\"/>"},
      {kXmlErrAttributeValue, kDecl + L"<a x=\"open/>"},
      {kXmlErrDuplicateAttribute, kDecl + L"<a x=\"1\" x=\"2\"/>"},
      {kXmlErrPiTarget, kDecl + L"<?1?><a/>"},
      {kXmlErrPiTarget, kDecl + L"<a><? p?></a>"},
  };
  for (const Case& c : cases) EXPECT_EQ(TopLevelCode(c.text), c.code) << c.text.c_str();

  // Codes that only a node's own Parse meets at its start.
  EXPECT_EQ(NodeCode<CXmlUnknown>(L"x>"), kXmlErrUnknownMarkup);
  EXPECT_EQ(NodeCode<CXmlUnknown>(L"<!x"), kXmlErrEndOfText);
  EXPECT_EQ(NodeCode<CXmlElement>(L"x"), kXmlErrElementStart);
  EXPECT_EQ(NodeCode<CXmlElement>(L"<1/>"), kXmlErrElementName);
  EXPECT_EQ(NodeCode<CXmlProcessingInstruction>(L"x"), kXmlErrPiMarkup);
  EXPECT_EQ(NodeCode<CXmlProcessingInstruction>(L"<?xml ?>"), kXmlErrPiTarget);
  EXPECT_EQ(NodeCode<CXmlProcessingInstruction>(L"<?XmL a?>"), kXmlErrPiTarget);
  EXPECT_EQ(NodeCode<CXmlProcessingInstruction>(L"<?xml-style a?>"), kXmlOk);
  EXPECT_EQ(NodeCode<CXmlCData>(L" <![CDATA[x]]>"), kXmlErrCData);  // no white space skipped
  EXPECT_EQ(NodeCode<CXmlAttribute>(L"  "), kXmlErrAttributeEquals);
  EXPECT_EQ(NodeCode<CXmlDocType>(L"<!DOCTYPEa>"), kXmlErrDocType);
}

TEST(XmlParse, FailuresOfMemoryAndAppending) {
  const std::wstring text = kDecl + L"<a x=\"1\"><b/></a>";
  // Allocations: declaration 0, a 1, attribute x 2, b 3. Appends: declaration
  // 0, x 1, b 2, a 3.
  XmlInjectFailures(0, -1);
  EXPECT_EQ(TopLevelCode(text), kXmlErrNoNode);
  XmlInjectFailures(2, -1);
  EXPECT_EQ(TopLevelCode(text), kXmlErrNoMemory);
  XmlInjectFailures(3, -1);
  EXPECT_EQ(TopLevelCode(text), kXmlErrNoMemory);
  XmlInjectFailures(-1, 2);
  EXPECT_EQ(TopLevelCode(text), kXmlErrAppend);
  XmlInjectFailures(-1, 3);
  EXPECT_EQ(TopLevelCode(text), kXmlErrAppend);
  XmlInjectFailures(-1, -1);
  EXPECT_EQ(TopLevelCode(text), kXmlOk);
}

TEST(XmlParse, DocumentBuffers) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.Parse(nullptr, 0));
  std::wstring body = kDecl + L"<a>\xE9</a>";
  std::string noMark(reinterpret_cast<const char*>(body.data()), body.size() * 2);
  noMark.append(2, '\0');
  EXPECT_FALSE(doc.Parse(noMark.data(), 0));
  EXPECT_FALSE(doc.Parse("\xFF\xFE\0\0", 0));  // only a byte-order mark
  EXPECT_FALSE(doc.Parse("\xFF\xFE \0\r\0\0\0", 0));
  EXPECT_FALSE(doc.Parse(Utf16Buffer(L"  \n").data(), 0));
  // Big-endian texts are not read.
  std::string big("\xFE\xFF", 2);
  for (wchar_t c : body) big += static_cast<char>(c >> 8), big += static_cast<char>(c & 0xFF);
  big.append(2, '\0');
  EXPECT_FALSE(doc.Parse(big.data(), 0));

  ASSERT_TRUE(doc.Parse(Utf16Buffer(body).data(), 0));
  ASSERT_NE(doc.GetRoot(), nullptr);
  std::wstring text;
  doc.GetRoot()->GetText(text);
  EXPECT_EQ(text, L"\xE9");

  std::string utf8 = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>caf\xC3\xA9</a>";
  ASSERT_TRUE(doc.Parse(utf8.c_str(), 0));
  doc.GetRoot()->GetText(text);
  EXPECT_EQ(text, L"caf\xE9");
  EXPECT_FALSE(doc.Parse("\xEF\xBB\xBF", 0));

  // A misaligned buffer is read as well.
  std::string shifted = " " + Utf16Buffer(body);
  EXPECT_TRUE(doc.Parse(shifted.data() + 1, 0));
}

TEST(XmlParse, TopLevelOrder) {
  CXmlDocument doc;
  EXPECT_TRUE(ParseXml(doc, kDecl + L"<!--only comments--><?pi x?>"));
  EXPECT_EQ(doc.GetRoot(), nullptr);
  EXPECT_TRUE(doc.DocumentNode()->IsEmpty());
  EXPECT_TRUE(ParseXml(doc, L"<!--c-->"));
  EXPECT_EQ(doc.GetRoot(), nullptr);
  ASSERT_TRUE(ParseXml(doc, L"<!--c--><?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"yes\"?>\r\n"
                            L"<!DOCTYPE r SYSTEM \"r.dtd\" [<!ELEMENT r ANY>]><r/><!--after--><?p after?>"));
  CXmlDocumentNode* node = doc.DocumentNode();
  ASSERT_NE(node->Declaration(), nullptr);
  EXPECT_EQ(node->Declaration()->version, L"1.0");
  EXPECT_EQ(node->Declaration()->encoding, L"UTF-16");
  EXPECT_EQ(node->Declaration()->standalone, L"yes");
  ASSERT_NE(node->DocType(), nullptr);
  EXPECT_STREQ(node->DocType()->NamePtr(), L"r");
  EXPECT_EQ(node->DocType()->keyword, L"SYSTEM");
  EXPECT_EQ(node->DocType()->literal, L"r.dtd");
  EXPECT_EQ(node->DocType()->InternalSubset(), L"[<!ELEMENT r ANY>]");
  EXPECT_STREQ(doc.GetRoot()->NamePtr(), L"r");
  EXPECT_EQ(node->Children()->Count(), 6u);
  ASSERT_TRUE(ParseXml(doc, L"<?xml version='1.0'?><!DOCTYPE r PUBLIC \"-//Q//x\" 's'><r/>"));
  EXPECT_EQ(doc.DocumentNode()->DocType()->literal, L"-//Q//x s");
  EXPECT_EQ(PrintXml(doc.DocumentNode(), 0), L"<?xml version=\"1.0\" ?><!DOCTYPE r PUBLIC \"-//Q//x\" \"s\"><r />");
  ASSERT_TRUE(ParseXml(doc, L"<?xml version=\"1.0\"?><a x=\"1\"y='2'/>"));  // no blank needed
  EXPECT_EQ(doc.GetRoot()->Attributes()->Count(), 2u);
}

TEST(XmlParse, WhiteSpaceFlags) {
  EXPECT_EQ(RootText(L"<a> x  \ny </a>", 31), L"x y");
  EXPECT_EQ(RootText(L"<a> \r\n\t </a>", 31), L"<none>");
  EXPECT_EQ(RootText(L"<a> \r\n\t </a>", 0), L" \n\t ");
  EXPECT_EQ(RootText(L"<a> x \r y\r\n</a>", 0), L" x \n y\n");
  EXPECT_EQ(RootText(L"<a> x\n  y </a>", 24), L" x   y ");
  EXPECT_EQ(RootText(L"<a> x\n  y </a>", 1), L"x\n  y ");
  EXPECT_EQ(RootText(L"<a> x\n  y </a>", 2), L" x\n  y");
  EXPECT_EQ(RootText(L"<a> x\n  y </a>", 4), L" x y ");
  EXPECT_EQ(RootText(L"<a xml:space=\"preserve\"> x \r\n y </a>", 31), L" x \n y ");
  EXPECT_EQ(RootText(L"<a xml:space=\"preserve\">  </a>", 31), L"  ");

  CXmlDocument doc;
  ASSERT_TRUE(ParseXml(doc, kDecl + L"<r xml:space=\"preserve\"><a> x  y </a><b xml:space=\"default\"> x  y </b></r>"));
  std::wstring v;
  doc.GetRoot()->GetPathValue(v, L"/a/#text");
  EXPECT_EQ(v, L" x  y ");
  doc.GetRoot()->GetPathValue(v, L"/b/#text");
  EXPECT_EQ(v, L"x y");

  ASSERT_TRUE(ParseXml(doc, kDecl + L"<a v=\"  x \n\t y  \" w='&#10;z'/>", 0));
  doc.GetRoot()->GetAttribute(v, L"v");
  EXPECT_EQ(v, L"x y");
  doc.GetRoot()->GetAttribute(v, L"w");
  EXPECT_EQ(v, L"z");
}

TEST(XmlParse, References) {
  EXPECT_EQ(RootText(L"<a>&#65;&#x41;&lt;&gt;&amp;&apos;&quot;</a>", 0), L"AA<>&'\"");
  EXPECT_EQ(RootText(L"<a>&#x1F600;</a>", 0), L"\xD83D\xDE00");
  EXPECT_EQ(RootText(L"<a>\xD83D\xDE00</a>", 0), L"\xD83D\xDE00");
  EXPECT_EQ(RootText(L"<a>x]]>y</a>", 0), L"x]]>y");
  EXPECT_EQ(RootText(L"<a><![CDATA[&lt;<b>]]></a>", 0), L"&lt;<b>");
  EXPECT_EQ(RootText(L"<a><!--x-y--></a>", 0), L"x-y");
}

TEST(XmlPrint, Layout) {
  CXmlDocument doc;
  ASSERT_TRUE(ParseXml(doc, L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><!--top-->"
                            L"<r a=\"&quot;'&lt;&amp;&gt;\"><one>x &amp; y</one><e/><!--note--><?pi val?>"
                            L"<?bare?><n><m>1</m></n><![CDATA[<c>]]>tail</r>"));
  EXPECT_EQ(PrintXml(doc.DocumentNode(), 0),
            L"<?xml version=\"1.0\" encoding=\"UTF-16\" ?><!--top-->"
            L"<r a=\"&quot;'&lt;&amp;&gt;\"><one>x &amp; y</one><e /><!--note--><?pi val ?><?bare ?>"
            L"<n><m>1</m></n><![CDATA[<c>]]>tail</r>");
  EXPECT_EQ(PrintXml(doc.DocumentNode(), 2),
            L"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\r\n"
            L"<!--top-->\r\n"
            L"<r a=\"&quot;'&lt;&amp;&gt;\">\r\n"
            L"  <one>x &amp; y</one>\r\n"
            L"  <e />\r\n"
            L"  <!--note-->\r\n"
            L"  <?pi val ?>\r\n"
            L"  <?bare ?>\r\n"
            L"  <n>\r\n"
            L"    <m>1</m>\r\n"
            L"  </n>\r\n"
            L"  <![CDATA[<c>]]>\r\n"
            L"  tail\r\n"
            L"</r>\r\n");
  EXPECT_EQ(PrintXml(doc.DocumentNode(), 1, {1, 1}),
            L"<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\r\n"
            L"<r a=\"&quot;'&lt;&amp;&gt;\">\r\n"
            L" <one>x &amp; y</one>\r\n"
            L" <e />\r\n"
            L" <?pi val ?>\r\n"
            L" <?bare ?>\r\n"
            L" <n>\r\n"
            L"  <m>1</m>\r\n"
            L" </n>\r\n"
            L" &lt;c&gt;\r\n"
            L" tail\r\n"
            L"</r>\r\n");

  std::wstring out;
  EXPECT_EQ(EscapeXmlAttribute(out, L"a&<>\"'b"), 27u);
  EXPECT_EQ(out, L"a&amp;&lt;&gt;&quot;&apos;b");
  EXPECT_EQ(EscapeXmlAttribute(out, nullptr), 0u);
}

TEST(XmlPrint, ReparsesToTheSameText) {
  CXmlDocument doc, again;
  const std::wstring text = kDecl + L"<r k=\"a&amp;b\"><x>1 &lt; 2</x><y a=\"q&quot;\"/><z><w/>t</z></r>";
  ASSERT_TRUE(ParseXml(doc, text));
  std::wstring printed = PrintXml(doc.DocumentNode(), 2);
  ASSERT_TRUE(ParseXml(again, printed));
  EXPECT_EQ(PrintXml(again.DocumentNode(), 2), printed);
}

// Printed text parses to a tree that prints the same, whatever the
// declaration's values and an instruction's data hold.
TEST(XmlPrint, EveryNodeKindReparsesToTheSameText) {
  const std::wstring cases[] = {
      L"<?xml version=\"1.0\" encoding='a\"b&amp;&lt;' standalone=\"yes&quot;\"?><r/>",
      L"<?xml version=\"1.0\" encoding=\"&apos;\"?><r/>",
      kDecl + L"<r><?pi data ?><?pi  two  words\t?><?bare?><?bare2 ?></r>",
      kDecl + L"<!--c--><r><![CDATA[x]]></r><?after x?>",
  };
  for (const std::wstring& text : cases) {
    for (uint32_t indent : {0u, 2u}) {
      CXmlDocument doc, again;
      ASSERT_TRUE(ParseXml(doc, text)) << text;
      const std::wstring printed = PrintXml(doc.DocumentNode(), indent);
      ASSERT_TRUE(ParseXml(again, printed)) << printed;
      EXPECT_EQ(PrintXml(again.DocumentNode(), indent), printed) << text;
    }
  }
}

TEST(XmlParse, ErrorContextAndCleanup) {
  CXmlDocument doc;
  ASSERT_TRUE(ParseXml(doc, kDecl + L"<a/>"));
  EXPECT_FALSE(ParseXml(doc, kDecl + L"<root><child>text</child><bad x=1/></root>"));
  EXPECT_EQ(doc.GetRoot(), nullptr);
  EXPECT_EQ(doc.DocumentNode(), nullptr);
  EXPECT_EQ(doc.ErrorContext(), L"ld><bad x=1/></root>");
  EXPECT_FALSE(ParseXml(doc, L"<x/>"));
  EXPECT_EQ(doc.ErrorContext(), L"<x/>");
}

TEST(XmlParse, ElementFromAPosition) {
  const wchar_t* text = L"  <info id=\"7\"><name>n</name></info>rest";
  const wchar_t* cursor = text;
  CXmlElement info;
  ASSERT_EQ(info.Parse(&cursor, kXmlAllFlags), kXmlOk);
  EXPECT_STREQ(cursor, L"rest");
  uint32_t id = 0;
  EXPECT_TRUE(info.GetIntAttribute(&id, L"id", 0));
  EXPECT_EQ(id, 7u);
  std::wstring name;
  EXPECT_TRUE(info.GetPathValue(name, L"/name/#text"));
  EXPECT_EQ(name, L"n");
  // A failed parse leaves the node empty.
  cursor = L"<info><name>n</info>";
  EXPECT_EQ(info.Parse(&cursor, 0), kXmlErrEndTag);
  EXPECT_EQ(info.FirstChild(), nullptr);
  EXPECT_STREQ(info.NamePtr(), L"");
}

TEST(XmlParse, NestingIsBounded) {
  std::wstring deep = kDecl, shallow = kDecl;
  for (int i = 0; i < 100000; ++i) deep += L"<a>";
  for (int i = 0; i < 400; ++i) shallow += L"<a>";
  for (int i = 0; i < 400; ++i) shallow += L"</a>";
  CXmlDocument doc;
  EXPECT_FALSE(ParseXml(doc, deep));
  EXPECT_TRUE(ParseXml(doc, shallow));
}

TEST(XmlFile, SaveAndLoad) {
  TempFolder dir;
  CXmlDocument doc;
  ASSERT_TRUE(ParseXml(doc, kDecl + L"<cfg><!--c--><d id=\"00000001\">caf\xE9</d></cfg>"));
  std::wstring path = dir / L"plain.xml";
  const XmlPrintOptions options = {0, 1};
  ASSERT_TRUE(doc.SaveFile(path.c_str(), 0, &options, nullptr));
  std::string bytes = TempFolder::ReadText(path);
  std::wstring expected = L"\xFEFF<?xml version=\"1.0\" ?><cfg><d id=\"00000001\">caf\xE9</d></cfg>";
  EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));

  CXmlDocument back;
  ASSERT_TRUE(back.LoadFile(path.c_str(), 24, nullptr));
  EXPECT_EQ(back.FilePath(), path);
  uint32_t id = 0;
  EXPECT_TRUE(back.GetRoot()->FindPath(L"/d")->GetIntAttribute(&id, L"id", 16));
  EXPECT_EQ(id, 1u);

  std::wstring secret = dir / L"dictcfg.xmc";
  ASSERT_TRUE(doc.SaveFile(secret.c_str(), 0, &options, kKey));
  EXPECT_EQ(TempFolder::ReadText(secret).substr(0, 4), "?VKC");
  ASSERT_TRUE(back.LoadFile(secret.c_str(), 24, kKey));
  EXPECT_EQ(PrintXml(back.DocumentNode(), 0), expected.substr(1));
  EXPECT_FALSE(back.LoadFile(secret.c_str(), 24, nullptr));  // no byte-order mark
  EXPECT_EQ(back.GetRoot(), nullptr);
  EXPECT_EQ(back.FilePath(), L"");
  EXPECT_FALSE(back.LoadFile(path.c_str(), 24, kKey));  // not an envelope
  EXPECT_FALSE(back.LoadFile((dir / L"missing.xml").c_str(), 24, nullptr));
  EXPECT_FALSE(back.LoadFile(nullptr, 24, nullptr));
  ASSERT_TRUE(TempFolder::WriteText(dir / L"empty.xml", ""));
  EXPECT_FALSE(back.LoadFile((dir / L"empty.xml").c_str(), 24, nullptr));
}

TEST(XmlFile, OddLengthUtf16FailsCleanly) {
  TempFolder dir;
  std::string bytes = Utf16Buffer(kDecl + L"<a>x</a>");
  bytes.resize(bytes.size() - 2);  // the file holds no terminator
  ASSERT_TRUE(TempFolder::WriteText(dir / L"even.xml", bytes));
  CXmlDocument doc;
  EXPECT_TRUE(doc.LoadFile((dir / L"even.xml").c_str(), 0, nullptr));
  ASSERT_TRUE(TempFolder::WriteText(dir / L"odd.xml", bytes + ">"));
  EXPECT_FALSE(doc.LoadFile((dir / L"odd.xml").c_str(), 0, nullptr));
  EXPECT_EQ(doc.GetRoot(), nullptr);
}

// Saving goes through a temporary file: a read-only file is replaced, nothing
// is left behind, and without a root nothing is written at all.
TEST(XmlFile, SaveReplacesThroughTemporaryFile) {
  TempFolder dir;
  std::wstring path = dir / L"tt.xmc";
  ASSERT_TRUE(TempFolder::WriteText(path, "old"));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  CXmlDocument doc;
  EXPECT_FALSE(doc.SaveFile(path.c_str(), 0, nullptr, nullptr));
  ASSERT_TRUE(ParseXml(doc, kDecl + L"<!--no root-->"));
  EXPECT_FALSE(doc.SaveFile(path.c_str(), 0, nullptr, nullptr));
  EXPECT_EQ(TempFolder::ReadText(path), "old");
  ASSERT_TRUE(ParseXml(doc, kDecl + L"<r/>"));
  EXPECT_FALSE(doc.SaveFile(nullptr, 0, nullptr, nullptr));
  EXPECT_TRUE(doc.SaveFile(path.c_str(), 0, nullptr, kKey));
  EXPECT_EQ(dir.List(), L"tt.xmc");
  CXmlDocument back;
  EXPECT_TRUE(back.LoadFile(path.c_str(), 0, kKey));

  // Another program holds the file open: the save fails and the old file
  // stays whole, with no temporary file left.
  std::string saved = TempFolder::ReadText(path);
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(doc.SaveFile(path.c_str(), 2, nullptr, nullptr));
  CloseHandle(held);
  EXPECT_EQ(TempFolder::ReadText(path), saved);
  EXPECT_EQ(dir.List(), L"tt.xmc");

  std::wstring folder = dir / L"folder.xml";
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_FALSE(doc.SaveFile(folder.c_str(), 0, nullptr, nullptr));
  EXPECT_EQ(dir.List(), L"folder.xml|tt.xmc");
}
