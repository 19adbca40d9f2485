#include "http/HttpRequest.h"

#include <cstdlib>

#include "core/Base64.h"
#include "core/Md5.h"
#include "core/StrUtil.h"
#include "http/HttpUrl.h"

const char kHttpUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

void CHttpRequest::Reset() {
  m_method = kHttpNone;
  m_url.clear(), m_host.clear(), m_path.clear(), m_query.clear(), m_fragment.clear();
  m_port = 0;
  m_cookies.Clear();
  m_form.Clear();
  m_formType = 0;
  SetDefaultHeaders();
}

void CHttpRequest::SetDefaultHeaders() {
  m_headers.Clear();
  m_headers.Add("Connection", "close");
  m_headers.Add("Cache-Control", "no-cache");
  m_headers.Add("Pragma", "no-cache");
  m_headers.Add("Accept", "*/*");
  m_headers.Add("User-Agent", kHttpUserAgent);
}

bool CHttpRequest::SetUrl(const char* url) {
  std::string host, port, path, query, fragment;
  if (!ParseHttpUrl(host, port, path, query, fragment, url)) return false;
  std::string decodedHost;
  UrlDecode(decodedHost, host.data(), static_cast<uint32_t>(host.size()));
  // The decoded host goes into the "Host" line: no control byte or blank may reach it.
  for (unsigned char c : decodedHost)
    if (c <= ' ' || c == 127) return false;
  m_host = decodedHost;
  m_port = strtoul(port.c_str(), nullptr, 10);
  m_path = path;
  m_query = query;
  m_fragment = fragment;
  m_url = "http://" + host + (port != "80" ? ":" + port : std::string()) + path +
          (query.empty() ? std::string() : "?" + query) + (fragment.empty() ? std::string() : "#" + fragment);
  return true;
}

bool CHttpRequest::IsReady() const {
  return m_method != kHttpNone && !m_url.empty() && !m_host.empty() && !m_path.empty() && m_port != 0;
}

bool CHttpRequest::BuildRequest(std::string& out, bool viaProxy, const std::string& proxyUser,
                                const std::string& proxyPassword, CHttpAuthState& auth) {
  out.clear();
  if (!IsReady()) return false;
  const char* methodName = GetHttpMethodName(m_method);
  if (!*methodName) return false;

  std::string body, formText;
  if (m_method != kHttpPost) {
    if (!m_form.IsEmpty()) {
      m_form.BuildBody(formText, nullptr);
      formText.insert(0, m_query.empty() ? "?" : "&");
    }
    m_headers.Remove("Content-Type");
    m_headers.Remove("Content-Length");
  } else if (m_form.IsEmpty()) {
    m_headers.Set("Content-Type", "application/x-www-form-urlencoded");
    m_headers.Set("Content-Length", "0");
  } else if (m_formType != kFormMultipart) {
    m_form.BuildBody(body, nullptr);
    m_headers.Set("Content-Type", "application/x-www-form-urlencoded");
    m_headers.Set("Content-Length", IntToString(static_cast<uint32_t>(body.size()), 10).c_str());
  } else {
    std::string boundary;
    m_form.MakeBoundary(boundary);
    m_form.BuildBody(body, boundary.c_str());
    m_headers.Set("Content-Type", ("multipart/form-data; boundary=\"" + boundary + "\"").c_str());
    m_headers.Set("Content-Length", IntToString(static_cast<uint32_t>(body.size()), 10).c_str());
  }
  m_headers.Set("Pragma", "no-cache");
  m_headers.Set("Cache-Control", "no-cache");

  std::string hostValue = m_host;
  if (m_port != 80) FormatAString(hostValue, "%s:%d", m_host.c_str(), m_port);
  // The fragment belongs to the client alone: it is never sent.
  std::string uri;
  uri.reserve(256);
  uri = m_path + (m_query.empty() ? std::string() : "?" + m_query) + formText;

  std::string requestLine;
  if (viaProxy) {
    m_headers.Remove("Proxy-Authorization");
    if (!proxyUser.empty()) {
      std::string scheme = auth.GetScheme(), value;
      if (scheme == "Basic") {
        CHttpAuthState::BuildBasicCredentials(value, proxyUser.c_str(), proxyPassword.c_str());
      } else if (scheme == "Digest") {
        std::string qop = auth.GetQop(), entity;
        if (!qop.empty()) auth.SetCnonce(CHttpAuthState::MakeCnonce().c_str());
        if (qop == "auth-int")
          MD5HexString(entity, reinterpret_cast<const uint8_t*>(body.data()), static_cast<unsigned>(body.size()));
        auth.BuildDigestAuthorization(value, proxyUser.c_str(), proxyPassword.c_str(), m_method, uri.c_str(),
                                      entity.c_str());
      }
      if (!value.empty()) m_headers.Set("Proxy-Authorization", value.c_str());
    }
    m_headers.Set("Proxy-Connection", "close");
    m_headers.Remove("Connection");
    FormatAString(requestLine, "%s http://%s%s HTTP/1.1\r\n", methodName, hostValue.c_str(), uri.c_str());
  } else {
    m_headers.Remove("Proxy-Authorization");
    m_headers.Remove("Proxy-Connection");
    m_headers.Set("Connection", "close");
    FormatAString(requestLine, "%s %s HTTP/1.1\r\n", methodName, uri.c_str());
  }
  m_headers.Set("Host", hostValue.c_str());
  if (m_cookies.IsEmpty()) {
    m_headers.Remove("Cookie");
  } else {
    std::string cookie;
    m_cookies.MakeCookieHeader(cookie, m_host, uri, false);
    if (!cookie.empty()) m_headers.Set("Cookie", cookie.c_str());
    else m_headers.Remove("Cookie");
  }
  std::string headerText;
  m_headers.Serialize(headerText);
  out.reserve(requestLine.size() + headerText.size() + 2 + body.size());
  out = requestLine + headerText + "\r\n" + body;
  return true;
}
