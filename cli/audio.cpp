// vx27ctl audio [--chip <file>] [--profile <file>] <step>...: runs the
// headset's audio model against the chip library (SDK/.../osConfLib.so
// beside vx27ctl): `start`, `eq N`, `band N v`, `user p`, `save-user name`,
// `delete-user p`, `mic-toggle`, `mic-level v`, `monitor-toggle`,
// `monitor-level v`, `effect on|off`, `effect-type N`. Prints the library
// calls as traced, `message <text>` for the two start messages, the chosen
// devices and their features after start, `result <r>` per handler, and last
// `settings` with the eight headset settings. --chip names an emulated chip
// description; --profile a profile file the model loads and saves (else the
// factory profile is used and nothing is saved).

#include <cstdio>
#include <cstdlib>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "headset/audio/HeadsetAudio.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profiles/Text.h"

namespace cli {
namespace {

using headset::audio::Dev;
using headset::audio::HeadsetAudio;

constexpr const char* kUsage =
    "[--chip <file>] [--profile <file>] <step>... (start, eq N, band N v, user p, save-user name, "
    "delete-user p, mic-toggle, mic-level v, monitor-toggle, monitor-level v, effect on|off, effect-type N)";

void PrintDevices(HeadsetAudio& model) {
  for (Dev dev : {Dev::Playback, Dev::Recording}) {
    const auto& d = model.Chip().Device(dev);
    std::printf("%s id %u kind %u state %u\n", dev == Dev::Playback ? "playback" : "recording", d.info.id,
                d.info.kind, d.info.state);
  }
  for (Dev dev : {Dev::Recording, Dev::Playback}) {
    const auto& f = model.Chip().Device(dev).features;
    std::printf("features %s %u %u %u\n", dev == Dev::Playback ? "P" : "R", f[0], f[1], f[2]);
  }
  static const char* kGroups[] = {"equaliser", "microphone", "monitoring", "voice-effect"};
  const auto& view = model.View();
  for (size_t g = 0; g < view.available.size(); ++g)
    if (!view.available[g]) std::printf("unavailable %s %s\n", kGroups[g], view.notes[g].c_str());
}

void PrintSettings(const profiles::HeadsetSettings& s) {
  std::printf("settings MagicEnable %d MagicType %d EqType %d CustomEqSeletIndex %d MicInSelect %d "
              "MicInValue %d MicMoniterSelect %d MicMoniterValue %d\n",
              s.magicEnable, s.magicType, s.eqType, s.customEqSelectIndex, s.micInSelect, s.micInValue,
              s.micMonitorSelect, s.micMonitorValue);
}

std::optional<int> Int(const std::string& text) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || v < -1000000 || v > 1000000) return std::nullopt;
  return int(v);
}

int Fail(const std::string& why) {
  std::fprintf(stderr, "vx27ctl: audio: %s\nusage: vx27ctl audio %s\n", why.c_str(), kUsage);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  size_t i = 0;
  std::string profilePath;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
    if (i + 1 >= args.size()) return Fail(args[i] + " needs a value");
    if (args[i] == "--chip") setenv(osconflib::kChipFileEnv, args[i + 1].c_str(), 1);
    else if (args[i] == "--profile") profilePath = args[i + 1];
    else return Fail("unknown option " + args[i]);
  }
  if (i >= args.size()) return Fail("no step");

  platform::ScopedTraceSink sink([](std::string_view line) {
    std::printf("%.*s\n", int(line.size()), line.data());
  });
  profiles::CRu6533Profiledata profile;
  const std::filesystem::path factory = platform::InstallFolder() / "DefaultData" / "HD.Json";
  profile.SetDefaultPath(factory);
  if (!profilePath.empty()) {
    profile.SetProfilePath(profilePath);
    profile.LoadProfile(profilePath);
  } else {
    profile.LoadProfile(factory);
  }
  HeadsetAudio model(profile, headset::audio::LoadConfLibrary(platform::InstallFolder()),
                     [](const std::string& text) { std::printf("message %s\n", text.c_str()); });

  while (i < args.size()) {
    const std::string step = args[i++];
    const bool oneValue = step == "eq" || step == "user" || step == "save-user" || step == "delete-user" ||
                          step == "mic-level" || step == "monitor-level" || step == "effect" ||
                          step == "effect-type";
    const size_t needed = step == "band" ? 2 : oneValue ? 1 : 0;
    if (i + needed > args.size()) return Fail(step + " needs " + std::to_string(needed) + " value(s)");
    std::vector<std::string> values(args.begin() + long(i), args.begin() + long(i + needed));
    i += needed;
    std::vector<int> numbers;
    if (step != "save-user" && step != "effect")
      for (const std::string& v : values) {
        const std::optional<int> n = Int(v);
        if (!n) return Fail("not a number: " + v);
        numbers.push_back(*n);
      }
    int result = 0;
    if (step == "start") {
      model.Start();
      model.Load();
      PrintDevices(model);
      continue;
    } else if (step == "eq") result = model.SelectEqPreset(numbers[0]);
    else if (step == "band") result = model.SetBand(numbers[0], numbers[1]);
    else if (step == "user") result = model.SelectUserPreset(numbers[0]);
    else if (step == "save-user") result = model.SaveUserPreset(profiles::Utf8ToWide(values[0]));
    else if (step == "delete-user") {
      // The user picks the preset in the combo, then presses delete.
      result = model.SelectUserPreset(numbers[0]);
      if (result != headset::audio::kNothingDone) result = model.DeleteUserPreset();
    } else if (step == "mic-toggle") result = model.ToggleMicrophone();
    else if (step == "mic-level") result = model.SetMicrophoneLevel(numbers[0]);
    else if (step == "monitor-toggle") result = model.ToggleMonitoring();
    else if (step == "monitor-level") result = model.SetMonitoringLevel(numbers[0]);
    else if (step == "effect") {
      if (values[0] != "on" && values[0] != "off") return Fail("effect takes on or off");
      result = model.SetVoiceEffectEnabled(values[0] == "on");
    } else if (step == "effect-type") result = model.SelectVoiceEffect(numbers[0]);
    else return Fail("unknown step " + step);
    std::printf("result %d\n", result);
  }
  PrintSettings(model.Settings());
  return 0;
}

VX27_CLI_COMMAND(Command{"audio", kUsage, "run the headset's audio settings against the audio chip library", Run});

}  // namespace
}  // namespace cli
