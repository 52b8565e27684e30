// libFuzzer target over LoadJsonFile and every section reader and writer.
// The first input byte picks which file the rest of the input becomes — the
// profile, the light configuration file or a light effect file — while the
// other two keep a small valid content. Every lane runs it as fuzz_profile
// (tests/fuzz) from the corpus in tests/fuzz/corpus/profile; with clang's
// libFuzzer, for a coverage-guided run: configure with CXX=clang++ and
// CMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link", build
// profiles_fuzzer and run it on tests/fuzz/corpus/profile.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../ExerciseProfiles.h"

namespace {

const char* kLightConfig =
    R"({"LightInfo":[[{"LightName":"A","Guid":"fx"},{"LightName":"B","Guid":"fx"}]]})";
const char* kEffect = R"({"LEDEffectList":[{"LEDREGMode":5,"Time":500,"Cyle":3}]})";
const char* kProfile = R"({"Device":[{"LightInfo":{"SelectItem":1}}]})";

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// A working folder that is also the install folder, with small factory
// profiles: the real keyboard profile would make every fallback slow. It is
// removed when the run ends (the path is never destroyed before that, so the
// exit handler can still name it).
const std::filesystem::path& Folder() {
  static const std::filesystem::path* const folder = [] {
    std::string pattern = "/dev/shm/vx27-fuzz-XXXXXX";
    auto* made = new std::filesystem::path(::mkdtemp(pattern.data()));
    std::filesystem::create_directories(*made / "DefaultData");
    for (const char* model : {"keyboard", "mouse", "MousePad", "HD"})
      Write(*made / "DefaultData" / (std::string(model) + ".Json"),
            R"({"Device":[{"LightInfo":{"SelectItem":2},"KeyList":[{"Assignment":1}],)"
            R"("CustomLightMode":{"LightColorInfo":[[{"Red":1}]]},"EQHzValueInfo":[]}]})");
    ::setenv("VX27_INSTALL_DIR", made->c_str(), 1);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*folder, ec);
    });
    return made;
  }();
  return *folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto& folder = Folder();
  const int target = data[0] % 3;
  Write(folder / "orvix_light.config", target == 1 ? text : kLightConfig);
  Write(folder / "fx.light", target == 2 ? text : kEffect);
  if (!profiles_test::RunAllKinds(folder, target == 0 ? text : kProfile)) __builtin_trap();
  return 0;
}
