#include "emulator/firmware/ProgramEmulation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "emulator/firmware/RequestLog.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace emulator::firmware {
namespace {

std::filesystem::path StateFile(const std::string& folder, std::string name) {
  for (char& c : name)
    if (c == ':') c = '_';
  return std::filesystem::path(folder) / (name + ".mem");
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

ProgramEmulation::ProgramEmulation(std::optional<std::string_view> emulateList) {
  backend_ = emulateList ? MakeProgramBackend(*emulateList) : MakeProgramBackendFromEnvironment();
  if (!backend_.emulator) return;
  units_ = AttachFirmwareToAll(*backend_.emulator);
  stateFolder_ = Env(kEmulatorStateEnv);
  if (!stateFolder_.empty()) {
    for (const auto& unit : units_) {
      std::ifstream in(StateFile(stateFolder_, unit.device->Name()), std::ios::binary);
      if (!in) continue;  // a fresh device: factory memory
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      unit.firmware->EditMemory([&](DeviceMemory& m) {
        if (!LoadMemory(bytes, m))
          std::fprintf(stderr, "ignoring the unreadable emulator state of %s\n", unit.device->Name().c_str());
      });
    }
  }
  if (const std::string logPath = Env(kEmulatorLogEnv); !logPath.empty()) {
    std::shared_ptr<RequestLogFile> log = RequestLogFile::Open(logPath);
    if (!log) {
      std::fprintf(stderr, "cannot append to the emulator log %s\n", logPath.c_str());
      return;
    }
    for (const auto& unit : units_) {
      const auto model = ModelFromName(std::string_view(unit.device->Name()).substr(0, unit.device->Name().find(':')));
      if (auto iface = model ? unit.device->Interface(CommandInterfaceNumber(*model)) : nullptr)
        iface->AttachFirmware(std::make_shared<LoggingFirmware>(unit.device->Name(), unit.firmware, log));
    }
  }
}

ProgramEmulation::~ProgramEmulation() {
  if (stateFolder_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(stateFolder_, ec);
  for (const auto& unit : units_) {
    const std::vector<uint8_t> bytes = SaveMemory(unit.firmware->Memory());
    const auto path = StateFile(stateFolder_, unit.device->Name());
    if (!platform::WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
      std::fprintf(stderr, "cannot keep the emulator state in %s\n", path.c_str());
  }
}

const EmulatedUnit* ProgramEmulation::Find(std::string_view name) const {
  for (const auto& unit : units_)
    if (unit.device->Name() == name) return &unit;
  for (const auto& unit : units_) {
    const std::string_view n = unit.device->Name();
    if (n.substr(0, n.find(':')) == name) return &unit;
  }
  return nullptr;
}

}  // namespace emulator::firmware
