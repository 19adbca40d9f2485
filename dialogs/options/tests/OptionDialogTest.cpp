// The options dialog: OK saves every page, writes "config.ini" and posts 2033;
// Cancel writes nothing; the remembered page.
#include "dialogs/options/OptionsRes.h"
#include "dialogs/options/tests/OptionsTestKit.h"

namespace options_test {
namespace {

class OptionDialogTest : public OptionsTest {};

TEST_F(OptionDialogTest, OkSavesEveryPageWritesConfigAndPosts2033) {
  host->settings.SetValue(L"Translate", L"GrabActivation", L"7");
  CDlgOption dlg;
  int shownTab = -2;
  std::wstring title;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) {
    shownTab = dlg.Tabs().GetCurSel();
    wchar_t buffer[64] = {};
    ::GetWindowTextW(d.m_hWnd, buffer, 64);
    title = buffer;
    PressButton(d, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(0, shownTab);
  EXPECT_EQ(L"Options", title);
  PumpPending();
  EXPECT_EQ(1, host->mainWindow.Count(WM_UI_SETTINGS_CHANGED, 0));
  // One page action of each page that sends one.
  EXPECT_EQ(1, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionApplyGrab));
  EXPECT_EQ(1, host->mainWindow.Count(WM_PAGE_ACTION, kPageActionHistorySize));
  EXPECT_EQ(L"0", host->userState.GetString(L"App", L"ConfigPage"));

  ASSERT_TRUE(host->ConfigWritten());
  CConfigFile written;
  ASSERT_TRUE(written.Load(host->ConfigPath().c_str(), nullptr, 0, 0));
  EXPECT_EQ(L"512", written.GetString(L"Translate", L"GrabActivation"));
  EXPECT_EQ(L"1", written.GetString(L"Translate", L"ClipboardActivation"));
  EXPECT_EQ(L"0", written.GetString(L"Connection", L"Connect"));
  // No stored language: the first item of the sorted list ("Alpha").
  EXPECT_EQ(L"zz-ZZ", written.GetString(L"General", L"LangCode"));
  EXPECT_NE(nullptr, written.GetValue(L"Hotkey", L"OpenMainWnd"));
  EXPECT_NE(nullptr, written.GetValue(L"Speech", L"Volume"));
  EXPECT_NE(nullptr, written.GetValue(L"Appearance", L"GrabAlpha"));
}

TEST_F(OptionDialogTest, CancelWritesNothingAndPostsNothing) {
  host->settings.SetValue(L"General", L"SearchHistory", L"20");
  std::wstring before;
  host->settings.FormatIni(before, false);
  CDlgOption dlg;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) {
    SetItemText(dlg.m_general.m_hWnd, IDC_GEN_HISTORY, L"55");
    PressButton(d, IDCANCEL);
  });
  EXPECT_EQ(IDCANCEL, result);
  PumpPending();
  std::wstring after;
  host->settings.FormatIni(after, false);
  EXPECT_EQ(before, after);
  EXPECT_FALSE(host->ConfigWritten());
  EXPECT_TRUE(host->mainWindow.messages.empty());
  EXPECT_EQ(nullptr, host->userState.GetValue(L"App", L"ConfigPage"));
}

// A config.ini that cannot be written (another program holds it, a folder
// the user may not write to): OK still applies the options and tells the user
// which file they could not be saved to.
TEST_F(OptionDialogTest, OkTellsWhichFileCannotBeSaved) {
  ASSERT_TRUE(host->settings.Save(host->ConfigPath().c_str(), nullptr));
  HANDLE held = ::CreateFileW(host->ConfigPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  CDlgOption dlg;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) { PressButton(d, IDOK); });
  ::CloseHandle(held);
  EXPECT_EQ(IDOK, result);
  PumpPending();
  EXPECT_EQ(1, host->mainWindow.Count(WM_UI_SETTINGS_CHANGED, 0));
  ASSERT_EQ(1u, BoxRecorder::texts.size());
  EXPECT_NE(std::wstring::npos, BoxRecorder::texts[0].find(host->ConfigPath())) << BoxRecorder::texts[0];
}

// OK with a proxy port outside 1-65535: the user is told on the Connection
// page and nothing is saved until the port is mended.
TEST_F(OptionDialogTest, OkRefusesAProxyPortOutsideTheRange) {
  CDlgOption dlg;
  std::wstring written;
  bool connectionShown = false;
  INT_PTR result = RunModal(dlg, [&](CDialog& d) {
    HWND page = dlg.m_connection.m_hWnd;
    ::CheckRadioButton(page, IDC_CN_DIRECT, IDC_CN_PROXY, IDC_CN_PROXY);
    SetItemText(page, IDC_CN_SERVER, L"127.0.0.1");
    SetItemText(page, IDC_CN_PORT, L"99999");
    PressButton(d, IDOK);
    connectionShown = dlg.m_connection.IsWindowVisible() && dlg.Tabs().GetCurSel() == 4;
    host->settings.FormatIni(written, false);
    SetItemText(page, IDC_CN_PORT, L"3128");
    PressButton(d, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_TRUE(connectionShown);
  EXPECT_EQ((std::vector<std::wstring>{L"Enter a port from 1 to 65535."}), BoxRecorder::texts);
  EXPECT_EQ(std::wstring::npos, written.find(L"ProxyPort")) << "saved before the port was mended";
  EXPECT_EQ(L"3128", host->settings.GetString(L"Connection", L"ProxyPort"));
}

TEST_F(OptionDialogTest, RemembersTheConfirmedPage) {
  host->userState.SetValue(L"App", L"ConfigPage", L"3");
  CDlgOption dlg;
  bool speechShown = false, generalShown = true;
  RunModal(dlg, [&](CDialog& d) {
    speechShown = dlg.m_speech.IsWindowVisible();
    generalShown = dlg.m_general.IsWindowVisible();
    // Switching by the tab control shows the Connection page.
    dlg.Tabs().SetCurSel(4);
    NMHDR header = {dlg.Tabs().m_hWnd, IDC_OPTION_TAB, UINT(TCN_SELCHANGE)};
    ::SendMessageW(d.m_hWnd, WM_NOTIFY, IDC_OPTION_TAB, LPARAM(&header));
    PressButton(d, IDOK);
  });
  EXPECT_TRUE(speechShown);
  EXPECT_FALSE(generalShown);
  EXPECT_EQ(L"4", host->userState.GetString(L"App", L"ConfigPage"));
}

TEST_F(OptionDialogTest, PageOutOfRangeShowsGeneralAndStoresNoSelection) {
  host->userState.SetValue(L"App", L"ConfigPage", L"9");
  CDlgOption dlg;
  bool generalShown = false;
  int tab = 0;
  RunModal(dlg, [&](CDialog& d) {
    generalShown = dlg.m_general.IsWindowVisible();
    tab = dlg.Tabs().GetCurSel();
    PressButton(d, IDOK);
  });
  EXPECT_TRUE(generalShown);
  // The tab control keeps its selection for an index it does not have (the
  // first tab here; none on some systems): what it reports is stored.
  EXPECT_TRUE(tab == 0 || tab == -1) << tab;
  EXPECT_EQ(tab == 0 ? L"0" : L"4294967295", host->userState.GetString(L"App", L"ConfigPage"));
}

TEST_F(OptionDialogTest, PagesSitInsideTheTabControl) {
  CDlgOption dlg;
  CRect tabRect, pageRect;
  RunModal(dlg, [&](CDialog& d) {
    dlg.Tabs().GetWindowRect(&tabRect);
    dlg.m_hotkey.GetWindowRect(&pageRect);
    PressButton(d, IDCANCEL);
  });
  EXPECT_EQ(tabRect.left + 5, pageRect.left);
  EXPECT_EQ(tabRect.right - 7, pageRect.right);
  EXPECT_EQ(tabRect.bottom - 7, pageRect.bottom);
  EXPECT_GT(pageRect.top, tabRect.top + 7);
}

}  // namespace
}  // namespace options_test
