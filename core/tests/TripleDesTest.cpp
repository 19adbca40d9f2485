#include "core/TripleDes.h"

#include <gtest/gtest.h>

#include "core/tests/TestBytes.h"

#include <string>
#include <vector>

namespace {

const wchar_t kKeyText[] = L"8C1F0A99E2B34D6675F0C3A4B1D2E5F6";
std::wstring TestKey() { return kKeyText; }

class SettingText : public ::testing::Test {
 protected:
  void SetUp() override { SetSettingTextKeyReader(&TestKey); }
  void TearDown() override { SetSettingTextKeyReader(nullptr); }
};

}  // namespace

TEST(TripleDes, KnownAnswers) {
  struct Case { const char* key; const char* plain; const char* cipher; } cases[] = {
      // K1 = K2 = K3 reduces to single DES.
      {"133457799BBCDFF1133457799BBCDFF1133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
      // Three independent keys.
      {"0123456789ABCDEF23456789ABCDEF01456789ABCDEF0123",
       "5468652071756663" "6B2062726F776E20" "666F78206A756D70",
       "A826FD8CE53B855F" "CCE21C8112256FE6" "68D5C05DD9B6B900"},
  };
  for (const Case& c : cases) {
    CTripleDes cipher;
    Bytes key = FromHex(c.key), plain = FromHex(c.plain), expected = FromHex(c.cipher);
    EXPECT_EQ(cipher.SetKey(key.data(), 24), 0);
    Bytes out(plain.size());
    cipher.EncryptBlocks(out.data(), plain.data(), static_cast<unsigned>(plain.size()));
    EXPECT_EQ(out, expected);
    cipher.DecryptBlocks(out.data(), out.data(), static_cast<unsigned>(out.size()));
    EXPECT_EQ(out, plain);
  }
}

TEST(TripleDes, ShortKeyIsFilledWithZeros) {
  Bytes key16 = FromHex("0123456789ABCDEF23456789ABCDEF01"), key24 = key16;
  key24.resize(24, 0);
  CTripleDes a, b;
  a.SetKey(key16.data(), 16);
  b.SetKey(key24.data(), 24);
  Bytes plain = FromHex("0011223344556677"), x(8), y(8);
  a.EncryptBlocks(x.data(), plain.data(), 8);
  b.EncryptBlocks(y.data(), plain.data(), 8);
  EXPECT_EQ(x, y);
  Bytes untouched(8, 0xAB), out = untouched;
  a.EncryptBlocks(out.data(), plain.data(), 7);
  EXPECT_EQ(out, untouched);
}

TEST(TripleDes, Envelope) {
  CTripleDes cipher;
  Bytes key = FromHex("0123456789ABCDEF23456789ABCDEF01");
  cipher.SetKey(key.data(), 16);
  std::string envelope;
  uint8_t byte = 0x7E;
  ASSERT_EQ(cipher.EncryptString(envelope, &byte, 1), 16u);
  EXPECT_EQ(envelope.substr(0, 4), "?TDC");
  EXPECT_EQ(envelope.substr(4, 4), std::string("\x08\0\0\0", 4));  // padded length, not 1
  std::string plain;
  const uint8_t* in = reinterpret_cast<const uint8_t*>(envelope.data());
  ASSERT_EQ(cipher.DecryptString(plain, in, 16), 8u);
  EXPECT_EQ(plain, std::string("\x7E\0\0\0\0\0\0\0", 8));

  Bytes sixteen(16, 0x11);
  EXPECT_EQ(cipher.Encrypt(nullptr, sixteen.data(), 16), 24u);
  EXPECT_EQ(cipher.Encrypt(nullptr, sixteen.data(), 0), 0u);
  EXPECT_EQ(cipher.Encrypt(sixteen.data(), sixteen.data(), 8), 0u);

  // Rejected envelopes: short, ragged, foreign tag, stored length 0 or too big.
  Bytes good(envelope.begin(), envelope.end());
  auto decrypt = [&](Bytes bytes) {
    return cipher.DecryptString(plain, bytes.data(), static_cast<unsigned>(bytes.size()));
  };
  EXPECT_EQ(decrypt(Bytes(good.begin(), good.begin() + 8)), 0u);
  EXPECT_EQ(decrypt(Bytes(good.begin(), good.begin() + 15)), 0u);
  Bytes bad = good;
  bad[1] = 'V';
  EXPECT_EQ(decrypt(bad), 0u);
  bad = good;
  bad[4] = 0;
  EXPECT_EQ(decrypt(bad), 0u);
  bad[4] = 9;
  EXPECT_EQ(decrypt(bad), 0u);
  EXPECT_TRUE(plain.empty());
  bad[4] = 3;  // copies exactly the stored count
  EXPECT_EQ(decrypt(bad), 3u);
  EXPECT_EQ(plain, std::string("\x7E\0\0", 3));
}

TEST_F(SettingText, Lengths) {
  std::wstring text;
  uint8_t byte = 0x41;
  EXPECT_EQ(EncryptSettingText(text, &byte, 1), 32u);
  EXPECT_EQ(text.substr(0, 16), L"3F54444308000000");
  Bytes sixteen(16, 0x22);
  EXPECT_EQ(EncryptSettingText(text, sixteen.data(), 16), 48u);
  EXPECT_EQ(text.substr(8, 8), L"10000000");
  for (wchar_t c : text) EXPECT_TRUE((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'));
  EXPECT_EQ(EncryptSettingText(text, nullptr, 4), 0u);
  EXPECT_TRUE(text.empty());
}

TEST_F(SettingText, CredentialsReadBackUnpadded) {
  for (const std::wstring& credentials : {std::wstring(L"user\npass"), std::wstring(L"ab\ncd"),
                                         std::wstring(L"a\nb"), std::wstring(L"name\n\u00e9\u4e2d")}) {
    std::wstring text;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(credentials.data());
    unsigned count = static_cast<unsigned>(credentials.size() * 2);
    ASSERT_GT(EncryptSettingText(text, bytes, count), 0u);
    std::string plain;
    EXPECT_EQ(DecryptSettingText(plain, text), count);
    EXPECT_EQ(plain, std::string(reinterpret_cast<const char*>(bytes), count));
    // Lower-case digits read the same.
    std::wstring lower = text;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_EQ(DecryptSettingText(plain, lower), count);
  }
}

TEST_F(SettingText, TextsThatDoNotDecodeFail) {
  std::wstring text;
  const std::wstring credentials = L"user\npass";
  EncryptSettingText(text, reinterpret_cast<const uint8_t*>(credentials.data()), 18);
  std::string plain = "stale";
  for (const std::wstring& bad : {text.substr(0, text.size() - 1),     // odd length
                                  text.substr(0, 20) + L"G" + text.substr(21),  // not hexadecimal
                                  text.substr(0, 8) + L" " + text.substr(9),
                                  std::wstring(L"3F544443"),            // shorter than a header and block
                                  std::wstring(L"3F5444"),              // shorter than 8 digits
                                  L"3F564B43" + text.substr(8)}) {      // foreign tag
    EXPECT_EQ(DecryptSettingText(plain, bad), 0u) << std::string(bad.begin(), bad.end());
    EXPECT_TRUE(plain.empty());
  }
}

TEST_F(SettingText, WrongKeyIsNotDetected) {
  std::wstring text;
  const std::wstring credentials = L"user\npass";
  EncryptSettingText(text, reinterpret_cast<const uint8_t*>(credentials.data()), 18);
  SetSettingTextKeyReader([]() { return std::wstring(L"00"); });
  std::string plain;
  DecryptSettingText(plain, text);
  EXPECT_NE(plain, std::string(reinterpret_cast<const char*>(credentials.data()), 18));
}

TEST(Hex, Conversions) {
  std::wstring text;
  uint8_t bytes[] = {0x00, 0x9F, 0xA0, 0xFF};
  EXPECT_EQ(BytesToHex(text, bytes, 4, true), 8u);
  EXPECT_EQ(text, L"009FA0FF");
  EXPECT_EQ(BytesToHex(text, bytes, 4, false), 8u);
  EXPECT_EQ(text, L"009fa0ff");
  EXPECT_EQ(BytesToHex(text, nullptr, 4, true), 0u);
  EXPECT_TRUE(text.empty());

  uint8_t out[4] = {1, 2, 3, 4};
  EXPECT_FALSE(HexToBytes(out, L"ABC", 3));
  EXPECT_EQ(out[0], 1);  // odd count writes nothing
  EXPECT_TRUE(HexToBytes(out, L"", 0));
  EXPECT_TRUE(HexToBytes(out, L"00fFa0", 6));
  EXPECT_EQ(out[0], 0x00);
  EXPECT_EQ(out[1], 0xFF);
  EXPECT_EQ(out[2], 0xA0);
  EXPECT_FALSE(HexToBytes(out, L"12x456", 6));
  EXPECT_EQ(out[0], 0x12);
  EXPECT_EQ(out[1], 0);
  EXPECT_FALSE(HexToBytes(nullptr, L"12", 2));
}
