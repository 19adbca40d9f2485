#include "online/OnlineText.h"

#include <cwctype>

#include "core/HtmlEntity.h"
#include "core/XmlDocument.h"

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// The lower-case name of the tag that starts at text[0] == '<' ("/b" for an
// end tag), and its length up to and with the closing '>'; 0 when it is no tag.
size_t TagAt(const std::wstring& text, size_t at, std::wstring& name) {
  name.clear();
  size_t p = at + 1;
  if (p < text.size() && text[p] == L'/') name += text[p++];
  if (p >= text.size() || !(std::iswalpha(text[p]) || text[p] == L'!' || text[p] == L'?')) return 0;
  if (text.compare(p, 3, L"!--") == 0) {
    size_t end = text.find(L"-->", p + 3);
    return end == std::wstring::npos ? 0 : end + 3 - at;
  }
  while (p < text.size() && (std::iswalnum(text[p]) || text[p] == L'!' || text[p] == L'?' || text[p] == L'-'))
    name += AsciiLower(text[p++]);
  size_t end = text.find(L'>', p);
  return end == std::wstring::npos ? 0 : end + 1 - at;
}

void FlushEscaped(std::wstring& out, std::wstring& text) {
  std::wstring escaped;
  EscapeXmlAttribute(escaped, text.c_str());
  out += escaped;
  text.clear();
}

}  // namespace

void ReplyToSafeHtml(std::wstring& out, const std::wstring& reply) {
  out.clear();
  std::wstring text, name, lower = reply;
  AsciiToLower(lower);
  for (size_t i = 0; i < reply.size();) {
    wchar_t c = reply[i];
    size_t tag = c == L'<' ? TagAt(reply, i, name) : 0;
    if (tag) {
      i += tag;
      if (name == L"br") {
        FlushEscaped(out, text);
        out += L"<br>";
      } else if (name == L"script" || name == L"style") {
        size_t close = lower.find(L"</" + name, i);
        if (close == std::wstring::npos) break;
        i = close;
      }
      continue;
    }
    if (c == L'&') {
      const wchar_t* at = reply.c_str() + i;
      const wchar_t* cursor = at;
      wchar_t decoded = DecodeHtmlChar(&cursor, static_cast<uint32_t>(reply.size() - i));
      if (decoded) text += decoded;
      i += cursor > at ? static_cast<size_t>(cursor - at) : 1;
      continue;
    }
    if (c != 0) text += c;
    ++i;
  }
  FlushEscaped(out, text);
}

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
