// vx27ctl sync-run <dev> <record> <ticks>: synchronised lighting started from
// one device of kind <dev> whose lighting record (14 bytes, 28 hex digits) is
// <record>. Prints the effect and the mode every device kind takes,
//   effect <e> keyboard <m> mouse <m> pad <m> headset <m>
// or "effect none" when the record's mode stands for no effect (nothing is
// held then). The device is then held for <ticks> passes of the sync loop,
// one light tick apart (as the worker makes them), and the last line is
//   frames <n> colour <packed colour of the last frame, %08x>
// with red in the low byte and brightness in the high one. No device is opened.

#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/LightClock.h"
#include "devices/core/LightColours.h"
#include "devices/core/SyncRender.h"
#include "hid/SupportedDevices.h"
#include "profiles/ProfileRecords.h"

namespace cli {
namespace {

namespace sync = devices::sync;

constexpr const char* kUsage = "<mouse|keyboard|pad|headset> <record> <ticks>";
constexpr uint32_t kMaxTicks = 10'000'000;

struct Kind {
  int kind;        // device kind
  size_t pageRow;  // row of the device page table: the light count
};

std::optional<Kind> KindOf(std::string_view name) {
  if (name == "keyboard") return Kind{hid::kind::kKeyboardCable, 1};
  if (name == "mouse") return Kind{hid::kind::kMouseCable, 0};
  if (name == "pad") return Kind{hid::kind::kMousePad, 2};
  if (name == "headset") return Kind{hid::kind::kHeadset, 3};
  return std::nullopt;
}

int Usage() {
  std::fprintf(stderr, "usage: vx27ctl sync-run %s\n", kUsage);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 3) return Usage();
  const auto kind = KindOf(args[0]);
  const auto bytes = ParseHex(args[1]);
  const auto ticks = ParseNumber(args[2], kMaxTicks);
  if (!kind || !bytes || bytes->size() != profiles::LightInfoRecord::kSize || !ticks) return Usage();
  const auto record = profiles::LightInfoRecord::Decode(
      std::span<const uint8_t, profiles::LightInfoRecord::kSize>(bytes->data(), profiles::LightInfoRecord::kSize));

  const auto effect = sync::EffectOfMode(*sync::ColumnOfKind(kind->kind), record.selectItem);
  if (!effect) {
    std::printf("effect none\nframes 0 colour %08x\n", 0u);
    return 0;
  }
  const sync::Settings settings = sync::SettingsOf(uint8_t(*effect), record);
  auto mode = [&](sync::Column c) { return int(sync::ModeOfEffect(c, *effect)); };
  std::printf("effect %d keyboard %d mouse %d pad %d headset %d\n", int(*effect), mode(sync::Column::Keyboard),
              mode(sync::Column::Mouse), mode(sync::Column::PadOrHeadset), mode(sync::Column::PadOrHeadset));

  // The held device's lights, as the worker fills them.
  devices::LightColourArray lights;
  lights.Resize(size_t(hid::DevicePageTable[kind->pageRow].lightCount));
  sync::Renderer renderer;
  renderer.Begin(devices::TickMs(0));
  uint32_t frames = 0;
  for (uint32_t t = 1; t <= *ticks; ++t) {
    const auto colour = renderer.Pass(devices::TickMs(t), settings);
    if (!colour) continue;
    ++frames;
    for (size_t i = 0; i < lights.Size(); ++i) lights.Store(i, *colour);
  }
  const uint32_t last = frames ? devices::LightColourArray::Pack(lights.Load(lights.Size() - 1)) : 0;
  std::printf("frames %u colour %08x\n", frames, last);
  return 0;
}

VX27_CLI_COMMAND(Command{"sync-run", kUsage, "run synchronised lighting from one device's lighting record", Run});

}  // namespace
}  // namespace cli
