// CPU the program spends in synchronised lighting: the main window with four
// emulated devices connected (mouse, keyboard, pad, headset), started into
// synchronised colour cycle at the fastest speed from the keyboard, measured
// over a period (30 s by default; VX27_SYNC_SECONDS=<n> for another length).
// Reports the process CPU time as a share of one core, the UI thread's part,
// and the frames the sync worker rendered per second.
//
//   build/bench/vx27_app_bench --benchmark_filter=SyncCpu
//
// Goal: at most 3 % of one core.

#include <ctime>
#include <cstdlib>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

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

int SyncSeconds() {
  const char* v = std::getenv("VX27_SYNC_SECONDS");
  const int s = v ? std::atoi(v) : 0;
  return s > 0 ? s : 30;
}

void BM_SyncCpuWithFourDevices(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  const int seconds = SyncSeconds();
  for (auto _ : state) {
    auto emu = std::make_shared<emulator::Emulator>();
    emulator::firmware::AddEmulatedUnits(*emu, "mouse,keyboard,pad,headset", nullptr);
    app::CMainWnd main(setup.Store(), app::RegisterProgramMessages(), emu);
    main.CreateMain();
    if (!testsupport::WaitFor([&] { return main.CountVisibleEntries() == 4; }, 10000)) {
      state.SkipWithError("the four devices did not show");
      break;
    }
    testsupport::PumpFor(2000);  // first loads are over
    // The keyboard in colour cycle (4) at speed 4, full brightness.
    devices::CGesterinUSBDevice* keyboard = main.Devices(app::PageKind::Keyboard).front();
    main.ShowEntry(main.EntryOf(keyboard), true, true);
    profiles::LightInfoRecord r;
    r.selectItem = 4;
    r.light = 4;
    r.speed = 4;
    const auto w = r.ToWords();
    keyboard->SetLightState(w[0], w[1], w[2], uint16_t(w[3]));
    main.StartSyncLighting();
    if (!testsupport::WaitFor([&] { return main.SyncFrames() > 0; }, 3000)) {
      state.SkipWithError("no sync frames");
      break;
    }
    QElapsedTimer wall;
    const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double uiBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const uint32_t framesBefore = main.SyncFrames();
    wall.start();
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const double ui = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - uiBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    state.SetIterationTime(elapsed);
    state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / elapsed;
    state.counters["ui_thread_percent"] = 100.0 * ui / elapsed;
    state.counters["sync_frames_per_s"] = double(main.SyncFrames() - framesBefore) / elapsed;
    main.Close(0);
    testsupport::PumpFor(20);
  }
}
BENCHMARK(BM_SyncCpuWithFourDevices)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
