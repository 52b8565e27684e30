// The firmware check message's handling, with the prompt and the program
// start replaced: what it does to the device's I/O and usable flag, what it
// starts and how, and what it traces.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/UpdateWatch.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "app/FirmwareCheck.h"
#include "emulator/Emulator.h"
#include "platform/Trace.h"
#include "protocol/CommandChannel.h"
#include "updater/Updater.h"

namespace {

struct Started {
  QString program;
  QStringList arguments;
  QString folder;
  QString emulate;
};

TEST(FirmwareCheck, VersionsPromptAndStart) {
  struct Case {
    const char* what;
    bool device;
    int64_t version;
    bool confirm;
    bool startWorks;
    bool emulating;
    app::FirmwareCheck result;
    bool suppressed;  // the channel's I/O afterwards (it starts suppressed)
    int usable;       // the flag afterwards (it starts at 7)
    bool started, quit, failureShown;
    const char* trace;
  };
  const Case cases[] = {
      {"current", true, 294, false, true, false, app::FirmwareCheck::Usable, false, 1, false, false, false,
       "firmware check 294: usable"},
      {"confirmed", true, 293, true, true, false, app::FirmwareCheck::Confirmed, true, 0, true, false, false,
       "firmware check 293: update offered"},
      {"confirmed while emulating", true, 0x0102, true, true, true, app::FirmwareCheck::Confirmed, true, 0, true,
       false, false, "firmware check 258: update offered"},
      {"cancelled", true, 293, false, true, false, app::FirmwareCheck::Cancelled, true, 0, false, true, false,
       "firmware check 293: update offered"},
      {"updater missing", true, 293, true, false, false, app::FirmwareCheck::StartFailed, true, 0, false, false, true,
       "firmware check: the updater did not start"},
      {"no device", false, 293, true, true, false, app::FirmwareCheck::NoDevice, true, 7, false, false, false,
       "firmware check 293: no device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    protocol::CCommandChannel channel(std::make_shared<emulator::Emulator>());
    channel.SetSuppressIo(true);
    std::atomic<int> usable{7};
    std::vector<Started> starts;
    int quitCode = -1;
    bool failureShown = false;
    bool prompted = false;
    std::vector<std::string> traces;
    std::mutex lock;
    platform::ScopedTraceSink sink([&](std::string_view line) {
      std::lock_guard guard(lock);
      traces.emplace_back(line);
    });

    app::FirmwareCheckHooks hooks;
    hooks.channel = c.device ? &channel : nullptr;
    hooks.deviceUsable = &usable;
    hooks.installFolder = "/opt/vx27";
    hooks.emulating = c.emulating;
    hooks.confirm = [&] {
      prompted = true;
      return c.confirm;
    };
    hooks.start = [&](const QString& program, const QStringList& args, const QString& folder,
                      const QProcessEnvironment& env, qint64* pid) {
      *pid = 4242;
      starts.push_back({program, args, folder, env.value(QStringLiteral("VX27_EMULATE"))});
      return c.startWorks;
    };
    hooks.showStartFailure = [&] { failureShown = true; };
    hooks.quit = [&](int code) { quitCode = code; };

    EXPECT_EQ(app::CheckFirmwareVersion(c.version, hooks), c.result);
    EXPECT_EQ(channel.SuppressIo(), c.suppressed);
    EXPECT_EQ(usable.load(), c.usable);
    EXPECT_EQ(prompted, c.device && c.version <= 293);
    EXPECT_EQ(!starts.empty() && c.startWorks, c.started);
    if (!starts.empty()) {
      EXPECT_EQ(starts[0].program.toStdString(), "/opt/vx27/Update/" + updater::UpdaterFileName());
      EXPECT_EQ(starts[0].arguments, QStringList{QStringLiteral("On the upgrade")});
      EXPECT_EQ(starts[0].folder, QStringLiteral("/opt/vx27/Update"));
      if (c.emulating) {
        EXPECT_EQ(starts[0].emulate, QStringLiteral("attach"));
      }
    }
    EXPECT_EQ(quitCode, c.quit ? 0 : -1);
    EXPECT_EQ(failureShown, c.failureShown);
    bool traced = false;
    for (const auto& t : traces) traced = traced || t.rfind(c.trace, 0) == 0;
    EXPECT_TRUE(traced) << c.trace;
  }
}

TEST(FirmwareCheck, StartDetachedTellsWhetherTheProgramStarted) {
  const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  EXPECT_TRUE(app::StartDetached(QStringLiteral("/bin/true"), {}, QStringLiteral("/"), env));
  EXPECT_FALSE(app::StartDetached(QStringLiteral("/nonexistent/updater"), {}, QStringLiteral("/"), env));
}

// The updater is started detached, so it is not our child: the watch must
// still see it end, and a watch begun after the end fires too.
TEST(FirmwareCheck, ProcessWatchSeesADetachedProcessEnd) {
  const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  qint64 pid = 0;
  ASSERT_TRUE(app::StartDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 0.3")},
                                 QStringLiteral("/"), env, &pid));
  ASSERT_GT(pid, 0);
  int ended = 0;
  auto watch = std::make_unique<app::ProcessWatch>(pid, [&] { ++ended; });
  const auto spin = [&](int want) {
    QElapsedTimer timer;
    timer.start();
    while (ended < want && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  };
  QCoreApplication::processEvents();
  EXPECT_EQ(ended, 0) << "still running";
  spin(1);
  EXPECT_EQ(ended, 1);
  watch = std::make_unique<app::ProcessWatch>(pid, [&] { ++ended; });
  spin(2);
  EXPECT_EQ(ended, 2);
}

}  // namespace
