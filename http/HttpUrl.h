// Absolute "http://" URLs: splitting, canonical percent-encoding, and the small
// text routines that the request, cookie and form code share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool ParseHttpUrl(std::string& host, std::string& port, std::string& path, std::string& query,
                  std::string& fragment, const char* url);
bool NormalizeUrlPath(std::string& path);
bool NormalizeUrlQuery(std::string& query);

bool UrlEncode(std::string& out, const char* source, uint32_t length);
bool UrlEncodeInPlace(std::string& text);
bool EncodeHostName(std::string& out, const char* source, uint32_t length);
bool EncodeHostNameInPlace(std::string& text);
bool UrlDecode(std::string& out, const char* source, uint32_t length);
bool UrlDecodeInPlace(std::string& text);

bool HexPairValue(uint8_t* out, const char* two);
bool IsUrlUnreserved(unsigned char c);
bool IsDecimalDigits(const char* text);
void ToLowerAscii(std::string& text);
uint32_t SplitByChar(std::vector<std::string>& out, const char* text, char separator);
bool CompareTokenN(const char* a, const char* b, uint32_t n, bool caseSensitive);
