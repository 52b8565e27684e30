// vx27ctl firmware-check <dev>: the firmware version, whether the program
// would find it usable (0x0126 and later) or offer the update, and the
// firmware check message (3332, lParam = the version) sent to the program's
// main window as the updater does after an update. Prints "version <hex>",
// "check usable|update offered" and "sent 3332" or "no main window".

#include <cstdio>
#include <memory>

#include <QCoreApplication>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/WindowBus.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev>";
// Versions above this one need no update.
constexpr uint16_t kLastOutdated = 0x0125;

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "firmware-check", kUsage, 1, 1,
                          [](DeviceSession& s, const std::vector<std::string>&) -> std::optional<int> {
    hid::CHidInterface& device = s.ThroughReceiver() ? s.Channel().ReceiverDevice() : s.Channel().WiredDevice();
    const uint16_t version = device.VersionNumber();
    std::printf("version %04x\ncheck %s\n", unsigned(version), version > kLastOutdated ? "usable" : "update offered");
    // The window bus needs a Qt application object.
    std::unique_ptr<QCoreApplication> app;
    int argc = 1;
    char name[] = "vx27ctl";
    char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    const bool sent = platform::BusWindow::SendTo(
        {}, platform::kProductName,
        platform::BusMessage::Numbered(platform::msg::kFirmwareVersionCheck, 0, int64_t(version)));
    std::printf("%s\n", sent ? "sent 3332" : "no main window");
    return protocol::kOk;
  });
}

VX27_CLI_COMMAND(Command{"firmware-check", kUsage,
                         "print the firmware version and send the firmware check to the program", Run});

}  // namespace
}  // namespace cli
