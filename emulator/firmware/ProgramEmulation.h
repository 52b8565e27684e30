#pragma once
// What a program that emulates devices sets up, the same way in vx27ctl and
// vx27mouse: the backend of the emulate list (VX27_EMULATE or an explicit
// list) with every emulated device's firmware attached, the emulated memory
// kept between runs in VX27_EMULATOR_STATE=<folder> (one file per device
// name, written back when the object goes), and the request log file of
// VX27_EMULATOR_LOG=<file>. The list "attach" emulates nothing itself and
// reaches the emulated devices another program serves (AttachBackend.h);
// Serve() makes this program's emulated devices reachable so.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/AttachBackend.h"
#include "emulator/EmulatorHost.h"
#include "emulator/ProgramBackend.h"
#include "emulator/firmware/Firmware.h"

namespace emulator::firmware {

inline constexpr const char* kEmulatorStateEnv = "VX27_EMULATOR_STATE";
// The emulate list that attaches to another program's emulated devices.
inline constexpr std::string_view kAttachList = "attach";

// What a host tells attached processes about these devices: each device's
// name, connection and command path, and the request log of each unit.
HostSources MakeHostSources(std::shared_ptr<Emulator> emulator, std::vector<EmulatedUnit> units);

class ProgramEmulation {
 public:
  // nullopt: the list from VX27_EMULATE.
  explicit ProgramEmulation(std::optional<std::string_view> emulateList = std::nullopt);
  ~ProgramEmulation();
  ProgramEmulation(const ProgramEmulation&) = delete;
  ProgramEmulation& operator=(const ProgramEmulation&) = delete;

  const std::shared_ptr<hid::HidBackend>& Backend() const { return backend_.backend; }
  const std::shared_ptr<Emulator>& GetEmulator() const { return backend_.emulator; }
  const std::vector<EmulatedUnit>& Units() const { return units_; }
  // The file in which the state folder keeps a device's requests (empty
  // without a state folder).
  std::string RequestsFile(std::string_view deviceName) const;
  // The unit of the first device whose name is `name` (e.g. "mouse",
  // "keyboard:receiver"), or whose model part is `name`.
  const EmulatedUnit* Find(std::string_view name) const;

  // The backend on another program's devices (list "attach"), else null.
  const std::shared_ptr<AttachBackend>& Attached() const { return attached_; }
  // Serves the emulated devices to attached processes until this object
  // goes; false when nothing is emulated or the socket cannot be made.
  bool Serve();

 private:
  ProgramBackend backend_;
  std::vector<EmulatedUnit> units_;
  std::string stateFolder_;
  std::shared_ptr<AttachBackend> attached_;
  std::unique_ptr<EmulatorHost> host_;  // stopped before the devices go
};

}  // namespace emulator::firmware
