#include "dict/DictCompare.h"

#include <windows.h>

#include <cwchar>

namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// _wcsicmp over counted texts: keys are not NUL-terminated where they lie.
int CompareIgnoreCaseCounted(const wchar_t* a, int aLength, const wchar_t* b, int bLength) {
  int n = aLength < bLength ? aLength : bLength;
  int r = n > 0 ? _wcsnicmp(a, b, n) : 0;
  if (r != 0) return r;
  return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
}

int CompareWithLocale(const wchar_t* a, int aLength, const wchar_t* b, int bLength,
                      int32_t locale, DWORD flags) {
  int r = CompareStringW(static_cast<LCID>(locale), flags, a, aLength, b, bLength);
  return r == 0 ? -1 : r - 2;
}

}  // namespace

int CompareNoCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength, int32_t locale) {
  if (locale == kNoLocale) return Sign(CompareIgnoreCaseCounted(a, aLength, b, bLength));
  return CompareWithLocale(a, aLength, b, bLength, locale, NORM_IGNORECASE | SORT_STRINGSORT);
}

int CompareCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength, int32_t locale) {
  if (locale == kNoLocale) return Sign(CompareIgnoreCaseCounted(a, aLength, b, bLength));
  return CompareWithLocale(a, aLength, b, bLength, locale, SORT_STRINGSORT);
}

uint32_t CommonPrefixLength(const wchar_t* a, const wchar_t* b) {
  if (!a || !b) return 0;
  uint32_t n = 0;
  while (a[n] && a[n] == b[n]) ++n;
  return n;
}

bool IsCompareLocaleUsable(int32_t locale) {
  if (locale == kNoLocale) return true;
  return CompareStringW(static_cast<LCID>(locale), SORT_STRINGSORT, L"a", 1, L"b", 1) != 0 &&
         IsValidLocale(static_cast<LCID>(locale), LCID_SUPPORTED);
}

bool CompareNoCaseN(const wchar_t* a, const wchar_t* b, uint32_t n, bool caseSensitive) {
  if (!a || !b) return a == b;
  for (uint32_t i = 0; i < n; ++i) {
    wchar_t ca = a[i], cb = b[i];
    if (!caseSensitive) {
      if (ca >= L'A' && ca <= L'Z') ca += 32;
      if (cb >= L'A' && cb <= L'Z') cb += 32;
    }
    if (ca != cb) return false;
    if (!ca) return true;
  }
  return true;
}
