// CPU the program spends while nothing happens: the main window with four
// emulated devices connected (mouse, keyboard, pad, headset), their entries
// shown and their lighting static, measured over a quiet period (60 s by
// default; VX27_QUIET_SECONDS=<n> for another length). Reports the process
// CPU time as a share of one core, and the UI thread's part of it.
//
//   build/bench/vx27_app_bench --benchmark_filter=QuietCpu
//
// Goal: at most 1 % of one core.

#include <ctime>
#include <cstdlib>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "tests/support/EventLoop.h"

namespace {

double CpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

int QuietSeconds() {
  const char* v = std::getenv("VX27_QUIET_SECONDS");
  const int s = v ? std::atoi(v) : 0;
  return s > 0 ? s : 60;
}

void BM_QuietCpuWithFourDevices(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  platform::SettingsStore& store = setup.Store();
  const int seconds = QuietSeconds();
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
    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double uiBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    wall.start();
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const double ui = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - uiBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    state.SetIterationTime(elapsed);
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / elapsed;
    state.counters["ui_thread_percent"] = 100.0 * ui / elapsed;
    state.counters["cpu_ms"] = cpu * 1000.0;
    main.Close(0);
    testsupport::PumpFor(20);  // the quit request of the closed window
  }
}
BENCHMARK(BM_QuietCpuWithFourDevices)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
