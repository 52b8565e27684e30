// The library start against a table of chips: which devices are chosen,
// which messages appear, what the chip is given as defaults, and what the
// page shows after loading.

#include <gtest/gtest.h>

#include <functional>

#include "tests/headset/ChipFixture.h"

namespace headset_test {
namespace {

using headset::audio::Dev;
using headset::audio::Group;

constexpr int kProfileMicLevel = 80;  // the factory headset profile's MicInValue

struct StartCase {
  const char* name;
  std::function<void(Json::Value&)> chip;
  bool noLibrary;
  std::vector<std::string> messages;
  uint32_t playbackId;
  std::array<uint32_t, 3> recordingFeatures;
  int micLevel;
  int monitorLevel;
  int magicEnable;
  int magicType;
  std::array<bool, 4> available;
  const char* note;  // of the first unavailable group
};

Json::Value Devices(std::initializer_list<std::array<int, 4>> rows) {
  Json::Value list(Json::arrayValue);
  for (const auto& r : rows) {
    Json::Value d;
    d["flow"] = r[0];
    d["id"] = r[1];
    d["kind"] = r[2];
    d["state"] = r[3];
    list.append(d);
  }
  return list;
}

Json::Value Fail(std::initializer_list<const char*> what) {
  Json::Value list(Json::arrayValue);
  for (const char* w : what) list.append(w);
  return list;
}

constexpr std::array<bool, 4> kAll{true, true, true, true};
constexpr std::array<bool, 4> kNone{false, false, false, false};

const StartCase kCases[] = {
    {"no library", [](Json::Value&) {}, true, {}, 0, {0, 0, 0}, kProfileMicLevel, 50, 0, 0, kNone,
     headset::audio::kNoteNoLibrary},
    {"init failure", [](Json::Value& c) { c["fail"] = Fail({"init"}); }, false, {"ConfLibInit called failed!"}, 11,
     {131072, 0, 0}, 30, 60, 1, 2, kAll, ""},
    {"no playback device", [](Json::Value& c) { c["devices"] = Devices({{1, 21, 2, 1}}); }, false, {}, 0,
     {0, 0, 0}, kProfileMicLevel, 50, 0, 0, kNone, headset::audio::kNoteNoDevice},
    {"kinds 4 and 7", [](Json::Value& c) { c["devices"] = Devices({{0, 40, 4, 1}, {0, 70, 7, 1}, {1, 21, 2, 1}}); },
     false, {}, 70, {131072, 0, 0}, 30, 60, 1, 2, kAll, ""},
    {"kind 1 not present", [](Json::Value& c) { c["devices"] = Devices({{0, 10, 1, 0}, {0, 12, 12, 1}, {1, 21, 2, 0}}); },
     false, {}, 12, {131072, 0, 0}, 30, 60, 1, 2, kAll, ""},
    {"seven feature numbers",
     [](Json::Value& c) { c["properties"]["R:GetSupportFeature"] = "131072,0,0,0,5,0,9"; }, false, {}, 11,
     {131072, 5, 9}, 30, 60, 1, 2, kAll, ""},
    {"no voice effect feature",
     [](Json::Value& c) { c["properties"]["R:GetSupportFeature"] = "0,0,0,0,0,0,0"; }, false, {}, 11, {0, 0, 0}, 30,
     60, 0, 2, kAll, ""},
    {"three feature numbers", [](Json::Value& c) { c["properties"]["R:GetSupportFeature"] = "131072,1,2"; }, false,
     {"UpdateAPOAvailable failed!"}, 11, {0, 0, 0}, 30, 60, 0, 2, kAll, ""},
    {"levels round", [](Json::Value& c) {
       c["properties"]["R:VolumeScalarControl"] = "0.57";
       c["properties"]["R:AAVolumeScalarControl"] = "0.29";
     }, false, {}, 11, {131072, 0, 0}, 57, 29, 1, 2, kAll, ""},
    {"no monitoring range", [](Json::Value& c) { c["properties"].removeMember("R:GetAAMaxVol"); }, false, {}, 11,
     {131072, 0, 0}, 30, 50, 1, 2, kAll, ""},
    {"failed device call half-filled",
     [](Json::Value& c) {
       c["devices"] = Devices({{0, 10, 1, 1}, {0, 12, 1, 1}, {1, 21, 2, 1}});
       c["fail"] = Fail({"device:0:0"});
     },
     false, {}, 12, {131072, 0, 0}, 30, 60, 1, 2, kAll, ""},
    {"selection 2", [](Json::Value& c) { c["properties"]["R:MagicVoice_Selection"] = "2"; }, false, {}, 11,
     {131072, 0, 0}, 30, 60, 1, 3, kAll, ""},
    {"monitoring neither read nor written",
     [](Json::Value& c) { c["fail"] = Fail({"read:R:AAMuteControl", "write:R:AAMuteControl"}); }, false, {}, 11,
     {131072, 0, 0}, 30, 60, 1, 2, {true, true, false, true}, headset::audio::kNoteNotOffered},
};

TEST(AudioStart, TableOfChips) {
  ASSERT_NE(Library(), nullptr) << "the chip library is built beside the executables";
  for (const StartCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Json::Value chip = BaseChip();
    c.chip(chip);
    TempFolder empty;
    ChipRun run(chip, c.noLibrary ? headset::audio::LoadConfLibrary(empty.path()) : Library());
    run.Model().Start();
    run.Model().Load();
    EXPECT_EQ(run.Messages(), c.messages);
    EXPECT_EQ(run.Model().Chip().Device(Dev::Playback).info.id, c.playbackId);
    EXPECT_EQ(run.Model().Chip().Device(Dev::Recording).features, c.recordingFeatures);
    const auto& s = run.Model().Settings();
    EXPECT_EQ(s.micInValue, c.micLevel);
    EXPECT_EQ(s.micMonitorValue, c.monitorLevel);
    EXPECT_EQ(s.magicEnable, c.magicEnable);
    EXPECT_EQ(s.magicType, c.magicType);
    const auto& view = run.Model().View();
    EXPECT_EQ(view.micSlider, c.micLevel);
    EXPECT_EQ(view.effectType, c.magicType);
    EXPECT_EQ(view.available, c.available);
    for (size_t g = 0; g < view.available.size(); ++g)
      EXPECT_EQ(view.notes[g], view.available[g] ? "" : c.note) << "group " << g;
    if (c.available == kNone) {
      EXPECT_TRUE(run.Writes().empty());
      // A disabled page ignores what the user does.
      EXPECT_EQ(run.Model().SelectEqPreset(3), headset::audio::kNothingDone);
      EXPECT_EQ(run.Model().ToggleMicrophone(), headset::audio::kNothingDone);
    }
  }
}

TEST(AudioStart, ChipAnsweringNoReadGetsEveryDefaultOnce) {
  Json::Value chip = BaseChip();
  chip["fail"] = Fail({"read:*"});
  ChipRun run(chip);
  run.Model().Start();
  const std::vector<std::string> defaults{
      "write P:VirtualSurroundEffectControl 0", "write R:Enable_ENC_LFX 0", "write R:VolumeControl 0",
      "write P:Enable_EQ_GFX 0", "write P:EQ_Slider1 0", "write P:EQ_Slider2 0", "write P:EQ_Slider3 0",
      "write P:EQ_Slider4 0", "write P:EQ_Slider5 0", "write P:EQ_Slider6 0", "write P:EQ_Slider7 0",
      "write P:EQ_Slider8 0", "write P:EQ_Slider9 0", "write P:EQ_Slider10 0", "write P:Enable_RFX_GFX 0",
      "write P:RFX_ENVIRONMENT 0", "write P:RFX_ROOMSIZE 0", "write R:MuteControl 0",
      "write R:VolumeScalarControl 0", "write R:AAVolumeControl 0", "write R:AAMuteControl 0",
      "write R:AAVolumeScalarControl 0", "write R:Enable_MAGICVOICE 0", "write R:MagicVoice_Selection 0"};
  EXPECT_EQ(run.Writes(), defaults);
  // The written defaults make every group usable; the profile's values stay.
  run.Model().Load();
  EXPECT_EQ(run.Model().View().available, kAll);
  EXPECT_EQ(run.Model().Settings().micInValue, kProfileMicLevel);
}

TEST(AudioStart, LoadPlaysTheShownEqualiser) {
  // The factory profile selects built-in preset 5 (flat); a chip holding
  // other bands is given the page's bands.
  Json::Value chip = BaseChip();
  chip["properties"]["P:EQ_Slider4"] = "9";
  chip["properties"]["P:Enable_EQ_GFX"] = "0";
  ChipRun run(chip);
  run.Model().Start();
  run.ClearLog();
  run.Model().Load();
  EXPECT_EQ(run.Writes(), EqWrites({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(run.Model().View().eqOption, 5);
}

TEST(AudioStart, LongLibraryTextIsCutAtTheBuffer) {
  Json::Value chip = BaseChip();
  chip["properties"]["R:GetMaxVol"] = std::string(600, '7');
  ChipRun run(chip);
  run.Model().Start();
  std::string text;
  ASSERT_EQ(run.Model().Chip().Read(Dev::Recording, "GetMaxVol", headset::audio::kNoExtra, &text), 0);
  EXPECT_EQ(text, std::string(511, '7'));
}

}  // namespace
}  // namespace headset_test
