#pragma once
// The companion run against a stand-in main window whose MusicLink hands the
// keyboard its levels; the start and exit sequences read from its log.

#include <gtest/gtest.h>

#include <QProcess>
#include <cmath>
#include <vector>

#include "musiclight/MusicLink.h"
#include "platform/WindowBus.h"
#include "tests/musiclight/LinkFixture.h"
#include "tests/support/EventLoop.h"

namespace musiclight {

// The keyboard level that holds `hz`: 500 logarithmic bands from 40 Hz to
// 16 kHz, 20 bands to a level.
inline size_t LevelOf(double hz) { return size_t(500 * std::log(hz / 40.0) / std::log(16000.0 / 40.0)) / 20; }

inline QString ReadLine(QProcess& p, int timeoutMs = 5000) {
  testsupport::WaitFor([&] {
    p.waitForReadyRead(10);
    return p.canReadLine() || p.state() == QProcess::NotRunning;
  }, timeoutMs);
  return p.canReadLine() ? QString::fromUtf8(p.readLine()).trimmed() : QString();
}

class CompanionLinkTest : public ::testing::Test {
 protected:
  void Start(const QString& signal) { StartWith({"--signal", signal}); }
  void StartWith(QStringList args) {
    ASSERT_TRUE(main_.Listen());
    companion_.setProcessChannelMode(QProcess::SeparateChannels);
    companion_.start(VX27_AUDIORECORD, args << "--log");
    ASSERT_TRUE(companion_.waitForStarted(5000));
    ASSERT_EQ(ReadLine(companion_), "ready");
    ASSERT_TRUE(link_.ConnectCapture());
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (const QString& expected : {"recv BE19 0 " + pid, QString("recv BE19 3 0"), QString("recv BE19 1 0")})
      EXPECT_EQ(ReadLine(companion_), expected);
  }
  // Waits for `count` sets of levels; the last one.
  std::vector<int32_t> LevelsAfter(size_t count) {
    EXPECT_TRUE(testsupport::WaitFor([&] { return levels_.size() >= count; }, 10000));
    return levels_.empty() ? std::vector<int32_t>() : levels_.back();
  }
  // After `sets` sets of levels: the level holding `hz` is the top one and
  // the levels two away are under half of it.
  void ExpectToneAt(double hz, size_t sets) {
    const std::vector<int32_t> levels = LevelsAfter(sets);
    ASSERT_EQ(levels.size(), 500u);
    const size_t top = LevelOf(hz);
    for (size_t i = 0; i < 25; ++i)
      if (i != top) EXPECT_LT(levels[i], levels[top]) << "level " << i;
    EXPECT_GT(levels[top], 200);
    EXPECT_LT(levels[top - 2] * 2, levels[top]);
    EXPECT_LT(levels[top + 2] * 2, levels[top]);
  }
  void Exit() {
    ASSERT_TRUE(link_.DisconnectCapture());
    for (const char* expected : {"recv BE19 2 0", "recv BE19 4 0", "recv BE19 5 0"})
      EXPECT_EQ(ReadLine(companion_), expected);
    companion_.waitForFinished(5000);  // false when it has ended already
    ASSERT_EQ(companion_.state(), QProcess::NotRunning);
    EXPECT_EQ(companion_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(companion_.exitCode(), 0);
  }
  void TearDown() override {
    if (companion_.state() != QProcess::NotRunning) {
      companion_.kill();
      companion_.waitForFinished(5000);
    }
  }

  test::PrivateBus bus_;
  MusicLink link_{uint64_t(QCoreApplication::applicationPid())};
  std::vector<std::vector<int32_t>> levels_;
  platform::BusWindow main_{link::kMainClass, link::kMainTitle, [this](const platform::BusMessage& m) {
                              if (m.id == platform::kCopyDataMessage) link_.OnCopyData(m.dwData, m.bytes);
                            }};
  QProcess companion_;

  void SetUp() override {
    link_.SetKeyboard([this](std::span<const int32_t> v) { levels_.emplace_back(v.begin(), v.end()); },
                      {});
  }
};

}  // namespace musiclight
