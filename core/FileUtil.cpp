#include "core/FileUtil.h"

#include <cderr.h>

#include <vector>

#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/UiSeam.h"

namespace {

bool Exists(const wchar_t* path) {
  return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool MakeNormal(const wchar_t* path) {
  return SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL) != FALSE;
}

// A name beside the target that no other writer of this process or another
// one picks at the same time.
std::wstring TemporaryNameFor(const wchar_t* path) {
  static volatile LONG counter = 0;
  std::wstring name = path;
  name += L".";
  name += IntToWString(GetCurrentProcessId(), 16);
  name += L"-";
  name += IntToWString(static_cast<uint32_t>(InterlockedIncrement(&counter)), 16);
  name += L".tmp";
  return name;
}

bool WriteAll(HANDLE file, const void* bytes, uint32_t count) {
  const uint8_t* at = static_cast<const uint8_t*>(bytes);
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(file, at, count, &written, nullptr) || written == 0) return false;
    at += written;
    count -= written;
  }
  return true;
}

}  // namespace

bool IsFilePresent(const wchar_t* path) {
  if (!path) return false;
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const wchar_t* path) {
  if (!path) return false;
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceCopyFile(const wchar_t* source, const wchar_t* target, bool overwrite) {
  if (!source || !target) return false;
  if (overwrite && IsFilePresent(target) && !MakeNormal(target)) return false;
  return CopyFileW(source, target, !overwrite) != FALSE;
}

bool ForceDeleteFile(const wchar_t* path) {
  if (!path || !MakeNormal(path)) return false;
  return DeleteFileW(path) != FALSE;
}

bool ForceMoveFile(const wchar_t* source, const wchar_t* target, bool replace) {
  if (!source || !target || !IsFilePresent(source)) return false;
  if (replace && IsFilePresent(target) && !MakeNormal(target)) return false;
  DWORD flags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
  if (replace) flags |= MOVEFILE_REPLACE_EXISTING;
  return MoveFileExW(source, target, flags) != FALSE;
}

bool MoveExistingFile(const wchar_t* source, const wchar_t* target) {
  if (!source || !target || !DirectoryExists(source)) return false;
  return MoveFileExW(source, target, MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WriteFileReplacing(const wchar_t* path, const void* bytes, uint32_t count) {
  if (!path || !*path || (!bytes && count > 0) || DirectoryExists(path)) return false;
  std::wstring temporary = TemporaryNameFor(path);
  ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return false;
  bool ok = WriteAll(file.Get(), bytes, count) && FlushFileBuffers(file.Get());
  ok = file.Close() && ok;
  if (ok && Exists(path)) ok = MakeNormal(path);
  if (ok) ok = MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileW(temporary.c_str());
  return ok;
}

bool WriteWholeFile(const wchar_t* path, const void* bytes, uint32_t count) {
  return WriteFileReplacing(path, bytes, count);
}

bool DeleteDirectoryTree(const wchar_t* path, bool withContents) {
  if (!path || wcslen(path) < 4) return false;
  if (!withContents) return MakeNormal(path) && RemoveDirectoryW(path);
  std::wstring folder = path;
  if (folder.back() != L'\\') folder += L'\\';
  WIN32_FIND_DATAW found;
  {
    ScopedFindHandle search(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search.IsValid()) return false;
    do {
      if (found.cFileName[0] == L'.') continue;
      std::wstring entry = folder + found.cFileName;
      bool removed = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? DeleteDirectoryTree(entry.c_str(), false)
                         : ForceDeleteFile(entry.c_str());
      if (!removed) return false;
    } while (FindNextFileW(search.Get(), &found));
  }
  return MakeNormal(path) && RemoveDirectoryW(path);
}

bool CreateDirectoryPath(const wchar_t* path) {
  if (!path || !*path) return false;
  if (DirectoryExists(path)) return true;
  std::wstring folder = path;
  if (folder.back() == L'\\') folder.pop_back();
  size_t slash = folder.rfind(L'\\');
  if (slash == std::wstring::npos) return DirectoryExists(folder.c_str());
  // Failures on the way show in the final test, which is the answer.
  CreateDirectoryPath(folder.substr(0, slash).c_str());
  CreateDirectoryW(folder.c_str(), nullptr);
  return DirectoryExists(folder.c_str());
}

uint32_t FormatSystemError(std::wstring& out, DWORD code) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0,
      nullptr);
  if (length == 0 || !text) return 0;
  out.assign(text, length);
  LocalFree(text);
  return length;
}

namespace {

// The common dialogs' own error codes (CommDlgExtendedError); the system's
// message table has no text for them.
struct FileDialogError {
  DWORD code;
  const wchar_t* name;
  const wchar_t* text;
};
const FileDialogError kFileDialogErrors[] = {
    {CDERR_DIALOGFAILURE, L"CDERR_DIALOGFAILURE", L"The dialog box could not be created."},
    {CDERR_STRUCTSIZE, L"CDERR_STRUCTSIZE", L"The dialog was given a structure of a wrong size."},
    {CDERR_INITIALIZATION, L"CDERR_INITIALIZATION", L"The dialog box could not be initialized."},
    {CDERR_NOTEMPLATE, L"CDERR_NOTEMPLATE", L"The dialog box template is missing."},
    {CDERR_NOHINSTANCE, L"CDERR_NOHINSTANCE", L"The dialog was given no instance handle."},
    {CDERR_LOADSTRFAILURE, L"CDERR_LOADSTRFAILURE", L"A string of the dialog could not be loaded."},
    {CDERR_FINDRESFAILURE, L"CDERR_FINDRESFAILURE", L"A resource of the dialog could not be found."},
    {CDERR_LOADRESFAILURE, L"CDERR_LOADRESFAILURE", L"A resource of the dialog could not be loaded."},
    {CDERR_LOCKRESFAILURE, L"CDERR_LOCKRESFAILURE", L"A resource of the dialog could not be locked."},
    {CDERR_MEMALLOCFAILURE, L"CDERR_MEMALLOCFAILURE", L"There is not enough memory for the dialog."},
    {CDERR_MEMLOCKFAILURE, L"CDERR_MEMLOCKFAILURE", L"The dialog's memory could not be locked."},
    {CDERR_NOHOOK, L"CDERR_NOHOOK", L"The dialog was given no hook procedure."},
    {CDERR_REGISTERMSGFAIL, L"CDERR_REGISTERMSGFAIL", L"A message of the dialog could not be registered."},
    {FNERR_SUBCLASSFAILURE, L"FNERR_SUBCLASSFAILURE", L"The list box of the dialog could not be subclassed."},
    {FNERR_INVALIDFILENAME, L"FNERR_INVALIDFILENAME", L"The file name is not valid."},
};

void FormatFileDialogError(std::wstring& text, DWORD code) {
  for (const FileDialogError& e : kFileDialogErrors) {
    if (e.code == code) {
      FormatWString(text, L"%s (%s)", e.text, e.name);
      return;
    }
  }
  if (FormatSystemError(text, code) == 0) FormatWString(text, L"The file dialog failed with the error 0x%04X.", code);
}

}  // namespace

bool ShowFileDialog(int mode, uint32_t bufferCharacters, std::wstring& fileName, DWORD* filterIndex,
                    const wchar_t* defaultExtension, const wchar_t* filter, HWND owner,
                    const wchar_t* title, DWORD flags) {
  if (bufferCharacters == 0) return false;
  std::vector<wchar_t> buffer(bufferCharacters, L'\0');
  fileName.copy(buffer.data(), bufferCharacters - 1);
  std::wstring filters = filter ? filter : L"";
  for (wchar_t& c : filters) {
    if (c == L'|') c = L'\0';
  }
  filters.push_back(L'\0');  // the list ends with two NULs

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = 76;  // the layout without the Windows 2000 fields
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter ? filters.c_str() : nullptr;
  dialog.nFilterIndex = filterIndex ? *filterIndex : 0;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = bufferCharacters;
  dialog.lpstrTitle = title;
  dialog.Flags = flags;
  dialog.lpstrDefExt = defaultExtension;

  DWORD error = 0;
  if (RunFileDialog(dialog, mode == 1, error)) {
    if (filterIndex) *filterIndex = dialog.nFilterIndex;
    buffer.back() = L'\0';
    fileName = buffer.data();
    return true;
  }
  fileName.clear();
  if (error == 0) return false;
  std::wstring text;
  if (error == FNERR_BUFFERTOOSMALL) {
    // The dialog stores the size it needs in the first 16-bit value.
    FormatWString(text, L"Buffer too small, Required size is: %d ", static_cast<int>(buffer[0]));
  } else {
    FormatFileDialogError(text, error);
  }
  ShowMessageBox(nullptr, text.c_str(), L"Error Message", MB_ICONINFORMATION);
  return false;
}

bool ShowOpenFileDialog(std::wstring& fileName, DWORD* filterIndex, const wchar_t* filter, HWND owner,
                        const wchar_t* title, DWORD flags) {
  return ShowFileDialog(0, 4096, fileName, filterIndex, nullptr, filter, owner, title,
                        flags & ~static_cast<DWORD>(OFN_ALLOWMULTISELECT));
}

bool ShowSaveFileDialog(std::wstring& fileName, DWORD* filterIndex, const wchar_t* defaultExtension,
                        const wchar_t* filter, HWND owner, const wchar_t* title, DWORD flags) {
  return ShowFileDialog(1, 4096, fileName, filterIndex, defaultExtension, filter, owner, title,
                        flags & ~static_cast<DWORD>(OFN_ALLOWMULTISELECT));
}

bool InitCoreLibrary() {
  return true;
}
