// The fixture of every road: a fresh copy of the shipped folder, Quorindo.exe
// started there with its main window up, and afterwards the program gone
// (ended by the road through its own Exit, or else terminated) and the copy
// deleted. A road that needs a loopback server (http/tests/TestServer.h)
// starts it in Prepare and points the copy's settings at it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/acceptance/AcceptanceKit.h"
#include "app/acceptance/MainWindow.h"

namespace acceptance {

// The program's icon in Wine's system tray window (the X11 driver's own
// tray, which stands in when no desktop tray takes icons): its icon window.
HWND TrayIcon();

class Road : public ::testing::Test {
 protected:
  Road() : copy_(L"quorindo_road") {}

  // Runs on the fresh copy before the program starts.
  virtual void Prepare() {}
  // The program's command line after its path.
  virtual std::wstring Arguments() { return L""; }

  void SetUp() override;
  void TearDown() override;

  const std::wstring& Folder() const { return copy_.Folder(); }
  MainWindow Window() const { return MainWindow(program_.MainWindow()); }
  // The screen as build/acceptance/<test>-<name>.png.
  void Screenshot(const std::wstring& name);
  // Right click on the program's tray icon; the menu's item at position
  // (Down presses from no selection, or Up presses where negative: -1 is the
  // last item; separators are skipped) chosen with Enter. False, with a
  // failure, when the icon or its menu did not come.
  bool ChooseFromTray(int downs);
  // A right click on the program's tray icon as a hand makes it.
  void RightClickIcon(HWND icon);

  ShippedCopy copy_;
  ProgramProcess program_;
};

}  // namespace acceptance
