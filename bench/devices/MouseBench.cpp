// What applying a whole profile to the mouse costs on the host beyond the
// channel's fixed sleeps (skipped): the settings block, a macro image of two
// macros and the key map, against the emulated mouse. The counter
// "us_per_report" divides the time of one apply by the reports it sent.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "devices/core/MouseCore.h"
#include "emulator/firmware/Firmware.h"
#include "profiles/JsonFile.h"

namespace {

namespace fs = std::filesystem;
using emulator::DeviceModel;

struct MouseBench {
  MouseBench()
      : folder(fs::temp_directory_path() / ("vx27-mouse-bench-" + std::to_string(::getpid()))),
        emu(std::make_shared<emulator::Emulator>()),
        unit(emulator::firmware::AddDevice(*emu, DeviceModel::Mouse)),
        channel(emu),
        core(channel, profile) {
    fs::create_directories(folder);
    channel.SetSleeper([](std::chrono::milliseconds) {});
    channel.OpenHandle(protocol::ConnectionMode::Wired, emulator::firmware::CommandPath(*unit.device, DeviceModel::Mouse));
    Json::Value doc;
    const uint32_t codes[] = {0x700001, 0x100200, 0x100400, 0x710103, 0x100800, 0x130100,
                              0x130200, 0x130300, 0xA01B00, 0x169001, 0x147802};
    for (uint32_t c : codes) {
      Json::Value k;
      k["Assignment"] = c;
      k["DefaultAssignment"] = c;
      doc["Device"][0]["KeyList"].append(k);
    }
    for (int i = 0; i < 7; ++i) {
      Json::Value s;
      s["StageActive"] = 1;
      s["StageDPIX"] = 10 * i;
      s["StageDPIY"] = 10 * i;
      doc["Device"][0]["DPIStages"]["StageDPIs"].append(s);
    }
    doc["Device"][0]["LightInfo"]["SelectItem"] = 1;
    doc["Device"][0]["SystemStages"]["MouseSpeed"] = 10;
    profiles::SaveJsonFile(folder / "p.Json", doc);
    Json::Value index;
    for (int m = 0; m < 2; ++m) {
      index["MacroInfo"][m]["MacroName"] = "m" + std::to_string(m);
      index["MacroInfo"][m]["Guid"] = "m" + std::to_string(m);
      Json::Value events;
      for (int e = 0; e < 20; ++e) {
        events["Events"][e]["Type"] = 10;
        events["Events"][e]["Action"] = e % 2 ? "up" : "down";
        events["Events"][e]["Button"] = 4 + e / 2;
        events["Events"][e]["Delay"] = "30";
      }
      profiles::SaveJsonFile(folder / ("m" + std::to_string(m) + ".mac"), events);
    }
    profiles::SaveJsonFile(folder / "macro.config", index);
    core.SetMacroFolder(folder);
    core.LoadProfile(folder / "p.Json");
    core.ReadAll();
  }
  ~MouseBench() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  fs::path folder;
  std::shared_ptr<emulator::Emulator> emu;
  emulator::firmware::EmulatedUnit unit;
  protocol::CCommandChannel channel;
  profiles::CMouseProfiledata profile;
  devices::MouseCore core;
};

void BM_MouseProfileApply(benchmark::State& state) {
  MouseBench b;
  size_t reports = 0;
  std::chrono::nanoseconds spent{0};
  for (auto _ : state) {
    b.unit.firmware->ClearLog();
    const auto start = std::chrono::steady_clock::now();
    const devices::MouseApplyResult r = b.core.ApplyProfile();
    spent += std::chrono::steady_clock::now() - start;
    if (r.settings != 1 || r.macros != 0 || r.keys != 1) state.SkipWithError("apply failed");
    reports += b.unit.firmware->Log().size();
  }
  state.counters["reports"] = benchmark::Counter(double(reports), benchmark::Counter::kAvgIterations);
  if (reports > 0) state.counters["us_per_report"] = double(spent.count()) / 1000.0 / double(reports);
}
BENCHMARK(BM_MouseProfileApply)->Unit(benchmark::kMillisecond);

}  // namespace
