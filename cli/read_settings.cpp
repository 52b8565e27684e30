// vx27ctl read-settings <dev> <addr> <len>: bytes of the settings area.

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <addr> <len>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "read-settings", kUsage, 3, 3,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto address = ParseNumber(a[1], 0xFFFF);
    const auto length = ParseNumber(a[2], 0xFFFF);
    if (!address || !length) return std::nullopt;
    std::vector<uint8_t> bytes(*length);
    const int result = s.Channel().ReadSettings(bytes, uint16_t(*address));
    if (result == protocol::kOk) PrintHex(bytes);
    return result;
  });
}

VX27_CLI_COMMAND(Command{"read-settings", kUsage, "read bytes of the settings area", Run});

}  // namespace
}  // namespace cli
