#include "core/StrUtil.h"

#include <gtest/gtest.h>

TEST(IntToText, RadixAndSign) {
  struct Case { uint32_t value; int radix; const wchar_t* expected; } cases[] = {
      {255, 16, L"ff"}, {0, 10, L"0"}, {0xFFFFFFFF, 2, L"11111111111111111111111111111111"},
      {35, 36, L"z"}, {1234567890, 10, L"1234567890"},
  };
  for (const Case& c : cases) EXPECT_EQ(IntToWString(c.value, c.radix), c.expected) << c.value;
  EXPECT_EQ(IntToWStringSigned(-5, 10), L"-5");
  EXPECT_EQ(IntToWStringSigned(-1, 16), L"ffffffff");
  EXPECT_EQ(IntToWStringSigned(INT32_MIN, 10), L"-2147483648");
  EXPECT_EQ(IntToString(255, 16), "ff");
}

TEST(IntToText, HexWithFlags) {
  std::wstring out;
  EXPECT_EQ(UInt32ToHexWString(out, 0x2A, true, true), L"0000002A");
  EXPECT_EQ(UInt32ToHexWString(out, 0x2A, false, false), L"2a");
  EXPECT_EQ(UInt32ToHexWString(out, 0, false, false), L"0");
  EXPECT_EQ(UInt32ToHexWString(out, 0xDEADBEEF, false, true), L"DEADBEEF");
}

TEST(FormatWString, MicrosoftConventions) {
  std::wstring out;
  EXPECT_EQ(FormatWString(out, L"%s-%d", L"wide", 42), 7);
  EXPECT_EQ(out, L"wide-42");
  FormatWString(out, L"%S|%hs|%ls", "narrow", "short", L"long");
  EXPECT_EQ(out, L"narrow|short|long");
  FormatWString(out, L"%.8x %I64d %c %5.1f%%", 0xABCDu, 1234567890123LL, L'Q', 2.3);
  EXPECT_EQ(out, L"0000abcd 1234567890123 Q   2.3%");
}

TEST(FormatWString, FailuresLeaveOutEmpty) {
  std::wstring out = L"old";
  EXPECT_EQ(FormatWString(out, L""), -1);
  EXPECT_TRUE(out.empty());
  out = L"old";
  EXPECT_EQ(FormatWString(out, nullptr), -1);
  EXPECT_TRUE(out.empty());
}

// The estimate is only a first guess: output past it must grow, not overflow.
TEST(FormatWString, GrowsPastTheEstimate) {
  std::wstring out;
  // %.0f of a huge value is 309 digits while the estimator sees precision 6 on
  // top; %g of a long value is under its 128; a width far past 32 for %d.
  EXPECT_EQ(FormatWString(out, L"%500d", 7), 500);
  EXPECT_EQ(out.size(), 500u);
  EXPECT_EQ(out.back(), L'7');
  std::wstring big(5000, L'x');
  EXPECT_EQ(FormatWString(out, L"[%s]", big.c_str()), 5002);
  int n = FormatWString(out, L"%.0f", 1e300);
  EXPECT_EQ(n, static_cast<int>(out.size()));
  EXPECT_GT(out.size(), 300u);
}

TEST(AppendFormatWString, OwnDirectives) {
  std::wstring out = L">";
  std::wstring object = L"obj";
  EXPECT_EQ(AppendFormatWString(out, L"%c%s|%t|%%", L'A', L"bc", &object), 9);
  EXPECT_EQ(out, L">Abc|obj|%");
  out.clear();
  EXPECT_EQ(AppendFormatWString(out, L"%q%s", L"only"), 4);
  EXPECT_EQ(out, L"only");
  out.clear();
  EXPECT_EQ(AppendFormatWString(out, L"50%%"), 3);
  EXPECT_EQ(out, L"50%");
  out = L"same";
  EXPECT_EQ(AppendFormatWString(out, L"%s%t%", nullptr, nullptr), 0);
  EXPECT_EQ(out, L"same");
  EXPECT_EQ(AppendFormatWString(out, nullptr), -1);
}

TEST(UrlEncode, Utf8Bytes) {
  struct Case { const wchar_t* text; const wchar_t* expected; } cases[] = {
      {L"a b", L"a%20b"}, {L"\u00e9", L"%C3%A9"}, {L"Az09_-.@*", L"Az09_-.@*"},
      {L"a+b/c?", L"a%2Bb%2Fc%3F"}, {L"\U0001F600", L"%F0%9F%98%80"},
  };
  std::wstring out;
  for (const Case& c : cases) {
    EXPECT_EQ(UrlEncode(out, c.text), wcslen(c.expected));
    EXPECT_EQ(out, c.expected);
  }
  EXPECT_EQ(UrlEncode(out, L""), 0u);
  EXPECT_EQ(UrlEncode(out, nullptr), 0u);
}

TEST(EscapeXmlText, MarkupAndBlankRuns) {
  struct Case { const wchar_t* text; bool keep; const wchar_t* expected; } cases[] = {
      {L"a  <b>", true, L"a &nbsp;&lt;b&gt;"},
      {L"a  <b>", false, L"a  &lt;b&gt;"},
      {L"it's \"&\"", true, L"it's &quot;&amp;&quot;"},
      {L"x\r\ny", true, L"x\ny"},
      {L"x \r\n\ty", true, L"x &nbsp;&nbsp;y"},
  };
  std::wstring out;
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeXmlText(out, c.text, static_cast<uint32_t>(wcslen(c.text)), c.keep), wcslen(c.expected));
    EXPECT_EQ(out, c.expected) << c.text;
  }
  std::wstring inPlace = L"<a>";
  EXPECT_EQ(EscapeXmlString(inPlace, true), 9u);
  EXPECT_EQ(inPlace, L"&lt;a&gt;");
  EXPECT_EQ(EscapeXmlText(out, L"x", 0, true), 0u);
  EXPECT_TRUE(out.empty());
}

TEST(HexPair, Digits) {
  uint8_t b = 1;
  EXPECT_TRUE(HexPairToByte(&b, L'4', L'F'));
  EXPECT_EQ(b, 0x4F);
  EXPECT_TRUE(HexPairToByte(&b, L'4', L'f'));
  EXPECT_EQ(b, 0x4F);
  EXPECT_FALSE(HexPairToByte(&b, L'4', L'G'));
  EXPECT_EQ(b, 0);
  EXPECT_FALSE(HexPairToByte(&b, 0x134, L'0'));
  EXPECT_TRUE(HexPairToByteA(&b, 'a', '0'));
  EXPECT_EQ(b, 0xA0);
}

TEST(ReplaceAll, NonOverlapping) {
  struct Case { const wchar_t* text; const wchar_t* find; const wchar_t* with; const wchar_t* expected; } cases[] = {
      {L"aaa", L"aa", L"b", L"ba"},
      {L"[$a] and [$a]", L"[$a]", L"[$a][$a]", L"[$a][$a] and [$a][$a]"},
      {L"abc", L"x", L"y", L"abc"},
      {L"abc", L"", L"y", L"abc"},
      {L"abcb", L"b", L"", L"ac"},
  };
  for (const Case& c : cases) {
    std::wstring s = c.text;
    ReplaceAll(s, c.find, c.with);
    EXPECT_EQ(s, c.expected);
  }
  std::wstring s = L"abc";
  ReplaceAll(s, L"b", nullptr);
  EXPECT_EQ(s, L"abc");
}

TEST(ShortenText, LengthAndUnbrokenRunsEndInAnEllipsis) {
  const std::wstring w25(25, L'W'), w24(24, L'W'), x30(30, L'x');
  struct Case {
    std::wstring text;
    size_t maxLength, longestRun;
    std::wstring expected;
  } cases[] = {
      {L"Road Glossary", 100, 24, L"Road Glossary"},
      {w24, 100, 24, w24},
      {w25, 100, 24, std::wstring(23, L'W') + L"\x2026"},
      {L"ab " + x30 + L" cd", 100, 10, L"ab " + std::wstring(9, L'x') + L"\x2026 cd"},
      {L"abcdef", 4, 24, L"abc\x2026"},
      {L"abcd", 4, 24, L"abcd"},
      {L"", 4, 24, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortenText(c.text, c.maxLength, c.longestRun), c.expected);
  std::wstring words;
  for (int i = 0; i < 400; ++i) words += L"word ";
  const std::wstring shortened = ShortenText(words, 100, 24);
  EXPECT_EQ(shortened.size(), 100u);
  EXPECT_EQ(shortened.back(), L'\x2026');
}
