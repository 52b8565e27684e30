// vx27ctl effect keyboard <mode> [--level l] [--speed s] [--dir d]
// [--multi m] [--colour rrggbb] [--secondary n] [--steps n]: starts a
// keyboard lighting mode on a fresh light engine, runs n of its effect steps
// and prints every light as "light <i> <c0> <c1> <c2> <brightness>". No device
// is opened.

#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/LightThread.h"

namespace cli {
namespace {

constexpr const char* kUsage =
    "keyboard <mode> [--level l] [--speed s] [--dir d] [--multi m] [--colour rrggbb] [--secondary n] [--steps n]";
constexpr uint32_t kMaxSteps = 1'000'000;
constexpr size_t kKeyboardLights = 170;

int Run(const std::vector<std::string>& args) {
  if (args.size() < 2 || args[0] != "keyboard") return UsageError("effect", kUsage);
  const auto mode = ParseNumber(args[1], 255);
  if (!mode) return UsageError("effect", kUsage);
  profiles::LightInfoRecord s;
  s.selectItem = uint8_t(*mode);
  s.light = 4;
  s.speed = 2;
  s.red = s.green = s.blue = 255;
  uint32_t steps = 1;
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return UsageError("effect", kUsage);
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--colour") {
      const auto rgb = ParseHex(value);
      if (!rgb || rgb->size() != 3) return UsageError("effect", kUsage);
      s.red = (*rgb)[0];
      s.green = (*rgb)[1];
      s.blue = (*rgb)[2];
      continue;
    }
    const auto n = ParseNumber(value, name == "--steps" ? kMaxSteps : 255);
    if (!n) return UsageError("effect", kUsage);
    if (name == "--level") s.light = uint8_t(*n);
    else if (name == "--speed") s.speed = uint8_t(*n);
    else if (name == "--dir") s.fx = uint8_t(*n);
    else if (name == "--multi") s.multiColor = uint8_t(*n);
    else if (name == "--secondary") s.zzccLedMode = uint8_t(*n);
    else if (name == "--steps") steps = uint32_t(*n);
    else return UsageError("effect", kUsage);
  }

  devices::ModelLightEngine engine(devices::LightModel::Keyboard, kKeyboardLights);
  const devices::DispatchRow* row = devices::FindDispatch(devices::LightModel::Keyboard, s.selectItem);
  if (!row) {
    std::fprintf(stderr, "effect: keyboard mode %u has no built-in step\n", unsigned(s.selectItem));
    return 1;
  }
  engine.StartMode(s);
  // Each step at the tick it would come at in the light thread.
  const uint32_t ticksPerStep = devices::StepThreshold(devices::LightModel::Keyboard, row->row, s.speed);
  for (uint32_t i = 1; i <= steps; ++i) engine.RunStep(row->step, devices::TickMs(uint64_t(i) * ticksPerStep));
  for (size_t i = 0; i < engine.LightCount(); ++i) {
    const protocol::LightColour c = engine.Colours().Load(i);
    std::printf("light %zu %d %d %d %d\n", i, c.c0, c.c1, c.c2, c.brightness);
  }
  return 0;
}

VX27_CLI_COMMAND(Command{"effect", kUsage, "run a keyboard lighting mode's steps", Run});

}  // namespace
}  // namespace cli
