// The main window with four emulated devices (mouse, keyboard, pad,
// headset): from the window's creation, and from the end of the first
// discovery pass, until every device's bar entry shows; the resident memory
// with the four pages built.
//
//   build/bench/vx27_app_bench


#include <fstream>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "tests/support/EventLoop.h"

namespace {


double ResidentMegabytes() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

void BM_MainWindowWithFourDevices(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  platform::SettingsStore& store = setup.Store();
  double afterDiscovery = 0, rss = 0;
  for (auto _ : state) {
    auto emu = std::make_shared<emulator::Emulator>();
    emulator::firmware::AddEmulatedUnits(*emu, "mouse,keyboard,pad,headset", nullptr);
    QElapsedTimer clock;
    qint64 firstPass = -1;
    clock.start();
    {
      app::CMainWnd main(store, app::RegisterProgramMessages(), emu);
      main.SetFirstShownHook([&] { firstPass = clock.nsecsElapsed(); });
      main.CreateMain();
      const bool shown = testsupport::WaitFor([&] {
        int visible = 0;
        for (const auto& e : main.Entries()) visible += e && e->IsVisible();
        return firstPass >= 0 && visible == 4 && main.GetHWND()->isVisible();
      }, 10000);
      const qint64 done = clock.nsecsElapsed();
      if (!shown) {
        state.SkipWithError("the four devices did not show");
        break;
      }
      state.SetIterationTime(double(done) / 1e9);
      afterDiscovery += double(done - firstPass) / 1e6;
      rss = ResidentMegabytes();
      main.Close(0);
    }
    testsupport::PumpFor(20);  // the quit request of the closed window
  }
  state.counters["ms_after_first_pass"] = afterDiscovery / double(std::max<int64_t>(1, state.iterations()));
  state.counters["rss_MB"] = rss;
}
BENCHMARK(BM_MainWindowWithFourDevices)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
