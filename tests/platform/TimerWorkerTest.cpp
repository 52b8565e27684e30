#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <map>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <gtest/gtest.h>

#include "tests/support/EventLoop.h"

#include "platform/MessageTarget.h"
#include "platform/Timers.h"
#include "platform/Trace.h"
#include "platform/Worker.h"

namespace {

using namespace std::chrono_literals;

class TimerSetTest : public ::testing::Test {
 protected:
  QObject context;
  std::map<uint32_t, int> fired;
  platform::TimerSet timers{&context, [this](uint32_t id) { ++fired[id]; }};
};

TEST_F(TimerSetTest, FiresRepeatedlyWithItsIdUntilKilled) {
  timers.SetTimer(1000, 5);
  timers.SetTimer(1005, 5);
  ASSERT_TRUE(testsupport::WaitFor([&] { return fired[1000] >= 3 && fired[1005] >= 3; }));
  timers.KillTimer(1000);
  EXPECT_FALSE(timers.IsArmed(1000));
  EXPECT_TRUE(timers.IsArmed(1005));
  const int before = fired[1000];
  testsupport::PumpFor(30);
  EXPECT_EQ(fired[1000], before);
}

TEST_F(TimerSetTest, SettingAnArmedIdReArmsItWithTheNewInterval) {
  timers.SetTimer(1001, 60000);
  timers.SetTimer(1001, 5);  // same id: replaces the long interval
  ASSERT_TRUE(testsupport::WaitFor([&] { return fired[1001] >= 2; }, 2000));
}

TEST_F(TimerSetTest, ArmingAndKillingFromAnotherThreadIsQueuedToTheUiThread) {
  std::thread([&] { timers.SetTimer(1002, 5); }).join();
  ASSERT_TRUE(testsupport::WaitFor([&] { return fired[1002] >= 1; }));
  std::thread([&] { timers.KillTimer(1002); }).join();
  testsupport::PumpFor(10);
  EXPECT_FALSE(timers.IsArmed(1002));
}

TEST_F(TimerSetTest, ATimerCanKillItselfFromItsCallback) {
  int calls = 0;
  platform::TimerSet self(&context, [&](uint32_t id) {
    ++calls;
    self.KillTimer(id);
  });
  self.SetTimer(7, 1);
  ASSERT_TRUE(testsupport::WaitFor([&] { return calls == 1; }));
  testsupport::PumpFor(20);
  EXPECT_EQ(calls, 1);
}

TEST(Worker, StopSignalsTheEventAndJoins) {
  platform::Worker worker;
  std::atomic<int> passes{0};
  ASSERT_TRUE(worker.Start([&](const platform::StopEvent& stop) {
    while (!stop.WaitFor(1ms)) ++passes;
  }));
  EXPECT_FALSE(worker.Start([](const platform::StopEvent&) {})) << "already running";
  while (passes < 3) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(worker.Stop(1000ms));
  EXPECT_FALSE(worker.Running());
  // A stopped worker can be started again with its event reset.
  std::atomic<bool> sawReset{false}, ran{false};
  ASSERT_TRUE(worker.Start([&](const platform::StopEvent& stop) {
    sawReset = !stop.IsSet();
    ran = true;
  }));
  while (!ran) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(worker.Stop(1000ms));
  EXPECT_TRUE(sawReset);
}

TEST(Worker, AWorkerPastItsBoundIsTracedThenStillJoinedNeverKilled) {
  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) { traced.emplace_back(l); });
  platform::Worker worker;
  std::atomic<bool> finishedCleanly{false};
  worker.Start([&](const platform::StopEvent& stop) {
    stop.WaitFor(5000ms);
    std::this_thread::sleep_for(60ms);  // slower than the bound below
    finishedCleanly = true;
  });
  EXPECT_FALSE(worker.Stop(10ms, "线程退出：：对象处于激发状态\n"));
  EXPECT_TRUE(finishedCleanly) << "Stop returned before the thread ended";
  EXPECT_EQ(traced, std::vector<std::string>{"线程退出：：对象处于激发状态"});
}

TEST(StopEvent, ManualResetAndSubscriptions) {
  platform::StopEvent event;
  int calls = 0;
  {
    auto sub = event.Subscribe([&] { ++calls; });
    EXPECT_FALSE(event.WaitFor(1ms));
    event.Set();
    event.Set();  // stays set; callbacks run once
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.WaitFor(0ms));
  }
  EXPECT_EQ(calls, 1);
  event.Reset();
  EXPECT_FALSE(event.IsSet());
  { auto released = event.Subscribe([&] { ++calls; }); }
  event.Set();
  EXPECT_EQ(calls, 1) << "a released subscription must not be called";
  auto immediate = event.Subscribe([&] { ++calls; });
  EXPECT_EQ(calls, 2) << "subscribing to a set event calls at once";
}

TEST(Worker, StopFromItsOwnThreadReturnsAtOnceAndALaterStopJoins) {
  platform::Worker worker;
  std::atomic<bool> selfStopped{false};
  std::atomic<int64_t> selfStopMs{-1};
  ASSERT_TRUE(worker.Start([&](const platform::StopEvent& stop) {
    const auto start = std::chrono::steady_clock::now();
    const bool ended = worker.Stop(10000ms);
    selfStopMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start).count();
    selfStopped = !ended && stop.IsSet();
  }));
  // The whole 10 s bound would pass before the fix: a thread cannot see
  // itself finish.
  EXPECT_TRUE(worker.Stop(20000ms));
  EXPECT_TRUE(selfStopped);
  EXPECT_LT(selfStopMs.load(), 5000);
  EXPECT_FALSE(worker.Running());
}

TEST(Worker, SleepsAndSendsOnAWorkerFollowItsStopEvent) {
  platform::Worker worker;
  std::atomic<bool> sleptWhole{true};
  std::atomic<bool> sawOwnStop{false};
  std::atomic<bool> sendAnswered{true};
  // The UI thread below waits in Stop and never handles the send: only the
  // worker's stop event can end it (before, Send without an explicit stop
  // event waited for ever).
  platform::MessageTarget target([](const platform::Message&) { return int64_t{1}; });
  ASSERT_TRUE(worker.Start([&](const platform::StopEvent& stop) {
    sawOwnStop = platform::ThisThreadStop() == &stop;
    sleptWhole = platform::SleepFor(60000ms);
    sendAnswered = target.Send(platform::msg::UM_INTERFACE_ARRIVED, 0, 0).has_value();
  }));
  EXPECT_EQ(platform::ThisThreadStop(), nullptr);
  EXPECT_TRUE(worker.Stop(5000ms)) << "a sleep on the worker must end with its stop event";
  EXPECT_FALSE(sleptWhole);
  EXPECT_FALSE(sendAnswered);
  EXPECT_TRUE(sawOwnStop);
}

TEST(StopEvent, ACallbackNeverRunsAfterReleaseReturns) {
  platform::StopEvent event;
  std::mutex m;
  std::condition_variable cv;
  bool inside = false, go = false, finished = false;
  auto sub = event.Subscribe([&] {
    std::unique_lock g(m);
    inside = true;
    cv.notify_all();
    cv.wait_for(g, 5s, [&] { return go; });
    finished = true;
  });
  std::thread setter([&] { event.Set(); });
  {
    std::unique_lock g(m);
    ASSERT_TRUE(cv.wait_for(g, 5s, [&] { return inside; }));
  }
  std::atomic<bool> released{false};
  bool finishedWhenReleased = false;
  std::thread releaser([&] {
    sub.Release();
    std::lock_guard g(m);
    finishedWhenReleased = finished;
    released = true;
  });
  // Give a wrong Release the time to return while the callback still runs.
  for (int i = 0; i < 50 && !released; ++i) std::this_thread::sleep_for(2ms);
  {
    std::lock_guard g(m);
    go = true;
  }
  cv.notify_all();
  setter.join();
  releaser.join();
  EXPECT_TRUE(finishedWhenReleased) << "Release returned while its callback was running";

  // Releasing from inside the callback does not wait for itself.
  platform::StopEvent second;
  platform::StopEvent::Subscription self;
  int calls = 0;
  self = second.Subscribe([&] {
    ++calls;
    self.Release();
  });
  second.Set();
  EXPECT_EQ(calls, 1);
}

}  // namespace
