// The recoil editor end to end: the built program driven by a UI script
// against the emulated mouse edits shot 5 of weapon 3 on the mouse page and
// sends the tables. The mouse's recoil image, put together from the requests
// it received and decoded with the emulator's own decoder, holds the four
// working copies event for event; the edited shot is pinned as the bytes the
// mouse plays. The page is pictured (build/screens/app_mouse_recoil.png).

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <json/json.h>

#include "emulator/firmware/DeviceFormats.h"
#include "tests/app/ScriptFixture.h"
#include "ui/UIScreenshot.h"

namespace {

using emulator::firmware::StoredEvent;

constexpr uint8_t kWriteRecoilImage = 0x17;

class RecoilScriptTest : public apptest::ScriptFixture {
 protected:
  // The image as the mouse got it: each request carries its chunk's length
  // in byte 4, its address in bytes 5 and 6, and the bytes from byte 8.
  std::vector<uint8_t> Image() const {
    std::vector<uint8_t> image;
    for (const auto& r : program_.Requests(kWriteRecoilImage)) {
      const size_t length = r[4];
      const size_t address = size_t(r[5]) | size_t(r[6]) << 8;
      if (image.size() < address + length) image.resize(address + length);
      std::copy(r.begin() + 8, r.begin() + 8 + std::ptrdiff_t(length), image.begin() + std::ptrdiff_t(address));
    }
    return image;
  }
  Json::Value File(int weapon) const {
    Json::Value v;
    std::ifstream in(Path("data/VX27 MOUSE/mouse/ShootData_" + std::to_string(weapon) + ".Shoot"));
    Json::Reader().parse(in, v);
    return v;
  }
};

// What the mouse should play for one file event: delay, type with bit 7 for
// "down", button.
StoredEvent Expected(const Json::Value& e) {
  StoredEvent s;
  s.delay = uint16_t(e["Delay"].asInt());
  s.type = uint8_t(e["Type"].asInt() | (e["Action"].asString() == "down" ? 0x80 : 0));
  s.button = uint8_t(e["Button"].asInt());
  return s;
}

bool Same(const StoredEvent& a, const StoredEvent& b) {
  return a.delay == b.delay && a.type == b.type && a.button == b.button;
}

TEST_F(RecoilScriptTest, EditedShotSavedAndSentToTheMouse) {
  const std::string shots = ui::ScreensFolder().toStdString();
  const int code = Run(
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "click otherset_Op_tab\n"
      "click shoot_gun_op_2\n"
      "click bullet_op_4\n"
      // Up instead of down; the file takes it with the next edit that ends.
      "click bullet_y_check\n"
      "text bullet_y_eidt 30\n"
      // The edit keeps the focus when a button is clicked: neither moving to
      // the next shot and back nor the send may lose what was typed.
      "text bullet_delay_eidt 95\n"
      "click bullet_selected_next\n"
      "click bullet_selected_prev\n"
      "text bullet_x_eidt 12\n"
      "click shootdate_save_btn\n"
      "shot " + shots + "/app_mouse_recoil.png\n"
      "quit\n",
      "mouse", Path("requests.txt"), 60000);
  ASSERT_EQ(code, 0) << Read("trace.txt");

  // The working copy of weapon 2, shot 4: elements 24 to 29.
  const Json::Value events = File(2)["Events"];
  ASSERT_EQ(events.size(), 180u);
  EXPECT_EQ(events[26]["Button"].asInt(), 12);
  EXPECT_EQ(events[26]["Action"].asString(), "down");  // the factory's left flag kept
  EXPECT_EQ(events[27]["Button"].asInt(), 30);
  EXPECT_EQ(events[27]["Action"].asString(), "down");  // up
  EXPECT_EQ(events[27]["Delay"].asInt(), 95);

  const auto decoded = emulator::firmware::DecodeEventImage(Image());
  ASSERT_TRUE(decoded) << "no whole recoil image reached the mouse\n" << Read("requests.txt");
  ASSERT_EQ(decoded->size(), 4u);
  for (int w = 0; w < 4; ++w) {
    const Json::Value file = File(w)["Events"];
    const auto& entry = (*decoded)[size_t(w)];
    ASSERT_EQ(entry.size(), file.size()) << "weapon " << w;
    for (Json::ArrayIndex i = 0; i < file.size(); ++i)
      EXPECT_TRUE(Same(entry[i], Expected(file[i]))) << "weapon " << w << " event " << i;
  }
  // The edited shot as the mouse plays it: press, release, left 12, up 30
  // then 95 ms, and the two zero moves.
  const StoredEvent shot[] = {{10, 0x81, 1}, {0, 0x01, 1}, {5, 0x84, 12}, {95, 0x85, 30}, {0, 0x84, 0}, {0, 0x85, 0}};
  for (size_t i = 0; i < 6; ++i) EXPECT_TRUE(Same((*decoded)[2][24 + i], shot[i])) << "event " << 24 + i;
}

}  // namespace
