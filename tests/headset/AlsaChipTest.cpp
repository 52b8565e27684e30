// The library's ALSA backend: the level mapping on its own, then the whole
// path through a test card presented by an external control plugin.

#include <gtest/gtest.h>

#include <cmath>

#include "headset/osconflib/AlsaMapping.h"
#include "tests/headset/ChipFixture.h"

namespace headset_test {
namespace {

namespace alsa = osconflib::alsa;
using headset::audio::Group;

TEST(AlsaMapping, LevelsFollowTheDbScale) {
  struct Case {
    long db, minDb, maxDb;
    double level;
  } cases[] = {
      {-1000, -2000, 0, 0.5},             // up to 24 dB: linear in dB
      {-2400, -2400, 0, 0.0},
      {1800, -1200, 3000, 0.538970},      // wider: 10^(dB/60), bottom at 0
      {0, -1200, 3000, 0.145791},
      {-1500, -3500, 0, 0.407756},
      {-600, alsa::kDbMute, 0, 0.794328}, // a muted bottom counts as silence
      {3000, -1200, 3000, 1.0},
      {-5000, -1200, 3000, 0.0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(alsa::LevelFromDb(c.db, c.minDb, c.maxDb), c.level, 1e-5) << c.db << " in " << c.minDb << ".." << c.maxDb;
  EXPECT_DOUBLE_EQ(alsa::LevelFromRaw(5, 0, 10), 0.5);
  EXPECT_DOUBLE_EQ(alsa::LevelFromRaw(-3, 0, 10), 0.0);
}

TEST(AlsaMapping, NearestRawValue) {
  const auto tenths = [](long raw) { return raw / 10.0; };
  EXPECT_EQ(alsa::NearestRaw(0.57, 0, 10, tenths), 6);
  EXPECT_EQ(alsa::NearestRaw(0.55, 0, 10, [](long raw) { return raw * 0.1; }), 5);  // a tie takes the lower
  EXPECT_EQ(alsa::NearestRaw(2.0, 0, 10, tenths), 10);
  EXPECT_EQ(alsa::NearestRaw(-1.0, -4, 10, tenths), -4);
}

// The test card's plugin and a configuration naming two cards: one with a
// monitoring path, one without.
class AlsaCard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TempFolder folder;
    config_ = folder / "asound.conf";
    state_ = folder / "card.state";
    WriteText(config_, std::string("ctl_type.vx27test { lib \"") + VX27_ALSA_TEST_CARD + "\" }\n" +
                           "ctl.vx27headset { type vx27test state \"" + state_.string() + "\" }\n" +
                           "ctl.vx27headset_nomon { type vx27test monitoring 0 }\n");
    setenv("ALSA_CONFIG_PATH", config_.c_str(), 1);
    unsetenv(osconflib::kEmulateEnv);
  }
  void Use(const char* card) { setenv(osconflib::kAlsaControlEnv, card, 1); }
  void TearDown() override { unsetenv(osconflib::kAlsaControlEnv); }

  static std::string State() { return ReadAll(state_); }

  static inline std::filesystem::path config_;
  static inline std::filesystem::path state_;
};

TEST_F(AlsaCard, MicrophoneLevelAndMute) {
  Use("vx27headset");
  ChipRun run(Json::Value{});
  run.Model().Start();
  run.Model().Load();
  // The card starts at raw 30 of 0..42 (+18 dB of -12..+30 dB), switch on;
  // monitoring at raw 20 of 0..35 (-15 dB of -35..0 dB), switch off.
  const auto& s = run.Model().Settings();
  EXPECT_EQ(s.micInValue, 54);
  EXPECT_EQ(s.micInSelect, 1);
  EXPECT_EQ(s.micMonitorValue, 41);
  EXPECT_EQ(s.micMonitorSelect, 0);
  EXPECT_EQ(run.Model().Chip().Device(headset::audio::Dev::Recording).info.kind, 2u);

  ASSERT_EQ(run.Model().SetMicrophoneLevel(57), 0);
  ASSERT_EQ(run.Model().ToggleMicrophone(), 0);
  ASSERT_EQ(run.Model().ToggleMonitoring(), 0);
  ASSERT_EQ(run.Model().SetMonitoringLevel(29), 0);
  EXPECT_EQ(State(), "Mic Capture Volume 31\nMic Capture Switch 0\nMic Playback Volume 16\nMic Playback Switch 1\n");

  // Read back from the card, the page shows what was set.
  run.Model().Start();
  run.Model().Load();
  EXPECT_EQ(run.Model().Settings().micInValue, 57);
  EXPECT_EQ(run.Model().Settings().micInSelect, 0);
  EXPECT_EQ(run.Model().Settings().micMonitorValue, 30);
  EXPECT_EQ(run.Model().Settings().micMonitorSelect, 1);
}

TEST_F(AlsaCard, WhatTheCardLacksIsDisabled) {
  struct Case {
    const char* card;
    std::array<bool, 4> available;  // equaliser, microphone, monitoring, voice effect
  } cases[] = {
      {"vx27headset", {false, true, true, false}},
      {"vx27headset_nomon", {false, true, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.card);
    Use(c.card);
    ChipRun run(Json::Value{});
    run.Model().Start();
    EXPECT_EQ(run.Model().View().available, c.available);
    EXPECT_EQ(run.Model().Chip().Device(headset::audio::Dev::Playback).info.kind, 1u);
    EXPECT_EQ(run.Model().SelectEqPreset(2), headset::audio::kNothingDone);
    std::string text;
    EXPECT_NE(run.Model().Chip().Read(headset::audio::Dev::Playback, "EQ_Slider1", headset::audio::kNoExtra, &text), 0);
    EXPECT_EQ(run.Model().Chip().Read(headset::audio::Dev::Recording, "GetMaxVol", headset::audio::kNoExtra, &text), 0);
    EXPECT_EQ(text, "30");
  }
}

}  // namespace
}  // namespace headset_test
