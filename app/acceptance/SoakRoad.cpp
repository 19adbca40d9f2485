// The soak road: one session of the real program driven for long: words
// looked up through the search bar, grab records handed to the popup the way
// scrivet hands them (WM_COPYDATA to the notify window), the dictionaries,
// options and About dialogs opened from the main menu and closed again, text
// translations from the popup's Translate button against a loopback engine,
// and update checks from the options' "Update Now" against a loopback update
// server. The program's kernel handles, GDI objects, USER objects and private
// bytes are sampled along the way and must stay flat after a warm-up.
//
// The short session (about 30 s) runs with the roads in `make test`;
// `make soak` (QUORINDO_SOAK=full) the full counts, spread over 20 rounds of
// every kind: 10,000 lookups, 2,000 popup records, 200 openings of each
// dialog, 100 translations and 20 update checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/acceptance/ResourceGauge.h"
#include "app/acceptance/Road.h"
#include "app/acceptance/SoakKit.h"
#include "app/popup/PopupMessages.h"
#include "core/ConfigFile.h"
#include "dialogs/options/OptionsRes.h"
#include "grabhook/Scrivet.h"
#include "http/tests/TestServer.h"

namespace acceptance {
namespace {

WinsockScope g_winsock;

struct SoakCounts {
  int lookups, popupRecords, dialogOpenings, translations, updateChecks;
  int rounds;  // the counts are spread over rounds of every kind
};

constexpr SoakCounts kShort = {20, 20, 2, 2, 1, 1};
constexpr SoakCounts kFull = {10000, 2000, 200, 100, 20, 20};

// The growth over the sample after the warm-up that a flat session stays under.
constexpr long kHandleGrowth = 40, kGdiGrowth = 40, kUserGrowth = 10;
constexpr double kPrivateGrowthMb = 40;

bool FullCounts() {
  wchar_t value[16];
  const DWORD n = GetEnvironmentVariableW(L"QUORINDO_SOAK", value, 16);
  return n > 0 && n < 16 && std::wstring(value) == L"full";
}

// Words of the demo dictionary, looked up in turn with words made of three
// letters between them, so the session meets thousands of different pages.
const wchar_t* const kWords[] = {L"house", L"tree", L"water", L"dog", L"cat", L"bread", L"book", L"car",
                                 L"door", L"window", L"table", L"chair", L"apple", L"milk", L"fire", L"stone",
                                 L"bird", L"fish", L"hand", L"head", L"road", L"river", L"sun", L"moon"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::wstring NthWord(int i) {
  if (i % 2 == 0) return kWords[(i / 2) % kWordCount];
  const int n = i / 2;
  return {wchar_t(L'a' + n % 26), wchar_t(L'a' + n / 26 % 26), wchar_t(L'a' + n / 676 % 26)};
}

class SoakRoad : public Road {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.IsListening());
    ScriptedAnswer answer;
    answer.respond = [this](const std::string& request) { return Answer(request); };
    server_.SetDefault(answer);
    Road::SetUp();
  }

  void Prepare() override {
    ASSERT_TRUE(PointEngineAt(Folder(), server_.Url("/translate")));
    ASSERT_TRUE(PointUpdateAt(Folder(), server_.Url("/update.xml")));
    // The options open on their Connection page, where "Update Now" is.
    ASSERT_TRUE(SetUserState(Folder(), L"App", L"ConfigPage", L"4"));
  }

  std::string Answer(const std::string& request) {
    if (request.find(" /translate") != std::string::npos)
      return HttpOk("text/html; charset=utf-8", "<result>reply " + std::to_string(++translations_) + "</result>");
    if (request.find(" /update.xml") != std::string::npos) return HttpOk("text/xml", UpdateDescription(++updates_));
    return "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  }

  void Sample(const char* when) {
    const ResourceSample sample = SampleResources(program_.Handle(), program_.Id());
    samples_.push_back(sample);
    std::printf("sample %-44s %s\n", when, Describe(sample).c_str());
    std::fflush(stdout);
  }

  // Runs steps first..first+count-1, then samples; false at the first failed step.
  bool Phase(const char* name, int first, int count, const std::function<bool(int)>& step) {
    const DWORD start = GetTickCount();
    for (int i = first; i < first + count; ++i) {
      if (!step(i)) {
        ADD_FAILURE() << name << " " << i << " failed";
        return false;
      }
    }
    const double seconds = (GetTickCount() - start) / 1000.0;
    char when[64];
    std::snprintf(when, sizeof(when), "%s %d-%d (%.2f s each)", name, first, first + count - 1,
                  count ? seconds / count : 0.0);
    Sample(when);
    return true;
  }

  // The nth lookup; every 25th of the dictionary's words is checked on the page.
  bool LookUpNth(int i) {
    MainWindow window = Window();
    const std::wstring word = NthWord(i);
    std::wstring text;
    if (window.LookUp(word) && (i % 50 != 0 || window.WaitForPageText(word, text))) return true;
    ADD_FAILURE() << "looking up " << Utf8(word) << " left the search edit at "
                  << Utf8(WindowText(window.SearchEdit())) << " and the page at: " << Utf8(text.substr(0, 300));
    return false;
  }

  TestServer server_;
  std::atomic<int> translations_{0};
  std::atomic<int> updates_{0};
  std::vector<ResourceSample> samples_;
};

TEST_F(SoakRoad, ResourcesStayFlatOverALongSession) {
  const SoakCounts counts = FullCounts() ? kFull : kShort;
  MainWindow window = Window();
  Popup popup(program_.Id());
  ASSERT_NE(popup.Window(), nullptr) << "the popup window is not made";
  const DWORD process = program_.Id();

  auto popupRecord = [&](int i) { return popup.Show(NthWord(i)) && popup.Hide(); };
  auto translation = [&](int i) {
    const int before = translations_;
    if (!popup.Show(NthWord(2 * i))) return false;
    Click(popup.TranslateButton());
    std::wstring text;
    return WaitFor([&] { return translations_ > before; }) &&
           window.WaitForPageText(L"reply " + std::to_wstring(translations_), text);
  };
  auto updateCheck = [&](int) {
    const int before = updates_;
    HWND dialog = OpenFromMainMenu(window, kMenuConfiguration);
    if (!dialog) return false;
    HWND now = Control(dialog, nullptr, IDC_CN_UPDATENOW);
    if (!now) return false;
    Click(now);
    const std::wstring time = UpdateTime(before + 1);
    const bool checked = WaitFor([&] { return FileText(Folder() + L"update\\update.ini").find(time) != std::wstring::npos; });
    return CloseDialog(process, dialog) && checked;
  };
  auto openings = [&](int) {
    for (MainMenuItem item : {kMenuDictionaries, kMenuConfiguration, kMenuAbout}) {
      HWND dialog = OpenFromMainMenu(window, item);
      if (!dialog || !CloseDialog(process, dialog)) return false;
    }
    return true;
  };

  // Warm-up: one of each, so what is made once and kept (caches, the
  // dialogs' images, the connection's library) is in the baseline.
  ASSERT_TRUE(LookUpNth(0));
  ASSERT_TRUE(popupRecord(0));
  ASSERT_TRUE(openings(0));
  ASSERT_TRUE(translation(0));
  ASSERT_TRUE(updateCheck(0));
  Screenshot(L"warm");
  Sample("after warm-up");

  bool going = true;
  const int rounds = counts.rounds;
  for (int r = 0; r < rounds && going; ++r) {
    std::printf("round %d of %d\n", r + 1, rounds);
    auto share = [&](int total) { return total * (r + 1) / rounds - total * r / rounds; };
    auto first = [&](int total) { return 1 + total * r / rounds; };
    going = Phase("lookups", first(counts.lookups), share(counts.lookups), [&](int i) { return LookUpNth(i); }) &&
            Phase("popup records", first(counts.popupRecords), share(counts.popupRecords), popupRecord) &&
            Phase("dialog openings", first(counts.dialogOpenings), share(counts.dialogOpenings), openings) &&
            Phase("translations", first(counts.translations), share(counts.translations), translation) &&
            Phase("update checks", first(counts.updateChecks), share(counts.updateChecks), updateCheck);
    if (r == 0) Screenshot(L"round");
  }
  EXPECT_TRUE(going);
  EXPECT_TRUE(LookUpNth(0)) << "the program no longer looks words up";

  const ResourceSample& base = samples_.front();
  for (const ResourceSample& s : samples_) {
    EXPECT_LE(s.handles - base.handles, kHandleGrowth) << Describe(s) << " after " << Describe(base);
    EXPECT_LE(s.gdi - base.gdi, kGdiGrowth) << Describe(s) << " after " << Describe(base);
    EXPECT_LE(s.user - base.user, kUserGrowth) << Describe(s) << " after " << Describe(base);
    EXPECT_LE(s.privateMb - base.privateMb, kPrivateGrowthMb) << Describe(s) << " after " << Describe(base);
  }
  std::printf("measured by: %s\n", base.how.c_str());
}

}  // namespace
}  // namespace acceptance
