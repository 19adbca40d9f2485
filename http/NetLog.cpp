#include "http/NetLog.h"

#include <winsock2.h>

#include <cstdarg>

#include "http/HttpDate.h"
#include "http/HttpText.h"

CNetLog& NetLog() {
  static CNetLog log;
  return log;
}

bool CNetLog::Open(const wchar_t* path, bool truncate) {
  Close();
  if (!path) return false;
  m_file = _wfopen(path, truncate ? L"wb" : L"ab");
  return m_file != nullptr;
}

int CNetLog::Close() {
  if (!m_file) return 0;
  int result = fclose(m_file);
  m_file = nullptr;
  return result;
}

bool CNetLog::Flush() { return m_file && fflush(m_file) == 0; }

size_t CNetLog::EscapeControlChars(std::string& text) {
  static const char kEscapes[] = "0\0\0\0\0\0\0abtnvfr";
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (u <= 13 && kEscapes[u]) {
      out += '\\';
      out += kEscapes[u];
    } else {
      out += c;
    }
  }
  text.swap(out);
  return text.size();
}

bool CNetLog::Write(const char* format, ...) {
  if (!m_file || !format) return false;
  HttpTime now = HttpNow();
  std::string stamp;
  FormatTimeStringA(stamp, &now, 0);
  stamp = "[" + stamp + "] ";
  if (fwrite(stamp.data(), 1, stamp.size(), m_file) != stamp.size()) return false;
  std::string message;
  va_list args;
  va_start(args, format);
  FormatAStringV(message, format, args);
  va_end(args);
  EscapeControlChars(message);
  message += '\n';
  return fwrite(message.data(), 1, message.size(), m_file) == message.size();
}

bool NetInitialize(const wchar_t* logPath) {
  if (logPath && !NetLog().Open(logPath, true)) return false;
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  if (data.wVersion != MAKEWORD(2, 2)) {
    WSACleanup();
    return false;
  }
  return true;
}

void NetCleanup() {
  WSACleanup();
  NetLog().Close();
}
