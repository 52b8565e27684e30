#include "emulator/firmware/ProgramEmulation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "emulator/EmulateList.h"
#include "hid/CompositeBackend.h"
#include "hid/HidrawBackend.h"
#include "emulator/firmware/RequestLog.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace emulator::firmware {
namespace {

std::filesystem::path StateFile(const std::string& folder, std::string name, const char* suffix = ".mem") {
  for (char& c : name)
    if (c == ':') c = '_';
  return std::filesystem::path(folder) / (name + suffix);
}

// The release number a firmware update gave the device, kept beside its
// memory as four hexadecimal digits.
constexpr const char* kVersionSuffix = ".version";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

ProgramEmulation::ProgramEmulation(std::optional<std::string_view> emulateList) {
  stateFolder_ = Env(kEmulatorStateEnv);
  std::shared_ptr<RequestLogFile> log;
  if (const std::string logPath = Env(kEmulatorLogEnv); !logPath.empty()) {
    log = RequestLogFile::Open(logPath);
    if (!log) std::fprintf(stderr, "cannot append to the emulator log %s\n", logPath.c_str());
  }
  // Each device is ready (firmware, kept memory, log) before it is plugged in.
  const auto prepare = [this, log](const std::shared_ptr<EmulatedDevice>& device) {
    const std::optional<EmulatedUnit> unit = AttachFirmwareByName(device);
    if (!unit) return;
    units_.push_back(*unit);
    if (!stateFolder_.empty()) {
      std::ifstream in(StateFile(stateFolder_, device->Name()), std::ios::binary);
      if (in) {
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        unit->firmware->EditMemory([&](DeviceMemory& m) {
          if (!LoadMemory(bytes, m))
            std::fprintf(stderr, "ignoring the unreadable emulator state of %s\n", device->Name().c_str());
        });
      }
      std::ifstream version(StateFile(stateFolder_, device->Name(), kVersionSuffix));
      std::string hex;
      if (version >> hex && hex.size() == 4 && hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos)
        device->SetVersion(uint16_t(std::stoul(hex, nullptr, 16)));
    }
    if (!log) return;
    const std::string_view name = device->Name();
    const auto model = ModelFromName(name.substr(0, name.find(':')));
    if (auto iface = model ? device->Interface(CommandInterfaceNumber(*model)) : nullptr)
      iface->AttachFirmware(std::make_shared<LoggingFirmware>(device->Name(), unit->firmware, log));
  };
  const std::string list = emulateList ? std::string(*emulateList) : Env(kEmulateEnv);
  if (list == kAttachList) {
    attached_ = std::make_shared<AttachBackend>();
    backend_.backend = std::make_shared<hid::CompositeBackend>(
        std::vector<std::shared_ptr<hid::HidBackend>>{std::make_shared<hid::HidrawBackend>(), attached_});
    return;
  }
  backend_ = MakeProgramBackend(list, prepare);
}

HostSources MakeHostSources(std::shared_ptr<Emulator> emulator, std::vector<EmulatedUnit> units) {
  HostSources sources;
  sources.devices = [emulator] {
    std::vector<HostedDevice> out;
    for (const auto& device : emulator->Devices()) {
      const std::string_view name = device->Name();
      const auto model = ModelFromName(name.substr(0, name.find(':')));
      out.push_back({device->Name(), device->IsReceiver(), device->Plugged(),
                     model ? CommandPath(*device, *model) : std::string()});
    }
    return out;
  };
  sources.requestLog = [units = std::move(units)](std::string_view device, std::string* lines) {
    // The exact name first, then the model part ("mouse" for "mouse:receiver").
    const EmulatedUnit* found = nullptr;
    for (const auto& unit : units)
      if (!found && unit.device->Name() == device) found = &unit;
    for (const auto& unit : units) {
      const std::string_view n = unit.device->Name();
      if (!found && n.substr(0, n.find(':')) == device) found = &unit;
    }
    if (!found) return false;
    for (const LoggedRequest& r : found->firmware->Log()) *lines += FormatRequest(r) + "\n";
    return true;
  };
  return sources;
}

bool ProgramEmulation::Serve() {
  if (!backend_.emulator || host_) return host_ && host_->Serving();
  host_ = std::make_unique<EmulatorHost>(backend_.emulator, MakeHostSources(backend_.emulator, units_));
  return host_->Serving();
}

ProgramEmulation::~ProgramEmulation() {
  host_.reset();
  if (stateFolder_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(stateFolder_, ec);
  for (const auto& unit : units_) {
    const std::vector<uint8_t> bytes = SaveMemory(unit.firmware->Memory());
    const auto path = StateFile(stateFolder_, unit.device->Name());
    if (!platform::WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
      std::fprintf(stderr, "cannot keep the emulator state in %s\n", path.c_str());
    std::string requests;
    for (const LoggedRequest& r : unit.firmware->Log()) requests += FormatRequest(r) + "\n";
    if (!requests.empty()) {
      std::ofstream out(StateFile(stateFolder_, unit.device->Name(), kRequestsSuffix), std::ios::app);
      out << requests;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04x\n", unsigned(unit.device->Version()));
    const auto versionPath = StateFile(stateFolder_, unit.device->Name(), kVersionSuffix);
    if (!platform::WriteFileAtomic(versionPath, std::string_view(hex)))
      std::fprintf(stderr, "cannot keep the emulator state in %s\n", versionPath.c_str());
  }
}

std::string ProgramEmulation::RequestsFile(std::string_view deviceName) const {
  if (stateFolder_.empty()) return {};
  return StateFile(stateFolder_, std::string(deviceName), kRequestsSuffix).string();
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
