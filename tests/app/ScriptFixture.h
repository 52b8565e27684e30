#pragma once
// A test fixture over ProgramRun: the built program run as a separate process
// with a UI script against emulated devices, in private folders.

#include <string>

#include <gtest/gtest.h>

#include "tests/support/ProgramRun.h"

namespace apptest {

class ScriptFixture : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return program_.Path(name); }
  // Runs the program with the script; returns its exit code (-1: it did
  // not end within the bound). `log` receives the emulator's request log.
  int Run(const std::string& script, const char* emulate, const std::string& log = {}, int boundMs = 30000) {
    return program_.Run(script, emulate, boundMs, log);
  }
  std::string Read(const std::string& name) const { return program_.Read(name); }
  std::string Trace() const { return program_.Trace(); }

  testsupport::ProgramRun program_;
};

}  // namespace apptest
