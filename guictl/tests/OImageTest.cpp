#include "guictl/OImage.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "guictl/tests/ImageTestFiles.h"

using Veltra::COImage;

namespace {

// An image from rows listed top row first (the order a reader expects).
COImage MakeImage(int width, std::initializer_list<uint32_t> topDown, int dib = 0) {
  std::vector<uint32_t> pixels(topDown);
  int height = static_cast<int>(pixels.size()) / width;
  COImage image;
  EXPECT_TRUE(image.Create(width, height, 72.0, dib));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.At(x, y) = pixels[y * width + x];
  return image;
}

uint32_t Grey(int v) { return 0xFF000000u | (v << 16) | (v << 8) | v; }

}  // namespace

TEST(OImageTest, NewImageHasResetState) {
  COImage image;
  EXPECT_TRUE(image.IsEmpty());
  EXPECT_EQ(72.0, image.GetDpi());
  EXPECT_EQ(100, image.GetOpacity());
  EXPECT_EQ(1, image.GetBlendMode());
  EXPECT_TRUE(image.IsDibSection());
  EXPECT_EQ(nullptr, image.GetBitmapInfo());
  ASSERT_TRUE(image.Create(3, 2, 72.0, 1));
  const BITMAPINFOHEADER& h = image.GetBitmapInfo()->bmiHeader;
  EXPECT_EQ(2834, h.biXPelsPerMeter);
  EXPECT_EQ(2834, h.biYPelsPerMeter);
  EXPECT_EQ(3, h.biWidth);
  EXPECT_EQ(2, h.biHeight);
  EXPECT_EQ(32, h.biBitCount);
  EXPECT_NE(nullptr, image.GetBitmap());
  RECT clip = image.GetClipRect();
  EXPECT_EQ(3, clip.right);
  EXPECT_EQ(2, clip.bottom);
}

TEST(OImageTest, CreateRejectsBadSizesAndKeepsTheOldImage) {
  COImage image;
  ASSERT_TRUE(image.CreateFilled(2, 2, 96.0, 0xFF112233, 0));
  EXPECT_FALSE(image.Create(10, 0, 72.0, 1));
  EXPECT_FALSE(image.Create(0, 10, 72.0, 1));
  EXPECT_FALSE(image.Create(10, 10, 0.0, 1));
  // width x height x 4 past 31 bits, and exactly 2^32 (which wraps to 0 in 32-bit arithmetic).
  EXPECT_FALSE(image.Create(40000, 30000, 72.0, 0));
  EXPECT_FALSE(image.Create(65536, 16384, 72.0, 0));
  EXPECT_FALSE(image.Create(65536, 16384, 72.0, 1));
  ASSERT_FALSE(image.IsEmpty());
  EXPECT_EQ(2, image.GetWidth());
  EXPECT_EQ(96.0, image.GetDpi());
  EXPECT_EQ(0xFF112233u, image.At(1, 1));
}

TEST(OImageTest, RowsAreStoredBottomUp) {
  COImage image = MakeImage(2, {1, 2, 3, 4});
  // (x, y) lies at (height - 1 - y) * width + x.
  EXPECT_EQ(3u, image.GetBits()[0]);
  EXPECT_EQ(4u, image.GetBits()[1]);
  EXPECT_EQ(1u, image.GetBits()[2]);
}

TEST(OImageTest, CopyFromCopiesPixelsAndState) {
  COImage source = MakeImage(2, {0xFF000001, 0xFF000002});
  source.SetOpacity(40);
  source.SetBlendMode(2);
  source.SetBackColor(0x12345678);
  source.SetColorKey(0x01020304, 0x05060708, 30);
  RECT clip = {1, 0, 2, 1};
  source.SetClipRect(clip);
  COImage copy(source);
  EXPECT_EQ(TopDown(source), TopDown(copy));
  EXPECT_EQ(40, copy.GetOpacity());
  EXPECT_EQ(2, copy.GetBlendMode());
  EXPECT_EQ(0x12345678u, copy.GetBackColor());
  EXPECT_EQ(1, copy.GetClipRect().left);
  EXPECT_FALSE(copy.IsDibSection());
  EXPECT_NE(source.GetBits(), copy.GetBits());

  COImage empty;
  copy = empty;
  EXPECT_TRUE(copy.IsEmpty());
  copy = copy;
  EXPECT_TRUE(copy.IsEmpty());
}

TEST(OImageTest, CreateFromWithoutPixelsFillsWithBackColour) {
  COImage image;
  ASSERT_TRUE(image.CreateFrom(2, 1, 72.0, nullptr, 0));
  EXPECT_EQ(0u, image.At(1, 0));
  const uint32_t pixels[2] = {7, 8};
  ASSERT_TRUE(image.CreateFrom(2, 1, 72.0, pixels, 1));
  EXPECT_EQ(7u, image.At(0, 0));
}

TEST(OImageTest, SetStorageSwitchesKeepingPixels) {
  COImage image = MakeImage(2, {1, 2, 3, 4}, 0);
  ASSERT_TRUE(image.SetStorage(1));
  EXPECT_TRUE(image.IsDibSection());
  EXPECT_NE(nullptr, image.GetBitmap());
  EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), TopDown(image));
  ASSERT_TRUE(image.SetStorage(0));
  EXPECT_EQ(nullptr, image.GetBitmap());
  EXPECT_EQ((std::vector<uint32_t>{1, 2, 3, 4}), TopDown(image));
  COImage empty;
  EXPECT_TRUE(empty.SetStorage(0));
  EXPECT_FALSE(empty.IsDibSection());
  empty.Release();
  EXPECT_FALSE(empty.IsDibSection());  // the kind survives a release
}

// Blend rules: expected pixels worked out from the product table
// [a][b] = (2ab + 255) div 510 and the three modes.
struct BlendCase {
  uint32_t source, destination;
  int mode;
  uint32_t expected;
};

TEST(OImageTest, BlendPixelFollowsTheModes) {
  const BlendCase cases[] = {
      {0x12345678, 0xFFFFFFFF, 0, 0x12345678},  // copy
      {0xFF102030, 0x80405060, 1, 0xFF102030},  // opaque source
      {0x00FFFFFF, 0x07010203, 1, 0x07010203},  // transparent source: unchanged
      {0x80FF0000, 0xFF000000, 1, 0xFF800000},  // [255][128] = 128
      {0x80FF0000, 0x07000000, 1, 0xFF800000},  // alpha becomes 255
      {0x40000000, 0xFFC8C8C8, 1, 0xFF969696},  // 200 - [200][64] = 200 - 50
      {0xFF102030, 0x80405060, 2, 0xFF102030},  // opaque source
      {0x40102030, 0x00FFFFFF, 2, 0x40102030},  // transparent backdrop
      {0x00FFFFFF, 0x80102030, 2, 0x80102030},  // transparent source
      {0x80FF0000, 0x80000000, 2, 0xC0AA0000},  // A = 128 + 128 - 64, 255 * 128 / 192
      {0x80FF0000, 0xFF000000, 2, 0xFF800000},  // opaque backdrop: as mode 1
      // A = 64 + 128 - [128][64] = 160; 200 - 200*64/160 = 120, 100 - 40 = 60,
      // 51 - 3264/160 = 51 - 20 (truncated toward zero) = 31.
      {0x40000000, 0x80C86433, 2, 0xA0783C1F},
      {0x12345678, 0xFFFFFFFF, 7, 0x12345678},  // unknown mode: copy
  };
  for (const BlendCase& c : cases) {
    EXPECT_EQ(c.expected, COImage::BlendPixel(c.source, c.destination, c.mode))
        << std::hex << c.source << " onto " << c.destination << " mode " << std::dec << c.mode;
  }
}

TEST(OImageTest, PutPixelWithTransparentSourceOnlyMakesOpaque) {
  COImage image = MakeImage(1, {0x07010203});
  image.PutPixel(0, 0, 0x00FFFFFF);
  EXPECT_EQ(0xFF010203u, image.At(0, 0));
  image.SetBlendMode(2);
  image.PutPixel(0, 0, 0x80FF0000);
  EXPECT_EQ(0xFF800101u, image.At(0, 0));
}

// The source pipeline: colour key, opacity, grey, then the destination's mode.
struct PipelineCase {
  const char* name;
  uint32_t source;
  uint8_t opacity;
  uint32_t keyLow, keyHigh;
  uint8_t keyOpacity;
  int grey;
  int destMode;
  uint32_t destination, expected;
};

TEST(OImageTest, DrawImageRunsTheSourcePipeline) {
  const PipelineCase cases[] = {
      {"opacity 50", 0xFFFF0000, 50, 0, 0xFFFFFFFF, 100, 0, 0, 0xFF000000, 0x80FF0000},
      {"opacity 50 over black", 0xFFFF0000, 50, 0, 0xFFFFFFFF, 100, 0, 1, 0xFF000000, 0xFF800000},
      {"opacity 0 in mode 1", 0xFFFF0000, 0, 0, 0xFFFFFFFF, 100, 0, 1, 0x10203040, 0xFF203040},
      {"key skips", 0xFF00FF00, 100, 0xFF00FF00, 0xFF00FF00, 0, 0, 0, 0x11223344, 0x11223344},
      {"key halves", 0xFF00FF00, 100, 0xFF00F000, 0xFF00FF00, 50, 0, 0, 0, 0x8000FF00},
      {"outside key", 0xFF00FE00, 100, 0xFF00FF00, 0xFF00FF00, 0, 0, 0, 0, 0xFF00FE00},
      {"alpha outside key", 0xFE00FF00, 100, 0xFF00FF00, 0xFF00FF00, 0, 0, 0, 0, 0xFE00FF00},
      {"key then opacity", 0xFF00FF00, 50, 0xFF00FF00, 0xFF00FF00, 50, 0, 0, 0, 0x4000FF00},
      {"key off at 100", 0xFF00FF00, 100, 0xFF00FF00, 0xFF00FF00, 100, 0, 0, 0, 0xFF00FF00},
      {"grey of red", 0xFFFF0000, 100, 0, 0xFFFFFFFF, 100, 1, 0, 0, 0xFF4C4C4C},
      {"grey keeps alpha", 0x800AC81E, 100, 0, 0xFFFFFFFF, 100, 1, 0, 0, 0x807B7B7B},
  };
  for (const PipelineCase& c : cases) {
    COImage source = MakeImage(1, {c.source});
    source.SetOpacity(c.opacity);
    source.SetColorKey(c.keyLow, c.keyHigh, c.keyOpacity);
    COImage dest = MakeImage(1, {c.destination});
    dest.SetBlendMode(c.destMode);
    dest.DrawImage(0, 0, source, 0, 0, 1, 1, 0, c.grey);
    EXPECT_EQ(c.expected, dest.At(0, 0)) << c.name;
  }
}

TEST(OImageTest, SetOpacityClampsAndReturnsTheOldValue) {
  COImage image;
  EXPECT_EQ(100, image.SetOpacity(150));
  EXPECT_EQ(100, image.SetOpacity(30));
  EXPECT_EQ(30, image.GetOpacity());
}

TEST(OImageTest, DrawImageClipsAndFillsOutsideTheSource) {
  const uint32_t A = 0xFF0000AA, B = 0xFF0000BB, F = 0xFF00FF00, X = 0xFF123456;
  COImage source = MakeImage(2, {A, B});
  COImage dest = MakeImage(4, {X, X, X, X});
  dest.DrawImage(0, 0, source, -1, 0, 4, 1, F, 0);
  EXPECT_EQ((std::vector<uint32_t>{F, A, B, F}), TopDown(dest));

  RECT sourceClip = {1, 0, 2, 1};
  ASSERT_TRUE(source.SetClipRect(sourceClip));
  dest.Fill(X);
  dest.DrawImage(0, 0, source, -1, 0, 4, 1, F, 0);
  EXPECT_EQ((std::vector<uint32_t>{F, F, B, F}), TopDown(dest));

  RECT destClip = {1, 0, 3, 1};
  ASSERT_TRUE(dest.SetClipRect(destClip));
  dest.Fill(X);
  dest.DrawImage(0, 0, source, -1, 0, 4, 1, F, 0);
  EXPECT_EQ((std::vector<uint32_t>{X, F, B, X}), TopDown(dest));

  // Far outside: nothing at all.
  dest.Fill(X);
  dest.DrawImage(100, 0, source, 0, 0, 2, 1, F, 0);
  EXPECT_EQ((std::vector<uint32_t>{X, X, X, X}), TopDown(dest));
}

TEST(OImageTest, SetClipRectLimitsToTheImage) {
  COImage image;
  ASSERT_TRUE(image.Create(4, 4, 72.0, 0));
  RECT outside = {10, 10, 20, 20};
  EXPECT_FALSE(image.SetClipRect(outside));
  EXPECT_EQ(4, image.GetClipRect().right);
  RECT wide = {-5, 1, 50, 3};
  EXPECT_TRUE(image.SetClipRect(wide));
  RECT clip = image.GetClipRect();
  EXPECT_EQ(0, clip.left);
  EXPECT_EQ(1, clip.top);
  EXPECT_EQ(4, clip.right);
  EXPECT_EQ(3, clip.bottom);
}

TEST(OImageTest, FillRectWritesOpaqueAndBlendsTranslucent) {
  COImage image = MakeImage(3, {0xFF000000, 0xFF000000, 0xFF000000});
  RECT clip = {0, 0, 2, 1};
  image.SetClipRect(clip);
  RECT all = {-1, -1, 10, 10};
  image.FillRect(all, 0x80FF0000);
  EXPECT_EQ((std::vector<uint32_t>{0xFF800000, 0xFF800000, 0xFF000000}), TopDown(image));
  image.FillRect(all, 0xFF0000FF);
  EXPECT_EQ((std::vector<uint32_t>{0xFF0000FF, 0xFF0000FF, 0xFF000000}), TopDown(image));
  image.FillRect(all, 0x00FFFFFF);  // alpha 0 in mode 1 leaves the pixels
  EXPECT_EQ(0xFF0000FFu, image.At(0, 0));
}

TEST(OImageTest, FillChannelFlattenAndFlip) {
  COImage image = MakeImage(2, {0x00102030, 0x80FF0000, 0x11111111, 0x22222222});
  COImage flat(image);
  image.FillChannel(0, 255);
  EXPECT_EQ(0xFF102030u, image.At(0, 0));
  image.FillChannel(3, 0x99);
  EXPECT_EQ(0xFF102099u, image.At(0, 0));
  image.FillChannel(4, 0);
  EXPECT_EQ(0xFF102099u, image.At(0, 0));

  flat.FlattenOnColor(0x0000FF);
  EXPECT_EQ(0xFF0000FFu, flat.At(0, 0));  // alpha 0: the colour
  EXPECT_EQ(0xFF80007Fu, flat.At(1, 0));  // 0 + [255][128], 255 - [255][128]

  COImage flip = MakeImage(1, {1, 2, 3});
  RECT clip = {0, 1, 1, 2};
  flip.SetClipRect(clip);
  flip.FlipVertical();
  EXPECT_EQ((std::vector<uint32_t>{3, 2, 1}), TopDown(flip));
  EXPECT_EQ(3, flip.GetClipRect().bottom);
}

// Sampling a single row of opaque greys at fractional positions.
struct SampleCase {
  std::initializer_list<uint32_t> row;
  double x;
  int filter;
  int expected;
};

TEST(OImageTest, SampleNearestBilinearBicubic) {
  const auto ramp = {Grey(0), Grey(100), Grey(200), Grey(255)};
  const SampleCase cases[] = {
      {ramp, 1.4, 0, 100},
      {ramp, 1.5, 0, 200},
      {ramp, 3.7, 0, 255},  // limited to the last column
      {ramp, 1.5, 1, 150},
      {ramp, 2.25, 1, 213},  // (200 * 192 + 255 * 64) >> 8
      {ramp, 3.5, 1, 255},   // last column has no right neighbour
      {ramp, 1.0, 2, 100},
      // weights k(1.5) = -0.125, k(0.5) = 0.625: 62.5 + 125 - 31.875
      {ramp, 1.5, 2, 155},
      {ramp, 0.5, 2, 37},  // column -1 repeats column 0
      // k(1.75), k(0.75), k(0.25), k(1.25) over 0, 0, 255, 255: 255 * 0.75
      {{Grey(0), Grey(0), Grey(255), Grey(255)}, 1.75, 2, 191},
      {{Grey(255), Grey(0), Grey(0), Grey(0)}, 1.5, 2, 0},      // clamped at 0
      {{Grey(0), Grey(255), Grey(255), Grey(0)}, 1.5, 2, 255},  // clamped at 255
  };
  for (const SampleCase& c : cases) {
    COImage image = MakeImage(static_cast<int>(c.row.size()), c.row);
    EXPECT_EQ(Grey(c.expected), image.Sample(c.x, 0, c.filter))
        << "x " << c.x << " filter " << c.filter;
  }
  // Two rows: y = 0 is the top row.
  COImage square = MakeImage(2, {Grey(0), Grey(100), Grey(200), Grey(255)});
  // rows 50 and (200 + 255) / 2 = 227, then (50 + 227) / 2
  EXPECT_EQ(Grey(138), square.Sample(0.5, 0.5, 1));
  EXPECT_EQ(Grey(200), square.Sample(0.2, 0.7, 0));
}

TEST(OImageTest, StretchDrawMapsEndToEnd) {
  COImage source = MakeImage(3, {Grey(0), Grey(100), Grey(200)});
  COImage dest;
  ASSERT_TRUE(dest.CreateFilled(5, 1, 72.0, 0, 0));
  dest.StretchDraw(0, 0, 5, 1, source, 0, 0, 3, 1, 1, 0, 0);
  EXPECT_EQ((std::vector<uint32_t>{Grey(0), Grey(50), Grey(100), Grey(150), Grey(200)}),
            TopDown(dest));
  dest.StretchDraw(0, 0, 5, 1, source, 0, 0, 3, 1, 0, 0, 0);
  EXPECT_EQ((std::vector<uint32_t>{Grey(0), Grey(100), Grey(100), Grey(200), Grey(200)}),
            TopDown(dest));
  // Shrinking 3 -> 2 takes both ends; one column takes the first.
  COImage small;
  ASSERT_TRUE(small.CreateFilled(2, 1, 72.0, 0, 0));
  small.StretchDraw(0, 0, 2, 1, source, 0, 0, 3, 1, 2, 0, 0);
  EXPECT_EQ((std::vector<uint32_t>{Grey(0), Grey(200)}), TopDown(small));
  small.StretchDraw(0, 0, 1, 1, source, 1, 0, 2, 1, 0, 0, 0);
  EXPECT_EQ(Grey(100), small.At(0, 0));
  // A source rectangle reaching out of the source: fill beyond it.
  small.Fill(0);
  small.StretchDraw(0, 0, 2, 1, source, 2, 0, 3, 1, 0, 0xFF00FF00, 0);
  EXPECT_EQ((std::vector<uint32_t>{Grey(200), 0xFF00FF00}), TopDown(small));
  // The source's pipeline applies here too.
  source.SetOpacity(50);
  dest.SetBlendMode(0);
  dest.StretchDraw(0, 0, 5, 1, source, 0, 0, 3, 1, 0, 0, 0);
  EXPECT_EQ(0x80646464u, dest.At(1, 0));
}

TEST(OImageTest, TileDrawRepeatsWithPhase) {
  const uint32_t A = 0xFF0000AA, B = 0xFF0000BB, X = 0xFF000000;
  COImage source = MakeImage(2, {A, B});
  COImage dest = MakeImage(5, {X, X, X, X, X});
  RECT dst = {0, 0, 5, 1}, src = {0, 0, 2, 1};
  dest.TileDraw(dst, source, src, 1, 0, 1, 0);
  EXPECT_EQ((std::vector<uint32_t>{B, A, B, A, B}), TopDown(dest));
  dest.Fill(X);
  dest.TileDraw(dst, source, src, -3, 0, 1, 0);
  EXPECT_EQ((std::vector<uint32_t>{B, A, B, A, B}), TopDown(dest));
  dest.Fill(X);
  dest.TileDraw(dst, source, src, 1, 0, 0, 0);  // not tiled: one copy, phase 0
  EXPECT_EQ((std::vector<uint32_t>{A, B, X, X, X}), TopDown(dest));

  // Source opacity and blend mode count; a transparent pixel leaves the destination.
  COImage faint = MakeImage(2, {0xFFFF0000, 0x00FFFFFF});
  faint.SetOpacity(50);
  dest.Fill(X);
  dest.TileDraw(dst, faint, src, 0, 0, 1, 0);
  EXPECT_EQ((std::vector<uint32_t>{0xFF800000, X, 0xFF800000, X, 0xFF800000}), TopDown(dest));
  faint.SetOpacity(0);
  dest.Fill(X);
  dest.TileDraw(dst, faint, src, 0, 0, 1, 0);
  EXPECT_EQ(X, dest.At(0, 0));
}

TEST(OImageTest, StretchTileStretchesOneAxisAndRepeatsTheOther) {
  const uint32_t A = 0xFF00000A, B = 0xFF00000B, C = 0xFF00000C, D = 0xFF00000D;
  COImage source = MakeImage(2, {A, B, C, D});
  COImage dest;
  ASSERT_TRUE(dest.CreateFilled(4, 3, 72.0, 0, 0));
  RECT dst = {0, 0, 4, 3}, src = {0, 0, 2, 2};
  dest.StretchTile(dst, source, src, 0, 0, 3, 2);
  EXPECT_EQ((std::vector<uint32_t>{A, B, A, B, C, D, C, D, C, D, C, D}), TopDown(dest));
  dest.StretchTile(dst, source, src, 1, 0, 3, 2);  // x repeats from phase 1
  EXPECT_EQ((std::vector<uint32_t>{B, A, B, A, D, C, D, C, D, C, D, C}), TopDown(dest));
  dest.Fill(0);
  RECT tall = {0, 0, 3, 3};
  dest.StretchTile(tall, source, src, 0, 1, 2, 3);  // y repeats from phase 1
  EXPECT_EQ((std::vector<uint32_t>{C, D, D, 0, A, B, B, 0, C, D, D, 0}), TopDown(dest));
}

TEST(OImageTest, DrawPartModes) {
  const uint32_t A = 0xFF00000A, B = 0xFF00000B;
  COImage source = MakeImage(2, {A, B});
  COImage dest;
  ASSERT_TRUE(dest.CreateFilled(4, 2, 72.0, 0, 0));
  RECT dst = {0, 0, 4, 2}, src = {0, 0, 2, 1}, none = {0, 0, 0, 1};
  EXPECT_EQ(0, dest.DrawPart(dst, source, none, 0, 0, 1, 1));
  EXPECT_EQ(0, dest.DrawPart(dst, source, src, 0, 0, 4, 1));
  EXPECT_EQ(1, dest.DrawPart(dst, source, src, 0, 0, 1, 1));  // natural size
  EXPECT_EQ((std::vector<uint32_t>{A, B, 0, 0, 0, 0, 0, 0}), TopDown(dest));
  dest.Fill(0);
  EXPECT_EQ(1, dest.DrawPart(dst, source, src, 0, 0, 1, 2));  // stretched down only
  EXPECT_EQ((std::vector<uint32_t>{A, B, 0, 0, A, B, 0, 0}), TopDown(dest));
  dest.Fill(0);
  EXPECT_EQ(1, dest.DrawPart(dst, source, src, 0, 0, 3, 1));  // repeated across only
  EXPECT_EQ((std::vector<uint32_t>{A, B, A, B, 0, 0, 0, 0}), TopDown(dest));
  EXPECT_EQ(1, dest.DrawPart(dst, source, src, 0, 0, 3, 3));
  EXPECT_EQ((std::vector<uint32_t>{A, B, A, B, A, B, A, B}), TopDown(dest));
}

TEST(OImageTest, DrawNineGridKeepsCornersAndFillsTheMiddle) {
  // Source grid: columns 1, 2, 1 wide, rows 1, 1, 1 high, one value per cell.
  const uint32_t tl = 1, t1 = 2, t2 = 3, tr = 4, l = 5, c1 = 6, c2 = 7, r = 8, bl = 9, b1 = 10,
                 b2 = 11, br = 12;
  COImage source = MakeImage(4, {tl, t1, t2, tr, l, c1, c2, r, bl, b1, b2, br});
  source.SetBlendMode(0);
  const int cuts[6] = {1, 2, 1, 1, 1, 1};
  // left: stretch, top: repeat, right: stretch, bottom: stretch, centre: repeat x, stretch y
  const int modes[6] = {2, 3, 2, 2, 3, 2};
  COImage dest;
  ASSERT_TRUE(dest.CreateFilled(6, 4, 72.0, 0xFF000000, 0));
  dest.SetBlendMode(0);
  RECT dst = {0, 0, 6, 4};
  dest.DrawNineGrid(dst, source, 0, 0, cuts, modes);
  EXPECT_EQ((std::vector<uint32_t>{tl, t1, t2, t1, t2, tr,  //
                                   l,  c1, c2, c1, c2, r,   //
                                   l,  c1, c2, c1, c2, r,   //
                                   bl, b1, b1, b2, b2, br}),
            TopDown(dest));

  // Smaller than the corners: the corners only.
  const uint32_t X = 0xFF000000;
  dest.Fill(X);
  RECT tiny = {1, 1, 3, 3};
  dest.DrawNineGrid(tiny, source, 0, 0, cuts, modes);
  EXPECT_EQ((std::vector<uint32_t>{X, X, X, X, X, X,     //
                                   X, tl, tr, X, X, X,   //
                                   X, bl, br, X, X, X,   //
                                   X, X, X, X, X, X}),
            TopDown(dest));

  dest.Fill(X);
  dest.DrawNineGrid(dst, source, 0, 0, nullptr, modes);
  dest.DrawNineGrid(dst, source, 0, 0, cuts, nullptr);
  RECT flat = {0, 0, 6, 0};
  dest.DrawNineGrid(flat, source, 0, 0, cuts, modes);
  EXPECT_EQ(std::vector<uint32_t>(24, X), TopDown(dest));
}

TEST(OImageTest, CopyPixelsCopiesRawAndFillsOutside) {
  COImage source = MakeImage(2, {0x00000001, 0x80000002});
  COImage dest = MakeImage(4, {9, 9, 9, 9});
  dest.CopyPixels(1, 0, source, 0, 0, 3, 1, 0x77, 0);
  EXPECT_EQ((std::vector<uint32_t>{9, 0x00000001, 0x80000002, 0x77}), TopDown(dest));
  RECT clip = {0, 0, 1, 1};
  source.SetClipRect(clip);
  dest.CopyPixels(0, 0, source, 0, 0, 4, 1, 0x66, 1);
  EXPECT_EQ((std::vector<uint32_t>{0x00000001, 0x66, 0x66, 0x66}), TopDown(dest));
}

namespace {

// A 32-bit DIB selected into a memory context, to draw on and read back.
struct Canvas {
  COImage target;
  HDC dc;
  HGDIOBJ old;
  Canvas(int w, int h, uint32_t pixel) {
    target.CreateFilled(w, h, 72.0, pixel, 1);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, target.GetBitmap());
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  uint32_t Rgb(int x, int y) {
    GdiFlush();
    return target.At(x, y) & 0x00FFFFFF;
  }
};

}  // namespace

TEST(OImageTest, DrawToDeviceContextFromBothStorages) {
  for (int dib = 0; dib <= 1; ++dib) {
    COImage image = MakeImage(2, {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC}, dib);
    Canvas canvas(4, 4, 0xFF000000);
    EXPECT_NE(0, image.Draw(canvas.dc, 1, 1, SRCCOPY)) << dib;
    EXPECT_EQ(0x112233u, canvas.Rgb(1, 1)) << dib;
    EXPECT_EQ(0x445566u, canvas.Rgb(2, 1)) << dib;
    EXPECT_EQ(0x778899u, canvas.Rgb(1, 2)) << dib;
    EXPECT_EQ(0xAABBCCu, canvas.Rgb(2, 2)) << dib;
    EXPECT_EQ(0u, canvas.Rgb(3, 3)) << dib;
    // One pixel from (1, 0) of the image to (0, 3).
    EXPECT_NE(0, image.Draw(canvas.dc, 0, 3, 1, 1, 1, 0, SRCCOPY)) << dib;
    EXPECT_EQ(0x445566u, canvas.Rgb(0, 3)) << dib;
  }
  COImage empty;
  Canvas canvas(1, 1, 0);
  EXPECT_EQ(0, empty.Draw(canvas.dc, 0, 0, SRCCOPY));
}

TEST(OImageTest, AlphaDrawBlendsOverScreenOrBackdrop) {
  COImage image = MakeImage(2, {0x80FF0000, 0xFF00FF00});
  Canvas canvas(3, 1, 0xFF0000FF);
  EXPECT_NE(0, image.AlphaDraw(canvas.dc, 1, 0, 0, 0, 2, 1, 0, 0, nullptr));
  EXPECT_EQ(0x0000FFu, canvas.Rgb(0, 0));
  EXPECT_EQ(0x80007Fu, canvas.Rgb(1, 0));  // red over blue: 128, 0, 255 - 128
  EXPECT_EQ(0x00FF00u, canvas.Rgb(2, 0));

  COImage backdrop = MakeImage(2, {0xFF000000, 0xFF000000});
  EXPECT_NE(0, image.AlphaDraw(canvas.dc, 0, 0, 0, 0, 2, 1, 0, 1, &backdrop));
  EXPECT_EQ(0x262626u, canvas.Rgb(0, 0));  // grey of red is 76, at alpha 128: 38
  EXPECT_EQ(0x959595u, canvas.Rgb(1, 0));  // grey of green: 149

  EXPECT_EQ(0, image.AlphaDraw(canvas.dc, 0, 0, 0, 0, 0, 1, 0, 0, nullptr));
  COImage empty;
  EXPECT_EQ(0, empty.AlphaDraw(canvas.dc, 0, 0, 0, 0, 1, 1, 0, 0, nullptr));
}
