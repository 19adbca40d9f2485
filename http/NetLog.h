// The HTTP client's diagnostic log and the program's network start-up. Lines
// are written only while a log file is open; none is opened by default.
#pragma once

#include <cstdio>
#include <string>

class CNetLog {
 public:
  CNetLog() = default;
  virtual ~CNetLog() { Close(); }
  CNetLog(const CNetLog&) = delete;
  CNetLog& operator=(const CNetLog&) = delete;

  bool Open(const wchar_t* path, bool truncate);
  int Close();
  bool IsOpen() const { return m_file != nullptr; }
  bool Write(const char* format, ...);
  bool Flush();
  static size_t EscapeControlChars(std::string& text);

 private:
  FILE* m_file = nullptr;
};

// The one log shared by every HTTP object of the program.
CNetLog& NetLog();

bool NetInitialize(const wchar_t* logPath);
void NetCleanup();
