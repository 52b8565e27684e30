#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "tests/support/EventLoop.h"

#include "platform/MessageTarget.h"
#include "platform/Worker.h"

namespace {

using namespace std::chrono_literals;
using platform::Message;
using platform::MessageTarget;

TEST(MessageTarget, SendFromAWorkerBlocksUntilTheUiThreadHandledIt) {
  std::atomic<bool> handled{false};
  std::atomic<bool> handledOnUi{false};
  MessageTarget target([&](const Message& m) -> int64_t {
    handledOnUi = QThread::currentThread() == QCoreApplication::instance()->thread();
    std::this_thread::sleep_for(20ms);  // the sender must still be waiting
    handled = true;
    return int64_t(m.wParam) * 10 + m.lParam;
  });

  std::atomic<bool> sawHandledAfterReturn{false};
  std::optional<int64_t> result;
  platform::Worker worker;
  worker.Start([&](const platform::StopEvent& stop) {
    result = target.Send(platform::msg::UM_INTERFACE_ARRIVED, 4, 2, &stop);
    sawHandledAfterReturn = handled.load();
  });
  ASSERT_TRUE(testsupport::WaitFor([&] { return sawHandledAfterReturn.load(); }));
  EXPECT_TRUE(worker.Stop(1000ms));
  EXPECT_TRUE(handledOnUi);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(*result, 42);
}

TEST(MessageTarget, SendOnTheUiThreadCallsTheHandlerDirectly) {
  int calls = 0;
  MessageTarget target([&](const Message&) -> int64_t { return ++calls; });
  EXPECT_EQ(target.Send(platform::msg::kDeviceStatus, 0, 0), 1);
  EXPECT_EQ(calls, 1);
}

// The shutdown case: the UI thread is blocked stopping a worker whose Send is
// waiting for the UI thread. Setting the stop event must free the worker.
TEST(MessageTarget, StopFreesAWorkerBlockedInSendWhileTheUiThreadWaitsForIt) {
  int handled = 0;
  MessageTarget target([&](const Message&) -> int64_t { return ++handled; });
  std::atomic<bool> sending{false};
  std::optional<int64_t> result = 7;
  platform::Worker worker;
  worker.Start([&](const platform::StopEvent& stop) {
    sending = true;
    result = target.Send(platform::msg::UM_INTERFACE_REMOVED, 1, 0, &stop);
  });
  while (!sending) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms);  // let it reach the wait

  QElapsedTimer t;
  t.start();
  EXPECT_TRUE(worker.Stop(1000ms, "worker did not stop"));  // no event loop runs here
  EXPECT_LT(t.elapsed(), 500);
  EXPECT_FALSE(result.has_value());
  // The abandoned message is not handled later either.
  QCoreApplication::processEvents();
  EXPECT_EQ(handled, 0);
}

TEST(MessageTarget, SendWithStopAlreadySetReturnsAtOnceWithoutQueueing) {
  platform::StopEvent stop;
  stop.Set();
  int handled = 0;
  MessageTarget target([&](const Message&) -> int64_t { return ++handled; });
  std::optional<int64_t> result = 1;
  std::thread t([&] { result = target.Send(platform::msg::kLinkState, 0, 0, &stop); });
  t.join();
  QCoreApplication::processEvents();
  EXPECT_FALSE(result.has_value());
  EXPECT_EQ(handled, 0);
}

TEST(MessageTarget, PostQueuesInOrderAndHookSeesEveryMessageFirst) {
  std::vector<platform::MessageId> seenByHook, seenByHandler;
  MessageTarget target([&](const Message& m) -> int64_t {
    seenByHandler.push_back(m.id);
    return 0;
  });
  target.SetHook([&](const Message& m) -> std::optional<int64_t> {
    seenByHook.push_back(m.id);
    if (m.id == platform::msg::kMenuCommand) return 99;  // swallowed by the hook
    return std::nullopt;
  });
  std::thread poster([&] {
    target.Post(platform::msg::kOnboardProfile, 0, 0);
    target.Post(platform::msg::kMenuCommand, 0, 0);
    target.Post(platform::msg::kDeviceStatus, 0, 0);
  });
  poster.join();
  EXPECT_TRUE(seenByHandler.empty()) << "Post must not run the handler on the caller's thread";
  ASSERT_TRUE(testsupport::WaitFor([&] { return seenByHook.size() == 3; }));
  EXPECT_EQ(seenByHook, (std::vector<platform::MessageId>{3328, 1145, 3329}));
  EXPECT_EQ(seenByHandler, (std::vector<platform::MessageId>{3328, 3329}));
  EXPECT_EQ(target.Send(platform::msg::kMenuCommand, 0, 0), 99);
}

TEST(RegisteredMessages, SameNameSameNumberInTheRegisteredRange) {
  const auto a = platform::RegisterWindowMessage("VX27 identity");
  const auto b = platform::RegisterWindowMessage("WM_HOOK_KEY_KBMACRO_MSG");
  EXPECT_GE(a, platform::kFirstRegisteredMessage);
  EXPECT_LE(b, platform::kLastRegisteredMessage);
  EXPECT_NE(a, b);
  EXPECT_EQ(platform::RegisterWindowMessage("VX27 identity"), a);
  EXPECT_EQ(platform::RegisteredMessageName(b), "WM_HOOK_KEY_KBMACRO_MSG");
  EXPECT_EQ(platform::RegisterWindowMessage(""), 0u);
  EXPECT_FALSE(platform::RegisteredMessageName(platform::msg::kTrayCallback).has_value());
}

}  // namespace
