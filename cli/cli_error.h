#pragma once
// A failure that ends velsor-cli with one line on standard error and an exit
// status: 1 when a message cannot be encrypted or decrypted, 2 for misuse.

#include <stdexcept>
#include <string>

namespace velsor::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class CliError : public std::runtime_error {
 public:
  CliError(int exit_status, const std::string& message) : std::runtime_error(message), fExitStatus(exit_status) {}
  int ExitStatus() const { return fExitStatus; }

 private:
  int fExitStatus;
};

inline CliError UsageError(const std::string& message) { return CliError(kExitUsage, message); }
inline CliError Failure(const std::string& message) { return CliError(kExitFailure, message); }

}  // namespace velsor::cli
