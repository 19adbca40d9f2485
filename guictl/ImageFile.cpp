#include "guictl/ImageFile.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

using Veltra::COImage;

namespace {

// Larger sides are refused before any pixel memory is asked for; the image's
// own create then refuses a width x height x 4 that does not fit 31 bits.
constexpr png_uint_32 kMaxPngSide = 65535;

const unsigned char kVphTag[4] = {'?', 'V', 'P', 'H'};
const unsigned char kPngTag[4] = {0x89, 'P', 'N', 'G'};

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct MemorySource {
  const png_byte* data;
  png_size_t size;
  png_size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  MemorySource* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (length > source->size - source->pos) png_error(png, "PNG data ends early");
  std::memcpy(out, source->data + source->pos, length);
  source->pos += length;
}

// libpng reports errors by longjmp back into this frame: it holds only plain
// data, so no destructor can be skipped. Reads from file (whose first four
// signature bytes are consumed) or else from memory.
int DecodePng(png_structp png, png_infop info, FILE* file, MemorySource* memory, COImage* image) {
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    std::free(rows);
    image->Release();
    return 0;
  }
  if (file) {
    png_init_io(png, file);
    png_set_sig_bytes(png, 4);
  } else {
    png_set_read_fn(png, memory, ReadFromMemory);
  }
  png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int depth = png_get_bit_depth(png, info);
  const int type = png_get_color_type(png, info);
  double dpi = png_get_pixels_per_meter(png, info) * 0.0254;
  if (!(dpi > 0)) dpi = 72.0;

  // Whatever the stored format, rows come out as blue, green, red, alpha.
  if (depth == 16) png_set_strip_16(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_PALETTE || type == PNG_COLOR_TYPE_RGB ||
      type == PNG_COLOR_TYPE_RGB_ALPHA)
    png_set_bgr(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (!(type & PNG_COLOR_MASK_ALPHA)) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // The row table below hands libpng exactly width x 4 bytes a row.
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return 0;

  if (!image->CreateFilled(static_cast<int>(width), static_cast<int>(height), dpi, 0,
                           image->IsDibSection()))
    return 0;
  rows = static_cast<png_bytep*>(std::malloc(height * sizeof(png_bytep)));
  if (!rows) {
    image->Release();
    return 0;
  }
  // PNG rows run top-down, the image's bottom-up.
  png_bytep bits = reinterpret_cast<png_bytep>(image->GetBits());
  for (png_uint_32 r = 0; r < height; ++r) rows[r] = bits + (height - 1 - r) * width * 4;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  std::free(rows);
  return 1;
}

int DecodePngFrom(FILE* file, MemorySource* memory, COImage* image) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  int ok = info ? DecodePng(png, info, file, memory, image) : 0;
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return ok;
}

// Same rule as for the read side: only plain data in the frame libpng jumps to.
int EncodePng(png_structp png, png_infop info, FILE* file, const COImage& image,
              png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return 0;
  png_init_io(png, file);
  png_set_IHDR(png, info, image.GetWidth(), image.GetHeight(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows);
  png_uint_32 ppm = static_cast<png_uint_32>(image.GetDpi() * 100 * 0.39370078740157477);
  png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  png_write_png(png, info, PNG_TRANSFORM_BGR, nullptr);
  return 1;
}

}  // namespace

CImageFile::CImageFile() : m_bEmpty(1) {
  m_image.SetStorage(1);
  m_szFileName[0] = L'\0';
}

CImageFile::~CImageFile() {}

void CImageFile::Clear() {
  if (m_bEmpty) return;
  m_image.Release();
  m_bEmpty = 1;
  m_szFileName[0] = L'\0';
}

int CImageFile::CreateImage(int width, int height, double dpi) {
  Clear();
  if (!m_image.CreateFilled(width, height, dpi, 0, 1)) return 0;
  m_bEmpty = 0;
  return 1;
}

int CImageFile::LoadImageFile(const wchar_t* path, int flags) {
  if (!ReadFile(path, &m_image, flags)) return 0;
  m_bEmpty = 0;
  const size_t capacity = sizeof(m_szFileName) / sizeof(m_szFileName[0]);
  std::wcsncpy(m_szFileName, path, capacity - 1);
  m_szFileName[capacity - 1] = L'\0';
  return 1;
}

int CImageFile::SaveImageFile(const wchar_t* path, int flags) {
  if (!path || m_bEmpty) return 0;
  return WriteFile(path, &m_image, flags);
}

CPngImage::~CPngImage() { Clear(); }

int CPngImage::Create(int width, int height, double dpi) { return CreateImage(width, height, dpi); }

int CPngImage::LoadFile(const wchar_t* path, int flags) { return LoadImageFile(path, flags); }

int CPngImage::SaveFile(const wchar_t* path, int flags) { return SaveImageFile(path, flags); }

int CPngImage::ReadFile(const wchar_t* path, COImage* image, int /*flags*/) {
  if (!path || !image) return 0;
  image->Release();
  FilePtr file(_wfopen(path, L"rb"));
  if (!file) return 0;
  unsigned char signature[4];
  if (std::fread(signature, 1, 4, file.get()) != 4) return 0;
  if (std::memcmp(signature, kVphTag, 4) == 0) std::memcpy(signature, kPngTag, 4);
  if (png_sig_cmp(signature, 0, 4) != 0) return 0;
  return DecodePngFrom(file.get(), nullptr, image);
}

int CPngImage::WriteFile(const wchar_t* path, COImage* image, int /*flags*/) {
  if (!path || !image || image->IsEmpty()) return 0;
  if (image->GetBitmap()) GdiFlush();
  const int width = image->GetWidth(), height = image->GetHeight();
  std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[height]);
  if (!rows) return 0;
  png_bytep bits = reinterpret_cast<png_bytep>(image->GetBits());
  for (int r = 0; r < height; ++r) rows[r] = bits + static_cast<size_t>(height - 1 - r) * width * 4;
  FilePtr file(_wfopen(path, L"wb"));
  if (!file) return 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  int ok = info ? EncodePng(png, info, file.get(), *image, rows.get()) : 0;
  png_destroy_write_struct(&png, info ? &info : nullptr);
  if (std::fclose(file.release()) != 0) ok = 0;
  return ok;
}

int LoadPngToImage(const void* data, unsigned size, COImage* image) {
  if (!image) return 0;
  image->Release();
  if (!data) return 0;
  MemorySource source = {static_cast<const png_byte*>(data), size, 0};
  return DecodePngFrom(nullptr, &source, image);
}
