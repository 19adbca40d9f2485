// Wide-string helpers: numbers to text, formatting, URL and HTML escaping.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

std::wstring IntToWString(uint32_t value, int radix);
std::wstring IntToWStringSigned(int32_t value, int radix);
std::string IntToString(uint32_t value, int radix);
std::wstring& UInt32ToHexWString(std::wstring& out, uint32_t value, bool allEightDigits, bool upperCase);

// printf-style formatting with the Microsoft runtime's conventions (%s is a
// wide string in a wide format, %S a narrow one). Returns the length, or -1.
int FormatWString(std::wstring& out, const wchar_t* format, ...);
int FormatWStringV(std::wstring& out, const wchar_t* format, va_list args);
uint32_t EstimateFormatLength(const wchar_t* format, va_list args);

// The program's own formatter: %% %c %s (wide text) %t (std::wstring*), appended.
int AppendFormatWString(std::wstring& out, const wchar_t* format, ...);

uint32_t UrlEncode(std::wstring& out, const wchar_t* text);
uint32_t EscapeXmlText(std::wstring& out, const wchar_t* text, uint32_t length, bool keepBlankRuns);
uint32_t EscapeXmlString(std::wstring& text, bool keepBlankRuns);

bool HexPairToByte(uint8_t* out, wchar_t high, wchar_t low);
bool HexPairToByteA(uint8_t* out, char high, char low);

void ReplaceAll(std::wstring& text, const wchar_t* find, const wchar_t* replacement);

// A text for a place that does not grow with it (a message box, a heading):
// cut to at most maxLength characters, and every run without a blank to at
// most longestRun, each cut marked by an ellipsis (which counts).
std::wstring ShortenText(const std::wstring& text, size_t maxLength, size_t longestRun);
