#include "platform/stop_signal.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace platform {
namespace {

TEST(StopSignal, WaitReturnsForAPendingTerminationSignal) {
  PrepareStopSignals();
  // Blocked, so the signal waits for sigwait instead of ending the test.
  ASSERT_EQ(kill(getpid(), SIGTERM), 0);
  WaitForStopSignal();
  // A write to a closed pipe now fails with an error instead of killing us.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  EXPECT_EQ(write(fds[1], "x", 1), -1);
  close(fds[1]);
}

TEST(StopSignal, RaiseOpenFilesLimitReturnsTheLimitInForce) {
  const long limit = RaiseOpenFilesLimit();
  rlimit now{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &now), 0);
  EXPECT_EQ(static_cast<rlim_t>(limit), now.rlim_cur);
  EXPECT_GT(limit, 0);
}

}  // namespace
}  // namespace platform
