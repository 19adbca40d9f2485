// BMP form of the image files: reads Windows bitmaps of 1, 4, 8, 16, 24 and
// 32 bits per pixel into a 32-bit image and writes images as 32-bit bitmaps.
#pragma once

#include <cstdint>

#include "guictl/ImageFile.h"

class CBmpImage : public CImageFile {
 public:
  ~CBmpImage() override;

  int Create(int width, int height, double dpi) override;
  int LoadFile(const wchar_t* path, int flags) override;
  int SaveFile(const wchar_t* path, int flags) override;
  int ReadFile(const wchar_t* path, Veltra::COImage* image, int flags) override;
  int WriteFile(const wchar_t* path, Veltra::COImage* image, int flags) override;
};

// Bytes of one stored row for a bit count and a width (0 for a count that
// bitmaps do not use), brought up to a multiple of 4 when padded.
uint64_t BmpRowSize(int bitCount, int width, bool padded);
