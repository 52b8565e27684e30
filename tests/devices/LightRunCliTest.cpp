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

// The three bytes of LED position p in a "frame <hex>" line.
std::string FrameTriple(const std::string& frameHex, size_t p) {
  return frameHex.size() >= 6 * (p + 1) ? frameHex.substr(6 * p, 6) : std::string("missing");
}

TEST(LightRunCli, AudioInputDrivesTheKeyboardsHostModes) {
  // Mode 30 at brightness level 2 (100): the host colour's low bytes.
  EXPECT_TRUE(HasLine(Ctl("keyboard 1E02040001000000000000000000 1 --host 266,20,30"), "light 169 10 20 30 100"));
  // Mode 29, sub-mode 0, red over black: level 1 at full scale lights rows 1
  // to 5 of column 1 (lights 21, 42, 63, 84, 105) after one step.
  const std::string audio = "keyboard 1D04040100000000000000000000 2 --audio 00000000FF00000000 --levels 0,2000";
  const testsupport::CommandRun printed = Ctl(audio);
  EXPECT_TRUE(HasLine(printed, "light 21 255 0 0 254")) << printed.out;
  EXPECT_TRUE(HasLine(printed, "light 22 0 0 0 255")) << printed.out;

  // Streamed to the emulated keyboard, whose LED p sits under key position
  // p: 126 keys, 3 bytes each, 255 at brightness 254 sent as 253.
  const testsupport::CommandRun sent = Ctl(audio + " --emulate keyboard");
  EXPECT_EQ(sent.exit, 0) << sent.out;
  EXPECT_TRUE(HasLine(sent, "result 1")) << sent.out;
  const size_t at = sent.out.find("frame ");
  ASSERT_NE(at, std::string::npos) << sent.out;
  const std::string frame = sent.out.substr(at + 6, sent.out.find('\n', at) - at - 6);
  EXPECT_EQ(frame.size(), 6u * 126);
  for (size_t p : {21, 42, 63, 84, 105}) EXPECT_EQ(FrameTriple(frame, p), "fd0000") << p;
  for (size_t p : {0, 20, 22, 125}) EXPECT_EQ(FrameTriple(frame, p), "000000") << p;
}

TEST(LightRunCli, MalformedArgumentsAreUsageErrors) {
  const std::string kb = "keyboard 1D04040100000000000000000000 2 ";
  for (const std::string& args :
       {std::string("mouse 0204 3"), std::string("lamp 0204040101000000000000000000 3"),
        std::string("mouse 0204040101000000000000000000"), std::string("mouse 0204040101000000000000000000 x"),
        kb + "--audio 0000", kb + "--levels 1,,2", kb + "--levels 1,x", kb + "--levels 99999999999", kb + "--host 1,2",
        kb + "--emulate mouse", std::string("mouse 0204040101000000000000000000 1 --emulate keyboard")})
    EXPECT_EQ(Ctl(args).exit, 2) << args;
  std::string levels26 = "1";
  for (int i = 1; i < 26; ++i) levels26 += ",1";
  EXPECT_EQ(Ctl(kb + "--levels " + levels26).exit, 2) << "26 levels";
}

}  // namespace
