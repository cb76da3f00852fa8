#pragma once
// A failure that ends velsor-cli with one line on standard error and an exit
// status: 1 when a message cannot be encrypted or decrypted, 2 for misuse.

#include <string>

#include "crypto/components.h"

namespace velsor::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

class CliError : public Exception {
 public:
  CliError(int exit_status, const std::string& message) : Exception(message), fExitStatus(exit_status) {}
  int ExitStatus() const { return fExitStatus; }

 private:
  int fExitStatus;
};

inline CliError UsageError(const std::string& message) { return CliError(kExitUsage, message); }
inline CliError Failure(const std::string& message) { return CliError(kExitFailure, message); }

}  // namespace velsor::cli
