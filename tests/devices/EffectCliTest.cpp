// vx27ctl effect, run as a user runs it: a keyboard mode started and stepped
// on a fresh engine. Expected lines are worked out by hand from the tables.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/CtlRun.h"

namespace {

using testsupport::Ctl;

TEST(EffectCli, KeyboardModesStepOnTheEngine) {
  struct Case {
    const char* args;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // Comet backwards from 0: positions 51, 50, ... 42; a light falls by 5 a step.
      {"keyboard 24 --steps 10 --colour ff0000",
       {"light 120 255 0 0 204", "light 121 255 0 0 209", "light 108 255 0 0 249", "light 0 255 0 0 0"}},
      // Column wave forwards, two steps: column 0 wheel entry 3, column 1 entry 10.
      {"keyboard 1 --dir 1 --multi 1 --steps 2", {"light 120 255 7 0 255", "light 21 255 38 0 255"}},
      // Fixed wheel colour, secondary mode 2: entry 70 at level 2.
      {"keyboard 17 --secondary 2 --level 2", {"light 5 0 255 18 100", "light 169 0 255 18 100"}},
  };
  for (const Case& c : cases) {
    const auto r = Ctl(std::string("effect ") + c.args);
    EXPECT_EQ(r.exit, 0) << c.args;
    for (const std::string& line : c.lines) EXPECT_TRUE(r.Has(line)) << c.args << ": " << line;
  }
}

TEST(EffectCli, BadArgumentsAndModesWithoutAStep) {
  for (const char* args : {"mouse 1", "keyboard", "keyboard x", "keyboard 1 --steps x", "keyboard 1 --colour ff00",
                           "keyboard 1 --speed", "keyboard 1 --brightness 3"})
    EXPECT_EQ(Ctl(std::string("effect ") + args).exit, 2) << args;
  EXPECT_EQ(Ctl("effect keyboard 19").exit, 1);
}

}  // namespace
