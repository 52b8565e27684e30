// The recoil files: a shot's six events as written and read, the values
// limited to what the mouse carries, start, reset, import (bad files keep
// the working copy) and export as whole-file copies.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "recoil/RecoilFiles.h"
#include "tests/profiles/TestFiles.h"

namespace {

using profiles_test::Parse;
using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;
using recoil::RecoilFiles;
using recoil::ShotRecord;

using EventRow = std::tuple<int, std::string, int, int>;  // Type, Action, Button, Delay

EventRow RowOf(const Json::Value& e) {
  return {e["Type"].asInt(), e["Action"].asString(), e["Button"].asInt(), e["Delay"].asInt()};
}

// A factory table: "Name" beside "Events", 30 shots whose moves tell the
// weapon and the shot apart (x = 10 w + n % 10, y = n, delay = 50 + n).
std::string FactoryText(int weapon) {
  Json::Value doc;
  doc["Name"] = "factory " + std::to_string(weapon);
  for (int n = 0; n < 30; ++n) {
    const auto add = [&](int type, const char* action, int button, int delay) {
      Json::Value e;
      e["Type"] = type;
      e["Action"] = action;
      e["Button"] = button;
      e["Delay"] = delay;
      doc["Events"].append(e);
    };
    add(1, "down", 1, 10);
    add(1, "up", 1, 0);
    add(4, n % 2 ? "down" : "up", 10 * weapon + n % 10, 5);
    add(5, n % 3 ? "up" : "down", n, 50 + n);
    add(4, n % 2 ? "down" : "up", 0, 0);
    add(5, n % 3 ? "up" : "down", 0, 0);
  }
  return doc.toStyledString();
}

struct Rig {
  TempFolder root;
  RecoilFiles files;
  Rig(bool withFactory = true) {
    std::filesystem::create_directories(root / "factory");
    if (withFactory)
      for (int w = 0; w < 4; ++w) WriteText(root / "factory" / recoil::ShootFileName(w), FactoryText(w));
    files.SetFolders(root / "work", root / "factory");
  }
  std::string Working(int w) const { return ReadAll(files.WorkingFile(w)); }
  std::string Factory(int w) const { return ReadAll(files.FactoryFile(w)); }
};

TEST(RecoilFiles, SavedShotIsSixEventsInItsPlace) {
  Rig rig;
  rig.files.Start();
  ASSERT_TRUE(rig.files.Save(0, 4, {12, 30, 95, true, false}));
  const Json::Value doc = Parse(rig.Working(0));
  const std::vector<EventRow> want{{1, "down", 1, 10}, {1, "up", 1, 0}, {4, "down", 12, 5},
                                   {5, "up", 30, 95},  {4, "down", 0, 0}, {5, "up", 0, 0}};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(RowOf(doc["Events"][24 + i]), want[size_t(i)]) << 24 + i;
  ASSERT_EQ(doc["Events"].size(), 180u);
  EXPECT_TRUE(doc["Events"][24 + 3]["Delay"].isInt()) << "the delay is written as a JSON integer";
  // Everything else as the factory copy had it.
  const Json::Value factory = Parse(rig.Factory(0));
  EXPECT_EQ(doc["Name"], factory["Name"]);
  for (Json::ArrayIndex i = 0; i < 180; ++i)
    if (i < 24 || i > 29) {
      EXPECT_EQ(doc["Events"][i], factory["Events"][i]) << i;
    }
  EXPECT_EQ(rig.files.Show(0, 4), (ShotRecord{12, 30, 95, true, false}));
}

TEST(RecoilFiles, ValuesLimitedToWhatTheMouseCarries) {
  Rig rig;
  rig.files.Start();
  const struct {
    ShotRecord typed, stored;
  } cases[] = {
      {{255, 0, 65535, false, true}, {255, 0, 65535, false, true}},
      {{256, 300, 65536, true, true}, {255, 255, 65535, true, true}},
      {{-1, -40, -5, false, false}, {0, 0, 0, false, false}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(rig.files.Save(1, 29, c.typed));
    EXPECT_EQ(rig.files.Show(1, 29), c.stored) << c.typed.x << " " << c.typed.y << " " << c.typed.delay;
  }
}

TEST(RecoilFiles, ShotsReadFromWhatTheFileHolds) {
  const struct {
    const char* name;
    const char* text;
    ShotRecord want;
  } cases[] = {
      {"flags any letter case", R"({"Events": [{}, {}, {"Action": "DOWN", "Button": 7},
          {"Action": "Down", "Button": 8, "Delay": 9}]})", {7, 8, 9, true, true}},
      {"delay as decimal text", R"({"Events": [{}, {}, {"Action": "up", "Button": 1},
          {"Action": "up", "Button": 2, "Delay": "95"}]})", {1, 2, 95, false, false}},
      {"too few events", R"({"Events": [{}, {}, {"Action": "down", "Button": 3}]})", {3, 0, 0, true, false}},
      {"no events", R"({"Name": "x"})", {}},
      {"events not an array", R"({"Events": {"2": 1}})", {}},
      {"members of the wrong type", R"({"Events": [1, 2, "x", [3]]})", {}},
      {"not an object", R"([1, 2, 3])", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(recoil::ReadShot(Parse(c.text), 0), c.want) << c.name;
}

TEST(RecoilFiles, StartGivesUnusableWorkingCopiesTheFactoryOnes) {
  Rig rig;
  std::filesystem::create_directories(rig.root / "work");
  const std::string kept0 = R"({"Events": [], "Mine": 1})";
  const std::string kept3 = R"({"Name": "no events yet"})";
  // 0 usable, 1 missing, 2 does not parse, 3 an object without events.
  WriteText(rig.files.WorkingFile(0), kept0);
  WriteText(rig.files.WorkingFile(2), "{\"Events\": [");
  WriteText(rig.files.WorkingFile(3), kept3);
  rig.files.Start();
  EXPECT_EQ(rig.Working(0), kept0);
  EXPECT_EQ(rig.Working(1), rig.Factory(1));
  EXPECT_EQ(rig.Working(2), rig.Factory(2));
  EXPECT_EQ(rig.Working(3), kept3);
  // A parsed array cannot hold a table: replaced like an unreadable file.
  WriteText(rig.files.WorkingFile(3), "[1, 2]");
  rig.files.Start();
  EXPECT_EQ(rig.Working(3), rig.Factory(3));
}

TEST(RecoilFiles, WithoutFactoryCopiesTheWorkingCopiesAreEmptyAndStillTakeShots) {
  Rig rig(false);
  rig.files.Start();
  for (int w = 0; w < 4; ++w) {
    EXPECT_TRUE(std::filesystem::exists(rig.files.WorkingFile(w)));
    EXPECT_EQ(rig.Working(w), "");
  }
  EXPECT_EQ(rig.files.Show(2, 3), ShotRecord{});
  ASSERT_TRUE(rig.files.Save(2, 1, {4, 5, 6, true, true}));
  EXPECT_EQ(rig.files.Show(2, 1), (ShotRecord{4, 5, 6, true, true}));
  EXPECT_EQ(Parse(rig.Working(2))["Events"].size(), 12u);
}

TEST(RecoilFiles, ResetRestoresOneWeaponByteForByte) {
  Rig rig;
  rig.files.Start();
  for (int w = 0; w < 4; ++w) ASSERT_TRUE(rig.files.Save(w, 0, {1, 1, 1, true, true}));
  const std::string other[] = {rig.Working(0), rig.Working(1), rig.Working(3)};
  ASSERT_TRUE(rig.files.Reset(2));
  EXPECT_EQ(rig.Working(2), rig.Factory(2));
  EXPECT_EQ(rig.Working(0), other[0]);
  EXPECT_EQ(rig.Working(1), other[1]);
  EXPECT_EQ(rig.Working(3), other[2]);
}

TEST(RecoilFiles, ImportCopiesARecoilFileAndRefusesAnythingElse) {
  Rig rig;
  rig.files.Start();
  const std::string good = "{\"Events\": [], \"Extra\": \"kept as is\"}  \n";
  WriteText(rig.root / "good.shoot", good);
  ASSERT_TRUE(rig.files.Import(1, rig.root / "good.shoot"));
  EXPECT_EQ(rig.Working(1), good);

  const struct {
    const char* name;
    const char* text;  // null: no such file
  } bad[] = {
      {"no such file", nullptr},
      {"empty", ""},
      {"not JSON", "recoil"},
      {"an array", "[{\"Events\": []}]"},
      {"no events", "{\"Name\": 1}"},
      {"events not an array", "{\"Events\": {}}"},
      {"a number", "7"},
  };
  for (const auto& c : bad) {
    const auto path = rig.root / "bad.shoot";
    std::filesystem::remove(path);
    if (c.text) WriteText(path, c.text);
    const std::string before = rig.Working(2);
    EXPECT_FALSE(rig.files.Import(2, path)) << c.name;
    EXPECT_EQ(rig.Working(2), before) << c.name;
  }
}

TEST(RecoilFiles, ExportCopiesTheWorkingCopy) {
  Rig rig;
  rig.files.Start();
  ASSERT_TRUE(rig.files.Save(3, 7, {9, 9, 9, false, false}));
  ASSERT_TRUE(rig.files.Export(3, rig.root / "out.shoot"));
  EXPECT_EQ(ReadAll(rig.root / "out.shoot"), rig.Working(3));
  std::filesystem::remove(rig.files.WorkingFile(3));
  EXPECT_FALSE(rig.files.Export(3, rig.root / "gone.shoot"));
  EXPECT_FALSE(std::filesystem::exists(rig.root / "gone.shoot"));
  EXPECT_FALSE(rig.files.Export(0, rig.root / "no folder" / "out.shoot"));
}

}  // namespace
