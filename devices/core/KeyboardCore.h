#pragma once
// The keyboard's device work without widgets: the read-all with the key and
// light positions, the settings read and write, the five custom colour
// groups, the key map; and the pad's settings block. The pages
// (devices/KeyboardDevice, devices/MousePadDevice) and vx27ctl drive the same
// objects.
//
// Device data comes only from a device that answered: with the channel
// closed, I/O suppressed or a read failing, positions, profile, light state
// and images stay as they were.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "devices/core/KeyboardPadBlocks.h"
#include "devices/core/MacroFiles.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/KeyboardProfiledata.h"
#include "protocol/CommandChannel.h"
#include "protocol/LightFrame.h"

namespace devices {

inline constexpr size_t kKeyboardKeys = 170;
inline constexpr size_t kKeyboardMappedKeys = 126;  // keys 0..125 have a code of their own
inline constexpr uint8_t kNoKeyPosition = 255;
inline constexpr size_t kCustomGroups = 5;
inline constexpr size_t kPageBytes = 512;

// The default key-map code of key j (20 00 00 from 126 on).
std::array<uint8_t, 3> KeyboardDefaultCode(size_t key);

struct KeyPositions {
  std::array<uint8_t, kKeyboardKeys> key;    // key-map position of key j, or kNoKeyPosition
  std::array<uint8_t, kKeyboardKeys> light;  // LED position of key j, or kNoKeyPosition
  KeyPositions() {
    key.fill(kNoKeyPosition);
    light.fill(kNoKeyPosition);
  }
};
// Each key takes the first position below `keyCount` holding its default
// code that no earlier key took; its light position is the light index at
// that position.
KeyPositions FindKeyPositions(std::span<const uint8_t> keyMap, std::span<const uint8_t> lightIndex, size_t keyCount);

// The LED position of each light for a light frame: a key with a key-map
// position lights at its light position; other lights have none.
std::array<std::optional<uint16_t>, kKeyboardKeys> FramePositions(const KeyPositions& positions);
// Streams the frame's first 3 × key count bytes (never past the frame: the
// count comes from the device); the send's result.
int SendKeyboardFrame(protocol::CCommandChannel& channel, const protocol::LightFrame& frame, size_t keyCount);

// A colour page: each light's three bytes at 3 × its light position; lights
// without a position, or whose bytes would pass the page, are skipped.
std::array<uint8_t, kPageBytes> BuildColourPage(std::span<const profiles::CustomColor> colours,
                                                const KeyPositions& positions);
// A page read back: colour j from 3 × light position of j, alpha from the
// brightness level (brightness × 255 >> 8). Lights without a position read 0.
std::vector<profiles::CustomColor> ColoursFromPage(std::span<const uint8_t> page, const KeyPositions& positions,
                                                   uint8_t brightnessLevel);

struct KeyboardSettingsRead {
  int result = protocol::kNoReply;  // kOk when the block was read
  bool modeStarts = false;          // the mode changed, or is 20
};

struct KeyboardApplyResult {
  int settings = 0;
  int macros = 0;
  int keys = 0;
};

class KeyboardCore {
 public:
  KeyboardCore(protocol::CCommandChannel& channel, profiles::CKeyboardProfiledata& profile);

  // Begin transfer, information block, block size, key map, key light index,
  // end transfer, positions. False (nothing changed) when a step failed.
  bool ReadAll();
  const KeyPositions& Positions() const { return positions_; }
  const protocol::DeviceInfoBlock& InfoBlock() const { return info_; }
  size_t KeyCount() const { return keyMapImage_.size() / 3; }

  int LoadProfile(const std::filesystem::path& path);
  void SetLightModeValues(std::vector<uint8_t> values) { modeValues_ = std::move(values); }

  // The active onboard profile and its block into `lightState`, the system
  // settings and the profile (saved).
  KeyboardSettingsRead ReadSettings(profiles::LightInfoRecord& lightState);
  // Block p from the profile with byte 0 := v; the write's result.
  int WriteSettings(int p, int v);
  uint8_t OnboardProfile() const { return onboardProfile_; }
  const KeyboardSettingsBytes& SettingsImage() const { return settingsImage_; }
  // 0x10n / 0x11n: onboard profile n. True when it was taken.
  bool OnProfileSwitch(uint16_t value);

  // Reads the five groups' pages into the profile (saved); a page that fails
  // keeps its group. Returns the number of pages read.
  int ReadCustomGroups(uint8_t brightnessLevel);
  // Writes group `group` of the profile as a page; the write's result.
  int WriteCustomGroup(int group);
  // Writes `colours` as the page of group `group`; the write's result.
  int WriteCustomColours(int group, std::span<const profiles::CustomColor> colours);

  // Keys 0..125 with a position get their assignment in the last key map
  // read; nothing is sent before one was read.
  int WriteKeyMap(int page, std::span<const profiles::KeyAssignment> keys, int macroCount);

  // ---- macros -----------------------------------------------------------
  // The macro library beside the profile.
  void SetMacroFolder(std::filesystem::path folder) { macroFolder_ = std::move(folder); }
  std::vector<MacroIndexEntry> Macros() const { return LoadMacroIndex(macroFolder_); }
  // Distinct macro numbers used by the profile's keys, in the numbering the
  // key map write gives them: keys 0..125, and once the key map was read only
  // those with a position.
  std::vector<int> CollectUsedMacros();
  // The profile's keys whose macro no longer exists get their default back
  // (stored in the profile). True when a key changed.
  bool RepairMacroKeys();
  // As on the mouse: 0 written or nothing to write; the number of events to
  // remove when the image does not fit; kNotWritten when the keyboard did not
  // answer or the image was not written.
  int WriteMacros(std::span<const int> macros);
  // The whole profile applied, in the mouse's order: keys with a missing
  // macro repaired, settings block 0 (first byte 0), the used macros, the
  // keys.
  KeyboardApplyResult ApplyProfile();

 private:
  bool Usable() const { return channel_.IsOpen() && !channel_.SuppressIo(); }

  protocol::CCommandChannel& channel_;
  profiles::CKeyboardProfiledata& profile_;
  protocol::DeviceInfoBlock info_;
  std::vector<uint8_t> keyMapImage_;
  std::vector<uint8_t> lightIndexImage_;
  KeyPositions positions_;
  uint8_t onboardProfile_ = 0;
  KeyboardSettingsBytes settingsImage_{};
  std::vector<uint8_t> modeValues_;
  std::filesystem::path macroFolder_;
};

class PadCore {
 public:
  explicit PadCore(protocol::CCommandChannel& channel) : channel_(channel) {}

  // Begin transfer, information block, end transfer; false when it failed.
  bool ReadInfo();
  void SetLightModeValues(std::vector<uint8_t> values) { modeValues_ = std::move(values); }
  // The held block takes the profile's lighting.
  void ApplyLighting(const profiles::LightInfoRecord& light) { PutPadLighting(image_, light); }
  // Active onboard profile and its block; nothing changes unless both reads
  // answered.
  int ReadSettings();
  // The held block with its value and stored speed, at p × 64; the block
  // itself keeps the index and the host speed.
  int WriteSettings(int p);
  uint8_t OnboardProfile() const { return onboardProfile_; }
  const PadSettingsBytes& Image() const { return image_; }

 private:
  protocol::CCommandChannel& channel_;
  uint8_t onboardProfile_ = 0;
  PadSettingsBytes image_{};
  std::vector<uint8_t> modeValues_;
};

}  // namespace devices
