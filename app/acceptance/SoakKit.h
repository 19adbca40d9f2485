// What the long-session roads share: a copy's settings pointed at loopback
// servers, the answers those servers give, the popup fed with grab records
// the way scrivet feeds it, and the dialogs of the main menu opened and
// closed as a user does.
#pragma once

#include <windows.h>

#include <string>

#include "app/acceptance/MainWindow.h"

namespace acceptance {

// ---- A copy's settings ----------------------------------------------------

// The text-translation engine's address (the first engine of data\tt\tt.xmc).
bool PointEngineAt(const std::wstring& folder, const std::string& url);
// The update description's address (system.inc); the copy's update record
// (update\update.ini) set to id 1 at UpdateTime(0).
bool PointUpdateAt(const std::wstring& folder, const std::string& url);
// A value of the user's state (user.ini) set before the program starts.
bool SetUserState(const std::wstring& folder, const wchar_t* section, const wchar_t* key, const wchar_t* value);

// A dictionary file made by the dictionary writer from its source text
// (UTF-8), written to path; false, with the reason, otherwise.
bool WriteDictionaryFile(const std::wstring& path, const char* source, std::string& why);

// ---- Loopback answers -----------------------------------------------------

std::string HttpOk(const std::string& type, const std::string& body);
// The time of the nth update description: later with every n.
std::wstring UpdateTime(int n);
// An update description of id 1 at UpdateTime(n), with a notice.
std::string UpdateDescription(int n);

// ---- The popup --------------------------------------------------------------

// The program's popup: records handed to it as scrivet hands them.
class Popup {
 public:
  explicit Popup(DWORD process);
  HWND Window() const { return window_; }
  HWND TranslateButton() const;
  // A line "the WORD here" with the cursor on the word, at a point of the
  // screen; true once the popup shows.
  bool Show(const std::wstring& word);
  // The mouse moved away from it (scrivet's move message); true once it hides.
  bool Hide();

 private:
  HWND window_ = nullptr;
};

// ---- Dialogs of the main menu -----------------------------------------------

// Opens the main menu with its button, chooses the item with the keys and
// waits for the dialog; the dialog, or null.
HWND OpenFromMainMenu(MainWindow& window, MainMenuItem item);
// Escape, as a user leaves a dialog; true once no dialog of the process shows.
bool CloseDialog(DWORD process, HWND dialog);

}  // namespace acceptance
