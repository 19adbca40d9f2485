// Every message box and common file dialog that the core shows goes through
// these two functions. The application keeps the defaults (the system's own
// boxes and dialogs); tests install handlers that answer at once, so nothing
// ever waits for a user.
#pragma once

#include <windows.h>
#include <commdlg.h>

// Same arguments and result as MessageBoxW.
using MessageBoxHandler = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
// Runs the open (save false) or save dialog; on failure sets error to the
// dialog's extended error (0 when the user cancelled).
using FileDialogHandler = bool (*)(OPENFILENAMEW& dialog, bool save, DWORD& error);

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
bool RunFileDialog(OPENFILENAMEW& dialog, bool save, DWORD& error);

// Install a handler (null restores the default); the previous one is returned.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
