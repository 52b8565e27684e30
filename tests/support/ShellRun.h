#pragma once
// Runs a shell command line and collects its standard output and exit code
// (the command-line tool's tests run vx27ctl as a user does).

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace testsupport {

struct ShellRun {
  int exit = -1;
  std::string out;
  bool Has(const std::string& text) const { return out.find(text) != std::string::npos; }
};

inline ShellRun RunShell(const std::string& line) {
  ShellRun r;
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
