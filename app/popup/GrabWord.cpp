#include "app/popup/GrabWord.h"

#include "core/StrUtil.h"
#include "core/TextCodec.h"

namespace {

// The blocks of the core's Unicode block table that the popup translates,
// by their row in that table.
struct ScriptBlock {
  int block;
  GrabScript script;
};

constexpr ScriptBlock kScriptBlocks[] = {
    {0, GrabScript::kLatin},      // Basic Latin
    {1, GrabScript::kLatin},      // Latin-1 Supplement
    {2, GrabScript::kLatin},      // Latin Extended-A
    {3, GrabScript::kLatin},      // Latin Extended-B
    {4, GrabScript::kLatin},      // IPA Extensions
    {8, GrabScript::kCyrillic},   // Cyrillic
    {9, GrabScript::kCyrillic},   // Cyrillic Supplement
    {35, GrabScript::kKorean},    // Hangul Jamo
    {65, GrabScript::kLatin},     // Latin Extended Additional
    {92, GrabScript::kLatin},     // Latin Extended-C
    {98, GrabScript::kChinese},   // CJK Radicals Supplement
    {99, GrabScript::kChinese},   // Kangxi Radicals
    {102, GrabScript::kJapanese}, // Hiragana
    {103, GrabScript::kJapanese}, // Katakana
    {105, GrabScript::kKorean},   // Hangul Compatibility Jamo
    {106, GrabScript::kJapanese}, // Kanbun
    {108, GrabScript::kChinese},  // CJK Strokes
    {109, GrabScript::kJapanese}, // Katakana Phonetic Extensions
    {110, GrabScript::kChinese},  // Enclosed CJK Letters and Months
    {111, GrabScript::kChinese},  // CJK Compatibility
    {112, GrabScript::kChinese},  // CJK Unified Ideographs Extension A
    {114, GrabScript::kChinese},  // CJK Unified Ideographs
    {131, GrabScript::kKorean},   // Hangul Syllables
    {135, GrabScript::kChinese},  // CJK Compatibility Ideographs
};

// step 2 takes every second code point from `first` on.
struct ClassRange {
  wchar_t first, last;
  int step;
};

constexpr ClassRange kWordChars[] = {
    {0x0027, 0x0027, 1}, {0x002D, 0x002D, 1}, {0x0041, 0x005A, 1}, {0x0061, 0x007A, 1},
    {0x00C0, 0x00D6, 1}, {0x00D8, 0x00F6, 1}, {0x00F8, 0x0241, 1}, {0x0250, 0x02AF, 1},
    {0x0400, 0x052F, 1}, {0x1E00, 0x1EF9, 1}, {0x2010, 0x2011, 1}, {0x2C60, 0x2C7F, 1},
};

constexpr ClassRange kUpper[] = {
    {0x0041, 0x005A, 1}, {0x00C0, 0x00D6, 1}, {0x00D8, 0x00DE, 1}, {0x0100, 0x0112, 2},
    {0x0120, 0x0136, 2}, {0x0139, 0x0147, 2}, {0x014A, 0x0178, 2}, {0x0179, 0x017D, 2},
    {0x0181, 0x0182, 1}, {0x0184, 0x0184, 1}, {0x0186, 0x0187, 1}, {0x0189, 0x018B, 1},
    {0x018E, 0x0191, 1}, {0x0193, 0x0194, 1}, {0x0196, 0x0198, 1}, {0x019C, 0x019D, 1},
    {0x019F, 0x01A0, 1}, {0x01A2, 0x01A2, 1}, {0x01A4, 0x01A4, 1}, {0x01A7, 0x01A7, 1},
    {0x01A9, 0x01A9, 1}, {0x01AC, 0x01AC, 1}, {0x01AE, 0x01AF, 1}, {0x01B1, 0x01B3, 1},
    {0x01B5, 0x01B5, 1}, {0x01B7, 0x01B8, 1}, {0x01BC, 0x01BC, 1}, {0x01C4, 0x01C5, 1},
    {0x01C7, 0x01C8, 1}, {0x01CA, 0x01CB, 1}, {0x01CD, 0x01DB, 2}, {0x01DE, 0x01EE, 2},
    {0x01F1, 0x01F2, 1}, {0x01F4, 0x01F4, 1}, {0x01F6, 0x01F8, 1}, {0x01FA, 0x0232, 2},
    {0x023A, 0x023B, 1}, {0x023D, 0x023E, 1}, {0x0241, 0x0241, 1}, {0x0400, 0x042F, 1},
    {0x0460, 0x0480, 2}, {0x048A, 0x04BE, 2}, {0x04C1, 0x04C7, 2}, {0x04CB, 0x04CB, 1},
    {0x04CD, 0x04CD, 1}, {0x04D0, 0x04F8, 2}, {0x0500, 0x050E, 2},
};

constexpr ClassRange kLower[] = {
    {0x0061, 0x007A, 1}, {0x00DF, 0x00F6, 1}, {0x00F8, 0x00FF, 1}, {0x0101, 0x0113, 2},
    {0x0121, 0x0137, 2}, {0x0138, 0x0148, 2}, {0x0149, 0x0177, 2}, {0x017A, 0x017E, 2},
    {0x017F, 0x0180, 1}, {0x0183, 0x0183, 1}, {0x0185, 0x0185, 1}, {0x0188, 0x0188, 1},
    {0x018C, 0x018D, 1}, {0x0192, 0x0192, 1}, {0x0195, 0x0195, 1}, {0x0199, 0x019B, 1},
    {0x019E, 0x019E, 1}, {0x01A1, 0x01A5, 2}, {0x01A8, 0x01A8, 1}, {0x01AB, 0x01AB, 1},
    {0x01AD, 0x01AD, 1}, {0x01B0, 0x01B0, 1}, {0x01B4, 0x01B4, 1}, {0x01B6, 0x01B6, 1},
    {0x01B9, 0x01BA, 1}, {0x01BD, 0x01BD, 1}, {0x01C6, 0x01C6, 1}, {0x01C9, 0x01C9, 1},
    {0x01CC, 0x01DC, 2}, {0x01DD, 0x01EF, 2}, {0x01F0, 0x01F0, 1}, {0x01F3, 0x01F3, 1},
    {0x01F5, 0x01F5, 1}, {0x01F9, 0x01FD, 2}, {0x0201, 0x021B, 2}, {0x021F, 0x0233, 2},
    {0x0234, 0x0239, 1}, {0x023C, 0x023C, 1}, {0x023F, 0x0240, 1}, {0x0430, 0x045F, 1},
    {0x0461, 0x0481, 2}, {0x048B, 0x04BF, 2}, {0x04C2, 0x04CE, 2}, {0x04D1, 0x04F9, 2},
    {0x0501, 0x050F, 2},
};

template <size_t N>
bool InClass(const ClassRange (&table)[N], wchar_t c) {
  for (const ClassRange& r : table) {
    if (c >= r.first && c <= r.last) return r.step == 1 || (c - r.first) % 2 == 0;
  }
  return false;
}

bool IsWordEdgeMark(wchar_t c) { return c == L'\'' || c == L'-' || c == 0x2010 || c == 0x2011; }

bool ExtractAlphabetic(std::wstring& word, const wchar_t* text, int length, int index, const GrabLookup& lookup) {
  const wchar_t at = text[index];
  if (!IsGrabWordChar(at)) return false;
  const bool indexUpper = IsUpperLetter(at);

  int start = index;
  while (start > 0 && IsGrabWordChar(text[start - 1])) {
    // A capital begins a word unless it belongs to a run of capitals that the
    // cursor itself stands in.
    if (IsUpperLetter(text[start]) && !(indexUpper && IsUpperLetter(text[start - 1]))) break;
    --start;
  }
  int end = index;
  while (end < length - 1 && IsGrabWordChar(text[end + 1])) {
    if (IsLowerLetter(text[end]) && IsUpperLetter(text[end + 1])) break;
    ++end;
  }
  while (start <= end && IsWordEdgeMark(text[start])) ++start;
  while (end >= start && IsWordEdgeMark(text[end])) --end;
  if (start > end) return false;

  word.assign(text + start, end - start + 1);
  const uint32_t n = static_cast<uint32_t>(word.size());
  if (lookup(word.c_str(), n)) return true;
  if (n <= 2) return false;
  const wchar_t last = word[n - 1];
  if (last != L's' && last != L'S' && last != L'd' && last != L'D') return false;
  if (lookup(word.c_str(), n - 1)) {
    word.resize(n - 1);
    return true;
  }
  const wchar_t beforeLast = word[n - 2];
  if (n > 3 && (beforeLast == L'e' || beforeLast == L'E' || beforeLast == L'\'') && lookup(word.c_str(), n - 2)) {
    word.resize(n - 2);
    return true;
  }
  return false;
}

bool ExtractCjk(std::wstring& word, const wchar_t* text, int length, int index, int limit, const GrabLookup& lookup) {
  if (!IsCjkChar(text[index])) return false;
  int taken = 0;
  while (index + taken < length && taken < limit) {
    const wchar_t c = text[index + taken];
    ++taken;
    if (!IsCjkChar(c)) break;
  }
  for (int n = taken; n >= 1; --n) {
    if (lookup(text + index, static_cast<uint32_t>(n))) {
      word.assign(text + index, n);
      return true;
    }
  }
  word.assign(1, text[index]);
  return false;
}

}  // namespace

GrabScript ScriptOfChar(wchar_t c) {
  const int block = FindUnicodeBlock(static_cast<uint16_t>(c));
  for (const ScriptBlock& b : kScriptBlocks) {
    if (b.block == block) return b.script;
  }
  return GrabScript::kNone;
}

bool IsCjkChar(wchar_t c) {
  const GrabScript s = ScriptOfChar(c);
  return s == GrabScript::kChinese || s == GrabScript::kJapanese || s == GrabScript::kKorean;
}

bool IsGrabWordChar(wchar_t c) { return InClass(kWordChars, c); }
bool IsUpperLetter(wchar_t c) { return InClass(kUpper, c); }
bool IsLowerLetter(wchar_t c) { return InClass(kLower, c); }

bool ExtractWord(std::wstring& word, const wchar_t* text, int length, int index, const GrabIgnore& ignore,
                 const GrabLookup& lookup) {
  word.clear();
  // A negative index (the hook's "none") would read before the text.
  if (!text || length <= 0 || index < 0 || index >= length) return false;
  switch (ScriptOfChar(text[index])) {
    case GrabScript::kLatin:
      return !ignore.latin && ExtractAlphabetic(word, text, length, index, lookup);
    case GrabScript::kCyrillic:
      return !ignore.cyrillic && ExtractAlphabetic(word, text, length, index, lookup);
    case GrabScript::kChinese:
      return !ignore.cjk && ExtractCjk(word, text, length, index, 5, lookup);
    case GrabScript::kJapanese:
    case GrabScript::kKorean:
      return !ignore.cjk && ExtractCjk(word, text, length, index, 6, lookup);
    case GrabScript::kNone:
      break;
  }
  return false;
}

RECT KeepZoneOf(const RECT& window) {
  RECT zone = window;
  InflateRect(&zone, 5, 5);
  return zone;
}

void PlaceGrabWindow(RECT& window, RECT& keepZone, int width, int height, POINT point, bool keep,
                     POINT current, bool pinned, SIZE screen) {
  int x = keep ? current.x : point.x + 16;
  int y = keep ? current.y : point.y + 16;
  int w = width > 150 ? width : 150;
  int h = height > 50 ? height : 50;
  const int cx = screen.cx, cy = screen.cy;
  if (keep) {
    if (x + w > cx) w = cx - x - 5;
    if (y + h > cy) h = cy - y - 5;
  } else {
    if (x + w > cx) {
      x = cx - w - 5;
      if (x < 0) {
        x = 5;
        w = cx - 10;
      }
    }
    if (y + h > cy) {
      if (y > cy / 2) {
        const int below = y;
        y = below - 32 - h;
        if (y < 0) {
          y = 5;
          h = (below - 32) - 5;
        }
      } else {
        h = cy - y - 5;
      }
    }
  }
  window = {x, y, x + (w > 150 ? w : 150), y + (h > 50 ? h : 50)};
  RECT zone = window;
  if (!pinned) {
    if (point.x < zone.left) zone.left = point.x;
    if (point.x >= zone.right) zone.right = point.x;
    if (point.y < zone.top) zone.top = point.y;
    if (point.y >= zone.bottom) zone.bottom = point.y;
  }
  keepZone = KeepZoneOf(zone);
}

std::wstring BuildSearchUrl(const std::wstring& urlTemplate, const std::wstring& key, const std::wstring& langCode) {
  std::wstring url = urlTemplate;
  ReplaceAll(url, L"[$key]", key.c_str());
  ReplaceAll(url, L"[$langcode]", langCode.c_str());
  return url;
}
