// Owners of kernel handles: closed on every path out of a scope.
#pragma once

#include <windows.h>

// A handle closed with CloseHandle; null and INVALID_HANDLE_VALUE hold nothing.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool IsValid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  // True unless closing a valid handle failed (a lost write may show only here).
  bool Close() {
    bool ok = true;
    if (IsValid()) ok = CloseHandle(handle_) != FALSE;
    handle_ = nullptr;
    return ok;
  }

 private:
  HANDLE handle_;
};

// A search handle of FindFirstFileW.
class ScopedFindHandle {
 public:
  explicit ScopedFindHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedFindHandle() {
    if (IsValid()) FindClose(handle_);
  }
  ScopedFindHandle(const ScopedFindHandle&) = delete;
  ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};
