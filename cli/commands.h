#pragma once
// velsor-cli's commands over standard input and output.

#include <iosfwd>

#include "cli/arguments.h"

namespace velsor::cli {

// Runs one parsed command. Output is written only when the whole result is
// ready, so nothing partial reaches `out` on failure. Raises CliError.
void RunCommand(const Arguments& arguments, std::istream& in, std::ostream& out);

}  // namespace velsor::cli
