// The exchange itself: suppressed I/O, closed channels, retries, the
// receiver's unreachable answer, write failures, status bytes, the trace and
// the I/O lock, all through the emulator's firmware.

#include <thread>

#include "tests/protocol/Rig.h"

namespace protocol::test {
namespace {

using emulator::DeviceModel;
using emulator::firmware::Fault;
using emulator::firmware::FaultKind;

Report Sealed(uint8_t command, uint8_t length = 0, uint16_t address = 0) {
  Report r = MakeRequest(command, length, address);
  SealReport(r);
  return r;
}

TEST(Exchange, ClosedChannelDoesNoIoAndNoTrace) {
  Rig rig(DeviceModel::Keyboard);
  rig.channel.SetOpen(false);
  TraceLines trace;
  Report reply{};
  uint32_t got = 99;
  EXPECT_EQ(rig.channel.Exchange(Sealed(cmd::kBeginTransfer), reply, &got), kNoReply);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(rig.channel.BeginTransfer(), kNoReply);
  InfoBlockBytes block{};
  EXPECT_EQ(rig.channel.ReadInfoBlock(block), kNoReply);
  EXPECT_TRUE(rig.Requests().empty());
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_FALSE(rig.channel.IsBusy());
}

TEST(Exchange, SuppressedIoSucceedsWithoutTouchingTheDevice) {
  Rig rig(DeviceModel::Mouse);
  Report reply{};
  ASSERT_EQ(rig.channel.Exchange(Sealed(cmd::kReadInfoBlock, 34), reply), kOk);
  ASSERT_NE(reply[report::kData], 0);  // a real reply is in the buffer now

  rig.fw().ClearLog();
  rig.channel.SetSuppressIo(true);
  uint32_t got = 7;
  EXPECT_EQ(rig.channel.Exchange(Sealed(cmd::kReadInfoBlock, 34), reply, &got), kOk);
  EXPECT_TRUE(rig.Requests().empty());
  EXPECT_FALSE(rig.channel.IsBusy());
  // Mended: the earlier reply is not left behind to be taken for this one.
  EXPECT_EQ(reply, Report{});
  EXPECT_EQ(got, 0u);

  // The quick exchange does not consult the flag.
  EXPECT_EQ(rig.channel.ExchangeQuick(Sealed(cmd::kBeginTransfer), reply), kOk);
  EXPECT_EQ(rig.fw().CountRequests(cmd::kBeginTransfer), 1u);
}

struct EchoCase {
  const char* name;
  bool receiver;
  std::vector<Fault> faults;
  int want;
  size_t writes;
};

TEST(Exchange, EchoMismatchAndUnreachableTable) {
  const Fault wrongOnce{FaultKind::WrongEcho, 1, 0, 0x07, {}};
  const Fault wrongAlways{FaultKind::WrongEcho, -1, 0, 0x07, {}};
  const Fault aaAlways{FaultKind::WrongEcho, -1, 0, 0xAA, {}};
  const EchoCase cases[] = {
      {"echo matches", false, {}, kOk, 1},
      {"wrong echo once, then right", false, {wrongOnce}, kOk, 2},
      // Mended: two replies to other commands are no reply to this one.
      {"wrong echo twice", false, {wrongAlways}, kNoReply, 2},
      {"0xAA by cable is a mismatch", false, {aaAlways}, kNoReply, 2},
      {"0xAA through the receiver is unreachable", true, {aaAlways}, kUnreachable, 1},
      {"wrong echo once through the receiver", true, {wrongOnce}, kOk, 2},
  };
  for (const EchoCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(DeviceModel::Keyboard, c.receiver);
    for (const Fault& f : c.faults) rig.fw().InjectFault(f);
    Report reply{};
    uint32_t got = 0;
    EXPECT_EQ(rig.channel.Exchange(Sealed(cmd::kBeginTransfer), reply, &got), c.want);
    EXPECT_EQ(rig.Requests().size(), c.writes);
    EXPECT_EQ(got, 64u);
  }
}

TEST(Exchange, ReceiverWithItsDeviceOffAnswersUnreachable) {
  Rig rig(DeviceModel::Mouse, /*receiver=*/true, /*wirelessOn=*/false);
  EXPECT_EQ(rig.channel.BeginTransfer(), kUnreachable);
  EXPECT_EQ(rig.Requests().size(), 1u);
  rig.unit.device->SetWirelessOn(true);
  EXPECT_EQ(rig.channel.BeginTransfer(), kOk);
}

TEST(Exchange, WriteFailureGivesMinusOneWithoutReadOrReplyTrace) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().InjectFault({FaultKind::WriteFailure, -1, 0, 0, {}});
  // A reply already queued must not be read.
  rig.unit.device->Interface(1)->QueueInput(Sealed(cmd::kBeginTransfer));
  TraceLines trace;
  Report reply{};
  EXPECT_EQ(rig.channel.Exchange(Sealed(cmd::kBeginTransfer), reply), kNotWritten);
  EXPECT_EQ(trace.Count("命令"), 1u);
  EXPECT_EQ(trace.Count("返回"), 0u);
  EXPECT_TRUE(rig.Requests().empty());
  EXPECT_FALSE(rig.channel.IsBusy());
}

TEST(Exchange, TimedOutWriteGivesMinusOneAndItsLateReplyIsFlushed) {
  Rig rig(DeviceModel::Keyboard);
  // The device takes the request but the write completes after the 1000 ms
  // time-out; its reply is queued all the same.
  rig.fw().InjectFault({FaultKind::Delay, 1, cmd::kReadSettings, 0, std::chrono::milliseconds(1500)});
  TraceLines trace;
  std::vector<uint8_t> bytes(4);
  EXPECT_EQ(rig.channel.ReadSettings(bytes, 0), kNotWritten);
  EXPECT_EQ(trace.Count("返回"), 0u);
  // The next exchange flushes that stale reply before it writes.
  Report request = MakeRequest(cmd::kBeginTransfer);
  SealReport(request);
  Report reply{};
  EXPECT_EQ(rig.channel.Exchange(request, reply), kOk);
  EXPECT_EQ(reply[report::kCommand], cmd::kBeginTransfer);
  EXPECT_EQ(rig.Requests().size(), 2u);
}

TEST(Exchange, StatusBytesBecomeResults) {
  struct Case {
    uint8_t status;
    int want;
  };
  for (const Case c : {Case{0xFF, kStatusFailed}, Case{0xFE, kStatusRejected}, Case{0x01, kOk}}) {
    Rig rig(DeviceModel::Keyboard);
    rig.fw().InjectFault({FaultKind::Status, 1, 0, c.status, {}});
    EXPECT_EQ(rig.channel.BeginTransfer(), c.want) << int(c.status);
  }
}

TEST(Exchange, NoReplyTimesOutAfterTwoAttempts) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().InjectFault({FaultKind::NoReply, -1, 0, 0, {}});
  Report reply{};
  reply.fill(0x55);
  uint32_t got = 1;
  EXPECT_EQ(rig.channel.Exchange(Sealed(cmd::kBeginTransfer), reply, &got), kNoReply);
  EXPECT_EQ(rig.Requests().size(), 2u);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(reply, Report{});  // nothing stale is handed back
}

TEST(Exchange, TracesRequestAndReplyAsHexLines) {
  Rig rig(DeviceModel::Keyboard);
  TraceLines trace;
  const Report request = Sealed(cmd::kReadInfoBlock, 34);
  Report reply{};
  ASSERT_EQ(rig.channel.Exchange(request, reply), kOk);
  const auto lines = trace.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "命令");
  EXPECT_EQ(lines[1], platform::FormatHexLine(std::span(request).first<32>()));
  EXPECT_EQ(lines[2], platform::FormatHexLine(std::span(request).last<32>()));
  EXPECT_EQ(lines[3], "返回");
  EXPECT_EQ(lines[4], platform::FormatHexLine(std::span(reply).first<32>()));
}

TEST(Exchange, ShortRequestIsPaddedAndLongOneCut) {
  Rig rig(DeviceModel::Keyboard);
  Report sealed = Sealed(cmd::kBeginTransfer);
  std::vector<uint8_t> longer(sealed.begin(), sealed.end());
  longer.resize(80, 0x33);
  Report reply{};
  EXPECT_EQ(rig.channel.Exchange(std::span(sealed).first(8), reply), kOk);
  EXPECT_EQ(rig.channel.Exchange(longer, reply), kOk);
  const auto log = rig.Requests();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].request, sealed);
  EXPECT_EQ(log[1].request, sealed);
}

TEST(Exchange, IoLockIsFreeAfterARetry) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().InjectFault({FaultKind::WrongEcho, 1, 0, 0x07, {}});
  ASSERT_EQ(rig.channel.BeginTransfer(), kOk);
  ASSERT_EQ(rig.Requests().size(), 2u);
  bool free = false;
  std::thread([&] {
    free = rig.channel.IoLock().try_lock();
    if (free) rig.channel.IoLock().unlock();
  }).join();
  EXPECT_TRUE(free);
}

TEST(Exchange, QuickExchangeReadsTwiceWithoutResending) {
  Rig rig(DeviceModel::Keyboard);
  rig.fw().InjectFault({FaultKind::WrongEcho, -1, 0, 0x07, {}});
  Report reply{};
  EXPECT_EQ(rig.channel.ExchangeQuick(Sealed(cmd::kLightFrame), reply), kNoReply);
  EXPECT_EQ(rig.Requests().size(), 1u);
}

TEST(Exchange, SleepsTenMillisecondsBeforeEachWriteAndEachRead) {
  Rig rig(DeviceModel::Keyboard);
  std::vector<int> sleeps;
  bool lockedDuringFirstSleep = true;
  rig.channel.SetSleeper([&](std::chrono::milliseconds d) {
    if (sleeps.empty()) {
      // EndTransfer sleeps before it takes commandLock.
      std::thread([&] {
        lockedDuringFirstSleep = !rig.channel.CommandLock().try_lock();
        if (!lockedDuringFirstSleep) rig.channel.CommandLock().unlock();
      }).join();
    }
    sleeps.push_back(int(d.count()));
  });
  ASSERT_EQ(rig.channel.EndTransfer(1), kOk);
  EXPECT_EQ(sleeps, (std::vector<int>{10, 10, 10}));
  EXPECT_FALSE(lockedDuringFirstSleep);

  sleeps.assign(1, 0);  // skip the lock probe
  rig.fw().InjectFault({FaultKind::WrongEcho, 1, 0, 0x07, {}});
  ASSERT_EQ(rig.channel.BeginTransfer(), kOk);
  EXPECT_EQ(sleeps, (std::vector<int>{0, 10, 10, 10, 10}));

  sleeps.assign(1, 0);
  Report reply{};
  Report request = MakeRequest(cmd::kLightFrame);
  SealReport(request);
  ASSERT_EQ(rig.channel.ExchangeQuick(request, reply), kOk);
  EXPECT_EQ(sleeps, (std::vector<int>{0}));  // the quick exchange never sleeps
}

TEST(Channel, ModeBlockSizeAndOpening) {
  Rig rig(DeviceModel::Keyboard);
  EXPECT_TRUE(rig.opened);
  CCommandChannel& ch = rig.channel;
  EXPECT_TRUE(ch.IsOpen());
  EXPECT_FALSE(ch.SetBlockSize(513));
  EXPECT_EQ(ch.BlockSize(), 512);
  EXPECT_TRUE(ch.SetBlockSize(243));
  EXPECT_TRUE(ch.SetBlockSize(512));
  EXPECT_EQ(ch.BlockSize(), 512);

  ch.SetConnectionMode(2);
  EXPECT_TRUE(ch.ReceiverMode());
  EXPECT_EQ(ch.ChunkSize(), 24);
  ch.SetConnectionMode(3);
  EXPECT_FALSE(ch.ReceiverMode());
  EXPECT_EQ(ch.ChunkSize(), 56);

  CCommandChannel fresh(rig.emu);
  EXPECT_FALSE(fresh.IsOpen());
  EXPECT_EQ(fresh.ChunkSize(), 24);
  EXPECT_FALSE(fresh.OpenHandle(ConnectionMode::Wired, "emu:999#vid_320f&pid_0000&mi_01&col04"));
  EXPECT_FALSE(fresh.IsOpen());

  ch.SetSuppressIo(true);
  ch.CloseHandles();
  EXPECT_FALSE(ch.IsOpen());
  EXPECT_FALSE(ch.SuppressIo());
}

TEST(Channel, UnplugEndsTheExchangeWithoutReply) {
  Rig rig(DeviceModel::Keyboard);
  rig.emu->Unplug(rig.unit.device->Id());
  EXPECT_EQ(rig.channel.BeginTransfer(), kNotWritten);
}

}  // namespace
}  // namespace protocol::test
