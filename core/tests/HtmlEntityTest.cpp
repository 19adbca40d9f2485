#include <gtest/gtest.h>

#include <string>

#include "core/HtmlEntity.h"

TEST(HtmlEntity, TableIsSortedByCodeUnits) {
  EXPECT_STREQ(HtmlEntityTable[0].name, L"&AElig;");
  EXPECT_STREQ(HtmlEntityTable[58].name, L"&Zeta;");
  EXPECT_STREQ(HtmlEntityTable[kHtmlEntityCount - 1].name, L"&zwnj;");
  for (int i = 1; i < kHtmlEntityCount; ++i) {
    EXPECT_LT(std::wstring(HtmlEntityTable[i - 1].name), std::wstring(HtmlEntityTable[i].name)) << i;
  }
  // Every row is found by the binary search.
  for (int i = 0; i < kHtmlEntityCount; ++i) {
    uint32_t matched = 0;
    const wchar_t* name = HtmlEntityTable[i].name;
    EXPECT_EQ(FindHtmlEntity(&matched, name, static_cast<uint32_t>(wcslen(name))), i);
    EXPECT_EQ(matched, wcslen(name));
  }
}

TEST(HtmlEntity, DecodeTexts) {
  struct Case {
    const wchar_t* in;
    std::wstring out;
  } cases[] = {
      {L"plain text", L"plain text"},
      {L"&amp;", L"&"},
      {L"&lt;b&gt;", L"<b>"},
      {L"&eacute;|&#233;|&#xE9;|&#Xe9;|&#x0xE9;", L"\xE9|\xE9|\xE9|\xE9|\xE9"},
      {L"&Aacute;&aacute;", L"\xC1\xE1"},
      {L"&AMP;", L"&AMP;"},
      {L"&brkbar;&die;&hibar;", L"\xA6\xA8\xAF"},
      {L"&apos;&euro;", L"&apos;&euro;"},
      {L"&#65535;", L"\xFFFF"},
      {L"&#65536;&#x10000;", L"&#65536;&#x10000;"},
      {L"a&#0;b", std::wstring(L"a\0b", 3)},
      {L"&#;&#x;&#65&nbsp", L"&#;&#x;&#65&nbsp"},
      {L"x&", L"x&"},
      {L"x&a", L"x&a"},
      {L"&amp;amp;", L"&amp;"},
      {L"&&lt;", L"&<"},
      {L"&thetasym;&zwnj;&AElig;", L"\x3D1\x200C\xC6"},
  };
  for (const Case& c : cases) {
    std::wstring text = c.in;
    EXPECT_EQ(DecodeHtmlEntities(text), static_cast<int32_t>(c.out.size())) << c.in;
    EXPECT_EQ(text, c.out) << c.in;
  }
  std::wstring two = L"&lt;&gt;";
  EXPECT_EQ(DecodeHtmlEntities(two), 2);
  std::wstring empty;
  EXPECT_EQ(DecodeHtmlEntities(empty), 0);
  std::wstring out = L"junk";
  EXPECT_EQ(DecodeHtmlText(out, nullptr, 3), 0u);
  EXPECT_EQ(out, L"");
  // Only the given length is read.
  EXPECT_EQ(DecodeHtmlText(out, L"&lt;&gt;", 3), 3u);
  EXPECT_EQ(out, L"&lt");
}

TEST(HtmlEntity, SingleReferenceFunctions) {
  const wchar_t* text = L"&amp;rest";
  const wchar_t* p = text;
  EXPECT_EQ(DecodeHtmlChar(&p, 9), L'&');
  EXPECT_EQ(p, text + 5);
  EXPECT_EQ(DecodeHtmlChar(nullptr, 3), 0);
  EXPECT_EQ(DecodeHtmlChar(&p, 0), 0);
  EXPECT_EQ(p, text + 5);

  wchar_t c = L'?';
  p = L"&nosuch;";
  EXPECT_FALSE(DecodeNamedEntity(&c, &p, 8));
  EXPECT_EQ(c, 0);
  p = L"&amp;";
  EXPECT_FALSE(DecodeNamedEntity(&c, &p, 2));  // too short
  EXPECT_FALSE(DecodeNumberEntity(&c, &p, 5));  // not a number reference

  uint32_t matched = 9;
  EXPECT_EQ(CompareEntityName(&matched, L"&amp;", L"&am", 3), 1);  // text ends first
  EXPECT_EQ(matched, 3u);
  EXPECT_EQ(CompareEntityName(&matched, L"&amp;", L"&b", 2), -1);
  EXPECT_EQ(CompareEntityName(&matched, L"&amp;", L"&amp;x", 6), 0);
  EXPECT_EQ(FindHtmlEntity(&matched, L"&zzz;", 5), -1);
  EXPECT_EQ(matched, 0u);
}

TEST(HtmlEntity, ParseNumber16) {
  struct Case {
    const wchar_t* text;
    int32_t base;
    bool ok;
    uint16_t value;
    uint32_t used;
  } cases[] = {
      {L"65535", 10, true, 65535, 5}, {L"65536", 10, true, 6553, 4}, {L"0x1F", 0, true, 31, 4},
      {L"017", 0, true, 15, 3},       {L"0", 0, true, 0, 1},         {L"0x", 0, true, 0, 1},
      {L"0xz", 16, false, 0, 0},      {L"zz", 36, true, 1295, 2},    {L"102", 2, true, 2, 2},
      {L"g", 16, false, 0, 0},        {L"1", 1, false, 0, 0},        {L"1", 37, false, 0, 0},
      {L"1", -1, false, 0, 0},        {L"FFFF", 16, true, 0xFFFF, 4}, {L"10000", 16, true, 0x1000, 4},
  };
  for (const Case& c : cases) {
    const wchar_t* p = c.text;
    uint16_t value = 77;
    EXPECT_EQ(ParseNumber16(&value, &p, static_cast<uint32_t>(wcslen(c.text)), c.base), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(static_cast<uint32_t>(p - c.text), c.used) << c.text;
  }
  const wchar_t* p = L"12";
  uint16_t value;
  EXPECT_FALSE(ParseNumber16(&value, &p, 0, 10));
}
