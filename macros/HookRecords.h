#pragma once
// The two records a capture message points to (lParam = the record's
// address, valid only while the receiver runs), in the byte layout receivers
// read them, little-endian:
//  keyboard, 24 bytes: virtual key @0, scan code @4, flags @8 (bit 0 =
//    extended key), time @12, extra information @16 (8 bytes);
//  mouse, 24 bytes: cursor x @0, y @4 (screen), window @8, hit test @12,
//    extra information @16, mouse data @20 (high 16 bits: X button, 1 back,
//    2 forward).

#include <array>
#include <cstdint>
#include <span>

namespace macros {

inline constexpr uint32_t kExtendedFlag = 0x01;

struct KeyboardHookData {
  uint32_t vkCode = 0;
  uint32_t scanCode = 0;
  uint32_t flags = 0;
  uint32_t time = 0;

  bool Extended() const { return flags & kExtendedFlag; }
};

struct MouseHookData {
  int32_t x = 0;
  int32_t y = 0;
  uint32_t mouseData = 0;
};

using KeyboardHookRecord = std::array<uint8_t, 24>;
using MouseHookRecord = std::array<uint8_t, 24>;

KeyboardHookRecord Encode(const KeyboardHookData& data);
KeyboardHookData DecodeKeyboard(std::span<const uint8_t, 24> record);
MouseHookRecord Encode(const MouseHookData& data);
MouseHookData DecodeMouse(std::span<const uint8_t, 24> record);

// A message's lParam carrying a record's address, and back.
inline int64_t RecordParam(const std::array<uint8_t, 24>& record) {
  return int64_t(reinterpret_cast<intptr_t>(record.data()));
}
inline std::span<const uint8_t, 24> RecordAt(int64_t lParam) {
  return std::span<const uint8_t, 24>(reinterpret_cast<const uint8_t*>(intptr_t(lParam)), 24);
}

}  // namespace macros
