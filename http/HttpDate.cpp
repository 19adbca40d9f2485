#include "http/HttpDate.h"

#include <windows.h>

#include <cstring>

#include "core/TextCodec.h"
#include "http/HttpText.h"

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

HttpTime SystemClock() { return static_cast<HttpTime>(time(nullptr)); }
HttpTime (*g_clock)() = SystemClock;

int FindName(const char* const* names, int count, const char* text, size_t length) {
  for (int i = 0; i < count; ++i)
    if (strlen(names[i]) == length && _strnicmp(names[i], text, length) == 0) return i;
  return -1;
}

// Two digits, or a blank and one digit (the asctime form pads its day that way).
int ParseDay(const char* text) {
  if (text[0] != ' ') return ParseTwoDigits(text);
  return (text[1] >= '0' && text[1] <= '9') ? text[1] - '0' : -1;
}

HttpTime FromFields(int year, int month, int day, int hour, int minute, int second) {
  if (year < 1970 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0) return -1;
  tm fields = {};
  fields.tm_year = year - 1900;
  fields.tm_mon = month;
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  return UtcToTime(fields);
}

int TwoDigitYear(int yy) { return yy < 0 ? -1 : (yy < 70 ? 2000 + yy : 1900 + yy); }

}  // namespace

HttpTime HttpNow() { return g_clock(); }
void SetHttpClock(HttpTime (*clock)()) { g_clock = clock ? clock : SystemClock; }

int ParseTwoDigits(const char* text) {
  if (!text || text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') return -1;
  return (text[0] - '0') * 10 + (text[1] - '0');
}

int ParseFourDigits(const char* text) {
  int high = ParseTwoDigits(text);
  int low = high < 0 ? -1 : ParseTwoDigits(text + 2);
  return low < 0 ? -1 : high * 100 + low;
}

bool TimeToUtc(tm& out, const HttpTime* t) {
  if (!t || *t < 0) return false;
  int32_t seconds = *t;
  int32_t days = seconds / 86400;
  int32_t rest = seconds % 86400;
  int year = 1970 + (days / 1461) * 4;
  int inBlock = days % 1461;
  static const int kYearDays[4] = {365, 365, 366, 365};
  int k = 0;
  while (inBlock >= kYearDays[k]) inBlock -= kYearDays[k++];
  year += k;
  const int* starts = kMonthStart[k == 2 ? 1 : 0];
  int month = 0;
  while (inBlock >= starts[month + 1]) ++month;
  out = tm();
  out.tm_year = year - 1900;
  out.tm_mon = month;
  out.tm_mday = inBlock - starts[month] + 1;
  out.tm_yday = inBlock;
  out.tm_hour = rest / 3600;
  out.tm_min = rest / 60 % 60;
  out.tm_sec = rest % 60;
  out.tm_wday = (days + 4) % 7;
  out.tm_isdst = 0;
  return true;
}

HttpTime UtcToTime(tm& fields) {
  int64_t year = fields.tm_year;
  int64_t month = fields.tm_mon;
  if (year < 69 || year > 139) return -1;
  year += month / 12;
  month %= 12;
  if (month < 0) month += 12, --year;
  if (year < 69 || year > 139) return -1;
  bool leap = year % 4 == 0;
  int64_t days = 365 * year + (year - 1) / 4 + kMonthStart[leap ? 1 : 0][month] - 25567 + fields.tm_mday - 1;
  int64_t seconds = ((days * 24 + fields.tm_hour) * 60 + fields.tm_min) * 60 + fields.tm_sec;
  if (seconds < INT32_MIN || seconds > INT32_MAX) return -1;
  HttpTime t = static_cast<HttpTime>(seconds);
  if (!TimeToUtc(fields, &t)) return -1;
  return t;
}

std::string& FormatTimeStringA(std::string& out, const HttpTime* t, int style) {
  out.clear();
  tm u;
  if (!TimeToUtc(u, t)) return out;
  int year = u.tm_year + 1900;
  switch (style) {
    case 1:
      FormatAString(out, "%s %s %2d %.2d:%.2d:%.2d %.4d", kDays[u.tm_wday], kMonths[u.tm_mon], u.tm_mday,
                    u.tm_hour, u.tm_min, u.tm_sec, year);
      break;
    case 2:
      FormatAString(out, "%s, %.2d %s %.4d %.2d:%.2d:%.2d GMT", kDays[u.tm_wday], u.tm_mday, kMonths[u.tm_mon],
                    year, u.tm_hour, u.tm_min, u.tm_sec);
      break;
    case 3:
      FormatAString(out, "%s, %.2d-%s-%.2d %.2d:%.2d:%.2d GMT", kWeekdays[u.tm_wday], u.tm_mday,
                    kMonths[u.tm_mon], year % 100, u.tm_hour, u.tm_min, u.tm_sec);
      break;
    case 4:
      FormatAString(out, "%s, %.2d-%s-%.4d %.2d:%.2d:%.2d GMT", kDays[u.tm_wday], u.tm_mday, kMonths[u.tm_mon],
                    year, u.tm_hour, u.tm_min, u.tm_sec);
      break;
    default:
      FormatAString(out, "%.4d-%.2d-%.2d %.2d:%.2d:%.2d", year, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min,
                    u.tm_sec);
      break;
  }
  return out;
}

std::wstring& FormatTimeString(std::wstring& out, const HttpTime* t, int style) {
  out.clear();
  tm u;
  if (!TimeToUtc(u, t)) return out;
  if (style == 5) {
    wchar_t text[32];
    int n = wsprintfW(text, L"%.4d%.2d%.2d%.2d%.2d%.2d", u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour,
                      u.tm_min, u.tm_sec);
    out.assign(text, n);
    return out;
  }
  // The other styles are plain ASCII: the narrow text widens unchanged.
  std::string narrow;
  FormatTimeStringA(narrow, t, style);
  out.assign(narrow.begin(), narrow.end());
  return out;
}

HttpTime ParseHttpDate(const char* text) {
  if (!text) return -1;
  size_t letters = 0;
  while ((text[letters] | 0x20) >= 'a' && (text[letters] | 0x20) <= 'z') ++letters;
  size_t length = strlen(text);
  if (letters == 3 && text[3] == ',') {  // Sun, 06 Nov 1994 08:49:37 GMT
    if (length < 29 || text[4] != ' ' || (text[7] != '-' && text[7] != ' ') || (text[11] != '-' && text[11] != ' ') ||
        text[16] != ' ' || text[19] != ':' || text[22] != ':' || text[25] != ' ' || strncmp(text + 26, "GMT", 3))
      return -1;
    if (FindName(kDays, 7, text, 3) < 0) return -1;
    return FromFields(ParseFourDigits(text + 12), FindName(kMonths, 12, text + 8, 3), ParseTwoDigits(text + 5),
                      ParseTwoDigits(text + 17), ParseTwoDigits(text + 20), ParseTwoDigits(text + 23));
  }
  if (letters == 3 && text[3] == ' ') {  // Sun Nov  6 08:49:37 1994
    if (length < 24 || text[7] != ' ' || text[10] != ' ' || text[19] != ' ' || text[13] != ':' || text[16] != ':')
      return -1;
    if (FindName(kDays, 7, text, 3) < 0) return -1;
    return FromFields(ParseFourDigits(text + 20), FindName(kMonths, 12, text + 4, 3), ParseDay(text + 8),
                      ParseTwoDigits(text + 11), ParseTwoDigits(text + 14), ParseTwoDigits(text + 17));
  }
  if (letters >= 6 && letters <= 9 && text[letters] == ',') {  // Sunday, 06-Nov-94 08:49:37 GMT
    const char* p = text + letters;
    if (strlen(p) < 24 || p[1] != ' ' || p[4] != '-' || p[8] != '-' || p[11] != ' ' || p[14] != ':' ||
        p[17] != ':' || p[20] != ' ' || strncmp(p + 21, "GMT", 3))
      return -1;
    if (FindName(kWeekdays, 7, text, letters) < 0) return -1;
    return FromFields(TwoDigitYear(ParseTwoDigits(p + 9)), FindName(kMonths, 12, p + 5, 3), ParseTwoDigits(p + 2),
                      ParseTwoDigits(p + 12), ParseTwoDigits(p + 15), ParseTwoDigits(p + 18));
  }
  return -1;
}

bool NextToken(std::string& out, const char* text, const char* separators) {
  out.clear();
  if (!text) return false;
  size_t n = separators && *separators ? strcspn(text, separators) : strlen(text);
  if (separators && *separators && !text[n]) return false;
  out.assign(text, n);
  return true;
}

HttpTime ParseCookieDate(const char* text) {
  std::string token;
  if (!text || !NextToken(token, text, ",")) return -1;
  if (FindName(token.size() == 3 ? kDays : kWeekdays, 7, token.data(), token.size()) < 0) return -1;
  const char* p = text + token.size() + 1;
  if (*p++ != ' ') return -1;
  if (!NextToken(token, p, "- ") || token.size() != 2) return -1;
  int day = ParseTwoDigits(token.c_str());
  p += 3;
  if (!NextToken(token, p, "- ") || token.size() != 3) return -1;
  int month = FindName(kMonths, 12, token.data(), 3);
  p += 4;
  if (!NextToken(token, p, " ")) return -1;
  int year = token.size() == 4 ? ParseFourDigits(token.c_str())
             : token.size() == 2 ? TwoDigitYear(ParseTwoDigits(token.c_str())) : -1;
  p += token.size() + 1;
  int clock[3];
  const char* const seps[3] = {":", ":", " "};
  for (int i = 0; i < 3; ++i) {
    if (!NextToken(token, p, seps[i]) || token.size() != 2) return -1;
    clock[i] = ParseTwoDigits(token.c_str());
    p += 3;
  }
  if (strcmp(p, "GMT") != 0) return -1;
  return FromFields(year, month, day, clock[0], clock[1], clock[2]);
}

HttpTime ParseIsoTime(const char* text) {
  if (!text || strlen(text) < 19) return -1;
  if ((text[4] != '-' && text[4] != '/') || (text[7] != '-' && text[7] != '/') || text[10] != ' ' ||
      text[13] != ':' || text[16] != ':')
    return -1;
  int values[6] = {ParseFourDigits(text), ParseTwoDigits(text + 5), ParseTwoDigits(text + 8),
                   ParseTwoDigits(text + 11), ParseTwoDigits(text + 14), ParseTwoDigits(text + 17)};
  for (int v : values)
    if (v < 0) return -1;
  if (values[0] < 1970) return -1;
  // A month of 00 or 13 carries into the year like any other overflow.
  tm fields = {};
  fields.tm_year = values[0] - 1900;
  fields.tm_mon = values[1] - 1;
  fields.tm_mday = values[2];
  fields.tm_hour = values[3];
  fields.tm_min = values[4];
  fields.tm_sec = values[5];
  return UtcToTime(fields);
}

HttpTime ParseTimeString(const wchar_t* text) {
  if (!text) return -1;
  std::string utf8;
  WStringToUtf8(utf8, text, -1);
  return ParseIsoTime(utf8.c_str());
}
