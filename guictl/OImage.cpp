#include "guictl/OImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace Veltra {
namespace {

// kMul[a][b] = a * b / 255 rounded, halves upward: every blend goes through it.
struct ProductTable {
  uint8_t v[256][256];
  constexpr ProductTable() : v() {
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) v[a][b] = static_cast<uint8_t>((2 * a * b + 255) / 510);
  }
};
constexpr ProductTable kMul;

struct GreyTables {
  float red[256], green[256], blue[256];
  constexpr GreyTables() : red(), green(), blue() {
    for (int i = 0; i < 256; ++i) {
      red[i] = static_cast<float>(i * 0.299);
      green[i] = static_cast<float>(i * 0.587);
      blue[i] = static_cast<float>(i * 0.114);
    }
  }
};
constexpr GreyTables kGrey;

// Largest pixel block we allocate: its byte count must fit a signed 32-bit value.
constexpr uint64_t kMaxBlockBytes = 0x7FFFFFFF;

inline int Ch(uint32_t p, int shift) { return (p >> shift) & 0xFF; }
inline uint32_t Alpha(uint32_t p) { return p >> 24; }
inline uint32_t Pack(int a, int r, int g, int b) {
  return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) |
         (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
// D.c + T(S.c - D.c, a).
inline int Toward(int d, int s, int a) {
  return s >= d ? d + kMul.v[s - d][a] : d - kMul.v[d - s][a];
}
inline uint32_t BlendColours(uint32_t s, uint32_t d, int a, int alpha) {
  return Pack(alpha, Toward(Ch(d, 16), Ch(s, 16), a), Toward(Ch(d, 8), Ch(s, 8), a),
              Toward(Ch(d, 0), Ch(s, 0), a));
}
inline uint32_t WithAlpha(uint32_t p, uint32_t alpha) { return (p & 0x00FFFFFF) | (alpha << 24); }
inline uint32_t ScaleAlpha(uint32_t p, int percent) {
  return WithAlpha(p, (Alpha(p) * percent + 50) / 100);
}

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }
RECT Intersect(const RECT& a, const RECT& b) {
  RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
  return r;
}
bool IsEmptyRect(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
int PositiveMod(int v, int period) {
  int m = v % period;
  return m < 0 ? m + period : m;
}

float CubicWeight(float t) {
  t = std::fabs(t);
  if (t < 1.0f) return 1.0f - 2.0f * t * t + t * t * t;
  if (t < 2.0f) return 4.0f - 8.0f * t + 5.0f * t * t - t * t * t;
  return 0.0f;
}

struct ScopedMemoryDC {
  HDC dc;
  explicit ScopedMemoryDC(HDC compatible) : dc(CreateCompatibleDC(compatible)) {}
  ~ScopedMemoryDC() {
    if (dc) DeleteDC(dc);
  }
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
};

struct ScopedSelectObject {
  HDC dc;
  HGDIOBJ old;
  ScopedSelectObject(HDC d, HGDIOBJ obj) : dc(d), old(SelectObject(d, obj)) {}
  ~ScopedSelectObject() {
    if (old) SelectObject(dc, old);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
};

}  // namespace

COImage::COImage() { Reset(); }

COImage::COImage(const COImage& other) {
  Reset();
  CopyFrom(other);
}

COImage::~COImage() { Release(); }

void COImage::Reset() {
  m_nWidth = 0;
  m_nHeight = 0;
  m_dDpi = 72.0;
  m_pBits = nullptr;
  m_hBitmap = nullptr;
  m_bDibSection = 1;
  m_pDrawCache = nullptr;
  m_clrBack = 0;
  m_nOpacity = 100;
  m_clrKeyLow = 0;
  m_clrKeyHigh = 0xFFFFFFFF;
  m_nKeyOpacity = 100;
  m_rcClip = RECT{0, 0, 0, 0};
  m_nBlendMode = kBlendOverOpaque;
  std::memset(&m_bih, 0, sizeof(m_bih));
  m_bih.biSize = sizeof(BITMAPINFOHEADER);
  m_bih.biPlanes = 1;
  m_bih.biBitCount = 32;
  m_bih.biCompression = BI_RGB;
  SetHeaderSize(0, 0, 72.0);
}

void COImage::SetHeaderSize(int width, int height, double dpi) {
  m_bih.biWidth = width;
  m_bih.biHeight = height;
  LONG ppm = static_cast<LONG>(dpi * 100 * 0.39370078740157477);
  m_bih.biXPelsPerMeter = ppm;
  m_bih.biYPelsPerMeter = ppm;
}

int COImage::Release() {
  if (m_hBitmap)
    DeleteObject(m_hBitmap);
  else
    std::free(m_pBits);
  delete m_pDrawCache;
  int dibSection = m_bDibSection;
  Reset();
  m_bDibSection = dibSection;
  return 1;
}

int COImage::CreateDIB(uint32_t** bits, HBITMAP* bitmap, int width, int height, int dibSection) {
  *bits = nullptr;
  *bitmap = nullptr;
  if (width < 1 || height < 1) return 0;
  uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
  if (bytes > kMaxBlockBytes) return 0;
  if (!dibSection) {
    *bits = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(bytes)));
    return *bits != nullptr;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  void* pixels = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!dib || !pixels) {
    if (dib) DeleteObject(dib);
    return 0;
  }
  *bits = static_cast<uint32_t*>(pixels);
  *bitmap = dib;
  return 1;
}

int COImage::Create(int width, int height, double dpi, int dibSection) {
  if (width < 1 || height < 1 || !(dpi > 0)) return 0;
  uint32_t* bits;
  HBITMAP bitmap;
  if (!CreateDIB(&bits, &bitmap, width, height, dibSection)) return 0;
  Release();
  m_pBits = bits;
  m_hBitmap = bitmap;
  m_bDibSection = dibSection ? 1 : 0;
  m_nWidth = width;
  m_nHeight = height;
  m_dDpi = dpi;
  m_rcClip = RECT{0, 0, width, height};
  SetHeaderSize(width, height, dpi);
  return 1;
}

int COImage::CreateFilled(int width, int height, double dpi, uint32_t pixel, int dibSection) {
  if (!Create(width, height, dpi, dibSection)) return 0;
  Fill(pixel);
  return 1;
}

int COImage::CreateFrom(int width, int height, double dpi, const uint32_t* pixels,
                        int dibSection) {
  if (!Create(width, height, dpi, dibSection)) return 0;
  if (pixels)
    std::memcpy(m_pBits, pixels, static_cast<size_t>(width) * height * 4);
  else
    Fill(m_clrBack);
  return 1;
}

COImage& COImage::CopyFrom(const COImage& other) {
  if (this == &other) return *this;
  Release();
  if (other.IsEmpty()) return *this;
  if (!CreateFrom(other.m_nWidth, other.m_nHeight, other.m_dDpi, other.m_pBits,
                  other.m_bDibSection))
    return *this;
  m_clrBack = other.m_clrBack;
  m_nOpacity = other.m_nOpacity;
  m_clrKeyLow = other.m_clrKeyLow;
  m_clrKeyHigh = other.m_clrKeyHigh;
  m_nKeyOpacity = other.m_nKeyOpacity;
  m_nBlendMode = other.m_nBlendMode;
  m_rcClip = other.m_rcClip;
  return *this;
}

int COImage::SetStorage(int dibSection) {
  dibSection = dibSection ? 1 : 0;
  if (dibSection == m_bDibSection) return 1;
  if (IsEmpty()) {
    m_bDibSection = dibSection;
    return 1;
  }
  uint32_t* bits;
  HBITMAP bitmap;
  if (!CreateDIB(&bits, &bitmap, m_nWidth, m_nHeight, dibSection)) return 0;
  if (m_hBitmap) GdiFlush();
  std::memcpy(bits, m_pBits, static_cast<size_t>(m_nWidth) * m_nHeight * 4);
  if (m_hBitmap)
    DeleteObject(m_hBitmap);
  else
    std::free(m_pBits);
  m_pBits = bits;
  m_hBitmap = bitmap;
  m_bDibSection = dibSection;
  return 1;
}

const BITMAPINFO* COImage::GetBitmapInfo() const {
  return IsEmpty() ? nullptr : reinterpret_cast<const BITMAPINFO*>(&m_bih);
}

uint8_t COImage::SetOpacity(uint8_t percent) {
  uint8_t old = m_nOpacity;
  m_nOpacity = std::min<uint8_t>(percent, 100);
  return old;
}

int COImage::SetClipRect(const RECT& rc) {
  RECT clip = {std::max<LONG>(rc.left, 0), std::max<LONG>(rc.top, 0),
               std::min<LONG>(rc.right, m_nWidth), std::min<LONG>(rc.bottom, m_nHeight)};
  if (IsEmptyRect(clip)) return 0;
  m_rcClip = clip;
  return 1;
}

void COImage::SetColorKey(uint32_t low, uint32_t high, uint8_t keyOpacity) {
  m_clrKeyLow = low;
  m_clrKeyHigh = high;
  m_nKeyOpacity = std::min<uint8_t>(keyOpacity, 100);
}

void COImage::Fill(uint32_t pixel) {
  if (IsEmpty()) return;
  std::fill(m_pBits, m_pBits + static_cast<size_t>(m_nWidth) * m_nHeight, pixel);
}

void COImage::FillRect(const RECT& rc, uint32_t pixel) {
  if (IsEmpty()) return;
  RECT area = Intersect(rc, m_rcClip);
  if (IsEmptyRect(area)) return;
  for (int y = area.top; y < area.bottom; ++y) {
    uint32_t* row = &At(0, y);
    if (Alpha(pixel) == 255) {
      std::fill(row + area.left, row + area.right, pixel);
    } else {
      for (int x = area.left; x < area.right; ++x) row[x] = BlendPixel(pixel, row[x], m_nBlendMode);
    }
  }
}

void COImage::FillChannel(int channel, uint8_t value) {
  if (IsEmpty() || channel < 0 || channel > 3) return;
  int shift = (3 - channel) * 8;  // 0 alpha (byte 3) ... 3 blue (byte 0)
  uint32_t keep = ~(0xFFu << shift);
  uint32_t set = static_cast<uint32_t>(value) << shift;
  uint32_t* end = m_pBits + static_cast<size_t>(m_nWidth) * m_nHeight;
  for (uint32_t* p = m_pBits; p != end; ++p) *p = (*p & keep) | set;
}

void COImage::FlattenOnColor(uint32_t rgb) {
  if (IsEmpty()) return;
  uint32_t colour = rgb | 0xFF000000;
  uint32_t* end = m_pBits + static_cast<size_t>(m_nWidth) * m_nHeight;
  for (uint32_t* p = m_pBits; p != end; ++p) {
    int a = Alpha(*p);
    if (a == 255) continue;
    *p = a == 0 ? colour : BlendColours(*p, colour, a, 255);
  }
}

void COImage::FlipVertical() {
  if (IsEmpty()) return;
  for (int y = 0; y < m_nHeight / 2; ++y)
    std::swap_ranges(&At(0, y), &At(0, y) + m_nWidth, &At(0, m_nHeight - 1 - y));
  m_rcClip = RECT{0, 0, m_nWidth, m_nHeight};
}

uint32_t COImage::BlendPixel(uint32_t source, uint32_t destination, int mode) {
  int a = Alpha(source);
  switch (mode) {
    case kBlendOverOpaque:
      if (a == 255) return source;
      if (a == 0) return destination;
      return BlendColours(source, destination, a, 255);
    case kBlendCompose: {
      int d = Alpha(destination);
      if (a == 255 || d == 0) return source;
      if (a == 0) return destination;
      if (d == 255) return BlendColours(source, destination, a, 255);
      int alpha = a + d - kMul.v[d][a];
      auto mix = [&](int shift) {
        return Ch(destination, shift) + (Ch(source, shift) - Ch(destination, shift)) * a / alpha;
      };
      return Pack(alpha, mix(16), mix(8), mix(0));
    }
    default:
      return source;
  }
}

void COImage::PutPixel(int x, int y, uint32_t pixel) { Put(At(x, y), pixel); }

void COImage::Put(uint32_t& d, uint32_t pixel) const {
  if (m_nBlendMode == kBlendOverOpaque && Alpha(pixel) == 0)
    d |= 0xFF000000;
  else
    d = BlendPixel(pixel, d, m_nBlendMode);
}

uint32_t COImage::Sample(double x, double y, int filter) const {
  if (IsEmpty()) return 0;
  const int lastX = m_nWidth - 1, lastY = m_nHeight - 1;
  auto clampX = [&](int v) { return std::min(std::max(v, 0), lastX); };
  auto clampY = [&](int v) { return std::min(std::max(v, 0), lastY); };
  if (filter == kFilterBilinear) {
    int x0 = clampX(static_cast<int>(x)), y0 = clampY(static_cast<int>(y));
    int x1 = x0 < lastX ? x0 + 1 : x0, y1 = y0 < lastY ? y0 + 1 : y0;
    int fx = std::min(std::max(static_cast<int>((x - x0) * 256), 0), 256);
    int fy = std::min(std::max(static_cast<int>((y - y0) * 256), 0), 256);
    uint32_t p00 = At(x0, y0), p10 = At(x1, y0), p01 = At(x0, y1), p11 = At(x1, y1);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      int top = (Ch(p00, shift) * (256 - fx) + Ch(p10, shift) * fx) >> 8;
      int bottom = (Ch(p01, shift) * (256 - fx) + Ch(p11, shift) * fx) >> 8;
      out |= static_cast<uint32_t>((top * (256 - fy) + bottom * fy) >> 8) << shift;
    }
    return out;
  }
  if (filter == kFilterBicubic) {
    int cx = static_cast<int>(x), cy = static_cast<int>(y);
    float wx[4], wy[4];
    int px[4], py[4];
    for (int i = 0; i < 4; ++i) {
      wx[i] = CubicWeight(static_cast<float>(cx + i - 1 - x));
      wy[i] = CubicWeight(static_cast<float>(cy + i - 1 - y));
      px[i] = clampX(cx + i - 1);
      py[i] = clampY(cy + i - 1);
    }
    float sum[4] = {0, 0, 0, 0};
    for (int j = 0; j < 4; ++j) {
      for (int i = 0; i < 4; ++i) {
        uint32_t p = At(px[i], py[j]);
        float w = wx[i] * wy[j];
        for (int c = 0; c < 4; ++c) sum[c] += w * Ch(p, c * 8);
      }
    }
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
      float v = std::min(std::max(sum[c], 0.0f), 255.0f);
      out |= static_cast<uint32_t>(v) << (c * 8);
    }
    return out;
  }
  return At(clampX(static_cast<int>(x + 0.5)), clampY(static_cast<int>(y + 0.5)));
}

void COImage::PutSourcePixel(uint32_t& d, uint32_t pixel, const COImage& src, int grey) const {
  if (src.m_nKeyOpacity < 100) {
    bool inKey = true;
    for (int shift = 0; shift < 32 && inKey; shift += 8) {
      int c = Ch(pixel, shift);
      inKey = c >= Ch(src.m_clrKeyLow, shift) && c <= Ch(src.m_clrKeyHigh, shift);
    }
    if (inKey) {
      if (src.m_nKeyOpacity == 0) return;
      pixel = ScaleAlpha(pixel, src.m_nKeyOpacity);
    }
  }
  if (src.m_nOpacity < 100) pixel = ScaleAlpha(pixel, src.m_nOpacity);
  if (grey) {
    int g = static_cast<int>(kGrey.red[Ch(pixel, 16)] + kGrey.green[Ch(pixel, 8)] +
                             kGrey.blue[Ch(pixel, 0)]);
    pixel = Pack(Alpha(pixel), g, g, g);
  }
  Put(d, pixel);
}

void COImage::PutTilePixel(uint32_t& d, uint32_t pixel, const COImage& src) {
  if (src.m_nOpacity < 100) pixel = ScaleAlpha(pixel, src.m_nOpacity);
  d = BlendPixel(pixel, d, src.m_nBlendMode);
}

void COImage::CopyPixels(int x, int y, const COImage& src, int sx, int sy, int w, int h,
                         uint32_t fill, int useClip) {
  if (IsEmpty() || w < 1 || h < 1) return;
  RECT whole = {0, 0, m_nWidth, m_nHeight};
  RECT area = Intersect(RECT{x, y, x + w, y + h}, useClip ? m_rcClip : whole);
  if (IsEmptyRect(area)) return;
  RECT srcArea = {0, 0, 0, 0};
  if (!src.IsEmpty())
    srcArea = useClip ? src.m_rcClip : RECT{0, 0, src.m_nWidth, src.m_nHeight};
  // Columns of this row whose source lies inside the source area.
  int from = std::max<int>(area.left, srcArea.left - sx + x);
  int to = std::min<int>(area.right, srcArea.right - sx + x);
  for (int j = area.top; j < area.bottom; ++j) {
    uint32_t* row = &At(0, j);
    int srcY = sy + j - y;
    if (srcY < srcArea.top || srcY >= srcArea.bottom || from >= to) {
      std::fill(row + area.left, row + area.right, fill);
      continue;
    }
    const uint32_t* srcRow = &src.At(0, srcY);
    std::fill(row + area.left, row + from, fill);
    std::memcpy(row + from, srcRow + (sx + from - x), static_cast<size_t>(to - from) * 4);
    std::fill(row + to, row + area.right, fill);
  }
}

void COImage::DrawImage(int x, int y, const COImage& src, int sx, int sy, int w, int h,
                        uint32_t fill, int grey) {
  if (IsEmpty() || w < 1 || h < 1) return;
  RECT area = Intersect(RECT{x, y, x + w, y + h}, m_rcClip);
  if (IsEmptyRect(area)) return;
  const RECT srcClip = src.IsEmpty() ? RECT{0, 0, 0, 0} : src.m_rcClip;
  for (int j = area.top; j < area.bottom; ++j) {
    int srcY = sy + j - y;
    uint32_t* row = &At(0, j);
    const uint32_t* srcRow =
        srcY >= srcClip.top && srcY < srcClip.bottom ? &src.At(0, srcY) : nullptr;
    for (int i = area.left; i < area.right; ++i) {
      int srcX = sx + i - x;
      if (srcRow && srcX >= srcClip.left && srcX < srcClip.right)
        PutSourcePixel(row[i], srcRow[srcX], src, grey);
      else
        row[i] = BlendPixel(fill, row[i], m_nBlendMode);
    }
  }
}

void COImage::StretchDraw(int x, int y, int w, int h, const COImage& src, int sx, int sy, int sw,
                          int sh, int filter, uint32_t fill, int grey) {
  if (IsEmpty() || w < 1 || h < 1) return;
  RECT area = Intersect(RECT{x, y, x + w, y + h}, m_rcClip);
  if (IsEmptyRect(area)) return;
  RECT srcArea = {0, 0, 0, 0};
  if (!src.IsEmpty()) srcArea = Intersect(RECT{sx, sy, sx + sw, sy + sh}, src.m_rcClip);
  const float stepX = w > 1 ? static_cast<float>(sw - 1) / static_cast<float>(w - 1) : 0.0f;
  const float stepY = h > 1 ? static_cast<float>(sh - 1) / static_cast<float>(h - 1) : 0.0f;
  for (int j = area.top; j < area.bottom; ++j) {
    float fy = sy + (j - y) * stepY;
    bool rowInside = fy >= srcArea.top && fy < srcArea.bottom;
    uint32_t* row = &At(0, j);
    for (int i = area.left; i < area.right; ++i) {
      float fx = sx + (i - x) * stepX;
      if (rowInside && fx >= srcArea.left && fx < srcArea.right)
        PutSourcePixel(row[i], src.Sample(fx, fy, filter), src, grey);
      else
        row[i] = BlendPixel(fill, row[i], m_nBlendMode);
    }
  }
}

void COImage::TileDraw(const RECT& dst, const COImage& src, const RECT& srcRect, int offsetX,
                       int offsetY, int tileX, int tileY) {
  const int periodX = RectWidth(srcRect), periodY = RectHeight(srcRect);
  if (IsEmpty() || src.IsEmpty() || periodX < 1 || periodY < 1) return;
  if (src.m_nOpacity == 0) return;
  RECT area = Intersect(dst, m_rcClip);
  if (!tileX) area.right = std::min<LONG>(area.right, dst.left + periodX);
  if (!tileY) area.bottom = std::min<LONG>(area.bottom, dst.top + periodY);
  if (IsEmptyRect(area)) return;
  const int phaseX = tileX ? PositiveMod(offsetX, periodX) : 0;
  const int phaseY = tileY ? PositiveMod(offsetY, periodY) : 0;
  for (int j = area.top; j < area.bottom; ++j) {
    int srcY = srcRect.top + PositiveMod(j + phaseY - dst.top, periodY);
    if (srcY < 0 || srcY >= src.m_nHeight) continue;
    uint32_t* row = &At(0, j);
    const uint32_t* srcRow = &src.At(0, srcY);
    for (int i = area.left; i < area.right; ++i) {
      int srcX = srcRect.left + PositiveMod(i + phaseX - dst.left, periodX);
      if (srcX < 0 || srcX >= src.m_nWidth) continue;
      PutTilePixel(row[i], srcRow[srcX], src);
    }
  }
}

void COImage::StretchTile(const RECT& dst, const COImage& src, const RECT& srcRect, int a, int b,
                          int modeX, int modeY) {
  const int spanX = RectWidth(srcRect), spanY = RectHeight(srcRect);
  if (IsEmpty() || src.IsEmpty() || spanX < 1 || spanY < 1) return;
  if (src.m_nOpacity == 0) return;
  RECT area = Intersect(dst, m_rcClip);
  if (modeX != kPartStretch && modeX != kPartRepeat)
    area.right = std::min<LONG>(area.right, dst.left + spanX);
  if (modeY != kPartStretch && modeY != kPartRepeat)
    area.bottom = std::min<LONG>(area.bottom, dst.top + spanY);
  if (IsEmptyRect(area)) return;
  int filter = kFilterNearest;
  if (modeX == kPartStretch && modeY == kPartStretch)
    filter = std::max(a, b);
  else if (modeX == kPartStretch)
    filter = a;
  else if (modeY == kPartStretch)
    filter = b;
  const int dstW = RectWidth(dst), dstH = RectHeight(dst);
  const float stepX = dstW > 1 ? static_cast<float>(spanX - 1) / static_cast<float>(dstW - 1) : 0;
  const float stepY = dstH > 1 ? static_cast<float>(spanY - 1) / static_cast<float>(dstH - 1) : 0;
  // Source coordinate of a destination offset along one axis.
  auto map = [](int mode, int offset, int origin, int span, int phase, float step) -> float {
    if (mode == kPartStretch) return origin + offset * step;
    if (mode == kPartRepeat) return static_cast<float>(origin + PositiveMod(offset + phase, span));
    return static_cast<float>(origin + offset);
  };
  for (int j = area.top; j < area.bottom; ++j) {
    float fy = map(modeY, j - dst.top, srcRect.top, spanY, b, stepY);
    if (fy < 0 || fy >= src.m_nHeight) continue;
    uint32_t* row = &At(0, j);
    for (int i = area.left; i < area.right; ++i) {
      float fx = map(modeX, i - dst.left, srcRect.left, spanX, a, stepX);
      if (fx < 0 || fx >= src.m_nWidth) continue;
      PutTilePixel(row[i], src.Sample(fx, fy, filter), src);
    }
  }
}

int COImage::DrawPart(const RECT& dst, const COImage& src, const RECT& srcRect, int a, int b,
                      int modeX, int modeY) {
  const int sw = RectWidth(srcRect), sh = RectHeight(srcRect);
  if (sw < 1 || sh < 1) return 0;
  const int dw = RectWidth(dst), dh = RectHeight(dst);
  // Two digits, horizontal mode then vertical: 12 is natural across, stretched down.
  switch (modeX * 10 + modeY) {
    case 11:
      DrawImage(dst.left, dst.top, src, srcRect.left, srcRect.top, sw, sh, 0, 0);
      return 1;
    case 12:
      StretchDraw(dst.left, dst.top, sw, dh, src, srcRect.left, srcRect.top, sw, sh, b, 0, 0);
      return 1;
    case 21:
      StretchDraw(dst.left, dst.top, dw, sh, src, srcRect.left, srcRect.top, sw, sh, a, 0, 0);
      return 1;
    case 22:
      StretchDraw(dst.left, dst.top, dw, dh, src, srcRect.left, srcRect.top, sw, sh,
                  std::max(a, b), 0, 0);
      return 1;
    case 13:
      TileDraw(dst, src, srcRect, a, b, 0, 1);
      return 1;
    case 31:
      TileDraw(dst, src, srcRect, a, b, 1, 0);
      return 1;
    case 33:
      TileDraw(dst, src, srcRect, a, b, 1, 1);
      return 1;
    case 23:
    case 32:
      StretchTile(dst, src, srcRect, a, b, modeX, modeY);
      return 1;
    default:
      return 0;
  }
}

void COImage::DrawNineGrid(const RECT& dst, const COImage& src, int sx, int sy, const int cuts[6],
                           const int modes[6]) {
  if (!cuts || !modes || RectWidth(dst) < 1 || RectHeight(dst) < 1) return;
  const int left = cuts[0], middle = cuts[1], right = cuts[2];
  const int top = cuts[3], centre = cuts[4], bottom = cuts[5];
  const int midW = RectWidth(dst) - left - right, midH = RectHeight(dst) - top - bottom;
  // Source and destination edges of the three columns and rows.
  const int srcX[4] = {sx, sx + left, sx + left + middle, sx + left + middle + right};
  const int srcY[4] = {sy, sy + top, sy + top + centre, sy + top + centre + bottom};
  const int dstX[4] = {dst.left, dst.left + left, dst.left + left + midW, dst.right};
  const int dstY[4] = {dst.top, dst.top + top, dst.top + top + midH, dst.bottom};
  // (horizontal, vertical) mode of each cell, in row order.
  const int cellModes[3][3][2] = {
      {{1, 1}, {modes[1], 1}, {1, 1}},
      {{1, modes[0]}, {modes[4], modes[5]}, {1, modes[2]}},
      {{1, 1}, {modes[3], 1}, {1, 1}},
  };
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      bool middleCell = row == 1 || col == 1;
      if (middleCell && ((col == 1 && midW < 1) || (row == 1 && midH < 1))) continue;
      RECT cell = {dstX[col], dstY[row], dstX[col + 1], dstY[row + 1]};
      RECT srcCell = {srcX[col], srcY[row], srcX[col + 1], srcY[row + 1]};
      DrawPart(cell, src, srcCell, 0, 0, cellModes[row][col][0], cellModes[row][col][1]);
    }
  }
}

int COImage::Draw(HDC dc, int x, int y, int w, int h, int sx, int sy, DWORD rop) {
  if (IsEmpty()) return 0;
  if (!m_hBitmap) {
    // Bottom-up rows: the source y of SetDIBitsToDevice counts from the bottom.
    return SetDIBitsToDevice(dc, x, y, w, h, sx, m_nHeight - sy - h, 0, m_nHeight, m_pBits,
                             GetBitmapInfo(), DIB_RGB_COLORS);
  }
  if (m_pDrawCache) m_pDrawCache->Release();
  ScopedMemoryDC memory(dc);
  if (!memory.dc) return 0;
  ScopedSelectObject select(memory.dc, m_hBitmap);
  return BitBlt(dc, x, y, w, h, memory.dc, sx, sy, rop);
}

int COImage::Draw(HDC dc, int x, int y, DWORD rop) {
  return Draw(dc, x, y, m_nWidth, m_nHeight, 0, 0, rop);
}

int COImage::AlphaDraw(HDC dc, int x, int y, int sx, int sy, int w, int h, uint32_t fill,
                       int grey, const COImage* backdrop) {
  if (IsEmpty() || w < 1 || h < 1) return 0;
  ScopedMemoryDC memory(dc);
  if (!memory.dc) return 0;
  if (!m_pDrawCache) m_pDrawCache = new (std::nothrow) COImage;
  if (m_pDrawCache && (m_pDrawCache->IsEmpty() || m_pDrawCache->m_nWidth != w ||
                       m_pDrawCache->m_nHeight != h)) {
    if (!m_pDrawCache->Create(w, h, m_dDpi, 1)) {
      delete m_pDrawCache;
      m_pDrawCache = nullptr;
    }
  }
  if (!m_pDrawCache) return 0;
  COImage& cache = *m_pDrawCache;
  ScopedSelectObject select(memory.dc, cache.m_hBitmap);
  if (backdrop) {
    cache.CopyPixels(0, 0, *backdrop, 0, 0, w, h, 0, 0);
  } else {
    BitBlt(memory.dc, 0, 0, w, h, dc, x, y, SRCCOPY);
    GdiFlush();  // the pixels are read directly next
  }
  cache.DrawImage(0, 0, *this, sx, sy, w, h, fill, grey);
  return BitBlt(dc, x, y, w, h, memory.dc, 0, 0, SRCCOPY);
}

}  // namespace Veltra
