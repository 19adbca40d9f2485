/* Preloaded into 32-bit processes that run under qemu's user-mode emulation.
 * qemu hands a page fault to the guest's SIGSEGV handler with the trap number
 * of its signal frame left at -1; Wine decides by that number what kind of
 * fault it was and turns every page fault into an illegal instruction, so no
 * access violation could ever be caught. This restores the page-fault trap
 * number before Wine's handler sees the frame. On a kernel that runs 32-bit
 * programs itself the number is already right and nothing changes. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <ucontext.h>

enum { kTrapPageFault = 14 };

static void (*next_handler)(int, siginfo_t*, void*);

static void on_sigsegv(int sig, siginfo_t* info, void* context) {
  ucontext_t* uc = context;
  if (info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR)
    uc->uc_mcontext.gregs[REG_TRAPNO] = kTrapPageFault;
  next_handler(sig, info, context);
}

int sigaction(int sig, const struct sigaction* act, struct sigaction* old) {
  static int (*real)(int, const struct sigaction*, struct sigaction*);
  if (!real) real = (int (*)(int, const struct sigaction*, struct sigaction*))dlsym(RTLD_NEXT, "sigaction");
  if (sig == SIGSEGV && act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction != on_sigsegv) {
    struct sigaction wrapped = *act;
    next_handler = act->sa_sigaction;
    wrapped.sa_sigaction = on_sigsegv;
    return real(sig, &wrapped, old);
  }
  return real(sig, act, old);
}
