#include "guictl/ImageFile.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "guictl/tests/ImageTestFiles.h"

using Veltra::COImage;

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// A PNG written by libpng itself, as a reference independent of the class.
struct PngFields {
  int width = 2, height = 2, colorType = PNG_COLOR_TYPE_RGB_ALPHA, depth = 8;
  std::vector<unsigned char> rows;  // all rows, top first, packed as stored
  std::vector<png_color> palette;
  std::vector<unsigned char> trns;
  bool phys = false;
  png_uint_32 ppm = 0;
  int unit = PNG_RESOLUTION_METER;
};

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

bool EncodeReference(const PngFields& fields, std::string* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(fields.height);
  size_t stride = fields.rows.size() / fields.height;
  for (int r = 0; r < fields.height; ++r)
    rows[r] = const_cast<png_bytep>(fields.rows.data()) + r * stride;
  volatile bool ok = false;
  if (!setjmp(png_jmpbuf(png))) {
    png_set_write_fn(png, out, AppendToString, nullptr);
    png_set_check_for_invalid_index(png, 0);  // the out-of-range index case is on purpose
    png_set_IHDR(png, info, fields.width, fields.height, fields.depth, fields.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!fields.palette.empty())
      png_set_PLTE(png, info, fields.palette.data(), static_cast<int>(fields.palette.size()));
    if (!fields.trns.empty())
      png_set_tRNS(png, info, fields.trns.data(), static_cast<int>(fields.trns.size()), nullptr);
    if (fields.phys) png_set_pHYs(png, info, fields.ppm, fields.ppm, fields.unit);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return ok;
}

std::string RgbaPng() {
  PngFields fields;
  fields.rows = {255, 0, 0, 255, 0, 255, 0, 128,  // top row: red, half-transparent green
               0, 0, 255, 0, 10, 20, 30, 40};   // bottom row
  std::string out;
  EXPECT_TRUE(EncodeReference(fields, &out));
  return out;
}

const std::vector<uint32_t> kRgbaPixels = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x280A141E};

// A chunk with its length and CRC, for hand-made headers.
std::string Chunk(const char* type, const std::string& data) {
  std::string out;
  uint32_t n = static_cast<uint32_t>(data.size());
  const char length[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
  out.append(length, 4);
  std::string body = std::string(type, 4) + data;
  out += body;
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  const char tail[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
  out.append(tail, 4);
  return out;
}

std::string BigEndian(uint32_t v) {
  const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
  return std::string(b, 4);
}

// A PNG whose header claims width x height RGBA pixels but whose data is
// that of the reference 2 x 2 image.
std::string LyingPng(uint32_t width, uint32_t height) {
  std::string real = RgbaPng();
  std::string ihdr = BigEndian(width) + BigEndian(height) + std::string("\x08\x06\x00\x00\x00", 5);
  // signature (8) + IHDR chunk (25) is replaced; the rest stays.
  return real.substr(0, 8) + Chunk("IHDR", ihdr) + real.substr(33);
}

}  // namespace

TEST(PngImageTest, WritesRgbaWithPhysAndReadsBack) {
  std::wstring path = TempImagePath(L"roundtrip.png");
  CPngImage file;
  ASSERT_TRUE(file.Create(2, 2, 72.0));
  COImage& image = file.GetImage();
  for (int i = 0; i < 4; ++i) image.At(i % 2, i / 2) = kRgbaPixels[i];
  ASSERT_EQ(1, file.SaveFile(path.c_str(), 0));

  // What libpng itself sees in the file.
  png_image check = {};
  check.version = PNG_IMAGE_VERSION;
  std::string bytes;
  ReadFileToString(bytes, path.c_str());
  ASSERT_TRUE(png_image_begin_read_from_memory(&check, bytes.data(), bytes.size()));
  EXPECT_EQ(PNG_FORMAT_RGBA, check.format);
  png_image_free(&check);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  FILE* f = _wfopen(path.c_str(), L"rb");
  ASSERT_NE(nullptr, f);
  std::vector<unsigned char> top(8);
  if (!setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_read_info(png, info);
    EXPECT_EQ(8, png_get_bit_depth(png, info));
    EXPECT_EQ(PNG_COLOR_TYPE_RGB_ALPHA, png_get_color_type(png, info));
    png_uint_32 x = 0, y = 0;
    int unit = -1;
    ASSERT_TRUE(png_get_pHYs(png, info, &x, &y, &unit));
    EXPECT_EQ(2834u, x);
    EXPECT_EQ(2834u, y);
    EXPECT_EQ(PNG_RESOLUTION_METER, unit);
    png_read_row(png, top.data(), nullptr);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  fclose(f);
  // The image's top row is the file's first row, in red, green, blue, alpha order.
  EXPECT_EQ((std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 128}), top);

  CPngImage back;
  ASSERT_EQ(1, back.LoadFile(path.c_str(), 0));
  EXPECT_FALSE(back.IsEmpty());
  EXPECT_EQ(path, back.GetFileName());
  EXPECT_NEAR(71.9836, back.GetImage().GetDpi(), 1e-9);
  EXPECT_EQ(kRgbaPixels, TopDown(back.GetImage()));
  DeleteFileW(path.c_str());
}

TEST(PngImageTest, FirstRowLandsInTheLastMemoryRow) {
  std::string png = RgbaPng();
  COImage image;
  ASSERT_EQ(1, LoadPngToImage(png.data(), static_cast<unsigned>(png.size()), &image));
  EXPECT_EQ(0xFFFF0000u, image.GetBits()[2]);  // first pixel of the upper (last) memory row
  EXPECT_EQ(kRgbaPixels, TopDown(image));
}

TEST(PngImageTest, VphFileDecodesLikeThePng) {
  std::wstring path = TempImagePath(L"skin.vph");
  std::string bytes = RgbaPng();
  bytes.replace(0, 4, "?VPH");
  ASSERT_TRUE(WriteBytes(path, bytes));
  CPngImage file;
  COImage image;
  ASSERT_EQ(1, file.ReadFile(path.c_str(), &image, 0));
  EXPECT_EQ(kRgbaPixels, TopDown(image));
  // From memory the tag is not recognised.
  EXPECT_EQ(0, LoadPngToImage(bytes.data(), static_cast<unsigned>(bytes.size()), &image));
  DeleteFileW(path.c_str());
}

TEST(PngImageTest, BadSignatureFailsAndEmptiesTheTarget) {
  std::wstring path = TempImagePath(L"notpng.png");
  std::string bytes = RgbaPng();
  bytes.replace(0, 4, "GIF8");
  ASSERT_TRUE(WriteBytes(path, bytes));
  CPngImage file;
  ASSERT_TRUE(file.Create(1, 1, 72.0));
  EXPECT_EQ(0, file.LoadFile(path.c_str(), 0));
  // The member image is released; the object's empty flag keeps its old value.
  EXPECT_TRUE(file.GetImage().IsEmpty());
  EXPECT_FALSE(file.IsEmpty());
  EXPECT_EQ(0, file.LoadFile(TempImagePath(L"missing.png").c_str(), 0));
  EXPECT_EQ(0, file.LoadFile(nullptr, 0));
  DeleteFileW(path.c_str());
}

TEST(PngImageTest, DpiComesFromPhysInMetres) {
  struct Case {
    bool phys;
    png_uint_32 ppm;
    int unit;
    double dpi;
  };
  const Case cases[] = {
      {false, 0, 0, 72.0},
      {true, 2835, PNG_RESOLUTION_METER, 72.009},
      {true, 3780, PNG_RESOLUTION_METER, 96.012},
      {true, 2835, PNG_RESOLUTION_UNKNOWN, 72.0},
  };
  for (const Case& c : cases) {
    PngFields fields;
    fields.rows.assign(16, 255);
    fields.phys = c.phys;
    fields.ppm = c.ppm;
    fields.unit = c.unit;
    std::string png;
    ASSERT_TRUE(EncodeReference(fields, &png));
    COImage image;
    ASSERT_EQ(1, LoadPngToImage(png.data(), static_cast<unsigned>(png.size()), &image));
    EXPECT_NEAR(c.dpi, image.GetDpi(), 1e-9) << c.ppm << " unit " << c.unit;
  }
}

TEST(PngImageTest, PaletteWithShortTransparencyTable) {
  PngFields fields;
  fields.colorType = PNG_COLOR_TYPE_PALETTE;
  fields.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  fields.trns = {0, 77};  // the third entry stays opaque
  fields.rows = {0, 1, 2, 1};
  std::string png;
  ASSERT_TRUE(EncodeReference(fields, &png));
  COImage image;
  ASSERT_EQ(1, LoadPngToImage(png.data(), static_cast<unsigned>(png.size()), &image));
  EXPECT_EQ((std::vector<uint32_t>{0x00FF0000, 0x4D00FF00, 0xFF0000FF, 0x4D00FF00}),
            TopDown(image));
}

TEST(PngImageTest, OutOfRangePaletteIndexReadsNoFurtherThanThePalette) {
  PngFields fields;
  fields.colorType = PNG_COLOR_TYPE_PALETTE;
  fields.palette = {{255, 0, 0}, {0, 255, 0}};
  fields.rows = {0, 1, 200, 255};
  std::string png;
  ASSERT_TRUE(EncodeReference(fields, &png));
  COImage image;
  // libpng pads a short palette with opaque black.
  ASSERT_EQ(1, LoadPngToImage(png.data(), static_cast<unsigned>(png.size()), &image));
  EXPECT_EQ((std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF000000, 0xFF000000}),
            TopDown(image));
}

TEST(PngImageTest, TruncatedDataFailsCleanly) {
  std::string png = RgbaPng();
  for (size_t n = 0; n < png.size(); ++n) {
    COImage image;
    image.CreateFilled(1, 1, 72.0, 0, 0);
    EXPECT_EQ(0, LoadPngToImage(png.data(), static_cast<unsigned>(n), &image)) << n;
    EXPECT_TRUE(image.IsEmpty()) << n;
  }
  std::wstring path = TempImagePath(L"truncated.png");
  CPngImage file;
  for (size_t n : {size_t(3), size_t(8), size_t(30), png.size() - 20, png.size() - 1}) {
    ASSERT_TRUE(WriteBytes(path, png.substr(0, n)));
    COImage image;
    EXPECT_EQ(0, file.ReadFile(path.c_str(), &image, 0)) << n;
    EXPECT_TRUE(image.IsEmpty());
  }
  DeleteFileW(path.c_str());
  COImage image;
  EXPECT_EQ(0, LoadPngToImage(nullptr, 10, &image));
}

TEST(PngImageTest, SizesThatLieOrOverflowAreRefused) {
  const struct {
    uint32_t width, height;
  } cases[] = {
      {64, 64},        // more rows than the data holds
      {70000, 1},      // past the side limit
      {40000, 40000},  // width x height x 4 does not fit 32 bits
      {32768, 32768},  // exactly 2^32 bytes
  };
  for (const auto& c : cases) {
    std::string png = LyingPng(c.width, c.height);
    COImage image;
    EXPECT_EQ(0, LoadPngToImage(png.data(), static_cast<unsigned>(png.size()), &image))
        << c.width << " x " << c.height;
    EXPECT_TRUE(image.IsEmpty());
  }
  std::string honest = LyingPng(2, 2);
  COImage image;
  EXPECT_EQ(1, LoadPngToImage(honest.data(), static_cast<unsigned>(honest.size()), &image));
}

TEST(PngImageTest, WriteRefusesNothingToWriteOrNowhereToWrite) {
  CPngImage file;
  COImage empty, image;
  image.CreateFilled(1, 1, 72.0, 0xFF000000, 0);
  EXPECT_EQ(0, file.WriteFile(TempImagePath(L"never.png").c_str(), &empty, 0));
  EXPECT_EQ(0, file.WriteFile(nullptr, &image, 0));
  EXPECT_EQ(0, file.WriteFile(L"Z:\\no\\such\\folder\\x.png", &image, 0));
  EXPECT_EQ(0, file.SaveFile(TempImagePath(L"never.png").c_str(), 0));  // the object holds nothing
}

namespace {

std::wstring SuiteDir() { return Widen(QUORINDO_PNGSUITE_DIR) + L"/"; }

std::vector<std::wstring> SuiteNames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((SuiteDir() + L"*.png").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

COImage ReadSuite(const std::wstring& name, int* ok) {
  CPngImage file;
  COImage image;
  *ok = file.ReadFile((SuiteDir() + name).c_str(), &image, 0);
  return image;
}

}  // namespace

TEST(PngSuiteTest, EveryImageDecodesOrIsRefusedWhenMarkedCorrupt) {
  std::vector<std::wstring> names = SuiteNames();
  ASSERT_GE(names.size(), 40u) << "PngSuite images not found in " << QUORINDO_PNGSUITE_DIR;
  for (const std::wstring& name : names) {
    int ok = 0;
    COImage image = ReadSuite(name, &ok);
    std::string narrow(name.begin(), name.end());
    if (name[0] == L'x') {
      EXPECT_EQ(0, ok) << narrow;
      EXPECT_TRUE(image.IsEmpty()) << narrow;
    } else {
      EXPECT_EQ(1, ok) << narrow;
      EXPECT_EQ(32, image.GetWidth()) << narrow;
      EXPECT_EQ(32, image.GetHeight()) << narrow;
    }
  }
}

TEST(PngSuiteTest, InterlacedImagesMatchTheirPlainTwins) {
  int twins = 0;
  for (const std::wstring& name : SuiteNames()) {
    if (name[0] != L'i') continue;
    int okInterlaced = 0, okPlain = 0;
    COImage interlaced = ReadSuite(name, &okInterlaced);
    COImage plain = ReadSuite(name.substr(1), &okPlain);
    std::string narrow(name.begin(), name.end());
    ASSERT_TRUE(okInterlaced && okPlain) << narrow;
    EXPECT_EQ(TopDown(plain), TopDown(interlaced)) << narrow;
    ++twins;
  }
  EXPECT_GE(twins, 10);
}

TEST(PngSuiteTest, SpotCheckedPixels) {
  // Pixels (0xAARRGGBB) worked out from the files' own bytes: 16-bit samples
  // keep their high byte, grey levels below 8 bits are scaled up to 0..255.
  const struct {
    const wchar_t* name;
    int x, y;
    uint32_t pixel;
  } cases[] = {
      {L"basn0g01.png", 0, 0, 0xFFFFFFFF},  {L"basn0g01.png", 31, 0, 0xFF000000},
      {L"basn0g02.png", 9, 3, 0xFFAAAAAA},  {L"basn0g04.png", 13, 7, 0xFF444444},
      {L"basn0g08.png", 17, 4, 0xFF919191}, {L"basn0g16.png", 20, 20, 0xFFDCDCDC},
      {L"basn2c08.png", 10, 20, 0xFF75FFFF}, {L"basn2c16.png", 16, 16, 0xFF7B7B08},
      {L"basn3p01.png", 31, 31, 0xFFEEFF22}, {L"basn3p04.png", 7, 25, 0xFF00FF99},
      {L"basn3p08.png", 12, 3, 0xFF1A3300}, {L"basn4a08.png", 16, 8, 0x83BDBDBD},
      {L"basn4a16.png", 15, 15, 0xF7000000}, {L"basn6a08.png", 8, 24, 0x4102FFFF},
      {L"basn6a16.png", 25, 10, 0x6300CA35}, {L"ftbbn3p08.png", 0, 0, 0x00FFFFFF},
      {L"ftbbn3p08.png", 16, 16, 0xFF9E9E9E}, {L"ftbwn0g16.png", 0, 0, 0x00FFFFFF},
      {L"ftbrn2c08.png", 0, 0, 0x00FFFFFF}, {L"ftbbn0g04.png", 16, 16, 0xFF999999},
  };
  for (const auto& c : cases) {
    int ok = 0;
    COImage image = ReadSuite(c.name, &ok);
    std::string narrow = std::string(c.name, c.name + wcslen(c.name));
    ASSERT_EQ(1, ok) << narrow;
    EXPECT_EQ(c.pixel, image.At(c.x, c.y)) << narrow << " at " << c.x << ", " << c.y;
  }
}
