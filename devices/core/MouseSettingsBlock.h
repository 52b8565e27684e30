#pragma once
// The mouse's 86-byte onboard settings block: the one place it meets its byte
// layout. Address 0 of the settings area holds the active onboard profile;
// profile p's block sits at p × 128.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/ProfileRecords.h"

namespace devices {

inline constexpr size_t kMouseSettingsSize = 86;
inline constexpr uint16_t kMouseProfileStride = 128;
inline constexpr size_t kMouseStageCount = 7;
// A light mode index of 12 or more (a custom effect) is sent as mode 0.
inline constexpr uint8_t kMouseBuiltInModes = 12;
using MouseSettingsBytes = std::array<uint8_t, kMouseSettingsSize>;

namespace mouseblock {
inline constexpr size_t kFirst = 0;
inline constexpr size_t kMode = 1;
inline constexpr size_t kBrightness = 2;
inline constexpr size_t kSpeed = 3;  // stored as 4 − speed
inline constexpr size_t kDirection = 4;
inline constexpr size_t kMultiColour = 5;
inline constexpr size_t kRed = 6, kGreen = 7, kBlue = 8;
inline constexpr size_t kZero = 9;
inline constexpr size_t kPollingRate = 11;
inline constexpr size_t kActiveStage = 12;
inline constexpr size_t kStages = 14;  // 7 × DpiStage (9 bytes)
inline constexpr size_t kBleSleep1 = 77, kBleSleep2 = 78;
inline constexpr size_t kSleep1 = 79, kSleep2 = 80;
inline constexpr size_t kDebounce = 81;
inline constexpr size_t kLiftOff = 82;
inline constexpr size_t kLinearCalibration = 83;
inline constexpr size_t kRipple = 84;
inline constexpr uint8_t kSpeedTop = 4;
}  // namespace mouseblock

// Everything the host puts into a block.
struct MouseSettingsOut {
  uint8_t first = 0;                    // byte 0
  profiles::LightInfoRecord light;      // mode index, brightness, speed, direction, colour
  profiles::MouseSystemSettings system; // polling, sleeps, debounce, lift-off, calibration, ripple
  uint8_t activeStage = 0;
  std::vector<profiles::DpiStage> stages;  // beyond 7 ignored; missing stages stay 0
};

// What the host takes back from a block it read.
struct MouseSettingsIn {
  uint8_t onboardProfile = 0;
  uint8_t modeValue = 0;  // as the device holds it (the caller maps it to an index)
  uint8_t brightness = 0;
  uint8_t speed = 0;      // 4 − byte 3
  uint8_t multiColour = 0;
  uint8_t red = 0, green = 0, blue = 0;
  uint8_t pollingRate = 0;
  uint8_t activeStage = 0;
  uint8_t bleSleep1 = 0, bleSleep2 = 0, sleep1 = 0, sleep2 = 0;
  uint8_t debounce = 0;
  uint8_t linearCalibration = 0;
  uint8_t ripple = 0;
  bool operator==(const MouseSettingsIn&) const = default;
};

MouseSettingsBytes EncodeMouseSettings(const MouseSettingsOut& settings);
MouseSettingsIn DecodeMouseSettings(std::span<const uint8_t, kMouseSettingsSize> block);

}  // namespace devices
