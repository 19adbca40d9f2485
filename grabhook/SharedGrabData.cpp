#include "grabhook/SharedGrabData.h"

#include <string.h>

bool CSharedGrabData::Open(const wchar_t* mappingName, const wchar_t* mutexName) {
  if (m_open) return true;
  m_timerId = 0;
  memset(&m_result, 0, sizeof(m_result));
  m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(GrabSharedData), mappingName);
  DWORD created = GetLastError();
  if (m_mapping) {
    m_view = static_cast<GrabSharedData*>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (m_view) {
      if (created == 0) memset(m_view, 0, sizeof(GrabSharedData));
      m_mutex = CreateMutexW(nullptr, FALSE, mutexName);
      if (m_mutex) {
        m_open = true;
        return true;
      }
      UnmapViewOfFile(m_view);
      m_view = nullptr;
    }
    CloseHandle(m_mapping);
    m_mapping = nullptr;
  }
  return false;
}

void CSharedGrabData::Close() {
  if (!m_open) return;
  StopTimer();
  UnmapViewOfFile(m_view);
  CloseHandle(m_mapping);
  CloseHandle(m_mutex);
  m_view = nullptr;
  m_mapping = nullptr;
  m_mutex = nullptr;
  memset(&m_result, 0, sizeof(m_result));
  m_open = false;
}

GrabSharedData* CSharedGrabData::Lock() {
  if (!m_open) return nullptr;
  // A holder that died without releasing leaves the mutex abandoned: the
  // wait still hands it over, and the record is as whole as its writes.
  DWORD wait = WaitForSingleObject(m_mutex, kGrabLockTimeoutMs);
  return (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ? m_view : nullptr;
}

void CSharedGrabData::Unlock() {
  if (m_open) ReleaseMutex(m_mutex);
}

bool CSharedGrabData::StartTimer(TIMERPROC proc, UINT ms) {
  if (!m_open) return false;
  StopTimer();
  m_timerId = SetTimer(nullptr, 0, ms, proc);
  return m_timerId != 0;
}

bool CSharedGrabData::StopTimer() {
  if (!m_open) return false;
  if (m_timerId == 0) return true;
  BOOL killed = KillTimer(nullptr, m_timerId);
  m_timerId = 0;
  return killed != FALSE;
}

bool GrabHooksAreOn(const GrabSharedData& data) {
  if (data.mouseHook == 0) return false;
  HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(data.ownerWnd));
  return owner == nullptr || IsWindow(owner);
}
