// How dictionary keys compare. The reader's searches and the writer's sort use
// these very functions, so a file sorts the way its searches expect.
#pragma once

#include <cstdint>

constexpr int32_t kNoLocale = -1;

// -1 less, 0 equal, 1 greater. With a locale through CompareStringW
// (SORT_STRINGSORT; NoCase adds NORM_IGNORECASE), without one both ignore case.
int CompareNoCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength, int32_t locale);
int CompareCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength, int32_t locale);

// Leading characters in which two NUL-terminated texts agree exactly; 0 when a is empty.
uint32_t CommonPrefixLength(const wchar_t* a, const wchar_t* b);

// True when CompareStringW accepts the locale; a dictionary whose locale it
// rejects compares without one (every call would fail and count as "less").
bool IsCompareLocaleUsable(int32_t locale);

// True when the first n characters agree (ASCII letters without case unless
// caseSensitive), or both texts end together before n; n = 0xFFFFFFFF tests the whole texts.
bool CompareNoCaseN(const wchar_t* a, const wchar_t* b, uint32_t n, bool caseSensitive);
