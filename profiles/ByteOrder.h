#pragma once
// Little-endian access to profile records. Records are plain byte images; these
// helpers are the only place that assembles or splits multi-byte values.

#include <cstddef>
#include <cstdint>
#include <span>

namespace profiles {

constexpr uint16_t LoadLe16(std::span<const uint8_t> b, size_t at) {
  return uint16_t(b[at] | (b[at + 1] << 8));
}

constexpr uint32_t LoadLe32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
         (uint32_t(b[at + 3]) << 24);
}

constexpr void StoreLe16(std::span<uint8_t> b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

constexpr void StoreLe32(std::span<uint8_t> b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
  b[at + 2] = uint8_t(v >> 16);
  b[at + 3] = uint8_t(v >> 24);
}

}  // namespace profiles
