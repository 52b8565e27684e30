// The companion on a real sound server: a private pulseaudio with a null sink
// as the only (so default) output; the companion plays a tone to it and
// records its monitor. Skipped where pulseaudio cannot start.

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "tests/musiclight/CompanionFixture.h"

namespace musiclight {
namespace {

// A pulseaudio of the test's own, its socket in a private folder; PULSE_SERVER
// points the companion at it.
class PrivateSoundServer {
 public:
  bool Start() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (program.isEmpty() || !dir_.isValid()) return false;
    const QString runtime = dir_.path() + "/pulse";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path());
    env.insert("PULSE_RUNTIME_PATH", runtime);
    server_.setProcessEnvironment(env);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(program, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                            "-L", "module-null-sink", "-L", "module-native-protocol-unix"});
    if (!server_.waitForStarted(5000)) return false;
    socket_ = runtime + "/native";
    if (!testsupport::WaitFor([&] { return QFile::exists(socket_) || server_.state() == QProcess::NotRunning; },
                              10000) ||
        !QFile::exists(socket_))
      return false;
    saved_ = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", ("unix:" + socket_).toUtf8());
    return true;
  }
  ~PrivateSoundServer() {
    if (saved_.isEmpty()) qunsetenv("PULSE_SERVER");
    else qputenv("PULSE_SERVER", saved_);
    if (server_.state() != QProcess::NotRunning) {
      server_.terminate();
      if (!server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished(5000);
      }
    }
  }

 private:
  QTemporaryDir dir_;
  QProcess server_;
  QString socket_;
  QByteArray saved_;
};

TEST_F(CompanionLinkTest, PlayedToneReachesItsLevelThroughTheMonitor) {
  PrivateSoundServer server;
  if (!server.Start()) GTEST_SKIP() << "pulseaudio cannot start here";
  StartWith({"--play", "sine:1000:-6"});
  // Wait past the first frames, which hold the silence before the tone.
  ExpectToneAt(1000, 40);
  Exit();
}

}  // namespace
}  // namespace musiclight
