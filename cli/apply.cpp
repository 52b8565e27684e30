// vx27ctl apply mouse --profile <file>: reads everything from the mouse, then
// applies the profile as the program does when a profile is chosen: macro
// keys repaired, settings block 0, the macros the keys use (library beside
// the file), the key map.
//   info ..., positions ... (as load)
//   settings <r>   (1 written)
//   macros <r>     (0 written or nothing to write, n events too many, -1 not written)
//   keys <r>       (1 written)
// Exit code 0 when all three succeeded.

#include "cli/Command.h"
#include "cli/KeyboardPadCommand.h"
#include "cli/MouseCommand.h"

namespace cli {
namespace {

constexpr const char* kUsage = "mouse|keyboard|pad --profile <file>";

int Run(const std::vector<std::string>& args) {
  if (NamesKeyboardOrPad(args)) return ApplyKeyboardOrPad(args);
  MouseCommand m;
  int exitCode = 0;
  if (!m.Start(args, "apply", kUsage, exitCode)) return exitCode;
  m.ReadAll();
  if (m.core->LoadProfile(m.profilePath) != 1) {
    std::fprintf(stderr, "vx27ctl: %s has no mouse profile and no factory data was found\n",
                 m.profilePath.string().c_str());
    return 1;
  }
  const devices::MouseApplyResult r = m.core->ApplyProfile();
  std::printf("settings %d\nmacros %d\nkeys %d\n", r.settings, r.macros, r.keys);
  return r.settings == protocol::kOk && r.macros == 0 && r.keys == protocol::kOk ? 0 : 1;
}

VX27_CLI_COMMAND(Command{"apply", kUsage, "apply a profile file to the mouse", Run});

}  // namespace
}  // namespace cli
