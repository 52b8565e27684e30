#pragma once
// What every model's light engine shares: the constant tables, the phase
// arithmetic and the seven common effect steps (breathing, four-colour
// breathing, static, colour cycle, blink, four-colour blink, off), and the
// reactive levels with their ring. Plain arithmetic over at most 170 lights;
// nothing here allocates, locks or touches a widget, so the command-line
// tool and the benchmarks run it as the pages do.

#include <array>
#include <cstdint>
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
// Entries 16 to 111 of the breathing curve.
const std::array<uint8_t, 96>& ShortBreathingCurve();
// 88 entries rising to 255 and falling, then zeros up to 192.
const std::array<uint8_t, 192>& TwinkleCurve();
inline constexpr int kShortCurvePeriod = 96;

// Lights of the mouse's seven segments; kNoLight marks an empty place.
inline constexpr uint8_t kNoLight = 0xFF;
inline constexpr std::array<std::array<uint8_t, 3>, 7> kMouseSegments{{
    {0, 13, kNoLight}, {1, 12, kNoLight}, {2, 11, kNoLight}, {3, 10, kNoLight},
    {4, 9, kNoLight}, {5, 8, kNoLight}, {6, 14, 7}}};
inline constexpr std::array<std::array<uint8_t, 2>, 7> kPadPairs{{
    {1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};

// Levels and speeds index five-entry tables; stored values above 4 (from a
// profile, an effect file or an area) count as 4.
constexpr size_t Level5(uint8_t v) { return v > 4 ? 4 : v; }
}  // namespace lighttables

// The phase of a running effect: forwards it wraps to 0 at `period`,
// backwards it wraps to period − step.
uint8_t StepPhase(bool increasing, int period, uint8_t phase, int step);

// The state the common steps advance. Times are milliseconds of the light
// thread's tick count (tests step it by hand).
struct EffectState {
  uint8_t phase = 0;
  std::array<uint8_t, 3> aux{};  // 0: colour index; 2: blink on/off
  uint32_t blinkTime = 0;
};

enum class CommonStep { Breathing, FourColourBreathing, Static, ColourCycle, Blink, FourColourBlink, Off };

// Runs one step over every light.
void RunCommonStep(CommonStep step, const profiles::LightInfoRecord& state, EffectState& effect,
                   std::span<LightColour> lights, uint32_t nowMs);

// Per-light fading levels of the reactive effects and their 23-entry ring.
struct ReactiveLevels {
  static constexpr size_t kLights = 170;
  static constexpr size_t kRing = 23;
  std::array<uint8_t, kLights> level{};
  std::array<uint8_t, kLights> hue{};    // colour wheel index of each light
  std::array<uint8_t, kLights> trend{};  // 1 rising, 2 falling, 0 neither
  std::array<uint8_t, kRing> ring{};

  void Decay(size_t light, int mode);
  void TriggerFirstNine();  // lights 0..8 whose ring entry is set go to 255
  // Lights below `count` (and below the ring's size) whose entry is set go to 255.
  void TriggerFirst(size_t count);
  void RotateRing(bool towardsHigher) { RotateFirst(kRing, towardsHigher); }
  // Rotates the first `count` ring entries by one place.
  void RotateFirst(size_t count, bool towardsHigher);
  void Clear();  // levels and ring (hue and trend belong to the steps)
};

}  // namespace devices
