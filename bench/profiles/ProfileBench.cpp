// Load and save of a full keyboard profile: 170 keys, five groups of 170
// custom colours (the factory keyboard profile). The profile lives in a folder
// under the temp path, as a user's profile lives on disk.
//   LoadKeyboardProfile   read + parse the file, decode every section
//   SaveKeyboardProfile   encode the sections, render and write the file
//                         atomically (including the flush to disk)
//   RenderKeyboardProfile the styled text alone, without the file write
// Measured on the 2-core build machine (load average 1.9): load 3.1 ms, save
// 4.6 ms wall (4.2 ms CPU), render 0.77 ms; with the machine busy (load 7.5)
// 10 ms, 23 ms and 2.3 ms wall.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"

namespace {

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx27-bench-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
    std::filesystem::copy_file(VX27_FACTORY_KEYBOARD, path_ / "k.Json");
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::filesystem::path File() const { return path_ / "k.Json"; }

 private:
  std::filesystem::path path_;
};

void ReadEverySection(profiles::CKeyboardProfiledata& p) {
  benchmark::DoNotOptimize(p.GetLightInfo());
  benchmark::DoNotOptimize(p.GetAudioLightInfo());
  benchmark::DoNotOptimize(p.GetLightList());
  benchmark::DoNotOptimize(p.GetKeyList());
  benchmark::DoNotOptimize(p.GetSystemSettings());
  for (int g = 0; g < 5; ++g) benchmark::DoNotOptimize(p.GetCustomColors(g, 170));
}

void LoadKeyboardProfile(benchmark::State& state) {
  Folder folder;
  profiles::CKeyboardProfiledata p;
  for (auto _ : state) {
    p.LoadProfile(folder.File());
    ReadEverySection(p);
  }
}
BENCHMARK(LoadKeyboardProfile)->Unit(benchmark::kMillisecond);

void SaveKeyboardProfile(benchmark::State& state) {
  Folder folder;
  profiles::CKeyboardProfiledata p;
  p.SetProfilePath(folder.File());
  p.LoadProfile(folder.File());
  auto keys = p.GetKeyList();
  auto colours = p.GetCustomColors(0, 170);
  for (auto _ : state) {
    keys[5].assignment.c2 ^= 1;
    p.SetKeyList(keys);
    p.SetCustomColors(colours, 0);
    p.SetLightInfo(p.GetLightInfo());
    if (!p.Save()) state.SkipWithError("save failed");
  }
}
BENCHMARK(SaveKeyboardProfile)->Unit(benchmark::kMillisecond);

void RenderKeyboardProfile(benchmark::State& state) {
  const Json::Value root = profiles::LoadJsonFile(VX27_FACTORY_KEYBOARD);
  for (auto _ : state) benchmark::DoNotOptimize(profiles::StyledJsonText(root));
}
BENCHMARK(RenderKeyboardProfile)->Unit(benchmark::kMillisecond);

}  // namespace
