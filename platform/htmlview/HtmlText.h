// Small text helpers of the HTML view.
#pragma once

#include <string>

namespace htmlview {

// Replaces the character references of text (named, decimal, hexadecimal) by
// their characters; references that do not decode stay as written.
void DecodeCharacterReferences(std::wstring& text);

bool EqualsNoCase(const std::wstring& a, const wchar_t* b);
bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix);
void ToLowerAscii(std::wstring& text);
std::wstring Trim(const std::wstring& text);
inline bool IsSpace(wchar_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
// Characters between which a line may break without a blank (East Asian scripts).
bool IsBreakAnywhere(wchar_t c);
bool IsWordChar(wchar_t c);

}  // namespace htmlview
