#pragma once
// Where the passphrase comes from: a descriptor, a file, the environment, or
// the terminal. It is held only in self-wiping buffers on its way in.

#include <cstddef>
#include <optional>
#include <string>

#include "crypto/bytes.h"

namespace velsor::cli {

// The environment variable read when no other source is named. The least
// safe way: the variable is inherited by every process the shell starts while
// it is set, so it belongs only in a one-command prefix.
inline constexpr const char* kPassphraseVariable = "VELSOR_PASSPHRASE";

// A passphrase file or descriptor is read to its end, at most this much: a
// passphrase is a line of text, and /dev/zero must not fill the memory.
inline constexpr std::size_t kMaxPassphraseBytes = 64 * 1024;

struct PassphraseOrigin {
  std::optional<std::string> file;  // --passphrase-file FILE
  std::optional<int> fd;            // --passphrase-fd N
};

// The passphrase as UTF-16 text: from the descriptor or the file when one is
// named (its content less one trailing line break), else from
// VELSOR_PASSPHRASE (which is then wiped and removed from this process's
// environment), else asked on the terminal without echo (twice when confirm
// is set; the terminal is restored if a signal ends the prompt). Raises
// CliError with the reason when none can be had, or it is empty, too long or
// not UTF-8. No copy of it stays behind in memory this function used.
SecretText ObtainPassphrase(const PassphraseOrigin& origin, bool confirm);

}  // namespace velsor::cli
