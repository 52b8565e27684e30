#pragma once
// Runs a shell command line as a user would and collects its standard output
// and exit code (-1 when it did not exit normally).

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace testsupport {

struct CommandRun {
  int exit = -1;
  std::string out;
  bool Has(const std::string& text) const { return out.find(text) != std::string::npos; }
};

inline CommandRun RunCommand(const std::string& line) {
  CommandRun r;
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
