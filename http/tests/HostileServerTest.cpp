// Servers that misbehave on purpose, played over a real socket through the
// asynchronous client: each must end within its time and memory bounds.
#include <gtest/gtest.h>

#include "http/HttpClient.h"
#include "http/tests/TestServer.h"

#include <psapi.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

WinsockScope g_winsock;
constexpr UINT kDone = WM_USER + 1011;
constexpr uint32_t kMaxBody = 1u << 20;

struct Receiver {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ~Receiver() { DestroyWindow(hwnd); }

  // The end message's HttpResult, or -1 after the time-out.
  int Wait(int timeoutMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    MSG msg;
    while (std::chrono::steady_clock::now() < until) {
      if (PeekMessageW(&msg, hwnd, kDone, kDone, PM_REMOVE)) return static_cast<int>(msg.wParam);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
    }
    return -1;
  }
};

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return counters.PrivateUsage;
}

// The highest private memory seen while it lives, sampled every few ms.
class PeakMemory {
 public:
  PeakMemory() : m_peak(PrivateBytes()), m_thread([this] {
    while (!m_stop) {
      size_t now = PrivateBytes();
      if (now > m_peak) m_peak = now;
      Sleep(2);
    }
  }) {}
  ~PeakMemory() { Stop(); }
  size_t Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    return m_peak;
  }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<size_t> m_peak;
  std::thread m_thread;
};

const std::string kChunkedHeader = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

void Prepare(CHttpClient& client, const std::string& url) {
  client.GetRequest().Reset();
  client.GetRequest().SetMethod(kHttpGet);
  client.GetRequest().SetUrl(url.c_str());
  client.GetResponse().SetMaxBodyLength(kMaxBody);
  client.SetTimeouts(2000, 500, 2000);
}

}  // namespace

TEST(HostileServer, EveryCaseEndsInTimeAndMemory) {
  struct Case {
    const char* name;
    ScriptedAnswer answer;
    int result;           // HttpResult of the end message
    HttpFailure failure;  // why SendRequest gave up, when it did
    bool complete;        // the answer is whole and decoded
    int cookies = -1;     // received cookies, when counted
  };
  Case cases[] = {
      {"chunk amplifier", {{kChunkedHeader + Repeat("FFFFFFFFFFFFFFFE\r\n", 20000) + "0\r\n\r\n"}},
       kHttpResultOk, kHttpFailNone, false},
      {"endless body", Endless("HTTP/1.1 200 OK\r\n\r\n", std::string(65536, 'x')), kHttpResultFailed,
       kHttpFailError, false},
      {"endless chunks", Endless(kChunkedHeader, "10000\r\n" + std::string(65536, 'x') + "\r\n"),
       kHttpResultFailed, kHttpFailError, false},
      {"huge Content-Length", {{"HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\nsome"}, 0, ScriptedAnswer::kStall},
       kHttpResultFailed, kHttpFailError, false},
      {"gzip bomb", {{"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + GzipBytes(std::string(16u << 20, '\0'))}},
       kHttpResultOk, kHttpFailNone, false},
      {"silent server", {{}, 0, ScriptedAnswer::kStall}, kHttpResultFailed, kHttpFailIdleTimeout, false},
      {"silent after the header", {{"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"}, 0, ScriptedAnswer::kStall},
       kHttpResultFailed, kHttpFailIdleTimeout, false},
      {"dripping body", Endless("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n", "x", 100), kHttpResultFailed,
       kHttpFailDeadline, false},
      {"dripping header", Endless("HTTP/1.1 200 OK\r\n", "X-Slow: 1\r\n", 100), kHttpResultFailed,
       kHttpFailDeadline, false},
      {"endless 100 Continue", Endless("", "HTTP/1.1 100 Continue\r\n\r\n"), kHttpResultStatus, kHttpFailNone, true},
      {"cookie flood", {{"HTTP/1.1 200 OK\r\n" + Cookies(8000) + "Content-Length: 2\r\n\r\nok"}}, kHttpResultOk,
       kHttpFailNone, true, static_cast<int>(CHttpCookieJar::kMaxCookiesPerDomain)},
      {"cookie flood past the header limit", {{"HTTP/1.1 200 OK\r\n" + Cookies(100000) + "\r\n"}},
       kHttpResultFailed, kHttpFailError, false},
      {"huge status line", Endless("HTTP/1.1 200 ", std::string(65536, 'A')), kHttpResultFailed, kHttpFailError,
       false},
      {"bare LF flood", Endless("HTTP/1.1 200 OK\r\nX-Lines: ", std::string(65536, '\n')), kHttpResultFailed,
       kHttpFailError, false},
      {"endless header line", Endless("HTTP/1.1 200 OK\r\nX-Long: ", std::string(65536, 'a')), kHttpResultFailed,
       kHttpFailError, false},
      {"endless header lines", Endless("HTTP/1.1 200 OK\r\n", Repeat("X-Many: a\r\n", 4096)), kHttpResultFailed,
       kHttpFailError, false},
  };
  Receiver receiver;
  for (Case& c : cases) {
    TestServer server;
    ASSERT_TRUE(server.IsListening());
    server.Queue(c.answer);
    CHttpClient client;
    ASSERT_TRUE(client.StartThread());
    client.SetNotify(receiver.hwnd, kDone);
    Prepare(client, server.Url("/hostile"));
    const size_t before = PrivateBytes();
    PeakMemory peak;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr)) << c.name;
    const int result = receiver.Wait(10000);
    const auto took = std::chrono::steady_clock::now() - start;
    const size_t highest = peak.Stop();
    const size_t grew = highest > before ? highest - before : 0;
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_LT(took, std::chrono::milliseconds(3000)) << c.name;
    EXPECT_LT(grew, size_t(24) << 20) << c.name << ": " << (grew >> 20) << " MB";
    EXPECT_EQ(client.GetFailure(), c.failure) << c.name;
    EXPECT_EQ(client.IsResponseComplete(), c.complete) << c.name;
    if (c.cookies >= 0) {
      EXPECT_EQ(client.GetReceivedCookies().GetCount(), static_cast<uint32_t>(c.cookies)) << c.name;
    }
    client.StopThread();
  }
}

// Cancel hands the request back at once, whatever the server is doing.
TEST(HostileServer, CancelReturnsAtOnce) {
  struct Case {
    const char* name;
    ScriptedAnswer answer;
  } cases[] = {
      {"silent server", {{}, 0, ScriptedAnswer::kStall}},
      {"cookie flood", Endless("HTTP/1.1 200 OK\r\n" + Cookies(8000) + "\r\n", std::string(65536, 'x'))},
      {"slow header", Endless("HTTP/1.1 200 OK\r\n", Cookies(400), 1)},
      {"bare LF flood", Endless("HTTP/1.1 200 OK\r\nX-Lines: ", std::string(4096, '\n'), 1)},
      {"endless body", Endless("HTTP/1.1 200 OK\r\n\r\n", std::string(65536, 'x'))},
  };
  Receiver receiver;
  for (Case& c : cases) {
    TestServer server;
    server.Queue(c.answer);
    CHttpClient client;
    ASSERT_TRUE(client.StartThread());
    client.SetNotify(receiver.hwnd, kDone);
    Prepare(client, server.Url("/cancel"));
    client.SetTimeouts(10000, 10000, 10000);
    client.GetResponse().SetMaxBodyLength(256u << 20);
    ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
    // The server has answered the request before it is cancelled.
    while (server.Requests().empty()) Sleep(1);
    const auto start = std::chrono::steady_clock::now();
    client.Cancel();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(100))
        << c.name << ": " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_EQ(receiver.Wait(1000), static_cast<int>(kHttpResultCancelled)) << c.name;
    EXPECT_EQ(client.GetFailure(), kHttpFailCancelled) << c.name;
  }
}
