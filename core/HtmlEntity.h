// HTML character references: entity names of HTML 4.01 (and three older
// names), decimal and hexadecimal references by number, decoded in place.
// Only this direction exists; escaping for output is EscapeXmlText.
#pragma once

#include <cstdint>
#include <string>

struct HtmlEntity {
  const wchar_t* name;  // the whole reference: "&amp;"
  uint16_t code;
};
constexpr int kHtmlEntityCount = 254;
extern const HtmlEntity HtmlEntityTable[kHtmlEntityCount];  // sorted by name, code unit order

int32_t DecodeHtmlEntities(std::wstring& text);  // the new length
uint32_t DecodeHtmlText(std::wstring& out, const wchar_t* text, uint32_t length);
// The character of the reference at *position (or the character there);
// *position moves past what was used.
wchar_t DecodeHtmlChar(const wchar_t** position, uint32_t remaining);
bool DecodeNamedEntity(wchar_t* out, const wchar_t** position, uint32_t remaining);
bool DecodeNumberEntity(wchar_t* out, const wchar_t** position, uint32_t remaining);
int32_t FindHtmlEntity(uint32_t* matched, const wchar_t* text, uint32_t remaining);
int32_t CompareEntityName(uint32_t* matched, const wchar_t* name, const wchar_t* text, uint32_t remaining);
// Base 2..36, or 0 for a base from the text (0x hexadecimal, 0 octal).
bool ParseNumber16(uint16_t* value, const wchar_t** position, uint32_t length, int32_t base);
