// Targets of the image readers: PNG, VPH and BMP files decoded, then drawn
// every way the skins draw them.
#include <windows.h>

#include <string>
#include <vector>

#include "core/BmpImage.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"
#include "tools/fuzz/Fuzz.h"
#include "tools/fuzz/FuzzTargets.h"

namespace fuzz {
namespace {

using Veltra::COImage;

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return written == bytes.size();
}

// The decoded image is drawn into a small canvas and onto a memory DC.
void DrawEverywhere(COImage& image, size_t inputSize) {
  if (image.IsEmpty()) return;
  const uint64_t pixels = static_cast<uint64_t>(image.GetWidth()) * static_cast<uint64_t>(image.GetHeight());
  Check(image.GetWidth() > 0 && image.GetHeight() > 0, "a decoded image has no size");
  Check(pixels * 4 <= 64ull * 1024 * 1024 + 256ull * inputSize, "a decoded image is larger than its file justifies");
  COImage canvas;
  canvas.CreateFilled(48, 40, 96, 0xFF808080, 0);
  const int w = image.GetWidth(), h = image.GetHeight();
  canvas.DrawImage(-3, 2, image, 0, 0, w, h, 0, 0);
  canvas.DrawImage(5, 5, image, w / 2, h / 2, w, h, 0xFF00FF00, 1);
  canvas.StretchDraw(0, 0, 48, 40, image, 0, 0, w, h, 1, 0, 0);
  canvas.StretchDraw(10, 10, 7, 3, image, 1, 1, w - 1, h - 1, 0, 0, 0);
  const RECT dst = {0, 0, 48, 40}, src = {0, 0, w, h};
  canvas.TileDraw(dst, image, src, 1, 2, 0, 0);
  const int cuts[6] = {w / 3, w / 3, w - 2 * (w / 3), h / 3, h / 3, h - 2 * (h / 3)};
  const int modes[6] = {0, 1, 0, 1, 1, 0};
  canvas.DrawNineGrid(dst, image, 0, 0, cuts, modes);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 48, 40);
  HGDIOBJ old = SelectObject(dc, bitmap);
  image.Draw(dc, 0, 0, SRCCOPY);
  image.AlphaDraw(dc, 2, 2, 0, 0, w, h, 0, 0, &canvas);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void RunPng(const std::string& input, const Sandbox& box) {
  COImage image;
  if (LoadPngToImage(input.data(), static_cast<unsigned>(input.size()), &image)) DrawEverywhere(image, input.size());
  // The file road reads the VPH form too.
  const std::wstring path = box.folder + L"image.png";
  Check(WriteBytes(path, input), "cannot write the input file");
  CPngImage file;
  COImage fromFile;
  if (file.ReadFile(path.c_str(), &fromFile, 0)) DrawEverywhere(fromFile, input.size());
}

void RunBmp(const std::string& input, const Sandbox& box) {
  const std::wstring path = box.folder + L"image.bmp";
  Check(WriteBytes(path, input), "cannot write the input file");
  CBmpImage file;
  COImage image;
  if (file.ReadFile(path.c_str(), &image, 0)) DrawEverywhere(image, input.size());
}

// A VPH file is a PNG whose signature's first four bytes read "?VPH".
std::vector<std::string> VphSeeds() {
  COImage image;
  image.CreateFilled(5, 3, 96, 0x80FF4020, 0);
  image.PutPixel(1, 1, 0xFF00FF00);
  CPngImage writer;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"qfuzz-seed-" + std::to_wstring(GetCurrentProcessId()) + L".png";
  std::vector<std::string> seeds;
  if (writer.WriteFile(path.c_str(), &image, 0)) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      bytes.resize(GetFileSize(file, nullptr));
      DWORD read = 0;
      ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
      CloseHandle(file);
    }
    DeleteFileW(path.c_str());
    seeds.push_back(bytes);
    if (bytes.size() > 4) seeds.push_back("?VPH" + bytes.substr(4));
  }
  return seeds;
}

// Small bitmaps of every bit count the reader takes, bottom-up and top-down.
std::vector<std::string> BmpSeeds() {
  std::vector<std::string> seeds;
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    for (int height : {3, -3}) {
      const int width = 5;
      const uint32_t colours = bits <= 8 ? (1u << bits) : 0;
      const uint32_t row = ((width * bits + 31) / 32) * 4;
      const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
      const uint32_t offset = 14 + 40 + 4 * colours;
      std::string b(offset + row * rows, '\0');
      b[0] = 'B', b[1] = 'M';
      PutU32(b, 2, static_cast<uint32_t>(b.size()));
      PutU32(b, 10, offset);
      PutU32(b, 14, 40);
      PutU32(b, 18, static_cast<uint32_t>(width));
      PutU32(b, 22, static_cast<uint32_t>(height));
      b[26] = 1;
      b[28] = static_cast<char>(bits);
      PutU32(b, 34, row * rows);
      PutU32(b, 46, colours);
      for (uint32_t i = 0; i < colours; ++i) PutU32(b, 54 + 4 * i, 0x010203u * i);
      for (size_t i = offset; i < b.size(); ++i) b[i] = static_cast<char>(i * 37);
      seeds.push_back(b);
    }
  }
  return seeds;
}

}  // namespace

void AddImageTargets(std::vector<Target>& targets) {
  const std::vector<const char*> pngTokens = {"IHDR", "IDAT", "IEND", "PLTE", "tRNS", "pHYs", "gAMA", "\0\0\0\0",
                                              "\x7F\xFF\xFF\xFF"};
  targets.push_back({"png", {"*.png", "image/*.png", "icon/*.png"}, VphSeeds, pngTokens, RunPng});
  targets.push_back({"vph", {"image/*.vph", "icon/*.vph"}, VphSeeds, pngTokens,
                     [](const std::string& input, const Sandbox& box) {
                       // Most inputs keep the VPH mark, so that its road is the one taken.
                       std::string vph = input;
                       if (vph.size() >= 6 && (vph[5] & 7) != 0) vph.replace(0, 4, "?VPH");
                       RunPng(vph, box);
                     }});
  targets.push_back({"bmp", {"image/*.bmp"}, BmpSeeds, {"BM", "\x28\0\0\0", "\xFF\xFF\xFF\x7F"}, RunBmp});
}

}  // namespace fuzz
