// velsor-cli: Velsor's messages from a terminal and from scripts.

#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_error.h"
#include "cli/commands.h"
#include "cli/descriptor_input.h"
#include "message/process_guard.h"

int main(int argc, char** argv) {
  velsor::HardenProcess();
  using namespace velsor::cli;
  std::ios::sync_with_stdio(false);
  try {
    const Arguments arguments = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    // Standard input through its descriptor, so a closed or unreadable one is
    // reported with its reason rather than read as an empty message.
    DescriptorInput input_buffer(0, "standard input");
    std::istream input(&input_buffer);
    input.exceptions(std::ios::badbit);
    RunCommand(arguments, input, std::cout);
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
