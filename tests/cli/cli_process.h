#pragma once
// Runs the real velsor-cli binary with a given standard input and
// environment, detached from any terminal, and captures what it writes.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace velsor::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
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

// passphrase: the value of VELSOR_PASSPHRASE, or unset when empty optional.
inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
                     const std::optional<std::string>& passphrase) {
  const std::string in_path = TempFile(input);
  const std::string out_path = TempFile("");
  const std::string err_path = TempFile("");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();  // no controlling terminal: the CLI cannot prompt
    const int in = ::open(in_path.c_str(), O_RDONLY);
    const int out = ::open(out_path.c_str(), O_WRONLY | O_TRUNC);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_TRUNC);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (passphrase) {
      ::setenv("VELSOR_PASSPHRASE", passphrase->c_str(), 1);
    } else {
      ::unsetenv("VELSOR_PASSPHRASE");
    }
    ExecCli(args);
  }
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  CliRun run;
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  ::unlink(in_path.c_str());
  ::unlink(out_path.c_str());
  ::unlink(err_path.c_str());
  return run;
}

}  // namespace velsor::test
