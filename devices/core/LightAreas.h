#pragma once
// Light areas of the keyboard and the pad: a light whose area entry is present
// runs the entry's own mode on that light alone, over whatever the main effect
// drew. The per-light phases, counters and colour indexes live here, one set
// per model, and start again whenever the areas are rebuilt.

#include <array>
#include <cstdint>
#include <span>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"

namespace devices {

class LightAreas {
 public:
  static constexpr size_t kLights = 170;

  void Reset();
  // One loop pass over the lights that have an entry (entry i for light i).
  void Run(std::span<const profiles::LightModeEntry> entries, std::span<protocol::LightColour> lights,
           uint32_t nowMs);

 private:
  void RunLight(size_t i, const profiles::LightModeEntry& e, protocol::LightColour& light, uint32_t nowMs);

  std::array<uint8_t, kLights> phase_{};
  std::array<uint8_t, kLights> counter_{};
  std::array<uint8_t, kLights> colourIndex_{};
  std::array<uint8_t, kLights> blinkOn_{};
  std::array<uint32_t, kLights> blinkTime_{};
};

}  // namespace devices
