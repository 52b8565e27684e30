#pragma once
// The headset's lights without widgets: its own light steps (wave, pair
// chase, ring chase), the dispatch of a light thread turn, and the twelve
// 17-byte output reports that carry the thirteen colours to the headset.
//
// Light report, 17 bytes:
//   0 report id 0xFF   1 target 0x22 or 0x44 (every group goes to both)
//   2 group: 0xAA/0xAB/0xAC component 0/1/2 of lights 0..6,
//            0xAD/0xAE/0xAF component 0/1/2 of lights 7..12
//   3 0   4..10 the values in light order (six for lights 7..12)   11..16 0
// A value is component × brightness / 256, at most 247.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "devices/core/CustomEffect.h"
#include "devices/core/LightAreas.h"
#include "devices/core/LightEngine.h"
#include "profiles/ProfileRecords.h"

namespace headset {

using devices::LightColour;

inline constexpr int kHeadsetLightCount = 13;
inline constexpr size_t kLightReportSize = 17;
inline constexpr size_t kLightReportCount = 12;
inline constexpr uint8_t kLightReportId = 0xFF;
inline constexpr uint8_t kLightValueLimit = 247;

namespace lightreport {
inline constexpr size_t kId = 0, kTarget = 1, kGroup = 2, kValues = 4;
}

using LightReport = std::array<uint8_t, kLightReportSize>;

// The reports in send order: (0x22, 0xAA), (0x22, 0xAD), (0x44, 0xAA),
// (0x44, 0xAD), then the same for 0xAB/0xAE and 0xAC/0xAF. Lights beyond
// the span are sent as 0.
std::array<LightReport, kLightReportCount> BuildLightReports(std::span<const LightColour> colours);

// Effect ids of the headset (lightState byte 0).
namespace headseteffect {
inline constexpr uint8_t kWave = 0, kColourCycle = 1, kBreathing = 2, kStatic = 3, kBlink = 4, kCustom = 5,
                         kRingChase = 6, kPairChase = 7, kOff = 8;
}

// One headset's light engine: what a turn of its light thread runs.
class HeadsetLightEngine {
 public:
  HeadsetLightEngine() { SeedRing(); }

  // One counted turn: the effect's step runs when the turn count reaches the
  // threshold of the state's speed (28, 23, 18, 13, 7), and the count
  // restarts. True when the turn drew (a step, the player or an area). A new
  // effect id clears the levels and seeds the ring, so the chases light up. Effect 5 and effects above 8
  // have no step of their own: the custom effect player plays the effect
  // list on every turn instead. Then the light areas run over what was
  // drawn (every turn while one is present).
  bool Turn(const profiles::LightInfoRecord& state, std::span<LightColour> lights, uint32_t nowMs);

  // The custom effect's steps (any thread; taken under listLock_).
  void SetEffectSteps(std::vector<profiles::LightEffectStep> steps);
  // One entry per light; rebuilding the areas restarts their per-light state.
  void SetAreas(std::vector<profiles::LightModeEntry> entries);

  void Wave(const profiles::LightInfoRecord& state, std::span<LightColour> lights);
  void PairChase(const profiles::LightInfoRecord& state, std::span<LightColour> lights);
  void RingChase(const profiles::LightInfoRecord& state, std::span<LightColour> lights);

  devices::ReactiveLevels& Reactive() { return reactive_; }
  devices::EffectState& Effect() { return effect_; }

 private:
  // The built-in step of `state`'s effect when its turn count is reached.
  bool Step(const profiles::LightInfoRecord& state, std::span<LightColour> lights, uint32_t nowMs);
  void SeedRing();
  // Level 255 for every light below the light count whose ring entry is set.
  void Trigger(size_t lightCount);
  void RotateRing(size_t entries, bool towardsHigher);
  // The chases' colour of one member: the state's colour, or with
  // multi-colour the next wheel colour unless the chase's lead light still
  // glows (then `kept`).
  std::array<uint8_t, 3> ChaseColour(const profiles::LightInfoRecord& state, std::span<const LightColour> lights,
                                     const LightColour& kept);

  devices::EffectState effect_;
  devices::ReactiveLevels reactive_;
  devices::CustomEffectPlayer player_;
  devices::LightAreas areas_;
  // effectSteps_ and areaEntries_ between the UI thread and the light thread.
  std::mutex listLock_;
  std::vector<profiles::LightEffectStep> effectSteps_;
  std::vector<profiles::LightModeEntry> areaEntries_;
  int turns_ = 0;
  bool secondCall_ = false;
  int lastEffect_ = -1;
};

}  // namespace headset
