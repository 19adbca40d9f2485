#include "app/acceptance/AcceptanceKit.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/ConfigFile.h"
#include "core/FileUtil.h"
#include "core/ScopedHandle.h"
#include "core/TextCodec.h"
#include "core/tests/TempFolder.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"

namespace acceptance {

namespace {

constexpr DWORD kPollMs = 50;

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

constexpr DWORD kButtonDowns =
    MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_XDOWN;

// The screen point of an absolute mouse input.
POINT InputPoint(const INPUT& input) {
  return {static_cast<LONG>(static_cast<long long>(input.mi.dx) * GetSystemMetrics(SM_CXSCREEN) / 65536),
          static_cast<LONG>(static_cast<long long>(input.mi.dy) * GetSystemMetrics(SM_CYSCREEN) / 65536)};
}

// The last button press the kit sent: where, and the tick count once it was
// queued (the press's message time is no later).
struct Press {
  bool sent = false;
  POINT point = {};
  DWORD queued = 0;
};
Press g_lastPress;

// The system turns a press on the spot of the one before, within its
// double-click time, into a double click. A hand does not click twice so
// fast by chance, but a road does (a click into the search bar right after
// the last lookup's): such a press waits until it stands alone. The margin
// covers the message time the server stamps from a clock it reads a little
// before the press is queued.
void AwaitSeparatePress(POINT point) {
  constexpr DWORD kMarginMs = 50;
  if (!g_lastPress.sent || std::abs(point.x - g_lastPress.point.x) > GetSystemMetrics(SM_CXDOUBLECLK) / 2 ||
      std::abs(point.y - g_lastPress.point.y) > GetSystemMetrics(SM_CYDOUBLECLK) / 2)
    return;
  const DWORD apart = GetDoubleClickTime() + kMarginMs;
  WaitFor([apart] { return GetTickCount() - g_lastPress.queued >= apart; }, apart);
}

// Sends inputs in one batch. The first press of a batch never joins the
// last press of the batch before it; presses inside one batch may (a double click).
void SendInputs(std::vector<INPUT>& inputs) {
  if (inputs.empty()) return;
  const INPUT* firstPress = nullptr;
  const INPUT* lastPress = nullptr;
  for (const INPUT& input : inputs) {
    if (input.type != INPUT_MOUSE || !(input.mi.dwFlags & kButtonDowns)) continue;
    if (!firstPress) firstPress = &input;
    lastPress = &input;
  }
  if (firstPress) AwaitSeparatePress(InputPoint(*firstPress));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (lastPress) g_lastPress = {true, InputPoint(*lastPress), GetTickCount()};
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  // The keys of the separate navigation block, as a keyboard reports them.
  switch (key) {
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
      input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
      break;
    default:
      break;
  }
  return input;
}

// A screen point as SendInput's absolute coordinates (0..65535 across the screen).
INPUT MouseInput(POINT screen, DWORD flags) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (screen.x * 65536 + width - 1) / width;
  input.mi.dy = (screen.y * 65536 + height - 1) / height;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

POINT ScreenPoint(HWND window, int x, int y) {
  RECT client;
  GetClientRect(window, &client);
  POINT p = {x >= 0 ? x : client.right / 2, y >= 0 ? y : client.bottom / 2};
  ClientToScreen(window, &p);
  return p;
}

void MouseButtons(HWND window, int x, int y, DWORD down, DWORD up, int clicks) {
  const POINT p = ScreenPoint(window, x, y);
  std::vector<INPUT> inputs = {MouseInput(p, 0)};
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(MouseInput(p, down));
    inputs.push_back(MouseInput(p, up));
  }
  SendInputs(inputs);
}

struct WindowQuery {
  DWORD process;
  const wchar_t* className;
  const wchar_t* title;
  int id;
  bool visibleOnly;
  std::vector<HWND> found;

  bool Matches(HWND window) const {
    if (visibleOnly && !IsWindowVisible(window)) return false;
    if (className && ClassOf(window) != className) return false;
    if (title && WindowText(window) != title) return false;
    return id < 0 || GetDlgCtrlID(window) == id;
  }
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
  WindowQuery* query = reinterpret_cast<WindowQuery*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == query->process && query->Matches(window)) query->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectAnyTop(HWND window, LPARAM param) {
  WindowQuery* query = reinterpret_cast<WindowQuery*>(param);
  if (query->Matches(window)) query->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  WindowQuery* query = reinterpret_cast<WindowQuery*>(param);
  if (query->Matches(window)) query->found.push_back(window);
  return TRUE;
}

// The screen's pixels inside rect, as 32-bit values (blue, green, red, unused).
bool CaptureScreen(const RECT& rect, Veltra::COImage& image) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || !image.Create(width, height, 72.0, 1)) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, image.GetBitmap());
  BOOL ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  image.FillChannel(0, 255);
  return ok != FALSE;
}

// The pixels of a window's client area as they stand on the screen.
bool CaptureClient(HWND window, Veltra::COImage& image) {
  RECT client = {};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return CaptureScreen(client, image);
}

bool IsInk(uint32_t pixel) {
  const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r * 299 + g * 587 + b * 114 < 160 * 1000;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  std::string out;
  WStringToUtf8(out, text.c_str(), static_cast<int>(text.size()));
  return out;
}

bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= deadlineMs) return condition();
    Sleep(kPollMs);
  }
}

// ---- Folders --------------------------------------------------------------

std::wstring BuildFolder() { return ExeFolder() + L"..\\"; }

std::wstring ShippedFolder() {
  wchar_t value[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"QUORINDO_DIST_DIR", value, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    std::wstring folder(value, n);
    if (folder.back() != L'\\') folder.push_back(L'\\');
    return folder;
  }
  return BuildFolder() + L"dist\\";
}

bool CopyFolderTree(const std::wstring& from, const std::wstring& to) {
  if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  WIN32_FIND_DATAW data;
  ScopedFindHandle find(FindFirstFileW((from + L"*").c_str(), &data));
  if (!find.IsValid()) return false;
  bool ok = true;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ok = CopyFolderTree(from + name + L"\\", to + name + L"\\") && ok;
    else
      ok = CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE) && ok;
  } while (FindNextFileW(find.Get(), &data));
  return ok;
}

ShippedCopy::ShippedCopy(const wchar_t* name) : name_(name) {}

ShippedCopy::~ShippedCopy() {
  if (!folder_.empty() && !adopted_) TempFolder::RemoveTree(folder_);
}

void ShippedCopy::Adopt(const std::wstring& folder) {
  folder_ = folder;
  if (!folder_.empty() && folder_.back() != L'\\') folder_ += L'\\';
  adopted_ = true;
}

bool ShippedCopy::Make(std::string& why) {
  if (adopted_) {
    if (IsFilePresent((folder_ + L"Quorindo.exe").c_str())) return true;
    why = "the folder " + Utf8(folder_) + " holds no Quorindo.exe";
    return false;
  }
  const std::wstring shipped = ShippedFolder();
  if (!IsFilePresent((shipped + L"Quorindo.exe").c_str())) {
    why = "the shipped folder " + Utf8(shipped) + " is not made (scripts/build.sh makes it)";
    return false;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  // A folder of its own for each copy: the cases of a suite run in one process.
  static int copies = 0;
  folder_ = std::wstring(temp) + name_ + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++copies) + L"\\";
  TempFolder::RemoveTree(folder_);
  if (!CopyFolderTree(shipped, folder_)) {
    why = "the shipped folder cannot be copied to " + Utf8(folder_);
    return false;
  }
  return true;
}

std::wstring FileText(const std::wstring& path) {
  std::wstring text;
  if (ReadTextFile(text, path.c_str(), CP_ACP) < 0) text.clear();
  return text;
}

// ---- The program ----------------------------------------------------------

ProgramProcess::~ProgramProcess() { Close(); }

void ProgramProcess::Close() {
  Terminate();
  if (info_.hProcess) CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
  info_ = {};
  main_ = nullptr;
}

bool ProgramProcess::Launch(const std::wstring& folder, const std::wstring& arguments, std::string& why) {
  Close();  // a second start of the same object: the ended process's handles go first
  const std::wstring exe = folder + L"Quorindo.exe";
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info_)) {
    why = "Quorindo.exe cannot be started (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

bool ProgramProcess::Start(const std::wstring& folder, const std::wstring& arguments, std::string& why) {
  if (!Launch(folder, arguments, why)) return false;
  WaitFor(
      [this] {
        if (!IsRunning()) return true;
        std::vector<HWND> mains = TopWindows(Id(), nullptr, L"Quorindo", true);
        main_ = mains.empty() ? nullptr : mains.front();
        return main_ != nullptr;
      },
      kStartDeadlineMs);
  if (main_) return true;
  const std::string boxes = Utf8(DialogTexts(Id()));
  if (!IsRunning()) {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    why = "Quorindo.exe ended during start-up with code " + std::to_string(code);
  } else {
    why = "Quorindo's main window did not appear";
  }
  if (!boxes.empty()) why += "; it showed: " + boxes;
  return false;
}

bool ProgramProcess::IsRunning() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool ProgramProcess::WaitForExit(DWORD deadlineMs) {
  return !info_.hProcess || WaitForSingleObject(info_.hProcess, deadlineMs) == WAIT_OBJECT_0;
}

void ProgramProcess::Terminate() {
  if (!IsRunning()) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, kDeadlineMs);
}

std::wstring EndProgramsIn(const std::wstring& folder) {
  std::wstring ended;
  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  if (!snapshot.IsValid() || !Process32FirstW(snapshot.Get(), &entry)) return ended;
  do {
    ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                     entry.th32ProcessID));
    if (!process.IsValid()) continue;
    wchar_t path[MAX_PATH];
    const DWORD size = GetModuleFileNameExW(process.Get(), nullptr, path, MAX_PATH);
    if (size < folder.size() ||
        _wcsnicmp(path, folder.c_str(), folder.size()) != 0)
      continue;
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), kDeadlineMs);
    ended += std::wstring(path, size) + L"\n";
  } while (Process32NextW(snapshot.Get(), &entry));
  return ended;
}

// ---- Windows --------------------------------------------------------------

std::vector<HWND> TopWindows(DWORD process, const wchar_t* className, const wchar_t* title, bool visibleOnly) {
  WindowQuery query{process, className, title, -1, visibleOnly, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> AnyTopWindows(const wchar_t* className, bool visibleOnly) {
  WindowQuery query{0, className, nullptr, -1, visibleOnly, {}};
  EnumWindows(CollectAnyTop, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

std::vector<HWND> Controls(HWND parent, const wchar_t* className, int id, bool visibleOnly) {
  WindowQuery query{0, className, nullptr, id, visibleOnly, {}};
  if (parent) EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND Control(HWND parent, const wchar_t* className, int id) {
  std::vector<HWND> found = Controls(parent, className, id);
  return found.empty() ? nullptr : found.front();
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT reads a control of another process too (GetWindowText does not).
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const LRESULT got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  int n = GetClassNameW(window, name, 256);
  return std::wstring(name, n > 0 ? n : 0);
}

RECT ScreenRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

std::wstring DialogTexts(DWORD process) {
  std::wstring texts;
  for (HWND box : TopWindows(process, L"#32770", nullptr, true)) {
    texts += L"[" + WindowText(box) + L"]";
    for (HWND text : Controls(box, L"Static")) texts += L" " + WindowText(text);
    texts += L"\n";
  }
  return texts;
}

// ---- Input ----------------------------------------------------------------

void MoveMouse(HWND window, int x, int y) {
  std::vector<INPUT> inputs = {MouseInput(ScreenPoint(window, x, y), 0)};
  SendInputs(inputs);
}

void Click(HWND window, int x, int y) { MouseButtons(window, x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1); }

void ClickScreen(POINT screen) {
  std::vector<INPUT> inputs = {MouseInput(screen, 0), MouseInput(screen, MOUSEEVENTF_LEFTDOWN),
                               MouseInput(screen, MOUSEEVENTF_LEFTUP)};
  SendInputs(inputs);
}

void MouseTo(POINT screen) {
  std::vector<INPUT> inputs = {MouseInput(screen, 0)};
  SendInputs(inputs);
}

void DoubleClick(HWND window, int x, int y) {
  MouseButtons(window, x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
}

void RightClick(HWND window, int x, int y) {
  MouseButtons(window, x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
}

void MouseButton(HWND window, DWORD event) {
  std::vector<INPUT> inputs = {MouseInput(ScreenPoint(window, -1, -1), event)};
  SendInputs(inputs);
}

void Drag(HWND window, POINT from, POINT to) {
  const POINT start = ScreenPoint(window, from.x, from.y), end = ScreenPoint(window, to.x, to.y);
  std::vector<INPUT> inputs = {MouseInput(start, 0), MouseInput(start, MOUSEEVENTF_LEFTDOWN)};
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    const POINT p = {start.x + (end.x - start.x) * i / kSteps, start.y + (end.y - start.y) * i / kSteps};
    inputs.push_back(MouseInput(p, 0));
  }
  inputs.push_back(MouseInput(end, MOUSEEVENTF_LEFTUP));
  SendInputs(inputs);
}

bool ClickToFocus(HWND window) {
  Click(window);
  return WaitFor([window] { return FocusOf(window) == window; });
}

void PressKey(WORD key) { PressKeys({key}); }

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(KeyInput(*key, true));
  SendInputs(inputs);
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    const SHORT scan = VkKeyScanW(c);
    if (scan == -1) {
      // No key of the layout gives it: typed as a character, as an input method would.
      INPUT input = {};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE;
      inputs.push_back(input);
      input.ki.dwFlags |= KEYEVENTF_KEYUP;
      inputs.push_back(input);
      continue;
    }
    const bool shift = (scan >> 8) & 1;
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
    inputs.push_back(KeyInput(LOBYTE(scan), false));
    inputs.push_back(KeyInput(LOBYTE(scan), true));
    if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  }
  SendInputs(inputs);
}

// ---- What the user sees ---------------------------------------------------

void ClearClipboard() {
  if (WaitFor([] { return OpenClipboard(nullptr) != FALSE; })) {
    EmptyClipboard();
    CloseClipboard();
  }
}

bool SetClipboardText(const std::wstring& text) {
  if (!WaitFor([] { return OpenClipboard(nullptr) != FALSE; })) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool ok = false;
  if (void* p = memory ? GlobalLock(memory) : nullptr) {
    memcpy(p, text.c_str(), bytes);
    GlobalUnlock(memory);
    ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  }
  if (!ok && memory) GlobalFree(memory);
  CloseClipboard();
  return ok;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

PixelSample SamplePixels(HWND window) {
  PixelSample sample;
  Veltra::COImage image;
  if (!CaptureScreen(ScreenRect(window), image)) return sample;
  std::map<uint32_t, int> counts;
  const int width = image.GetWidth(), height = image.GetHeight();
  int black = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = image.At(x, y) & 0xFFFFFF;
      if (rgb == 0) ++black;
      if (counts.size() < 256 || counts.count(rgb)) ++counts[rgb];
    }
  }
  sample.pixels = width * height;
  sample.colours = static_cast<int>(counts.size());
  auto most = std::max_element(counts.begin(), counts.end(),
                               [](const auto& a, const auto& b) { return a.second < b.second; });
  if (most != counts.end() && sample.pixels > 0) {
    sample.dominant = most->first;
    sample.dominantShare = static_cast<double>(most->second) / sample.pixels;
    sample.blackShare = static_cast<double>(black) / sample.pixels;
  }
  return sample;
}

bool LooksPainted(HWND window, std::string& why) {
  const PixelSample sample = SamplePixels(window);
  char text[160];
  if (sample.pixels == 0) {
    why = "the window has no pixels on the screen";
    return false;
  }
  if (sample.colours < 2 || sample.dominantShare > 0.99) {
    snprintf(text, sizeof(text), "the window is one colour (#%06lx on %.1f%% of it)",
             static_cast<unsigned long>(sample.dominant), sample.dominantShare * 100);
    why = text;
    return false;
  }
  if (sample.blackShare > 0.5) {
    snprintf(text, sizeof(text), "the window is mostly black (%.1f%%)", sample.blackShare * 100);
    why = text;
    return false;
  }
  return true;
}

std::vector<RECT> InkLines(HWND window, const RECT* area) {
  std::vector<RECT> lines;
  Veltra::COImage image;
  if (!CaptureClient(window, image)) return lines;
  const int width = area ? std::min<int>(area->right, image.GetWidth()) : image.GetWidth();
  const int height = area ? std::min<int>(area->bottom, image.GetHeight()) : image.GetHeight();
  const int x0 = area ? std::max<int>(area->left, 0) : 0, y0 = area ? std::max<int>(area->top, 0) : 0;
  RECT band = {};
  bool inBand = false;
  for (int y = y0; y <= height; ++y) {
    int left = width, right = -1;
    for (int x = x0; y < height && x < width; ++x) {
      if (!IsInk(image.At(x, y))) continue;
      left = std::min(left, x);
      right = x;
    }
    if (right >= 0) {
      if (!inBand) band = {left, y, right + 1, y + 1};
      band.left = std::min<LONG>(band.left, left);
      band.right = std::max<LONG>(band.right, right + 1);
      band.bottom = y + 1;
      inBand = true;
    } else if (inBand) {
      lines.push_back(band);
      inBand = false;
    }
  }
  if (lines.empty()) return lines;
  std::vector<LONG> heights;
  for (const RECT& line : lines) heights.push_back(line.bottom - line.top);
  std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
  const LONG usual = std::max<LONG>(heights[heights.size() / 2], 1);
  std::vector<RECT> cut;
  for (const RECT& line : lines) {
    const LONG height = line.bottom - line.top;
    const LONG parts = height * 10 >= usual * 17 ? (height + usual / 2) / usual : 1;
    for (LONG i = 0; i < parts; ++i)
      cut.push_back({line.left, line.top + height * i / parts, line.right, line.top + height * (i + 1) / parts});
  }
  return cut;
}

std::vector<RECT> ColourBands(HWND window, uint32_t rgb, int minRun) {
  std::vector<RECT> bands;
  Veltra::COImage image;
  if (!CaptureClient(window, image)) return bands;
  const int width = image.GetWidth(), height = image.GetHeight();
  bool open = false;
  for (int y = 0; y <= height; ++y) {
    int left = width, right = -1, run = 0;
    for (int x = 0; y < height && x < width; ++x) {
      run = (image.At(x, y) & 0xFFFFFF) == rgb ? run + 1 : 0;
      if (run < minRun) continue;
      left = std::min(left, x - run + 1);
      right = x;
    }
    if (right >= 0) {
      if (!open) bands.push_back({left, y, right + 1, y + 1});
      RECT& band = bands.back();
      band.left = std::min<LONG>(band.left, left);
      band.right = std::max<LONG>(band.right, right + 1);
      band.bottom = y + 1;
      open = true;
    } else {
      open = false;
    }
  }
  return bands;
}

std::vector<RECT> InkWords(HWND window, const RECT& line, int minGap) {
  std::vector<RECT> words;
  Veltra::COImage image;
  if (!CaptureClient(window, image)) return words;
  const int width = std::min<int>(line.right, image.GetWidth());
  const int bottom = std::min<int>(line.bottom, image.GetHeight());
  RECT word = {};
  bool open = false;
  int gap = 0;
  for (int x = std::max<int>(line.left, 0); x < width; ++x) {
    bool ink = false;
    for (int y = std::max<int>(line.top, 0); y < bottom && !ink; ++y) ink = IsInk(image.At(x, y));
    if (ink) {
      if (!open) word = {x, line.top, x + 1, line.bottom};
      word.right = x + 1;
      open = true;
      gap = 0;
    } else if (open && ++gap >= minGap) {
      words.push_back(word);
      open = false;
    }
  }
  if (open) words.push_back(word);
  return words;
}

bool WaitForPainted(DWORD process) {
  if (HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, process)) {
    WaitForInputIdle(handle, kDeadlineMs);
    CloseHandle(handle);
  }
  return WaitFor([process] {
    for (HWND top : TopWindows(process, nullptr, nullptr, true)) {
      if (GetUpdateRect(top, nullptr, FALSE)) return false;
      for (HWND child : Controls(top, nullptr))
        if (GetUpdateRect(child, nullptr, FALSE)) return false;
    }
    return true;
  });
}

bool ShowsFreshPaint(HWND window, const RECT* area, std::string& why) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  RECT rect = ScreenRect(window);
  if (area) {
    const RECT part = {rect.left + area->left, rect.top + area->top, rect.left + area->right, rect.top + area->bottom};
    IntersectRect(&rect, &rect, &part);
  }
  Veltra::COImage shown, fresh;
  if (!WaitForPainted(process) || !CaptureScreen(rect, shown)) {
    why = "the window was not painted";
    return false;
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  if (!WaitForPainted(process) || !CaptureScreen(rect, fresh)) {
    why = "the window was not painted again";
    return false;
  }
  int differing = 0;
  POINT first = {-1, -1};
  for (int y = 0; y < shown.GetHeight(); ++y) {
    for (int x = 0; x < shown.GetWidth(); ++x) {
      if ((shown.At(x, y) & 0xFFFFFF) == (fresh.At(x, y) & 0xFFFFFF)) continue;
      if (differing++ == 0) first = {x, y};
    }
  }
  if (differing == 0) return true;
  char text[160];
  snprintf(text, sizeof(text), "%d of %d pixels differ from a fresh paint, the first at (%ld, %ld)", differing,
           shown.GetWidth() * shown.GetHeight(), static_cast<long>(first.x), static_cast<long>(first.y));
  why = text;
  return false;
}

std::wstring SaveScreenshot(const std::wstring& name) {
  const std::wstring folder = BuildFolder() + L"acceptance\\";
  CreateDirectoryPath(folder.c_str());
  const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Veltra::COImage image;
  if (!CaptureScreen(screen, image)) return L"";
  const std::wstring path = folder + name + L".png";
  CPngImage png;
  return png.WriteFile(path.c_str(), &image, 0) ? path : L"";
}

}  // namespace acceptance
