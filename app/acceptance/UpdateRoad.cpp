// The update road: with online update switched on and the copy's update link
// pointing at a loopback server, the check the program makes after start-up
// accepts the server's news (an upgrade whose script has nothing to do) and
// the start page shows its notice; "update.ini" keeps the accepted id.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/acceptance/CopySettings.h"
#include "app/acceptance/Road.h"
#include "app/popup/PopupRes.h"
#include "core/ConfigFile.h"
#include "http/tests/TestServer.h"

namespace acceptance {
namespace {

constexpr char kNotice[] = "Quorindo 2 has arrived";
constexpr char kTip[] = "Quorindo was updated";

std::string Answer(const std::string& xml) {
  const std::string body = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n" + xml;
  return "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         body;
}

class UpdateRoad : public Road {
 protected:
  void Prepare() override {
    ASSERT_TRUE(server_.IsListening());
    // The news, then the upgrade it offers.
    server_.Queue(Answer("<update id=\"7\" time=\"2026-01-02 03:04:05\"><upgrade><url method=\"GET\">" +
                         server_.Url("/upgrade.xml") + "</url></upgrade><Info><item lang=\"en\"><tip>" + kTip +
                         "</tip><content><div id=\"startpage\">" + kNotice + "</div></content></item></Info></update>"));
    server_.Queue(Answer("<upgrade id=\"7\"><action/></upgrade>"));
    const std::string link = server_.Url("/news.xml");
    ASSERT_TRUE(SetUiText(Folder(), L"Link", L"Update", std::wstring(link.begin(), link.end())));
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Connection", L"EnableUpdate", L"y"));
  }

  WinsockScope winsock_;
  TestServer server_;
};

TEST_F(UpdateRoad, CheckAfterStartShowsTheNoticeOnTheStartPage) {
  MainWindow window = Window();
  const std::wstring notice(kNotice, kNotice + sizeof(kNotice) - 1);
  std::wstring text;
  // The check starts 10 s after start-up.
  ASSERT_TRUE(WaitFor([&] { return server_.Connections() >= 2; }, kStartDeadlineMs))
      << "the program fetched " << server_.Connections() << " of the news and the upgrade";
  EXPECT_NE(server_.Requests()[0].find("GET /news.xml"), std::string::npos) << server_.Requests()[0];
  EXPECT_TRUE(window.WaitForPageText(notice, text)) << "the start page after the check: " << Utf8(text);
  Screenshot(L"notice");

  // The start page shows it again after a lookup.
  ASSERT_TRUE(window.LookUp(L"house"));
  ASSERT_TRUE(window.WaitForPageText(L"Haus", text)) << Utf8(text);
  HWND info = window.Button(IDC_VIEW_INFO);
  ASSERT_NE(info, nullptr);
  Click(info);
  EXPECT_TRUE(window.WaitForPageText(notice, text)) << "the start page: " << Utf8(text);

  CConfigFile state;
  ASSERT_TRUE(state.Load((Folder() + L"update\\update.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_EQ(state.GetString(L"Version", L"ID", L""), L"7");
  EXPECT_EQ(state.GetString(L"Version", L"Time", L""), L"2026-01-02 03:04:05");
}

// The news with its tip arrive while a looked-up word's page shows the
// text-translation form: the tip bar appears above the page, and the form's
// three lists move down with it, still shown.
class TipOverFormRoad : public Road {
 protected:
  // Opened by the road once the form shows; the news wait for it, or the
  // check could come before the lookup on a busy machine.
  struct Gate {
    std::mutex lock;
    std::condition_variable opened;
    bool open = false;
    void Open() {
      std::lock_guard<std::mutex> hold(lock);
      open = true;
      opened.notify_all();
    }
  };

  void Prepare() override {
    ASSERT_TRUE(server_.IsListening());
    ScriptedAnswer news;
    std::shared_ptr<Gate> gate = gate_;
    const std::string upgrade = server_.Url("/upgrade.xml");
    news.respond = [gate, upgrade](const std::string&) {
      std::unique_lock<std::mutex> hold(gate->lock);
      gate->opened.wait(hold, [&] { return gate->open; });
      return Answer("<update id=\"7\" time=\"2026-01-02 03:04:05\"><upgrade><url method=\"GET\">" + upgrade +
                    "</url></upgrade><Info><item lang=\"en\"><tip>" + kTip + "</tip><content><div id=\"startpage\">" +
                    kNotice + "</div></content></item></Info></update>");
    };
    server_.Queue(news);
    server_.Queue(Answer("<upgrade id=\"7\"><action/></upgrade>"));
    const std::string link = server_.Url("/news.xml");
    ASSERT_TRUE(SetUiText(Folder(), L"Link", L"Update", std::wstring(link.begin(), link.end())));
    ASSERT_TRUE(SetSetting(Folder() + L"config.ini", L"Connection", L"EnableUpdate", L"y"));
  }
  void TearDown() override {
    gate_->Open();  // a road that failed early lets the server end
    Road::TearDown();
  }

  WinsockScope winsock_;
  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
  TestServer server_;
};

TEST_F(TipOverFormRoad, TheFormsListsStayShownBelowTheTip) {
  MainWindow window = Window();
  ASSERT_TRUE(window.LookUp(L"house"));
  std::wstring text;
  ASSERT_TRUE(window.WaitForPageText(L"Haus", text)) << Utf8(text);
  HWND page = window.ResultPage();
  std::vector<HWND> lists;
  ASSERT_TRUE(WaitFor([&] { return (lists = Controls(page, L"ComboBox")).size() == 3; }))
      << "the page shows " << lists.size() << " lists";
  std::vector<LONG> tops;
  for (HWND list : lists) tops.push_back(ScreenRect(list).top);
  gate_->Open();

  const std::wstring tip(kTip, kTip + sizeof(kTip) - 1);
  ASSERT_TRUE(window.WaitForPageText(tip, text)) << "no tip after the check: " << Utf8(text);
  std::vector<HWND> shown;
  EXPECT_TRUE(WaitFor([&] { return (shown = Controls(page, L"ComboBox")).size() == 3; }))
      << "with the tip the page shows " << shown.size() << " lists";
  std::vector<LONG> moved;
  for (HWND list : shown) moved.push_back(ScreenRect(list).top);
  std::sort(tops.begin(), tops.end());
  std::sort(moved.begin(), moved.end());
  for (size_t i = 0; i < moved.size() && i < tops.size(); ++i)
    EXPECT_GT(moved[i], tops[i]) << "a list did not move down with the page";
  Screenshot(L"tip-over-form");
}

// Through a proxy that asks for credentials none were given for: the check
// stops, and the notice bar says why and where to give them.
class ProxyRefusedUpdateRoad : public Road {
 protected:
  void Prepare() override {
    ASSERT_TRUE(proxy_.IsListening());
    proxy_.SetDefault(ScriptedAnswer({"HTTP/1.1 407 Proxy Authentication Required\r\n"
                                      "Proxy-Authenticate: Basic realm=\"Test proxy\"\r\nContent-Length: 0\r\n\r\n"}));
    ASSERT_TRUE(SetUiText(Folder(), L"Link", L"Update", L"http://update.quorindo.example/news.xml"));
    const std::wstring config = Folder() + L"config.ini";
    ASSERT_TRUE(SetSetting(config, L"Connection", L"EnableUpdate", L"y"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"Connect", L"1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyServer", L"127.0.0.1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyPort", std::to_wstring(proxy_.Port())));
  }

  WinsockScope winsock_;
  TestServer proxy_;
};

TEST_F(ProxyRefusedUpdateRoad, TheNoticeBarSaysWhatTheProxyWants) {
  MainWindow window = Window();
  ASSERT_TRUE(WaitFor([&] { return proxy_.Connections() >= 1; }, kStartDeadlineMs)) << "no check came to the proxy";
  std::wstring text;
  EXPECT_TRUE(window.WaitForPageText(L"The update check stopped. The proxy server asks for a user name and password.",
                                     text))
      << "the page after the check: " << Utf8(text);
  EXPECT_NE(text.find(L"Options, Connection"), std::wstring::npos) << Utf8(text);
  Screenshot(L"proxy-notice");
}

}  // namespace
}  // namespace acceptance
