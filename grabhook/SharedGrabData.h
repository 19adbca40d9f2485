// The shared record as one process sees it: the mapping, the mutex that
// guards it, and the process's own thread timer and grab record.
#pragma once

#include "grabhook/Scrivet.h"

constexpr const wchar_t* kGrabMappingName = L"Tessaly_GrabHook_GlobaData";
constexpr const wchar_t* kGrabMutexName = L"Scrivet_GrabText_Mutex";
constexpr DWORD kGrabLockTimeoutMs = 5000;

class CSharedGrabData {
 public:
  constexpr CSharedGrabData() = default;
  ~CSharedGrabData() {
    if (m_open) Close();
  }
  CSharedGrabData(const CSharedGrabData&) = delete;
  CSharedGrabData& operator=(const CSharedGrabData&) = delete;

  // Creates or opens the mapping (zeroed when new) and the mutex.
  bool Open(const wchar_t* mappingName = kGrabMappingName, const wchar_t* mutexName = kGrabMutexName);
  void Close();
  bool IsOpen() const { return m_open; }

  // The record without the lock: the hook procedures only read it.
  GrabSharedData* GetView() const { return m_open ? m_view : nullptr; }
  // The record once the mutex is held (an abandoned mutex is held too), or
  // null after the time-out; a non-null result must be given back by Unlock.
  GrabSharedData* Lock();
  void Unlock();

  bool StartTimer(TIMERPROC proc, UINT ms);
  bool StopTimer();
  GrabTextResult* GetResult() { return m_open ? &m_result : nullptr; }

 private:
  GrabTextResult m_result = {};
  UINT_PTR m_timerId = 0;
  GrabSharedData* m_view = nullptr;
  bool m_open = false;
  HANDLE m_mutex = nullptr;
  HANDLE m_mapping = nullptr;
};

// Holds the record's lock for one scope.
class CGrabLock {
 public:
  explicit CGrabLock(CSharedGrabData& shared) : m_shared(shared), m_data(shared.Lock()) {}
  ~CGrabLock() {
    if (m_data) m_shared.Unlock();
  }
  CGrabLock(const CGrabLock&) = delete;
  CGrabLock& operator=(const CGrabLock&) = delete;
  GrabSharedData* get() const { return m_data; }

 private:
  CSharedGrabData& m_shared;
  GrabSharedData* m_data;
};

// True when the record names live hooks: a hook handle left behind by a
// process that died (its owner window is gone) counts as off.
bool GrabHooksAreOn(const GrabSharedData& data);
