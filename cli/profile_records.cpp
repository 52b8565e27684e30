// vx27ctl profile-records <keyboard|mouse|pad|headset> <file>
// Loads a profile file with the profile object of that device kind (a file
// without a device entry is completed from the kind's factory profile, as the
// program does) and prints every record it decodes, one per line:
// "<RecordType>[<index>] <bytes in hex>".

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "profiles/Profiles.h"

namespace {

// Light count of each kind's page: the number of keys a keyboard colour group
// holds.
constexpr int kKeyboardLights = 170;

template <typename Record>
void Print(const std::string& label, const Record& record) {
  std::string hex;
  for (uint8_t b : record.Encode()) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", b);
    hex += digits;
  }
  std::printf("%s %s\n", label.c_str(), hex.c_str());
}

template <typename Record>
void PrintList(const std::string& type, const std::vector<Record>& records) {
  for (size_t i = 0; i < records.size(); ++i)
    Print(type + "[" + std::to_string(i) + "]", records[i]);
}

void PrintBase(profiles::CBasicProfiledata& profile) {
  Print("LightInfoRecord", profile.GetLightInfo());
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: vx27ctl profile-records <keyboard|mouse|pad|headset> <file>\n");
    return 2;
  }
  const std::string& kind = args[0];
  const std::filesystem::path file = args[1];
  if (!std::filesystem::is_regular_file(file)) {
    std::fprintf(stderr, "vx27ctl: no such file: %s\n", file.c_str());
    return 1;
  }
  const auto load = [&file](profiles::CBasicProfiledata& profile, const char* folder) {
    profile.SetDefaultPath(profiles::DefaultProfilePath(folder));
    profile.SetProfilePath(file);
    return !profile.LoadProfile(file).isNull();
  };
  bool loaded = false;
  if (kind == "keyboard") {
    profiles::CKeyboardProfiledata p;
    loaded = load(p, "keyboard");
    if (loaded) {
      PrintBase(p);
      Print("AudioLightRecord", p.GetAudioLightInfo());
      PrintList("LightModeEntry", p.GetLightList());
      PrintList("KeyAssignment", p.GetKeyList());
      Print("KeyboardSystemSettings", p.GetSystemSettings());
      const int group = p.GetLightInfo().customGroup;
      PrintList("CustomColor[" + std::to_string(group) + "]",
                p.GetCustomColors(group, kKeyboardLights));
    }
  } else if (kind == "mouse") {
    profiles::CMouseProfiledata p;
    loaded = load(p, "mouse");
    if (loaded) {
      PrintBase(p);
      PrintList("LightModeEntry", p.GetLightList());
      PrintList("KeyAssignment", p.GetKeyList());
      PrintList("DpiStage", p.GetDpiStages());
      Print("MouseSystemSettings", p.GetSystemSettings());
    }
  } else if (kind == "pad") {
    profiles::CBasicProfiledata p;
    loaded = load(p, "MousePad");
    if (loaded) {
      PrintBase(p);
      PrintList("LightModeEntry", p.GetLightList());
    }
  } else if (kind == "headset") {
    profiles::CRu6533Profiledata p;
    loaded = load(p, "HD");
    if (loaded) {
      PrintBase(p);
      PrintList("LightModeEntry", p.GetLightList());
      Print("HeadsetSettings", p.GetHeadsetSettings());
    }
  } else {
    std::fprintf(stderr, "vx27ctl: unknown device kind '%s'\n", kind.c_str());
    return 2;
  }
  if (!loaded) {
    std::fprintf(stderr, "vx27ctl: %s has no device entry and no factory profile was found\n",
                 file.c_str());
    return 1;
  }
  return 0;
}

VX27_CLI_COMMAND(cli::Command{"profile-records", "<keyboard|mouse|pad|headset> <file>",
                              "print the records a profile file decodes to", Run});

}  // namespace
