#pragma once
// Where the passphrase comes from: a file, the environment, or the terminal.

#include <optional>
#include <string>

namespace velsor::cli {

// The passphrase as UTF-16 text: from passphrase_file when given (its content
// less one trailing line break), else from VELSOR_PASSPHRASE, else asked on
// the terminal without echo (twice when confirm is set). Raises CliError when
// none can be had, or it is empty or not UTF-8.
std::u16string ObtainPassphrase(const std::optional<std::string>& passphrase_file, bool confirm);

}  // namespace velsor::cli
