// vx27-uhid: the emulated devices as kernel HID devices. Every USB interface
// of every device on the emulate list becomes a /dev/uhid device with the
// interface's report descriptor, ids and "/input<N>" phys, so the hidraw
// backend meets it exactly as it meets a plugged-in device. Output reports
// written to the hidraw nodes go to the interface's firmware model (when the
// firmware models are built in); its input reports come back on the nodes.
//
//   vx27-uhid <emulate list> [--seconds N] [--script "<ms> <command>; ..."] [--foreign]
//
// Each kernel device says it is made from an emulated device and carries the
// device's firmware version in its phys and uniq texts (hid/EmulatedNode.h).
// The tool follows the emulated devices' own plug changes: when a device
// restarts after a firmware update (it leaves, then comes back with the new
// version), its kernel devices are destroyed and made again with the
// version it came back with ("unplugged <device>", then
// "plugged <device> <version hex>"). With --foreign the kernel devices do
// not identify as emulated (phys "foreign-<id>/input<N>", uniq "<id>"), as
// a device of another maker with the same ids would not.
//
// Commands, from the script (at their time in milliseconds after the start)
// or one per line on standard input:
//   unplug <device>            unplug the device: its kernel devices go
//   plug <device>              plug it again: they are made again
//   wireless <device> on|off   switch the wireless device behind a receiver
//   mute <device> on|off       the firmware stops (or starts again) answering
//   quit
// <device> is a name of the emulate list ("mouse", "mouse:receiver", ...) or
// the start of one. Each command carried out prints "ok <command>"; a command
// that cannot be carried out prints "error <command>". Every output report
// written to a node prints "output <device> <report id> <byte 3>" in hex.
//
// Runs until the time is up, "quit", or SIGINT/SIGTERM; leaving unplugs every
// device.

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "emulator/uhid/UhidDevice.h"
#include "hid/EmulatedNode.h"
#ifdef VX27_HAVE_FIRMWARE
#include "emulator/firmware/Firmware.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> gQuit{false};
void OnSignal(int) { gQuit = true; }

int Usage() {
  std::fprintf(stderr,
               "usage: vx27-uhid <emulate list> [--seconds N] [--script \"<ms> <command>; ...\"] [--foreign]\n");
  return 2;
}

struct Timed {
  long ms;
  std::string command;
};

bool ParseScript(const std::string& text, std::vector<Timed>& out) {
  std::stringstream all(text);
  std::string item;
  while (std::getline(all, item, ';')) {
    std::stringstream words(item);
    Timed t;
    if (!(words >> t.ms)) {
      if (item.find_first_not_of(" \t\n") == std::string::npos) continue;
      return false;
    }
    std::getline(words >> std::ws, t.command);
    if (t.command.empty()) return false;
    out.push_back(std::move(t));
  }
  std::stable_sort(out.begin(), out.end(), [](const Timed& a, const Timed& b) { return a.ms < b.ms; });
  return true;
}

class Bridge {
 public:
  Bridge(emulator::Emulator& emu, bool foreign) : emu_(emu), foreign_(foreign) {}

  ~Bridge() {
    for (const auto& device : emu_.Devices()) Unplug(*device);
  }

#ifdef VX27_HAVE_FIRMWARE
  void SetUnits(std::vector<emulator::firmware::EmulatedUnit> units) { units_ = std::move(units); }
#endif

  // Makes the device's kernel devices with the version it has now.
  bool Plug(emulator::EmulatedDevice& device) {
    if (nodes_.count(device.Id())) return true;
    const uint16_t version = device.Version();
    std::vector<std::unique_ptr<emulator::uhid::UhidDevice>> nodes;
    for (const auto& iface : device.Interfaces()) {
      emulator::uhid::UhidDesc desc;
      desc.name = "VX27 emulated " + device.Name();
      if (foreign_) {
        desc.phys = "foreign-" + std::to_string(device.Id()) + "/input" + std::to_string(iface->Number());
        desc.uniq = std::to_string(device.Id());
      } else {
        desc.phys = hid::EmulatedPhys(device.Id(), iface->Number());
        desc.uniq = hid::EmulatedUniq(device.Id(), version);
      }
      desc.vendor = device.VendorId();
      desc.product = device.ProductId();
      desc.version = version;
      desc.descriptor.assign(iface->Descriptor().begin(), iface->Descriptor().end());
      auto node = emulator::uhid::UhidDevice::Create(
          desc, [iface, name = device.Name()](std::span<const uint8_t> report) {
            // One line per output report (report id, command byte), so a
            // script can wait until a request has reached the device.
            if (report.size() > 3)
              std::printf("output %s %02x %02x\n", name.c_str(), report[0], report[3]);
            std::fflush(stdout);
            (void)iface->DeliverOutput(report, false);
          });
      if (!node) {
        std::fprintf(stderr, "vx27-uhid: cannot create %s interface %u\n", device.Name().c_str(),
                     iface->Number());
        for (const auto& i : device.Interfaces()) i->SetInputTap(nullptr);
        return false;
      }
      emulator::uhid::UhidDevice* raw = node.get();
      iface->SetInputTap([raw](std::span<const uint8_t> report) { raw->SendInput(report); });
      nodes.push_back(std::move(node));
    }
    nodes_[device.Id()] = {version, std::move(nodes)};
    return true;
  }

  void Unplug(emulator::EmulatedDevice& device) {
    auto it = nodes_.find(device.Id());
    if (it == nodes_.end()) return;
    // Stop the taps before the nodes go.
    for (const auto& iface : device.Interfaces()) iface->SetInputTap(nullptr);
    nodes_.erase(it);
  }

  // Brings the kernel devices in line with the emulated devices' plug state
  // and version: a device that left loses its kernel devices, one that came
  // back (or came back with another version) gets new ones. Announces each
  // change; false when a kernel device could not be made.
  bool Follow() {
    bool ok = true;
    for (const auto& device : emu_.Devices()) {
      const auto made = nodes_.find(device->Id());
      const bool plugged = device->Plugged();
      if (made != nodes_.end() && (!plugged || made->second.version != device->Version())) {
        Unplug(*device);
        Announce("unplugged " + device->Name());
      }
      if (plugged && !nodes_.count(device->Id())) {
        if (!Plug(*device)) {
          ok = false;
          continue;
        }
        char version[8];
        std::snprintf(version, sizeof version, "%04x", unsigned(nodes_[device->Id()].version));
        Announce("plugged " + device->Name() + " " + version);
      }
    }
    return ok;
  }

  std::shared_ptr<emulator::EmulatedDevice> Find(const std::string& name) const {
    if (auto exact = emu_.FindByName(name)) return exact;
    for (const auto& d : emu_.Devices())
      if (d->Name().rfind(name, 0) == 0) return d;
    return nullptr;
  }

  // Carries out one command; false when it cannot be.
  bool Run(const std::string& line) {
    std::stringstream words(line);
    std::string verb, name, arg;
    words >> verb >> name >> arg;
    if (verb == "quit") {
      gQuit = true;
      return true;
    }
    const auto device = Find(name);
    if (!device) return false;
    // The emulated device itself is plugged or unplugged (its firmware
    // loses power while out); its kernel devices follow at once, so an
    // unplug and a plug given together still make and destroy them.
    if (verb == "plug") return emu_.Plug(device->Id()) && Plug(*device);
    if (verb == "unplug") {
      Unplug(*device);
      return emu_.Unplug(device->Id());
    }
    if (verb == "wireless" && (arg == "on" || arg == "off")) {
      if (!device->IsReceiver()) return false;
      device->SetWirelessOn(arg == "on");
      return true;
    }
#ifdef VX27_HAVE_FIRMWARE
    if (verb == "mute" && (arg == "on" || arg == "off")) {
      for (const auto& unit : units_) {
        if (unit.device != device || !unit.firmware) continue;
        if (arg == "on") unit.firmware->InjectFault({emulator::firmware::FaultKind::NoReply, -1});
        else unit.firmware->ClearFaults();
        return true;
      }
    }
#endif
    return false;
  }

  // Every pending event of every node.
  std::vector<pollfd> PollSet() const {
    std::vector<pollfd> fds;
    for (const auto& [id, made] : nodes_)
      for (const auto& n : made.nodes) fds.push_back({n->Fd(), POLLIN, 0});
    return fds;
  }
  void PumpAll() {
    for (const auto& [id, made] : nodes_)
      for (const auto& n : made.nodes) n->Pump();
  }
  size_t NodeCount() const {
    size_t n = 0;
    for (const auto& [id, made] : nodes_) n += made.nodes.size();
    return n;
  }

 private:
  static void Announce(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }

  // One device's kernel devices and the version they were made with.
  struct Made {
    uint16_t version = 0;
    std::vector<std::unique_ptr<emulator::uhid::UhidDevice>> nodes;
  };
  emulator::Emulator& emu_;
  const bool foreign_;
  std::map<uint32_t, Made> nodes_;
#ifdef VX27_HAVE_FIRMWARE
  std::vector<emulator::firmware::EmulatedUnit> units_;
#endif
};

void Report(bool ok, const std::string& command) {
  std::printf("%s %s\n", ok ? "ok" : "error", command.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string list = argv[1];
  long seconds = -1;
  bool foreign = false;
  std::vector<Timed> script;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::strtol(argv[++i], nullptr, 10);
    } else if (arg == "--foreign") {
      foreign = true;
    } else if (arg == "--script" && i + 1 < argc) {
      if (!ParseScript(argv[++i], script)) return Usage();
    } else {
      return Usage();
    }
  }

  emulator::Emulator emu;
  std::string error;
  Bridge bridge(emu, foreign);
#ifdef VX27_HAVE_FIRMWARE
  auto units = emulator::firmware::AddEmulatedUnits(emu, list, &error);
  const bool added = units.has_value();
  if (added) bridge.SetUnits(std::move(*units));
#else
  const bool added = emulator::AddEmulatedDevices(emu, list, &error);
#endif
  if (!added) {
    std::fprintf(stderr, "vx27-uhid: %s\n", error.c_str());
    return 2;
  }
  for (const auto& device : emu.Devices())
    if (device->Plugged() && !bridge.Plug(*device)) return 1;

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("vx27-uhid: %zu interfaces of %zu devices\n", bridge.NodeCount(), emu.Devices().size());
  std::fflush(stdout);

  const auto start = Clock::now();
  const auto until = start + std::chrono::seconds(seconds < 0 ? 0 : seconds);
  size_t nextScripted = 0;
  bool stdinOpen = true;
  std::string pending;
  while (!gQuit && (seconds < 0 || Clock::now() < until)) {
    const long elapsed =
        long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    while (nextScripted < script.size() && script[nextScripted].ms <= elapsed) {
      const std::string& command = script[nextScripted++].command;
      Report(bridge.Run(command), command);
    }
    std::vector<pollfd> fds = bridge.PollSet();
    if (stdinOpen) fds.push_back({STDIN_FILENO, POLLIN, 0});
    int wait = 50;
    if (nextScripted < script.size()) wait = int(std::clamp(script[nextScripted].ms - elapsed, 0L, 50L));
    const int ready = ::poll(fds.data(), fds.size(), wait);
    // At most 50 ms after an emulated device left or came back, its kernel
    // devices follow (a restart keeps the device out for hundreds of ms).
    (void)bridge.Follow();
    if (ready <= 0) continue;
    bridge.PumpAll();
    if (stdinOpen && (fds.back().revents & (POLLIN | POLLHUP))) {
      char buffer[256];
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) {
        stdinOpen = false;
      } else {
        pending.append(buffer, size_t(n));
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
          const std::string command = pending.substr(0, eol);
          pending.erase(0, eol + 1);
          if (!command.empty()) Report(bridge.Run(command), command);
        }
      }
    }
  }
  return 0;
}
