#include "http/HttpSession.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "http/NetLog.h"

namespace {

constexpr uint32_t kReceiveBuffer = 65536;
constexpr int kReadsPerEvent = 16;  // at most 1 MB between two looks at the time-outs

const char* Dotted(const sockaddr_in& address) { return inet_ntoa(address.sin_addr); }

bool IsSignalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// gethostbyname cannot be interrupted, so it runs on a thread of its own that
// a cancelled or timed-out request leaves behind; the thread shares only this.
struct HostLookup {
  std::string host;
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool found = false;
  in_addr address = {};
  int error = 0;
  ~HostLookup() {
    if (done) CloseHandle(done);
  }
};

// A scheme is letters, digits, "+", "-" and "." after a first letter, up to a ":".
bool HasScheme(const std::string& url) {
  if (url.empty() || !isalpha(static_cast<unsigned char>(url[0]))) return false;
  for (char c : url) {
    if (c == ':') return true;
    if (!isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// A Location may be relative: it is resolved against the URL it answers. One
// with a scheme stands as it is, so that any scheme but http is refused.
std::string ResolveLocation(const std::string& location, const std::string& base) {
  if (HasScheme(location) || base.size() < 8) return location;
  size_t authorityEnd = base.find('/', 7);
  std::string origin = base.substr(0, authorityEnd);
  if (location.compare(0, 2, "//") == 0) return "http:" + location;
  if (!location.empty() && location[0] == '/') return origin + location;
  std::string path = authorityEnd == std::string::npos ? "/" : base.substr(authorityEnd);
  // A new query or fragment belongs to the document itself, a path to its folder.
  if (!location.empty() && location[0] == '#') return origin + path.substr(0, path.find('#')) + location;
  path = path.substr(0, path.find_first_of("?#"));
  if (!location.empty() && location[0] == '?') return origin + path + location;
  return origin + path.substr(0, path.rfind('/') + 1) + location;
}

}  // namespace

CHttpSession::CHttpSession() { ResetSocket(); }

void CHttpSession::ResetSocket() {
  m_socket = INVALID_SOCKET;
  memset(&m_remote, 0, sizeof(m_remote));
  memset(&m_local, 0, sizeof(m_local));
}

void CHttpSession::Reset() {
  ResetSocket();
  m_request.Reset();
  m_response.Reset();
  m_auth.Reset();
  m_receivedCookies.Clear();
  m_proxyOn = false;
  m_proxyHost.clear(), m_proxyUser.clear(), m_proxyPassword.clear();
  m_proxyPort = 0;
  m_credentialCallback = nullptr;
  m_ownerWindow = nullptr;
  m_ownerMessage = 0;
}

void CHttpSession::SetProxy(const char* host, uint16_t port, const char* user, const char* password) {
  m_proxyHost = host ? host : "";
  m_proxyPort = port;
  m_proxyUser = user ? user : "";
  m_proxyPassword = password ? password : "";
}

bool CHttpSession::SendRequest(bool followRedirects, const char* referer, const char* acceptLanguage,
                               HANDLE abortEvent) {
  ResetSocket();
  m_receivedCookies.Clear();
  m_response.Reset();
  m_auth.Reset();
  m_failure = kHttpFailNone;
  m_requestStart = GetTickCount();
  // A value the header list refuses (a line break in it) must not leave the
  // previous request's value in its place.
  if (!referer || !*referer || !m_request.SetHeader("Referer", referer)) m_request.RemoveHeader("Referer");
  if (!acceptLanguage || !*acceptLanguage || !m_request.SetHeader("Accept-Language", acceptLanguage))
    m_request.RemoveHeader("Accept-Language");
  if (m_proxyOn) m_auth.SetScheme("Basic");

  for (int attempt = 0; attempt < kMaxRequests; ++attempt) {
    if (!m_request.IsReady()) {
      NetLog().Write("[Request] No Ready");
      return false;
    }
    std::string host = m_proxyOn ? m_proxyHost : m_request.GetHost();
    uint16_t port = m_proxyOn ? m_proxyPort : static_cast<uint16_t>(m_request.GetPort());
    std::string bytes;
    if (!m_request.BuildRequest(bytes, m_proxyOn, m_proxyUser, m_proxyPassword, m_auth)) {
      NetLog().Write("[Request] Build Request Data Failed");
      return false;
    }
    if (!m_response.Begin()) return false;
    bool ok = Exchange(host, port, bytes, abortEvent);
    m_response.Finish(ok);
    if (!ok) {
      if (m_failure == kHttpFailNone) m_failure = kHttpFailError;
      return false;
    }
    uint32_t status = m_response.GetStatusCode();
    if (status < 300 || status > 399 || !followRedirects) return true;
    if (!PrepareRedirect(status, m_request.GetMethod())) return true;
  }
  NetLog().Write("[Request] The redirections is bigger than %d time", kMaxRequests);
  return Fail(kHttpFailError);
}

bool CHttpSession::PrepareRedirect(uint32_t status, int32_t method) {
  switch (status) {
    case 300:
      if (!m_response.GetHeaders().Find("Location")) return false;
      m_request.SetMethod(kHttpGet);
      m_request.ClearFormFields();
      return ApplyRedirect();
    case 301:
    case 302:
      if (method != kHttpGet && method != kHttpHead) m_request.SetMethod(kHttpGet);
      m_request.ClearFormFields();
      return ApplyRedirect();
    case 303:
    case 305:
      m_request.SetMethod(kHttpGet);
      m_request.ClearFormFields();
      return ApplyRedirect();
    case 307:
    case 308:  // a permanent 307: method and body go to the new place unchanged
      return ApplyRedirect();
    default:
      return false;
  }
}

bool CHttpSession::ApplyRedirect() {
  std::string location;
  if (!m_response.GetHeaders().GetLocation(location)) {
    NetLog().Write("[Response] No Location Field in Status Code 302");
    return false;
  }
  std::string previous = m_request.GetUrl();
  if (!m_request.SetUrl(ResolveLocation(location, previous).c_str())) {
    NetLog().Write("[Response] Location URL Error: %s", location.c_str());
    return false;
  }
  m_request.SetHeader("Referer", previous.c_str());
  CHttpCookieJar& cookies = m_request.GetCookies();
  cookies.Clear();
  for (uint32_t i = 0; i < m_receivedCookies.GetCount(); ++i) cookies.AddReceived(*m_receivedCookies.GetCookie(i));
  return true;
}

bool CHttpSession::ResolveHost(const std::string& host, uint16_t port, HANDLE abortEvent) {
  unsigned long address = inet_addr(host.c_str());
  if (address == INADDR_NONE || address == 0) {
    auto lookup = std::make_shared<HostLookup>();
    lookup->host = host;
    if (!lookup->done) return false;
    try {
      std::thread([lookup] {
        hostent* entry = gethostbyname(lookup->host.c_str());
        lookup->found = entry && entry->h_length == 4 && entry->h_addr_list[0];
        if (lookup->found) memcpy(&lookup->address, entry->h_addr_list[0], 4);
        else lookup->error = WSAGetLastError();
        SetEvent(lookup->done);
      }).detach();
    } catch (const std::exception&) {
      return false;
    }
    const DWORD elapsed = GetTickCount() - m_requestStart;
    const DWORD wait = std::min(m_connectTimeoutMs, m_deadlineMs > elapsed ? m_deadlineMs - elapsed : 0);
    HANDLE handles[2] = {abortEvent, lookup->done};
    const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, wait);
    if (woke == WAIT_OBJECT_0) {
      NetLog().Write("[Event] On Stop Request Event.");
      return Fail(kHttpFailCancelled);
    }
    if (woke != WAIT_OBJECT_0 + 1) {
      NetLog().Write("[DNS] No address for %s within %u ms", host.c_str(), wait);
      return Fail(wait == m_connectTimeoutMs ? kHttpFailConnectTimeout : kHttpFailDeadline);
    }
    if (!lookup->found) {
      NetLog().Write("[DNS] [%d] Get Host (%s) Address Failed", lookup->error, host.c_str());
      return false;
    }
    m_remote.sin_addr = lookup->address;
    NetLog().Write("[DNS] %s => %s", host.c_str(), Dotted(m_remote));
  } else {
    m_remote.sin_addr.s_addr = address;
  }
  m_remote.sin_family = AF_INET;
  m_remote.sin_port = htons(port);
  return true;
}

bool CHttpSession::SendData(const char*& unsent, uint32_t& unsentLength) {
  int sent = send(m_socket, unsent, static_cast<int>(unsentLength), 0);
  if (sent != SOCKET_ERROR) {
    NetLog().Write("[Send] Send Data: %d Byte", sent);
    unsent += sent;
    unsentLength -= sent;
    return true;
  }
  int error = WSAGetLastError();
  if (error == WSAEWOULDBLOCK) return true;
  NetLog().Write(error == WSAECONNABORTED ? "[Send] [%d] Connect Aborted"
                 : error == WSAECONNRESET ? "[Send] [%d] Connect Reset"
                 : error == WSAETIMEDOUT  ? "[Send] [%d] Connect Timeout"
                                          : "[Send] [%d] Other Error",
                 error);
  return false;
}

bool CHttpSession::ReceiveData(char* buffer, uint32_t& count) {
  int got = recv(m_socket, buffer, kReceiveBuffer, 0);
  if (got > 0) {
    NetLog().Write("[Recv] Recv Data: %d Byte", got);
    count = got;
    return true;
  }
  count = 0;
  if (got == 0) {
    NetLog().Write("[Recv] Recv End (Total: %d Byte)", m_response.GetReceivedLength());
    return true;
  }
  int error = WSAGetLastError();
  if (error == WSAEWOULDBLOCK) return true;
  NetLog().Write(error == WSAECONNABORTED ? "[Recv] [%d] Connect Aborted"
                 : error == WSAECONNRESET ? "[Recv] [%d] Connect Reset"
                 : error == WSAETIMEDOUT  ? "[Recv] [%d] Connect Timeout"
                                          : "[Recv] [%d] Other Error",
                 error);
  return false;
}

bool CHttpSession::CloseSocket(WSAEVENT event) {
  if (m_socket == INVALID_SOCKET) return true;
  if (event) {
    WSACloseEvent(event);
    NetLog().Write("[Event] Close Socket Event: %d", reinterpret_cast<intptr_t>(event));
  }
  SOCKET s = m_socket;
  if (closesocket(s) != 0) {
    ResetSocket();
    NetLog().Write("[Socket] [%d] Close Socket Failed", WSAGetLastError());
    return false;
  }
  NetLog().Write("[Socket] Close Socket: %d", static_cast<int>(s));
  ResetSocket();
  return true;
}

// False when the abort event stopped it: a header may hold thousands of cookies.
bool CHttpSession::StoreResponseCookies(HANDLE abortEvent) {
  std::vector<CHttpHeaderList::Entry> cookies;
  m_response.GetHeaders().FindAll("Set-Cookie", cookies);
  for (size_t i = 0; i < cookies.size(); ++i) {
    if (i % 64 == 63 && IsSignalled(abortEvent)) return false;
    m_receivedCookies.ParseSetCookie(cookies[i].second.c_str(), m_request.GetHost(), m_request.GetPath());
  }
  return true;
}

bool CHttpSession::Exchange(const std::string& host, uint16_t port, const std::string& bytes, HANDLE abortEvent) {
  uint64_t expectedTotal = 0;  // 0: read until the server closes
  const char* unsent = bytes.data();
  uint32_t unsentLength = static_cast<uint32_t>(bytes.size());
  if (!ResolveHost(host, port, abortEvent)) return false;
  m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_socket == INVALID_SOCKET) {
    memset(&m_remote, 0, sizeof(m_remote));
    NetLog().Write("[Socket] [%d] Create Socket Failed", WSAGetLastError());
    return false;
  }
  NetLog().Write("[Socket] Create Socket: %d", static_cast<int>(m_socket));
  WSAEVENT event = WSACreateEvent();
  if (event == WSA_INVALID_EVENT) {
    NetLog().Write("[Event] [%d] Create Event Error", WSAGetLastError());
    CloseSocket(nullptr);
    return false;
  }
  auto selectEvents = [&](long events) {
    if (WSAEventSelect(m_socket, event, events) == 0) return true;
    NetLog().Write("[Event] [%d] Event Select Error", WSAGetLastError());
    CloseSocket(event);
    return false;
  };
  if (!selectEvents(FD_CONNECT | FD_CLOSE)) return false;
  if (connect(m_socket, reinterpret_cast<sockaddr*>(&m_remote), sizeof(m_remote)) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    NetLog().Write("[Connect] [%d] Connect Host Fail: %s:%d", WSAGetLastError(), host.c_str(), port);
    CloseSocket(event);
    return false;
  }

  std::vector<char> buffer(kReceiveBuffer);
  // Hands received bytes to the response; false ends the exchange as failed,
  // `done` says the answer is whole.
  auto consume = [&](uint32_t count, bool& done) {
    int r = m_response.AppendData(buffer.data(), count);
    while (r == 1) {
      if (!StoreResponseCookies(abortEvent)) return Fail(kHttpFailCancelled);
      uint32_t status = m_response.GetStatusCode();
      NetLog().Write("[Response] %s", m_response.GetStatusLine().c_str());
      if (m_request.GetMethod() == kHttpHead || (status >= 100 && status <= 199) || status == 204 || status == 304) {
        NetLog().Write("[Connect] Local Disconnect: Header only");
        m_response.EndAtHeader();
        done = true;
        return true;
      }
      uint32_t contentLength;
      if (!m_response.GetHeaders().Find("Transfer-Encoding") && m_response.GetHeaders().GetContentLength(contentLength)) {
        if (contentLength > m_response.GetMaxBodyLength()) {
          NetLog().Write("[Response] Content-Length %u is over the limit of %u bytes.", contentLength,
                         m_response.GetMaxBodyLength());
          return false;
        }
        expectedTotal = static_cast<uint64_t>(m_response.GetHeaderLength()) + contentLength;
      }
      r = 0;
    }
    if (r < 0) {
      switch (r) {
        case -1: NetLog().Write("[Response] Save response data error."); break;
        case -2: NetLog().Write("[Response] Status-Line format error: %s", m_response.GetStatusLine().c_str()); break;
        case -3: NetLog().Write("[Response] HTTP version Don't support: %s", m_response.GetVersionString().c_str()); break;
        case -4: NetLog().Write("[Response] Status-Code error: %d", m_response.GetStatusCode()); break;
        case -5: NetLog().Write("[Response] Header field format error."); break;
        case -8: NetLog().Write("[Response] Header too long: a line over %u bytes or a header over %u bytes.",
                                CHttpResponse::kMaxHeaderLine, CHttpResponse::kMaxHeaderBlock); break;
        case -9: NetLog().Write("[Response] Body over the limit of %u bytes.", m_response.GetMaxBodyLength()); break;
        default: break;
      }
      return false;
    }
    if (expectedTotal && m_response.GetReceivedLength() >= expectedTotal) {
      NetLog().Write("[Connect] Local Disconnect: Recv data finished");
      done = true;
    }
    return true;
  };

  // Until connected the connect time-out runs, afterwards the idle time-out
  // from the last bytes that moved; the deadline runs throughout.
  const DWORD connectStart = GetTickCount();
  bool connected = false;
  DWORD lastActivity = 0;
  HANDLE handles[2] = {abortEvent, event};
  for (;;) {
    const DWORD now = GetTickCount();
    const DWORD phaseStart = connected ? lastActivity : connectStart;
    const DWORD phaseLimit = connected ? m_idleTimeoutMs : m_connectTimeoutMs;
    const DWORD phaseLeft = now - phaseStart < phaseLimit ? phaseLimit - (now - phaseStart) : 0;
    const DWORD totalLeft = now - m_requestStart < m_deadlineMs ? m_deadlineMs - (now - m_requestStart) : 0;
    if (!phaseLeft || !totalLeft) {
      if (!totalLeft) {
        NetLog().Write("[Timeout] The request to %s:%d took more than %u ms.", host.c_str(), port, m_deadlineMs);
        m_failure = kHttpFailDeadline;
      } else if (connected) {
        NetLog().Write("[Timeout] %s:%d sent nothing for %u ms.", host.c_str(), port, m_idleTimeoutMs);
        m_failure = kHttpFailIdleTimeout;
      } else {
        NetLog().Write("[Timeout] No connection to %s:%d within %u ms.", host.c_str(), port, m_connectTimeoutMs);
        m_failure = kHttpFailConnectTimeout;
      }
      CloseSocket(event);
      return false;
    }
    DWORD wait = WaitForMultipleObjects(2, handles, FALSE, std::min(phaseLeft, totalLeft));
    if (wait == WAIT_TIMEOUT) continue;
    if (wait == WAIT_OBJECT_0) {
      NetLog().Write("[Event] On Stop Request Event.");
      CloseSocket(event);
      return Fail(kHttpFailCancelled);
    }
    if (wait == WAIT_FAILED) {
      NetLog().Write("[Event] [%d] Wait Failed", GetLastError());
      CloseSocket(event);
      return false;
    }
    if (wait != WAIT_OBJECT_0 + 1) {
      NetLog().Write("[Event] Unknow Event: %d", wait);
      continue;
    }
    WSANETWORKEVENTS events;
    if (WSAEnumNetworkEvents(m_socket, event, &events) != 0) {
      NetLog().Write("[Event] [%d] Enum Network Event Error", WSAGetLastError());
      CloseSocket(event);
      return false;
    }
    if (events.lNetworkEvents & FD_CONNECT) {
      int error = events.iErrorCode[FD_CONNECT_BIT];
      if (error) {
        NetLog().Write(error == WSAETIMEDOUT ? "[Connect] [%d] Attempt to connect timed out without establishing a connection: %s:%d"
                       : error == WSAENOTCONN ? "[Connect] [%d] The socket is not connected: %s:%d"
                                              : "[Connect] [%d] Connect Error: %s:%d",
                       error, host.c_str(), port);
        CloseSocket(event);
        return false;
      }
      NetLog().Write("[Connect] Connect To Host: %s:%d", Dotted(m_remote), port);
      int length = sizeof(m_local);
      getsockname(m_socket, reinterpret_cast<sockaddr*>(&m_local), &length);
      NetLog().Write("[Connect] Local: %s:%d", Dotted(m_local), ntohs(m_local.sin_port));
      connected = true;
      lastActivity = GetTickCount();
      if (!selectEvents(FD_WRITE | FD_CLOSE)) return false;
    }
    if (events.lNetworkEvents & FD_WRITE) {
      int error = events.iErrorCode[FD_WRITE_BIT];
      if (error) {
        NetLog().Write(error == WSAENETDOWN ? "[Send] [%d] The network subsystem has failed." : "[Send] [%d] Send Error",
                       error);
        CloseSocket(event);
        return false;
      }
      if (unsentLength && !SendData(unsent, unsentLength)) {
        CloseSocket(event);
        return false;
      }
      lastActivity = GetTickCount();
      if (!unsentLength && !selectEvents(FD_READ | FD_CLOSE)) return false;
    }
    if (events.lNetworkEvents & FD_READ) {
      int error = events.iErrorCode[FD_READ_BIT];
      uint32_t count = 0;
      bool done = false;
      if (error) {
        NetLog().Write(error == WSAENETDOWN ? "[Recv] [%d] The network subsystem has failed." : "[Recv] [%d] Recv Error",
                       error);
        CloseSocket(event);
        return false;
      }
      // What the socket holds now, up to a few buffers, before the next
      // wait: a wait and an event query for every buffer cost more than the
      // bytes themselves.
      for (int reads = 0; reads < kReadsPerEvent; ++reads) {
        if (IsSignalled(abortEvent)) {
          NetLog().Write("[Event] On Stop Request Event.");
          CloseSocket(event);
          return Fail(kHttpFailCancelled);
        }
        if (!ReceiveData(buffer.data(), count) || (count && !consume(count, done))) {
          CloseSocket(event);
          return false;
        }
        if (done) {
          CloseSocket(event);
          return true;
        }
        if (count == 0) break;
        lastActivity = GetTickCount();
      }
    }
    if (events.lNetworkEvents & FD_CLOSE) {
      int error = events.iErrorCode[FD_CLOSE_BIT];
      if (error) {
        NetLog().Write(error == WSAENETDOWN       ? "[Connect] [%d] The network subsystem has failed."
                       : error == WSAECONNRESET   ? "[Connect] [%d] The connection was reset by the remote side."
                       : error == WSAECONNABORTED ? "[Connect] [%d] The connection was terminated due to a time-out or other failure."
                                                  : "[Connect] [%d] The connection has error.",
                       error);
        CloseSocket(event);
        return false;
      }
      // The server may close right behind its last bytes: read them all first.
      bool done = false;
      for (;;) {
        uint32_t count = 0;
        if (IsSignalled(abortEvent)) {
          NetLog().Write("[Event] On Stop Request Event.");
          CloseSocket(event);
          return Fail(kHttpFailCancelled);
        }
        if (!ReceiveData(buffer.data(), count)) {
          CloseSocket(event);
          return false;
        }
        if (count == 0) break;
        if (!consume(count, done)) {
          CloseSocket(event);
          return false;
        }
        if (done) break;
      }
      NetLog().Write("[Connect] Host Disconnect");
      CloseSocket(event);
      if (done) return true;
      uint32_t total = m_response.GetReceivedLength();
      if (!m_response.IsHeaderComplete()) {
        NetLog().Write("[Disconnect] Recv http header no complete: %d byte", total);
        return false;
      }
      if (expectedTotal && total < expectedTotal) {
        NetLog().Write("[Disconnect] Recv data (%d byte) no complete: %d byte", static_cast<uint32_t>(expectedTotal), total);
        return false;
      }
      return true;
    }
  }
}
