#include "core/MappedFile.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

#include "core/FileUtil.h"
#include "core/ScopedHandle.h"

CMappedFile::~CMappedFile() {
  Close();
}

void CMappedFile::Close() {
  if (data_) {
    if (mapped_) {
      UnmapViewOfFile(data_);
    } else {
      free(data_);
    }
  }
  mapped_ = false;
  data_ = nullptr;
  path_.clear();
  size_ = 0;
}

bool CMappedFile::Open(const wchar_t* path, bool mapped) {
  Close();
  if (!path) return false;
  if (mapped) {
    ScopedHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    // The size comes from the open file, so the view and the count agree.
    if (!file.IsValid() || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > 0xFFFFFFFFLL) {
      return false;
    }
    ScopedHandle mapping(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    file.Close();
    if (!mapping.IsValid()) return false;
    void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
    if (!view) return false;
    data_ = static_cast<uint8_t*>(view);
    size_ = static_cast<uint32_t>(size.QuadPart);
  } else {
    FILE* file = _wfopen(path, L"rb");
    if (!file) return false;
    struct _stat64 status;
    bool ok = _fstat64(_fileno(file), &status) == 0 && status.st_size > 0 && status.st_size <= 0xFFFFFFFFLL;
    uint32_t size = ok ? static_cast<uint32_t>(status.st_size) : 0;
    uint8_t* block = ok ? static_cast<uint8_t*>(malloc(size)) : nullptr;
    ok = block && fread(block, 1, size, file) == size;
    fclose(file);
    if (!ok) {
      free(block);
      return false;
    }
    data_ = block;
    size_ = size;
  }
  mapped_ = mapped;
  path_ = path;
  return true;
}

bool CMappedFile::SaveAs(const wchar_t* path) const {
  if (!path || !data_) return false;
  return WriteFileReplacing(path, data_, size_);
}

CFindChildWindow::CFindChildWindow(HWND parent, const wchar_t* className) : className_(className) {
  if (parent && className) Step(parent, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK CFindChildWindow::Step(HWND window, LPARAM self) {
  CFindChildWindow* finder = reinterpret_cast<CFindChildWindow*>(self);
  HWND child = FindWindowExW(window, nullptr, finder->className_, nullptr);
  if (child) {
    finder->found_ = child;
    return FALSE;  // ends this level of the walk only
  }
  EnumChildWindows(window, &Step, self);
  return TRUE;
}
