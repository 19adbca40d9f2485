// quorindo_datamaker: writes the files of the program folder at build time.
//
//   quorindo_datamaker text OUT IN...        UTF-8 texts joined into one UTF-16 file
//   quorindo_datamaker cipher OUT KEY IN...  the same inside the cipher envelope;
//                                            KEY is "textstore" or 32 hex digits
//   quorindo_datamaker skins TABLE FOLDER... the skin images the table lists
//   quorindo_datamaker splash OUT            the start-up bitmap
#include <windows.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "core/TextStoreKey.h"
#include "core/BmpImage.h"
#include "core/ConfigFile.h"
#include "core/EnvelopeFile.h"
#include "core/FileUtil.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "guictl/ImageFile.h"

namespace {

int Fail(const std::wstring& message) {
  std::string text;
  WStringToMultiByteStr(text, message);
  std::fprintf(stderr, "quorindo_datamaker: %s\n", text.c_str());
  return 1;
}

// The inputs (UTF-8, a byte-order mark allowed) joined, each ending in a line feed.
bool JoinTexts(std::wstring& out, const std::vector<std::wstring>& inputs) {
  out.assign(1, L'\xFEFF');
  for (const std::wstring& path : inputs) {
    std::string bytes;
    if (!ReadFileToString(bytes, path.c_str()) && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
      return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::wstring text;
    if (!bytes.empty()) Utf8ToWString(text, bytes.c_str(), static_cast<int>(bytes.size()));
    std::wstring clean;
    for (wchar_t c : text)
      if (c != L'\r') clean.push_back(c);
    out += clean;
    if (!clean.empty() && clean.back() != L'\n') out.push_back(L'\n');
  }
  return true;
}

bool ParseKey(uint8_t key[16], const std::wstring& text) {
  if (text == L"textstore") return BuildTextStoreKey(key);
  if (text.size() != 32) return false;
  for (int i = 0; i < 16; ++i)
    if (!HexPairToByte(&key[i], text[2 * i], text[2 * i + 1])) return false;
  return true;
}

// ---- Skin images -----------------------------------------------------------------
// Each table line: name cellWidth cellHeight columns rows glyph colour (hex RGB),
// then optionally "flat" (the glyph alone in the colour, no plate: for images
// on a white field) or, for a banner, its title. Columns are the button states
// (normal, pressed, hover, disabled), rows the check states; a glyph names the
// small drawing in each cell.

uint32_t Argb(uint32_t rgb, int alpha) { return static_cast<uint32_t>(alpha) << 24 | (rgb & 0xFFFFFF); }

uint32_t Shade(uint32_t rgb, double factor) {
  auto part = [&](int shift) {
    double v = ((rgb >> shift) & 0xFF) * factor;
    return static_cast<uint32_t>(v > 255 ? 255 : v) << shift;
  };
  return part(16) | part(8) | part(0);
}

void Plot(Veltra::COImage& image, int x, int y, uint32_t pixel) {
  if (x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight()) image.At(x, y) = pixel;
}

void Line(Veltra::COImage& image, int x0, int y0, int x1, int y1, uint32_t pixel) {
  int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int i = 0; i <= steps; ++i) {
    int x = steps ? x0 + (x1 - x0) * i / steps : x0;
    int y = steps ? y0 + (y1 - y0) * i / steps : y0;
    Plot(image, x, y, pixel);
  }
}

void Box(Veltra::COImage& image, int x, int y, int w, int h, uint32_t pixel, bool filled) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (filled || i == 0 || j == 0 || i == w - 1 || j == h - 1) Plot(image, x + i, y + j, pixel);
}

void Glyph(Veltra::COImage& image, const std::wstring& glyph, int x, int y, int w, int h, uint32_t ink) {
  const int cx = x + w / 2, cy = y + h / 2, r = std::max(2, std::min(w, h) / 4);
  if (glyph == L"close") {
    Line(image, cx - r, cy - r, cx + r, cy + r, ink);
    Line(image, cx - r, cy + r, cx + r, cy - r, ink);
  } else if (glyph == L"min") {
    Line(image, cx - r, cy + r / 2, cx + r, cy + r / 2, ink);
  } else if (glyph == L"max") {
    Box(image, cx - r, cy - r, 2 * r + 1, 2 * r + 1, ink, false);
  } else if (glyph == L"pin") {
    Box(image, cx - r / 2, cy - r, r + 1, r + 1, ink, true);
    Line(image, cx, cy, cx, cy + r, ink);
  } else if (glyph == L"left" || glyph == L"right" || glyph == L"down" || glyph == L"up") {
    for (int i = 0; i <= r; ++i) {
      if (glyph == L"left") Line(image, cx - r / 2 + i, cy - i, cx - r / 2 + i, cy + i, ink);
      if (glyph == L"right") Line(image, cx + r / 2 - i, cy - i, cx + r / 2 - i, cy + i, ink);
      if (glyph == L"down") Line(image, cx - i, cy + r / 2 - i, cx + i, cy + r / 2 - i, ink);
      if (glyph == L"up") Line(image, cx - i, cy - r / 2 + i, cx + i, cy - r / 2 + i, ink);
    }
  } else if (glyph == L"top" || glyph == L"bottom") {
    const int dir = glyph == L"top" ? 1 : -1, base = cy - dir * r;
    // The bar, then the arrow pointing at it: its tip next to the bar.
    Line(image, cx - r, base, cx + r, base, ink);
    for (int i = 0; i < r; ++i) Line(image, cx - i, base + dir * (i + 2), cx + i, base + dir * (i + 2), ink);
  } else if (glyph == L"plus") {
    Line(image, cx - r, cy, cx + r, cy, ink);
    Line(image, cx, cy - r, cx, cy + r, ink);
  } else if (glyph == L"minus") {
    Line(image, cx - r, cy, cx + r, cy, ink);
  } else if (glyph == L"lensdrop") {
    // The dictionary choice of the search bar: a lens and the drop arrow beside it.
    Glyph(image, L"lens", x, y, w - 8, h, ink);
    for (int i = 0; i < 3; ++i) Line(image, x + w - 7 + i, cy - 1 + i, x + w - 3 - i, cy - 1 + i, ink);
  } else if (glyph == L"lens") {
    for (int a = 0; a < 64; ++a) {
      double t = a * 6.2831853 / 64;
      Plot(image, cx - 1 + static_cast<int>(std::lround(r * std::cos(t))),
           cy - 1 + static_cast<int>(std::lround(r * std::sin(t))), ink);
    }
    Line(image, cx + r / 2 + 1, cy + r / 2 + 1, cx + r + 1, cy + r + 1, ink);
  } else if (glyph == L"check") {
    Line(image, cx - r, cy, cx - r / 3, cy + r / 2, ink);
    Line(image, cx - r / 3, cy + r / 2, cx + r, cy - r / 2, ink);
  } else if (glyph == L"dot") {
    Box(image, cx - r, cy - r, 2 * r, 2 * r, ink, true);
  } else if (glyph == L"page") {
    Box(image, cx - r, cy - r - 1, 2 * r, 2 * r + 2, ink, false);
    for (int k = -r / 2; k <= r / 2; k += 2) Line(image, cx - r / 2, cy + k, cx + r / 2, cy + k, ink);
  } else if (glyph == L"bars") {
    for (int k = -r; k <= r; k += std::max(2, r / 2 + 1)) Line(image, cx - r, cy + k, cx + r, cy + k, ink);
  }
}

// A cell: a rounded plate in the state's shade (none at rest for flat images),
// the glyph on top; the check row darkens the plate.
void DrawCell(Veltra::COImage& image, int x, int y, int w, int h, int state, int row, const std::wstring& glyph,
              uint32_t colour) {
  static const double kShade[4] = {1.0, 0.75, 1.15, 1.0};
  const bool disabled = state == 3;
  uint32_t plate = disabled ? 0xC8C8C8 : Shade(colour, kShade[state] * (row ? 0.8 : 1.0));
  int alpha = (state == 0 && row == 0) ? 0x60 : 0xE0;
  for (int j = 1; j < h - 1; ++j)
    for (int i = 1; i < w - 1; ++i) {
      bool corner = (i == 1 || i == w - 2) && (j == 1 || j == h - 2);
      if (!corner) Plot(image, x + i, y + j, Argb(plate, alpha));
    }
  Glyph(image, glyph, x, y, w, h, Argb(disabled ? 0x909090 : 0xFFFFFF, 0xFF));
}

// A cell without a plate: the glyph in the colour, darker when pressed, grey
// when disabled.
void DrawFlatCell(Veltra::COImage& image, int x, int y, int w, int h, int state, const std::wstring& glyph,
                  uint32_t colour) {
  static const double kShade[4] = {1.0, 0.7, 1.2, 1.0};
  const uint32_t ink = state == 3 ? 0xA0A0A0 : Shade(colour, kShade[state]);
  Glyph(image, glyph, x, y, w, h, Argb(ink, 0xFF));
}

// A title drawn with the system's font into a 32-bit image (GDI leaves the
// alpha channel alone: the caller makes the image opaque afterwards).
void DrawTitle(Veltra::COImage& image, const std::wstring& title, const RECT& box, int height, COLORREF rgb) {
  if (title.empty() || !image.GetBitmap()) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = SelectObject(dc, image.GetBitmap());
  HFONT font = CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, rgb);
  RECT r = box;
  DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
}

// A dialog's banner: a band in the colour with the program's mark and a
// title; a tall image is white below the band (the About dialog's lines are
// drawn on white), a low one is all band (a title band).
void DrawBanner(Veltra::COImage& image, uint32_t colour, const std::wstring& title) {
  const int w = image.GetWidth(), h = image.GetHeight();
  const int band = h <= 64 ? h : std::min(96, h * 2 / 5);
  for (int y = 0; y < h; ++y) {
    uint32_t row = y < band ? Shade(colour, 1.15 - 0.35 * y / band) : 0xFFFFFF;
    for (int x = 0; x < w; ++x) image.At(x, y) = Argb(row, 0xFF);
  }
  for (int x = 0; x < w; ++x) image.At(x, std::min(band, h) - 1) = Argb(Shade(colour, 0.6), 0xFF);
  const int mark = band * 3 / 5;
  Glyph(image, L"lens", band / 5, (band - mark) / 2, mark, mark, Argb(0xFFFFFF, 0xFF));
  // COImage rows lie bottom-up; GDI sees the band at the top all the same.
  RECT box = {band / 5 + mark + band / 5, 0, w - 8, band};
  DrawTitle(image, title, box, std::max(12, band * 2 / 5), RGB(255, 255, 255));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.At(x, y) |= 0xFF000000u;
}

// Plain images: backgrounds, bars and frames.
void DrawPlain(Veltra::COImage& image, const std::wstring& glyph, uint32_t colour) {
  const int w = image.GetWidth(), h = image.GetHeight();
  for (int y = 0; y < h; ++y) {
    uint32_t row = Shade(colour, 1.1 - 0.25 * y / std::max(1, h - 1));
    for (int x = 0; x < w; ++x) image.At(x, y) = Argb(row, 0xFF);
  }
  if (glyph == L"frame") {
    Box(image, 0, 0, w, h, Argb(Shade(colour, 0.6), 0xFF), false);
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) image.At(x, y) = Argb(0xFFFFFF, 0xFF);
  } else if (glyph == L"grip") {
    for (int k = 0; k < w; k += 3) Line(image, k, h - 1, w - 1, k, Argb(Shade(colour, 0.6), 0xFF));
  } else if (glyph == L"logo") {
    Box(image, 2, 2, h - 4, h - 4, Argb(0xFFFFFF, 0xFF), false);
    Glyph(image, L"lens", 2, 2, h - 4, h - 4, Argb(0xFFFFFF, 0xFF));
  }
}

int MakeSkins(const std::wstring& table, const std::vector<std::wstring>& folders) {
  std::string bytes;
  if (!ReadFileToString(bytes, table.c_str())) return Fail(L"cannot read " + table);
  std::wstring text;
  Utf8ToWString(text, bytes.c_str(), static_cast<int>(bytes.size()));
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find(L'\n', from);
    std::wstring line = text.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from);
    from = end == std::wstring::npos ? text.size() : end + 1;
    if (line.empty() || line[0] == L'#') continue;
    wchar_t name[128] = {}, glyph[32] = {};
    int cw = 0, ch = 0, cols = 0, rows = 0, used = 0;
    unsigned colour = 0;
    if (swscanf(line.c_str(), L"%127ls %d %d %d %d %31ls %x%n", name, &cw, &ch, &cols, &rows, glyph, &colour,
                &used) != 7)
      continue;
    std::wstring extra = line.substr(static_cast<size_t>(used));
    TrimWString(extra, L" \t\r", 0);
    const std::wstring kind = glyph;
    Veltra::COImage image;
    if (!image.CreateFilled(cw * cols, ch * rows, 72.0, 0, 0)) return Fail(L"cannot make " + std::wstring(name));
    if (kind == L"banner") {
      image.SetStorage(1);  // the title is drawn through GDI
      DrawBanner(image, colour, extra);
    } else if (cols == 1 && rows == 1 &&
               (kind == L"plain" || kind == L"frame" || kind == L"grip" || kind == L"logo")) {
      DrawPlain(image, glyph, colour);
    } else {
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
          if (extra == L"flat")
            DrawFlatCell(image, c * cw, r * ch, cw, ch, c % 4, glyph, colour);
          else
            DrawCell(image, c * cw, r * ch, cw, ch, c % 4, r, glyph, colour);
        }
    }
    for (const std::wstring& folder : folders) {
      CPngImage png;
      std::wstring path = folder + L"\\" + name;
      if (!png.WriteFile(path.c_str(), &image, 0)) return Fail(L"cannot write " + path);
    }
  }
  return 0;
}

int MakeSplash(const std::wstring& path) {
  Veltra::COImage image;
  const int w = 360, h = 200;
  if (!image.Create(w, h, 72.0, 0)) return Fail(L"cannot make the splash image");
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.At(x, y) = Argb(Shade(0x2F6FB0, 1.2 - 0.5 * y / h), 0xFF);
  Box(image, 0, 0, w, h, Argb(0x1A3D66, 0xFF), false);
  Glyph(image, L"lens", w / 2 - 60, h / 2 - 60, 120, 120, Argb(0xFFFFFF, 0xFF));
  CBmpImage bmp;
  if (!bmp.WriteFile(path.c_str(), &image, 0)) return Fail(L"cannot write " + path);
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return Fail(L"usage: text|cipher|skins|splash OUT ...");
  std::wstring command = argv[1];
  std::vector<std::wstring> rest(argv + 2, argv + argc);
  LocalFree(argv);

  if (command == L"splash") return MakeSplash(rest[0]);
  if (command == L"skins") {
    if (rest.size() < 2) return Fail(L"skins TABLE FOLDER...");
    return MakeSkins(rest[0], std::vector<std::wstring>(rest.begin() + 1, rest.end()));
  }
  if (command == L"text" || command == L"cipher") {
    uint8_t key[16] = {};
    size_t first = 1;
    if (command == L"cipher") {
      if (rest.size() < 2 || !ParseKey(key, rest[1])) return Fail(L"cipher OUT KEY IN...: bad key");
      first = 2;
    }
    std::wstring text;
    if (!JoinTexts(text, std::vector<std::wstring>(rest.begin() + first, rest.end())))
      return Fail(L"cannot read an input of " + rest[0]);
    const uint32_t size = static_cast<uint32_t>(text.size() * sizeof(wchar_t));
    if (!WriteEnvelopeFile(rest[0].c_str(), text.data(), size, command == L"cipher" ? key : nullptr))
      return Fail(L"cannot write " + rest[0]);
    return 0;
  }
  return Fail(L"unknown command " + command);
}
