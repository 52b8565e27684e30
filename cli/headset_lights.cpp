// vx27ctl headset-lights <hexfile> --emulate headset: turns thirteen light
// colours (c0 c1 c2 brightness each, 52 bytes) into the headset's twelve
// light reports, sends them to the headset's command interface as output
// reports, and prints every report the emulated headset got, 17 hex bytes a
// line, then the colours it took per target ("0x22 <light> <c0> <c1> <c2>").

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "headset/core/HeadsetLights.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<hexfile: 13 x c0 c1 c2 brightness> --emulate headset";

int Run(const std::vector<std::string>& args) {
  DeviceSession s;
  if (!s.ParseOptions(args)) return UsageError("headset-lights", kUsage);
  if (s.Positional().size() != 1) return UsageError("headset-lights", kUsage);
  const auto bytes = ReadHexFile(s.Positional()[0]);
  if (!bytes || bytes->size() != size_t(headset::kHeadsetLightCount) * 4) {
    std::fprintf(stderr, "vx27ctl: need a hex file of 13 colours, 4 bytes each\n");
    return 2;
  }
  if (!s.Open("headset")) return DeviceSession::Finish(protocol::kNoReply);
  std::array<headset::LightColour, headset::kHeadsetLightCount> colours;
  for (size_t i = 0; i < colours.size(); ++i)
    colours[i] = {(*bytes)[4 * i], (*bytes)[4 * i + 1], (*bytes)[4 * i + 2], (*bytes)[4 * i + 3]};
  int sent = 0;
  {
    std::lock_guard io(s.Channel().IoLock());
    for (const headset::LightReport& report : headset::BuildLightReports(colours))
      sent += s.Channel().WiredDevice().SetOutputReport(report) ? 1 : 0;
  }
  if (const auto* unit = s.OpenedUnit("headset")) {
    for (const std::vector<uint8_t>& report : unit->firmware->ControlReports()) {
      for (size_t i = 0; i < report.size(); ++i) std::printf(i ? " %02x" : "%02x", report[i]);
      std::printf("\n");
    }
    const auto got = unit->firmware->HeadsetLightColours();
    for (size_t t = 0; t < got.size(); ++t)
      for (size_t light = 0; light < got[t].size(); ++light)
        std::printf("%s %zu %u %u %u\n", t == 0 ? "0x22" : "0x44", light, got[t][light][0], got[t][light][1],
                    got[t][light][2]);
  }
  return DeviceSession::Finish(sent == int(headset::kLightReportCount) ? protocol::kOk : protocol::kNotWritten);
}

VX27_CLI_COMMAND(Command{"headset-lights", kUsage, "send thirteen colours to a headset as its light reports", Run});

}  // namespace
}  // namespace cli
