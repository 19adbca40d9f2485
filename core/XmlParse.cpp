// Parsing of every node kind. The grammar is a strict subset of XML 1.0:
// the five predefined references and references by number, names by the
// XML 1.0 character tables, white space normalised by the parse flags unless
// "xml:space" says "preserve".
#include <cwchar>
#include <new>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"

namespace {

struct CharRange {
  wchar_t first, last;
};

// XML 1.0 Appendix B: BaseChar, Ideographic, CombiningChar, Digit, Extender.
constexpr CharRange kBaseChar[] = {
    {0x0041, 0x005A},    {0x0061, 0x007A},    {0x00C0, 0x00D6},    {0x00D8, 0x00F6},
    {0x00F8, 0x0131},    {0x0134, 0x013E},    {0x0141, 0x0148},    {0x014A, 0x017E},
    {0x0180, 0x01C3},    {0x01CD, 0x01F0},    {0x01F4, 0x01F5},    {0x01FA, 0x0217},
    {0x0250, 0x02A8},    {0x02BB, 0x02C1},    {0x0386, 0x0386},    {0x0388, 0x038A},
    {0x038C, 0x038C},    {0x038E, 0x03A1},    {0x03A3, 0x03CE},    {0x03D0, 0x03D6},
    {0x03DA, 0x03DA},    {0x03DC, 0x03DC},    {0x03DE, 0x03DE},    {0x03E0, 0x03E0},
    {0x03E2, 0x03F3},    {0x0401, 0x040C},    {0x040E, 0x044F},    {0x0451, 0x045C},
    {0x045E, 0x0481},    {0x0490, 0x04C4},    {0x04C7, 0x04C8},    {0x04CB, 0x04CC},
    {0x04D0, 0x04EB},    {0x04EE, 0x04F5},    {0x04F8, 0x04F9},    {0x0531, 0x0556},
    {0x0559, 0x0559},    {0x0561, 0x0586},    {0x05D0, 0x05EA},    {0x05F0, 0x05F2},
    {0x0621, 0x063A},    {0x0641, 0x064A},    {0x0671, 0x06B7},    {0x06BA, 0x06BE},
    {0x06C0, 0x06CE},    {0x06D0, 0x06D3},    {0x06D5, 0x06D5},    {0x06E5, 0x06E6},
    {0x0905, 0x0939},    {0x093D, 0x093D},    {0x0958, 0x0961},    {0x0985, 0x098C},
    {0x098F, 0x0990},    {0x0993, 0x09A8},    {0x09AA, 0x09B0},    {0x09B2, 0x09B2},
    {0x09B6, 0x09B9},    {0x09DC, 0x09DD},    {0x09DF, 0x09E1},    {0x09F0, 0x09F1},
    {0x0A05, 0x0A0A},    {0x0A0F, 0x0A10},    {0x0A13, 0x0A28},    {0x0A2A, 0x0A30},
    {0x0A32, 0x0A33},    {0x0A35, 0x0A36},    {0x0A38, 0x0A39},    {0x0A59, 0x0A5C},
    {0x0A5E, 0x0A5E},    {0x0A72, 0x0A74},    {0x0A85, 0x0A8B},    {0x0A8D, 0x0A8D},
    {0x0A8F, 0x0A91},    {0x0A93, 0x0AA8},    {0x0AAA, 0x0AB0},    {0x0AB2, 0x0AB3},
    {0x0AB5, 0x0AB9},    {0x0ABD, 0x0ABD},    {0x0AE0, 0x0AE0},    {0x0B05, 0x0B0C},
    {0x0B0F, 0x0B10},    {0x0B13, 0x0B28},    {0x0B2A, 0x0B30},    {0x0B32, 0x0B33},
    {0x0B36, 0x0B39},    {0x0B3D, 0x0B3D},    {0x0B5C, 0x0B5D},    {0x0B5F, 0x0B61},
    {0x0B85, 0x0B8A},    {0x0B8E, 0x0B90},    {0x0B92, 0x0B95},    {0x0B99, 0x0B9A},
    {0x0B9C, 0x0B9C},    {0x0B9E, 0x0B9F},    {0x0BA3, 0x0BA4},    {0x0BA8, 0x0BAA},
    {0x0BAE, 0x0BB5},    {0x0BB7, 0x0BB9},    {0x0C05, 0x0C0C},    {0x0C0E, 0x0C10},
    {0x0C12, 0x0C28},    {0x0C2A, 0x0C33},    {0x0C35, 0x0C39},    {0x0C60, 0x0C61},
    {0x0C85, 0x0C8C},    {0x0C8E, 0x0C90},    {0x0C92, 0x0CA8},    {0x0CAA, 0x0CB3},
    {0x0CB5, 0x0CB9},    {0x0CDE, 0x0CDE},    {0x0CE0, 0x0CE1},    {0x0D05, 0x0D0C},
    {0x0D0E, 0x0D10},    {0x0D12, 0x0D28},    {0x0D2A, 0x0D39},    {0x0D60, 0x0D61},
    {0x0E01, 0x0E2E},    {0x0E30, 0x0E30},    {0x0E32, 0x0E33},    {0x0E40, 0x0E45},
    {0x0E81, 0x0E82},    {0x0E84, 0x0E84},    {0x0E87, 0x0E88},    {0x0E8A, 0x0E8A},
    {0x0E8D, 0x0E8D},    {0x0E94, 0x0E97},    {0x0E99, 0x0E9F},    {0x0EA1, 0x0EA3},
    {0x0EA5, 0x0EA5},    {0x0EA7, 0x0EA7},    {0x0EAA, 0x0EAB},    {0x0EAD, 0x0EAE},
    {0x0EB0, 0x0EB0},    {0x0EB2, 0x0EB3},    {0x0EBD, 0x0EBD},    {0x0EC0, 0x0EC4},
    {0x0F40, 0x0F47},    {0x0F49, 0x0F69},    {0x10A0, 0x10C5},    {0x10D0, 0x10F6},
    {0x1100, 0x1100},    {0x1102, 0x1103},    {0x1105, 0x1107},    {0x1109, 0x1109},
    {0x110B, 0x110C},    {0x110E, 0x1112},    {0x113C, 0x113C},    {0x113E, 0x113E},
    {0x1140, 0x1140},    {0x114C, 0x114C},    {0x114E, 0x114E},    {0x1150, 0x1150},
    {0x1154, 0x1155},    {0x1159, 0x1159},    {0x115F, 0x1161},    {0x1163, 0x1163},
    {0x1165, 0x1165},    {0x1167, 0x1167},    {0x1169, 0x1169},    {0x116D, 0x116E},
    {0x1172, 0x1173},    {0x1175, 0x1175},    {0x119E, 0x119E},    {0x11A8, 0x11A8},
    {0x11AB, 0x11AB},    {0x11AE, 0x11AF},    {0x11B7, 0x11B8},    {0x11BA, 0x11BA},
    {0x11BC, 0x11C2},    {0x11EB, 0x11EB},    {0x11F0, 0x11F0},    {0x11F9, 0x11F9},
    {0x1E00, 0x1E9B},    {0x1EA0, 0x1EF9},    {0x1F00, 0x1F15},    {0x1F18, 0x1F1D},
    {0x1F20, 0x1F45},    {0x1F48, 0x1F4D},    {0x1F50, 0x1F57},    {0x1F59, 0x1F59},
    {0x1F5B, 0x1F5B},    {0x1F5D, 0x1F5D},    {0x1F5F, 0x1F7D},    {0x1F80, 0x1FB4},
    {0x1FB6, 0x1FBC},    {0x1FBE, 0x1FBE},    {0x1FC2, 0x1FC4},    {0x1FC6, 0x1FCC},
    {0x1FD0, 0x1FD3},    {0x1FD6, 0x1FDB},    {0x1FE0, 0x1FEC},    {0x1FF2, 0x1FF4},
    {0x1FF6, 0x1FFC},    {0x2126, 0x2126},    {0x212A, 0x212B},    {0x212E, 0x212E},
    {0x2180, 0x2182},    {0x3041, 0x3094},    {0x30A1, 0x30FA},    {0x3105, 0x312C},
    {0xAC00, 0xD7A3},
};
constexpr CharRange kIdeographic[] = {
    {0x3007, 0x3007},    {0x3021, 0x3029},    {0x4E00, 0x9FA5},
};
constexpr CharRange kCombiningChar[] = {
    {0x0300, 0x0345},    {0x0360, 0x0361},    {0x0483, 0x0486},    {0x0591, 0x05A1},
    {0x05A3, 0x05B9},    {0x05BB, 0x05BD},    {0x05BF, 0x05BF},    {0x05C1, 0x05C2},
    {0x05C4, 0x05C4},    {0x064B, 0x0652},    {0x0670, 0x0670},    {0x06D6, 0x06E4},
    {0x06E7, 0x06E8},    {0x06EA, 0x06ED},    {0x0901, 0x0903},    {0x093C, 0x093C},
    {0x093E, 0x094D},    {0x0951, 0x0954},    {0x0962, 0x0963},    {0x0981, 0x0983},
    {0x09BC, 0x09BC},    {0x09BE, 0x09C4},    {0x09C7, 0x09C8},    {0x09CB, 0x09CD},
    {0x09D7, 0x09D7},    {0x09E2, 0x09E3},    {0x0A02, 0x0A02},    {0x0A3C, 0x0A3C},
    {0x0A3E, 0x0A42},    {0x0A47, 0x0A48},    {0x0A4B, 0x0A4D},    {0x0A70, 0x0A71},
    {0x0A81, 0x0A83},    {0x0ABC, 0x0ABC},    {0x0ABE, 0x0AC5},    {0x0AC7, 0x0AC9},
    {0x0ACB, 0x0ACD},    {0x0B01, 0x0B03},    {0x0B3C, 0x0B3C},    {0x0B3E, 0x0B43},
    {0x0B47, 0x0B48},    {0x0B4B, 0x0B4D},    {0x0B56, 0x0B57},    {0x0B82, 0x0B83},
    {0x0BBE, 0x0BC2},    {0x0BC6, 0x0BC8},    {0x0BCA, 0x0BCD},    {0x0BD7, 0x0BD7},
    {0x0C01, 0x0C03},    {0x0C3E, 0x0C44},    {0x0C46, 0x0C48},    {0x0C4A, 0x0C4D},
    {0x0C55, 0x0C56},    {0x0C82, 0x0C83},    {0x0CBE, 0x0CC4},    {0x0CC6, 0x0CC8},
    {0x0CCA, 0x0CCD},    {0x0CD5, 0x0CD6},    {0x0D02, 0x0D03},    {0x0D3E, 0x0D43},
    {0x0D46, 0x0D48},    {0x0D4A, 0x0D4D},    {0x0D57, 0x0D57},    {0x0E31, 0x0E31},
    {0x0E34, 0x0E3A},    {0x0E47, 0x0E4E},    {0x0EB1, 0x0EB1},    {0x0EB4, 0x0EB9},
    {0x0EBB, 0x0EBC},    {0x0EC8, 0x0ECD},    {0x0F18, 0x0F19},    {0x0F35, 0x0F35},
    {0x0F37, 0x0F37},    {0x0F39, 0x0F39},    {0x0F3E, 0x0F3F},    {0x0F71, 0x0F84},
    {0x0F86, 0x0F8B},    {0x0F90, 0x0F95},    {0x0F97, 0x0F97},    {0x0F99, 0x0FAD},
    {0x0FB1, 0x0FB7},    {0x0FB9, 0x0FB9},    {0x20D0, 0x20DC},    {0x20E1, 0x20E1},
    {0x302A, 0x302F},    {0x3099, 0x309A},
};
constexpr CharRange kDigit[] = {
    {0x0030, 0x0039},    {0x0660, 0x0669},    {0x06F0, 0x06F9},    {0x0966, 0x096F},
    {0x09E6, 0x09EF},    {0x0A66, 0x0A6F},    {0x0AE6, 0x0AEF},    {0x0B66, 0x0B6F},
    {0x0BE7, 0x0BEF},    {0x0C66, 0x0C6F},    {0x0CE6, 0x0CEF},    {0x0D66, 0x0D6F},
    {0x0E50, 0x0E59},    {0x0ED0, 0x0ED9},    {0x0F20, 0x0F29},
};
constexpr CharRange kExtender[] = {
    {0x00B7, 0x00B7},    {0x02D0, 0x02D1},    {0x0387, 0x0387},    {0x0640, 0x0640},
    {0x0E46, 0x0E46},    {0x0EC6, 0x0EC6},    {0x3005, 0x3005},    {0x3031, 0x3035},
    {0x309D, 0x309E},    {0x30FC, 0x30FE},
};

template <size_t N>
bool InRanges(const CharRange (&ranges)[N], wchar_t c) {
  size_t low = 0, high = N;
  while (low < high) {
    size_t mid = (low + high) / 2;
    if (c < ranges[mid].first) {
      high = mid;
    } else if (c > ranges[mid].last) {
      low = mid + 1;
    } else {
      return true;
    }
  }
  return false;
}

inline bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsLetter(wchar_t c) {
  if (c < 0x80) return IsAsciiLetter(c);
  return InRanges(kBaseChar, c) || InRanges(kIdeographic, c);
}

bool IsNameStart(wchar_t c) { return c == L'_' || c == L':' || IsLetter(c); }

bool IsNameChar(wchar_t c) {
  if (c < 0x80) {
    return IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'_' || c == L':';
  }
  return IsLetter(c) || InRanges(kDigit, c) || InRanges(kCombiningChar, c) || InRanges(kExtender, c);
}

inline bool IsWhite(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

const wchar_t* SkipWhite(const wchar_t* p) {
  while (IsWhite(*p)) ++p;
  return p;
}

bool StartsWith(const wchar_t* p, const wchar_t* prefix) {
  for (; *prefix; ++p, ++prefix) {
    if (*p != *prefix) return false;
  }
  return true;
}

bool StartsWithNoCase(const wchar_t* p, const wchar_t* lowerPrefix) {
  for (; *lowerPrefix; ++p, ++lowerPrefix) {
    wchar_t c = *p >= L'A' && *p <= L'Z' ? *p + 32 : *p;
    if (c != *lowerPrefix) return false;
  }
  return true;
}

bool ReadName(const wchar_t*& p, std::wstring& out) {
  if (!IsNameStart(*p)) return false;
  const wchar_t* q = p + 1;
  while (IsNameChar(*q)) ++q;
  out.assign(p, q - p);
  p = q;
  return true;
}

inline bool IsXmlCodePoint(uint32_t c) {
  return c == 9 || c == 10 || c == 13 || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The position after one XML character in raw UTF-16, or null when the unit
// (or a broken surrogate pair) is no XML character.
const wchar_t* NextXmlChar(const wchar_t* p) {
  wchar_t c = *p;
  if (c >= 0xD800 && c <= 0xDBFF) return p[1] >= 0xDC00 && p[1] <= 0xDFFF ? p + 2 : nullptr;
  return IsXmlCodePoint(c) ? p + 1 : nullptr;
}

void AppendCodePoint(std::wstring& out, uint32_t c) {
  if (c > 0xFFFF) {
    c -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (c >> 10));
    out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<wchar_t>(c);
  }
}

// A reference at p (on the ampersand): its code point, p behind the
// semicolon; -1 for anything the grammar does not know.
int32_t ReadReference(const wchar_t*& p) {
  static const struct {
    const wchar_t* text;
    wchar_t c;
  } kNamed[] = {{L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&apos;", L'\''}, {L"&quot;", L'"'}};
  for (const auto& r : kNamed) {
    if (StartsWith(p, r.text)) {
      p += std::wcslen(r.text);
      return r.c;
    }
  }
  if (p[1] != L'#') return -1;
  const wchar_t* q = p + 2;
  uint32_t base = 10;
  if (*q == L'x') base = 16, ++q;
  uint32_t value = 0;
  const wchar_t* digits = q;
  for (;; ++q) {
    uint32_t d;
    if (*q >= L'0' && *q <= L'9') {
      d = *q - L'0';
    } else if (base == 16 && *q >= L'a' && *q <= L'f') {
      d = *q - L'a' + 10;
    } else if (base == 16 && *q >= L'A' && *q <= L'F') {
      d = *q - L'A' + 10;
    } else {
      break;
    }
    value = value * base + d;
    if (value > 0x10FFFF) value = 0x110000;  // stays out of range, never wraps
  }
  if (q == digits || *q != L';' || !IsXmlCodePoint(value)) return -1;
  p = q + 1;
  return static_cast<int32_t>(value);
}

// Character data up to "<" (quote 0) or up to the quote character; line ends
// become LF, references are replaced. p stops on the terminator, or where the
// text went wrong (the result is then error).
uint32_t ReadCharData(const wchar_t*& p, std::wstring& out, wchar_t quote, uint32_t error) {
  out.clear();
  for (;;) {
    const wchar_t* run = p;
    for (wchar_t c = *p; (c >= 0x20 || c == L'\t' || c == L'\n') && c != L'&' && c != L'<' && c != quote &&
                         (c < 0xD800 || c > 0xDFFF) && c < 0xFFFE;
         c = *++p) {
    }
    out.append(run, p - run);
    wchar_t c = *p;
    if (c == 0) return error;
    if (c == L'<') return quote ? error : kXmlOk;
    if (c == quote) return kXmlOk;
    if (c == L'\r') {
      out += L'\n';
      p += p[1] == L'\n' ? 2 : 1;
    } else if (c == L'&') {
      int32_t cp = ReadReference(p);
      if (cp < 0) return error;
      AppendCodePoint(out, static_cast<uint32_t>(cp));
    } else if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      out.append(p, 2);
      p += 2;
    } else {
      return error;  // a control character, U+FFFE/U+FFFF or a lone surrogate
    }
  }
}

bool IsAllWhite(const std::wstring& text) {
  for (wchar_t c : text) {
    if (!IsWhite(c)) return false;
  }
  return true;
}

void Normalize(std::wstring& v, uint32_t flags) {
  if (flags & kXmlLineFeedToBlank) {
    for (wchar_t& c : v) {
      if (c == L'\n') c = L' ';
    }
  }
  if (flags & kXmlCollapseWhite) {
    size_t w = 0;
    bool white = false;
    for (size_t r = 0; r < v.size(); ++r) {
      if (IsWhite(v[r])) {
        if (!white) v[w++] = L' ';
        white = true;
      } else {
        v[w++] = v[r];
        white = false;
      }
    }
    v.resize(w);
  }
  if (flags & kXmlTrimTrailing) {
    size_t end = v.size();
    while (end > 0 && IsWhite(v[end - 1])) --end;
    v.resize(end);
  }
  if (flags & kXmlTrimLeading) {
    size_t start = 0;
    while (start < v.size() && IsWhite(v[start])) ++start;
    v.erase(0, start);
  }
}

// Nesting deeper than this is refused: parsing, printing and deleting a tree
// recurse by depth, and a hostile text must not exhaust the stack.
constexpr int kMaxDepth = 512;

int Depth(const CXmlNode* node) {
  int depth = 0;
  for (; node && depth <= kMaxDepth; node = node->Parent()) ++depth;
  return depth;
}

int g_failAllocationsAfter = -1;
int g_failAppendsAfter = -1;

bool InjectedFailure(int& counter) {
  if (counter < 0) return false;
  return counter-- == 0;
}

template <class T>
T* NewNode() {
  if (InjectedFailure(g_failAllocationsAfter)) return nullptr;
  return new (std::nothrow) T;
}

bool AppendTo(CXmlNodeList* list, CXmlNode* node) {
  if (InjectedFailure(g_failAppendsAfter)) return false;
  return list->Append(node);
}

}  // namespace

void XmlInjectFailures(int allocationsAfter, int appendsAfter) {
  g_failAllocationsAfter = allocationsAfter;
  g_failAppendsAfter = appendsAfter;
}

bool IsXmlName(const wchar_t* text, size_t length) {
  if (!text || length == 0 || !IsNameStart(text[0])) return false;
  for (size_t i = 1; i < length; ++i) {
    if (!IsNameChar(text[i])) return false;
  }
  return true;
}

namespace {

int32_t XmlNodeKindAt(const wchar_t* p) {
  if (StartsWithNoCase(p, L"<?xml")) return kXmlDeclaration;
  if (StartsWith(p, L"<!--")) return kXmlComment;
  if (StartsWith(p, L"<![CDATA[")) return kXmlCData;
  if (StartsWith(p, L"<!DOCTYPE")) return kXmlDocType;
  if (StartsWith(p, L"<?")) return kXmlProcessingInstruction;
  if (p[0] == L'<' && IsNameStart(p[1])) return kXmlElement;
  return kXmlUnknown;
}

CXmlNode* CreateXmlNode(int32_t kind) {
  switch (kind) {
    case kXmlDeclaration: return NewNode<CXmlDeclaration>();
    case kXmlComment: return NewNode<CXmlComment>();
    case kXmlCData: return NewNode<CXmlCData>();
    case kXmlDocType: return NewNode<CXmlDocType>();
    case kXmlProcessingInstruction: return NewNode<CXmlProcessingInstruction>();
    case kXmlElement: return NewNode<CXmlElement>();
    case kXmlText: return NewNode<CXmlText>();
    case kXmlAttribute: return NewNode<CXmlAttribute>();
    default: return NewNode<CXmlUnknown>();
  }
}

}  // namespace

uint32_t CXmlNode::ParseChild(CXmlNodeList* list, CXmlNode* node, const wchar_t** cursor, uint32_t flags,
                              bool dropWhiteText) {
  // The parent link is set before the parse, so that "xml:space" of the
  // ancestors is known inside; Append takes the node as its own parent's.
  node->parent_ = this;
  uint32_t r = node->Parse(cursor, flags);
  if (r == kXmlOk && dropWhiteText && node->kind_ == kXmlText && IsAllWhite(node->value_)) {
    node->parent_ = nullptr;
    delete node;
    return kXmlOk;
  }
  if (r == kXmlOk && !AppendTo(list, node)) r = kXmlErrAppend;
  if (r != kXmlOk) {
    node->parent_ = nullptr;
    delete node;
  }
  return r;
}

uint32_t CXmlNode::Fail(const wchar_t** cursor, const wchar_t* at, uint32_t code) {
  Reset();
  *cursor = at;
  return code;
}

// ---------------------------------------------------------------------------
// Document

uint32_t CXmlDocumentNode::Parse(const wchar_t** cursor, uint32_t flags) {
  Reset();
  declaration_ = nullptr, docType_ = nullptr, root_ = nullptr;
  const wchar_t* p = SkipWhite(*cursor);
  if (!*p) return Fail(cursor, p, kXmlErrEmptyText);
  for (p = SkipWhite(p); *p; p = SkipWhite(p)) {
    int32_t kind = XmlNodeKindAt(p);
    bool allowed;
    switch (kind) {
      case kXmlDeclaration: allowed = !declaration_ && !docType_ && !root_; break;
      case kXmlDocType: allowed = declaration_ && !docType_ && !root_; break;
      case kXmlElement: allowed = declaration_ && !root_; break;
      case kXmlComment:
      case kXmlProcessingInstruction: allowed = true; break;
      default: allowed = false; break;
    }
    if (!allowed) return Fail(cursor, p, kXmlErrNotAllowed);
    CXmlNode* node = CreateXmlNode(kind);
    if (!node) return Fail(cursor, p, kXmlErrNoNode);
    uint32_t r = ParseChild(children_, node, &p, flags, false);
    if (r != kXmlOk) {
      declaration_ = nullptr, docType_ = nullptr, root_ = nullptr;
      return Fail(cursor, p, r);
    }
    if (kind == kXmlDeclaration) declaration_ = static_cast<CXmlDeclaration*>(node);
    if (kind == kXmlDocType) docType_ = static_cast<CXmlDocType*>(node);
    if (kind == kXmlElement) root_ = static_cast<CXmlElement*>(node);
  }
  // Only comments, or a declaration without a root: an empty document.
  if (!declaration_ || !root_) {
    Reset();
    declaration_ = nullptr, docType_ = nullptr, root_ = nullptr;
  }
  *cursor = p;
  return kXmlOk;
}

// ---------------------------------------------------------------------------
// Element

uint32_t CXmlElement::Parse(const wchar_t** cursor, uint32_t flags) {
  Reset();
  const wchar_t* p = SkipWhite(*cursor);
  if (*p != L'<') return Fail(cursor, p, kXmlErrElementStart);
  ++p;
  if (!ReadName(p, name_)) return Fail(cursor, p, kXmlErrElementName);
  for (;;) {
    p = SkipWhite(p);
    if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
    if (*p == L'/' || *p == L'>') break;
    CXmlAttribute* a = NewNode<CXmlAttribute>();
    if (!a) return Fail(cursor, p, kXmlErrNoMemory);
    const wchar_t* at = p;
    uint32_t r = a->Parse(&p, flags);
    if (r == kXmlOk && attributes_->FindByName(a->NamePtr(), 0)) r = kXmlErrDuplicateAttribute, p = at;
    if (r == kXmlOk && !AppendTo(attributes_, a)) r = kXmlErrAppend;
    if (r != kXmlOk) {
      delete a;
      return Fail(cursor, p, r);
    }
  }
  if (*p == L'/') {
    if (p[1] != L'>') return Fail(cursor, p, kXmlErrEndTag);
    *cursor = p + 2;
    return kXmlOk;
  }
  ++p;
  uint32_t r = ParseContent(&p, flags);
  if (r != kXmlOk) return Fail(cursor, p, r);
  const wchar_t* end = p;
  p += 2;  // "</"
  if (!StartsWith(p, name_.c_str())) return Fail(cursor, end, kXmlErrEndTag);
  p = SkipWhite(p + name_.size());
  if (*p != L'>') return Fail(cursor, end, kXmlErrEndTag);
  *cursor = p + 1;
  return kXmlOk;
}

uint32_t CXmlElement::ParseContent(const wchar_t** cursor, uint32_t flags) {
  const wchar_t* p = *cursor;
  if (Depth(this) > kMaxDepth) return kXmlErrNotAllowed;
  const bool preserve = IsSpacePreserved();
  const bool dropWhite = !preserve && (flags & kXmlDropWhiteText);
  for (;;) {
    if (!*p) {
      *cursor = p;
      return kXmlErrEndOfText;
    }
    if (p[0] == L'<' && p[1] == L'/') break;
    CXmlNode* node;
    if (*p == L'<') {
      int32_t kind = XmlNodeKindAt(p);
      if (kind != kXmlElement && kind != kXmlComment && kind != kXmlProcessingInstruction && kind != kXmlCData) {
        *cursor = p;
        return kXmlErrNotAllowed;
      }
      node = CreateXmlNode(kind);
    } else {
      node = NewNode<CXmlText>();
    }
    if (!node) {
      *cursor = p;
      return kXmlErrNoMemory;
    }
    uint32_t r = ParseChild(children_, node, &p, flags, dropWhite);
    if (r != kXmlOk) {
      *cursor = p;
      return r;
    }
  }
  *cursor = p;
  return kXmlOk;
}

// ---------------------------------------------------------------------------
// Character data and attributes

uint32_t CXmlText::Parse(const wchar_t** cursor, uint32_t flags) {
  Reset();
  const wchar_t* p = *cursor;
  uint32_t r = ReadCharData(p, value_, 0, kXmlErrCharData);
  if (r != kXmlOk) return Fail(cursor, p, r);
  const CXmlNode* parent = Parent();
  bool preserve = parent && parent->Kind() == kXmlElement && static_cast<const CXmlElement*>(parent)->IsSpacePreserved();
  if (!preserve) Normalize(value_, flags);
  *cursor = p;
  return kXmlOk;
}

uint32_t CXmlAttribute::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  const wchar_t* p = SkipWhite(*cursor);
  if (!*p) return Fail(cursor, p, kXmlErrAttributeEquals);
  if (!ReadName(p, name_)) return Fail(cursor, p, kXmlErrAttributeName);
  if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
  p = SkipWhite(p);
  if (*p != L'=') return Fail(cursor, p, kXmlErrAttributeEquals);
  p = SkipWhite(p + 1);
  if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
  wchar_t quote = *p;
  if (quote != L'"' && quote != L'\'') return Fail(cursor, p, kXmlErrAttributeValue);
  ++p;
  uint32_t r = ReadCharData(p, value_, quote, kXmlErrAttributeValue);
  if (r != kXmlOk) return Fail(cursor, p, r);
  Normalize(value_, kXmlTrimLeading | kXmlTrimTrailing | kXmlCollapseWhite | kXmlLineFeedToBlank);
  *cursor = p + 1;
  return kXmlOk;
}

// ---------------------------------------------------------------------------
// Declaration, processing instruction, comment, CDATA, DOCTYPE, unknown

uint32_t CXmlDeclaration::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  version.clear(), encoding.clear(), standalone.clear();
  const wchar_t* p = SkipWhite(*cursor);
  if (!StartsWith(p, L"<?xml")) return Fail(cursor, p, kXmlErrDeclaration);
  p += 5;
  if (!IsWhite(*p)) return Fail(cursor, p, kXmlErrDeclaration);
  CXmlAttribute a;
  if (a.Parse(&p, 0) != kXmlOk || !a.IsNamed(L"version")) return Fail(cursor, p, kXmlErrDeclaration);
  // Another version, or a bad standalone value, ends the declaration here;
  // the document parse then fails on the text that follows.
  if (std::wcscmp(a.ValuePtr(), L"1.0") != 0) {
    *cursor = p;
    return kXmlOk;
  }
  version = a.ValuePtr();
  for (int field = 0; field < 2; ++field) {
    const wchar_t* q = SkipWhite(p);
    if (q == p || !IsNameStart(*q)) break;
    if (a.Parse(&q, 0) != kXmlOk) return Fail(cursor, q, kXmlErrDeclaration);
    if (a.IsNamed(L"encoding") && field == 0 && standalone.empty()) {
      encoding = a.ValuePtr();
    } else if (a.IsNamed(L"standalone")) {
      if (!StartsWith(a.ValuePtr(), L"yes") && !StartsWith(a.ValuePtr(), L"no")) {
        *cursor = p;
        return kXmlOk;
      }
      standalone = a.ValuePtr();
      field = 1;
    } else {
      return Fail(cursor, p, kXmlErrDeclaration);
    }
    p = q;
  }
  p = SkipWhite(p);
  if (!StartsWith(p, L"?>")) return Fail(cursor, p, kXmlErrDeclaration);
  *cursor = p + 2;
  return kXmlOk;
}

uint32_t CXmlProcessingInstruction::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  const wchar_t* p = SkipWhite(*cursor);
  if (!StartsWith(p, L"<?")) return Fail(cursor, p, kXmlErrPiMarkup);
  p += 2;
  const wchar_t* target = p;
  if (!ReadName(p, name_) || (name_.size() == 3 && StartsWithNoCase(name_.c_str(), L"xml")))
    return Fail(cursor, target, kXmlErrPiTarget);
  if (!IsWhite(*p)) {
    if (!StartsWith(p, L"?>")) return Fail(cursor, p, kXmlErrPiMarkup);
    *cursor = p + 2;
    return kXmlOk;
  }
  p = SkipWhite(p);
  const wchar_t* start = p;
  while (!(p[0] == L'?' && p[1] == L'>')) {
    if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
    const wchar_t* next = NextXmlChar(p);
    if (!next) return Fail(cursor, p, kXmlErrPiCharacter);
    p = next;
  }
  value_.assign(start, p - start);
  *cursor = p + 2;
  return kXmlOk;
}

uint32_t CXmlComment::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  const wchar_t* p = SkipWhite(*cursor);
  if (!StartsWith(p, L"<!--")) return Fail(cursor, p, kXmlErrComment);
  p += 4;
  const wchar_t* start = p;
  for (;;) {
    if (p[0] == L'-' && p[1] == L'-') {
      if (p[2] != L'>') return Fail(cursor, p, kXmlErrComment);
      break;
    }
    const wchar_t* next = *p ? NextXmlChar(p) : nullptr;
    if (!next) return Fail(cursor, p, kXmlErrComment);
    p = next;
  }
  value_.assign(start, p - start);
  *cursor = p + 3;
  return kXmlOk;
}

uint32_t CXmlCData::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  const wchar_t* p = *cursor;
  if (!StartsWith(p, L"<![CDATA[")) return Fail(cursor, p, kXmlErrCData);
  p += 9;
  const wchar_t* end = std::wcsstr(p, L"]]>");
  if (!end) return Fail(cursor, p, kXmlErrCData);
  value_.assign(p, end - p);
  *cursor = end + 3;
  return kXmlOk;
}

namespace {

bool IsPubidChar(wchar_t c) {
  return c == 0x20 || c == 0xD || c == 0xA || IsAsciiLetter(c) || (c >= L'0' && c <= L'9') ||
         (c && std::wcschr(L"-'()+,./:=?;!*#@$_%", c));
}

// A quoted literal without reference processing; public identifiers are
// held to PubidChar (and cannot hold the quote that encloses them).
bool ReadLiteral(const wchar_t*& p, std::wstring& out, bool publicId) {
  wchar_t quote = *p;
  if (quote != L'"' && quote != L'\'') return false;
  const wchar_t* q = p + 1;
  while (*q && *q != quote) {
    if (publicId && !IsPubidChar(*q)) return false;
    ++q;
  }
  if (!*q) return false;
  out.assign(p + 1, q - p - 1);
  p = q + 1;
  return true;
}

}  // namespace

uint32_t CXmlDocType::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  keyword.clear(), literal.clear(), publicId_.clear(), systemId_.clear();
  const wchar_t* p = SkipWhite(*cursor);
  if (!StartsWith(p, L"<!DOCTYPE")) return Fail(cursor, p, kXmlErrDocType);
  p += 9;
  if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
  if (!IsWhite(*p)) return Fail(cursor, p, kXmlErrDocType);
  p = SkipWhite(p);
  if (!*p) return Fail(cursor, p, kXmlErrEndOfText);
  if (!ReadName(p, name_)) return Fail(cursor, p, kXmlErrDocTypeName);
  const wchar_t* q = SkipWhite(p);
  if (q != p && (StartsWith(q, L"SYSTEM") || StartsWith(q, L"PUBLIC"))) {
    bool isPublic = q[0] == L'P';
    q += 6;
    if (!IsWhite(*q)) return Fail(cursor, q, kXmlErrDocType);
    q = SkipWhite(q);
    if (isPublic) {
      if (!ReadLiteral(q, publicId_, true)) return Fail(cursor, q, kXmlErrDocType);
      if (!IsWhite(*q)) return Fail(cursor, q, kXmlErrDocType);
      q = SkipWhite(q);
    }
    if (!ReadLiteral(q, systemId_, false)) return Fail(cursor, q, kXmlErrDocType);
    keyword = isPublic ? L"PUBLIC" : L"SYSTEM";
    literal = isPublic ? publicId_ + L' ' + systemId_ : systemId_;
    p = q;
  }
  p = SkipWhite(p);
  if (*p == L'[') {
    const wchar_t* close = std::wcschr(p, L']');
    if (!close) return Fail(cursor, p, kXmlErrDocType);
    value_.assign(p, close + 1 - p);
    p = SkipWhite(close + 1);
  }
  if (*p != L'>') return Fail(cursor, p, kXmlErrDocType);
  *cursor = p + 1;
  return kXmlOk;
}

uint32_t CXmlUnknown::Parse(const wchar_t** cursor, uint32_t) {
  Reset();
  const wchar_t* p = SkipWhite(*cursor);
  if (*p != L'<') return Fail(cursor, p, kXmlErrUnknownMarkup);
  const wchar_t* close = std::wcschr(p, L'>');
  if (!close) return Fail(cursor, p + std::wcslen(p), kXmlErrEndOfText);
  value_.assign(p + 1, close - p - 1);
  *cursor = close + 1;
  return kXmlOk;
}
