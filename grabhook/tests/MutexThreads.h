// Threads that take a mutex for the tests of the shared record's lock.
#pragma once

#include <windows.h>

// Takes the mutex and ends without releasing it: the mutex is abandoned.
inline DWORD WINAPI AbandonMutex(void* mutex) {
  return WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE) == WAIT_OBJECT_0 ? 0 : 1;
}

// Tries the mutex without waiting and gives it back; the wait's result.
inline DWORD WINAPI TryTakeMutex(void* mutex) {
  DWORD wait = WaitForSingleObject(static_cast<HANDLE>(mutex), 0);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex(static_cast<HANDLE>(mutex));
  return wait;
}

// Runs proc(argument) on a thread of its own to its end; its exit code.
inline DWORD RunThreadToEnd(LPTHREAD_START_ROUTINE proc, void* argument) {
  HANDLE thread = CreateThread(nullptr, 0, proc, argument, 0, nullptr);
  if (!thread) return static_cast<DWORD>(-1);
  WaitForSingleObject(thread, INFINITE);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  return code;
}
