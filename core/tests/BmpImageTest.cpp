#include "core/BmpImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "guictl/tests/ImageTestFiles.h"

using Veltra::COImage;

namespace {

void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = char(v);
  s[at + 1] = char(v >> 8);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v);
  Put16(s, at + 2, v >> 16);
}
uint32_t Get32(const std::string& s, size_t at) {
  return uint8_t(s[at]) | uint8_t(s[at + 1]) << 8 | uint8_t(s[at + 2]) << 16 |
         uint32_t(uint8_t(s[at + 3])) << 24;
}

// A bitmap file laid out by hand: file header, an information header of
// headerSize bytes (masks inside it from 52 bytes on), the table (palette
// entries or the three masks after a 40-byte header), a gap, the rows.
struct BmpFields {
  uint32_t headerSize = 40;
  int32_t width = 1, height = 1;
  uint32_t bits = 24, compression = 0, colorsUsed = 0;
  int32_t ppm = 0;
  std::vector<uint32_t> table;
  std::vector<uint32_t> headerMasks;  // red, green, blue[, alpha] inside a larger header
  size_t gap = 0;
  bool offsetIsZero = false;
  std::string rows;  // stored bytes, padding included
};

std::string BuildBmp(const BmpFields& fields) {
  std::string s(14 + fields.headerSize, '\0');
  s[0] = 'B';
  s[1] = 'M';
  Put32(s, 14, fields.headerSize);
  Put32(s, 18, fields.width);
  Put32(s, 22, fields.height);
  Put16(s, 26, 1);
  Put16(s, 28, fields.bits);
  Put32(s, 30, fields.compression);
  Put32(s, 38, fields.ppm);
  Put32(s, 42, fields.ppm);
  Put32(s, 46, fields.colorsUsed);
  for (size_t i = 0; i < fields.headerMasks.size(); ++i) Put32(s, 54 + 4 * i, fields.headerMasks[i]);
  for (uint32_t entry : fields.table) {
    s.append(4, '\0');
    Put32(s, s.size() - 4, entry);
  }
  s.append(fields.gap, '\xEE');  // what a reader ignoring the offset would take for pixels
  Put32(s, 10, fields.offsetIsZero ? 0 : static_cast<uint32_t>(s.size()));
  s += fields.rows;
  Put32(s, 2, static_cast<uint32_t>(s.size()));
  return s;
}

struct ReadResult {
  int ok;
  COImage image;
};

ReadResult ReadBmp(const std::string& bytes, const wchar_t* name) {
  std::wstring path = TempImagePath(name);
  EXPECT_TRUE(WriteBytes(path, bytes));
  ReadResult result;
  CBmpImage file;
  result.image.CreateFilled(1, 1, 72.0, 0x12345678, 0);
  result.ok = file.ReadFile(path.c_str(), &result.image, 0);
  DeleteFileW(path.c_str());
  return result;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += char(v);
  return out;
}

// A 24-bit, 3 x 2 bitmap: 9 bytes a row padded to 12, bottom row first.
BmpFields ThreeByTwo() {
  BmpFields fields;
  fields.width = 3;
  fields.height = 2;
  fields.rows = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0xAA, 0xAA, 0xAA,          // bottom row
                     10, 11, 12, 13, 14, 15, 16, 17, 18, 0xBB, 0xBB, 0xBB});  // top row
  return fields;
}
const std::vector<uint32_t> kThreeByTwo = {0xFF0C0B0A, 0xFF0F0E0D, 0xFF121110,
                                           0xFF030201, 0xFF060504, 0xFF090807};

}  // namespace

TEST(BmpImageTest, RowSizeRule) {
  EXPECT_EQ(2u, BmpRowSize(1, 9, false));
  EXPECT_EQ(4u, BmpRowSize(1, 9, true));
  EXPECT_EQ(3u, BmpRowSize(4, 5, false));
  EXPECT_EQ(9u, BmpRowSize(24, 3, false));
  EXPECT_EQ(12u, BmpRowSize(24, 3, true));
  EXPECT_EQ(6u, BmpRowSize(16, 3, false));
  EXPECT_EQ(8u, BmpRowSize(16, 3, true));
  EXPECT_EQ(12u, BmpRowSize(32, 3, true));
  EXPECT_EQ(0u, BmpRowSize(2, 3, true));
}

TEST(BmpImageTest, TwentyFourBitRowsSkipTheirPadding) {
  ReadResult r = ReadBmp(BuildBmp(ThreeByTwo()), L"rgb24.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ(kThreeByTwo, TopDown(r.image));
  EXPECT_EQ(72.0, r.image.GetDpi());
}

TEST(BmpImageTest, TopDownBitmapShowsUpright) {
  BmpFields fields = ThreeByTwo();
  fields.height = -2;
  ReadResult r = ReadBmp(BuildBmp(fields), L"topdown.bmp");
  ASSERT_EQ(1, r.ok);
  std::vector<uint32_t> flipped(kThreeByTwo.begin() + 3, kThreeByTwo.end());
  flipped.insert(flipped.end(), kThreeByTwo.begin(), kThreeByTwo.begin() + 3);
  EXPECT_EQ(flipped, TopDown(r.image));
}

TEST(BmpImageTest, DpiIsRoundedFromPixelsPerMetre) {
  const struct {
    int32_t ppm;
    double dpi;
  } cases[] = {{0, 72.0}, {2835, 72.0}, {3780, 96.0}, {-100, 72.0}, {10, 72.0}, {40, 1.0}};
  for (const auto& c : cases) {
    BmpFields fields = ThreeByTwo();
    fields.ppm = c.ppm;
    ReadResult r = ReadBmp(BuildBmp(fields), L"dpi.bmp");
    ASSERT_EQ(1, r.ok);
    EXPECT_EQ(c.dpi, r.image.GetDpi()) << c.ppm;
  }
}

TEST(BmpImageTest, PaletteDepths) {
  const uint32_t black = 0x000000, white = 0xFFFFFF, red = 0xFF0000, green = 0x00FF00,
                 blue = 0x0000FF;
  struct Case {
    const char* name;
    uint32_t bits, colorsUsed;
    std::vector<uint32_t> table;
    int width;
    std::string row;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {"1 bit", 1, 0, {black, white}, 10, Bytes({0xA5, 0x80, 0, 0}),
       {white, black, white, black, black, white, black, white, white, black}},
      {"4 bits, 3 colours", 4, 3, {red, green, blue}, 3, Bytes({0x21, 0x00, 0, 0}),
       {blue, green, red}},
      {"8 bits", 8, 0, std::vector<uint32_t>(256, green), 2, Bytes({7, 255, 0, 0}),
       {green, green}},
      {"8 bits, 2 colours", 8, 2, {red, blue}, 3, Bytes({1, 0, 1, 0}), {blue, red, blue}},
  };
  for (const Case& c : cases) {
    BmpFields fields;
    fields.bits = c.bits;
    fields.colorsUsed = c.colorsUsed;
    fields.table = c.table;
    fields.width = c.width;
    fields.rows = c.row;
    ReadResult r = ReadBmp(BuildBmp(fields), L"palette.bmp");
    ASSERT_EQ(1, r.ok) << c.name;
    std::vector<uint32_t> expected;
    for (uint32_t rgb : c.expected) expected.push_back(0xFF000000 | rgb);
    EXPECT_EQ(expected, TopDown(r.image)) << c.name;
  }
}

TEST(BmpImageTest, SixteenBitFormats) {
  // 0x7FFF in 5-5-5 is white: each 5-bit field shifted up by 3.
  // 0x7C1F: red and blue full. 5-6-5 0xF81F: red and blue full, 0x07E0 green full.
  BmpFields plain;
  plain.bits = 16;
  plain.width = 3;
  plain.rows = Bytes({0xFF, 0x7F, 0x1F, 0x7C, 0x21, 0x04, 0, 0});
  ReadResult r = ReadBmp(BuildBmp(plain), L"rgb555.bmp");
  ASSERT_EQ(1, r.ok);
  // 0x0421: red 1 << 3, green 1 << 3, blue 1 << 3.
  EXPECT_EQ((std::vector<uint32_t>{0xFFF8F8F8, 0xFFF800F8, 0xFF080808}), TopDown(r.image));

  BmpFields fields = plain;
  fields.compression = BI_BITFIELDS;
  fields.table = {0xF800, 0x07E0, 0x001F};
  fields.rows = Bytes({0x1F, 0xF8, 0xE0, 0x07, 0x41, 0x08, 0, 0});
  r = ReadBmp(BuildBmp(fields), L"rgb565.bmp");
  ASSERT_EQ(1, r.ok);
  // 0x0841: red 1 << 3, green 2 << 2, blue 1 << 3.
  EXPECT_EQ((std::vector<uint32_t>{0xFFF800F8, 0xFF00FC00, 0xFF080808}), TopDown(r.image));
}

TEST(BmpImageTest, ThirtyTwoBitsKeepTheFourthByteAsAlpha) {
  BmpFields fields;
  fields.bits = 32;
  fields.width = 2;
  fields.rows = Bytes({1, 2, 3, 0x80, 4, 5, 6, 0});
  ReadResult r = ReadBmp(BuildBmp(fields), L"argb.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ((std::vector<uint32_t>{0x80030201, 0x00060504}), TopDown(r.image));
}

TEST(BmpImageTest, WriteAndReadBackKeepsAlpha) {
  std::wstring path = TempImagePath(L"roundtrip.bmp");
  CBmpImage file;
  ASSERT_TRUE(file.Create(3, 2, 96.0));
  const std::vector<uint32_t> pixels = {0x00000000, 0x80102030, 0xFFFFFFFF,
                                        0x7F7F7F7F, 0x01020304, 0xFE000000};
  for (int i = 0; i < 6; ++i) file.GetImage().At(i % 3, i / 3) = pixels[i];
  ASSERT_EQ(1, file.SaveFile(path.c_str(), 0));
  std::string bytes;
  ReadFileToString(bytes, path.c_str());
  ASSERT_EQ(54u + 24, bytes.size());
  EXPECT_EQ("BM", bytes.substr(0, 2));
  EXPECT_EQ(78u, Get32(bytes, 2));
  EXPECT_EQ(54u, Get32(bytes, 10));
  EXPECT_EQ(40u, Get32(bytes, 14));
  EXPECT_EQ(2u, Get32(bytes, 22));  // positive: bottom-up
  EXPECT_EQ(32u, Get32(bytes, 28) & 0xFFFF);
  EXPECT_EQ(0u, Get32(bytes, 30));
  EXPECT_EQ(3779u, Get32(bytes, 38));  // 96 dpi, truncated

  CBmpImage back;
  ASSERT_EQ(1, back.LoadFile(path.c_str(), 0));
  EXPECT_EQ(pixels, TopDown(back.GetImage()));
  EXPECT_EQ(96.0, back.GetImage().GetDpi());
  DeleteFileW(path.c_str());

  COImage empty;
  EXPECT_EQ(0, file.WriteFile(path.c_str(), &empty, 0));
  EXPECT_EQ(0, file.WriteFile(nullptr, &file.GetImage(), 0));
}

// The reader takes the pixels from the offset in the file header, not from
// the end of the colour table: writers may leave a gap between them.
TEST(BmpImageTest, PixelDataStartsAtTheHeaderOffset) {
  BmpFields fields = ThreeByTwo();
  fields.gap = 16;
  ReadResult r = ReadBmp(BuildBmp(fields), L"gap.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ(kThreeByTwo, TopDown(r.image));
  // An offset of zero (or one into the headers) means: right after the table.
  fields.gap = 0;
  fields.offsetIsZero = true;
  r = ReadBmp(BuildBmp(fields), L"nooffset.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ(kThreeByTwo, TopDown(r.image));
}

TEST(BmpImageTest, VersionFourAndFiveHeaders) {
  // V4 (108 bytes), 24 bits: the rows come after the longer header.
  BmpFields v4 = ThreeByTwo();
  v4.headerSize = 108;
  ReadResult r = ReadBmp(BuildBmp(v4), L"v4.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ(kThreeByTwo, TopDown(r.image));

  // V5 (124 bytes), 16-bit 5-5-5 bit fields: the masks are inside the header,
  // nothing follows it, and the masks say 5-5-5, not 5-6-5.
  BmpFields v5;
  v5.headerSize = 124;
  v5.bits = 16;
  v5.compression = BI_BITFIELDS;
  v5.width = 2;
  v5.headerMasks = {0x7C00, 0x03E0, 0x001F, 0};
  v5.rows = Bytes({0xE0, 0x03, 0x00, 0x7C});
  r = ReadBmp(BuildBmp(v5), L"v5_555.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ((std::vector<uint32_t>{0xFF00F800, 0xFFF80000}), TopDown(r.image));

  // V5, 32-bit bit fields without an alpha mask: the fourth byte is padding.
  BmpFields x8;
  x8.headerSize = 124;
  x8.bits = 32;
  x8.compression = BI_BITFIELDS;
  x8.width = 2;
  x8.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  x8.rows = Bytes({1, 2, 3, 0, 4, 5, 6, 0x33});
  r = ReadBmp(BuildBmp(x8), L"v5_x8.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ((std::vector<uint32_t>{0xFF030201, 0xFF060504}), TopDown(r.image));

  // ...and with one, alpha comes from it; the masks may put red anywhere.
  x8.headerMasks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  r = ReadBmp(BuildBmp(x8), L"v5_a8.bmp");
  ASSERT_EQ(1, r.ok);
  EXPECT_EQ((std::vector<uint32_t>{0x00010203, 0x33040506}), TopDown(r.image));
}

TEST(BmpImageTest, BadInputFailsAndLeavesTheImageEmpty) {
  std::vector<std::pair<const char*, std::string>> cases;
  std::string good = BuildBmp(ThreeByTwo());
  for (size_t n : {size_t(0), size_t(10), size_t(14), size_t(40), size_t(54), size_t(60),
                   good.size() - 4})
    cases.push_back({"truncated", good.substr(0, n)});
  std::string notBm = good;
  notBm[1] = 'A';
  cases.push_back({"not BM", notBm});
  for (uint32_t compression : {1u, 2u, 4u}) {
    BmpFields rle = ThreeByTwo();
    rle.compression = compression;
    cases.push_back({"compressed", BuildBmp(rle)});
  }
  BmpFields twoBits = ThreeByTwo();
  twoBits.bits = 2;
  cases.push_back({"2 bits", BuildBmp(twoBits)});
  BmpFields tall = ThreeByTwo();
  tall.height = 3;
  cases.push_back({"more rows than the file holds", BuildBmp(tall)});
  BmpFields wide = ThreeByTwo();
  wide.width = 0x40000000;
  cases.push_back({"width that lies", BuildBmp(wide)});
  BmpFields huge = ThreeByTwo();
  huge.bits = 1;
  huge.width = 65536;
  huge.height = 16384;  // 65536 x 16384 x 4 = 2^32
  cases.push_back({"size past 32 bits", BuildBmp(huge)});
  std::string longHeader = good;
  Put32(longHeader, 14, 4000);
  cases.push_back({"header longer than the file", longHeader});
  std::string shortHeader = good;
  Put32(shortHeader, 14, 12);
  cases.push_back({"header shorter than 40 bytes", shortHeader});
  BmpFields bigTable;
  bigTable.bits = 8;
  bigTable.colorsUsed = 0x40000001;
  bigTable.rows = Bytes({0, 0, 0, 0});
  cases.push_back({"colour table larger than the file", BuildBmp(bigTable)});
  BmpFields badIndex;
  badIndex.bits = 8;
  badIndex.colorsUsed = 2;
  badIndex.table = {0xFF0000, 0x00FF00};
  badIndex.width = 2;
  badIndex.rows = Bytes({1, 2, 0, 0});
  cases.push_back({"palette index out of range", BuildBmp(badIndex)});
  BmpFields badNibble = badIndex;
  badNibble.bits = 4;
  badNibble.rows = Bytes({0x1F, 0, 0, 0});
  cases.push_back({"4-bit index out of range", BuildBmp(badNibble)});
  BmpFields fields24 = ThreeByTwo();
  fields24.compression = BI_BITFIELDS;
  cases.push_back({"bit fields at 24 bits", BuildBmp(fields24)});

  for (const auto& c : cases) {
    ReadResult r = ReadBmp(c.second, L"bad.bmp");
    EXPECT_EQ(0, r.ok) << c.first << " (" << c.second.size() << " bytes)";
    EXPECT_TRUE(r.image.IsEmpty()) << c.first;
  }
  CBmpImage file;
  COImage image;
  EXPECT_EQ(0, file.ReadFile(nullptr, &image, 0));
  EXPECT_EQ(0, file.ReadFile(TempImagePath(L"missing.bmp").c_str(), &image, 0));
}
