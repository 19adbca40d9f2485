// The ordered header fields of a request or a response. Names match exactly,
// case included; several fields may share a name.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "http/HttpDate.h"

class CHttpHeaderList {
 public:
  using Entry = std::pair<std::string, std::string>;

  virtual ~CHttpHeaderList() = default;

  bool Set(const char* name, const char* value);
  bool Add(const char* name, const char* value);
  int Remove(const char* name);
  void Clear() { m_entries.clear(); }
  int IndexOf(const char* name) const;
  const Entry* Find(const char* name) const;
  uint32_t FindAll(const char* name, std::vector<Entry>& out) const;
  bool ParseLine(const char* line, uint32_t length);

  bool GetContentLength(uint32_t& out) const;
  bool GetContentMD5(uint8_t out[16]) const;
  bool GetDate(HttpTime& out) const;
  bool GetLocation(std::string& out) const;
  uint32_t Serialize(std::string& out) const;

  const std::vector<Entry>& Entries() const { return m_entries; }

 private:
  static bool IsValidField(const char* name, const char* value);

  std::vector<Entry> m_entries;
};
