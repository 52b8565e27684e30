// vx27ctl wireless <dev> on|off --receiver: switches the emulated wireless
// device behind a receiver on or off, then asks the receiver's link query
// and prints "linked yes" or "linked no".

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "emulator/firmware/Power.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> on|off";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "wireless", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& pos) -> std::optional<int> {
    const std::optional<bool> on = emulator::firmware::ParseOnOff(pos[1]);
    if (!on) return std::nullopt;
    const auto* unit = s.OpenedUnit(pos[0]);
    if (!unit || !emulator::firmware::SetWireless(*unit->device, *on)) {
      std::fprintf(stderr, "vx27ctl: wireless needs an emulated receiver (--emulate %s:receiver --receiver)\n",
                   pos[0].c_str());
      return protocol::kNoReply;
    }
    const bool linked = s.Channel().QueryWirelessLink();
    std::printf("linked %s\n", linked ? "yes" : "no");
    return linked == *on ? protocol::kOk : protocol::kNoReply;
  });
}

VX27_CLI_COMMAND(Command{"wireless", kUsage, "switch an emulated receiver's wireless device on or off", Run});

}  // namespace
}  // namespace cli
