#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <climits>
#include <cstdio>

#include "platform/stop_signal.h"

namespace platform {

namespace {

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void PrepareStopSignals() {
  // Threads inherit the mask, so blocking here before any thread starts
  // leaves the stop signals for sigwait alone and never interrupts a worker.
  const sigset_t set = StopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  // A client that hangs up before its reply must cost an error code on the
  // write, not the whole process.
  signal(SIGPIPE, SIG_IGN);
}

void WaitForStopSignal() {
  const sigset_t set = StopSignals();
  int received = 0;
  while (sigwait(&set, &received) != 0) {
  }
}

long RaiseOpenFilesLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit wanted = limit;
    wanted.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &wanted) != 0 && limit.rlim_max == RLIM_INFINITY) {
      // Linux refuses an unlimited soft limit; the kernel's own ceiling is
      // the most it allows.
      long ceiling = 0;
      if (FILE* f = std::fopen("/proc/sys/fs/nr_open", "r")) {
        if (std::fscanf(f, "%ld", &ceiling) != 1) ceiling = 0;
        std::fclose(f);
      }
      if (ceiling > 0 && static_cast<rlim_t>(ceiling) > limit.rlim_cur) {
        wanted.rlim_cur = static_cast<rlim_t>(ceiling);
        setrlimit(RLIMIT_NOFILE, &wanted);
      }
    }
    getrlimit(RLIMIT_NOFILE, &limit);
  }
  return limit.rlim_cur == RLIM_INFINITY ? LONG_MAX : static_cast<long>(limit.rlim_cur);
}

}  // namespace platform
