// Loading a profile with its fallback to the factory entry, and every way the
// profile reaches the disk. The fixture is a user profile folder with other
// user files beside the profile, and a factory file: only the profile file may
// ever change.

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/FileSizeLimit.h"

#include "TestFiles.h"
#include "platform/Trace.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/JsonFile.h"

using namespace profiles;
using namespace profiles_test;

namespace {

const char* kFactory =
    R"({"Device":[{"LightInfo":{"SelectItem":4,"Light":3},"LightList":[null]}],
        "profilename":"Default","profileUUID":"mouse"})";

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.path() / "user");
    std::filesystem::create_directories(folder_.path() / "DefaultData");
    defaultPath_ = folder_ / "DefaultData/mouse.Json";
    profilePath_ = folder_ / "user/2024_01_02_03_04_05_006.Json";
    WriteText(defaultPath_, kFactory);
    WriteText(folder_ / "user/ProfileList.ini", R"({"profilelist":[]})");
    WriteText(folder_ / "user/2023_09_09_09_09_09_009.Json", "{\"Device\":[{}]}");
    WriteText(folder_ / "user/macro.config", "not json at all");
    profile_.SetDefaultPath(defaultPath_);
    profile_.SetProfilePath(profilePath_);
  }

  // Everything on disk except the profile file.
  std::map<std::string, std::string> Others() {
    auto files = Snapshot(folder_.path());
    files.erase(profilePath_.string());
    return files;
  }

  Json::Value FactoryEntry() { return Parse(kFactory)["Device"][0]; }

  TempFolder folder_;
  std::filesystem::path defaultPath_, profilePath_;
  CBasicProfiledata profile_;
};

TEST_F(ProfileFile, MissingOrBrokenProfileIsMadeFromTheFactoryEntry) {
  struct Case {
    const char* name;
    const char* existing;  // null: no file
    const char* after;     // the whole profile file afterwards
  };
  const Case cases[] = {
      {"no file", nullptr, R"({"Device":[ENTRY]})"},
      {"file without an entry keeps its names",
       R"({"profilename":"Mine","profileUUID":"2024_01_02_03_04_05_006"})",
       R"({"Device":[ENTRY],"profilename":"Mine","profileUUID":"2024_01_02_03_04_05_006"})"},
      {"null entry", R"({"Device":[null],"profilename":"Mine"})",
       R"({"Device":[ENTRY],"profilename":"Mine"})"},
      {"unparsable file behaves as missing", R"({"Device":[{"LightInfo":)",
       R"({"Device":[ENTRY]})"},
      {"empty file", "", R"({"Device":[ENTRY]})"},
      {"root of the wrong type", "[1,2,3]", R"({"Device":[ENTRY]})"},
      {"Device of the wrong type", R"({"Device":{"0":{}},"profilename":"Mine"})",
       R"({"Device":[ENTRY],"profilename":"Mine"})"},
  };
  Json::FastWriter compact;
  std::string entry = compact.write(FactoryEntry());
  entry.pop_back();  // FastWriter's newline
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(profilePath_);
    if (c.existing) WriteText(profilePath_, c.existing);
    const auto before = Others();

    EXPECT_EQ(profile_.LoadProfile(profilePath_), FactoryEntry());
    EXPECT_EQ(profile_.Document(), FactoryEntry());
    std::string after = c.after;
    after.replace(after.find("ENTRY"), 5, entry);
    EXPECT_EQ(ReadAll(profilePath_), StyledJsonText(Parse(after)));
    EXPECT_EQ(Others(), before);
  }
}

TEST_F(ProfileFile, WithNeitherFileTheProfileHoldsANullEntry) {
  std::filesystem::remove(defaultPath_);
  EXPECT_TRUE(profile_.LoadProfile(profilePath_).isNull());
  EXPECT_EQ(Parse(ReadAll(profilePath_)), Parse(R"({"Device":[null]})"));
}

TEST_F(ProfileFile, AProfileWithItsEntryIsNotWritten) {
  const std::string text = R"({"Device":[{"LightInfo":{"SelectItem":9}}], "profilename":"x"})";
  WriteText(profilePath_, text);
  EXPECT_EQ(profile_.LoadProfile(profilePath_)["LightInfo"]["SelectItem"], 9);
  EXPECT_EQ(ReadAll(profilePath_), text);
}

TEST_F(ProfileFile, SaveReplacesOnlyTheEntryAndWritesStyledTextAndANewline) {
  WriteText(profilePath_,
            R"({"Device":[{"LightInfo":{}}, {"second":1}],"profilename":"Mine","profileUUID":"u",
                "extra":[1,2]})");
  profile_.LoadProfile(profilePath_);
  LightInfoRecord light;
  light.selectItem = 7;
  profile_.SetLightInfo(light);
  EXPECT_TRUE(profile_.Save());

  const Json::Value root = Parse(ReadAll(profilePath_));
  EXPECT_EQ(root["Device"][0]["LightInfo"]["SelectItem"], 7);
  EXPECT_EQ(root["Device"][1], Parse(R"({"second":1})"));
  EXPECT_EQ(root["profilename"], "Mine");
  EXPECT_EQ(root["profileUUID"], "u");
  EXPECT_EQ(root["extra"], Parse("[1,2]"));
  // Exactly the styled writer's text followed by one newline.
  Json::StyledWriter writer;
  EXPECT_EQ(ReadAll(profilePath_), writer.write(root) + "\n");
  EXPECT_EQ(ReadAll(profilePath_).substr(ReadAll(profilePath_).size() - 3), "}\n\n");
}

TEST_F(ProfileFile, OtherDocumentIsLoadedEditedAndSavedApart) {
  const auto other = folder_ / "user/2023_09_09_09_09_09_009.Json";
  WriteText(other, R"({"Device":[{"KeyList":[{"Assignment":1,"DefaultAssignment":2}]}],
                       "profilename":"Other"})");
  WriteText(profilePath_, R"({"Device":[{"KeyList":[{"Assignment":5}]}]})");
  profile_.LoadProfile(profilePath_);
  profile_.LoadOtherProfile(other);

  auto keys = profile_.GetOtherKeyList();
  ASSERT_EQ(keys.size(), 1u);
  keys[0].assignment = keys[0].defaultAssignment;
  profile_.SetOtherKeyList(keys);
  EXPECT_TRUE(profile_.SaveOther(other));

  const Json::Value saved = Parse(ReadAll(other));
  EXPECT_EQ(saved["Device"][0]["KeyList"][0]["Assignment"], 2);
  EXPECT_EQ(saved["profilename"], "Other");
  EXPECT_EQ(profile_.GetKeyList()[0].assignment.c2, 5);  // the document is untouched
}

TEST_F(ProfileFile, WriteDocumentMakesTheValueTheWholeFile) {
  WriteText(profilePath_, R"({"Device":[{}],"profilename":"gone"})");
  EXPECT_TRUE(profile_.WriteDocument(Parse(R"({"a":1})"), profilePath_));
  EXPECT_EQ(ReadAll(profilePath_), StyledJsonText(Parse(R"({"a":1})")));
}


TEST_F(ProfileFile, AFailedSaveKeepsTheOldFileAndIsTraced) {
  const std::string old = R"({"Device":[{"LightInfo":{"SelectItem":1}}],"profilename":"Mine"})";
  WriteText(profilePath_, old);
  profile_.LoadProfile(profilePath_);
  profile_.SetLightInfo(LightInfoRecord{});

  std::vector<std::string> lines;
  platform::ScopedTraceSink sink([&lines](std::string_view line) { lines.emplace_back(line); });
  bool saved = true;
  {
    testsupport::FileSizeLimit limit(16);
    saved = profile_.Save();
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(profilePath_), old);
  EXPECT_EQ(Snapshot(folder_.path()).size(), 5u);  // no temporary file left behind
  bool traced = false;
  for (const auto& l : lines) traced |= l.find("SaveJsonFile") != std::string::npos;
  EXPECT_TRUE(traced);
}

}  // namespace
