// The text-translation road: the form opens from the guide's row, the view
// bar's button and the popup's button; typing goes into its text box; the
// engine and language lists refill one another; Translate against a loopback
// engine shows its reply, and a refused connection or a failed request shows
// the error text, never the waiting text for good. The copy's engine
// definitions point the shipped engine at the loopback server and add a
// second engine, whose address refuses connections.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/acceptance/CopySettings.h"
#include "app/acceptance/DialogKit.h"
#include "app/acceptance/Road.h"
#include "app/popup/PopupRes.h"
#include "core/ConfigFile.h"
#include "dialogs/options/OptionsRes.h"
#include "http/tests/TestServer.h"

namespace acceptance {
namespace {

constexpr char kReply[] = "Guten Morgen";
constexpr int kPopupTranslateButton = 172;


// A port of the loopback that refuses connections: bound, never listening.
class RefusingPort {
 public:
  RefusingPort() {
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (socket_ != INVALID_SOCKET && bind(socket_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      port_ = ntohs(address.sin_port);
  }
  ~RefusingPort() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  uint16_t Port() const { return port_; }

 private:
  SOCKET socket_ = INVALID_SOCKET;
  uint16_t port_ = 0;
};

std::string Joined(const std::vector<std::wstring>& items) {
  std::wstring all;
  for (const std::wstring& item : items) all += (all.empty() ? L"" : L", ") + item;
  return Utf8(all);
}

bool IsDropped(HWND combo) { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }

class TextTranslationRoad : public Road {
 protected:
  void Prepare() override {
    ASSERT_TRUE(server_.IsListening());
    ASSERT_NE(refusing_.Port(), 0);
    // The first translation gets the reply; every later one the server's 500.
    ScriptedAnswer reply;
    reply.respond = [](const std::string&) {
      const std::string body = std::string("<html><result>") + kReply + "</result></html>";
      return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
             std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    server_.Queue(reply);
    const std::wstring loopback = Wide(server_.Url("/translate"));
    const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(refusing_.Port()) + L"/translate";
    ASSERT_TRUE(EditEngines(Folder(), [&](std::wstring& xml) {
      const size_t begin = xml.find(L"<engine id=\"1\">"), end = xml.find(L"</engine>");
      if (begin == std::wstring::npos || end == std::wstring::npos) return;
      std::wstring second = xml.substr(begin, end + 9 - begin);
      const size_t url = second.find(kShippedEngineUrl);
      if (url != std::wstring::npos) second.replace(url, wcslen(kShippedEngineUrl), refused);
      second.replace(second.find(L"id=\"1\""), 6, L"id=\"2\"");
      const size_t name = second.find(L"<name>"), nameEnd = second.find(L"</name>");
      second.replace(name, nameEnd - name, L"<name>Second Engine");
      const size_t langs = second.find(L"<lang "), langsEnd = second.find(L"<transform");
      second.replace(langs, langsEnd - langs, L"<lang from=\"fr\" to=\"it\"/>\n");
      xml.insert(end + 9, L"\n" + second);
      const size_t shipped = xml.find(kShippedEngineUrl);
      if (shipped != std::wstring::npos) xml.replace(shipped, wcslen(kShippedEngineUrl), loopback);
    })) << "the copy's engine definitions cannot be changed";
  }

  // The form's controls on the result page: the text box, and the lists of
  // engines, source and target languages.
  HWND TextBox() { return Window().FormTextBox(); }
  std::vector<HWND> Lists() { return Window().FormLists(); }

  bool WaitForForm() {
    return WaitFor([this] { return TextBox() != nullptr && Lists().size() == 3; });
  }

  // The list moved one item down or up with the keyboard, as a user does once
  // it has the focus: clicked open and closed again, then the arrow key.
  bool StepList(HWND list, WORD key) {
    Click(list);
    if (!WaitFor([list] { return IsDropped(list); })) return false;
    Click(list);
    if (!WaitFor([list] { return !IsDropped(list) && FocusOf(list) == list; })) return false;
    PressKey(key);
    return true;
  }

  // Waits until the page shows part (and no longer the waiting text).
  bool WaitForAnswer(const std::wstring& part, std::wstring& text) {
    MainWindow window = Window();
    return WaitFor([&] {
      text = window.PageText();
      return text.find(part) != std::wstring::npos && text.find(kWaiting) == std::wstring::npos;
    });
  }

  WinsockScope winsock_;
  TestServer server_;
  RefusingPort refusing_;
};

TEST_F(TextTranslationRoad, GuideRowOpensTheFormWhoseListsAndTranslateWork) {
  MainWindow window = Window();
  // The guide before any lookup: the heading "Actions", then its rows, the
  // text translation first; its texts right of the column of icons.
  HWND guide = window.GuidePage();
  ASSERT_NE(guide, nullptr);
  RECT texts = {};
  GetClientRect(guide, &texts);
  texts.left = texts.right / 4;
  std::vector<RECT> rows;
  ASSERT_TRUE(WaitFor([&] {
    rows = InkLines(guide, &texts);
    return rows.size() >= 3;
  })) << "the guide shows " << rows.size() << " lines";
  Click(guide, (rows[1].left + rows[1].right) / 2, (rows[1].top + rows[1].bottom) / 2);
  ASSERT_TRUE(WaitForForm()) << "the guide's text-translation row opened no form";
  Screenshot(L"form");

  // Typing goes into the form's box, not to the search bar.
  HWND box = TextBox();
  ASSERT_TRUE(ClickToFocus(box));
  TypeText(L"good morning");
  EXPECT_TRUE(WaitFor([box] { return WindowText(box) == L"good morning"; })) << Utf8(WindowText(box));
  EXPECT_EQ(WindowText(window.SearchEdit()), L"") << "the typed text went to the search bar";

  // The lists: the engines, the shipped engine's sources, the targets of English.
  std::vector<HWND> lists = Lists();
  const std::vector<std::wstring> engines = {L"Web Translator", L"Second Engine"};
  EXPECT_EQ(ComboItems(lists[0]), engines) << Joined(ComboItems(lists[0]));
  EXPECT_EQ(WindowText(lists[0]), L"Web Translator");
  EXPECT_EQ(ComboItems(lists[1]).size(), 3u) << Joined(ComboItems(lists[1]));
  const std::vector<std::wstring> fromEnglish = ComboItems(lists[2]);
  EXPECT_EQ(fromEnglish.size(), 4u) << Joined(fromEnglish);

  // Another source language refills the targets with its own.
  const std::wstring english = WindowText(lists[1]);
  ASSERT_TRUE(StepList(lists[1], VK_DOWN));
  ASSERT_TRUE(WaitFor([&] { return WindowText(lists[1]) != english; })) << "the source list did not move";
  EXPECT_TRUE(WaitFor([&] { return ComboItems(lists[2]).size() == 2; }))
      << "targets of " << Utf8(WindowText(lists[1])) << ": " << Joined(ComboItems(lists[2]));
  // The first translation: the loopback engine's reply, for the chosen pair.
  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  std::wstring text;
  EXPECT_TRUE(WaitForAnswer(Wide(kReply), text)) << "after Translate: " << Utf8(text);
  const std::string request = server_.LastRequest();
  EXPECT_NE(request.find("good"), std::string::npos) << request;
  EXPECT_NE(request.find("morning"), std::string::npos) << request;
  Screenshot(L"reply");

  // A request the engine fails (status 500) shows its error.
  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  EXPECT_TRUE(WaitForAnswer(kRequestFailed, text)) << "after a failed request: " << Utf8(text);
  EXPECT_EQ(text.find(Wide(kReply)), std::wstring::npos) << Utf8(text);

  // The second engine: its one source and target; its address refuses.
  ASSERT_TRUE(StepList(lists[0], VK_DOWN));
  EXPECT_TRUE(WaitFor([&] { return WindowText(lists[0]) == L"Second Engine"; })) << Utf8(WindowText(lists[0]));
  EXPECT_TRUE(WaitFor([&] { return ComboItems(lists[1]).size() == 1 && ComboItems(lists[2]).size() == 1; }))
      << "sources: " << Joined(ComboItems(lists[1])) << "; targets: " << Joined(ComboItems(lists[2]));
  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  EXPECT_TRUE(WaitForAnswer(kConnectFailed, text)) << "after a refused connection: " << Utf8(text);
  Screenshot(L"refused");

  // Back to the first engine: its lists again.
  ASSERT_TRUE(StepList(lists[0], VK_UP));
  EXPECT_TRUE(WaitFor([&] { return WindowText(lists[0]) == L"Web Translator" && ComboItems(lists[1]).size() == 3; }))
      << Utf8(WindowText(lists[0])) << ": " << Joined(ComboItems(lists[1]));
}

TEST_F(TextTranslationRoad, ViewBarButtonOpensTheFormWithTheLookedUpWord) {
  MainWindow window = Window();
  ASSERT_TRUE(window.LookUp(L"house"));
  std::wstring text;
  ASSERT_TRUE(window.WaitForPageText(L"Haus", text)) << Utf8(text);
  HWND button = window.Button(IDC_VIEW_TRANSLATE);
  ASSERT_NE(button, nullptr) << "no Translate button on the view bar";
  Click(button);
  ASSERT_TRUE(WaitFor([&] { return TextBox() && WindowText(TextBox()) == L"house"; }))
      << "the view bar's button opened no form with the word";
  // Only the form: the dictionaries' entries are gone, nothing was sent.
  EXPECT_TRUE(WaitFor([&] {
    text = window.PageText();
    return text.find(L"Haus") == std::wstring::npos;
  })) << Utf8(text);
  EXPECT_EQ(server_.Connections(), 0);
  Screenshot(L"form");
}

// A proxy port stored outside 1-65535 ("config.ini" edited by hand) is no
// port: cut to 16 bits it named a listener of the loopback, which got the
// request. Translating now reaches neither that listener nor the engine.
class WrappedProxyPortRoad : public TextTranslationRoad {
 protected:
  void Prepare() override {
    TextTranslationRoad::Prepare();
    ASSERT_TRUE(wrapped_.IsListening());
    const std::wstring config = Folder() + L"config.ini";
    ASSERT_TRUE(SetSetting(config, L"Connection", L"Connect", L"1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyServer", L"127.0.0.1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyPort", std::to_wstring(wrapped_.Port() + 65536u)));
  }

  TestServer wrapped_;
};

TEST_F(WrappedProxyPortRoad, NothingGoesToTheWrappedPort) {
  ASSERT_TRUE(Window().OpenTranslationForm(L"house", L"Haus")) << "no form for the looked-up word";
  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  std::wstring text;
  EXPECT_TRUE(WaitForAnswer(kConnectFailed, text)) << "after Translate: " << Utf8(text);
  EXPECT_EQ(wrapped_.Connections(), 0) << wrapped_.LastRequest();
  EXPECT_EQ(server_.Connections(), 0) << "the request went past the proxy: " << server_.LastRequest();
}

// A proxy that asks for credentials (407, Basic): the user is asked, a wrong
// answer is refused once and said so, a cancel says what the proxy wants,
// and a right answer, remembered, translates now and later without asking.
constexpr char kProxyCredentials[] = "Proxy-Authorization: Basic YW5uYTpzZWNyZXQ=";  // anna:secret
constexpr wchar_t kProxyTitle[] = L"Proxy Authentication - Test proxy";
constexpr wchar_t kAuthRequired[] = L"The proxy server asks for a user name and password.";
constexpr wchar_t kAuthRefused[] = L"The proxy server refused the user name and password.";

class ProxyAuthRoad : public TextTranslationRoad {
 protected:
  void Prepare() override {
    TextTranslationRoad::Prepare();
    ASSERT_TRUE(proxy_.IsListening());
    ScriptedAnswer answer;
    answer.respond = [](const std::string& request) -> std::string {
      if (request.find(kProxyCredentials) == std::string::npos)
        return "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"Test proxy\"\r\n"
               "Content-Length: 0\r\n\r\n";
      const std::string body = std::string("<html><result>") + kReply + "</result></html>";
      return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
             std::to_string(body.size()) + "\r\n\r\n" + body;
    };
    proxy_.SetDefault(answer);
    const std::wstring config = Folder() + L"config.ini";
    ASSERT_TRUE(SetSetting(config, L"Connection", L"Connect", L"1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyServer", L"127.0.0.1"));
    ASSERT_TRUE(SetSetting(config, L"Connection", L"ProxyPort", std::to_wstring(proxy_.Port())));
  }

  // Translate, then the credentials dialog: null when it did not come.
  HWND TranslateAndWaitForDialog() {
    if (!Window().ClickTranslate()) return nullptr;
    return WaitForTopWindow(program_.Id(), L"#32770", kProxyTitle);
  }

  void Answer(HWND dialog, const std::wstring& user, const std::wstring& password, bool remember) {
    ASSERT_TRUE(ClickToFocus(DialogItem(dialog, IDC_AU_USER)));
    TypeText(user);
    ASSERT_TRUE(ClickToFocus(DialogItem(dialog, IDC_AU_PASSWORD)));
    TypeText(password);
    HWND box = DialogItem(dialog, IDC_AU_REMEMBER);
    if (IsChecked(box) != remember) Click(box);
    ASSERT_TRUE(WaitFor([&] { return IsChecked(box) == remember; }));
    Click(DialogItem(dialog, IDOK));
    ASSERT_TRUE(WaitUntilGone(dialog));
  }

  // The enciphered credentials "config.ini" holds.
  std::wstring StoredCredentials() {
    CConfigFile config;
    config.Load((Folder() + L"config.ini").c_str(), nullptr, CConfigFile::kReplaceStore, 0);
    return config.GetString(L"Connection", L"ProxyAuth", L"");
  }

  TestServer proxy_;
};

TEST_F(ProxyAuthRoad, AsksForCredentialsAndSaysWhatTheProxyRefused) {
  ASSERT_TRUE(Window().OpenTranslationForm(L"house", L"Haus")) << "no form for the looked-up word";
  std::wstring text;

  // Cancelled: what the proxy wants, and where to give it.
  HWND dialog = TranslateAndWaitForDialog();
  ASSERT_NE(dialog, nullptr) << "the proxy's 407 asked nothing";
  Screenshot(L"asked");
  Click(DialogItem(dialog, IDCANCEL));
  ASSERT_TRUE(WaitUntilGone(dialog));
  EXPECT_TRUE(WaitForAnswer(kAuthRequired, text)) << "after a cancel: " << Utf8(text);
  EXPECT_EQ(proxy_.Connections(), 1);

  // A wrong password, not remembered: sent once more, refused, said so.
  dialog = TranslateAndWaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Answer(dialog, L"anna", L"wrong", false);
  EXPECT_TRUE(WaitForAnswer(kAuthRefused, text)) << "after a wrong password: " << Utf8(text);
  EXPECT_EQ(proxy_.Connections(), 3) << "one retry, no more";
  EXPECT_NE(proxy_.LastRequest().find("Proxy-Authorization: Basic "), std::string::npos) << proxy_.LastRequest();
  EXPECT_EQ(StoredCredentials(), L"") << "stored unasked";

  // The right one, remembered: the translation, and "config.ini" keeps it.
  dialog = TranslateAndWaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Answer(dialog, L"anna", L"secret", true);
  EXPECT_TRUE(WaitForAnswer(Wide(kReply), text)) << "after the right password: " << Utf8(text);
  EXPECT_NE(StoredCredentials(), L"") << "not remembered";
  Screenshot(L"translated");

  // Remembered: the next translation goes through at once.
  const int before = proxy_.Connections();
  ASSERT_TRUE(Window().ClickTranslate()) << "no Translate link on the form";
  EXPECT_TRUE(WaitFor([&] { return proxy_.Connections() == before + 1; }));
  EXPECT_TRUE(WaitForAnswer(Wide(kReply), text)) << Utf8(text);
  EXPECT_NE(proxy_.LastRequest().find(kProxyCredentials), std::string::npos) << proxy_.LastRequest();
  EXPECT_TRUE(TopWindows(program_.Id(), L"#32770", kProxyTitle, true).empty()) << "asked again";
  EXPECT_EQ(server_.Connections(), 0) << "a request went past the proxy";
}

// The popup shows a copied word (the clipboard translator is on in this
// copy); its Translate button brings the main window with the form, which
// translates the word at once.
class PopupTranslationRoad : public TextTranslationRoad {
 protected:
  void Prepare() override {
    TextTranslationRoad::Prepare();
    ASSERT_TRUE(SetSetting(Folder() + L"user.ini", L"App", L"EnableClipboard", L"y"));
  }
};

TEST_F(PopupTranslationRoad, PopupButtonOpensTheFormAndTranslatesTheWord) {
  MainWindow window = Window();
  // The tray icon comes last at start, after the clipboard translator is on.
  ASSERT_TRUE(WaitFor([] { return TrayIcon() != nullptr; })) << "no tray icon";
  ASSERT_TRUE(SetClipboardText(L"morning"));
  HWND button = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND top : TopWindows(program_.Id(), nullptr, nullptr, true))
      if (top != window.Frame() && (button = Control(top, nullptr, kPopupTranslateButton))) return true;
    return false;
  })) << "no popup with a Translate button came for the copied word";
  std::string why;
  EXPECT_TRUE(WaitFor([&] { return LooksPainted(GetAncestor(button, GA_ROOT), why); })) << "popup: " << why;
  Screenshot(L"popup");
  Click(button);
  ASSERT_TRUE(WaitForForm()) << "the popup's button opened no form";
  EXPECT_TRUE(WaitFor([&] { return WindowText(TextBox()) == L"morning"; })) << Utf8(WindowText(TextBox()));
  EXPECT_TRUE(IsWindowVisible(window.Frame()));
  // The form translated the word at once.
  EXPECT_TRUE(WaitFor([&] { return server_.Connections() == 1; }));
  EXPECT_NE(server_.LastRequest().find("morning"), std::string::npos) << server_.LastRequest();
  Screenshot(L"form");
}

}  // namespace
}  // namespace acceptance
