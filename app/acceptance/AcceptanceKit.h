// The acceptance kit: Quorindo.exe started as its own process from a fresh
// copy of the folder the build ships (build/dist, demo dictionaries
// included) and driven only as a user drives it: real mouse and keyboard
// input (SendInput) to visible windows, and what a user would see read back
// (window text, visibility and placement, the clipboard after a Copy, the
// pixels on the screen, files written in the copy). Each road keeps a
// screenshot under build/acceptance/ for a person to look at.
//
// Input and focus belong to the whole display: the roads run one at a time.
// Every wait is for a condition, with a deadline far above what a slow
// machine needs, never for a fixed time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace acceptance {

constexpr DWORD kStartDeadlineMs = 120000;  // a first start under emulation takes tens of seconds
constexpr DWORD kDeadlineMs = 30000;

// For the messages of failed checks.
std::string Utf8(const std::wstring& text);
// ASCII text (an address, a number) widened as it stands.
inline std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Polls condition until it holds or the deadline passes; its last answer.
bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs = kDeadlineMs);

// ---- Folders --------------------------------------------------------------

std::wstring BuildFolder();    // the build folder (above bin\), ending in "\"
std::wstring ShippedFolder();  // build\dist\: what `make run` gives the user

// A fresh copy of the shipped folder in a temporary folder of its own,
// deleted with the object.
class ShippedCopy {
 public:
  explicit ShippedCopy(const wchar_t* name);
  ~ShippedCopy();
  ShippedCopy(const ShippedCopy&) = delete;
  ShippedCopy& operator=(const ShippedCopy&) = delete;

  // False, with the reason, when the shipped folder is not made or the copy fails.
  bool Make(std::string& why);
  // A copy made outside the road (one the road may not change) taken as it
  // is: Make then only checks it and the copy is left where it is.
  void Adopt(const std::wstring& folder);
  const std::wstring& Folder() const { return folder_; }  // ends in "\"

 private:
  std::wstring name_;
  std::wstring folder_;
  bool adopted_ = false;
};

bool CopyFolderTree(const std::wstring& from, const std::wstring& to);  // both ending in "\"

// A text file of any encoding the program writes; empty when it cannot be read.
std::wstring FileText(const std::wstring& path);

// ---- The program ----------------------------------------------------------

// Quorindo.exe of a folder as a process of its own; ended (terminated when
// it still runs) and waited for when the object goes.
class ProgramProcess {
 public:
  ProgramProcess() = default;
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Starts it in folder and waits until its main window is visible (the
  // program shows it once its pages are ready). False, with the reason
  // (message boxes it showed, its exit code), otherwise.
  bool Start(const std::wstring& folder, const std::wstring& arguments, std::string& why);
  // Only starts it (a second instance that hands its command line over and ends).
  bool Launch(const std::wstring& folder, const std::wstring& arguments, std::string& why);
  HWND MainWindow() const { return main_; }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  bool IsRunning() const;
  // The exit code once it has ended (STILL_ACTIVE while it runs).
  DWORD ExitCode() const;
  // True once the process has ended, within the deadline.
  bool WaitForExit(DWORD deadlineMs = kDeadlineMs);
  void Terminate();

 private:
  void Close();  // terminated when running, its handles closed
  PROCESS_INFORMATION info_ = {};
  HWND main_ = nullptr;
};

// Ends every process that runs a program of folder (ending in "\\"): a
// program that started itself again, a second start a road left behind. Such
// a process would outlive the road and hold the test's output open. Their
// image paths, one a line; empty when none ran.
std::wstring EndProgramsIn(const std::wstring& folder);

// ---- Windows --------------------------------------------------------------

// Top-level windows of a process: of a class (null: any) and a title (null: any).
std::vector<HWND> TopWindows(DWORD process, const wchar_t* className, const wchar_t* title, bool visibleOnly);
// Descendants of parent of a class (null: any), with a control id (-1: any).
std::vector<HWND> Controls(HWND parent, const wchar_t* className, int id = -1, bool visibleOnly = true);
HWND Control(HWND parent, const wchar_t* className, int id = -1);  // the first, or null
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
RECT ScreenRect(HWND window);
HWND FocusOf(HWND window);  // the focus window of the window's thread
// Top-level windows of every process of a class (the shell's tray, ...).
std::vector<HWND> AnyTopWindows(const wchar_t* className, bool visibleOnly);
// Texts of the visible message boxes and dialogs (class "#32770") of a process.
std::wstring DialogTexts(DWORD process);

// ---- Input ----------------------------------------------------------------
//
// A press of a mouse button never joins the kit's press before it into a
// double click: on the same spot within the system's double-click time it
// waits that time out first (DoubleClick's own two presses do join).

// Mouse at a point of the window's client area (default: its centre).
void MoveMouse(HWND window, int x = -1, int y = -1);
void Click(HWND window, int x = -1, int y = -1);
void DoubleClick(HWND window, int x = -1, int y = -1);
void RightClick(HWND window, int x = -1, int y = -1);
// One button event (MOUSEEVENTF_RIGHTDOWN, ...) at the window's centre: a
// press held while the road watches what it does, then its release.
void MouseButton(HWND window, DWORD event);
// A click at a point of the screen (a window's caption, its close box).
void ClickScreen(POINT screen);
// The mouse moved to a point of the screen.
void MouseTo(POINT screen);
// Left button down at one client point, moved in steps to another, up there
// (a size grip, a splitter, a selection).
void Drag(HWND window, POINT from, POINT to);
// Clicks the window and waits until it holds its thread's keyboard focus.
bool ClickToFocus(HWND window);
void PressKey(WORD key);
// A chord: keys pressed in order, released in reverse (e.g. {VK_CONTROL, 'A'}).
void PressKeys(std::initializer_list<WORD> keys);
// Typed on the keyboard, key by key (Shift where a character needs it).
void TypeText(const std::wstring& text);

// ---- What the user sees ---------------------------------------------------

void ClearClipboard();
// Text put on the clipboard, as a copy in another program does.
bool SetClipboardText(const std::wstring& text);
std::wstring ClipboardText();  // empty when none

// The pixels of a window as they stand on the screen.
struct PixelSample {
  int pixels = 0;
  int colours = 0;           // distinct colours (counted up to 256)
  uint32_t dominant = 0;     // the most frequent colour, 0xRRGGBB
  double dominantShare = 0;  // its share of the pixels
  double blackShare = 0;     // share of pure black pixels
};
PixelSample SamplePixels(HWND window);
// False, with the reason, for a window that shows nothing: one colour
// (almost) everywhere, or mostly black (the program's skins are light).
bool LooksPainted(HWND window, std::string& why);

// Where a window shows text: the bands of rows of its client area that hold
// ink (pixels much darker than the program's light skins and pages), top to
// bottom, in client coordinates. A band much taller than the usual one (lines
// that touch) is cut into lines of the usual height, so a page of one-line
// blocks shows one band a line. area (client coordinates) limits the search,
// e.g. to the text beside a column of icons.
std::vector<RECT> InkLines(HWND window, const RECT* area = nullptr);
// Where a window shows a colour (a band's background, the selection): the
// bands of rows of its client area that hold a run of at least minRun pixels
// of exactly rgb (0xRRGGBB), top to bottom, as wide as those runs reach.
std::vector<RECT> ColourBands(HWND window, uint32_t rgb, int minRun);
// The words of such a band: its runs of ink apart by gaps of at least minGap
// pixels (a space is wider than the gaps inside a word), left to right.
std::vector<RECT> InkWords(HWND window, const RECT& line, int minGap = 3);

// Waits until the process is idle and none of its shown windows waits to be
// painted, so that the screen shows what it last did; false after the deadline.
bool WaitForPainted(DWORD process);

// True when a window shows on the screen what it shows once painted afresh
// (it and its children invalidated, erased and left to the program to paint):
// a move or a toggle that left old bits behind shows as a difference. area
// (window coordinates) limits the comparison, e.g. to a strip of buttons
// above a page; otherwise, with the reason, false.
bool ShowsFreshPaint(HWND window, const RECT* area, std::string& why);

// The whole screen as build\acceptance\NAME.png; the path, or empty.
std::wstring SaveScreenshot(const std::wstring& name);

}  // namespace acceptance
