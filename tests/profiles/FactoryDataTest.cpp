// The factory files of DefaultData/ as the program reads them: every key a
// reader needs is there, the values agree with the device tables, and
// vx27ctl decodes every record of each factory profile.

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/ProfileFolders.h"
#include "profiles/Ru6533Profiledata.h"

using namespace profiles;
using namespace profiles_test;

namespace {

Json::Value Factory(const std::string& name) {
  const Json::Value v = LoadJsonFile(DefaultDataFolder() / name);
  EXPECT_FALSE(v.isNull()) << name;
  return v;
}

// Loads a factory profile through its object, from a copy so that the install
// folder is never written.
template <typename Profile>
void LoadFactory(Profile& p, const TempFolder& folder, const char* model) {
  const auto copy = folder / (std::string(model) + ".Json");
  std::filesystem::copy_file(DefaultProfilePath(model), copy);
  const std::string before = ReadAll(copy);
  p.SetDefaultPath(DefaultProfilePath(model));
  ASSERT_FALSE(p.LoadProfile(copy).isNull());
  EXPECT_EQ(ReadAll(copy), before) << "the factory profile has its device entry";
  EXPECT_EQ(Parse(before)["profileUUID"], model);
}

size_t CatalogueSize(int index) {
  return Factory("default_light.json")["DefaultLightName"][index].size();
}

TEST(FactoryData, KeyboardProfile) {
  TempFolder folder;
  CKeyboardProfiledata p;
  LoadFactory(p, folder, "keyboard");
  const auto keys = p.GetKeyList();
  ASSERT_EQ(keys.size(), 170u);
  const std::map<size_t, uint32_t> spot = {{0, 0x200029},   {16, 0xA01B00}, {17, 0xA02400},
                                           {84, 0x200200},  {110, 0xA00100}, {120, 0xD0A201},
                                           {124, 0xD0A205}, {125, 0x208000}, {126, 0x200000},
                                           {169, 0x200000}};
  for (const auto& [index, code] : spot) EXPECT_EQ(keys[index].defaultAssignment.Code(), code);
  for (const auto& k : keys) EXPECT_EQ(k.assignment, k.defaultAssignment);

  const auto light = p.GetLightInfo();
  EXPECT_LT(light.selectItem, CatalogueSize(0));
  EXPECT_LT(light.customGroup, 5);
  EXPECT_LE(p.GetSystemSettings().repeatDelay, 3);
  EXPECT_EQ(p.GetLightList().size(), 170u);

  const Json::Value before = p.Document();
  for (int g = 0; g < 5; ++g) EXPECT_EQ(p.GetCustomColors(g, 170).size(), 170u);
  EXPECT_EQ(p.Document(), before) << "every group and key is present";
}

TEST(FactoryData, MouseProfile) {
  TempFolder folder;
  CMouseProfiledata p;
  LoadFactory(p, folder, "mouse");
  const uint32_t buttons[] = {0x100100, 0x100200, 0x100400, 0x101000, 0x100800, 0x130100,
                              0x130200, 0x130300, 0xA01B00, 0x169001, 0x147802};
  const auto keys = p.GetKeyList();
  ASSERT_EQ(keys.size(), 11u);
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(keys[i].defaultAssignment.Code(), buttons[i]) << i;
    EXPECT_EQ(keys[i].assignment, keys[i].defaultAssignment);
  }
  const auto stages = p.GetDpiStages();
  ASSERT_EQ(stages.size(), 7u);
  EXPECT_LT(p.GetActiveStage(), 7);
  for (const auto& s : stages) EXPECT_EQ(s.active, 1);
  EXPECT_LT(p.GetLightInfo().selectItem, CatalogueSize(1));
  EXPECT_EQ(p.GetLightList().size(), 15u);
  const auto system = p.Document()["ReportStages"];
  for (const char* key : {"StageActive", "SilentAltitude", "Linear_Calibration", "Ripple",
                          "ble_sleep1", "ble_sleep2", "device_sleep1", "device_sleep2",
                          "key_debounce_time"})
    EXPECT_TRUE(system.isMember(key)) << key;
  for (const char* key :
       {"DoubleClickTime", "MouseSpeed", "PointerPrecision", "ScorllPage", "WheelScorlllinse"})
    EXPECT_TRUE(p.Document()["SystemStages"].isMember(key)) << key;
}

TEST(FactoryData, PadAndHeadsetProfiles) {
  TempFolder folder;
  CBasicProfiledata pad;
  LoadFactory(pad, folder, "MousePad");
  EXPECT_EQ(pad.GetLightList().size(), 15u);
  EXPECT_LT(pad.GetLightInfo().selectItem, CatalogueSize(2));

  CRu6533Profiledata hd;
  LoadFactory(hd, folder, "HD");
  EXPECT_EQ(hd.GetLightList().size(), 13u);
  EXPECT_LT(hd.GetLightInfo().selectItem, CatalogueSize(3));
  const auto settings = hd.GetHeadsetSettings();
  EXPECT_GE(settings.eqType, 1);
  EXPECT_LE(settings.eqType, 12);
  const Json::Value before = hd.Document();
  EXPECT_EQ(hd.GetEqValues(5), std::vector<int>(10, 0));
  EXPECT_EQ(hd.GetEqValues(1), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
  EXPECT_EQ(hd.GetEqValues(12), (std::vector<int>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
  EXPECT_EQ(hd.Document(), before) << "every preset slot is present";
  EXPECT_TRUE(hd.GetCustomEqNames().empty());
  EXPECT_TRUE(hd.Document()["CustomEQHzValueInfo"].isArray());
}

TEST(FactoryData, LightCatalogue) {
  const Json::Value light = Factory("default_light.json");
  const size_t sizes[] = {31, 12, 9, 9};
  ASSERT_EQ(light["DefaultLightName"].size(), 4u);
  ASSERT_EQ(light["AreaLightName"].size(), 4u);
  for (Json::ArrayIndex model = 0; model < 4; ++model) {
    const Json::Value& modes = light["DefaultLightName"][model];
    ASSERT_EQ(modes.size(), sizes[model]) << model;
    for (const Json::Value& m : modes) {
      EXPECT_TRUE(m["LightName"].isString());
      EXPECT_TRUE(m["visible"].isBool());
      EXPECT_TRUE(m["value"].isInt());
    }
    EXPECT_FALSE(light["AreaLightName"][model].empty());
    for (const Json::Value& a : light["AreaLightName"][model]) EXPECT_TRUE(a["LightName"].isString());
  }
  // The keyboard's host-driven modes are sent as 0xFE.
  EXPECT_EQ(light["DefaultLightName"][0][29]["value"], 0xFE);
  EXPECT_EQ(light["DefaultLightName"][0][30]["value"], 0xFE);
}

TEST(FactoryData, LanguagesPaletteAudioGroups) {
  const Json::Value languages = Factory("Language.config")["Language"];
  ASSERT_GE(languages.size(), 3u);
  EXPECT_EQ(languages[0]["Language_file"], "lan_cn.xml");
  EXPECT_EQ(languages[2]["Language_file"], "lan_tw.xml");
  EXPECT_EQ(languages[1]["Language_ID"], 520);
  std::set<int> ids;
  for (const Json::Value& l : languages) {
    for (const char* key : {"Language_name", "Language_file", "Language_text"})
      EXPECT_TRUE(l[key].isString()) << key;
    EXPECT_TRUE(ids.insert(l["Language_ID"].asInt()).second) << "IDs are unique";
  }

  const Json::Value palette = Factory("color_option_info.config")["coloroptioninfo"];
  ASSERT_EQ(palette["palletDialogcoloroption"].size(), 20u);
  ASSERT_EQ(palette["palletDialogcollectcoloroption"].size(), 20u);
  const std::regex hex8("[0-9A-F]{8}");
  for (const Json::Value& c : palette["palletDialogcoloroption"])
    EXPECT_TRUE(std::regex_match(c["color"].asString(), hex8));
  for (const Json::Value& c : palette["palletDialogcollectcoloroption"]) {
    EXPECT_TRUE(std::regex_match(c["color"].asString(), hex8));
    EXPECT_TRUE(c["UserData"].isString());
  }
  EXPECT_TRUE(palette["palletDialogcoloroption_selectitem"].isInt());
  EXPECT_TRUE(palette["palletDialogcollectcoloroption_selectitem"].isInt());

  const Json::Value audio = Factory("AudioFile.json")["Device"]["AudioLightInfo"];
  EXPECT_TRUE(audio["nAudioStyle"].isInt());
  for (int g = 0; g < 4; ++g) {
    EXPECT_TRUE(audio["nStyleName" + std::to_string(g + 1)].isString());
    for (const char* c : {"nStyleR", "nStyleG", "nStyleB"}) {
      const Json::Value& v = audio[c + std::to_string(g)];
      EXPECT_TRUE(v.isInt() && v.asInt() >= 0 && v.asInt() <= 9) << c << g;
    }
  }
}

TEST(FactoryData, RecoilTablesHoldThirtyShotsOfSixEvents) {
  for (int w = 0; w < 4; ++w) {
    const Json::Value events = Factory("ShootData_" + std::to_string(w) + ".Shoot")["Events"];
    ASSERT_EQ(events.size(), 180u) << w;
    for (Json::ArrayIndex n = 0; n < 30; ++n) {
      const auto shot = [&events, n](int e) { return events[Json::ArrayIndex(6 * n + e)]; };
      const int types[] = {1, 1, 4, 5, 4, 5};
      for (int e = 0; e < 6; ++e) {
        EXPECT_EQ(shot(e)["Type"], types[e]);
        EXPECT_TRUE(shot(e)["Delay"].isInt());
        EXPECT_TRUE(shot(e)["Button"].isInt() && shot(e)["Button"].asInt() <= 255);
      }
      EXPECT_EQ(shot(0)["Action"], "down");
      EXPECT_EQ(shot(1)["Action"], "up");
      EXPECT_EQ(shot(4)["Action"], shot(2)["Action"]);
      EXPECT_EQ(shot(5)["Action"], shot(3)["Action"]);
    }
  }
}

TEST(FactoryData, ProfileRecordsPrintsEveryRecordOfEachFactoryProfile) {
  const struct {
    const char* kind;
    const char* file;
    size_t lines;
  } cases[] = {{"keyboard", "keyboard.Json", 1 + 1 + 170 + 170 + 1 + 170},
               {"mouse", "mouse.Json", 1 + 15 + 11 + 7 + 1},
               {"pad", "MousePad.Json", 1 + 15},
               {"headset", "HD.Json", 1 + 13 + 1}};
  const std::map<std::string, size_t> sizes = {
      {"LightInfoRecord", 14}, {"AudioLightRecord", 9},     {"LightModeEntry", 14},
      {"KeyAssignment", 12},   {"KeyboardSystemSettings", 12}, {"CustomColor", 4},
      {"DpiStage", 9},         {"MouseSystemSettings", 32}, {"HeadsetSettings", 32}};
  const std::regex line(R"(([A-Za-z]+)((\[\d+\])*) ([0-9a-f]+))");
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const auto copy = folder / c.file;
    std::filesystem::copy_file(DefaultDataFolder() / c.file, copy,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string command =
        std::string(VX27CTL) + " profile-records " + c.kind + " '" + copy.string() + "'";
    FILE* out = ::popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
    EXPECT_EQ(::pclose(out), 0);

    std::istringstream lines(text);
    size_t count = 0;
    for (std::string l; std::getline(lines, l); ++count) {
      std::smatch m;
      ASSERT_TRUE(std::regex_match(l, m, line)) << l;
      ASSERT_TRUE(sizes.count(m[1])) << l;
      EXPECT_EQ(m[4].length(), 2 * sizes.at(m[1])) << l;
    }
    EXPECT_EQ(count, c.lines);
  }
}

}  // namespace
