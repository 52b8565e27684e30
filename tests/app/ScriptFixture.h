#pragma once
// The built program run as a separate process with a UI script against
// emulated devices: private runtime, data and config folders, its trace file,
// and the script's exit code.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/app/AppTestSupport.h"

namespace apptest {

class ScriptFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"/run", "/data", "/config"})
      std::filesystem::create_directories(root_.path().toStdString() + sub);
    ::chmod((root_.path() + "/run").toLocal8Bit().constData(), 0700);
  }
  std::string Path(const std::string& name) const { return root_.path().toStdString() + "/" + name; }

  // Runs the program with the script; returns its exit code (-1: it did
  // not end within the bound). `log` receives the emulator's request log.
  int Run(const std::string& script, const char* emulate, const std::string& log = {}, int boundMs = 30000) {
    std::ofstream(Path("script.txt")) << script;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", root_.path() + "/run");
    env.insert("XDG_DATA_HOME", root_.path() + "/data");
    env.insert("XDG_CONFIG_HOME", root_.path() + "/config");
    env.insert("VX27_TRACE", QString::fromStdString(Path("trace.txt")));
    env.insert("VX27_EMULATE", emulate);
    env.insert("VX27_UI_SCRIPT", QString::fromStdString(Path("script.txt")));
    if (!log.empty()) env.insert("VX27_EMULATOR_LOG", QString::fromStdString(log));
    p.setProcessEnvironment(env);
    p.setProgram(QString::fromStdString(InstallDir() + "/vx27mouse"));
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    if (!p.waitForStarted(5000)) return -1;
    if (!p.waitForFinished(boundMs)) {
      p.kill();
      p.waitForFinished(5000);
      return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name));
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  std::string Trace() const { return Read("trace.txt"); }

  QTemporaryDir root_;
};

}  // namespace apptest
