#include "http/Gzip.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t kFlagHeaderCrc = 2, kFlagExtra = 4, kFlagName = 8, kFlagComment = 16, kFlagReserved = 0xE0;

// Reads the input as a run of bytes; running off its end is remembered.
struct Input {
  const uint8_t* data;
  uint32_t length;
  uint32_t pos = 0;
  bool ended = false;

  int Next() {
    if (pos >= length) {
      ended = true;
      return -1;
    }
    return data[pos++];
  }
  uint32_t ReadU32() {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      int b = Next();
      if (b < 0) return 0;
      value |= static_cast<uint32_t>(b) << (8 * i);
    }
    return value;
  }
  void Skip(uint32_t n) {
    if (n > length - pos) {
      pos = length;
      ended = true;
    } else {
      pos += n;
    }
  }
  void SkipString() {
    int b;
    do b = Next();
    while (b > 0);
  }
};

// 0 a header was read, 1 no input left, Z_DATA_ERROR a bad or truncated header.
int ReadHeader(Input& in) {
  if (in.pos >= in.length) return 1;
  if (in.Next() != 0x1F || in.Next() != 0x8B) return Z_DATA_ERROR;
  int method = in.Next();
  int flags = in.Next();
  if (method != 8 || flags < 0 || (flags & kFlagReserved)) return Z_DATA_ERROR;
  in.Skip(6);
  if (flags & kFlagExtra) {
    int lo = in.Next(), hi = in.Next();
    if (hi >= 0) in.Skip(static_cast<uint32_t>(lo | hi << 8));
  }
  if (flags & kFlagName) in.SkipString();
  if (flags & kFlagComment) in.SkipString();
  if (flags & kFlagHeaderCrc) in.Skip(2);
  return in.ended ? Z_DATA_ERROR : 0;
}

struct Inflater {
  z_stream z = {};
  bool ready = false;
  Inflater() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ready) inflateEnd(&z);
  }
};

// Decodes every member into out, which grows by doubling up to maxOutput. With
// stopWhenFull the output is cut at maxOutput without an error.
int Decode(std::string& out, const uint8_t* data, uint32_t length, uint32_t maxOutput, bool stopWhenFull) {
  out.clear();
  if (!data || length < 19) return Z_DATA_ERROR;
  Inflater inflater;
  if (!inflater.ready) return Z_MEM_ERROR;
  z_stream& z = inflater.z;
  Input in{data, length};
  if (ReadHeader(in) != 0) return Z_DATA_ERROR;
  size_t produced = 0;
  try {
    out.resize(std::min<uint64_t>(maxOutput, std::max<uint64_t>(4096, uint64_t(length) * 4)));
    for (;;) {  // one member per pass
      size_t memberStart = produced;
      int result;
      do {
        if (produced == out.size()) {
          if (out.size() >= maxOutput) {
            if (stopWhenFull) {
              out.resize(produced);
              return Z_OK;
            }
            return Z_MEM_ERROR;
          }
          out.resize(std::min<uint64_t>(maxOutput, uint64_t(out.size()) * 2));
        }
        z.next_in = const_cast<Bytef*>(data + in.pos);
        z.avail_in = length - in.pos;
        z.next_out = reinterpret_cast<Bytef*>(&out[produced]);
        z.avail_out = static_cast<uInt>(out.size() - produced);
        result = inflate(&z, Z_NO_FLUSH);
        in.pos = length - z.avail_in;
        produced = out.size() - z.avail_out;
        if (result == Z_BUF_ERROR && z.avail_in == 0) return Z_DATA_ERROR;  // truncated member
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return result;
      } while (result != Z_STREAM_END);
      uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + memberStart),
                        static_cast<uInt>(produced - memberStart));
      uint32_t storedCrc = in.ReadU32();
      in.ReadU32();  // the size modulo 2^32: the CRC already vouches for the data
      if (in.ended || storedCrc != crc) return Z_DATA_ERROR;
      int next = ReadHeader(in);
      if (next == 1) break;
      if (next != 0) return Z_DATA_ERROR;
      inflateReset(&z);
    }
  } catch (const std::bad_alloc&) {
    out.clear();
    return Z_MEM_ERROR;
  }
  out.resize(produced);
  return Z_OK;
}

}  // namespace

uint32_t GzipOriginalSize(const uint8_t* data, uint32_t length) {
  if (!data || length < 19 || data[0] != 0x1F || data[1] != 0x8B || data[2] != 8 || data[3] >= 32) return 0;
  const uint8_t* t = data + length - 4;
  return t[0] | t[1] << 8 | t[2] << 16 | static_cast<uint32_t>(t[3]) << 24;
}

int GunzipMemory(uint8_t* out, uint32_t* outLength, const uint8_t* data, uint32_t length) {
  if (!outLength || !data || length < 19) return Z_DATA_ERROR;
  std::string decoded;
  int result = Decode(decoded, data, length, *outLength, true);
  if (result != Z_OK) return result;
  if (!decoded.empty()) memcpy(out, decoded.data(), decoded.size());
  *outLength = static_cast<uint32_t>(decoded.size());
  return Z_OK;
}

int GunzipToString(std::string& out, const uint8_t* data, uint32_t length, uint32_t maxOutput) {
  int result = Decode(out, data, length, maxOutput, false);
  if (result != Z_OK) out.clear();
  return result;
}
