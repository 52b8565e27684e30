// vx27ctl music-bands: frames from a file through the program's analysis,
// one "levels" line per set handed to the keyboard.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <string>

#include "tests/support/CtlRun.h"

namespace {

std::string Repeat(const std::string& value, int count, const char* separator) {
  std::string line;
  for (int i = 0; i < count; ++i) line += (i ? separator : "") + value;
  return line;
}

TEST(MusicBandsCli, EveryThirdFrameGivesOneLevelsLine) {
  QTemporaryDir dir;
  const std::string file = dir.path().toStdString() + "/frames.txt";
  {
    std::ofstream out(file);
    // Three alternating frames, a blank line (no frame), then three equal
    // frames; the short frame's missing values are 0.
    out << Repeat("300", 500, ",") << "\n" << Repeat("-300", 500, " ") << "\n" << Repeat("300", 500, ",")
        << "\n\n" << Repeat("300", 500, ",") << "\n" << Repeat("300", 500, ",") << "\n" << "300,300\n";
  }
  const testsupport::CtlRun run = testsupport::Ctl("music-bands '" + file + "'");
  EXPECT_EQ(run.exit, 0);
  const std::string group0 = "levels " + Repeat("600", 25, ",") + "\n";
  // Last set: group 0 has 18 of 20 values dropping from 300 to 0.
  const std::string group1 = "levels 270," + Repeat("300", 24, ",") + "\n";
  EXPECT_EQ(run.out, group0 + group1);
  EXPECT_EQ(testsupport::Ctl("music-bands '" + file + ".missing'").exit, 1);
}

}  // namespace
