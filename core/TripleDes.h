// Standard triple DES (FIPS 46-3, E(K1) D(K2) E(K3), ECB) for the secrets kept
// in the settings as hexadecimal text (remembered proxy credentials).
//
// Envelope of CTripleDes::Encrypt, little-endian:
//   "?TDC" | u32 padded length p | p enciphered bytes (plain, zero-filled to p)
// A setting text is that envelope as upper-case hexadecimal, 2 * (p + 8) digits.
#pragma once

#include <cstdint>
#include <string>

#include "core/DesCore.h"

class CTripleDes {
 public:
  static constexpr unsigned kHeaderSize = 8;

  CTripleDes();
  virtual ~CTripleDes();

  // 24 bytes K1 K2 K3; a shorter key is filled up with zero bytes. Returns 0.
  int SetKey(const uint8_t* key, unsigned length);

  // Envelope size p + 8, or 0. With out null only the size.
  unsigned Encrypt(uint8_t* out, const uint8_t* in, unsigned length);
  // Stored p, or 0 for a rejected envelope; out receives the first p plain
  // bytes, the padding zeros of the last block included.
  unsigned Decrypt(uint8_t* out, const uint8_t* in, unsigned length);
  unsigned EncryptString(std::string& out, const uint8_t* in, unsigned length);
  unsigned DecryptString(std::string& out, const uint8_t* in, unsigned length);

  // Bare ECB over a non-zero multiple of 8 bytes; anything else does nothing.
  void EncryptBlocks(uint8_t* out, const uint8_t* in, unsigned length);
  void DecryptBlocks(uint8_t* out, const uint8_t* in, unsigned length);

 private:
  void CryptBlock(uint8_t block[8], bool decipher) const;
  void CryptBlocks(uint8_t* out, const uint8_t* in, unsigned length, bool decipher) const;

  des::KeySchedule schedules_[3];
};

// The setting-text key is 32 hexadecimal digits that the program keeps in its
// system text store; the application names the function that fetches them.
using SettingTextKeyReader = std::wstring (*)();
void SetSettingTextKeyReader(SettingTextKeyReader reader);

// Enciphers data into a setting text; returns its length (0 for no data).
unsigned EncryptSettingText(std::wstring& out, const uint8_t* data, unsigned length);
// Deciphers a setting text written by EncryptSettingText; returns the byte
// count, 0 with out empty for a text that is not hexadecimal or whose envelope
// is rejected. The plain bytes are UTF-16 text: the NUL characters that
// filled the last block are dropped.
unsigned DecryptSettingText(std::string& out, const std::wstring& hexText);

unsigned BytesToHex(std::wstring& out, const uint8_t* data, unsigned count, bool upperCase);
// False for null pointers, an odd digit count or a character that is not a
// hexadecimal digit (the byte being formed is then 0).
bool HexToBytes(uint8_t* out, const wchar_t* text, unsigned digitCount);
