#include <gtest/gtest.h>

#include "app/shell/AppServices.h"
#include "app/shell/tests/ShellTestKit.h"
#include "core/TripleDes.h"

namespace {

class ServicesTest : public ::testing::Test {
 protected:
  ServicesTest() : registry(L"services") {
    previousRoots = SetShellRegistryRoots({registry.Get(), registry.Get(), registry.Get()});
    previousOpen = SetShellOpenHandler(&RecordOpen);
    opened.clear();
    app.m_uiText.SetValue(L"RegTab", L"Root", L"0x80000001");
    app.m_uiText.SetValue(L"RegTab", L"SubKey", registry.Path() + L"\\App");
    app.m_uiText.SetValue(L"RegTab", L"RunKey", L"Run");
  }
  ~ServicesTest() override {
    SetShellRegistryRoots(previousRoots);
    SetShellOpenHandler(previousOpen);
  }
  static bool RecordOpen(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*) {
    opened.push_back(std::wstring(verb) + L" " + file);
    return true;
  }

  static std::vector<std::wstring> opened;
  TestRegistryKey registry;
  ShellRegistryRoots previousRoots;
  ShellOpenHandler previousOpen;
  CQuorindoApp app;
};

std::vector<std::wstring> ServicesTest::opened;

TEST_F(ServicesTest, AutoStartWritesAndDeletesTheRunEntry) {
  app.m_productName = L"Quorindo";
  app.m_programPath = L"C:\\Program Files\\Quorindo\\Quorindo.exe";
  // No Run key: nothing happens, nothing is created.
  app.SetAutoStart(true);
  std::wstring value;
  EXPECT_FALSE(registry.GetText(L"Run", L"Quorindo", value));

  ASSERT_TRUE(registry.SetText(L"Run", L"Other", L"x"));
  app.SetAutoStart(true);
  ASSERT_TRUE(registry.GetText(L"Run", L"Quorindo", value));
  EXPECT_EQ(value, L"\"C:\\Program Files\\Quorindo\\Quorindo.exe\" -cphs");
  app.SetAutoStart(false);
  EXPECT_FALSE(registry.GetText(L"Run", L"Quorindo", value));
  app.SetAutoStart(false);  // deleting a missing value changes nothing
  EXPECT_TRUE(registry.GetText(L"Run", L"Other", value));
}

TEST_F(ServicesTest, ProgramValuesUnderTheConfiguredRoot) {
  CString out = L"old";
  EXPECT_FALSE(RegGetAppValue(out, L"LangCode"));
  EXPECT_TRUE(out.IsEmpty());
  EXPECT_FALSE(RegSetAppValue(L"LangCode", L"de-DE"));  // the subkey is not created

  ASSERT_TRUE(registry.SetText(L"App", L"Dummy", L""));
  EXPECT_TRUE(RegSetAppValue(L"LangCode", L"de-DE"));
  EXPECT_TRUE(RegGetAppValue(out, L"LangCode"));
  EXPECT_STREQ(out, L"de-DE");
  EXPECT_FALSE(RegGetAppValue(out, L"Missing"));
  EXPECT_FALSE(RegGetAppValue(out, nullptr));
  EXPECT_FALSE(RegSetAppValue(nullptr, L"x"));
  EXPECT_FALSE(RegSetAppValue(L"x", nullptr));

  // Without a root no value is reached.
  app.m_uiText.SetValue(L"RegTab", L"Root", L"");
  EXPECT_FALSE(RegGetAppValue(out, L"LangCode"));
  EXPECT_FALSE(RegSetAppValue(L"LangCode", L"en"));
}

TEST_F(ServicesTest, FileTypeAssociation) {
  ASSERT_TRUE(registry.SetText(L"Quorindo.Dict\\DefaultIcon", L"", L"old"));
  RegisterFileType(L".tdc", L"Quorindo.Dict", L"C:\\Q\\Quorindo.exe", 2);
  std::wstring value;
  ASSERT_TRUE(registry.GetText(L".tdc", nullptr, value));
  EXPECT_EQ(value, L"Quorindo.Dict");
  ASSERT_TRUE(registry.GetText(L"Quorindo.Dict\\DefaultIcon", nullptr, value));
  EXPECT_EQ(value, L"C:\\Q\\Quorindo.exe,2");
  ASSERT_TRUE(registry.GetText(L"Quorindo.Dict\\shell\\open\\command", nullptr, value));
  EXPECT_EQ(value, L"\"C:\\Q\\Quorindo.exe\" \"%1\"");
}

TEST_F(ServicesTest, LinkTemplate) {
  app.m_productId = 0x2345;
  app.m_buildNumber = 12;
  app.m_langCode = L"en-US";
  std::wstring url;
  app.BuildLinkUrl(url, L"homepage");
  EXPECT_EQ(url, L"");
  app.m_uiText.SetValue(L"Link", L"Command", L"http://q.example/?c=[$cmd]&p=[$pid]&p2=[$pid]&b=[$bn]&l=[$lang]&x=[$other]");
  app.BuildLinkUrl(url, L"speech");
  EXPECT_EQ(url, L"http://q.example/?c=speech&p=9029&p2=9029&b=12&l=en-US&x=[$other]");

  EXPECT_TRUE(OpenCommandLink(L"bug"));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], L"open http://q.example/?c=bug&p=9029&p2=9029&b=12&l=en-US&x=[$other]");
}

TEST(PercentEncodeTest, Table) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"a b", "a%20b"},
      {"\xE4", "%E4"},
      {"Az09_-.@*", "Az09_-.@*"},
      {"a+b/c?d=e&f", "a%2Bb%2Fc%3Fd%3De%26f"},
      {"\x7F\x80\xFF", "%7F%80%FF"},
  };
  for (const Case& c : cases) {
    std::string out = "junk";
    EXPECT_EQ(PercentEncodeString(out, c.in), strlen(c.out));
    EXPECT_EQ(out, c.out);
  }
  std::string out = "junk";
  EXPECT_EQ(PercentEncodeString(out, nullptr), 0u);
  EXPECT_EQ(out, "");
}

class ConnectionTest : public ::testing::Test {
 protected:
  ConnectionTest() {
    app.m_uiText.SetValue(L"", L"4", L"00112233445566778899AABBCCDDEEFF");
    app.m_settings.SetValue(L"Connection", L"ProxyServer", L"proxy.example");
    app.m_settings.SetValue(L"Connection", L"ProxyPort", L"0x1F90");
  }
  void SetCredentials(const std::wstring& text) {
    std::wstring hex;
    EncryptSettingText(hex, reinterpret_cast<const uint8_t*>(text.data()), static_cast<unsigned>(text.size() * 2));
    app.m_settings.SetValue(L"Connection", L"ProxyAuth", hex);
  }
  CQuorindoApp app;
};

TEST_F(ConnectionTest, OnlyAManualProxyIsAConnectionSetting) {
  SetCredentials(L"user\npass");
  std::wstring server = L"x", user = L"x", password = L"x";
  uint32_t port = 5;
  for (const wchar_t* connect : {L"0", L"2", L""}) {
    app.m_settings.SetValue(L"Connection", L"Connect", connect);
    EXPECT_FALSE(GetConnectionSetting(server, port, user, password));
    EXPECT_EQ(server + user + password, L"");
    EXPECT_EQ(port, 0u);
  }
  app.m_settings.SetValue(L"Connection", L"Connect", L"1");
  EXPECT_TRUE(GetConnectionSetting(server, port, user, password));
  EXPECT_EQ(server, L"proxy.example");
  EXPECT_EQ(port, 8080u);
  EXPECT_EQ(user, L"user");
  EXPECT_EQ(password, L"pass");

  std::wstring host;
  uint16_t shortPort = 0;
  EXPECT_TRUE(app.m_onlineHost.GetConnectionSetting(host, shortPort, user, password));
  EXPECT_EQ(shortPort, 8080);
}

// A port outside 1-65535 read back from "config.ini" is no port at all:
// never one cut to 16 bits (99999 was 34463), which got the credentials.
TEST_F(ConnectionTest, StoredPortsOutsideTheRangeReadAsNone) {
  const struct {
    const wchar_t* stored;
    uint32_t port;
  } cases[] = {{L"99999", 0}, {L"65536", 0}, {L"-1", 0}, {L"4294967297", 0}, {L"65535", 65535}, {L"1", 1}};
  app.m_settings.SetValue(L"Connection", L"Connect", L"1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    app.m_settings.SetValue(L"Connection", L"ProxyPort", c.stored);
    std::wstring server, user, password;
    uint32_t port = 7;
    app.GetProxySettings(server, port, user, password);
    EXPECT_EQ(port, c.port);
    uint16_t shortPort = 7;
    EXPECT_TRUE(app.m_onlineHost.GetConnectionSetting(server, shortPort, user, password));
    EXPECT_EQ(shortPort, c.port);
  }
}

TEST_F(ConnectionTest, CredentialsSplitAtTheFirstLineFeed) {
  struct Case {
    const wchar_t* stored;
    const wchar_t* user;
    const wchar_t* password;
  } cases[] = {
      {L"user\npass", L"user", L"pass"},
      {L"user\npa\nss", L"user", L"pa\nss"},
      {L"user\n", L"user", L""},
      {L"onlyuser", L"onlyuser", L""},
  };
  app.m_settings.SetValue(L"Connection", L"Connect", L"2");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    SetCredentials(c.stored);
    std::wstring server, user, password;
    uint32_t port = 0;
    EXPECT_EQ(app.GetProxySettings(server, port, user, password), 2u);
    EXPECT_EQ(ReadProxySettings(server, port, user, password), 2u);
    EXPECT_EQ(user, c.user);
    EXPECT_EQ(password, c.password);
    EXPECT_EQ(server, L"proxy.example");
  }
  // Credentials that do not decipher are empty.
  app.m_settings.SetValue(L"Connection", L"ProxyAuth", L"ZZ");
  std::wstring server, user = L"x", password = L"x";
  uint32_t port = 0;
  ReadProxySettings(server, port, user, password);
  EXPECT_EQ(user + password, L"");
}

}  // namespace
