// CHidInterface over the emulated devices: description, reads and writes with
// time-outs, cancellation by Close, unplugging, the path list and decoding.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "emulator/DeviceCatalog.h"
#include "emulator/Emulator.h"
#include "hid/CHidInterface.h"
#include "hid/PathFields.h"
#include "platform/Worker.h"
#include "tests/hid/EchoFirmware.h"

namespace hid {
namespace {

using namespace std::chrono_literals;
using emulator::DeviceModel;

// Bound for anything that must happen "promptly" (generous for loaded CI).
constexpr auto kPrompt = 2s;

class HidInterfaceTest : public ::testing::Test {
 protected:
  HidInterfaceTest() : emu_(std::make_shared<emulator::Emulator>()), hid_(emu_) {}

  std::shared_ptr<emulator::EmulatedDevice> AddMouse() {
    auto mouse = emu_->Add(emulator::MakeDeviceDesc(DeviceModel::Mouse, {}, "mouse"));
    mouse->Interface(1)->AttachFirmware(firmware_);
    return mouse;
  }
  static std::string PathOf(const emulator::EmulatedDevice& d, uint16_t mi,
                            std::optional<uint16_t> col) {
    return MakeInterfacePath("emu:" + std::to_string(d.Id()), d.VendorId(), d.ProductId(), mi, col);
  }
  std::string CommandPath(const emulator::EmulatedDevice& d) { return PathOf(d, 1, 2); }

  static std::array<uint8_t, 64> Command(uint8_t id) {
    std::array<uint8_t, 64> r{};
    r[0] = 4;
    r[3] = id;
    return r;
  }

  std::shared_ptr<emulator::Emulator> emu_;
  std::shared_ptr<testing::EchoFirmware> firmware_ = std::make_shared<testing::EchoFirmware>();
  CHidInterface hid_;
};

TEST_F(HidInterfaceTest, OpenDescribesTheCollection) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  EXPECT_TRUE(hid_.IsOpen());
  EXPECT_EQ(hid_.VendorID(), 0x320F);
  EXPECT_EQ(hid_.ProductID(), 0x226E);
  EXPECT_EQ(hid_.VersionNumber(), mouse->Version());
  EXPECT_EQ(hid_.UsagePage(), 0xFF1C);
  EXPECT_EQ(hid_.Usage(), 0x92);
  EXPECT_EQ(hid_.InputReportByteLength(), 64);
  EXPECT_EQ(hid_.OutputReportByteLength(), 64);
  EXPECT_EQ(hid_.FeatureReportByteLength(), 0);
  EXPECT_EQ(hid_.InterfaceNumber(), 1u);
  EXPECT_EQ(hid_.CollectionNumber(), 2u);
  EXPECT_EQ(hid_.InputReportBuffer().size(), 64u);
  // One value capability of 63 bytes each way; no buttons.
  EXPECT_EQ(hid_.ValueCaps(ReportType::Input).size(), 1u);
  EXPECT_EQ(hid_.ValueCaps(ReportType::Output).size(), 1u);
  EXPECT_TRUE(hid_.ButtonCaps(ReportType::Input).empty());

  hid_.Close();
  EXPECT_FALSE(hid_.IsOpen());
  EXPECT_EQ(hid_.InputReportByteLength(), 0);
  EXPECT_TRUE(hid_.InputReportBuffer().empty());
  EXPECT_TRUE(hid_.Data(ReportType::Input).empty());
}

TEST_F(HidInterfaceTest, OpenFailsAndLeavesNoHandle) {
  auto mouse = AddMouse();
  const std::string path = CommandPath(*mouse);
  ASSERT_TRUE(hid_.Open(path, true, true, true, false));
  emu_->Unplug(mouse->Id());
  // The path vanished: Open closes the old handle and fails.
  EXPECT_FALSE(hid_.Open(path, true, true, true, false));
  EXPECT_FALSE(hid_.IsOpen());
  EXPECT_EQ(hid_.InputReportByteLength(), 0);
  std::array<uint8_t, 64> buffer{};
  uint32_t got = 99;
  EXPECT_FALSE(hid_.Read(buffer, &got, 0));
  EXPECT_EQ(got, 0u);

  // Paths the emulator never listed do not open either.
  emu_->Plug(mouse->Id());
  const std::string wrong[] = {
      PathOf(*mouse, 1, 5),                                   // no such collection
      PathOf(*mouse, 7, 1),                                   // no such interface
      PathOf(*mouse, 1, std::nullopt),                        // collection left out
      MakeInterfacePath("emu:99", 0x320F, 0x226E, 1, 2),      // no such device
      MakeInterfacePath("emu:1", 0x320F, 0x226F, 1, 2),       // wrong product id
  };
  for (const std::string& p : wrong) {
    SCOPED_TRACE(p);
    EXPECT_FALSE(hid_.Open(p, true, true, true, false));
    EXPECT_FALSE(hid_.IsOpen());
  }
  EXPECT_TRUE(hid_.Open(path, true, true, true, false));
}

TEST_F(HidInterfaceTest, ReadWithZeroTimeOut) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  std::array<uint8_t, 64> buffer{};
  uint32_t got = 99;
  EXPECT_FALSE(hid_.Read(buffer, &got, 0));  // a quiet device
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(hid_.ReadPending());

  // A report already queued is delivered at once, padded to the report length.
  const uint8_t short_report[] = {4, 0xAB};
  mouse->Interface(1)->QueueInput(short_report);
  ASSERT_TRUE(hid_.Read(buffer, &got, 0));
  EXPECT_EQ(got, 64u);
  EXPECT_EQ(buffer[1], 0xAB);
  EXPECT_EQ(buffer[63], 0);
}

TEST_F(HidInterfaceTest, WriteThenReadTheAnswer) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  const auto request = Command(0x03);
  uint32_t written = 0;
  ASSERT_TRUE(hid_.Write(request, &written, 1000));
  EXPECT_EQ(written, 64u);
  std::array<uint8_t, 64> reply{};
  uint32_t got = 0;
  ASSERT_TRUE(hid_.Read(reply, &got, 1000));
  EXPECT_EQ(got, 64u);
  EXPECT_EQ(reply, request);
  EXPECT_FALSE(hid_.WritePending());

  // The flush drops what the device queued.
  ASSERT_TRUE(hid_.Write(request, nullptr, 1000));
  ASSERT_TRUE(hid_.FlushQueue());
  EXPECT_FALSE(hid_.Read(reply, &got, 20));
}

TEST_F(HidInterfaceTest, WriteFailures) {
  auto mouse = AddMouse();
  const auto request = Command(0x05);
  uint32_t written = 99;

  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, false, true, false));  // read only
  EXPECT_FALSE(hid_.Write(request, &written, 1000));
  EXPECT_EQ(written, 0u);

  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  struct Case {
    const char* name;
    std::vector<uint8_t> report;
    bool accept;
    int delayMs;
    uint32_t timeoutMs;
    bool ok;
  };
  const std::vector<uint8_t> whole(request.begin(), request.end());
  std::vector<uint8_t> otherId = whole;
  otherId[0] = 1;
  const Case cases[] = {
      {"accepted", whole, true, 0, 1000, true},
      {"short report", {4, 0, 0, 5}, true, 0, 1000, false},
      {"report id of another collection", otherId, true, 0, 1000, false},
      {"device refuses", whole, false, 0, 1000, false},
      {"slow but in time", whole, true, 20, 1000, true},
      {"slower than the time-out", whole, true, 200, 20, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    firmware_->accept = c.accept;
    firmware_->delayMs = c.delayMs;
    EXPECT_EQ(hid_.Write(c.report, &written, c.timeoutMs), c.ok);
    EXPECT_EQ(written, c.ok ? 64u : 0u);
  }
}

TEST_F(HidInterfaceTest, CloseDuringInfiniteReadReturnsPromptly) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  std::vector<uint8_t> buffer(64);
  uint32_t got = 99;
  auto reader = std::async(std::launch::async, [&] { return hid_.Read(buffer, &got, kInfinite); });
  // Wait until the read is really waiting.
  const auto until = std::chrono::steady_clock::now() + kPrompt;
  while (!hid_.ReadPending() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(1ms);
  ASSERT_TRUE(hid_.ReadPending());
  std::this_thread::sleep_for(10ms);

  const auto start = std::chrono::steady_clock::now();
  hid_.Close();
  ASSERT_EQ(reader.wait_for(kPrompt), std::future_status::ready);
  EXPECT_LT(std::chrono::steady_clock::now() - start, kPrompt);
  EXPECT_FALSE(reader.get());
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(hid_.ReadPending());

  // The cancel meant for that read does not fail the first read after re-opening.
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  const uint8_t report[] = {4, 0x42};
  mouse->Interface(1)->QueueInput(report);
  EXPECT_TRUE(hid_.Read(buffer, &got, 0));
  EXPECT_EQ(buffer[1], 0x42);
}

TEST_F(HidInterfaceTest, AWorkersStopEndsItsInfiniteTransfersWithoutAClose) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  struct Case {
    const char* what;
    bool read;
  };
  for (const Case c : {Case{"read", true}, Case{"write", false}}) {
    SCOPED_TRACE(c.what);
    firmware_->delayMs = c.read ? 0 : 60000;  // the write waits for a slow device
    std::atomic<int> result{-1};
    std::atomic<bool> started{false};
    platform::Worker eventThread;
    ASSERT_TRUE(eventThread.Start([&](const platform::StopEvent&) {
      std::vector<uint8_t> buffer(64);
      const auto report = Command(0x03);
      started = true;
      result = c.read ? hid_.Read(buffer, nullptr, kInfinite) : hid_.Write(report, nullptr, kInfinite);
    }));
    const auto until = std::chrono::steady_clock::now() + kPrompt;
    while (!(started && (hid_.ReadPending() || hid_.WritePending())) &&
           std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(10ms);
    // Keeps the test bounded where the stop event does not reach the wait.
    auto watchdog = std::async(std::launch::async, [&] {
      const auto giveUp = std::chrono::steady_clock::now() + 3s;
      while (result == -1 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(5ms);
      if (result == -1) hid_.Close();
    });
    EXPECT_TRUE(eventThread.Stop(500ms)) << "the stop event must end the transfer";
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(hid_.IsOpen()) << "nobody closed the interface";
    watchdog.wait();
  }
}

TEST_F(HidInterfaceTest, AHugeArrayItemCostsNoMoreThanOneReport) {
  // One array input of 0xFFFF one-bit slots declaring 200 usages: each usage
  // is a capability over the same slots. Counting the slots once per usage
  // asked for 200 usage lists of 200 * 0xFFFF entries (about 5 GB).
  std::vector<uint8_t> descriptor = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07};
  for (int u = 0; u < 200; ++u) descriptor.insert(descriptor.end(), {0x09, uint8_t(0x04 + u)});
  descriptor.insert(descriptor.end(), {0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x96, 0xFF, 0xFF,
                                       0x81, 0x00, 0xC0});
  emulator::DeviceDesc desc;
  desc.name = "hostile";
  desc.vendorId = 0x320F;
  desc.productId = 0x226E;
  desc.interfaces.push_back({0, descriptor});
  auto device = emu_->Add(std::move(desc));
  ASSERT_TRUE(hid_.Open(PathOf(*device, 0, std::nullopt), true, false, true, false));
  EXPECT_EQ(hid_.MaxUsageListLength(ReportType::Input, 0x07), 0xFFFFu);
  const std::vector<HidData> data = hid_.Data(ReportType::Input);
  EXPECT_EQ(data.size(), 200u);
  for (const HidData& d : data) ASSERT_EQ(d.Usages.size(), 0xFFFFu);

  // Slot 0 holds index 1: the second declared usage (0x05); the rest index 0.
  std::vector<uint8_t> report(1 + (0xFFFF + 7) / 8, 0);
  report[1] = 0x01;
  ASSERT_TRUE(hid_.UnpackReport(report, ReportType::Input));
  const std::vector<HidData> decoded = hid_.Data(ReportType::Input);
  EXPECT_EQ(decoded[1].UsageMin, 0x05);
  EXPECT_EQ(decoded[1].Status, HidStatus::Success);
  EXPECT_EQ(decoded[1].Usages[0], 0x05);
  EXPECT_EQ(decoded[1].Usages[1], 0);
  EXPECT_EQ(decoded[0].Usages[0], 0x04) << "index 0 is the first usage, in the other slots";
}

TEST_F(HidInterfaceTest, UnplugDuringInfiniteReadFailsIt) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  std::vector<uint8_t> buffer(64);
  auto reader = std::async(std::launch::async, [&] { return hid_.Read(buffer, nullptr, kInfinite); });
  std::this_thread::sleep_for(10ms);
  emu_->Unplug(mouse->Id());
  ASSERT_EQ(reader.wait_for(kPrompt), std::future_status::ready);
  EXPECT_FALSE(reader.get());
}

TEST_F(HidInterfaceTest, ReportsOfOtherCollectionsDoNotReachTheReader) {
  auto mouse = AddMouse();
  ASSERT_TRUE(hid_.Open(CommandPath(*mouse), true, true, true, false));
  // Interface 1 also carries the keyboard collection (report id 1).
  const uint8_t keyboard[] = {1, 0x02, 0, 0x04, 0, 0, 0, 0, 0};
  mouse->Interface(1)->QueueInput(keyboard);
  std::array<uint8_t, 64> buffer{};
  EXPECT_FALSE(hid_.Read(buffer, nullptr, 20));
}

TEST_F(HidInterfaceTest, EnumerationGrowsPastEightPaths) {
  // Four devices: 3 + 4 + 3 + 4 + 1 collections.
  emu_->Add(emulator::MakeDeviceDesc(DeviceModel::Mouse, {}, "mouse"));
  emu_->Add(emulator::MakeDeviceDesc(DeviceModel::Keyboard, {}, "keyboard"));
  emu_->Add(emulator::MakeDeviceDesc(DeviceModel::Pad, {}, "pad"));
  emu_->Add(emulator::MakeDeviceDesc(DeviceModel::Headset, {}, "headset"));
  std::vector<std::string> direct;
  ASSERT_TRUE(emu_->Enumerate(direct));
  ASSERT_GT(direct.size(), 8u);

  ASSERT_TRUE(hid_.Enumerate());
  EXPECT_EQ(hid_.PathCount(), direct.size());
  std::vector<std::string> walked;
  while (const std::string* p = hid_.NextPath()) walked.push_back(*p);
  EXPECT_EQ(walked, direct);
  EXPECT_EQ(hid_.NextPath(), nullptr);

  hid_.FreePathList();
  EXPECT_EQ(hid_.NextPath(), nullptr);
  EXPECT_EQ(hid_.PathCount(), 0u);

  emu_->FailNextEnumerations(1);
  EXPECT_FALSE(hid_.Enumerate());
  EXPECT_EQ(hid_.PathCount(), 0u);
  EXPECT_EQ(hid_.NextPath(), nullptr);
}

TEST_F(HidInterfaceTest, LongPathIsCutToTheField) {
  const std::string longPath(400, 'x');
  EXPECT_FALSE(hid_.Open(longPath, true, true, true, false));
  EXPECT_EQ(hid_.DevicePath().size(), kMaxPathChars);
}

// Decoding: the keyboard, mouse and event collections of the emulated devices.
class UnpackTest : public HidInterfaceTest {
 protected:
  void OpenCollection(DeviceModel model, uint16_t mi, uint16_t col) {
    auto device = emu_->Add(emulator::MakeDeviceDesc(model, {}, "d"));
    ASSERT_TRUE(hid_.Open(PathOf(*device, mi, col), true, true, true, false));
  }
  HidData Entry(bool button, uint16_t usage) {
    for (const HidData& d : hid_.Data(ReportType::Input))
      if (d.IsButtonData == button && (button ? d.UsageMin : d.Usage) == usage) return d;
    ADD_FAILURE() << "no entry for usage " << usage;
    return {};
  }
};

TEST_F(UnpackTest, KeyboardModifiersAndKeySlots) {
  OpenCollection(DeviceModel::Keyboard, 0, 1);
  ASSERT_EQ(hid_.InputReportByteLength(), 9);
  EXPECT_EQ(hid_.MaxUsageListLength(ReportType::Input, 0x07), 8u + 6u);
  // Left shift and right alt held; keys A and Z.
  const uint8_t report[] = {1, 0x42, 0, 0x04, 0x1D, 0, 0, 0, 0};
  ASSERT_TRUE(hid_.UnpackReport(report, ReportType::Input));

  const HidData modifiers = Entry(true, 0xE0);
  EXPECT_TRUE(modifiers.IsDataSet);
  EXPECT_EQ(modifiers.Status, HidStatus::Success);
  ASSERT_EQ(modifiers.Usages.size(), 14u);
  EXPECT_EQ(modifiers.Usages[0], 0xE1);
  EXPECT_EQ(modifiers.Usages[1], 0xE6);
  EXPECT_EQ(modifiers.Usages[2], 0);
  // The key slots' range 0..0xFF also covers the modifier usages: every usage
  // of the page that is on and inside the range is kept, in report order.
  const HidData keys = Entry(true, 0x00);
  const std::vector<uint16_t> want = {0xE1, 0xE6, 0x04, 0x1D, 0};
  EXPECT_EQ(std::vector<uint16_t>(keys.Usages.begin(), keys.Usages.begin() + 5), want);

  // A report of another id touches nothing.
  const uint8_t other[] = {2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  ASSERT_TRUE(hid_.UnpackReport(other, ReportType::Input));
  EXPECT_EQ(Entry(true, 0xE0).Usages[0], 0xE1);
}

TEST_F(UnpackTest, MouseButtonsAndSignedValues) {
  OpenCollection(DeviceModel::Mouse, 0, 1);
  // Buttons 1 and 3; X = -5, Y = 300, wheel -1, pan 2.
  const uint8_t report[] = {1, 0x05, 0xFB, 0xFF, 0x2C, 0x01, 0xFF, 0x02};
  ASSERT_EQ(hid_.InputReportByteLength(), sizeof report);
  ASSERT_TRUE(hid_.UnpackReport(report, ReportType::Input));
  const HidData buttons = Entry(true, 1);
  EXPECT_EQ(buttons.Usages[0], 1);
  EXPECT_EQ(buttons.Usages[1], 3);
  EXPECT_EQ(buttons.Usages[2], 0);
  struct Want {
    uint16_t usage;
    uint32_t raw;
    int32_t scaled;
  };
  for (const Want& w : {Want{0x30, 0xFFFB, -5}, Want{0x31, 300, 300}, Want{0x38, 0xFF, -1},
                        Want{0x238, 2, 2}}) {
    SCOPED_TRACE(w.usage);
    const HidData v = Entry(false, w.usage);
    EXPECT_TRUE(v.IsDataSet);
    EXPECT_EQ(v.Status, HidStatus::Success);
    EXPECT_EQ(v.RawValue, w.raw);
    EXPECT_EQ(v.ScaledValue, w.scaled);
  }
  // -32768 lies outside the logical range: the raw value is kept, scaling fails.
  const uint8_t outside[] = {1, 0, 0x00, 0x80, 0, 0, 0, 0};
  ASSERT_TRUE(hid_.UnpackReport(outside, ReportType::Input));
  EXPECT_EQ(Entry(false, 0x30).RawValue, 0x8000u);
  EXPECT_EQ(Entry(false, 0x30).Status, HidStatus::ValueOutOfRange);
}

TEST_F(UnpackTest, EventCodeOnTheConsumerCollection) {
  OpenCollection(DeviceModel::Mouse, 0, 3);
  EXPECT_EQ(hid_.UsagePage(), 0x0C);
  const uint8_t report[] = {3, 0x01, 0x04};  // 0x401: reload settings
  ASSERT_TRUE(hid_.UnpackReport(report, ReportType::Input));
  const HidData event = Entry(false, 0x01);
  EXPECT_EQ(event.UsagePage, 0xFF00);
  EXPECT_TRUE(event.IsDataSet);
  EXPECT_EQ(event.RawValue, 0x401u);
  EXPECT_EQ(event.ScaledValue, 0x401);
}

TEST_F(UnpackTest, ElementsPastAUsageRangeRepeatItsLastUsage) {
  // Five button bits for usages 1..3: bits 4 and 5 count as usage 3.
  const std::vector<uint8_t> descriptor = {0x05, 0x09, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
                                           0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,
                                           0x75, 0x01, 0x95, 0x05, 0x81, 0x02, 0x95, 0x03,
                                           0x81, 0x01, 0xC0};
  emulator::DeviceDesc desc;
  desc.name = "buttons";
  desc.vendorId = 0x1234;
  desc.productId = 0x0001;
  desc.interfaces = {{0, descriptor}};
  auto device = emu_->Add(desc);
  ASSERT_TRUE(hid_.Open(PathOf(*device, 0, std::nullopt), true, false, true, false));
  const uint8_t report[] = {1, 0b11010};  // bits 2, 4 and 5
  ASSERT_TRUE(hid_.UnpackReport(report, ReportType::Input));
  const HidData buttons = Entry(true, 1);
  const std::vector<uint16_t> want = {2, 3, 3, 0, 0};
  EXPECT_EQ(buttons.Usages, want);
}

TEST_F(UnpackTest, ShortReportFailsWithoutReadingPastIt) {
  OpenCollection(DeviceModel::Mouse, 0, 1);
  const uint8_t cut[] = {1, 0x01, 0xFB};
  EXPECT_FALSE(hid_.UnpackReport(cut, ReportType::Input));
  EXPECT_EQ(Entry(true, 1).Status, HidStatus::InvalidReportLength);
  EXPECT_FALSE(hid_.UnpackReport({}, ReportType::Input));
}

}  // namespace
}  // namespace hid
