#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include "tests/support/EventLoop.h"

#include "PeerProcess.h"
#include "platform/Trace.h"
#include "platform/WindowBus.h"

namespace {

using platform::BusMessage;
using platform::BusWindow;
namespace busframe = platform::busframe;

TEST(WindowBus, ABroadcastReachesWindowsInTwoOtherProcessesAndOurOwn) {
  testpeer::PrivateRuntimeDir runtime;
  QProcess peerA, peerB;
  testpeer::Start(peerA, {"listen", "PeerClass", "Peer A", "1", "VX27 identity"});
  testpeer::Start(peerB, {"listen", "PeerClass", "Peer B", "1", "VX27 identity"});
  ASSERT_EQ(testpeer::ReadLine(peerA), "ready");
  ASSERT_EQ(testpeer::ReadLine(peerB), "ready");

  std::vector<BusMessage> mine;
  BusWindow own("VX27Main", "VX27 MOUSE", [&](const BusMessage& m) { mine.push_back(m); });
  ASSERT_TRUE(own.Listen());

  const auto msg = BusMessage::Registered("VX27 identity", 0, 1);  // the peers know it too
  EXPECT_EQ(BusWindow::Broadcast(msg), 3);
  const QString expected = QString("msg id=%1 name=VX27 identity w=0 l=1 dw=0 bytes=0");
  // Each process numbers the name itself; the peers registered only this one.
  EXPECT_EQ(testpeer::ReadLine(peerA), expected.arg(platform::kFirstRegisteredMessage));
  EXPECT_EQ(testpeer::ReadLine(peerB), expected.arg(platform::kFirstRegisteredMessage));
  ASSERT_EQ(mine.size(), 1u);
  EXPECT_EQ(mine[0].id, platform::RegisterWindowMessage("VX27 identity"));
  EXPECT_TRUE(peerA.waitForFinished(5000));
  EXPECT_TRUE(peerB.waitForFinished(5000));
  EXPECT_EQ(peerA.exitCode(), 0);
}

TEST(WindowBus, CopyDataGoesToTheWindowFoundByClassOrTitle) {
  testpeer::PrivateRuntimeDir runtime;
  QProcess peer;
  testpeer::Start(peer, {"listen", "DuiLibWnd", "ZiriDude", "1"});
  ASSERT_EQ(testpeer::ReadLine(peer), "ready");
  EXPECT_TRUE(BusWindow::Exists("", "ZiriDude"));
  EXPECT_FALSE(BusWindow::Exists("", "Nobody"));
  std::vector<uint8_t> table(300, 0xA5);
  EXPECT_FALSE(BusWindow::SendTo("", "Nobody", BusMessage::CopyData(1, table)));
  EXPECT_TRUE(BusWindow::SendTo("", "ZiriDude", BusMessage::CopyData(0x1234, table)));
  EXPECT_EQ(testpeer::ReadLine(peer), "msg id=74 name= w=0 l=0 dw=4660 bytes=300");
  peer.waitForFinished(5000);
  // The window left the bus with its process.
  EXPECT_FALSE(BusWindow::Exists("", "ZiriDude"));
}

TEST(WindowBusFrame, RoundTripsEveryField) {
  std::vector<uint8_t> payload{1, 2, 3, 0, 255};
  const BusMessage cases[] = {
      BusMessage::Numbered(3090, 7, -1),
      BusMessage::Registered("Game_Start", 0xFFFFFFFFFFull, 42),
      BusMessage::CopyData(0xDEADBEEF, payload, 9),
      BusMessage::CopyData(3, {}),
  };
  for (const BusMessage& m : cases) {
    const auto frame = busframe::Encode(m);
    ASSERT_FALSE(frame.empty());
    const auto back = busframe::Decode(frame);
    ASSERT_TRUE(back.has_value()) << m.id;
    EXPECT_EQ(back->id, m.id);
    EXPECT_EQ(back->name, m.name);
    EXPECT_EQ(back->wParam, m.wParam);
    EXPECT_EQ(back->lParam, m.lParam);
    EXPECT_EQ(back->dwData, m.dwData);
    EXPECT_EQ(back->bytes, m.bytes);
  }
  EXPECT_TRUE(busframe::Encode(BusMessage::CopyData(0, std::vector<uint8_t>(busframe::kMaxPayload + 1))).empty());
}

TEST(WindowBusFrame, MalformedFramesAreRejected) {
  const auto good = busframe::Encode(BusMessage::CopyData(5, std::vector<uint8_t>{1, 2, 3}));
  auto mutate = [&](auto change) {
    auto f = good;
    change(f);
    return f;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> frame;
  } cases[] = {
      {"empty", {}},
      {"header only half", {good.begin(), good.begin() + 20}},
      {"truncated payload", {good.begin(), good.end() - 1}},
      {"bad magic", mutate([](auto& f) { f[0] ^= 0xFF; })},
      {"length disagrees", mutate([](auto& f) { f[busframe::kOffDataLen] = 4; })},
      {"unknown flag", mutate([](auto& f) { f[busframe::kOffFlags] |= 0x80; })},
      {"name too long", mutate([](auto& f) { f[busframe::kOffNameLen + 1] = 0xFF; })},
      {"announced length over the limit",
       mutate([](auto& f) { f[busframe::kOffLength + 3] = 0x7F; })},
      {"payload on a plain message",
       mutate([](auto& f) { f[busframe::kOffFlags] = 0; })},
      // A registered number means nothing outside the process that numbered it.
      {"registered number without its name",
       busframe::Encode(BusMessage::Numbered(platform::kFirstRegisteredMessage + 7, 0, 0))},
  };
  for (const Case& c : cases) EXPECT_FALSE(busframe::Decode(c.frame).has_value()) << c.name;
  BusMessage unnamed;
  unnamed.id = platform::kLastRegisteredMessage;
  EXPECT_TRUE(busframe::Encode(unnamed).empty());
}

// Names a peer sends are looked up, never registered: however many names
// arrive, our own table stays as we filled it.
TEST(WindowBusFrame, PeerNamesDoNotFillOurMessageTable) {
  const platform::MessageId known = platform::RegisterWindowMessage("VX27 known message");
  const size_t tableSize = platform::kLastRegisteredMessage - platform::kFirstRegisteredMessage + 1;
  for (size_t i = 0; i < tableSize + 10; ++i) {
    BusMessage fromPeer;  // as a peer frames it: by name (Registered() would number it here)
    fromPeer.name = "peer message " + std::to_string(i);
    const std::string& name = fromPeer.name;
    const auto back = busframe::Decode(busframe::Encode(fromPeer));
    ASSERT_TRUE(back.has_value()) << i;
    ASSERT_EQ(back->name, name);
    ASSERT_EQ(back->id, 0u) << "numbered a name nobody here registered";
  }
  const auto frame = busframe::Encode(BusMessage::Numbered(known, 1, 2));
  const auto back = busframe::Decode(frame);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->id, known);
  EXPECT_NE(platform::RegisterWindowMessage("VX27 registered after the flood"), 0u);
}

// Writes raw bytes to a bus window's socket and closes, as a broken peer would.
void SendRaw(const std::string& socketPath, const QByteArray& bytes) {
  QLocalSocket s;
  s.connectToServer(QString::fromStdString(socketPath));
  ASSERT_TRUE(s.waitForConnected(1000));
  s.write(bytes);
  s.waitForBytesWritten(1000);
  s.disconnectFromServer();
}

std::string OnlySocket() {
  std::string socketPath;
  for (const auto& e : std::filesystem::directory_iterator(BusWindow::BusFolder()))
    if (e.path().extension() != ".meta") socketPath = e.path().string();
  return socketPath;
}

QByteArray Bytes(const BusMessage& m) {
  const auto frame = busframe::Encode(m);
  return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

// A handler that runs an event loop of its own (a modal message box) while
// its peer hangs up sees each frame of the connection once, in order.
TEST(WindowBus, HandlerMayRunANestedEventLoop) {
  testpeer::PrivateRuntimeDir runtime;
  std::vector<int64_t> got;
  BusWindow window("VX27Main", "VX27 MOUSE", [&](const BusMessage& m) {
    got.push_back(m.lParam);
    // The "modal box" stays up until the rest has arrived (or a while).
    if (got.size() == 1) testsupport::WaitFor([&] { return got.size() >= 2; }, 1000);
  });
  ASSERT_TRUE(window.Listen());
  SendRaw(OnlySocket(), Bytes(BusMessage::Numbered(3093, 0, 1)) +
                            Bytes(BusMessage::Numbered(3093, 0, 2)));
  ASSERT_TRUE(testsupport::WaitFor([&] { return got.size() >= 2; }));
  testsupport::PumpFor(50);
  EXPECT_EQ(got, (std::vector<int64_t>{1, 2}));
}

// A handler that destroys its window (the program closing on a message)
// ends the delivery: the frames behind it in the same write are dropped.
TEST(WindowBus, HandlerMayDestroyItsWindow) {
  testpeer::PrivateRuntimeDir runtime;
  std::vector<int64_t> got;
  std::unique_ptr<BusWindow> window;
  window = std::make_unique<BusWindow>("VX27Main", "VX27 MOUSE", [&](const BusMessage& m) {
    got.push_back(m.lParam);
    window.reset();
  });
  ASSERT_TRUE(window->Listen());
  const std::string socketPath = OnlySocket();
  SendRaw(socketPath, Bytes(BusMessage::Numbered(3093, 0, 1)) +
                          Bytes(BusMessage::Numbered(3093, 0, 2)));
  ASSERT_TRUE(testsupport::WaitFor([&] { return !window; }));
  testsupport::PumpFor(50);
  EXPECT_EQ(got, std::vector<int64_t>{1});
  EXPECT_FALSE(BusWindow::Exists("VX27Main", ""));

  // Delivered inside this process, the same.
  window = std::make_unique<BusWindow>("VX27Main", "VX27 MOUSE", [&](const BusMessage& m) {
    got.push_back(m.lParam);
    window.reset();
  });
  ASSERT_TRUE(window->Listen());
  EXPECT_EQ(BusWindow::Broadcast(BusMessage::Numbered(3093, 0, 3)), 1);
  EXPECT_FALSE(window);
  EXPECT_EQ(got, (std::vector<int64_t>{1, 3}));
}

TEST(WindowBus, OversizedAndTruncatedFramesAreDroppedWithoutHarm) {
  testpeer::PrivateRuntimeDir runtime;
  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) { traced.emplace_back(l); });
  std::vector<BusMessage> got;
  BusWindow window("VX27Main", "VX27 MOUSE", [&](const BusMessage& m) { got.push_back(m); });
  ASSERT_TRUE(window.Listen());
  const std::string socketPath = OnlySocket();
  ASSERT_FALSE(socketPath.empty());

  auto frame = busframe::Encode(BusMessage::Numbered(3093, 1, 2));
  QByteArray oversized(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
  oversized[busframe::kOffLength + 3] = char(0x40);  // announces a 1 GiB frame
  QByteArray truncated(reinterpret_cast<const char*>(frame.data()), 30);

  SendRaw(socketPath, oversized);
  SendRaw(socketPath, truncated);
  ASSERT_TRUE(testsupport::WaitFor([&] { return traced.size() >= 2; }));
  EXPECT_TRUE(got.empty());

  // The window still works afterwards.
  SendRaw(socketPath, QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size())));
  ASSERT_TRUE(testsupport::WaitFor([&] { return got.size() == 1; }));
  EXPECT_EQ(got[0].id, 3093u);
  EXPECT_EQ(got[0].lParam, 2);
}

}  // namespace
