// What a user of the program feels, under Wine, beside its floor:
//   program_bench FOLDER EMPTY_EXE DLLS_EXE RUNS WORD...
// FOLDER is a copy of the shipped folder; EMPTY_EXE the empty Win32 program, started the same way as the floor;
// DLLS_EXE the same empty program importing the program's DLLs, placed in FOLDER so that it loads the same
// files (the second floor: what the DLL set costs before any of the program's own code).
//  - start-up: process start to the main window visible (best and median of
//    RUNS, each a fresh process), and the same for the two empty programs;
//  - Enter: the WM_KEYDOWN of Enter taken from the search edit's queue to the
//    return of the result page's WM_PAINT, for each WORD typed in the search
//    bar (and to the last paint inside the main window), with the settings as
//    shipped (no capture: a capture on a resting mouse repaints a strip of
//    the window under it some 200 ms later, which is none of Enter's work);
//    and the same in a bare Win32 program (enter_floor), the floor;
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
#include <functional>
#include <string>
#include <vector>

#include "app/acceptance/AcceptanceKit.h"
#include "app/acceptance/MainWindow.h"
#include "bench/EnterFloor.h"
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

void EndProcess(PROCESS_INFORMATION& info) {
  if (!info.hProcess) return;
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, kDeadlineMs);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  info = PROCESS_INFORMATION();
}

void End(Started& s) {
  EndProcess(s.info);
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

// The paint probe (PaintProbe.h) on the thread of a program's top-level
// window, with the window that counts as the page.
class Probe {
 public:
  Probe() {
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(PaintProbeData),
                                  kPaintProbeMapping);
    data_ = mapping_ ? static_cast<PaintProbeData*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
    library_ = LoadLibraryW(L"paint_probe.dll");
  }
  ~Probe() { Detach(); }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  bool Attach(HWND top, HWND page) {
    Detach();
    if (!data_ || !library_ || !page) return false;
    data_->mainWindow = reinterpret_cast<LONGLONG>(top);
    data_->pageWindow = reinterpret_cast<LONGLONG>(page);
    const DWORD thread = GetWindowThreadProcessId(top, nullptr);
    auto hook = [&](int kind, const char* name) {
      auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
      return proc ? SetWindowsHookExW(kind, proc, library_, thread) : nullptr;
    };
    getMessage_ = hook(WH_GETMESSAGE, "PaintProbeGetMessage");
    callWndProc_ = hook(WH_CALLWNDPROC, "PaintProbeCallWndProc");
    return getMessage_ && callWndProc_;
  }
  void Detach() {
    if (getMessage_) UnhookWindowsHookEx(getMessage_);
    if (callWndProc_) UnhookWindowsHookEx(callWndProc_);
    getMessage_ = callWndProc_ = nullptr;
  }
  PaintProbeData* operator->() const { return data_; }

 private:
  HANDLE mapping_ = nullptr;
  PaintProbeData* data_ = nullptr;
  HMODULE library_ = nullptr;
  HHOOK getMessage_ = nullptr, callWndProc_ = nullptr;
};

// Each word typed and entered (enter returns false when it could not be),
// timed from Enter taken from the queue to the page's last paint and to the
// last paint inside the top-level window; the first word warms up (and has
// the probe watch every window).
void TimeEnter(Probe& probe, const std::vector<std::wstring>& words,
               const std::function<bool(const std::wstring&)>& enter, std::vector<double>& page,
               std::vector<double>& all) {
  for (size_t i = 0; i < words.size(); ++i) {
    const LONG before = probe->pagePaints;
    const LONGLONG sent = Ticks();
    // The page may be painted while the word is typed: the paint that
    // counts is one that ends after Enter.
    const bool painted = enter(words[i]) && WaitClose([&] {
      return probe->pagePaints != before && probe->enterTime >= sent && probe->pagePaintEnd > probe->enterTime;
    }, kDeadlineMs);
    if (!painted) {
      fprintf(stderr, "program_bench: no page painted for %s\n", Utf8(words[i]).c_str());
      continue;
    }
    WaitQuiet(probe->mainPaints, 400);
    if (i == 0) continue;
    page.push_back(Ms(probe->pagePaintEnd - probe->enterTime));
    all.push_back(Ms(probe->mainPaintEnd - probe->enterTime));
  }
}

// The word typed into a plain edit over its old text, then Enter.
bool TypeAndEnter(HWND edit, const std::wstring& word) {
  // As the search bar's lookups: a click only when the edit lacks the focus.
  const bool typing = FocusOf(edit) == edit && GetForegroundWindow() == GetAncestor(edit, GA_ROOT);
  if (!typing && !ClickToFocus(edit)) return false;
  PressKey(VK_HOME);
  PressKeys({VK_SHIFT, VK_END});
  TypeText(word);
  if (!WaitFor([&] { return WindowText(edit) == word; })) return false;
  PressKey(VK_RETURN);
  return true;
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

// Points at each word of the target in turn, after a blank place that hides
// the last popup, and takes the tick of the capture to the popup's last
// paint; the first word warms up.
std::vector<double> MeasurePopups(const Target& target, const std::vector<std::wstring>& words,
                                  Probe& probe, const wchar_t* screenshot) {
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
  if (argc < 6) {
    fprintf(stderr, "usage: program_bench FOLDER EMPTY_EXE DLLS_EXE RUNS WORD...\n");
    return 2;
  }
  std::wstring folder = argv[1];
  if (folder.back() != L'\\') folder += L'\\';
  const std::wstring empty = argv[2];
  const std::wstring emptyWithDlls = argv[3];
  const int runs = std::max(1, _wtoi(argv[4]));
  std::vector<std::wstring> words(argv + 5, argv + argc);

  // Start-up, the empty programs first, taking turns.
  std::vector<double> emptyStarts, dllStarts, starts;
  for (int i = 0; i < runs; ++i) {
    for (auto* floor : {&emptyStarts, &dllStarts}) {
      Started e = StartAndWait(floor == &emptyStarts ? empty : emptyWithDlls, folder, L"Empty");
      if (!e.window) {
        fprintf(stderr, "program_bench: an empty program showed no window\n");
        return 1;
      }
      floor->push_back(e.ms);
      End(e);
    }
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
  Print("start", starts);
  Print("empty_start", emptyStarts);
  Print("dlls_start", dllStarts);

  Probe probe;

  // Enter, first in the bare program (the floor), then in the last one started
  // (as shipped: no capture).
  std::vector<double> floorPage, floorAll;
  Started floor = StartAndWait(L"enter_floor.exe", folder, L"Enter floor");
  HWND floorEdit = floor.window ? Control(floor.window, L"Edit") : nullptr;
  if (floorEdit && probe.Attach(floor.window, Control(floor.window, kEnterFloorLineClass))) {
    TimeEnter(probe, words, [&](const std::wstring& word) { return TypeAndEnter(floorEdit, word); }, floorPage,
              floorAll);
  } else {
    fprintf(stderr, "program_bench: the Enter floor's window did not appear\n");
  }
  probe.Detach();
  End(floor);
  Print("enter_floor", floorPage);

  MainWindow main(program.window);
  if (!probe.Attach(program.window, main.ResultPage())) {
    fprintf(stderr, "program_bench: the paint probe could not be put on the program\n");
    End(program);
    return 1;
  }
  std::vector<double> enterPage, enterAll;
  TimeEnter(probe, words, [&](const std::wstring& word) { return main.LookUp(word); }, enterPage, enterAll);
  probe.Detach();
  Print("enter_page", enterPage);
  Print("enter_all", enterAll);
  SaveScreenshot(L"bench-enter");
  End(program);

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
  if (!probe.Attach(program.window, MainWindow(program.window).ResultPage())) {
    fprintf(stderr, "program_bench: the paint probe could not be put on the program\n");
    End(program);
    return 1;
  }

  // The popup over the words in a program of their own.
  Target target = StartTarget(words);
  std::vector<double> popup = MeasurePopups(target, words, probe, L"bench-popup");
  Print("popup", popup);
  Print("popup_floor", floorPopup);
  EndProcess(target.info);

  probe.Detach();
  End(program);
  LocalFree(argv);
  return 0;
}
