// Runs the session's requests on a worker thread of its own and reports each
// end to an owner window: wParam an HttpResult, lParam the request number.
#pragma once

#include <atomic>
#include <string>

#include "http/HttpSession.h"

enum HttpResult : int {
  kHttpResultOk = 0,         // answered, status 200-299
  kHttpResultFailed = 1,     // no usable answer
  kHttpResultCancelled = 2,  // cancelled while running
  kHttpResultStatus = 3,     // answered with any other status
};

class CHttpClient : public CHttpSession {
 public:
  CHttpClient() = default;
  ~CHttpClient() override { StopThread(); }

  bool StartThread();
  bool IsThreadStarted() const { return m_thread != nullptr; }
  void SetNotify(HWND owner, uint32_t message) {
    m_ownerWindow = owner;
    m_ownerMessage = message;
  }
  bool PostRequest(bool followRedirects, const char* referer, const char* acceptLanguage);
  uint32_t GetRequestNumber() const { return m_requestNumber; }
  bool GetResult() const { return m_result; }
  void Cancel();
  void StopThread();

 private:
  enum Command : int { kNone = 0, kQuit = 1, kRun = 2, kCancel = 3 };
  static unsigned __stdcall ThreadProc(void* client);
  void Run();
  void Acknowledge();
  void WaitUntilTaken(DWORD pollMs);

  HANDLE m_thread = nullptr;
  HANDLE m_commandEvent = nullptr;
  HANDLE m_takenEvent = nullptr;  // set by the worker each time it takes a command
  std::atomic<int> m_command{kNone};
  std::atomic<bool> m_result{false};
  std::atomic<bool> m_busy{false};
  bool m_followRedirects = true;
  std::string m_referer;
  std::string m_acceptLanguage;
};
