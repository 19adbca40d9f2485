#include "http/HttpClient.h"

#include <process.h>

#include "http/NetLog.h"

bool CHttpClient::StartThread() {
  if (m_thread) return true;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE taken = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!event || !taken) {
    if (event) CloseHandle(event);
    if (taken) CloseHandle(taken);
    return false;
  }
  m_commandEvent = event;
  m_takenEvent = taken;
  m_command = kNone;
  unsigned id;
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &id));
  if (!thread) {
    CloseHandle(event);
    CloseHandle(taken);
    m_commandEvent = m_takenEvent = nullptr;
    NetLog().Write("[Thread] Create Thread Failed");
    return false;
  }
  NetLog().Write("[Thread] Create Thread: %d", reinterpret_cast<intptr_t>(thread));
  m_thread = thread;
  m_followRedirects = true;
  m_referer.clear();
  m_acceptLanguage.clear();
  ResumeThread(thread);
  return true;
}

bool CHttpClient::PostRequest(bool followRedirects, const char* referer, const char* acceptLanguage) {
  if (!m_thread || m_busy) return false;
  m_followRedirects = followRedirects;
  m_referer = referer ? referer : "";
  m_acceptLanguage = acceptLanguage ? acceptLanguage : "";
  ++m_requestNumber;
  m_command = kRun;
  SetEvent(m_commandEvent);
  WaitUntilTaken(20);
  return true;
}

// The worker's acknowledgement wakes the caller at once; the poll is a fallback.
void CHttpClient::WaitUntilTaken(DWORD pollMs) {
  while (m_command != kNone) WaitForSingleObject(m_takenEvent, pollMs);
}

void CHttpClient::Acknowledge() {
  m_command = kNone;
  SetEvent(m_takenEvent);
}

void CHttpClient::Cancel() {
  if (!m_thread || !m_busy) return;
  m_command = kCancel;
  SetEvent(m_commandEvent);
  WaitUntilTaken(50);
}

void CHttpClient::StopThread() {
  if (!m_thread) return;
  Cancel();
  m_command = kQuit;
  SetEvent(m_commandEvent);
  NetLog().Write("[Thread] Wait Thread Stop (%d)", reinterpret_cast<intptr_t>(m_thread));
  DWORD result = WaitForSingleObject(m_thread, INFINITE);
  NetLog().Write(result == WAIT_OBJECT_0 ? "[Thread] Close Thread: %d" : "[Thread] Close Thread Error: %d",
                 reinterpret_cast<intptr_t>(m_thread));
  CloseHandle(m_thread);
  m_thread = nullptr;
  CloseHandle(m_takenEvent);
  m_takenEvent = nullptr;
}

unsigned __stdcall CHttpClient::ThreadProc(void* client) {
  static_cast<CHttpClient*>(client)->Run();
  return 0;
}

void CHttpClient::Run() {
  for (;;) {
    NetLog().Flush();
    DWORD wait = WaitForSingleObject(m_commandEvent, INFINITE);
    if (wait != WAIT_OBJECT_0) {
      NetLog().Write("[Event] [%d] Wait Command Event Error", wait);
      continue;
    }
    ResetEvent(m_commandEvent);
    int command = m_command;
    NetLog().Write("[Event] On Command Event: %d", command);
    if (command == kQuit) break;
    if (command != kRun) {
      Acknowledge();
      continue;
    }
    m_busy = true;
    m_result = false;
    Acknowledge();  // releases PostRequest
    bool result = SendRequest(m_followRedirects, m_referer.c_str(), m_acceptLanguage.c_str(), m_commandEvent);
    m_result = result;
    m_busy = false;
    if (m_ownerWindow && IsWindow(m_ownerWindow)) {
      uint32_t status = GetResponse().GetStatusCode();
      int code = m_command == kCancel       ? kHttpResultCancelled
                 : !result                  ? kHttpResultFailed
                 : (status >= 200 && status <= 299) ? kHttpResultOk
                                                    : kHttpResultStatus;
      PostMessageW(m_ownerWindow, m_ownerMessage, code, m_requestNumber);
    }
  }
  m_command = kNone;
  CloseHandle(m_commandEvent);
  m_commandEvent = nullptr;
  NetLog().Write("[Thread] Exit Thread: %d", reinterpret_cast<intptr_t>(m_thread));
}
