#include <gtest/gtest.h>

#include "PeerProcess.h"
#include "platform/SingleInstance.h"

namespace {

constexpr const char* kName = "VX27 MOUSE instance";

TEST(InstanceLock, ASecondProcessCannotTakeItWhileTheFirstHoldsIt) {
  testpeer::PrivateRuntimeDir runtime;
  platform::InstanceLock mine;
  ASSERT_TRUE(mine.TryAcquire(kName));
  EXPECT_TRUE(platform::InstanceLock::IsHeld(kName));

  QProcess second;
  testpeer::Start(second, {"lock", kName});
  EXPECT_EQ(testpeer::ReadLine(second), "busy");
  second.waitForFinished(5000);

  mine.Release();
  QProcess third;
  testpeer::Start(third, {"lock", kName});
  EXPECT_EQ(testpeer::ReadLine(third), "locked");
  third.waitForFinished(5000);
}

TEST(InstanceLock, FreeAgainAfterTheHolderExitsOrCrashes) {
  testpeer::PrivateRuntimeDir runtime;
  struct Case {
    const char* mode;
    QStringList extra;
  } cases[] = {{"lock", {"0"}}, {"lock-crash", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    QProcess holder;
    testpeer::Start(holder, QStringList{c.mode, kName} + c.extra);
    EXPECT_EQ(testpeer::ReadLine(holder), "locked");
    ASSERT_TRUE(holder.waitForFinished(5000));
    platform::InstanceLock after;
    EXPECT_TRUE(after.TryAcquire(kName)) << "the lock outlived its process";
  }
}

TEST(InstanceLock, TwoHoldersInOneProcessExcludeEachOther) {
  testpeer::PrivateRuntimeDir runtime;
  platform::InstanceLock a, b;
  ASSERT_TRUE(a.TryAcquire(kName));
  EXPECT_FALSE(b.TryAcquire(kName));
  platform::InstanceLock moved = std::move(a);
  EXPECT_TRUE(moved.Held());
  EXPECT_FALSE(a.Held());
  moved.Release();
  EXPECT_TRUE(b.TryAcquire(kName));
}

}  // namespace
