#include "http/HttpHeaders.h"

#include <cstdlib>
#include <cstring>

#include "core/Base64.h"
#include "core/Md5.h"
#include "http/HttpText.h"

bool CHttpHeaderList::IsValidField(const char* name, const char* value) {
  if (!name || !*name || !value) return false;
  uint32_t length = static_cast<uint32_t>(strlen(name));
  if (CountTokenChars(name, length, length) != length) return false;
  // A CR or LF in a value would end the header early and smuggle in lines of its own.
  return strpbrk(value, "\r\n") == nullptr;
}

bool CHttpHeaderList::Set(const char* name, const char* value) {
  if (!IsValidField(name, value)) return false;
  int index = IndexOf(name);
  if (index >= 0) m_entries[index].second = value;
  else m_entries.emplace_back(name, value);
  return true;
}

bool CHttpHeaderList::Add(const char* name, const char* value) {
  if (!IsValidField(name, value)) return false;
  m_entries.emplace_back(name, value);
  return true;
}

int CHttpHeaderList::Remove(const char* name) {
  if (!name || !*name) return 0;
  size_t before = m_entries.size();
  for (size_t i = m_entries.size(); i-- > 0;)
    if (m_entries[i].first == name) m_entries.erase(m_entries.begin() + i);
  return static_cast<int>(before - m_entries.size());
}

int CHttpHeaderList::IndexOf(const char* name) const {
  if (!name || !*name) return -1;
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (m_entries[i].first == name) return static_cast<int>(i);
  return -1;
}

const CHttpHeaderList::Entry* CHttpHeaderList::Find(const char* name) const {
  int index = IndexOf(name);
  return index < 0 ? nullptr : &m_entries[index];
}

uint32_t CHttpHeaderList::FindAll(const char* name, std::vector<Entry>& out) const {
  out.clear();
  if (!name || !*name) return 0;
  for (const Entry& e : m_entries)
    if (e.first == name) out.push_back(e);
  return static_cast<uint32_t>(out.size());
}

bool CHttpHeaderList::ParseLine(const char* line, uint32_t length) {
  if (!line || length == 0) return false;
  if (line[0] == ' ' || line[0] == '\t') {  // a continuation of the previous field
    if (m_entries.empty()) return false;
    std::string more(line, length);
    TrimAString(more, " \t", 0);
    m_entries.back().second += " " + more;
    return true;
  }
  uint32_t n = CountTokenChars(line, length, length);
  if (n == 0 || n == length || line[n] != ':') return false;
  std::string value(line + n + 1, length - n - 1);
  TrimAString(value, " \t", 0);
  m_entries.emplace_back(std::string(line, n), value);
  return true;
}

bool CHttpHeaderList::GetContentLength(uint32_t& out) const {
  const Entry* e = Find("Content-Length");
  if (!e) return false;
  out = strtoul(e->second.c_str(), nullptr, 10);
  return true;
}

bool CHttpHeaderList::GetContentMD5(uint8_t out[16]) const {
  const Entry* e = Find("Content-MD5");
  if (!e) return false;
  const uint8_t* text = reinterpret_cast<const uint8_t*>(e->second.data());
  int n = static_cast<int>(e->second.size());
  if (Base64DecodedLength(text, n) == 16) Base64Decode(out, text, n);
  else memset(out, 0, 16);
  return true;
}

bool CHttpHeaderList::GetDate(HttpTime& out) const {
  const Entry* e = Find("Date");
  if (!e) return false;
  out = ParseHttpDate(e->second.c_str());
  return true;
}

bool CHttpHeaderList::GetLocation(std::string& out) const {
  const Entry* e = Find("Location");
  if (!e) return false;
  out = e->second;
  return true;
}

uint32_t CHttpHeaderList::Serialize(std::string& out) const {
  out.clear();
  out.reserve(4096);
  for (const Entry& e : m_entries) out += e.first + ": " + e.second + "\r\n";
  return static_cast<uint32_t>(out.size());
}
