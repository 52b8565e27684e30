// Another process's view of emulated devices through an emulator host (here
// in this process, on a private folder): the listing, reports both ways,
// bounded and cancellable reads, what a peer opened going with it, and the
// host going away as the removal of its devices.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "emulator/AttachBackend.h"
#include "emulator/EmulatorHost.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/ProgramEmulation.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class AttachTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("vx27-attach-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    unit_ = emulator::firmware::AddDevice(*emu_, emulator::DeviceModel::Mouse);
    host_ = std::make_unique<emulator::EmulatorHost>(emu_, emulator::firmware::MakeHostSources(emu_, {unit_}),
                                                     folder_);
    ASSERT_TRUE(host_->Serving());
  }
  void TearDown() override {
    host_.reset();
    fs::remove_all(folder_);
  }
  std::string CommandPath() {
    const auto devices = attach_->Devices();
    return devices.empty() ? std::string() : devices[0].commandPath;
  }

  fs::path folder_;
  std::shared_ptr<emulator::Emulator> emu_ = std::make_shared<emulator::Emulator>();
  emulator::firmware::EmulatedUnit unit_;
  std::unique_ptr<emulator::EmulatorHost> host_;
  std::shared_ptr<emulator::AttachBackend> attach_ = std::make_shared<emulator::AttachBackend>(folder_);
};

TEST_F(AttachTest, ListsOpensAndCarriesReportsBothWays) {
  attach_ = std::make_shared<emulator::AttachBackend>(folder_);
  std::vector<std::string> ours, theirs;
  ASSERT_TRUE(emu_->Enumerate(theirs));
  ASSERT_TRUE(attach_->Enumerate(ours));
  ASSERT_EQ(ours.size(), theirs.size());
  const std::string prefix = "emu@" + std::to_string(::getpid()) + ":";
  for (size_t i = 0; i < ours.size(); ++i) EXPECT_EQ(ours[i], prefix + theirs[i].substr(4));

  const std::string path = CommandPath();
  ASSERT_EQ(path.rfind(prefix, 0), 0u) << path;
  EXPECT_TRUE(attach_->IsPresent(path));
  auto c = attach_->Open(path, {});
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Attributes().VersionNumber, 0x0102);
  EXPECT_EQ(c->Attributes().VendorID, unit_.device->VendorId());
  const auto& col = c->Collection();
  ASSERT_FALSE(col.reportIds.empty());

  // An input report queued by the device arrives whole.
  std::vector<uint8_t> report(col.ReportByteLength(hid::ReportType::Input), 0);
  report[0] = col.reportIds[0];
  report[1] = 0x5A;
  unit_.device->Interface(uint8_t(emulator::firmware::CommandInterfaceNumber(emulator::DeviceModel::Mouse)))
      ->QueueInput(report);
  std::vector<uint8_t> got(report.size());
  hid::CancelEvent cancel;
  const hid::IoResult r = c->Read(got, 1000, hid::Cancellation(cancel));
  ASSERT_EQ(r.status, hid::IoStatus::Completed);
  EXPECT_EQ(got, report);

  // An output report reaches the firmware, which logs the request (an empty
  // command, refused with status 0xFF).
  std::vector<uint8_t> out(col.ReportByteLength(hid::ReportType::Output), 0);
  out[0] = col.reportIds[0];
  const size_t before = unit_.firmware->Log().size();
  EXPECT_EQ(c->Write(out, 1000, hid::Cancellation(cancel)).status, hid::IoStatus::Completed);
  EXPECT_GT(unit_.firmware->Log().size(), before);
  std::string lines;
  EXPECT_TRUE(attach_->RequestLog("mouse", &lines));
  EXPECT_EQ(lines, "request 00 0 0000 ff -\n");
  EXPECT_FALSE(attach_->RequestLog("keyboard", &lines));

  EXPECT_EQ(host_->OpenHandles(), 1u);
  c.reset();
  for (int i = 0; i < 100 && host_->OpenHandles() != 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(host_->OpenHandles(), 0u) << "closed with the connection";
}

TEST_F(AttachTest, ReadsEndOnTimeOutCancelAndInterrupt) {
  attach_ = std::make_shared<emulator::AttachBackend>(folder_);
  auto c = attach_->Open(CommandPath(), {});
  ASSERT_NE(c, nullptr);
  std::vector<uint8_t> buffer(c->Collection().ReportByteLength(hid::ReportType::Input));
  hid::CancelEvent cancel;

  auto start = Clock::now();
  EXPECT_EQ(c->Read(buffer, 120, hid::Cancellation(cancel)).status, hid::IoStatus::TimedOut);
  EXPECT_GE(Clock::now() - start, 120ms);

  std::thread canceller([&] {
    std::this_thread::sleep_for(50ms);
    cancel.Set();
  });
  start = Clock::now();
  EXPECT_EQ(c->Read(buffer, hid::kInfinite, hid::Cancellation(cancel)).status, hid::IoStatus::Cancelled);
  canceller.join();
  EXPECT_LT(Clock::now() - start, 5s);

  std::thread interrupter([&] {
    std::this_thread::sleep_for(50ms);
    c->Interrupt();
  });
  start = Clock::now();
  EXPECT_EQ(c->Read(buffer, hid::kInfinite, hid::Cancellation(cancel)).status, hid::IoStatus::Failed);
  interrupter.join();
  EXPECT_LT(Clock::now() - start, 5s);
}

TEST_F(AttachTest, UnplugAndAVanishedHostAreRemovals) {
  attach_ = std::make_shared<emulator::AttachBackend>(folder_);
  const std::string path = CommandPath();
  auto c = attach_->Open(path, {});
  ASSERT_NE(c, nullptr);
  std::vector<uint8_t> buffer(c->Collection().ReportByteLength(hid::ReportType::Input));
  hid::CancelEvent cancel;

  emu_->Unplug(unit_.device->Id());
  EXPECT_FALSE(attach_->IsPresent(path));
  EXPECT_EQ(c->Read(buffer, 1000, hid::Cancellation(cancel)).status, hid::IoStatus::Failed);
  EXPECT_EQ(attach_->Open(path, {}), nullptr);
  emu_->Plug(unit_.device->Id());
  EXPECT_TRUE(attach_->IsPresent(path));
  c = attach_->Open(path, {});
  ASSERT_NE(c, nullptr);

  // The host goes while a read waits: the read fails, the devices vanish.
  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    host_.reset();
  });
  const auto start = Clock::now();
  EXPECT_EQ(c->Read(buffer, hid::kInfinite, hid::Cancellation(cancel)).status, hid::IoStatus::Failed);
  stopper.join();
  EXPECT_LT(Clock::now() - start, 5s);
  std::vector<std::string> paths;
  EXPECT_TRUE(attach_->Enumerate(paths));
  EXPECT_TRUE(paths.empty());
  EXPECT_FALSE(attach_->IsPresent(path));
  EXPECT_EQ(attach_->HostCount(), 0u);
}

}  // namespace
