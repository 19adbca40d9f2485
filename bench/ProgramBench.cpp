// What a user of the program feels, under Wine, beside its floor:
//   program_bench FOLDER EMPTY_EXE RUNS WORD...
// FOLDER is a copy of the shipped folder with the mouse-rest capture switched
// on; EMPTY_EXE the empty Win32 program, started the same way as the floor.
//  - start-up: process start to the main window visible (best of RUNS, each a
//    fresh process), and the same for the empty program;
//  - Enter: the WM_KEYDOWN of Enter taken from the search edit's queue to the
//    return of the result page's WM_PAINT, for each WORD typed in the search
//    bar (and to the last paint inside the main window);
//  - popup: the capture hook's timer firing in a window of this program that
//    shows the words, to the return of the popup's WM_PAINT.
// Times inside the program come from the paint probe (PaintProbe.h); the
// performance counter is the same in every process. Prints "name value" lines
// (milliseconds).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/acceptance/AcceptanceKit.h"
#include "app/acceptance/MainWindow.h"
#include "bench/PaintProbe.h"

using namespace acceptance;

namespace {

double Ms(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(ticks) * 1000.0 / double(frequency.QuadPart);
}

LONGLONG Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// Polls every millisecond (a coarse poll would be part of the figure).
bool WaitClose(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= deadlineMs) return false;
    Sleep(1);
  }
  return true;
}

// Pumps this thread's messages until the condition holds (the capture's timer
// runs in this thread); the time the last timer message was taken is noted.
LONGLONG g_lastTimer = 0;
bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start >= deadlineMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && !msg.hwnd && msg.lParam) g_lastTimer = Ticks();
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  return true;
}

struct Started {
  PROCESS_INFORMATION info = {};
  HWND window = nullptr;
  double ms = 0;
};

// Starts exe in folder and waits for its visible top-level window of the title.
Started StartAndWait(const std::wstring& exe, const std::wstring& folder, const wchar_t* title) {
  Started s;
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  const LONGLONG t0 = Ticks();
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &s.info))
    return s;
  WaitClose(
      [&] {
        std::vector<HWND> windows = TopWindows(s.info.dwProcessId, nullptr, title, true);
        s.window = windows.empty() ? nullptr : windows.front();
        return s.window || WaitForSingleObject(s.info.hProcess, 0) == WAIT_OBJECT_0;
      },
      kStartDeadlineMs);
  s.ms = Ms(Ticks() - t0);
  return s;
}

void End(Started& s) {
  if (!s.info.hProcess) return;
  TerminateProcess(s.info.hProcess, 0);
  WaitForSingleObject(s.info.hProcess, kDeadlineMs);
  CloseHandle(s.info.hProcess);
  CloseHandle(s.info.hThread);
  s = Started();
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Print(const char* name, const std::vector<double>& v) {
  if (v.empty()) return;
  printf("%s_median %.2f\n%s_best %.2f\n", name, Median(v), name, *std::min_element(v.begin(), v.end()));
}

// Waits until the count has stayed put for quietMs.
void WaitQuiet(volatile LONG& count, DWORD quietMs, bool pump) {
  for (;;) {
    const LONG seen = count;
    auto changed = [&] { return count != seen; };
    if (!(pump ? PumpUntil(changed, quietMs) : WaitClose(changed, quietMs))) return;
  }
}

// ---- The window the popup reads from ----------------------------------------

const int kLineHeight = 48;
std::vector<std::wstring> g_targetWords;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (size_t i = 0; i < g_targetWords.size(); ++i)
      TextOutW(dc, 20, int(i) * kLineHeight + 16, g_targetWords[i].c_str(), int(g_targetWords[i].size()));
    SelectObject(dc, old);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateTarget() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuorindoBenchTarget";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"bench target", WS_POPUP, 700, 40, 400,
                                int(g_targetWords.size()) * kLineHeight + 32, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

void MoveMouseTo(int x, int y) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 5) {
    fprintf(stderr, "usage: program_bench FOLDER EMPTY_EXE RUNS WORD...\n");
    return 2;
  }
  std::wstring folder = argv[1];
  if (folder.back() != L'\\') folder += L'\\';
  const std::wstring empty = argv[2];
  const int runs = std::max(1, _wtoi(argv[3]));
  std::vector<std::wstring> words(argv + 4, argv + argc);

  // Start-up, the empty program first (its folder: its own).
  std::vector<double> emptyStarts, starts;
  for (int i = 0; i < runs; ++i) {
    Started e = StartAndWait(empty, folder, L"Empty");
    if (!e.window) {
      fprintf(stderr, "program_bench: the empty program showed no window\n");
      return 1;
    }
    emptyStarts.push_back(e.ms);
    End(e);
  }
  Started program;
  for (int i = 0; i < runs; ++i) {
    End(program);
    program = StartAndWait(folder + L"Quorindo.exe", folder, L"Quorindo");
    if (!program.window) {
      fprintf(stderr, "program_bench: Quorindo's main window did not appear: %s\n",
              Utf8(DialogTexts(program.info.dwProcessId)).c_str());
      End(program);
      return 1;
    }
    starts.push_back(program.ms);
  }
  printf("start_best %.1f\nempty_start_best %.1f\n", *std::min_element(starts.begin(), starts.end()),
         *std::min_element(emptyStarts.begin(), emptyStarts.end()));

  // The probe inside the last one started.
  MainWindow main(program.window);
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PaintProbeData),
                                      kPaintProbeMapping);
  auto* probe = static_cast<PaintProbeData*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  HMODULE library = LoadLibraryW(L"paint_probe.dll");
  const DWORD thread = GetWindowThreadProcessId(program.window, nullptr);
  HHOOK getMessage = nullptr, callWndProc = nullptr;
  if (probe && library) {
    probe->mainWindow = reinterpret_cast<LONGLONG>(program.window);
    probe->pageWindow = reinterpret_cast<LONGLONG>(main.ResultPage());
    auto hook = [&](int kind, const char* name) {
      auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, name)));
      return proc ? SetWindowsHookExW(kind, proc, library, thread) : nullptr;
    };
    getMessage = hook(WH_GETMESSAGE, "PaintProbeGetMessage");
    callWndProc = hook(WH_CALLWNDPROC, "PaintProbeCallWndProc");
  }
  if (!getMessage || !callWndProc || !probe->pageWindow) {
    fprintf(stderr, "program_bench: the paint probe could not be put on the program\n");
    End(program);
    return 1;
  }

  // Enter: the first word warms up (and has the probe watch every window).
  std::vector<double> enterPage, enterAll;
  for (size_t i = 0; i < words.size(); ++i) {
    const LONG before = probe->pagePaints;
    const LONGLONG sent = Ticks();
    const bool painted = main.LookUp(words[i]) && WaitClose([&] {
      return probe->pagePaints != before && probe->enterTime >= sent;
    }, kDeadlineMs);
    if (!painted) {
      fprintf(stderr, "program_bench: no page painted for %s\n", Utf8(words[i]).c_str());
      continue;
    }
    WaitQuiet(probe->mainPaints, 400, false);
    if (i == 0) continue;
    enterPage.push_back(Ms(probe->pagePaintEnd - probe->enterTime));
    enterAll.push_back(Ms(probe->mainPaintEnd - probe->enterTime));
  }
  Print("enter_page", enterPage);
  Print("enter_all", enterAll);
  SaveScreenshot(L"bench-enter");

  // The popup over a window of this program that shows the words.
  g_targetWords = words;
  HWND target = CreateTarget();
  const RECT area = ScreenRect(target);
  std::vector<double> popup;
  for (size_t i = 0; i < words.size(); ++i) {
    // Away to a blank place first, then at rest on the word.
    MoveMouseTo(area.right - 10, area.bottom - 4);
    PumpUntil([] { return false; }, 700);
    const LONG before = probe->otherPaints;
    g_lastTimer = 0;
    MoveMouseTo(area.left + 30, area.top + int(i) * kLineHeight + 16 + 6);
    if (!PumpUntil([&] { return probe->otherPaints != before; }, kDeadlineMs) || !g_lastTimer) {
      fprintf(stderr, "program_bench: no popup for %s\n", Utf8(words[i]).c_str());
      continue;
    }
    WaitQuiet(probe->otherPaints, 400, true);
    if (i == 0) continue;
    popup.push_back(Ms(probe->otherPaintEnd - g_lastTimer));
  }
  Print("popup", popup);
  SaveScreenshot(L"bench-popup");

  UnhookWindowsHookEx(getMessage);
  UnhookWindowsHookEx(callWndProc);
  DestroyWindow(target);
  End(program);
  LocalFree(argv);
  return 0;
}
