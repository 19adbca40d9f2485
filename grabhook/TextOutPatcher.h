// Text capture by import patching: while one capture runs, the process's
// imports of the GDI text-output calls lead to replacements that note the
// wide-character runs drawn across the cursor, by whichever module of the
// process draws them.
#pragma once

#include <windows.h>

#include "grabhook/Scrivet.h"

// Every import-table slot that a patch rewrote, with the pointer it held, so
// that each module gets its own original back.
struct ImportPatch {
  void** slot;
  void* original;
};

struct ImportPatchLog {
  static constexpr int kCapacity = 1024;
  ImportPatch entries[kCapacity];
  int count;
};

// The import descriptor of dllName in the module at base, or null.
const IMAGE_IMPORT_DESCRIPTOR* FindImportDescriptor(const void* base, const char* dllName);
// The import-address-table slot of dllName!functionName (imported by name), or null.
void** FindImportSlot(const void* base, const char* dllName, const char* functionName);
// Redirects one module's import; the slot and its old pointer go to the log
// when one is given (a full log refuses the patch).
bool PatchModuleImport(const void* base, const char* dllName, const char* functionName, void* newFunction,
                       ImportPatchLog* log);
// The same in every module of the process; true when at least one was patched.
bool PatchImportInAllModules(const char* dllName, const char* functionName, void* newFunction, ImportPatchLog* log);
// Writes every logged slot's original back, newest first, and empties the log.
void RestoreImports(ImportPatchLog* log);

class CTextOutPatcher {
 public:
  // Redirects TextOutA/W and ExtTextOutA/W, and gdi32's own hand-over of text
  // to the system (win32u's NtGdiExtTextOutW, where there is one), in every
  // module that imports them. False, with nothing redirected, when no wide
  // text output could be redirected.
  bool Install();
  void Uninstall();
  bool IsInstalled() const { return m_installed; }
  // Repaints the strip under the record's point of its window and fills
  // its length, text and index.
  bool Capture(GrabTextResult* result);

 private:
  bool m_installed = false;
};

extern CTextOutPatcher g_textOutPatcher;

// The replacements, exposed for the tests.
BOOL WINAPI TextOutAHook(HDC dc, int x, int y, LPCSTR text, int count);
BOOL WINAPI TextOutWHook(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL WINAPI ExtTextOutAHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCSTR text, UINT count,
                            const INT* dx);
BOOL WINAPI ExtTextOutWHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT count,
                            const INT* dx);
// Text drawn as glyph indices (ETO_GLYPH_INDEX) is taken as the characters
// of those glyphs in the selected font.
BOOL WINAPI NtGdiExtTextOutWHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT count,
                                 const INT* dx, DWORD codePage);
