#include <gtest/gtest.h>

#include <vector>

#include "app/shell/AppServices.h"
#include "app/shell/tests/ShellTestKit.h"
#include "core/FileUtil.h"

namespace {

class ConfigTest : public ::testing::Test {
 protected:
  ConfigTest() : sandbox(L"config"), registry(L"values") {
    previousRoots = SetShellRegistryRoots({registry.Get(), registry.Get(), registry.Get()});
  }
  ~ConfigTest() override { SetShellRegistryRoots(previousRoots); }

  CQuorindoApp& app() { return sandbox.app; }
  // The program values' root and subkey point at the test key.
  std::wstring RegTab() {
    std::wstring escaped;
    EscapeString(escaped, registry.Path().c_str());
    return L"[RegTab]\nRoot=0x80000001\nSubKey=" + escaped + L"\n";
  }

  AppSandbox sandbox;
  TestRegistryKey registry;
  ShellRegistryRoots previousRoots;
};

TEST_F(ConfigTest, FoldersFollowTheProgramPath) {
  sandbox.WriteStartupFiles();
  ASSERT_TRUE(app().InitSystem());
  const std::wstring& f = sandbox.folder;
  EXPECT_EQ(app().m_programPath, f + L"Quorindo.exe");
  EXPECT_EQ(app().m_programFolder, f);
  EXPECT_EQ(app().m_dataFolder, f + L"data\\");
  EXPECT_EQ(app().m_dictFolder, f + L"dict\\");
  EXPECT_EQ(app().m_imageFolder, f + L"image\\");
  EXPECT_EQ(app().m_iconFolder, f + L"icon\\");
  EXPECT_EQ(app().m_helpFolder, f + L"help\\");
  EXPECT_EQ(app().m_tempFolder, f + L"temp\\");
  EXPECT_EQ(app().m_updateFolder, f + L"update\\");
  EXPECT_EQ(app().m_partnerFolder, f + L"partner\\");
  EXPECT_EQ(app().m_productId, 7);
  EXPECT_EQ(app().m_buildNumber, 42);
  EXPECT_EQ(app().m_productName, L"Quorindo Test");
  EXPECT_EQ(app().m_version, L"2.5");
  EXPECT_EQ(app().m_edition, L"Tester");
}

TEST_F(ConfigTest, TheRunningProgramsPathIsTakenWithoutAnOverride) {
  CQuorindoApp plain;
  plain.InitSystem();  // fails: no system.inc beside the test program
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  EXPECT_EQ(plain.m_programPath, path);
  EXPECT_EQ(plain.m_programFolder + L"app_shell_tests.exe", plain.m_programPath);
}

TEST_F(ConfigTest, AnEditionFolderRedirectsFourFolders) {
  sandbox.WriteStartupFiles(L"OEM=Special\n");
  ASSERT_TRUE(app().InitSystem());
  const std::wstring& f = sandbox.folder;
  EXPECT_EQ(app().m_dataFolder, f + L"Special\\data\\");
  EXPECT_EQ(app().m_imageFolder, f + L"Special\\image\\");
  EXPECT_EQ(app().m_iconFolder, f + L"Special\\icon\\");
  EXPECT_EQ(app().m_helpFolder, f + L"Special\\help\\");
  EXPECT_EQ(app().m_dictFolder, f + L"dict\\");
  EXPECT_EQ(app().m_tempFolder, f + L"temp\\");
}

TEST_F(ConfigTest, ProgramFolderOfPathsWithoutAFolder) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
  } cases[] = {{L"C:", L"C:\\"}, {L"Quorindo.exe", L""}, {L"C:\\Quorindo.exe", L"C:\\"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    CQuorindoApp a;
    a.SetProgramPath(c.path);
    a.InitSystem();  // its result depends on the current folder
    EXPECT_EQ(a.m_programFolder, c.folder);
    EXPECT_EQ(a.m_dataFolder, std::wstring(c.folder) + L"data\\");
  }
}

TEST_F(ConfigTest, SoftwareValuesDecideWhetherTheSystemStarts) {
  struct Case {
    const wchar_t* software;
    bool ok;
  } cases[] = {
      {L"ID=1\nBuild=1\nName=N\nVersion=V\nEdition=E\n", true},
      {L"ID=0x10001\nBuild=1\nName=N\nVersion=V\nEdition=E\n", true},  // low 16 bits: 1
      {L"ID=0x10000\nBuild=1\nName=N\nVersion=V\nEdition=E\n", false},  // low 16 bits: 0
      {L"Build=1\nName=N\nVersion=V\nEdition=E\n", false},
      {L"ID=1\nName=N\nVersion=V\nEdition=E\n", false},
      {L"ID=1\nBuild=1\nVersion=V\nEdition=E\n", false},
      {L"ID=1\nBuild=1\nName=N\nEdition=E\n", false},
      {L"ID=1\nBuild=1\nName=N\nVersion=V\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.software);
    CQuorindoApp a;
    a.SetProgramPath(sandbox.folder + L"Quorindo.exe");
    ASSERT_TRUE(WriteSystemInc(sandbox.folder + L"system.inc", std::wstring(L"[Software]\n") + c.software));
    EXPECT_EQ(a.InitSystem(), c.ok);
  }
  // A key written twice keeps its first value.
  ASSERT_TRUE(WriteSystemInc(sandbox.folder + L"system.inc",
                             L"[Software]\nID=0x12345\nBuild=3\nName=First\nName=Second\nVersion=V\nEdition=E\n"));
  CQuorindoApp a;
  a.SetProgramPath(sandbox.folder + L"Quorindo.exe");
  ASSERT_TRUE(a.InitSystem());
  EXPECT_EQ(a.m_productId, 0x2345);
  EXPECT_EQ(a.m_productName, L"First");
}

// A user.ini that cannot be written (a program folder the user may not write
// to): the first failed save of the session names the file, later ones keep
// quiet, and the state is written once the file can be written again.
TEST_F(ConfigTest, UserStateThatCannotBeSavedIsToldOnce) {
  sandbox.WriteStartupFiles(L"[Message]\nSaveStateFail=Not saved: %s\n");
  ASSERT_TRUE(app().InitSystem());
  ASSERT_TRUE(app().LoadConfig());
  const std::wstring path = sandbox.folder + L"user.ini";
  MessageBoxRecorder boxes;
  app().m_userState.SetValue(L"App", L"SearchList", L"house");
  HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(app().SaveUserState());
  EXPECT_FALSE(app().SaveUserState());
  ::CloseHandle(held);
  ASSERT_EQ(1, MessageBoxRecorder::count);
  EXPECT_EQ(L"Not saved: " + path, MessageBoxRecorder::last);
  EXPECT_EQ(UINT(MB_ICONWARNING), MessageBoxRecorder::lastType & MB_ICONMASK);

  EXPECT_TRUE(app().SaveUserState());
  CConfigFile saved;
  ASSERT_TRUE(saved.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0));
  EXPECT_EQ(L"house", saved.GetString(L"App", L"SearchList"));
  EXPECT_EQ(1, MessageBoxRecorder::count);
}

TEST_F(ConfigTest, SettingsLanguageAndFonts) {
  sandbox.WriteStartupFiles(L"[Message]\nReadConfigFail=From system\n");
  WriteUtf16File(sandbox.folder + L"config.ini",
                 L"[General]\nLangCode=en-US\n[Appearance]\nUITextFont=Arial\nUIFontSize=9.5\n");
  ASSERT_TRUE(app().InitSystem());
  ASSERT_TRUE(app().LoadConfig());
  EXPECT_EQ(app().m_langCode, L"en-US");
  // The language file only adds what system.inc lacks.
  EXPECT_EQ(app().m_uiText.GetString(L"Message", L"ReadConfigFail"), L"From system");
  EXPECT_EQ(app().m_uiText.GetString(L"Message", L"NeedIE6Support"), L"Browser too old");
  EXPECT_EQ(app().m_productName, L"Quorindo Test");
  EXPECT_EQ(app().m_uiText.GetString(L"Software", L"Name"), L"Quorindo Test");
  EXPECT_EQ(app().m_userState.GetString(L"App", L"Window"), L"10, 20, 410, 320");

  CFont expected;
  ASSERT_TRUE(expected.CreatePointFont(95, L"Arial"));
  LOGFONTW want = {}, got = {}, bold = {};
  expected.GetLogFont(&want);
  ASSERT_TRUE(app().m_uiFont.GetSafeHandle());
  app().m_uiFont.GetLogFont(&got);
  EXPECT_EQ(got.lfHeight, want.lfHeight);
  EXPECT_STREQ(got.lfFaceName, L"Arial");
  ASSERT_TRUE(app().m_uiBoldFont.GetSafeHandle());
  app().m_uiBoldFont.GetLogFont(&bold);
  EXPECT_EQ(bold.lfWeight, 700);
  EXPECT_EQ(bold.lfHeight, want.lfHeight);
}

// A damaged size gives a font the bars can paint with: held to 6-24 points,
// the system's size when there is no number.
TEST_F(ConfigTest, UiFontSizeIsHeldToItsRange) {
  const struct {
    const wchar_t* size;
    int tenths;
  } cases[] = {{L"9.5", 95}, {L"-12", 60}, {L"0.5", 60}, {L"4000", 240}, {L"1e300", 240},
               {L"inf", 240}, {L"nan", 0},  {L"", 0},     {L"big", 0}};
  for (const auto& c : cases) {
    app().m_settings.SetValue(L"Appearance", L"UIFontSize", c.size);
    EXPECT_EQ(app().GetUiFontTenths(), c.tenths) << c.size;
  }
}

TEST_F(ConfigTest, LanguageComesFromSettingsThenRegistryThenDefault) {
  sandbox.WriteStartupFiles(RegTab());
  WriteUtf16File(sandbox.folder + L"config.ini", L"[Appearance]\nUIFontSize=8\n");
  WriteUtf16File(sandbox.folder + L"data\\Lang-de-DE.ini", L"[Message]\nNeedIE6Support=Zu alt\n");
  ASSERT_TRUE(app().InitSystem());
  ASSERT_TRUE(app().LoadConfig());
  EXPECT_EQ(app().m_langCode, L"en-US");
  EXPECT_EQ(app().m_settings.GetString(L"General", L"LangCode"), L"en-US");

  // The registry's value when the settings name none; the names fall back to
  // the en-US list.
  ASSERT_TRUE(registry.SetText(L"", L"LangCode", L"de-DE"));
  CQuorindoApp second;
  second.SetProgramPath(sandbox.folder + L"Quorindo.exe");
  ASSERT_TRUE(second.InitSystem());
  ASSERT_TRUE(second.LoadConfig());
  EXPECT_EQ(second.m_langCode, L"de-DE");
  EXPECT_EQ(second.m_settings.GetString(L"General", L"LangCode"), L"de-DE");
  EXPECT_EQ(second.m_uiText.GetString(L"Message", L"NeedIE6Support"), L"Zu alt");
  EXPECT_EQ(GetLanguageName(L"de"), L"1031, German");

  // A language without its text file ends start-up.
  ASSERT_TRUE(registry.SetText(L"", L"LangCode", L"fr-FR"));
  CQuorindoApp third;
  third.SetProgramPath(sandbox.folder + L"Quorindo.exe");
  ASSERT_TRUE(third.InitSystem());
  EXPECT_FALSE(third.LoadConfig());
}

TEST_F(ConfigTest, LanguageNamesNeedOneOfTheTwoFiles) {
  sandbox.WriteStartupFiles();
  DeleteFileW((sandbox.folder + L"data\\lc-en-US.ini").c_str());
  ASSERT_TRUE(app().InitSystem());
  EXPECT_FALSE(app().LoadConfig());
}

TEST_F(ConfigTest, PartnerTextsOnlyWhenNamed) {
  for (bool named : {false, true}) {
    SCOPED_TRACE(named);
    AppSandbox local(L"partner");
    local.WriteStartupFiles(named ? L"Partner=Acme\n" : L"");
    CreateDirectoryPath((local.folder + L"partner").c_str());
    WriteUtf16File(local.folder + L"partner\\partner.ini", L"[Maker]\nCopyright=Acme\n[Software]\nName=Other\n");
    ASSERT_TRUE(local.app.InitSystem());
    ASSERT_TRUE(local.app.LoadConfig());
    EXPECT_EQ(local.app.m_uiText.GetString(L"Maker", L"Copyright"), named ? L"Acme" : L"");
    EXPECT_EQ(local.app.m_uiText.GetString(L"Software", L"Name"), L"Quorindo Test");
  }
}

TEST_F(ConfigTest, LanguageNameAndLocale) {
  sandbox.WriteStartupFiles();
  WriteUtf16File(sandbox.folder + L"data\\lc-en-US.ini", L"[LangCode]\nen=1033, English\nxx=\"Quoted\\tName\"\n");
  ASSERT_TRUE(app().InitSystem());
  ASSERT_TRUE(app().LoadConfig());
  EXPECT_EQ(GetLanguageName(L"en"), L"1033, English");
  EXPECT_EQ(GetLanguageName(L"xx"), L"Quoted\tName");
  EXPECT_EQ(GetLanguageName(L"zz"), L"");
  EXPECT_EQ(GetLanguageLocale(L"en"), 1033u);
  EXPECT_EQ(GetLanguageLocale(L"zz"), 1024u);
  EXPECT_EQ(app().m_dictHost.GetLanguageLocale(L"en"), 1033u);
}

// The help command opens the manual of the interface language, or the
// language-neutral one where that language has none.
TEST_F(ConfigTest, HelpFileOfTheInterfaceLanguage) {
  sandbox.WriteStartupFiles();
  ASSERT_TRUE(app().InitSystem());
  const std::wstring help = sandbox.folder + L"help\\";
  ASSERT_TRUE(CreateDirectoryPath(help.c_str()));
  struct Case {
    const wchar_t* language;
    std::vector<const wchar_t*> present;
    const wchar_t* opened;
  } cases[] = {
      {L"en-US", {L"manual-en-US.chm", L"manual.chm"}, L"manual-en-US.chm"},
      {L"de-DE", {L"manual-en-US.chm", L"manual.chm"}, L"manual.chm"},
      {L"de-DE", {L"manual-en-US.chm"}, L"manual.chm"},
      {L"en-US", {L"manual.chm"}, L"manual.chm"},
      {L"de", {L"manual-de-DE.chm"}, L"manual.chm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.language << " -> " << c.opened);
    DeleteDirectoryTree(help.c_str(), true);
    ASSERT_TRUE(CreateDirectoryPath(help.c_str()));
    for (const wchar_t* name : c.present) ASSERT_TRUE(WriteWholeFile((help + name).c_str(), "ITSF", 4));
    app().m_langCode = c.language;
    EXPECT_EQ(app().HelpFilePath(), help + c.opened);
  }
}

TEST(MatchLanguageCodeTest, Table) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    int result;
  } cases[] = {
      {L"en", L"en-US", 2}, {L"EN-us", L"en-US", 1}, {L"en-US", L"en", 0}, {L"en", L"eng", 0},
      {L"zh", L"zh_TW", 2}, {L"en", L"en.GB", 2},    {nullptr, L"en", 0},  {L"en", nullptr, 0},
      {L"", L"", 1},        {L"", L"-x", 2},         {L"de", L"en", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.a ? c.a : L"(null)") << " " << (c.b ? c.b : L"(null)"));
    EXPECT_EQ(MatchLanguageCode(c.a, c.b), c.result);
  }
}

}  // namespace
