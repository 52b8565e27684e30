#pragma once
// The keyboard's own light effects: its light geometry (columns, bands, key
// order, paths), what happens when a mode starts, each mode's step and the
// ripple rows several modes share. Pure steps over the light engine's state:
// no locks, no I/O, no allocation.

#include <array>
#include <cstdint>
#include <random>
#include <span>

#include "devices/core/LightEngine.h"

namespace devices {

namespace keyboardtables {
inline constexpr size_t kLights = 170;
inline constexpr size_t kColumns = 23;
inline constexpr size_t kRows = 6;
inline constexpr uint8_t kNone = 170;      // no light in the six-row tables
inline constexpr uint8_t kNoneWide = 255;  // no light in the seven-row and sweep tables

using Columns = std::array<std::array<uint8_t, kRows>, kColumns>;
using ColumnsSeven = std::array<std::array<uint8_t, 7>, kColumns>;

const Columns& KeyboardColumns();
const ColumnsSeven& KeyboardColumnsSeven();
const std::array<uint8_t, 139>& InitialTwinklePhases();
const std::array<std::array<uint8_t, 12>, 12>& DiagonalBands();
const std::array<uint8_t, 126>& KeyOrder();
const std::array<uint8_t, 170>& RunningKeySequence();
const std::array<uint8_t, 111>& StarlightPermutation();
const std::array<std::array<uint8_t, 6>, 20>& Sweep();
const std::array<std::array<uint8_t, 2>, 16>& ShowPairs();
const std::array<std::array<uint8_t, 12>, 52>& CometPath();
// True for a light that appears in the key order.
bool InKeyOrder(uint8_t light);
}  // namespace keyboardtables

class KeyboardEffects {
 public:
  using Random = std::minstd_rand;
  static constexpr size_t kRippleRows = 4;
  using RippleRows = std::array<std::array<uint8_t, keyboardtables::kColumns>, kRippleRows>;

  KeyboardEffects(EffectState& effect, ReactiveLevels& reactive, Random& random)
      : effect_(effect), reactive_(reactive), random_(random) {}

  // Phase, ripple counter, levels, hues, trends and ripple rows to zero,
  // then ResetAudio.
  void ClearLightArrays();
  // Sets every drop latch of the audio drawing with falling bars.
  void ResetAudio() { dropLatches_.fill(1); }
  std::array<int32_t, 25>& DropLatches() { return dropLatches_; }
  // Hues spread over the wheel in steps of 33.
  void SpreadHues();
  // A key went down: kind 1 seeds the ripple rows at the light's column and row.
  void KeyPressed(uint8_t light, int kind);
  void LightRippleRows(const profiles::LightInfoRecord& s);
  void AdvanceRippleRows();
  void SlideRippleRows();

  // The mode in `s` starts: the arrays are cleared and the mode prepared.
  // Mode 20 takes the custom colours set before.
  void StartMode(const profiles::LightInfoRecord& s);
  // One step of the keyboard's own mode `s.selectItem` over `lights`; false
  // for a mode without a step of its own (nothing is written then).
  bool Step(const profiles::LightInfoRecord& s, std::span<LightColour> lights);

  // Mode 20's colours, one per light (the selected custom colour group).
  void SetCustomColours(std::span<const std::array<uint8_t, 3>> colours);

  RippleRows& Ripple() { return ripple_; }
  const RippleRows& Ripple() const { return ripple_; }
  uint8_t RippleCounter() const { return rippleCounter_; }
  void SetRippleCounter(uint8_t v) { rippleCounter_ = v; }
  std::array<uint8_t, keyboardtables::kLights>& TwinklePhase() { return twinklePhase_; }

 private:
  uint8_t RandomHue();
  LightColour ByLevel(const profiles::LightInfoRecord& s, size_t light) const;
  void PaintAllByLevel(const profiles::LightInfoRecord& s, std::span<LightColour> lights, int decayMode);
  void PaintKeyOrderByLevel(const profiles::LightInfoRecord& s, std::span<LightColour> lights, int decayMode);
  uint8_t RippleColumn(size_t column) const;
  void OrIntoColumn(size_t column, uint8_t bits);

  void ColumnWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights, bool second);
  void RowWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void KeySequenceWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void ColumnBreathing(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void StaticOrRainbow(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void DiagonalWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void PerKeyCycle(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void Twinkle(const profiles::LightInfoRecord& s, std::span<LightColour> lights, bool levelAsPhase);
  void Starlight(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void RunningKey(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void Comet(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void FixedWheel(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void CustomColours(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void RiseAndFall(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void BouncingWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void SweepingWave(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  void LightShow(const profiles::LightInfoRecord& s, std::span<LightColour> lights);

  EffectState& effect_;
  ReactiveLevels& reactive_;
  Random& random_;
  RippleRows ripple_{};
  uint8_t rippleCounter_ = 0;
  std::array<uint8_t, keyboardtables::kLights> twinklePhase_{};
  std::array<std::array<uint8_t, 3>, keyboardtables::kLights> custom_{};
  std::array<int32_t, 25> dropLatches_{};  // one per column of the audio levels
};

}  // namespace devices
