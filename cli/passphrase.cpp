#include "cli/passphrase.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/cli_error.h"
#include "cli/utf_text.h"
#include "crypto/bytes.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace velsor::cli {

namespace {

// Wipes a string that held passphrase bytes.
void Wipe(std::string& s) {
  secure_wipe(s.data(), s.size());
  s.clear();
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Failure("cannot read the passphrase file '" + path + "'");
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!bytes.empty() && bytes.back() == '\n') {
    bytes.pop_back();
    if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  }
  return bytes;
}

#if !defined(_WIN32)
// Asks on the controlling terminal with echo off; nothing when there is none.
std::optional<std::string> AskTerminal(const char* prompt) {
  const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  termios saved{};
  const bool is_tty = ::tcgetattr(fd, &saved) == 0;
  if (is_tty) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  (void)!::write(fd, prompt, std::char_traits<char>::length(prompt));
  std::string line;
  char c = 0;
  while (::read(fd, &c, 1) == 1 && c != '\n') line.push_back(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (is_tty) ::tcsetattr(fd, TCSAFLUSH, &saved);
  (void)!::write(fd, "\n", 1);
  c = 0;
  ::close(fd);
  return line;
}
#else
// Asks on the console with echo off; nothing when the process has no console.
// The console delivers UTF-16, so the answer is UTF-8 whatever its code page.
std::optional<std::string> AskTerminal(const char* prompt) {
  const HANDLE in = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return std::nullopt;
  const HANDLE out = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD saved = 0;
  const bool is_console = ::GetConsoleMode(in, &saved) != 0;
  if (!is_console) {
    ::CloseHandle(in);
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    return std::nullopt;
  }
  ::SetConsoleMode(in, (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  DWORD written = 0;
  if (out != INVALID_HANDLE_VALUE) {
    ::WriteConsoleA(out, prompt, static_cast<DWORD>(std::char_traits<char>::length(prompt)), &written, nullptr);
  }
  std::u16string line;
  line.reserve(256);  // no reallocation, which would leave an unwiped copy, for any usual length
  char16_t unit = 0;
  DWORD count = 0;
  while (::ReadConsoleW(in, &unit, 1, &count, nullptr) && count == 1 && unit != u'\n') {
    if (unit != u'\r') line.push_back(unit);
  }
  unit = 0;
  ::SetConsoleMode(in, saved);
  if (out != INVALID_HANDLE_VALUE) {
    ::WriteConsoleA(out, "\r\n", 2, &written, nullptr);
    ::CloseHandle(out);
  }
  ::CloseHandle(in);
  std::string bytes = Utf16ToUtf8(line);
  secure_wipe(line.data(), line.size() * sizeof(char16_t));
  return bytes;
}
#endif

std::u16string Decode(std::string& bytes) {
  auto text = Utf8ToUtf16(bytes);
  Wipe(bytes);
  if (!text) throw Failure("the passphrase is not valid UTF-8");
  if (text->empty()) throw Failure("the passphrase is empty");
  return *text;
}

}  // namespace

std::u16string ObtainPassphrase(const std::optional<std::string>& passphrase_file, bool confirm) {
  if (passphrase_file) {
    std::string bytes = ReadFileBytes(*passphrase_file);
    return Decode(bytes);
  }
  if (const char* env = std::getenv("VELSOR_PASSPHRASE")) {
    std::string bytes = env;
    return Decode(bytes);
  }
  auto first = AskTerminal("Passphrase: ");
  if (!first) {
    throw UsageError("no passphrase: set VELSOR_PASSPHRASE or use --passphrase-file FILE (no terminal to ask on)");
  }
  if (confirm) {
    auto second = AskTerminal("Repeat passphrase: ");
    const bool same = second && *second == *first;
    if (second) Wipe(*second);
    if (!same) {
      Wipe(*first);
      throw Failure("the two passphrases do not match");
    }
  }
  return Decode(*first);
}

}  // namespace velsor::cli
