// The dictionary file's binary layout, shared by the reader and the writer.
// Every number is little-endian; offsets count from the start of the file.
#pragma once

#include <cstdint>
#include <cstring>

namespace dictfmt {

constexpr uint32_t kHeaderSize = 40;
constexpr uint32_t kIndexHeadSize = 16;
constexpr uint32_t kMagic = 0x43494454;       // "TDIC"
constexpr uint32_t kVersionTag = 0x31323334;  // "4321"
constexpr uint16_t kMajorVersion = 1;
constexpr uint16_t kMaxMinorVersion = 3;

enum SectionType : uint32_t {
  kSectionInfo = 1,
  kSectionKeyIndex = 2,
  kSectionResourceIndex = 3,
};

enum HeaderFlag : uint32_t {
  kFlagGroupLocked = 1u << 2,
  kFlagCanIndex = 1u << 3,
  kFlagCanGrab = 1u << 4,
  kFlag5 = 1u << 5,
  kFlagPermanent = 1u << 7,
};

// Key record flag byte: the level of a case variant and the last-of-word mark.
constexpr uint8_t kLevelMask = 0x7F;
constexpr uint8_t kLastOfWord = 0x80;

// CheckHeader's codes.
enum HeaderCode : int {
  kHeaderOk = 0,
  kBadMagic = -1,
  kBadVersionTag = -2,
  kZeroId = -3,
  kVersionTooNew = -4,
  kVersionTooOld = -5,
};

inline uint32_t ReadU32(const void* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline uint16_t ReadU16(const void* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

// One section as found by WalkSections: its type and where its data lie.
struct Section {
  uint32_t type;
  uint32_t offset;  // of the data, behind the 8-byte section head
  uint32_t length;
};

// Calls visit(section) for each complete section from the header on. A section
// whose end (with its fill to a multiple of 4) runs past the file ends the walk.
template <typename Visit>
void WalkSections(const uint8_t* file, uint32_t size, Visit visit) {
  uint64_t pos = kHeaderSize;
  while (pos + 8 <= size) {
    Section s{ReadU32(file + pos), static_cast<uint32_t>(pos + 8), ReadU32(file + pos + 4)};
    uint64_t end = pos + 8 + ((static_cast<uint64_t>(s.length) + 3) & ~uint64_t{3});
    if (end > size) break;
    visit(s);
    pos = end;
  }
}

}  // namespace dictfmt
