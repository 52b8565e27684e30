// vx27ctl status <dev> <len>: the status block (6 bytes keyboard and headset,
// 2 mouse).

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <len>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "status", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto length = ParseNumber(a[1], protocol::kStatusBlockSize);
    if (!length) return std::nullopt;
    std::array<uint8_t, protocol::kStatusBlockSize> block{};
    const int result = s.Channel().ReadStatusBlock(block, uint8_t(*length), 0);
    if (result == protocol::kOk) PrintHex(std::span(block).first(*length));
    return result;
  });
}

VX27_CLI_COMMAND(Command{"status", kUsage, "read the status block", Run});

}  // namespace
}  // namespace cli
