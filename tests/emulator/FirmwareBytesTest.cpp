// The emulator's firmware read as a device: requests and replies as literal
// bytes, so the layouts are pinned by the test and not by either side's code;
// the strict event-image decoder; the request log's ring; firmware in place
// before a device is plugged in.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "emulator/ProgramBackend.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/Power.h"
#include "protocol/EventImage.h"

namespace emulator::firmware {
namespace {

using Bytes = std::vector<uint8_t>;

// A 64-byte report: the given bytes, then zeros.
std::array<uint8_t, 64> Report64(std::initializer_list<uint8_t> head) {
  std::array<uint8_t, 64> r{};
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

struct Replies : ReportSink {
  void QueueInput(std::span<const uint8_t> report) override {
    all.emplace_back(report.begin(), report.end());
  }
  std::vector<Bytes> all;
};

// One request straight into the firmware; the reply it queued.
Bytes Ask(CommandFirmware& fw, const std::array<uint8_t, 64>& request) {
  Replies replies;
  fw.OnOutputReport(request, false, replies);
  return replies.all.empty() ? Bytes{} : replies.all.back();
}

Bytes Padded(Bytes bytes) {
  bytes.resize(64, 0);
  return bytes;
}

TEST(FirmwareBytes, InformationAndStatusBlocksAsTheDeviceSendsThem) {
  CommandFirmware mouse(FactoryMemory(DeviceModel::Mouse));
  // Read information block: command 0x03, 34 bytes at 0; checksum 0x03 + 0x22.
  const Bytes info = Ask(mouse, Report64({0x04, 0x25, 0x00, 0x03, 0x22, 0x00, 0x00, 0x00}));
  EXPECT_EQ(info, Padded({0x04, 0x8C, 0x02, 0x03, 0x22, 0x00, 0x00, 0x00,
                          // magic 0x55AA, 3 bytes, 11 keys, 0x20 × 128 macro bytes, format 4
                          0xAA, 0x55, 0x00, 0x00, 0x00, 0x0B, 0x20, 0x04,
                          // 1 byte, sensor 0x3104, DPI step 50, bound 110, base 100
                          0x00, 0x04, 0x31, 0x32, 0x6E, 0x00, 0x64, 0x00}));

  CommandFirmware keyboard(FactoryMemory(DeviceModel::Keyboard));
  // Read status block: command 0x1A, 6 bytes at 0.
  const Bytes status = Ask(keyboard, Report64({0x04, 0x20, 0x00, 0x1A, 0x06, 0x00, 0x00, 0x00}));
  // Battery 90 %, powered, -, -, message parameter 0, phone type 1.
  EXPECT_EQ(status, Padded({0x04, 0x7B, 0x00, 0x1A, 0x06, 0x00, 0x00, 0x00,
                            90, 0, 0, 0, 0, 1}));

  // The same request with its checksum one off is refused with 0xFE.
  EXPECT_EQ(Ask(keyboard, Report64({0x04, 0x21, 0x00, 0x1A, 0x06}))[7], 0xFE);
}

// The power a user sets shows in the status block's bytes; the mouse keeps
// two of them, so it has no phone type.
TEST(FirmwarePower, BatteryChargeStateAndPhoneTypeReachTheStatusBlock) {
  CommandFirmware keyboard(FactoryMemory(DeviceModel::Keyboard));
  ASSERT_TRUE(SetBattery(keyboard, 150, *ParseChargeState("charging")));
  ASSERT_TRUE(SetPhoneType(keyboard, 2));
  EXPECT_EQ(Ask(keyboard, Report64({0x04, 0x20, 0x00, 0x1A, 0x06, 0x00, 0x00, 0x00})),
            Padded({0x04, 0xB9, 0x00, 0x1A, 0x06, 0x00, 0x00, 0x00, 150, 1, 0, 0, 0, 2}));

  CommandFirmware mouse(FactoryMemory(DeviceModel::Mouse));
  ASSERT_TRUE(SetBattery(mouse, 20, *ParseChargeState("battery")));
  EXPECT_FALSE(SetPhoneType(mouse, 1));
  EXPECT_EQ(DescribePower(mouse), "battery 20 charge 2");
  EXPECT_FALSE(SetBattery(*std::make_unique<CommandFirmware>(FactoryMemory(DeviceModel::Pad)), 50, 0))
      << "the pad keeps no status";

  struct Case {
    const char* text;
    std::optional<uint8_t> state;
  };
  for (const Case& c : {Case{"powered", 0}, Case{"charging", 1}, Case{"battery", 2}, Case{"2", 2},
                        Case{"flat", std::nullopt}, Case{"300", std::nullopt}, Case{"", std::nullopt}})
    EXPECT_EQ(ParseChargeState(c.text), c.state) << c.text;
}

TEST(FirmwarePower, OnlyAReceiverSwitchesItsWirelessDevice) {
  Emulator emulator;
  EmulatedUnit receiver = AddDevice(emulator, DeviceModel::Mouse, true);
  EmulatedUnit cable = AddDevice(emulator, DeviceModel::Mouse, false);
  ASSERT_TRUE(SetWireless(*receiver.device, false));
  EXPECT_FALSE(receiver.device->WirelessOn());
  EXPECT_FALSE(SetWireless(*cable.device, false));
  EXPECT_EQ(ParseOnOff("on"), true);
  EXPECT_EQ(ParseOnOff("off"), false);
  EXPECT_EQ(ParseOnOff("yes"), std::nullopt);
}

// One macro of one event: 300 ms, left button (type 1) pressed.
const Bytes kOneEventImage = {
    0xAA, 0x55, 0x1A, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // header
    0x12, 0x00,                                                      // entry 0 at 18
    0x01, 0x00, 0x00, 0x00,                                          // 1 event
    0x2C, 0x01, 0x81, 0x01,                                          // delay, type|press, button
};

TEST(FirmwareBytes, PackedEventImageIsDecodedByTheDevice) {
  // The host packs the event and builds the image to exactly these bytes.
  const protocol::PackedMacroEvent packed = protocol::PackEvent("300", 1, "down", 1);
  const std::vector<std::vector<protocol::PackedMacroEvent>> entries = {{packed}};
  EXPECT_EQ(protocol::BuildEventImage(entries), kOneEventImage);

  // Write macro image: command 0x15, 26 bytes at 0, the image as data.
  CommandFirmware keyboard(FactoryMemory(DeviceModel::Keyboard));
  std::array<uint8_t, 64> request = Report64({0x04, 0x0B, 0x02, 0x15, 0x1A, 0x00, 0x00, 0x00});
  std::copy(kOneEventImage.begin(), kOneEventImage.end(), request.begin() + 8);
  const Bytes reply = Ask(keyboard, request);
  ASSERT_EQ(reply.size(), 64u);
  EXPECT_EQ(reply[7], 0x00);
  const DeviceMemory m = keyboard.Memory();
  ASSERT_TRUE(m.macros.has_value());
  ASSERT_EQ(m.macros->size(), 1u);
  ASSERT_EQ((*m.macros)[0].size(), 1u);
  EXPECT_EQ((*m.macros)[0][0].delay, 300);
  EXPECT_EQ((*m.macros)[0][0].type, 0x81);
  EXPECT_EQ((*m.macros)[0][0].button, 0x01);
}

// What a device would play back wrong is refused, even where a lenient
// reader could make sense of it.
TEST(FirmwareBytes, EventImagesTheDeviceRefuses) {
  struct Case {
    const char* name;
    size_t at;
    uint8_t value;
  };
  const Case cases[] = {
      {"magic", 0, 0xAB},
      {"reserved header byte", 10, 1},
      {"entry not where the table ends", 16, 0x14},
      {"reserved entry byte", 20, 1},
      {"more events than the image holds", 18, 2},
  };
  ASSERT_TRUE(DecodeEventImage(kOneEventImage));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = kOneEventImage;
    image[c.at] = c.value;
    EXPECT_FALSE(DecodeEventImage(image));
  }
  // A total that announces bytes nobody describes (a gap after the entries).
  Bytes longer = kOneEventImage;
  longer[2] = 0x1E;
  longer.resize(30, 0);
  EXPECT_FALSE(DecodeEventImage(longer));
  // Shorter than its header.
  EXPECT_FALSE(DecodeEventImage(std::span(kOneEventImage).first(15)));
  // Four empty entries: 40 bytes.
  const std::vector<std::vector<protocol::PackedMacroEvent>> empty(4);
  const auto four = DecodeEventImage(protocol::BuildEventImage(empty));
  ASSERT_TRUE(four);
  EXPECT_EQ(four->size(), 4u);
}

TEST(FirmwareLog, KeepsTheNewestRequestsInOrderOnceFull) {
  CommandFirmware fw(FactoryMemory(DeviceModel::Keyboard));
  Replies replies;
  constexpr size_t kExtra = 100;
  const size_t total = CommandFirmware::kLogDepth + kExtra;
  for (size_t i = 0; i < total; ++i) {
    // Begin transfer (0x01) with the request number in the address bytes.
    const uint8_t lo = uint8_t(i & 0xFF), hi = uint8_t(i >> 8);
    const unsigned sum = 0x01u + lo + hi;
    fw.OnOutputReport(Report64({0x04, uint8_t(sum & 0xFF), uint8_t(sum >> 8), 0x01, 0x00, lo, hi}),
                      false, replies);
    replies.all.clear();
  }
  const auto log = fw.Log();
  ASSERT_EQ(log.size(), CommandFirmware::kLogDepth);
  for (size_t k = 0; k < log.size(); ++k) {
    ASSERT_EQ(log[k].Address(), uint16_t(kExtra + k)) << "entry " << k;
    ASSERT_TRUE(log[k].checksumOk) << "entry " << k;
  }
  EXPECT_EQ(fw.CountRequests(0x01), CommandFirmware::kLogDepth);

  fw.ClearLog();
  EXPECT_TRUE(fw.Log().empty());
  fw.OnOutputReport(Report64({0x04, 0x02, 0x00, 0x02}), false, replies);
  ASSERT_EQ(fw.Log().size(), 1u);
  EXPECT_EQ(fw.Log()[0].Command(), 0x02);
}

// A firmware attached after the plug would miss it, and a request in between
// would go unanswered: every way of making emulated devices attaches first.
TEST(FirmwareAttach, EveryDeviceHasItsFirmwareBeforeItIsPlugged) {
  const char* list = "mouse,keyboard:receiver,pad,headset";
  Emulator emu;
  std::string error;
  const auto units = AddEmulatedUnits(emu, list, &error);
  ASSERT_TRUE(units) << error;
  ASSERT_EQ(units->size(), 4u);
  for (const EmulatedUnit& u : *units) {
    SCOPED_TRACE(u.device->Name());
    EXPECT_TRUE(u.device->Plugged());
    EXPECT_TRUE(u.firmware->Powered());
  }
  EXPECT_FALSE(AddEmulatedUnits(emu, "mouse,trackball", &error));
  EXPECT_EQ(emu.Devices().size(), 4u);

  std::vector<EmulatedUnit> attached;
  const ProgramBackend program = MakeProgramBackend(list, [&](const auto& device) {
    if (auto unit = AttachFirmwareByName(device)) attached.push_back(*unit);
  });
  ASSERT_EQ(attached.size(), 4u);
  for (const EmulatedUnit& u : attached) EXPECT_TRUE(u.firmware->Powered()) << u.device->Name();

  Emulator single;
  EXPECT_TRUE(AddDevice(single, DeviceModel::Pad).firmware->Powered());
}

}  // namespace
}  // namespace emulator::firmware
