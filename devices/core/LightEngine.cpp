#include "devices/core/LightEngine.h"

#include <algorithm>

namespace devices {
namespace lighttables {

const std::array<std::array<uint8_t, 3>, 256>& ColourWheel() {
  static const auto wheel = [] {
    constexpr std::array<uint8_t, 32> up{1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                         44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                         140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
    constexpr std::array<uint8_t, 32> down{248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                           114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                           29,  24,  20,  16,  12,  8,   6,   4,   2,   0};
    std::array<std::array<uint8_t, 3>, 256> w{};
    for (int i = 0; i < 32; ++i) {
      w[i] = {255, up[i], 0};
      w[32 + i] = {down[i], 255, 0};
      w[64 + i] = {0, 255, up[i]};
      w[96 + i] = {0, down[i], 255};
      w[128 + i] = {up[i], 0, 255};
      w[160 + i] = {255, 0, down[i]};
    }
    for (int i = 192; i < 256; ++i) w[i] = w[i - 192];
    return w;
  }();
  return wheel;
}

const std::array<uint8_t, 128>& BreathingCurve() {
  static const auto curve = [] {
    constexpr std::array<uint8_t, 64> rise{
        0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
        22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
        77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
        158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
    std::array<uint8_t, 128> c{};
    for (int k = 0; k < 64; ++k) {
      c[k] = rise[k];
      c[64 + k] = rise[63 - k];
    }
    return c;
  }();
  return curve;
}

const std::array<uint8_t, 96>& ShortBreathingCurve() {
  static const auto curve = [] {
    std::array<uint8_t, 96> c{};
    for (size_t i = 0; i < c.size(); ++i) c[i] = BreathingCurve()[16 + i];
    return c;
  }();
  return curve;
}

const std::array<uint8_t, 192>& TwinkleCurve() {
  static const std::array<uint8_t, 192> curve{
      0,   4,   8,   14,  22,  33,  45,  61,  77,  84,  100, 110, 120, 130, 140, 150, 158, 166,
      175, 182, 191, 204, 220, 234, 255, 248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182,
      176, 170, 164, 158, 152, 146, 140, 134, 129, 124, 119, 114, 109, 104, 99,  94,  89,  85,
      81,  77,  73,  69,  65,  61,  57,  53,  49,  45,  42,  39,  36,  33,  30,  27,  24,  22,
      20,  18,  16,  14,  12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1};
  return curve;
}

}  // namespace lighttables

using namespace lighttables;

uint8_t StepPhase(bool increasing, int period, uint8_t phase, int step) {
  if (increasing) {
    const int next = phase + step;
    return next < period ? uint8_t(next) : 0;
  }
  const uint8_t back = uint8_t(phase - step);
  return back < period ? back : uint8_t(period - step);
}

namespace {

uint8_t LevelBrightness(const profiles::LightInfoRecord& s) {
  return kBrightness[Level5(s.light)];
}

uint8_t Period(const profiles::LightInfoRecord& s) {
  return kBlinkPeriod[Level5(s.speed)];
}

void Fill(std::span<LightColour> lights, const std::array<uint8_t, 3>& rgb, uint8_t brightness) {
  for (LightColour& l : lights) l = {rgb[0], rgb[1], rgb[2], brightness};
}

std::array<uint8_t, 3> Single(const profiles::LightInfoRecord& s) { return {s.red, s.green, s.blue}; }

void Breathing(bool fourColour, const profiles::LightInfoRecord& s, EffectState& e,
               std::span<LightColour> lights) {
  e.phase = StepPhase(s.fx != 0, kBreathingPeriod, e.phase, 1);
  if (e.phase == 0) {
    if (fourColour) e.aux[0] = e.aux[0] >= 3 ? 0 : uint8_t(e.aux[0] + 1);
    else e.aux[0] = (e.aux[0] + 16) > 192 ? 0 : uint8_t(e.aux[0] + 16);
  }
  std::array<uint8_t, 3> rgb;
  if (fourColour) rgb = kBasicColours[e.aux[0] & 3];
  else rgb = s.multiColor ? ColourWheel()[e.aux[0]] : Single(s);
  Fill(lights, rgb, uint8_t((unsigned(BreathingCurve()[e.phase & 127]) * LevelBrightness(s)) >> 8));
}

void Blink(bool fourColour, const profiles::LightInfoRecord& s, EffectState& e,
           std::span<LightColour> lights, uint32_t now) {
  if (now - e.blinkTime >= uint32_t(Period(s)) * kBlinkUnitMs) {
    e.aux[2] = e.aux[2] ? 0 : 1;
    e.blinkTime = now;
    if (fourColour) e.phase = e.phase >= 3 ? 0 : uint8_t(e.phase + 1);
    else e.phase = (e.phase + 16) >= kWheelPeriod ? 0 : uint8_t(e.phase + 16);
  }
  if (!e.aux[2]) return Fill(lights, {0, 0, 0}, 0);
  std::array<uint8_t, 3> rgb;
  if (fourColour) rgb = kBasicColours[e.phase & 3];
  else rgb = s.multiColor ? ColourWheel()[e.phase] : Single(s);
  Fill(lights, rgb, LevelBrightness(s));
}

}  // namespace

void RunCommonStep(CommonStep step, const profiles::LightInfoRecord& s, EffectState& e,
                   std::span<LightColour> lights, uint32_t nowMs) {
  switch (step) {
    case CommonStep::Breathing:
      return Breathing(false, s, e, lights);
    case CommonStep::FourColourBreathing:
      return Breathing(true, s, e, lights);
    case CommonStep::Static:
      return Fill(lights, Single(s), LevelBrightness(s));
    case CommonStep::ColourCycle:
      e.phase = StepPhase(s.fx != 0, kWheelPeriod, e.phase, 1);
      return Fill(lights, ColourWheel()[e.phase], LevelBrightness(s));
    case CommonStep::Blink:
      return Blink(false, s, e, lights, nowMs);
    case CommonStep::FourColourBlink:
      return Blink(true, s, e, lights, nowMs);
    case CommonStep::Off:
      return Fill(lights, {0, 0, 0}, 0);
  }
}

void ReactiveLevels::Decay(size_t light, int mode) {
  if (light >= kLights) return;
  const int v = level[light];
  int cut = 0;
  if (mode == 0) {
    cut = v >= 128 ? 40 : v >= 64 ? 30 : v >= 32 ? 15 : v >= 17 ? 8 : v >= 1 ? 1 : 0;
  } else if (mode == 29) {
    cut = v >= 144 ? 45 : v >= 128 ? 40 : v >= 112 ? 35 : v >= 96 ? 30 : v >= 80 ? 25
        : v >= 64 ? 20 : v >= 32 ? 10 : v >= 17 ? 5 : v >= 1 ? 1 : 0;
  } else {
    cut = v >= 128 ? 40 : v >= 64 ? 30 : v >= 32 ? 10 : v >= 17 ? 8 : v >= 1 ? 1 : 0;
  }
  level[light] = uint8_t(std::max(0, v - cut));
}

void ReactiveLevels::TriggerFirstNine() { TriggerFirst(9); }

void ReactiveLevels::TriggerFirst(size_t count) {
  for (size_t i = 0; i < std::min(count, kRing); ++i)
    if (ring[i]) level[i] = 255;
}

void ReactiveLevels::RotateFirst(size_t count, bool towardsHigher) {
  const auto first = ring.begin(), last = ring.begin() + std::ptrdiff_t(std::min(count, kRing));
  if (first == last) return;
  if (towardsHigher) std::rotate(first, last - 1, last);
  else std::rotate(first, first + 1, last);
}

void ReactiveLevels::Clear() {
  level.fill(0);
  ring.fill(0);
}

}  // namespace devices
