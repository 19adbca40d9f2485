#include "core/Crc32.h"

#include <zlib.h>

uint32_t Crc32(const uint8_t* data, int length, uint32_t seed) {
  if (!data || length <= 0) return seed;
  return static_cast<uint32_t>(crc32(seed, data, static_cast<uInt>(length)));
}
