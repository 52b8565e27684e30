// The macro tab of the real program, driven by a UI script against emulated
// devices: a macro chosen, recorded from a scripted input source, stopped;
// the macro file holds what was recorded. Pictures of the mouse and keyboard
// pages' macro tabs are written for review.

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/support/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

std::string InstallDir() { return std::getenv("VX27_INSTALL_DIR"); }

std::string ScreensDir() {
  const char* dir = std::getenv("VX27_SCREENS_DIR");
  const std::string path = dir && *dir ? dir : InstallDir() + "/../screens";
  fs::create_directories(path);
  return path;
}

class MacroPageTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return program_.Path(name); }
  std::string MouseFolder() const { return Path("/data/VX27 MOUSE/mouse/"); }
  // The program with `emulate`, its input capture fed by the `capture` script.
  int Run(const std::string& script, const std::string& capture, const char* emulate) {
    std::ofstream(Path("/capture.txt")) << capture;
    program_.SetEnv("VX27_CAPTURE_SCRIPT", QString::fromStdString(Path("/capture.txt")));
    return program_.Run(script, emulate);
  }
  std::string Trace() const { return program_.Trace(); }

  testsupport::ProgramRun program_;
};

TEST_F(MacroPageTest, RecordingInTheMainWindowReachesTheMacroFile) {
  fs::create_directories(MouseFolder());
  std::ofstream(MouseFolder() + "macro.config")
      << R"({"MacroInfo": [{"MacroName": "fire", "Guid": "g1"}, {"MacroName": "jump", "Guid": "g2"}]})";
  std::ofstream(MouseFolder() + "g1.mac") << R"({"Events": [
      {"Type": 1, "Action": "down", "Button": 1, "Delay": "5"},
      {"Type": 4, "Action": "down", "Button": 20, "Delay": 30},
      {"Type": 9, "Action": "down", "Button": 32, "Delay": "12"},
      {"Type": 1, "Action": "up", "Button": 16, "Delay": "7"}], "Version": 64})";
  // A pressed at 500 ms, released 120 ms later; B 280 ms after that.
  const std::string capture = "500 30 1\n620 30 0\n900 48 1\n950 48 0\n";
  const std::string shots = ScreensDir();
  const int code = Run("wait-trace 添加一个鼠标设备 10\n"
                       "page mouse\n"
                       "click macro_Op_tab\n"
                       "select macro_name_list 0\n"
                       "sleep 100\n"
                       "shot " + shots + "/macros_mouse_rows.png\n"
                       "click macro_btn_starredio\n"
                       "sleep 300\n"
                       "shot " + shots + "/macros_mouse_recording.png\n"
                       "click macro_btn_stopredio\n"
                       "sleep 100\n"
                       "shot " + shots + "/macros_mouse_recorded.png\n"
                       "page keyboard\n"
                       "click macro_Op_tab\n"
                       "sleep 100\n"
                       "shot " + shots + "/macros_keyboard.png\n"
                       "quit\n",
                       capture, "mouse,keyboard");
  const std::string trace = Trace();
  ASSERT_EQ(code, 0) << trace;
  EXPECT_EQ(trace.find("-> ", trace.find("script click macro_btn_stopredio")),
            trace.find("-> ok", trace.find("script click macro_btn_stopredio")));

  Json::Value root;
  std::ifstream in(MouseFolder() + "g1.mac");
  ASSERT_TRUE(Json::Reader().parse(in, root));
  const char* want[][4] = {
      {"1", "down", "1", "5"},  {"4", "down", "20", "30"}, {"9", "down", "32", "12"},
      {"1", "up", "16", "7"},   {"10", "down", "4", "120"}, {"10", "up", "4", "280"},
      {"10", "down", "5", "50"}, {"10", "up", "5", "0"},
  };
  ASSERT_EQ(root["Events"].size(), std::size(want)) << root.toStyledString();
  for (Json::ArrayIndex i = 0; i < root["Events"].size(); ++i) {
    const Json::Value& e = root["Events"][i];
    EXPECT_EQ(std::to_string(e["Type"].asInt()), want[i][0]) << i;
    EXPECT_EQ(e["Action"].asString(), want[i][1]) << i;
    EXPECT_EQ(std::to_string(e["Button"].asInt()), want[i][2]) << i;
    EXPECT_EQ(e["Delay"].asString(), want[i][3]) << i;
  }
  EXPECT_EQ(root["MacroName"].asString(), "fire");
  EXPECT_EQ(root["Version"].asInt(), 64);
}

}  // namespace
