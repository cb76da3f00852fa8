#include "message/process_guard.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace velsor {

void HardenProcess() noexcept {
#if defined(__unix__) || defined(__APPLE__)
  // A core file would hold the passphrase and the key in plain.
  const rlimit no_core{0, 0};
  (void)setrlimit(RLIMIT_CORE, &no_core);
#endif
#if defined(__linux__)
  // Not dumpable: no core either way, and ptrace and /proc/PID/mem are closed
  // to other processes of the same user (only a privileged one still attaches).
  (void)prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
  // Windows writes no core file of its own accord, and a process of the same
  // user may always open another one for reading: there is nothing to switch.
}

}  // namespace velsor
