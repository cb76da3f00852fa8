#pragma once
// The command line of velsor-cli. The passphrase is never an argument: it
// would show in the process list.

#include <optional>
#include <string>
#include <vector>

#include "cli/passphrase.h"

namespace velsor::cli {

enum class Command { kEncrypt, kDecrypt, kList, kSelfTest, kDigest, kHelp, kVersion };

struct Arguments {
  Command command = Command::kHelp;
  std::string cipher;
  std::string hash;
  bool utf16 = false;
  PassphraseOrigin passphrase;
  std::optional<std::string> output;  // encrypt, decrypt: --output FILE
  std::vector<std::string> files;     // digest: the files to hash ("-" is standard input)
  std::optional<Command> help_topic;  // help COMMAND
};

// Raises a usage error (exit status 2) for anything it does not understand,
// and for an option given twice with different values.
Arguments ParseArguments(const std::vector<std::string>& args);

// The whole help, ending with worked examples; and one command's.
extern const char* const kUsage;
const char* CommandHelp(Command command);

}  // namespace velsor::cli
