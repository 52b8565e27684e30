#include "devices/core/LightThread.h"

#include <algorithm>

#include "platform/Trace.h"

namespace devices {
namespace {

using namespace lighttables;
using K = LightStepKind;

// Keyboard: its own steps (KeyboardEffects) paced by the row of their mode,
// and the base's colour cycle, blink, four-colour modes and off; modes 29
// (audio) and 30 (host colour), which the host computes for the keyboard.
constexpr DispatchRow kKeyboardRows[] = {
    {1, K::KeyboardOwn, 1},   {2, K::KeyboardOwn, 2},   {3, K::KeyboardOwn, 3},
    {4, K::ColourCycle, 4},   {5, K::KeyboardOwn, 5},   {6, K::KeyboardOwn, 6},
    {7, K::KeyboardOwn, 7},   {8, K::KeyboardOwn, 8},   {9, K::KeyboardOwn, 9},
    {10, K::KeyboardOwn, 10}, {11, K::KeyboardOwn, 11}, {12, K::KeyboardOwn, 12},
    {13, K::KeyboardOwn, 13}, {14, K::KeyboardOwn, 14}, {15, K::KeyboardOwn, 15},
    {16, K::KeyboardOwn, 16}, {17, K::KeyboardOwn, 17}, {18, K::KeyboardOwn, 18},
    {20, K::KeyboardOwn, 20}, {21, K::KeyboardOwn, 21}, {22, K::KeyboardOwn, 22},
    {23, K::Blink, 23},       {24, K::KeyboardOwn, 24}, {25, K::KeyboardOwn, 25},
    {26, K::FourColourBreathing, 5}, {27, K::FourColourBlink, 23}, {28, K::Off, 28},
    {29, K::KeyboardAudio, 29},      {30, K::KeyboardHostColour, 30},
};
constexpr DispatchRow kMouseRows[] = {
    {0, K::Static, 0}, {1, K::Breathing, 1}, {2, K::MouseWave, 2}, {3, K::ColourCycle, 3},
    {4, K::MouseTrail, 4}, {5, K::FourColourBreathing, 1}, {6, K::Blink, 6}, {7, K::MouseReactive, 7},
    {8, K::FourColourBlink, 6}, {10, K::Off, 10},
};
constexpr DispatchRow kPadRows[] = {
    {0, K::PadWave, 0}, {1, K::ColourCycle, 1}, {2, K::Breathing, 2}, {3, K::Static, 3},
    {4, K::Blink, 4}, {6, K::PadLightTrail, 6}, {7, K::PadPairTrail, 7}, {8, K::Off, 8},
};

constexpr std::array<uint8_t, 5> kKeyboardThresholds{5, 4, 3, 2, 1};
constexpr uint8_t kTrailMarker = 1;
constexpr uint8_t kReactiveStep = 15;

CommonStep Common(LightStepKind k) {
  switch (k) {
    case K::Breathing: return CommonStep::Breathing;
    case K::FourColourBreathing: return CommonStep::FourColourBreathing;
    case K::Static: return CommonStep::Static;
    case K::ColourCycle: return CommonStep::ColourCycle;
    case K::Blink: return CommonStep::Blink;
    case K::FourColourBlink: return CommonStep::FourColourBlink;
    default: return CommonStep::Off;
  }
}

LightColour Paint(const std::array<uint8_t, 3>& rgb, unsigned brightness) {
  return {rgb[0], rgb[1], rgb[2], uint8_t(brightness)};
}

std::array<uint8_t, 3> Single(const profiles::LightInfoRecord& s) { return {s.red, s.green, s.blue}; }

}  // namespace

std::span<const DispatchRow> DispatchTable(LightModel model) {
  switch (model) {
    case LightModel::Keyboard: return kKeyboardRows;
    case LightModel::Mouse: return kMouseRows;
    case LightModel::Pad: return kPadRows;
  }
  return {};
}

const DispatchRow* FindDispatch(LightModel model, uint8_t mode) {
  for (const DispatchRow& r : DispatchTable(model))
    if (r.mode == mode) return &r;
  return nullptr;
}

uint32_t StepThreshold(LightModel model, uint8_t row, uint8_t speed) {
  const size_t i = Level5(speed);
  if (model != LightModel::Keyboard) return kBlinkPeriod[i];
  if (row == 16 || row == 18) return 4;
  if (row == 30) return i == 0 ? 1 : 0;
  return kKeyboardThresholds[i];
}

const char* LightExitTrace(LightModel model) {
  return model == LightModel::Keyboard ? "KB灯光线程设定退出" : "MS灯光线程设定退出";
}

ModelLightEngine::ModelLightEngine(LightModel model, size_t lightCount) : model_(model) {
  SetLightCount(lightCount);
  // The trails' one marker, as when the device is created.
  reactive_.ring[0] = kTrailMarker;
}

void ModelLightEngine::SetLightCount(size_t count) {
  count_ = std::min(count, kMaxLights);
  colours_.Resize(count);
  work_.fill({});
  std::lock_guard guard(areaLock_);
  areaEntries_.assign(count_, {});
  areas_.Reset();
}

void ModelLightEngine::SetState(const profiles::LightInfoRecord& state) {
  std::lock_guard guard(stateLock_);
  state_ = state;
}

profiles::LightInfoRecord ModelLightEngine::State() const {
  std::lock_guard guard(stateLock_);
  return state_;
}

void ModelLightEngine::StartMode(const profiles::LightInfoRecord& state) {
  SetState(state);
  if (model_ == LightModel::Keyboard) {
    keyboard_.StartMode(state);
    return;
  }
  // Mouse and pad: the trails need their marker again. The pad seeds it as
  // the mouse does; without it nothing ever raises a pad trail's levels.
  reactive_.Clear();
  reactive_.ring[0] = kTrailMarker;
}

void ModelLightEngine::SetEffectSteps(std::vector<profiles::LightEffectStep> steps) {
  std::lock_guard guard(effectListLock_);
  effectSteps_ = std::move(steps);
}

void ModelLightEngine::SetAreas(std::vector<profiles::LightModeEntry> entries) {
  std::lock_guard guard(areaLock_);
  areaEntries_ = std::move(entries);
  areas_.Reset();
}

void ModelLightEngine::BeginLoop(uint32_t nowMs) {
  lastTick_ = nowMs;
  stepCounter_ = 0;
}

void ModelLightEngine::Pass(uint32_t nowMs) {
  if (nowMs - lastTick_ > 1) {
    lastTick_ = nowMs;
    ++stepCounter_;
  }
  const profiles::LightInfoRecord s = State();
  if (clickPending_.exchange(false)) ApplyClick(s);
  if (const DispatchRow* row = FindDispatch(model_, s.selectItem)) {
    const bool due = model_ == LightModel::Keyboard && s.selectItem == kAudioMode
                         ? stepCounter_ > 1
                         : stepCounter_ >= StepThreshold(model_, row->row, s.speed);
    if (due) {
      Step(row->step, s, nowMs);
      stepCounter_ = 0;
    }
  } else {
    std::lock_guard guard(effectListLock_);
    player_.Run(effectSteps_, s, Work(), nowMs);
  }
  if (model_ != LightModel::Mouse) {
    std::lock_guard guard(areaLock_);
    areas_.Run(areaEntries_, Work(), nowMs);
  }
  colours_.Publish(Work());
}

void ModelLightEngine::RunStep(LightStepKind step, uint32_t nowMs) {
  Step(step, State(), nowMs);
  colours_.Publish(Work());
}

void ModelLightEngine::Step(LightStepKind step, const profiles::LightInfoRecord& s, uint32_t nowMs) {
  switch (step) {
    case K::MouseWave: return MouseWave(s, false);
    case K::PadWave: return MouseWave(s, true);
    case K::MouseReactive: return MouseReactive(s);
    case K::MouseTrail: return MouseTrail(s);
    case K::PadLightTrail: return PadTrail(s, false);
    case K::PadPairTrail: return PadTrail(s, true);
    case K::KeyboardOwn: (void)keyboard_.Step(s, Work()); return;
    case K::KeyboardAudio: return audio_.AudioStep(s, Work());
    case K::KeyboardHostColour: return audio_.HostColourStep(s, Work());
    default: return RunCommonStep(Common(step), s, effect_, Work(), nowMs);
  }
}

void ModelLightEngine::ApplyClick(const profiles::LightInfoRecord& s) {
  // Only the mouse's reactive mode answers a click.
  if (model_ != LightModel::Mouse || s.selectItem != 7) return;
  for (size_t i = 0; i < count_; ++i) {
    reactive_.trend[i] = 1;
    reactive_.level[i] = 255;
    reactive_.hue[i] = uint8_t(random_() % kWheelPeriod);
  }
}

void ModelLightEngine::MouseWave(const profiles::LightInfoRecord& s, bool perLight) {
  const unsigned level = kBrightness[Level5(s.light)];
  const bool wheel = s.multiColor != 0;
  effect_.phase = StepPhase(s.fx != 0, wheel ? kWheelPeriod : kShortCurvePeriod, effect_.phase, 1);
  const auto colourOf = [&](size_t unit) {
    const size_t at = effect_.phase + 1 + 7 * unit;
    if (wheel) return Paint(ColourWheel()[at % kWheelPeriod], level);
    return Paint(Single(s), (level * ShortBreathingCurve()[at % kShortCurvePeriod]) >> 8);
  };
  std::span<LightColour> lights = Work();
  if (perLight) {
    for (size_t i = 0; i < lights.size(); ++i) lights[i] = colourOf(i);
    return;
  }
  for (size_t seg = 0; seg < kMouseSegments.size(); ++seg)
    for (uint8_t light : kMouseSegments[seg])
      if (light < lights.size()) lights[light] = colourOf(seg);
}

void ModelLightEngine::MouseReactive(const profiles::LightInfoRecord& s) {
  const unsigned level = kBrightness[Level5(s.light)];
  std::span<LightColour> lights = Work();
  for (size_t i = 0; i < lights.size(); ++i) {
    uint8_t& v = reactive_.level[i];
    if (reactive_.trend[i] == 1) {
      if (v >= 255 - kReactiveStep) {
        v = 255;
        reactive_.trend[i] = 2;
      } else {
        v = uint8_t(v + kReactiveStep);
      }
    } else if (reactive_.trend[i] == 2) {
      v = v > kReactiveStep ? uint8_t(v - kReactiveStep) : 0;
    }
    const auto rgb = s.multiColor ? ColourWheel()[reactive_.hue[i]] : Single(s);
    lights[i] = Paint(rgb, (level * v) >> 8);
  }
}

void ModelLightEngine::MouseTrail(const profiles::LightInfoRecord& s) {
  effect_.phase = StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  reactive_.TriggerFirstNine();
  reactive_.RotateRing(s.fx != 0);
  PaintTrail(s, TrailUnits::MouseSegments);
}

void ModelLightEngine::PadTrail(const profiles::LightInfoRecord& s, bool pairs) {
  if (padTrailCounter_ > 1) {
    padTrailCounter_ = 0;
    reactive_.TriggerFirst(count_);
    if (pairs) reactive_.RotateFirst(8, s.fx == 0);
    else reactive_.RotateFirst(ReactiveLevels::kRing, s.fx != 0);
  }
  ++padTrailCounter_;
  effect_.phase = StepPhase(s.fx != 0, kWheelPeriod, effect_.phase, 1);
  PaintTrail(s, pairs ? TrailUnits::PadPairs : TrailUnits::PadLights);
}

void ModelLightEngine::PaintTrail(const profiles::LightInfoRecord& s, TrailUnits units) {
  std::span<LightColour> lights = Work();
  const size_t count = units == TrailUnits::MouseSegments ? kMouseSegments.size()
                       : units == TrailUnits::PadPairs    ? kPadPairs.size()
                                                          : std::min(lights.size(), ReactiveLevels::kRing);
  if (count == 0) return;
  const auto lightsOf = [&](size_t unit) -> std::array<uint8_t, 3> {
    if (units == TrailUnits::MouseSegments) return kMouseSegments[unit];
    if (units == TrailUnits::PadPairs) return {kPadPairs[unit][0], kPadPairs[unit][1], kNoLight};
    return {uint8_t(unit), kNoLight, kNoLight};
  };
  const unsigned level = kBrightness[Level5(s.light)];
  // While the trail's end is lit, a segment keeps the colour it shows.
  const size_t end = s.fx == 0 ? count - 1 : 0;
  for (size_t unit = 0; unit < count; ++unit) {
    reactive_.Decay(unit, s.selectItem);
    const std::array<uint8_t, 3> members = lightsOf(unit);
    std::array<uint8_t, 3> rgb = Single(s);
    if (s.multiColor) {
      effect_.phase = uint8_t(effect_.phase + 12);
      const uint8_t hue = effect_.phase >= kWheelPeriod ? uint8_t(effect_.phase - kWheelPeriod) : effect_.phase;
      rgb = ColourWheel()[hue];
      if (reactive_.level[end] != 0 && members[0] < lights.size())
        rgb = {lights[members[0]].c0, lights[members[0]].c1, lights[members[0]].c2};
    }
    const LightColour c = Paint(rgb, (level * reactive_.level[unit]) >> 8);
    for (uint8_t light : members)
      if (light < lights.size()) lights[light] = c;
  }
}

void RunLightLoop(ModelLightEngine& engine, LightClock& clock, const platform::StopEvent& stop,
                  const LightLoopHooks& hooks) {
  engine.BeginLoop(clock.TickCount());
  while (!clock.WaitNextTick(stop)) {
    if (hooks.channelOpen && !hooks.channelOpen()) {
      if (clock.Sleep(std::chrono::milliseconds(100), stop)) break;
      continue;
    }
    if (hooks.holdFlag && hooks.holdFlag()) continue;
    engine.Pass(clock.TickCount());
  }
  Trace(LightExitTrace(engine.Model()));
}

}  // namespace devices
