// The profile switch on the emulated mouse: the main window with one mouse and
// two profiles, switched back and forth through the panel's switch (what timer
// 1055 runs). Each iteration's time is set against the output reports the
// mouse received in it at 20 ms each (the command channel's pace: 10 ms before
// the write, 10 ms before the read), plus the 10 ms the channel waits before
// each end-of-transfer request: the goal is that budget plus at most 5 %.
//
//   build/bench/vx27_app_bench --benchmark_filter=ProfileSwitch

#include <atomic>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "bench/app/ProgramSetup.h"

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "devices/DeviceProfileUI.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "protocol/CommandReport.h"
#include "tests/support/EventLoop.h"

namespace {

// Counts the output reports on their way to the firmware.
class CountingFirmware : public emulator::IFirmware {
 public:
  explicit CountingFirmware(std::shared_ptr<emulator::IFirmware> inner) : inner_(std::move(inner)) {}
  emulator::WriteOutcome OnOutputReport(std::span<const uint8_t> report, bool viaControl,
                                        emulator::ReportSink& input) override {
    ++reports;
    if (report.size() > protocol::report::kCommand &&
        report[protocol::report::kCommand] == protocol::cmd::kEndTransfer)
      ++endTransfers;
    return inner_->OnOutputReport(report, viaControl, input);
  }
  void OnPlugged(bool plugged) override { inner_->OnPlugged(plugged); }
  std::atomic<int64_t> reports{0};
  std::atomic<int64_t> endTransfers{0};

 private:
  std::shared_ptr<emulator::IFirmware> inner_;
};

void BM_ProfileSwitchOnTheMouse(benchmark::State& state) {
  benchapp::ProgramSetup setup;
  platform::SettingsStore& store = setup.Store();

  auto emu = std::make_shared<emulator::Emulator>();
  auto units = emulator::firmware::AddEmulatedUnits(*emu, "mouse", nullptr);
  if (!units || units->empty()) return state.SkipWithError("no emulated mouse");
  auto counter = std::make_shared<CountingFirmware>(units->front().firmware);
  const auto model = emulator::firmware::ModelFromName("mouse");
  units->front().device->Interface(emulator::firmware::CommandInterfaceNumber(*model))->AttachFirmware(counter);

  app::CMainWnd main(store, app::RegisterProgramMessages(), emu);
  main.CreateMain();
  if (!testsupport::WaitFor([&] { return main.SelectedDevice() != nullptr; }, 10000))
    return state.SkipWithError("the mouse did not show");
  devices::CDeviceProfileUI* panel = main.ProfilePanelOf(main.SelectedDevice());
  panel->List().AddProfile();
  panel->SyncCombo();
  testsupport::PumpFor(1500);  // the first load is over

  int64_t reports = 0, endTransfers = 0;
  double seconds = 0;
  int target = 1;
  for (auto _ : state) {
    panel->Combo()->SelectItem(target, false, false);
    target = 1 - target;
    const int64_t before = counter->reports, endsBefore = counter->endTransfers;
    QElapsedTimer clock;
    clock.start();
    main.SwitchProfile();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    state.SetIterationTime(elapsed);
    seconds += elapsed;
    reports += counter->reports - before;
    endTransfers += counter->endTransfers - endsBefore;
  }
  const double n = double(std::max<int64_t>(1, state.iterations()));
  state.counters["reports_per_switch"] = double(reports) / n;
  state.counters["ms_per_switch"] = seconds * 1000 / n;
  state.counters["end_transfers_per_switch"] = double(endTransfers) / n;
  // Time over the budget, in percent (0 reports: no budget).
  const double budget = double(reports) * 0.020 + double(endTransfers) * 0.010;
  state.counters["over_budget_pct"] = reports ? (seconds / budget - 1) * 100 : 0;
  main.Close(0);
  testsupport::PumpFor(20);
}
BENCHMARK(BM_ProfileSwitchOnTheMouse)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
