// The one pixel image of the program: 32-bit pixels (0xAARRGGBB, not
// premultiplied, rows bottom-up) in a GDI DIB section or a heap block, with
// its own drawing state (opacity, colour key, blend mode, clip) and integer
// alpha blending, grey conversion, stretching, tiling and nine-grids.
// Exported from Kestrelu.dll; the program uses it through the import library.
#pragma once

#include <windows.h>

#include <cstdint>

#include "guictl/KestrelApi.h"

namespace Veltra {

class KESTREL_API COImage {
 public:
  // How pixels are put into an image (its blend mode).
  enum BlendMode { kBlendCopy = 0, kBlendOverOpaque = 1, kBlendCompose = 2 };
  // Resampling filters of Sample and the stretching calls.
  enum Filter { kFilterNearest = 0, kFilterBilinear = 1, kFilterBicubic = 2 };
  // Axis modes of DrawPart, StretchTile and DrawNineGrid.
  enum PartMode { kPartNatural = 1, kPartStretch = 2, kPartRepeat = 3 };

  COImage();
  COImage(const COImage& other);
  COImage& operator=(const COImage& other) { return CopyFrom(other); }
  virtual ~COImage();

  // Lifetime and storage.
  void Reset();
  int Release();
  static int CreateDIB(uint32_t** bits, HBITMAP* bitmap, int width, int height, int dibSection);
  int Create(int width, int height, double dpi, int dibSection);
  int CreateFilled(int width, int height, double dpi, uint32_t pixel, int dibSection);
  int CreateFrom(int width, int height, double dpi, const uint32_t* pixels, int dibSection);
  COImage& CopyFrom(const COImage& other);
  int SetStorage(int dibSection);

  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  uint32_t* GetBits() const { return m_pBits; }
  HBITMAP GetBitmap() const { return m_hBitmap; }
  double GetDpi() const { return m_dDpi; }
  bool IsEmpty() const { return m_pBits == nullptr; }
  bool IsDibSection() const { return m_bDibSection != 0; }
  uint32_t GetBackColor() const { return m_clrBack; }
  int GetBlendMode() const { return m_nBlendMode; }
  uint8_t GetOpacity() const { return m_nOpacity; }
  const RECT& GetClipRect() const { return m_rcClip; }
  const BITMAPINFO* GetBitmapInfo() const;

  // Drawing state.
  uint8_t SetOpacity(uint8_t percent);
  int SetClipRect(const RECT& rc);
  void SetBackColor(uint32_t pixel) { m_clrBack = pixel; }
  void SetBlendMode(int mode) { m_nBlendMode = mode; }
  // Source pixels whose four channels all lie in [low, high] get keyOpacity
  // percent of their alpha when drawn (0 skips them, 100 turns the key off).
  void SetColorKey(uint32_t low, uint32_t high, uint8_t keyOpacity);

  // Pixel (x, y), y = 0 the top row; no bounds check.
  uint32_t& At(int x, int y) const { return m_pBits[(m_nHeight - 1 - y) * m_nWidth + x]; }

  // Pixel operations; all do nothing on an empty image.
  void Fill(uint32_t pixel);
  void FillRect(const RECT& rc, uint32_t pixel);
  void FillChannel(int channel, uint8_t value);  // 0 alpha, 1 red, 2 green, 3 blue
  void FlattenOnColor(uint32_t rgb);
  void FlipVertical();
  void PutPixel(int x, int y, uint32_t pixel);
  static uint32_t BlendPixel(uint32_t source, uint32_t destination, int mode);
  uint32_t Sample(double x, double y, int filter) const;

  // Composition: this image is the destination.
  void CopyPixels(int x, int y, const COImage& src, int sx, int sy, int w, int h, uint32_t fill,
                  int useClip);
  void DrawImage(int x, int y, const COImage& src, int sx, int sy, int w, int h, uint32_t fill,
                 int grey);
  void StretchDraw(int x, int y, int w, int h, const COImage& src, int sx, int sy, int sw, int sh,
                   int filter, uint32_t fill, int grey);
  void TileDraw(const RECT& dst, const COImage& src, const RECT& srcRect, int offsetX, int offsetY,
                int tileX, int tileY);
  void StretchTile(const RECT& dst, const COImage& src, const RECT& srcRect, int a, int b,
                   int modeX, int modeY);
  int DrawPart(const RECT& dst, const COImage& src, const RECT& srcRect, int a, int b, int modeX,
               int modeY);
  // cuts: left, middle, right column widths, then top, middle, bottom row
  // heights of the source grid at (sx, sy). modes (PartMode): [0] left column
  // vertically, [1] top row horizontally, [2] right column vertically, [3]
  // bottom row horizontally, [4] and [5] the centre horizontally and vertically.
  void DrawNineGrid(const RECT& dst, const COImage& src, int sx, int sy, const int cuts[6],
                    const int modes[6]);

  // Drawing to a device context.
  int Draw(HDC dc, int x, int y, int w, int h, int sx, int sy, DWORD rop);
  int Draw(HDC dc, int x, int y, DWORD rop);
  int AlphaDraw(HDC dc, int x, int y, int sx, int sy, int w, int h, uint32_t fill, int grey,
                const COImage* backdrop);

 private:
  // PutPixel on a pixel of this image already found.
  void Put(uint32_t& d, uint32_t pixel) const;
  // One pixel through the source pipeline (key, opacity, grey) into d.
  void PutSourcePixel(uint32_t& d, uint32_t pixel, const COImage& src, int grey) const;
  // One pixel of TileDraw and StretchTile: the source's opacity and blend mode.
  static void PutTilePixel(uint32_t& d, uint32_t pixel, const COImage& src);
  void SetHeaderSize(int width, int height, double dpi);

  int m_nWidth;
  int m_nHeight;
  double m_dDpi;
  uint32_t* m_pBits;
  HBITMAP m_hBitmap;
  int m_bDibSection;
  COImage* m_pDrawCache;
  uint32_t m_clrBack;
  uint8_t m_nOpacity;
  uint32_t m_clrKeyLow;
  uint32_t m_clrKeyHigh;
  uint8_t m_nKeyOpacity;
  RECT m_rcClip;
  int m_nBlendMode;
  BITMAPINFOHEADER m_bih;
};

// The program and the library pass images to each other: both must see this
// very layout (a different packing or alignment would break here first).
static_assert(sizeof(COImage) == 120, "COImage layout differs between modules");

}  // namespace Veltra
