// Every device command of vx27ctl round-trips against the emulator: what one
// run writes, the next run reads back (the emulated memory is kept between
// runs in VX27_EMULATOR_STATE), for every device kind by cable and for the
// mouse and keyboard through the receiver.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "emulator/firmware/DeviceMemory.h"
#include "tests/support/RunCommand.h"

namespace {

namespace fs = std::filesystem;
using emulator::DeviceModel;

using CtlRun = testsupport::CommandRun;

struct Target {
  const char* name;      // as vx27ctl names it
  const char* emulate;   // the emulate list
  bool receiver;
  DeviceModel model;
  const char* stateFile;
};

class Cli : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    const char* bin = std::getenv("VX27_INSTALL_DIR");
    ASSERT_NE(bin, nullptr);
    ctl_ = (fs::path(bin) / "vx27ctl").string();
    state_ = fs::temp_directory_path() /
             ("vx27-cli-" + std::to_string(::getpid()) + "-" + GetParam().stateFile);
    fs::remove_all(state_);
    fs::create_directories(state_);
  }
  void TearDown() override { fs::remove_all(state_); }

  // "<cmd> <dev> <args>" for the target device.
  CtlRun Dev(const std::string& command, const std::string& rest = "") {
    return CtlRaw(command + " " + GetParam().name + " " + rest);
  }
  CtlRun CtlRaw(const std::string& args) {
    const Target& t = GetParam();
    std::string line = "VX27_EMULATOR_STATE='" + state_.string() + "' '" + ctl_ + "' " + args +
                       " --emulate " + t.emulate + (t.receiver ? " --receiver" : "") +
                       " 2>/dev/null";
    return testsupport::RunCommand(line);
  }
  std::string WriteFile(const std::string& name, const std::string& text) {
    const fs::path path = state_ / name;
    std::ofstream(path) << text;
    return path.string();
  }
  emulator::firmware::DeviceMemory Memory() {
    std::ifstream in(state_ / GetParam().stateFile, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    auto m = emulator::firmware::FactoryMemory(GetParam().model);
    EXPECT_TRUE(emulator::firmware::LoadMemory(bytes, m));
    return m;
  }
  uint8_t KeyCount() const { return emulator::firmware::FactoryMemory(GetParam().model).info.KeyCount(); }

  std::string ctl_;
  fs::path state_;
};

std::string HexLines(const std::vector<uint8_t>& bytes) {
  std::string out;
  char b[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(b, sizeof b, "%02x", bytes[i]);
    out += b;
    out += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return out;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + 3 * i);
  return v;
}

TEST_P(Cli, InformationStatusAndLink) {
  const CtlRun info = Dev("info");
  EXPECT_EQ(info.exit, 0) << info.out;
  EXPECT_TRUE(info.Has("magic 55aa")) << info.out;
  EXPECT_TRUE(info.Has("result 1"));

  const size_t held = emulator::firmware::FactoryMemory(GetParam().model).status.size();
  const CtlRun status = Dev("status", std::to_string(held ? held : 1));
  if (held) {
    EXPECT_TRUE(status.Has("result 1")) << status.out;
    EXPECT_TRUE(status.Has(HexLines(emulator::firmware::FactoryMemory(GetParam().model).status)));
  } else {
    EXPECT_TRUE(status.Has("result -102")) << status.out;  // the pad keeps no status block
  }

  const CtlRun link = Dev("link");
  EXPECT_TRUE(link.Has("linked yes\nresult 1")) << link.out;
}

TEST_P(Cli, SettingsRoundTrip) {
  const auto bytes = Pattern(70, 0x10);
  std::string hex;
  for (uint8_t b : bytes) hex += HexLines({b}).substr(0, 2);
  const CtlRun w = Dev("write-settings", "0x80 " + hex);
  EXPECT_EQ(w.exit, 0) << w.out;
  const CtlRun r = Dev("read-settings", "128 70");
  EXPECT_TRUE(r.Has(HexLines(bytes) + "result 1")) << r.out;
  EXPECT_EQ(Memory().transfers, 1u);  // the write was bracketed
}

TEST_P(Cli, KeyMapAndKeyLightRoundTrip) {
  const auto map = Pattern(3 * KeyCount(), 0x21);
  const std::string file = WriteFile("map.hex", HexLines(map));
  const CtlRun w = Dev("write-keymap", file);
  EXPECT_TRUE(w.Has("result 1")) << w.out;
  const CtlRun r = Dev("read-keymap");
  EXPECT_TRUE(r.Has(HexLines(map) + "result 1")) << r.out;

  const CtlRun lights = Dev("read-keylight");
  std::vector<uint8_t> identity(KeyCount());
  for (size_t i = 0; i < identity.size(); ++i) identity[i] = uint8_t(i);
  EXPECT_TRUE(lights.Has(HexLines(identity) + "result 1")) << lights.out;

  const CtlRun wrongSize = Dev("write-keymap", WriteFile("short.hex", "01 02 03 04"));
  EXPECT_EQ(wrongSize.exit, 2);
}

TEST_P(Cli, ColourPageAndLightFrame) {
  const auto page = Pattern(90, 0x40);
  EXPECT_TRUE(Dev("write-colours", "2 " + WriteFile("page.hex", HexLines(page))).Has("result 1"));
  const CtlRun r = Dev("read-colours", "2 90");
  EXPECT_TRUE(r.Has(HexLines(page) + "result 1")) << r.out;

  const auto frame = Pattern(100, 0x05);
  const CtlRun f = Dev("light-frame", WriteFile("frame.hex", HexLines(frame)));
  EXPECT_TRUE(f.Has("result 1")) << f.out;
  const auto m = Memory();
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), m.lightFrame.begin()));
  EXPECT_TRUE(std::equal(page.begin(), page.end(), m.colours.begin() + 2 * 512));
}

TEST_P(Cli, EventImages) {
  const std::string mac = WriteFile("a.mac", R"({"Events":[
      {"Type":10,"Action":"down","Button":4,"Delay":"25"},
      {"Type":10,"Action":"up","Button":4,"Delay":"30"}]})");
  const CtlRun macro = Dev("write-macro-image", mac + " " + mac);
  const uint32_t capacity = emulator::firmware::FactoryMemory(GetParam().model).MacroCapacity();
  if (capacity >= 40) {
    EXPECT_TRUE(macro.Has("image 44 bytes, 2 entries\nresult 1")) << macro.out;
    const auto m = Memory();
    ASSERT_TRUE(m.macros.has_value());
    EXPECT_EQ((*m.macros)[1][0].type, 0x8A);
    EXPECT_EQ((*m.macros)[1][1].delay, 30);
  } else {
    // No macro memory: nothing is sent, the events to remove are the result.
    EXPECT_TRUE(macro.Has("result 12")) << macro.out;
  }

  const char* src = std::getenv("VX27_SOURCE_DIR");
  ASSERT_NE(src, nullptr);
  std::string shoot;
  for (int i = 0; i < 4; ++i)
    shoot += " " + (fs::path(src) / "DefaultData" / ("ShootData_" + std::to_string(i) + ".Shoot"))
                       .string();
  const CtlRun recoil = Dev("write-recoil-image", shoot);
  EXPECT_TRUE(recoil.Has("result 1")) << recoil.out;
  const auto m = Memory();
  ASSERT_TRUE(m.recoil.has_value());
  ASSERT_EQ(m.recoil->size(), 4u);
  EXPECT_EQ((*m.recoil)[0].size(), 180u);  // 30 shots of 6 events
  EXPECT_EQ((*m.recoil)[0][0].type, 0x81);  // left button down
  EXPECT_EQ((*m.recoil)[0][0].delay, 10);
}

TEST_P(Cli, RawCommandAndUnknownCommand) {
  const CtlRun raw = Dev("raw", "0x05 4 0");
  EXPECT_TRUE(raw.Has("result 1")) << raw.out;
  EXPECT_TRUE(raw.Has("04 ")) << raw.out;
  const CtlRun unknown = Dev("raw", "0x42 0 0");
  EXPECT_TRUE(unknown.Has("result -102")) << unknown.out;
  EXPECT_EQ(unknown.exit, 1);
}

const Target kTargets[] = {
    {"mouse", "mouse", false, DeviceModel::Mouse, "mouse.mem"},
    {"mouse", "mouse:receiver", true, DeviceModel::Mouse, "mouse_receiver.mem"},
    {"keyboard", "keyboard", false, DeviceModel::Keyboard, "keyboard.mem"},
    {"keyboard", "keyboard:receiver", true, DeviceModel::Keyboard, "keyboard_receiver.mem"},
    {"pad", "pad", false, DeviceModel::Pad, "pad.mem"},
    {"headset", "headset", false, DeviceModel::Headset, "headset.mem"},
};

INSTANTIATE_TEST_SUITE_P(Devices, Cli, ::testing::ValuesIn(kTargets),
                         [](const auto& info) {
                           return std::string(info.param.name) +
                                  (info.param.receiver ? "Receiver" : "Cable");
                         });

TEST(CliErrors, ReceiverOffAndMissingDevices) {
  const char* bin = std::getenv("VX27_INSTALL_DIR");
  ASSERT_NE(bin, nullptr);
  const std::string ctl = (fs::path(bin) / "vx27ctl").string();
  auto run = [&](const std::string& args) {
    std::string out;
    FILE* p = ::popen(("'" + ctl + "' " + args + " 2>/dev/null").c_str(), "r");
    char buffer[1024];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    ::pclose(p);
    return out;
  };
  EXPECT_NE(run("info mouse --emulate mouse:receiver:off --receiver").find("result -101"),
            std::string::npos);
  EXPECT_NE(run("link keyboard --emulate keyboard:receiver:off --receiver").find("linked no\nresult 0"),
            std::string::npos);
  EXPECT_NE(run("info keyboard --emulate mouse").find("result 0"), std::string::npos);
  EXPECT_NE(run("info pad --emulate pad --receiver").find("result 0"), std::string::npos);
}

}  // namespace
