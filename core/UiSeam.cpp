#include "core/UiSeam.h"

namespace {

int SystemMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  return MessageBoxW(owner, text, caption, type);
}

bool SystemFileDialog(OPENFILENAMEW& dialog, bool save, DWORD& error) {
  BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  error = chosen ? 0 : CommDlgExtendedError();
  return chosen != FALSE;
}

MessageBoxHandler g_messageBox = &SystemMessageBox;
FileDialogHandler g_fileDialog = &SystemFileDialog;

}  // namespace

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
  return g_messageBox(owner, text, caption, type);
}

bool RunFileDialog(OPENFILENAMEW& dialog, bool save, DWORD& error) {
  return g_fileDialog(dialog, save, error);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = g_messageBox;
  g_messageBox = handler ? handler : &SystemMessageBox;
  return previous;
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
  FileDialogHandler previous = g_fileDialog;
  g_fileDialog = handler ? handler : &SystemFileDialog;
  return previous;
}
