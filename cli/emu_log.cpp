// vx27ctl emu-log <dev>: the requests an emulated device received in the
// runs that kept their state in VX27_EMULATOR_STATE (the program, the
// updater, earlier vx27ctl commands), oldest first, one line each:
// "request <command> <length> <address> <status|-> <data hex|->". With
// "--emulate attach": the requests of the running program's device.

#include <cstdio>
#include <fstream>
#include <string>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "emulator/firmware/ProgramEmulation.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  DeviceSession session;
  if (!session.ParseOptions(args) || session.Positional().size() != 1) return UsageError("emu-log", kUsage);
  const std::string& name = session.Positional()[0];
  const std::string device = session.ThroughReceiver() ? name + ":receiver" : name;
  if (session.EmulateList() == emulator::firmware::kAttachList) {
    // The program that emulates the device keeps the requests of its run.
    std::string lines;
    if (!emulator::AttachBackend().RequestLog(device, &lines)) {
      std::fprintf(stderr, "vx27ctl: no program emulates %s\n", device.c_str());
      return DeviceSession::Finish(protocol::kNoReply);
    }
    std::printf("%s", lines.c_str());
    return DeviceSession::Finish(protocol::kOk);
  }
  emulator::firmware::ProgramEmulation emulation(std::string_view(""));
  const std::string file = emulation.RequestsFile(device);
  if (file.empty()) {
    std::fprintf(stderr, "vx27ctl: emu-log reads the requests kept in %s, which is not set\n",
                 emulator::firmware::kEmulatorStateEnv);
    return DeviceSession::Finish(protocol::kNoReply);
  }
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) std::printf("%s\n", line.c_str());
  return DeviceSession::Finish(protocol::kOk);
}

VX27_CLI_COMMAND(Command{"emu-log", kUsage, "print the requests an emulated device received", Run});

}  // namespace
}  // namespace cli
