#include "core/DesCipher.h"
#include "core/DesCore.h"

#include <gtest/gtest.h>

#include "core/tests/TestBytes.h"

#include <string>
#include <vector>

namespace {

Bytes Transform(const Bytes& key, const Bytes& block, bool decipher, des::Variant variant) {
  des::KeySchedule schedule;
  des::BuildKeySchedule(schedule, key.data(), variant);
  Bytes out(8);
  des::TransformBlock(out.data(), block.data(), schedule, decipher, variant);
  return out;
}

Bytes Encrypt(CDesCipher& cipher, const Bytes& plain) {
  int size = cipher.Encrypt(nullptr, plain.data(), static_cast<int>(plain.size()));
  Bytes out(size > 0 ? size : 0);
  EXPECT_EQ(cipher.Encrypt(out.data(), plain.data(), static_cast<int>(plain.size())), size);
  return out;
}

Bytes Decrypt(CDesCipher& cipher, const Bytes& envelope) {
  int size = cipher.Decrypt(nullptr, envelope.data(), static_cast<int>(envelope.size()));
  if (size < 0) return Bytes{0xEE};
  Bytes out(size);
  EXPECT_EQ(cipher.Decrypt(out.data(), envelope.data(), static_cast<int>(envelope.size())), size);
  return out;
}

const Bytes kKey16 = FromHex("0F1E2D3C4B5A69788796A5B4C3D2E1F0");

}  // namespace

// The tables are those of FIPS 46: with the two deviations switched off the
// transform must give the published answers.
TEST(DesCore, StandardSwitchGivesPublishedAnswers) {
  struct Case { const char* key; const char* plain; const char* cipher; } cases[] = {
      {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
      {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
      {"0123456789ABCDEF", "68652074696D6520", "6A271787AB8883F9"},
      {"0123456789ABCDEF", "666F7220616C6C20", "893D51EC4B563B53"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Transform(FromHex(c.key), FromHex(c.plain), false, des::kStandard), FromHex(c.cipher)) << c.plain;
    EXPECT_EQ(Transform(FromHex(c.key), FromHex(c.cipher), true, des::kStandard), FromHex(c.plain)) << c.plain;
  }
}

TEST(DesCore, ProgramVariantDiffersFromStandardAndInverts) {
  Bytes key = FromHex("133457799BBCDFF1"), plain = FromHex("0123456789ABCDEF");
  Bytes enciphered = Transform(key, plain, false, des::kProgram);
  EXPECT_NE(enciphered, FromHex("85E813540F0AB405"));
  EXPECT_NE(enciphered, plain);
  EXPECT_EQ(Transform(key, enciphered, true, des::kProgram), plain);
  // Each deviation alone also changes the result: both are really applied.
  EXPECT_NE(Transform(key, plain, false, des::Variant{true, true}), enciphered);
  EXPECT_NE(Transform(key, plain, false, des::Variant{false, false}), enciphered);
}

// Blocks of the program's variant, checked against a separate model of the
// algorithm; files written by the program must keep deciphering.
TEST(DesCore, ProgramVariantKnownBlocks) {
  struct Case { const char* key; const char* plain; const char* cipher; } cases[] = {
      {"133457799BBCDFF1", "0123456789ABCDEF", "D172A2135BDCCB97"},
      {"133457799BBCDFF1", "0000000000000000", "310A68F83C0FF861"},
      {"133457799BBCDFF1", "51756F72696E646F", "8CFF243A4985AB12"},
      {"133457799BBCDFF1", "FFFFFFFFFFFFFFFF", "9A5D3BF2D644C9B1"},
      {"0123456789ABCDEF", "0123456789ABCDEF", "DB87D3DAABF31B73"},
      {"0123456789ABCDEF", "0000000000000000", "25706AB8C73C7BF1"},
      {"0123456789ABCDEF", "51756F72696E646F", "7C536C53906B9C6E"},
      {"0123456789ABCDEF", "FFFFFFFFFFFFFFFF", "99AA1791A01697D0"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "FEE94FD66E935034"},
      {"FEDCBA9876543210", "0000000000000000", "6655E86E5FE9682F"},
      {"FEDCBA9876543210", "51756F72696E646F", "26E3DD7D1007D63E"},
      {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "DA8F954738C3840E"},
      {"0000000000000000", "0123456789ABCDEF", "556E9C9EDC1A6B04"},
      {"0000000000000000", "0000000000000000", "ACEC93D9A7C03C98"},
      {"0000000000000000", "51756F72696E646F", "9AE3F3FEF84C9629"},
      {"0000000000000000", "FFFFFFFFFFFFFFFF", "BAFABE5BF4E9787F"},
      {"FFFFFFFFFFFFFFFF", "0123456789ABCDEF", "564E179714E8CB40"},
      {"FFFFFFFFFFFFFFFF", "0000000000000000", "450541A40B168780"},
      {"FFFFFFFFFFFFFFFF", "51756F72696E646F", "C9A321831A530EBE"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "53136C26583FC367"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Transform(FromHex(c.key), FromHex(c.plain), false, des::kProgram), FromHex(c.cipher)) << c.key << c.plain;
    EXPECT_EQ(Transform(FromHex(c.key), FromHex(c.cipher), true, des::kProgram), FromHex(c.plain)) << c.key << c.plain;
  }
}

TEST(DesCipher, EnvelopeLayout) {
  CDesCipher cipher;
  cipher.SetKey(kKey16.data(), 16);
  struct Case { int plain; int envelope; } cases[] = {{1, 16}, {7, 16}, {8, 16}, {9, 24}, {16, 24}, {17, 32}};
  for (const Case& c : cases) {
    Bytes plain(c.plain, 0x41);
    EXPECT_EQ(cipher.Encrypt(nullptr, plain.data(), c.plain), c.envelope);
    Bytes envelope = Encrypt(cipher, plain);
    ASSERT_EQ(static_cast<int>(envelope.size()), c.envelope);
    EXPECT_EQ(std::string(envelope.begin(), envelope.begin() + 4), "?VKC");
    EXPECT_EQ(envelope[4], c.plain);
    EXPECT_EQ(envelope[5] | envelope[6] | envelope[7], 0);
    EXPECT_EQ(cipher.Decrypt(nullptr, envelope.data(), c.envelope), c.plain);
  }
}

// Pins the stored format: files written by earlier builds must still open.
TEST(DesCipher, KnownEnvelope) {
  CDesCipher cipher;
  cipher.SetKey(kKey16.data(), 16);
  const std::string text = "Quorindo";
  Bytes envelope = Encrypt(cipher, Bytes(text.begin(), text.end()));
  EXPECT_EQ(envelope, FromHex("3F564B4308000000" "0A038F4216EAB439"));
}

TEST(DesCipher, RoundTripsEveryLengthInBothModes) {
  for (int keyLength : {8, 12, 16}) {
    CDesCipher cipher;
    EXPECT_EQ(cipher.SetKey(kKey16.data(), keyLength), keyLength > 8);
    for (int length = 1; length <= 17; ++length) {
      Bytes plain(length);
      for (int i = 0; i < length; ++i) plain[i] = static_cast<uint8_t>(i * 37 + length);
      Bytes envelope = Encrypt(cipher, plain);
      EXPECT_NE(Bytes(envelope.begin() + 8, envelope.begin() + 8 + length), plain);
      EXPECT_EQ(Decrypt(cipher, envelope), plain) << keyLength << " " << length;
    }
  }
}

TEST(DesCipher, KeyLengthsSelectTheMode) {
  Bytes plain = FromHex("00112233445566778899AABBCCDDEEFF01");
  Bytes half(kKey16.begin(), kKey16.begin() + 8);
  Bytes doubled = half;
  doubled.insert(doubled.end(), half.begin(), half.end());

  CDesCipher single, equalHalves, twoKey, twelve, twelvePadded;
  single.SetKey(half.data(), 8);
  equalHalves.SetKey(doubled.data(), 16);
  twoKey.SetKey(kKey16.data(), 16);
  twelve.SetKey(kKey16.data(), 12);
  Bytes padded(kKey16.begin(), kKey16.begin() + 12);
  padded.resize(16, 0);
  twelvePadded.SetKey(padded.data(), 16);

  EXPECT_EQ(Encrypt(equalHalves, plain), Encrypt(single, plain));  // E(K) D(K) E(K) = E(K)
  EXPECT_NE(Encrypt(twoKey, plain), Encrypt(single, plain));
  EXPECT_EQ(Encrypt(twelve, plain), Encrypt(twelvePadded, plain));

  // A short key is filled with zeros; the constructor's key is all zeros.
  CDesCipher fresh, zeros, shortKey, shortPadded;
  Bytes zero(8, 0);
  zeros.SetKey(zero.data(), 8);
  EXPECT_EQ(Encrypt(fresh, plain), Encrypt(zeros, plain));
  shortKey.SetKey(kKey16.data(), 3);
  Bytes three(kKey16.begin(), kKey16.begin() + 3);
  three.resize(8, 0);
  shortPadded.SetKey(three.data(), 8);
  EXPECT_EQ(Encrypt(shortKey, plain), Encrypt(shortPadded, plain));
}

TEST(DesCipher, RejectsBadEnvelopes) {
  CDesCipher cipher;
  cipher.SetKey(kKey16.data(), 16);
  Bytes good = Encrypt(cipher, Bytes(12, 0x5A));  // 24 bytes
  auto decrypt = [&](const Bytes& in) {
    Bytes out(64, 0xCC);
    int n = cipher.Decrypt(out.data(), in.data(), static_cast<int>(in.size()));
    if (n < 0) {
      EXPECT_EQ(out, Bytes(64, 0xCC)) << "written on failure";
    }
    return n;
  };
  EXPECT_EQ(decrypt(good), 12);
  EXPECT_EQ(decrypt(Bytes(good.begin(), good.begin() + 8)), -1);   // header only
  EXPECT_EQ(decrypt(Bytes(good.begin(), good.begin() + 20)), -1);  // truncated block
  EXPECT_EQ(decrypt(Bytes(good.begin(), good.begin() + 4)), -1);
  for (int at = 0; at < 4; ++at) {
    Bytes badTag = good;
    badTag[at] ^= 0x20;
    EXPECT_EQ(decrypt(badTag), -1) << at;
  }
  Bytes tooLong = good;
  tooLong[4] = 17;  // more than the 16 enciphered bytes
  EXPECT_EQ(decrypt(tooLong), -1);
  tooLong[4] = 0;
  tooLong[7] = 0x80;  // negative as a signed number
  EXPECT_EQ(decrypt(tooLong), -1);
  Bytes shorter = good;
  shorter[4] = 3;  // extra blocks are accepted; only n bytes come back
  EXPECT_EQ(decrypt(shorter), 3);
  EXPECT_EQ(Decrypt(cipher, shorter), Bytes(3, 0x5A));

  EXPECT_EQ(cipher.Decrypt(nullptr, nullptr, 24), -1);
  EXPECT_EQ(cipher.Decrypt(good.data(), good.data(), 24), -1);
  uint8_t one = 1;
  EXPECT_EQ(cipher.Encrypt(nullptr, nullptr, 1), -1);
  EXPECT_EQ(cipher.Encrypt(nullptr, &one, 0), -1);
  EXPECT_EQ(cipher.Encrypt(&one, &one, 1), -1);
}

TEST(DesCipher, WrongKeyGivesGarbageOfTheRightLength) {
  CDesCipher writer, reader;
  writer.SetKey(kKey16.data(), 16);
  Bytes other = kKey16;
  other[15] ^= 0x02;  // bit 1: not a parity bit in this bit order
  reader.SetKey(other.data(), 16);
  Bytes plain(11, 0x33);
  Bytes read = Decrypt(reader, Encrypt(writer, plain));
  EXPECT_EQ(read.size(), plain.size());
  EXPECT_NE(read, plain);
}

TEST(DesCipher, CryptBuffer) {
  CDesCipher cipher;
  cipher.SetKey(kKey16.data(), 16);
  Bytes plain = FromHex("000102030405060708090A0B0C0D0E0F");
  Bytes buffer = plain;
  EXPECT_FALSE(cipher.CryptBuffer(buffer.data(), buffer.data(), 0, false));
  EXPECT_FALSE(cipher.CryptBuffer(buffer.data(), buffer.data(), 12, false));
  EXPECT_FALSE(cipher.CryptBuffer(nullptr, buffer.data(), 16, false));
  EXPECT_EQ(buffer, plain);

  // The bare form matches the envelope's blocks, and works in place.
  Bytes envelope = Encrypt(cipher, plain);
  ASSERT_TRUE(cipher.CryptBuffer(buffer.data(), buffer.data(), 16, false));
  EXPECT_EQ(buffer, Bytes(envelope.begin() + 8, envelope.end()));
  ASSERT_TRUE(cipher.CryptBuffer(buffer.data(), buffer.data(), 16, true));
  EXPECT_EQ(buffer, plain);
  EXPECT_EQ(cipher.CryptBlocks(buffer.data(), plain.data(), 0, false), -1);
  EXPECT_EQ(cipher.CryptBlocks(buffer.data(), plain.data(), 9, false), 16);
}
