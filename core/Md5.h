// MD5 digests (RFC 1321).
#pragma once

#include <cstdint>
#include <string>

struct Md5Context {
  uint32_t state[4];
  uint32_t count[2];  // bits, low word first
  uint8_t buffer[64];
};

class CMD5 {
 public:
  virtual ~CMD5() = default;

  static void Init(Md5Context& context);
  static void Update(Md5Context& context, const uint8_t* data, unsigned length);
  // Writes the 16-byte digest and wipes the context.
  static void Final(uint8_t digest[16], Md5Context& context);
};

void MD5Digest(uint8_t digest[16], const uint8_t* data, unsigned length);
// The digest as 32 upper-case hexadecimal characters, replacing out.
void MD5HexString(std::string& out, const uint8_t* data, unsigned length);
// 1 with the digest of the whole file, 0 (digest untouched) when it cannot be read.
int MD5File(uint8_t digest[16], const wchar_t* path);
