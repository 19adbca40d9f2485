// scrivet across real processes: this test is the receiver (it loads the
// library as the program does and records what reaches its notify window)
// and the driver (it moves the mouse and presses keys); scrivet_target is
// the foreign program whose text is captured.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "grabhook/Scrivet.h"
#include "grabhook/tests/GrabTargetLines.h"
#include "grabhook/tests/MutexThreads.h"
#include "grabhook/tests/WineProgramKit.h"

#include <commctrl.h>

#include <tlhelp32.h>  // after windows.h

namespace {

constexpr UINT kCopyDataId = 2027;
constexpr UINT kMoveMsg = 2026;

struct Move {
  HWND window;
  POINT point;
};

struct Received {
  GrabTextResult record;
  HWND sender;
};

std::vector<Move> g_moves;
std::vector<Received> g_records;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMoveMsg) {
    g_moves.push_back({reinterpret_cast<HWND>(wParam), {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}});
    return 0;
  }
  if (message == WM_COPYDATA) {
    const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (copy->dwData == kCopyDataId && copy->cbData == sizeof(GrabTextResult)) {
      Received received;
      memcpy(&received.record, copy->lpData, sizeof(GrabTextResult));
      received.sender = reinterpret_cast<HWND>(wParam);
      g_records.push_back(received);
    }
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

template <typename Fn>
Fn Export(HMODULE library, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Pumps this thread's messages until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed < 20 ? timeoutMs - elapsed : 20, QS_ALLINPUT);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

void PressKey(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

// A key pressed for a scope: let go however the scope ends, so that a
// failed check leaves no key down for the next test.
class HeldKey {
 public:
  explicit HeldKey(WORD key) : m_key(key) { PressKey(key, false); }
  ~HeldKey() { PressKey(m_key, true); }
  HeldKey(const HeldKey&) = delete;
  HeldKey& operator=(const HeldKey&) = delete;

 private:
  WORD m_key;
};

void ClickMiddle() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MIDDLEDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_MIDDLEUP;
  SendInput(2, inputs, sizeof(INPUT));
}

// A foreign process started from build/bin; the file it writes tells when
// it is ready and what it knows.
class TargetProcess {
 public:
  bool Start(const wchar_t* mode) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    m_file = std::wstring(folder) + L"scrivet_target_" + std::to_wstring(GetCurrentProcessId()) + L"_" + mode + L".txt";
    DeleteFileW(m_file.c_str());
    std::wstring command = L"scrivet_target.exe " + std::wstring(mode) + L" \"" + m_file + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
      return false;
    return PumpUntil([this] { return ReadReport(); }, 10000);
  }

  void Stop() {
    if (!m_process.hProcess) return;
    TerminateProcess(m_process.hProcess, 0);
    WaitForSingleObject(m_process.hProcess, 5000);
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
    m_process = {};
    DeleteFileW(m_file.c_str());
  }

  ~TargetProcess() { Stop(); }

  const std::vector<std::string>& Lines() const { return m_lines; }

  // Whether the system mapped the named module into the process.
  bool HasModule(const wchar_t* name) const {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, m_process.dwProcessId);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module;
    module.dwSize = sizeof(module);
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
      found = lstrcmpiW(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
  }

 private:
  bool ReadReport() {
    FILE* in = _wfopen(m_file.c_str(), L"r");
    if (!in) return false;
    std::vector<std::string> lines;
    char buffer[256];
    while (fgets(buffer, sizeof(buffer), in)) lines.push_back(buffer);
    fclose(in);
    if (lines.empty() || lines.back() != "END\n") return false;
    m_lines = lines;
    return true;
  }

  std::wstring m_file;
  PROCESS_INFORMATION m_process = {};
  std::vector<std::string> m_lines;
};

struct ScreenSpot {
  CharSpot spot;  // centre in screen coordinates
  int window;     // 0 plain, 1 HTML view
};

// This process as the program: a visible notify window that records what
// the library sends, and the library loaded by name with its exports.
class GrabReceiver : public ::testing::Test {
 protected:
  void SetUp() override {
    g_moves.clear();
    g_records.clear();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorindoGrabReceiver";
    RegisterClassW(&wc);
    // Visible (moves are posted only to a visible window), far from the targets.
    receiver = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP,
                               1200, 960, 40, 40, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(receiver, SW_SHOWNOACTIVATE);

    library = LoadLibraryW(L"scrivet.dll");
    ASSERT_NE(nullptr, library);
    activate = Export<GtActiveMouseHookFn>(library, "gtActiveMouseHook");
    setGrabMode = Export<GtSetGrabModeFn>(library, "gtSetGrabMode");
    setClipboardMode = Export<GtSetClipboardModeFn>(library, "gtSetClipboardMode");
    ASSERT_TRUE(activate && setGrabMode && setClipboardMode);
    SetCursorPos(1100, 50);  // away from every target
  }

  void TearDown() override {
    if (activate) {
      EXPECT_EQ(1, activate(FALSE, nullptr, nullptr, 0, 0));
    }
    StopTargets();
    if (library) FreeLibrary(library);
    DestroyWindow(receiver);
    SetCursorPos(1100, 50);
  }

  virtual void StopTargets() {}

  // A wait for the state, with a deadline far above what a loaded machine
  // needs: a capture crosses two processes and the target's repaint.
  bool WaitForRecords(size_t count, DWORD timeoutMs = 20000) {
    return PumpUntil([count] { return g_records.size() >= count; }, timeoutMs);
  }

  HWND receiver = nullptr;
  HMODULE library = nullptr;
  GtActiveMouseHookFn activate = nullptr;
  GtSetGrabModeFn setGrabMode = nullptr;
  GtSetClipboardModeFn setClipboardMode = nullptr;
};

class GrabEndToEnd : public GrabReceiver {
 protected:
  void SetUp() override {
    GrabReceiver::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(target.Start(L"layout"));
    for (const std::string& line : target.Lines()) {
      ScreenSpot s;
      unsigned long handle;
      int number;
      if (sscanf(line.c_str(), "S %d %d %d %d %ld %ld", &s.window, &s.spot.line, &s.spot.run, &s.spot.index,
                 &s.spot.centre.x, &s.spot.centre.y) == 6)
        spots.push_back(s);
      else if (sscanf(line.c_str(), "W %d %lu", &number, &handle) == 2 && number >= 0 && number < 2)
        targetWindows[number] = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
    }
    ASSERT_FALSE(spots.empty());
    ASSERT_TRUE(IsWindow(targetWindows[0]) && IsWindow(targetWindows[1]));
    ASSERT_EQ(1, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg));
  }

  void StopTargets() override { target.Stop(); }

  // The cursor moved to a spot for a trigger that reads the cursor (a key
  // press, the middle button), once the target has taken in all the move
  // left behind. Wine's X11 driver moves the X pointer too; the X server
  // answers with crossing events that the program under the pointer reads
  // when it next goes idle and hands back to the system as a move of its
  // own. Read after the key press, that copy of an older point would be
  // the cursor the trigger sees.
  void RestCursorAt(const ScreenSpot& s) {
    SetCursorPos(s.spot.centre.x, s.spot.centre.y);
    // Past 100 ms after a move the system asks the X server for the cursor:
    // a round trip, so the server has sent those events by then.
    Pump(300);
    POINT cursor;
    GetCursorPos(&cursor);
    // The target reads its X events before each wait: after answering the
    // first message it waits again, and answers the second one after that.
    for (int i = 0; i < 2; ++i) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(targetWindows[0], WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
    }
    Pump(100);
  }

  // The middle character of the given run of a line.
  ScreenSpot Spot(int window, int line, int run) const {
    int count = static_cast<int>(wcslen(kTargetLines[line].runs[run]));
    for (const ScreenSpot& s : spots) {
      if (s.window == window && s.spot.line == line && s.spot.run == run && s.spot.index == count / 2) return s;
    }
    ADD_FAILURE() << "no spot " << window << " " << line << " " << run;
    return ScreenSpot{};
  }

  void ExpectRecord(const Received& received, const ScreenSpot& s) {
    bool joined = s.window == 1;
    SCOPED_TRACE(testing::Message() << "window " << s.window << " line " << s.spot.line << " run " << s.spot.run);
    const GrabTextResult& r = received.record;
    EXPECT_EQ(ExpectedText(s.spot, joined), std::wstring(r.text));
    EXPECT_EQ(static_cast<int>(ExpectedText(s.spot, joined).size()), r.length);
    EXPECT_EQ(ExpectedIndex(s.spot, joined), r.index);
    EXPECT_EQ(s.spot.centre.x, r.x);
    EXPECT_EQ(s.spot.centre.y, r.y);
    EXPECT_EQ(targetWindows[s.window], reinterpret_cast<HWND>(static_cast<UINT_PTR>(r.hwnd)));
    EXPECT_EQ(targetWindows[s.window], received.sender);
  }

  TargetProcess target;
  std::vector<ScreenSpot> spots;
  HWND targetWindows[2] = {};
};

TEST_F(GrabEndToEnd, MouseAtRestCapturesTheLineUnderTheCursor) {
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  std::vector<ScreenSpot> visits;
  for (int line = 0; line < kTargetLineCount; ++line) {
    int runs = kTargetLines[line].runs[1] ? 2 : 1;
    for (int run = 0; run < runs; ++run) visits.push_back(Spot(0, line, run));
  }
  visits.push_back(Spot(1, 5, 1));  // HTML view: the whole line, the index within it
  visits.push_back(Spot(1, 6, 2));
  visits.push_back(Spot(1, 1, 0));
  for (const ScreenSpot& s : visits) {
    g_records.clear();
    g_moves.clear();
    SetCursorPos(s.spot.centre.x, s.spot.centre.y);
    ASSERT_TRUE(WaitForRecords(1)) << "nothing captured at line " << s.spot.line << " run " << s.spot.run;
    Pump(80);
    ASSERT_EQ(1u, g_records.size());
    ExpectRecord(g_records[0], s);
    ASSERT_FALSE(g_moves.empty());
    EXPECT_EQ(targetWindows[s.window], g_moves.back().window);
    EXPECT_EQ(s.spot.centre.x, g_moves.back().point.x);
    EXPECT_EQ(s.spot.centre.y, g_moves.back().point.y);
  }
  // The capture ran inside the target: the system loaded the library there.
  EXPECT_TRUE(target.HasModule(L"scrivet.dll"));
}

TEST_F(GrabEndToEnd, MouseAtRestWaitsForTheMouseToRestAndIgnoresTheSamePoint) {
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 400));
  ScreenSpot a = Spot(0, 0, 0), b = Spot(0, 2, 0), c = Spot(0, 4, 0);
  SetCursorPos(a.spot.centre.x, a.spot.centre.y);
  Pump(150);
  SetCursorPos(b.spot.centre.x, b.spot.centre.y);
  Pump(150);
  SetCursorPos(c.spot.centre.x, c.spot.centre.y);
  ASSERT_TRUE(WaitForRecords(1));
  Pump(500);
  ASSERT_EQ(1u, g_records.size());
  ExpectRecord(g_records[0], c);
  SetCursorPos(c.spot.centre.x, c.spot.centre.y);  // the point of the last trigger
  Pump(700);
  EXPECT_EQ(1u, g_records.size());
}

TEST_F(GrabEndToEnd, NoTextUnderTheCursorSendsNothing) {
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  SetCursorPos(100 + 480, 100 + 130);  // right of every line, inside the window
  Pump(500);
  SetCursorPos(100 + 60, 100 + 240);   // the narrow line: drawn, never captured
  Pump(500);
  EXPECT_TRUE(g_records.empty());
  EXPECT_FALSE(g_moves.empty());
}

TEST_F(GrabEndToEnd, MiddleButtonTriggersEachPressEvenAtTheSamePoint) {
  ASSERT_EQ(1, setGrabMode(kGrabMiddleButton, 50));
  ScreenSpot s = Spot(0, 3, 0);
  RestCursorAt(s);
  EXPECT_TRUE(g_records.empty());
  ClickMiddle();
  ASSERT_TRUE(WaitForRecords(1));
  ExpectRecord(g_records[0], s);
  ClickMiddle();
  ASSERT_TRUE(WaitForRecords(2));
  ExpectRecord(g_records[1], s);
}

// The modifier modes: each key-down event of the mode's own key arms one
// trigger: the first press at once, through the cursor reset, at the
// resting point; a repeat (the key held on) for the next move. The trigger
// disarms: moving on with the key still held and no new key event captures
// nothing; the other modifier never triggers.
struct ModifierCase {
  const char* name;
  int mode;
  WORD key;
  WORD otherKey;
};

const ModifierCase kModifierCases[] = {
    {"Shift", kGrabShiftMove, VK_SHIFT, VK_CONTROL},
    {"Ctrl", kGrabCtrlMove, VK_CONTROL, VK_SHIFT},
};

TEST_F(GrabEndToEnd, ModifierHeldTriggersOncePerKeyDownOfItsOwnKey) {
  ScreenSpot a = Spot(0, 0, 0), b = Spot(0, 6, 1), c = Spot(0, 2, 0);
  for (const ModifierCase& m : kModifierCases) {
    SCOPED_TRACE(m.name);
    g_records.clear();
    ASSERT_EQ(1, setGrabMode(m.mode, 50));
    // Each first press puts the cursor back where the key's program last
    // saw it: the keys go down only with the cursor at rest, never beside a
    // move of the test's own, which that reset could undo.
    RestCursorAt(a);
    {
      HeldKey other(m.otherKey);
      Pump(400);
    }
    Pump(200);
    EXPECT_TRUE(g_records.empty()) << "the other key pressed at rest";
    // Keys and moves reach the target's one thread in the order sent.
    ASSERT_EQ(targetWindows[0], GetForegroundWindow());
    HeldKey key(m.key);
    ASSERT_TRUE(WaitForRecords(1)) << "pressed at rest";
    ExpectRecord(g_records[0], a);
    PressKey(m.key, false);  // the repeat
    SetCursorPos(b.spot.centre.x, b.spot.centre.y);
    ASSERT_TRUE(WaitForRecords(2)) << "moved after the repeat";
    ExpectRecord(g_records[1], b);
    SetCursorPos(c.spot.centre.x, c.spot.centre.y);
    Pump(400);
    EXPECT_EQ(2u, g_records.size()) << "moved on without a new key event";
  }
}

TEST_F(GrabEndToEnd, ShiftPressedWithTheMouseAtRestTriggersThroughTheCursorReset) {
  ASSERT_EQ(1, setGrabMode(kGrabShiftMove, 50));
  ScreenSpot s = Spot(0, 1, 0);
  RestCursorAt(s);
  ASSERT_TRUE(g_records.empty());
  HeldKey shift(VK_SHIFT);
  ASSERT_TRUE(WaitForRecords(1));
  ExpectRecord(g_records[0], s);
}

TEST_F(GrabEndToEnd, ClipboardModeOnlyPostsMovesWhileTheNotifyWindowIsVisible) {
  ASSERT_EQ(1, setGrabMode(kGrabOff, 50));
  ASSERT_EQ(1, setClipboardMode(1));
  ScreenSpot a = Spot(0, 0, 0), b = Spot(0, 2, 0);
  SetCursorPos(a.spot.centre.x, a.spot.centre.y);
  Pump(300);
  EXPECT_TRUE(g_records.empty());
  ASSERT_FALSE(g_moves.empty());
  EXPECT_EQ(targetWindows[0], g_moves.back().window);
  ShowWindow(receiver, SW_HIDE);
  g_moves.clear();
  SetCursorPos(b.spot.centre.x, b.spot.centre.y);
  Pump(300);
  EXPECT_TRUE(g_moves.empty());
  ASSERT_EQ(1, setClipboardMode(0));
  ShowWindow(receiver, SW_SHOWNOACTIVATE);
  SetCursorPos(a.spot.centre.x, a.spot.centre.y);
  Pump(300);
  EXPECT_TRUE(g_moves.empty()) << "grab and clipboard modes both off";
}

TEST_F(GrabEndToEnd, SecondEnableFailsAndKeepsTheFirstHooks) {
  EXPECT_EQ(0, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg));
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  ScreenSpot s = Spot(0, 0, 0);
  SetCursorPos(s.spot.centre.x, s.spot.centre.y);
  ASSERT_TRUE(WaitForRecords(1));
  ExpectRecord(g_records[0], s);
  EXPECT_EQ(1, activate(FALSE, nullptr, nullptr, 0, 0));
  EXPECT_EQ(1, activate(FALSE, nullptr, nullptr, 0, 0));  // off already
  g_records.clear();
  SetCursorPos(Spot(0, 2, 0).spot.centre.x, Spot(0, 2, 0).spot.centre.y);
  Pump(400);
  EXPECT_TRUE(g_records.empty());
  ASSERT_EQ(1, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg));
}

TEST_F(GrabEndToEnd, HooksLeftByAProcessThatDiedCountAsOff) {
  ASSERT_EQ(1, activate(FALSE, nullptr, nullptr, 0, 0));
  TargetProcess owner;
  ASSERT_TRUE(owner.Start(L"owner"));
  bool ownerEnabled = false;
  for (const std::string& line : owner.Lines()) ownerEnabled |= line == "OWNER 1\n";
  ASSERT_TRUE(ownerEnabled);
  EXPECT_EQ(0, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg)) << "the owner still runs";
  owner.Stop();
  ASSERT_EQ(1, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg));
  // And they are this process's hooks now.
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  ScreenSpot s = Spot(0, 4, 0);
  SetCursorPos(s.spot.centre.x, s.spot.centre.y);
  ASSERT_TRUE(WaitForRecords(1));
  ExpectRecord(g_records[0], s);
}

TEST_F(GrabEndToEnd, AnAbandonedMutexCountsAsTakenAndIsReleased) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"Scrivet_GrabText_Mutex");
  ASSERT_NE(nullptr, mutex);
  ASSERT_EQ(0u, RunThreadToEnd(AbandonMutex, mutex));
  DWORD start = GetTickCount();
  EXPECT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), RunThreadToEnd(TryTakeMutex, mutex));
  CloseHandle(mutex);
  // The mode took effect.
  ScreenSpot s = Spot(0, 0, 0);
  SetCursorPos(s.spot.centre.x, s.spot.centre.y);
  ASSERT_TRUE(WaitForRecords(1));
  ExpectRecord(g_records[0], s);
}

}  // namespace

// ---- Programs that ship with Wine --------------------------------------
// Their text is drawn by the system's modules: the edit control, rich edit
// (glyph indices through the script processor), tree and list views.

namespace {

using wineprograms::CharCentre;
using wineprograms::WineProgram;

const char kFileText[] = "the house stands\r\nby the old garden\r\nlast line\r\n";

// Where the mouse goes and what the capture must give there.
struct WineSpot {
  POINT at;
  std::wstring text;  // the captured line
  int index;          // the character under the cursor in it
  HWND window;        // the window whose text it is
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

struct WineCase {
  const char* name;
  const wchar_t* exe;
  bool withFile;
  const wchar_t* childClass;  // the control under the cursor
  WineSpot (*locate)(const WineProgram& program, HWND control);
};

WineSpot InEditText(HWND edit, int line, int column, const wchar_t* text) {
  int start = static_cast<int>(SendMessageW(edit, EM_LINEINDEX, line, 0));
  return {CharCentre(edit, start + column), text, column, edit};
}

WineSpot TreeItem(const WineProgram& program, HWND tree) {
  // The computer, then its first two keys: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER.
  HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
  item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  RECT rect = {};
  memcpy(&rect, &item, sizeof(item));  // the message reads the item from the rectangle
  EXPECT_TRUE(program.RemoteRect(tree, TVM_GETITEMRECT, TRUE, rect));
  RECT screen = wineprograms::ClientOnScreen(tree, rect);
  // The fifth character of "HKEY_CURRENT_USER".
  SIZE size = {screen.right - screen.left, 0};
  POINT at = {screen.left + 2 + (size.cx - 4) * 9 / 34, (screen.top + screen.bottom) / 2};
  return {at, L"HKEY_CURRENT_USER", 4, tree};
}

WineSpot ListHeader(const WineProgram&, HWND header) {
  RECT rect = {};
  GetClientRect(header, &rect);
  POINT at = {rect.left + 12, (rect.top + rect.bottom) / 2};
  ClientToScreen(header, &at);
  return {at, L"Name", 0, header};
}

// The menu bar lies right above the client area; "File" is its first item.
WineSpot MenuBarItem(const WineProgram& program, HWND) {
  POINT at = {10, -GetSystemMetrics(SM_CYMENU) / 2};
  ClientToScreen(program.Top(), &at);
  return {at, L"File", 0, program.Top()};
}

const wchar_t kWordPad[] = L"%ProgramFiles%\\Windows NT\\Accessories\\wordpad.exe";

const WineCase kWineCases[] = {
    {"Notepad, first line", L"notepad.exe", true, L"Edit",
     [](const WineProgram&, HWND edit) { return InEditText(edit, 0, 6, L"the house stands"); }},
    {"Notepad, second line", L"notepad.exe", true, L"Edit",
     [](const WineProgram&, HWND edit) { return InEditText(edit, 1, 13, L"by the old garden"); }},
    {"WordPad", kWordPad, true, L"RichEdit20W",
     [](const WineProgram&, HWND edit) { return InEditText(edit, 0, 6, L"the house stands"); }},
    {"Registry editor, tree view", L"regedit.exe", false, L"SysTreeView32", TreeItem},
    {"Registry editor, list view header", L"regedit.exe", false, L"SysHeader32", ListHeader},
    {"Notepad, menu bar", L"notepad.exe", true, L"Edit", MenuBarItem},
};

class GrabOverWinePrograms : public GrabReceiver {
 protected:
  void SetUp() override {
    GrabReceiver::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(1, activate(TRUE, receiver, receiver, kCopyDataId, kMoveMsg));
  }
  void StopTargets() override { program.Stop(); }

  // Starts the case's program and finds its control; false (with a failure) otherwise.
  bool StartCase(const WineCase& c, HWND& control) {
    std::wstring arguments = c.withFile ? L"\"" + file.Path() + L"\"" : L"";
    if (!program.Start(c.exe, arguments, nullptr, c.childClass)) {
      ADD_FAILURE() << c.name << ": the program or its control did not show; its windows: "
                    << Narrow(program.Describe());
      return false;
    }
    control = program.Child(c.childClass);
    return control != nullptr;
  }

  wineprograms::TextFile file{L"grab words.txt", kFileText};
  WineProgram program;
};

TEST_F(GrabOverWinePrograms, MouseAtRestCapturesTheTextTheSystemDraws) {
  ASSERT_EQ(1, setGrabMode(kGrabMouseRest, 50));
  for (const WineCase& c : kWineCases) {
    SCOPED_TRACE(c.name);
    HWND control = nullptr;
    if (!StartCase(c, control)) continue;
    WineSpot spot = c.locate(program, control);
    g_records.clear();
    SetCursorPos(spot.at.x, spot.at.y);
    if (!WaitForRecords(1)) {
      ADD_FAILURE() << "nothing captured";
    } else {
      const GrabTextResult& r = g_records.back().record;
      EXPECT_EQ(spot.text, std::wstring(r.text, r.length));
      EXPECT_EQ(spot.index, r.index);
      EXPECT_EQ(spot.window, reinterpret_cast<HWND>(static_cast<UINT_PTR>(r.hwnd)));
    }
    SetCursorPos(1100, 50);
    program.Stop();
  }
}

}  // namespace
