// The hostile-server road: the copy's translation engine and update link
// point at loopback servers that misbehave (a chunk amplifier, an endless
// body, a silent server, a cookie flood). For each, Translate and the update
// check the program makes after start-up meet the server while a prober asks
// the main window for an answer again and again, each within 100 ms; the form
// ends with a text of its own (an error, or the reply of a Translate again),
// the update server sees the check end, and the program still runs and
// looks words up.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "app/acceptance/CopySettings.h"
#include "app/acceptance/Road.h"
#include "http/tests/TestServer.h"

namespace acceptance {
namespace {

constexpr wchar_t kReply[] = L"Guten Morgen";
constexpr UINT kProbeMs = 100;


ScriptedAnswer Reply() {
  const std::string body = "<html><result>Guten Morgen</result></html>";
  return ScriptedAnswer({"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" + body});
}

// Asks a window for an answer (WM_NULL) again and again on a thread of its
// own, each time within kProbeMs, and keeps the count of those it did not
// get and the longest wait.
class WindowProber {
 public:
  explicit WindowProber(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            const auto start = std::chrono::steady_clock::now();
            DWORD_PTR answer = 0;
            const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kProbeMs, &answer) != 0;
            const long took = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    std::chrono::steady_clock::now() - start)
                                                    .count());
            ++probes_;
            if (!answered) ++unanswered_;
            if (took > longest_) longest_ = took;
            Sleep(5);  // pacing only: the probes are spread, not synchronised
          }
        }) {}
  ~WindowProber() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int Probes() const { return probes_; }
  int Unanswered() const { return unanswered_; }
  long Longest() const { return longest_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> probes_{0};
  std::atomic<int> unanswered_{0};
  std::atomic<long> longest_{0};
  std::thread thread_;
};

struct HostileCase {
  const char* name;
  ScriptedAnswer answer;  // to Translate
  bool again;             // Translate is pressed again while the server misbehaves
  const wchar_t* end;     // what the form shows at the end
  ScriptedAnswer update;  // to the update check
};

std::vector<HostileCase> Cases() {
  const ScriptedAnswer amplifier({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                   Repeat("FFFFFFFFFFFFFFFE\r\n", 20000) + "0\r\n\r\n"});
  // The endless answers pause a millisecond between two 64 KB writes: fast
  // enough, and the road's own threads (the prober) still get the processor.
  const ScriptedAnswer endless = Endless("HTTP/1.1 200 OK\r\n\r\n", std::string(65536, 'x'), 1);
  // The silent update check ends only with its idle time-out (30 s).
  const ScriptedAnswer silent({}, 0, ScriptedAnswer::kStall);
  const ScriptedAnswer flood({"HTTP/1.1 200 OK\r\n" + Cookies(100000) + "\r\n"});
  const std::string cookies = "HTTP/1.1 200 OK\r\n" + Cookies(8000) + "\r\n";
  return {
      {"ChunkAmplifier", amplifier, false, kRequestFailed, amplifier},
      {"EndlessBody", endless, false, kConnectFailed, endless},
      {"SilentServer", silent, true, kReply, silent},
      {"CookieFlood", flood, false, kConnectFailed, flood},
      // The cookies taken, then a body: for Translate it drips on until
      // Translate again; the update check meets it endless.
      {"CookieFloodThenTranslateAgain", Endless(cookies, "x", 50), true, kReply,
       Endless(cookies, std::string(65536, 'x'), 1)},
  };
}

class HostileServerRoad : public Road, public ::testing::WithParamInterface<size_t> {
 protected:
  void Prepare() override {
    const HostileCase c = Cases()[GetParam()];
    ASSERT_TRUE(engine_.IsListening() && update_.IsListening());
    engine_.Queue(c.answer);
    if (c.again) engine_.Queue(Reply());
    update_.Queue(c.update);
    const std::wstring engine = Wide(engine_.Url("/translate"));
    ASSERT_TRUE(EditEngines(Folder(), [&](std::wstring& xml) {
      const size_t shipped = xml.find(kShippedEngineUrl);
      if (shipped != std::wstring::npos) xml.replace(shipped, wcslen(kShippedEngineUrl), engine);
    })) << "the copy's engine definitions cannot be changed";
    ASSERT_TRUE(SetUiText(Folder(), L"Link", L"Update", Wide(update_.Url("/news.xml"))));
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Connection", L"EnableUpdate", L"y"));
  }

  // The page shows part and no longer the waiting text.
  bool Shows(const wchar_t* part, std::wstring& text) {
    text = Window().PageText();
    return text.find(part) != std::wstring::npos && text.find(kWaiting) == std::wstring::npos;
  }

  WinsockScope winsock_;
  TestServer engine_;
  TestServer update_;
};

TEST_P(HostileServerRoad, TheWindowAnswersThroughoutAndTheProgramLives) {
  const HostileCase c = Cases()[GetParam()];
  ASSERT_TRUE(Window().OpenTranslationForm(L"house", L"Haus")) << "no form for the looked-up word";
  WindowProber prober(Window().Frame());
  std::wstring text;

  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  if (c.again) {
    // The server holds the request, the form waits; Translate again ends it.
    ASSERT_TRUE(WaitFor([&] {
      text = Window().PageText();
      return engine_.Connections() >= 1 && text.find(kWaiting) != std::wstring::npos;
    })) << "the server got no request: " << Utf8(text);
    ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  }
  EXPECT_TRUE(WaitFor([&] { return Shows(c.end, text); })) << "the form shows: " << Utf8(text);

  // The check after start-up meets the same server and ends.
  EXPECT_TRUE(WaitFor([&] { return update_.Answered() >= 1; }, kStartDeadlineMs))
      << "the update check took " << update_.Connections() << " connection(s) and did not end";
  // And the program goes on working: a lookup after both.
  MainWindow window = Window();
  EXPECT_TRUE(window.LookUp(L"house") && window.WaitForPageText(L"Haus", text)) << "after: " << Utf8(text);
  prober.Stop();
  EXPECT_TRUE(program_.IsRunning()) << "the program ended";
  EXPECT_GT(prober.Probes(), 0);
  EXPECT_EQ(prober.Unanswered(), 0) << prober.Unanswered() << " of " << prober.Probes()
                                    << " probes unanswered within " << kProbeMs << " ms";
  std::printf("%s: %d probes, the longest %ld ms\n", c.name, prober.Probes(), prober.Longest());
  Screenshot(L"end");
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileServerRoad, ::testing::Range<size_t>(0, Cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return Cases()[info.param].name; });

}  // namespace
}  // namespace acceptance
