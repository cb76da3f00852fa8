#include "cli/terminal.h"

#include <ostream>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velsor::cli {

bool StandardInputIsTerminal() {
#if defined(_WIN32)
  return ::_isatty(0) != 0;
#else
  return ::isatty(0) == 1;
#endif
}

void HintAtTerminal(std::ostream& err, const char* what) {
  if (!StandardInputIsTerminal()) return;
#if defined(_WIN32)
  err << "Type " << what << "; end with Ctrl+Z then Enter" << std::endl;
#else
  err << "Type " << what << "; end with Ctrl+D" << std::endl;
#endif
}

}  // namespace velsor::cli
