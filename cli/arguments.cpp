#include "cli/arguments.h"

#include <cstdlib>

#include "cli/cli_error.h"

namespace velsor::cli {

#if defined(_WIN32)
#define VELSOR_END_OF_INPUT "Ctrl+Z then Enter"
#else
#define VELSOR_END_OF_INPUT "Ctrl+D"
#endif

namespace {

constexpr const char* kEncryptHelp =
    "velsor-cli encrypt -c CIPHER -H HASH [--utf16] [--passphrase-fd N | --passphrase-file FILE]\n"
    "                   [--output FILE]\n"
    "\n"
    "Reads the message on standard input and writes its hex text, one line.\n"
    "  -c, --cipher CIPHER      a cipher name, id or alias (see 'velsor-cli list')\n"
    "  -H, --hash HASH          a hash name, id or alias; its digest is the key\n"
    "  --utf16                  read the message as raw UTF-16LE bytes, not UTF-8\n"
    "  --passphrase-fd N        read the passphrase from open descriptor N (not 0)\n"
    "  --passphrase-file FILE   read the passphrase from FILE\n"
    "  -o, --output FILE        write the result to FILE, which appears only once\n"
    "                           the whole result is written (else standard output)\n"
    "Either passphrase source is read to its end (at most 64 KiB) less one\n"
    "trailing line break. Without one, VELSOR_PASSPHRASE is used if set, else\n"
    "the passphrase is asked twice on the terminal without echo.\n";

constexpr const char* kDecryptHelp =
    "velsor-cli decrypt -c CIPHER -H HASH [--utf16] [--passphrase-fd N | --passphrase-file FILE]\n"
    "                   [--output FILE]\n"
    "\n"
    "Reads a hex text on standard input (either case, spaces and line breaks\n"
    "anywhere) and writes the message. Options as for encrypt; --utf16 writes\n"
    "raw UTF-16LE bytes. The format has no check value: a wrong passphrase,\n"
    "cipher or hash gives meaningless text, and a warning on standard error\n"
    "when the result does not look like text (the exit status stays 0).\n";

constexpr const char* kDigestHelp =
    "velsor-cli digest -H HASH [FILE...]\n"
    "\n"
    "Prints the digest of each FILE as 'HEX  FILE', as sha256sum does; of\n"
    "standard input when no FILE is given or FILE is '-'.\n";

constexpr const char* kListHelp =
    "velsor-cli list\n"
    "\n"
    "Lists the ciphers and hashes with their ids, key, block and digest sizes,\n"
    "and the aliases each accepts.\n";

constexpr const char* kSelfTestHelp =
    "velsor-cli selftest\n"
    "\n"
    "Runs every component's known-answer test; exit status 1 if any fails.\n";

constexpr const char* kHelpHelp =
    "velsor-cli help [COMMAND]\n"
    "\n"
    "Shows the whole help, or one command's.\n";

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

// A passphrase given as an argument is refused without repeating it: the
// error would otherwise put it in logs and on screen.
bool IsPassphraseArgument(const std::string& option) {
  return option == "-p" || option == "--passphrase" || option.rfind("--passphrase=", 0) == 0 ||
         (option.size() > 2 && option.rfind("-p", 0) == 0 && option[1] != '-');
}

int DescriptorNumber(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError("--passphrase-fd needs a descriptor number, not '" + text + "'");
  }
  const int fd = std::atoi(text.c_str());
  if (fd == 0) {
    throw UsageError(
        "--passphrase-fd 0 is standard input, which carries the message; "
        "pass the passphrase on another descriptor, such as 3<FILE");
  }
  return fd;
}

// Sets an option's value once; the same value again is harmless, another is a usage error.
template <class T>
void SetOnce(std::optional<T>& slot, const T& value, const std::string& option) {
  if (slot && *slot != value) throw UsageError("option " + option + " is given twice with different values");
  slot = value;
}
void SetOnce(std::string& slot, const std::string& value, const std::string& option) {
  if (!slot.empty() && slot != value) throw UsageError("option " + option + " is given twice with different values");
  slot = value;
}

}  // namespace

const char* const kUsage =
    "Usage:\n"
    "  velsor-cli encrypt -c CIPHER -H HASH [--utf16] [--passphrase-fd N | --passphrase-file FILE]\n"
    "                     [--output FILE]\n"
    "  velsor-cli decrypt -c CIPHER -H HASH [--utf16] [--passphrase-fd N | --passphrase-file FILE]\n"
    "                     [--output FILE]\n"
    "  velsor-cli digest -H HASH [FILE...]\n"
    "  velsor-cli list\n"
    "  velsor-cli selftest\n"
    "  velsor-cli help [COMMAND]\n"
    "  velsor-cli --help | --version\n"
    "\n"
    "encrypt reads the message on standard input and writes its hex text; decrypt\n"
    "reads a hex text and writes the message. At a terminal, type the message and\n"
    "end it with " VELSOR_END_OF_INPUT
    ".\n"
    "\n"
    "CIPHER and HASH are the names or ids that 'velsor-cli list' shows, in any\n"
    "case, or a common alias: AES for Rijndael, TripleDES or DES3 for 3DES, CAST5\n"
    "or CAST-128 for Cast128, ARC4 for RC4, SHA-1, SHA-256, SHA-384, SHA-512,\n"
    "RIPEMD160, and Haval. The key size is not chosen by the cipher's name: it is\n"
    "the smaller of the cipher's largest key and the hash's digest, so Rijndael\n"
    "with SHA256 uses a 256-bit key and with MD5 a 128-bit one. AES-128, AES-192\n"
    "and AES-256 are accepted only with a hash that gives that key size.\n"
    "\n"
    "The passphrase is never taken from the command line (it would show in the\n"
    "process list). In order of safety: the prompt on the terminal (the default);\n"
    "--passphrase-fd N, an open descriptor, for scripts; --passphrase-file FILE,\n"
    "readable by whoever can read FILE; and, least safe, the environment variable\n"
    "VELSOR_PASSPHRASE, which other processes of the shell inherit: use it only as\n"
    "a prefix of the one command, never with export.\n"
    "\n"
    "Text is UTF-8 with LF line breaks, sent as CR LF inside the message as the\n"
    "window does; --utf16 reads or writes the message as raw UTF-16LE bytes.\n"
    "\n"
    "Exit status: 0 success, 1 the message cannot be encrypted or decrypted,\n"
    "2 usage error. A message longer than 8 MiB is written in pieces as it is\n"
    "read, so after exit 1 standard output may hold a partial result: use it\n"
    "only on exit 0, or give --output FILE, which appears only when the whole\n"
    "result is written. 'velsor-cli help COMMAND' shows one command's options.\n"
    "\n"
    "Examples:\n"
    "  # Encrypt to a file; the passphrase is asked twice on the terminal.\n"
    "  echo 'Meet at noon' | velsor-cli encrypt -c AES -H SHA-256 > message.txt\n"
    "\n"
    "  # Decrypt what the clipboard holds (X11: xclip; Wayland: wl-paste).\n"
    "  xclip -o -selection clipboard | velsor-cli decrypt -c AES -H SHA-256\n"
    "  wl-paste | velsor-cli decrypt -c AES -H SHA-256\n"
    "\n"
    "  # In a pipe: the passphrase from a password manager on descriptor 3.\n"
    "  pass show velsor | velsor-cli encrypt -c AES -H SHA-256 --passphrase-fd 3 3<&0 \\\n"
    "      < letter.txt > letter.hex\n";

const char* CommandHelp(Command command) {
  switch (command) {
    case Command::kEncrypt: return kEncryptHelp;
    case Command::kDecrypt: return kDecryptHelp;
    case Command::kDigest: return kDigestHelp;
    case Command::kList: return kListHelp;
    case Command::kSelfTest: return kSelfTestHelp;
    case Command::kHelp:
    case Command::kVersion: break;
  }
  return kHelpHelp;
}

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments parsed;
  if (args.empty()) throw UsageError("no command given (try velsor-cli --help)");
  parsed.command = CommandNamed(args[0]);
  if (args[0] == "help") {
    if (args.size() > 2) throw UsageError("help takes one command (try velsor-cli --help)");
    if (args.size() == 2) parsed.help_topic = CommandNamed(args[1]);
    return parsed;
  }

  const bool takes_cipher = parsed.command == Command::kEncrypt || parsed.command == Command::kDecrypt;
  const bool takes_hash = takes_cipher || parsed.command == Command::kDigest;
  bool options_end = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string option = args[i];
    std::optional<std::string> inline_value;  // --option=value
    if (IsPassphraseArgument(option)) {
      throw UsageError(
          "the passphrase is never taken from the command line (it would show in the process list); "
          "use --passphrase-fd N, --passphrase-file FILE or the prompt");
    }
    if (!options_end && option.rfind("--", 0) == 0 && option.find('=') != std::string::npos) {
      inline_value = option.substr(option.find('=') + 1);
      option.erase(option.find('='));
    }
    auto value = [&]() -> std::string {
      if (inline_value) return *inline_value;
      if (i + 1 >= args.size()) throw UsageError("option " + option + " needs a value");
      return args[++i];
    };
    const bool positional = options_end || option.empty() || option == "-" || option[0] != '-';
    if (positional && parsed.command == Command::kDigest) {
      parsed.files.push_back(args[i]);
    } else if (positional) {
      throw UsageError("unexpected argument '" + args[i] + "' (try velsor-cli help " + args[0] + ")");
    } else if (option == "--" && parsed.command == Command::kDigest) {
      options_end = true;
    } else if (option == "--help" || option == "-h") {
      parsed.help_topic = parsed.command;
      parsed.command = Command::kHelp;
      return parsed;
    } else if (takes_cipher && (option == "-c" || option == "--cipher")) {
      SetOnce(parsed.cipher, value(), option);
    } else if (takes_hash && (option == "-H" || option == "--hash")) {
      SetOnce(parsed.hash, value(), option);
    } else if (takes_cipher && option == "--utf16" && !inline_value) {
      parsed.utf16 = true;
    } else if (takes_cipher && option == "--passphrase-file") {
      SetOnce(parsed.passphrase.file, value(), option);
    } else if (takes_cipher && (option == "-o" || option == "--output")) {
      SetOnce(parsed.output, value(), option);
    } else if (takes_cipher && option == "--passphrase-fd") {
      SetOnce(parsed.passphrase.fd, DescriptorNumber(value()), option);
    } else {
      throw UsageError("unexpected argument '" + args[i] + "' (try velsor-cli help " + args[0] + ")");
    }
  }
  if (parsed.passphrase.file && parsed.passphrase.fd) {
    throw UsageError("--passphrase-fd and --passphrase-file both name the passphrase: give one");
  }
  if (takes_cipher && parsed.cipher.empty()) throw UsageError("no cipher given: use -c CIPHER");
  if (takes_hash && parsed.hash.empty()) throw UsageError("no hash given: use -H HASH");
  return parsed;
}

}  // namespace velsor::cli
