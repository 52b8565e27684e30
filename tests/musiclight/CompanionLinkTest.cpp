// The companion and the program's side of the link together: the companion
// analyses a test signal and sends frames to a stand-in main window, whose
// MusicLink hands the keyboard its levels; the start and exit sequences show
// in the companion's log.

#include "tests/musiclight/CompanionFixture.h"

namespace musiclight {
namespace {

TEST_F(CompanionLinkTest, SineLightsItsOwnLevel) {
  Start("sine:1000:-6");
  ExpectToneAt(1000, 12);
  Exit();
}

TEST_F(CompanionLinkTest, SilenceGivesZeroLevels) {
  Start("silence");
  const std::vector<int32_t> levels = LevelsAfter(6);
  ASSERT_EQ(levels.size(), 500u);
  for (size_t i = 0; i < 25; ++i) EXPECT_EQ(levels[i], 0) << "level " << i;
  Exit();
}

TEST_F(CompanionLinkTest, ASecondCompanionDoesNotStart) {
  Start("silence");
  QProcess second;
  second.start(VX27_AUDIORECORD, {"--signal", "silence"});
  second.waitForFinished(5000);
  ASSERT_EQ(second.state(), QProcess::NotRunning);
  EXPECT_EQ(second.exitCode(), 1);
  Exit();
}

}  // namespace
}  // namespace musiclight
