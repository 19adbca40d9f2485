// What the window roads share: the windows the program opens over its main
// window (dialogs, menus, tool tips) found as they come up, the standard
// controls of a dialog read as a user reads them, and the check that a window
// shows a picture of its own rather than a black or blank area.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace acceptance {

// Waits for a visible top-level window of the process of that class and
// title (null: any); null when none came.
HWND WaitForTopWindow(DWORD process, const wchar_t* className, const wchar_t* title);
// Waits for a visible dialog or message box of the process with a text
// holding `part`; null when none came.
HWND WaitForBoxSaying(DWORD process, const wchar_t* part);
// Waits until the window is gone or hidden.
bool WaitUntilGone(HWND window);

// A visible dialog's control by id (direct child or deeper).
HWND DialogItem(HWND dialog, int id);
// The items of a combo box, in list order.
std::vector<std::wstring> ComboItems(HWND combo);
int ComboSelection(HWND combo);
bool IsChecked(HWND button);

// The window is painted (LooksPainted) within the deadline; why not, otherwise.
bool WaitUntilPainted(HWND window, std::string& why);

}  // namespace acceptance
