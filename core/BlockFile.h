// Reader of a block-compressed image that lies in memory (owned by the caller
// and unchanged while attached). Layout, u32 little-endian:
//   total | block size | n + 1 block offsets | data
// with n = ceil(total / block size); block i is one zlib stream at data +
// [offset i, offset i+1) and inflates to block size bytes (the last block to
// what remains of total). Blocks are decompressed on demand into caller-
// numbered slots; each slot keeps the last block it decompressed, so a caller
// gives each kind of read its own slot.
#pragma once

#include <cstdint>

class CBlockFile {
 public:
  CBlockFile() = default;
  virtual ~CBlockFile();
  CBlockFile(const CBlockFile&) = delete;
  CBlockFile& operator=(const CBlockFile&) = delete;

  // False (and detached) for an image that cannot be one: too short, a zero
  // total or block size, no data behind the offset table, or a total larger
  // than its data could inflate to.
  bool Attach(const void* image, uint32_t imageSize, uint32_t slotCount);
  // Copies uncompressed bytes [offset, offset + length), clamped to the
  // total, into dest; the count copied, 0 on any failure (a block whose
  // offsets leave the image or that does not inflate to its exact size).
  uint32_t Read(void* dest, uint32_t offset, uint32_t length, uint32_t slot);
  int Close();

  uint32_t GetTotal() const { return total_; }
  uint32_t GetBlockSize() const { return blockSize_; }
  uint32_t GetBlockCount() const { return blockCount_; }

 private:
  struct Slot {
    uint8_t* buffer;
    uint32_t block;  // kNoBlock when the buffer holds none
  };
  static constexpr uint32_t kNoBlock = 0xFFFFFFFF;

  bool Inflate(Slot& slot, uint32_t block);
  uint32_t Offset(uint32_t index) const;

  Slot* slots_ = nullptr;
  uint32_t slotCount_ = 0;
  const uint8_t* image_ = nullptr;
  uint32_t imageSize_ = 0;
  uint32_t total_ = 0;
  uint32_t blockSize_ = 0;
  uint32_t blockCount_ = 0;
  const uint8_t* offsets_ = nullptr;
  const uint8_t* dataBase_ = nullptr;
  uint32_t dataSize_ = 0;
  uint32_t bufferSize_ = 0;  // min(block size, total)
};

// ceil(a / b) for a non-zero b.
inline uint32_t CeilDivide(uint32_t a, uint32_t b) {
  return a / b + (a % b != 0 ? 1 : 0);
}
