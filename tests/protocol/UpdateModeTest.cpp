// The emulated devices' update mode, driven through the command channel:
// what each model takes, what it refuses, and what it comes back with after
// the restart.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "protocol/FirmwareUpdate.h"
#include "tests/protocol/Rig.h"

namespace protocol::test {
namespace {

using namespace std::chrono_literals;
using emulator::DeviceModel;

constexpr uint16_t kMouseFactoryVersion = 0x0102;

fw::Image SmallImage(const char* code, uint16_t version = 0x0126, size_t length = 200) {
  fw::Image image{code, version, {}};
  for (size_t i = 0; i < length; ++i) image.payload.push_back(uint8_t(i * 7 + 3));
  return image;
}

// Waits (bounded) until the emulator finished every restart.
bool RestartsSettled(emulator::Emulator& emu) {
  for (int i = 0; i < 250; ++i) {
    if (emu.PendingRestarts() == 0) return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

int Send(Rig& rig, const Report& request) {
  Report reply{};
  const int r = rig.channel.Exchange(request, reply);
  return r == kOk ? StatusResult(reply) : r;
}

TEST(UpdateMode, EachModelTakesItsImageAndComesBackWithTheNewVersion) {
  struct Case {
    DeviceModel model;
    const char* code;
  };
  for (const Case& c : {Case{DeviceModel::Mouse, "RM50C17A"}, Case{DeviceModel::Keyboard, "RM50C16A"},
                        Case{DeviceModel::Pad, "RM50C09A_1"}}) {
    Rig rig(c.model);
    rig.emu->SetRestartGap(10ms);
    ASSERT_TRUE(rig.opened);
    const uint64_t changes = *rig.emu->ChangeCount();
    const fw::UpdateResult result = fw::SendImage(rig.channel, SmallImage(c.code));
    EXPECT_TRUE(result.ok()) << c.code << ": " << fw::DescribeFailure(result);
    ASSERT_TRUE(RestartsSettled(*rig.emu));
    EXPECT_EQ(rig.unit.device->Version(), 0x0126) << c.code;
    EXPECT_TRUE(rig.unit.device->Plugged());
    EXPECT_EQ(*rig.emu->ChangeCount(), changes + 2) << "left and came back";
    // 200 bytes: four chunks of 56 and one of 32.
    EXPECT_EQ(rig.fw().CountRequests(fw::kImageChunk), 4u);
    EXPECT_FALSE(rig.fw().InUpdateMode());
  }
}

TEST(UpdateMode, RefusalsKeepTheOldFirmware) {
  struct Case {
    const char* what;
    DeviceModel model;
    bool receiver;
    const char* code;
    fw::UpdateStep step;
  };
  const Case cases[] = {
      {"another model's image", DeviceModel::Mouse, false, "RM50C16A", fw::UpdateStep::Enter},
      {"through the receiver", DeviceModel::Mouse, true, "RM50C17A", fw::UpdateStep::Enter},
      {"a model without updates", DeviceModel::Headset, false, "RM50C17A", fw::UpdateStep::Enter},
  };
  for (const Case& c : cases) {
    Rig rig(c.model, c.receiver);
    ASSERT_TRUE(rig.opened) << c.what;
    const uint16_t before = rig.unit.device->Version();
    const fw::UpdateResult result = fw::SendImage(rig.channel, SmallImage(c.code));
    EXPECT_EQ(result.step, c.step) << c.what;
    EXPECT_EQ(result.code, kStatusFailed) << c.what;
    EXPECT_FALSE(rig.fw().InUpdateMode()) << c.what;
    EXPECT_EQ(rig.fw().CountRequests(fw::kImageChunk), 0u) << c.what;
    EXPECT_EQ(rig.unit.device->Version(), before) << c.what;
  }
}

TEST(UpdateMode, VerifyChecksWhatArrived) {
  Rig rig(DeviceModel::Mouse);
  rig.emu->SetRestartGap(10ms);
  const fw::Image image = SmallImage("RM50C17A", 0x0126, 100);
  ASSERT_EQ(Send(rig, fw::EnterUpdateRequest(image.code, image.version)), kOk);
  // Outside update commands nothing is answered now.
  DeviceInfoBlock info;
  EXPECT_EQ(rig.channel.ReadInfoBlock(info.raw), kStatusFailed);
  ASSERT_EQ(Send(rig, fw::ImageChunkRequest(0, std::span(image.payload).first(56))), kOk);
  const uint32_t crc = fw::Crc32(image.payload);
  EXPECT_EQ(Send(rig, fw::VerifyRequest(100, crc)), kStatusFailed) << "bytes 56..99 never arrived";
  ASSERT_EQ(Send(rig, fw::ImageChunkRequest(56, std::span(image.payload).subspan(56))), kOk);
  EXPECT_EQ(Send(rig, fw::VerifyRequest(100, crc ^ 1)), kStatusFailed) << "bad CRC";
  // A restart without a verified image brings the old firmware back.
  EXPECT_EQ(Send(rig, fw::RestartRequest()), kOk);
  ASSERT_TRUE(RestartsSettled(*rig.emu));
  EXPECT_EQ(rig.unit.device->Version(), kMouseFactoryVersion);
  EXPECT_TRUE(rig.unit.device->Plugged());
  // And it answers its ordinary commands again.
  ASSERT_TRUE(rig.channel.OpenHandle(ConnectionMode::Wired, rig.path));
  EXPECT_EQ(rig.channel.ReadInfoBlock(info.raw), kOk);
  EXPECT_EQ(Send(rig, fw::ImageChunkRequest(0, std::span(image.payload).first(8))), kStatusFailed)
      << "chunks outside update mode";
}

TEST(UpdateMode, UnplugMidWriteKeepsTheOldFirmware) {
  Rig rig(DeviceModel::Mouse);
  const fw::UpdateResult result = fw::SendImage(rig.channel, SmallImage("RM50C17A", 0x0126, 560), [&](int percent) {
    if (percent >= 50) rig.emu->Unplug(rig.unit.device->Id());
  });
  EXPECT_EQ(result.step, fw::UpdateStep::Chunk);
  EXPECT_EQ(result.address, 5u * 56) << "the first chunk after the unplug";
  rig.emu->Plug(rig.unit.device->Id());
  EXPECT_EQ(rig.unit.device->Version(), kMouseFactoryVersion);
  EXPECT_FALSE(rig.fw().InUpdateMode());
}

TEST(UpdateMode, SuppressedIoFailsInsteadOfPretending) {
  Rig rig(DeviceModel::Mouse);
  rig.channel.SetSuppressIo(true);
  const fw::UpdateResult result = fw::SendImage(rig.channel, SmallImage("RM50C17A"));
  EXPECT_EQ(result.step, fw::UpdateStep::Suppressed);
  EXPECT_TRUE(rig.Requests().empty());
}

}  // namespace
}  // namespace protocol::test
