// The built program driven by a UI script against the emulated mouse: the
// lighting editor on the mouse page gets a new colour, brightness and mode;
// the mouse must receive them in its settings block and the profile file
// must hold them.

#include <fstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/app/ScriptFixture.h"

namespace {

class LightScriptTest : public apptest::ScriptFixture {
 protected:
  int Run(const std::string& script) { return ScriptFixture::Run(script, "mouse", Path("requests.txt"), 60000); }
  // The last write (0x06) of the settings block's first chunk (address 0).
  std::vector<uint8_t> LastSettingsWrite() const {
    std::vector<uint8_t> last;
    for (const auto& r : program_.Requests(0x06))
      if (r[5] == 0 && r[6] == 0) last = r;
    return last;
  }
};

TEST_F(LightScriptTest, ColourBrightnessAndModeReachTheMouseAndTheProfile) {
  // The factory profile starts in mode 1, brightness 4, speed 2, seven
  // colours on, red 255.
  const int code = Run(
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "click deng_Op_tab\n"
      "text deng_edit_R 201\n"
      "text deng_edit_G 7\n"
      "click deng_edit_B\n"
      "slide deng_light_slider 1\n"
      "select light_combo_modeSelect 2\n"
      "quit\n");
  ASSERT_EQ(code, 0) << Read("trace.txt");

  // Request: 0x04, checksum, command, length, address (16-bit), 0, then the
  // block from byte 8. Block bytes: 1 mode, 2 brightness, 3 speed stored as
  // 4 - speed, 4 direction, 5 seven colours, 6..8 red, green, blue.
  const auto write = LastSettingsWrite();
  ASSERT_EQ(write.size(), 64u) << Read("requests.txt");
  const std::vector<uint8_t> light(write.begin() + 8 + 1, write.begin() + 8 + 9);
  EXPECT_EQ(light, (std::vector<uint8_t>{2, 1, 2, 1, 0, 201, 7, 0})) << Read("trace.txt");

  const std::string profilePath = program_.OnlyProfileFile("mouse");
  ASSERT_FALSE(profilePath.empty());
  Json::Value profile;
  std::ifstream file(profilePath);
  ASSERT_TRUE(Json::Reader().parse(file, profile));
  const Json::Value& info = profile["Device"][0]["LightInfo"];
  struct Field {
    const char* key;
    int value;
  };
  const Field fields[] = {{"SelectItem", 2}, {"Light", 1}, {"Speed", 2}, {"Red", 201}, {"Green", 7}, {"Blue", 0}};
  for (const Field& f : fields) EXPECT_EQ(info[f.key].asInt(), f.value) << f.key;
  EXPECT_FALSE(info["MultiColor"].asBool()) << "a typed colour ends seven colours";
}

}  // namespace
