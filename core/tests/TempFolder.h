// A fresh folder under the system's temp folder for one test, removed with
// everything in it afterwards. Named by process and counter: ctest runs the
// tests of one executable as parallel processes.
#pragma once

#include <windows.h>

#include <string>

#include "core/StrUtil.h"

class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"qtest-" + IntToWString(GetCurrentProcessId(), 16) + L"-" +
            IntToWString(++counter, 10) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { RemoveTree(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const wchar_t* name) const { return path_ + name; }

  static bool WriteText(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
  }

  static std::string ReadText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
  }

  // Removes folder (ending in "\") with everything in it, as far as it can.
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring entry = folder + name;
        SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(entry + L"\\");
        } else {
          DeleteFileW(entry.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }

  // Names of the entries of the folder, sorted by the file system.
  std::wstring List() const {
    std::wstring names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (found.cFileName[0] == L'.') continue;
      if (!names.empty()) names += L"|";
      names += found.cFileName;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::wstring path_;
};
