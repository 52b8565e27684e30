// vx27ctl list: the interface slots the discovery worker claims, after one
// pass or, with --watch, as devices come and go.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "hid/CompositeBackend.h"
#include "hid/DiscoveryWorker.h"
#include "hid/HidrawBackend.h"
#include "hid/InterfaceSlots.h"
#include "platform/MessageTarget.h"
#include "platform/Worker.h"

namespace cli {
namespace {

constexpr const char* kUsage = "[--emulate <list>] [--watch <seconds>] [--script \"<ms> plug|unplug <device>; ...\"]";

struct ScriptStep {
  uint32_t atMs = 0;
  bool plug = true;
  std::string device;
};

struct Options {
  std::optional<std::string> emulate;
  std::optional<uint32_t> watchSeconds;
  std::vector<ScriptStep> script;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::optional<uint32_t> Number(std::string_view text) {
  uint32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

// "<ms> plug <device>; <ms> unplug <device>; ..."
std::optional<std::vector<ScriptStep>> ParseScript(std::string_view text, std::string* error) {
  std::vector<ScriptStep> steps;
  while (!text.empty()) {
    const size_t semi = text.find(';');
    const std::string_view item = Trim(text.substr(0, semi));
    text = semi == std::string_view::npos ? std::string_view() : text.substr(semi + 1);
    if (item.empty()) continue;
    std::vector<std::string_view> words;
    std::string_view rest = item;
    while (!rest.empty()) {
      const size_t sp = rest.find_first_of(" \t");
      words.push_back(rest.substr(0, sp));
      rest = sp == std::string_view::npos ? std::string_view() : Trim(rest.substr(sp));
    }
    const auto ms = words.empty() ? std::nullopt : Number(words[0]);
    if (words.size() != 3 || !ms || (words[1] != "plug" && words[1] != "unplug")) {
      *error = "bad script step '" + std::string(item) + "'";
      return std::nullopt;
    }
    steps.push_back({*ms, words[1] == "plug", std::string(words[2])});
  }
  std::stable_sort(steps.begin(), steps.end(),
                   [](const ScriptStep& a, const ScriptStep& b) { return a.atMs < b.atMs; });
  return steps;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--emulate" && hasValue) {
      o.emulate = args[++i];
    } else if (a == "--watch" && hasValue) {
      o.watchSeconds = Number(args[++i]);
      if (!o.watchSeconds) return std::nullopt;
    } else if (a == "--script" && hasValue) {
      std::string error;
      auto steps = ParseScript(args[++i], &error);
      if (!steps) {
        std::fprintf(stderr, "vx27ctl list: %s\n", error.c_str());
        return std::nullopt;
      }
      o.script = std::move(*steps);
    } else {
      return std::nullopt;
    }
  }
  return o;
}

void PrintSlot(size_t index, const hid::DeviceInterfaceInfo& s) {
  std::printf("slot %zu kind %u use %u vid %04x pid %04x mi %u col %u path %s\n", index,
              s.DeviceKind, s.InterfaceUse, s.VendorId, s.ProductId, s.InterfaceNumber,
              s.CollectionNumber, s.DevicePath.c_str());
}

int Run(const std::vector<std::string>& args) {
  const auto options = ParseOptions(args);
  if (!options) {
    std::fprintf(stderr, "usage: vx27ctl list %s\n", kUsage);
    return 2;
  }
  const char* env = std::getenv(emulator::kEmulateEnv);
  const std::string list = options->emulate ? *options->emulate : (env ? env : "");

  // Real devices always; the emulator when a list or a script names devices.
  std::vector<std::shared_ptr<hid::HidBackend>> parts{std::make_shared<hid::HidrawBackend>()};
  std::shared_ptr<emulator::Emulator> emu;
  if (!list.empty() || !options->script.empty()) {
    emu = std::make_shared<emulator::Emulator>();
    std::string error;
    if (!emulator::AddEmulatedDevices(*emu, list, &error)) {
      std::fprintf(stderr, "vx27ctl list: %s\n", error.c_str());
      return 2;
    }
    // A device the script plugs but the list does not name starts unplugged.
    for (const ScriptStep& step : options->script) {
      if (emu->FindByName(step.device)) continue;
      auto descs = emulator::ParseEmulateList(step.device, &error);
      if (!descs || descs->size() != 1) {
        std::fprintf(stderr, "vx27ctl list: %s\n", error.c_str());
        return 2;
      }
      emu->Add(std::move(descs->front()), false);
    }
    parts.push_back(emu);
  }
  auto backend = std::make_shared<hid::CompositeBackend>(std::move(parts));

  hid::InterfaceSlots slots;
  const bool watching = options->watchSeconds.has_value();
  // Without a Qt application every send is handled on the calling thread.
  platform::MessageTarget target([&](const platform::Message& m) {
    if (!watching) return int64_t{0};
    if (m.id == platform::msg::UM_INTERFACE_ARRIVED) std::printf("arrived %llu\n", (unsigned long long)m.wParam);
    if (m.id == platform::msg::UM_INTERFACE_REMOVED) std::printf("removed %llu\n", (unsigned long long)m.wParam);
    std::fflush(stdout);
    return int64_t{0};
  });
  hid::DiscoveryWorker discovery(backend, slots, target, 0);

  if (!watching) {
    platform::StopEvent stop;
    if (!discovery.Pass(stop)) {
      std::fprintf(stderr, "vx27ctl list: the HID listing failed\n");
      return 1;
    }
    for (size_t i = 0; i < slots.Count(); ++i) {
      const hid::DeviceInterfaceInfo s = slots.Slot(i);
      if (s.Connected) PrintSlot(i, s);
    }
    return 0;
  }

  // Watch: discovery on this thread; the script and the end on a helper.
  platform::StopEvent stop;
  platform::Worker timekeeper;
  timekeeper.Start([&](const platform::StopEvent& quit) {
    const auto start = std::chrono::steady_clock::now();
    auto waitUntil = [&](uint64_t ms) {
      const auto at = start + std::chrono::milliseconds(ms);
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at - std::chrono::steady_clock::now());
      return !quit.WaitFor(std::max(left, std::chrono::milliseconds(0)));
    };
    for (const ScriptStep& step : options->script) {
      if (step.atMs > uint64_t(*options->watchSeconds) * 1000 || !waitUntil(step.atMs)) break;
      auto device = emu->FindByName(step.device);
      if (step.plug) emu->Plug(device->Id());
      else emu->Unplug(device->Id());
    }
    if (waitUntil(uint64_t(*options->watchSeconds) * 1000)) stop.Set();
  });
  discovery.Run(stop);
  timekeeper.Stop(std::chrono::milliseconds(1000));
  return 0;
}

VX27_CLI_COMMAND(cli::Command{"list", kUsage,
                              "list the claimed device interfaces (--watch: follow arrivals and removals)",
                              Run});

}  // namespace
}  // namespace cli
