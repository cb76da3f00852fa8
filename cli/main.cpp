// velsor-cli: Velsor's messages from a terminal and from scripts.

#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#if defined(_WIN32)
#include "cli/windows_streams.h"
#endif

int main(int argc, char** argv) {
  using namespace velsor::cli;
  std::ios::sync_with_stdio(false);
#if defined(_WIN32)
  PrepareWindowsStreams();
#endif
  try {
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    RunCommand(arguments, std::cin, std::cout);
    std::cout.flush();
    return std::cout ? 0 : kExitFailure;
  } catch (const CliError& e) {
    std::cerr << "velsor-cli: " << e.what() << '\n';
    return e.ExitStatus();
  } catch (const std::exception& e) {
    std::cerr << "velsor-cli: " << e.what() << '\n';
    return kExitFailure;
  }
}
