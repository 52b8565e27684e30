// vx27ctl load and apply for the keyboard and the pad, run as a user runs
// them against the emulated devices, whose memory is kept between runs in
// VX27_EMULATOR_STATE. Expected lines and bytes follow the block layouts.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "emulator/firmware/DeviceMemory.h"
#include "profiles/JsonFile.h"
#include "tests/support/CtlRun.h"

namespace {

namespace fs = std::filesystem;
using emulator::DeviceModel;
using emulator::firmware::DeviceMemory;

class KeyboardPadCli : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = fs::temp_directory_path() / ("vx27-kbpadcli-" + std::to_string(::getpid()));
    fs::remove_all(state_);
    fs::create_directories(state_);
  }
  void TearDown() override { fs::remove_all(state_); }

  testsupport::CtlRun Run(const std::string& args, const std::string& emulate) {
    return testsupport::Ctl(args + " --emulate " + emulate, "VX27_EMULATOR_STATE='" + state_.string() + "'");
  }
  fs::path MemoryFile(const char* name) const { return state_ / (std::string(name) + ".mem"); }
  DeviceMemory Memory(const char* name, DeviceModel model) {
    std::ifstream in(MemoryFile(name), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto m = emulator::firmware::FactoryMemory(model);
    EXPECT_TRUE(emulator::firmware::LoadMemory(bytes, m));
    return m;
  }
  void PutMemory(const char* name, const DeviceMemory& m) {
    const auto bytes = emulator::firmware::SaveMemory(m);
    std::ofstream(MemoryFile(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::string Profile(const char* name) const { return "--profile '" + (state_ / name).string() + "'"; }

  fs::path state_;
};

TEST_F(KeyboardPadCli, LoadAndApplyKeyboard) {
  auto m = emulator::firmware::FactoryMemory(DeviceModel::Keyboard);
  m.settings[0] = 1;
  const uint8_t block[] = {0, 24, 3, 4, 1, 0, 0x12, 0x34, 0x56};  // comet, level 3, speed 0
  std::copy(std::begin(block), std::end(block), m.settings.begin() + 25);
  m.settings[25 + 21] = 1;  // Windows-key lock
  std::swap(m.keyLightIndex[0], m.keyLightIndex[1]);
  PutMemory("keyboard", m);

  const auto load = Run("load keyboard " + Profile("k.Json"), "keyboard");
  EXPECT_EQ(load.exit, 0) << load.out;
  std::string positions = "positions", lights = "lights";
  for (int k = 0; k < 170; ++k) {
    positions += " " + std::to_string(k < 126 ? k : 255);
    lights += " " + std::to_string(k == 0 ? 1 : k == 1 ? 0 : k < 126 ? k : 255);
  }
  EXPECT_TRUE(load.Has(positions)) << load.out;
  EXPECT_TRUE(load.Has(lights)) << load.out;
  EXPECT_TRUE(load.Has("onboard 1"));
  EXPECT_TRUE(load.Has("result 1"));
  const Json::Value saved = profiles::LoadJsonFile(state_ / "k.Json");
  ASSERT_FALSE(saved.isNull());

  // The profile read back goes to block 0 with the same lighting.
  const auto apply = Run("apply keyboard " + Profile("k.Json"), "keyboard");
  EXPECT_EQ(apply.exit, 0) << apply.out;
  EXPECT_EQ(apply.out, "positions" + positions.substr(9) + "\n" + lights + "\nsettings 1\nmacros 0\nkeys 1\n");
  const DeviceMemory after = Memory("keyboard", DeviceModel::Keyboard);
  const uint8_t want[] = {0, 24, 3, 4, 1, 0, 0x12, 0x34, 0x56};
  EXPECT_TRUE(std::equal(std::begin(want), std::end(want), after.settings.begin())) << "block 0";
  EXPECT_EQ(after.settings[21], 1);
  EXPECT_EQ(after.keyMap, m.keyMap) << "the factory keys stay where they are";
}

TEST_F(KeyboardPadCli, LoadAndApplyPad) {
  auto m = emulator::firmware::FactoryMemory(DeviceModel::Pad);
  const uint8_t block[] = {0, 8, 2, 4, 1, 1, 1, 2, 3, 0x77};  // off, level 2, speed 0
  std::copy(std::begin(block), std::end(block), m.settings.begin());
  PutMemory("pad", m);
  const auto load = Run("load pad " + Profile("p.Json"), "pad");
  EXPECT_EQ(load.exit, 0) << load.out;
  EXPECT_EQ(load.out, "onboard 0\nimage 00 08 02 00 01 01 01 02 03 77 00 00 00 00 00 00 00 00 00 00 00\nresult 1\n");

  const auto apply = Run("apply pad " + Profile("p.Json"), "pad");
  EXPECT_EQ(apply.exit, 0) << apply.out;
  EXPECT_EQ(apply.out, "settings 1\n");
  const DeviceMemory after = Memory("pad", DeviceModel::Pad);
  EXPECT_EQ(after.settings[9], 0x77) << "bytes the host does not set are sent as held";
}

TEST_F(KeyboardPadCli, AMissingDeviceOrMissingProfileOption) {
  const auto r = Run("load keyboard " + Profile("k.Json"), "mouse");
  EXPECT_EQ(r.exit, 1);
  EXPECT_FALSE(fs::exists(state_ / "k.Json"));
  EXPECT_EQ(Run("apply pad", "pad").exit, 2);
}

}  // namespace
