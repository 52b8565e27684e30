#pragma once
// Starts the test peer process and reads its output lines with bounded waits.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "tests/support/PrivateRuntimeDir.h"

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

using PrivateRuntimeDir = testsupport::PrivateRuntimeDir;

}  // namespace testpeer
