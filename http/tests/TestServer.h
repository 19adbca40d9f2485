// A scripted HTTP server on the loopback for tests: each accepted connection
// plays the next queued answer and the request bytes are recorded.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ScriptedAnswer {
  enum End { kClose, kStall, kReset };
  ScriptedAnswer(std::vector<std::string> w = {}, int pause = 0, End e = kClose)
      : writes(std::move(w)), pauseMs(pause), end(e) {}
  std::vector<std::string> writes;  // sent one after another
  int pauseMs = 0;                  // between two writes
  End end = kClose;
  // Builds the answer from the request instead (echo servers); used when set.
  std::function<std::string(const std::string& request)> respond;
  // After the writes: more bytes for each call, pauseMs apart, until it
  // returns false or the client goes away (endless and dripping servers).
  std::function<bool(std::string& more)> stream;
};

class TestServer {
 public:
  explicit TestServer(const char* address = "127.0.0.1", uint16_t port = 0);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  bool IsListening() const { return m_listen != INVALID_SOCKET; }
  uint16_t Port() const { return m_port; }
  std::string Url(const std::string& path) const;

  void Queue(ScriptedAnswer answer);
  void Queue(const std::string& bytes, ScriptedAnswer::End end = ScriptedAnswer::kClose);
  // Answers every connection with this once the queue is empty.
  void SetDefault(ScriptedAnswer answer);
  std::vector<std::string> Requests();
  std::string LastRequest();
  int Connections() const { return m_connections; }
  // Connections played to their end: the answer sent or the client gone.
  int Answered() const { return m_answered; }
  // Bytes sent on all connections so far.
  uint64_t BytesSent() const { return m_bytesSent; }

 private:
  void Serve();
  void Answer(SOCKET client);
  bool ReadRequest(SOCKET client, std::string& request);
  bool SendAll(SOCKET client, const std::string& bytes);

  std::string m_address;
  SOCKET m_listen = INVALID_SOCKET;
  uint16_t m_port = 0;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_connections{0};
  std::atomic<int> m_answered{0};
  std::atomic<uint64_t> m_bytesSent{0};
  std::mutex m_lock;
  std::vector<ScriptedAnswer> m_queue;
  bool m_hasDefault = false;
  ScriptedAnswer m_default;
  std::vector<std::string> m_requests;
  std::thread m_thread;
};

// Starts Winsock for a test binary.
struct WinsockScope {
  WinsockScope() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockScope() { WSACleanup(); }
};

std::string GzipBytes(const std::string& data);

// What misbehaving servers send: `unit` `times` over; `count` Set-Cookie
// header lines; an answer that, after its first write, sends `unit` again and
// again, pauseMs apart, until the client goes away.
std::string Repeat(const std::string& unit, size_t times);
std::string Cookies(size_t count);
ScriptedAnswer Endless(std::string start, std::string unit, int pauseMs = 0);
