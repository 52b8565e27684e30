#include "devices/core/KeyboardEffects.h"

#include <algorithm>

namespace devices {
namespace {

using namespace lighttables;
using namespace keyboardtables;
using profiles::LightInfoRecord;

constexpr uint8_t kRisingTrend = 1;
constexpr uint8_t kFallingTrend = 2;
constexpr uint8_t kRunningKeyLevel = 254;
constexpr size_t kStarsPerStep = 6;
constexpr uint32_t kStarlightChoices = 104;
constexpr uint8_t kCometPositions = 52;
constexpr uint8_t kTopBit = 0x01;
constexpr uint8_t kSeventhRowBit = 0x40;
constexpr size_t kBounceColumn = 9;
constexpr size_t kSweepStartColumn = 1;
constexpr size_t kSweepEndColumn = 22;
constexpr size_t kShowLastSweepRow = 19;
constexpr uint8_t kShowPairSteps = 31;
constexpr uint8_t kShowHoldLight = 72;
constexpr uint8_t kShowRippleLight = 52;
constexpr uint8_t kShowEndLight = 124;

std::array<uint8_t, 3> Single(const LightInfoRecord& s) { return {s.red, s.green, s.blue}; }

LightColour Paint(const std::array<uint8_t, 3>& rgb, unsigned brightness) {
  return {rgb[0], rgb[1], rgb[2], uint8_t(brightness)};
}

unsigned LevelBrightness(const LightInfoRecord& s) { return kBrightness[Level5(s.light)]; }

void Put(std::span<LightColour> lights, uint8_t light, LightColour c) {
  if (light < lights.size()) lights[light] = c;
}

// Advances a wheel index by one, back to 0 past the wheel's end.
uint8_t NextHue(uint8_t hue, int step) {
  const int next = hue + step;
  return next > kWheelPeriod - 1 ? 0 : uint8_t(next);
}

}  // namespace

uint8_t KeyboardEffects::RandomHue() { return uint8_t(random_() % kWheelPeriod); }

void KeyboardEffects::ClearLightArrays() {
  effect_.phase = 0;
  rippleCounter_ = 0;
  reactive_.level.fill(0);
  reactive_.hue.fill(0);
  reactive_.trend.fill(0);
  for (auto& row : ripple_) row.fill(0);
  ResetAudio();
}

void KeyboardEffects::SpreadHues() {
  int h = 0;
  for (uint8_t& hue : reactive_.hue) {
    h += 33;
    if (h > kWheelPeriod) h -= kWheelPeriod;
    hue = uint8_t(h);
  }
}

void KeyboardEffects::KeyPressed(uint8_t light, int kind) {
  if (kind != 1) return;
  for (size_t c = 0; c < kColumns; ++c)
    for (size_t r = 0; r < kRows; ++r)
      if (KeyboardColumns()[c][r] == light) {
        for (auto& row : ripple_) row[c] |= uint8_t(1u << r);
        return;
      }
}

void KeyboardEffects::LightRippleRows(const LightInfoRecord& s) {
  for (size_t c = 0; c < kColumns; ++c) {
    const uint8_t bits = RippleColumn(c);
    for (size_t r = 0; r < kRows; ++r) {
      const uint8_t light = KeyboardColumns()[c][r];
      if (!(bits & (1u << r)) || light >= kLights) continue;
      reactive_.level[light] = 255;
      if (s.multiColor) reactive_.hue[light] = RandomHue();
    }
  }
}

void KeyboardEffects::AdvanceRippleRows() {
  const RippleRows old = ripple_;
  const auto at = [](const std::array<uint8_t, kColumns>& row, ptrdiff_t c) -> unsigned {
    return c < 0 || c >= ptrdiff_t(kColumns) ? 0u : row[size_t(c)];
  };
  for (ptrdiff_t c = 0; c < ptrdiff_t(kColumns); ++c) {
    const size_t i = size_t(c);
    ripple_[0][i] = uint8_t((old[0][i] >> 1) | at(old[0], c + 1));
    ripple_[3][i] = uint8_t((unsigned(old[3][i]) << 1) | at(old[3], c + 1));
    ripple_[1][i] = uint8_t((old[1][i] >> 1) | at(old[1], c - 1));
    ripple_[2][i] = uint8_t((unsigned(old[2][i]) << 1) | at(old[2], c - 1));
  }
}

void KeyboardEffects::SlideRippleRows() {
  auto& up = ripple_[1];
  auto& down = ripple_[3];
  std::copy(down.begin() + 1, down.end(), down.begin());
  down[kColumns - 1] = 0;
  std::copy_backward(up.begin(), up.end() - 1, up.end());
  up[0] = 0;
  ripple_[0].fill(0);
  ripple_[2].fill(0);
}

uint8_t KeyboardEffects::RippleColumn(size_t column) const {
  return uint8_t(ripple_[0][column] | ripple_[1][column] | ripple_[2][column] | ripple_[3][column]);
}

void KeyboardEffects::OrIntoColumn(size_t column, uint8_t bits) {
  for (auto& row : ripple_) row[column] |= bits;
}

void KeyboardEffects::SetCustomColours(std::span<const std::array<uint8_t, 3>> colours) {
  custom_.fill({});
  std::copy_n(colours.begin(), std::min(colours.size(), custom_.size()), custom_.begin());
}

void KeyboardEffects::StartMode(const LightInfoRecord& s) {
  ClearLightArrays();
  switch (s.selectItem) {
    case 13: return OrIntoColumn(kBounceColumn, kSeventhRowBit);
    case 16: return OrIntoColumn(kSweepStartColumn, kTopBit);
    case 15:
      for (size_t c = 0; c < kColumns; ++c)
        for (size_t r = 0; r < 7; ++r) {
          const uint8_t light = KeyboardColumnsSeven()[c][r];
          if (light >= kLights) continue;
          reactive_.level[light] = InitialTwinklePhases()[6 * c + r];
          reactive_.hue[light] = uint8_t(7 * c);
        }
      return;
    case 22:
      for (size_t c = 0; c < kColumns; ++c) {
        uint8_t v = uint8_t(192 - 8 * c);
        for (size_t r = 0; r < 7; ++r) {
          v = uint8_t(v - 35);
          if (v >= 192) v = uint8_t(v - 63);
          const uint8_t light = KeyboardColumnsSeven()[c][r];
          if (light >= kLights) continue;
          twinklePhase_[light] = v;
          reactive_.hue[light] = uint8_t(7 * c);
        }
      }
      return;
    default:  // 11, 20 (its colours are set by the device) and every other mode
      return SpreadHues();
  }
}

bool KeyboardEffects::Step(const LightInfoRecord& s, std::span<LightColour> lights) {
  switch (s.selectItem) {
    case 1: ColumnWave(s, lights, false); return true;
    case 2: ColumnWave(s, lights, true); return true;
    case 3: KeySequenceWave(s, lights); return true;
    case 5: ColumnBreathing(s, lights); return true;
    case 6: StaticOrRainbow(s, lights); return true;
    case 7:
    case 25: RiseAndFall(s, lights); return true;
    case 8:
      LightRippleRows(s);
      AdvanceRippleRows();
      for (size_t i = 0; i < kLights; ++i) {
        reactive_.Decay(i, 8);
        reactive_.hue[i] = uint8_t(reactive_.hue[i] + 7 >= kWheelPeriod ? 0 : reactive_.hue[i] + 7);
        Put(lights, uint8_t(i), ByLevel(s, i));
      }
      return true;
    case 9:
      LightRippleRows(s);
      SlideRippleRows();
      PaintAllByLevel(s, lights, 9);
      return true;
    case 10: Starlight(s, lights); return true;
    case 11: PerKeyCycle(s, lights); return true;
    case 12: RowWave(s, lights); return true;
    case 13: BouncingWave(s, lights); return true;
    case 14: LightShow(s, lights); return true;
    case 15: Twinkle(s, lights, true); return true;
    case 16: SweepingWave(s, lights); return true;
    case 17: FixedWheel(s, lights); return true;
    case 18: DiagonalWave(s, lights); return true;
    case 20: CustomColours(s, lights); return true;
    case 21: RunningKey(s, lights); return true;
    case 22: Twinkle(s, lights, false); return true;
    case 24: Comet(s, lights); return true;
    default: return false;
  }
}

LightColour KeyboardEffects::ByLevel(const LightInfoRecord& s, size_t light) const {
  const auto rgb = s.multiColor ? ColourWheel()[reactive_.hue[light]] : Single(s);
  return Paint(rgb, (LevelBrightness(s) * reactive_.level[light]) >> 8);
}

void KeyboardEffects::PaintAllByLevel(const LightInfoRecord& s, std::span<LightColour> lights, int decayMode) {
  for (size_t i = 0; i < kLights; ++i) {
    reactive_.Decay(i, decayMode);
    Put(lights, uint8_t(i), ByLevel(s, i));
  }
}

void KeyboardEffects::PaintKeyOrderByLevel(const LightInfoRecord& s, std::span<LightColour> lights,
                                           int decayMode) {
  for (uint8_t light : KeyOrder()) {
    if (light >= kLights) continue;
    reactive_.Decay(light, decayMode);
    Put(lights, light, ByLevel(s, light));
  }
}

void KeyboardEffects::ColumnWave(const LightInfoRecord& s, std::span<LightColour> lights, bool second) {
  const bool wheel = s.multiColor != 0;
  const unsigned level = LevelBrightness(s);
  effect_.phase = StepPhase(s.fx != 0, wheel ? kWheelPeriod : kShortCurvePeriod, effect_.phase, 1);
  for (size_t c = 0; c < kColumns; ++c) {
    LightColour colour;
    if (wheel) {
      const size_t at = second ? effect_.phase + 2 * c : effect_.phase + 1 + 7 * c;
      colour = Paint(ColourWheel()[at % kWheelPeriod], level);
    } else if (second) {
      colour = Paint(Single(s), (level * TwinkleCurve()[(effect_.phase + c) % kShortCurvePeriod]) >> 8);
    } else {
      colour = Paint(Single(s), (level * ShortBreathingCurve()[(effect_.phase + 1 + 7 * c) % kShortCurvePeriod]) >> 8);
    }
    for (uint8_t light : KeyboardColumns()[c]) Put(lights, light, colour);
  }
}

void KeyboardEffects::RowWave(const LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  const unsigned level = LevelBrightness(s);
  for (size_t r = 0; r < kRows; ++r) {
    const LightColour colour = Paint(ColourWheel()[(effect_.phase + 1 + 24 * r) % kWheelPeriod], level);
    for (const auto& column : KeyboardColumns()) Put(lights, column[r], colour);
  }
}

void KeyboardEffects::KeySequenceWave(const LightInfoRecord& s, std::span<LightColour> lights) {
  const bool wheel = s.multiColor != 0;
  const unsigned level = LevelBrightness(s);
  effect_.phase = StepPhase(s.fx != 0, wheel ? kWheelPeriod : kShortCurvePeriod, effect_.phase, 1);
  for (size_t n = 0; n < KeyOrder().size(); ++n) {
    const size_t at = effect_.phase + 5 * n;
    const LightColour colour = wheel ? Paint(ColourWheel()[at % kWheelPeriod], level)
                                     : Paint(Single(s), (level * ShortBreathingCurve()[at % kShortCurvePeriod]) >> 8);
    Put(lights, KeyOrder()[n], colour);
  }
}

void KeyboardEffects::ColumnBreathing(const LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = effect_.phase + 1 > kBreathingPeriod - 1 ? 0 : uint8_t(effect_.phase + 1);
  const unsigned brightness = (unsigned(BreathingCurve()[effect_.phase]) * LevelBrightness(s)) >> 8;
  for (size_t c = 0; c < kColumns; ++c) {
    const LightColour colour = Paint(s.multiColor ? ColourWheel()[7 * c] : Single(s), brightness);
    for (uint8_t light : KeyboardColumns()[c]) Put(lights, light, colour);
  }
}

void KeyboardEffects::StaticOrRainbow(const LightInfoRecord& s, std::span<LightColour> lights) {
  const unsigned level = LevelBrightness(s);
  std::fill(lights.begin(), lights.end(), Paint(Single(s), level));
  if (!s.multiColor) return;
  for (size_t b = 0; b < DiagonalBands().size(); ++b)
    for (uint8_t light : DiagonalBands()[b])
      if (InKeyOrder(light)) Put(lights, light, Paint(ColourWheel()[138 - 12 * b], level));
}

void KeyboardEffects::DiagonalWave(const LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  const unsigned level = LevelBrightness(s);
  for (size_t b = 0; b < DiagonalBands().size(); ++b) {
    const LightColour colour = Paint(ColourWheel()[(effect_.phase + 7 * (b + 1)) % kWheelPeriod], level);
    for (uint8_t light : DiagonalBands()[b])
      if (InKeyOrder(light)) Put(lights, light, colour);
  }
}

void KeyboardEffects::PerKeyCycle(const LightInfoRecord& s, std::span<LightColour> lights) {
  const unsigned level = LevelBrightness(s);
  for (size_t i = 0; i < kLights; ++i) {
    reactive_.hue[i] = NextHue(reactive_.hue[i], 1);
    Put(lights, uint8_t(i), Paint(ColourWheel()[reactive_.hue[i]], level));
  }
}

void KeyboardEffects::Twinkle(const LightInfoRecord& s, std::span<LightColour> lights, bool levelAsPhase) {
  const unsigned level = LevelBrightness(s);
  for (uint8_t light : KeyOrder()) {
    if (light >= kLights) continue;
    uint8_t& phase = levelAsPhase ? reactive_.level[light] : twinklePhase_[light];
    const int next = phase + (levelAsPhase ? 2 : 1);
    if (next > kWheelPeriod - 1) {
      phase = 0;
      reactive_.hue[light] = RandomHue();
    } else {
      phase = uint8_t(next);
    }
    const auto rgb = s.multiColor ? ColourWheel()[reactive_.hue[light]] : Single(s);
    Put(lights, light, Paint(rgb, (level * TwinkleCurve()[phase]) >> 8));
  }
}

void KeyboardEffects::Starlight(const LightInfoRecord& s, std::span<LightColour> lights) {
  for (size_t n = 0; n < kStarsPerStep; ++n) {
    const uint8_t light = KeyOrder()[StarlightPermutation()[random_() % kStarlightChoices]];
    if (light >= kLights) continue;
    reactive_.hue[light] = RandomHue();
    reactive_.level[light] = 255;
  }
  PaintAllByLevel(s, lights, 10);
}

void KeyboardEffects::RunningKey(const LightInfoRecord& s, std::span<LightColour> lights) {
  uint8_t& position = effect_.phase;
  const auto light = [&] {
    const uint8_t l = RunningKeySequence()[position];
    if (l < kLights) reactive_.level[l] = kRunningKeyLevel;
  };
  if (s.fx == 0) {
    if (position == 0) {
      position = uint8_t(kLights);
    } else {
      if (position < kLights) light();
      --position;
    }
  } else if (position < kLights) {
    light();
    ++position;
  } else {
    position = 0;
  }
  PaintKeyOrderByLevel(s, lights, 21);
}

void KeyboardEffects::Comet(const LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = StepPhase(s.fx != 0, kCometPositions, effect_.phase, 1);
  for (uint8_t light : CometPath()[effect_.phase]) {
    if (light >= kLights) continue;
    reactive_.level[light] = 255;
    reactive_.hue[light] = 0;
  }
  const unsigned level = LevelBrightness(s);
  for (size_t i = 0; i < kLights; ++i) {
    uint8_t& v = reactive_.level[i];
    v = v > 5 ? uint8_t(v - 5) : 0;
    uint8_t& hue = reactive_.hue[i];
    hue = hue > 252 ? 255 : uint8_t(hue + 3);
    const LightColour colour = s.multiColor ? Paint(ColourWheel()[hue], level) : Paint(Single(s), (level * v) >> 8);
    Put(lights, uint8_t(i), colour);
  }
}

void KeyboardEffects::FixedWheel(const LightInfoRecord& s, std::span<LightColour> lights) {
  const uint8_t entry = s.zzccLedMode == 1 ? 25 : s.zzccLedMode == 2 ? 70 : s.zzccLedMode == 3 ? 95 : 174;
  std::fill(lights.begin(), lights.end(), Paint(ColourWheel()[entry], LevelBrightness(s)));
}

void KeyboardEffects::CustomColours(const LightInfoRecord& s, std::span<LightColour> lights) {
  const unsigned level = LevelBrightness(s);
  for (size_t i = 0; i < lights.size() && i < kLights; ++i) lights[i] = Paint(custom_[i], level);
}

void KeyboardEffects::RiseAndFall(const LightInfoRecord& s, std::span<LightColour> lights) {
  for (size_t i = 0; i < kLights; ++i) {
    uint8_t& v = reactive_.level[i];
    if (reactive_.trend[i] == kRisingTrend) v = v >= 240 ? 255 : uint8_t(v + 15);
    else if (reactive_.trend[i] == kFallingTrend) v = v <= 5 ? 0 : uint8_t(v - 5);
    Put(lights, uint8_t(i), ByLevel(s, i));
  }
}

void KeyboardEffects::BouncingWave(const LightInfoRecord& s, std::span<LightColour> lights) {
  const uint8_t bits = RippleColumn(kBounceColumn);
  if (bits == kTopBit) OrIntoColumn(kBounceColumn, kTopBit);
  else if (bits == kSeventhRowBit) OrIntoColumn(kBounceColumn, kSeventhRowBit);
  if (rippleCounter_ > 1) {
    rippleCounter_ = 0;
    LightRippleRows(s);
    AdvanceRippleRows();
  }
  ++rippleCounter_;
  PaintAllByLevel(s, lights, 13);
}

void KeyboardEffects::SweepingWave(const LightInfoRecord& s, std::span<LightColour> lights) {
  if (RippleColumn(kSweepStartColumn) == kTopBit) OrIntoColumn(kSweepStartColumn, kTopBit);
  if (RippleColumn(kSweepEndColumn) == kSeventhRowBit) OrIntoColumn(kSweepEndColumn, kSeventhRowBit);
  LightRippleRows(s);
  AdvanceRippleRows();
  PaintKeyOrderByLevel(s, lights, 16);
}

void KeyboardEffects::LightShow(const LightInfoRecord& s, std::span<LightColour> lights) {
  uint8_t& position = effect_.phase;
  const auto raise = [&](uint8_t light) {
    if (light >= kLights) return;
    reactive_.level[light] = 255;
    if (s.multiColor) reactive_.hue[light] = RandomHue();
  };
  switch (rippleCounter_) {
    case 0:
      for (uint8_t light : Sweep()[std::min<size_t>(position, kShowLastSweepRow)]) raise(light);
      if (++position > kShowLastSweepRow) {
        position = 0;
        rippleCounter_ = 1;
      }
      break;
    case 1:
      if (position < kShowPairSteps) {
        for (uint8_t light : ShowPairs()[position % ShowPairs().size()]) raise(light);
        ++position;
      } else if (reactive_.level[kShowHoldLight] == 0) {
        rippleCounter_ = 2;
        position = 0;
      }
      break;
    case 2:
      KeyPressed(kShowRippleLight, 1);
      rippleCounter_ = 3;
      break;
    case 3:
      LightRippleRows(s);
      AdvanceRippleRows();
      if (reactive_.level[kShowEndLight] != 0) rippleCounter_ = 4;
      break;
    default:
      if (reactive_.level[kShowEndLight] == 0) {
        rippleCounter_ = 0;
        position = 0;
      }
      break;
  }
  PaintAllByLevel(s, lights, 14);
}

}  // namespace devices
