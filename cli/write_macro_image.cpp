// vx27ctl write-macro-image <dev> <.mac files...>: builds the macro image
// (entry n = the n-th file) and writes it between begin and end transfer.
// An image larger than the macro memory is not sent; the result is then the
// number of events to remove.

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "cli/EventFiles.h"
#include "cli/Transfer.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <.mac files...>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "write-macro-image", kUsage, 2, 256,
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
    const size_t size = protocol::EventImageSize(entries);
    if (const auto over = protocol::MacroImageOverflow(size, info.MacroMemoryBytes())) {
      std::printf("overflow %u events (image %zu bytes, macro memory %u)\n", *over, size,
                  info.MacroMemoryBytes());
      return int(*over);
    }
    const std::vector<uint8_t> image = protocol::BuildEventImage(entries);
    if (image.empty()) {
      std::fprintf(stderr, "vx27ctl: the image would be larger than 65535 bytes\n");
      return protocol::kNotWritten;
    }
    std::printf("image %zu bytes, %zu entries\n", image.size(), entries.size());
    return InTransfer(s.Channel(), [&] { return s.Channel().WriteMacroImage(image); });
  });
}

VX27_CLI_COMMAND(Command{"write-macro-image", kUsage, "write macro files as the macro image", Run});

}  // namespace
}  // namespace cli
