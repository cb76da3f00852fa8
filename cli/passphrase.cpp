#include "cli/passphrase.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "cli/cli_error.h"
#include "cli/descriptor_input.h"
#include "cli/utf_text.h"

#if defined(_WIN32)
#include <stdlib.h>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace velsor::cli {

namespace {

#if defined(_WIN32)
void RemoveVariable(const char* name) { ::_putenv_s(name, ""); }
#else
void RemoveVariable(const char* name) { ::unsetenv(name); }
#endif

// Drops one trailing line break (LF or CR LF), as a file written by an editor
// or `echo` ends.
void DropLineBreak(SecretNarrow& bytes) {
  if (!bytes.empty() && bytes.back() == '\n') {
    bytes.pop_back();
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  }
}

// Reads a descriptor to its end into one buffer sized once (no reallocation
// leaves a copy behind). `what` names the source in errors.
SecretNarrow ReadBounded(int fd, const std::string& what) {
  SecretNarrow bytes(kMaxPassphraseBytes + 1, '\0');
  std::size_t have = 0;
  while (have < bytes.size()) {
    const long n = ReadSome(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Failure("cannot read " + what + ": " + std::strerror(errno));
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  if (have > kMaxPassphraseBytes) {
    throw Failure(what + " holds more than 64 KiB; a passphrase is one line of text");
  }
  bytes.resize(have);
  DropLineBreak(bytes);
  return bytes;
}

SecretNarrow ReadFile(const std::string& path) {
  const std::string what = "the passphrase file '" + path + "'";
  const int fd = OpenForReading(path.c_str());
  if (fd < 0) throw Failure("cannot read " + what + ": " + std::strerror(errno));
  try {
    SecretNarrow bytes = ReadBounded(fd, what);
    CloseDescriptor(fd);
    return bytes;
  } catch (...) {
    CloseDescriptor(fd);
    throw;
  }
}

// Takes the variable's value and wipes it where the environment keeps it, so
// neither this process's memory nor a later child sees it.
std::optional<SecretNarrow> TakeVariable(const char* name) {
  char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  std::optional<SecretNarrow> bytes(std::in_place, value);
  secure_wipe(value, std::strlen(value));
  RemoveVariable(name);
  return bytes;
}

#if !defined(_WIN32)
// The terminal being prompted on and its settings before echo was turned off:
// what a signal handler needs to put it back.
int gPromptFd = -1;
termios gSavedTerminal{};
constexpr int kPromptSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RestoreTerminalAndRaise(int signal_number) {
  if (gPromptFd >= 0) {
    ::tcsetattr(gPromptFd, TCSANOW, &gSavedTerminal);
    (void)!::write(gPromptFd, "\n", 1);
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal_number, &fallback, nullptr);
  ::raise(signal_number);  // delivered with the default action once the handler returns
}

// Echo off for the life of the object; the settings come back on every way
// out, a signal included.
class QuietTerminal {
 public:
  explicit QuietTerminal(int fd) : fFd(fd) {
    if (::tcgetattr(fd, &gSavedTerminal) != 0) return;
    gPromptFd = fd;
    struct sigaction restore {};
    restore.sa_handler = RestoreTerminalAndRaise;
    sigemptyset(&restore.sa_mask);
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i) {
      ::sigaction(kPromptSignals[i], &restore, &fPrevious[i]);
    }
    termios quiet = gSavedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
    fActive = true;
  }
  ~QuietTerminal() {
    if (!fActive) return;
    ::tcsetattr(fFd, TCSAFLUSH, &gSavedTerminal);
    for (std::size_t i = 0; i < std::size(kPromptSignals); ++i) ::sigaction(kPromptSignals[i], &fPrevious[i], nullptr);
    gPromptFd = -1;
  }
  QuietTerminal(const QuietTerminal&) = delete;
  QuietTerminal& operator=(const QuietTerminal&) = delete;

 private:
  int fFd;
  bool fActive = false;
  struct sigaction fPrevious[std::size(kPromptSignals)]{};
};

// Asks on the controlling terminal with echo off; nothing when there is none.
std::optional<SecretNarrow> AskTerminal(const char* prompt) {
  const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<SecretNarrow> line(std::in_place);
  line->reserve(kMaxPassphraseBytes + 1);  // sized once: no reallocation leaves a copy
  {
    QuietTerminal quiet(fd);
    (void)!::write(fd, prompt, std::strlen(prompt));
    char c = 0;
    while (line->size() <= kMaxPassphraseBytes && ::read(fd, &c, 1) == 1 && c != '\n') line->push_back(c);
    secure_wipe(&c, 1);
    (void)!::write(fd, "\n", 1);
  }
  ::close(fd);
  if (line->size() > kMaxPassphraseBytes) throw Failure("the passphrase is longer than 64 KiB");
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return line;
}
#else
std::optional<SecretNarrow> AskTerminal(const char*) { return std::nullopt; }
#endif

SecretText Decode(SecretNarrow& bytes) {
  SecretText text;
  const bool valid = Utf8ToUtf16(bytes.view(), text);
  bytes.Wipe();
  if (!valid) throw Failure("the passphrase is not valid UTF-8");
  if (text.empty()) throw Failure("the passphrase is empty");
  return text;
}

}  // namespace

SecretText ObtainPassphrase(const PassphraseOrigin& origin, bool confirm) {
  if (origin.fd) {
    SecretNarrow bytes = ReadBounded(*origin.fd, "the passphrase from descriptor " + std::to_string(*origin.fd));
    return Decode(bytes);
  }
  if (origin.file) {
    SecretNarrow bytes = ReadFile(*origin.file);
    return Decode(bytes);
  }
  if (auto bytes = TakeVariable(kPassphraseVariable)) return Decode(*bytes);
  auto first = AskTerminal("Passphrase: ");
  if (!first) {
    throw UsageError("no passphrase: use --passphrase-fd N or --passphrase-file FILE (no terminal to ask on)");
  }
  if (confirm) {
    const auto second = AskTerminal("Repeat passphrase: ");
    if (!second || second->view() != first->view()) throw Failure("the two passphrases do not match");
  }
  return Decode(*first);
}

}  // namespace velsor::cli
