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

#include <QApplication>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "tests/support/EventLoop.h"

namespace {

void BM_SyncCpuWithFourDevices(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  const int seconds = benchapp::SecondsFromEnv("VX27_SYNC_SECONDS", 30);
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
    const uint32_t framesBefore = main.SyncFrames();
    const benchapp::CpuPeriod p = benchapp::RunEventLoopFor(seconds);
    state.SetIterationTime(p.elapsedSeconds);
    state.counters["cpu_percent_of_one_core"] = p.ProcessPercent();
    state.counters["ui_thread_percent"] = p.UiPercent();
    state.counters["sync_frames_per_s"] = double(main.SyncFrames() - framesBefore) / p.elapsedSeconds;
    main.Close(0);
    testsupport::PumpFor(20);
  }
}
BENCHMARK(BM_SyncCpuWithFourDevices)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
