// vx27ctl light-run <dev> <record> <ticks> [--effect <.light>]: runs the
// model's light engine, fresh, with a 14-byte lighting record (28 hex digits)
// started as a mode, for <ticks> passes one tick apart, and prints every
// light as "light <i> <c0> <c1> <c2> <brightness>". No device is opened.
//
// The keyboard's host-computed modes take their input from options:
// --audio <18 hex digits> the audio lighting record, --levels <25 comma-
// separated levels> handed over once before the passes, --host <r,g,b> the
// host colour. With --emulate keyboard the lights go to an emulated keyboard
// instead of being printed: the LED positions are read from it, one light
// frame is streamed as the light step does, and the frame it holds is
// printed as "frame <hex>", then "result <n>".

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/KeyboardCore.h"
#include "devices/core/LightThread.h"
#include "emulator/firmware/CommandFirmware.h"
#include "hid/SupportedDevices.h"
#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/Sections.h"

namespace cli {
namespace {

constexpr const char* kUsage =
    "<mouse|keyboard|pad> <record> <ticks> [--effect <.light>] [--audio <hex>] [--levels <l,...>] "
    "[--host <r,g,b>] [--emulate keyboard]";
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

// Comma-separated 32-bit integers, at most `max` of them.
std::optional<std::vector<int32_t>> ParseIntegers(const std::string& text, size_t max) {
  std::vector<int32_t> out;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t comma = std::min(text.find(',', at), text.size());
    const std::string item = text.substr(at, comma - at);
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(item.c_str(), &end, 10);
    if (item.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX || out.size() == max)
      return std::nullopt;
    out.push_back(int32_t(v));
    at = comma + 1;
  }
  return out;
}

struct AudioOptions {
  std::optional<profiles::AudioLightRecord> record;
  std::optional<std::vector<int32_t>> levels;
  std::optional<std::vector<int32_t>> host;
  bool emulate = false;
};

// Streams the engine's lights to the emulated keyboard and prints the frame
// it holds.
int SendToEmulatedKeyboard(const devices::ModelLightEngine& engine) {
  DeviceSession session;
  if (!session.ParseOptions({"--emulate", "keyboard"}) || !session.Open("keyboard"))
    return DeviceSession::Finish(protocol::kNoReply);
  profiles::CKeyboardProfiledata profile;
  devices::KeyboardCore core(session.Channel(), profile);
  if (!core.ReadAll()) return DeviceSession::Finish(protocol::kNoReply);
  std::vector<protocol::LightColour> lights(engine.LightCount());
  engine.Colours().Snapshot(lights);
  const auto positions = devices::FramePositions(core.Positions());
  protocol::LightFrame frame{};
  protocol::BuildLightFrame(lights, std::span(positions).first(std::min(positions.size(), lights.size())), frame);
  const size_t keyCount = core.InfoBlock().KeyCount();
  const int result = devices::SendKeyboardFrame(session.Channel(), frame, keyCount);
  const auto held = session.OpenedUnit("keyboard")->firmware->Memory().lightFrame;
  std::printf("frame ");
  for (size_t i = 0; i < std::min(3 * keyCount, held.size()); ++i) std::printf("%02x", unsigned(held[i]));
  std::printf("\n");
  return DeviceSession::Finish(result);
}

int Run(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::optional<std::string> effectFile;
  AudioOptions audio;
  bool malformed = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--effect" && hasValue) {
      effectFile = args[++i];
    } else if (args[i] == "--audio" && hasValue) {
      const auto bytes = ParseHex(args[++i]);
      if (!bytes || bytes->size() != profiles::AudioLightRecord::kSize) malformed = true;
      else audio.record = profiles::AudioLightRecord::Decode(
               std::span<const uint8_t, profiles::AudioLightRecord::kSize>(bytes->data(), bytes->size()));
    } else if (args[i] == "--levels" && hasValue) {
      audio.levels = ParseIntegers(args[++i], devices::kAudioLevels);
      malformed = malformed || !audio.levels;
    } else if (args[i] == "--host" && hasValue) {
      audio.host = ParseIntegers(args[++i], 3);
      malformed = malformed || !audio.host || audio.host->size() != 3;
    } else if (args[i] == "--emulate" && hasValue) {
      audio.emulate = args[++i] == "keyboard";
      malformed = malformed || !audio.emulate;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 3 || malformed) return Usage();
  const auto model = ModelOf(positional[0]);
  const auto record = ParseHex(positional[1]);
  const auto ticks = ParseNumber(positional[2], kMaxTicks);
  if (!model || !record || record->size() != profiles::LightInfoRecord::kSize || !ticks ||
      (audio.emulate && model->model != devices::LightModel::Keyboard))
    return Usage();

  const size_t lights = size_t(hid::DevicePageTable[model->pageRow].lightCount);
  devices::ModelLightEngine engine(model->model, lights);
  if (effectFile) engine.SetEffectSteps(profiles::sections::ReadLightEffectList(profiles::LoadJsonFile(*effectFile)));
  const auto state = profiles::LightInfoRecord::Decode(
      std::span<const uint8_t, profiles::LightInfoRecord::kSize>(record->data(), profiles::LightInfoRecord::kSize));
  if (audio.record) engine.Audio().SetRecord(*audio.record);
  engine.StartMode(state);
  if (audio.levels) engine.Audio().SetAudioLevels(*audio.levels, state.selectItem);
  if (audio.host) engine.Audio().SetHostColours(*audio.host);
  engine.BeginLoop(devices::TickMs(0));
  for (uint32_t t = 1; t <= *ticks; ++t) engine.Pass(devices::TickMs(t));
  if (audio.emulate) return SendToEmulatedKeyboard(engine);
  for (size_t i = 0; i < engine.LightCount(); ++i) {
    const protocol::LightColour c = engine.Colours().Load(i);
    std::printf("light %zu %d %d %d %d\n", i, c.c0, c.c1, c.c2, c.brightness);
  }
  return 0;
}

VX27_CLI_COMMAND(Command{"light-run", kUsage, "run a model's light engine for some ticks", Run});

}  // namespace
}  // namespace cli
