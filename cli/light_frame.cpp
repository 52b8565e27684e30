// vx27ctl light-frame <dev> <hexfile>: streams one light frame (3 bytes per
// LED position) through the quick exchange.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "protocol/LightFrame.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <hexfile>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "light-frame", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto frame = ReadHexFile(a[1]);
    if (!frame || frame->size() > protocol::kLightFrameCapacity) {
      std::fprintf(stderr, "vx27ctl: need a hex file of at most 512 bytes\n");
      return std::nullopt;
    }
    return s.Channel().SendLightFrame(*frame);
  });
}

VX27_CLI_COMMAND(Command{"light-frame", kUsage, "send one light frame", Run});

}  // namespace
}  // namespace cli
