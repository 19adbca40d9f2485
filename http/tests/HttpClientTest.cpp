#include <gtest/gtest.h>

#include "http/HttpClient.h"
#include "http/tests/TestServer.h"

#include <psapi.h>

#include <chrono>
#include <thread>

namespace {

WinsockScope g_winsock;
constexpr UINT kDone = WM_USER + 1010;

// A message-only window that collects the client's end messages.
struct Receiver {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ~Receiver() { DestroyWindow(hwnd); }

  // The next end message (wParam, lParam), or (-1, 0) after the time-out.
  std::pair<int, uint32_t> Wait(int timeoutMs = 10000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    MSG msg;
    while (std::chrono::steady_clock::now() < until) {
      if (PeekMessageW(&msg, hwnd, kDone, kDone, PM_REMOVE))
        return {static_cast<int>(msg.wParam), static_cast<uint32_t>(msg.lParam)};
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
    }
    return {-1, 0};
  }
};

void Prepare(CHttpClient& client, const std::string& url) {
  client.GetRequest().Reset();
  client.GetRequest().SetMethod(kHttpGet);
  client.GetRequest().SetUrl(url.c_str());
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return counters.PrivateUsage;
}

DWORD Handles() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

std::string Ok(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace

TEST(HttpClient, ResultsAndNumbers) {
  TestServer server;
  server.Queue(Ok("fine"));
  server.Queue("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  Receiver receiver;
  CHttpClient client;
  Prepare(client, server.Url("/"));
  EXPECT_FALSE(client.PostRequest(true, nullptr, nullptr));  // no worker yet
  EXPECT_EQ(client.GetRequestNumber(), 0u);
  client.Cancel();  // idle: returns at once
  ASSERT_TRUE(client.StartThread());
  client.SetNotify(receiver.hwnd, kDone);
  ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
  EXPECT_EQ(receiver.Wait(), std::make_pair(static_cast<int>(kHttpResultOk), 1u));
  EXPECT_TRUE(client.IsResponseComplete());
  Prepare(client, server.Url("/missing"));
  ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
  EXPECT_EQ(receiver.Wait(), std::make_pair(static_cast<int>(kHttpResultStatus), 2u));
  Prepare(client, "http://no-such-host.invalid/");
  ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
  EXPECT_EQ(receiver.Wait(40000).first, static_cast<int>(kHttpResultFailed));
  client.StopThread();
  client.StopThread();
  EXPECT_FALSE(client.IsThreadStarted());
}

TEST(HttpClient, CancelAStalledRequestWithinASecond) {
  TestServer server;
  server.Queue("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nbegin", ScriptedAnswer::kStall);
  Receiver receiver;
  CHttpClient client;
  ASSERT_TRUE(client.StartThread());
  client.SetNotify(receiver.hwnd, kDone);
  Prepare(client, server.Url("/stall"));
  ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
  // The worker owns the request while it runs: a second one is refused and
  // takes no number.
  const uint32_t running = client.GetRequestNumber();
  EXPECT_FALSE(client.PostRequest(true, nullptr, nullptr));
  EXPECT_EQ(client.GetRequestNumber(), running);
  Sleep(200);
  auto start = std::chrono::steady_clock::now();
  client.Cancel();
  EXPECT_EQ(receiver.Wait(1000).first, static_cast<int>(kHttpResultCancelled));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  // StopThread while running posts the cancellation first.
  Prepare(client, server.Url("/stall2"));
  server.Queue("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", ScriptedAnswer::kStall);
  ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
  Sleep(100);
  client.StopThread();
  EXPECT_EQ(receiver.Wait(1000).first, static_cast<int>(kHttpResultCancelled));
}

TEST(HttpClient, ManyRequestsLeakNothing) {
  TestServer server;
  ScriptedAnswer answer;
  answer.writes.push_back(Ok(std::string(2000, 'x')));
  server.SetDefault(answer);
  Receiver receiver;
  auto runMany = [&](CHttpClient& client, int count) {
    for (int i = 0; i < count; ++i) {
      Prepare(client, server.Url("/n"));
      ASSERT_TRUE(client.PostRequest(true, nullptr, nullptr));
      ASSERT_EQ(receiver.Wait().first, static_cast<int>(kHttpResultOk));
    }
  };
  CHttpClient warm;
  warm.StartThread();
  warm.SetNotify(receiver.hwnd, kDone);
  runMany(warm, 20);
  DWORD handlesBefore = Handles();
  size_t memoryBefore = PrivateBytes();
  runMany(warm, 1000);
  warm.StopThread();
  EXPECT_LE(Handles(), handlesBefore + 2);
  EXPECT_LT(PrivateBytes(), memoryBefore + (2u << 20));
}

TEST(HttpClient, ParallelClientsLeakNothing) {
  TestServer servers[4];
  ScriptedAnswer answer;
  answer.writes.push_back(Ok("parallel"));
  for (TestServer& s : servers) s.SetDefault(answer);
  DWORD handlesBefore = Handles();
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      Receiver receiver;
      CHttpClient client;
      client.StartThread();
      client.SetNotify(receiver.hwnd, kDone);
      for (int i = 0; i < 100; ++i) {
        Prepare(client, servers[t % 4].Url("/p"));
        if (!client.PostRequest(true, nullptr, nullptr) || receiver.Wait().first != kHttpResultOk) ++failures;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(failures, 0);
  EXPECT_LE(Handles(), handlesBefore + 4);
}
