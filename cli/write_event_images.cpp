// vx27ctl write-macro-image <dev> <.mac files...>
// vx27ctl write-recoil-image <dev> <.Shoot files...>
// Build an event image (entry n = the n-th file; for recoil data normally
// ShootData_0 to 3) and write it between begin and end transfer, after reading
// the information block. A macro image larger than the macro memory is not
// sent; the result is then the number of events to remove.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "cli/EventFiles.h"
#include "cli/Transfer.h"

namespace cli {
namespace {

enum class Image { Macro, Recoil };

int Run(const std::vector<std::string>& args, const char* command, const char* usage, Image kind) {
  return RunDeviceCommand(args, command, usage, 2, 256,
                          [kind](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
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
    if (kind == Image::Macro) {
      const size_t size = protocol::EventImageSize(entries);
      if (const auto over = protocol::MacroImageOverflow(size, info.MacroMemoryBytes())) {
        std::printf("overflow %u events (image %zu bytes, macro memory %u)\n", *over, size,
                    info.MacroMemoryBytes());
        return int(*over);
      }
    }
    const std::vector<uint8_t> image = protocol::BuildEventImage(entries);
    if (image.empty()) {
      std::fprintf(stderr, "vx27ctl: the image would be larger than 65535 bytes\n");
      return protocol::kNotWritten;
    }
    std::printf("image %zu bytes, %zu entries\n", image.size(), entries.size());
    return InTransfer(s.Channel(), [&] {
      return kind == Image::Macro ? s.Channel().WriteMacroImage(image)
                                  : s.Channel().WriteRecoilImage(image);
    });
  });
}

constexpr const char* kMacroUsage = "<dev> <.mac files...>";
constexpr const char* kRecoilUsage = "<dev> <.Shoot files...>";

VX27_CLI_COMMAND(Command{"write-macro-image", kMacroUsage, "write macro files as the macro image",
                         [](const std::vector<std::string>& a) {
                           return Run(a, "write-macro-image", kMacroUsage, Image::Macro);
                         }});
VX27_CLI_COMMAND(Command{"write-recoil-image", kRecoilUsage, "write recoil files as the recoil image",
                         [](const std::vector<std::string>& a) {
                           return Run(a, "write-recoil-image", kRecoilUsage, Image::Recoil);
                         }});

}  // namespace
}  // namespace cli
