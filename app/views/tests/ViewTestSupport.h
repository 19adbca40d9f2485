// What the views' window tests share: a shown top-level frame, a child window
// that records the messages the views send and post to it, the message pump,
// and a sandbox data folder with the page shells.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace viewtest {

// The message the pump is dispatching: a message that matches it was posted.
inline MSG& Dispatching() {
  static MSG msg;
  return msg;
}

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool sent;                   // SendMessage (true) or PostMessage
  std::wstring text1, text2;   // copies of string arguments, when asked for
  std::vector<uint32_t> record;  // copy of a record argument, when asked for
};

// A window that keeps every message from 2000 up and WM_COMMAND. Hook may copy
// what the pointers point at while they are valid.
class MessageRecorder {
 public:
  std::vector<Received> got;
  std::function<void(Received&)> hook;
  LRESULT answer = 1;

  bool Create(HWND parent) {
    static bool registered = false;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    if (!registered) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = Proc;
      wc.hInstance = inst;
      wc.lpszClassName = L"ViewsTestRecorder";
      RegisterClassW(&wc);
      registered = true;
    }
    hwnd = CreateWindowExW(0, L"ViewsTestRecorder", L"", parent ? WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN : WS_POPUP,
                           0, 0, 600, 500, parent, nullptr, inst, this);
    return hwnd != nullptr;
  }
  ~MessageRecorder() {
    if (hwnd) DestroyWindow(hwnd);
  }
  const Received* Find(UINT message) const {
    for (const auto& r : got) {
      if (r.message == message) return &r;
    }
    return nullptr;
  }
  size_t Count(UINT message) const {
    size_t n = 0;
    for (const auto& r : got) n += r.message == message;
    return n;
  }
  HWND hwnd = nullptr;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrW(h, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && ((msg >= 2000 && msg < 4000) || msg == WM_COMMAND)) {
      const MSG& d = Dispatching();
      bool posted = d.hwnd == h && d.message == msg && d.wParam == wp && d.lParam == lp;
      Received r{msg, wp, lp, !posted, {}, {}, {}};
      if (self->hook) self->hook(r);
      self->got.push_back(r);
      return self->answer;
    }
    return DefWindowProcW(h, msg, wp, lp);
  }
};

inline void Pump(int rounds = 3) {
  MSG msg;
  for (int round = 0; round < rounds; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      Dispatching() = msg;
      DispatchMessageW(&msg);
      Dispatching() = MSG();
    }
    Sleep(1);
  }
}

// Pumps until done() holds or about two seconds have gone.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    if (done()) return true;
    Pump(1);
  }
  return done();
}

// The one shown top-level window of a test program.
inline HWND Frame() {
  static HWND frame = nullptr;
  if (!frame) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ViewsTestFrame";
    RegisterClassW(&wc);
    frame = CreateWindowExW(0, L"ViewsTestFrame", L"views", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 640, 540,
                            nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
  }
  return frame;
}

inline void WriteUtf8(const std::wstring& path, const std::string& text) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

// A fresh folder below the temp folder, ending in "\", with the page shells.
inline std::wstring MakeDataFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  // One folder per test process: ctest runs the tests of a suite side by side.
  std::wstring folder = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  WriteUtf8(folder + L"start.htm",
            "<html><head><title>start</title></head><body style='margin:0'>"
            "<div id='main_info' style='display:none'></div>"
            "<div id='main_wnd'></div><div id='main'></div></body></html>");
  WriteUtf8(folder + L"blank.htm",
            "<html><head><title>blank</title></head><body style='margin:0'><div id='main'></div></body></html>");
  return folder;
}

}  // namespace viewtest
