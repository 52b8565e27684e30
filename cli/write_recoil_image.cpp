// vx27ctl write-recoil-image <dev> <.Shoot files...>: builds the recoil image
// (entry n = the n-th file, normally ShootData_0 to 3) and writes it between
// begin and end transfer, after reading the information block.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "cli/EventFiles.h"
#include "cli/Transfer.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <.Shoot files...>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "write-recoil-image", kUsage, 2, 256,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    std::vector<std::vector<protocol::PackedMacroEvent>> entries;
    for (size_t i = 1; i < a.size(); ++i) {
      auto events = LoadEventFile(a[i]);
      if (!events) {
        std::fprintf(stderr, "vx27ctl: %s has no \"Events\" array\n", a[i].c_str());
        return std::nullopt;
      }
      entries.push_back(std::move(*events));
    }
    protocol::DeviceInfoBlock info;
    const int read = s.Channel().ReadInfoBlock(info.raw);
    if (read != protocol::kOk) return read;
    const std::vector<uint8_t> image = protocol::BuildEventImage(entries);
    if (image.empty()) {
      std::fprintf(stderr, "vx27ctl: the image would be larger than 65535 bytes\n");
      return protocol::kNotWritten;
    }
    std::printf("image %zu bytes, %zu entries\n", image.size(), entries.size());
    return InTransfer(s.Channel(), [&] { return s.Channel().WriteRecoilImage(image); });
  });
}

VX27_CLI_COMMAND(Command{"write-recoil-image", kUsage, "write recoil files as the recoil image",
                         Run});

}  // namespace
}  // namespace cli
