// The firmware updater program, delivered in the update folder and started
// by the program with "On the upgrade" and the update folder as its working
// folder. Updates every cable-attached device that is older than its image
// in the working folder (or --folder DIR), reporting to the program's main
// window on the window bus. With VX27_EMULATE (or --emulate LIST) it
// updates emulated devices ("attach": those of the program that started it);
// VX27_EMULATOR_STATE keeps their memory and
// version between runs, VX27_EMULATOR_LOG logs every request they receive.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include <QCoreApplication>

#include "emulator/firmware/ProgramEmulation.h"
#include "platform/Paths.h"
#include "updater/Updater.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::optional<std::string> emulate;
  std::filesystem::path folder = std::filesystem::current_path();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--emulate" && i + 1 < argc) emulate = argv[++i];
    else if (a == "--folder" && i + 1 < argc) folder = argv[++i];
    else if (a == updater::kStartArgument) continue;
    else {
      std::fprintf(stderr, "usage: %s [\"%s\"] [--folder DIR] [--emulate LIST]\n", argv[0], updater::kStartArgument);
      return 2;
    }
  }
  emulator::firmware::ProgramEmulation emulation(emulate ? std::optional<std::string_view>(*emulate) : std::nullopt);
  updater::Options options;
  options.updateFolder = folder;
  options.backend = emulation.Backend();
  options.emulator = emulation.GetEmulator().get();
  options.attached = emulation.Attached().get();
  options.print = [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  };
  options.notify = [](const platform::BusMessage& message) {
    platform::BusWindow::SendTo({}, platform::kProductName, message);
  };
  return updater::Run(options);
}
