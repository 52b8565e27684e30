// The sections of each device kind through its profile object: every section
// read and written back, the repairs some getters make in the document, the
// merge of DPI stages, the equaliser slot rule, and the custom light effects.

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/Ru6533Profiledata.h"
#include "profiles/Text.h"

using namespace profiles;
using namespace profiles_test;

namespace {

// Writes a profile whose device entry is `entry` and loads it.
template <typename Profile>
void LoadEntry(Profile& profile, const TempFolder& folder, const std::string& entry,
               const std::string& name = "p.Json") {
  WriteText(folder / name, R"({"Device":[)" + entry + R"(],"profilename":"P"})");
  profile.SetProfilePath(folder / name);
  profile.LoadProfile(folder / name);
}

Json::Value SavedEntry(const TempFolder& folder, const std::string& name = "p.Json") {
  return Parse(ReadAll(folder / name))["Device"][0];
}

const char* kKeyboardEntry = R"({
  "LightInfo":{"SelectItem":20,"Light":4,"Speed":1,"Fx":0,"MultiColor":1,"Red":1,"Green":2,
               "Blue":3,"ZZCCLedMode":1,"CustomGroup":1,"OldLedmode":6},
  "AudioLightInfo":{"AudioMode":2,"BkColorR":0,"BkColorG":0,"BkColorB":9,"FgColorR":255,
                    "FgColorG":0,"FgColorB":0,"7ColorFlags":1,"ColorTypeFlags":0},
  "LightList":[null,{"LEDREGMode":1,"LEDBrightness":4,"LEDSpeed":0,"LEDDirection":0,
                     "LEDMultiColor":0,"red":1,"green":1,"blue":1}],
  "KeyList":[{"Assignment":2097193,"DefaultAssignment":2097193},
             {"Assignment":7340288,"DefaultAssignment":2097210}],
  "SystemStages":{"Repeat":20,"RepeatDelay":1,"Key6Flag":0,"PollingRate":2,"WFlag":1,"WinFlag":0},
  "CustomLightMode":{"CustomLightModeGroupIndex":1,
                     "LightColorInfo":[[{"Red":1,"Green":1,"Blue":1,"Alpha":1}],
                                       [{"Red":9,"Green":8,"Blue":7,"Alpha":255},
                                        {"Red":0,"Green":0,"Blue":0,"Alpha":0}]]}})";

TEST(KeyboardProfile, EverySectionReadsAndWritesBackUnchanged) {
  TempFolder folder;
  CKeyboardProfiledata p;
  LoadEntry(p, folder, kKeyboardEntry);

  const auto light = p.GetLightInfo();
  EXPECT_EQ(light.selectItem, 20);
  const auto words = light.ToWords();
  p.SetLightInfo(words[0], words[1], words[2], uint16_t(words[3]));
  p.SetAudioLightInfo(p.GetAudioLightInfo());
  EXPECT_EQ(p.GetLightList().size(), 2u);
  p.SetKeyList(p.GetKeyList());
  const auto system = p.GetSystemSettings().ToWords();
  p.SetSystemSettings(system[0], system[1], system[2]);
  EXPECT_EQ(p.GetCustomGroupIndex(), 1);
  p.SetCustomGroupIndex(p.GetCustomGroupIndex());
  const auto colours = p.GetCustomColors(1, 2);
  EXPECT_EQ(colours[0], (CustomColor{9, 8, 7, 255}));
  p.SetCustomColors(colours, 1);
  ASSERT_TRUE(p.Save());

  EXPECT_EQ(SavedEntry(folder), Parse(kKeyboardEntry));
}

TEST(KeyboardProfile, SettersWriteTheirMembersOnly) {
  TempFolder folder;
  CKeyboardProfiledata p;
  LoadEntry(p, folder, kKeyboardEntry);

  auto keys = p.GetKeyList();
  keys[1].assignment = KeyFunction::FromCode(1, 0x100100);
  keys[1].defaultAssignment = KeyFunction::FromCode(1, 0x123456);  // never written
  keys.push_back(KeyAssignment{KeyFunction::FromCode(2, 0xA01B00), {}});
  p.SetKeyList(keys);
  p.SetSystemSettings(0x00030005, 0x00010001, 0x00010000);
  // Bytes 8-10 of the light record are not part of the profile.
  p.SetLightInfo(0x01020304, 0x05060701, 0x09FFFFFF, 0x0B0A);
  ASSERT_TRUE(p.Save());
  const auto light = p.GetLightInfo();
  EXPECT_EQ(light.unused, (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(light.zzccLedMode, 0x09);
  EXPECT_EQ(light.oldLedMode, 0x0B);

  const Json::Value entry = SavedEntry(folder);
  EXPECT_EQ(entry["KeyList"][1], Parse(R"({"Assignment":1048832,"DefaultAssignment":2097210})"));
  EXPECT_EQ(entry["KeyList"][2], Parse(R"({"Assignment":10492672})"));
  EXPECT_EQ(entry["SystemStages"],
            Parse(R"({"Repeat":5,"RepeatDelay":3,"Key6Flag":1,"PollingRate":1,"WFlag":0,
                      "WinFlag":1})"));
  EXPECT_EQ(Parse(ReadAll(folder / "p.Json"))["profilename"], "P");
}

TEST(KeyboardProfile, CustomColoursRepairMissingGroupsAndKeys) {
  TempFolder folder;
  CKeyboardProfiledata p;
  LoadEntry(p, folder, R"({"LightInfo":{}})");

  // No "CustomLightMode": group 2 is created with 87 zero colours.
  const auto colours = p.GetCustomColors(2, 87);
  EXPECT_EQ(colours, std::vector<CustomColor>(87));
  const Json::Value& groups = p.Document()["CustomLightMode"]["LightColorInfo"];
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_TRUE(groups[0].isNull());
  ASSERT_EQ(groups[2].size(), 87u);
  EXPECT_EQ(groups[2][86], Parse(R"({"Red":0,"Green":0,"Blue":0,"Alpha":0})"));
  EXPECT_EQ(p.GetCustomGroupIndex(), 0);

  // A group with a null key: only that key is repaired; stored keys are kept.
  LoadEntry(p, folder,
            R"({"CustomLightMode":{"LightColorInfo":[[{"Red":5,"Green":6,"Blue":7,"Alpha":8},
                                                     null]]}})");
  EXPECT_EQ(p.GetCustomColors(0, 3),
            (std::vector<CustomColor>{{5, 6, 7, 8}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
  EXPECT_EQ(p.Document()["CustomLightMode"]["LightColorInfo"][0][1]["Alpha"], 0);

  // A group index no device can have changes nothing.
  const Json::Value before = p.Document();
  EXPECT_TRUE(p.GetCustomColors(-1, 10).empty());
  EXPECT_TRUE(p.GetCustomColors(1 << 30, 10).empty());
  EXPECT_EQ(p.Document(), before);
}

TEST(MouseProfile, DpiStagesMergeAndNeverShrink) {
  TempFolder folder;
  CMouseProfiledata p;
  const auto stages = [](int n, int dpi) {
    std::string s = R"({"DPIStages":{"StageActive":)" + std::to_string(n - 1) + R"(,"StageDPIs":[)";
    for (int i = 0; i < n; ++i)
      s += std::string(i ? "," : "") + R"({"StageActive":1,"StageDPIX":)" +
           std::to_string(dpi + i) + "}";
    return s + "]}}";
  };
  LoadEntry(p, folder, stages(6, 100));
  ASSERT_EQ(p.GetDpiStages().size(), 6u);
  EXPECT_EQ(p.GetActiveStage(), 5);

  LoadEntry(p, folder, stages(4, 200));
  const auto merged = p.GetDpiStages();
  ASSERT_EQ(merged.size(), 6u);
  EXPECT_EQ(merged[3].dpiX, 203);
  EXPECT_EQ(merged[4].dpiX, 104);  // kept from before
  EXPECT_EQ(merged[5].dpiX, 105);
  EXPECT_EQ(p.GetActiveStage(), 3);

  LoadEntry(p, folder, R"({"LightInfo":{}})");  // no section: nothing changes
  EXPECT_EQ(p.GetDpiStages(), merged);
  EXPECT_EQ(p.GetActiveStage(), 3);

  DpiStage s;
  s.active = 1, s.dpiX = 1600, s.dpiY = 800, s.blue = 255;
  p.SetDpiStages({s});
  p.SetActiveStage(0);
  ASSERT_TRUE(p.Save());
  EXPECT_EQ(SavedEntry(folder)["DPIStages"],
            Parse(R"({"StageActive":0,"StageDPIs":[{"StageActive":1,"StageXY":0,
                      "StageDPIX":1600,"StageDPIY":800,"StageColorR":0,"StageColorG":0,
                      "StageColorB":255}]})"));
}

TEST(MouseProfile, SystemSettingsNeedSystemStagesAndWriteBothSections) {
  TempFolder folder;
  CMouseProfiledata p;
  LoadEntry(p, folder, R"({"ReportStages":{"StageActive":3}})");
  EXPECT_EQ(p.GetSystemSettings(), MouseSystemSettings{});

  LoadEntry(p, folder, R"({"SystemStages":{"MouseSpeed":10}})");
  MouseSystemSettings expected;
  expected.mouseSpeed = 10;
  EXPECT_EQ(p.GetSystemSettings(), expected);

  expected.scrollPage = 1;
  expected.wheelScrollLines = 3;
  expected.reportRate = 2;
  expected.keyDebounceTime = 4;
  const auto words = expected.ToWords();
  p.SetSystemSettings(words);
  ASSERT_TRUE(p.Save());
  const std::string text = ReadAll(folder / "p.Json");
  EXPECT_NE(text.find("\"ScorllPage\" : 1"), std::string::npos);
  EXPECT_NE(text.find("\"WheelScorlllinse\" : 3"), std::string::npos);
  EXPECT_NE(text.find("\"key_debounce_time\" : 4"), std::string::npos);
  CMouseProfiledata again;
  again.LoadProfile(folder / "p.Json");
  EXPECT_EQ(again.GetSystemSettings(), expected);
}

TEST(HeadsetProfile, EqTypesMapToPresetSlots) {
  TempFolder folder;
  CRu6533Profiledata p;
  std::string slots = "[";
  for (int s = 0; s <= 12; ++s) {
    slots += std::string(s ? "," : "") + "[";
    for (int b = 0; b < 10; ++b)
      slots += std::string(b ? "," : "") + R"({"value":)" + std::to_string(s * 100 + b) + "}";
    slots += "]";
  }
  LoadEntry(p, folder, R"({"EQHzValueInfo":)" + slots + "]}");
  const struct {
    int type, slot;
  } cases[] = {{0, 1}, {1, 1}, {7, 7}, {12, 12}, {14, 1}, {20, 1}, {-3, 1}};
  for (const auto& c : cases) {
    const auto values = p.GetEqValues(c.type);
    ASSERT_EQ(values.size(), 10u) << c.type;
    EXPECT_EQ(values[9], c.slot * 100 + 9) << c.type;
  }
  const Json::Value before = p.Document();
  EXPECT_TRUE(p.GetEqValues(13).empty());
  p.SetEqValues(13, std::vector<int>(10, 5));
  EXPECT_EQ(p.Document(), before);

  p.SetEqValues(3, {-12, 0, 12});
  EXPECT_EQ(p.GetEqValues(3), (std::vector<int>{-12, 0, 12, 303, 304, 305, 306, 307, 308, 309}));
}

TEST(HeadsetProfile, MissingPresetsAreCreatedWithZeros) {
  TempFolder folder;
  CRu6533Profiledata p;
  LoadEntry(p, folder, R"({"SystemSetStages":{"EqType":2}})");
  EXPECT_EQ(p.GetEqValues(2), std::vector<int>(10, 0));
  const Json::Value& slot = p.Document()["EQHzValueInfo"][2];
  ASSERT_EQ(slot.size(), 10u);
  EXPECT_EQ(slot[9], Parse(R"({"value":0})"));

  EXPECT_EQ(p.GetCustomEqValues(1), std::vector<int>(10, 0));
  EXPECT_EQ(p.Document()["CustomEQHzValueInfo"].size(), 2u);
  p.SetCustomEqValues(1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  EXPECT_EQ(p.GetCustomEqValues(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  // A preset index no headset can have is refused.
  const Json::Value before = p.Document();
  EXPECT_EQ(p.GetCustomEqValues(-1), std::vector<int>(10, 0));
  EXPECT_EQ(p.GetCustomEqValues(2000000000), std::vector<int>(10, 0));
  p.SetCustomEqValues(2000000000, std::vector<int>(10, 1));
  EXPECT_EQ(p.Document(), before);
}

TEST(HeadsetProfile, SettingsAndUserPresetNames) {
  TempFolder folder;
  CRu6533Profiledata p;
  LoadEntry(p, folder, R"({"CustomEQNameInfo":[{"Name":"低音"},{"Name":"Rock"},{}]})");
  EXPECT_EQ(p.GetCustomEqNames(), (std::vector<std::u16string>{u"低音", u"Rock", u""}));

  p.SetCustomEqNames({u"Jazz", u"人声"});
  HeadsetSettings h;
  h.eqType = 13, h.customEqSelectIndex = 1, h.micMonitorSelect = 1, h.micMonitorValue = 40;
  p.SetHeadsetSettings(h);
  ASSERT_TRUE(p.Save());
  const std::string text = ReadAll(folder / "p.Json");
  EXPECT_NE(text.find("\"CustomEqSeletIndex\" : 1"), std::string::npos);
  EXPECT_NE(text.find("\"MicMoniterSelect\" : 1"), std::string::npos);
  EXPECT_NE(text.find("\"MicMoniterValue\" : 40"), std::string::npos);
  EXPECT_EQ(Parse(text)["Device"][0]["CustomEQNameInfo"][1]["Name"], "人声");

  CRu6533Profiledata again;
  again.LoadProfile(folder / "p.Json");
  EXPECT_EQ(again.GetHeadsetSettings(), h);
  EXPECT_EQ(again.GetCustomEqNames(), (std::vector<std::u16string>{u"Jazz", u"人声"}));
}

class LightEffect : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(folder_ / "effect-a.light",
              R"({"LEDEffectList":[{"LEDREGMode":5,"LEDSpeed":4,"Time":500,"Cyle":3},
                                   {"LEDREGMode":1,"red":255,"Time":250}]})");
    std::filesystem::create_directories(folder_ / "elsewhere");
    WriteText(folder_ / "elsewhere/b.light", R"({"LEDEffectList":[{"LEDREGMode":2}]})");
    const std::string absolute = (folder_ / "elsewhere/b").string();
    WriteText(folder_ / "orvix_light.config",
              R"({"LightInfo":[[{"LightName":"A","Guid":"effect-a"},
                               {"LightName":"B","Guid":")" + absolute + R"("},
                               {"LightName":"C","Guid":"missing"}]]})");
    profile_.SetLightConfigPath(folder_ / "orvix_light.config");
    LoadEntry(profile_, folder_, R"({"LightInfo":{"SelectItem":0}})");
  }

  std::vector<LightEffectStep> EffectOfMode(int mode) {
    LightInfoRecord r;
    r.selectItem = uint8_t(mode);
    profile_.SetLightInfo(r);
    return profile_.GetLightEffect();
  }

  TempFolder folder_;
  CBasicProfiledata profile_;
};

TEST_F(LightEffect, ConfigurationNamesTheEffectFileOfTheMode) {
  EXPECT_TRUE(EffectOfMode(0).empty());  // configuration not loaded yet
  profile_.LoadLightConfig(profile_.GetLightConfigPath());

  const auto a = EffectOfMode(0);  // relative "Guid": in the profile folder
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].mode, 5);
  EXPECT_EQ(a[0].time, 500);
  EXPECT_EQ(a[0].cycle, 3);
  EXPECT_EQ(a[1].red, 255);
  ASSERT_EQ(EffectOfMode(1).size(), 1u);  // absolute "Guid" used as it is
  EXPECT_TRUE(EffectOfMode(2).empty());   // effect file missing
  EXPECT_TRUE(EffectOfMode(3).empty());   // no such entry

  // With 12 built-in modes, mode 13 is the second custom effect.
  profile_.SetBuiltInModeCount(12);
  EXPECT_EQ(EffectOfMode(13).size(), 1u);
  EXPECT_TRUE(EffectOfMode(11).empty());
}

}  // namespace
