// Programs that ship with Wine, started as the user starts them, as targets
// of cursor translation: their text is drawn by the system's modules (the
// edit control, rich edit, list and tree views, menus), not by code of
// their own. The kit starts one on a file, finds its windows and tells
// where a character or an item lies on the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wineprograms {

// A text file (UTF-8 without a mark: every Wine editor opens it) in the
// temporary folder, deleted with the object.
class TextFile {
 public:
  TextFile(const wchar_t* name, const std::string& text);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

// One Wine program as a process of its own; terminated and waited for when
// the object goes.
class WineProgram {
 public:
  WineProgram() = default;
  ~WineProgram();
  WineProgram(const WineProgram&) = delete;
  WineProgram& operator=(const WineProgram&) = delete;

  // Starts "exe arguments" (exe: a path with %VARIABLES% or a name the
  // system finds) and waits until a visible top-level window of the
  // class (null: any) shows and its child of childClass (null: none needed) exists.
  bool Start(const wchar_t* exe, const std::wstring& arguments, const wchar_t* topClass, const wchar_t* childClass);
  void Stop();
  HWND Top() const { return top_; }
  DWORD Id() const { return info_.dwProcessId; }
  // The first visible descendant of the top window of the class.
  HWND Child(const wchar_t* className) const;
  // The process's top-level windows and their descendants, by class, for
  // the message of a failed check.
  std::wstring Describe() const;
  // Whether the system mapped the named module into the process.
  bool HasModule(const wchar_t* name) const;

  // Calls a list or tree view message whose answer is a RECT that the
  // message reads and fills in the program's memory; false when it fails.
  bool RemoteRect(HWND control, UINT message, WPARAM wParam, RECT& rect) const;

 private:
  PROCESS_INFORMATION info_ = {};
  HWND top_ = nullptr;
};

// Polls until the condition holds or the deadline passes; its last answer.
bool WaitUntil(bool (*condition)(void*), void* context, DWORD deadlineMs);

// Screen centre of the character at index of an edit or rich edit control
// (EM_POSFROMCHAR; the line height from the next line's first character).
POINT CharCentre(HWND edit, int index);
// Screen rectangle of a control's client rectangle.
RECT ClientOnScreen(HWND window, const RECT& client);
POINT Centre(const RECT& rect);

}  // namespace wineprograms
