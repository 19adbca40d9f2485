#include "app/acceptance/DialogKit.h"

#include "app/acceptance/AcceptanceKit.h"

namespace acceptance {

HWND WaitForTopWindow(DWORD process, const wchar_t* className, const wchar_t* title) {
  HWND found = nullptr;
  WaitFor([&] {
    std::vector<HWND> windows = TopWindows(process, className, title, true);
    found = windows.empty() ? nullptr : windows.front();
    return found != nullptr;
  });
  return found;
}

HWND WaitForBoxSaying(DWORD process, const wchar_t* part) {
  HWND found = nullptr;
  WaitFor([&] {
    for (HWND box : TopWindows(process, L"#32770", nullptr, true))
      for (HWND text : Controls(box, L"Static"))
        if (WindowText(text).find(part) != std::wstring::npos) found = box;
    return found != nullptr;
  });
  return found;
}

bool WaitUntilGone(HWND window) {
  return WaitFor([window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

HWND DialogItem(HWND dialog, int id) { return Control(dialog, nullptr, id); }

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    items.push_back(text);
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool WaitUntilPainted(HWND window, std::string& why) {
  return WaitFor([&] { return LooksPainted(window, why); });
}

}  // namespace acceptance
