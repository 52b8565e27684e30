#pragma once
// Light frames: 3 bytes per LED position (red, green, blue), each scaled by
// the light's brightness as (byte × brightness) >> 8, so full brightness 255
// turns 255 into 254. Positions no light maps to stay 0.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace protocol {

// Four bytes per light: three colour channels and a brightness.
struct LightColour {
  uint8_t c0 = 0, c1 = 0, c2 = 0, brightness = 0;
};

inline constexpr size_t kLightFrameCapacity = 512;
using LightFrame = std::array<uint8_t, kLightFrameCapacity>;

constexpr uint8_t ScaleChannel(uint8_t value, uint8_t brightness) {
  return uint8_t((unsigned(value) * brightness) >> 8);
}

// Stores the scaled colour of one light at 3 × position; positions whose
// bytes would not fit the frame are ignored.
void PutLight(LightFrame& frame, size_t position, const LightColour& colour);

// Builds a frame from lights and their LED positions (nullopt: no position).
void BuildLightFrame(std::span<const LightColour> lights,
                     std::span<const std::optional<uint16_t>> positions, LightFrame& frame);

}  // namespace protocol
