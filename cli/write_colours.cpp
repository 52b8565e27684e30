// vx27ctl write-colours <dev> <page> <hexfile>: writes a per-key colour page
// (as the keyboard writes a colour group: no transfer brackets).

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <page> <hexfile>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "write-colours", kUsage, 3, 3,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto page = ParseNumber(a[1], 127);
    const auto bytes = ReadHexFile(a[2]);
    if (!page || !bytes || bytes->empty() || bytes->size() > protocol::kColourPageSize) {
      std::fprintf(stderr, "vx27ctl: need a page number and a hex file of 1 to 512 bytes\n");
      return std::nullopt;
    }
    return s.Channel().WriteKeyColours(*bytes, int(*page));
  });
}

VX27_CLI_COMMAND(Command{"write-colours", kUsage, "write a per-key colour page", Run});

}  // namespace
}  // namespace cli
