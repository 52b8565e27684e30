#pragma once
// Runs the installed vx27ctl as a user runs it and keeps its standard output
// and exit code.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace testsupport {

struct CtlRun {
  int exit = -1;
  std::string out;
  bool Has(const std::string& line) const { return out.find(line + "\n") != std::string::npos; }
};

// `args` is appended to the command line as it stands (quote paths); `env`
// (NAME='value' pairs) goes before it.
inline CtlRun Ctl(const std::string& args, const std::string& env = "") {
  const char* bin = std::getenv("VX27_INSTALL_DIR");
  CtlRun r;
  if (!bin) return r;
  const std::string line = env + " '" + (std::filesystem::path(bin) / "vx27ctl").string() + "' " + args + " 2>/dev/null";
  FILE* p = ::popen(line.c_str(), "r");
  if (!p) return r;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, n);
  const int status = ::pclose(p);
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace testsupport
