// vx27ctl link <dev>: the receiver's link query (by cable: linked, nothing sent).

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "link", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    const bool linked = s.Channel().QueryWirelessLink();
    std::printf("linked %s\n", linked ? "yes" : "no");
    return linked ? protocol::kOk : protocol::kNoReply;
  });
}

VX27_CLI_COMMAND(Command{"link", kUsage, "ask the receiver whether the device answers", Run});

}  // namespace
}  // namespace cli
