#include "emulator/ProgramBackend.h"

#include <cstdlib>

#include "emulator/EmulateList.h"
#include "hid/CompositeBackend.h"
#include "hid/HidapiBackend.h"
#include "platform/Trace.h"

namespace emulator {

ProgramBackend MakeProgramBackend(std::string_view emulateList, const PrepareDevice& prepare) {
  ProgramBackend out;
  auto hidapi = std::make_shared<hid::HidapiBackend>();
  std::string error;
  auto specs = ParseEmulateList(emulateList, &error);
  if (!specs) Trace("emulate list ignored: " + error);
  if (!specs || specs->empty()) {
    out.backend = hidapi;
    return out;
  }
  out.emulator = std::make_shared<Emulator>();
  for (DeviceSpec& desc : *specs) AddPrepared(*out.emulator, std::move(desc), prepare);
  out.backend = std::make_shared<hid::CompositeBackend>(
      std::vector<std::shared_ptr<hid::HidBackend>>{hidapi, out.emulator});
  return out;
}

ProgramBackend MakeProgramBackendFromEnvironment() {
  const char* list = std::getenv(kEmulateEnv);
  return MakeProgramBackend(list ? list : "");
}

}  // namespace emulator
