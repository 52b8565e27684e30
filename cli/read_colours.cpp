// vx27ctl read-colours <dev> <page> <len>: bytes of a per-key colour page.

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <page> <len>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "read-colours", kUsage, 3, 3,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto page = ParseNumber(a[1], 127);
    const auto length = ParseNumber(a[2], protocol::kColourPageSize);
    if (!page || !length) return std::nullopt;
    std::vector<uint8_t> bytes(*length);
    const int result = s.Channel().ReadKeyColours(bytes, int(*page));
    if (result == protocol::kOk) PrintHex(bytes);
    return result;
  });
}

VX27_CLI_COMMAND(Command{"read-colours", kUsage, "read a per-key colour page", Run});

}  // namespace
}  // namespace cli
