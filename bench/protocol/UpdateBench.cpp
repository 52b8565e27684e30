// One firmware update of an emulated mouse with the exchanges' real fixed
// sleeps (20 ms per exchange): enter, 65 chunks of the 3600-byte image,
// verify, restart; directly, and through an emulator host as the updater
// the program starts reaches the program's mouse. The counters give the time the sleeps alone take and
// what the update costs beyond them, in per cent.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "emulator/AttachBackend.h"
#include "emulator/EmulatorHost.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "protocol/CommandChannel.h"
#include "protocol/FirmwareUpdate.h"

namespace {

using emulator::DeviceModel;

void MouseUpdate(benchmark::State& state, bool throughHost) {
  protocol::fw::Image image{"RM50C17A", 0x0126, std::vector<uint8_t>(3600)};
  for (size_t i = 0; i < image.payload.size(); ++i) image.payload[i] = uint8_t(i * 13);
  const size_t chunks = (image.payload.size() + protocol::fw::kChunk - 1) / protocol::fw::kChunk;
  const size_t exchanges = chunks + 3;
  double seconds = 0;
  for (auto _ : state) {
    auto emu = std::make_shared<emulator::Emulator>();
    auto unit = emulator::firmware::AddDevice(*emu, DeviceModel::Mouse);
    std::string path = emulator::firmware::CommandPath(*unit.device, DeviceModel::Mouse);
    std::shared_ptr<hid::HidBackend> backend = emu;
    std::unique_ptr<emulator::EmulatorHost> host;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vx27-update-bench-" + std::to_string(::getpid()));
    if (throughHost) {
      std::filesystem::create_directories(folder);
      host = std::make_unique<emulator::EmulatorHost>(emu, emulator::firmware::MakeHostSources(emu, {unit}), folder);
      auto attach = std::make_shared<emulator::AttachBackend>(folder);
      path = attach->Devices().at(0).commandPath;
      backend = attach;
    }
    protocol::CCommandChannel channel(backend);
    channel.OpenHandle(protocol::ConnectionMode::Wired, path);
    const auto start = std::chrono::steady_clock::now();
    const protocol::fw::UpdateResult result = protocol::fw::SendImage(channel, image);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    seconds += took;
    if (!result.ok()) state.SkipWithError(protocol::fw::DescribeFailure(result).c_str());
    channel.CloseHandles();
    host.reset();
    std::filesystem::remove_all(folder);
  }
  const double perUpdateMs = seconds * 1000 / double(state.iterations());
  const double sleepsMs = double(exchanges) * 20.0;
  state.counters["chunks"] = double(chunks);
  state.counters["sleeps_ms"] = sleepsMs;
  state.counters["update_ms"] = perUpdateMs;
  state.counters["beyond_sleeps_pct"] = (perUpdateMs - sleepsMs) / sleepsMs * 100.0;
}
void BM_MouseUpdateWithSleeps(benchmark::State& state) { MouseUpdate(state, false); }
void BM_MouseUpdateThroughHost(benchmark::State& state) { MouseUpdate(state, true); }
BENCHMARK(BM_MouseUpdateWithSleeps)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseUpdateThroughHost)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
