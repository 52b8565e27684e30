// The built program driven by UI scripts: an emulated mouse arrives, its page
// is pictured, it is unplugged, and the program ends with the script's exit
// code. Also the emulator's request log written by the program.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <json/json.h>

#include "tests/app/AppTestSupport.h"
#include "tests/app/ScriptFixture.h"

namespace {

namespace fs = std::filesystem;

class ScriptTest : public apptest::ScriptFixture {};

TEST_F(ScriptTest, AMouseIsShownPicturedAndUnplugged) {
  const std::string shot = Path("mouse.png");
  const int code = Run("# the mouse page, then the mouse leaves\n"
                       "wait-trace 添加一个鼠标设备 10\n"
                       "page mouse\n"
                       "click light_14\n"  // only the mouse page has a 15th light cap
                       "sleep 100\n"
                       "shot " + shot + "\n"
                       "unplug mouse\n"
                       "wait-trace 删除一个鼠标设备 10\n"
                       "shot " + Path("none.png") + "\n"
                       "quit\n",
                       "mouse");
  EXPECT_EQ(code, 0) << Trace();
  const std::string trace = Trace();
  EXPECT_NE(trace.find("InitWindow"), std::string::npos);
  for (const char* step : {"script wait-trace 添加一个鼠标设备 10 -> ok", "script page mouse -> ok",
                           "script click light_14 -> ok",
                           "script unplug mouse -> ok", "script wait-trace 删除一个鼠标设备 10 -> ok",
                           "script quit -> ok"})
    EXPECT_NE(trace.find(step), std::string::npos) << step << "\n" << trace;
  // The mouse page's picture, against the window once the mouse has gone.
  QImage picture(QString::fromStdString(shot));
  QImage none(QString::fromStdString(Path("none.png")));
  ASSERT_FALSE(picture.isNull());
  ASSERT_EQ(picture.size(), none.size());
  EXPECT_GE(picture.width(), 1000);
  int differing = 0;
  for (int y = 0; y < picture.height(); y += 4)
    for (int x = 0; x < picture.width(); x += 4) differing += picture.pixel(x, y) != none.pixel(x, y);
  EXPECT_GT(differing, picture.width() * picture.height() / 16 / 4) << "a quarter of the window shows the page";

}

TEST_F(ScriptTest, TheReceiversMouseGoesAndComesBackAndItsBatteryChanges) {
  const int code = Run("wait-trace 添加一个鼠标设备 10\n"
                       "sleep 1500\n"  // the first load finds the mouse linked
                       "battery mouse:receiver 150 charging\n"
                       "wireless mouse:receiver off\n"
                       "wait-trace 2.4gcesvdfherhue 1 6\n"  // the entry hides
                       "wireless mouse:receiver on\n"
                       "wait-trace 2.4gcesvdfherhue  12312423 123342341 6\n"  // and shows again
                       "quit\n",
                       "mouse:receiver");
  EXPECT_EQ(code, 0) << Trace();
  for (const char* step : {"script battery mouse:receiver 150 charging -> ok", "script wireless mouse:receiver off -> ok",
                           "script wireless mouse:receiver on -> ok"})
    EXPECT_NE(Trace().find(step), std::string::npos) << step;
}

TEST_F(ScriptTest, AnUnknownStepOrMissingControlEndsWithExitCodeThree) {
  struct Case {
    const char* script;
    const char* traced;
  };
  const Case cases[] = {
      {"frobnicate now\nquit\n", "script frobnicate now -> unknown step"},
      {"click no_such_button\nquit\n", "script click no_such_button -> no control no_such_button"},
      {"wireless mouse maybe\nquit\n", "script wireless mouse maybe -> wireless needs a device and on or off"},
      {"battery mouse 50\nquit\n", "script battery mouse 50 -> battery needs a device, a level and a state"},
  };
  for (const Case& c : cases) {
    fs::remove(Path("trace.txt"));
    EXPECT_EQ(Run(c.script, "mouse"), 3) << c.script;
    EXPECT_NE(Trace().find(c.traced), std::string::npos) << Trace();
    EXPECT_EQ(Trace().find("script quit"), std::string::npos) << "stopped at the failing step";
  }
}

// The profile panel worked by hand: a pick in the combo switches the mouse to
// that profile after the short delay, and a typed name renames it. What the
// profile files hold afterwards is read back here.
TEST_F(ScriptTest, AProfileIsPickedAndRenamedOnTheMousePage) {
  const fs::path folder = fs::path(Path("data")) / "VX27 MOUSE" / "mouse";
  fs::create_directories(folder);
  std::ofstream(folder / "ProfileList.ini")
      << R"({"profilelist":[{"profilename":"Work","profileUUID":"id0"},)"
         R"({"profilename":"Play","profileUUID":"id1"}],"profileselect":0})";
  std::ofstream(folder / "id1.Json") << R"({"Device":[{"DPIStages":[]}],"profilename":"Play","profileUUID":"id1"})";
  const int code = Run("wait-trace 添加一个鼠标设备 10\n"
                       "page mouse\n"
                       "select device_profile_combo 1\n"
                       "wait-trace profile switched to id1 5\n"
                       "text device_profile_name_edit Games\n"
                       "click device_profile_edit_save_btn\n"
                       "shot " + Path("panel.png") + "\n"
                       "quit\n",
                       "mouse");
  EXPECT_EQ(code, 0) << Trace();
  std::ifstream in(folder / "ProfileList.ini");
  const std::string list((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(list.find(R"("profileselect" : 1)"), std::string::npos) << list;
  EXPECT_NE(list.find(R"("profilename" : "Games")"), std::string::npos) << list;
  EXPECT_NE(list.find(R"("profilename" : "Work")"), std::string::npos) << list;
  std::ifstream file(folder / "id1.Json");
  const std::string profile((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(profile.find(R"("profilename" : "Games")"), std::string::npos) << profile;
  EXPECT_NE(profile.find("DPIStages"), std::string::npos) << profile;
}

// The panel's buttons worked by hand, each question and notice answered as a
// user would: reset (the profile file and the mouse take the factory data
// again), add, copy, and delete of the copy (the list and the folder lose it,
// and the predecessor is loaded).
TEST_F(ScriptTest, PanelButtonsResetAddCopyAndDeleteWithTheirQuestionsAnswered) {
  const fs::path folder = fs::path(Path("data")) / "VX27 MOUSE" / "mouse";
  fs::create_directories(folder);
  std::ifstream factoryIn(fs::path(apptest::InstallDir()) / "DefaultData" / "mouse.Json");
  Json::Value factory;
  ASSERT_TRUE(Json::Reader().parse(factoryIn, factory));
  const int factoryMode = factory["Device"][0]["LightInfo"]["SelectItem"].asInt();
  const int changedMode = factoryMode == 3 ? 4 : 3;
  Json::Value work = factory;
  work["Device"][0]["LightInfo"]["SelectItem"] = changedMode;
  work["profilename"] = "Work";
  work["profileUUID"] = "id0";
  std::ofstream(folder / "id0.Json") << Json::StyledWriter().write(work);
  std::ofstream(folder / "ProfileList.ini")
      << R"({"profilelist":[{"profilename":"Work","profileUUID":"id0"}],"profileselect":0})";

  const int code = Run("wait-trace 添加一个鼠标设备 10\n"
                       "page mouse\n"
                       "click profile_fun_spread_btn\n"
                       "answer yes\n"  // reset?
                       "click device_reset_btn\n"
                       "answer ok\n"
                       "click device_add_btn\n"
                       "answer ok\n"
                       "click device_copy_btn\n"
                       "select device_profile_combo 2\n"
                       "wait-trace profile switched to 5\n"
                       "answer yes\n"  // delete?
                       "click device_sub_btn\n"
                       "wait-trace profile switched to 5\n"
                       "shot " + Path("panel-after.png") + "\n"
                       "quit\n",
                       "mouse", {}, 60000);
  ASSERT_EQ(code, 0) << Trace();

  Json::Value list, reset;
  std::ifstream listIn(folder / "ProfileList.ini"), resetIn(folder / "id0.Json");
  ASSERT_TRUE(Json::Reader().parse(listIn, list));
  ASSERT_TRUE(Json::Reader().parse(resetIn, reset));
  // Work (reset) and the added one stay; the copy is gone, file and all.
  ASSERT_EQ(list["profilelist"].size(), 2u) << list.toStyledString();
  EXPECT_EQ(list["profilelist"][0]["profilename"].asString(), "Work");
  EXPECT_EQ(list["profileselect"].asInt(), 1) << "the predecessor of the deleted copy";
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(folder)) files += e.path().extension() == ".Json";
  EXPECT_EQ(files, 2u);
  EXPECT_EQ(reset["Device"], factory["Device"]);
  EXPECT_EQ(reset["profilename"].asString(), "Work");
  // The reset went to the mouse: a settings block with the factory mode
  // (data byte 1, after the 8-byte request header).
  bool factorySent = false;
  for (const auto& request : program_.Requests(0x06)) factorySent |= request[8 + 1] == factoryMode;
  EXPECT_TRUE(factorySent) << Trace();
}

// vx27ctl on the same emulator: an event sent and read back, and the
// request log file.
class CliEmulationTest : public ScriptTest {
 protected:
  std::string Ctl(const QStringList& args, const std::string& log = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("VX27_EMULATE");
    if (!log.empty()) env.insert("VX27_EMULATOR_LOG", QString::fromStdString(log));
    p.setProcessEnvironment(env);
    p.start(QString::fromStdString(apptest::InstallDir() + "/vx27ctl"), args);
    if (!p.waitForFinished(20000)) p.kill();
    return p.readAllStandardOutput().toStdString();
  }
};

TEST_F(CliEmulationTest, EventIsSentOnTheEventCollectionAndRequestsAreLogged) {
  EXPECT_EQ(Ctl({"event", "mouse", "0401", "--emulate", "mouse"}), "event 0401\nresult 1\n");
  EXPECT_EQ(Ctl({"event", "keyboard", "0x1123", "--emulate", "keyboard"}), "event 1123\nresult 1\n");
  EXPECT_EQ(Ctl({"event", "headset", "0401", "--emulate", "headset"}), "result 0\n") << "no event collection";

  const std::string log = Path("requests.log");
  Ctl({"info", "mouse", "--emulate", "mouse"}, log);
  Ctl({"info", "pad", "--emulate", "pad"}, log);  // appended
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u);
  // Report id 4, checksum, command 0x03 (information block) with 34 bytes.
  EXPECT_TRUE(std::regex_match(lines[0], std::regex("mouse 04[0-9a-f]{4}0322[0-9a-f]{118}"))) << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("pad 04[0-9a-f]{4}0322[0-9a-f]{118}"))) << lines[1];
}

}  // namespace
