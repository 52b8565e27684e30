// One step of each light effect over 170 lights, and a whole loop pass (step,
// areas, publishing the colours). Goal: at most 10 µs per step.

#include <benchmark/benchmark.h>

#include "devices/core/LightThread.h"

namespace {

using devices::LightModel;
using devices::LightStepKind;
using devices::ModelLightEngine;

constexpr size_t kLights = 170;

profiles::LightInfoRecord Mode(uint8_t mode, uint8_t multi) {
  profiles::LightInfoRecord s;
  s.selectItem = mode;
  s.light = 4;
  s.speed = 4;
  s.fx = 1;
  s.multiColor = multi;
  s.red = 200;
  return s;
}

void Step(benchmark::State& state, LightModel model, LightStepKind step, uint8_t mode) {
  ModelLightEngine e(model, kLights);
  e.StartMode(Mode(mode, 1));
  uint32_t now = 0;
  for (auto _ : state) {
    e.RunStep(step, now += 16);
    benchmark::DoNotOptimize(e.Colours().Load(kLights - 1));
  }
}

BENCHMARK_CAPTURE(Step, breathing, LightModel::Mouse, LightStepKind::Breathing, 1);
BENCHMARK_CAPTURE(Step, four_colour_breathing, LightModel::Mouse, LightStepKind::FourColourBreathing, 5);
BENCHMARK_CAPTURE(Step, static, LightModel::Mouse, LightStepKind::Static, 0);
BENCHMARK_CAPTURE(Step, colour_cycle, LightModel::Mouse, LightStepKind::ColourCycle, 3);
BENCHMARK_CAPTURE(Step, blink, LightModel::Mouse, LightStepKind::Blink, 6);
BENCHMARK_CAPTURE(Step, four_colour_blink, LightModel::Mouse, LightStepKind::FourColourBlink, 8);
BENCHMARK_CAPTURE(Step, off, LightModel::Mouse, LightStepKind::Off, 10);
BENCHMARK_CAPTURE(Step, mouse_wave, LightModel::Mouse, LightStepKind::MouseWave, 2);
BENCHMARK_CAPTURE(Step, mouse_trail, LightModel::Mouse, LightStepKind::MouseTrail, 4);
BENCHMARK_CAPTURE(Step, mouse_reactive, LightModel::Mouse, LightStepKind::MouseReactive, 7);
BENCHMARK_CAPTURE(Step, pad_wave, LightModel::Pad, LightStepKind::PadWave, 0);
BENCHMARK_CAPTURE(Step, pad_light_trail, LightModel::Pad, LightStepKind::PadLightTrail, 6);
BENCHMARK_CAPTURE(Step, pad_pair_trail, LightModel::Pad, LightStepKind::PadPairTrail, 7);

// The custom effect player (a wave step) and every light in an area.
void PassWithPlayerAndAreas(benchmark::State& state) {
  ModelLightEngine e(LightModel::Keyboard, kLights);
  profiles::LightEffectStep wave;
  wave.mode = 4;
  wave.brightness = 4;
  wave.speed = 4;
  wave.multiColor = 1;
  wave.time = 1000;
  e.SetEffectSteps({wave});
  profiles::LightModeEntry area;
  area.mode = 0;
  area.brightness = 4;
  area.multiColor = 1;
  area.present = 1;
  e.SetAreas(std::vector<profiles::LightModeEntry>(kLights, area));
  e.StartMode(Mode(9, 1));
  uint32_t now = 0;
  for (auto _ : state) {
    e.Pass(now += 16);
    benchmark::DoNotOptimize(e.Colours().Load(kLights - 1));
  }
}
BENCHMARK(PassWithPlayerAndAreas);

}  // namespace
