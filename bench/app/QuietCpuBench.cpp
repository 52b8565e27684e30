// CPU the program spends while nothing happens: the main window with four
// emulated devices connected (mouse, keyboard, pad, headset), their entries
// shown and their lighting static, measured over a quiet period (60 s by
// default; VX27_QUIET_SECONDS=<n> for another length). Reports the process
// CPU time as a share of one core, and the UI thread's part of it.
//
//   build/bench/vx27_app_bench --benchmark_filter=QuietCpu
//
// Goal: at most 1 % of one core.

#include <QApplication>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "tests/support/EventLoop.h"

namespace {

void BM_QuietCpuWithFourDevices(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  platform::SettingsStore& store = setup.Store();
  const int seconds = benchapp::SecondsFromEnv("VX27_QUIET_SECONDS", 60);
  for (auto _ : state) {
    auto emu = std::make_shared<emulator::Emulator>();
    emulator::firmware::AddEmulatedUnits(*emu, "mouse,keyboard,pad,headset", nullptr);
    app::CMainWnd main(store, app::RegisterProgramMessages(), emu);
    main.CreateMain();
    if (!testsupport::WaitFor([&] { return main.CountVisibleEntries() == 4; }, 10000)) {
      state.SkipWithError("the four devices did not show");
      break;
    }
    testsupport::PumpFor(2000);  // first loads and the first light steps are over
    const benchapp::CpuPeriod p = benchapp::RunEventLoopFor(seconds);
    state.SetIterationTime(p.elapsedSeconds);
    state.counters["cpu_percent_of_one_core"] = p.ProcessPercent();
    state.counters["ui_thread_percent"] = p.UiPercent();
    state.counters["cpu_ms"] = p.processSeconds * 1000.0;
    main.Close(0);
    testsupport::PumpFor(20);  // the quit request of the closed window
  }
}
BENCHMARK(BM_QuietCpuWithFourDevices)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
