#include "core/TextCodec.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Length of the UTF-8 sequence that each byte value starts (0: cannot start one).
constexpr uint8_t kUtf8Length[256] = {
#define R16(v) v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v
    R16(1), R16(1), R16(1), R16(1), R16(1), R16(1), R16(1), R16(1),  // 00-7F
    R16(0), R16(0), R16(0), R16(0),                                  // 80-BF
    R16(2), R16(2),                                                  // C0-DF
    R16(3),                                                          // E0-EF
    4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 0, 0,                  // F0-FF
#undef R16
};
constexpr uint8_t kUtf8Mark[8] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0x00};
// The smallest code point that needs a sequence of each length; anything
// below it is an overlong form.
constexpr uint32_t kUtf8Minimum[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};

constexpr uint32_t kReplacement = 0xFFFD;

constexpr uint32_t kBlocks[kUnicodeBlockCount][2] = {
    {0x0000, 0x007F}, {0x0080, 0x00FF}, {0x0100, 0x017F}, {0x0180, 0x024F}, {0x0250, 0x02AF},
    {0x02B0, 0x02FF}, {0x0300, 0x036F}, {0x0370, 0x03FF}, {0x0400, 0x04FF}, {0x0500, 0x052F},
    {0x0530, 0x058F}, {0x0590, 0x05FF}, {0x0600, 0x06FF}, {0x0700, 0x074F}, {0x0750, 0x077F},
    {0x0780, 0x07BF}, {0x07C0, 0x07FF}, {0x0800, 0x085F}, {0x0860, 0x087F}, {0x0880, 0x08AF},
    {0x0900, 0x097F}, {0x0980, 0x09FF}, {0x0A00, 0x0A7F}, {0x0A80, 0x0AFF}, {0x0B00, 0x0B7F},
    {0x0B80, 0x0BFF}, {0x0C00, 0x0C7F}, {0x0C80, 0x0CFF}, {0x0D00, 0x0D7F}, {0x0D80, 0x0DFF},
    {0x0E00, 0x0E7F}, {0x0E80, 0x0EFF}, {0x0F00, 0x0FFF}, {0x1000, 0x109F}, {0x10A0, 0x10FF},
    {0x1100, 0x11FF}, {0x1200, 0x137F}, {0x1380, 0x139F}, {0x13A0, 0x13FF}, {0x1400, 0x167F},
    {0x1680, 0x169F}, {0x16A0, 0x16FF}, {0x1700, 0x171F}, {0x1720, 0x173F}, {0x1740, 0x175F},
    {0x1760, 0x177F}, {0x1780, 0x17FF}, {0x1800, 0x18AF}, {0x18B0, 0x18FF}, {0x1900, 0x194F},
    {0x1950, 0x197F}, {0x1980, 0x19DF}, {0x19E0, 0x19FF}, {0x1A00, 0x1A1F}, {0x1A20, 0x1A5F},
    {0x1A80, 0x1AEF}, {0x1B00, 0x1B7F}, {0x1B80, 0x1BB0}, {0x1BC0, 0x1BFF}, {0x1C00, 0x1C4F},
    {0x1C50, 0x1C7F}, {0x1C80, 0x1CDF}, {0x1D00, 0x1D7F}, {0x1D80, 0x1DBF}, {0x1DC0, 0x1DFF},
    {0x1E00, 0x1EFF}, {0x1F00, 0x1FFF}, {0x2000, 0x206F}, {0x2070, 0x209F}, {0x20A0, 0x20CF},
    {0x20D0, 0x20FF}, {0x2100, 0x214F}, {0x2150, 0x218F}, {0x2190, 0x21FF}, {0x2200, 0x22FF},
    {0x2300, 0x23FF}, {0x2400, 0x243F}, {0x2440, 0x245F}, {0x2460, 0x24FF}, {0x2500, 0x257F},
    {0x2580, 0x259F}, {0x25A0, 0x25FF}, {0x2600, 0x26FF}, {0x2700, 0x27BF}, {0x27C0, 0x27EF},
    {0x27F0, 0x27FF}, {0x2800, 0x28FF}, {0x2900, 0x297F}, {0x2980, 0x29FF}, {0x2A00, 0x2AFF},
    {0x2B00, 0x2BFF}, {0x2C00, 0x2C5F}, {0x2C60, 0x2C7F}, {0x2C80, 0x2CFF}, {0x2D00, 0x2D2F},
    {0x2D30, 0x2D7F}, {0x2D80, 0x2DDF}, {0x2E00, 0x2E7F}, {0x2E80, 0x2EFF}, {0x2F00, 0x2FDF},
    {0x2FF0, 0x2FFF}, {0x3000, 0x303F}, {0x3040, 0x309F}, {0x30A0, 0x30FF}, {0x3100, 0x312F},
    {0x3130, 0x318F}, {0x3190, 0x319F}, {0x31A0, 0x31BF}, {0x31C0, 0x31EF}, {0x31F0, 0x31FF},
    {0x3200, 0x32FF}, {0x3300, 0x33FF}, {0x3400, 0x4DBF}, {0x4DC0, 0x4DFF}, {0x4E00, 0x9FBF},
    {0xA000, 0xA48F}, {0xA490, 0xA4CF}, {0xA500, 0xA61F}, {0xA660, 0xA6FF}, {0xA700, 0xA71F},
    {0xA720, 0xA7FF}, {0xA800, 0xA82F}, {0xA840, 0xA87F}, {0xA880, 0xA8DF}, {0xA900, 0xA97F},
    {0xA980, 0xA9DF}, {0xAA00, 0xAA3F}, {0xAA40, 0xAA6F}, {0xAA80, 0xAADF}, {0xAB00, 0xAB5F},
    {0xAB80, 0xABA0}, {0xAC00, 0xD7AF}, {0xD800, 0xDBFF}, {0xDC00, 0xDFFF}, {0xE000, 0xF8FF},
    {0xF900, 0xFAFF}, {0xFB00, 0xFB4F}, {0xFB50, 0xFDFF}, {0xFE00, 0xFE0F}, {0xFE10, 0xFE1F},
    {0xFE20, 0xFE2F}, {0xFE30, 0xFE4F}, {0xFE50, 0xFE6F}, {0xFE70, 0xFEFF}, {0xFF00, 0xFFEF},
    {0xFFF0, 0xFFFF},
};

inline bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

template <typename Unit>
int UnitLength(const Unit* text, int length) {
  if (length >= 0) return length;
  int n = 0;
  while (text[n]) ++n;
  return n;
}

// Writes one code point as UTF-16 (surrogates and values past U+10FFFF become
// U+FFFD); returns the number of units.
inline int PutUtf16(wchar_t* out, uint32_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) c = kReplacement;
  if (c < 0x10000 || c > 0x10FFFF) {
    if (c > 0x10FFFF) c = kReplacement;
    if (out) out[0] = static_cast<wchar_t>(c);
    return 1;
  }
  if (out) {
    out[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  return 2;
}

}  // namespace

int DetectByteOrderMark(uint32_t* markLength, const void* buffer, uint32_t size) {
  uint32_t mark = 0;
  int code = kEncodingCodePage;
  const uint8_t* b = static_cast<const uint8_t*>(buffer);
  if (b && size >= 2 && b[0] == 0xFF && b[1] == 0xFE && size % 2 == 0) {
    code = kEncodingUtf16LE, mark = 2;
  } else if (b && size >= 2 && b[0] == 0xFE && b[1] == 0xFF && size % 2 == 0) {
    code = kEncodingUtf16BE, mark = 2;
  } else if (b && size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    code = kEncodingUtf8, mark = 3;
  } else if (b && size >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF && size % 4 == 0) {
    code = kEncodingUtf32BE, mark = 4;
  }
  if (markLength) *markLength = mark;
  return code;
}

int DecodeTextBuffer(std::wstring& out, const void* buffer, uint32_t size, uint32_t codePage) {
  out.clear();
  if (!buffer || size == 0) return kEncodingFailed;
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  uint32_t mark = 0;
  int code;
  if (codePage >= kCodePageUtf8 && codePage <= kCodePageUtf32BE) {
    code = static_cast<int>(codePage - kCodePageUtf8) + kEncodingUtf8;
  } else {
    code = DetectByteOrderMark(&mark, bytes, size);
  }
  bytes += mark;
  size -= mark;
  if (size == 0) return code;

  switch (code) {
    case kEncodingUtf16LE:
    case kEncodingUtf16BE:
      out.resize(size / 2);
      memcpy(&out[0], bytes, out.size() * 2);
      if (code == kEncodingUtf16BE) SwapBytes16(&out[0], static_cast<int>(out.size()));
      break;
    case kEncodingUtf8: {
      int n = Utf8ToUtf16(nullptr, reinterpret_cast<const char*>(bytes), static_cast<int>(size));
      out.resize(n);
      Utf8ToUtf16(&out[0], reinterpret_cast<const char*>(bytes), static_cast<int>(size));
      break;
    }
    case kEncodingUtf32LE:
    case kEncodingUtf32BE: {
      // Work on an aligned copy: the caller's buffer stays as it was.
      std::basic_string<uint32_t> units(size / 4, 0);
      if (units.empty()) return code;
      memcpy(&units[0], bytes, units.size() * 4);
      if (code == kEncodingUtf32BE) SwapBytes32(&units[0], static_cast<int>(units.size()));
      int n = Utf32ToUtf16(nullptr, units.data(), static_cast<int>(units.size()));
      out.resize(n);
      Utf32ToUtf16(&out[0], units.data(), static_cast<int>(units.size()));
      break;
    }
    default:
      if (MultiByteToWString(out, reinterpret_cast<const char*>(bytes), static_cast<int>(size), codePage, 0) < 0)
        return kEncodingFailed;
      break;
  }
  return code;
}

int MultiByteToWString(std::wstring& out, const char* text, int length, uint32_t codePage, uint32_t flags) {
  out.clear();
  if (!text || length == 0) return -1;
  if (codePage == kCodePageUtf8) flags = 0;
  int n = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
  if (n <= 0) return -1;
  out.resize(n);
  if (MultiByteToWideChar(codePage, flags, text, length, &out[0], n) != n) {
    out.clear();
    return -1;
  }
  if (length == -1) out.pop_back();  // the converted terminator
  return static_cast<int>(out.size());
}

int WStringToMultiByte(std::string& out, const wchar_t* text, int length, uint32_t codePage, uint32_t flags) {
  out.clear();
  if (!text || length == 0) return -1;
  if (codePage == kCodePageUtf8) flags = 0;
  int n = WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return -1;
  out.resize(n);
  if (WideCharToMultiByte(codePage, flags, text, length, &out[0], n, nullptr, nullptr) != n) {
    out.clear();
    return -1;
  }
  if (length == -1) out.pop_back();
  return static_cast<int>(out.size());
}

int WStringToMultiByteStr(std::string& out, const std::wstring& text) {
  return WStringToMultiByte(out, text.c_str(), static_cast<int>(text.size()), 0, 0);
}

int Utf8ToWString(std::wstring& out, const char* text, int length) {
  out.clear();
  if (!text || length == 0) return 0;
  length = UnitLength(text, length);
  int n = Utf8ToUtf16(nullptr, text, length);
  out.resize(n);
  if (n) Utf8ToUtf16(&out[0], text, length);
  return n;
}

int WStringToUtf8(std::string& out, const wchar_t* text, int length) {
  out.clear();
  if (!text || length == 0) return 0;
  length = UnitLength(text, length);
  int n = Utf16ToUtf8(nullptr, text, length);
  out.resize(n);
  if (n) Utf16ToUtf8(&out[0], text, length);
  return n;
}

uint32_t DecodeUtf8Sequence(uint32_t* codePoint, const uint8_t* bytes, uint32_t available) {
  if (available == 0) {
    *codePoint = kReplacement;
    return 0;
  }
  uint32_t n = kUtf8Length[bytes[0]];
  if (n == 0 || n > available) {
    // Skip to the next byte that could start a sequence.
    uint32_t used = 1;
    while (used < available && kUtf8Length[bytes[used]] == 0) ++used;
    *codePoint = kReplacement;
    return used;
  }
  uint32_t c = bytes[0] - kUtf8Mark[n];
  for (uint32_t i = 1; i < n; ++i) {
    if (!IsContinuation(bytes[i])) {
      *codePoint = kReplacement;
      return i;
    }
    c = (c << 6) | (bytes[i] & 0x3F);
  }
  // An overlong form hides a shorter character: never accept it.
  *codePoint = (c < kUtf8Minimum[n]) ? kReplacement : c;
  return n;
}

int Utf8ToUtf16(wchar_t* out, const char* text, int length) {
  if (!text) return 0;
  length = UnitLength(text, length);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  const uint8_t* end = p + length;
  int units = 0;
  while (p < end) {
    if (*p < 0x80) {
      if (out) out[units] = *p;
      ++units, ++p;
      continue;
    }
    uint32_t c;
    p += DecodeUtf8Sequence(&c, p, static_cast<uint32_t>(end - p));
    units += PutUtf16(out ? out + units : nullptr, c);
  }
  return units;
}

int Utf16ToUtf8(char* out, const wchar_t* text, int length) {
  if (!text) return 0;
  length = UnitLength(text, length);
  int bytes = 0;
  for (int i = 0; i < length; ++i) {
    uint32_t c = static_cast<uint16_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (out) {
      uint8_t* o = reinterpret_cast<uint8_t*>(out + bytes);
      for (int k = n - 1; k > 0; --k) {
        o[k] = static_cast<uint8_t>(0x80 | (c & 0x3F));
        c >>= 6;
      }
      o[0] = static_cast<uint8_t>(kUtf8Mark[n] | c);
    }
    bytes += n;
  }
  return bytes;
}

int Utf32ToUtf16(wchar_t* out, const uint32_t* text, int length) {
  if (!text) return 0;
  length = UnitLength(text, length);
  int units = 0;
  for (int i = 0; i < length; ++i) units += PutUtf16(out ? out + units : nullptr, text[i]);
  return units;
}

void SwapBytes16(void* buffer, int count) {
  uint16_t* p = static_cast<uint16_t*>(buffer);
  for (int i = 0; count < 0 ? p[i] != 0 : i < count; ++i)
    p[i] = static_cast<uint16_t>((p[i] << 8) | (p[i] >> 8));
}

void SwapBytes32(void* buffer, int count) {
  uint32_t* p = static_cast<uint32_t*>(buffer);
  for (int i = 0; count < 0 ? p[i] != 0 : i < count; ++i) p[i] = __builtin_bswap32(p[i]);
}

int FindUnicodeBlock(uint32_t codePoint) {
  for (int i = 0; i < kUnicodeBlockCount; ++i)
    if (codePoint >= kBlocks[i][0] && codePoint <= kBlocks[i][1]) return i;
  return kUnicodeBlockCount;
}

bool IsInUnicodeBlock(uint32_t codePoint, int index) {
  return index >= 0 && index < kUnicodeBlockCount && codePoint >= kBlocks[index][0] &&
         codePoint <= kBlocks[index][1];
}

uint32_t GetFileSizeOf(const wchar_t* path) {
  struct _stat64 st;
  if (!path || _wstat64(path, &st) != 0) return 0;
  return static_cast<uint32_t>(st.st_size);
}

uint32_t ReadFileToString(std::string& out, const wchar_t* path) {
  out.clear();
  if (!path) return 0;
  uint32_t size = GetFileSizeOf(path);
  if (size == 0) return 0;
  FILE* f = _wfopen(path, L"rb");
  if (!f) return 0;
  out.resize(size);
  size_t got = fread(&out[0], 1, size, f);
  fclose(f);
  if (got != size) {
    out.clear();
    return 0;
  }
  return size;
}
