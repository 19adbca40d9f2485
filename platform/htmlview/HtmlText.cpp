#include "platform/htmlview/HtmlText.h"

#include <cwctype>

namespace htmlview {

namespace {

// The references the program's pages use until the core's decoder serves here.
struct NamedRef {
  const wchar_t* name;
  wchar_t code;
};
const NamedRef kNamedRefs[] = {
    {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"nbsp", 0xA0},
    {L"copy", 0xA9}, {L"reg", 0xAE}, {L"middot", 0xB7}, {L"laquo", 0xAB}, {L"raquo", 0xBB},
};

bool DecodeOne(const std::wstring& text, size_t& i, wchar_t& out) {
  // References are short: look for the semicolon only nearby, so that a long
  // run of ampersands stays linear.
  size_t semi = i + 1;
  while (semi < text.size() && semi - i <= 12 && text[semi] != L';') ++semi;
  if (semi >= text.size() || text[semi] != L';') return false;
  if (text[i + 1] == L'#') {
    bool hex = semi > i + 2 && (text[i + 2] == L'x' || text[i + 2] == L'X');
    size_t p = i + (hex ? 3 : 2);
    if (p >= semi) return false;
    uint32_t value = 0;
    for (; p < semi; ++p) {
      wchar_t c = text[p];
      int d = c >= '0' && c <= '9' ? c - '0'
              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return false;
      value = value * (hex ? 16 : 10) + d;
      if (value > 0xFFFF) return false;
    }
    out = static_cast<wchar_t>(value);
  } else {
    std::wstring name = text.substr(i + 1, semi - i - 1);
    bool found = false;
    for (const NamedRef& r : kNamedRefs) {
      if (name == r.name) {
        out = r.code;
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  i = semi + 1;
  return true;
}

}  // namespace

void DecodeCharacterReferences(std::wstring& text) {
  size_t amp = text.find(L'&');
  if (amp == std::wstring::npos) return;
  std::wstring out(text, 0, amp);
  size_t i = amp;
  while (i < text.size()) {
    wchar_t c;
    if (text[i] == L'&' && i + 2 < text.size() && DecodeOne(text, i, c)) {
      out.push_back(c);
    } else {
      out.push_back(text[i++]);
    }
  }
  text.swap(out);
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
