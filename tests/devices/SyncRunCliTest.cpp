// vx27ctl sync-run, run as a user runs it: the common effect a device's
// lighting record stands for, the modes every kind takes, and the frames one
// held device gets over some light ticks.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/RunCommand.h"

namespace {

namespace fs = std::filesystem;

testsupport::CommandRun Ctl(const std::string& args) {
  const char* bin = std::getenv("VX27_INSTALL_DIR");
  if (!bin) return {};
  return testsupport::RunCommand("'" + (fs::path(bin) / "vx27ctl").string() + "' sync-run " + args + " 2>/dev/null");
}

TEST(SyncRunCli, RecordsGiveTheEffectTheModesAndTheFrames) {
  struct Case {
    const char* args;
    const char* out;
  };
  const Case cases[] = {
      // Keyboard breathing (5), multi-colour, speed 4: 130 frames; the third
      // breath shows wheel entry 48 (69, 255, 0) at phase 2, brightness 1.
      {"keyboard 05040401010A141E000000000000 910",
       "effect 0 keyboard 5 mouse 1 pad 2 headset 2\nframes 130 colour 0100ff45\n"},
      // Mouse colour cycle (3) at speed 4: 192 frames pass the whole wheel.
      {"mouse 0304040000000000000000000000 1344", "effect 3 keyboard 4 mouse 3 pad 1 headset 1\nframes 192 colour ff0001ff\n"},
      {"mouse 0304040000000000000000000000 1343", "effect 3 keyboard 4 mouse 3 pad 1 headset 1\nframes 191 colour ff0000ff\n"},
      // Pad static (3) at level 3, speed 2: a frame every 18 ticks.
      {"pad 03030200000A141E000000000000 36", "effect 1 keyboard 6 mouse 0 pad 3 headset 3\nframes 2 colour af1e140a\n"},
      // Headset blink (4) at speed 4: the first toggle (on) after 1400 ms.
      {"headset 0402040000FF0000000000000000 35", "effect 2 keyboard 23 mouse 6 pad 4 headset 4\nframes 5 colour 00000000\n"},
      {"headset 0402040000FF0000000000000000 91", "effect 2 keyboard 23 mouse 6 pad 4 headset 4\nframes 13 colour 640000ff\n"},
      // Keyboard off (28): black frames.
      {"keyboard 1C04040000FFFFFF000000000000 14", "effect 4 keyboard 28 mouse 10 pad 8 headset 8\nframes 2 colour 00000000\n"},
      // Brightness level 0: black whatever the colour.
      {"mouse 0000040000FFFFFF000000000000 7", "effect 1 keyboard 6 mouse 0 pad 3 headset 3\nframes 1 colour 00ffffff\n"},
      // Modes without a common effect hold nothing.
      {"keyboard 0704040000FFFFFF000000000000 100", "effect none\nframes 0 colour 00000000\n"},
      {"mouse 0204040000FFFFFF000000000000 100", "effect none\nframes 0 colour 00000000\n"},
      {"pad 0504040000FFFFFF000000000000 100", "effect none\nframes 0 colour 00000000\n"},
  };
  for (const Case& c : cases) {
    const testsupport::CommandRun r = Ctl(c.args);
    EXPECT_EQ(r.exit, 0) << c.args;
    EXPECT_EQ(r.out, c.out) << c.args;
  }
}

TEST(SyncRunCli, MalformedArgumentsAreRefused) {
  for (const char* args : {"", "lamp 0304040000000000000000000000 10", "mouse 03040400 10",
                           "mouse 0304040000000000000000000000 many", "mouse 0304040000000000000000000000"}) {
    const testsupport::CommandRun r = Ctl(args);
    EXPECT_EQ(r.exit, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
  }
}

}  // namespace
