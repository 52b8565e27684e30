#pragma once
// The keyboard's 45-byte and the pad's 21-byte onboard settings blocks: the
// one place each meets its byte layout. Address 0 of the settings area holds
// the active onboard profile; the keyboard's block of profile p sits at
// p × 25, the pad's is read at p × 25 and written at p × 64.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "profiles/ProfileRecords.h"

namespace devices {

inline constexpr size_t kKeyboardSettingsSize = 45;
inline constexpr uint16_t kKeyboardProfileStride = 25;
inline constexpr size_t kPadSettingsSize = 21;
inline constexpr uint16_t kPadReadStride = 25;
inline constexpr uint16_t kPadWriteStride = 64;
// What the pad's read takes from the device before keeping its 21 bytes.
inline constexpr size_t kPadReadSize = 45;
// The keyboard's firmware value of the modes the host computes itself.
inline constexpr uint8_t kHostDrivenModeValue = 0xFE;
inline constexpr uint8_t kHostDrivenModeA = 29, kHostDrivenModeB = 30;

using KeyboardSettingsBytes = std::array<uint8_t, kKeyboardSettingsSize>;
using PadSettingsBytes = std::array<uint8_t, kPadSettingsSize>;

// Offsets shared by both blocks (bytes 0 to 8).
namespace lightblock {
inline constexpr size_t kFirst = 0;
inline constexpr size_t kMode = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;  // stored as 4 − speed
inline constexpr size_t kDirection = 4;
inline constexpr size_t kMultiColour = 5;
inline constexpr size_t kRed = 6, kGreen = 7, kBlue = 8;
inline constexpr uint8_t kSpeedTop = 4;
}  // namespace lightblock

namespace keyboardblock {
inline constexpr size_t kZero = 16;
inline constexpr size_t kSecondaryMode = 18;
inline constexpr size_t kWFlag = 19;
inline constexpr size_t kSixKey = 20;
inline constexpr size_t kWinLock = 21;
inline constexpr size_t kPollingRate = 22;
inline constexpr size_t kCustomGroup = 25;
}  // namespace keyboardblock

// The firmware value of each built-in light mode of a model, by index, from
// the factory light catalogue ("default_light.json", row = the model's row:
// 0 keyboard, 1 mouse, 2 pad, 3 headset).
std::vector<uint8_t> LightModeValues(const std::filesystem::path& catalogue, size_t modelRow);
// The value sent for mode index `index`: an index outside the list is sent
// as the list's first value; without a list the value is the index.
uint8_t ModeValueOf(std::span<const uint8_t> values, uint8_t index);
// The index held for a value read from the device: the first index whose
// value equals it, the value itself when none does.
uint8_t ModeIndexOf(std::span<const uint8_t> values, uint8_t value);

// ---- keyboard ----------------------------------------------------------------

struct KeyboardSettingsOut {
  uint8_t first = 0;  // byte 0
  profiles::LightInfoRecord light;  // mode index, level, speed, direction, multi, colour, secondary, group
  profiles::KeyboardSystemSettings system;
};
KeyboardSettingsBytes EncodeKeyboardSettings(const KeyboardSettingsOut& settings, std::span<const uint8_t> modeValues);

struct KeyboardSettingsIn {
  uint8_t onboardProfile = 0;
  bool hostDriven = false;  // the mode byte is 0xFE: the host's mode stays
  uint8_t mode = 0;         // the mode's index (when not host-driven)
  uint8_t brightness = 0, speed = 0, direction = 0, multiColour = 0;
  uint8_t red = 0, green = 0, blue = 0;
  uint8_t secondaryMode = 0, customGroup = 0;
  uint8_t wFlag = 0, sixKey = 0, winLock = 0;
  bool operator==(const KeyboardSettingsIn&) const = default;
};
KeyboardSettingsIn DecodeKeyboardSettings(std::span<const uint8_t, kKeyboardSettingsSize> block,
                                          std::span<const uint8_t> modeValues);

// ---- pad ---------------------------------------------------------------------

// The pad's block as the host holds it: byte 1 the mode index, byte 3 the
// host speed. These two turn it into the device's bytes and back.
PadSettingsBytes PadBlockToDevice(const PadSettingsBytes& held, std::span<const uint8_t> modeValues);
PadSettingsBytes PadBlockFromDevice(std::span<const uint8_t, kPadSettingsSize> read, std::span<const uint8_t> modeValues);
// Bytes 1 to 3 and 5 to 8 of the held block from a lighting state.
void PutPadLighting(PadSettingsBytes& held, const profiles::LightInfoRecord& light);

}  // namespace devices
