#include "core/TextCodec.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

namespace {

std::wstring Decode(const std::string& bytes, uint32_t codePage, int* code) {
  std::wstring out;
  *code = DecodeTextBuffer(out, bytes.data(), static_cast<uint32_t>(bytes.size()), codePage);
  return out;
}

std::wstring FromUtf8(const std::string& bytes) {
  std::wstring out;
  Utf8ToWString(out, bytes.data(), static_cast<int>(bytes.size()));
  return out;
}

}  // namespace

TEST(DecodeTextBuffer, ByteOrderMarks) {
  struct Case { std::string bytes; uint32_t codePage; int code; std::wstring text; } cases[] = {
      {std::string("\xFF\xFE\x41\x00", 4), 0, kEncodingUtf16LE, L"A"},
      {std::string("\xFE\xFF\x00\x41", 4), 0, kEncodingUtf16BE, L"A"},
      {"\xEF\xBB\xBF\x41", 0, kEncodingUtf8, L"A"},
      {"AB", 0, kEncodingCodePage, L"AB"},
      {"\xEF\xBB\xBF", 0, kEncodingUtf8, L""},
      {"\xEF\xBB\xBF\x41", kCodePageUtf8, kEncodingUtf8, L"\uFEFFA"},
      {std::string("\xFF\xFE\x41", 3), 0, kEncodingCodePage, L"\u00ff\u00fe\x41"},  // odd size: ANSI
      {std::string("\x00\x00\xFE\xFF\x00\x01\xF6\x00", 8), 0, kEncodingUtf32BE, L"\U0001F600"},
      {std::string("\x41\x00\x00\x00\x00\xD8\x00\x00", 8), kCodePageUtf32LE, kEncodingUtf32LE, L"A\uFFFD"},
      {std::string("\x00\x41", 2), kCodePageUtf16BE, kEncodingUtf16BE, L"A"},
      {"\xE9", 1252, kEncodingCodePage, L"\u00e9"},
  };
  for (const Case& c : cases) {
    int code;
    EXPECT_EQ(Decode(c.bytes, c.codePage, &code), c.text);
    EXPECT_EQ(code, c.code);
  }
  std::wstring out = L"x";
  EXPECT_EQ(DecodeTextBuffer(out, nullptr, 4, 0), kEncodingFailed);
  EXPECT_EQ(DecodeTextBuffer(out, "a", 0, 0), kEncodingFailed);
  EXPECT_TRUE(out.empty());
}

TEST(DetectByteOrderMark, Lengths) {
  uint32_t mark = 9;
  EXPECT_EQ(DetectByteOrderMark(&mark, "\xFF\xFE\x00\x00", 4), kEncodingUtf16LE);
  EXPECT_EQ(mark, 2u);
  EXPECT_EQ(DetectByteOrderMark(&mark, "\x00\x00\xFE\xFF", 4), kEncodingUtf32BE);
  EXPECT_EQ(mark, 4u);
  EXPECT_EQ(DetectByteOrderMark(&mark, nullptr, 0), kEncodingCodePage);
  EXPECT_EQ(mark, 0u);
}

TEST(Utf8, Decoding) {
  struct Case { std::string bytes; std::wstring text; } cases[] = {
      {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
      {"\x80", L"\uFFFD"},
      {"\xC3\x41", L"\uFFFD" L"A"},
      {"\x80\x81\x82Z", L"\uFFFDZ"},               // a run of stray continuation bytes
      {"\xC0\xAF", L"\uFFFD"},                     // overlong '/'
      {"\xE0\x80\xAF", L"\uFFFD"},                 // overlong '/'
      {"\xF0\x80\x80\xAF", L"\uFFFD"},             // overlong '/'
      {"\xFE" "A\xFF", L"\uFFFD" L"A\uFFFD"},      // FE and FF never start a character
      {"\xC3\xFE", L"\uFFFD\uFFFD"},               // nor continue one
      {"\xED\xA0\x80", L"\uFFFD"},                 // an encoded surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD"},             // past U+10FFFF
      {"\xE4\xB8", L"\uFFFD"},                     // truncated at the end
      {"a\xC3\xA9z", L"a\u00e9z"},
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.text) << c.bytes;
}

TEST(Utf8, EncodingAndRoundTrip) {
  std::string out;
  EXPECT_EQ(WStringToUtf8(out, L"\xD800", -1), 3);
  EXPECT_EQ(out, "\xEF\xBF\xBD");
  EXPECT_EQ(WStringToUtf8(out, L"\xDC00x", -1), 4);
  EXPECT_EQ(out, "\xEF\xBF\xBDx");
  std::wstring all = L"A\u00e9\u4e2d\xD83D\xDE00\uFFFF";
  WStringToUtf8(out, all.c_str(), static_cast<int>(all.size()));
  EXPECT_EQ(out, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\xEF\xBF\xBF");
  EXPECT_EQ(FromUtf8(out), all);
  EXPECT_EQ(WStringToUtf8(out, nullptr, -1), 0);
  EXPECT_EQ(Utf8ToUtf16(nullptr, "\xF0\x9F\x98\x80", -1), 2);
}

TEST(Utf8, SequenceConsumption) {
  uint32_t c;
  EXPECT_EQ(DecodeUtf8Sequence(&c, reinterpret_cast<const uint8_t*>("\xE4\xB8\xAD"), 3), 3u);
  EXPECT_EQ(c, 0x4E2Du);
  EXPECT_EQ(DecodeUtf8Sequence(&c, reinterpret_cast<const uint8_t*>("\xE4\xB8\xAD"), 2), 2u);
  EXPECT_EQ(c, 0xFFFDu);
  EXPECT_EQ(DecodeUtf8Sequence(&c, reinterpret_cast<const uint8_t*>("\xE4" "A"), 2), 1u);
  EXPECT_EQ(c, 0xFFFDu);
}

TEST(CodePages, SystemConversions) {
  std::wstring w;
  EXPECT_EQ(MultiByteToWString(w, "\xD6\xD0\xCE\xC4", 4, 936, 0), 2);
  EXPECT_EQ(w, L"\u4e2d\u6587");
  EXPECT_EQ(MultiByteToWString(w, "abc", -1, 0, 0), 3);
  EXPECT_EQ(w, L"abc");
  EXPECT_EQ(MultiByteToWString(w, "abc", 0, 0, 0), -1);
  EXPECT_EQ(MultiByteToWString(w, nullptr, -1, 0, 0), -1);
  std::string n;
  EXPECT_EQ(WStringToMultiByte(n, L"\u4e2d\u6587", -1, 936, 0), 4);
  EXPECT_EQ(n, "\xD6\xD0\xCE\xC4");
  // Flags are dropped for UTF-8, which refuses most of them.
  EXPECT_EQ(WStringToMultiByte(n, L"\u00e9", 1, kCodePageUtf8, WC_NO_BEST_FIT_CHARS), 2);
  EXPECT_EQ(WStringToMultiByteStr(n, L"caf\u00e9"), 4);
  EXPECT_EQ(n, "caf\xE9");
}

TEST(Utf32, Conversion) {
  const uint32_t text[] = {0x41, 0x1F600, 0xD800, 0x110000, 0};
  wchar_t out[8] = {};
  EXPECT_EQ(Utf32ToUtf16(out, text, -1), 5);
  EXPECT_EQ(std::wstring(out, 5), L"A\xD83D\xDE00\uFFFD\uFFFD");
}

TEST(Swap, Units) {
  uint16_t a[] = {0x1234, 0xABCD, 0};
  SwapBytes16(a, -1);
  EXPECT_EQ(a[0], 0x3412);
  EXPECT_EQ(a[1], 0xCDAB);
  uint32_t b[] = {0x11223344};
  SwapBytes32(b, 1);
  EXPECT_EQ(b[0], 0x44332211u);
}

TEST(UnicodeBlocks, Table) {
  EXPECT_TRUE(IsInUnicodeBlock(0x4E00, 114));
  EXPECT_FALSE(IsInUnicodeBlock(0x4E00, 146));
  EXPECT_FALSE(IsInUnicodeBlock(0x4E00, -1));
  EXPECT_EQ(FindUnicodeBlock(0x10000), 146);
  EXPECT_EQ(FindUnicodeBlock(0x41), 0);
  EXPECT_EQ(FindUnicodeBlock(0x3042), 102);
  EXPECT_EQ(FindUnicodeBlock(0xAC00), 131);
  EXPECT_EQ(FindUnicodeBlock(0xFFFF), 145);
  EXPECT_EQ(FindUnicodeBlock(0x1AF0), 146);  // the gap between rows 55 and 56
}

TEST(Files, SizeAndWholeRead) {
  wchar_t dir[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"qtc", 0, path);
  EXPECT_EQ(GetFileSizeOf(path), 0u);
  std::string out = "stale";
  EXPECT_EQ(ReadFileToString(out, path), 0u);
  EXPECT_TRUE(out.empty());
  FILE* f = _wfopen(path, L"wb");
  fwrite("a\0b\r\n", 1, 5, f);
  fclose(f);
  EXPECT_EQ(GetFileSizeOf(path), 5u);
  EXPECT_EQ(ReadFileToString(out, path), 5u);
  EXPECT_EQ(out, std::string("a\0b\r\n", 5));
  DeleteFileW(path);
  EXPECT_EQ(GetFileSizeOf(path), 0u);
  EXPECT_EQ(ReadFileToString(out, path), 0u);
  EXPECT_EQ(ReadFileToString(out, nullptr), 0u);
}
