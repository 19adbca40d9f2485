// Byte-string helpers of the core's tests and benchmarks.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes FromHex(const char* hex) {
  Bytes out;
  for (; hex[0] && hex[1]; hex += 2) out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex, 2), nullptr, 16)));
  return out;
}

inline void PutU32(Bytes& bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline Bytes Deflate(const uint8_t* data, size_t size) {
  uLongf room = compressBound(static_cast<uLong>(size));
  Bytes out(room);
  if (compress2(out.data(), &room, data, static_cast<uLong>(size), 6) != Z_OK) return Bytes();
  out.resize(room);
  return out;
}

// A block-compressed image of data cut into blocks of blockSize; streams[i],
// when given and not empty, replaces the compressed stream of block i.
inline Bytes MakeBlockImage(const uint8_t* data, size_t size, uint32_t blockSize,
                            const std::vector<Bytes>& streams = {}) {
  uint32_t n = static_cast<uint32_t>((size + blockSize - 1) / blockSize);
  Bytes image(8 + 4 * (n + 1));
  PutU32(image, 0, static_cast<uint32_t>(size));
  PutU32(image, 4, blockSize);
  uint32_t offset = 0;
  for (uint32_t i = 0; i < n; ++i) {
    PutU32(image, 8 + 4 * i, offset);
    size_t at = size_t(i) * blockSize;
    Bytes stream = i < streams.size() && !streams[i].empty()
                       ? streams[i]
                       : Deflate(data + at, std::min<size_t>(blockSize, size - at));
    image.insert(image.end(), stream.begin(), stream.end());
    offset += static_cast<uint32_t>(stream.size());
  }
  PutU32(image, 8 + 4 * n, offset);
  return image;
}
