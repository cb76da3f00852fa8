#pragma once
// The command line of velsor-cli. The passphrase is never an argument: it
// would show in the process list.

#include <optional>
#include <string>
#include <vector>

namespace velsor::cli {

enum class Command { kEncrypt, kDecrypt, kList, kSelfTest, kDigest, kHelp, kVersion };

struct Arguments {
  Command command = Command::kHelp;
  std::string cipher;
  std::string hash;
  bool utf16 = false;
  std::optional<std::string> passphrase_file;
};

// Raises a usage error (exit status 2) for anything it does not understand.
Arguments ParseArguments(const std::vector<std::string>& args);

extern const char* const kUsage;

}  // namespace velsor::cli
