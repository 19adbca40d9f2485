// Prints how long the image code takes for the work the program does most:
// decoding a large PNG and painting a nine-grid skin over a full-HD image.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "guictl/ImageFile.h"
#include "guictl/OImage.h"

using Veltra::COImage;

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

// Milliseconds per run of work, best of a few rounds.
template <typename Work>
double Time(int runs, Work work) {
  double best = 1e300;
  for (int round = 0; round < 3; ++round) {
    double start = NowMs();
    for (int i = 0; i < runs; ++i) work();
    best = std::min(best, (NowMs() - start) / runs);
  }
  return best;
}

// A picture with gradients and some noise, so that it compresses like a photo-ish skin.
void Paint(COImage& image) {
  uint32_t seed = 12345;
  for (int y = 0; y < image.GetHeight(); ++y) {
    for (int x = 0; x < image.GetWidth(); ++x) {
      seed = seed * 1103515245 + 12345;
      uint32_t noise = (seed >> 16) & 0x1F;
      image.At(x, y) = (0xC0u + (noise & 0x3F)) << 24 | ((x + noise) & 0xFF) << 16 |
                       ((y + noise) & 0xFF) << 8 | ((x ^ y) & 0xFF);
    }
  }
}

}  // namespace

int main() {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + L"quorindo_bench_1024.png";

  COImage picture;
  if (!picture.Create(1024, 1024, 72.0, 0)) return 1;
  Paint(picture);
  CPngImage png;
  if (!png.WriteFile(path.c_str(), &picture, 0)) return 1;
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);

  COImage decoded;
  decoded.SetStorage(0);
  double decodeMs = Time(5, [&] { png.ReadFile(path.c_str(), &decoded, 0); });
  double decodeDibMs = Time(5, [&] {
    COImage dib;
    png.ReadFile(path.c_str(), &dib, 0);
  });
  double encodeMs = Time(2, [&] { png.WriteFile(path.c_str(), &picture, 0); });
  DeleteFileW(path.c_str());

  COImage skin;
  skin.Create(64, 64, 72.0, 0);
  Paint(skin);
  COImage screen;
  screen.CreateFilled(1920, 1080, 72.0, 0xFF000000, 0);
  const RECT whole = {0, 0, 1920, 1080};
  const int cuts[6] = {8, 48, 8, 8, 48, 8};
  const int stretch[6] = {2, 2, 2, 2, 2, 2};
  const int repeat[6] = {3, 3, 3, 3, 3, 3};
  double gridStretchMs = Time(5, [&] { screen.DrawNineGrid(whole, skin, 0, 0, cuts, stretch); });
  double gridRepeatMs = Time(5, [&] { screen.DrawNineGrid(whole, skin, 0, 0, cuts, repeat); });
  skin.SetOpacity(100);
  double bilinearMs = Time(3, [&] {
    screen.StretchDraw(0, 0, 1920, 1080, skin, 0, 0, 64, 64, COImage::kFilterBilinear, 0, 0);
  });
  double bicubicMs = Time(1, [&] {
    screen.StretchDraw(0, 0, 1920, 1080, skin, 0, 0, 64, 64, COImage::kFilterBicubic, 0, 0);
  });

  std::printf("decode 1024x1024 RGBA PNG (%lu bytes), heap image: %8.2f ms\n",
              attributes.nFileSizeLow, decodeMs);
  std::printf("decode 1024x1024 RGBA PNG, new DIB-section image: %8.2f ms\n", decodeDibMs);
  std::printf("encode 1024x1024 RGBA PNG:                        %8.2f ms\n", encodeMs);
  std::printf("nine-grid 64x64 skin to 1920x1080, stretched:     %8.2f ms\n", gridStretchMs);
  std::printf("nine-grid 64x64 skin to 1920x1080, repeated:      %8.2f ms\n", gridRepeatMs);
  std::printf("stretch 64x64 to 1920x1080, bilinear:             %8.2f ms\n", bilinearMs);
  std::printf("stretch 64x64 to 1920x1080, bicubic:              %8.2f ms\n", bicubicMs);
  return 0;
}
