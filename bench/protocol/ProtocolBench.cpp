// What the protocol costs on the host: one full exchange against the
// emulator's firmware beyond its fixed 20 ms of sleeps (the sleeps are
// skipped), the same with the real sleeps for reference, a chunked key-map
// write, and building light frames and event images.

#include <benchmark/benchmark.h>

#include "emulator/firmware/Firmware.h"
#include "protocol/CommandChannel.h"
#include "protocol/EventImage.h"
#include "protocol/LightFrame.h"

namespace {

using emulator::DeviceModel;

struct Bench {
  explicit Bench(bool realSleeps = false)
      : emu(std::make_shared<emulator::Emulator>()),
        unit(emulator::firmware::AddDevice(*emu, DeviceModel::Keyboard)),
        channel(emu) {
    if (!realSleeps) channel.SetSleeper([](std::chrono::milliseconds) {});
    channel.OpenHandle(protocol::ConnectionMode::Wired,
                       emulator::firmware::CommandPath(*unit.device, DeviceModel::Keyboard));
  }
  std::shared_ptr<emulator::Emulator> emu;
  emulator::firmware::EmulatedUnit unit;
  protocol::CCommandChannel channel;
};

void BM_ExchangeBeyondSleeps(benchmark::State& state) {
  Bench b;
  protocol::Report request = protocol::MakeRequest(protocol::cmd::kReadInfoBlock, 34, 0);
  protocol::SealReport(request);
  protocol::Report reply{};
  for (auto _ : state) {
    if (b.channel.Exchange(request, reply) != protocol::kOk) state.SkipWithError("exchange failed");
    benchmark::DoNotOptimize(reply);
  }
}
BENCHMARK(BM_ExchangeBeyondSleeps);

void BM_ExchangeWithSleeps(benchmark::State& state) {
  Bench b(true);
  protocol::Report request = protocol::MakeRequest(protocol::cmd::kReadInfoBlock, 34, 0);
  protocol::SealReport(request);
  protocol::Report reply{};
  for (auto _ : state) {
    if (b.channel.Exchange(request, reply) != protocol::kOk) state.SkipWithError("exchange failed");
  }
}
BENCHMARK(BM_ExchangeWithSleeps)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_QuickExchange(benchmark::State& state) {
  Bench b;
  protocol::Report request = protocol::MakeRequest(protocol::cmd::kLightFrame, 56, 0);
  protocol::SealReport(request);
  protocol::Report reply{};
  for (auto _ : state) {
    if (b.channel.ExchangeQuick(request, reply) != protocol::kOk)
      state.SkipWithError("exchange failed");
  }
}
BENCHMARK(BM_QuickExchange);

void BM_KeyMapWriteBeyondSleeps(benchmark::State& state) {
  Bench b;
  (void)b.channel.SetBlockSize(3 * 126);
  std::vector<uint8_t> map(3 * 126, 0x20);
  for (auto _ : state) {
    if (b.channel.WriteKeyMap(map, 0) != protocol::kOk) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_KeyMapWriteBeyondSleeps);

void BM_BuildLightFrame(benchmark::State& state) {
  std::vector<protocol::LightColour> lights(170);
  std::vector<std::optional<uint16_t>> positions(170);
  for (size_t i = 0; i < lights.size(); ++i) {
    lights[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), uint8_t(128 + i / 2)};
    if (i < 126) positions[i] = uint16_t(i);
  }
  protocol::LightFrame frame{};
  for (auto _ : state) {
    protocol::BuildLightFrame(lights, positions, frame);
    benchmark::DoNotOptimize(frame);
  }
}
BENCHMARK(BM_BuildLightFrame);

// A recoil image: four weapons of 30 shots × 6 events.
void BM_BuildRecoilImage(benchmark::State& state) {
  std::vector<std::vector<protocol::PackedMacroEvent>> entries(4);
  for (auto& e : entries)
    for (int i = 0; i < 180; ++i)
      e.push_back(protocol::PackEvent(std::to_string(i * 7), i % 6 < 2 ? 1 : 4,
                                      i % 2 ? "up" : "down", i % 40));
  for (auto _ : state) {
    auto image = protocol::BuildEventImage(entries);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_BuildRecoilImage);

void BM_PackEvent(benchmark::State& state) {
  for (auto _ : state) {
    auto e = protocol::PackEvent("12345", 10, "down", 0x2C);
    benchmark::DoNotOptimize(e);
  }
}
BENCHMARK(BM_PackEvent);

}  // namespace
