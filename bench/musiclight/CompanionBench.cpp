// The companion's cost: one analysis (2048-point Hann FFT folded into 500
// bands) is made for every 512 samples, 93.75 times a second at 48 kHz; a
// second of sound pushed through shows the share of a core. The program's
// side: one sample frame's band analysis.

#include <benchmark/benchmark.h>

#include <vector>

#include "musiclight/MusicLink.h"
#include "musiclight/capture/BandAnalysis.h"

namespace {

using namespace musiclight::capture;

void BM_AnalyseOneHop(benchmark::State& state) {
  BandAnalyser analyser;
  std::vector<float> window(kFftSize);
  TestSignal::Parse("sweep")->Generate(window);
  for (auto _ : state) {
    const BandLevels levels = analyser.Analyse(std::span<const float, kFftSize>(window));
    benchmark::DoNotOptimize(levels);
  }
}
BENCHMARK(BM_AnalyseOneHop);

// One second of sound: 93 analyses; the time per iteration over one second
// is the companion's CPU share.
void BM_OneSecondOfSound(benchmark::State& state) {
  BandAnalyser analyser;
  std::vector<float> second(kSampleRate);
  TestSignal::Parse("sine:1000:-6")->Generate(second);
  int64_t sets = 0;
  for (auto _ : state) analyser.Push(second, [&](const BandLevels&) { ++sets; });
  state.counters["analyses"] = benchmark::Counter(double(sets), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OneSecondOfSound)->Unit(benchmark::kMillisecond);

void BM_ProgramSampleFrame(benchmark::State& state) {
  musiclight::MusicLink link(0);
  std::vector<uint8_t> a(2000), b(2000);
  for (size_t i = 0; i < a.size(); ++i) a[i] = uint8_t(i), b[i] = uint8_t(255 - i);
  bool flip = false;
  for (auto _ : state) {
    link.OnSampleFrame((flip = !flip) ? a : b);
    benchmark::DoNotOptimize(link.Means());
  }
}
BENCHMARK(BM_ProgramSampleFrame);

}  // namespace

