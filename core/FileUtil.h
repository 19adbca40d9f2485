// File and folder helpers of the core: presence tests, copy, move and delete
// that clear read-only attributes first, whole-file writes that never leave a
// half-written file, folder trees, system error texts and the common dialogs.
// Every function fails (false) for a null path without touching anything.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

bool IsFilePresent(const wchar_t* path);    // exists and is not a folder
bool DirectoryExists(const wchar_t* path);  // exists and is a folder

bool ForceCopyFile(const wchar_t* source, const wchar_t* target, bool overwrite);
bool ForceDeleteFile(const wchar_t* path);
bool ForceMoveFile(const wchar_t* source, const wchar_t* target, bool replace);  // files
bool MoveExistingFile(const wchar_t* source, const wchar_t* target);           // folders

// The one way the core replaces a file's contents: the bytes go to a temporary
// file beside the target, which then takes the target's place. A failure at
// any step leaves the old file as it was (a read-only target is replaced too).
bool WriteFileReplacing(const wchar_t* path, const void* bytes, uint32_t count);
bool WriteWholeFile(const wchar_t* path, const void* bytes, uint32_t count);

// With contents: deletes the files and the empty subfolders, then the folder.
// Paths shorter than 4 characters (drive roots) are refused.
bool DeleteDirectoryTree(const wchar_t* path, bool withContents);
// Creates the folder and its missing parents; true when the folder exists.
bool CreateDirectoryPath(const wchar_t* path);

// The system's text for an error code; its length, 0 (out unchanged) if none.
uint32_t FormatSystemError(std::wstring& out, DWORD code);

// The common dialogs (through RunFileDialog); fileName holds the initial and
// the chosen path, emptied on failure. Dialog errors other than cancelling are
// shown in a message box.
bool ShowFileDialog(int mode, uint32_t bufferCharacters, std::wstring& fileName, DWORD* filterIndex,
                    const wchar_t* defaultExtension, const wchar_t* filter, HWND owner,
                    const wchar_t* title, DWORD flags);
bool ShowOpenFileDialog(std::wstring& fileName, DWORD* filterIndex, const wchar_t* filter, HWND owner,
                        const wchar_t* title, DWORD flags);
bool ShowSaveFileDialog(std::wstring& fileName, DWORD* filterIndex, const wchar_t* defaultExtension,
                        const wchar_t* filter, HWND owner, const wchar_t* title, DWORD flags);

bool InitCoreLibrary();
