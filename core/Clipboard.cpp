#include "core/Clipboard.h"

bool OpenClipboardPatiently(HWND owner, DWORD wait_ms) {
  const DWORD start = GetTickCount();
  while (!OpenClipboard(owner)) {
    if (GetTickCount() - start >= wait_ms) return false;
    Sleep(10);
  }
  return true;
}
