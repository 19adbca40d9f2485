#include "http/tests/TestServer.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

// Waits up to `ms` for the socket to be readable; false on time-out.
bool WaitReadable(SOCKET s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv = {ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

}  // namespace

TestServer::TestServer(const char* address, uint16_t port) : m_address(address) {
  m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at = {};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = inet_addr(address);
  at.sin_port = htons(port);
  int length = sizeof(at);
  if (bind(m_listen, reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0 || listen(m_listen, 16) != 0 ||
      getsockname(m_listen, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
    closesocket(m_listen);
    m_listen = INVALID_SOCKET;
    return;
  }
  m_port = ntohs(at.sin_port);
  m_thread = std::thread(&TestServer::Serve, this);
}

TestServer::~TestServer() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  if (m_listen != INVALID_SOCKET) closesocket(m_listen);
}

std::string TestServer::Url(const std::string& path) const {
  return "http://" + m_address + ":" + std::to_string(m_port) + path;
}

void TestServer::Queue(ScriptedAnswer answer) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_queue.push_back(std::move(answer));
}

void TestServer::Queue(const std::string& bytes, ScriptedAnswer::End end) {
  ScriptedAnswer answer;
  answer.writes.push_back(bytes);
  answer.end = end;
  Queue(std::move(answer));
}

void TestServer::SetDefault(ScriptedAnswer answer) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_default = std::move(answer);
  m_hasDefault = true;
}

std::vector<std::string> TestServer::Requests() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_requests;
}

std::string TestServer::LastRequest() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_requests.empty() ? std::string() : m_requests.back();
}

void TestServer::Serve() {
  while (!m_stop) {
    if (!WaitReadable(m_listen, 50)) continue;
    SOCKET client = accept(m_listen, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    ++m_connections;
    Answer(client);
  }
}

bool TestServer::ReadRequest(SOCKET client, std::string& request) {
  char buffer[16384];
  size_t headerEnd = std::string::npos;
  size_t wanted = 0;
  for (int idle = 0; idle < 100 && !m_stop;) {
    if (headerEnd != std::string::npos && request.size() >= wanted) return true;
    if (!WaitReadable(client, 20)) {
      ++idle;
      continue;
    }
    int got = recv(client, buffer, sizeof(buffer), 0);
    if (got <= 0) return !request.empty();
    request.append(buffer, got);
    if (headerEnd == std::string::npos && (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
      size_t at = request.find("Content-Length: ");
      size_t body = at != std::string::npos && at < headerEnd ? strtoul(request.c_str() + at + 16, nullptr, 10) : 0;
      wanted = headerEnd + 4 + body;
    }
  }
  return false;
}

bool TestServer::SendAll(SOCKET client, const std::string& bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    int n = send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += n;
    m_bytesSent += n;
  }
  return true;
}

void TestServer::Answer(SOCKET client) {
  std::string request;
  ReadRequest(client, request);
  ScriptedAnswer answer;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_requests.push_back(request);
    if (!m_queue.empty()) {
      answer = std::move(m_queue.front());
      m_queue.erase(m_queue.begin());
    } else if (m_hasDefault) {
      answer = m_default;
    } else {
      answer.writes.push_back("HTTP/1.1 500 No Script\r\nContent-Length: 0\r\n\r\n");
    }
  }
  if (answer.respond) answer.writes.assign(1, answer.respond(request));
  bool open = true;
  for (size_t i = 0; open && i < answer.writes.size(); ++i) {
    if (i && answer.pauseMs) Sleep(answer.pauseMs);
    open = SendAll(client, answer.writes[i]);
  }
  std::string more;
  while (open && answer.stream && !m_stop && answer.stream(more)) {
    if (answer.pauseMs) Sleep(answer.pauseMs);
    open = SendAll(client, more);
  }
  if (answer.end == ScriptedAnswer::kStall) {
    char b;
    while (!m_stop && (!WaitReadable(client, 20) || recv(client, &b, 1, 0) > 0)) {
    }
  } else if (answer.end == ScriptedAnswer::kReset) {
    linger hard = {1, 0};
    setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof(hard));
  } else {
    shutdown(client, SD_SEND);
  }
  closesocket(client);
  ++m_answered;
}

std::string GzipBytes(const std::string& data) {
  z_stream z = {};
  deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string Repeat(const std::string& unit, size_t times) {
  std::string out;
  out.reserve(unit.size() * times);
  for (size_t i = 0; i < times; ++i) out += unit;
  return out;
}

std::string Cookies(size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += "Set-Cookie: c" + std::to_string(i) + "=v; path=/\r\n";
  return out;
}

ScriptedAnswer Endless(std::string start, std::string unit, int pauseMs) {
  ScriptedAnswer answer({std::move(start)}, pauseMs);
  answer.stream = [unit](std::string& more) {
    more = unit;
    return true;
  };
  return answer;
}
