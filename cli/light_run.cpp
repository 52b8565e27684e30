// vx27ctl light-run <dev> <record> <ticks> [--effect <.light>]: runs the
// model's light engine, fresh, with a 14-byte lighting record (28 hex digits)
// started as a mode, for <ticks> passes one tick apart, and prints every
// light as "light <i> <c0> <c1> <c2> <brightness>". No device is opened.

#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/LightThread.h"
#include "hid/SupportedDevices.h"
#include "profiles/JsonFile.h"
#include "profiles/Sections.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<mouse|keyboard|pad> <record> <ticks> [--effect <.light>]";
constexpr uint32_t kMaxTicks = 1'000'000;

struct Model {
  devices::LightModel model;
  size_t pageRow;  // row of the device page table: the light count
};

std::optional<Model> ModelOf(std::string_view name) {
  if (name == "mouse") return Model{devices::LightModel::Mouse, 0};
  if (name == "keyboard") return Model{devices::LightModel::Keyboard, 1};
  if (name == "pad") return Model{devices::LightModel::Pad, 2};
  return std::nullopt;
}

// No device options: the engine runs without a device.
int Usage() {
  std::fprintf(stderr, "usage: vx27ctl light-run %s\n", kUsage);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::optional<std::string> effectFile;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--effect" && i + 1 < args.size()) effectFile = args[++i];
    else positional.push_back(args[i]);
  }
  if (positional.size() != 3) return Usage();
  const auto model = ModelOf(positional[0]);
  const auto record = ParseHex(positional[1]);
  const auto ticks = ParseNumber(positional[2], kMaxTicks);
  if (!model || !record || record->size() != profiles::LightInfoRecord::kSize || !ticks)
    return Usage();

  const size_t lights = size_t(hid::DevicePageTable[model->pageRow].lightCount);
  devices::ModelLightEngine engine(model->model, lights);
  if (effectFile) engine.SetEffectSteps(profiles::sections::ReadLightEffectList(profiles::LoadJsonFile(*effectFile)));
  engine.StartMode(profiles::LightInfoRecord::Decode(
      std::span<const uint8_t, profiles::LightInfoRecord::kSize>(record->data(), profiles::LightInfoRecord::kSize)));
  engine.BeginLoop(devices::TickMs(0));
  for (uint32_t t = 1; t <= *ticks; ++t) engine.Pass(devices::TickMs(t));
  for (size_t i = 0; i < engine.LightCount(); ++i) {
    const protocol::LightColour c = engine.Colours().Load(i);
    std::printf("light %zu %d %d %d %d\n", i, c.c0, c.c1, c.c2, c.brightness);
  }
  return 0;
}

VX27_CLI_COMMAND(Command{"light-run", kUsage, "run a model's light engine for some ticks", Run});

}  // namespace
}  // namespace cli
