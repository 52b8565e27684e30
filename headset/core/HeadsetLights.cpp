#include "headset/core/HeadsetLights.h"

#include <algorithm>

namespace headset {
namespace {

using namespace devices::lighttables;

constexpr std::array<std::pair<uint8_t, uint8_t>, kLightReportCount> kSendOrder{{
    {0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
    {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
    {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF},
}};

// The pairs of the pair chase; members at or beyond the light count are skipped.
constexpr std::array<std::pair<size_t, size_t>, 7> kPairs{{{1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};
constexpr size_t kShortCurveStart = 16;
constexpr size_t kShortCurveLength = 96;

uint8_t Brightness(const profiles::LightInfoRecord& s) {
  return kBrightness[std::min<size_t>(s.light, kBrightness.size() - 1)];
}

uint8_t Component(const LightColour& c, size_t component) {
  return component == 0 ? c.c0 : component == 1 ? c.c1 : c.c2;
}

}  // namespace

std::array<LightReport, kLightReportCount> BuildLightReports(std::span<const LightColour> colours) {
  std::array<LightReport, kLightReportCount> reports{};
  for (size_t r = 0; r < reports.size(); ++r) {
    LightReport& report = reports[r];
    const auto [target, group] = kSendOrder[r];
    report[lightreport::kId] = kLightReportId;
    report[lightreport::kTarget] = target;
    report[lightreport::kGroup] = group;
    const size_t component = size_t(group - 0xAA) % 3;
    const size_t first = group < 0xAD ? 0 : 7;
    const size_t count = group < 0xAD ? 7 : 6;
    for (size_t i = 0; i < count && first + i < colours.size(); ++i) {
      const LightColour& c = colours[first + i];
      const unsigned value = unsigned(Component(c, component)) * c.brightness / 256;
      report[lightreport::kValues + i] = uint8_t(std::min<unsigned>(value, kLightValueLimit));
    }
  }
  return reports;
}

void HeadsetLightEngine::SeedRing() {
  reactive_.Clear();
  reactive_.ring[0] = 1;
}

bool HeadsetLightEngine::Turn(const profiles::LightInfoRecord& state, std::span<LightColour> lights, uint32_t nowMs) {
  if (state.selectItem != lastEffect_) {
    lastEffect_ = state.selectItem;
    SeedRing();
  }
  const uint8_t id = state.selectItem;
  std::lock_guard guard(listLock_);
  bool drew = false;
  if (id == headseteffect::kCustom || id > headseteffect::kOff) {
    player_.Run(effectSteps_, state, lights, nowMs);
    drew = true;
  } else {
    drew = Step(state, lights, nowMs);
  }
  const bool anyArea = std::any_of(areaEntries_.begin(), areaEntries_.end(),
                                   [](const profiles::LightModeEntry& e) { return e.present == 1; });
  if (anyArea) areas_.Run(areaEntries_, lights, nowMs);
  return drew || anyArea;
}

void HeadsetLightEngine::SetEffectSteps(std::vector<profiles::LightEffectStep> steps) {
  std::lock_guard guard(listLock_);
  effectSteps_ = std::move(steps);
}

void HeadsetLightEngine::SetAreas(std::vector<profiles::LightModeEntry> entries) {
  std::lock_guard guard(listLock_);
  areaEntries_ = std::move(entries);
  areas_.Reset();
}

bool HeadsetLightEngine::Step(const profiles::LightInfoRecord& state, std::span<LightColour> lights, uint32_t nowMs) {
  const uint8_t id = state.selectItem;
  if (++turns_ < kBlinkPeriod[std::min<size_t>(state.speed, kBlinkPeriod.size() - 1)]) return false;
  turns_ = 0;
  using devices::CommonStep;
  switch (id) {
    case headseteffect::kWave:
      Wave(state, lights);
      break;
    case headseteffect::kColourCycle:
      devices::RunCommonStep(CommonStep::ColourCycle, state, effect_, lights, nowMs);
      break;
    case headseteffect::kBreathing:
      devices::RunCommonStep(CommonStep::Breathing, state, effect_, lights, nowMs);
      break;
    case headseteffect::kStatic:
      devices::RunCommonStep(CommonStep::Static, state, effect_, lights, nowMs);
      break;
    case headseteffect::kBlink:
      devices::RunCommonStep(CommonStep::Blink, state, effect_, lights, nowMs);
      break;
    case headseteffect::kRingChase:
      RingChase(state, lights);
      break;
    case headseteffect::kPairChase:
      PairChase(state, lights);
      break;
    default:  // kOff
      devices::RunCommonStep(CommonStep::Off, state, effect_, lights, nowMs);
      break;
  }
  return true;
}

void HeadsetLightEngine::Wave(const profiles::LightInfoRecord& s, std::span<LightColour> lights) {
  const uint8_t level = Brightness(s);
  if (s.multiColor) {
    effect_.phase = devices::StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
    uint8_t b = uint8_t(effect_.phase + 1);
    for (LightColour& light : lights) {
      const auto& rgb = ColourWheel()[b];
      light = {rgb[0], rgb[1], rgb[2], level};
      b = uint8_t(b >= 176 && b <= 239 ? b + 80 : b + 16);
    }
    return;
  }
  effect_.phase = devices::StepPhase(s.fx != 0, int(kShortCurveLength), effect_.phase, 3);
  uint8_t index = effect_.phase;
  for (LightColour& light : lights) {
    const uint8_t curve = BreathingCurve()[kShortCurveStart + std::min<size_t>(index, kShortCurveLength - 1)];
    light = {s.red, s.green, s.blue, uint8_t((unsigned(level) * curve) >> 8)};
    index = uint8_t(index >= 86 && index <= 245 ? index - 86 : index + 10);
  }
}

void HeadsetLightEngine::Trigger(size_t lightCount) {
  for (size_t i = 0; i < lightCount && i < reactive_.ring.size(); ++i)
    if (reactive_.ring[i]) reactive_.level[i] = 255;
}

void HeadsetLightEngine::RotateRing(size_t entries, bool towardsHigher) {
  auto first = reactive_.ring.begin(), last = reactive_.ring.begin() + long(entries);
  if (towardsHigher) std::rotate(first, last - 1, last);
  else std::rotate(first, first + 1, last);
}

std::array<uint8_t, 3> HeadsetLightEngine::ChaseColour(const profiles::LightInfoRecord& s,
                                                        std::span<const LightColour> lights, const LightColour& kept) {
  if (!s.multiColor) return {s.red, s.green, s.blue};
  effect_.phase = uint8_t(effect_.phase + 12);
  const uint8_t w = effect_.phase >= kWheelPeriod ? uint8_t(effect_.phase - kWheelPeriod) : effect_.phase;
  const size_t lead = s.fx != 0 ? 0 : lights.size() - 1;
  if (!lights.empty() && reactive_.level[lead] != 0) return {kept.c0, kept.c1, kept.c2};
  return ColourWheel()[w];
}

void HeadsetLightEngine::PairChase(const profiles::LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = devices::StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  secondCall_ = !secondCall_;
  if (!secondCall_) {
    Trigger(lights.size());
    RotateRing(8, s.fx == 0);
  }
  const uint8_t level = Brightness(s);
  for (size_t p = 0; p < kPairs.size(); ++p) {
    reactive_.Decay(p, s.selectItem);
    const auto [a, b] = kPairs[p];
    const LightColour kept = a < lights.size() ? lights[a] : LightColour{};
    const auto rgb = ChaseColour(s, lights, kept);
    const uint8_t brightness = uint8_t((unsigned(level) * reactive_.level[p]) >> 8);
    for (size_t member : {a, b})
      if (member < lights.size()) lights[member] = {rgb[0], rgb[1], rgb[2], brightness};
  }
}

void HeadsetLightEngine::RingChase(const profiles::LightInfoRecord& s, std::span<LightColour> lights) {
  effect_.phase = devices::StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  secondCall_ = !secondCall_;
  if (!secondCall_) {
    Trigger(lights.size());
    RotateRing(devices::ReactiveLevels::kRing, s.fx != 0);
  }
  const uint8_t level = Brightness(s);
  for (size_t i = 0; i < lights.size(); ++i) {
    reactive_.Decay(i, s.selectItem);
    const auto rgb = ChaseColour(s, lights, lights[i]);
    lights[i] = {rgb[0], rgb[1], rgb[2], uint8_t((unsigned(level) * reactive_.level[i]) >> 8)};
  }
}

}  // namespace headset
