#include "devices/core/LightAreas.h"

#include <algorithm>

#include "devices/core/LightEngine.h"

namespace devices {
namespace {
using namespace lighttables;
using protocol::LightColour;

enum AreaMode : uint8_t { kBreathing = 0, kStatic = 1, kBlink = 2, kColourCycle = 3, kOff = 4 };
}  // namespace

void LightAreas::Reset() {
  phase_.fill(0);
  counter_.fill(0);
  colourIndex_.fill(0);
  blinkOn_.fill(0);
  blinkTime_.fill(0);
}

void LightAreas::Run(std::span<const profiles::LightModeEntry> entries, std::span<LightColour> lights,
                     uint32_t nowMs) {
  const size_t n = std::min({entries.size(), lights.size(), kLights});
  for (size_t i = 0; i < n; ++i)
    if (entries[i].present == 1) RunLight(i, entries[i], lights[i], nowMs);
}

void LightAreas::RunLight(size_t i, const profiles::LightModeEntry& e, LightColour& light, uint32_t nowMs) {
  const unsigned level = kBrightness[Level5(e.brightness)];
  const uint8_t period = kBlinkPeriod[Level5(e.speed)];
  const auto colour = [&](bool wheel) -> std::array<uint8_t, 3> {
    return wheel ? ColourWheel()[colourIndex_[i]] : std::array<uint8_t, 3>{e.red, e.green, e.blue};
  };
  const auto paint = [&](const std::array<uint8_t, 3>& rgb, unsigned brightness) {
    light = {rgb[0], rgb[1], rgb[2], uint8_t(brightness)};
  };
  switch (e.mode) {
    case kBreathing: {
      const int next = phase_[i] + int(Level5(e.speed)) + 4;
      if (next > 127) {
        phase_[i] = 0;
        colourIndex_[i] = colourIndex_[i] + 1 > 192 ? 191 : uint8_t(colourIndex_[i] + 1);
      } else {
        phase_[i] = uint8_t(next);
      }
      return paint(colour(e.multiColor != 0), (BreathingCurve()[phase_[i]] * level) >> 8);
    }
    case kStatic:
      return paint(colour(false), level);
    case kBlink:
      if (nowMs - blinkTime_[i] >= uint32_t(period) * kBlinkUnitMs) {
        blinkOn_[i] = !blinkOn_[i];
        blinkTime_[i] = nowMs;
        colourIndex_[i] = colourIndex_[i] + 14 > 191 ? 0 : uint8_t(colourIndex_[i] + 14);
      }
      if (!blinkOn_[i]) return paint({0, 0, 0}, 0);
      return paint(colour(e.multiColor != 0), level);
    case kColourCycle:
      if (++counter_[i] >= period) {
        counter_[i] = 0;
        colourIndex_[i] = colourIndex_[i] + 1 > 191 ? 0 : uint8_t(colourIndex_[i] + 1);
      }
      return paint(colour(true), level);
    case kOff:
      return paint({0, 0, 0}, 0);
    default:
      return;
  }
}

}  // namespace devices
