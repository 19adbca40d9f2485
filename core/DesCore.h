// The DES block transform shared by the two ciphers of the core, built from
// the tables of FIPS 46. The program's own envelope cipher
// reads bits least significant first and leaves the halves unexchanged after
// the last round; the setting-text cipher is the standard algorithm. Both are
// the same transform with two switches, so one set of tables serves both.
#pragma once

#include <cstdint>

namespace des {

struct Variant {
  bool leastSignificantFirst;  // bit order inside bytes and S-box outputs
  bool exchangeHalves;         // the exchange of halves before the final permutation
};

constexpr Variant kStandard{false, true};
constexpr Variant kProgram{true, false};

// 16 round keys of 48 bits, one byte per bit, and the same keys as eight
// 6-bit groups per round (bit j of a group is bit 6g + j of the round key).
struct KeySchedule {
  uint8_t round[16][48];
  uint8_t groups[16][8];
};

void BuildKeySchedule(KeySchedule& schedule, const uint8_t key[8], Variant variant);
// out may equal in.
void TransformBlock(uint8_t out[8], const uint8_t in[8], const KeySchedule& schedule, bool decipher,
                    Variant variant);

}  // namespace des
