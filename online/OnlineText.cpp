#include "online/OnlineText.h"

#include <cwctype>

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

}  // namespace

void SetTemplateVar(CStringMap& vars, const wchar_t* name, const std::wstring& value) {
  std::wstring key(name);
  vars.SetAt(&key, &value, true);
}

void FilterNameChars(std::wstring& out, const wchar_t* text) {
  out.clear();
  if (!text) return;
  for (; *text; ++text) {
    wchar_t c = *text;
    if (std::iswalnum(c) || c == L'_' || c == L'-' || c == L'.' || c == L'@' || c == L'*') out += c;
  }
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i)
    if (i >= text.size() || AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  return true;
}

void AsciiToLower(std::wstring& text) {
  for (wchar_t& c : text) c = AsciiLower(c);
}
