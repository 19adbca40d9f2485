// Helpers of the search bar tests: the application's stores and folders as
// the tests set them, a spy main window that records the lookups, a spy
// parent for the lists, small dictionaries made by the dictionary writer,
// skin images and message pumping.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "dict/DictFile.h"
#include "dict/DictManager.h"
#include "dict/tests/DictTestKit.h"
#include "guictl/Kestrelu.h"
#include "platform/framework/Quorfx.h"

namespace search_test {

// What SearchApp.h gives the windows in these tests.
struct AppState {
  std::unique_ptr<CConfigFile> texts = std::make_unique<CConfigFile>();
  std::unique_ptr<CConfigFile> settings = std::make_unique<CConfigFile>();
  std::unique_ptr<CConfigFile> user = std::make_unique<CConfigFile>();
  std::wstring imageFolder;
  std::wstring iconFolder;
  std::wstring language = L"en";
  CFont uiFont;
  CFont boldFont;
  CDictManager* manager = nullptr;
  std::vector<std::pair<int, uint32_t>> dictOptions;  // calls of the dictionary dialog
};
AppState& App();

// Dispatches what is queued now, through the PreTranslateMessage chain.
void PumpPending();

// A message sent to the spy main window.
struct Sent {
  UINT message;
  std::wstring word;
  WPARAM wParam;
  LPARAM lParam;
};

// The application's main window: records 2028, 2029 and WM_COMMAND.
class SpyMain : public CWnd {
 public:
  BOOL CreateSpy(int width = 600, int height = 400);
  std::vector<Sent> sent;
  std::vector<Sent> Lookups(UINT message) const;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A parent that records WM_COMMAND from its children and has no font.
class SpyParent : public CWnd {
 public:
  struct Command {
    UINT id;
    UINT code;
    HWND from;
  };
  BOOL CreateSpy(CWnd* parent = nullptr, int width = 300, int height = 300);
  int Count(UINT code) const;
  std::vector<Command> commands;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// Keys "w000", "w001", ... in order.
std::wstring KeyName(int i);
// A dictionary of `keys` keys, opened; null when the writer failed.
std::unique_ptr<CDictFile> MakeWordDict(CTestHost& host, uint32_t id, int keys);

// Dictionaries 0x100 (the base), 0x200 and 0x300, each with the keys
// "apple" and "pear", installed and loaded; the index group holds 0x200,
// 0x300 and the base, in that order. Null when any step failed.
std::unique_ptr<CDictManager> MakeManager(CTestHost& host);

// Writes a solid PNG of the given size into folder + name.
bool WritePng(const std::wstring& folder, const wchar_t* name, int width, int height, uint32_t pixel);

// Every window test: Kestrelu started with the test image folder, fresh
// stores, a spy main window as the application's main window.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  CTestHost host;
  SpyMain main;
};

// A 32-bit memory canvas to draw into and read back.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  HDC dc() const { return m_dc; }
  COLORREF At(int x, int y) const;
  int Count(const RECT& rc, COLORREF colour) const;
  void Fill(COLORREF colour);

 private:
  int m_w, m_h;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  uint32_t* m_bits = nullptr;
};

}  // namespace search_test
