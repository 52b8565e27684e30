// vx27ctl: the command-line tool on the same core as the program.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Version.h"

namespace cli {
namespace {

std::vector<Command>& Table() {
  static std::vector<Command> table;
  return table;
}

void PrintHelp() {
  std::printf("vx27ctl %s - command-line access to VX27 devices and profiles\n\n", kVersionText);
  std::printf("usage: vx27ctl <command> [arguments]\n       vx27ctl --version | --help\n\n");
  std::printf("commands:\n");
  for (const Command& c : Commands())
    std::printf("  %s %s\n      %s\n", c.name.c_str(), c.usage.c_str(), c.summary.c_str());
  std::printf("\nEnvironment: VX27_EMULATE=<devices> adds emulated devices, VX27_TRACE=1 traces to "
              "stderr.\n");
}

}  // namespace

const std::vector<Command>& Commands() { return Table(); }

bool AddCommand(Command command) {
  auto& table = Table();
  auto at = std::lower_bound(table.begin(), table.end(), command.name,
                             [](const Command& c, const std::string& n) { return c.name < n; });
  table.insert(at, std::move(command));
  return true;
}

}  // namespace cli

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    cli::PrintHelp();
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version" || args[0] == "-V") {
    std::printf("vx27ctl %s\n", cli::kVersionText);
    return 0;
  }
  for (const cli::Command& c : cli::Commands()) {
    if (c.name == args[0]) return c.run({args.begin() + 1, args.end()});
  }
  std::fprintf(stderr, "vx27ctl: unknown command '%s' (see vx27ctl --help)\n", args[0].c_str());
  return 2;
}
