// The emulated devices as a HID backend: the emulate list, the paths and
// collections of each model, plug and unplug, report routing by id and the
// firmware seam.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "emulator/DeviceCatalog.h"
#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "emulator/ProgramBackend.h"
#include "hid/PathFields.h"
#include "tests/hid/EchoFirmware.h"

namespace emulator {
namespace {

using hid::OpenMode;

std::vector<std::string> PathsOf(Emulator& emu, const EmulatedDevice& d) {
  std::vector<std::string> all, mine;
  EXPECT_TRUE(emu.Enumerate(all));
  const std::string prefix = "emu:" + std::to_string(d.Id()) + "#";
  for (const std::string& p : all)
    if (p.rfind(prefix, 0) == 0) mine.push_back(p.substr(prefix.size()));
  return mine;
}

TEST(EmulateList, ParsesDevicesAndOptions) {
  std::string error;
  auto descs = ParseEmulateList(" mouse, keyboard:receiver:off ,pad,headset,mouse:decoy", &error);
  ASSERT_TRUE(descs) << error;
  ASSERT_EQ(descs->size(), 5u);
  EXPECT_EQ((*descs)[0].name, "mouse");
  EXPECT_EQ((*descs)[0].productId, ids::kMouseCable);
  EXPECT_EQ((*descs)[1].name, "keyboard:receiver:off");
  EXPECT_TRUE((*descs)[1].receiver);
  EXPECT_FALSE((*descs)[1].wirelessOn);
  EXPECT_EQ((*descs)[3].vendorId, ids::kHeadsetVendor);
  EXPECT_TRUE(ParseEmulateList("", &error)->empty());

  const char* bad[] = {"trackball", "mouse:wireless", "pad:receiver", "headset:receiver",
                       "mouse:off", "mouse,,pad", ","};
  for (const char* list : bad) {
    SCOPED_TRACE(list);
    error.clear();
    EXPECT_FALSE(ParseEmulateList(list, &error));
    EXPECT_FALSE(error.empty());
  }
  Emulator emu;
  EXPECT_FALSE(AddEmulatedDevices(emu, "mouse,trackball", &error));
  EXPECT_TRUE(emu.Devices().empty());  // nothing added from a bad list
}

TEST(EmulatedModels, PathsAndCollectionsMatchTheRealDevices) {
  struct Want {
    const char* suffix;
    uint16_t page, usage, in, out;
  };
  struct Case {
    const char* device;
    std::vector<Want> paths;
  };
  const Case cases[] = {
      {"mouse",
       {{"vid_320f&pid_226e&mi_00&col01", 0x01, 0x02, 8, 0},
        {"vid_320f&pid_226e&mi_00&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_226e&mi_00&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_226e&mi_01&col01", 0x01, 0x06, 9, 2},
        {"vid_320f&pid_226e&mi_01&col02", 0xFF1C, 0x92, 64, 64}}},
      {"mouse:receiver",
       {{"vid_320f&pid_226f&mi_00&col01", 0x01, 0x02, 8, 0},
        {"vid_320f&pid_226f&mi_00&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_226f&mi_00&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_226f&mi_01&col01", 0x01, 0x06, 9, 2},
        {"vid_320f&pid_226f&mi_01&col02", 0xFF1C, 0x92, 64, 64}}},
      {"keyboard",
       {{"vid_320f&pid_0000&mi_00&col01", 0x01, 0x06, 9, 2},
        {"vid_320f&pid_0000&mi_00&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_0000&mi_00&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_0000&mi_01&col01", 0x01, 0x02, 8, 0},
        {"vid_320f&pid_0000&mi_01&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_0000&mi_01&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_0000&mi_01&col04", 0xFF1C, 0x92, 64, 64}}},
      {"pad",
       {{"vid_320f&pid_1004&mi_00&col01", 0x01, 0x06, 9, 2},
        {"vid_320f&pid_1004&mi_00&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_1004&mi_00&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_1004&mi_01&col01", 0x01, 0x02, 8, 0},
        {"vid_320f&pid_1004&mi_01&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_1004&mi_01&col03", 0x0C, 0x01, 3, 0},
        {"vid_320f&pid_1004&mi_01&col04", 0xFF1C, 0x92, 64, 64}}},
      // One collection: no "&col"; 64-byte command reports both ways beside
      // the 17-byte light reports.
      {"headset", {{"vid_0c76&pid_1630&mi_03", 0x0C, 0x01, 64, 64}}},
      {"headset:decoy", {{"vid_0c76&pid_1630&mi_03", 0x0B, 0x05, 64, 64}}},
      {"mouse:decoy",
       {{"vid_320f&pid_226e&mi_00&col01", 0x01, 0x02, 8, 0},
        {"vid_320f&pid_226e&mi_00&col02", 0x01, 0x80, 2, 0},
        {"vid_320f&pid_226e&mi_00&col03", 0xFF00, 0x01, 3, 0},
        {"vid_320f&pid_226e&mi_01&col01", 0x01, 0x06, 9, 2},
        {"vid_320f&pid_226e&mi_01&col02", 0xFF00, 0x01, 64, 64}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    Emulator emu;
    std::string error;
    ASSERT_TRUE(AddEmulatedDevices(emu, c.device, &error)) << error;
    auto device = emu.Devices().front();
    const auto paths = PathsOf(emu, *device);
    ASSERT_EQ(paths.size(), c.paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
      SCOPED_TRACE(paths[i]);
      EXPECT_EQ(paths[i], c.paths[i].suffix);
      auto conn = emu.Open("emu:" + std::to_string(device->Id()) + "#" + paths[i], OpenMode{});
      ASSERT_TRUE(conn);
      EXPECT_EQ(conn->Collection().usagePage, c.paths[i].page);
      EXPECT_EQ(conn->Collection().usage, c.paths[i].usage);
      EXPECT_EQ(conn->Collection().ReportByteLength(hid::ReportType::Input), c.paths[i].in);
      EXPECT_EQ(conn->Collection().ReportByteLength(hid::ReportType::Output), c.paths[i].out);
      EXPECT_EQ(conn->Attributes().VendorID, device->VendorId());
      EXPECT_EQ(conn->Attributes().VersionNumber, device->Version());
    }
  }
}

class EmulatorTest : public ::testing::Test {
 protected:
  std::shared_ptr<EmulatedDevice> Add(DeviceModel model, DeviceOptions options = {}) {
    return emu_->Add(MakeDeviceDesc(model, options, "d"));
  }
  std::string Path(const EmulatedDevice& d, uint16_t mi, std::optional<uint16_t> col) {
    return hid::MakeInterfacePath("emu:" + std::to_string(d.Id()), d.VendorId(), d.ProductId(), mi, col);
  }
  static hid::IoResult ReadNow(hid::HidConnection& c, std::vector<uint8_t>& buffer) {
    hid::CancelEvent cancel;
    return c.Read(buffer, 0, cancel);
  }

  std::shared_ptr<Emulator> emu_ = std::make_shared<Emulator>();
  std::shared_ptr<hid::testing::EchoFirmware> firmware_ = std::make_shared<hid::testing::EchoFirmware>();
};

TEST_F(EmulatorTest, UnplugHidesTheDeviceAndFailsItsConnections) {
  auto mouse = Add(DeviceModel::Mouse);
  mouse->Interface(1)->AttachFirmware(firmware_);
  EXPECT_EQ(firmware_->plugs, 0);  // attached after the plug
  const std::string command = Path(*mouse, 1, 2);
  auto conn = emu_->Open(command, OpenMode{});
  ASSERT_TRUE(conn);
  EXPECT_TRUE(emu_->IsPresent(command));

  emu_->Unplug(mouse->Id());
  EXPECT_EQ(firmware_->unplugs, 1);
  EXPECT_FALSE(emu_->IsPresent(command));
  EXPECT_TRUE(PathsOf(*emu_, *mouse).empty());
  EXPECT_FALSE(emu_->Open(command, OpenMode{}));
  std::vector<uint8_t> buffer(64);
  EXPECT_EQ(ReadNow(*conn, buffer).status, hid::IoStatus::Failed);
  hid::CancelEvent cancel;
  std::vector<uint8_t> report(64, 0);
  report[0] = kCommandReportId;
  EXPECT_EQ(conn->Write(report, 100, cancel).status, hid::IoStatus::Failed);
  EXPECT_FALSE(conn->FlushQueue());

  // Back again under the same paths; the old connection stays dead.
  emu_->Plug(mouse->Id());
  EXPECT_EQ(firmware_->plugs, 1);
  EXPECT_TRUE(emu_->IsPresent(command));
  EXPECT_EQ(PathsOf(*emu_, *mouse).size(), 5u);
  EXPECT_EQ(ReadNow(*conn, buffer).status, hid::IoStatus::Failed);
  EXPECT_TRUE(emu_->Open(command, OpenMode{}));
}

TEST_F(EmulatorTest, InputReportsReachOnlyTheCollectionsOfTheirId) {
  auto keyboard = Add(DeviceModel::Keyboard);
  auto kb = emu_->Open(Path(*keyboard, 0, 1), OpenMode{});
  auto events = emu_->Open(Path(*keyboard, 0, 3), OpenMode{});
  auto eventsAgain = emu_->Open(Path(*keyboard, 0, 3), OpenMode{});
  auto otherInterface = emu_->Open(Path(*keyboard, 1, 3), OpenMode{});  // id 3 on interface 1
  ASSERT_TRUE(kb && events && eventsAgain && otherInterface);

  const uint8_t event[] = {kEventReportId, 0x02, 0x04};  // 0x402
  keyboard->Interface(0)->QueueInput(event);
  std::vector<uint8_t> buffer(64);
  EXPECT_EQ(ReadNow(*kb, buffer).status, hid::IoStatus::TimedOut);
  EXPECT_EQ(ReadNow(*otherInterface, buffer).status, hid::IoStatus::TimedOut);
  // Every open handle of the collection gets its own copy.
  for (auto* c : {events.get(), eventsAgain.get()}) {
    const hid::IoResult r = ReadNow(*c, buffer);
    ASSERT_EQ(r.status, hid::IoStatus::Completed);
    EXPECT_EQ(r.transferred, 3u);
    EXPECT_EQ(buffer[1], 0x02);
    EXPECT_EQ(buffer[2], 0x04);
  }
  // A handle opened without read access reads nothing.
  OpenMode writeOnly;
  writeOnly.read = false;
  auto noRead = emu_->Open(Path(*keyboard, 0, 3), writeOnly);
  keyboard->Interface(0)->QueueInput(event);
  EXPECT_EQ(ReadNow(*noRead, buffer).status, hid::IoStatus::Failed);
}

TEST_F(EmulatorTest, QueueKeepsTheNewestReports) {
  auto mouse = Add(DeviceModel::Mouse);
  auto conn = emu_->Open(Path(*mouse, 1, 2), OpenMode{});
  for (int i = 0; i < 70; ++i) {
    const uint8_t report[] = {kCommandReportId, static_cast<uint8_t>(i)};
    mouse->Interface(1)->QueueInput(report);
  }
  std::vector<uint8_t> buffer(64);
  ASSERT_EQ(ReadNow(*conn, buffer).status, hid::IoStatus::Completed);
  EXPECT_EQ(buffer[1], 70 - 64);
}

TEST_F(EmulatorTest, OutputReportsGoToTheFirmwareOrTheLog) {
  auto headset = Add(DeviceModel::Headset);
  auto conn = emu_->Open(Path(*headset, 3, std::nullopt), OpenMode{});
  ASSERT_TRUE(conn);
  std::vector<uint8_t> light(17, 0);
  light[0] = kHeadsetLightReportId;
  light[1] = 0x22;
  light[2] = 0xAA;
  // No firmware: accepted and logged.
  EXPECT_TRUE(conn->SetOutputReport(light));
  auto written = headset->Interface(3)->TakeWritten();
  ASSERT_EQ(written.size(), 1u);
  EXPECT_TRUE(written[0].viaControl);
  EXPECT_EQ(written[0].bytes, light);

  headset->Interface(3)->AttachFirmware(firmware_);
  firmware_->answer = false;
  hid::CancelEvent cancel;
  // A transfer write is the collection's longest output report (the 64-byte
  // command report), so a light report goes out padded; outside the queue it
  // may be just its own 17 bytes.
  EXPECT_EQ(conn->Write(light, 100, cancel).status, hid::IoStatus::Failed);
  std::vector<uint8_t> padded = light;
  padded.resize(64, 0);
  EXPECT_EQ(conn->Write(padded, 100, cancel).status, hid::IoStatus::Completed);
  EXPECT_TRUE(conn->SetOutputReport(light));
  EXPECT_EQ(firmware_->writes, 2);
  EXPECT_EQ(firmware_->controlWrites, 1);
  firmware_->accept = false;
  EXPECT_FALSE(conn->SetOutputReport(light));
  light.pop_back();  // one byte short of the report
  firmware_->accept = true;
  EXPECT_FALSE(conn->SetOutputReport(light));
  EXPECT_EQ(firmware_->writes, 3);
}

TEST_F(EmulatorTest, ReceiverKnowsWhetherItsWirelessDeviceIsOn) {
  DeviceOptions off;
  off.receiver = true;
  off.wirelessOn = false;
  auto receiver = Add(DeviceModel::Keyboard, off);
  EXPECT_TRUE(receiver->IsReceiver());
  EXPECT_FALSE(receiver->WirelessOn());
  EXPECT_EQ(PathsOf(*emu_, *receiver).size(), 7u);  // present all the same
  receiver->SetWirelessOn(true);
  EXPECT_TRUE(receiver->WirelessOn());
}

TEST_F(EmulatorTest, PlugAndUnplugFromAnotherThreadWhileTheBackendIsInUse) {
  auto mouse = Add(DeviceModel::Mouse);
  mouse->Interface(1)->AttachFirmware(firmware_);
  std::atomic<bool> done{false};
  std::thread toggler([&] {
    while (!done) {
      emu_->Unplug(mouse->Id());
      emu_->Plug(mouse->Id());
    }
  });
  std::vector<uint8_t> report(64, 0);
  report[0] = kCommandReportId;
  std::vector<uint8_t> buffer(64);
  for (int i = 0; i < 200; ++i) {
    std::vector<std::string> paths;
    ASSERT_TRUE(emu_->Enumerate(paths));
    for (const std::string& p : paths) {
      auto conn = emu_->Open(p, OpenMode{});
      if (!conn) continue;  // unplugged in between
      hid::CancelEvent cancel;
      (void)conn->Write(report, 10, cancel);
      (void)conn->Read(buffer, 0, cancel);
    }
  }
  done = true;
  toggler.join();
  // After the churn the device works as before.
  emu_->Plug(mouse->Id());
  auto conn = emu_->Open(Path(*mouse, 1, 2), OpenMode{});
  ASSERT_TRUE(conn);
  hid::CancelEvent cancel;
  report[3] = 0x5A;
  ASSERT_EQ(conn->Write(report, 100, cancel).status, hid::IoStatus::Completed);
  ASSERT_EQ(conn->Read(buffer, 100, cancel).status, hid::IoStatus::Completed);
  EXPECT_EQ(buffer, report);
}

TEST(ProgramBackend, HidrawAloneUnlessTheListNamesDevices) {
  EXPECT_FALSE(MakeProgramBackend("").emulator);
  EXPECT_FALSE(MakeProgramBackend("trackball").emulator);  // traced and ignored
  const ProgramBackend both = MakeProgramBackend("mouse,headset");
  ASSERT_TRUE(both.emulator);
  ASSERT_TRUE(both.backend);
  EXPECT_EQ(both.emulator->Devices().size(), 2u);
  std::vector<std::string> paths;
  ASSERT_TRUE(both.backend->Enumerate(paths));
  size_t emulated = 0;
  for (const std::string& p : paths) {
    if (p.rfind("emu:", 0) != 0) continue;
    ++emulated;
    EXPECT_TRUE(both.backend->IsPresent(p));
    EXPECT_TRUE(both.backend->Open(p, OpenMode{}));
  }
  EXPECT_EQ(emulated, 6u);
  EXPECT_FALSE(both.backend->IsPresent("nowhere#vid_320f&pid_226e"));
}

}  // namespace
}  // namespace emulator
