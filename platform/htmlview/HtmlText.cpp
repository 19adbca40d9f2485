#include "platform/htmlview/HtmlText.h"

#include <cwctype>

#include "core/HtmlEntity.h"

namespace htmlview {

void DecodeCharacterReferences(std::wstring& text) {
  if (text.find(L'&') != std::wstring::npos) DecodeHtmlEntities(text);
}

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (!y) return false;
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return b[i] == 0;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= text.size()) return false;
    wchar_t x = text[i], y = prefix[i];
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return true;
}

void ToLowerAscii(std::wstring& text) {
  for (wchar_t& c : text) {
    if (c >= 'A' && c <= 'Z') c += 32;
  }
}

std::wstring Trim(const std::wstring& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsSpace(text[b])) ++b;
  while (e > b && IsSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

bool IsBreakAnywhere(wchar_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF) ||
         (c >= 0x3000 && c <= 0x303F);
}

bool IsWordChar(wchar_t c) {
  if (IsBreakAnywhere(c)) return false;
  return iswalnum(c) || c == L'\'' || c == L'-' || c == L'_' || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

}  // namespace htmlview
