#include "core/BlockFile.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include <zlib.h>

namespace {

// Deflate cannot expand data by more than this factor; a total beyond it
// cannot come from the image's own bytes and is refused before any buffer of
// that size is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;

uint32_t LoadU32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

CBlockFile::~CBlockFile() {
  Close();
}

int CBlockFile::Close() {
  for (uint32_t i = 0; slots_ && i < slotCount_; ++i) free(slots_[i].buffer);
  delete[] slots_;
  slots_ = nullptr;
  slotCount_ = 0;
  image_ = nullptr;
  imageSize_ = 0;
  total_ = 0;
  blockSize_ = 0;
  blockCount_ = 0;
  offsets_ = nullptr;
  dataBase_ = nullptr;
  dataSize_ = 0;
  bufferSize_ = 0;
  return 0;
}

bool CBlockFile::Attach(const void* image, uint32_t imageSize, uint32_t slotCount) {
  Close();
  if (!image || imageSize < 12) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(image);
  uint32_t total = LoadU32(bytes);
  uint32_t blockSize = LoadU32(bytes + 4);
  if (total == 0 || blockSize == 0) return false;
  uint32_t blockCount = CeilDivide(total, blockSize);
  uint64_t dataOffset = 8 + 4 * (static_cast<uint64_t>(blockCount) + 1);
  if (dataOffset >= imageSize) return false;
  uint64_t dataSize = imageSize - dataOffset;
  if (total > kMaxInflateRatio * dataSize) return false;
  if (slotCount > 0) {
    slots_ = new (std::nothrow) Slot[slotCount];
    if (!slots_) return false;
    for (uint32_t i = 0; i < slotCount; ++i) slots_[i] = Slot{nullptr, kNoBlock};
  }
  slotCount_ = slotCount;
  image_ = bytes;
  imageSize_ = imageSize;
  total_ = total;
  blockSize_ = blockSize;
  blockCount_ = blockCount;
  offsets_ = bytes + 8;
  dataBase_ = bytes + dataOffset;
  dataSize_ = static_cast<uint32_t>(dataSize);
  bufferSize_ = blockSize < total ? blockSize : total;
  return true;
}

uint32_t CBlockFile::Offset(uint32_t index) const {
  return LoadU32(offsets_ + 4 * static_cast<size_t>(index));
}

bool CBlockFile::Inflate(Slot& slot, uint32_t block) {
  slot.block = kNoBlock;
  uint32_t begin = Offset(block), end = Offset(block + 1);
  // Offsets are not trusted: a stream must lie inside the data, in order.
  if (begin > end || end > dataSize_) return false;
  uint64_t start = static_cast<uint64_t>(block) * blockSize_;
  uint32_t expected = static_cast<uint32_t>(total_ - start < blockSize_ ? total_ - start : blockSize_);
  uLongf produced = bufferSize_;
  if (uncompress(slot.buffer, &produced, dataBase_ + begin, end - begin) != Z_OK) return false;
  // A stream that ends early would leave stale bytes of an earlier block.
  if (produced != expected) return false;
  slot.block = block;
  return true;
}

uint32_t CBlockFile::Read(void* dest, uint32_t offset, uint32_t length, uint32_t slotIndex) {
  if (!dest || offset >= total_ || length == 0) return 0;
  if (static_cast<uint64_t>(offset) + length > total_) length = total_ - offset;
  if (slotIndex >= slotCount_) return 0;
  Slot& slot = slots_[slotIndex];
  uint8_t* out = static_cast<uint8_t*>(dest);
  uint32_t position = offset, remaining = length;
  uint32_t first = offset / blockSize_, last = (offset + length - 1) / blockSize_;
  for (uint32_t block = first; block <= last; ++block) {
    if (!slot.buffer) {
      slot.buffer = static_cast<uint8_t*>(malloc(bufferSize_));
      if (!slot.buffer) return 0;
      slot.block = kNoBlock;
    }
    if (slot.block != block && !Inflate(slot, block)) return 0;
    uint64_t blockStart = static_cast<uint64_t>(block) * blockSize_;
    uint64_t inBlock = blockStart + blockSize_ - position;
    uint32_t count = remaining < inBlock ? remaining : static_cast<uint32_t>(inBlock);
    std::memcpy(out, slot.buffer + (position - blockStart), count);
    out += count;
    position += count;
    remaining -= count;
  }
  return length;
}
