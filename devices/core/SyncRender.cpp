#include "devices/core/SyncRender.h"

#include "devices/core/LightEngine.h"

namespace devices::sync {
namespace {

using protocol::LightColour;
namespace lt = lighttables;

LightColour Wheel(uint8_t index, uint8_t brightness) {
  const auto& c = lt::ColourWheel()[index];
  return {c[0], c[1], c[2], brightness};
}

uint8_t LevelValue(uint8_t level) { return lt::kBrightness[lt::Level5(level)]; }

}  // namespace

std::optional<Column> ColumnOfKind(int kind) {
  switch (kind) {
    case 1:
    case 9:
      return Column::Keyboard;
    case 2:
    case 6:
      return Column::Mouse;
    case 3:
    case 7:
      return Column::PadOrHeadset;
    default:
      return std::nullopt;
  }
}

std::optional<Effect> EffectOfMode(Column column, uint8_t mode) {
  for (uint8_t e = 0; e < kEffectCount; ++e)
    if (kModeTable[e][size_t(column)] == mode) return Effect(e);
  return std::nullopt;
}

uint8_t ModeOfEffect(Column column, Effect effect) {
  return kModeTable[size_t(effect) % kEffectCount][size_t(column)];
}

uint8_t SpeedThreshold(uint8_t speed) { return speed < lt::kBlinkPeriod.size() ? lt::kBlinkPeriod[speed] : 0; }

Settings SettingsOf(uint8_t effect, const profiles::LightInfoRecord& r) {
  return {effect, r.light, r.speed, r.fx, r.multiColor, r.red, r.green, r.blue};
}

Settings SharedSettings::Load() const {
  const uint64_t w = word_.load(std::memory_order_acquire);
  auto b = [w](int i) { return uint8_t(w >> (8 * i)); };
  return {b(0), b(1), b(2), b(3), b(4), b(5), b(6), b(7)};
}

void SharedSettings::Store(const Settings& s) {
  const uint8_t bytes[] = {s.effect, s.brightness, s.speed, s.direction, s.multiColour, s.red, s.green, s.blue};
  uint64_t w = 0;
  for (int i = 0; i < 8; ++i) w |= uint64_t(bytes[i]) << (8 * i);
  word_.store(w, std::memory_order_release);
}

void Renderer::Begin(uint32_t nowMs) {
  lastTick_ = nowMs;
  counter_ = 0;
}

std::optional<LightColour> Renderer::Pass(uint32_t nowMs, const Settings& settings) {
  if (nowMs - lastTick_ > 1) {
    lastTick_ = nowMs;
    ++counter_;
  }
  if (settings.effect >= kEffectCount || counter_ < SpeedThreshold(settings.speed)) return std::nullopt;
  counter_ = 0;
  return Frame(nowMs, settings);
}

std::optional<LightColour> Renderer::Frame(uint32_t nowMs, const Settings& s) {
  const LightColour single{s.red, s.green, s.blue, LevelValue(s.brightness)};
  switch (Effect(s.effect)) {
    case Effect::Breathing: {
      breathingPhase_ = StepPhase(s.direction != 0, lt::kBreathingPeriod, breathingPhase_, 1);
      LightColour c = single;
      if (s.multiColour) {
        if (breathingPhase_ <= 1) breathingColour_ = StepPhase(true, lt::kWheelPeriod, breathingColour_, 16);
        c = Wheel(breathingColour_, 0);
      }
      c.brightness = uint8_t((unsigned(LevelValue(s.brightness)) * lt::BreathingCurve()[breathingPhase_]) >> 8);
      return c;
    }
    case Effect::Static:
      return single;
    case Effect::Blink: {
      if (nowMs - lastToggle_ >= uint32_t(SpeedThreshold(s.speed)) * lt::kBlinkUnitMs) {
        blinkOn_ = !blinkOn_;
        lastToggle_ = nowMs;
        blinkColour_ = uint8_t(blinkColour_ + 14);
        if (blinkColour_ >= lt::kWheelPeriod) blinkColour_ = 0;
      }
      if (!blinkOn_) return LightColour{};
      return s.multiColour ? Wheel(blinkColour_, single.brightness) : single;
    }
    case Effect::ColourCycle:
      cycleColour_ = StepPhase(true, lt::kWheelPeriod, cycleColour_, 1);
      return Wheel(cycleColour_, single.brightness);
    case Effect::Off:
      return LightColour{};
  }
  return std::nullopt;
}

}  // namespace devices::sync
