#pragma once
// Starts the test peer process and reads its output lines with bounded waits.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

namespace testpeer {

inline QString ReadLine(QProcess& p, int timeoutMs = 5000) {
  QElapsedTimer t;
  t.start();
  while (!p.canReadLine()) {
    if (t.elapsed() > timeoutMs) return {};
    p.waitForReadyRead(50);
    if (p.state() == QProcess::NotRunning && !p.canReadLine()) return {};
  }
  return QString::fromUtf8(p.readLine()).trimmed();
}

inline void Start(QProcess& p, const QStringList& args) {
  p.setProcessChannelMode(QProcess::SeparateChannels);
  p.start(VX27_PLATFORM_PEER, args);
  p.waitForStarted(5000);
}

// Points XDG_RUNTIME_DIR at a private folder for the test and its children.
class PrivateRuntimeDir {
 public:
  PrivateRuntimeDir() {
    if (const char* v = std::getenv("XDG_RUNTIME_DIR")) saved_ = v, had_ = true;
    setenv("XDG_RUNTIME_DIR", dir_.path().toUtf8().constData(), 1);
  }
  ~PrivateRuntimeDir() {
    if (had_) setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  QTemporaryDir dir_;
  std::string saved_;
  bool had_ = false;
};

}  // namespace testpeer
