// Pure logic of the cursor-translation popup: which word of a grabbed line
// lies under the cursor, where the popup goes on the screen, and the key text
// of a web search. Nothing here touches a window, so it is tested alone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

enum class GrabScript { kNone, kLatin, kCyrillic, kChinese, kJapanese, kKorean };

// The script of a character by its Unicode block; kNone for every other block.
GrabScript ScriptOfChar(wchar_t c);
// Any of the Chinese, Japanese and Korean blocks.
bool IsCjkChar(wchar_t c);
// The character classes of alphabetic extraction.
bool IsGrabWordChar(wchar_t c);
bool IsUpperLetter(wchar_t c);
bool IsLowerLetter(wchar_t c);

// Scripts the user chose not to translate (section "Translate" of the settings).
struct GrabIgnore {
  bool latin = false;
  bool cyrillic = false;
  bool cjk = false;
};

// Whether the first `length` characters of `word` are a key of the grab group.
using GrabLookup = std::function<bool(const wchar_t* word, uint32_t length)>;

// The word around text[index]. True when the word was found by lookup; on
// failure `word` still holds the best candidate (possibly empty), which the
// popup shows anyway.
bool ExtractWord(std::wstring& word, const wchar_t* text, int length, int index, const GrabIgnore& ignore,
                 const GrabLookup& lookup);

// The popup's window rectangle for content of width x height shown for the
// cursor at `point`; `keep` leaves the top-left corner at `current` and shrinks
// the popup to the screen instead of moving it. The keep zone is the window,
// stretched to the point unless pinned, inflated by 5.
void PlaceGrabWindow(RECT& window, RECT& keepZone, int width, int height, POINT point, bool keep,
                     POINT current, bool pinned, SIZE screen);
// The keep zone of a window rectangle that the user moved or sized.
RECT KeepZoneOf(const RECT& window);

// The template with "[$key]" and "[$langcode]" filled.
std::wstring BuildSearchUrl(const std::wstring& urlTemplate, const std::wstring& key, const std::wstring& langCode);
