#include "core/Base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kOutside = 64;

struct DecodeTable {
  uint8_t value[256];
  constexpr DecodeTable() : value() {
    for (int i = 0; i < 256; ++i) value[i] = kOutside;
    for (int i = 0; i < 64; ++i) value[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
  }
};
constexpr DecodeTable kDecode;

int CountAlphabet(const uint8_t* text, int n) {
  int count = 0;
  if (!text) return 0;
  while (count < n && kDecode.value[text[count]] != kOutside) ++count;
  return count;
}

int DecodedFromCount(int count) {
  static constexpr int kTail[4] = {0, 0, 1, 2};
  return 3 * (count / 4) + kTail[count % 4];
}

}  // namespace

int Base64EncodedLength(int n) {
  return (n + 2) / 3 * 4;
}

int Base64Encode(uint8_t* out, const uint8_t* in, int n) {
  if (!out || !in || n <= 0) return 0;
  uint8_t* at = out;
  int i = 0;
  for (; i + 2 < n; i += 3) {
    uint32_t group = in[i] << 16 | in[i + 1] << 8 | in[i + 2];
    *at++ = kAlphabet[group >> 18];
    *at++ = kAlphabet[(group >> 12) & 63];
    *at++ = kAlphabet[(group >> 6) & 63];
    *at++ = kAlphabet[group & 63];
  }
  if (i < n) {
    uint32_t group = in[i] << 16 | (i + 1 < n ? in[i + 1] << 8 : 0);
    *at++ = kAlphabet[group >> 18];
    *at++ = kAlphabet[(group >> 12) & 63];
    *at++ = i + 1 < n ? kAlphabet[(group >> 6) & 63] : '=';
    *at++ = '=';
  }
  return static_cast<int>(at - out);
}

int Base64DecodedLength(const uint8_t* text, int n) {
  return DecodedFromCount(CountAlphabet(text, n));
}

int Base64Decode(uint8_t* out, const uint8_t* text, int n) {
  int count = CountAlphabet(text, n);
  int length = DecodedFromCount(count);
  if (!out) return length;
  uint8_t* at = out;
  int i = 0;
  for (; i + 3 < count; i += 4) {
    uint32_t group = kDecode.value[text[i]] << 18 | kDecode.value[text[i + 1]] << 12 |
                     kDecode.value[text[i + 2]] << 6 | kDecode.value[text[i + 3]];
    *at++ = static_cast<uint8_t>(group >> 16);
    *at++ = static_cast<uint8_t>(group >> 8);
    *at++ = static_cast<uint8_t>(group);
  }
  int rest = count - i;  // a single character left over decodes to nothing
  if (rest >= 2) {
    uint32_t group = kDecode.value[text[i]] << 18 | kDecode.value[text[i + 1]] << 12 |
                     (rest == 3 ? kDecode.value[text[i + 2]] << 6 : 0);
    *at++ = static_cast<uint8_t>(group >> 16);
    if (rest == 3) *at++ = static_cast<uint8_t>(group >> 8);
  }
  return length;
}
