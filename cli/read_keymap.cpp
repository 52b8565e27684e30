// vx27ctl read-keymap <dev>: the key map (3 × key count bytes), read as the
// device models read it: begin transfer, information block, key map, end.

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "read-keymap", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    protocol::CCommandChannel& ch = s.Channel();
    int result = ch.BeginTransfer();
    if (result != protocol::kOk) return result;
    protocol::DeviceInfoBlock info;
    if ((result = s.ReadInfoAndBlockSize(info)) != protocol::kOk) return result;
    std::vector<uint8_t> map(ch.BlockSize());
    if ((result = ch.ReadKeyMap(map)) != protocol::kOk) return result;
    result = ch.EndTransfer(1);
    PrintHex(map);
    return result;
  });
}

VX27_CLI_COMMAND(Command{"read-keymap", kUsage, "read the key map", Run});

}  // namespace
}  // namespace cli
