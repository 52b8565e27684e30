// vx27ctl load|apply keyboard|pad --profile <file>, on the same cores as the
// pages.
//   load keyboard: positions <170>, lights <170> (255: none), onboard <n>, result <n>
//   load pad:      onboard <n>, image <21 bytes hex>, result <n>
//   apply keyboard: settings <r>, keys <r>; apply pad: settings <r>
// The profile file is completed from the factory entry and saved by the read.

#include "cli/KeyboardPadCommand.h"

#include <algorithm>
#include <cstdio>

#include "cli/DeviceSession.h"
#include "devices/core/KeyboardCore.h"
#include "devices/core/MacroFiles.h"
#include "platform/Paths.h"

namespace cli {
namespace {

constexpr const char* kUsage = "mouse|keyboard|pad --profile <file>";
constexpr size_t kKeyboardCatalogueRow = 0;
constexpr size_t kPadCatalogueRow = 2;

struct Invocation {
  DeviceSession session;
  std::filesystem::path profilePath;
  bool keyboard = false;
};

// Options and device; false with the usage printed (exit 2) or the device
// missing (`exitCode` 1).
bool Start(const std::vector<std::string>& args, const char* command, Invocation& in, int& exitCode) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size()) in.profilePath = args[++i];
    else rest.push_back(args[i]);
  }
  if (in.profilePath.empty() || !in.session.ParseOptions(rest) || in.session.Positional().size() != 1) {
    exitCode = UsageError(command, kUsage);
    return false;
  }
  const std::string& device = in.session.Positional()[0];
  in.keyboard = device == "keyboard";
  if (!in.session.Open(device)) {
    exitCode = DeviceSession::Finish(protocol::kNoReply);
    return false;
  }
  return true;
}

std::filesystem::path Factory(const char* name) { return platform::InstallFolder() / "DefaultData" / name; }

void PrintList(const char* name, const std::array<uint8_t, devices::kKeyboardKeys>& values) {
  std::printf("%s", name);
  for (uint8_t v : values) std::printf(" %u", unsigned(v));
  std::printf("\n");
}

struct Keyboard {
  profiles::CKeyboardProfiledata profile;
  devices::KeyboardCore core;
  explicit Keyboard(Invocation& in) : core(in.session.Channel(), profile) {
    profile.SetDefaultPath(Factory("keyboard.Json"));
    core.SetLightModeValues(devices::LightModeValues(Factory("default_light.json"), kKeyboardCatalogueRow));
    core.ReadAll();
    PrintList("positions", core.Positions().key);
    PrintList("lights", core.Positions().light);
    core.LoadProfile(in.profilePath);
  }
};

struct Pad {
  profiles::CBasicProfiledata profile;
  devices::PadCore core;
  explicit Pad(Invocation& in) : core(in.session.Channel()) {
    profile.SetDefaultPath(Factory("MousePad.Json"));
    core.SetLightModeValues(devices::LightModeValues(Factory("default_light.json"), kPadCatalogueRow));
    core.ReadInfo();
    profile.SetProfilePath(in.profilePath);
    profile.LoadProfile(in.profilePath);
  }
};

}  // namespace

bool NamesKeyboardOrPad(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "keyboard" || a == "pad"; });
}

int LoadKeyboardOrPad(const std::vector<std::string>& args) {
  Invocation in;
  int exitCode = 0;
  if (!Start(args, "load", in, exitCode)) return exitCode;
  if (in.keyboard) {
    Keyboard k(in);
    profiles::LightInfoRecord light = k.profile.GetLightInfo();
    const int result = k.core.ReadSettings(light).result;
    std::printf("onboard %u\n", unsigned(k.core.OnboardProfile()));
    return DeviceSession::Finish(result);
  }
  Pad p(in);
  const int result = p.core.ReadSettings();
  std::printf("onboard %u\nimage", unsigned(p.core.OnboardProfile()));
  for (uint8_t b : p.core.Image()) std::printf(" %02x", unsigned(b));
  std::printf("\n");
  return DeviceSession::Finish(result);
}

int ApplyKeyboardOrPad(const std::vector<std::string>& args) {
  Invocation in;
  int exitCode = 0;
  if (!Start(args, "apply", in, exitCode)) return exitCode;
  if (in.keyboard) {
    Keyboard k(in);
    const std::filesystem::path folder = in.profilePath.parent_path();
    k.core.SetMacroFolder(folder.empty() ? std::filesystem::path(".") : folder);
    const devices::KeyboardApplyResult r = k.core.ApplyProfile();
    std::printf("settings %d\nmacros %d\nkeys %d\n", r.settings, r.macros, r.keys);
    return r.settings == protocol::kOk && r.macros == 0 && r.keys == protocol::kOk ? 0 : 1;
  }
  Pad p(in);
  // Bytes the host does not set are sent as the pad holds them.
  p.core.ReadSettings();
  p.core.ApplyLighting(p.profile.GetLightInfo());
  const int settings = p.core.WriteSettings(0);
  std::printf("settings %d\n", settings);
  return settings == protocol::kOk ? 0 : 1;
}

}  // namespace cli
