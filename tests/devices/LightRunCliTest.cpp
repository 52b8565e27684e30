// vx27ctl light-run, run as a user runs it: the model's engine from a
// lighting record (and an effect file) after some ticks.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/RunCommand.h"

namespace {

namespace fs = std::filesystem;

// Lines of the output are whole: "light 1 ..." does not match "light 10 ...".
bool HasLine(const testsupport::CommandRun& r, const std::string& line) { return r.Has(line + "\n"); }

testsupport::CommandRun Ctl(const std::string& args) {
  const char* bin = std::getenv("VX27_INSTALL_DIR");
  if (!bin) return {};
  return testsupport::RunCommand("'" + (fs::path(bin) / "vx27ctl").string() + "' light-run " + args + " 2>/dev/null");
}

TEST(LightRunCli, RecordsRunOnTheModelsEngine) {
  struct Case {
    const char* args;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // Mouse wave, speed 4, forwards, multi-colour: two steps in 14 ticks,
      // phase 2, segment 0 entry 3, segment 1 entry 10.
      {"mouse 0204040101000000000000000000 14", {"light 0 255 7 0 255", "light 13 255 7 0 255",
                                                  "light 1 255 38 0 255", "light 14 94 255 0 255"}},
      {"mouse 0204040101000000000000000000 13", {"light 0 255 5 0 255"}},
      // Pad static (mode 3) at level 2 after 18 ticks at speed 2.
      {"pad 0302020000C80A14000000000000 18", {"light 14 200 10 20 100"}},
      {"pad 0302020000C80A14000000000000 17", {"light 14 0 0 0 0"}},
      // Keyboard off (mode 28): the keyboard has 170 lights.
      {"keyboard 1C04040000FFFFFF000000000000 1", {"light 169 0 0 0 0"}},
  };
  for (const Case& c : cases) {
    const testsupport::CommandRun r = Ctl(c.args);
    EXPECT_EQ(r.exit, 0) << c.args;
    for (const std::string& line : c.lines) EXPECT_TRUE(HasLine(r, line)) << c.args << ": " << line << "\n" << r.out;
  }
}

TEST(LightRunCli, AnEffectFilePlaysInAModeWithoutAStep) {
  const fs::path file = fs::temp_directory_path() / ("vx27-light-run-" + std::to_string(::getpid()) + ".light");
  std::ofstream(file) << R"({"LEDEffectList": [{"LEDREGMode": 1, "LEDBrightness": 3, "LEDSpeed": 0,
      "LEDDirection": 0, "LEDMultiColor": 0, "red": 1, "green": 2, "blue": 3, "Time": 1000, "Cyle": 0}]})";
  const testsupport::CommandRun r = Ctl("mouse 0904040000000000000000000000 1 --effect '" + file.string() + "'");
  fs::remove(file);
  EXPECT_EQ(r.exit, 0);
  EXPECT_TRUE(HasLine(r, "light 7 1 2 3 175")) << r.out;
  EXPECT_TRUE(HasLine(Ctl("mouse 0904040000000000000000000000 1"), "light 7 0 0 0 0")) << "no effect: off";
}

TEST(LightRunCli, MalformedArgumentsAreUsageErrors) {
  for (const char* args : {"mouse 0204 3", "lamp 0204040101000000000000000000 3", "mouse 0204040101000000000000000000",
                           "mouse 0204040101000000000000000000 x"})
    EXPECT_EQ(Ctl(args).exit, 2) << args;
}

}  // namespace
