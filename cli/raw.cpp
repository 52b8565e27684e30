// vx27ctl raw <dev> <cmd> <len> <addr> [hexdata]: one request report of any
// command through the full exchange; prints the whole reply.

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "cli/Command.h"
#include "cli/DeviceSession.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <cmd> <len> <addr> [hexdata]";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "raw", kUsage, 4, 5,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto command = ParseNumber(a[1], 0xFF);
    const auto length = ParseNumber(a[2], 0xFF);
    const auto address = ParseNumber(a[3], 0xFFFF);
    std::vector<uint8_t> data;
    if (a.size() == 5) {
      auto parsed = ParseHex(a[4]);
      if (!parsed || parsed->size() > protocol::report::kDataSize) return std::nullopt;
      data = std::move(*parsed);
    }
    if (!command || !length || !address) return std::nullopt;
    protocol::Report request =
        protocol::MakeRequest(uint8_t(*command), uint8_t(*length), uint16_t(*address));
    std::copy(data.begin(), data.end(), request.begin() + protocol::report::kData);
    protocol::SealReport(request);
    protocol::Report reply{};
    int result;
    {
      std::lock_guard guard(s.Channel().CommandLock());
      result = s.Channel().Exchange(request, reply);
    }
    if (result == protocol::kOk) {
      PrintHex(reply);
      result = protocol::StatusResult(reply);
    }
    return result;
  });
}

VX27_CLI_COMMAND(Command{"raw", kUsage, "send one command report and print the reply", Run});

}  // namespace
}  // namespace cli
