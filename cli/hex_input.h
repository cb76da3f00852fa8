#pragma once
// A hex text as people paste it: digits in either case, wrapped by mail
// programs, with spaces. Anything else is refused with its position.

#include <string>

namespace velsor::cli {

// The hex text in uppercase without spaces and line breaks (space, tab, CR,
// LF, FF, VT). Raises CliError naming the first other character and its
// 1-based byte position.
std::u16string NormalizeHexInput(const std::string& input);

}  // namespace velsor::cli
