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
  static Json::Value Load(const std::string& path) {
    Json::Value root;
    std::ifstream in(path);
    Json::Reader().parse(in, root);
    return root;
  }
  // The names of "macro.config" in order.
  std::vector<std::string> MacroNames() const {
    std::vector<std::string> names;
    const Json::Value index = Load(MouseFolder() + "macro.config");
    for (const Json::Value& m : index["MacroInfo"]) names.push_back(m["MacroName"].asString());
    return names;
  }
  // The last key map write (0x09) the mouse received: the three bytes of
  // key-map position 4 (the back button), from data byte 8 on.
  std::vector<uint8_t> LastBackButtonWrite() const {
    const auto writes = program_.Requests(0x09);
    if (writes.empty()) return {};
    return {writes.back().begin() + 8 + 12, writes.back().begin() + 8 + 15};
  }

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

// Add and delete on the mouse page's macro tab. A macro is added (its
// question answered yes), a macro put on the back button, then deleted:
// with the "in use" question answered no nothing changes; answered yes the
// macro's file and entry go, the current profile's key falls back to its
// default, and the mouse gets that default (not the key it held before the
// profile file changed), another profile's later macro moves down one.
TEST_F(MacroPageTest, DeletingAMacroInUseAsksFirstAndRenumbersTheProfiles) {
  fs::create_directories(MouseFolder());
  std::ofstream(MouseFolder() + "macro.config") << R"({"MacroInfo": [{"MacroName": "one", "Guid": "g1"},
      {"MacroName": "two", "Guid": "g2"}, {"MacroName": "three", "Guid": "g3"}]})";
  for (const char* guid : {"g1", "g2", "g3"})
    std::ofstream(MouseFolder() + guid + ".mac")
        << R"({"Events": [{"Type": 10, "Action": "down", "Button": 4, "Delay": "10"}], "Version": 64})";
  const std::string start = "wait-trace 添加一个鼠标设备 10\n"
                            "page mouse\n"
                            "wait-trace mouse loaded 10\n";
  const std::string deleteTwo = "click macro_Op_tab\n"
                                "select macro_name_list 1\n"
                                "answer yes\n"
                                "answer %s\n"
                                "click macro_btn_name_sub\n"
                                "quit\n";
  auto withAnswer = [&](const char* answer) {
    std::string s = deleteTwo;
    s.replace(s.find("%s"), 2, answer);
    return s;
  };
  const int first = Run(start +
                            "click macro_Op_tab\n"
                            "answer yes\n"
                            "click macro_btn_name_add\n"
                            "click key_Op_tab\n"
                            "click key_4\n"
                            "select keyset_function_combo 9\n"
                            "select keyset_macro_combo 1\n"
                            "click key_butt_keysave\n"
                            "click key_butt_prosave\n" +
                            withAnswer("no"),
                        "", "mouse");
  std::string trace = Trace();
  ASSERT_EQ(first, 0) << trace;
  EXPECT_NE(trace.find("script answer yes -> ok (message_text_29)"), std::string::npos) << trace;
  EXPECT_NE(trace.find("script answer yes -> ok (message_text_4)"), std::string::npos) << trace;
  EXPECT_NE(trace.find("script answer no -> ok (message_text_2)"), std::string::npos) << trace;

  // The added macro: a fourth entry; its file comes with its first save.
  const Json::Value added = Load(MouseFolder() + "macro.config")["MacroInfo"];
  ASSERT_EQ(added.size(), 4u) << added.toStyledString();
  const std::string newGuid = added[3]["Guid"].asString();
  ASSERT_FALSE(newGuid.empty());
  EXPECT_TRUE(fs::exists(MouseFolder() + "g2.mac")) << "\"no\" removes nothing";

  // The back button holds macro 1 in the profile and on the mouse, "no"
  // notwithstanding.
  const std::string current = program_.OnlyProfileFile("mouse");
  ASSERT_FALSE(current.empty());
  const Json::Value key4 = Load(current)["Device"][0]["KeyList"][4];
  const uint32_t assigned = key4["Assignment"].asUInt();
  const uint32_t factory = key4["DefaultAssignment"].asUInt();
  auto isMacro = [](uint32_t a, uint32_t number) {
    return ((a >> 16) == 0x70 || (a >> 16) == 0x71) && ((a >> 8) & 0xFF) == number;
  };
  EXPECT_TRUE(isMacro(assigned, 1)) << std::hex << assigned;
  const std::vector<uint8_t> sent = LastBackButtonWrite();
  ASSERT_EQ(sent.size(), 3u) << program_.Read("requests.txt");
  EXPECT_TRUE(sent[0] == 0x70 || sent[0] == 0x71) << int(sent[0]);

  // Another profile puts macro 2 ("three") on the same button.
  Json::Value other = Load(current);
  other["Device"][0]["KeyList"][4]["Assignment"] = (assigned & 0xFF00FFu) | (2u << 8);
  const std::string otherPath = MouseFolder() + "other.Json";
  std::ofstream(otherPath) << other.toStyledString();
  fs::remove(Path("requests.txt"));

  const int second = Run(start + withAnswer("yes"), "", "mouse");
  trace = Trace();
  ASSERT_EQ(second, 0) << trace;
  EXPECT_EQ(MacroNames(), (std::vector<std::string>{"one", "three", added[3]["MacroName"].asString()}));
  EXPECT_FALSE(fs::exists(MouseFolder() + "g2.mac"));
  for (const std::string guid : {"g1", "g3"}) EXPECT_TRUE(fs::exists(MouseFolder() + guid + ".mac")) << guid;
  EXPECT_EQ(Load(current)["Device"][0]["KeyList"][4]["Assignment"].asUInt(), factory);
  EXPECT_TRUE(isMacro(Load(otherPath)["Device"][0]["KeyList"][4]["Assignment"].asUInt(), 1));
  // The factory back button (0x10 0x08 0x00) is what the mouse gets back.
  EXPECT_EQ(LastBackButtonWrite(), (std::vector<uint8_t>{0x10, 0x08, 0x00})) << program_.Read("requests.txt");
}

// Without a readable input device (an empty device folder) recording stays
// in the window, and the first recording of the run says so, naming the
// "input" group; the second says nothing (no answer is armed for it: a
// second box would hold the script until the run's bound).
TEST_F(MacroPageTest, TheFirstRecordingWithoutInputDevicesSaysSoOnce) {
  fs::create_directories(MouseFolder());
  std::ofstream(MouseFolder() + "macro.config") << R"({"MacroInfo": [{"MacroName": "one", "Guid": "g1"}]})";
  fs::create_directories(Path("no-devices"));
  program_.SetEnv("VX27_INPUT_DIR", QString::fromStdString(Path("no-devices")));
  const int code = program_.Run("wait-trace 添加一个鼠标设备 10\n"
                                "page mouse\n"
                                "click macro_Op_tab\n"
                                "select macro_name_list 0\n"
                                "answer ok\n"
                                "click macro_btn_starredio\n"
                                "click macro_btn_stopredio\n"
                                "click macro_btn_starredio\n"
                                "click macro_btn_stopredio\n"
                                "quit\n",
                                "mouse");
  const std::string trace = Trace();
  ASSERT_EQ(code, 0) << trace;
  const std::string told = "script answer ok -> ok (macro_capture_no_input)";
  const size_t first = trace.find(told);
  EXPECT_NE(first, std::string::npos) << trace;
  EXPECT_EQ(trace.find(told, first + 1), std::string::npos);
  EXPECT_NE(trace.find("input capture: no readable input device, errno 2"), std::string::npos);
  for (const char* language : {"lan_cn.xml", "lan_en.xml", "lan_tw.xml"}) {
    std::ifstream in(std::string(std::getenv("VX27_SOURCE_DIR")) + "/skin/" + language);
    std::string line;
    while (std::getline(in, line) && line.find("\"macro_capture_no_input\"") == std::string::npos) {
    }
    EXPECT_NE(line.find("&quot;input&quot;"), std::string::npos) << language;
  }
}

}  // namespace
