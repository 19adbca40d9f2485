#include "http/HttpCookie.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "http/HttpText.h"
#include "http/HttpUrl.h"

namespace {

const char* BareDomain(const std::string& domain) { return domain.c_str() + (!domain.empty() && domain[0] == '.'); }

// Cookie paths compare without one trailing "/": "/a/" and "/a" are one path.
std::string PathKey(const std::string& path) {
  return path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path == "/" ? "" : path;
}

std::string Unquoted(std::string text) {
  size_t start = text.find_first_not_of('"');
  if (start == std::string::npos) return std::string();
  return text.substr(start, text.find_last_not_of('"') - start + 1);
}

bool IsLive(HttpTime expires, HttpTime now) { return expires == -1 || expires > now; }

// A "Max-Age" count of seconds after base; a far-off one is the last time
// there is, not an overflow into the past, and a negative one is now.
HttpTime ExpiryAfter(HttpTime base, const std::string& seconds) {
  size_t first = seconds.find_first_not_of(" \t");
  if (first == std::string::npos || seconds[first] == '-') return base;
  const unsigned long long age = strtoull(seconds.c_str(), nullptr, 10);
  const int64_t expires = static_cast<int64_t>(base) + static_cast<int64_t>(age < INT32_MAX ? age : INT32_MAX);
  return expires < INT32_MAX ? static_cast<HttpTime>(expires) : INT32_MAX;
}

}  // namespace

const CookieRecord* CHttpCookieJar::GetCookie(uint32_t index) const {
  return index < m_records.size() ? &m_records[index] : nullptr;
}

int CHttpCookieJar::Find(const std::string& name, const std::string& domain, const std::string& path) const {
  const char* bareDomain = BareDomain(domain);
  const std::string pathKey = PathKey(path);
  for (size_t i = 0; i < m_records.size(); ++i) {
    const CookieRecord& r = m_records[i];
    if (r.name == name && _stricmp(BareDomain(r.domain), bareDomain) == 0 && PathKey(r.path) == pathKey)
      return static_cast<int>(i);
  }
  return -1;
}

void CHttpCookieJar::Store(CookieRecord&& record, HttpTime now) {
  if (record.name.size() + record.value.size() > kMaxCookieSize) return;
  int found = Find(record.name, record.domain, record.path);
  bool live = IsLive(record.expires, now);
  if (found < 0) {
    if (!live) return;
    const char* domain = BareDomain(record.domain);
    size_t oldest = m_records.size();
    uint32_t sameDomain = 0;
    for (size_t i = 0; i < m_records.size(); ++i) {
      if (_stricmp(BareDomain(m_records[i].domain), domain) != 0) continue;
      if (sameDomain++ == 0) oldest = i;
    }
    if (sameDomain >= kMaxCookiesPerDomain) m_records.erase(m_records.begin() + oldest);
    else if (m_records.size() >= kMaxCookies) m_records.erase(m_records.begin());
    m_records.push_back(std::move(record));
  } else if (live) {
    m_records[found] = std::move(record);
  } else {
    m_records.erase(m_records.begin() + found);
  }
}

bool CHttpCookieJar::AddCookie(const char* name, const char* value, const HttpTime* expires, const char* domain,
                               const char* path, bool secure) {
  if (!name || !*name || !value) return false;
  CookieRecord record;
  record.name = name;
  record.value = value;
  record.expires = expires ? *expires : -1;
  record.domain = domain ? domain : "";
  record.path = path ? path : "";
  record.secure = secure;
  Store(std::move(record), HttpNow());
  return true;
}

void CHttpCookieJar::AddReceived(const CookieRecord& record) {
  if (record.name.empty()) return;
  CookieRecord copy = record;
  copy.comment.clear();
  copy.version = 0;
  Store(std::move(copy), HttpNow());
}

bool CHttpCookieJar::HasVersionAttribute(const std::string& header) {
  bool quoted = false;
  char lastNonBlank = 0;
  for (size_t i = 0; i < header.size(); ++i) {
    char c = header[i];
    if (c == '"') quoted = !quoted;
    if (!quoted && c == 'V' && lastNonBlank == ';' && header.compare(i, 7, "Version") == 0) {
      size_t j = i + 7;
      while (j < header.size() && (header[j] == ' ' || header[j] == '\t')) ++j;
      if (j < header.size() && header[j] == '=') return true;
    }
    if (c != ' ' && c != '\t') lastNonBlank = c;
  }
  return false;
}

uint32_t CHttpCookieJar::SplitOutsideQuotes(std::vector<std::string>& out, const std::string& text, char separator) {
  out.clear();
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (!quoted && text[i] == separator) {
      out.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) out.push_back(text.substr(start));
  return static_cast<uint32_t>(out.size());
}

void CHttpCookieJar::SplitAttribute(std::string& name, std::string& value, const std::string& item) {
  size_t eq = item.find('=');
  name = item.substr(0, eq);
  value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
  TrimAString(name, " \t", 0);
  TrimAString(value, " \t", 0);
}

bool CHttpCookieJar::ParseSetCookie(const char* header, const std::string& host, const std::string& path,
                                    const HttpTime* baseTime) {
  if (!header || !*header) return false;
  HttpTime now = HttpNow();
  std::vector<std::string> cookies, items;
  if (HasVersionAttribute(header)) SplitOutsideQuotes(cookies, header, ',');
  else cookies.push_back(header);

  for (const std::string& text : cookies) {
    SplitOutsideQuotes(items, text, ';');
    if (items.empty()) continue;
    CookieRecord r;
    r.domain = host;
    r.path = path;
    r.received = 1;
    std::string name, value;
    SplitAttribute(name, value, items[0]);
    UrlDecodeInPlace(name);
    r.name = name;
    r.value = value;
    for (size_t i = 1; i < items.size(); ++i) {
      SplitAttribute(name, value, items[i]);
      if (name == "Version") {
        r.version = strtoul(Unquoted(value).c_str(), nullptr, 10);
        if (r.version > 0) r.value = Unquoted(r.value);
      } else if (name == "expires") {
        // Servers also write the RFC 850 form with a four-digit year, which
        // only the cookie-date reader takes.
        HttpTime t = ParseHttpDate(value.c_str());
        if (t < 0) t = ParseCookieDate(value.c_str());
        r.expires = t < 0 ? 0 : t;
      } else if (name == "Max-Age") {
        r.expires = ExpiryAfter(baseTime ? *baseTime : now, Unquoted(value));
      } else if (name == "domain") {
        r.domain = value;
      } else if (name == "Domain") {
        r.domain = Unquoted(value);
      } else if (name == "path") {
        r.path = value;
      } else if (name == "Path") {
        r.path = Unquoted(value);
      } else if (name == "secure" || name == "Secure") {
        r.secure = 1;
      } else if (name == "Comment") {
        r.comment = Unquoted(value);
      }
    }
    if (r.name.empty() || r.version > 1 || (r.version == 1 && r.name[0] == '$')) continue;
    if (!host.empty() && !DomainMatch(host, r.domain, r.version)) continue;
    if (!path.empty() && !PathMatch(path, r.path, r.version)) continue;
    Store(std::move(r), now);
  }
  return true;
}

bool CHttpCookieJar::DomainMatch(const std::string& host, const std::string& domain, uint32_t version) {
  if (host.empty()) return false;
  std::string d = domain;
  if (version == 1) {
    if (d.size() < 5 || d[0] != '.') return false;
  } else if (version == 0) {
    if (d.size() < 4) return false;
    if (d[0] != '.') d.insert(0, 1, '.');
  } else {
    return false;
  }
  size_t dot = d.find('.', 1);
  if (dot == std::string::npos || dot == 1 || dot == d.size() - 1) return false;
  if (d.size() > host.size() + 1) return false;
  if (d.size() == host.size() + 1) d.erase(0, 1);
  return _stricmp(host.c_str() + host.size() - d.size(), d.c_str()) == 0;
}

bool CHttpCookieJar::PathMatch(const std::string& path, const std::string& cookiePath, uint32_t) {
  if (path.empty() || cookiePath.empty()) return false;
  size_t n = cookiePath.size();
  bool endsWithSlash = cookiePath.back() == '/';
  if (n > 1 && endsWithSlash) --n;
  if (path.size() < n || path.compare(0, n, cookiePath, 0, n) != 0) return false;
  // A cookie for "/foo" belongs to "/foo" and "/foo/...", not to "/foobar".
  if (path.size() == n || cookiePath == "/") return true;
  char next = path[n];
  return next == '/' || next == '?' || next == '#';
}

std::string& CHttpCookieJar::MakeCookieHeader(std::string& out, const std::string& host, const std::string& path,
                                              bool skip) const {
  out.clear();
  if (skip) return out;
  HttpTime now = HttpNow();
  std::string name, value;
  for (const CookieRecord& r : m_records) {
    if (!host.empty() && !r.domain.empty() && !DomainMatch(host, r.domain, 0)) continue;
    if (!path.empty() && !r.path.empty() && !PathMatch(path, r.path)) continue;
    if (!IsLive(r.expires, now)) continue;
    if (!out.empty()) out += "; ";
    UrlEncode(name, r.name.data(), static_cast<uint32_t>(r.name.size()));
    out += name + "=";
    if (r.received) {
      out += r.value;
    } else {
      UrlEncode(value, r.value.data(), static_cast<uint32_t>(r.value.size()));
      out += value;
    }
  }
  return out;
}
