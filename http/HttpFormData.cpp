#include "http/HttpFormData.h"

#include "http/HttpDate.h"
#include "http/HttpText.h"
#include "http/HttpUrl.h"

bool CHttpFormData::AddField(const char* name, const char* value) {
  if (!name || !*name || !value) return false;
  m_fields.push_back({name, value, std::string(), std::string()});
  return true;
}

bool CHttpFormData::AddFile(const char* name, const void* data, uint32_t length, const char* fileName,
                            const char* contentType) {
  if (!name || !*name || !data) return false;
  m_fields.push_back({name, std::string(static_cast<const char*>(data), length), fileName ? fileName : "",
                      contentType ? contentType : ""});
  return true;
}

std::string& CHttpFormData::MakeBoundary(std::string& out) const {
  uint32_t t = static_cast<uint32_t>(HttpNow());
  for (uint32_t counter = 1;; ++counter) {
    FormatAString(out, "--------------------%.8x%.8x%.8x", t, counter, ~t);
    bool clash = false;
    for (const Field& f : m_fields)
      for (const std::string* s : {&f.name, &f.value, &f.fileName, &f.contentType})
        clash = clash || s->find(out) != std::string::npos;
    if (!clash) return out;
  }
}

uint32_t CHttpFormData::BuildBody(std::string& out, const char* boundary) const {
  out.clear();
  if (!boundary || !*boundary) {
    std::string name, value;
    for (const Field& f : m_fields) {
      UrlEncode(name, f.name.data(), static_cast<uint32_t>(f.name.size()));
      UrlEncode(value, f.value.data(), static_cast<uint32_t>(f.value.size()));
      if (!out.empty()) out += '&';
      out += name + "=" + value;
    }
    return static_cast<uint32_t>(out.size());
  }
  // File data goes in whole, zero bytes included.
  std::string delimiter = std::string("--") + boundary;
  for (const Field& f : m_fields) {
    out += delimiter + "\r\nContent-Disposition: form-data; name=\"" + f.name + "\"";
    if (!f.fileName.empty()) {
      out += "; filename=\"" + f.fileName + "\"\r\nContent-Type: " +
             (f.contentType.empty() ? std::string("application/octet-stream") : f.contentType);
    }
    out += "\r\n\r\n" + f.value + "\r\n";
  }
  out += delimiter + "--\r\n";
  return static_cast<uint32_t>(out.size());
}
