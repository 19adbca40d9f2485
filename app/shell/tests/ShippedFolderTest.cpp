// The program folder as it ships (a copy of build/dist, which the build
// makes): every start-up step that reads it succeeds.
#include <gtest/gtest.h>

#include <memory>

#include "app/acceptance/AcceptanceKit.h"
#include "app/shell/tests/ShellTestKit.h"
#include "core/BmpImage.h"
#include "core/ConfigFile.h"
#include "dict/DictFile.h"
#include "guictl/ImageFile.h"

namespace {

std::unique_ptr<acceptance::ShippedCopy> g_copy;
std::string g_why;

std::wstring ProgramFolder() { return g_copy->Folder(); }

class ShippedFolderTest : public ::testing::Test {
 protected:
  // One copy for the suite: the program writes its caches into its folder.
  static void SetUpTestSuite() {
    g_copy.reset(new acceptance::ShippedCopy(L"qshipped"));
    if (!g_copy->Make(g_why)) g_copy.reset();
  }
  static void TearDownTestSuite() { g_copy.reset(); }
  void SetUp() override {
    ASSERT_TRUE(g_copy) << g_why;
    app.SetProgramPath(ProgramFolder() + L"Quorindo.exe");
  }
  CQuorindoApp app;
};

TEST_F(ShippedFolderTest, StoresAndLanguageFilesLoad) {
  ASSERT_TRUE(app.InitSystem());
  EXPECT_EQ(app.m_productName, L"Quorindo");
  EXPECT_NE(app.m_productId, 0);
  EXPECT_NE(app.m_buildNumber, 0);
  EXPECT_EQ(app.m_uiText.GetString(L"", L"3").size(), 32u);
  EXPECT_EQ(app.m_uiText.GetString(L"", L"4").size(), 32u);
  ASSERT_TRUE(app.LoadConfig());
  EXPECT_EQ(app.m_langCode, L"en-US");
  EXPECT_FALSE(app.m_uiText.GetString(L"Message", L"NeedIE6Support").empty());
  EXPECT_FALSE(app.m_uiText.GetString(L"Message", L"OpenSpeechEngineFail").empty());
  EXPECT_NE(app.m_uiText.GetString(L"Speech", L"SpeakXML").find(L"[$text]"), std::wstring::npos);
  EXPECT_NE(app.m_uiText.GetString(L"Link", L"Command").find(L"[$cmd]"), std::wstring::npos);
  EXPECT_FALSE(GetLanguageName(L"en-US").empty());
  EXPECT_TRUE(app.m_uiFont.GetSafeHandle());
  std::vector<int32_t> window;
  EXPECT_EQ(app.m_userState.GetIntList(L"App", L"Window", window), 4);
}

TEST_F(ShippedFolderTest, DictionaryTranslatorAndUpdateStoreLoad) {
  ASSERT_TRUE(app.InitSystem());
  ASSERT_TRUE(app.LoadConfig());
  ASSERT_TRUE(app.GetDictManager()->LoadConfig());
  EXPECT_NE(app.GetDictManager()->FindDict(0x10000), nullptr);
  std::vector<CDictFile*> dicts;
  std::vector<std::wstring> fragments;
  ASSERT_GE(app.GetDictManager()->QueryGroup(dicts, fragments, L"apple", kGroupQuery), 1u);
  EXPECT_EQ(dicts[0]->GetId(), 0x10000u);
  EXPECT_NE(fragments[0].find(L"round fruit"), std::wstring::npos) << fragments[0];
  // The demo dictionary, installed by the build through the dictionary
  // manager, is a member of every group with its glossaries listed.
  ASSERT_NE(app.GetDictManager()->FindDict(0x100), nullptr) << "no demo dictionary (package dict-freedict-eng-deu)";
  for (int32_t kind : {kGroupQuery, kGroupIndex, kGroupGrab}) {
    SCOPED_TRACE(kind);
    const int32_t position = app.GetDictManager()->GroupIndexOf(kind, 0x100);
    ASSERT_GE(position, 0);
    DictGroupItem* member = app.GetDictManager()->GetGroupItem(kind, static_cast<uint32_t>(position));
    ASSERT_NE(member, nullptr);
    EXPECT_TRUE(member->enable);
    EXPECT_FALSE(member->glossaries.empty());
  }
  ASSERT_TRUE(app.GetTextTranslator()->Load());
  EXPECT_EQ(app.GetTextTranslator()->GetEngineNumber(), 1u);
  app.GetTextTranslator()->SetSourceText(L"word");
  std::wstring form;
  app.GetTextTranslator()->BuildFormPage(form, true, false);
  EXPECT_NE(form.find(L"talvane_ftt_textsrc"), std::wstring::npos);
  std::wstring page;
  EXPECT_TRUE(app.GetTextTranslator()->BuildUiPage(page, L"wait_request", L"Waiting"));
  EXPECT_TRUE(app.GetOnlineUpdate()->LoadUpdateIni());
}

TEST_F(ShippedFolderTest, SkinImagesAndSplashLoad) {
  const std::wstring image = ProgramFolder() + L"image\\";
  for (const wchar_t* name : {L"close.png", L"caption_c.png", L"button_flat_menu.png", L"tab_index.png", L"edit_bk.png"}) {
    SCOPED_TRACE(name);
    Veltra::COImage pixels;
    CPngImage png;
    ASSERT_TRUE(png.ReadFile((image + name).c_str(), &pixels, 0));
    EXPECT_GT(pixels.GetWidth(), 0);
  }
  Veltra::COImage tabs;
  CPngImage png;
  ASSERT_TRUE(png.ReadFile((image + L"tab_index.png").c_str(), &tabs, 0));
  EXPECT_EQ(tabs.GetHeight() % 32, 0);
  EXPECT_EQ(tabs.GetWidth() % 22, 0);
  Veltra::COImage flat;
  ASSERT_TRUE(png.ReadFile((image + L"button_flat_menu.png").c_str(), &flat, 0));
  EXPECT_EQ(flat.GetWidth(), 88);
  EXPECT_EQ(flat.GetHeight(), 66);
  Veltra::COImage splash;
  CBmpImage bmp;
  ASSERT_TRUE(bmp.ReadFile((image + L"splash.bmp").c_str(), &splash, 0));
  EXPECT_GT(splash.GetWidth(), 100);
  EXPECT_NE(GetFileAttributesW((ProgramFolder() + L"icon\\check8.png").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Help opens the compiled manual of the shipped interface language: an HTML
// Help file (its "ITSF" signature), not the language-neutral fallback.
TEST_F(ShippedFolderTest, HelpOpensTheShippedManualOfTheInterfaceLanguage) {
  ASSERT_TRUE(app.InitSystem());
  ASSERT_TRUE(app.LoadConfig());
  const std::wstring path = app.HelpFilePath();
  EXPECT_EQ(path, ProgramFolder() + L"help\\manual-" + app.m_langCode + L".chm");
  uint8_t* bytes = nullptr;
  const uint32_t size = ReadWholeFile(bytes, path.c_str());
  std::unique_ptr<uint8_t[]> owned(bytes);
  ASSERT_GT(size, 4u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), "ITSF");
}

}  // namespace
