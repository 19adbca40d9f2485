// The program's own page links ("app://command/argument", "dict://command/argument")
// as the HTML views read them from a navigation.
#pragma once

#include <cstdint>
#include <string>

// Percent-decodes a URL the way a form encodes it: the text is taken as UTF-8,
// "+" becomes a blank and "%" with two hexadecimal digits the byte they name.
// A "%" without two hexadecimal digits empties the result (false).
bool DecodeLinkUrl(std::wstring& out, const wchar_t* url);

// Splits the text behind a scheme at its first "/": command before it (all of
// it when there is none), argument after it (empty when nothing follows).
void SplitLinkCommand(const std::wstring& rest, std::wstring& command, std::wstring& argument);

enum class PageLink { kDict, kApp, kStartPage, kOther };

// What a navigation of a view with the page shell startPage asks for. rest is
// the decoded text behind "dict://" or "app://", else the decoded URL (empty
// when it does not decode). "about:blank" and the shell are also recognised as
// written: a folder with "+" or "%" in its name does not survive decoding.
PageLink ClassifyPageLink(const wchar_t* url, const std::wstring& startPage, std::wstring& rest);

// "A#B" with exactly two parts, each read as an unsigned number with automatic
// base (0x.. hexadecimal, 0.. octal, else decimal). False for any other shape.
bool ParseNumberPair(const std::wstring& argument, uint32_t* a, uint32_t* b);
