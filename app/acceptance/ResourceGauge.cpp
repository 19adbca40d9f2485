#include "app/acceptance/ResourceGauge.h"

#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace acceptance {

namespace {

// Handle values are multiples of 4 handed out from the bottom; a gap this
// long after the last live one ends the count.
constexpr DWORD kHandleGap = 4 * 4096;
constexpr DWORD kHandleLimit = 4 * (1u << 20);

long CountHandleValues(HANDLE process) {
  long count = 0;
  DWORD last = 0;
  for (DWORD value = 4; value < kHandleLimit && value - last <= kHandleGap; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)), GetCurrentProcess(), &copy, 0,
                        FALSE, DUPLICATE_SAME_ACCESS)) {
      CloseHandle(copy);
      ++count;
      last = value;
    }
  }
  return count;
}

// Wine's GDI handle table: 65536 entries of 24 bytes (object, owner,
// unique with the object's type in its low byte, type, flags); an entry with
// a type in use is a live object. The process environment block points to it
// at 0x94, as on 32-bit Windows.
constexpr size_t kGdiEntries = 65536, kGdiEntrySize = 24, kGdiTypeOffset = 12;
constexpr size_t kPebGdiTableOffset = 0x94;

long CountGdiTableEntries(HANDLE process) {
  using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  static const QueryFn query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  struct {
    LONG exitStatus;
    uint8_t* peb;
    ULONG_PTR rest[4];
  } basic = {};
  ULONG got = 0;
  if (!query || query(process, 0, &basic, sizeof(basic), &got) != 0 || !basic.peb) return -1;
  uint32_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, basic.peb + kPebGdiTableOffset, &table, sizeof(table), &read) || !table) return -1;
  std::vector<uint8_t> entries(kGdiEntries * kGdiEntrySize);
  if (!ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<uintptr_t>(table)), entries.data(),
                         entries.size(), &read) ||
      read != entries.size())
    return -1;
  long count = 0;
  for (size_t i = 0; i < kGdiEntries; ++i) count += entries[i * kGdiEntrySize + kGdiTypeOffset] != 0;
  return count;
}

struct WindowCount {
  DWORD process;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++reinterpret_cast<WindowCount*>(param)->count;
  return TRUE;
}

void CountWindowAndChildren(HWND window, WindowCount& count) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count.process) return;
  ++count.count;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
}

BOOL CALLBACK CountTop(HWND window, LPARAM param) {
  CountWindowAndChildren(window, *reinterpret_cast<WindowCount*>(param));
  return TRUE;
}

long CountWindows(DWORD processId) {
  WindowCount count = {processId, 0};
  EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
    CountWindowAndChildren(window, count);
  return count.count;
}

}  // namespace

ResourceSample SampleResources(HANDLE process, DWORD processId) {
  ResourceSample sample;
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles) && handles > 0) {
    sample.handles = static_cast<long>(handles);
    sample.how += "handles: GetProcessHandleCount; ";
  } else {
    sample.handles = CountHandleValues(process);
    sample.how += "handles: live handle values; ";
  }
  if (const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS)) {
    sample.gdi = static_cast<long>(gdi);
    sample.how += "GDI: GetGuiResources; ";
  } else {
    sample.gdi = CountGdiTableEntries(process);
    sample.how += "GDI: live entries of the GDI handle table; ";
  }
  if (const DWORD user = GetGuiResources(process, GR_USEROBJECTS)) {
    sample.user = static_cast<long>(user);
    sample.how += "USER: GetGuiResources; ";
  } else {
    sample.user = CountWindows(processId);
    sample.how += "USER: windows; ";
  }
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    // Wine leaves PrivateUsage at 0; its commit charge is the same figure.
    const SIZE_T bytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    sample.privateMb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    sample.how += memory.PrivateUsage ? "private bytes: PrivateUsage" : "private bytes: PagefileUsage";
  }
  return sample;
}

std::string Describe(const ResourceSample& sample) {
  char text[160];
  std::snprintf(text, sizeof(text), "%ld handles, %ld GDI, %ld USER, %.1f MB private", sample.handles, sample.gdi,
                sample.user, sample.privateMb);
  return text;
}

}  // namespace acceptance
