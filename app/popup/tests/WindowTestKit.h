// Shared by the popup's and the view bar's window tests: the application
// object's stores and folders pointed into a test host, a main window that
// records what it is sent, a page shell for the views, and the message pump.
#pragma once

#include <string>
#include <vector>

#include "app/popup/tests/PopupTestKit.h"
#include "platform/framework/Quorfx.h"

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::wstring text;  // wParam's text for 2028, the argument of 2030 and of 2031 162
};

// Stands in for the main frame: records messages from 2000 up and WM_COMMAND.
class SpyMain : public CWnd {
 public:
  BOOL CreateSpy();
  std::vector<Received> Of(UINT message) const;
  std::vector<Received> got;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class WindowTest : public GroupFixture {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Dispatches what is queued, through the framework's PreTranslateMessage chain.
  static void Pump();
  // Pumps until done() or about two seconds have passed.
  template <typename F>
  static bool PumpUntil(F done) {
    for (int i = 0; i < 200; ++i) {
      Pump();
      if (done()) return true;
      Sleep(10);
    }
    return false;
  }
  // Installs the grab group of the tests into the application's manager.
  void LoadGrabGroup();

  SpyMain main_;
};
