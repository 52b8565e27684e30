// vx27ctl info <dev>: the device's information block.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "info", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    protocol::DeviceInfoBlock info;
    const int result = s.Channel().ReadInfoBlock(info.raw);
    if (result == protocol::kOk) {
      PrintHex(info.raw);
      std::printf("magic %04x keys %u macro-memory %u format %u sensor %04x dpi-step %u "
                  "dpi-bound %u dpi-base %u\n",
                  info.Magic(), info.KeyCount(), info.MacroMemoryBytes(), info.Format(),
                  info.SensorId(), info.DpiStep(), info.DpiBound(), info.DpiBase());
    }
    return result;
  });
}

VX27_CLI_COMMAND(Command{"info", kUsage, "read the device information block", Run});

}  // namespace
}  // namespace cli
