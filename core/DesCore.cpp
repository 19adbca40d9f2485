#include "core/DesCore.h"

#include <cstring>

namespace des {
namespace {

// FIPS 46 tables; entries are 1-based bit positions.
constexpr uint8_t kIp[64] = {
    58, 50, 42, 34, 26, 18, 10, 2, 60, 52, 44, 36, 28, 20, 12, 4,
    62, 54, 46, 38, 30, 22, 14, 6, 64, 56, 48, 40, 32, 24, 16, 8,
    57, 49, 41, 33, 25, 17, 9,  1, 59, 51, 43, 35, 27, 19, 11, 3,
    61, 53, 45, 37, 29, 21, 13, 5, 63, 55, 47, 39, 31, 23, 15, 7};
constexpr uint8_t kFp[64] = {
    40, 8, 48, 16, 56, 24, 64, 32, 39, 7, 47, 15, 55, 23, 63, 31,
    38, 6, 46, 14, 54, 22, 62, 30, 37, 5, 45, 13, 53, 21, 61, 29,
    36, 4, 44, 12, 52, 20, 60, 28, 35, 3, 43, 11, 51, 19, 59, 27,
    34, 2, 42, 10, 50, 18, 58, 26, 33, 1, 41, 9,  49, 17, 57, 25};
constexpr uint8_t kE[48] = {
    32, 1,  2,  3,  4,  5,  4,  5,  6,  7,  8,  9,  8,  9,  10, 11,
    12, 13, 12, 13, 14, 15, 16, 17, 16, 17, 18, 19, 20, 21, 20, 21,
    22, 23, 24, 25, 24, 25, 26, 27, 28, 29, 28, 29, 30, 31, 32, 1};
constexpr uint8_t kP[32] = {
    16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
    2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};
constexpr uint8_t kPc1[56] = {
    57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18,
    10, 2,  59, 51, 43, 35, 27, 19, 11, 3,  60, 52, 44, 36,
    63, 55, 47, 39, 31, 23, 15, 7,  62, 54, 46, 38, 30, 22,
    14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
constexpr uint8_t kPc2[48] = {
    14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10,
    23, 19, 12, 4,  26, 8,  16, 7,  27, 20, 13, 2,
    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};
constexpr uint8_t kSBox[8][4][16] = {
    {{14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7},
     {0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8},
     {4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0},
     {15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13}},
    {{15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10},
     {3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5},
     {0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15},
     {13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9}},
    {{10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8},
     {13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1},
     {13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7},
     {1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12}},
    {{7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15},
     {13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9},
     {10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4},
     {3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14}},
    {{2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9},
     {14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6},
     {4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14},
     {11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3}},
    {{12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11},
     {10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8},
     {9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6},
     {4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13}},
    {{4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1},
     {13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6},
     {1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2},
     {6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12}},
    {{13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7},
     {1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2},
     {7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8},
     {2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11}}};

void ExpandBits(uint8_t* bits, const uint8_t* bytes, int count, Variant variant) {
  for (int i = 0; i < count; ++i) {
    int shift = variant.leastSignificantFirst ? (i & 7) : 7 - (i & 7);
    bits[i] = (bytes[i >> 3] >> shift) & 1;
  }
}

void Permute(uint8_t* out, const uint8_t* in, const uint8_t* table, int count) {
  for (int i = 0; i < count; ++i) out[i] = in[table[i] - 1];
}

void RotateLeft(uint8_t* half, int count) {
  uint8_t head[2];
  std::memcpy(head, half, count);
  std::memmove(half, half + count, 28 - count);
  std::memcpy(half + 28 - count, head, count);
}

// The block transform works on words in which bit i is entry i of the bit
// arrays of the tables (L and R as 32-bit words, the whole block as 64).
// These tables fold the byte bit order, the permutations and the S-box
// output order of one variant into lookups.
struct Tables {
  uint64_t initial[16][16];  // by input nibble position and value: L | R << 32
  uint64_t final[16][16];    // by pre-output nibble position and value: the bytes
  uint32_t mix[8][64];       // P(S-box g) by 6-bit group, bit j = group bit j

  explicit Tables(Variant variant) {
    int inverseIp[64];
    for (int o = 0; o < 64; ++o) inverseIp[kIp[o] - 1] = o;
    int inverseFp[64];
    for (int o = 0; o < 64; ++o) inverseFp[kFp[o] - 1] = o;
    auto byteBit = [variant](int i) { return (i & ~7) + (variant.leastSignificantFirst ? (i & 7) : 7 - (i & 7)); };
    for (int q = 0; q < 16; ++q) {
      for (int v = 0; v < 16; ++v) {
        uint64_t in = 0, out = 0;
        for (int b = 0; b < 4; ++b) {
          if (!(v >> b & 1)) continue;
          int w = 4 * q + b;                        // bit w of the little-endian block word
          in |= uint64_t{1} << inverseIp[byteBit(w)];  // its array entry moved by IP
          out |= uint64_t{1} << byteBit(inverseFp[w]);  // pre-output entry w moved by FP, packed
        }
        initial[q][v] = in;
        final[q][v] = out;
      }
    }
    int inverseP[32];
    for (int o = 0; o < 32; ++o) inverseP[kP[o] - 1] = o;
    for (int g = 0; g < 8; ++g) {
      for (int e = 0; e < 64; ++e) {
        int b[6];
        for (int j = 0; j < 6; ++j) b[j] = e >> j & 1;
        int v = kSBox[g][2 * b[0] + b[5]][8 * b[1] + 4 * b[2] + 2 * b[3] + b[4]];
        uint32_t word = 0;
        for (int j = 0; j < 4; ++j) {
          int bit = variant.leastSignificantFirst ? v >> j & 1 : v >> (3 - j) & 1;
          if (bit) word |= uint32_t{1} << inverseP[4 * g + j];
        }
        mix[g][e] = word;
      }
    }
  }
};

const Tables& TablesFor(Variant variant) {
  static const Tables standard(kStandard), program(kProgram);
  return variant.leastSignificantFirst ? program : standard;
}

inline uint32_t RotateRight(uint32_t x, int n) {
  return n == 0 ? x : (x >> n | x << (32 - n));
}

// f(x, key) of one round: E groups are runs of six entries starting at 4g - 1.
inline uint32_t Mix(uint32_t x, const uint8_t* groups, const Tables& tables) {
  uint32_t out = 0;
  for (int g = 0; g < 8; ++g) out |= tables.mix[g][(RotateRight(x, (4 * g + 31) & 31) & 63) ^ groups[g]];
  return out;
}

}  // namespace

void BuildKeySchedule(KeySchedule& schedule, const uint8_t key[8], Variant variant) {
  uint8_t bits[64];
  ExpandBits(bits, key, 64, variant);
  uint8_t cd[56];
  Permute(cd, bits, kPc1, 56);
  for (int r = 0; r < 16; ++r) {
    RotateLeft(cd, kShifts[r]);
    RotateLeft(cd + 28, kShifts[r]);
    Permute(schedule.round[r], cd, kPc2, 48);
    for (int g = 0; g < 8; ++g) {
      uint8_t group = 0;
      for (int j = 0; j < 6; ++j) group |= static_cast<uint8_t>(schedule.round[r][6 * g + j] << j);
      schedule.groups[r][g] = group;
    }
  }
}

void TransformBlock(uint8_t out[8], const uint8_t in[8], const KeySchedule& schedule, bool decipher,
                    Variant variant) {
  const Tables& tables = TablesFor(variant);
  uint64_t lr = 0;
  for (int k = 0; k < 8; ++k) {
    lr |= tables.initial[2 * k][in[k] & 15] | tables.initial[2 * k + 1][in[k] >> 4];
  }
  uint32_t l = static_cast<uint32_t>(lr), r = static_cast<uint32_t>(lr >> 32);
  if (!decipher) {
    for (int round = 0; round < 16; ++round) {
      uint32_t kept = r;
      r = Mix(r, schedule.groups[round], tables) ^ l;
      l = kept;
    }
  } else if (variant.exchangeHalves) {
    // Standard DES deciphers with the enciphering rounds and reversed keys.
    for (int round = 15; round >= 0; --round) {
      uint32_t kept = r;
      r = Mix(r, schedule.groups[round], tables) ^ l;
      l = kept;
    }
  } else {
    // Without the final exchange the rounds run backwards on the other half.
    for (int round = 15; round >= 0; --round) {
      uint32_t kept = l;
      l = Mix(l, schedule.groups[round], tables) ^ r;
      r = kept;
    }
  }
  uint64_t pre = variant.exchangeHalves ? (r | uint64_t{l} << 32) : (l | uint64_t{r} << 32);
  uint64_t result = 0;
  for (int q = 0; q < 16; ++q) result |= tables.final[q][(pre >> (4 * q)) & 15];
  for (int k = 0; k < 8; ++k) out[k] = static_cast<uint8_t>(result >> (8 * k));
}

}  // namespace des
