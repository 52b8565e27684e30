// vx27ctl read-keylight <dev>: the key light index table (one LED index per
// key position).

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "read-keylight", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    protocol::CCommandChannel& ch = s.Channel();
    int result = ch.BeginTransfer();
    if (result != protocol::kOk) return result;
    protocol::DeviceInfoBlock info;
    if ((result = s.ReadInfoAndBlockSize(info)) != protocol::kOk) return result;
    std::vector<uint8_t> table(ch.BlockSize() / 3);
    if ((result = ch.ReadKeyLightIndex(table)) != protocol::kOk) return result;
    result = ch.EndTransfer(1);
    PrintHex(table);
    return result;
  });
}

VX27_CLI_COMMAND(Command{"read-keylight", kUsage, "read the key light index table", Run});

}  // namespace
}  // namespace cli
