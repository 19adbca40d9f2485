#include "grabhook/TextOutPatcher.h"

#include <tlhelp32.h>

#include "grabhook/SehGuard.h"
#include "grabhook/TextRuns.h"

CTextOutPatcher g_textOutPatcher;

namespace {

typedef BOOL(WINAPI* TextOutAFn)(HDC, int, int, LPCSTR, int);
typedef BOOL(WINAPI* TextOutWFn)(HDC, int, int, LPCWSTR, int);
typedef BOOL(WINAPI* ExtTextOutAFn)(HDC, int, int, UINT, const RECT*, LPCSTR, UINT, const INT*);
typedef BOOL(WINAPI* ExtTextOutWFn)(HDC, int, int, UINT, const RECT*, LPCWSTR, UINT, const INT*);
typedef BOOL(WINAPI* NtGdiExtTextOutWFn)(HDC, int, int, UINT, const RECT*, LPCWSTR, UINT, const INT*, DWORD);

const char kGdiName[] = "gdi32.dll";
// Where gdi32 itself may hand every text output over to the system: the
// system's own modules (the edit control, list views, rich edit) draw
// through gdi32's exports, which never pass an import of theirs that reaches
// the program's module.
const char kSystemGdiName[] = "win32u.dll";

// The replacements call GDI itself: each patched module kept its own
// original in the log, which may be some other program's patch.
struct RealTextOut {
  TextOutAFn textOutA;
  TextOutWFn textOutW;
  ExtTextOutAFn extTextOutA;
  ExtTextOutWFn extTextOutW;
  NtGdiExtTextOutWFn ntExtTextOutW;  // null where gdi32 draws by itself
};
RealTextOut g_real;

// Text outputs running in the replacements: a run already taken by the
// wide replacements, or drawn by a narrow call, reaches the system's call
// underneath them, which then takes nothing.
LONG g_outerCalls;

class OuterCall {
 public:
  OuterCall() { InterlockedIncrement(&g_outerCalls); }
  ~OuterCall() { InterlockedDecrement(&g_outerCalls); }
  OuterCall(const OuterCall&) = delete;
  OuterCall& operator=(const OuterCall&) = delete;
};

ImportPatchLog g_patchLog;
CaptureState g_capture;

bool PlatformIsNt() {
  static int isNt = -1;
  if (isNt < 0) {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    isNt = (GetVersionExW(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT) ? 1 : 0;
  }
  return isNt == 1;
}

const BYTE* ImageAt(const void* base) { return static_cast<const BYTE*>(base); }

// One pointer store into an import slot, under a writable protection.
bool WriteImportSlot(void** slot, void* value, void** previous) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(slot, &info, sizeof(info)) != sizeof(info) || info.State != MEM_COMMIT) return false;
  DWORD oldProtect;
  if (!VirtualProtect(slot, sizeof(void*), PAGE_EXECUTE_READWRITE, &oldProtect)) return false;
  void* old = reinterpret_cast<void*>(
      InterlockedExchange(reinterpret_cast<volatile LONG*>(slot), reinterpret_cast<LONG>(value)));
  if (previous) *previous = old;
  DWORD ignored;
  VirtualProtect(slot, sizeof(void*), oldProtect, &ignored);
  return true;
}

// A run as drawn: characters or glyph indices, and the advances when given.
struct DrawnRun {
  HDC dc;
  const wchar_t* text;  // the characters (glyphs mapped back when drawn as glyphs)
  const WORD* glyphs;   // null for character runs
  const INT* dx;        // null: the font's own advances
  bool pairs;           // dx holds x and y advances (ETO_PDY)
  int count;
};

bool MeasurePrefix(void* context, int count, int* width) {
  const DrawnRun* run = static_cast<const DrawnRun*>(context);
  if (run->dx) {
    int sum = 0;
    for (int i = 0; i < count; ++i) sum += run->dx[run->pairs ? 2 * i : i];
    *width = sum;
    return true;
  }
  SIZE size;
  BOOL measured = run->glyphs ? GetTextExtentPointI(run->dc, const_cast<WORD*>(run->glyphs), count, &size)
                              : GetTextExtentPoint32W(run->dc, run->text, count, &size);
  if (!measured) return false;
  *width = size.cx;
  return true;
}

void CaptureRun(const DrawnRun& drawn, int x, int y) {
  if (!drawn.text || drawn.count <= 0) return;
  SIZE size;
  if (!GetTextExtentPoint32W(drawn.dc, drawn.text, drawn.count, &size)) return;
  int width = size.cx;
  if ((drawn.dx || drawn.glyphs) && !MeasurePrefix(const_cast<DrawnRun*>(&drawn), drawn.count, &width)) return;
  HDC dc = drawn.dc;
  UINT align = GetTextAlign(dc);
  if (align == GDI_ERROR) align = 0;
  POINT ref = {x, y};
  if (align & TA_UPDATECP) GetCurrentPositionEx(dc, &ref);
  int ascent = 0;
  if ((align & TA_BASELINE) == TA_BASELINE) {
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) ascent = metrics.tmAscent;
  }
  RECT run = RunRectFromAlign(align, ref.x, ref.y, width, size.cy, ascent);
  POINT corners[2] = {{run.left, run.top}, {run.right, run.bottom}};
  LPtoDP(dc, corners, 2);
  run = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  if (!HitTestRun(g_capture.kind, &run, g_capture.column, g_capture.row)) return;
  AddCapturedRun(g_capture, run, drawn.text, drawn.count, MeasurePrefix, const_cast<DrawnRun*>(&drawn));
}

// Characters of glyph indices of the font selected into a DC: the inverse
// of the font's character-to-glyph table, made once per font. A glyph that
// several characters share gives the first of them.
class GlyphMaps {
 public:
  // False when the font's table cannot be read; the text is then unknown.
  bool ToText(HDC dc, const WORD* glyphs, int count, wchar_t* text) {
    const wchar_t* map = MapOf(dc);
    if (!map) return false;
    for (int i = 0; i < count; ++i) {
      text[i] = map[glyphs[i]];
      if (text[i] == 0) text[i] = 0xFFFD;
    }
    return true;
  }

 private:
  static constexpr int kFonts = 4;
  static constexpr int kGlyphs = 65536;
  struct Entry {
    LOGFONTW font;
    wchar_t* map;  // kGlyphs characters
  };

  const wchar_t* MapOf(HDC dc) {
    LOGFONTW font;
    HGDIOBJ object = GetCurrentObject(dc, OBJ_FONT);
    if (!object || GetObjectW(object, sizeof(font), &font) != sizeof(font)) return nullptr;
    for (const Entry& entry : m_entries) {
      if (entry.map && memcmp(&entry.font, &font, sizeof(font)) == 0) return entry.map;
    }
    Entry& entry = m_entries[m_next];
    m_next = (m_next + 1) % kFonts;
    if (!entry.map) {
      entry.map = static_cast<wchar_t*>(VirtualAlloc(nullptr, kGlyphs * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
      if (!entry.map) return nullptr;
    }
    ZeroMemory(entry.map, kGlyphs * sizeof(wchar_t));
    entry.font = font;
    if (!Fill(dc, entry.map)) {
      ZeroMemory(&entry.font, sizeof(entry.font));
      return nullptr;
    }
    return entry.map;
  }

  static bool Fill(HDC dc, wchar_t* map) {
    DWORD size = GetFontUnicodeRanges(dc, nullptr);
    if (size == 0) return false;
    GLYPHSET* set = static_cast<GLYPHSET*>(VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!set) return false;
    bool filled = GetFontUnicodeRanges(dc, set) != 0;
    for (DWORD r = 0; filled && r < set->cRanges; ++r) {
      const WCRANGE& range = set->ranges[r];
      for (int done = 0; done < range.cGlyphs;) {
        wchar_t chars[256];
        WORD indices[256];
        int n = range.cGlyphs - done < 256 ? range.cGlyphs - done : 256;
        for (int i = 0; i < n; ++i) chars[i] = static_cast<wchar_t>(range.wcLow + done + i);
        if (GetGlyphIndicesW(dc, chars, n, indices, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) break;
        for (int i = 0; i < n; ++i) {
          if (indices[i] != 0xFFFF && map[indices[i]] == 0) map[indices[i]] = chars[i];
        }
        done += n;
      }
    }
    VirtualFree(set, 0, MEM_RELEASE);
    return filled;
  }

  Entry m_entries[kFonts] = {};
  int m_next = 0;
};

GlyphMaps g_glyphMaps;

struct CaptureCall {
  HDC dc;
  int x, y;
  UINT options;
  const wchar_t* text;
  int count;
  const INT* dx;
};

void CaptureTextOutCall(void* context) {
  const CaptureCall* c = static_cast<const CaptureCall*>(context);
  DrawnRun run = {c->dc, c->text, nullptr, c->dx, (c->options & ETO_PDY) != 0, c->count};
  if (c->options & ETO_GLYPH_INDEX) {
    if (!c->text || c->count <= 0 || c->count > 1024) return;
    wchar_t text[1024];
    run.glyphs = reinterpret_cast<const WORD*>(c->text);
    if (!g_glyphMaps.ToText(c->dc, run.glyphs, c->count, text)) return;
    run.text = text;
    CaptureRun(run, c->x, c->y);
    return;
  }
  CaptureRun(run, c->x, c->y);
}

// Runs inside the host's own painting: whatever goes wrong in the capture,
// the host's text is still drawn.
void GuardedCaptureTextOut(const CaptureCall& call) {
  if (!RunGuarded(CaptureTextOutCall, const_cast<CaptureCall*>(&call))) g_capture.active = false;
}

void StartStrip(int column, int row) {
  g_capture.column = column;
  g_capture.row = row;
  g_capture.Reset();
  g_capture.active = true;
}

// The window's own code that a capture makes run: the hit test, the frame
// size and the repaint of the strip.
struct Repaint {
  HWND window;
  POINT cursor;
  LRESULT hit;
  RECT windowRect, clientRect;
  RECT strip;
};

void AskWindowGeometry(void* context) {
  Repaint* r = static_cast<Repaint*>(context);
  r->hit = SendMessageW(r->window, WM_NCHITTEST, 0, MAKELPARAM(r->cursor.x, r->cursor.y));
  r->windowRect = {};
  GetWindowRect(r->window, &r->windowRect);
  r->clientRect = r->windowRect;
  SendMessageW(r->window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r->clientRect));
}

void RepaintClientStrip(void* context) {
  Repaint* r = static_cast<Repaint*>(context);
  InvalidateRect(r->window, &r->strip, TRUE);
  UpdateWindow(r->window);
}

void RepaintFrameStrip(void* context) {
  Repaint* r = static_cast<Repaint*>(context);
  RedrawWindow(r->window, &r->strip, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN | RDW_FRAME);
}

// The capture runs inside the hook timer's guard, which is for the library's
// own work only: the window's code runs outside it.
void ForceRepaintAtPoint() {
  Repaint r = {g_capture.window, {g_capture.cursorX, g_capture.cursorY}, 0, {}, {}, {}};
  RunUnguarded(AskWindowGeometry, &r);
  if (PtInRect(&r.clientRect, r.cursor) || r.hit == HTCLIENT) {
    int row = r.cursor.y - r.clientRect.top;
    r.strip = {0, row, r.clientRect.right - r.clientRect.left, row + 1};
    StartStrip(r.cursor.x - r.clientRect.left, row);
    RunUnguarded(RepaintClientStrip, &r);
  } else {
    int row = r.cursor.y - r.windowRect.top;
    r.strip = {0, row, r.windowRect.right - r.windowRect.left, row + 1};
    StartStrip(r.cursor.x - r.windowRect.left, row);
    RunUnguarded(RepaintFrameStrip, &r);
  }
  g_capture.active = false;
}

template <typename Fn>
Fn GdiExport(HMODULE gdi, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(gdi, name)));
}

bool ResolveRealTextOut() {
  if (g_real.textOutA && g_real.textOutW && g_real.extTextOutA && g_real.extTextOutW) return true;
  HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
  if (!gdi) return false;
  g_real.textOutA = GdiExport<TextOutAFn>(gdi, "TextOutA");
  g_real.textOutW = GdiExport<TextOutWFn>(gdi, "TextOutW");
  g_real.extTextOutA = GdiExport<ExtTextOutAFn>(gdi, "ExtTextOutA");
  g_real.extTextOutW = GdiExport<ExtTextOutWFn>(gdi, "ExtTextOutW");
  if (HMODULE system = GetModuleHandleW(L"win32u.dll"))
    g_real.ntExtTextOutW = GdiExport<NtGdiExtTextOutWFn>(system, "NtGdiExtTextOutW");
  return g_real.textOutA && g_real.textOutW && g_real.extTextOutA && g_real.extTextOutW;
}

}  // namespace

const IMAGE_IMPORT_DESCRIPTOR* FindImportDescriptor(const void* base, const char* dllName) {
  if (!base || !dllName) return nullptr;
  const BYTE* image = ImageAt(base);
  if (IsBadReadPtr(image, 64)) return nullptr;
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0) return nullptr;
  const IMAGE_NT_HEADERS32* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image + dos->e_lfanew);
  if (IsBadReadPtr(nt, sizeof(IMAGE_NT_HEADERS32)) || nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  const IMAGE_IMPORT_DESCRIPTOR* descriptor =
      reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress);
  for (;; ++descriptor) {
    if (IsBadReadPtr(descriptor, sizeof(*descriptor)) || descriptor->Name == 0) return nullptr;
    const char* name = reinterpret_cast<const char*>(image + descriptor->Name);
    if (!IsBadReadPtr(name, 1) && EqualNoCaseA(name, dllName)) return descriptor;
  }
}

void** FindImportSlot(const void* base, const char* dllName, const char* functionName) {
  if (!functionName || !*functionName) return nullptr;
  const IMAGE_IMPORT_DESCRIPTOR* descriptor = FindImportDescriptor(base, dllName);
  if (!descriptor || descriptor->OriginalFirstThunk == 0 || descriptor->FirstThunk == 0) return nullptr;
  const BYTE* image = ImageAt(base);
  const IMAGE_THUNK_DATA32* names = reinterpret_cast<const IMAGE_THUNK_DATA32*>(image + descriptor->OriginalFirstThunk);
  IMAGE_THUNK_DATA32* slots =
      reinterpret_cast<IMAGE_THUNK_DATA32*>(const_cast<BYTE*>(image) + descriptor->FirstThunk);
  for (;; ++names, ++slots) {
    if (IsBadReadPtr(names, sizeof(*names))) return nullptr;
    DWORD entry = names->u1.AddressOfData;
    if (entry == 0) return nullptr;
    if (entry & IMAGE_ORDINAL_FLAG32) continue;
    const IMAGE_IMPORT_BY_NAME* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + entry);
    if (IsBadReadPtr(byName, 4)) continue;
    const char* name = reinterpret_cast<const char*>(byName->Name);
    if (name[0] == 0 || name[0] != functionName[0] || !EqualNoCaseA(name, functionName)) continue;
    return reinterpret_cast<void**>(&slots->u1.Function);
  }
}

bool PatchModuleImport(const void* base, const char* dllName, const char* functionName, void* newFunction,
                       ImportPatchLog* log) {
  // Modules above the 2 GB line are the system's own, shared by every process.
  if (PlatformIsNt() && reinterpret_cast<UINT_PTR>(base) >= 0x80000000u) {
    SetLastErrorEx(ERROR_INVALID_HANDLE, SLE_ERROR);
    return false;
  }
  if (!newFunction) return false;
  void** slot = FindImportSlot(base, dllName, functionName);
  if (!slot) return false;
  if (*slot == newFunction) return true;
  if (log && log->count >= ImportPatchLog::kCapacity) return false;
  void* original = nullptr;
  if (!WriteImportSlot(slot, newFunction, &original)) return false;
  if (log) log->entries[log->count++] = {slot, original};
  return true;
}

namespace {

// Calls visit(module) for every module of the process; false when the
// module list cannot be taken.
template <typename Visit>
bool ForEachModule(Visit visit) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W module;
  module.dwSize = sizeof(module);
  for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) {
    visit(module.hModule);
  }
  CloseHandle(snapshot);
  return true;
}

}  // namespace

bool PatchImportInAllModules(const char* dllName, const char* functionName, void* newFunction, ImportPatchLog* log) {
  if (!dllName || !functionName) return false;
  bool patched = false;
  ForEachModule([&](HMODULE module) {
    if (PatchModuleImport(module, dllName, functionName, newFunction, log)) patched = true;
  });
  return patched;
}

void RestoreImports(ImportPatchLog* log) {
  for (int i = log->count - 1; i >= 0; --i) WriteImportSlot(log->entries[i].slot, log->entries[i].original, nullptr);
  log->count = 0;
}

bool CTextOutPatcher::Install() {
  if (m_installed || !ResolveRealTextOut()) return false;
  struct Redirect {
    const char* dll;
    const char* name;
    void* hook;
    bool wide;  // a way by which wide text reaches GDI
  };
  const Redirect redirects[] = {
      {kGdiName, "TextOutA", reinterpret_cast<void*>(&TextOutAHook), false},
      {kGdiName, "TextOutW", reinterpret_cast<void*>(&TextOutWHook), true},
      {kGdiName, "ExtTextOutA", reinterpret_cast<void*>(&ExtTextOutAHook), false},
      {kGdiName, "ExtTextOutW", reinterpret_cast<void*>(&ExtTextOutWHook), true},
      {kSystemGdiName, "NtGdiExtTextOutW",
       g_real.ntExtTextOutW ? reinterpret_cast<void*>(&NtGdiExtTextOutWHook) : nullptr, true},
  };
  // One walk over the module list for all of them: it is the slow part. A
  // module redirects the forms it imports; many import no narrow form at all.
  g_patchLog.count = 0;
  bool wide = false;
  ForEachModule([&](HMODULE module) {
    for (const Redirect& redirect : redirects) {
      if (PatchModuleImport(module, redirect.dll, redirect.name, redirect.hook, &g_patchLog) && redirect.wide)
        wide = true;
    }
  });
  if (!wide) {
    RestoreImports(&g_patchLog);
    return false;
  }
  m_installed = true;
  return true;
}

void CTextOutPatcher::Uninstall() {
  if (!m_installed) return;
  RestoreImports(&g_patchLog);
  m_installed = false;
}

bool CTextOutPatcher::Capture(GrabTextResult* result) {
  if (!m_installed || !result) return false;
  g_capture.window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(result->hwnd));
  g_capture.cursorX = result->x;
  g_capture.cursorY = result->y;
  g_capture.active = false;
  g_capture.Reset();
  wchar_t className[256];
  if (GetClassNameW(g_capture.window, className, 256) <= 0) className[0] = 0;
  g_capture.kind = GetWindowClassMode(className);
  ForceRepaintAtPoint();
  return FillGrabResult(g_capture, *result);
}

BOOL WINAPI TextOutAHook(HDC dc, int x, int y, LPCSTR text, int count) {
  OuterCall outer;
  return g_real.textOutA(dc, x, y, text, count);
}

BOOL WINAPI TextOutWHook(HDC dc, int x, int y, LPCWSTR text, int count) {
  if (g_capture.active && g_outerCalls == 0) GuardedCaptureTextOut({dc, x, y, 0, text, count, nullptr});
  OuterCall outer;
  return g_real.textOutW(dc, x, y, text, count);
}

BOOL WINAPI ExtTextOutAHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCSTR text, UINT count,
                            const INT* dx) {
  OuterCall outer;
  return g_real.extTextOutA(dc, x, y, options, clip, text, count, dx);
}

BOOL WINAPI ExtTextOutWHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT count,
                            const INT* dx) {
  if (g_capture.active && g_outerCalls == 0)
    GuardedCaptureTextOut({dc, x, y, options, text, static_cast<int>(count), dx});
  OuterCall outer;
  return g_real.extTextOutW(dc, x, y, options, clip, text, count, dx);
}

BOOL WINAPI NtGdiExtTextOutWHook(HDC dc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT count,
                                 const INT* dx, DWORD codePage) {
  if (g_capture.active && g_outerCalls == 0)
    GuardedCaptureTextOut({dc, x, y, options, text, static_cast<int>(count), dx});
  return g_real.ntExtTextOutW(dc, x, y, options, clip, text, count, dx, codePage);
}
