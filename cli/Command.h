#pragma once
// vx27ctl's command table. Each command lives in its own source file and adds
// itself with VX27_CLI_COMMAND; main() dispatches on the first argument.

#include <functional>
#include <string>
#include <vector>

namespace cli {

struct Command {
  std::string name;
  std::string usage;    // argument synopsis, e.g. "<dev> <addr> <len>"
  std::string summary;  // one line for --help
  // Arguments after the command name. Returns the process exit code.
  std::function<int(const std::vector<std::string>& args)> run;
};

// Commands in name order.
const std::vector<Command>& Commands();
bool AddCommand(Command command);

}  // namespace cli

#define VX27_CLI_CONCAT2(a, b) a##b
#define VX27_CLI_CONCAT(a, b) VX27_CLI_CONCAT2(a, b)
#define VX27_CLI_COMMAND(...) \
  static const bool VX27_CLI_CONCAT(kRegistered_, __LINE__) = ::cli::AddCommand(__VA_ARGS__)
