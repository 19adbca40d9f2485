#include <gtest/gtest.h>

#include <cstdio>
#include <windows.h>

#include "http/Gzip.h"
#include "http/HttpDate.h"
#include "http/HttpText.h"
#include "http/HttpUrl.h"
#include "http/NetLog.h"
#include "http/PagedBuffer.h"
#include "http/tests/TestServer.h"

TEST(HttpText, MethodsTokensAndNumbers) {
  EXPECT_STREQ(GetHttpMethodName(kHttpPost), "POST");
  EXPECT_STREQ(GetHttpMethodName(9), "");
  EXPECT_EQ(ParseHttpMethod("get"), kHttpGet);
  EXPECT_EQ(ParseHttpMethod("PATCH"), kHttpNone);
  EXPECT_EQ(ParseHttpMethod("GETX"), kHttpNone);
  EXPECT_EQ(ParseHttpMethod(nullptr), kHttpNone);
  EXPECT_EQ(CountTokenChars("Content-Type: x", 15, 100), 12u);
  EXPECT_EQ(CountTokenChars("a b", 3, 100), 1u);
  EXPECT_EQ(CountDigits("12345x", 6, 3), 3u);
  EXPECT_EQ(ParseDecimal("4294967295", 10), 4294967295u);
  EXPECT_EQ(ParseDecimal("99999999999", 11), 4294967295u);
  EXPECT_EQ(ParseDecimal("12a4", 4), 12u);
  std::string s = "  \tab \t";
  TrimAString(s, " \t", -1);
  EXPECT_EQ(s, "ab \t");
  TrimAString(s, " \t", 1);
  EXPECT_EQ(s, "ab");
  std::string out;
  EXPECT_EQ(FormatAString(out, "%s:%d", "host", 8080), 9);
  EXPECT_EQ(out, "host:8080");
  EXPECT_EQ(FormatAString(out, ""), -1);
}

TEST(HttpUrl, Parse) {
  struct Case { const char* url; bool ok; const char* host = ""; const char* port = ""; const char* path = ""; const char* query = ""; const char* fragment = ""; } cases[] = {
      {"HTTP://Shop.TEST", true, "shop.test", "80", "/", "", ""},
      {"http://h:0/", true, "h", "80", "/", "", ""},
      {"http://h:65536/", false},
      {"http://h:8a/", false},
      {"http://h:00443/x", true, "h", "443", "/x", "", ""},
      {"http://h/a/./b/../c/.", true, "h", "80", "/a/c/", "", ""},
      {"http://h/../x", false},
      {"http://h/a/..", true, "h", "80", "/", "", ""},
      {"http://h/p?x=1&y=&z#frag", true, "h", "80", "/p", "x=1&y&z", "frag"},
      {"http://h/a b+c", true, "h", "80", "/a%20b%20c", "", ""},
      {"http://h/%7euser", true, "h", "80", "/~user", "", ""},
      {"http://h/%2f", true, "h", "80", "/%2F", "", ""},
      {"http://h/a?q=a&&b", true, "h", "80", "/a", "q=a&&b", ""},
      // The authority ends at '?' and '#' as well as at '/'.
      {"http://h?q", true, "h", "80", "/", "q", ""},
      {"http://h#top", true, "h", "80", "/", "", "top"},
      // The fragment starts at the first '#', wherever a '?' stands.
      {"http://h/a#b?c", true, "h", "80", "/a", "", "b%3Fc"},
      {"http://", false},
      {"ftp://h/", false},
      {"http://:80/", false},
      {"http://h%zz/", false},
  };
  for (const Case& c : cases) {
    std::string host, port, path, query, fragment;
    ASSERT_EQ(ParseHttpUrl(host, port, path, query, fragment, c.url), c.ok) << c.url;
    if (!c.ok) continue;
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(port, c.port) << c.url;
    EXPECT_EQ(path, c.path) << c.url;
    EXPECT_EQ(query, c.query) << c.url;
    EXPECT_EQ(fragment, c.fragment) << c.url;
  }
  std::string a, b, c, d, e;
  EXPECT_FALSE(ParseHttpUrl(a, b, c, d, e, nullptr));
}

TEST(HttpUrl, EncodeDecodeAndSplit) {
  std::string out;
  EXPECT_TRUE(UrlEncode(out, "a b~*", 5));
  EXPECT_EQ(out, "a%20b~*");
  EXPECT_TRUE(EncodeHostName(out, "a_b.c", 5));
  EXPECT_EQ(out, "a%5Fb.c");
  EXPECT_TRUE(UrlDecode(out, "a+b%41", 6));
  EXPECT_EQ(out, "a bA");
  EXPECT_FALSE(UrlDecode(out, "50%", 3));
  EXPECT_EQ(out, "50%");
  EXPECT_FALSE(UrlDecode(out, "%4", 2));
  EXPECT_FALSE(UrlDecode(out, nullptr, 0));
  std::vector<std::string> pieces;
  EXPECT_EQ(SplitByChar(pieces, "a,,b,", ','), 4u);
  EXPECT_EQ(pieces[3], "");
  EXPECT_EQ(SplitByChar(pieces, "", ','), 0u);
  EXPECT_TRUE(CompareTokenN("GET", "get", 3, false));
  EXPECT_FALSE(CompareTokenN("GET", "get", 3, true));
  EXPECT_TRUE(CompareTokenN("", "", 5, true));
  EXPECT_FALSE(CompareTokenN("ab", "abc", 5, true));
  EXPECT_FALSE(IsDecimalDigits(""));
}

TEST(PagedBuffer, PagesSeekReadAndLines) {
  CPagedBuffer b(4);
  EXPECT_EQ(b.Write("0123456789", 10), 10u);
  EXPECT_EQ(b.GetPageCount(), 3u);
  EXPECT_EQ(b.GetPosition(), 10u);
  EXPECT_TRUE(b.Seek(0, 2));
  EXPECT_FALSE(b.Seek(-11, 2));
  EXPECT_TRUE(b.Seek(7, 0));
  char out[100];
  EXPECT_EQ(b.Read(out, 100), 3u);
  EXPECT_EQ(b.GetPosition(), 10u);
  EXPECT_TRUE(b.Resize(3, false));
  EXPECT_EQ(b.GetPageCount(), 1u);
  EXPECT_EQ(b.GetPosition(), 3u);
  EXPECT_TRUE(b.Seek(0, 0));
  EXPECT_FALSE(b.Seek(-1, 1));
  EXPECT_EQ(b.GetPosition(), 0u);
  EXPECT_TRUE(b.Resize(9, true));
  EXPECT_EQ(b.ReadAt(out, 0, 9), 9u);
  EXPECT_EQ(std::string(out, 9), std::string("012\0\0\0\0\0\0", 9));

  CPagedBuffer lines(4);
  lines.Write("ab\nc\r\n", 6);
  EXPECT_EQ(lines.FindLineEnd(0, false), 2);
  EXPECT_EQ(lines.FindLineEnd(0, true), 4);
  EXPECT_EQ(lines.FindLineEnd(3, true), 4);
  EXPECT_EQ(lines.FindLineEnd(5, true), -1);  // an LF at the start never counts
  CPagedBuffer straddle(4);
  straddle.Write("abc\r\nx", 6);  // CR ends page 0, LF starts page 1
  EXPECT_EQ(straddle.FindLineEnd(0, true), 3);
  std::string s;
  EXPECT_EQ(straddle.CopyToString(s, 6, 5), 0u);
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(straddle.CopyToString(s, 2, 100), 4u);
  EXPECT_EQ(s, "c\r\nx");
}

TEST(HttpDate, FormsAndParsers) {
  const HttpTime kExample = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
  struct Case { const char* text; HttpTime expected; } http[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", kExample},
      {"Sunday, 06-Nov-94 08:49:37 GMT", kExample},
      {"Sun Nov  6 08:49:37 1994", kExample},
      {"Sun, 06-Nov-1994 08:49:37 GMT", kExample},
      {"sun, 06 nov 1994 08:49:37 GMT", kExample},
      {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
      {"Tue, 19 Jan 2038 03:14:07 GMT", 2147483647},
      {"Tue, 19 Jan 2038 03:14:08 GMT", -1},
      {"Wed, 31 Dec 1969 23:59:59 GMT", -1},
      {"Thursday, 01-Jan-69 00:00:00 GMT", -1},  // 2069
      {"Thursday, 01-Jan-70 00:00:00 GMT", 0},
      {"Sun, 06 Nov 1994 08:49:37 UTC", -1},
      {"Xyz, 06 Nov 1994 08:49:37 GMT", -1},
      {"Sun, 06 Nox 1994 08:49:37 GMT", -1},
      {"Sun, 0a Nov 1994 08:49:37 GMT", -1},
      {"", -1},
  };
  for (const Case& c : http) EXPECT_EQ(ParseHttpDate(c.text), c.expected) << c.text;
  EXPECT_EQ(ParseCookieDate("Sun, 06-Nov-1994 08:49:37 GMT"), kExample);
  EXPECT_EQ(ParseCookieDate("Sunday, 06-Nov-94 08:49:37 GMT"), kExample);
  EXPECT_EQ(ParseCookieDate("Sun, 06-Nov-1994 08:49:37 gmt"), -1);
  EXPECT_EQ(ParseIsoTime("2006/05/04 12:00:00"), ParseIsoTime("2006-05-04 12:00:00"));
  EXPECT_EQ(ParseIsoTime("1994-11-06 08:49:37 and more"), kExample);
  EXPECT_EQ(ParseIsoTime("1994-11-06 08:49"), -1);
  EXPECT_EQ(ParseTimeString(L"1970-01-01 00:00:00"), 0);

  std::string out;
  HttpTime zero = 0;
  EXPECT_EQ(FormatTimeStringA(out, &zero, 2), "Thu, 01 Jan 1970 00:00:00 GMT");
  EXPECT_EQ(FormatTimeStringA(out, &zero, 0), "1970-01-01 00:00:00");
  EXPECT_EQ(FormatTimeStringA(out, &kExample, 1), "Sun Nov  6 08:49:37 1994");
  EXPECT_EQ(FormatTimeStringA(out, &kExample, 3), "Sunday, 06-Nov-94 08:49:37 GMT");
  EXPECT_EQ(FormatTimeStringA(out, &kExample, 4), "Sun, 06-Nov-1994 08:49:37 GMT");
  EXPECT_EQ(FormatTimeStringA(out, nullptr, 2), "");
  std::wstring wide;
  EXPECT_EQ(FormatTimeString(wide, &zero, 5), L"19700101000000");
  EXPECT_EQ(FormatTimeString(wide, &kExample, 2), L"Sun, 06 Nov 1994 08:49:37 GMT");
  // Every day of a leap year converts both ways.
  for (HttpTime t = 68169600; t < 68169600 + 366 * 86400; t += 86400 + 3661) {
    tm fields;
    ASSERT_TRUE(TimeToUtc(fields, &t));
    EXPECT_EQ(UtcToTime(fields), t);
  }
}

TEST(NetLog, LinesAndEscapes) {
  CNetLog log;
  EXPECT_FALSE(log.Write("[Thread] x"));
  wchar_t dir[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"qnl", 0, path);
  ASSERT_TRUE(log.Open(path, true));
  EXPECT_TRUE(log.Write("[Test] %s", "a\tb\\c"));
  log.Close();
  ASSERT_TRUE(log.Open(path, false));
  EXPECT_TRUE(log.Write("[Test] second"));
  log.Close();
  FILE* f = _wfopen(path, L"rb");
  char text[256] = {};
  fread(text, 1, sizeof(text) - 1, f);
  fclose(f);
  std::string s(text);
  EXPECT_NE(s.find("] [Test] a\\tb\\\\c\n["), std::string::npos) << s;
  EXPECT_NE(s.find("] [Test] second\n"), std::string::npos);
  ASSERT_TRUE(log.Open(path, true));
  log.Close();
  FILE* g = _wfopen(path, L"rb");
  EXPECT_EQ(fread(text, 1, 10, g), 0u);
  fclose(g);
  DeleteFileW(path);
}

TEST(Gzip, Members) {
  std::string one = GzipBytes("hello "), two = GzipBytes("world");
  std::string out;
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(one.data()), one.size(), 1 << 20), 0);
  EXPECT_EQ(out, "hello ");
  // Several members: the last trailer's size must not cut the output short.
  std::string both = one + two;
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(both.data()), both.size(), 1 << 20), 0);
  EXPECT_EQ(out, "hello world");
  // A size field that lies costs nothing.
  std::string lying = one;
  lying[lying.size() - 1] = '\x7F';
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(lying.data()), lying.size(), 1 << 20), 0);
  EXPECT_EQ(out, "hello ");
  std::string badCrc = one;
  badCrc[badCrc.size() - 8] ^= 1;
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(badCrc.data()), badCrc.size(), 1 << 20), -3);
  std::string notGzip = "XY" + one.substr(2);
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(notGzip.data()), notGzip.size(), 1 << 20), -3);
  std::string truncated = GzipBytes(std::string(5000, 'q')).substr(0, 25);
  EXPECT_NE(GunzipToString(out, reinterpret_cast<const uint8_t*>(truncated.data()), truncated.size(), 1 << 20), 0);
  EXPECT_EQ(GunzipToString(out, reinterpret_cast<const uint8_t*>(one.data()), 18, 1 << 20), -3);
  std::string big = GzipBytes(std::string(100000, 'z'));
  EXPECT_NE(GunzipToString(out, reinterpret_cast<const uint8_t*>(big.data()), big.size(), 1000), 0);

  uint8_t buffer[5];
  uint32_t length = sizeof(buffer);
  EXPECT_EQ(GunzipMemory(buffer, &length, reinterpret_cast<const uint8_t*>(one.data()), one.size()), 0);
  EXPECT_EQ(length, 5u);  // the buffer filled first
  EXPECT_EQ(GzipOriginalSize(reinterpret_cast<const uint8_t*>(one.data()), one.size()), 6u);
}
