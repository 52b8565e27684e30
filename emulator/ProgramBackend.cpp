#include "emulator/ProgramBackend.h"

#include <cstdlib>

#include "emulator/EmulateList.h"
#include "hid/CompositeBackend.h"
#include "hid/HidrawBackend.h"
#include "platform/Trace.h"

namespace emulator {

ProgramBackend MakeProgramBackend(std::string_view emulateList, const PrepareDevice& prepare) {
  ProgramBackend out;
  auto hidraw = std::make_shared<hid::HidrawBackend>();
  std::string error;
  auto descs = ParseEmulateList(emulateList, &error);
  if (!descs) Trace("emulate list ignored: " + error);
  if (!descs || descs->empty()) {
    out.backend = hidraw;
    return out;
  }
  out.emulator = std::make_shared<Emulator>();
  for (DeviceDesc& desc : *descs) AddPrepared(*out.emulator, std::move(desc), prepare);
  out.backend = std::make_shared<hid::CompositeBackend>(
      std::vector<std::shared_ptr<hid::HidBackend>>{hidraw, out.emulator});
  return out;
}

ProgramBackend MakeProgramBackendFromEnvironment() {
  const char* list = std::getenv(kEmulateEnv);
  return MakeProgramBackend(list ? list : "");
}

}  // namespace emulator
