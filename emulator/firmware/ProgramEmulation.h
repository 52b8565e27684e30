#pragma once
// What a program that emulates devices sets up, the same way in vx27ctl and
// vx27mouse: the backend of the emulate list (VX27_EMULATE or an explicit
// list) with every emulated device's firmware attached, the emulated memory
// kept between runs in VX27_EMULATOR_STATE=<folder> (one file per device
// name, written back when the object goes), and the request log file of
// VX27_EMULATOR_LOG=<file>.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/ProgramBackend.h"
#include "emulator/firmware/Firmware.h"

namespace emulator::firmware {

inline constexpr const char* kEmulatorStateEnv = "VX27_EMULATOR_STATE";

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

 private:
  ProgramBackend backend_;
  std::vector<EmulatedUnit> units_;
  std::string stateFolder_;
};

}  // namespace emulator::firmware
