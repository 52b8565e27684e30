// The built program driven by a UI script against the emulated mouse: a
// button gets a new function in the key editor and is saved to the mouse and
// the profile file; then the mouse page's tabs and the key editor's pages are
// pictured for review (build/screens/app_mouse_*.png).

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/app/ScriptFixture.h"
#include "ui/UIScreenshot.h"

namespace {

namespace fs = std::filesystem;

class MouseScriptTest : public apptest::ScriptFixture {
 protected:
  int Run(const std::string& script) { return ScriptFixture::Run(script, "mouse", Path("requests.txt"), 60000); }
  std::vector<std::vector<uint8_t>> Requests(uint8_t command) const { return program_.Requests(command); }
  static std::string Shots() { return ui::ScreensFolder().toStdString(); }
};

TEST_F(MouseScriptTest, ForwardOnTheBackButtonReachesTheMouseAndTheProfile) {
  const int code = Run(
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "click key_Op_tab\n"
      "click key_4\n"
      "select keyset_function_combo 1\n"
      "select keyset_mousekey_combo 3\n"
      "click key_butt_keysave\n"
      "click key_butt_prosave\n"
      "click mouse_device_seting_option_1\n"
      "shot " + Shots() + "/app_mouse_key_list.png\n"
      "quit\n");
  ASSERT_EQ(code, 0) << Read("trace.txt");
  // Key map write (0x09): 3 bytes per position from data byte 8 on; the back
  // button sits at position 4 of the emulated mouse.
  const auto writes = Requests(0x09);
  ASSERT_EQ(writes.size(), 1u) << Read("requests.txt");
  const std::vector<uint8_t> position4(writes[0].begin() + 8 + 12, writes[0].begin() + 8 + 15);
  EXPECT_EQ(position4, (std::vector<uint8_t>{0x10, 0x10, 0x00}));
  const std::vector<uint8_t> position3(writes[0].begin() + 8 + 9, writes[0].begin() + 8 + 12);
  EXPECT_EQ(position3, (std::vector<uint8_t>{0x10, 0x10, 0x00})) << "forward keeps its own function";

  // The profile the profile list selected on first start: the folder's one profile file.
  const std::string profilePath = program_.OnlyProfileFile("mouse");
  ASSERT_FALSE(profilePath.empty());
  Json::Value profile;
  std::ifstream file(profilePath);
  ASSERT_TRUE(Json::Reader().parse(file, profile));
  EXPECT_EQ(profile["Device"][0]["KeyList"][4]["Assignment"].asUInt(), 0x101000u);
  EXPECT_EQ(profile["Device"][0]["KeyList"][4]["DefaultAssignment"].asUInt(), 0x100800u);
}

// The profile switch end to end: after a first start made the first profile
// (factory keys), a second profile, the first one's file with forward on the
// back button, is listed beside it. On the next start, picking the second,
// the first, then the second again sends each one's key map to the mouse,
// and the profile list remembers the last pick.
TEST_F(MouseScriptTest, PickingAProfileSendsItsSettingsAndKeyMapToTheMouse) {
  const int first = Run(
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "quit\n");
  ASSERT_EQ(first, 0) << Read("trace.txt");
  const fs::path folder = Path("data/VX27 MOUSE/mouse");
  auto load = [](const fs::path& path) {
    Json::Value v;
    std::ifstream file(path);
    EXPECT_TRUE(Json::Reader().parse(file, v)) << path;
    return v;
  };
  auto save = [](const fs::path& path, const Json::Value& v) { std::ofstream(path) << v.toStyledString(); };
  Json::Value list = load(folder / "ProfileList.ini");
  ASSERT_EQ(list["profilelist"].size(), 1u) << Read("trace.txt");
  const std::string uuid0 = list["profilelist"][0]["profileUUID"].asString();
  Json::Value profile = load(folder / (uuid0 + ".Json"));
  ASSERT_EQ(profile["Device"][0]["KeyList"][4]["Assignment"].asUInt(), 0x100800u);
  const std::string uuid1 = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
  profile["Device"][0]["KeyList"][4]["Assignment"] = 0x101000u;
  profile["profilename"] = "Second";
  profile["profileUUID"] = uuid1;
  save(folder / (uuid1 + ".Json"), profile);
  Json::Value entry;
  entry["profilename"] = "Second";
  entry["profileUUID"] = uuid1;
  list["profilelist"].append(entry);
  save(folder / "ProfileList.ini", list);

  fs::remove(Path("requests.txt"));
  const int second = Run(
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n"
      "select device_profile_combo 1\n"
      "wait-trace profile switched to " + uuid1 + " 10\n"
      "select device_profile_combo 0\n"
      "wait-trace profile switched to " + uuid0 + " 10\n"
      "select device_profile_combo 1\n"
      "wait-trace profile switched to " + uuid1 + " 10\n"
      "quit\n");
  ASSERT_EQ(second, 0) << Read("trace.txt");

  // One key map write (0x09) per switch, in order: the second profile's
  // forward on the back button (0x101000), the first profile's factory back
  // (0x100800), then forward again. Position 4 sits at data byte 8 + 4 * 3.
  const auto keyMaps = Requests(0x09);
  ASSERT_EQ(keyMaps.size(), 3u) << Read("requests.txt");
  const std::vector<std::vector<uint8_t>> expected{{0x10, 0x10, 0x00}, {0x10, 0x08, 0x00}, {0x10, 0x10, 0x00}};
  for (size_t i = 0; i < keyMaps.size(); ++i) {
    const std::vector<uint8_t> position4(keyMaps[i].begin() + 8 + 12, keyMaps[i].begin() + 8 + 15);
    EXPECT_EQ(position4, expected[i]) << "switch " << i;
  }
  // Each switch also writes the settings (0x06).
  EXPECT_GE(Requests(0x06).size(), 3u) << Read("requests.txt");

  list = load(folder / "ProfileList.ini");
  EXPECT_EQ(list["profileselect"].asInt(), 1) << "the last pick is remembered";
  EXPECT_EQ(list["profilelist"].size(), 2u);
}

TEST_F(MouseScriptTest, PicturesOfTheMouseTabsAndTheKeyEditorPages) {
  std::string script =
      "wait-trace 添加一个鼠标设备 10\n"
      "page mouse\n"
      "wait-trace mouse loaded 10\n";
  for (const char* tab : {"system_Op_tab", "cursor_Op_tab", "deng_Op_tab", "macro_Op_tab"})
    script += std::string("click ") + tab + "\nshot " + Shots() + "/app_mouse_tab_" + tab + ".png\n";
  script += "click key_Op_tab\nclick key_10\nshot " + Shots() + "/app_mouse_keys_default.png\n";
  for (int category = 1; category < 12; ++category)
    script += "select keyset_function_combo " + std::to_string(category) + "\nshot " + Shots() +
              "/app_mouse_keys_category_" + std::to_string(category) + ".png\n";
  script += "quit\n";
  ASSERT_EQ(Run(script), 0) << Read("trace.txt");
  for (const char* tab : {"system_Op_tab", "cursor_Op_tab"})
    EXPECT_TRUE(fs::exists(Shots() + "/app_mouse_tab_" + tab + ".png"));
}

}  // namespace
