// Image files: the abstract CImageFile (an image paired with the file it came
// from) and its PNG form, which also reads VPH files (a PNG whose first four
// bytes are "?VPH"). Exported from Kestrelu.dll.
#pragma once

#include "guictl/KestrelApi.h"
#include "guictl/OImage.h"

class KESTREL_API CImageFile {
 public:
  CImageFile();
  virtual ~CImageFile();

  // 1 on success, 0 on failure.
  virtual int Create(int width, int height, double dpi) = 0;
  virtual int LoadFile(const wchar_t* path, int flags) = 0;
  virtual int SaveFile(const wchar_t* path, int flags) = 0;
  // Read into or write from any image (the member or the caller's own).
  virtual int ReadFile(const wchar_t* path, Veltra::COImage* image, int flags) = 0;
  virtual int WriteFile(const wchar_t* path, Veltra::COImage* image, int flags) = 0;

  void Clear();
  bool IsEmpty() const { return m_bEmpty != 0; }
  Veltra::COImage& GetImage() { return m_image; }
  const wchar_t* GetFileName() const { return m_szFileName; }

 protected:
  // The behaviour every form shares for Create, LoadFile and SaveFile.
  int CreateImage(int width, int height, double dpi);
  int LoadImageFile(const wchar_t* path, int flags);
  int SaveImageFile(const wchar_t* path, int flags);

  int m_bEmpty;
  Veltra::COImage m_image;
  wchar_t m_szFileName[2048];
};

class KESTREL_API CPngImage : public CImageFile {
 public:
  ~CPngImage() override;

  int Create(int width, int height, double dpi) override;
  int LoadFile(const wchar_t* path, int flags) override;
  int SaveFile(const wchar_t* path, int flags) override;
  // PNG or VPH file into image, as blue, green, red, alpha bottom-up rows.
  int ReadFile(const wchar_t* path, Veltra::COImage* image, int flags) override;
  // image as an 8-bit RGBA PNG with its dpi in a pHYs chunk.
  int WriteFile(const wchar_t* path, Veltra::COImage* image, int flags) override;
};

// PNG data held in memory (it must start with the full 8-byte signature)
// into image; 1 on success, 0 on failure (image released).
KESTREL_API int LoadPngToImage(const void* data, unsigned size, Veltra::COImage* image);
