#pragma once
// Points XDG_RUNTIME_DIR (the window bus and the instance locks) at a private
// folder for the test and the processes it starts; restored on destruction.

#include <QTemporaryDir>
#include <cstdlib>
#include <string>

namespace testsupport {

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
  PrivateRuntimeDir(const PrivateRuntimeDir&) = delete;
  PrivateRuntimeDir& operator=(const PrivateRuntimeDir&) = delete;

 private:
  QTemporaryDir dir_;
  std::string saved_;
  bool had_ = false;
};

}  // namespace testsupport
