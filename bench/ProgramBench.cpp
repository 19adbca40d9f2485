// What a user of the program feels, under Wine, beside its floor:
//   program_bench FOLDER EMPTY_EXE RUNS WORD...
// FOLDER is a copy of the shipped folder; EMPTY_EXE the empty Win32 program, started the same way as the floor.
//  - start-up: process start to the main window visible (best of RUNS, each a
//    fresh process), and the same for the empty program;
//  - Enter: the WM_KEYDOWN of Enter taken from the search edit's queue to the
//    return of the result page's WM_PAINT, for each WORD typed in the search
//    bar (and to the last paint inside the main window);
//  - popup: with the capture on a resting mouse, the capture's timer tick
//    taken from the queue of a program that shows the words (popup_target)
//    to the return of the popup's WM_PAINT, for each WORD pointed at;
//  - its floor: the same road to a bare Win32 popup (popup_floor) that puts
//    the shipped capture library on and paints each line it is sent.
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
#include "bench/PopupTarget.h"

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
void WaitQuiet(volatile LONG& count, DWORD quietMs) {
  for (;;) {
    const LONG seen = count;
    if (!WaitClose([&] { return count != seen; }, quietMs)) return;
  }
}

// Starts the window that shows the words (its own program) and waits for it.
struct Target {
  PROCESS_INFORMATION info = {};
  HWND window = nullptr;
};

Target StartTarget(const std::vector<std::wstring>& words) {
  Target t;
  std::wstring command = L"\"popup_target.exe\"";
  for (const std::wstring& w : words) command += L" \"" + w + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &t.info)) {
    WaitClose([&] {
      std::vector<HWND> windows = TopWindows(t.info.dwProcessId, kTargetClass, nullptr, true);
      t.window = windows.empty() ? nullptr : windows.front();
      return t.window != nullptr;
    }, kStartDeadlineMs);
  }
  if (!t.window) fprintf(stderr, "program_bench: the popup's target window did not appear\n");
  return t;
}

void EndProcess(PROCESS_INFORMATION& info) {
  if (!info.hProcess) return;
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, kDeadlineMs);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  info = PROCESS_INFORMATION();
}

// Points at each word of the target in turn, after a blank place that hides
// the last popup, and takes the tick of the capture to the popup's last
// paint; the first word warms up.
std::vector<double> MeasurePopups(const Target& target, const std::vector<std::wstring>& words,
                                  PaintProbeData* probe, const wchar_t* screenshot) {
  std::vector<double> popup;
  if (!target.window) return popup;
  const RECT area = ScreenRect(target.window);
  for (size_t i = 0; i < words.size(); ++i) {
    // To a blank place first, its capture over, then at rest on the word.
    LONG ticks = probe->ticks;
    MouseTo({area.right - 10, area.bottom - 4});
    WaitClose([&] { return probe->ticks != ticks; }, kDeadlineMs);
    WaitQuiet(probe->otherPaints, 400);
    const LONG before = probe->otherPaints;
    ticks = probe->ticks;
    MouseTo({area.left + kTargetTextLeft + 6, area.top + kTargetLineTop + int(i) * kTargetLineHeight + 6});
    if (!WaitClose([&] {
          return probe->ticks != ticks && probe->otherPaints != before && probe->otherPaintEnd > probe->tickTime;
        }, kDeadlineMs)) {
      fprintf(stderr, "program_bench: no popup for %s (%ld capture ticks)\n", Utf8(words[i]).c_str(),
              probe->ticks - ticks);
      continue;
    }
    WaitQuiet(probe->otherPaints, 400);
    if (i == 0) continue;
    popup.push_back(Ms(probe->otherPaintEnd - probe->tickTime));
  }
  SaveScreenshot(screenshot);
  return popup;
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
  auto start = [&] {
    End(program);
    program = StartAndWait(folder + L"Quorindo.exe", folder, L"Quorindo");
    if (program.window) return true;
    fprintf(stderr, "program_bench: Quorindo's main window did not appear: %s\n",
            Utf8(DialogTexts(program.info.dwProcessId)).c_str());
    End(program);
    return false;
  };
  for (int i = 0; i < runs; ++i) {
    if (!start()) return 1;
    starts.push_back(program.ms);
  }
  printf("start_best %.1f\nempty_start_best %.1f\n", *std::min_element(starts.begin(), starts.end()),
         *std::min_element(emptyStarts.begin(), emptyStarts.end()));
  End(program);

  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PaintProbeData),
                                      kPaintProbeMapping);
  auto* probe = static_cast<PaintProbeData*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!probe) {
    fprintf(stderr, "program_bench: no mapping for the paint probe\n");
    return 1;
  }

  // The popup's floor, while no program holds the capture hooks: they are
  // the library's one set, and Quorindo takes them next.
  std::vector<double> floorPopup;
  {
    const int delay = int(GetPrivateProfileIntW(L"Translate", L"GrabTimeDelay", 300, (folder + L"config.ini").c_str()));
    std::wstring command = L"\"popup_floor.exe\" \"" + folder + L"scrivet.dll\" " + std::to_wstring(delay);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION floorProcess = {};
    const bool started =
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &floorProcess) &&
        WaitForInputIdle(floorProcess.hProcess, kStartDeadlineMs) == 0 &&
        WaitForSingleObject(floorProcess.hProcess, 0) != WAIT_OBJECT_0;
    if (started) {
      Target target = StartTarget(words);
      floorPopup = MeasurePopups(target, words, probe, L"bench-popup-floor");
      EndProcess(target.info);
    } else {
      fprintf(stderr, "program_bench: the bare popup did not start or could not put the hooks on\n");
    }
    // Closed, not killed: under Wine the hooks of a killed program stay on.
    for (HWND w : AnyTopWindows(L"QuorindoBenchPopupFloor", false)) PostMessageW(w, WM_CLOSE, 0, 0);
    if (floorProcess.hProcess && WaitForSingleObject(floorProcess.hProcess, kDeadlineMs) != WAIT_OBJECT_0)
      fprintf(stderr, "program_bench: the bare popup did not close\n");
    EndProcess(floorProcess);
  }

  // Once more with the capture on a resting mouse, for the popup.
  WritePrivateProfileStringW(L"App", L"EnableGrab", L"y", (folder + L"user.ini").c_str());
  WritePrivateProfileStringW(L"Translate", L"GrabActivation", L"1", (folder + L"config.ini").c_str());
  if (!start()) return 1;

  // The probe inside the last one started.
  MainWindow main(program.window);
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
    // The page may be painted while the word is typed: the paint that
    // counts is one that ends after Enter.
    const bool painted = main.LookUp(words[i]) && WaitClose([&] {
      return probe->pagePaints != before && probe->enterTime >= sent && probe->pagePaintEnd > probe->enterTime;
    }, kDeadlineMs);
    if (!painted) {
      fprintf(stderr, "program_bench: no page painted for %s\n", Utf8(words[i]).c_str());
      continue;
    }
    WaitQuiet(probe->mainPaints, 400);
    if (i == 0) continue;
    enterPage.push_back(Ms(probe->pagePaintEnd - probe->enterTime));
    enterAll.push_back(Ms(probe->mainPaintEnd - probe->enterTime));
  }
  Print("enter_page", enterPage);
  Print("enter_all", enterAll);
  SaveScreenshot(L"bench-enter");

  // The popup over the words in a program of their own.
  Target target = StartTarget(words);
  std::vector<double> popup = MeasurePopups(target, words, probe, L"bench-popup");
  Print("popup", popup);
  Print("popup_floor", floorPopup);
  EndProcess(target.info);

  UnhookWindowsHookEx(getMessage);
  UnhookWindowsHookEx(callWndProc);
  End(program);
  LocalFree(argv);
  return 0;
}
