// The built program driven by a UI script against four emulated devices:
// static lighting set on the mouse page, then the same-mode button. Every
// device must receive the static mode of its kind in its settings block and
// the profile files must hold it. The mouse page is pictured before and after
// the click for review (build/screens/app_sync_*.png).

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/app/ScriptFixture.h"
#include "ui/UIScreenshot.h"

namespace {

class SyncScriptTest : public apptest::ScriptFixture {
 protected:
  static std::string Shots() { return ui::ScreensFolder().toStdString(); }
  // Settings writes (0x06) of the block's first chunk (address 0) one
  // emulated device received, in order.
  std::vector<std::vector<uint8_t>> SettingsWrites(const std::string& unit) const {
    std::vector<std::vector<uint8_t>> out;
    std::istringstream lines(Read("requests.txt"));
    std::string device, hex;
    while (lines >> device >> hex) {
      if (device != unit || hex.size() != 128) continue;
      std::vector<uint8_t> b;
      for (size_t i = 0; i < hex.size(); i += 2) b.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
      if (b[3] == 0x06 && b[5] == 0 && b[6] == 0) out.push_back(b);
    }
    return out;
  }
  Json::Value Light(const std::string& folder) const {
    Json::Value profile;
    std::ifstream file(program_.OnlyProfileFile(folder));
    Json::Reader().parse(file, profile);
    return profile["Device"][0]["LightInfo"];
  }
};

TEST_F(SyncScriptTest, SameModeFromTheMouseReachesEveryDeviceAndProfile) {
  const int code = Run(
      std::string("wait-trace 添加一个鼠标设备 10\n"
      "wait-trace 添加一个键盘设备 10\n"
      "wait-trace 添加一个鼠标垫设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "wait-trace keyboard loaded 10\n"
      "click deng_Op_tab\n"
      "text deng_edit_R 200\n"
      "text deng_edit_G 100\n"
      "click deng_edit_B\n"
      "select light_combo_modeSelect 0\n"
      "sleep 500\n"
      "shot " + Shots() + "/app_sync_before.png\n"
      "click deng_same_mode\n"
      "sleep 2500\n"
      "shot " + Shots() + "/app_sync_mouse.png\n"
      "page keyboard\n"
      "sleep 300\n"
      "shot " + Shots() + "/app_sync_keyboard.png\n"
      "quit\n"),
      "mouse,keyboard,pad,headset", Path("requests.txt"), 90000);
  ASSERT_EQ(code, 0) << Read("trace.txt");

  // Block bytes (from request byte 8): 1 mode, 2 brightness, 6..8 colour.
  struct Expect {
    const char* unit;
    const char* folder;
    int mode;
  };
  for (const Expect& e : {Expect{"mouse", "mouse", 0}, Expect{"keyboard", "keyboard", 6}, Expect{"pad", "MousePad", 3}}) {
    const auto writes = SettingsWrites(e.unit);
    ASSERT_FALSE(writes.empty()) << e.unit << "\n" << Read("requests.txt");
    const auto& last = writes.back();
    EXPECT_EQ(last[8 + 1], e.mode) << e.unit;
    EXPECT_EQ(last[8 + 6], 200) << e.unit;
    EXPECT_EQ(last[8 + 7], 100) << e.unit;
    const Json::Value light = Light(e.folder);
    EXPECT_EQ(light["SelectItem"].asInt(), e.mode) << e.folder;
    EXPECT_EQ(light["Red"].asInt(), 200) << e.folder;
    EXPECT_EQ(light["Green"].asInt(), 100) << e.folder;
  }
  const Json::Value headset = Light("HD");
  EXPECT_EQ(headset["SelectItem"].asInt(), 3) << "the headset takes the pad's column";
  EXPECT_EQ(headset["Red"].asInt(), 200);

  EXPECT_NE(Read("trace.txt").find("script click deng_same_mode -> ok"), std::string::npos);
}

}  // namespace
