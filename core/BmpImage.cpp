#include "core/BmpImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/TextCodec.h"

using Veltra::COImage;

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
// Offsets in the file of the fields read.
constexpr size_t kOffBits = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22, kBitCount = 28,
                 kCompression = 30, kXPelsPerMeter = 38, kColorsUsed = 46;
// The red, green and blue masks of BI_BITFIELDS lie here whether they follow a
// 40-byte header or sit inside a larger one; the alpha mask needs a header of
// at least 56 bytes.
constexpr size_t kRedMask = 54, kGreenMask = 58, kBlueMask = 62, kAlphaMask = 66;
constexpr uint32_t kAlphaMaskHeaderSize = 56;

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel of a bit-field pixel, scaled to 8 bits by shifting.
struct MaskChannel {
  uint32_t mask = 0;
  int shift = 0, bits = 0;
  explicit MaskChannel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    for (uint32_t rest = m >> shift; rest; rest >>= 1) bits += rest & 1;
  }
  uint32_t Extract(uint32_t value) const {
    uint32_t v = (value & mask) >> shift;
    if (bits < 8) v <<= 8 - bits;
    else if (bits > 8) v >>= bits - 8;
    return std::min<uint32_t>(v, 255);
  }
};

uint32_t Opaque(uint32_t red, uint32_t green, uint32_t blue) {
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

// Decodes a whole bitmap file held in memory. Every offset and length is
// checked against the buffer before it is read.
int DecodeBmp(const uint8_t* data, size_t size, COImage* image) {
  if (size < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return 0;
  const uint32_t headerSize = U32(data + kHeaderSize);
  if (headerSize < kInfoHeaderSize || headerSize > size - kFileHeaderSize) return 0;
  const int32_t width = static_cast<int32_t>(U32(data + kWidth));
  const int32_t rawHeight = static_cast<int32_t>(U32(data + kHeight));
  const int bits = U16(data + kBitCount);
  const uint32_t compression = U32(data + kCompression);
  if (compression != BI_RGB && compression != BI_BITFIELDS) return 0;
  if (compression == BI_BITFIELDS && bits != 16 && bits != 32) return 0;
  if (width < 1 || rawHeight == 0 || rawHeight == INT32_MIN) return 0;
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  const uint64_t rowBytes = BmpRowSize(bits, width, true);
  if (rowBytes == 0) return 0;

  // Colour table, or the three masks after a plain 40-byte header.
  const size_t tableStart = kFileHeaderSize + headerSize;
  uint64_t tableBytes = 0;
  uint32_t paletteSize = 0;
  if (bits <= 8) {
    uint32_t colorsUsed = U32(data + kColorsUsed);
    uint32_t entries = colorsUsed ? colorsUsed : 1u << bits;
    tableBytes = uint64_t{entries} * 4;
    paletteSize = std::min(entries, 1u << bits);
  } else if (compression == BI_BITFIELDS && headerSize == kInfoHeaderSize) {
    tableBytes = 12;
  }
  if (tableBytes > size - tableStart) return 0;

  // The pixels lie where the file header says; writers that leave that field
  // zero (or pointing into the headers) put them right after the table.
  const size_t afterTable = tableStart + static_cast<size_t>(tableBytes);
  const uint32_t offBits = U32(data + kOffBits);
  const size_t pixelStart = offBits >= afterTable ? offBits : afterTable;
  if (pixelStart > size) return 0;
  const uint64_t needed = rowBytes * (height - 1) + BmpRowSize(bits, width, false);
  if (needed > size - pixelStart) return 0;

  const MaskChannel red(compression == BI_BITFIELDS ? U32(data + kRedMask) : 0);
  const MaskChannel green(compression == BI_BITFIELDS ? U32(data + kGreenMask) : 0);
  const MaskChannel blue(compression == BI_BITFIELDS ? U32(data + kBlueMask) : 0);
  const bool hasAlphaMask = compression == BI_BITFIELDS && headerSize >= kAlphaMaskHeaderSize;
  const MaskChannel alpha(hasAlphaMask ? U32(data + kAlphaMask) : 0);

  const int32_t ppm = static_cast<int32_t>(U32(data + kXPelsPerMeter));
  double dpi = static_cast<int>(ppm * 0.0254 + 0.5);
  if (dpi < 1) dpi = 72.0;
  if (!image->CreateFilled(width, height, dpi, 0, image->IsDibSection())) return 0;

  const uint8_t* palette = data + tableStart;
  uint32_t* const bitsOut = image->GetBits();
  for (int r = 0; r < height; ++r) {
    const uint8_t* src = data + pixelStart + r * rowBytes;
    uint32_t* dst = bitsOut + static_cast<size_t>(r) * width;  // file and image both bottom-up
    if (bits <= 8) {
      for (int x = 0; x < width; ++x) {
        uint32_t index;
        if (bits == 1)
          index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        else if (bits == 4)
          index = (x & 1) ? src[x >> 1] & 0x0F : src[x >> 1] >> 4;
        else
          index = src[x];
        if (index >= paletteSize) {
          image->Release();
          return 0;
        }
        const uint8_t* entry = palette + index * 4;
        dst[x] = Opaque(entry[2], entry[1], entry[0]);
      }
    } else if (bits == 16) {
      for (int x = 0; x < width; ++x) {
        uint32_t word = U16(src + 2 * x);
        if (compression == BI_BITFIELDS)
          dst[x] = Opaque(red.Extract(word), green.Extract(word), blue.Extract(word));
        else
          dst[x] = Opaque((word >> 7) & 0xF8, (word >> 2) & 0xF8, (src[2 * x] * 8) & 0xF8);
      }
    } else if (bits == 24) {
      for (int x = 0; x < width; ++x)
        dst[x] = Opaque(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    } else if (compression == BI_RGB) {
      std::memcpy(dst, src, static_cast<size_t>(width) * 4);
    } else {
      for (int x = 0; x < width; ++x) {
        uint32_t value = U32(src + 4 * x);
        uint32_t a = !hasAlphaMask ? value >> 24 : alpha.mask ? alpha.Extract(value) : 255;
        dst[x] = (a << 24) | (red.Extract(value) << 16) | (green.Extract(value) << 8) |
                 blue.Extract(value);
      }
    }
  }
  if (rawHeight < 0) image->FlipVertical();
  return 1;
}

void PutU16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, v);
  PutU16(p + 2, v >> 16);
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

uint64_t BmpRowSize(int bitCount, int width, bool padded) {
  if (width < 0) return 0;
  uint64_t w = static_cast<uint64_t>(width);
  uint64_t bytes;
  switch (bitCount) {
    case 1: bytes = (w + 7) / 8; break;
    case 4: bytes = (w + 1) / 2; break;
    case 8: bytes = w; break;
    case 16: bytes = 2 * w; break;
    case 24: bytes = 3 * w; break;
    case 32: bytes = 4 * w; break;
    default: return 0;
  }
  return padded ? (bytes + 3) & ~uint64_t{3} : bytes;
}

CBmpImage::~CBmpImage() { Clear(); }

int CBmpImage::Create(int width, int height, double dpi) { return CreateImage(width, height, dpi); }

int CBmpImage::LoadFile(const wchar_t* path, int flags) { return LoadImageFile(path, flags); }

int CBmpImage::SaveFile(const wchar_t* path, int flags) { return SaveImageFile(path, flags); }

int CBmpImage::ReadFile(const wchar_t* path, COImage* image, int /*flags*/) {
  if (!path || !image) return 0;
  image->Release();
  std::string file;
  if (!ReadFileToString(file, path)) return 0;
  return DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image);
}

int CBmpImage::WriteFile(const wchar_t* path, COImage* image, int /*flags*/) {
  if (!path || !image || image->IsEmpty()) return 0;
  const uint32_t pixelBytes = static_cast<uint32_t>(image->GetWidth()) * image->GetHeight() * 4;
  uint8_t header[kFileHeaderSize] = {'B', 'M'};
  PutU32(header + 2, kFileHeaderSize + kInfoHeaderSize + pixelBytes);
  PutU32(header + kOffBits, kFileHeaderSize + kInfoHeaderSize);
  std::unique_ptr<FILE, FileCloser> file(_wfopen(path, L"wb"));
  if (!file) return 0;
  if (image->GetBitmap()) GdiFlush();
  const BITMAPINFOHEADER& info = image->GetBitmapInfo()->bmiHeader;
  if (std::fwrite(header, 1, sizeof(header), file.get()) != sizeof(header) ||
      std::fwrite(&info, 1, kInfoHeaderSize, file.get()) != kInfoHeaderSize ||
      std::fwrite(image->GetBits(), 1, pixelBytes, file.get()) != pixelBytes)
    return 0;
  return std::fclose(file.release()) == 0;
}
