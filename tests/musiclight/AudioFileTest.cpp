// "AudioFile.json": the record's keys, the save keeping the file's other
// members, and the user copy recreated from the default copy.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "musiclight/AudioFile.h"
#include "profiles/JsonFile.h"

namespace musiclight {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

class AudioFileTest : public ::testing::Test {
 protected:
  fs::path Dir() const { return dir_.path().toStdString(); }
  fs::path User() const { return Dir() / "AudioFile.json"; }
  fs::path Default() const { return Dir() / "default" / "AudioFile.json"; }
  void SetUp() override {
    fs::create_directories(Default().parent_path());
    Write(Default(), R"({"Device":{"AudioLightInfo":{"nAudioStyle":1,"nStyleName2":"B组",
      "nStyleR1":9,"nStyleG1":0,"nStyleB1":3}}})");
  }
  QTemporaryDir dir_;
};

TEST_F(AudioFileTest, MissingUserCopyIsMadeFromTheDefault) {
  AudioFile file(User(), Default());
  const AudioLightInfo info = file.LoadAudioFile();
  EXPECT_EQ(info.style, 1);
  EXPECT_EQ(info.names[1], "B组");
  EXPECT_EQ(info.colours[1], (std::array<uint8_t, 3>{9, 0, 3}));
  // Keys missing from the file leave their fields zeroed.
  EXPECT_EQ(info.names[0], "");
  EXPECT_EQ(info.colours[0], (std::array<uint8_t, 3>{0, 0, 0}));
  ASSERT_TRUE(fs::exists(User()));
  EXPECT_EQ(profiles::LoadJsonFile(User()), profiles::LoadJsonFile(Default()));
}

TEST_F(AudioFileTest, UserCopyWithoutDeviceFallsBackAndNoDefaultLeavesZero) {
  Write(User(), R"({"Other":1})");
  EXPECT_EQ(AudioFile(User(), Default()).LoadAudioFile().style, 1);
  fs::remove(User());
  fs::remove(Default());
  EXPECT_EQ(AudioFile(User(), Default()).LoadAudioFile(), AudioLightInfo{});
}

TEST_F(AudioFileTest, SaveWritesTheKeysAndKeepsOtherMembers) {
  Write(User(), R"({"Device":{"AudioLightInfo":{},"Extra":"kept"},"Top":5})");
  AudioFile file(User(), Default());
  file.LoadAudioFile();
  AudioLightInfo info;
  info.style = 3;
  info.names = {"第一组", "b", "c", "d"};
  info.colours = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {0, 9, 1}}};
  ASSERT_EQ(file.SaveAudioLightInfo(info), 0);

  const Json::Value root = profiles::LoadJsonFile(User());
  EXPECT_EQ(root["Top"].asInt(), 5);
  EXPECT_EQ(root["Device"]["Extra"].asString(), "kept");
  const Json::Value& record = root["Device"]["AudioLightInfo"];
  EXPECT_EQ(record["nAudioStyle"].asInt(), 3);
  EXPECT_EQ(record["nStyleName1"].asString(), "第一组");
  EXPECT_EQ(record["nStyleG1"].asInt(), 5);
  EXPECT_EQ(record["nStyleB3"].asInt(), 1);
  EXPECT_EQ(AudioFile(User(), Default()).LoadAudioFile(), info);
}

}  // namespace
}  // namespace musiclight
