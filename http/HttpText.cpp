#include "http/HttpText.h"

#include <cstring>

extern "C" {
_CRTIMP int __cdecl _vscprintf(const char*, va_list);
_CRTIMP int __cdecl _vsnprintf(char*, size_t, const char*, va_list);
}

namespace {
const char* const kMethodNames[] = {"", "OPTIONS", "GET", "HEAD", "POST", "PUT", "DELETE", "TRACE", "CONNECT"};

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
}  // namespace

uint32_t EstimateFormatLengthA(const char* format, va_list args) {
  if (!format) return 0;
  va_list ap;
  va_copy(ap, args);
  int n = _vscprintf(format, ap);
  va_end(ap);
  return n < 0 ? 0 : static_cast<uint32_t>(n);
}

int FormatAStringV(std::string& out, const char* format, va_list args) {
  out.clear();
  uint32_t n = EstimateFormatLengthA(format, args);
  if (n == 0) return -1;
  out.assign(n + 1, '\0');
  va_list ap;
  va_copy(ap, args);
  int written = _vsnprintf(&out[0], n + 1, format, ap);
  va_end(ap);
  if (written < 0 || static_cast<uint32_t>(written) > n) {
    out.clear();
    return -1;
  }
  out.resize(written);
  return written;
}

int FormatAString(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatAStringV(out, format, args);
  va_end(args);
  return n;
}

void TrimAString(std::string& text, const char* set, int mode) {
  if (!set) return;
  if (mode >= 0) {
    size_t end = text.find_last_not_of(set);
    text.erase(end == std::string::npos ? 0 : end + 1);
  }
  if (mode <= 0) {
    size_t start = text.find_first_not_of(set);
    text.erase(0, start == std::string::npos ? text.size() : start);
  }
}

const char* GetHttpMethodName(int32_t method) {
  return (method >= kHttpOptions && method <= kHttpConnect) ? kMethodNames[method] : "";
}

int32_t ParseHttpMethod(const char* name) {
  if (!name || !*name) return kHttpNone;
  for (int32_t m = kHttpOptions; m <= kHttpConnect; ++m) {
    const char* a = name;
    const char* b = kMethodNames[m];
    while (*a && *b && LowerAscii(*a) == LowerAscii(*b)) ++a, ++b;
    if (!*a && !*b) return m;
  }
  return kHttpNone;
}

bool IsTokenChar(unsigned char c) {
  return c > 32 && c < 127 && !strchr("()<>@,;:\\\"/[]?={}", c);
}

uint32_t CountTokenChars(const char* bytes, uint32_t length, uint32_t limit) {
  if (!bytes) return 0;
  uint32_t n = 0;
  while (n < length && n < limit && IsTokenChar(static_cast<unsigned char>(bytes[n]))) ++n;
  return n;
}

uint32_t CountDigits(const char* bytes, uint32_t length, uint32_t limit) {
  if (!bytes) return 0;
  uint32_t n = 0;
  while (n < length && n < limit && bytes[n] >= '0' && bytes[n] <= '9') ++n;
  return n;
}

uint32_t ParseDecimal(const char* bytes, uint32_t length) {
  if (!bytes) return 0;
  uint64_t value = 0;
  for (uint32_t i = 0; i < length && bytes[i] >= '0' && bytes[i] <= '9'; ++i) {
    value = value * 10 + (bytes[i] - '0');
    if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}
