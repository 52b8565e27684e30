// vx27ctl's mouse commands run as a user runs them against the emulated
// mouse, whose memory is kept between runs in VX27_EMULATOR_STATE.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "emulator/firmware/DeviceMemory.h"
#include "profiles/JsonFile.h"

namespace {

namespace fs = std::filesystem;
using emulator::DeviceModel;

struct CtlRun {
  int exit = -1;
  std::string out;
};

class MouseCli : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("VX27_INSTALL_DIR");
    ASSERT_NE(bin, nullptr);
    ctl_ = (fs::path(bin) / "vx27ctl").string();
    state_ = fs::temp_directory_path() / ("vx27-mousecli-" + std::to_string(::getpid()));
    fs::remove_all(state_);
    fs::create_directories(state_);
  }
  void TearDown() override { fs::remove_all(state_); }

  CtlRun Ctl(const std::string& args, const std::string& emulate = "mouse") {
    const std::string line = "VX27_EMULATOR_STATE='" + state_.string() + "' '" + ctl_ + "' " + args +
                             (emulate.empty() ? "" : " --emulate " + emulate) + " 2>/dev/null";
    CtlRun r;
    FILE* p = ::popen(line.c_str(), "r");
    if (!p) return r;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, n);
    const int status = ::pclose(p);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
  }
  fs::path MemoryFile() const { return state_ / "mouse.mem"; }
  emulator::firmware::DeviceMemory Memory() {
    std::ifstream in(MemoryFile(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto m = emulator::firmware::FactoryMemory(DeviceModel::Mouse);
    EXPECT_TRUE(emulator::firmware::LoadMemory(bytes, m));
    return m;
  }
  void PutMemory(const emulator::firmware::DeviceMemory& m) {
    const auto bytes = emulator::firmware::SaveMemory(m);
    std::ofstream(MemoryFile(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         std::streamsize(bytes.size()));
  }

  std::string ctl_;
  fs::path state_;
};

TEST_F(MouseCli, LoadMarksANewMouseAndFillsTheProfile) {
  auto m = emulator::firmware::FactoryMemory(DeviceModel::Mouse);
  m.info.SetFormat(0);
  m.settings[0] = 1;
  m.settings[128 + 12] = 5;  // profile 1: active DPI stage 5
  PutMemory(m);
  const std::string profile = (state_ / "p.Json").string();
  const CtlRun r = Ctl("load mouse --profile '" + profile + "'");
  EXPECT_EQ(r.exit, 0) << r.out;
  EXPECT_EQ(r.out, "info new\npositions 0 1 2 3 4 5 6 7 8 9 10\nonboard 1\nresult 1\n");
  EXPECT_EQ(Memory().info.Format(), 4);
  const Json::Value saved = profiles::LoadJsonFile(profile);
  EXPECT_EQ(saved["Device"][0]["DPIStages"]["StageActive"].asInt(), 5);
  EXPECT_EQ(saved["Device"][0]["KeyList"].size(), 11u);  // the factory entry completed it
}

TEST_F(MouseCli, LoadOfAnUnknownMouseSavesNothing) {
  auto m = emulator::firmware::FactoryMemory(DeviceModel::Mouse);
  m.info.SetFormat(3);
  PutMemory(m);
  const fs::path profile = state_ / "p.Json";
  const CtlRun r = Ctl("load mouse --profile '" + profile.string() + "'");
  EXPECT_NE(r.exit, 0);
  EXPECT_EQ(r.out, "info unknown\npositions 170 170 170 170 170 170 170 170 170 170 170\nonboard 0\nresult 0\n");
  EXPECT_EQ(Memory().info.Format(), 3);
}

TEST_F(MouseCli, ApplyWritesSettingsMacrosAndKeys) {
  const fs::path profile = state_ / "p.Json";
  ASSERT_EQ(Ctl("load mouse --profile '" + profile.string() + "'").exit, 0);
  Json::Value doc = profiles::LoadJsonFile(profile);
  doc["Device"][0]["KeyList"][4]["Assignment"] = 0x700002;  // back → macro 0, mode 2
  doc["Device"][0]["LightInfo"]["Light"] = 1;
  profiles::SaveJsonFile(profile, doc);
  Json::Value index;
  index["MacroInfo"][0]["MacroName"] = "one";
  index["MacroInfo"][0]["Guid"] = "m0";
  profiles::SaveJsonFile(state_ / "macro.config", index);
  Json::Value events;
  events["Events"][0]["Type"] = 10;
  events["Events"][0]["Action"] = "down";
  events["Events"][0]["Button"] = 4;
  events["Events"][0]["Delay"] = "35";
  profiles::SaveJsonFile(state_ / "m0.mac", events);

  const CtlRun r = Ctl("apply mouse --profile '" + profile.string() + "'");
  EXPECT_EQ(r.exit, 0) << r.out;
  EXPECT_EQ(r.out, "info ok\npositions 0 1 2 3 4 5 6 7 8 9 10\nsettings 1\nmacros 0\nkeys 1\n");
  const auto m = Memory();
  EXPECT_EQ(m.keyMap[12], 0x70);
  EXPECT_EQ(m.keyMap[13], 0x00);
  EXPECT_EQ(m.keyMap[14], 0x02);
  EXPECT_EQ(m.settings[2], 1);
  ASSERT_TRUE(m.macros.has_value());
  ASSERT_EQ(m.macros->size(), 1u);
  EXPECT_EQ((*m.macros)[0][0].delay, 35);
  EXPECT_EQ((*m.macros)[0][0].type, 0x8A);

  const CtlRun off = Ctl("apply mouse --profile '" + profile.string() + "' --receiver", "mouse:receiver:off");
  EXPECT_EQ(off.out, "info failed\npositions 170 170 170 170 170 170 170 170 170 170 170\nsettings 0\nmacros -1\nkeys 0\n");
  EXPECT_NE(off.exit, 0);
}

TEST_F(MouseCli, DpiLines) {
  const std::pair<const char*, const char*> cases[] = {
      {"dpi 0x3104 50 110 100 --range", "range 0 100\n"},
      {"dpi 0x3104 50 110 100 --step 60", "dpi 3600\n"},
      {"dpi 0x3104 50 110 100 --typed 2000", "step 34\n"},
      {"dpi 0x3104 50 110 100 --typed 2700", "step 48\n"},
      {"dpi 0x3325 50 0 100 --step 50", "dpi 2900\n"},
      {"dpi 0x3325 50 0 100 --typed 2900", "step 50\n"},
      {"dpi 0x3325 50 0 100 --range", "range layout\n"},
      {"dpi 0x4417 0 0 0 --typed 7100", "step 120\n"},
      {"dpi 0x4417 0 0 0 --range", "range 0 149\n"},
  };
  for (const auto& [args, want] : cases) {
    const CtlRun r = Ctl(args, "");
    EXPECT_EQ(r.exit, 0) << args;
    EXPECT_EQ(r.out, want) << args;
  }
  EXPECT_EQ(Ctl("dpi 0x3104 50 110 100 --typed", "").exit, 2);
}

TEST_F(MouseCli, KeyFunctionLines) {
  const std::pair<std::string, const char*> cases[] = {
      {"key-function mouse 4 101000", "category 1\nkeyset_mousekey_combo 3\n"},
      {"key-function mouse 4 100800", "category 0\n"},  // the back button's default
      {"key-function mouse 4 123583",
       "category 3\nkeyset_mousewheel_combo 1\nkeyset_mousewheel_num_edit 125\n"
       "keyset_mousewheel_delay_edit 3\nkeyset_mousewheel_speed_edit 5\n"},
      {"key-function keyboard 0 130100", "hidden\n"},
      {"key-function mouse 4 100800 build category=5 keyset_mousefire_interval_edit=3 keyset_mousefire_num_edit=4",
       "category 0\nkeyset_mousefire_interval_edit 10\ncode 140a04\n"},
      {"key-function mouse 4 100800 build category=6 key_ComBox_check_=2 capture=1e:0", "category 0\ncode 200204\n"},
      {"key-function mouse 4 100800 build category=6 capture=38:1", "category 0\ncode 200400\n"},
      {"key-function mouse 4 100800 build category=1 keyset_mousekey_combo=3", "category 0\ncode 101000\n"},
  };
  for (const auto& [args, want] : cases) {
    const CtlRun r = Ctl(args, "");
    EXPECT_EQ(r.exit, 0) << args;
    EXPECT_EQ(r.out, want) << args;
  }
  // The default and the macro list come from the profile and its library.
  const fs::path profile = state_ / "p.Json";
  Json::Value doc;
  doc["Device"][0]["KeyList"][2]["Assignment"] = 0x700000;
  doc["Device"][0]["KeyList"][2]["DefaultAssignment"] = 0x700000;
  profiles::SaveJsonFile(profile, doc);
  Json::Value index;
  index["MacroInfo"][0]["MacroName"] = "a";
  index["MacroInfo"][0]["Guid"] = "a";
  profiles::SaveJsonFile(state_ / "macro.config", index);
  EXPECT_EQ(Ctl("key-function mouse 2 700000 --profile '" + profile.string() + "'", "").out, "category 0\n");
  EXPECT_EQ(Ctl("key-function mouse 2 710003 --profile '" + profile.string() + "'", "").out,
            "category 9\nkeyset_macro_combo 0\nkeyset_macro_over_combo 4\nkeyset_macro_cycle_layout shown\n"
            "keyset_macro_cycle_edit 3\n");
  EXPECT_EQ(Ctl("key-function mouse 2 700300 --profile '" + profile.string() + "'", "").out,
            "category 9\nkeyset_macro_combo -1\nkeyset_macro_over_combo -1\nkeyset_macro_cycle_layout hidden\n"
            "keyset_macro_cycle_edit \n");
  EXPECT_EQ(Ctl("key-function mouse 4 10100", "").exit, 2);
}

}  // namespace
