// The parts of the hidraw backend that need no device: the listing's paths of
// one node from its descriptor, and the connection's waits over a
// SOCK_SEQPACKET socket pair, which keeps report boundaries as a hidraw node
// does: reads filtered by report id, reads ended by the worker's stop event,
// the cancel event and the close, and writes that give TimedOut when the node
// stays unwritable.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "hid/HidrawBackend.h"
#include "hid/ReportDescriptor.h"
#include "platform/StopEvent.h"
#include "platform/Trace.h"
#include "tests/hid/Fixtures.h"

namespace hid {
namespace {

using namespace std::chrono_literals;

constexpr auto kPrompt = 2s;  // generous for loaded CI

TEST(HidrawListing, OnePathPerCollectionAndARefusedDescriptorIsTracedAndLeftOut) {
  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view line) { traced.emplace_back(line); });
  EXPECT_EQ(NodeCollectionPaths("/dev/hidraw3", 0x320F, 0x226E, 1, fixtures::kThreeCollections),
            (std::vector<std::string>{"/dev/hidraw3#vid_320f&pid_226e&mi_01&col01",
                                      "/dev/hidraw3#vid_320f&pid_226e&mi_01&col02",
                                      "/dev/hidraw3#vid_320f&pid_226e&mi_01&col03"}));
  EXPECT_EQ(NodeCollectionPaths("/dev/hidraw5", 0x0C76, 0x1630, 3, fixtures::kBootMouse),
            (std::vector<std::string>{"/dev/hidraw5#vid_0c76&pid_1630&mi_03"}));
  EXPECT_TRUE(traced.empty());

  // 1025 usages before one main item: more than the parser takes (the kernel
  // takes up to 12288), so this interface is left out of the listing.
  std::vector<uint8_t> manyUsages = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07};
  for (int u = 0; u < 1025; ++u) manyUsages.insert(manyUsages.end(), {0x09, uint8_t(u)});
  manyUsages.insert(manyUsages.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x00, 0xC0});
  EXPECT_EQ(NodeCollectionPaths("/dev/hidraw7", 0x320F, 0x226E, 0, manyUsages), std::nullopt);
  EXPECT_EQ(NodeCollectionPaths("/dev/hidraw8", 0x320F, 0x226E, 0, {}), std::nullopt);
  ASSERT_EQ(traced.size(), 2u);
  EXPECT_NE(traced[0].find("/dev/hidraw7"), std::string::npos);
  EXPECT_NE(traced[0].find("left out"), std::string::npos);
}

class HidrawConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds), 0);
    peer_ = fds[1];
    nodeSide_ = ::dup(fds[0]);  // to fill the socket's buffer behind the connection's back
    auto parsed = ParseReportDescriptor(fixtures::kThreeCollections);
    ASSERT_TRUE(parsed);
    // The vendor collection: report id 4, 64 bytes each way.
    connection_ = MakeHidrawConnection(fds[0], {0x320F, 0x226E, 0}, parsed->collections.at(2),
                                       parsed->usesReportIds, OpenMode{});
    ASSERT_TRUE(connection_);
  }
  void TearDown() override {
    connection_.reset();
    ::close(peer_);
    ::close(nodeSide_);
  }
  void DeviceSends(std::initializer_list<uint8_t> bytes) {
    const std::vector<uint8_t> report(bytes);
    ASSERT_EQ(::write(peer_, report.data(), report.size()), ssize_t(report.size()));
  }
  // A read on another thread, started once it is known to wait.
  std::future<IoResult> ReadInBackground(uint32_t timeoutMs, CancelEvent& cancel,
                                         const platform::StopEvent* stop) {
    auto f = std::async(std::launch::async, [=, this, &cancel] {
      std::array<uint8_t, 64> buffer{};
      return connection_->Read(buffer, timeoutMs, Cancellation(cancel, stop));
    });
    std::this_thread::sleep_for(20ms);
    return f;
  }

  int peer_ = -1;
  int nodeSide_ = -1;
  std::shared_ptr<HidConnection> connection_;
};

TEST_F(HidrawConnectionTest, ReadsOnlyTheReportsOfItsCollection) {
  CancelEvent cancel;
  std::array<uint8_t, 64> buffer{};
  EXPECT_EQ(connection_->Read(buffer, 0, cancel).status, IoStatus::TimedOut);
  DeviceSends({1, 0x02, 0, 0x04, 0, 0, 0, 0, 0});  // the keyboard collection's
  DeviceSends({4, 0x01, 0x02, 0x03});
  const IoResult r = connection_->Read(buffer, 1000, cancel);
  ASSERT_EQ(r.status, IoStatus::Completed);
  EXPECT_EQ(r.transferred, 64u);
  EXPECT_EQ(buffer[0], 4);
  EXPECT_EQ(buffer[3], 0x03);
  EXPECT_EQ(buffer[4], 0) << "zero-padded to the report length";
}

TEST_F(HidrawConnectionTest, EveryCancellationEndsAnInfiniteRead) {
  struct Case {
    const char* what;
    IoStatus want;
  };
  for (const Case c : {Case{"stop event", IoStatus::Cancelled}, Case{"cancel event", IoStatus::Cancelled},
                       Case{"close", IoStatus::Failed}}) {
    SCOPED_TRACE(c.what);
    CancelEvent cancel;
    platform::StopEvent stop;
    auto reader = ReadInBackground(kInfinite, cancel, &stop);
    ASSERT_EQ(reader.wait_for(0ms), std::future_status::timeout) << "the read must wait";
    const std::string what = c.what;
    if (what == "stop event") stop.Set();
    if (what == "cancel event") cancel.Set();
    if (what == "close") connection_->Interrupt();
    ASSERT_EQ(reader.wait_for(kPrompt), std::future_status::ready);
    EXPECT_EQ(reader.get().status, c.want);
    if (what == "cancel event") {
      EXPECT_FALSE(cancel.IsSet()) << "the read consumes the signal";
    }
    if (what == "stop event") {
      EXPECT_TRUE(stop.IsSet()) << "a stop event stays set";
    }
  }
}

TEST_F(HidrawConnectionTest, ACancelGivenBeforeTheReadEndsItAtOnce) {
  CancelEvent cancel;
  cancel.Set();
  DeviceSends({4, 0x01});
  std::array<uint8_t, 64> buffer{};
  EXPECT_EQ(connection_->Read(buffer, kInfinite, cancel).status, IoStatus::Cancelled);
  EXPECT_EQ(connection_->Read(buffer, kInfinite, cancel).status, IoStatus::Completed);
}

TEST_F(HidrawConnectionTest, AWriteTheNodeCannotTakeTimesOutOrEndsWithTheStopEvent) {
  std::array<uint8_t, 64> report{};
  report[0] = 4;
  CancelEvent cancel;
  ASSERT_EQ(connection_->Write(report, 100, cancel).status, IoStatus::Completed);
  std::array<uint8_t, 64> got{};
  ASSERT_EQ(::read(peer_, got.data(), got.size()), 64);

  // Fill the socket until it takes no more: the node stays unwritable.
  while (::send(nodeSide_, report.data(), report.size(), MSG_DONTWAIT) > 0) {
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(connection_->Write(report, 50, cancel).status, IoStatus::TimedOut);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

  platform::StopEvent stop;
  auto writer = std::async(std::launch::async, [&] {
    return connection_->Write(report, kInfinite, Cancellation(cancel, &stop));
  });
  ASSERT_EQ(writer.wait_for(20ms), std::future_status::timeout);
  stop.Set();
  ASSERT_EQ(writer.wait_for(kPrompt), std::future_status::ready);
  EXPECT_EQ(writer.get().status, IoStatus::Cancelled);
}

TEST_F(HidrawConnectionTest, TheDeviceGoingAwayFailsAWaitingRead) {
  CancelEvent cancel;
  auto reader = ReadInBackground(kInfinite, cancel, nullptr);
  ::shutdown(peer_, SHUT_RDWR);
  ASSERT_EQ(reader.wait_for(kPrompt), std::future_status::ready);
  EXPECT_EQ(reader.get().status, IoStatus::Failed);
}

}  // namespace
}  // namespace hid
