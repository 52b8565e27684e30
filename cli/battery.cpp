// vx27ctl battery <dev> <level> <state> [phone]: sets what an emulated
// device's status block reports (battery level in percent; charge state
// powered, charging, battery or 0..2; phone type 0..3 where the block keeps
// one) and prints what the block now holds. With VX27_EMULATOR_STATE the
// values stay for later runs.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "emulator/firmware/Power.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <level> <state> [phone]";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "battery", kUsage, 3, 4,
                          [](DeviceSession& s, const std::vector<std::string>& pos) -> std::optional<int> {
    const std::optional<uint32_t> level = ParseNumber(pos[1], 0xFF);
    const std::optional<uint8_t> state = emulator::firmware::ParseChargeState(pos[2]);
    const std::optional<uint32_t> phone = pos.size() > 3 ? ParseNumber(pos[3], 0xFF) : std::optional<uint32_t>(0);
    if (!level || !state || !phone) return std::nullopt;
    const auto* unit = s.OpenedUnit(pos[0]);
    if (!unit) {
      std::fprintf(stderr, "vx27ctl: battery needs an emulated %s (--emulate or VX27_EMULATE)\n", pos[0].c_str());
      return protocol::kNoReply;
    }
    if (!emulator::firmware::SetBattery(*unit->firmware, uint8_t(*level), *state) ||
        (pos.size() > 3 && !emulator::firmware::SetPhoneType(*unit->firmware, uint8_t(*phone)))) {
      std::fprintf(stderr, "vx27ctl: %s keeps no such status\n", pos[0].c_str());
      return protocol::kNotWritten;
    }
    std::printf("%s\n", emulator::firmware::DescribePower(*unit->firmware).c_str());
    return protocol::kOk;
  });
}

VX27_CLI_COMMAND(Command{"battery", kUsage, "set an emulated device's battery, charge state and phone type", Run});

}  // namespace
}  // namespace cli
