// The pages on their own: each loads its controls from the settings and
// saves them back; the page actions reach the main window.
#include "core/TripleDes.h"
#include "online/OnlineUpdate.h"
#include "dialogs/options/OptionsRes.h"
#include "dialogs/options/tests/OptionsTestKit.h"

namespace options_test {
namespace {

// A page created as the child of a window of its own.
template <typename Page>
class PageTest : public OptionsTest {
 protected:
  void Open() { ASSERT_TRUE(page.CreatePage(&parent)); }
  HWND Item(int id) const { return ::GetDlgItem(page.m_hWnd, id); }
  int CurSel(int id) const { return int(::SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }
  std::wstring SelText(int id) const {
    wchar_t buffer[256] = {};
    ::SendMessageW(Item(id), CB_GETLBTEXT, CurSel(id), LPARAM(buffer));
    return buffer;
  }
  void Select(int id, const wchar_t* text) {
    ::SendMessageW(Item(id), CB_SELECTSTRING, WPARAM(-1), LPARAM(text));
  }
  bool Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void Check(int id, bool on) { ::SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
  std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
    const wchar_t* value = host->settings.GetValue(section, key);
    return value ? value : L"<none>";
  }

  PageParent parent;
  Page page;
};

// ---- General

using GeneralPageTest = PageTest<CDlgOptGeneral>;

TEST_F(GeneralPageTest, LoadsStoredValues) {
  host->settings.SetValue(L"General", L"LangCode", L"de-DE");
  host->settings.SetValue(L"General", L"SearchEngine", L"google");
  host->settings.SetValue(L"General", L"SearchHistory", L"250");
  host->settings.SetValue(L"General", L"AutoStart", L"y");
  Open();
  EXPECT_EQ(L"Deutsch", SelText(IDC_GEN_LANGUAGE));
  EXPECT_EQ(L"Google", SelText(IDC_GEN_WEBSEARCH));
  EXPECT_EQ(L"100", ItemText(page.m_hWnd, IDC_GEN_HISTORY));
  EXPECT_TRUE(Checked(IDC_GEN_AUTOSTART));
  EXPECT_FALSE(Checked(IDC_GEN_STARTMIN));
}

TEST_F(GeneralPageTest, UnknownCodeSelectsTheFirstSortedItem) {
  host->settings.SetValue(L"General", L"LangCode", L"xx-XX");
  Open();
  EXPECT_EQ(0, CurSel(IDC_GEN_LANGUAGE));
  EXPECT_EQ(L"Alpha", SelText(IDC_GEN_LANGUAGE));
  EXPECT_EQ(L"Bing", SelText(IDC_GEN_WEBSEARCH));
}

TEST_F(GeneralPageTest, SaveWritesSettingsAndTellsTheApplication) {
  Open();
  Select(IDC_GEN_LANGUAGE, L"English");
  Select(IDC_GEN_WEBSEARCH, L"Google");
  SetItemText(page.m_hWnd, IDC_GEN_HISTORY, L"42");
  Check(IDC_GEN_AUTOSTART, true);
  EXPECT_EQ(1, page.Save());
  EXPECT_EQ(L"en-US", Setting(L"General", L"LangCode"));
  EXPECT_EQ(L"google", Setting(L"General", L"SearchEngine"));
  EXPECT_EQ(L"42", Setting(L"General", L"SearchHistory"));
  EXPECT_EQ(L"y", Setting(L"General", L"AutoStart"));
  EXPECT_EQ(L"n", Setting(L"General", L"StartMinmize"));
  EXPECT_EQ(std::vector<std::wstring>{L"LangCode=en-US"}, host->registryValues);
  EXPECT_EQ(std::vector<bool>{true}, host->autoStarts);
  std::wstring fileType = L".qdic|Quorindo.Dict|" + host->folder + L"Quorindo.exe|2";
  EXPECT_EQ(std::vector<std::wstring>{fileType}, host->fileTypes);
  ASSERT_EQ(1, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionHistorySize));
  EXPECT_EQ(42, host->mainWindow.messages[0].lParam);
}

TEST_F(GeneralPageTest, HistoryFieldIsKeptInRange) {
  Open();
  struct Case {
    const wchar_t* typed;
    const wchar_t* shown;
    const wchar_t* saved;
  } cases[] = {{L"-5", L"0", L"0"}, {L"250", L"100", L"100"}, {L"abc", L"abc", L"0"}, {L"7", L"7", L"7"}};
  for (const Case& c : cases) {
    SetItemText(page.m_hWnd, IDC_GEN_HISTORY, c.typed);
    ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_GEN_HISTORY, EN_KILLFOCUS), LPARAM(Item(IDC_GEN_HISTORY)));
    EXPECT_EQ(c.shown, ItemText(page.m_hWnd, IDC_GEN_HISTORY)) << c.typed;
    page.Save();
    EXPECT_EQ(c.saved, Setting(L"General", L"SearchHistory")) << c.typed;
  }
}

TEST_F(GeneralPageTest, NegativeHistorySavedWithoutLeavingTheFieldIsZero) {
  Open();
  SetItemText(page.m_hWnd, IDC_GEN_HISTORY, L"-5");
  page.Save();
  EXPECT_EQ(L"0", Setting(L"General", L"SearchHistory"));
  EXPECT_EQ(0, host->mainWindow.messages.back().lParam);
}

TEST_F(GeneralPageTest, ClearHistoryAsksFirst) {
  Open();
  BoxRecorder::answer = IDNO;
  PressButton(page, IDC_GEN_CLEARHISTORY);
  EXPECT_EQ(0, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionClearHistory));
  BoxRecorder::answer = IDYES;
  PressButton(page, IDC_GEN_CLEARHISTORY);
  EXPECT_EQ(1, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionClearHistory));
  EXPECT_EQ((std::vector<std::wstring>{L"Clear the history?", L"Clear the history?"}), BoxRecorder::texts);
}

TEST_F(GeneralPageTest, NoLanguageStopsTheSave) {
  host->texts.Entries().Tree().Clear(false);
  host->settings.SetValue(L"General", L"SearchHistory", L"9");
  Open();
  SetItemText(page.m_hWnd, IDC_GEN_HISTORY, L"50");
  EXPECT_EQ(0, page.Save());
  EXPECT_EQ(L"9", Setting(L"General", L"SearchHistory"));
  EXPECT_TRUE(host->mainWindow.messages.empty());
}

// ---- Translate

using TranslatePageTest = PageTest<CDlgOptTranslate>;

TEST_F(TranslatePageTest, DelayAndActivationLoad) {
  struct Case {
    const wchar_t* delay;  // null: absent
    const wchar_t* shown;
  } cases[] = {{nullptr, L"300"}, {L"250", L"300"}, {L"0x1f4", L"500"}, {L"900", L"900"}, {L"100", L"100"}};
  for (const Case& c : cases) {
    if (c.delay) host->settings.SetValue(L"Translate", L"GrabTimeDelay", c.delay);
    CDlgOptTranslate p;
    ASSERT_TRUE(p.CreatePage(&parent));
    wchar_t buffer[16] = {};
    HWND combo = ::GetDlgItem(p.m_hWnd, IDC_TR_DELAY);
    ::SendMessageW(combo, CB_GETLBTEXT, ::SendMessageW(combo, CB_GETCURSEL, 0, 0), LPARAM(buffer));
    EXPECT_STREQ(c.shown, buffer) << (c.delay ? c.delay : L"absent");
    p.DestroyWindow();
  }
}

TEST_F(TranslatePageTest, UnknownActivationShowsCtrlAndSaves512) {
  host->settings.SetValue(L"Translate", L"GrabActivation", L"7");
  Open();
  EXPECT_TRUE(Checked(IDC_TR_CTRLMOUSE));
  EXPECT_FALSE(Checked(IDC_TR_MOUSEOVER));
  EXPECT_EQ(1, page.Save());
  EXPECT_EQ(L"512", Setting(L"Translate", L"GrabActivation"));
  EXPECT_EQ(L"1", Setting(L"Translate", L"ClipboardActivation"));
  EXPECT_EQ(L"300", Setting(L"Translate", L"GrabTimeDelay"));
  EXPECT_EQ(1, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionApplyGrab));
}

TEST_F(TranslatePageTest, SavesEachModeAndFlag) {
  host->settings.SetValue(L"Translate", L"GrabActivation", L"2");
  host->settings.SetValue(L"Translate", L"IgnoreCJK", L"yes");
  Open();
  EXPECT_TRUE(Checked(IDC_TR_MIDDLEMOUSE));
  EXPECT_TRUE(Checked(IDC_TR_IGNORECJK));
  EXPECT_FALSE(Checked(IDC_TR_IGNORELATIN));
  struct Case {
    int radio;
    const wchar_t* mode;
  } cases[] = {{IDC_TR_MOUSEOVER, L"1"}, {IDC_TR_SHIFTMOUSE, L"256"}, {IDC_TR_CTRLMOUSE, L"512"}, {IDC_TR_MIDDLEMOUSE, L"2"}};
  for (const Case& c : cases) {
    ::CheckRadioButton(page.m_hWnd, IDC_TR_MOUSEOVER, IDC_TR_MIDDLEMOUSE, c.radio);
    page.Save();
    EXPECT_EQ(c.mode, Setting(L"Translate", L"GrabActivation"));
  }
  Check(IDC_TR_IGNORELATIN, true);
  Check(IDC_TR_IGNORECJK, false);
  page.Save();
  EXPECT_EQ(L"y", Setting(L"Translate", L"IgnoreLatin"));
  EXPECT_EQ(L"n", Setting(L"Translate", L"IgnoreCJK"));
  EXPECT_EQ(L"n", Setting(L"Translate", L"IgnoreCyrillic"));
}

// ---- Hotkey

using HotkeyPageTest = PageTest<CDlgOptHotkey>;

TEST_F(HotkeyPageTest, KeysLoadAndSaveAsModifiersAndKey) {
  host->settings.SetValue(L"Hotkey", L"Pronounce", std::to_wstring(1 * 65536 + 'P'));
  Open();
  EXPECT_EQ(DWORD(HOTKEYF_SHIFT << 8 | 'P'), DWORD(::SendMessageW(Item(IDC_HK_PRONOUNCE), HKM_GETHOTKEY, 0, 0)));
  ::SendMessageW(Item(IDC_HK_OPENMAIN), HKM_SETHOTKEY, MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  EXPECT_EQ(1, page.Save());
  EXPECT_EQ(std::to_wstring(6 * 65536 + 113), Setting(L"Hotkey", L"OpenMainWnd"));
  EXPECT_EQ(std::to_wstring(65536 + 'P'), Setting(L"Hotkey", L"Pronounce"));
  EXPECT_EQ(L"0", Setting(L"Hotkey", L"CopyInterpretation"));
  EXPECT_EQ(L"0", Setting(L"Hotkey", L"GrabToggleKey"));
  EXPECT_EQ(L"0", Setting(L"Hotkey", L"ClipboardToggleKey"));
}

// ---- Connection

using ConnectionPageTest = PageTest<CDlgOptConnection>;

TEST_F(ConnectionPageTest, ModeTwoLoadsAsDirectAndSavesZero) {
  host->settings.SetValue(L"Connection", L"Connect", L"2");
  Open();
  EXPECT_TRUE(Checked(IDC_CN_DIRECT));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CN_SERVER)));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_CN_PASSWORD)));
  EXPECT_TRUE(Checked(IDC_CN_ENABLEUPDATE));  // "EnableUpdate" missing
  EXPECT_EQ(L"", ItemText(page.m_hWnd, IDC_CN_PORT));
  page.Save();
  EXPECT_EQ(L"0", Setting(L"Connection", L"Connect"));
  EXPECT_EQ(L"0", Setting(L"Connection", L"ProxyPort"));
  EXPECT_EQ(L"y", Setting(L"Connection", L"EnableUpdate"));
  // Written in both modes, also with empty fields.
  EXPECT_NE(L"<none>", Setting(L"Connection", L"ProxyAuth"));
}

TEST_F(ConnectionPageTest, ProxySettingsRoundTrip) {
  host->settings.SetValue(L"Connection", L"EnableUpdate", L"n");
  Open();
  EXPECT_FALSE(Checked(IDC_CN_ENABLEUPDATE));
  ::CheckRadioButton(page.m_hWnd, IDC_CN_DIRECT, IDC_CN_PROXY, IDC_CN_PROXY);
  PressButton(page, IDC_CN_PROXY);
  EXPECT_TRUE(::IsWindowEnabled(Item(IDC_CN_USER)));
  SetItemText(page.m_hWnd, IDC_CN_SERVER, L"proxy;lan");
  SetItemText(page.m_hWnd, IDC_CN_PORT, L"8080");
  SetItemText(page.m_hWnd, IDC_CN_USER, L"anna");
  SetItemText(page.m_hWnd, IDC_CN_PASSWORD, L"se cret");
  page.Save();
  EXPECT_EQ(L"1", Setting(L"Connection", L"Connect"));
  EXPECT_EQ(L"proxy\\x3Blan", Setting(L"Connection", L"ProxyServer"));
  EXPECT_EQ(L"8080", Setting(L"Connection", L"ProxyPort"));
  EXPECT_EQ(L"n", Setting(L"Connection", L"EnableUpdate"));
  std::string plain;
  DecryptSettingText(plain, Setting(L"Connection", L"ProxyAuth"));
  EXPECT_EQ(L"anna\nse cret", std::wstring(reinterpret_cast<const wchar_t*>(plain.data()), plain.size() / 2));

  // Read back by a new page, through the application's proxy setting.
  CDlgOptConnection again;
  ASSERT_TRUE(again.CreatePage(&parent));
  EXPECT_EQ(::SendMessageW(::GetDlgItem(again.m_hWnd, IDC_CN_PROXY), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(L"proxy;lan", ItemText(again.m_hWnd, IDC_CN_SERVER));
  EXPECT_EQ(L"8080", ItemText(again.m_hWnd, IDC_CN_PORT));
  EXPECT_EQ(L"anna", ItemText(again.m_hWnd, IDC_CN_USER));
  EXPECT_EQ(L"se cret", ItemText(again.m_hWnd, IDC_CN_PASSWORD));
  again.DestroyWindow();
}

// A proxy needs a port the user named: 1 to 65535, nothing that wraps.
TEST_F(ConnectionPageTest, ProxyPortOutsideTheRangeIsRefused) {
  const struct {
    const wchar_t* text;
    bool valid;
    const wchar_t* saved;
  } cases[] = {{L"99999", false, L"0"}, {L"65536", false, L"0"}, {L"0", false, L"0"}, {L"", false, L"0"},
               {L"80a", false, L"0"},   {L"1", true, L"1"},       {L"65535", true, L"65535"}};
  Open();
  for (bool proxy : {true, false}) {
    ::CheckRadioButton(page.m_hWnd, IDC_CN_DIRECT, IDC_CN_PROXY, proxy ? IDC_CN_PROXY : IDC_CN_DIRECT);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::wstring(c.text) + (proxy ? L" proxy" : L" direct"));
      SetItemText(page.m_hWnd, IDC_CN_PORT, c.text);
      // A direct connection uses no port: nothing to refuse there.
      EXPECT_EQ(page.IsPortValid(), c.valid || !proxy);
      page.Save();
      EXPECT_EQ(c.saved, Setting(L"Connection", L"ProxyPort"));
    }
  }
  EXPECT_TRUE(BoxRecorder::texts.empty());
  page.RefusePort();
  EXPECT_EQ((std::vector<std::wstring>{L"Enter a port from 1 to 65535."}), BoxRecorder::texts);
}

// The update component's view of the application: no update link, so a
// check fails at once and reports so.
class NoLinkOnlineHost : public IOnlineHost {
 public:
  explicit NoLinkOnlineHost(const std::wstring& folder) : m_folder(folder) {}
  std::wstring GetProgramFolder() const override { return m_folder; }
  std::wstring GetDataFolder() const override { return m_folder; }
  std::wstring GetImageFolder() const override { return m_folder; }
  std::wstring GetIconFolder() const override { return m_folder; }
  std::wstring GetUpdateFolder() const override { return m_folder; }
  std::wstring GetTempFolder() const override { return m_folder; }
  std::wstring GetWindowsFolder() const override { return m_folder; }
  std::wstring GetSystemFolder() const override { return m_folder; }
  const CConfigFile& GetUiTexts() const override { return m_store; }
  const CConfigFile& GetSettings() const override { return m_store; }
  std::wstring GetUiLanguage() const override { return L"en-US"; }
  uint32_t GetBuildNumber() const override { return 1; }
  std::wstring GetVersionText() const override { return L"1.0"; }
  bool GetConnectionSetting(std::wstring&, uint16_t&, std::wstring&, std::wstring&) const override { return false; }
  IUpdateDictManager* GetDictManager() override { return nullptr; }
  HWND GetMainWindow() const override { return nullptr; }
  bool ConfirmRun(const std::wstring&) override { return false; }

 private:
  std::wstring m_folder;
  CConfigFile m_store;
};

TEST_F(ConnectionPageTest, UpdateNowStartsACheckThatReportsToTheMainWindow) {
  NoLinkOnlineHost onlineHost(host->folder);
  COnlineUpdate update(&onlineHost);
  host->onlineUpdate = &update;
  Open();
  PressButton(page, IDC_CN_UPDATENOW);
  DWORD end = ::GetTickCount() + 5000;
  while (host->mainWindow.Count(WM_UPDATE_DONE, 0) == 0 && int(end - ::GetTickCount()) > 0) {
    PumpPending();
    ::Sleep(2);
  }
  ASSERT_EQ(1, host->mainWindow.Count(WM_UPDATE_DONE, 0));
  EXPECT_EQ(0u, host->mainWindow.messages.back().wParam);  // the check failed: no update link
  update.Stop();
}

TEST_F(ConnectionPageTest, UpdateNowWithoutAnUpdateComponentDoesNothing) {
  Open();
  PressButton(page, IDC_CN_UPDATENOW);
  EXPECT_TRUE(host->mainWindow.messages.empty());
}

// ---- Speech

using SpeechPageTest = PageTest<CDlgOptSpeech>;

TEST_F(SpeechPageTest, LoadsAndSavesTheVoiceSettings) {
  host->voices = {{L"Anna", L"Anna (English)"}, {L"Bob & Co", L"Bob"}};
  host->settings.SetValue(L"Speech", L"Voice", L"Bob & Co");
  host->settings.SetValue(L"Speech", L"Pitch", L"-4");
  host->settings.SetValue(L"Speech", L"Rate", L"0x3");
  host->settings.SetValue(L"Speech", L"TestText", L"hello\\x3B there");
  Open();
  EXPECT_EQ(L"Bob", SelText(IDC_SP_VOICE));
  EXPECT_EQ(0, ::SendMessageW(Item(IDC_SP_VOLUME), TBM_GETPOS, 0, 0));  // "Volume" absent
  EXPECT_EQ(-4, ::SendMessageW(Item(IDC_SP_PITCH), TBM_GETPOS, 0, 0));
  EXPECT_EQ(3, ::SendMessageW(Item(IDC_SP_SPEED), TBM_GETPOS, 0, 0));
  EXPECT_EQ(L"hello; there", ItemText(page.m_hWnd, IDC_SP_TESTTEXT));
  ::SendMessageW(Item(IDC_SP_VOLUME), TBM_SETPOS, TRUE, 65);
  Check(IDC_SP_REALTIME, true);
  EXPECT_EQ(1, page.Save());
  EXPECT_EQ(L"Bob & Co", Setting(L"Speech", L"Voice"));
  EXPECT_EQ(L"65", Setting(L"Speech", L"Volume"));
  EXPECT_EQ(L"-4", Setting(L"Speech", L"Pitch"));
  EXPECT_EQ(L"3", Setting(L"Speech", L"Rate"));
  EXPECT_EQ(L"y", Setting(L"Speech", L"RealtimePron"));
  EXPECT_EQ(L"hello\\x3B there", Setting(L"Speech", L"TestText"));
}

TEST_F(SpeechPageTest, TestSpeaksWellFormedMarkup) {
  host->voices = {{L"A<b>", L"first"}};
  Open();
  ::SendMessageW(Item(IDC_SP_PITCH), TBM_SETPOS, TRUE, -2);
  SetItemText(page.m_hWnd, IDC_SP_TESTTEXT, L"   ");
  PressButton(page, IDC_SP_TEST);
  EXPECT_TRUE(host->spoken.empty());  // only blanks

  SetItemText(page.m_hWnd, IDC_SP_TESTTEXT, L" Tom & \"Jerry's\" <cat> ");
  PressButton(page, IDC_SP_TEST);
  ASSERT_EQ(1u, host->spoken.size());
  EXPECT_EQ(11u, host->speakFlags[0]);
  EXPECT_EQ(L"<voice required=\"Name=A&lt;b&gt;\"><rate absspeed=\"0\"/><volume level=\"0\"/>"
            L"<pitch absmiddle=\"-2\"/>Tom &amp; &quot;Jerry&apos;s&quot; &lt;cat&gt;</voice>",
            host->spoken[0]);
}

TEST(SpeechMarkup, PlaceholdersTypedByTheUserStayText) {
  EXPECT_EQ(L"v=x r=-1 t=[$rate]", CDlgOptSpeech::BuildSpeakMarkup(L"v=[$voice] r=[$rate] t=[$text]", L"x", -1, 0, 0,
                                                                    L"[$rate]"));
}

// ---- Appearance

using AppearancePageTest = PageTest<CDlgOptAppearance>;

TEST(AppearanceFonts, OnlyTrueTypeFacesThatAreNotSymbolOrVerticalAreListedOnce) {
  struct Case {
    const wchar_t* face;
    const wchar_t* full;
    BYTE charset;
    DWORD type;
    bool listed;
  } cases[] = {
      {L"Arial", L"Arial", ANSI_CHARSET, TRUETYPE_FONTTYPE, true},
      {L"Arial", L"Arial Bold", GREEK_CHARSET, TRUETYPE_FONTTYPE, false},  // twice
      {L"@MingLiU", L"@MingLiU", CHINESEBIG5_CHARSET, TRUETYPE_FONTTYPE, false},
      {L"Symbol", L"Symbol", SYMBOL_CHARSET, TRUETYPE_FONTTYPE, false},
      {L"Courier", L"Courier", ANSI_CHARSET, RASTER_FONTTYPE, false},
      {L"Tahoma", L"Tahoma", ANSI_CHARSET, TRUETYPE_FONTTYPE, true},
  };
  std::vector<std::wstring> faces;
  for (const Case& c : cases) {
    size_t before = faces.size();
    ENUMLOGFONTEXW font = {};
    wcscpy(font.elfLogFont.lfFaceName, c.face);
    wcscpy(font.elfFullName, c.full);
    font.elfLogFont.lfCharSet = c.charset;
    CDlgOptAppearance::AddFontFace(faces, font, c.type);
    EXPECT_EQ(c.listed, faces.size() == before + 1) << c.full;
  }
  EXPECT_EQ((std::vector<std::wstring>{L"Arial", L"Tahoma"}), faces);
}

TEST_F(AppearancePageTest, TranslucencyAndColours) {
  struct Case {
    const wchar_t* alpha;
    bool ticked;
  } cases[] = {{nullptr, true}, {L"255", false}, {L"254", true}, {L"192", true}};
  for (const Case& c : cases) {
    if (c.alpha) host->settings.SetValue(L"Appearance", L"GrabAlpha", c.alpha);
    host->settings.SetValue(L"Appearance", L"GrabTextColor", L"0xFF");
    CDlgOptAppearance p;
    ASSERT_TRUE(p.CreatePage(&parent));
    EXPECT_EQ(c.ticked, ::SendDlgItemMessageW(p.m_hWnd, IDC_APP_ALPHA, BM_GETCHECK, 0, 0) == BST_CHECKED)
        << (c.alpha ? c.alpha : L"absent");
    p.Save();
    EXPECT_EQ(c.ticked ? L"192" : L"255", Setting(L"Appearance", L"GrabAlpha"));
    EXPECT_EQ(L"255", Setting(L"Appearance", L"GrabTextColor"));
    EXPECT_EQ(L"0", Setting(L"Appearance", L"GrabBackColor"));
    EXPECT_EQ((std::vector<COLORREF>{0xFF, 0, 0}), host->grabColors);
    p.DestroyWindow();
  }
}

TEST_F(AppearancePageTest, SampleShowsThePopupColours) {
  host->settings.SetValue(L"Appearance", L"GrabBackColor", std::to_wstring(RGB(0, 0, 255)));
  host->settings.SetValue(L"Appearance", L"GrabBorderColor", std::to_wstring(RGB(255, 0, 0)));
  Open();
  Veltra::COImage* image = page.GetSampleImage();
  ASSERT_NE(nullptr, image);
  ASSERT_FALSE(image->IsEmpty());
  CRect client;
  ::GetClientRect(Item(IDC_APP_SAMPLE), &client);
  EXPECT_EQ(client.Width() - 20, image->GetWidth());
  EXPECT_EQ(client.Height() - 20, image->GetHeight());
  const int w = image->GetWidth(), h = image->GetHeight();
  for (POINT p : {POINT{0, 0}, POINT{w - 1, h - 1}, POINT{w / 2, 0}})
    EXPECT_EQ(0xFFFF0000u, image->At(p.x, p.y)) << p.x << "," << p.y;  // the frame
  for (POINT p : {POINT{1, 1}, POINT{w - 2, h - 2}})
    EXPECT_EQ(0xFF0000FFu, image->At(p.x, p.y)) << p.x << "," << p.y;  // the background
}

TEST_F(AppearancePageTest, UnchangedFontsWriteNothingAndRefreshNothing) {
  Open();
  // A first save stores what the page shows; after it nothing differs.
  page.Save();
  int refreshes = host->refreshes;
  std::wstring before;
  host->settings.FormatIni(before, false);
  page.Save();
  std::wstring after;
  host->settings.FormatIni(after, false);
  EXPECT_EQ(before, after);
  EXPECT_EQ(refreshes, host->refreshes);
}

TEST_F(AppearancePageTest, StoredFontsAreSelectedAndChangesRefreshTheDictionaries) {
  host->settings.SetValue(L"Appearance", L"UIFontSize", L"10");
  host->settings.SetValue(L"Appearance", L"FontSize", L"1");
  host->settings.SetValue(L"Appearance", L"TextFont", L"\"No Such Face\"");
  Open();
  EXPECT_EQ(L"10", SelText(IDC_APP_UISIZE));
  EXPECT_EQ(L"Medium", SelText(IDC_APP_FONTSIZE));
  EXPECT_EQ(3, ::SendMessageW(Item(IDC_APP_UISIZE), CB_GETCOUNT, 0, 0));
  EXPECT_EQ(L"Small", [&] {
    wchar_t b[32] = {};
    ::SendMessageW(Item(IDC_APP_FONTSIZE), CB_GETLBTEXT, 0, LPARAM(b));
    return std::wstring(b);
  }());

  ::SendMessageW(Item(IDC_APP_FONTSIZE), CB_SETCURSEL, 2, 0);
  ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_APP_FONTSIZE, CBN_SELCHANGE), LPARAM(Item(IDC_APP_FONTSIZE)));
  page.Save();
  EXPECT_EQ(L"2", Setting(L"Appearance", L"FontSize"));
  EXPECT_EQ(L"10", Setting(L"Appearance", L"UIFontSize"));
  EXPECT_EQ(1, host->refreshes);
}

// A stored face that is not installed stays shown and stored: OK must not
// put the first listed face in its place (the interface font would restart
// the program for a change the user never made).
TEST_F(AppearancePageTest, StoredFaceThatIsNotInstalledIsShownAndKept) {
  const struct {
    const wchar_t* key;
    int combo;
  } fonts[] = {{L"UITextFont", IDC_APP_UIFONT}, {L"TextFont", IDC_APP_TEXTFONT}, {L"PhoneticFont", IDC_APP_PHONETIC}};
  for (const auto& font : fonts) host->settings.SetValue(L"Appearance", font.key, L"\"No Such Face\"");
  Open();
  for (const auto& font : fonts) EXPECT_EQ(L"No Such Face", SelText(font.combo)) << font.key;
  page.Save();
  for (const auto& font : fonts) EXPECT_EQ(L"\"No Such Face\"", Setting(L"Appearance", font.key)) << font.key;
}

}  // namespace
}  // namespace options_test
