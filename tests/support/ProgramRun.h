#pragma once
// The built program run with a UI script against emulated devices, in a
// private runtime, data and configuration folder: its exit code, its trace,
// the requests the emulated devices received.

#include <sys/stat.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace testsupport {

class ProgramRun {
 public:
  ProgramRun() {
    for (const char* sub : {"/run", "/data", "/config", "/state"})
      std::filesystem::create_directories(root_.path().toStdString() + sub);
    ::chmod((root_.path() + "/run").toLocal8Bit().constData(), 0700);
  }
  // Further variables for the program's environment.
  void SetEnv(const QString& name, const QString& value) { extraEnv_.insert(name, value); }
  // A variable of the test's own environment the program must not see.
  void UnsetEnv(const QString& name) { unset_.push_back(name); }
  // A file of the private folder.
  std::string Path(const std::string& name) const { return root_.path().toStdString() + "/" + name; }

  // Runs `script` with the devices of `emulate`, their memory kept in
  // "state/", their requests logged to "requests.txt". The exit code, or -1
  // when the program did not end normally within `boundMs`.
  // `log` replaces "requests.txt" as the request log when given.
  int Run(const std::string& script, const char* emulate, int boundMs = 60000, const std::string& log = {}) {
    std::ofstream(Path("script.txt")) << script;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", root_.path() + "/run");
    env.insert("XDG_DATA_HOME", root_.path() + "/data");
    env.insert("XDG_CONFIG_HOME", root_.path() + "/config");
    env.insert("VX27_TRACE", QString::fromStdString(Path("trace.txt")));
    env.insert("VX27_EMULATE", emulate);
    env.insert("VX27_EMULATOR_STATE", QString::fromStdString(Path("state")));
    env.insert("VX27_UI_SCRIPT", QString::fromStdString(Path("script.txt")));
    env.insert("VX27_EMULATOR_LOG", QString::fromStdString(log.empty() ? Path("requests.txt") : log));
    for (const QString& name : unset_) env.remove(name);
    env.insert(extraEnv_);
    p.setProcessEnvironment(env);
    const char* install = std::getenv("VX27_INSTALL_DIR");
    p.setProgram(QString::fromStdString(std::string(install ? install : ".") + "/vx27mouse"));
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
  // The profile file of a model folder ("mouse", "keyboard", …) after a first
  // start: the one the profile list made and selected; empty when there is
  // not exactly one.
  std::string OnlyProfileFile(const std::string& modelFolder) const {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(Path("data/VX27 MOUSE/" + modelFolder), ec))
      if (e.path().extension() == ".Json") found.push_back(e.path());
    return found.size() == 1 ? found[0].string() : std::string();
  }
  // The 64-byte requests the emulated devices received with command `command`.
  std::vector<std::vector<uint8_t>> Requests(uint8_t command) const {
    std::vector<std::vector<uint8_t>> out;
    std::istringstream lines(Read("requests.txt"));
    std::string device, hex;
    while (lines >> device >> hex) {
      std::vector<uint8_t> bytes;
      for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
      if (bytes.size() == 64 && bytes[3] == command) out.push_back(bytes);
    }
    return out;
  }

 private:
  QTemporaryDir root_;
  QProcessEnvironment extraEnv_;
  std::vector<QString> unset_;
};

}  // namespace testsupport
