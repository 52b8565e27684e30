// One firmware update of an emulated mouse with the exchanges' real fixed
// sleeps (20 ms per exchange): enter, 65 chunks of the 3600-byte image,
// verify, restart. The counters give the time the sleeps alone take and
// what the update costs beyond them, in per cent.

#include <benchmark/benchmark.h>

#include <chrono>

#include "emulator/firmware/Firmware.h"
#include "protocol/CommandChannel.h"
#include "protocol/FirmwareUpdate.h"

namespace {

using emulator::DeviceModel;

void BM_MouseUpdateWithSleeps(benchmark::State& state) {
  protocol::fw::Image image{"RM50C17A", 0x0126, std::vector<uint8_t>(3600)};
  for (size_t i = 0; i < image.payload.size(); ++i) image.payload[i] = uint8_t(i * 13);
  const size_t chunks = (image.payload.size() + protocol::fw::kChunk - 1) / protocol::fw::kChunk;
  const size_t exchanges = chunks + 3;
  double seconds = 0;
  for (auto _ : state) {
    auto emu = std::make_shared<emulator::Emulator>();
    auto unit = emulator::firmware::AddDevice(*emu, DeviceModel::Mouse);
    protocol::CCommandChannel channel(emu);
    channel.OpenHandle(protocol::ConnectionMode::Wired, emulator::firmware::CommandPath(*unit.device, DeviceModel::Mouse));
    const auto start = std::chrono::steady_clock::now();
    const protocol::fw::UpdateResult result = protocol::fw::SendImage(channel, image);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    seconds += took;
    if (!result.ok()) state.SkipWithError(protocol::fw::DescribeFailure(result).c_str());
  }
  const double perUpdateMs = seconds * 1000 / double(state.iterations());
  const double sleepsMs = double(exchanges) * 20.0;
  state.counters["chunks"] = double(chunks);
  state.counters["sleeps_ms"] = sleepsMs;
  state.counters["update_ms"] = perUpdateMs;
  state.counters["beyond_sleeps_pct"] = (perUpdateMs - sleepsMs) / sleepsMs * 100.0;
}
BENCHMARK(BM_MouseUpdateWithSleeps)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
