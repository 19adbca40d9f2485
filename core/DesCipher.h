// The program's own cipher for its private data files: a DES variant (bits
// least significant first, no exchange of halves after the last round) that
// does not interoperate with a standard DES. An 8-byte key gives single DES,
// 9 to 16 bytes two-key triple DES E(K1) D(K2) E(K1); blocks are independent
// (ECB) and the last one is filled with zero bytes.
//
// Envelope written by Encrypt and read by Decrypt, little-endian:
//   "?VKC" | u32 plain length n | ((n + 7) & ~7) enciphered bytes
// It carries no checksum: a wrong key deciphers to garbage of the right length.
//
// Usage: construct, SetKey, call Encrypt/Decrypt with a null output to learn
// the size, allocate, call again. One object serves one thread at a time.
#pragma once

#include <cstdint>

#include "core/DesCore.h"

class CDesCipher {
 public:
  static constexpr int kHeaderSize = 8;

  CDesCipher();  // all-zero 8-byte key: single DES
  virtual ~CDesCipher();

  // Takes the first min(length, 16) bytes (missing ones are zero). True when
  // the key selects two-key triple DES (length 9 or more).
  bool SetKey(const uint8_t* key, int length);

  // Envelope size, or -1. With out null only the size. out must not be in.
  int Encrypt(uint8_t* out, const uint8_t* in, int length);
  // Stored plain length n, or -1 for a damaged or foreign envelope. With out
  // null only n; otherwise out receives n bytes. out must not be in.
  int Decrypt(uint8_t* out, const uint8_t* in, int length);

  // The bare block form: length a non-zero multiple of 8; out may equal in.
  bool CryptBuffer(uint8_t* out, const uint8_t* in, int length, bool decipher);
  // Shared block loop: padded length, or -1.
  int CryptBlocks(uint8_t* out, const uint8_t* in, int length, bool decipher);

 private:
  des::KeySchedule schedule1_;
  des::KeySchedule schedule2_;
  uint8_t twoKey_ = 0;
  uint8_t key_[16] = {};
};
