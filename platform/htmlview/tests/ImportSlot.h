// The import-table slot of a function in this test program, as the
// cursor-translation hook finds and patches it.
#pragma once

#include <windows.h>

#include <string>

inline void** FindImport(const char* dll, const char* function) {
  auto base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
    auto names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

// Records the text of every ExtTextOutW call made through this program's
// import while it lives, as the cursor-translation hook sees the page's text.
// Pieces are kept apart by '|'.
class DrawnTextCapture {
 public:
  DrawnTextCapture() : slot_(FindImport("gdi32.dll", "ExtTextOutW")) {
    Drawn().clear();
    if (!slot_ || !VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &protect_)) {
      slot_ = nullptr;
      return;
    }
    Real() = reinterpret_cast<ExtTextOutFn>(*slot_);
    *slot_ = reinterpret_cast<void*>(&Recording);
  }
  ~DrawnTextCapture() {
    if (!slot_) return;
    *slot_ = reinterpret_cast<void*>(Real());
    VirtualProtect(slot_, sizeof(void*), protect_, &protect_);
  }
  DrawnTextCapture(const DrawnTextCapture&) = delete;
  DrawnTextCapture& operator=(const DrawnTextCapture&) = delete;
  bool Active() const { return slot_ != nullptr; }
  const std::wstring& Text() const { return Drawn(); }

 private:
  using ExtTextOutFn = decltype(&ExtTextOutW);
  static std::wstring& Drawn() {
    static std::wstring drawn;
    return drawn;
  }
  static ExtTextOutFn& Real() {
    static ExtTextOutFn real = nullptr;
    return real;
  }
  static BOOL WINAPI Recording(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                               const INT* dx) {
    Drawn().append(text, count);
    Drawn().push_back(L'|');
    return Real()(dc, x, y, options, rect, text, count, dx);
  }
  void** slot_;
  DWORD protect_ = 0;
};
