#include "devices/core/CustomEffect.h"

#include "devices/core/LightEngine.h"

namespace devices {
namespace {

using namespace lighttables;
using protocol::LightColour;

constexpr std::array<uint8_t, 5> kCycleThreshold{5, 4, 3, 2, 1};

void Fill(std::span<LightColour> lights, const std::array<uint8_t, 3>& rgb, unsigned brightness) {
  for (LightColour& l : lights) l = {rgb[0], rgb[1], rgb[2], uint8_t(brightness)};
}

std::array<uint8_t, 3> StepColour(const profiles::LightEffectStep& s) { return {s.red, s.green, s.blue}; }

}  // namespace

void CustomEffectPlayer::Run(std::span<const profiles::LightEffectStep> steps,
                             const profiles::LightInfoRecord& device, std::span<LightColour> lights,
                             uint32_t nowMs) {
  if (steps.empty()) return Fill(lights, {0, 0, 0}, 0);
  if (!started_ || index_ >= steps.size()) {
    // First call, or the list became shorter: the first step begins now.
    started_ = true;
    index_ = 0;
    stepStart_ = nowMs;
  } else if (int64_t(nowMs - stepStart_) >= int64_t(steps[index_].time)) {
    // The next step (or the same one again, in a list of one) begins now.
    index_ = (index_ + 1) % steps.size();
    stepStart_ = nowMs;
    phase_ = 0;
    counter_ = 0;
  }
  Draw(steps[index_], device, lights, nowMs);
}

void CustomEffectPlayer::Draw(const profiles::LightEffectStep& s, const profiles::LightInfoRecord& device,
                              std::span<LightColour> lights, uint32_t nowMs) {
  ++counter_;
  const size_t speed = Level5(s.speed);
  const unsigned level = kBrightness[Level5(s.brightness)];
  const auto advance = [&](uint32_t threshold, int last) {
    if (counter_ < threshold) return;
    counter_ = 0;
    phase_ = phase_ >= last ? 0 : uint8_t(phase_ + 1);
  };
  switch (s.mode) {
    case 0: {  // breathing
      advance(kBlinkPeriod[speed], 127);
      const auto rgb = s.multiColor ? ColourWheel()[0] : StepColour(s);
      return Fill(lights, rgb, (BreathingCurve()[phase_] * level) >> 8);
    }
    case 1:  // static
      advance(kBlinkPeriod[speed], 8);
      return Fill(lights, StepColour(s), level);
    case 2: {  // blink, paced by the device's own speed
      phase_ = phase_ >= 127 ? 0 : uint8_t(phase_ + 1);
      if (nowMs - blinkTime_ >= uint32_t(kBlinkPeriod[Level5(device.speed)]) * kBlinkUnitMs) {
        blinkOn_ = !blinkOn_;
        blinkTime_ = nowMs;
        blinkColour_ = phase_ + 14 > 191 ? 0 : uint8_t(phase_ + 14);
      }
      if (!blinkOn_) return Fill(lights, {0, 0, 0}, 0);
      return Fill(lights, s.multiColor ? ColourWheel()[blinkColour_] : StepColour(s), level);
    }
    case 4: {  // wave
      advance(kBlinkPeriod[speed], 191);
      const int forward = phase_ + 1, backward = 192 - phase_;
      const int v = s.direction == 0 ? (forward > 191 ? 0 : forward) : (backward > 191 ? 191 : backward);
      for (size_t i = 0; i < lights.size(); ++i) {
        if (s.multiColor) {
          const auto& rgb = ColourWheel()[(v + 12 * i) % kWheelPeriod];
          lights[i] = {rgb[0], rgb[1], rgb[2], uint8_t(level)};
        } else {
          const unsigned b = (level * ShortBreathingCurve()[(v + 12 * (i + 1)) % kShortCurvePeriod]) >> 8;
          lights[i] = {s.red, s.green, s.blue, uint8_t(b)};
        }
      }
      return;
    }
    case 5:  // colour cycle
      advance(kCycleThreshold[speed], 191);
      return Fill(lights, ColourWheel()[phase_], level);
    default:  // no drawing for other step modes: the lights keep what they show
      return;
  }
}

}  // namespace devices
