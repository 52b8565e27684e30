// The built program as a user starts it: two real processes of vx27mouse
// with a private runtime, data and config folder each test. Every wait is
// bounded.

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/Environment.h"
#include "platform/Settings.h"
#include "platform/WindowBus.h"
#include "tests/app/AppTestSupport.h"
#include "ui/UIDefs.h"

namespace {

namespace fs = std::filesystem;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::exists(Program())) << Program();
    for (const char* sub : {"/run", "/data", "/config"}) fs::create_directories(root_.path().toStdString() + sub);
    ::chmod((root_.path() + "/run").toLocal8Bit().constData(), 0700);
  }
  static std::string Program() { return apptest::InstallDir() + "/vx27mouse"; }
  QString Dir(const char* sub) const { return root_.path() + sub; }
  QString TraceFile(const char* name) const { return root_.path() + "/" + name + ".trace"; }

  std::unique_ptr<QProcess> Start(const char* traceName) {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", Dir("/run"));
    env.insert("XDG_DATA_HOME", Dir("/data"));
    env.insert("XDG_CONFIG_HOME", Dir("/config"));
    env.insert("VX27_TRACE", TraceFile(traceName));
    p->setProcessEnvironment(env);
    p->setProgram(QString::fromStdString(Program()));
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start();
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
  }
  // True once the main window of a started program is on the window bus.
  bool WaitForMainWindow() {
    return apptest::WaitFor([] { return platform::BusWindow::Exists("MainWnd", "VX27 MOUSE"); }, 15000);
  }
  std::string ReadTrace(const char* name) const {
    std::ifstream in(TraceFile(name).toStdString());
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  bool WaitForTrace(const char* name, const std::string& fragment) {
    return apptest::WaitFor([&] { return ReadTrace(name).find(fragment) != std::string::npos; }, 10000);
  }
  static std::map<std::string, fs::file_time_type> Snapshot(const fs::path& folder) {
    std::map<std::string, fs::file_time_type> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) out[e.path().string()] = e.last_write_time();
    return out;
  }

  QTemporaryDir root_;
  apptest::ScopedEnv runtimeEnv_{"XDG_RUNTIME_DIR", (root_.path() + "/run").toStdString()};
};

TEST_F(StartupTest, SecondStartBroadcastsAndExitsAndTheFirstComesForward) {
  const fs::path defaults = apptest::InstallDir() + "/DefaultData";
  const auto defaultsBefore = Snapshot(defaults);

  auto first = Start("first");
  ASSERT_TRUE(WaitForMainWindow()) << ReadTrace("first");
  // Shown once set up: the identity message discovery posts (0, 0).
  ASSERT_TRUE(WaitForTrace("first", "，0d0d")) << ReadTrace("first");
  EXPECT_TRUE(fs::is_directory(Dir("/data").toStdString() + "/VX27 MOUSE")) << "created on the first start";

  // Put the window out of the way, as a user would.
  ASSERT_TRUE(platform::BusWindow::SendTo(
      "MainWnd", "VX27 MOUSE", platform::BusMessage::Numbered(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0)));

  auto second = Start("second");
  ASSERT_TRUE(second->waitForFinished(15000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(ReadTrace("second").find("InitWindow"), std::string::npos) << "the second start shows no window";

  // "软件标示 <message>，<wParam>d<lParam>d" with wParam 0 and lParam 1, then
  // the window restored and raised.
  EXPECT_TRUE(WaitForTrace("first", "，0d1d")) << ReadTrace("first");
  EXPECT_TRUE(apptest::WaitFor(
      [&] {
        const std::string trace = ReadTrace("first");
        const size_t identity = trace.find("，0d1d");
        return identity != std::string::npos &&
               trace.find("main window raised: visible 1, minimised 0", identity) != std::string::npos;
      },
      10000))
      << ReadTrace("first");
  EXPECT_EQ(first->state(), QProcess::Running);

  ::kill(pid_t(first->processId()), SIGTERM);
  ASSERT_TRUE(first->waitForFinished(15000));
  EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first->exitCode(), 0);
  EXPECT_FALSE(platform::BusWindow::Exists("MainWnd", "VX27 MOUSE")) << "left the bus on the way out";

  EXPECT_EQ(Snapshot(defaults), defaultsBefore) << "the default data folder is only read";
}

TEST_F(StartupTest, ATerminationSignalEndsTheProgramCleanlyAndItStartsAgain) {
  for (int run = 0; run < 2; ++run) {
    auto p = Start("run");
    ASSERT_TRUE(WaitForMainWindow());
    ::kill(pid_t(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(15000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
  }
  // The first start stored the installed version as an installer would.
  platform::SettingsStore store((Dir("/config") + "/VX27 MOUSE/registry.ini").toStdString());
  EXPECT_EQ(app::GetInstalledVersion(store), 2010);
  EXPECT_TRUE(store.KeyExists(platform::kProductKey));
}

}  // namespace
