#include "cli/arguments.h"

#include "cli/cli_error.h"

namespace velsor::cli {

const char* const kUsage =
    "Usage:\n"
    "  velsor-cli encrypt -c CIPHER -H HASH [--utf16] [--passphrase-file FILE]\n"
    "  velsor-cli decrypt -c CIPHER -H HASH [--utf16] [--passphrase-file FILE]\n"
    "  velsor-cli digest -H HASH\n"
    "  velsor-cli list\n"
    "  velsor-cli selftest\n"
    "  velsor-cli --help | --version\n"
    "\n"
    "encrypt reads the message on standard input and writes its hex text; decrypt\n"
    "reads a hex text and writes the message. CIPHER and HASH are the names that\n"
    "'velsor-cli list' shows, in any case (\"Haval\" selects the Haval hash).\n"
    "\n"
    "The passphrase comes from --passphrase-file FILE (its content less one\n"
    "trailing line break), else from the environment variable VELSOR_PASSPHRASE,\n"
    "else from a prompt on the terminal. It is never taken from the command line.\n"
    "\n"
    "Text is UTF-8 with LF line breaks, sent as CR LF inside the message as the\n"
    "window does; --utf16 reads or writes the message as raw UTF-16LE bytes.\n"
    "Decryption accepts hex digits in either case, with spaces and line breaks.\n"
    "\n"
    "Exit status: 0 success, 1 the message cannot be encrypted or decrypted,\n"
    "2 usage error.\n";

namespace {

Command CommandNamed(const std::string& word) {
  if (word == "encrypt") return Command::kEncrypt;
  if (word == "decrypt") return Command::kDecrypt;
  if (word == "list") return Command::kList;
  if (word == "selftest") return Command::kSelfTest;
  if (word == "digest") return Command::kDigest;
  if (word == "--help" || word == "-h" || word == "help") return Command::kHelp;
  if (word == "--version") return Command::kVersion;
  throw UsageError("unknown command '" + word + "' (try velsor-cli --help)");
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  if (args.empty()) throw UsageError("no command given (try velsor-cli --help)");
  parsed.command = CommandNamed(args[0]);

  const bool takes_cipher = parsed.command == Command::kEncrypt || parsed.command == Command::kDecrypt;
  const bool takes_hash = takes_cipher || parsed.command == Command::kDigest;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError("option " + option + " needs a value");
      return args[++i];
    };
    if (option == "--help" || option == "-h") {
      parsed.command = Command::kHelp;
      return parsed;
    }
    if (takes_cipher && (option == "-c" || option == "--cipher")) {
      parsed.cipher = value();
    } else if (takes_hash && (option == "-H" || option == "--hash")) {
      parsed.hash = value();
    } else if (takes_cipher && option == "--utf16") {
      parsed.utf16 = true;
    } else if (takes_cipher && option == "--passphrase-file") {
      parsed.passphrase_file = value();
    } else if (option == "-p" || option == "--passphrase") {
      throw UsageError("the passphrase is never taken from the command line (it would show in the process list); "
                       "use VELSOR_PASSPHRASE or --passphrase-file");
    } else {
      throw UsageError("unexpected argument '" + option + "' (try velsor-cli --help)");
    }
  }
  if (takes_cipher && parsed.cipher.empty()) throw UsageError("no cipher given: use -c CIPHER");
  if (takes_hash && parsed.hash.empty()) throw UsageError("no hash given: use -H HASH");
  return parsed;
}

}  // namespace velsor::cli
