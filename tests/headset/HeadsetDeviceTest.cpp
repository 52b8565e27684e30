// The headset device's light settings on an emulated headset: the block it
// writes, what a reload takes back and reports, and a reload that cannot read.

#include <gtest/gtest.h>

#include "emulator/Emulator.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "headset/CGesterinRU6533Device.h"
#include "platform/Messages.h"
#include "platform/MessageTarget.h"

namespace headset_test {
namespace {

class HeadsetDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    device_.CommandChannel().SetSleeper([](std::chrono::milliseconds) {});
    ASSERT_TRUE(device_.CommandChannel().OpenHandle(
        protocol::ConnectionMode::Wired, emulator::firmware::CommandPath(*unit_.device, emulator::DeviceModel::Headset)));
    device_.SetMainWindow(&target_);
  }
  std::vector<uint8_t> Settings(size_t from, size_t count) const {
    const auto memory = unit_.firmware->Memory();
    return {memory.settings.begin() + long(from), memory.settings.begin() + long(from + count)};
  }

  std::shared_ptr<emulator::Emulator> emu_ = std::make_shared<emulator::Emulator>();
  emulator::firmware::EmulatedUnit unit_ = emulator::firmware::AddDevice(*emu_, emulator::DeviceModel::Headset);
  std::vector<platform::Message> messages_;
  platform::MessageTarget target_{[this](const platform::Message& m) {
    messages_.push_back(m);
    return int64_t(0);
  }};
  CGesterinRU6533Device device_{emu_};
};

profiles::LightInfoRecord Record(uint8_t effect, uint8_t speed) {
  profiles::LightInfoRecord r;
  r.selectItem = effect;
  r.light = 3;
  r.speed = speed;
  r.fx = 1;
  r.red = 10;
  r.green = 20;
  r.blue = 30;
  return r;
}

TEST_F(HeadsetDevice, LightSettingsBlockPerSlotAndEffect) {
  struct Case {
    int slot;
    uint8_t effect, speed;
    size_t address;
    std::vector<uint8_t> block;  // slot byte, effect, brightness, 4 - speed, direction, multi, r, g, b, ...
  } cases[] = {
      {0, 7, 1, 0, {0, 7, 3, 3, 1, 0, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {1, 12, 4, 64, {0, 0, 3, 0, 1, 0, 10, 20, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},  // no effect 12: wave
  };
  for (const Case& c : cases) {
    device_.Profile().SetLightInfo(Record(c.effect, c.speed));
    ASSERT_EQ(device_.WriteSettingsToDevice(c.slot, 0, 0, 0, 0), protocol::kOk) << c.slot;
    EXPECT_EQ(Settings(c.address, 21), c.block) << c.slot;
  }
}

TEST_F(HeadsetDevice, ReloadTakesTheStateOfTheCurrentSlotAndReportsIt) {
  unit_.firmware->EditMemory([](emulator::firmware::DeviceMemory& m) {
    m.settings[0] = 2;
    const uint8_t block[] = {2, 6, 4, 0, 0, 1, 1, 2, 3};  // ring chase, brightness 4, stored speed 0
    std::copy(std::begin(block), std::end(block), m.settings.begin() + 50);
  });
  device_.ReloadSettings();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].id, platform::msg::kOnboardProfile);
  EXPECT_EQ(messages_[0].wParam, 2u);
  const auto& s = device_.LightState();
  EXPECT_EQ(s.selectItem, 6);
  EXPECT_EQ(s.light, 4);
  EXPECT_EQ(s.speed, 4);
  EXPECT_EQ(s.multiColor, 1);
  EXPECT_EQ(s.blue, 3);
}

TEST_F(HeadsetDevice, AReloadThatCannotReadChangesNothing) {
  device_.Profile().SetLightInfo(Record(3, 2));
  ASSERT_EQ(device_.WriteSettingsToDevice(0, 0, 0, 0, 0), protocol::kOk);
  const profiles::LightInfoRecord before = device_.LightState();
  unit_.firmware->InjectFault({emulator::firmware::FaultKind::NoReply, -1, protocol::cmd::kReadSettings});
  device_.ReloadSettings();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(device_.LightState(), before);
}

}  // namespace
}  // namespace headset_test
