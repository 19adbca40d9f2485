#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/htmlview/HtmlDom.h"
#include "platform/htmlview/HtmlLayout.h"
#include "platform/htmlview/tests/ImportSlot.h"

using namespace htmlview;

namespace {

std::wstring BodyHtml(const std::wstring& html) {
  auto doc = Document::Parse(html);
  return doc->Body()->InnerHtml();
}

struct ParseCase {
  const wchar_t* html;
  const wchar_t* body;
};

const ParseCase kParseCases[] = {
    {L"<div>a<div>b", L"<div>a<div>b</div></div>"},
    {L"<table><tr><td><div>x</td><td>y</td></tr></table>z",
     L"<table><tr><td><div>x</div></td><td>y</td></tr></table>z"},
    {L"<table><tr><td>1<td>2<tr><td>3</table>", L"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>"},
    {L"<table><td>1</table>", L"<table><tr><td>1</td></tr></table>"},
    {L"<p>a<p>b", L"<p>a</p><p>b</p>"},
    {L"<b>x</i>y</b>", L"<b>xy</b>"},
    {L"<select><option value=1>one<option>two</select>",
     L"<select><option value=\"1\">one</option><option>two</option></select>"},
    {L"a &amp; b &lt;c&gt; &#65;&#x42; &nbsp;", L"a &amp; b &lt;c&gt; AB &nbsp;"},
    {L"&bogus; &#xZZ; &#99999999; &", L"&amp;bogus; &amp;#xZZ; &amp;#99999999; &amp;"},
    {L"x<!-- note -->t", L"x<!-- note -->t"},
    {L"<div id=a class='b c' title=\"q&quot;\" ID=dup>", L"<div id=\"a\" class=\"b c\" title=\"q&quot;\"></div>"},
    {L"<br/>x</br>", L"<br>x<br>"},
    {L"<div>1 < 2</div>", L"<div>1 &lt; 2</div>"},
    {L"<html><head><style>p{color:red}</style></head><body bgcolor=red>t</body></html>", L"t"},
    {L"<textarea><b>&amp;</b></textarea>", L"<textarea>&lt;b&gt;&amp;&lt;/b&gt;</textarea>"},
    {L"<div><span>unclosed", L"<div><span>unclosed</span></div>"},
    {L"<ul><li>a<li>b</ul>", L"<ul><li>a</li><li>b</li></ul>"},
};

TEST(HtmlParse, RepairsAndSerializes) {
  for (const ParseCase& c : kParseCases) {
    EXPECT_EQ(BodyHtml(c.html), c.body) << c.html;
  }
}

TEST(HtmlParse, HeadAndBodyAttributes) {
  auto doc = Document::Parse(L"<html><head><title>T</title><style>p{}</style></head><body bgcolor=red>t</body>");
  EXPECT_EQ(doc->Head()->InnerHtml(), L"<title>T</title><style>p{}</style>");
  EXPECT_EQ(doc->Body()->GetAttribute(L"bgcolor"), L"red");
}

// The page of the dictionary options dialog: its header row leaves a div open.
const wchar_t kGroupPage[] =
    L"<div id='main'><table id='tab_install' border='0' width='100%' cellpadding='0' cellspacing='0'>"
    L"<tr><td width='100%' nowrap><div style='background-color:#4988CA'>"
    L"<div nowrap align='center' style='float: right; width: 60; padding: 5px;'><b>Online</b></div>"
    L"<div nowrap style='padding: 5px;'><b>Query</b></div><div></td></tr>"
    L"<tr><td><div id='dict_00000001_ffffffff'><input id='chk_00000001_ffffffff' type='checkbox' value='y' checked>"
    L" One</div></td></tr>"
    L"<tr><td><div id='dict_00000002_ffffffff'><input id='chk_00000002_ffffffff' type='checkbox' value='y'>"
    L" Two</div></td></tr>"
    L"<tr><td><div id='dict_00000003_ffffffff'>Three</div></td></tr>"
    L"</table>"
    L"<select name='sel'><option value='a'>A</option><option value='b' selected>B</option></select>"
    L"<select name='empty'></select>"
    L"<textarea name='ta'>hello</textarea>"
    L"<span name='n'>first</span><span name='n'>second</span></div>";

class DocOps : public ::testing::Test {
 protected:
  void SetUp() override { doc = Document::Parse(kGroupPage); }
  std::unique_ptr<Document> doc;
};

TEST_F(DocOps, ItemByIdOrNameWithIndex) {
  struct {
    const wchar_t* name;
    int index;
    const wchar_t* text;
  } cases[] = {{L"n", 0, L"first"}, {L"n", 1, L"second"}, {L"n", 2, nullptr}, {L"dict_00000003_ffffffff", 0, L"Three"},
               {L"missing", 0, nullptr}, {L"", 0, nullptr}, {L"n", -1, nullptr}};
  for (const auto& c : cases) {
    Element* el = doc->GetItem(c.name, c.index);
    if (!c.text) {
      EXPECT_EQ(el, nullptr) << c.name << c.index;
    } else {
      ASSERT_NE(el, nullptr) << c.name << c.index;
      EXPECT_EQ(el->InnerText(), c.text);
    }
  }
}

TEST_F(DocOps, TableRowsAndMoveRow) {
  Element* table = doc->GetItem(L"tab_install");
  ASSERT_NE(table, nullptr);
  auto ids = [&] {
    std::wstring s;
    for (Element* r : table->Rows()) {
      Element* div = r->Child(0)->Child(0);
      s += div && div->Id().size() > 12 ? div->Id().substr(12, 1) : L"h";
    }
    return s;
  };
  EXPECT_EQ(ids(), L"h123");
  struct {
    int from, to;
    const wchar_t* after;
  } moves[] = {{3, 1, L"h312"}, {1, 3, L"h123"}, {2, 3, L"h132"}, {3, 2, L"h123"}, {1, 1, L"h123"}};
  for (const auto& m : moves) {
    EXPECT_NE(table->MoveRow(m.from, m.to), nullptr);
    EXPECT_EQ(ids(), m.after) << m.from << "->" << m.to;
  }
  EXPECT_EQ(table->MoveRow(0, 4), nullptr);
  EXPECT_EQ(table->MoveRow(-1, 0), nullptr);
  EXPECT_EQ(ids(), L"h123");
}

TEST_F(DocOps, CheckedStyleAttributesClass) {
  Element* c1 = doc->GetItem(L"chk_00000001_ffffffff");
  Element* c2 = doc->GetItem(L"chk_00000002_ffffffff");
  ASSERT_TRUE(c1 && c2);
  EXPECT_TRUE(c1->Checked());
  EXPECT_FALSE(c2->Checked());
  c2->SetChecked(true);
  EXPECT_TRUE(c2->Checked());

  Element* row = doc->GetItem(L"dict_00000002_ffffffff");
  row->SetStyleColor(L"backgroundColor", 0xFFF1D1);
  EXPECT_EQ(row->GetStyle(L"background-color"), L"#fff1d1");
  row->SetStyle(L"backgroundColor", L"transparent");
  EXPECT_EQ(row->GetStyle(L"backgroundColor"), L"transparent");
  row->SetStyle(L"display", L"none");
  EXPECT_NE(row->OuterHtml().find(L"display: none"), std::wstring::npos);
  EXPECT_EQ(row->OffsetHeight(), 0);
  row->SetStyle(L"display", L"");
  EXPECT_GT(row->OffsetHeight(), 0);

  row->SetAttribute(L"title", L"ID: 2");
  EXPECT_EQ(row->Title(), L"ID: 2");
  row->SetClassName(L"btn1_mouse_over");
  EXPECT_EQ(row->ClassName(), L"btn1_mouse_over");
  EXPECT_NE(row->OuterHtml().find(L"class=\"btn1_mouse_over\""), std::wstring::npos);
}

TEST_F(DocOps, ParentChainAndInnerHtml) {
  Element* c1 = doc->GetItem(L"chk_00000001_ffffffff");
  std::wstring chain;
  for (Element* p = c1; p; p = p->Parent()) chain += p->Tag() + L"/";
  EXPECT_EQ(chain, L"input/div/td/tr/table/div/body/html/");

  Element* main = doc->GetItem(L"main");
  EXPECT_TRUE(main->SetInnerHtml(L"<p id='x'>new &amp; <b>bold</b></p>"));
  EXPECT_EQ(doc->GetItem(L"tab_install"), nullptr);
  EXPECT_EQ(doc->GetItem(L"x")->OuterHtml(), L"<p id=\"x\">new &amp; <b>bold</b></p>");
  EXPECT_EQ(main->OuterHtml(), L"<div id=\"main\"><p id=\"x\">new &amp; <b>bold</b></p></div>");
}

TEST_F(DocOps, SelectOptions) {
  Element* sel = doc->GetItem(L"sel");
  ASSERT_NE(sel, nullptr);
  EXPECT_EQ(sel->SelectedIndex(), 1);
  EXPECT_EQ(sel->Value(), L"b");
  EXPECT_TRUE(sel->SetSelectedIndex(0));
  EXPECT_EQ(sel->Value(), L"a");
  EXPECT_FALSE(sel->SetSelectedIndex(2));
  EXPECT_TRUE(sel->SetSelectedIndex(-1));
  EXPECT_EQ(sel->SelectedIndex(), -1);
  EXPECT_EQ(sel->Value(), L"");

  // Emptied from the last to the first, then filled: the way the program refills lists.
  for (int i = static_cast<int>(sel->Options().size()) - 1; i >= 0; --i) EXPECT_TRUE(sel->RemoveOption(i));
  EXPECT_TRUE(sel->Options().empty());
  EXPECT_EQ(sel->SelectedIndex(), -1);
  EXPECT_FALSE(sel->RemoveOption(0));
  const wchar_t* values[] = {L"en", L"fr", L"de"};
  for (const wchar_t* v : values) {
    Element* o = doc->CreateElement(L"OPTION");
    o->SetValue(v);
    o->SetInnerText(std::wstring(L"<lang> ") + v);
    EXPECT_TRUE(sel->AddOption(o));
  }
  ASSERT_EQ(sel->Options().size(), 3u);
  EXPECT_EQ(sel->Options()[2]->Value(), L"de");
  EXPECT_EQ(sel->Options()[2]->InnerText(), L"<lang> de");
  EXPECT_EQ(sel->Options()[2]->OuterHtml(), L"<option value=\"de\">&lt;lang&gt; de</option>");
  EXPECT_TRUE(sel->SetSelectedIndex(2));
  EXPECT_EQ(sel->Value(), L"de");
  EXPECT_EQ(doc->GetItem(L"empty")->SelectedIndex(), -1);
}

TEST_F(DocOps, TextAreaValue) {
  Element* ta = doc->GetItem(L"ta");
  EXPECT_EQ(ta->Value(), L"hello");
  ta->SetValue(L"changed");
  EXPECT_EQ(ta->Value(), L"changed");
}

TEST_F(DocOps, SelectionAndText) {
  EXPECT_EQ(doc->SelectionType(), L"None");
  doc->SelectAll();
  EXPECT_EQ(doc->SelectionType(), L"Text");
  std::wstring all = doc->SelectionText();
  EXPECT_NE(all.find(L"Online"), std::wstring::npos);
  EXPECT_NE(all.find(L"Three"), std::wstring::npos);
  doc->ClearSelection();
  EXPECT_EQ(doc->SelectionType(), L"None");
  EXPECT_EQ(doc->SelectionText(), L"");

  EXPECT_TRUE(doc->FindText(L"two", false));
  EXPECT_EQ(doc->SelectionText(), L"Two");
  EXPECT_FALSE(doc->FindText(L"two", true, false));
}

TEST(HtmlDom, ResolvesRelativeUrls) {
  auto doc = Document::Parse(L"", L"C:\\data\\start.htm");
  EXPECT_EQ(doc->ResolveUrl(L"img/a.png"), L"C:\\data\\img\\a.png");
  EXPECT_EQ(doc->ResolveUrl(L"app://dictinfo/1"), L"app://dictinfo/1");
  EXPECT_EQ(doc->ResolveUrl(L"D:\\x.png"), L"D:\\x.png");
  EXPECT_EQ(doc->ResolveUrl(L"file:///C:/y/z.png"), L"C:\\y\\z.png");
}

// ------------------------------------------------------------ geometry

bool FixedPitch(FontInfo* f) { return f->CharWidth(L'i') == f->CharWidth(L'm') && f->CharWidth(L'i') > 0; }

TEST(HtmlLayout, BlockWrapsTextIntoLines) {
  FontInfo* f = GetFont(L"DejaVu Sans Mono", 13, false, false, false, false);
  if (!FixedPitch(f)) GTEST_SKIP() << "no fixed-pitch font";
  const int cw = f->CharWidth(L'a');
  const int perLine = 100 / cw;  // characters that fit in 100 px
  // Words of 3 letters: "aaa bbb ..." fits (perLine + 1) / 4 words per line.
  std::wstring text;
  const wchar_t* words[] = {L"aaa", L"bbb", L"ccc", L"ddd", L"eee", L"fff", L"ggg", L"hhh"};
  for (const wchar_t* w : words) text += std::wstring(w) + L" ";
  auto doc = Document::Parse(L"<body style='margin:0'><div id='d' style='width:100px; font-family:\"DejaVu Sans Mono\";"
                             L" font-size:13px'>" + text + L"</div></body>");
  Element* d = doc->GetItem(L"d");
  EXPECT_EQ(d->OffsetWidth(), 100);
  LayoutData* ld = d->Layout();
  ASSERT_NE(ld, nullptr);
  int wordsPerLine = (perLine + 1) / 4;
  size_t expectedLines = (8 + wordsPerLine - 1) / wordsPerLine;
  ASSERT_EQ(ld->lines.size(), expectedLines);
  size_t word = 0;
  for (const LineBox& line : ld->lines) {
    std::wstring got;
    for (uint32_t k = line.first; k < line.first + line.count; ++k) {
      const Fragment& fr = ld->frags[k];
      if (fr.kind == FragKind::kText) got += fr.node->Text().substr(fr.start, fr.length);
    }
    std::wstring want;
    for (int k = 0; k < wordsPerLine && word < 8; ++k, ++word) want += (want.empty() ? L"" : L" ") + std::wstring(words[word]);
    EXPECT_EQ(got, want);
    EXPECT_LE(ld->frags[line.first + line.count - 1].x + ld->frags[line.first + line.count - 1].w, 100);
  }
  EXPECT_EQ(d->OffsetHeight(), static_cast<int>(expectedLines) * f->height);
}

TEST(HtmlLayout, EastAsianTextWrapsBetweenCharacters) {
  std::wstring text(40, 0x6F22);  // one unbroken run of ideographs
  auto doc = Document::Parse(L"<div id='d' style='width:100px'>" + text + L"</div>");
  Element* d = doc->GetItem(L"d");
  d->OffsetWidth();
  LayoutData* ld = d->Layout();
  ASSERT_GT(ld->lines.size(), 1u);
  for (const LineBox& line : ld->lines) {
    const Fragment& last = ld->frags[line.first + line.count - 1];
    EXPECT_LE(last.x + last.w, 100);
  }
  // Drawn with a font that has the glyphs, when the system has one.
  FontInfo* font = ld->frags[0].font;
  if (font->ForChar(0x6F22) == font && !font->HasGlyph(0x6F22)) GTEST_SKIP() << "no East Asian font";
  EXPECT_TRUE(font->HasGlyph(0x6F22));
}

// A word wider than its line (a long unknown word on a result page) would be
// cut at the view's edge: it is broken between its characters, each line
// taking what fits, and nothing of it is lost. Without wrapping it stays whole.
TEST(HtmlLayout, AWordWiderThanItsLineIsBrokenBetweenItsCharacters) {
  const std::wstring word(60, L'w');
  struct Case {
    const wchar_t* style;
    bool wraps;
  } const cases[] = {{L"", true}, {L"white-space:nowrap", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style '" << c.style << "'");
    auto doc = Document::Parse(L"<body style='margin:0'><div id='d' style='width:100px; " + std::wstring(c.style) +
                               L"'>no entry for <b>" + word + L"</b>.</div></body>");
    Element* d = doc->GetItem(L"d");
    d->OffsetWidth();
    LayoutData* ld = d->Layout();
    ASSERT_NE(ld, nullptr);
    std::vector<std::wstring> lines;
    int widest = 0;
    for (const LineBox& line : ld->lines) {
      std::wstring text;
      for (uint32_t k = line.first; k < line.first + line.count; ++k) {
        const Fragment& fr = ld->frags[k];
        if (fr.kind != FragKind::kText) continue;
        text += fr.node->Text().substr(fr.start, fr.length);
        widest = std::max(widest, fr.x + fr.w);
      }
      lines.push_back(text);
    }
    std::wstring all;
    for (const std::wstring& text : lines) all += text;
    EXPECT_EQ(all, L"no entry for" + word + L".");  // the blank before the word is a gap, no text
    if (c.wraps) {
      ASSERT_GE(lines.size(), 3u);
      EXPECT_EQ(lines[0], L"no entry for");
      EXPECT_LE(widest, 100);
    } else {
      EXPECT_EQ(lines.size(), 1u);
      EXPECT_GT(widest, 100);
    }
  }
}

TEST(HtmlLayout, NowrapEllipsisAndFloats) {
  auto doc = Document::Parse(
      L"<body style='margin:0'><div id='row' nowrap style='width:80px; text-overflow:ellipsis; overflow:hidden'>"
      L"a very long label that does not fit</div>"
      L"<div id='box' style='width:200px'><div id='f' style='float:right; width:60; padding:2'>x</div>"
      L"<div id='t'>text</div></div></body>");
  Element* row = doc->GetItem(L"row");
  EXPECT_EQ(row->OffsetWidth(), 80);
  LayoutData* ld = row->Layout();
  ASSERT_EQ(ld->lines.size(), 1u);
  const Fragment& last = ld->frags.back();
  EXPECT_EQ(last.kind, FragKind::kEllipsis);
  EXPECT_LE(last.x + last.w, 80);
  Element* f = doc->GetItem(L"f");
  EXPECT_EQ(f->OffsetWidth(), 60);
  EXPECT_EQ(f->PageBox().left, 140);
  EXPECT_EQ(f->PageBox().top, doc->GetItem(L"t")->PageBox().top);
}

TEST(HtmlLayout, TableColumnsAndOffsets) {
  auto doc = Document::Parse(
      L"<body style='margin:0'><table id='t' width='300' cellspacing='0' cellpadding='0' border='0'>"
      L"<tr><td id='a' nowrap>abc</td><td id='b' width='100%'>wide</td><td id='c' nowrap>xyz</td></tr>"
      L"<tr><td>1</td><td><span id='s'>in</span></td><td>3</td></tr></table></body>");
  Element* t = doc->GetItem(L"t");
  Element* a = doc->GetItem(L"a");
  Element* b = doc->GetItem(L"b");
  Element* c = doc->GetItem(L"c");
  EXPECT_EQ(t->OffsetWidth(), 300);
  EXPECT_EQ(a->OffsetWidth() + b->OffsetWidth() + c->OffsetWidth(), 300);
  EXPECT_GT(b->OffsetWidth(), a->OffsetWidth() * 3);
  EXPECT_EQ(c->PageBox().left + c->OffsetWidth(), 300);
  // offsetLeft/Top summed up the offsetParent chain give the page position.
  Element* s = doc->GetItem(L"s");
  int x = 0, y = 0;
  for (Element* e = s; e; e = e->OffsetParent()) {
    x += e->OffsetLeft();
    y += e->OffsetTop();
  }
  EXPECT_EQ(x, s->PageBox().left);
  EXPECT_EQ(y, s->PageBox().top);
  EXPECT_EQ(s->OffsetParent()->Tag(), L"td");
}

TEST(HtmlLayout, ScrollIntoViewAndScrollTo) {
  std::wstring html = L"<body>";
  for (int i = 0; i < 100; ++i) html += L"<div id='r" + std::to_wstring(i) + L"'>row</div>";
  auto doc = Document::Parse(html);
  doc->SetViewport(300, 200);
  Element* r50 = doc->GetItem(L"r50");
  r50->ScrollIntoView(true);
  EXPECT_EQ(doc->ScrollY(), r50->PageBox().top);
  EXPECT_EQ(doc->Body()->ScrollTop(), doc->ScrollY());
  r50->ScrollIntoView(false);
  EXPECT_EQ(doc->ScrollY() + 200, r50->PageBox().top + r50->OffsetHeight());
  doc->ScrollTo(0, 0);
  EXPECT_EQ(doc->ScrollY(), 0);
  doc->ScrollTo(0, 1000000);
  EXPECT_EQ(doc->ScrollY(), doc->ContentHeight() - 200);
  EXPECT_EQ(doc->Body()->ClientHeight(), 200);
}

// An inline element's box takes in everything inside it, on every line it
// spans: the outer elements' own text lies on the first line, their
// children's on the lines below, in two runs of text parted by a block.
TEST(HtmlLayout, InlineBoxesTakeInTheirChildrenOnEveryLine) {
  auto doc = Document::Parse(L"<div id=d style='width:10px'><span id=o>aa <b id=m>bb <i id=i>cc dd</i> ee</b></span>"
                             L"<div>block</div><span id=p>ff<br><u id=u>gg</u> hh</span></div>");
  doc->SetViewport(400, 300);
  doc->EnsureLayout();
  const LayoutData& box = *doc->GetItem(L"d")->Layout();
  ASSERT_GE(box.lines.size(), 8u);  // a word a line
  auto contains = [](const LayoutData& outer, int l, int t, int r, int b) {
    return outer.x <= l && outer.y <= t && outer.x + outer.w >= r && outer.y + outer.h >= b;
  };
  const struct {
    const wchar_t* id;
    const wchar_t* child;
  } elements[] = {{L"o", L"m"}, {L"m", L"i"}, {L"i", nullptr}, {L"p", L"u"}, {L"u", nullptr}};
  for (const auto& e : elements) {
    const Element* el = doc->GetItem(e.id);
    const LayoutData& ld = *el->Layout();
    ASSERT_TRUE(ld.laidOut) << e.id;
    for (const Fragment& f : box.frags) {
      if (f.kind != FragKind::kText) continue;
      bool inside = false;
      for (const Element* a = f.node->Parent(); a && !inside; a = a->Parent()) inside = a == el;
      if (inside) {
        EXPECT_TRUE(contains(ld, f.x, f.y, f.x + f.w, f.y + f.h))
            << e.id << " and " << f.node->Text().substr(f.start, f.length).c_str();
      }
    }
    if (e.child) {
      const LayoutData& cl = *doc->GetItem(e.child)->Layout();
      EXPECT_TRUE(contains(ld, cl.x, cl.y, cl.x + cl.w, cl.y + cl.h)) << e.id << " and " << e.child;
    }
  }
}

// ------------------------------------------------------------ bad input

void RenderAll(Document& doc) {
  doc.SetViewport(400, 300);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 400, 300);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r = {0, 0, 400, 300};
  doc.Paint(dc, r);
  doc.ScrollTo(0, doc.ContentHeight());
  doc.Paint(dc, r);
  doc.SelectAll();
  doc.SelectionText();
  doc.Body()->OuterHtml();
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

TEST(HtmlBadInput, RendersWithoutCrashOrHang) {
  std::vector<std::wstring> pages;
  std::wstring nested;
  for (int i = 0; i < 10000; ++i) nested += (i % 3 == 0) ? L"<div>" : (i % 3 == 1) ? L"<span>" : L"<table><tr><td>";
  nested += L"deep";
  pages.push_back(nested);
  std::wstring closing = nested;
  for (int i = 0; i < 10000; ++i) closing += L"</div></span></td></tr></table>";
  pages.push_back(closing);
  pages.push_back(L"<div id='" + std::wstring(1 << 20, L'x') + L"' title=\"" + std::wstring(1 << 18, L'&') + L"\">t");
  pages.push_back(L"&#; &#x; &#xFFFFFFFFFF; &#65 &amp &; &&&& &#x110000; <a href='&#0;'>x</a>");
  pages.push_back(L"<table><tr><td><table><td><tr></table></td><td colspan=99999>x</table></div></span></p>");
  pages.push_back(L"<div style='width:-5px; padding:-3px; font-size:99999px; border:99999px solid'>x</div>");
  pages.push_back(L"<<<<>>>></><!--<!----><!DOCTYPE<?x <a b c='d> <style>p{{{color:</style");
  pages.push_back(std::wstring(300000, L'w'));
  // Preformatted blanks inside boxes whose widths are measured (table cells, inline blocks).
  pages.push_back(L"<table><tr><td>x<pre>a  b\r\n c </pre></td></tr></table>"
                  L"<div style='display:inline-block'><pre> \t </pre></div>");
  // The same sheets again and again, each followed by elements they match.
  std::wstring sheets;
  for (int i = 0; i < 5000; ++i) sheets += L"<style>p{margin:1px}</style><style>b{color:red}</style><p>text<b>bold</b></p>";
  pages.push_back(sheets);
  for (const auto& html : pages) {
    auto start = std::chrono::steady_clock::now();
    auto doc = Document::Parse(html);
    RenderAll(*doc);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    // A hang, not a speed check: a quadratic walk over these pages takes minutes, a linear one
    // well under a second, so the bound leaves room for a loaded or emulated machine.
    EXPECT_LT(ms, 10000.0) << html.substr(0, 60).c_str();
  }
}

// Backgrounds of inline elements: one rectangle per element and line, over
// all of its text on that line, nested elements' text included.
TEST(HtmlBadInput, InlineBackgroundsHaveOneRectanglePerElementAndLine) {
  auto doc = Document::Parse(L"<div id=d><span id=s style='background-color:#ff0000'>aa <b>bb</b></span> "
                             L"<i id=c style='background-color:#0000ff'>cc</i></div>");
  Element* div = doc->GetItem(L"d");
  Element* span = doc->GetItem(L"s");
  Element* italic = doc->GetItem(L"c");
  doc->SetViewport(400, 300);
  doc->EnsureLayout();
  const std::vector<DecorRect>& decor = div->Layout()->decor;
  ASSERT_EQ(decor.size(), 2u);
  const DecorRect& red = decor[0];
  const DecorRect& blue = decor[1];
  EXPECT_EQ(red.element, span);
  EXPECT_EQ(blue.element, italic);
  EXPECT_EQ(red.x, span->Layout()->x);
  EXPECT_EQ(red.w, span->Layout()->w);
  // The element's box begins where it was opened, before the blank; its background with its text.
  EXPECT_GE(blue.x, italic->Layout()->x);
  EXPECT_EQ(blue.x + blue.w, italic->Layout()->x + italic->Layout()->w);
  EXPECT_LT(red.x + red.w, blue.x);
  // A word a line: the span's two words make a rectangle each, one below the other.
  int widest = 0;
  for (const Fragment& f : div->Layout()->frags) widest = std::max(widest, f.kind == FragKind::kText ? f.w : 0);
  doc->SetViewport(2 * div->PageBox().left + widest + 2, 300);  // the body's margins and the widest word
  doc->EnsureLayout();
  ASSERT_EQ(decor.size(), 3u);
  EXPECT_EQ(decor[0].element, span);
  EXPECT_EQ(decor[1].element, span);
  EXPECT_EQ(decor[2].element, italic);
  EXPECT_GE(decor[1].y, decor[0].y + decor[0].h);
  EXPECT_GE(decor[2].y, decor[1].y + decor[1].h);
  // Nested backgrounds: the outer one lies under the inner one, whichever
  // element's text comes first on the line.
  auto nested = Document::Parse(L"<div id=d><span id=o style='background-color:#ff0000'><b id=i "
                                L"style='background-color:#0000ff'>bb</b> aa</span></div>");
  nested->SetViewport(400, 300);
  nested->EnsureLayout();
  const std::vector<DecorRect>& rects = nested->GetItem(L"d")->Layout()->decor;
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].element, nested->GetItem(L"o"));
  EXPECT_EQ(rects[1].element, nested->GetItem(L"i"));
  EXPECT_LT(rects[1].x + rects[1].w, rects[0].x + rects[0].w);
}

// Processor time of this process in ms: on a shared machine the clock would
// blame a page for a busy neighbour.
double ProcessorMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) { return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

// Processor time of markup set into a page's body and laid out.
double ParseAndLayoutMs(const std::wstring& html) {
  auto doc = Document::Parse(L"<html><body></body></html>");
  const double start = ProcessorMs();
  doc->Body()->SetInnerHtml(html);
  doc->SetViewport(320, 240);
  doc->EnsureLayout();
  return ProcessorMs() - start;
}

// Elements nested past the parser's depth cap with many small elements below:
// each end tag was looked for by a walk down the whole open stack, and each
// level of an inline nesting in a table cell walked its whole subtree when the
// cell was measured, so the time went with the depth times the size. Nested,
// the page now costs about what the same elements side by side cost.
TEST(HtmlBadInput, DeepNestingCostsAboutWhatTheFlatPageCosts) {
  std::wstring nested, sideBySide, many;
  for (int i = 0; i < 300; ++i) nested += L"<span>", sideBySide += L"<span></span>";
  for (int i = 0; i < 10000; ++i) many += L"<i></i>";
  struct Shape {
    const char* name;
    std::wstring before;
  };
  const Shape shapes[] = {{"in a table cell", L"<table><tr><td>"}, {"in a block", L"<div>"}};
  ParseAndLayoutMs(L"<table><tr><td><span>warm the fonts</span></td></tr></table>");
  for (const Shape& shape : shapes) {
    const double flat = ParseAndLayoutMs(shape.before + sideBySide + many);
    const double deep = ParseAndLayoutMs(shape.before + nested + many);
    EXPECT_LT(deep, 2 * flat + 150) << shape.name << ": flat " << flat << " ms";
  }
}

// Processor time of closing a laid-out page of form controls.
double CloseMs(int controls) {
  std::wstring html;
  for (int i = 0; i < controls; ++i) html += L"<input>";
  auto doc = Document::Parse(html);
  doc->SetViewport(320, 240);
  doc->EnsureLayout();
  const double start = ProcessorMs();
  doc->Body()->SetInnerHtml(L"");  // the page's list of controls is kept up to date
  doc.reset();
  return ProcessorMs() - start;
}

// Each form control that went was looked for in the page's list of laid-out
// controls and taken out of it one by one: a page of thousands of controls
// took the square of their number to close.
TEST(HtmlBadInput, ClosingAPageOfControlsIsLinear) {
  const double small = CloseMs(4000), big = CloseMs(32000);
  EXPECT_LT(big, 16 * small + 200) << "4000 controls: " << small << " ms";
}

// Processor time of laying a page out again for new widths, the least of
// three passes.
double RelayoutMs(Document& doc, int width) {
  double least = 1e9;
  for (int w = width; w < width + 3; ++w) {
    doc.SetViewport(w, 240);
    const double start = ProcessorMs();
    doc.EnsureLayout();
    least = std::min(least, ProcessorMs() - start);
  }
  return least;
}

// Thousands of elements on one line, hundreds of levels below their block:
// each element's rectangle was added to every one of its ancestors, so the
// line took the depth times the number of elements.
TEST(HtmlBadInput, ElementsDeepInOneLineCostWhatShallowOnesCost) {
  std::wstring deep, shallow, many;
  for (int i = 0; i < 250; ++i) deep += L"<span>", shallow += L"<span></span>";
  for (int i = 0; i < 20000; ++i) many += L"<b></b>";
  auto deepDoc = Document::Parse(deep + many);
  auto shallowDoc = Document::Parse(shallow + many);
  const double deepMs = RelayoutMs(*deepDoc, 300), shallowMs = RelayoutMs(*shallowDoc, 300);
  EXPECT_LT(deepMs, 1.5 * shallowMs + 50) << "shallow " << shallowMs << " ms";
}

// A result page whose links were never closed: they nest down to the
// parser's depth cap, and every line after that lies in hundreds of them.
// Each line visited every element open on it, so a narrow layout, a word a
// line, took the depth times the number of lines.
TEST(HtmlBadInput, LinesInDeepNestingCostWhatLinesInAFlatPageCost) {
  const std::wstring unit = L" <font color='#366AB3'>noun</font> a word &amp; more <i>example</i> ";
  std::wstring nested, closed;
  for (int i = 0; i < 1000; ++i) nested += unit + L"<a b>", closed += unit + L"<a b></a>";
  auto deepDoc = Document::Parse(nested);
  auto flatDoc = Document::Parse(closed);
  const double deepMs = RelayoutMs(*deepDoc, 37), flatMs = RelayoutMs(*flatDoc, 37);
  EXPECT_LT(deepMs, 2 * flatMs + 50) << "flat " << flatMs << " ms";
}

}  // namespace

namespace {

// ------------------------------------------------------------ styles

Style* StyleOfId(Document& doc, const wchar_t* id) {
  doc.EnsureLayout();
  Element* el = doc.GetItem(id);
  return el ? el->ComputedStyle() : nullptr;
}

// A pass for a new width keeps the styles; a change of the markup makes
// them anew.
TEST(HtmlStyle, NewWidthKeepsStylesAndChangesRestyle) {
  auto doc = Document::Parse(L"<div id='a' style='color:#111111'>text</div>");
  const Style* first = StyleOfId(*doc, L"a");
  ASSERT_NE(first, nullptr);
  doc->SetViewport(123, 45);
  EXPECT_EQ(StyleOfId(*doc, L"a"), first);
  doc->GetItem(L"a")->SetStyle(L"color", L"#222222");
  Style* changed = StyleOfId(*doc, L"a");
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->color, RGB(0x22, 0x22, 0x22));
  doc->GetItem(L"a")->SetInnerHtml(L"<b id='b'>bold</b>");
  Style* bold = StyleOfId(*doc, L"b");
  ASSERT_NE(bold, nullptr);
  EXPECT_TRUE(bold->bold);
  EXPECT_EQ(bold->color, RGB(0x22, 0x22, 0x22));
}

// A sheet given again still wins over the sheets between its copies.
TEST(HtmlStyle, RepeatedSheetsKeepTheirPlaceInTheCascade) {
  const struct {
    const wchar_t* sheets;
    COLORREF color;
  } cases[] = {
      {L"<style>p{color:#111111}</style><style>p{color:#222222}</style>", RGB(0x22, 0x22, 0x22)},
      {L"<style>p{color:#111111}</style><style>p{color:#222222}</style><style>p{color:#111111}</style>",
       RGB(0x11, 0x11, 0x11)},
      {L"<style>p{color:#111111}</style><style>p{color:#111111}</style><style>p{color:#222222}</style>",
       RGB(0x22, 0x22, 0x22)},
      {L"<style>#x{color:#333333}</style><style>p{color:#222222}</style><style>#x{color:#333333}</style>",
       RGB(0x33, 0x33, 0x33)},
  };
  for (const auto& c : cases) {
    auto doc = Document::Parse(std::wstring(c.sheets) + L"<p id='x'>t</p>");
    Style* s = StyleOfId(*doc, L"x");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->color, c.color) << c.sheets;
  }
}

TEST(HtmlStyle, CascadeOfSheetsAttributesAndInlineStyles) {
  auto doc = Document::Parse(
      L"<html><head><style>\n/* rules */ div{color:#111111} .c{color:#222222; font-weight:bold}"
      L" #i{color:#333333} div .d{font-style:italic} td.cell{padding:7px} a:link{color:#444444}"
      L" p:hover{color:red}</style></head><body>"
      L"<div id='i' class='c' style='color:#555555'>a</div><div id='cls' class='x c'>b</div>"
      L"<div id='tag'>c</div><div><span id='desc' class='d'>d</span></div><span id='nodesc' class='d'>e</span>"
      L"<a id='lnk' href='x'>f</a><p id='hov'>g</p>"
      L"<table cellpadding='3' border='1' bordercolor='#4273B7'><tr><td id='pad'>x</td>"
      L"<td id='cell' class='cell'>y</td></tr></table></body></html>");
  struct {
    const wchar_t* id;
    COLORREF color;
  } colors[] = {{L"i", RGB(0x55, 0x55, 0x55)}, {L"cls", RGB(0x22, 0x22, 0x22)}, {L"tag", RGB(0x11, 0x11, 0x11)},
                {L"lnk", RGB(0x44, 0x44, 0x44)}, {L"hov", RGB(0, 0, 0)}};
  for (const auto& c : colors) {
    Style* s = StyleOfId(*doc, c.id);
    ASSERT_NE(s, nullptr) << c.id;
    EXPECT_EQ(s->color, c.color) << c.id;
  }
  EXPECT_TRUE(StyleOfId(*doc, L"cls")->bold);
  EXPECT_TRUE(StyleOfId(*doc, L"desc")->italic);
  EXPECT_FALSE(StyleOfId(*doc, L"nodesc")->italic);
  Style* pad = StyleOfId(*doc, L"pad");
  EXPECT_EQ(pad->padding[0], 3);
  EXPECT_EQ(pad->border[3].width, 1);
  EXPECT_EQ(pad->border[3].color, RGB(0x42, 0x73, 0xB7));
  EXPECT_EQ(StyleOfId(*doc, L"cell")->padding[1], 7);
}

struct DeclCase {
  const wchar_t* style;
  void (*check)(const Style&);
};

const DeclCase kDeclCases[] = {
    {L"padding:2 4 5 4", [](const Style& s) { EXPECT_EQ(s.padding, (std::array<int, 4>{2, 4, 5, 4})); }},
    {L"padding: 4px 0", [](const Style& s) { EXPECT_EQ(s.padding, (std::array<int, 4>{4, 0, 4, 0})); }},
    {L"margin:2 2 2 40", [](const Style& s) { EXPECT_EQ(s.margin[3], 40); }},
    {L"margin: 10 0 0 0", [](const Style& s) { EXPECT_EQ(s.margin[0], 10); }},
    {L"border:1 solid #E3E3E3",
     [](const Style& s) {
       EXPECT_EQ(s.border[0].width, 1);
       EXPECT_EQ(s.border[2].color, RGB(0xE3, 0xE3, 0xE3));
     }},
    {L"border-bottom: 1px solid #92B0DD",
     [](const Style& s) {
       EXPECT_EQ(s.border[2].width, 1);
       EXPECT_EQ(s.border[0].width, 0);
     }},
    {L"border-bottom:0px solid #4273B7", [](const Style& s) { EXPECT_EQ(s.border[2].width, 0); }},
    {L"font-size:9pt", [](const Style& s) { EXPECT_EQ(s.fontPx, 12); }},
    {L"font-size:13px; font-family:\"Arial\", sans-serif",
     [](const Style& s) {
       EXPECT_EQ(s.fontPx, 13);
       EXPECT_EQ(s.family, L"Arial");
     }},
    {L"font-weight:bold; font-style:italic; text-decoration:underline",
     [](const Style& s) { EXPECT_TRUE(s.bold && s.italic && s.underline); }},
    {L"background-color:#ffffe0", [](const Style& s) { EXPECT_EQ(s.background, RGB(0xFF, 0xFF, 0xE0)); }},
    {L"background-color:transparent", [](const Style& s) { EXPECT_FALSE(s.hasBackground); }},
    {L"color:rgb(1, 2, 3)", [](const Style& s) { EXPECT_EQ(s.color, RGB(1, 2, 3)); }},
    {L"width:100%; height:60", [](const Style& s) {
       EXPECT_EQ(s.width.unit, Length::kPercent);
       EXPECT_EQ(s.height.value, 60);
     }},
    {L"display:none", [](const Style& s) { EXPECT_EQ(s.display, Display::kNone); }},
    {L"float: right; overflow: hidden; text-overflow:ellipsis", [](const Style& s) {
       EXPECT_TRUE(s.floatRight && s.clip && s.ellipsis);
     }},
    {L"overflow:auto", [](const Style& s) { EXPECT_TRUE(s.clip); }},
    {L"line-height: 1.2em; white-space:nowrap; text-align:center", [](const Style& s) {
       EXPECT_EQ(s.lineHeight, 19);
       EXPECT_EQ(s.whiteSpace, WhiteSpace::kNoWrap);
       EXPECT_EQ(s.textAlign, Align::kCenter);
     }},
    {L"border-collapse: collapse", [](const Style& s) { EXPECT_TRUE(s.collapse); }},
    {L"color:#12; width:abc; padding:x; font-size:-3px", [](const Style& s) {
       EXPECT_EQ(s.color, RGB(0, 0, 0));
       EXPECT_TRUE(s.width.IsAuto());
       EXPECT_EQ(s.fontPx, 16);
     }},
};

TEST(HtmlStyle, Declarations) {
  for (const DeclCase& c : kDeclCases) {
    auto doc = Document::Parse(std::wstring(L"<div id='x' style='") + c.style + L"'>t</div>");
    Style* s = StyleOfId(*doc, L"x");
    ASSERT_NE(s, nullptr);
    SCOPED_TRACE(testing::Message() << std::string(c.style, c.style + wcslen(c.style)));
    c.check(*s);
  }
}

TEST(HtmlLayout, RightToLeftAlignsRight) {
  auto doc = Document::Parse(L"<body style='margin:0'><div id='r' dir='rtl' style='width:300px'>abc</div>"
                             L"<div id='l' dir='ltr' style='width:300px'>abc</div></body>");
  doc->EnsureLayout();
  const Fragment& r = doc->GetItem(L"r")->Layout()->frags.back();
  const Fragment& l = doc->GetItem(L"l")->Layout()->frags.back();
  EXPECT_EQ(l.x, 0);
  EXPECT_EQ(r.x + r.w, 300);
}

TEST(HtmlDom, ElementsLeaveSelectionAndHandlesBehind) {
  auto doc = Document::Parse(L"<div id='m'><p id='p'>text</p></div>");
  doc->SelectAll();
  EXPECT_TRUE(doc->HasSelection());
  uint32_t removals = doc->Removals();
  doc->GetItem(L"m")->SetInnerHtml(L"<b>new</b>");
  EXPECT_FALSE(doc->HasSelection());
  EXPECT_GT(doc->Removals(), removals);
  EXPECT_EQ(doc->GetItem(L"p"), nullptr);
}

}  // namespace

namespace {

// ------------------------------------------------------------ text output

// The cursor-translation hook patches the process's import of ExtTextOutW
// from gdi32; so does this test, and every piece of page text must pass.
TEST(HtmlPaint, AllPageTextGoesThroughImportedExtTextOutW) {
  for (const char* other : {"TextOutW", "DrawTextW", "DrawTextExW", "PolyTextOutW", "TabbedTextOutW"}) {
    EXPECT_EQ(FindImport("gdi32.dll", other), nullptr) << other;
    EXPECT_EQ(FindImport("user32.dll", other), nullptr) << other;
  }
  auto doc = Document::Parse(L"<div>plain <b>bold</b> <a href='x'>link</a></div><table><tr><td>cell</td></tr></table>"
                             L"<div nowrap style='width:40px; overflow:hidden; text-overflow:ellipsis'>cut off text</div>");
  doc->SelectAll();
  std::wstring drawn;
  {
    DrawnTextCapture capture;
    ASSERT_TRUE(capture.Active());
    RenderAll(*doc);
    drawn = capture.Text();
  }
  for (const wchar_t* word : {L"plain", L"bold", L"link", L"cell", L"..."}) {
    EXPECT_NE(drawn.find(word), std::wstring::npos) << std::string(word, word + wcslen(word));
  }
}

// A page without a window (the copy that print preview lays out) has no
// control windows: its form controls are drawn by the page itself, each
// showing its state, and their text goes the way of all page text.
TEST(HtmlPaint, FormControlsWithoutWindowsAreDrawnWithTheirState) {
  auto doc = Document::Parse(
      L"<body style='margin:0'><textarea id='t' cols=20 rows=3></textarea><br>"
      L"<select id='s'><option>English<option>German</select> <input id='b' type=button value='Translate'> "
      L"<input id='c' type=checkbox></body>");
  doc->GetItem(L"t")->SetValue(L"typed words");
  doc->GetItem(L"s")->SetSelectedIndex(1);
  doc->GetItem(L"c")->SetChecked(true);
  constexpr int kW = 400, kH = 200;
  doc->SetViewport(kW, kH);
  BITMAPINFO bi = {};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bmp, nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r = {0, 0, kW, kH};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  std::wstring drawn;
  {
    DrawnTextCapture capture;
    ASSERT_TRUE(capture.Active());
    doc->Paint(dc, r);
    drawn = capture.Text();
  }
  GdiFlush();
  const uint32_t* px = static_cast<const uint32_t*>(bits);
  auto inkIn = [&](const wchar_t* id) {
    PageRect box = doc->GetItem(id)->PageBox();
    int ink = 0;
    for (int y = box.top; y < box.top + box.height && y < kH; ++y)
      for (int x = box.left; x < box.left + box.width && x < kW; ++x) ink += (px[y * kW + x] & 0xFFFFFF) != 0xFFFFFF;
    return ink;
  };
  for (const wchar_t* id : {L"t", L"s", L"b", L"c"}) EXPECT_GT(inkIn(id), 0) << "no box drawn for #" << id;
  for (const wchar_t* text : {L"typed words", L"German", L"Translate"}) {
    EXPECT_NE(drawn.find(text), std::wstring::npos) << "not drawn: " << std::string(text, text + wcslen(text));
  }
  EXPECT_EQ(drawn.find(L"English"), std::wstring::npos);  // only the chosen option shows
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

}  // namespace

#include "core/BmpImage.h"
#include "guictl/ImageFile.h"

namespace {

// ------------------------------------------------------------ images

class Images : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    folder = dir;
    folder += L"htmlview_img\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    Veltra::COImage red;
    ASSERT_TRUE(red.CreateFilled(20, 10, 96.0, 0xFFFF0000, 1));
    CPngImage png;
    CBmpImage bmp;
    ASSERT_TRUE(png.WriteFile((folder + L"red.png").c_str(), &red, 0));
    Veltra::COImage blue;
    ASSERT_TRUE(blue.CreateFilled(8, 8, 96.0, 0xFF0000FF, 1));
    ASSERT_TRUE(bmp.WriteFile((folder + L"blue.bmp").c_str(), &blue, 0));
  }
  void TearDown() override {
    DeleteFileW((folder + L"red.png").c_str());
    DeleteFileW((folder + L"blue.bmp").c_str());
    RemoveDirectoryW(folder.c_str());
  }
  std::wstring folder;
};

COLORREF PixelAt(Document& doc, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 300, 200);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r = {0, 0, 300, 200};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  doc.SetViewport(300, 200);
  doc.Paint(dc, r);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return c;
}

TEST_F(Images, LocalPngAndBmpThroughTheImageClasses) {
  auto doc = Document::Parse(L"<body style='margin:0'><img id='p' src='red.png'><br>"
                             L"<img id='b' src='blue.bmp' width='16' height='16'><br>"
                             L"<img id='m' src='missing.png' width='5' height='6'>"
                             L"<img id='z' src='missing.png'></body>",
                             folder + L"page.htm");
  struct {
    const wchar_t* id;
    int w, h;
  } sizes[] = {{L"p", 20, 10}, {L"b", 16, 16}, {L"m", 5, 6}, {L"z", 0, 0}};
  for (const auto& s : sizes) {
    Element* img = doc->GetItem(s.id);
    EXPECT_EQ(img->OffsetWidth(), s.w) << s.id;
    EXPECT_EQ(img->OffsetHeight(), s.h) << s.id;
  }
  PageRect p = doc->GetItem(L"p")->PageBox();
  PageRect b = doc->GetItem(L"b")->PageBox();
  EXPECT_EQ(PixelAt(*doc, p.left + 10, p.top + 5), RGB(255, 0, 0));
  EXPECT_EQ(PixelAt(*doc, b.left + 12, b.top + 12), RGB(0, 0, 255));  // scaled up from 8 x 8
}

}  // namespace

namespace {

// The dictionary picker's page: a list in a full-height box that scrolls.
TEST(HtmlLayout, ScrollingBoxesKeepAllContentReachable) {
  std::wstring rows;
  for (int i = 0; i < 60; ++i) rows += L"<tr id='r" + std::to_wstring(i) + L"'><td>dictionary</td></tr>";
  auto doc = Document::Parse(L"<body><div id='auto' style='width:100%; height:100%; overflow: auto'>"
                             L"<table width='100%'>" + rows + L"</table></div>"
                             L"<div id='cut' style='height:20px; overflow:hidden'>a<br>b<br>c<br>d</div></body>");
  doc->SetViewport(300, 200);
  Element* last = doc->GetItem(L"r59");
  EXPECT_GT(doc->ContentHeight(), 200);
  EXPECT_LE(last->PageBox().top + last->OffsetHeight(), doc->ContentHeight());
  EXPECT_GE(doc->GetItem(L"auto")->OffsetHeight(), last->PageBox().top - doc->GetItem(L"auto")->PageBox().top);
  EXPECT_EQ(doc->GetItem(L"cut")->OffsetHeight(), 20);
  EXPECT_GT(doc->GetItem(L"cut")->ScrollHeight(), 20);
}

}  // namespace
