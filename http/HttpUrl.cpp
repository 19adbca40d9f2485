#include "http/HttpUrl.h"

#include <cstdlib>
#include <cstring>

#include "core/StrUtil.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

bool IsAlnum(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsHostChar(unsigned char c) { return IsAlnum(c) || c == '-' || c == '.'; }

template <typename Keep>
bool Encode(std::string& out, const char* source, uint32_t length, Keep keep) {
  out.clear();
  if (!source) return false;
  size_t total = 0;
  for (uint32_t i = 0; i < length; ++i) total += keep(static_cast<unsigned char>(source[i])) ? 1 : 3;
  out.reserve(total);
  for (uint32_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(source[i]);
    if (keep(c)) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    }
  }
  return true;
}

// Decodes then encodes again: one canonical form for a piece of a URL.
void Recode(std::string& text) {
  UrlDecodeInPlace(text);
  UrlEncodeInPlace(text);
}

}  // namespace

bool IsUrlUnreserved(unsigned char c) { return IsAlnum(c) || (c && strchr("-_.!~*'()", c)); }

bool UrlEncode(std::string& out, const char* source, uint32_t length) {
  return Encode(out, source, length, IsUrlUnreserved);
}

bool EncodeHostName(std::string& out, const char* source, uint32_t length) {
  return Encode(out, source, length, IsHostChar);
}

bool UrlEncodeInPlace(std::string& text) {
  std::string out;
  if (!UrlEncode(out, text.data(), static_cast<uint32_t>(text.size()))) return false;
  text.swap(out);
  return true;
}

bool EncodeHostNameInPlace(std::string& text) {
  std::string out;
  if (!EncodeHostName(out, text.data(), static_cast<uint32_t>(text.size()))) return false;
  text.swap(out);
  return true;
}

bool HexPairValue(uint8_t* out, const char* two) {
  return two && HexPairToByteA(out, two[0], two[1]);
}

bool UrlDecode(std::string& out, const char* source, uint32_t length) {
  out.clear();
  if (!source) return false;
  bool clean = true;
  out.reserve(length);
  for (uint32_t i = 0; i < length; ++i) {
    char c = source[i];
    uint8_t byte;
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%' && i + 2 < length && HexPairValue(&byte, source + i + 1)) {
      out.push_back(static_cast<char>(byte));
      i += 2;
    } else {
      if (c == '%') clean = false;
      out.push_back(c);
    }
  }
  return clean;
}

bool UrlDecodeInPlace(std::string& text) {
  std::string out;
  bool clean = UrlDecode(out, text.data(), static_cast<uint32_t>(text.size()));
  text.swap(out);
  return clean;
}

bool IsDecimalDigits(const char* text) {
  if (!text || !*text) return false;
  for (; *text; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

void ToLowerAscii(std::string& text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
}

uint32_t SplitByChar(std::vector<std::string>& out, const char* text, char separator) {
  out.clear();
  if (!text || !*text) return 0;
  const char* start = text;
  for (const char* p = text;; ++p) {
    if (*p == separator || !*p) {
      out.emplace_back(start, p);
      if (!*p) break;
      start = p + 1;
    }
  }
  return static_cast<uint32_t>(out.size());
}

bool CompareTokenN(const char* a, const char* b, uint32_t n, bool caseSensitive) {
  if (!a) a = "";
  if (!b) b = "";
  uint32_t i = 0;
  for (; i < n && a[i] && b[i]; ++i) {
    char x = a[i], y = b[i];
    if (!caseSensitive) {
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    }
    if (x != y) return false;
  }
  return i == n || (!a[i] && !b[i]);
}

bool NormalizeUrlPath(std::string& path) {
  if (path.empty() || path[0] != '/') return false;
  if (path == "/") return true;
  std::vector<std::string> pieces, segments;
  SplitByChar(pieces, path.c_str(), '/');
  for (size_t i = 1; i < pieces.size(); ++i) {
    const std::string& piece = pieces[i];
    if (piece == ".") {
      if (i + 1 == pieces.size()) segments.emplace_back();
    } else if (piece == "..") {
      if (segments.empty()) return false;
      segments.pop_back();
    } else {
      size_t semi = piece.find(';');
      std::string name = piece.substr(0, semi);
      std::string params = semi == std::string::npos ? std::string() : piece.substr(semi + 1);
      Recode(name);
      Recode(params);
      segments.push_back(params.empty() ? name : name + ";" + params);
    }
  }
  path = "/";
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i) path += '/';
    path += segments[i];
  }
  return true;
}

bool NormalizeUrlQuery(std::string& query) {
  if (query.empty()) return true;
  std::vector<std::string> items;
  SplitByChar(items, query.c_str(), '&');
  std::string result;
  for (size_t i = 0; i < items.size(); ++i) {
    size_t eq = items[i].find('=');
    std::string name = items[i].substr(0, eq);
    std::string value = eq == std::string::npos ? std::string() : items[i].substr(eq + 1);
    Recode(name);
    Recode(value);
    if (i) result += '&';
    result += value.empty() ? name : name + "=" + value;
  }
  query.swap(result);
  return true;
}

bool ParseHttpUrl(std::string& host, std::string& port, std::string& path, std::string& query,
                  std::string& fragment, const char* url) {
  host.clear(), port.clear(), path.clear(), query.clear(), fragment.clear();
  if (!url || strlen(url) <= 7 || !CompareTokenN(url, "http://", 7, false)) return false;
  const char* rest = url + 7;
  // The authority ends at the first '/', '?' or '#'; a ':' inside it starts the port.
  size_t authority = strcspn(rest, "/?#");
  std::string hostPort(rest, authority);
  size_t colon = hostPort.find(':');
  host = hostPort.substr(0, colon);
  if (colon != std::string::npos) port = hostPort.substr(colon + 1);
  if (host.empty() || !UrlDecodeInPlace(host)) return false;
  ToLowerAscii(host);
  EncodeHostNameInPlace(host);

  if (!UrlDecodeInPlace(port)) return false;
  if (!port.empty()) {
    if (!IsDecimalDigits(port.c_str()) || port.size() > 5) return false;
    unsigned long value = strtoul(port.c_str(), nullptr, 10);
    if (value > 65535) return false;
    port = value ? std::to_string(value) : "80";
  } else {
    port = "80";
  }

  std::string tail = rest + authority;
  size_t mark = tail.find_first_of("?#");
  path = tail.substr(0, mark);
  if (mark != std::string::npos) {
    std::string after = tail.substr(mark + 1);
    if (tail[mark] == '?') {
      size_t hash = after.find('#');
      query = after.substr(0, hash);
      if (hash != std::string::npos) fragment = after.substr(hash + 1);
    } else {
      fragment = after;
    }
  }
  if (path.empty()) path = "/";
  if (!NormalizeUrlPath(path)) return false;
  NormalizeUrlQuery(query);
  Recode(fragment);
  return true;
}
