#include "core/Base64.h"
#include "core/Crc32.h"
#include "core/Md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/tests/TempFolder.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
int Length(const std::string& s) { return static_cast<int>(s.size()); }

std::string Encode(const std::string& plain) {
  std::string out(Base64EncodedLength(Length(plain)), '?');
  int n = Base64Encode(reinterpret_cast<uint8_t*>(&out[0]), Bytes(plain), Length(plain));
  EXPECT_EQ(n, Length(out));
  return out;
}

std::string Decode(const std::string& text) {
  int n = Base64Decode(nullptr, Bytes(text), Length(text));
  EXPECT_EQ(n, Base64DecodedLength(Bytes(text), Length(text)));
  std::string out(n + 4, '#');  // room to see a write past the count
  EXPECT_EQ(Base64Decode(reinterpret_cast<uint8_t*>(&out[0]), Bytes(text), Length(text)), n);
  EXPECT_EQ(out.substr(n), "####");
  return out.substr(0, n);
}

std::string Md5Hex(const std::string& text) {
  std::string out = "stale";
  MD5HexString(out, Bytes(text), static_cast<unsigned>(text.size()));
  return out;
}

}  // namespace

TEST(Base64, Rfc4648Vectors) {
  struct Case { const char* plain; const char* text; } cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Encode(c.plain), c.text);
    EXPECT_EQ(Decode(c.text), c.plain);
  }
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  EXPECT_EQ(Decode(Encode(all)), all);
  EXPECT_EQ(Encode("\xFB\xFF\xBF"), "+/+/");
}

TEST(Base64, DecodingStopsAtTheFirstForeignCharacter) {
  struct Case { const char* text; int count; const char* plain; } cases[] = {
      {"Zg==", 1, "f"},
      {"Z", 0, ""},             // a single character decodes to nothing
      {"Zm9v Yg==", 3, "foo"},  // a blank ends the text
      {"Zm9v\r\nYmFy", 3, "foo"},
      {"Zm9vYmF", 5, "fooba"},
      {"=Zm9v", 0, ""},
      {"Zm\x80v", 1, "f"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(Base64DecodedLength(Bytes(text), Length(text)), c.count) << c.text;
    EXPECT_EQ(Decode(text), c.plain) << c.text;
  }
  // Only the first n characters are looked at.
  EXPECT_EQ(Base64DecodedLength(Bytes(std::string("Zm9vYmFy")), 4), 3);
  EXPECT_EQ(Base64DecodedLength(nullptr, 4), 0);
}

TEST(Md5, Rfc1321Suite) {
  struct Case { const char* text; const char* digest; } cases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const Case& c : cases) EXPECT_EQ(Md5Hex(c.text), c.digest) << c.text;
}

// Feeding a text in pieces of every size crosses the 64-byte block edges
// and the 56-byte padding edge in every way.
TEST(Md5, PiecewiseUpdatesMatchOneCall) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>(i * 7);
  for (unsigned total : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 200u}) {
    uint8_t whole[16];
    MD5Digest(whole, Bytes(text), total);
    for (unsigned piece = 1; piece <= 70; piece += 3) {
      Md5Context context;
      CMD5::Init(context);
      for (unsigned at = 0; at < total; at += piece) CMD5::Update(context, Bytes(text) + at, std::min(piece, total - at));
      uint8_t parts[16];
      CMD5::Final(parts, context);
      EXPECT_EQ(memcmp(parts, whole, 16), 0) << total << " " << piece;
      const uint8_t* raw = reinterpret_cast<const uint8_t*>(&context);
      EXPECT_EQ(std::count(raw, raw + sizeof(context), 0), static_cast<long>(sizeof(context)));
    }
  }
}

TEST(Md5, File) {
  TempFolder dir;
  std::wstring empty = dir / L"empty", data = dir / L"data";
  ASSERT_TRUE(TempFolder::WriteText(empty, ""));
  std::string big(200000, 'q');
  ASSERT_TRUE(TempFolder::WriteText(data, big));
  uint8_t digest[16], expected[16];
  ASSERT_EQ(MD5File(digest, empty.c_str()), 1);
  MD5Digest(expected, nullptr, 0);
  EXPECT_EQ(memcmp(digest, expected, 16), 0);
  ASSERT_EQ(MD5File(digest, data.c_str()), 1);
  MD5Digest(expected, Bytes(big), static_cast<unsigned>(big.size()));
  EXPECT_EQ(memcmp(digest, expected, 16), 0);

  uint8_t untouched[16];
  memset(untouched, 0xAB, 16);
  memcpy(digest, untouched, 16);
  EXPECT_EQ(MD5File(digest, (dir / L"missing").c_str()), 0);
  EXPECT_EQ(MD5File(digest, dir.Path().c_str()), 0);
  EXPECT_EQ(MD5File(digest, nullptr), 0);
  EXPECT_EQ(MD5File(nullptr, data.c_str()), 0);
  EXPECT_EQ(memcmp(digest, untouched, 16), 0);
}

TEST(Crc32, CheckValueAndChaining) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(Bytes(check), 9, 0), 0xCBF43926u);
  EXPECT_EQ(Crc32(Bytes(std::string("The quick brown fox jumps over the lazy dog")), 43, 0), 0x414FA339u);
  uint32_t first = Crc32(Bytes(check), 4, 0);
  EXPECT_EQ(Crc32(Bytes(check) + 4, 5, first), 0xCBF43926u);
  // No bytes leave the seed as it is, so an empty part does not break a chain.
  EXPECT_EQ(Crc32(Bytes(check), 0, first), first);
  EXPECT_EQ(Crc32(nullptr, 0, 0x12345678), 0x12345678u);
  EXPECT_EQ(Crc32(Bytes(check), -1, 0x12345678), 0x12345678u);
  EXPECT_EQ(Crc32(Bytes(check), 0, 0), 0u);
}
