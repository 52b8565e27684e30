// The emulator's firmware is strict: what a device refuses, it refuses loudly.

#include "tests/protocol/Rig.h"

namespace protocol::test {
namespace {

using emulator::DeviceModel;

TEST(Firmware, RefusesWhatTheDeviceWouldRefuse) {
  struct Case {
    const char* name;
    Report request;
    uint8_t wantStatus;
    const char* wantNote;
  };
  auto sealed = [](uint8_t command, uint8_t length, uint16_t address) {
    Report r = MakeRequest(command, length, address);
    SealReport(r);
    return r;
  };
  Report badSum = MakeRequest(cmd::kReadSettings, 4, 0);
  SealReport(badSum);
  badSum[report::kData + 10] = 1;  // changed after sealing
  const Case cases[] = {
      {"bad checksum", badSum, 0xFE, "bad checksum"},
      {"unknown command", sealed(0x42, 0, 0), 0xFF, "unknown command 0x42"},
      {"link query by cable", sealed(cmd::kQueryWirelessLink, 0, 0), 0xFF, "unknown command 0xaa"},
      {"length above 56", sealed(cmd::kReadSettings, 57, 0), 0xFF, "length above 56"},
      {"read past the information block", sealed(cmd::kReadInfoBlock, 24, 24), 0xFF,
       "read outside the memory"},
      {"key map past the key count", sealed(cmd::kWriteKeyMap, 56, 3 * 126 - 10), 0xFF,
       "write outside the memory"},
      {"key map page 1", sealed(cmd::kReadKeyMap, 3, 512), 0xFF, "read outside the memory"},
      {"partial information block", sealed(cmd::kWriteInfoBlock, 10, 0), 0xFF,
       "information block written in part"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(DeviceModel::Keyboard);
    const auto before = rig.fw().Memory();
    TraceLines trace;
    Report reply{};
    ASSERT_EQ(rig.channel.Exchange(c.request, reply), kOk);
    EXPECT_EQ(reply[report::kCommand], c.request[report::kCommand]);
    EXPECT_EQ(reply[report::kStatus], c.wantStatus);
    const auto log = rig.Requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].note, c.wantNote);
    EXPECT_EQ(rig.fw().Memory().keyMap, before.keyMap);
    EXPECT_EQ(rig.fw().Memory().info.raw, before.info.raw);
    if (std::string_view(c.wantNote).starts_with("unknown")) {
      EXPECT_EQ(trace.Count(std::string("emulator firmware: ") + c.wantNote), 1u);
    }
  }
}

TEST(Firmware, ReceiverAnswersForItsDevice) {
  Rig rig(DeviceModel::Mouse, /*receiver=*/true, /*wirelessOn=*/false);
  Report query = MakeRequest(cmd::kQueryWirelessLink);
  SealReport(query);
  Report reply{};
  ASSERT_EQ(rig.channel.Exchange(query, reply), kOk);
  EXPECT_EQ(reply[report::kCommand], 0xAA);
  EXPECT_EQ(reply[report::kData], 0x00);
  EXPECT_EQ(rig.channel.WriteSettings(std::vector<uint8_t>(86, 1), 0), kUnreachable);
  EXPECT_EQ(rig.fw().Memory().settings[0], 0);  // nothing reached the mouse

  rig.unit.device->SetWirelessOn(true);
  ASSERT_EQ(rig.channel.Exchange(query, reply), kOk);
  EXPECT_EQ(reply[report::kData], 0xFF);
}

TEST(Firmware, FactoryMemoryMatchesTheModels) {
  struct Case {
    DeviceModel model;
    uint8_t keys;
    size_t status;
  };
  for (const Case c : {Case{DeviceModel::Mouse, 11, 2}, Case{DeviceModel::Keyboard, 126, 6},
                       Case{DeviceModel::Pad, 0, 0}, Case{DeviceModel::Headset, 0, 6}}) {
    const auto m = emulator::firmware::FactoryMemory(c.model);
    EXPECT_EQ(m.info.Magic(), 0x55AA);
    EXPECT_EQ(m.info.Format(), 4);
    EXPECT_EQ(m.info.KeyCount(), c.keys);
    EXPECT_EQ(m.status.size(), c.status);
    EXPECT_EQ(m.settings[0], 0);  // onboard profile 0 active
    EXPECT_EQ(m.settings[2], 4);  // factory brightness
  }
}

}  // namespace
}  // namespace protocol::test
