#pragma once
// The program's HID backend: hidraw for real devices, joined by the emulator
// when an emulate list names devices.

#include <memory>
#include <string_view>

#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "hid/HidBackend.h"

namespace emulator {

struct ProgramBackend {
  std::shared_ptr<hid::HidBackend> backend;
  std::shared_ptr<Emulator> emulator;  // null when nothing is emulated
};

// With an empty list: hidraw alone. A malformed list is traced and ignored.
// Each emulated device is handed to `prepare` before it is plugged in.
ProgramBackend MakeProgramBackend(std::string_view emulateList,
                                  const PrepareDevice& prepare = {});
// The same, with the list taken from VX27_EMULATE.
ProgramBackend MakeProgramBackendFromEnvironment();

}  // namespace emulator
