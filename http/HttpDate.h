// Dates of the HTTP client and the update component: signed 32-bit seconds
// since 1970-01-01 UTC (-1 = none), the HTTP text forms and their parsers.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

using HttpTime = int32_t;

// The clock every part of the client reads; tests replace it.
HttpTime HttpNow();
void SetHttpClock(HttpTime (*clock)());

bool TimeToUtc(tm& out, const HttpTime* t);
HttpTime UtcToTime(tm& fields);

// Styles: 1 asctime, 2 RFC 1123, 3 RFC 850, 4 cookie form, 5 compact digits
// (wide only), any other "YYYY-MM-DD HH:MM:SS".
std::string& FormatTimeStringA(std::string& out, const HttpTime* t, int style);
std::wstring& FormatTimeString(std::wstring& out, const HttpTime* t, int style);

HttpTime ParseHttpDate(const char* text);
HttpTime ParseCookieDate(const char* text);
HttpTime ParseIsoTime(const char* text);
HttpTime ParseTimeString(const wchar_t* text);

bool NextToken(std::string& out, const char* text, const char* separators);
int ParseTwoDigits(const char* text);
int ParseFourDigits(const char* text);
