// One HTTP/1.1 request run synchronously on the calling thread: host lookup,
// a non-blocking socket driven by one event, redirects and received cookies.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "http/HttpAuth.h"
#include "http/HttpCookie.h"
#include "http/HttpRequest.h"
#include "http/HttpResponse.h"

// Why the last SendRequest gave no answer; each has its own line in the network log.
enum HttpFailure : int {
  kHttpFailNone = 0,
  kHttpFailError = 1,           // lookup, connection, protocol or size
  kHttpFailCancelled = 2,       // the abort event
  kHttpFailConnectTimeout = 3,  // no connection within the connect time-out
  kHttpFailIdleTimeout = 4,     // the server sent nothing for the idle time-out
  kHttpFailDeadline = 5,        // the request outlasted its deadline, redirects included
};

// Asked for proxy credentials; stored for the caller, never called by a request.
using HttpCredentialCallback = bool (*)(void* context, std::string& user, std::string& password);

class CHttpSession {
 public:
  static constexpr int kMaxRequests = 5;
  static constexpr DWORD kConnectTimeoutMs = 15000;
  static constexpr DWORD kIdleTimeoutMs = 30000;
  static constexpr DWORD kDeadlineMs = 120000;

  CHttpSession();
  virtual ~CHttpSession() = default;
  CHttpSession(const CHttpSession&) = delete;
  CHttpSession& operator=(const CHttpSession&) = delete;

  // True when an answer was received whole; the response object then holds it.
  bool SendRequest(bool followRedirects, const char* referer, const char* acceptLanguage, HANDLE abortEvent);
  void Reset();
  void SetProxy(const char* host, uint16_t port, const char* user, const char* password);
  void EnableProxy(bool on) { m_proxyOn = on; }
  void SetCredentialCallback(HttpCredentialCallback callback) { m_credentialCallback = callback; }
  // Kept across Reset: the connection (host lookup included), each silence of
  // the server, and the whole of one SendRequest.
  void SetTimeouts(DWORD connectMs, DWORD idleMs, DWORD deadlineMs) {
    m_connectTimeoutMs = connectMs, m_idleTimeoutMs = idleMs, m_deadlineMs = deadlineMs;
  }
  HttpFailure GetFailure() const { return m_failure; }
  HttpCredentialCallback GetCredentialCallback() const { return m_credentialCallback; }
  CHttpRequest& GetRequest() { return m_request; }
  CHttpResponse& GetResponse() { return m_response; }
  const CHttpCookieJar& GetReceivedCookies() const { return m_receivedCookies; }
  bool IsResponseComplete() const { return m_response.IsComplete(); }

 protected:
  HWND m_ownerWindow = nullptr;
  uint32_t m_ownerMessage = 0;
  uint32_t m_requestNumber = 0;

 private:
  void ResetSocket();
  bool ResolveHost(const std::string& host, uint16_t port, HANDLE abortEvent);
  bool Fail(HttpFailure failure) {
    m_failure = failure;
    return false;
  }
  bool Exchange(const std::string& host, uint16_t port, const std::string& bytes, HANDLE abortEvent);
  bool SendData(const char*& unsent, uint32_t& unsentLength);
  bool ReceiveData(char* buffer, uint32_t& count);
  bool CloseSocket(WSAEVENT event);
  bool StoreResponseCookies(HANDLE abortEvent);
  bool PrepareRedirect(uint32_t status, int32_t method);
  bool ApplyRedirect();

  CHttpRequest m_request;
  CHttpResponse m_response;
  CHttpCookieJar m_receivedCookies;
  CHttpAuthState m_auth;
  SOCKET m_socket = INVALID_SOCKET;
  sockaddr_in m_remote = {};
  sockaddr_in m_local = {};
  bool m_proxyOn = false;
  std::string m_proxyHost;
  uint16_t m_proxyPort = 0;
  std::string m_proxyUser;
  std::string m_proxyPassword;
  HttpCredentialCallback m_credentialCallback = nullptr;
  DWORD m_connectTimeoutMs = kConnectTimeoutMs;
  DWORD m_idleTimeoutMs = kIdleTimeoutMs;
  DWORD m_deadlineMs = kDeadlineMs;
  DWORD m_requestStart = 0;  // GetTickCount when SendRequest began
  HttpFailure m_failure = kHttpFailNone;
};
