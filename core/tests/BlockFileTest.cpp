#include "core/BlockFile.h"

#include <gtest/gtest.h>

#include "core/tests/TestBytes.h"

#include <string>
#include <vector>

namespace {

// An image of text data.
Bytes MakeImage(const std::string& data, uint32_t blockSize, const std::vector<Bytes>& streams = {}) {
  return MakeBlockImage(reinterpret_cast<const uint8_t*>(data.data()), data.size(), blockSize, streams);
}

std::string Sample(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
  return data;
}

class BlockFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = Sample(1000);  // blocks of 256: 3 full ones and one of 232
    image_ = MakeImage(data_, 256);
    ASSERT_TRUE(reader_.Attach(image_.data(), static_cast<uint32_t>(image_.size()), 3));
  }

  std::string Read(uint32_t offset, uint32_t length, uint32_t slot = 0, uint32_t* got = nullptr) {
    std::string out(length + 8, '#');
    uint32_t n = reader_.Read(&out[0], offset, length, slot);
    if (got) *got = n;
    EXPECT_EQ(out.substr(n == 0 ? length : n, 8), "########") << "written past the count";
    return out.substr(0, n);
  }

  // Spoils block's stream in the caller's image without touching the others.
  void Spoil(uint32_t block) {
    uint32_t n = reader_.GetBlockCount();
    size_t base = 8 + 4 * (n + 1);
    uint32_t begin = image_[8 + 4 * block] | image_[9 + 4 * block] << 8;
    image_[base + begin] ^= 0xFF;
  }

  std::string data_;
  Bytes image_;
  CBlockFile reader_;
};

}  // namespace

TEST_F(BlockFileTest, ReadsRanges) {
  EXPECT_EQ(reader_.GetTotal(), 1000u);
  EXPECT_EQ(reader_.GetBlockCount(), 4u);
  struct Case { uint32_t offset, length; } cases[] = {
      {0, 1}, {0, 256}, {10, 20}, {250, 12}, {255, 2}, {100, 700}, {0, 1000}, {999, 1}, {768, 232},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.offset, c.length), data_.substr(c.offset, c.length)) << c.offset;
  // A read past the end is clamped to what is there.
  uint32_t got = 0;
  EXPECT_EQ(Read(990, 50, 1, &got), data_.substr(990));
  EXPECT_EQ(got, 10u);
  std::string all(1000, '#');
  EXPECT_EQ(reader_.Read(&all[0], 5, 0xFFFFFFFFu, 2), 995u);  // offset + length beyond 32 bits
  EXPECT_EQ(all.substr(0, 995), data_.substr(5));
}

TEST_F(BlockFileTest, RefusesBadRequests) {
  char buffer[16];
  EXPECT_EQ(reader_.Read(nullptr, 0, 4, 0), 0u);
  EXPECT_EQ(reader_.Read(buffer, 1000, 4, 0), 0u);
  EXPECT_EQ(reader_.Read(buffer, 0xFFFFFFFF, 4, 0), 0u);
  EXPECT_EQ(reader_.Read(buffer, 0, 0, 0), 0u);
  EXPECT_EQ(reader_.Read(buffer, 0, 4, 3), 0u);  // slot count is 3
  EXPECT_EQ(Read(0, 4, 2), data_.substr(0, 4));
}

// A slot keeps its block: with the image's stream spoiled afterwards, the
// same block still reads through that slot, but not through another one or
// after the slot moved on to a different block.
TEST_F(BlockFileTest, SlotsKeepTheirLastBlock) {
  EXPECT_EQ(Read(10, 5, 0), data_.substr(10, 5));
  EXPECT_EQ(Read(300, 5, 1), data_.substr(300, 5));
  Spoil(0);
  EXPECT_EQ(Read(20, 5, 0), data_.substr(20, 5));
  EXPECT_EQ(Read(20, 5, 2), "");
  EXPECT_EQ(Read(250, 10, 1), "");   // slot 1 must inflate block 0 again
  EXPECT_EQ(Read(300, 5, 1), data_.substr(300, 5));
  EXPECT_EQ(Read(260, 5, 0), data_.substr(260, 5));  // slot 0 moves to block 1...
  EXPECT_EQ(Read(20, 5, 0), "");                     // ...and has lost block 0
}

TEST(BlockFile, AttachRefusesImagesThatCannotBeOne) {
  Bytes good = MakeImage(Sample(100), 40);
  auto attach = [](Bytes image) {
    CBlockFile reader;
    bool ok = reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1);
    EXPECT_EQ(ok, reader.GetTotal() != 0);  // a refused image leaves the reader detached
    return ok;
  };
  EXPECT_TRUE(attach(good));
  CBlockFile reader;
  EXPECT_FALSE(reader.Attach(nullptr, 100, 1));
  EXPECT_FALSE(attach(Bytes(good.begin(), good.begin() + 11)));
  Bytes bad = good;
  PutU32(bad, 0, 0);
  EXPECT_FALSE(attach(bad));
  bad = good;
  PutU32(bad, 4, 0);
  EXPECT_FALSE(attach(bad));
  // Exactly 12 bytes, total 1, block size 1: nothing lies behind the table.
  Bytes twelve(12, 0);
  PutU32(twelve, 0, 1);
  PutU32(twelve, 4, 1);
  EXPECT_FALSE(attach(twelve));
  // The smallest image that can be attached has 17 bytes; its one data byte
  // is no zlib stream, so reading fails.
  Bytes smallest = twelve;
  smallest.resize(17, 0);
  PutU32(smallest, 12, 1);
  EXPECT_TRUE(attach(smallest));
  ASSERT_TRUE(reader.Attach(smallest.data(), 17, 1));
  char byte;
  EXPECT_EQ(reader.Read(&byte, 0, 1, 0), 0u);
  // Block counts whose offset table would pass 4 GB, or a total that the data
  // could never inflate to (it would size the buffers).
  bad = good;
  PutU32(bad, 0, 0xFFFFFFFF);
  PutU32(bad, 4, 1);
  EXPECT_FALSE(attach(bad));
  PutU32(bad, 4, 0x10000000);  // 16 blocks: the table passes the image end
  EXPECT_FALSE(attach(bad));
  PutU32(bad, 4, 0xFFFFFFFF);  // one block of 4 GB from a few bytes
  EXPECT_FALSE(attach(bad));
}

TEST(BlockFile, BadOffsetsFailTheRead) {
  std::string data = Sample(300);
  Bytes good = MakeImage(data, 100);
  struct Case { uint32_t index, value; } cases[] = {
      {1, 0xFFFFFFF0},  // a stream starting far past the end
      {3, 0xFFFFFFFF},  // the end of the last stream past the image
      {1, 2},           // backwards: block 1 would end before it starts
      {2, 0},
  };
  for (const Case& c : cases) {
    Bytes image = good;
    PutU32(image, 8 + 4 * c.index, c.value);
    CBlockFile reader;
    ASSERT_TRUE(reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1));
    std::string out(300, '#');
    EXPECT_EQ(reader.Read(&out[0], 0, 300, 0), 0u) << c.index;
  }
}

TEST(BlockFile, BlocksMustInflateToTheirExactSize) {
  std::string data = Sample(300);
  std::string shortBlock = data.substr(100, 60), longBlock = data.substr(100, 100) + "xyz";
  for (const std::string& wrong : {shortBlock, longBlock}) {
    Bytes image = MakeImage(data, 100, {Bytes(), Deflate(reinterpret_cast<const uint8_t*>(wrong.data()), wrong.size())});
    CBlockFile reader;
    ASSERT_TRUE(reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1));
    std::string out(100, '#');
    ASSERT_EQ(reader.Read(&out[0], 0, 100, 0), 100u);  // block 0 fills the slot
    out.assign(100, '#');
    EXPECT_EQ(reader.Read(&out[0], 100, 100, 0), 0u) << wrong.size();
    EXPECT_EQ(reader.Read(&out[0], 150, 10, 0), 0u) << "stale bytes of block 0";
    EXPECT_EQ(reader.Read(&out[0], 0, 10, 0), 10u);
    EXPECT_EQ(out.substr(0, 10), data.substr(0, 10));
  }
  // The last block is shorter and must inflate to exactly what remains.
  std::string tail = data.substr(200, 50);
  Bytes image = MakeImage(data, 100, {Bytes(), Bytes(), Deflate(reinterpret_cast<const uint8_t*>(tail.data()), tail.size())});
  CBlockFile reader;
  ASSERT_TRUE(reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1));
  char byte;
  EXPECT_EQ(reader.Read(&byte, 220, 1, 0), 0u);
}

TEST(BlockFile, CloseDetaches) {
  std::string data = Sample(500);
  Bytes image = MakeImage(data, 128);
  CBlockFile reader;
  ASSERT_TRUE(reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 0));
  char byte;
  EXPECT_EQ(reader.Read(&byte, 0, 1, 0), 0u);  // no slots
  ASSERT_TRUE(reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1));
  EXPECT_EQ(reader.Read(&byte, 499, 1, 0), 1u);
  EXPECT_EQ(byte, data[499]);
  EXPECT_EQ(reader.Close(), 0);
  EXPECT_EQ(reader.GetTotal(), 0u);
  EXPECT_EQ(reader.Read(&byte, 0, 1, 0), 0u);
  EXPECT_EQ(CeilDivide(10, 5), 2u);
  EXPECT_EQ(CeilDivide(11, 5), 3u);
  EXPECT_EQ(CeilDivide(0xFFFFFFFF, 1), 0xFFFFFFFFu);
}
