#include "app/popup/tests/WindowTestKit.h"

#include "app/popup/DlgView.h"
#include "app/shell/QuorindoApp.h"
#include "guictl/Kestrelu.h"

// The search bar is not there in these tests: the view bar speaks only a selection.
void ViewBarInputText(std::wstring& text) { text.clear(); }

BOOL SpyMain::CreateSpy() {
  return CreateEx(0, AfxRegisterWndClass(0), L"main", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr);
}

std::vector<Received> SpyMain::Of(UINT message) const {
  std::vector<Received> out;
  for (const Received& r : got)
    if (r.message == message) out.push_back(r);
  return out;
}

LRESULT SpyMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 2000 || message == WM_COMMAND || message == WM_DRAWCLIPBOARD || message == WM_CHANGECBCHAIN) {
    Received r = {message, wParam, lParam, L""};
    if (message == 2028 && wParam) r.text = reinterpret_cast<const wchar_t*>(wParam);
    if (message == 2030 && lParam) r.text = reinterpret_cast<const wchar_t*>(lParam);
    if (message == 2031 && wParam == 162 && lParam) r.text = reinterpret_cast<const wchar_t*>(lParam);
    got.push_back(r);
    return 1;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void WindowTest::SetUp() {
  for (CConfigFile* store : {&theApp.m_uiText, &theApp.m_settings, &theApp.m_userState})
    store->Parse(L"", false, CConfigFile::kReplaceStore);
  theApp.m_dataFolder = host_.GetDataFolder();
  theApp.m_imageFolder = host_.GetImageFolder();
  theApp.m_iconFolder = host_.GetIconFolder();
  theApp.m_dictFolder = host_.GetDictFolder();
  theApp.m_tempFolder = host_.GetTempFolder();
  const wchar_t* texts[][3] = {
      {L"WebResult", L"NoMatch", L"<p id=\"nomatch\">No match for %s</p>"},
      {L"WebResult", L"MoreActions", L"<p>%s|%s</p>"},
      {L"WndGrab", L"Open", L"Open"},
      {L"Layout", L"ShowResult", L"Show"},
      {L"Layout", L"MinimizeResult", L"Minimize"},
      {L"DictMenu", L"About", L"About"},
      {L"DictMenu", L"Disable", L"Disable"},
      {L"DictMenu", L"DisableMsg", L"Disabled"},
      {L"Message", L"SaveSearchResultFail", L"Save failed"},
  };
  for (auto& t : texts) theApp.m_uiText.SetValue(t[0], t[1], t[2]);
  WriteTextFile(host_.GetDataFolder() + L"start.htm",
                L"<html><head></head><body><div id=\"main_info\"></div><div id=\"main_wnd\"></div>"
                L"<div id=\"main\"></div></body></html>",
                true);
  ASSERT_EQ(1, Kestrel_Initialize(host_.GetImageFolder().c_str()));
  ASSERT_TRUE(main_.CreateSpy());
  AfxGetApp()->m_pMainWnd = &main_;
}

void WindowTest::TearDown() {
  AfxGetApp()->m_pMainWnd = nullptr;
  if (main_.m_hWnd) main_.DestroyWindow();
  Pump();
  theApp.m_dictManager.Clear();
  Kestrel_UnInitialize();
}

void WindowTest::Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!AfxPreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void WindowTest::LoadGrabGroup() {
  host_.uiTexts[L"/10"] = L"0x200";  // the base dictionary
  // A layout that keeps the definitions and marks each dictionary's section.
  WriteTextFile(host_.GetDictFolder() + L"layout_def.cfg",
                L"[comm]\nDictB_Grab=<div class=\"dict\">;\nDictB=<div class=\"dict\">;\nDictE=</div>;\n"
                L"[fmt]\nDefB1=<p>;\nDefB=<p>;\nDefE=</p>;\n",
                true);
  Install(0x200, {{L"book", L"a thing to read"}, {L"box", L"a container"}, {L"cat", L"an animal"}});
  Install(0x300, {{L"\x4e2d\x6587", L"Chinese"}, {L"parser", L"a reader of text"}});
  ASSERT_TRUE(LoadGroups(L"<query_group/><index_group/>"
                         L"<grab_group><dict id=\"200\"/><dict id=\"300\"/></grab_group>"));
  ASSERT_TRUE(theApp.m_dictManager.LoadConfig());
}
