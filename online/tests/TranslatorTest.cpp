#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/XmlDocument.h"
#include "dict/DictHost.h"
#include "online/TextTranslator.h"
#include "online/tests/OnlineTestHost.h"

namespace {

WinsockScope g_winsock;

const wchar_t kKeyText[] = L"0123456789ABCDEFFEDCBA9876543210";

// The dictionary engine's host as the translator sees it, over a TestHost.
class TranslatorDictHost : public IDictHost {
 public:
  explicit TranslatorDictHost(TestHost& host) : m_host(host), m_fallback(DictHost()) { SetDictHost(this); }
  ~TranslatorDictHost() override { SetDictHost(nullptr); }
  std::wstring GetUiText(const wchar_t* section, const wchar_t* key, int index) override {
    return m_host.uiTexts.GetString(section, key, nullptr, index);
  }
  std::wstring GetSetting(const wchar_t* section, const wchar_t* key) override {
    return m_host.settings.GetString(section, key);
  }
  std::wstring GetDataFolder() override { return m_host.GetDataFolder(); }
  std::wstring GetDictFolder() override { return m_host.program + L"dict\\"; }
  std::wstring GetTempFolder() override { return m_host.GetTempFolder(); }
  std::wstring GetIconFolder() override { return m_host.GetIconFolder(); }
  std::wstring GetImageFolder() override { return m_host.GetImageFolder(); }
  std::wstring GetUiLanguageCode() override { return m_host.language; }
  std::wstring GetUiFontName() override { return {}; }
  std::wstring GetUiFontSize() override { return {}; }
  uint32_t GetLanguageLocale(const wchar_t*) override { return 1024; }
  int MatchLanguageCode(const wchar_t* a, const wchar_t* b) override { return m_fallback.MatchLanguageCode(a, b); }
  std::wstring GetLanguageName(const wchar_t* code) override { return code; }
  void ShowMessage(const wchar_t*, const wchar_t*, uint32_t) override {}
  void SetTranslatorSourceText(const std::wstring&) override {}
  void BuildTranslatorFormPage(std::wstring& html, bool, bool) override { html.clear(); }

 private:
  TestHost& m_host;
  IDictHost& m_fallback;
};

bool AskNobody(void*, std::string&, std::string&) { return false; }

std::wstring Attr(const std::string& text) { return Widen(text); }

// An echo of the request inside the reply's markers.
std::string Echo(const std::string& request) { return HttpOk("<t>" + request + "</t>"); }

class TranslatorTest : public testing::Test {
 protected:
  TranslatorTest() : host(box.Path()), dictHost(host) {
    host.language = L"de";
    host.uiTexts.SetValue(L"", L"3", kKeyText);
    host.uiTexts.SetValue(L"TextTranslation", L"ParseResultFailed", L"No [$TextSrc] by [$Engine] [$LangSrc]>[$LangDest]");
    host.uiTexts.SetValue(L"FontSize", L"Big", L"0x12, 9");
    host.settings.SetValue(L"Appearance", L"FontSize", L"Big");
    host.settings.SetValue(L"Appearance", L"TextFont", L"Arial");
    web.Route("/t", Echo);
  }

  // Engine 3 (GET, UTF-8, pair-specific templates for zh to en in GBK) and
  // engine 16 (POST in code page 1252), saved enciphered as "tt\tt.xmc".
  bool WriteDefinitions(const std::wstring& extraEngines = L"", const std::wstring& key = kKeyText) {
    std::wstring url = Attr(web.Url("/t")), stalled = Attr(stall.Url("/stall"));
    std::wstring xml =
        L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<tt>"
        L"<engine id=\"3\"><name zh=\"Zh\" zh-CN=\"ZhCn\">Echo</name>"
        L"<translate><lang from=\"en\" to=\"fr, de, it,es, it, zh\"/><lang from=\"zh\" to=\"en\"/>"
        L"<transform en=\"EN\" zh=\"zh-CHS\" de=\"DE\"/></translate>"
        L"<request><url en2it=\"" + stalled + L"\">" + url + L"</url><method>get</method>"
        L"<param q=\"[$TextSrc]\" sl=\"[$LangSrc]\" tl=\"[$LangDest]\"/>"
        L"<cookie sid=\"[$TextSrc]\" k=\"v\"/><referer>http://ref.example/page</referer><charset/>"
        L"<maxlength>0x10</maxlength></request>"
        L"<request_zh2en><url>" + url + L"</url><method>POST</method><param q=\"[$TextSrc]\"/><cookie/>"
        L"<referer/><charset codepage=\"936\"/><maxlength>100</maxlength></request_zh2en>"
        L"<response><parse_result><regex>&lt;t&gt;(.*?)&lt;/t&gt;</regex></parse_result><charset codepage=\"0\"/></response>"
        L"<response_zh2en><parse_result><regex>&lt;t&gt;(.*?)&lt;/t&gt;</regex></parse_result>"
        L"<charset codepage=\"936\"/></response_zh2en>"
        L"<copyright>(c) Echo</copyright></engine>"
        L"<engine id=\"0x10\"><name>Latin</name><translate><lang from=\"fr\" to=\"en\"/><transform/></translate>"
        L"<request><url>" + Attr(web.Url("/post")) + L"</url><method>POST</method><param text=\"[$TextSrc]\"/>"
        L"<cookie/><referer/><charset codepage=\"1252\"/><maxlength>50</maxlength></request>"
        L"<response><parse_result><regex>&lt;t&gt;(.*?)&lt;/t&gt;</regex></parse_result><charset codepage=\"1252\"/>"
        L"</response></engine>" +
        extraEngines +
        L"<ui><wait_request>W[$Content]</wait_request><err_msg>E[$Content]</err_msg>"
        L"<parse_failed>P[$Content]|[$FontSize]|[$TextFont]|[$ImgPath]</parse_failed></ui></tt>";
    CXmlDocument document;
    if (!document.Parse(xml.c_str(), kXmlAllFlags)) return false;
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) HexPairToByte(&bytes[i], key[2 * i], key[2 * i + 1]);
    CreateDirectoryPath((host.GetDataFolder() + L"tt").c_str());
    return document.SaveFile((host.GetDataFolder() + L"tt\\tt.xmc").c_str(), 0, nullptr, bytes);
  }

  // Translates and waits for the end message; the HttpResult, -1 on a time-out.
  int TranslateAndWait(const std::wstring& text, uint32_t* number = nullptr) {
    uint32_t posted = translator.Translate(text, sink.hwnd, WM_TRANSLATE_DONE);
    if (number) *number = posted;
    if (!posted) return -2;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (!sink.Wait(WM_TRANSLATE_DONE, wParam, lParam)) return -1;
    EXPECT_EQ(static_cast<uint32_t>(lParam), posted);
    return static_cast<int>(wParam);
  }

  std::wstring Result() {
    std::wstring out;
    translator.GetResultText(out);
    return out;
  }

  TempFolder box;
  TestHost host;
  TranslatorDictHost dictHost;
  RoutingServer web;
  TestServer stall;
  MessageSink sink;
  CTextTranslator translator;
};

TEST_F(TranslatorTest, DefinitionsLoadOnlyWithTheirKey) {
  EXPECT_FALSE(translator.Load());  // no file
  ASSERT_TRUE(WriteDefinitions(L"", L"FFFFFFFFFFFFFFFF0000000000000000"));
  EXPECT_FALSE(translator.Load());
  EXPECT_EQ(translator.GetEngineNumber(), 0u);
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  EXPECT_EQ(translator.GetEngineNumber(), 3u);
  EXPECT_EQ(translator.GetSourceLanguage(), L"en");
  EXPECT_EQ(translator.GetTargetLanguage(), L"de");  // the interface language
  std::vector<CXmlNode*> engines;
  EXPECT_EQ(translator.GetEngines(engines), 2u);
  std::wstring name;
  translator.GetEngineName(name, engines[0], L"zh-CN");
  EXPECT_EQ(name, L"ZhCn");
  translator.GetEngineName(name, engines[0], L"zh-TW");
  EXPECT_EQ(name, L"Zh");
  translator.GetEngineName(name, engines[1], L"zh-CN");
  EXPECT_EQ(name, L"Latin");
}

TEST_F(TranslatorTest, EnginesAndLanguagesStayConsistent) {
  ASSERT_TRUE(WriteDefinitions(L"<engine id=\"5\"><name>Bare</name></engine>"));
  ASSERT_TRUE(translator.Load());
  std::vector<std::wstring> targets;
  ASSERT_TRUE(translator.GetTargetLanguages(targets, translator.GetCurrentEngine(), L"en"));
  EXPECT_EQ(targets, (std::vector<std::wstring>{L"fr", L"de", L"it,es", L"it", L"zh"}));
  std::wstring chosen;
  translator.SelectSourceLanguage(chosen, L"xx");
  EXPECT_EQ(chosen, L"en");
  translator.SelectTargetLanguage(chosen, L"es");
  EXPECT_EQ(chosen, L"fr");
  translator.SelectSourceLanguage(chosen, L"zh");
  EXPECT_EQ(translator.GetTargetLanguage(), L"en");
  EXPECT_FALSE(translator.SelectEngine(99));
  EXPECT_EQ(translator.GetEngineNumber(), 3u);
  ASSERT_TRUE(translator.SelectEngine(16));
  EXPECT_EQ(translator.GetSourceLanguage(), L"fr");
  EXPECT_EQ(translator.GetTargetLanguage(), L"en");
  ASSERT_TRUE(translator.SelectEngine(5));
  EXPECT_EQ(translator.GetSourceLanguage(), L"");
  EXPECT_EQ(translator.GetTargetLanguage(), L"");
  EXPECT_EQ(translator.Translate(L"text", sink.hwnd, WM_TRANSLATE_DONE), 0u);
  EXPECT_EQ(translator.GetSourceText(), L"text");
}

TEST_F(TranslatorTest, StatusPagesAndLanguageCodes) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  std::wstring page;
  EXPECT_TRUE(translator.BuildUiPage(page, L"parse_failed", L"x"));
  EXPECT_EQ(page, L"Px|18|Arial|" + host.GetImageFolder());
  EXPECT_TRUE(translator.BuildUiPage(page, L"wait_request", L"[$Content]"));
  EXPECT_EQ(page, L"W[$Content]");
  EXPECT_FALSE(translator.BuildUiPage(page, L"form", L"x"));
  EXPECT_TRUE(page.empty());
  EXPECT_FALSE(translator.BuildUiPage(page, L"", L"x"));
  CXmlNode* transform = translator.GetCurrentEngine()->FindPath(L"/translate/transform");
  translator.MapLanguageCode(page, L"zh", transform);
  EXPECT_EQ(page, L"zh-CHS");
  translator.MapLanguageCode(page, L"ZH", transform);
  EXPECT_EQ(page, L"ZH");
  translator.MapLanguageCode(page, L"fr", nullptr);
  EXPECT_EQ(page, L"fr");
}

TEST_F(TranslatorTest, GetRequestFromTheTemplates) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  std::wstring text = L"hello world and more than sixteen";
  EXPECT_EQ(TranslateAndWait(text), kHttpResultOk);
  std::string request = web.server.LastRequest();
  EXPECT_EQ(request.find("GET /t?q=hello%20world%20and%20&sl=EN&tl=DE HTTP/1.1\r\n"), 0u) << request;
  // The engine's cookies go out as written (no template expansion), percent-encoded.
  EXPECT_NE(request.find("Cookie: sid=%5B%24TextSrc%5D; k=v\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("Referer: http://ref.example/page\r\n"), std::string::npos) << request;
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result().find(L"GET /t?q=hello%20world%20and%20&amp;sl=EN&amp;tl=DE"), 0u);
  EXPECT_EQ(translator.GetSourceText(), text);
}

TEST_F(TranslatorTest, PostInCodePages936And1252) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  std::wstring chosen;
  translator.SelectSourceLanguage(chosen, L"zh");
  web.Route("/t", [](const std::string& request) {
    EXPECT_EQ(request.find("POST /t HTTP/1.1"), 0u);
    EXPECT_NE(request.find("\r\n\r\nq=%D6%D0%CE%C4"), std::string::npos) << request;
    return HttpOk("<T>\xD6\xD0\xCE\xC4</T>");
  });
  EXPECT_EQ(TranslateAndWait(L"\x4E2D\x6587"), kHttpResultOk);
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"\x4E2D\x6587");

  // A POST answered by 302 goes on to the new place.
  ASSERT_TRUE(translator.SelectEngine(16));
  web.Route("/post", [this](const std::string& request) {
    EXPECT_NE(request.find("\r\n\r\ntext=caf%E9"), std::string::npos) << request;
    return "HTTP/1.1 302 Found\r\nLocation: " + web.Url("/done") + "\r\nContent-Length: 0\r\n\r\n";
  });
  web.Route("/done", HttpOk("<t>caf\xE9 cr\xE8me</t>"));
  EXPECT_EQ(TranslateAndWait(L"caf\xE9"), kHttpResultOk);
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"caf\xE9 cr\xE8me");
  EXPECT_EQ(web.Count("/done"), 1);
}

TEST_F(TranslatorTest, RepliesThatCarryNoTranslation) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  web.Route("/t", HttpOk("<t>earlier</t>"));
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  ASSERT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  for (int status : {404, 500}) {
    web.Route("/t", HttpStatus(status, "<t>not this</t>"));
    EXPECT_EQ(TranslateAndWait(L"a"), kHttpResultStatus) << status;
    EXPECT_FALSE(translator.ParseResult(kHttpResultStatus, translator.GetRequestNumber()));
    EXPECT_EQ(Result(), L"earlier");
  }
  // A chunked body whose size no body can have: an answer, but no translation
  // and nothing of the earlier one.
  web.Route("/t", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFE\r\n<t>x</t>\r\n0\r\n\r\n");
  EXPECT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"");
  web.Route("/t", HttpOk("<html>no markers</html>"));
  EXPECT_EQ(TranslateAndWait(L"<b>x</b> y@z"), kHttpResultOk);
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"PNo bxby@z by 3 en>de|18|Arial|" + host.GetImageFolder());
}

TEST_F(TranslatorTest, OnlyTheLastRequestCounts) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  uint32_t first = 0, second = 0;
  ASSERT_EQ(TranslateAndWait(L"one", &first), kHttpResultOk);
  ASSERT_EQ(TranslateAndWait(L"two", &second), kHttpResultOk);
  EXPECT_NE(first, second);
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, first));
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, second));
  EXPECT_NE(Result().find(L"q=two"), std::wstring::npos);
}

TEST_F(TranslatorTest, CancelEndsAStalledRequest) {
  stall.SetDefault(ScriptedAnswer({}, 0, ScriptedAnswer::kStall));
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  std::wstring chosen;
  translator.SelectTargetLanguage(chosen, L"it");  // the pair attribute names the stalling server
  ASSERT_EQ(chosen, L"it");
  uint32_t number = translator.Translate(L"a", sink.hwnd, WM_TRANSLATE_DONE);
  ASSERT_NE(number, 0u);
  for (int i = 0; i < 300 && stall.Connections() == 0; ++i) Sleep(10);
  translator.Cancel();
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  ASSERT_TRUE(sink.Wait(WM_TRANSLATE_DONE, wParam, lParam));
  EXPECT_EQ(wParam, static_cast<WPARAM>(kHttpResultCancelled));
  EXPECT_EQ(static_cast<uint32_t>(lParam), number);
  EXPECT_FALSE(translator.ParseResult(kHttpResultCancelled, number));
  // Other pairs use the element's own URL.
  translator.SelectTargetLanguage(chosen, L"fr");
  web.Route("/t", HttpOk("<t>x</t>"));
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_EQ(stall.Connections(), 1);
}

TEST_F(TranslatorTest, GzipAndChunkedReplies) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  std::string gz = GzipBytes("<t>packed</t>");
  web.Route("/t", HttpOk(gz, "Content-Encoding: gzip\r\n"));
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"packed");
  web.Route("/t", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\n<t>c\r\n7\r\nhunked<\r\n3\r\n/t>\r\n0\r\n\r\n");
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"chunked");
}

// A reply declared past its limit, or one whose chunks lie about their
// sizes, fails that translation and leaves the next one working.
TEST_F(TranslatorTest, RepliesPastTheirLimit) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  web.Route("/t", "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(CTextTranslator::kMaxReply + 1) +
                      "\r\n\r\n<t>a</t>");
  EXPECT_EQ(TranslateAndWait(L"a"), kHttpResultFailed);
  std::string amplifier = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (int i = 0; i < 20000; ++i) amplifier += "FFFFFFFFFFFFFFFE\r\n";
  web.Route("/t", amplifier + "0\r\n\r\n");
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  web.Route("/t", HttpOk("<t>fine</t>"));
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  EXPECT_EQ(Result(), L"fine");
}

// The reply is shown as text: no link, script or handler of the engine's
// page can run, and no "app://" command can be reached from it.
TEST_F(TranslatorTest, MarkupInTheReplyIsNeverLive) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  struct Case {
    const char* reply;
    const wchar_t* shown;
  } cases[] = {
      {"<t>Hi <a href=\"app://quit\">there</a>!</t>", L"Hi there!"},
      {"<t>a<script>location='app://x'</script>b<STYLE>p{}</STYLE>c</t>", L"abc"},
      {"<t>line<br/>next<BR>last</t>", L"line<br>next<br>last"},
      {"<t>&lt;a href=&quot;app://x&quot;&gt; &amp; &#65;</t>", L"&lt;a href=&quot;app://x&quot;&gt; &amp; A"},
      {"<t><img src=x onerror=\"go('app://quit')\">1 < 2 > 0 & \"q\"</t>", L"1 &lt; 2 &gt; 0 &amp; &quot;q&quot;"},
      {"<t><scr<script></script>ipt>bad</t>", L"ipt&gt;bad"},
      {"<t>x<script>never closed</t>", L"x"},
      {"<t>a<!-- <b>x</b> -->b<!-- open</t>", L"ab&lt;!-- open"},
  };
  for (const Case& c : cases) {
    web.Route("/t", HttpOk(c.reply));
    ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
    EXPECT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber())) << c.reply;
    EXPECT_EQ(Result(), c.shown) << c.reply;
  }
}

TEST_F(TranslatorTest, BrokenTemplatesAndPatterns) {
  std::wstring extra =
      L"<engine id=\"7\"><translate><lang from=\"en\" to=\"fr, de, es\"/><transform/></translate>"
      L"<request><url>" + Attr(web.Url("/t")) + L"</url><method>GET</method><param q=\"[$TextSrc]\"/><cookie/>"
      L"<referer/><charset/><maxlength>zero</maxlength></request>"
      L"<request_en2de><url>" + Attr(web.Url("/t")) + L"</url><method>PUT</method><param/><cookie/><referer/>"
      L"<charset/><maxlength>9</maxlength></request_en2de>"
      L"<response><parse_result><regex>(?:x)</regex></parse_result><charset/></response>"
      L"<response_en2fr><parse_result><regex>(unclosed</regex></parse_result><charset/></response_en2fr></engine>"
      L"<engine id=\"8\"><translate><lang from=\"en\" to=\"fr\"/></translate></engine>";
  ASSERT_TRUE(WriteDefinitions(extra));
  ASSERT_TRUE(translator.Load());
  ASSERT_TRUE(translator.SelectEngine(7));
  std::wstring chosen;
  translator.SelectTargetLanguage(chosen, L"fr");
  web.Route("/t", HttpOk("x"));
  ASSERT_EQ(TranslateAndWait(L"abc"), kHttpResultOk);  // maxlength "zero" sends no text
  EXPECT_EQ(web.server.LastRequest().find("GET /t?q= HTTP/1.1"), 0u) << web.server.LastRequest();
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));  // does not compile
  EXPECT_EQ(Result(), L"");
  translator.SelectTargetLanguage(chosen, L"es");
  ASSERT_EQ(TranslateAndWait(L"abc"), kHttpResultOk);
  EXPECT_FALSE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));  // no group 1
  EXPECT_EQ(Result(), L"");
  translator.SelectTargetLanguage(chosen, L"de");
  EXPECT_EQ(translator.Translate(L"abc", sink.hwnd, WM_TRANSLATE_DONE), 0u);  // PUT is refused
  ASSERT_TRUE(translator.SelectEngine(8));
  EXPECT_EQ(translator.Translate(L"abc", sink.hwnd, WM_TRANSLATE_DONE), 0u);  // no transform, no request
}

TEST_F(TranslatorTest, ProxyFromTheConnectionSetting) {
  TestServer proxy;
  ScriptedAnswer echo;
  echo.respond = Echo;
  proxy.SetDefault(echo);
  host.proxyHost = L"127.0.0.1";
  host.proxyPort = proxy.Port();
  translator.SetConnection(&host, AskNobody);
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  std::string request = proxy.LastRequest();
  EXPECT_EQ(request.find("GET " + web.Url("/t?q=a")), 0u) << request;
  EXPECT_NE(request.find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ="), std::string::npos) << request;
  EXPECT_EQ(web.server.Connections(), 0);
  EXPECT_EQ(translator.GetSessionCredentialCallback(), &AskNobody);
  host.proxyHost.clear();
  ASSERT_EQ(TranslateAndWait(L"a"), kHttpResultOk);
  EXPECT_EQ(web.server.Connections(), 1);
  EXPECT_EQ(translator.GetSessionCredentialCallback(), nullptr);
}

TEST_F(TranslatorTest, HundredTranslationsKeepHandlesAndMemory) {
  ASSERT_TRUE(WriteDefinitions());
  ASSERT_TRUE(translator.Load());
  web.Route("/t", HttpOk("<t>ok</t>"));
  ExpectNoGrowth(5, 100, [this] {
    ASSERT_EQ(TranslateAndWait(L"text"), kHttpResultOk);
    ASSERT_TRUE(translator.ParseResult(kHttpResultOk, translator.GetRequestNumber()));
  });
}

}  // namespace
