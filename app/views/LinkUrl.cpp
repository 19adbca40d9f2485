#include "app/views/LinkUrl.h"

#include <cwchar>

#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "platform/htmlview/HtmlText.h"

using htmlview::EqualsNoCase;
using htmlview::StartsWithNoCase;

bool DecodeLinkUrl(std::wstring& out, const wchar_t* url) {
  out.clear();
  if (!url || !*url) return true;
  std::string bytes;
  if (WStringToUtf8(bytes, url, -1) <= 0) return false;
  std::string decoded;
  decoded.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '+') {
      decoded.push_back(' ');
    } else if (c == '%') {
      uint8_t byte = 0;
      if (i + 2 >= bytes.size()) return false;
      if (!HexPairToByteA(&byte, bytes[i + 1], bytes[i + 2])) return false;
      decoded.push_back(static_cast<char>(byte));
      i += 2;
    } else {
      decoded.push_back(c);
    }
  }
  if (decoded.empty()) return true;
  if (Utf8ToWString(out, decoded.data(), static_cast<int>(decoded.size())) <= 0) {
    out.clear();
    return false;
  }
  return true;
}

void SplitLinkCommand(const std::wstring& rest, std::wstring& command, std::wstring& argument) {
  size_t slash = rest.find(L'/');
  if (slash == std::wstring::npos) {
    command = rest;
    argument.clear();
  } else {
    command = rest.substr(0, slash);
    argument = rest.substr(slash + 1);
  }
}

bool ParseNumberPair(const std::wstring& argument, uint32_t* a, uint32_t* b) {
  size_t hash = argument.find(L'#');
  if (hash == std::wstring::npos || argument.find(L'#', hash + 1) != std::wstring::npos) return false;
  std::wstring first = argument.substr(0, hash), second = argument.substr(hash + 1);
  *a = static_cast<uint32_t>(wcstoul(first.c_str(), nullptr, 0));
  *b = static_cast<uint32_t>(wcstoul(second.c_str(), nullptr, 0));
  return true;
}

PageLink ClassifyPageLink(const wchar_t* url, const std::wstring& startPage, std::wstring& rest) {
  DecodeLinkUrl(rest, url);
  if (StartsWithNoCase(rest, L"dict://")) {
    rest.erase(0, 7);
    return PageLink::kDict;
  }
  if (StartsWithNoCase(rest, L"app://")) {
    rest.erase(0, 6);
    return PageLink::kApp;
  }
  for (const std::wstring& u : {std::wstring(url ? url : L""), rest}) {
    if (!u.empty() && (EqualsNoCase(u, L"about:blank") || EqualsNoCase(u, startPage.c_str()))) {
      return PageLink::kStartPage;
    }
  }
  return PageLink::kOther;
}
