// vx27ctl firmware-version <dev>: the firmware version the device reports
// (the release number of its HID attributes), "version <4 hex digits>".

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "firmware-version", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    hid::CHidInterface& device = s.ThroughReceiver() ? s.Channel().ReceiverDevice() : s.Channel().WiredDevice();
    std::printf("version %04x\n", unsigned(device.VersionNumber()));
    return protocol::kOk;
  });
}

VX27_CLI_COMMAND(Command{"firmware-version", kUsage, "print the device's firmware version", Run});

}  // namespace
}  // namespace cli
