// Discovery and descriptor parsing costs.
//  - One discovery pass over four emulated devices and twenty decoys: the
//    first pass (every collection listed, opened and claimed), a quiet pass
//    (nothing plugged or unplugged: the last listing is re-used) and a pass
//    after a change (a decoy plugged again: a full listing, the decoys opened
//    again).
//  - Parsing a descriptor of at least 4 KiB.

#include <benchmark/benchmark.h>

#include "emulator/DescriptorBuilder.h"
#include "emulator/DeviceCatalog.h"
#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "hid/DiscoveryWorker.h"
#include "hid/InterfaceSlots.h"
#include "hid/ReportDescriptor.h"

namespace {

std::shared_ptr<emulator::Emulator> FourDevicesAndTwentyDecoys() {
  auto emu = std::make_shared<emulator::Emulator>();
  std::string list = "mouse,keyboard,pad,headset";
  for (int i = 0; i < 5; ++i) list += ",mouse:decoy,keyboard:decoy,pad:decoy,headset:decoy";
  emulator::AddEmulatedDevices(*emu, list, nullptr);
  return emu;
}

void BM_DiscoveryFirstPass(benchmark::State& state) {
  auto emu = FourDevicesAndTwentyDecoys();
  platform::MessageTarget target([](const platform::Message&) { return int64_t{0}; });
  platform::StopEvent stop;
  for (auto _ : state) {
    hid::InterfaceSlots slots;
    hid::DiscoveryWorker worker(emu, slots, target, 0);
    worker.Pass(stop);
    benchmark::DoNotOptimize(slots.Slot(10).Connected);
  }
  std::vector<std::string> paths;
  emu->Enumerate(paths);
  state.counters["collections"] = static_cast<double>(paths.size());
}
BENCHMARK(BM_DiscoveryFirstPass)->Unit(benchmark::kMicrosecond);

// Discovery after its first pass over four devices and twenty decoys.
struct SettledDiscovery {
  SettledDiscovery() { worker.Pass(stop); }
  std::shared_ptr<emulator::Emulator> emu = FourDevicesAndTwentyDecoys();
  platform::MessageTarget target{[](const platform::Message&) { return int64_t{0}; }};
  platform::StopEvent stop;
  hid::InterfaceSlots slots;
  hid::DiscoveryWorker worker{emu, slots, target, 0};
};

void BM_DiscoveryQuietPass(benchmark::State& state) {
  SettledDiscovery d;
  const int listings = d.worker.Listings();
  for (auto _ : state) d.worker.Pass(d.stop);
  state.counters["listings"] = static_cast<double>(d.worker.Listings() - listings);
}
BENCHMARK(BM_DiscoveryQuietPass)->Unit(benchmark::kMicrosecond);

void BM_DiscoveryPassAfterAChange(benchmark::State& state) {
  SettledDiscovery d;
  const uint32_t decoy = d.emu->Devices().back()->Id();
  for (auto _ : state) {
    state.PauseTiming();
    d.emu->Unplug(decoy);
    d.emu->Plug(decoy);
    state.ResumeTiming();
    d.worker.Pass(d.stop);
  }
}
BENCHMARK(BM_DiscoveryPassAfterAChange)->Unit(benchmark::kMicrosecond);

void BM_ParseDescriptor4KiB(benchmark::State& state) {
  // Built from whole collections; checked to parse before timing.
  std::vector<uint8_t> bytes;
  for (uint8_t id = 1; bytes.size() < 4096; ++id) {
    emulator::DescriptorBuilder b;
    b.UsagePage(0x01).Usage(0x02).Collection(emulator::collection::kApplication).ReportId(id);
    b.Usage(0x01).Collection(emulator::collection::kPhysical);
    b.UsagePage(0x09).UsageMin(1).UsageMax(5).LogicalMin(0).LogicalMax(1);
    b.ReportSize(1).ReportCount(5).Input(emulator::field::kVariable);
    b.ReportSize(3).ReportCount(1).Input(emulator::field::kConstant);
    b.UsagePage(0x01).Usage(0x30).Usage(0x31).LogicalMin(-32767).LogicalMax(32767);
    b.ReportSize(16).ReportCount(2).Input(emulator::field::kVariable | emulator::field::kRelative);
    b.EndCollection().EndCollection();
    const auto v = emulator::VendorCollectionDescriptor(static_cast<uint8_t>(id + 128), 0xFF1C, 0x92);
    bytes.insert(bytes.end(), b.Bytes().begin(), b.Bytes().end());
    bytes.insert(bytes.end(), v.begin(), v.end());
  }
  const auto check = hid::ParseReportDescriptor(bytes);
  if (!check) {
    state.SkipWithError("benchmark descriptor does not parse");
    return;
  }
  for (auto _ : state) {
    auto parsed = hid::ParseReportDescriptor(bytes);
    benchmark::DoNotOptimize(parsed);
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
  state.counters["collections"] = static_cast<double>(check->collections.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ParseDescriptor4KiB)->Unit(benchmark::kMicrosecond);

}  // namespace
