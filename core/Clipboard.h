// Opening the clipboard when another program may be holding it.
#pragma once

#include <windows.h>

// Opens the clipboard for owner (may be null). Another program can hold it
// for a moment (every program that watches the clipboard opens it to read a
// change), so a busy clipboard is tried again for up to wait_ms before the
// open fails. Close it with CloseClipboard as usual.
bool OpenClipboardPatiently(HWND owner, DWORD wait_ms = 500);
