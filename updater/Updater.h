#pragma once
// The firmware updater: brings every cable-attached mouse, keyboard and pad
// that runs older firmware than its image in the update folder
// ("<folder>/<model code>.fw") up to that image.
//
// Per device, one line on the output:
//   "done <model> V0126"          updated; the device came back with it
//   "current <model> V0126"       already at (or past) the image's version
//   "failed <model> <reason>"     "cable required" (through a receiver),
//                                 "no update protocol" (a device that does
//                                 not identify as emulated: see
//                                 hid::HidBackend::IsEmulated), an unreadable
//                                 image, a refused or unanswered step, a
//                                 device that did not come back or came
//                                 back with its old version
// Reports to the program's main window while it runs: UWM_TOOL_BF15_MSG
// with wParam 4 and the percentage sent, then 1 (done) or 2 (failed); after
// success message 3332 with the new version as lParam.
//
// Result: 0 when nothing failed, 1 otherwise (also when no device was found).

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WindowBus.h"
#include "protocol/CommandChannel.h"

namespace hid {
class HidBackend;
}
namespace emulator {
class AttachBackend;
class Emulator;
}
namespace platform {
class StopEvent;
}

namespace updater {

// The registered message the updater reports progress with.
inline constexpr const char* kToolBf15Message = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}";
inline constexpr uint64_t kBf15Finished = 1, kBf15Failed = 2, kBf15Progress = 4;
// The argument the program passes when it starts the updater.
inline constexpr const char* kStartArgument = "On the upgrade";

// The updater's file name in the update folder: it names the models it
// carries, the firmware version and its build date.
std::string UpdaterFileName();

// "RM50C17A" for "mouse", "RM50C16A" for "keyboard", "RM50C09A_1" for
// "pad"; empty otherwise.
std::string_view ModelCode(std::string_view model);

struct Candidate {
  std::string model;  // "mouse", "keyboard", "pad"
  std::string path;   // its command collection
  bool receiver = false;
  bool emulated = false;
};
// The update candidates present on the backend: every plugged emulated
// mouse, keyboard and pad of `emulator` and of the program `attached`
// reaches (either may be null), then the other command interfaces of the
// supported-device table (emulated when the backend says the path is).
std::vector<Candidate> FindCandidates(hid::HidBackend& backend, emulator::Emulator* emulator,
                                      emulator::AttachBackend* attached = nullptr);

struct Options {
  std::filesystem::path updateFolder;
  std::shared_ptr<hid::HidBackend> backend;
  emulator::Emulator* emulator = nullptr;
  emulator::AttachBackend* attached = nullptr;  // another program's emulated devices
  std::function<void(const std::string& line)> print;
  std::function<void(const platform::BusMessage& message)> notify;
  // How long a restarted device may take to leave and come back.
  std::chrono::milliseconds comeBack{10000};
  const platform::StopEvent* stop = nullptr;  // ends every wait and the update
  // The exchanges' fixed sleeps (tests skip them); unset: real sleeps.
  protocol::CCommandChannel::Sleeper sleeper;
};

// Updates every candidate; the exit code.
int Run(const Options& options);

}  // namespace updater
