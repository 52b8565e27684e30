// The setting handlers of the headset panels: what the chip is given, what
// the page shows and what the profile file holds afterwards.

#include <gtest/gtest.h>

#include "platform/Trace.h"
#include "tests/headset/ChipFixture.h"

namespace headset_test {
namespace {

using headset::audio::kNothingDone;
using headset::audio::kPresetNameTaken;
using headset::audio::kPresetSaved;

std::vector<int> Bands(const Json::Value& slot) {
  std::vector<int> values;
  for (const Json::Value& band : slot) values.push_back(band["value"].asInt());
  return values;
}

std::vector<std::string> Names(const Json::Value& entry) {
  std::vector<std::string> names;
  for (const Json::Value& n : entry["CustomEQNameInfo"]) names.push_back(n["Name"].asString());
  return names;
}

class AudioHandlers : public ::testing::Test {
 protected:
  void SetUp() override { run_.StartAndLoad(); }
  headset::audio::HeadsetAudio& Model() { return run_.Model(); }
  ChipRun run_{BaseChip()};
};

TEST_F(AudioHandlers, BuiltInPresetIsPlayedShownAndSaved) {
  ASSERT_EQ(Model().SelectEqPreset(3), 0);
  run_.ClearLog();
  ASSERT_EQ(Model().SelectEqPreset(5), 0);
  EXPECT_EQ(run_.Writes(), EqWrites({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["EqType"].asInt(), 5);
  EXPECT_EQ(Bands(run_.Saved()["EQHzValueInfo"][5]), std::vector<int>(10, 0));
  EXPECT_EQ(Model().View().eqOption, 5);
  EXPECT_FALSE(Model().View().userPresetArea);

  run_.ClearLog();
  Model().SelectEqPreset(12);
  EXPECT_EQ(run_.Writes(), EqWrites({2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
  EXPECT_EQ((std::array<int, 10>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}), Model().View().bandSliders);
}

TEST_F(AudioHandlers, OutOfRangeChoicesDoNothing) {
  for (int n : {0, 14, -1}) EXPECT_EQ(Model().SelectEqPreset(n), kNothingDone) << n;
  for (int n : {0, 5}) EXPECT_EQ(Model().SelectVoiceEffect(n), kNothingDone) << n;
  EXPECT_EQ(Model().SetBand(10, 3), kNothingDone);
  EXPECT_EQ(Model().SelectUserPreset(0), kNothingDone);  // there is none
  EXPECT_EQ(Model().DeleteUserPreset(), kNothingDone);
  EXPECT_TRUE(run_.Writes().empty());
}

TEST_F(AudioHandlers, BandMovedOnPresetThreeShowsAnUnsavedUserSetting) {
  Model().SelectEqPreset(3);
  run_.ClearLog();
  ASSERT_EQ(Model().SetBand(4, 6), 0);
  EXPECT_EQ(run_.Writes(), std::vector<std::string>{"write P:EQ_Slider5 6"});
  const auto& view = Model().View();
  EXPECT_EQ(view.eqOption, 13);
  EXPECT_EQ(view.presetSelection, -1);
  EXPECT_TRUE(view.nameEdit.empty());
  EXPECT_TRUE(view.userPresetArea);
  EXPECT_EQ(view.bandSliders[4], 6);
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["EqType"].asInt(), 3);
  EXPECT_EQ(Bands(run_.Saved()["EQHzValueInfo"][3]), (std::vector<int>{10, 4, 0, -3, -4, -3, -2, -1, 0, 0}));
}

TEST_F(AudioHandlers, UserPresetsSaveSelectRefuseAndDelete) {
  Model().SelectEqPreset(3);
  Model().SetBand(0, 5);
  ASSERT_EQ(Model().SaveUserPreset(u"Bass"), kPresetSaved);
  EXPECT_EQ(Names(run_.Saved()), std::vector<std::string>{"Bass"});
  EXPECT_EQ(Bands(run_.Saved()["CustomEQHzValueInfo"][0]), (std::vector<int>{5, 4, 0, -3, -4, -3, -2, -1, 0, 0}));
  EXPECT_EQ(Model().View().presetSelection, 0);

  // Same name in other case letters: refused, nothing saved.
  EXPECT_EQ(Model().SaveUserPreset(u"bASS"), kPresetNameTaken);
  EXPECT_EQ(Names(run_.Saved()).size(), 1u);

  Model().SetBand(9, -20);
  ASSERT_EQ(Model().SaveUserPreset(u"Treble"), kPresetSaved);
  // Empty name: the selected preset takes the sliders.
  Model().SetBand(1, 1);
  Model().SelectUserPreset(1);
  Model().SetBand(2, 2);
  ASSERT_EQ(Model().SaveUserPreset(u""), kPresetSaved);
  EXPECT_EQ(Bands(run_.Saved()["CustomEQHzValueInfo"][1]), (std::vector<int>{5, 4, 2, -3, -4, -3, -2, -1, 0, -20}));

  // Selecting preset 0 plays it.
  run_.ClearLog();
  Model().SelectUserPreset(0);
  EXPECT_EQ(run_.Writes(), EqWrites({5, 4, 0, -3, -4, -3, -2, -1, 0, 0}));
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 0);

  // Deleting the first moves the second down and selects it.
  ASSERT_EQ(Model().DeleteUserPreset(), 0);
  EXPECT_EQ(Names(run_.Saved()), std::vector<std::string>{"Treble"});
  EXPECT_EQ(run_.Saved()["CustomEQHzValueInfo"].size(), 1u);
  EXPECT_EQ(Bands(run_.Saved()["CustomEQHzValueInfo"][0]), (std::vector<int>{5, 4, 2, -3, -4, -3, -2, -1, 0, -20}));
  EXPECT_EQ(Model().View().presetSelection, 0);

  // Deleting the last returns to built-in preset 1, on the page and in the chip.
  run_.ClearLog();
  ASSERT_EQ(Model().DeleteUserPreset(), 0);
  EXPECT_EQ(run_.Writes(), EqWrites({7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
  EXPECT_EQ(Model().View().eqOption, 1);
  EXPECT_FALSE(Model().View().userPresetArea);
  EXPECT_TRUE(Names(run_.Saved()).empty());
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["EqType"].asInt(), 1);
}

TEST_F(AudioHandlers, TwentyFirstUserPresetIsRefused) {
  Model().SetBand(0, 1);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(Model().SaveUserPreset(u"p" + std::u16string(size_t(i + 1), u'x')), kPresetSaved);
  EXPECT_EQ(Model().SaveUserPreset(u"one more"), kNothingDone);
  EXPECT_EQ(Names(run_.Saved()).size(), 20u);
  EXPECT_EQ(Model().View().presetNames.size(), 20u);
}

TEST_F(AudioHandlers, MicrophoneAndMonitoring) {
  // The base chip: microphone on at 0.3, monitoring muted at 0.6.
  ASSERT_EQ(Model().ToggleMicrophone(), 0);
  ASSERT_EQ(Model().SetMicrophoneLevel(57), 0);
  ASSERT_EQ(Model().ToggleMonitoring(), 0);
  ASSERT_EQ(Model().SetMonitoringLevel(29), 0);
  EXPECT_EQ(run_.Writes(), (std::vector<std::string>{"write R:MuteControl 1", "write R:VolumeScalarControl 0.57",
                                                     "write R:AAMuteControl 0", "write R:AAVolumeScalarControl 0.29"}));
  const Json::Value s = run_.Saved()["SystemSetStages"];
  EXPECT_EQ(s["MicInSelect"].asInt(), 0);
  EXPECT_EQ(s["MicInValue"].asInt(), 57);
  EXPECT_EQ(s["MicMoniterSelect"].asInt(), 1);
  EXPECT_EQ(s["MicMoniterValue"].asInt(), 29);
}

TEST(AudioHandlerFailures, FailedMicrophoneWritesRestoreThePage) {
  Json::Value chip = BaseChip();
  Json::Value fail(Json::arrayValue);
  for (const char* f : {"write:R:MuteControl", "write:R:VolumeScalarControl", "write:R:AAMuteControl"})
    fail.append(f);
  chip["fail"] = fail;
  ChipRun run(chip);
  run.StartAndLoad();
  const std::string before = ReadAll(run.ProfileFile());
  auto& model = run.Model();
  EXPECT_NE(model.ToggleMicrophone(), 0);
  EXPECT_TRUE(model.View().micOption);
  EXPECT_NE(model.SetMicrophoneLevel(90), 0);
  EXPECT_EQ(model.View().micSlider, 30);
  EXPECT_NE(model.ToggleMonitoring(), 0);
  EXPECT_FALSE(model.View().monitorOption);
  EXPECT_EQ(ReadAll(run.ProfileFile()), before);
  // The stored mute state was restored too: a second try mutes again.
  std::vector<std::string> lines;
  platform::ScopedTraceSink sink([&](std::string_view line) { lines.emplace_back(line); });
  model.ToggleMicrophone();
  EXPECT_EQ(lines, std::vector<std::string>{"audio R MuteControl write int 1 = 1"});
}

TEST_F(AudioHandlers, VoiceEffect) {
  ASSERT_EQ(Model().SetVoiceEffectEnabled(true), 0);
  ASSERT_EQ(Model().SelectVoiceEffect(4), 0);
  ASSERT_EQ(Model().SetVoiceEffectEnabled(false), 0);
  EXPECT_EQ(run_.Writes(), (std::vector<std::string>{"write R:Enable_MAGICVOICE 1", "write R:Enable_MICECHO 0",
                                                     "write R:MagicVoice_Selection 3", "write R:Enable_MAGICVOICE 0"}));
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["MagicEnable"].asInt(), 0);
  EXPECT_EQ(run_.Saved()["SystemSetStages"]["MagicType"].asInt(), 4);
  EXPECT_FALSE(Model().View().effectTypes);
  EXPECT_EQ(Model().View().effectType, 4);
}

}  // namespace
}  // namespace headset_test
