// vx27ctl write-keymap <dev> <hexfile>: writes a whole key map (3 × key count
// bytes, page 0): information block first, then the map between begin and
// end transfer.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "cli/Transfer.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <hexfile>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "write-keymap", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto map = ReadHexFile(a[1]);
    if (!map) {
      std::fprintf(stderr, "vx27ctl: %s is not a readable hex file\n", a[1].c_str());
      return std::nullopt;
    }
    protocol::DeviceInfoBlock info;
    const int result = s.ReadInfoAndBlockSize(info);
    if (result != protocol::kOk) return result;
    if (map->size() != s.Channel().BlockSize()) {
      std::fprintf(stderr, "vx27ctl: the key map of this device has %u bytes, the file %zu\n",
                   unsigned(s.Channel().BlockSize()), map->size());
      return std::nullopt;
    }
    return InTransfer(s.Channel(), [&] { return s.Channel().WriteKeyMap(*map, 0); });
  });
}

VX27_CLI_COMMAND(Command{"write-keymap", kUsage, "write the key map from a hex file", Run});

}  // namespace
}  // namespace cli
