#include "core/DesCipher.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kTag[4] = {'?', 'V', 'K', 'C'};

void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t LoadU32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CDesCipher::CDesCipher() {
  des::BuildKeySchedule(schedule1_, key_, des::kProgram);
  des::BuildKeySchedule(schedule2_, key_, des::kProgram);
}

CDesCipher::~CDesCipher() {
  std::memset(key_, 0, sizeof(key_));
}

bool CDesCipher::SetKey(const uint8_t* key, int length) {
  std::memset(key_, 0, sizeof(key_));
  if (key && length > 0) std::memcpy(key_, key, length < 16 ? length : 16);
  des::BuildKeySchedule(schedule1_, key_, des::kProgram);
  if (length <= 8) {
    twoKey_ = 0;
    return false;
  }
  des::BuildKeySchedule(schedule2_, key_ + 8, des::kProgram);
  twoKey_ = 1;
  return true;
}

int CDesCipher::CryptBlocks(uint8_t* out, const uint8_t* in, int length, bool decipher) {
  if (!out || !in || length <= 0) return -1;
  int padded = (length + 7) & ~7;
  for (int offset = 0; offset < padded; offset += 8) {
    uint8_t block[8] = {};
    int take = length - offset < 8 ? length - offset : 8;
    std::memcpy(block, in + offset, take);  // never read past length
    des::TransformBlock(block, block, schedule1_, decipher, des::kProgram);
    if (twoKey_) {
      des::TransformBlock(block, block, schedule2_, !decipher, des::kProgram);
      des::TransformBlock(block, block, schedule1_, decipher, des::kProgram);
    }
    std::memcpy(out + offset, block, 8);
  }
  return padded;
}

bool CDesCipher::CryptBuffer(uint8_t* out, const uint8_t* in, int length, bool decipher) {
  if (!out || !in || length < 1 || length % 8 != 0) return false;
  return CryptBlocks(out, in, length, decipher) == length;
}

int CDesCipher::Encrypt(uint8_t* out, const uint8_t* in, int length) {
  if (!in || out == in || length < 1 || length > 0x7FFFFFFF - 15) return -1;
  int size = ((length + 7) & ~7) + kHeaderSize;
  if (!out) return size;
  std::memcpy(out, kTag, 4);
  StoreU32(out + 4, static_cast<uint32_t>(length));
  if (CryptBlocks(out + kHeaderSize, in, length, false) < 0) return -1;
  return size;
}

int CDesCipher::Decrypt(uint8_t* out, const uint8_t* in, int length) {
  if (!in || out == in || length <= kHeaderSize || (length - kHeaderSize) % 8 != 0) return -1;
  if (std::memcmp(in, kTag, 4) != 0) return -1;
  uint32_t plain = LoadU32(in + 4);
  if (plain > static_cast<uint32_t>(length - kHeaderSize)) return -1;
  if (!out) return static_cast<int>(plain);
  std::vector<uint8_t> work;
  try {
    work.resize(length - kHeaderSize);
  } catch (...) {
    return -1;
  }
  CryptBlocks(work.data(), in + kHeaderSize, length - kHeaderSize, true);
  std::memcpy(out, work.data(), plain);
  std::memset(work.data(), 0, work.size());
  return static_cast<int>(plain);
}
