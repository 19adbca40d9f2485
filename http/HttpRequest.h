// One HTTP request: method, URL parts, headers, cookies and form fields, and
// the exact bytes that go on the wire.
#pragma once

#include <cstdint>
#include <string>

#include "http/HttpAuth.h"
#include "http/HttpCookie.h"
#include "http/HttpFormData.h"
#include "http/HttpHeaders.h"
#include "http/HttpText.h"

constexpr int32_t kFormMultipart = 1;
extern const char kHttpUserAgent[];

class CHttpRequest {
 public:
  CHttpRequest() { Reset(); }
  virtual ~CHttpRequest() = default;

  void Reset();
  void SetDefaultHeaders();
  void SetMethod(int32_t method) { m_method = (method >= kHttpOptions && method <= kHttpConnect) ? method : kHttpNone; }
  int32_t GetMethod() const { return m_method; }
  bool SetUrl(const char* url);
  std::string GetUrl() const { return m_url; }
  std::string GetHost() const { return m_host; }
  std::string GetPath() const { return m_path; }
  uint32_t GetPort() const { return m_port; }
  bool IsReady() const;

  bool SetHeader(const char* name, const char* value) { return m_headers.Set(name, value); }
  int RemoveHeader(const char* name) { return m_headers.Remove(name); }
  const CHttpHeaderList& GetHeaders() const { return m_headers; }

  bool AddCookie(const char* name, const char* value, const HttpTime* expires, const char* domain, const char* path,
                 bool secure) {
    return m_cookies.AddCookie(name, value, expires, domain, path, secure);
  }
  void ClearCookies() { m_cookies.Clear(); }
  CHttpCookieJar& GetCookies() { return m_cookies; }

  bool AddFormField(const char* name, const char* value) { return m_form.AddField(name, value); }
  bool AddFormFile(const char* name, const void* data, uint32_t length, const char* fileName, const char* type) {
    return m_form.AddFile(name, data, length, fileName, type);
  }
  void ClearFormFields() { m_form.Clear(); }
  void SetFormType(int32_t type) { m_formType = type; }

  bool BuildRequest(std::string& out, bool viaProxy, const std::string& proxyUser, const std::string& proxyPassword,
                    CHttpAuthState& auth);

 private:
  int32_t m_method = kHttpNone;
  std::string m_url;
  std::string m_host;
  uint32_t m_port = 0;
  std::string m_path;
  std::string m_query;
  std::string m_fragment;
  CHttpCookieJar m_cookies;
  CHttpHeaderList m_headers;
  CHttpFormData m_form;
  int32_t m_formType = 0;
};
