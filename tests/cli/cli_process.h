#pragma once
// Runs the real velsor-cli binary with a given standard input and
// environment, detached from any terminal or on a pseudo-terminal, and
// captures what it writes.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace velsor::test {

struct CliRun {
  int status = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;   // the signal that ended it
  std::string out;
  std::string err;
};

struct CliOptions {
  std::optional<std::string> passphrase;  // VELSOR_PASSPHRASE, unset when empty
  std::optional<std::string> fd3;         // content readable on descriptor 3
  bool close_stdin = false;
  std::vector<std::string> environment;  // more NAME=value entries
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

inline std::string TempFile(const std::string& content) {
  char path[] = "/tmp/velsor-cli-test-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) std::abort();
  if (!content.empty() && ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
    std::abort();
  }
  ::close(fd);
  return path;
}

// In the child: the passphrase variable and the other entries of options.
inline void ApplyEnvironment(const CliOptions& options) {
  if (options.passphrase) {
    ::setenv("VELSOR_PASSPHRASE", options.passphrase->c_str(), 1);
  } else {
    ::unsetenv("VELSOR_PASSPHRASE");
  }
  for (const std::string& entry : options.environment) {
    const auto eq = entry.find('=');
    ::setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
  }
}

// Replaces the (forked) process with velsor-cli and the given arguments.
[[noreturn]] inline void ExecCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = VELSOR_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies(args);
  for (auto& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

inline CliRun Collect(pid_t pid) {
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  CliRun run;
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  run.signal = WIFSIGNALED(wstatus) ? WTERMSIG(wstatus) : 0;
  return run;
}

inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input, const CliOptions& options) {
  const std::string in_path = TempFile(input);
  const std::string out_path = TempFile("");
  const std::string err_path = TempFile("");
  const std::string fd3_path = TempFile(options.fd3.value_or(""));
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();  // no controlling terminal: the CLI cannot prompt
    const int in = ::open(in_path.c_str(), O_RDONLY);
    const int out = ::open(out_path.c_str(), O_WRONLY | O_TRUNC);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_TRUNC);
    const int fd3 = ::open(fd3_path.c_str(), O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.fd3) ::dup2(fd3, 3);
    for (int fd : {in, out, err, fd3}) {
      if (fd > 3 || (fd == 3 && !options.fd3)) ::close(fd);
    }
    if (options.close_stdin) ::close(0);
    ApplyEnvironment(options);
    ExecCli(args);
  }
  CliRun run = Collect(pid);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  for (const std::string& path : {in_path, out_path, err_path, fd3_path}) ::unlink(path.c_str());
  return run;
}

// passphrase: the value of VELSOR_PASSPHRASE, or unset when empty optional.
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
                     const std::optional<std::string>& passphrase) {
  CliOptions options;
  options.passphrase = passphrase;
  return RunCli(args, input, options);
}

// velsor-cli on a pseudo-terminal, as a person at a terminal runs it: standard
// input and error and /dev/tty are the terminal, standard output is captured.
class TerminalSession {
 public:
  explicit TerminalSession(const std::vector<std::string>& args, const CliOptions& options = CliOptions{})
      : fOutPath(TempFile("")) {
    if (::openpty(&fMaster, &fSlave, nullptr, nullptr, nullptr) != 0) std::abort();
    fPid = ::fork();
    if (fPid == 0) {
      ::setsid();
      ::ioctl(fSlave, TIOCSCTTY, 0);
      const int out = ::open(fOutPath.c_str(), O_WRONLY | O_TRUNC);
      ::dup2(fSlave, 0);
      ::dup2(out, 1);
      ::dup2(fSlave, 2);
      ::close(fMaster);
      ::close(out);
      if (fSlave > 2) ::close(fSlave);
      ApplyEnvironment(options);
      ExecCli(args);
    }
  }
  ~TerminalSession() {
    if (fPid > 0) {
      ::kill(fPid, SIGKILL);
      ::waitpid(fPid, nullptr, 0);
    }
    ::close(fMaster);
    ::close(fSlave);
    ::unlink(fOutPath.c_str());
  }
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Reads what the program shows until it holds text; false when it does not
  // come (a guard against hanging, not a measure of speed).
  bool WaitFor(const std::string& text) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (fShown.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > give_up) return false;
      pollfd p{fMaster, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char buffer[512];
      const ssize_t n = ::read(fMaster, buffer, sizeof buffer);
      if (n <= 0) return false;
      fShown.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }
  void Type(const std::string& keys) {
    if (::write(fMaster, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) std::abort();
  }
  bool EchoIsOn() const {
    termios t{};
    ::tcgetattr(fSlave, &t);
    return (t.c_lflag & ECHO) != 0;
  }
  void Signal(int number) const { ::kill(fPid, number); }
  CliRun Finish() {
    CliRun run = Collect(fPid);
    fPid = -1;
    run.out = ReadFile(fOutPath);
    Drain();
    run.err = fShown;
    return run;
  }
  const std::string& Shown() const { return fShown; }

 private:
  // Takes what is left to show once the program has ended.
  void Drain() {
    pollfd p{fMaster, POLLIN, 0};
    char buffer[512];
    while (::poll(&p, 1, 50) > 0) {
      const ssize_t n = ::read(fMaster, buffer, sizeof buffer);
      if (n <= 0) return;
      fShown.append(buffer, static_cast<std::size_t>(n));
    }
  }

  std::string fOutPath;
  int fMaster = -1;
  int fSlave = -1;
  pid_t fPid = -1;
  std::string fShown;
};

}  // namespace velsor::test
