// vx27ctl read-keymap <dev>: the key map (3 × key count bytes).
// vx27ctl read-keylight <dev>: the key light index table (one LED index per
// key position, key count bytes).
// Both are read as the device models read them: begin transfer, information
// block (which sets the block size), the table, end transfer.

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";

enum class Table { KeyMap, KeyLight };

int Run(const std::vector<std::string>& args, const char* command, Table table) {
  return RunDeviceCommand(args, command, kUsage, 1, 1,
                          [table](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    protocol::CCommandChannel& ch = s.Channel();
    int result = ch.BeginTransfer();
    if (result != protocol::kOk) return result;
    protocol::DeviceInfoBlock info;
    if ((result = s.ReadInfoAndBlockSize(info)) != protocol::kOk) return result;
    std::vector<uint8_t> bytes(table == Table::KeyMap ? ch.BlockSize() : ch.BlockSize() / 3);
    result = table == Table::KeyMap ? ch.ReadKeyMap(bytes) : ch.ReadKeyLightIndex(bytes);
    if (result != protocol::kOk) return result;
    result = ch.EndTransfer(1);
    PrintHex(bytes);
    return result;
  });
}

VX27_CLI_COMMAND(Command{"read-keymap", kUsage, "read the key map",
                         [](const std::vector<std::string>& a) { return Run(a, "read-keymap", Table::KeyMap); }});
VX27_CLI_COMMAND(Command{"read-keylight", kUsage, "read the key light index table",
                         [](const std::vector<std::string>& a) {
                           return Run(a, "read-keylight", Table::KeyLight);
                         }});

}  // namespace
}  // namespace cli
