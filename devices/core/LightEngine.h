#pragma once
// What every model's light engine shares: the constant tables, the phase
// arithmetic and the seven common effect steps (breathing, four-colour
// breathing, static, colour cycle, blink, four-colour blink, off), and the
// reactive levels with their ring. Plain arithmetic over at most 170 lights;
// nothing here allocates, locks or touches a widget, so the command-line
// tool and the benchmarks run it as the pages do.

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"

namespace devices {

using protocol::LightColour;

namespace lighttables {
inline constexpr std::array<uint8_t, 5> kBrightness{0, 50, 100, 175, 255};
inline constexpr std::array<uint8_t, 5> kBlinkPeriod{28, 23, 18, 13, 7};
inline constexpr std::array<std::array<uint8_t, 3>, 4> kBasicColours{{
    {0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};
inline constexpr uint32_t kBlinkUnitMs = 200;
inline constexpr int kWheelPeriod = 192;
inline constexpr int kBreathingPeriod = 128;

// 256 × 3: six segments of 32 entries, then entries 0..63 again.
const std::array<std::array<uint8_t, 3>, 256>& ColourWheel();
// 128 entries, symmetric around 63/64.
const std::array<uint8_t, 128>& BreathingCurve();
}  // namespace lighttables

// The phase of a running effect: forwards it wraps to 0 at `period`,
// backwards it wraps to period − step.
uint8_t StepPhase(bool increasing, int period, uint8_t phase, int step);

// The state the common steps advance. The clock gives milliseconds (the
// light thread's tick count; tests step it by hand).
struct EffectState {
  uint8_t phase = 0;
  std::array<uint8_t, 3> aux{};  // 0: colour index; 2: blink on/off
  uint32_t blinkTime = 0;
};

using TickClock = std::function<uint32_t()>;

enum class CommonStep { Breathing, FourColourBreathing, Static, ColourCycle, Blink, FourColourBlink, Off };

// Runs one step over every light.
void RunCommonStep(CommonStep step, const profiles::LightInfoRecord& state, EffectState& effect,
                   std::span<LightColour> lights, uint32_t nowMs);

// Per-light fading levels of the reactive effects and their 23-entry ring.
struct ReactiveLevels {
  static constexpr size_t kLights = 170;
  static constexpr size_t kRing = 23;
  std::array<uint8_t, kLights> level{};
  std::array<uint8_t, kRing> ring{};

  void Decay(size_t light, int mode);
  void TriggerFirstNine();  // lights 0..8 whose ring entry is set go to 255
  void RotateRing(bool towardsHigher);
  void Clear();
};

}  // namespace devices
