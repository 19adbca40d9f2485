// HTTP cookies: the records a response sets and a request sends back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "http/HttpDate.h"

struct CookieRecord {
  std::string name;
  std::string value;
  HttpTime expires = -1;  // -1: a session cookie
  std::string path;
  std::string domain;
  std::string comment;
  uint32_t version = 0;
  uint8_t secure = 0;
  // A value a server set is opaque: sent back byte for byte. One the program
  // set is sent percent-encoded.
  uint8_t received = 0;
};

class CHttpCookieJar {
 public:
  // What a server may make the jar hold, as browsers allow: past a count the
  // oldest cookie makes room; a larger cookie is refused.
  static constexpr uint32_t kMaxCookiesPerDomain = 50;
  static constexpr uint32_t kMaxCookies = 3000;
  static constexpr uint32_t kMaxCookieSize = 4096;  // name and value together

  virtual ~CHttpCookieJar() = default;

  void Clear() { m_records.clear(); }
  bool IsEmpty() const { return m_records.empty(); }
  uint32_t GetCount() const { return static_cast<uint32_t>(m_records.size()); }
  const CookieRecord* GetCookie(uint32_t index) const;

  bool AddCookie(const char* name, const char* value, const HttpTime* expires, const char* domain,
                 const char* path, bool secure);
  // A record of another jar (a redirect hands on the cookies received so far),
  // stored as AddCookie stores, its value sent as that jar would send it.
  void AddReceived(const CookieRecord& record);
  int Find(const std::string& name, const std::string& domain, const std::string& path) const;
  bool ParseSetCookie(const char* header, const std::string& host, const std::string& path,
                      const HttpTime* baseTime = nullptr);
  std::string& MakeCookieHeader(std::string& out, const std::string& host, const std::string& path,
                                bool skip) const;

  static bool DomainMatch(const std::string& host, const std::string& domain, uint32_t version);
  static bool PathMatch(const std::string& path, const std::string& cookiePath, uint32_t version = 0);
  static uint32_t SplitOutsideQuotes(std::vector<std::string>& out, const std::string& text, char separator);
  static bool HasVersionAttribute(const std::string& header);
  static void SplitAttribute(std::string& name, std::string& value, const std::string& item);

 private:
  // Stores, replaces in place or (when expired) removes the record; a new one
  // past a limit drops the oldest of its domain or of the jar.
  void Store(CookieRecord&& record, HttpTime now);

  std::vector<CookieRecord> m_records;
};
