#include <gtest/gtest.h>

#include <chrono>

#include "core/FileUtil.h"
#include "core/XmlDocument.h"
#include "online/OnlineUpdate.h"
#include "online/tests/OnlineTestHost.h"

namespace {

WinsockScope g_winsock;

const char kInfo[] =
    "<Info><item lang=\"en\"><tip>en tip</tip><content>en [$Version] [$UpdateID] [$Nothing]</content></item>"
    "<item lang=\"en-US\"><tip>us tip</tip><content>[$DownPath]|[$TextFont]</content></item>"
    "<item lang=\"fr\"><tip>fr tip</tip></item></Info>";

std::string Description(const std::string& id, const std::string& time, const std::string& rest = "",
                        const std::string& attributes = "") {
  return Utf8Xml("<update id=\"" + id + "\" time=\"" + time + "\"" + attributes + ">" + kInfo + rest + "</update>");
}

class UpdateTest : public testing::Test {
 protected:
  UpdateTest() : host(box.Path()), update(&host), folder(host.GetUpdateFolder()) {
    SetLinks({"/desc"});
    WriteIni(L"[Version]\nID=5\nTime=2020-01-01 00:00:00\n");
  }

  void SetLinks(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& path : paths) list += (list.empty() ? L"" : L", ") + Widen(web.Url(path));
    host.uiTexts.SetValue(L"Link", L"Update", list);
  }

  void WriteIni(const std::wstring& text) {
    std::wstring withMark = L"\xFEFF" + text;
    WriteFileBytes(folder + L"update.ini",
                   std::string(reinterpret_cast<const char*>(withMark.data()), withMark.size() * 2));
    ASSERT_TRUE(update.LoadUpdateIni());
  }

  std::wstring Ini(const wchar_t* key) { return update.GetUpdateValue(key); }

  // An upgrade offer whose document runs the given commands.
  std::string Offer(const std::string& path, const std::string& commands, const std::string& uid = "42") {
    std::string document = Utf8Xml("<upgrade id=\"" + uid + "\"><action>" + commands + "</action></upgrade>");
    web.Route(path, HttpOk(document));
    return "<url method=\"POST\" md5=\"" + Md5Hex(document) + "\">" + web.Url(path) + "</url>";
  }

  // Pumps messages until the end message of a started check: (wParam, lParam), (-1, -1) after the time-out.
  std::pair<int, int> WaitForEnd(MessageSink& sink) {
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (!sink.Wait(WM_UPDATE_DONE, wParam, lParam)) return {-1, -1};
    return {static_cast<int>(wParam), static_cast<int>(lParam)};
  }

  TempFolder box;
  TestHost host;
  RoutingServer web;
  COnlineUpdate update;
  std::wstring folder;
};

TEST_F(UpdateTest, DescriptionFailures) {
  SetLinks({});
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  SetLinks({"/missing", "/error", "/partial"});
  web.Route("/error", HttpStatus(500));
  web.Route("/partial", HttpStatus(203, Description("6", "2020-01-02 00:00:00")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  EXPECT_EQ(web.Count("/partial"), 1);

  struct Case {
    std::string body;
  } cases[] = {
      {Description("0", "2020-01-02 00:00:00")},
      {Description("6", "yesterday")},
      {Utf8Xml("<update time=\"2020-01-02 00:00:00\"/>")},
      {"<?xml version=\"1.0\"?><update id=\"6\" time=\"2020-01-02 00:00:00\"/>"},  // no byte-order mark
  };
  SetLinks({"/desc"});
  for (const Case& c : cases) {
    web.Route("/desc", HttpOk(c.body));
    EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0)) << c.body;
  }
  // A body that does not parse ends the check: the second address is not tried.
  host.uiTexts.SetValue(L"Link", L"Update", Widen(web.Url("/bad")) + L",\t\"" + Widen(web.Url("/good")) + L"\"");
  web.Route("/bad", HttpOk("not xml"));
  web.Route("/good", HttpOk(Description("5", "2020-01-01 00:00:00")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  EXPECT_EQ(web.Count("/good"), 0);
  EXPECT_EQ(Ini(L"ID"), L"5");
}

// A description past its limit is not taken: the next address is tried.
TEST_F(UpdateTest, DescriptionPastItsLimit) {
  SetLinks({"/huge", "/good"});
  std::string huge = Description("7", "2020-01-03 00:00:00");
  huge.insert(huge.size() - std::string("</update>").size(), std::string(COnlineUpdate::kMaxDescription, ' '));
  web.Route("/huge", HttpOk(huge));
  web.Route("/good", HttpOk(Description("5", "2020-01-01 00:00:00")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 0));  // the one at hand: nothing new
  EXPECT_EQ(web.Count("/huge"), 1);
  EXPECT_EQ(Ini(L"ID"), L"5");
}

TEST_F(UpdateTest, CurrentAndNewerDescriptions) {
  web.Route("/desc", HttpOk(Description("5", "2020-01-01 00:00:00")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 0));
  web.Route("/desc", HttpOk(Description("4", "2030-01-01 00:00:00")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 0));
  EXPECT_FALSE(DirectoryExists((folder + L"5").c_str()));

  // Quoted address with an escape, as the text store may hold it.
  host.uiTexts.SetValue(L"Link", L"Update", L"\"" + Widen(web.Url("/desc")) + L"\"");
  web.Route("/desc", HttpOk(Description("5", "2020/01/02 03:04:05")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 1));
  EXPECT_TRUE(IsFilePresent((folder + L"5\\uf_20200102030405.xml").c_str()));
  EXPECT_EQ(Ini(L"ID"), L"5");
  EXPECT_EQ(Ini(L"Time"), L"2020-01-02 03:04:05");
  EXPECT_EQ(Ini(L"UpdateTime").size(), 19u);
  std::string ini = ReadFileBytes(folder + L"update.ini");
  ASSERT_GE(ini.size(), 2u);
  EXPECT_EQ(ini.substr(0, 2), "\xFF\xFE");
  // The file is written beside and then put in place: nothing else is left.
  WIN32_FIND_DATAW found;
  EXPECT_EQ(FindFirstFileW((folder + L"update.ini?*").c_str(), &found), INVALID_HANDLE_VALUE);

  COnlineUpdate reloaded(&host);
  ASSERT_TRUE(reloaded.LoadUpdateIni());
  EXPECT_EQ(reloaded.GetUpdateValue(L"Time"), L"2020-01-02 03:04:05");
  EXPECT_EQ(reloaded.RunCheck(), std::make_pair(1, 0));
}

TEST_F(UpdateTest, UpgradeDownloadsChecksAndRunsItsScript) {
  std::string file = "file contents";
  web.Route("/file", HttpOk(file));
  std::string offer = Offer("/up", "<cmd act=\"copy_file\" name=\"" + web.Url("/file") + "\" md5=\"" +
                                       Md5Hex(file) + "\" destname=\"[$DataPath]file.bin\"/>"
                                       "<cmd act=\"create_file\" name=\"[$DataPath]k.bin\" data=\"4a4B\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 1));
  std::string request = web.server.Requests()[1];
  EXPECT_EQ(request.find("POST /up "), 0u) << request;
  EXPECT_NE(request.find("uid=5&utime=2020-01-01"), std::string::npos) << request;
  EXPECT_NE(request.find("&ver=18&lang=en-US"), std::string::npos) << request;
  EXPECT_NE(request.find("Accept-Language: en-US"), std::string::npos) << request;
  EXPECT_EQ(ReadFileBytes(folder + L"42\\upgrade.xml").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(ReadFileBytes(folder + L"42\\0.tmp"), file);
  EXPECT_EQ(ReadFileBytes(host.program + L"data\\file.bin"), file);
  EXPECT_EQ(ReadFileBytes(host.program + L"data\\k.bin"), "JK");
  EXPECT_EQ(Ini(L"ID"), L"6");
  EXPECT_TRUE(IsFilePresent((folder + L"6\\uf_20200201000000.xml").c_str()));
  // The next check finds the description current and runs nothing.
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 0));
  EXPECT_EQ(web.Count("/up"), 1);
}

TEST_F(UpdateTest, BadDownloadsTryTheNextOffer) {
  std::string file = "payload";
  web.Route("/file", HttpOk(file));
  std::string wrongFile = Offer("/up1", "<cmd act=\"create_dir\" name=\"[$AppPath]ran1\"/>"
                                        "<cmd act=\"run\" name=\"" + web.Url("/file") + "\" md5=\"" +
                                        std::string(32, '0') + "\"/>");
  std::string wrongDocument = "<url method=\"GET\" md5=\"" + std::string(32, 'A') + "\">" + web.Url("/up1") + "</url>";
  std::string badMethod = "<url method=\"FETCH\">" + web.Url("/up1") + "</url>";
  std::string good = Offer("/up2", "<cmd act=\"create_dir\" name=\"[$AppPath]ran2\"/>"
                                   "<cmd act=\"copy_file\" name=\"" + web.Url("/file") + "\" md5=\"" +
                                   Md5Hex(file) + "\" destname=\"[$AppPath]f\"/><cmd act=\"exit\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00",
                                        "<upgrade>" + badMethod + wrongDocument + wrongFile + good + "</upgrade>")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 2));
  EXPECT_FALSE(DirectoryExists((host.program + L"ran1").c_str()));
  EXPECT_TRUE(DirectoryExists((host.program + L"ran2").c_str()));
  EXPECT_EQ(ReadFileBytes(host.program + L"f"), file);
}

TEST_F(UpdateTest, RequiredAndRestart) {
  WriteIni(L"[Version]\nID=9\nTime=2020-01-01 00:00:00\n");
  std::string offer = Offer("/up", "<cmd act=\"restart\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 0));
  web.Route("/desc",
            HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>", " required=\"yes\"")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 3));
  EXPECT_NE(web.server.Requests()[2].find("uid=9&"), std::string::npos);
  // Required again at every check, the script runs again, but its restart
  // (or quit) is obeyed once per version: no endless restarts.
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 1));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 1));
  EXPECT_EQ(web.Count("/up"), 3);
  std::string quit = Offer("/quit", "<cmd act=\"exit\"/>");
  web.Route("/desc", HttpOk(Description("7", "2020-03-01 00:00:00", "<upgrade>" + quit + "</upgrade>",
                                        " required=\"yes\"")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 2));
  EXPECT_EQ(update.RunCheck(), std::make_pair(1, 1));
  // A description without offers fails.
  web.Route("/desc", HttpOk(Description("10", "2020-02-01 00:00:00", "<upgrade/>")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
}

// The state is written only after the script ran through: a script that
// fails part-way is tried again at the next check (its commands can repeat).
TEST_F(UpdateTest, FailedScriptIsTriedAgain) {
  std::string offer = Offer("/up", "<cmd act=\"create_dir\" name=\"[$AppPath]first\"/>"
                                   "<cmd act=\"create_file\" name=\"[$WinPath]evil.dll\" data=\"4D5A\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  EXPECT_TRUE(DirectoryExists((host.program + L"first").c_str()));
  EXPECT_FALSE(IsFilePresent((host.windows + L"evil.dll").c_str()));
  EXPECT_EQ(Ini(L"ID"), L"5");
  EXPECT_FALSE(IsFilePresent((folder + L"6\\uf_20200201000000.xml").c_str()));
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  EXPECT_EQ(web.Count("/up"), 2);
}

// A script that ran but whose state cannot be saved ends the check failed:
// the program neither quits nor restarts on it.
TEST_F(UpdateTest, UnsavableStateAfterTheScriptFailsTheCheck) {
  std::string offer = Offer("/up", "<cmd act=\"create_dir\" name=\"[$AppPath]ran\"/><cmd act=\"exit\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  WriteFileBytes(folder + L"6", "a file where the folder should be");
  EXPECT_EQ(update.RunCheck(), std::make_pair(0, 0));
  EXPECT_TRUE(DirectoryExists((host.program + L"ran").c_str()));
  EXPECT_EQ(Ini(L"ID"), L"5");
}

TEST_F(UpdateTest, WorkerPostsItsResult) {
  web.Route("/desc", HttpOk(Description("5", "2020-03-01 00:00:00")));
  MessageSink sink;
  ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  EXPECT_EQ(WaitForEnd(sink), std::make_pair(1, 1));
  EXPECT_FALSE(update.IsRunning());
  EXPECT_TRUE(update.Stop());

  std::wstring text;
  EXPECT_TRUE(update.FillTemplateVars(text, L"content", L"en-GB"));
  EXPECT_EQ(text, L"en 3.0.0018 5 [$Nothing]");
  EXPECT_TRUE(update.FillTemplateVars(text, L"tip", L"EN-us"));
  EXPECT_EQ(text, L"us tip");
  EXPECT_TRUE(update.FillTemplateVars(text, L"tip", L"de-DE"));
  EXPECT_EQ(text, L"en tip");
  host.settings.SetValue(L"Appearance", L"UITextFont", L"Tahoma");
  EXPECT_TRUE(update.FillTemplateVars(text, L"content", L"en-US"));
  EXPECT_EQ(text, folder + L"5\\|Tahoma");
  EXPECT_FALSE(update.FillTemplateVars(text, L"content", L"fr"));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(update.FillTemplateVars(text, nullptr, L"en"));
  // "update.ini" changed by hand: its time names no saved file.
  WriteIni(L"[Version]\nID=5\nTime=2020-03-01 00:00:01\n");
  EXPECT_FALSE(update.FillTemplateVars(text, L"tip", L"en"));
}

TEST_F(UpdateTest, StopBreaksAStalledRequest) {
  TestServer stall;
  stall.SetDefault(ScriptedAnswer({}, 0, ScriptedAnswer::kStall));
  host.uiTexts.SetValue(L"Link", L"Update", Widen(stall.Url("/desc")) + L", " + Widen(web.Url("/desc")));
  web.Route("/desc", HttpOk(Description("5", "2020-03-01 00:00:00")));
  MessageSink sink;
  ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  EXPECT_TRUE(update.IsRunning());
  EXPECT_FALSE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  for (int i = 0; i < 200 && stall.Connections() == 0; ++i) Sleep(10);
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(update.Stop());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_FALSE(update.IsRunning());
  EXPECT_EQ(WaitForEnd(sink), std::make_pair(0, 0));  // the stop reaches the second address too
  EXPECT_EQ(web.Count("/desc"), 0);
}

// Stop gives up after its time-out while the worker is held elsewhere, and
// a later Stop collects it; the thread handle is closed.
TEST_F(UpdateTest, StopTimesOutAndClosesTheThread) {
  web.Route("/desc", HttpOk(Description("5", "2020-01-01 00:00:00")));
  DWORD handles = HandleCount();
  HANDLE hold = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  host.hold = hold;
  ASSERT_TRUE(update.Start(nullptr, WM_UPDATE_DONE));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(update.Stop(200));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_TRUE(update.IsRunning());
  SetEvent(hold);
  EXPECT_TRUE(update.Stop());
  EXPECT_FALSE(update.IsRunning());
  host.hold = nullptr;
  CloseHandle(hold);
  EXPECT_EQ(HandleCount(), handles);
}

// The script's dictionary commands run on the thread that owns the
// component (the GUI thread), while the worker waits for the answer.
TEST_F(UpdateTest, DictionaryCommandsRunOnTheGuiThread) {
  std::string offer = Offer("/up", "<cmd act=\"install_dict\" name=\"[$DataPath]n.dic\" index=\"1\"/>"
                                   "<cmd act=\"install_dict\" name=\"[$DataPath]m.dic\" grab=\"1\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  MessageSink sink;
  ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  EXPECT_EQ(WaitForEnd(sink), std::make_pair(1, 1));
  ASSERT_EQ(host.dicts.calls.size(), 6u);
  EXPECT_EQ(host.dicts.calls[4], L"group 4 101");
  for (DWORD thread : host.dicts.threads) EXPECT_EQ(thread, GetCurrentThreadId());
}

// The question before a script starts a program is asked on the GUI thread;
// a "no" fails the upgrade, which is not recorded.
TEST_F(UpdateTest, RunAsksTheUserOnTheGuiThread) {
  host.agree = false;
  std::string offer = Offer("/up", "<cmd act=\"run\" name=\"[$AppPath]setup.exe\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  MessageSink sink;
  ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  EXPECT_EQ(WaitForEnd(sink), std::make_pair(0, 0));
  EXPECT_EQ(host.asked, std::vector<std::wstring>{host.program + L"setup.exe"});
  EXPECT_EQ(host.askedOn, GetCurrentThreadId());
  EXPECT_EQ(Ini(L"ID"), L"5");
}

// A stop while a dictionary command waits for the GUI thread ends the worker
// at once; the command is then dropped, not run late.
TEST_F(UpdateTest, StopWhileADictionaryCommandWaits) {
  std::string offer = Offer("/up", "<cmd act=\"install_dict\" name=\"[$DataPath]n.dic\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>")));
  MessageSink sink;
  ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
  // Wait, without dispatching, until the command is posted.
  MSG msg;
  for (int i = 0; i < 500 && !PeekMessageW(&msg, nullptr, WM_APP, 0xBFFF, PM_NOREMOVE); ++i) Sleep(10);
  EXPECT_TRUE(update.Stop());
  EXPECT_EQ(WaitForEnd(sink).first, 0);
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_TRUE(host.dicts.calls.empty());
}

// The GUI thread reads the update store while the worker rewrites it.
TEST_F(UpdateTest, TextsAreReadWhileTheWorkerSaves) {
  std::atomic<int> second{0};
  web.Route("/desc", [&second](const std::string&) {
    char time[32];
    sprintf(time, "2021-01-01 00:00:%02d", ++second % 60);
    return HttpOk(Description("5", time));
  });
  MessageSink sink;
  int reads = 0;
  for (int check = 0; check < 5; ++check) {
    ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
    MSG msg;
    bool done = false;
    for (int i = 0; i < 100000 && !done; ++i) {
      std::wstring text;
      reads += update.FillTemplateVars(text, L"tip", L"en") ? 1 : 0;
      while (!done && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        done = msg.hwnd == sink.hwnd && msg.message == WM_UPDATE_DONE;
        if (done) {
          EXPECT_EQ(msg.wParam, 1u);
        }
        DispatchMessageW(&msg);
      }
    }
    ASSERT_TRUE(done);
  }
  EXPECT_GT(reads, 0);
  EXPECT_EQ(Ini(L"Time"), L"2021-01-01 00:00:05");
}

TEST_F(UpdateTest, ChecksInARowKeepHandlesAndMemory) {
  std::string file = "payload";
  web.Route("/file", HttpOk(file));
  std::string offer = Offer("/up", "<cmd act=\"copy_file\" name=\"" + web.Url("/file") + "\" md5=\"" + Md5Hex(file) +
                                       "\" destname=\"[$DataPath]f.bin\" overwrite=\"1\"/>");
  web.Route("/desc", HttpOk(Description("6", "2020-02-01 00:00:00", "<upgrade>" + offer + "</upgrade>",
                                        " required=\"1\"")));
  MessageSink sink;
  ExpectNoGrowth(2, 10, [&] {
    ASSERT_TRUE(update.Start(sink.hwnd, WM_UPDATE_DONE));
    EXPECT_EQ(WaitForEnd(sink), std::make_pair(1, 1));
  });
  EXPECT_EQ(web.Count("/file"), 12);
}

}  // namespace
