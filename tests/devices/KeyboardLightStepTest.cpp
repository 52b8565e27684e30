// The keyboard's light step against an emulated keyboard: which steps stream
// a frame, the bytes at each light's LED position, the 200 ms hold-back after
// a failed frame, and a key count too large for the frame buffer.

#include <map>

#include <gtest/gtest.h>

#include "devices/Models.h"
#include "emulator/Emulator.h"
#include "emulator/firmware/Firmware.h"

namespace {

using emulator::DeviceModel;
namespace cmd = protocol::cmd;

struct Keyboard {
  explicit Keyboard(bool receiver = false) {
    unit = emulator::firmware::AddDevice(*emu, DeviceModel::Keyboard, receiver);
    kb = std::make_unique<CGesterinKeyboardDevice>(emu);
    kb->SetLightClock(clock);
    kb->SetLightCount(4);
    kb->SetLightPositions({{0, 2}, {1, 0}, {3, 5}});
    kb->InfoBlock().SetKeyCount(126);
    EXPECT_TRUE(kb->CommandChannel().OpenHandle(
        receiver ? protocol::ConnectionMode::Receiver : protocol::ConnectionMode::Wired,
        emulator::firmware::CommandPath(*unit.device, DeviceModel::Keyboard)));
    kb->SetLightColour(0, {255, 128, 0, 128});
    kb->SetLightColour(1, {255, 255, 255, 255});
    kb->SetLightColour(2, {9, 9, 9, 255});
  }
  void Effect(uint8_t id) {
    profiles::LightInfoRecord s;
    s.selectItem = id;
    kb->ApplyLightMode(s);
  }
  size_t Frames() const { return unit.firmware->CountRequests(cmd::kLightFrame); }

  std::shared_ptr<emulator::Emulator> emu = std::make_shared<emulator::Emulator>();
  emulator::firmware::EmulatedUnit unit;
  std::shared_ptr<devices::ManualLightClock> clock = std::make_shared<devices::ManualLightClock>();
  std::unique_ptr<CGesterinKeyboardDevice> kb;
};

TEST(KeyboardLightStep, OnlyHostEffectsOnAWiredKeyboardStreamFrames) {
  struct Case {
    const char* name;
    uint8_t effect;
    bool receiver;
    bool hostControl;
    size_t chunks;  // 3 x 126 bytes in chunks of 56
  };
  const Case cases[] = {
      {"effect 29 by cable", 29, false, true, 7},
      {"effect 30 by cable", 30, false, true, 7},
      {"another effect", 4, false, true, 0},
      {"through the receiver", 29, true, true, 0},
      {"host light control off", 29, false, false, 0},
  };
  for (const Case& c : cases) {
    Keyboard k(c.receiver);
    k.Effect(c.effect);
    k.kb->SetBeginHostLighting(c.hostControl);
    k.unit.firmware->ClearLog();
    k.kb->LightStep();
    EXPECT_EQ(k.Frames(), c.chunks) << c.name;
    // The frame is built whatever is streamed, unless the host does not drive the lights.
    EXPECT_EQ(k.kb->LastFrame()[0], c.hostControl ? 254 : 0) << c.name;
  }
}

TEST(KeyboardLightStep, EachLightsScaledBytesLandAtItsPosition) {
  Keyboard k;
  k.Effect(29);
  k.kb->LightStep();
  const auto frame = k.unit.firmware->Memory().lightFrame;
  const std::array<uint8_t, 18> expected{254, 254, 254,  // light 1 at position 0
                                         0,   0,   0,    // position 1: no light
                                         127, 64,  0,    // light 0 at position 2, brightness 128
                                         0,   0,   0,   0, 0, 0,  // light 2 has no position
                                         0,   0,   0};   // light 3 at position 5 is dark
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(frame[i], expected[i]) << "byte " << i;
}

TEST(KeyboardLightStep, AFailedFrameHoldsTheStepsBack200Ms) {
  Keyboard k;
  k.Effect(29);
  k.unit.firmware->InjectFault({emulator::firmware::FaultKind::Status, 1, cmd::kLightFrame, 0xFF, {}});
  k.kb->LightStep();
  EXPECT_EQ(k.Frames(), 1u) << "the first chunk fails and ends the frame";
  k.clock->Advance(12);  // 187.5 ms
  k.kb->LightStep();
  EXPECT_EQ(k.Frames(), 1u) << "held back";
  k.clock->Advance(1);  // 203 ms
  k.kb->LightStep();
  EXPECT_EQ(k.Frames(), 8u) << "the next frame goes out whole";
}

TEST(KeyboardLightStep, AKeyCountAbove170StopsAtTheFrameBuffer) {
  Keyboard k;
  k.Effect(30);
  k.kb->InfoBlock().SetKeyCount(200);  // 600 bytes would pass the 512-byte frame
  k.kb->LightStep();
  const auto log = k.unit.firmware->Log();
  ASSERT_EQ(k.Frames(), 10u);
  const auto& last = log.back();
  EXPECT_EQ(last.Address(), 504);
  EXPECT_EQ(last.Length(), 8);
}

}  // namespace
