// The built program driven by UI scripts against the emulated keyboard: a
// change on the keyboard's settings tab reaches the keyboard and the profile
// file; the keyboard page is pictured in several lighting modes for review
// (build/screens/app_keyboard_*.png).

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include "emulator/firmware/DeviceMemory.h"
#include "tests/support/ProgramRun.h"
#include "ui/UIScreenshot.h"

namespace {

namespace fs = std::filesystem;
using emulator::firmware::DeviceMemory;

class KeyboardScriptTest : public ::testing::Test {
 protected:
  // The keyboard's memory before the program starts: factory contents with
  // onboard profile 0's lighting bytes 1 to 8 replaced.
  void Keyboard(std::initializer_list<uint8_t> lighting) {
    DeviceMemory m = emulator::firmware::FactoryMemory(emulator::DeviceModel::Keyboard);
    std::copy(lighting.begin(), lighting.end(), m.settings.begin() + 1);
    // Custom colour group 0: a colour per LED, for the custom mode's picture.
    for (size_t led = 0; led < 126; ++led) {
      m.colours[3 * led] = uint8_t(255 - 2 * led);
      m.colours[3 * led + 1] = uint8_t(2 * led);
      m.colours[3 * led + 2] = uint8_t(led % 2 ? 255 : 60);
    }
    const auto bytes = emulator::firmware::SaveMemory(m);
    std::ofstream(Path("state/keyboard.mem"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::string Path(const std::string& name) const { return program_.Path(name); }
  int Run(const std::string& script, const char* emulate = "keyboard") { return program_.Run(script, emulate); }
  std::string Read(const std::string& name) const { return program_.Read(name); }
  std::vector<std::vector<uint8_t>> Requests(uint8_t command) const { return program_.Requests(command); }
  // The keyboard's memory as the program left it.
  DeviceMemory Memory() const {
    const std::string bytes = Read("state/keyboard.mem");
    DeviceMemory m = emulator::firmware::FactoryMemory(emulator::DeviceModel::Keyboard);
    EXPECT_TRUE(emulator::firmware::LoadMemory(
        std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), m));
    return m;
  }
  Json::Value Profile() const {
    Json::Value profile;
    std::ifstream file(program_.OnlyProfileFile("keyboard"));
    EXPECT_TRUE(Json::Reader().parse(file, profile));
    return profile["Device"][0];
  }
  static std::string Shots() { return ui::ScreensFolder().toStdString(); }

  testsupport::ProgramRun program_;
};

constexpr const char* kLoaded =
    "wait-trace 添加一个键盘设备 10\n"
    "page keyboard\n"
    "wait-trace keyboard loaded 10\n";

TEST_F(KeyboardScriptTest, APollingRateChosenOnTheSettingsTabReachesTheKeyboardAndTheProfile) {
  Keyboard({6, 4, 2, 0, 0, 255, 0, 0});
  const int code = Run(std::string(kLoaded) +
                       "click system_Op_tab\n"
                       "click polling_rate_option_2\n"
                       "click repeat_delay_check_2\n"
                       "shot " + Shots() + "/app_keyboard_settings.png\n"
                       "quit\n");
  ASSERT_EQ(code, 0) << Read("trace.txt");
  // Settings writes (0x06): byte 4 the length, bytes 5 and 6 the address,
  // the block from byte 8; its byte 22 is the polling rate, byte 1 the mode.
  const auto writes = Requests(0x06);
  ASSERT_FALSE(writes.empty()) << Read("requests.txt");
  bool polling = false;
  for (const auto& w : writes) polling = polling || (w[4] == 45 && w[5] == 0 && w[6] == 0 && w[8 + 22] == 2 && w[8 + 1] == 6);
  EXPECT_TRUE(polling) << Read("requests.txt");

  const std::string profilePath = program_.OnlyProfileFile("keyboard");
  ASSERT_FALSE(profilePath.empty());
  Json::Value profile;
  std::ifstream file(profilePath);
  ASSERT_TRUE(Json::Reader().parse(file, profile));
  EXPECT_EQ(profile["Device"][0]["SystemStages"]["PollingRate"].asInt(), 2) << profile.toStyledString();
  EXPECT_EQ(profile["Device"][0]["SystemStages"]["RepeatDelay"].asInt(), 2);
  EXPECT_NE(Read("trace.txt").find("script click repeat_delay_check_2 -> ok"), std::string::npos);
}

// Key 44 (W) sits at position 44 of the factory key map.
TEST_F(KeyboardScriptTest, AKeyAssignedOnTheKeyboardPageReachesTheKeyMapAndTheProfile) {
  Keyboard({6, 4, 2, 0, 0, 255, 0, 0});
  const int code = Run(std::string(kLoaded) +
                       "click key_Op_tab\n"
                       "click key_44\n"
                       "select keyset_function_combo 1\n"
                       "select keyset_mousekey_combo 3\n"
                       "click key_butt_keysave\n"
                       "click key_butt_prosave\n"
                       "shot " + Shots() + "/app_keyboard_key_assigned.png\n"
                       "quit\n");
  ASSERT_EQ(code, 0) << Read("trace.txt");
  EXPECT_FALSE(Requests(0x09).empty()) << Read("requests.txt");
  const DeviceMemory m = Memory();
  const uint8_t forward[] = {0x10, 0x10, 0x00};
  const uint8_t q[] = {0x20, 0x00, 0x14};  // Q beside it keeps its own code
  EXPECT_TRUE(std::equal(std::begin(forward), std::end(forward), m.keyMap.begin() + 3 * 44));
  EXPECT_TRUE(std::equal(std::begin(q), std::end(q), m.keyMap.begin() + 3 * 43));
  const Json::Value profile = Profile();
  EXPECT_EQ(profile["KeyList"][44]["Assignment"].asUInt(), 0x101000u);
  EXPECT_EQ(profile["KeyList"][44]["DefaultAssignment"].asUInt(), 0x20001Au);
}

// In the custom mode with the single colour 12 34 56 read from the keyboard:
// colour group 3 (index 2) chosen and all its keys lit, then group 1 chosen
// and the W cap clicked. Both groups' pages reach the keyboard and the
// profile keeps the colours and the chosen group.
TEST_F(KeyboardScriptTest, CustomGroupColoursPaintedOnTheKeyboardPage) {
  Keyboard({20, 4, 2, 0, 0, 12, 34, 56});
  const int code = Run(std::string(kLoaded) +
                       "select light_combo_custommodeSelect 2\n"
                       "click custom_bright_color_btn\n"
                       "select light_combo_custommodeSelect 0\n"
                       "click key_44\n"
                       "shot " + Shots() + "/app_keyboard_custom_painted.png\n"
                       "quit\n");
  ASSERT_EQ(code, 0) << Read("trace.txt");
  const DeviceMemory m = Memory();
  auto led = [&](int group, int index) {
    const size_t at = size_t(group) * 512 + 3 * size_t(index);
    return std::vector<int>{m.colours[at], m.colours[at + 1], m.colours[at + 2]};
  };
  const std::vector<int> colour{12, 34, 56};
  EXPECT_EQ(led(2, 0), colour) << Read("requests.txt");
  EXPECT_EQ(led(2, 125), colour);
  EXPECT_EQ(led(0, 44), colour);
  EXPECT_EQ(led(0, 43), (std::vector<int>{169, 86, 255})) << "the other keys of group 1 keep theirs";
  // Settings writes (0x06): the block from byte 8, its byte 25 the group.
  bool group3Sent = false;
  for (const auto& w : Requests(0x06)) group3Sent = group3Sent || (w[4] == 45 && w[8 + 25] == 2);
  EXPECT_TRUE(group3Sent);
  EXPECT_EQ(m.settings[25], 0);

  const Json::Value profile = Profile();
  EXPECT_EQ(profile["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 0);
  EXPECT_EQ(profile["LightInfo"]["CustomGroup"].asInt(), 0);
  const Json::Value& groups = profile["CustomLightMode"]["LightColorInfo"];
  for (const Json::Value& c : {groups[2][0], groups[2][169], groups[0][44]}) {
    EXPECT_EQ(c["Red"].asInt(), 12) << c.toStyledString();
    EXPECT_EQ(c["Green"].asInt(), 34);
    EXPECT_EQ(c["Blue"].asInt(), 56);
  }
  EXPECT_EQ(groups[0][43]["Red"].asInt(), 169);
}

TEST_F(KeyboardScriptTest, PicturesOfTheKeyboardPageInItsLightingModes) {
  struct Mode {
    const char* name;
    std::initializer_list<uint8_t> lighting;  // value, level, stored speed, direction, multi, r, g, b
  };
  const Mode modes[] = {
      {"static", {6, 4, 2, 0, 0, 0, 160, 255}},
      {"diagonal_rainbow", {6, 4, 2, 0, 1, 0, 0, 0}},
      {"column_wave", {1, 4, 0, 1, 1, 0, 0, 0}},
      {"comet", {24, 4, 0, 0, 0, 255, 40, 0}},
      {"custom", {20, 4, 2, 0, 0, 0, 0, 0}},
  };
  for (const Mode& m : modes) {
    Keyboard(m.lighting);
    const std::string shot = Shots() + "/app_keyboard_mode_" + m.name + ".png";
    fs::remove(shot);
    ASSERT_EQ(Run(std::string(kLoaded) + "sleep 600\nshot " + shot + "\nquit\n"), 0) << m.name << Read("trace.txt");
    EXPECT_TRUE(fs::exists(shot)) << m.name;
  }
  const std::string pad = Shots() + "/app_pad_page.png";
  ASSERT_EQ(Run("wait-trace 添加一个鼠标垫设备 10\npage pad\nwait-trace pad loaded 10\nsleep 600\nshot " + pad + "\nquit\n", "pad"), 0)
      << Read("trace.txt");
  EXPECT_TRUE(fs::exists(pad));
}

}  // namespace
