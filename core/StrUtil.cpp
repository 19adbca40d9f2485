#include "core/StrUtil.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "core/TextCodec.h"

// The Microsoft runtime's own formatters: %s is wide in a wide format.
extern "C" {
_CRTIMP int __cdecl _vsnwprintf(wchar_t*, size_t, const wchar_t*, va_list);
_CRTIMP int __cdecl _vscwprintf(const wchar_t*, va_list);
_CRTIMP int __cdecl _scprintf(const char*, ...);
}

namespace {

template <typename Str>
Str DigitsOf(uint32_t value, int radix) {
  if (radix < 2 || radix > 36) radix = 10;
  typename Str::value_type digits[33];
  int n = 0;
  do {
    uint32_t d = value % radix;
    digits[n++] = static_cast<typename Str::value_type>(d < 10 ? '0' + d : 'a' + d - 10);
    value /= radix;
  } while (value);
  Str s;
  s.reserve(n);
  while (n) s.push_back(digits[--n]);
  return s;
}

inline bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

inline int HexValue(unsigned c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline bool IsXmlBlank(wchar_t c) { return c == L'\t' || c == L'\n' || c == L'\r' || c == L' '; }

}  // namespace

std::wstring IntToWString(uint32_t value, int radix) { return DigitsOf<std::wstring>(value, radix); }

std::wstring IntToWStringSigned(int32_t value, int radix) {
  if (radix == 10 && value < 0)
    return L"-" + IntToWString(0u - static_cast<uint32_t>(value), 10);
  return IntToWString(static_cast<uint32_t>(value), radix);
}

std::string IntToString(uint32_t value, int radix) { return DigitsOf<std::string>(value, radix); }

std::wstring& UInt32ToHexWString(std::wstring& out, uint32_t value, bool allEightDigits, bool upperCase) {
  const wchar_t* digits = upperCase ? L"0123456789ABCDEF" : L"0123456789abcdef";
  out.clear();
  for (int shift = 28; shift >= 0; shift -= 4) {
    uint32_t nibble = (value >> shift) & 0xF;
    if (allEightDigits || !out.empty() || nibble || shift == 0) out.push_back(digits[nibble]);
  }
  return out;
}

uint32_t EstimateFormatLength(const wchar_t* format, va_list args) {
  if (!format) return 0;
  va_list ap;
  va_copy(ap, args);
  uint32_t total = 0;
  for (const wchar_t* p = format; *p; ++p) {
    if (*p != L'%' || *++p == L'%') {
      ++total;
      if (!*p) break;
      continue;
    }
    uint32_t extra = 0;
    int width = 0, precision = -1;
    for (;; ++p) {  // flags
      if (*p == L'#') extra += 2;
      else if (*p == L'-' || *p == L'+' || *p == L'0' || *p == L' ') ++extra;
      else break;
    }
    if (*p == L'*') {
      width = va_arg(ap, int);
      ++p;
    } else {
      while (IsDigit(*p)) width = width * 10 + (*p++ - L'0');
    }
    if (width < 0) width = -width;
    if (*p == L'.') {
      ++p;
      precision = 0;
      if (*p == L'*') {
        precision = va_arg(ap, int);
        ++p;
      } else {
        while (IsDigit(*p)) precision = precision * 10 + (*p++ - L'0');
      }
      if (precision < 0) precision = -1;
    }
    bool wide64 = false, narrow = false, wide = false;
    for (;;) {  // size prefixes
      if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') wide64 = true, p += 3;
      else if (*p == L'h') narrow = true, ++p;
      else if (*p == L'l') wide = true, ++p;
      else if (*p == L'F' || *p == L'N') ++p;
      else break;
    }
    uint32_t item = 0;
    uint32_t widthPrec = static_cast<uint32_t>(width) + static_cast<uint32_t>(precision < 0 ? 0 : precision);
    switch (*p) {
      case L'c':
      case L'C':
        va_arg(ap, int);
        item = 2;
        break;
      case L's':
      case L'S': {
        bool narrowText = narrow || (*p == L'S' && !wide);
        const void* s = va_arg(ap, const void*);
        if (!s) {
          item = 6;
        } else {
          item = static_cast<uint32_t>(narrowText ? strlen(static_cast<const char*>(s))
                                                  : wcslen(static_cast<const wchar_t*>(s)));
          if (item == 0) item = 1;
        }
        if (precision >= 0 && item > static_cast<uint32_t>(precision)) item = precision;
        break;
      }
      case L'd': case L'i': case L'u': case L'x': case L'X': case L'o':
        if (wide64) va_arg(ap, long long);
        else va_arg(ap, int);
        item = widthPrec > 32 ? widthPrec : 32;
        break;
      case L'e': case L'E': case L'g': case L'G': case L'a': case L'A':
        va_arg(ap, double);
        item = widthPrec > 128 ? widthPrec : 128;
        break;
      case L'f': {
        double value = va_arg(ap, double);
        int n = _scprintf("%*.*f", width, (precision < 0 ? 6 : precision) + 6, value);
        item = static_cast<uint32_t>(n > 0 ? n : 0);
        break;
      }
      case L'p':
        va_arg(ap, void*);
        item = widthPrec > 32 ? widthPrec : 32;
        break;
      case L'n':
        va_arg(ap, void*);
        break;
      default:
        break;
    }
    if (item < static_cast<uint32_t>(width)) item = width;
    total += item + extra;
    if (!*p) break;
  }
  va_end(ap);
  return total;
}

int FormatWStringV(std::wstring& out, const wchar_t* format, va_list args) {
  out.clear();
  if (!format) return -1;
  uint32_t n = EstimateFormatLength(format, args);
  if (n == 0) return -1;
  // The estimate is only a first size: bounded formatting fails rather than
  // overflowing, and the exact length then sizes a second attempt.
  for (int attempt = 0; attempt < 2; ++attempt) {
    out.assign(n + 1, L'\0');
    va_list ap;
    va_copy(ap, args);
    int written = _vsnwprintf(&out[0], n + 1, format, ap);
    va_end(ap);
    if (written >= 0 && static_cast<uint32_t>(written) <= n) {
      out.resize(written);
      return written;
    }
    va_copy(ap, args);
    int exact = _vscwprintf(format, ap);
    va_end(ap);
    if (exact < 0) break;
    n = static_cast<uint32_t>(exact);
  }
  out.clear();
  return -1;
}

int FormatWString(std::wstring& out, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int result = FormatWStringV(out, format, args);
  va_end(args);
  return result;
}

int AppendFormatWString(std::wstring& out, const wchar_t* format, ...) {
  if (!format) return -1;
  va_list args;
  va_start(args, format);
  std::wstring added;
  for (const wchar_t* p = format; *p; ++p) {
    if (*p != L'%') {
      added.push_back(*p);
      continue;
    }
    if (!*++p) break;  // a lone percent sign at the end produces nothing
    switch (*p) {
      case L'%':
        added.push_back(L'%');
        break;
      case L'c':
        added.push_back(static_cast<wchar_t>(va_arg(args, int) & 0xFFFF));
        break;
      case L's':
        if (const wchar_t* s = va_arg(args, const wchar_t*)) added.append(s);
        break;
      case L't':
        if (const std::wstring* s = va_arg(args, const std::wstring*)) added.append(*s);
        break;
      default:
        break;  // unknown directives produce nothing and take no argument
    }
  }
  va_end(args);
  out.append(added);
  return static_cast<int>(added.size());
}

uint32_t UrlEncode(std::wstring& out, const wchar_t* text) {
  out.clear();
  if (!text || !*text) return 0;
  std::string utf8;
  WStringToUtf8(utf8, text, -1);
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  auto plain = [](unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '_' ||
           b == '-' || b == '.' || b == '@' || b == '*';
  };
  size_t total = 0;
  for (unsigned char b : utf8) total += plain(b) ? 1 : 3;
  out.reserve(total);
  for (unsigned char b : utf8) {
    if (plain(b)) {
      out.push_back(b);
    } else {
      out.push_back(L'%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 0xF]);
    }
  }
  return static_cast<uint32_t>(out.size());
}

uint32_t EscapeXmlText(std::wstring& out, const wchar_t* text, uint32_t length, bool keepBlankRuns) {
  if (!text || length == 0 || text == out.c_str()) {
    out.clear();
    return 0;
  }
  std::wstring result;
  result.reserve(length + length / 8);
  bool inBlankRun = false;
  for (uint32_t i = 0; i < length; ++i) {
    wchar_t c = text[i];
    if (c == L'\r' && i + 1 < length && text[i + 1] == L'\n') continue;  // CR LF counts as one LF
    if (IsXmlBlank(c)) {
      if (inBlankRun && keepBlankRuns) result.append(L"&nbsp;");
      else result.push_back(c);
      inBlankRun = true;
      continue;
    }
    inBlankRun = false;
    switch (c) {
      case L'"': result.append(L"&quot;"); break;
      case L'&': result.append(L"&amp;"); break;
      case L'<': result.append(L"&lt;"); break;
      case L'>': result.append(L"&gt;"); break;
      default: result.push_back(c); break;
    }
  }
  out.swap(result);
  return static_cast<uint32_t>(out.size());
}

uint32_t EscapeXmlString(std::wstring& text, bool keepBlankRuns) {
  std::wstring copy(text);
  return EscapeXmlText(text, copy.c_str(), static_cast<uint32_t>(copy.size()), keepBlankRuns);
}

bool HexPairToByte(uint8_t* out, wchar_t high, wchar_t low) {
  int h = HexValue(high), l = HexValue(low);
  bool ok = h >= 0 && l >= 0;
  if (out) *out = ok ? static_cast<uint8_t>(h << 4 | l) : 0;
  return ok;
}

bool HexPairToByteA(uint8_t* out, char high, char low) {
  return HexPairToByte(out, static_cast<unsigned char>(high), static_cast<unsigned char>(low));
}

void ReplaceAll(std::wstring& text, const wchar_t* find, const wchar_t* replacement) {
  if (!find || !*find || !replacement || text.empty()) return;
  size_t findLength = wcslen(find);
  size_t at = text.find(find);
  if (at == std::wstring::npos) return;
  std::wstring result;
  result.reserve(text.size());
  size_t from = 0;
  for (; at != std::wstring::npos; at = text.find(find, from)) {
    result.append(text, from, at - from).append(replacement);
    from = at + findLength;
  }
  result.append(text, from, std::wstring::npos);
  text.swap(result);
}

std::wstring ShortenText(const std::wstring& text, size_t maxLength, size_t longestRun) {
  const wchar_t kEllipsis = L'\x2026';
  std::wstring out;
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    run = iswspace(c) ? 0 : run + 1;
    if (run < longestRun || (run == longestRun && (i + 1 == text.size() || iswspace(text[i + 1])))) {
      out.push_back(c);
    } else if (run == longestRun) {
      out.push_back(kEllipsis);
    }
    if (out.size() >= maxLength && i + 1 < text.size()) {
      out.resize(maxLength > 0 ? maxLength - 1 : 0);
      if (maxLength > 0) out.push_back(kEllipsis);
      break;
    }
  }
  return out;
}
