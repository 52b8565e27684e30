#pragma once
// The fixed byte records a profile converts to and from its JSON sections. Each
// record keeps its fields by name; Encode/Decode are the one place where a
// record meets its memory layout (the layout the device code copies into its
// reports). Multi-byte fields are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace profiles {

// "LightInfo": lighting state of a device, 14 bytes. Bytes 8-10 are never read
// from or written to the profile; they travel with the record unchanged.
struct LightInfoRecord {
  static constexpr size_t kSize = 14;
  uint8_t selectItem = 0;   // 0: light mode (index in the model's mode list)
  uint8_t light = 0;        // 1: brightness level 0..4
  uint8_t speed = 0;        // 2: speed level 0..4
  uint8_t fx = 0;           // 3: direction flag
  uint8_t multiColor = 0;   // 4: seven-colour flag
  uint8_t red = 0;          // 5
  uint8_t green = 0;        // 6
  uint8_t blue = 0;         // 7
  std::array<uint8_t, 3> unused{};  // 8..10
  uint8_t zzccLedMode = 0;  // 11: secondary mode (keyboard mode 17)
  uint8_t customGroup = 0;  // 12: custom colour group (keyboard mode 20)
  uint8_t oldLedMode = 0;   // 13: mode restored after a game-event mode

  std::array<uint8_t, kSize> Encode() const;
  static LightInfoRecord Decode(std::span<const uint8_t, kSize> bytes);
  // The record as the device code passes it around: words 0..2 are bytes 0-3,
  // 4-7, 8-11, word 3 is bytes 12-13.
  std::array<uint32_t, 4> ToWords() const;
  static LightInfoRecord FromWords(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3);
  bool operator==(const LightInfoRecord&) const = default;
};

// "AudioLightInfo" (keyboard), 9 bytes.
struct AudioLightRecord {
  static constexpr size_t kSize = 9;
  uint8_t audioMode = 0;       // 0
  uint8_t bkRed = 0;           // 1
  uint8_t bkGreen = 0;         // 2
  uint8_t bkBlue = 0;          // 3
  uint8_t fgRed = 0;           // 4
  uint8_t fgGreen = 0;         // 5
  uint8_t fgBlue = 0;          // 6
  uint8_t sevenColor = 0;      // 7: "7ColorFlags"
  uint8_t colorType = 0;       // 8: "ColorTypeFlags", 1 foreground, 0 background

  std::array<uint8_t, kSize> Encode() const;
  static AudioLightRecord Decode(std::span<const uint8_t, kSize> bytes);
  // Word 0 = bytes 0-3, word 1 = bytes 4-7, then byte 8.
  static AudioLightRecord FromWords(uint32_t w0, uint32_t w1, uint8_t b8);
  bool operator==(const AudioLightRecord&) const = default;
};

// One element of "LightList": a light area's own mode, 14 bytes.
struct LightModeEntry {
  static constexpr size_t kSize = 14;
  uint8_t mode = 0;        // 0: "LEDREGMode"
  uint8_t brightness = 0;  // 1
  uint8_t speed = 0;       // 2
  uint8_t direction = 0;   // 3
  uint8_t multiColor = 0;  // 4
  uint8_t red = 0;         // 5
  uint8_t green = 0;       // 6
  uint8_t blue = 0;        // 7
  uint8_t present = 0;     // 10: 1 when the list element was not null

  std::array<uint8_t, kSize> Encode() const;
  static LightModeEntry Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const LightModeEntry&) const = default;
};

// A key function code c0 c1 c2 for one key, 6 bytes: key index (16 bits),
// the three code bytes, a zero byte. In JSON the code is c0 << 16 | c1 << 8 | c2.
struct KeyFunction {
  static constexpr size_t kSize = 6;
  uint16_t keyIndex = 0;
  uint8_t c0 = 0;
  uint8_t c1 = 0;
  uint8_t c2 = 0;

  uint32_t Code() const { return uint32_t(c0) << 16 | uint32_t(c1) << 8 | c2; }
  static KeyFunction FromCode(uint16_t keyIndex, uint32_t code);
  bool operator==(const KeyFunction&) const = default;
};

// One element of "KeyList", 12 bytes: the current and the default function.
struct KeyAssignment {
  static constexpr size_t kSize = 12;
  KeyFunction assignment;         // 0..5
  KeyFunction defaultAssignment;  // 6..11

  std::array<uint8_t, kSize> Encode() const;
  static KeyAssignment Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const KeyAssignment&) const = default;
};

// Keyboard "SystemStages": three words, each two 16-bit values, low half first.
struct KeyboardSystemSettings {
  static constexpr size_t kSize = 12;
  uint16_t repeat = 0;       // word 0 low
  uint16_t repeatDelay = 0;  // word 0 high
  uint16_t key6Flag = 0;     // word 1 low
  uint16_t pollingRate = 0;  // word 1 high
  uint16_t wFlag = 0;        // word 2 low
  uint16_t winFlag = 0;      // word 2 high

  std::array<uint8_t, kSize> Encode() const;
  static KeyboardSystemSettings Decode(std::span<const uint8_t, kSize> bytes);
  std::array<uint32_t, 3> ToWords() const;
  static KeyboardSystemSettings FromWords(uint32_t w0, uint32_t w1, uint32_t w2);
  bool operator==(const KeyboardSystemSettings&) const = default;
};

// One key's colour of a custom colour group, 4 bytes.
struct CustomColor {
  static constexpr size_t kSize = 4;
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;

  std::array<uint8_t, kSize> Encode() const;
  static CustomColor Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const CustomColor&) const = default;
};

// One element of "DPIStages"."StageDPIs", 9 bytes.
struct DpiStage {
  static constexpr size_t kSize = 9;
  uint8_t active = 0;  // 0: stage enabled
  uint8_t xy = 0;      // 1: separate X/Y
  uint16_t dpiX = 0;   // 2..3
  uint16_t dpiY = 0;   // 4..5
  uint8_t red = 0;     // 6
  uint8_t green = 0;   // 7
  uint8_t blue = 0;    // 8

  std::array<uint8_t, kSize> Encode() const;
  static DpiStage Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const DpiStage&) const = default;
};

// Mouse "SystemStages" + "ReportStages": eight words of two 16-bit values,
// low half first (the high halves of words 4 and 7 are always 0).
struct MouseSystemSettings {
  static constexpr size_t kSize = 32;
  uint16_t doubleClickTime = 0;    // word 0 low
  uint16_t mouseSpeed = 0;         // word 0 high
  uint16_t pointerPrecision = 0;   // word 1 low
  uint16_t scrollPage = 0;         // word 1 high
  uint16_t wheelScrollLines = 0;   // word 2 low
  uint16_t reportRate = 0;         // word 2 high: ReportStages "StageActive"
  uint16_t silentAltitude = 0;     // word 3 low
  uint16_t linearCalibration = 0;  // word 3 high
  uint16_t ripple = 0;             // word 4 low
  uint16_t bleSleep1 = 0;          // word 5 low
  uint16_t bleSleep2 = 0;          // word 5 high
  uint16_t deviceSleep1 = 0;       // word 6 low
  uint16_t deviceSleep2 = 0;       // word 6 high
  uint16_t keyDebounceTime = 0;    // word 7 low

  std::array<uint8_t, kSize> Encode() const;
  static MouseSystemSettings Decode(std::span<const uint8_t, kSize> bytes);
  std::array<uint32_t, 8> ToWords() const;
  static MouseSystemSettings FromWords(std::span<const uint32_t, 8> words);
  bool operator==(const MouseSystemSettings&) const = default;
};

// Headset "SystemSetStages": eight 32-bit integers in this order.
struct HeadsetSettings {
  static constexpr size_t kSize = 32;
  int32_t magicEnable = 0;
  int32_t magicType = 0;
  int32_t eqType = 0;
  int32_t customEqSelectIndex = 0;  // "CustomEqSeletIndex"
  int32_t micInSelect = 0;
  int32_t micInValue = 0;
  int32_t micMonitorSelect = 0;     // "MicMoniterSelect"
  int32_t micMonitorValue = 0;      // "MicMoniterValue"

  std::array<uint8_t, kSize> Encode() const;
  static HeadsetSettings Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const HeadsetSettings&) const = default;
};

// One step of a custom light effect (".light" file), 24 bytes.
struct LightEffectStep {
  static constexpr size_t kSize = 24;
  uint8_t mode = 0;        // 0
  uint8_t brightness = 0;  // 1
  uint8_t speed = 0;       // 2
  uint8_t direction = 0;   // 3
  uint8_t multiColor = 0;  // 4
  uint8_t red = 0;         // 5
  uint8_t green = 0;       // 6
  uint8_t blue = 0;        // 7
  int32_t time = 0;        // 16..19: "Time", milliseconds
  int32_t cycle = 0;       // 20..23: "Cyle"

  std::array<uint8_t, kSize> Encode() const;
  static LightEffectStep Decode(std::span<const uint8_t, kSize> bytes);
  bool operator==(const LightEffectStep&) const = default;
};

}  // namespace profiles
