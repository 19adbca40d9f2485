// A whole file held in memory, as a read-only mapped view or as a heap copy,
// and a finder of a descendant window by window class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CMappedFile {
 public:
  CMappedFile() = default;
  virtual ~CMappedFile();
  CMappedFile(const CMappedFile&) = delete;
  CMappedFile& operator=(const CMappedFile&) = delete;

  // Holds the whole file; an empty or missing file fails. Once open, no file
  // or mapping handle stays open: only the view (or the copy) is kept.
  bool Open(const wchar_t* path, bool mapped);
  void Close();

  const uint8_t* GetData() const { return data_; }
  uint32_t GetSize() const { return size_; }
  bool IsEmpty() const { return data_ == nullptr; }
  const std::wstring& GetPath() const { return path_; }

  // Writes all bytes to path through a temporary file, so a failed write
  // leaves any old file there whole.
  bool SaveAs(const wchar_t* path) const;

 private:
  bool mapped_ = false;
  uint8_t* data_ = nullptr;
  std::wstring path_;
  uint32_t size_ = 0;
};

// Finds a descendant of parent whose window class is className (the caller
// keeps the text alive). When several windows have such children, the one
// met last in the walk is the result.
class CFindChildWindow {
 public:
  CFindChildWindow(HWND parent, const wchar_t* className);
  virtual ~CFindChildWindow() = default;

  HWND Found() const { return found_; }

 private:
  static BOOL CALLBACK Step(HWND window, LPARAM self);

  const wchar_t* className_;
  HWND found_ = nullptr;
};
