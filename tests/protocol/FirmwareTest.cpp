// The emulator's firmware is strict: what a device refuses, it refuses loudly.

#include "protocol/EventImage.h"
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

// The key count is a byte of the information block, which the host may write:
// a count whose key map would reach past the device's key-map memory must not
// let a write run into the memory that follows it.
TEST(Firmware, KeyMapStaysInsideItsMemoryWhateverTheKeyCount) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().EditMemory([](emulator::firmware::DeviceMemory& m) { m.info.SetKeyCount(255); });
  const auto before = rig.fw().Memory();
  Report request = MakeRequest(cmd::kWriteKeyMap, 56, 512);
  std::fill_n(request.begin() + report::kData, 56, uint8_t(0xAB));
  SealReport(request);
  Report reply{};
  ASSERT_EQ(rig.channel.Exchange(request, reply), kOk);
  EXPECT_EQ(reply[report::kStatus], 0xFF);
  const auto log = rig.Requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].note, "write outside the memory");
  EXPECT_EQ(rig.fw().Memory().keyLightIndex, before.keyLightIndex);
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

// The headset's firmware, driven directly: its light reports arrive outside the
// transfer queue beside the command reports.
struct Replies : emulator::ReportSink {
  void QueueInput(std::span<const uint8_t> report) override {
    Report r{};
    std::copy_n(report.begin(), std::min(report.size(), r.size()), r.begin());
    got.push_back(r);
  }
  std::vector<Report> got;
};

TEST(Firmware, PadAndHeadsetReadAtTwentyFiveAndWriteAtSixtyFour) {
  for (DeviceModel model : {DeviceModel::Pad, DeviceModel::Headset}) {
    emulator::firmware::CommandFirmware fw(emulator::firmware::FactoryMemory(model));
    Replies replies;
    auto send = [&](uint8_t command, uint8_t length, uint16_t address,
                    std::span<const uint8_t> data = {}) {
      Report r = MakeRequest(command, length, address);
      std::copy(data.begin(), data.end(), r.begin() + report::kData);
      SealReport(r);
      fw.OnOutputReport(r, false, replies);
      return replies.got.back();
    };
    const std::vector<uint8_t> block(21, 0x3C);
    EXPECT_EQ(send(cmd::kWriteSettings, 21, 1 * 64, block)[report::kStatus], 0);
    const Report read = send(cmd::kReadSettings, 45, 1 * 25);
    EXPECT_EQ(read[report::kStatus], 0);
    // Profile 1's write landed at 64: bytes 39.. of the block read at 25.
    EXPECT_EQ(read[report::kData + 64 - 25], 0x3C);
    EXPECT_EQ(read[report::kData + 64 - 25 - 1], 0);
    EXPECT_EQ(fw.Memory().settings[64 + 20], 0x3C);
    // Headset light reports travel outside the command queue and are kept.
    const std::vector<uint8_t> light(17, 0xFF);
    fw.OnOutputReport(light, true, replies);
    EXPECT_EQ(fw.LastControlReport(), light);
  }
}

TEST(Firmware, SavedMemoryLoadsBackAndBadBytesAreRefused) {
  auto m = emulator::firmware::FactoryMemory(DeviceModel::Keyboard);
  m.settings[300] = 9;
  m.macroImage = BuildEventImage(std::vector<std::vector<PackedMacroEvent>>(2));
  m.transfers = 70000;
  const auto bytes = emulator::firmware::SaveMemory(m);

  auto back = emulator::firmware::FactoryMemory(DeviceModel::Keyboard);
  ASSERT_TRUE(emulator::firmware::LoadMemory(bytes, back));
  EXPECT_EQ(back.settings[300], 9);
  EXPECT_EQ(back.transfers, 70000u);
  ASSERT_TRUE(back.macros.has_value());
  EXPECT_EQ(back.macros->size(), 2u);

  auto mouse = emulator::firmware::FactoryMemory(DeviceModel::Mouse);
  const auto before = emulator::firmware::SaveMemory(mouse);
  EXPECT_FALSE(emulator::firmware::LoadMemory(bytes, mouse));  // another model
  auto cut = bytes;
  cut.resize(cut.size() - 3);
  EXPECT_FALSE(emulator::firmware::LoadMemory(cut, back));
  EXPECT_EQ(emulator::firmware::SaveMemory(mouse), before);
}

}  // namespace
}  // namespace protocol::test
