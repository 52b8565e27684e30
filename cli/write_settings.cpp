// vx27ctl write-settings <dev> <addr> <hex>: writes bytes of the settings
// area between begin and end transfer.

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "cli/Transfer.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <addr> <hex>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "write-settings", kUsage, 3, 3,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto address = ParseNumber(a[1], 0xFFFF);
    const auto bytes = ParseHex(a[2]);
    if (!address || !bytes || bytes->empty()) return std::nullopt;
    return InTransfer(s.Channel(),
                      [&] { return s.Channel().WriteSettings(*bytes, uint16_t(*address)); });
  });
}

VX27_CLI_COMMAND(Command{"write-settings", kUsage, "write bytes of the settings area", Run});

}  // namespace
}  // namespace cli
