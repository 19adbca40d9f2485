/* Preloaded into 32-bit processes that run under qemu's user-mode emulation.
 * qemu does not emulate ptrace, and the Wine server reads and writes other
 * processes' memory only after attaching to them with it (module lists,
 * ReadProcessMemory, WriteProcessMemory). Under qemu every 32-bit process
 * keeps its memory at the same addresses as the host sees them, so the
 * server's reads and writes go straight to /proc/<pid>/mem here; an attach is
 * remembered and the wait for the stop that follows it answers at once.
 * Nothing changes where the kernel itself offers ptrace. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

enum { kMaxAttached = 64 };
static pid_t attached[kMaxAttached];
static int emulated = -1; /* unknown until the first call */

static int find_attached(pid_t pid) {
  for (int i = 0; i < kMaxAttached; ++i)
    if (attached[i] == pid) return i;
  return -1;
}

static long proc_mem(pid_t pid, void* addr, long* data, int write) {
  char path[32];
  snprintf(path, sizeof path, "/proc/%d/mem", (int)pid);
  int fd = open(path, write ? O_WRONLY : O_RDONLY);
  if (fd < 0) return -1;
  ssize_t done = write ? pwrite(fd, data, sizeof *data, (off_t)(unsigned long)addr)
                       : pread(fd, data, sizeof *data, (off_t)(unsigned long)addr);
  int saved = errno;
  close(fd);
  if (done != (ssize_t)sizeof *data) {
    errno = done < 0 ? saved : EIO;
    return -1;
  }
  return 0;
}

long ptrace(enum __ptrace_request request, ...) {
  va_list args;
  va_start(args, request);
  pid_t pid = va_arg(args, pid_t);
  void* addr = va_arg(args, void*);
  void* data = va_arg(args, void*);
  va_end(args);

  if (emulated != 1) {
    long word;
    long result = syscall(SYS_ptrace, request, pid, addr,
                          request == PTRACE_PEEKDATA || request == PTRACE_PEEKTEXT || request == PTRACE_PEEKUSER
                              ? (void*)&word : data);
    if (result != -1 || errno != ENOSYS) {
      emulated = 0;
      if (result == 0 && (request == PTRACE_PEEKDATA || request == PTRACE_PEEKTEXT || request == PTRACE_PEEKUSER))
        return word;
      return result;
    }
    emulated = 1;
  }
  long word = 0;
  switch (request) {
    case PTRACE_ATTACH: {
      if (kill(pid, 0) != 0) return -1;
      int slot = find_attached(0);
      if (slot < 0) { errno = EPERM; return -1; }
      attached[slot] = pid;
      return 0;
    }
    case PTRACE_DETACH: {
      int slot = find_attached(pid);
      if (slot < 0) { errno = ESRCH; return -1; }
      attached[slot] = 0;
      return 0;
    }
    case PTRACE_PEEKDATA:
    case PTRACE_PEEKTEXT:
      errno = 0;
      if (proc_mem(pid, addr, &word, 0) != 0) return -1;
      return word;
    case PTRACE_POKEDATA:
    case PTRACE_POKETEXT:
      word = (long)data;
      return proc_mem(pid, addr, &word, 1);
    case PTRACE_PEEKUSER: /* debug registers: none are set */
      errno = 0;
      return 0;
    case PTRACE_POKEUSER:
      return 0;
    default:
      errno = ENOSYS;
      return -1;
  }
}

/* The wait after an attach sees the process stopped by SIGSTOP. */
pid_t waitpid(pid_t pid, int* status, int options) {
  static pid_t (*real)(pid_t, int*, int);
  if (!real) real = (pid_t(*)(pid_t, int*, int))dlsym(RTLD_NEXT, "waitpid");
  if (emulated == 1 && pid > 0 && (options & WUNTRACED) && find_attached(pid) >= 0) {
    if (kill(pid, 0) != 0) { errno = ECHILD; return -1; }
    if (status) *status = (SIGSTOP << 8) | 0x7f;
    return pid;
  }
  return real(pid, status, options);
}
