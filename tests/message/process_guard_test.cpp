// Process hardening, checked in a child so the test runner itself stays as it is.

#include "message/process_guard.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velsor {
namespace {

TEST(HardenProcess, NoCoreFileAndNotDumpable) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    HardenProcess();
    rlimit core{};
    int faults = 0;
    if (getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0 || core.rlim_max != 0) faults |= 1;
    if (prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0) faults |= 2;
    _exit(faults);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status) & 1, 0) << "a core file can still be written";
  EXPECT_EQ(WEXITSTATUS(status) & 2, 0) << "the process is still dumpable";
}

}  // namespace
}  // namespace velsor
#endif
