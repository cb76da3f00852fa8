#pragma once
// What velsor-cli says when a person, not a script, is at the other end.

#include <iosfwd>

namespace velsor::cli {

// True when standard input is a terminal: the message is being typed.
bool StandardInputIsTerminal();

// "Type the message; end with Ctrl+D" (Ctrl+Z then Enter on Windows) on err,
// when standard input is a terminal; what names the input ("the message").
void HintAtTerminal(std::ostream& err, const char* what);

}  // namespace velsor::cli
