#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "core/tests/XmlTestUtil.h"

namespace {

const wchar_t kDecl[] = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>";

class XmlTree : public ::testing::Test {
 protected:
  CXmlElement* Load(const std::wstring& body, uint32_t flags = kXmlAllFlags) {
    EXPECT_TRUE(ParseXml(doc_, kDecl + body, flags));
    return doc_.GetRoot();
  }
  CXmlDocument doc_;
};

}  // namespace

TEST_F(XmlTree, FindPath) {
  CXmlElement* r = Load(L"<r><a>1</a><a>2</a><b/><!--c--></r>");
  ASSERT_NE(r, nullptr);
  for (const wchar_t* bad : {L"", L"a", L"//a", L"/a/", L"/a//#text", L"/x"}) EXPECT_EQ(r->FindPath(bad), nullptr) << bad;
  EXPECT_EQ(r->FindPath(nullptr), nullptr);
  CXmlNode* two = r->FindPath(L"/a*1/#text");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->Kind(), kXmlText);
  EXPECT_STREQ(two->ValuePtr(), L"2");
  EXPECT_EQ(r->FindPath(L"/a*x/#text"), r->FindPath(L"/a/#text"));  // non-digits read as 0
  EXPECT_EQ(r->FindPath(L"/a*2"), nullptr);
  ASSERT_NE(r->FindPath(L"/#comment"), nullptr);
  EXPECT_STREQ(r->FindPath(L"/#comment")->ValuePtr(), L"c");
  // A path never reaches past a text node.
  EXPECT_EQ(r->FindPath(L"/a/#text/x"), nullptr);

  std::wstring v = L"junk";
  EXPECT_TRUE(r->GetPathValue(v, L"/a/#text"));
  EXPECT_EQ(v, L"1");
  EXPECT_FALSE(r->GetPathValue(v, L"/b/#text"));
  EXPECT_EQ(v, L"");
  uint32_t n = 99;
  EXPECT_TRUE(r->GetUIntText(&n, L"/a*1/#text", 0));
  EXPECT_EQ(n, 2u);
  n = 99;
  EXPECT_FALSE(r->GetUIntText(&n, L"/b", 0));  // an element has no value of its own
  EXPECT_EQ(n, 0u);
  n = 99;
  EXPECT_FALSE(r->GetUIntText(&n, L"/zz", 0));
  EXPECT_EQ(n, 0u);
}

TEST_F(XmlTree, TextOfSubtree) {
  CXmlElement* a = Load(L"<a>x<b>y</b><!--c--><?p q?>z<![CDATA[<w>]]></a>");
  ASSERT_NE(a, nullptr);
  std::wstring text = L"junk";
  a->GetText(text);
  EXPECT_EQ(text, L"xyz<w>");
}

TEST_F(XmlTree, Attributes) {
  CXmlElement* e = Load(L"<e id=\"0x1F\" y=\"yes\" t=\"True\" one=\"1\" no=\"no\" zero=\"0\" empty=\"\"/>");
  ASSERT_NE(e, nullptr);
  uint32_t id = 7;
  EXPECT_TRUE(e->GetIntAttribute(&id, L"id", 0));
  EXPECT_EQ(id, 31u);
  EXPECT_TRUE(e->GetIntAttribute(&id, L"one", 16));
  EXPECT_EQ(id, 1u);
  EXPECT_FALSE(e->GetIntAttribute(&id, L"missing", 0));
  EXPECT_EQ(id, 0u);

  struct Case {
    const wchar_t* name;
    bool result, value;
  } cases[] = {{L"y", true, true},     {L"t", true, true},      {L"one", true, true},     {L"no", true, false},
               {L"zero", true, false}, {L"empty", false, false}, {L"missing", false, false}};
  for (const Case& c : cases) {
    bool v = !c.value;
    EXPECT_EQ(e->GetBoolAttribute(&v, c.name), c.result) << c.name;
    EXPECT_EQ(v, c.value) << c.name;
  }
  std::wstring s = L"junk";
  EXPECT_FALSE(e->GetAttribute(s, L"missing"));
  EXPECT_EQ(s, L"");
  EXPECT_TRUE(e->GetAttribute(s, L"y"));
  EXPECT_EQ(s, L"yes");

  EXPECT_EQ(e->SetAttribute(L"1bad", L"v"), nullptr);
  EXPECT_EQ(e->SetAttribute(nullptr, L"v"), nullptr);
  CXmlNode* y = e->SetAttribute(L"y", L"changed");
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(e->Attributes()->First()->NextSibling(), y);  // keeps its place
  EXPECT_NE(e->SetAttribute(L"new:one", L"a\"b"), nullptr);
  EXPECT_EQ(e->Attributes()->Last()->NamePtr(), std::wstring(L"new:one"));
  EXPECT_EQ(PrintXml(e, 0),
            L"<e id=\"0x1F\" y=\"changed\" t=\"True\" one=\"1\" no=\"no\" zero=\"0\" empty=\"\" new:one=\"a&quot;b\" />");

  // Attribute queries on kinds without an attribute list.
  CXmlNode* text = Load(L"<a>t</a>")->FirstChild();
  EXPECT_EQ(text->GetAttributeNode(L"x"), nullptr);
  EXPECT_EQ(text->SetAttribute(L"x", L"1"), nullptr);
}

TEST(XmlModel, AppendRules) {
  CXmlElement parent, other;
  ASSERT_TRUE(parent.SetName(L"p"));
  ASSERT_TRUE(other.SetName(L"o"));
  CXmlElement* child = new CXmlElement;
  EXPECT_FALSE(parent.AppendChild(child));  // nameless element
  ASSERT_TRUE(child->SetName(L"c"));
  ASSERT_TRUE(parent.AppendChild(child));
  EXPECT_EQ(child->Parent(), &parent);
  EXPECT_FALSE(other.AppendChild(child));  // belongs to another parent
  // Appended twice to the same list it would link to itself: refused.
  EXPECT_FALSE(parent.AppendChild(child));
  EXPECT_FALSE(parent.Children()->Append(child));
  EXPECT_EQ(parent.Children()->Count(), 1u);
  EXPECT_EQ(child->NextSibling(), nullptr);

  CXmlText* text = new CXmlText;
  text->SetValue(L"t");
  ASSERT_TRUE(parent.AppendChild(text));
  CXmlText* loose = new CXmlText;
  EXPECT_FALSE(text->AppendChild(loose));  // a text node holds no children
  EXPECT_FALSE(parent.AppendChild(nullptr));
  CXmlAttribute* attr = new CXmlAttribute;
  ASSERT_TRUE(attr->SetName(L"a"));
  EXPECT_FALSE(parent.AppendChild(attr));
  EXPECT_TRUE(parent.AddAttribute(attr));
  CXmlAttribute* again = new CXmlAttribute;
  ASSERT_TRUE(again->SetName(L"a"));
  EXPECT_FALSE(parent.AddAttribute(again));  // the name exists
  EXPECT_FALSE(parent.AddAttribute(loose));  // not an attribute
  EXPECT_FALSE(text->AddAttribute(again));   // not an element
  CXmlProcessingInstruction* pi = new CXmlProcessingInstruction;
  EXPECT_FALSE(parent.AppendChild(pi));  // nameless
  EXPECT_EQ(PrintXml(&parent, 0), L"<p a=\"\"><c />t</p>");
  delete loose;
  delete again;
  delete pi;
}

TEST(XmlModel, Names) {
  CXmlElement e;
  for (const wchar_t* ok : {L"a", L"_x", L":x", L"a.b-c_d:e9", L"\x0416\x0430", L"\x4E00\x3005", L"a\x0301"}) {
    EXPECT_TRUE(e.SetName(ok)) << ok;
    EXPECT_STREQ(e.NamePtr(), ok);
  }
  for (const wchar_t* bad : {L"", L"1a", L"-a", L".a", L"a b", L"\x0301" L"a", L"a\xD800\xDC00", L"a!"}) {
    EXPECT_FALSE(e.SetName(bad)) << bad;
  }
  EXPECT_STREQ(e.NamePtr(), L"a\x0301");
  EXPECT_FALSE(e.SetName(nullptr));
  EXPECT_TRUE(e.IsNamed(L"a\x0301"));
  EXPECT_FALSE(e.IsNamed(nullptr));
  std::wstring name;
  EXPECT_TRUE(e.GetName(name));
  CXmlText t;
  EXPECT_TRUE(t.GetName(name));
  EXPECT_EQ(name, L"#text");
  EXPECT_FALSE(e.GetValue(name));
  EXPECT_EQ(name, L"");
  EXPECT_EQ(e.ToElement(), &e);
  EXPECT_EQ(e.ToAttribute(), nullptr);
  EXPECT_EQ(t.ToElement(), nullptr);
}

TEST_F(XmlTree, SwapDetachAndDelete) {
  CXmlElement* r = Load(L"<r><a><x/><y/></a><b>t</b></r>");
  CXmlNode* a = r->FindChild(L"a", 0);
  CXmlNode* b = r->FindChild(L"b", 0);
  a->SwapChildren(b);
  EXPECT_EQ(PrintXml(r, 0), L"<r><a>t</a><b><x /><y /></b></r>");
  for (CXmlNode* c = b->FirstChild(); c; c = c->NextSibling()) EXPECT_EQ(c->Parent(), b);
  EXPECT_EQ(a->FirstChild()->Parent(), a);
  EXPECT_EQ(a->Children()->Owner(), a);
  a->SwapChildren(nullptr);
  a->SwapChildren(a);
  a->SwapChildren(a->FirstChild());  // a text node has no list to give
  EXPECT_EQ(PrintXml(a, 0), L"<a>t</a>");

  CXmlNode* x = b->FirstChild();
  CXmlNode* y = x->NextSibling();
  b->DetachChildren();
  EXPECT_EQ(b->FirstChild(), nullptr);
  EXPECT_EQ(x->Parent(), nullptr);
  EXPECT_EQ(x->NextSibling(), nullptr);
  ASSERT_TRUE(a->AppendChild(x));  // detached nodes can be appended elsewhere
  EXPECT_EQ(PrintXml(a, 0), L"<a>t<x /></a>");
  EXPECT_EQ(y->Parent(), nullptr);  // detached too: now the caller's to delete
  delete y;
  r->DeleteChildren();
  EXPECT_EQ(PrintXml(r, 0), L"<r />");
}

TEST_F(XmlTree, ChildLookups) {
  CXmlElement* r = Load(L"<r>t<a/><!--c--><a/><b/></r>", 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->FindChildElement(L"a", kXmlElement, 1), r->FindChild(L"a", 1));
  EXPECT_EQ(r->FindChildElement(L"a", kXmlElement, 2), nullptr);
  EXPECT_EQ(r->FindChildElement(nullptr, kXmlElement, 0), nullptr);
  CXmlNode* first = r->FirstChildOfType(kXmlElement);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->NamePtr(), L"a");
  CXmlNode* second = first->NextSiblingOfType(kXmlElement);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second, r->FindChild(L"a", 1));
  EXPECT_EQ(second->NextSiblingOfType(kXmlComment), nullptr);
  EXPECT_EQ(r->FirstChildOfType(kXmlCData), nullptr);
  EXPECT_EQ(r->FirstChild()->FindChild(L"a", 0), nullptr);
}

TEST_F(XmlTree, SpacePreservedByNearestAncestor) {
  CXmlElement* r = Load(L"<r xml:space=\"preserve\"><a><b xml:space=\"default\"><c/></b></a></r>");
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->IsSpacePreserved());
  EXPECT_TRUE(r->FindPath(L"/a")->ToElement()->IsSpacePreserved());
  EXPECT_FALSE(r->FindPath(L"/a/b/c")->ToElement()->IsSpacePreserved());
}

namespace {
std::vector<std::wstring>* g_events;
void Record(CXmlNode* node, uint32_t event, const XmlWalkPosition* p, uint32_t user1, uint32_t user2) {
  EXPECT_EQ(user1, 11u);
  EXPECT_EQ(user2, 22u);
  wchar_t line[96];
  swprintf(line, 96, L"%u %ls %u.%u.%u", event, node->NamePtr(), p->depth, p->index, p->count);
  g_events->push_back(line);
}
}  // namespace

TEST_F(XmlTree, QueryChildrenEventOrder) {
  CXmlElement* r = Load(L"<r skip=\"1\"><a x=\"1\" y=\"2\">t</a><!--c--><b/></r>");
  ASSERT_NE(r, nullptr);
  std::vector<std::wstring> events;
  g_events = &events;
  r->QueryChildren(Record, 11, 22);
  std::vector<std::wstring> expected = {
      L"0 r 0.0.0",        L"0 a 1.0.3",     L"2 a 1.0.3",        L"0 x 2.0.2",     L"1 x 2.0.2",
      L"0 y 2.1.2",        L"1 y 2.1.2",     L"5 a 1.0.3",        L"6 a 1.0.3",     L"0 #text 2.0.1",
      L"1 #text 2.0.1",    L"6 a 1.0.3",     L"1 a 1.0.3",        L"0 #comment 1.1.3", L"1 #comment 1.1.3",
      L"0 b 1.1.3",        L"1 b 1.1.3",     L"1 r 0.0.0"};
  EXPECT_EQ(events, expected);
}
