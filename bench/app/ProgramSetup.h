#pragma once
// What every main-window benchmark sets up first: private runtime, data and
// settings folders, the install folder of the build, the skin and the custom
// controls, and a private settings store.

#include <cstdlib>
#include <ctime>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include "app/ControlRegistry.h"
#include "platform/Settings.h"
#include "ui/UILib.h"

namespace benchapp {

class ProgramSetup {
 public:
  ProgramSetup() {
    setenv("VX27_INSTALL_DIR", VX27_BENCH_BIN_DIR, 1);
    setenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit().constData(), 1);
    setenv("XDG_DATA_HOME", data_.path().toLocal8Bit().constData(), 1);
    ui::CPaintManagerUI::SetInstancePath(QStringLiteral(VX27_BENCH_BIN_DIR "/"));
    ui::CPaintManagerUI::SetResourcePath(QStringLiteral(VX27_BENCH_BIN_DIR "/skin/"));
    ui::CResourceManager::GetInstance().LoadResource(QStringLiteral("res.xml"));
    app::RegisterCustomControls();
  }
  platform::SettingsStore& Store() { return store_; }

 private:
  QTemporaryDir runtime_, data_, root_;
  platform::SettingsStore store_{(root_.path() + "/registry.ini").toStdString()};
};

// A length in seconds from the environment variable `name`, else `fallback`.
inline int SecondsFromEnv(const char* name, int fallback) {
  const char* v = std::getenv(name);
  const int s = v ? std::atoi(v) : 0;
  return s > 0 ? s : fallback;
}

// CPU spent while the event loop runs for `seconds`: the whole process's and
// the calling (UI) thread's, with the wall time it took.
struct CpuPeriod {
  double processSeconds = 0, uiSeconds = 0, elapsedSeconds = 0;
  double ProcessPercent() const { return 100.0 * processSeconds / elapsedSeconds; }
  double UiPercent() const { return 100.0 * uiSeconds / elapsedSeconds; }
};

inline double CpuSeconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

inline CpuPeriod RunEventLoopFor(int seconds) {
  QElapsedTimer wall;
  const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const double uiBefore = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  wall.start();
  QTimer::singleShot(seconds * 1000, [] { QCoreApplication::exit(0); });
  QApplication::exec();
  return {CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore, CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - uiBefore,
          double(wall.nsecsElapsed()) / 1e9};
}

}  // namespace benchapp
