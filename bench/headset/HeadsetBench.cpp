// The headset's light work per step: one light thread turn that runs its
// step (every effect of its own and the common ones) plus the light step's
// twelve reports. Goal: under 50 µs together.

#include <benchmark/benchmark.h>

#include "headset/core/HeadsetLights.h"

namespace {

void BM_LightTurnAndReports(benchmark::State& state) {
  headset::HeadsetLightEngine engine;
  std::array<headset::LightColour, headset::kHeadsetLightCount> lights{};
  profiles::LightInfoRecord light;
  light.selectItem = uint8_t(state.range(0));
  light.light = 4;
  light.speed = 4;
  light.multiColor = 1;
  light.red = 200;
  uint32_t now = 0;
  for (auto _ : state) {
    // Seven turns reach the step threshold of speed 4: the last one steps.
    for (int turn = 0; turn < 7; ++turn) engine.Turn(light, lights, now++);
    auto reports = headset::BuildLightReports(lights);
    benchmark::DoNotOptimize(reports);
  }
}
// 0 wave, 1 colour cycle, 2 breathing, 4 blink, 6 ring chase, 7 pair chase.
BENCHMARK(BM_LightTurnAndReports)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->Arg(6)->Arg(7);

void BM_LightReports(benchmark::State& state) {
  std::array<headset::LightColour, headset::kHeadsetLightCount> lights;
  lights.fill({255, 128, 7, 200});
  for (auto _ : state) {
    auto reports = headset::BuildLightReports(lights);
    benchmark::DoNotOptimize(reports);
  }
}
BENCHMARK(BM_LightReports);

}  // namespace
