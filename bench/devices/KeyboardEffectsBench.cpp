// One step of each keyboard lighting mode over the keyboard's 170 lights, as
// the light thread runs it (the step, then the colours published). Goal: at
// most 10 µs a step and no allocation; "allocs" counts allocations per step.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

#include <benchmark/benchmark.h>

#include "devices/core/LightThread.h"

namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using devices::LightModel;
using devices::ModelLightEngine;

void KeyboardStep(benchmark::State& state) {
  const auto mode = uint8_t(state.range(0));
  profiles::LightInfoRecord s;
  s.selectItem = mode;
  s.light = 4;
  s.speed = 4;
  s.fx = 1;
  s.multiColor = uint8_t(state.range(1));
  s.red = 200;
  ModelLightEngine e(LightModel::Keyboard, 170);
  e.StartMode(s);
  const devices::DispatchRow* row = devices::FindDispatch(LightModel::Keyboard, mode);
  if (!row) {
    state.SkipWithError("no step");
    return;
  }
  uint32_t now = 0;
  const uint64_t before = allocations.load();
  for (auto _ : state) {
    e.RunStep(row->step, now += 16);
    benchmark::DoNotOptimize(e.Colours().Load(169));
  }
  state.counters["allocs"] =
      benchmark::Counter(double(allocations.load() - before), benchmark::Counter::kAvgIterations);
}

void Modes(benchmark::internal::Benchmark* b) {
  for (int mode = 1; mode <= 28; ++mode)
    if (mode != 19) b->Args({mode, 1});
  for (int mode : {1, 2, 3, 6, 24}) b->Args({mode, 0});  // the single-colour drawings
}

BENCHMARK(KeyboardStep)->Apply(Modes)->ArgNames({"mode", "multi"});

// Mode 29: a set of 25 levels handed over (as the capture link does) and one
// step of the audio drawing `sub` over the 170 lights; mode 30 (sub -1): one
// host colour step.
void AudioStep(benchmark::State& state) {
  const auto sub = int(state.range(0));
  profiles::LightInfoRecord s;
  s.selectItem = sub < 0 ? devices::kHostColourMode : devices::kAudioMode;
  s.light = 4;
  s.fx = 1;
  profiles::AudioLightRecord a;
  a.audioMode = uint8_t(std::max(sub, 0));
  a.fgRed = 255;
  a.sevenColor = uint8_t(state.range(1));
  ModelLightEngine e(LightModel::Keyboard, 170);
  e.Audio().SetRecord(a);
  e.StartMode(s);
  const devices::LightStepKind step = devices::FindDispatch(LightModel::Keyboard, s.selectItem)->step;
  std::array<int32_t, devices::kAudioLevels> levels{};
  uint32_t now = 0;
  const uint64_t before = allocations.load();
  for (auto _ : state) {
    for (size_t i = 0; i < levels.size(); ++i) levels[i] = int32_t((now * 37 + i * 211) % 2400);
    e.Audio().SetAudioLevels(levels, s.selectItem);
    e.RunStep(step, now += 16);
    benchmark::DoNotOptimize(e.Colours().Load(169));
  }
  state.counters["allocs"] =
      benchmark::Counter(double(allocations.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(AudioStep)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1}})
    ->Args({-1, 0})
    ->ArgNames({"sub", "seven"});

}  // namespace
