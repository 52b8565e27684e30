// vx27ctl load mouse --profile <file>: reads everything from the mouse (the
// information block check, the key map and the button positions), then its
// active onboard settings into the profile file, which is saved.
//   info ok|new|unknown|failed
//   positions <11 numbers>      (170: the button has no position)
//   onboard <n>
//   result <settings read>

#include "cli/Command.h"
#include "cli/KeyboardPadCommand.h"
#include "cli/MouseCommand.h"

namespace cli {
namespace {

constexpr const char* kUsage = "mouse|keyboard|pad --profile <file>";

int Run(const std::vector<std::string>& args) {
  if (NamesKeyboardOrPad(args)) return LoadKeyboardOrPad(args);
  MouseCommand m;
  int exitCode = 0;
  if (!m.Start(args, "load", kUsage, exitCode)) return exitCode;
  m.ReadAll();
  m.core->LoadProfile(m.profilePath);
  profiles::LightInfoRecord light = m.profile.GetLightInfo();
  const int result = m.core->ReadSettings(light);
  std::printf("onboard %u\n", unsigned(m.core->OnboardProfile()));
  return DeviceSession::Finish(result);
}

VX27_CLI_COMMAND(Command{"load", kUsage, "read the mouse and its settings into a profile file", Run});

}  // namespace
}  // namespace cli
