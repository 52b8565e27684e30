#pragma once
// Event images: the macro image and the recoil image the device plays back.
//
// Layout (16-bit values little-endian):
//   0  magic 0x55AA          2  total length       4  entry count N
//   6  10 reserved bytes     16 offset table: N offsets from the image start
//   16 + 2N  entry records back to back: event count E, 2 reserved bytes,
//            then E events of 4 bytes (delay LE16, type | 0x80 when pressed,
//            button).
// Total length = 16 + 6N + 4 × (all events).

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace protocol {

struct PackedMacroEvent {
  uint16_t delay = 0;
  uint8_t type = 0;  // bit 7: a press
  uint8_t button = 0;
};

namespace eventimage {
inline constexpr size_t kMagic = 0, kTotal = 2, kCount = 4, kTable = 16;
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kRecordHeader = 4;
inline constexpr size_t kEventSize = 4;
inline constexpr uint16_t kMagicValue = 0x55AA;
inline constexpr uint8_t kPressBit = 0x80;
}  // namespace eventimage

// A "Delay" text as a delay: its leading decimal digits (none: 0); values
// above 65535 are 65535, as the editor shows them, never their low 16 bits.
uint16_t ParseDelay(std::string_view delayText);

// The 4 bytes of one event in an image: delay LE16, type, button.
void PutEvent(std::span<uint8_t, eventimage::kEventSize> out, const PackedMacroEvent& event);

// One event of a macro or recoil file: "Delay" (a decimal string), "Type",
// "Action" ("down" sets the press bit) and "Button", each kept to its width.
PackedMacroEvent PackEvent(std::string_view delayText, int type, std::string_view action,
                           int button);

size_t EventImageSize(std::span<const std::vector<PackedMacroEvent>> entries);

// The image of the entries, in order. Empty when the image would not fit the
// 16-bit length and offsets of its header (more than 65535 bytes): such an
// image cannot be described and is never sent (callers report -1, as for an
// image that cannot be allocated).
inline constexpr size_t kMaxEventImageSize = 0xFFFF;
std::vector<uint8_t> BuildEventImage(std::span<const std::vector<PackedMacroEvent>> entries);

// For a macro image: nothing when it fits `capacity` bytes, else the number of
// events to remove, counted generously: ((size − capacity) / 4) + 1.
std::optional<uint32_t> MacroImageOverflow(size_t imageSize, uint32_t capacity);

// Decodes an image back into its entries (the emulator keeps what it was
// sent); nothing when the image is malformed.
std::optional<std::vector<std::vector<PackedMacroEvent>>> ParseEventImage(
    std::span<const uint8_t> image);

}  // namespace protocol
