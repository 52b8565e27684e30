#pragma once
// Building the key map written to a device.
//
// It starts from the key map last read from the device, so positions that no
// key of the profile covers keep their device bytes. Each key's three device
// bytes go to 3 × its position. Macro assignments (type 0x70 or 0x71, byte 1
// the macro's number in the macro list) are renumbered by first use: the
// macros used by the key map are listed in key order and a key's byte 1
// becomes the macro's place in that list, which is also its entry number in
// the macro image sent with the key map. A key whose macro no longer exists
// (number not below the macro count) is written with its default assignment.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace protocol {

inline constexpr uint8_t kMacroTypeA = 0x70;
inline constexpr uint8_t kMacroTypeB = 0x71;
inline constexpr uint8_t kKeyboardKeyType = 0x20;

struct KeyMapAssignment {
  uint16_t position = 0;                  // key-map position of the key
  std::array<uint8_t, 3> bytes{};         // its assignment: type, value 1, value 2
  std::array<uint8_t, 3> defaultBytes{};  // its default assignment
  // Set by BuildKeyMap when the key fell back to its default.
  bool usedDefault = false;
};

struct BuiltKeyMap {
  std::vector<uint8_t> keyMap;
  std::vector<int> usedMacros;  // macro numbers in order of first use
};

BuiltKeyMap BuildKeyMap(std::span<const uint8_t> deviceKeyMap,
                        std::span<KeyMapAssignment> keys, int macroCount);

constexpr bool IsMacroType(uint8_t type) { return type == kMacroTypeA || type == kMacroTypeB; }

}  // namespace protocol
