// Narrow-text routines of the HTTP client: formatting, trimming, the method
// table and the token and digit scanners. Everything on the wire is 8-bit text.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

enum HttpMethod : int32_t {
  kHttpNone = 0,
  kHttpOptions = 1,
  kHttpGet = 2,
  kHttpHead = 3,
  kHttpPost = 4,
  kHttpPut = 5,
  kHttpDelete = 6,
  kHttpTrace = 7,
  kHttpConnect = 8,
};

// printf-style formatting (Microsoft runtime conventions); length or -1.
int FormatAString(std::string& out, const char* format, ...);
int FormatAStringV(std::string& out, const char* format, va_list args);
uint32_t EstimateFormatLengthA(const char* format, va_list args);

// Removes bytes of `set` from the left (mode < 0), both ends (0) or the right (> 0).
void TrimAString(std::string& text, const char* set, int mode);

const char* GetHttpMethodName(int32_t method);  // "" for an unknown code
int32_t ParseHttpMethod(const char* name);

uint32_t CountTokenChars(const char* bytes, uint32_t length, uint32_t limit);
uint32_t CountDigits(const char* bytes, uint32_t length, uint32_t limit);
uint32_t ParseDecimal(const char* bytes, uint32_t length);
bool IsTokenChar(unsigned char c);
