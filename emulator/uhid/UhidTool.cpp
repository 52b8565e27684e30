// vx27-uhid: the emulated devices as kernel HID devices. Every USB interface
// of every device on the emulate list becomes a /dev/uhid device with the
// interface's report descriptor, ids and "/input<N>" phys, so the hidraw
// backend meets it exactly as it meets a plugged-in device. Output reports
// written to the hidraw nodes go to the interface's firmware model (when the
// firmware models are built in); its input reports come back on the nodes.
//
//   vx27-uhid <emulate list> [--seconds N]
//
// Runs until the time is up or SIGINT/SIGTERM; leaving unplugs every device.

#include <poll.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "emulator/uhid/UhidDevice.h"
#ifdef VX27_HAVE_FIRMWARE
#include "emulator/firmware/Firmware.h"
#endif

namespace {

std::atomic<bool> gQuit{false};
void OnSignal(int) { gQuit = true; }

int Usage() {
  std::fprintf(stderr, "usage: vx27-uhid <emulate list> [--seconds N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string list = argv[1];
  long seconds = -1;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--seconds" && i + 1 < argc) {
      seconds = std::strtol(argv[++i], nullptr, 10);
    } else {
      return Usage();
    }
  }

  emulator::Emulator emu;
  std::string error;
  if (!emulator::AddEmulatedDevices(emu, list, &error)) {
    std::fprintf(stderr, "vx27-uhid: %s\n", error.c_str());
    return 2;
  }
#ifdef VX27_HAVE_FIRMWARE
  emulator::firmware::AttachFirmwareToAll(emu);
#endif

  std::vector<std::unique_ptr<emulator::uhid::UhidDevice>> nodes;
  for (const auto& device : emu.Devices()) {
    for (const auto& iface : device->Interfaces()) {
      emulator::uhid::UhidSpec spec;
      spec.name = "VX27 emulated " + device->Name();
      spec.phys = "vx27-emu-" + std::to_string(device->Id()) + "/input" + std::to_string(iface->Number());
      spec.uniq = std::to_string(device->Id());
      spec.vendor = device->VendorId();
      spec.product = device->ProductId();
      spec.version = device->Version();
      spec.descriptor.assign(iface->Descriptor().begin(), iface->Descriptor().end());
      auto node = emulator::uhid::UhidDevice::Create(
          spec, [iface](std::span<const uint8_t> report) { (void)iface->DeliverOutput(report, false); });
      if (!node) {
        std::fprintf(stderr, "vx27-uhid: cannot create %s interface %u\n", device->Name().c_str(),
                     iface->Number());
        return 1;
      }
      emulator::uhid::UhidDevice* raw = node.get();
      iface->SetInputTap([raw](std::span<const uint8_t> report) { raw->SendInput(report); });
      nodes.push_back(std::move(node));
    }
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("vx27-uhid: %zu interfaces of %zu devices\n", nodes.size(), emu.Devices().size());
  std::fflush(stdout);

  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds < 0 ? 0 : seconds);
  std::vector<pollfd> fds;
  for (const auto& n : nodes) fds.push_back({n->Fd(), POLLIN, 0});
  while (!gQuit && (seconds < 0 || std::chrono::steady_clock::now() < until)) {
    if (::poll(fds.data(), fds.size(), 50) <= 0) continue;
    for (size_t i = 0; i < fds.size(); ++i)
      if (fds[i].revents & POLLIN) nodes[i]->Pump();
  }
  // Unplug: stop the taps before the nodes go.
  for (const auto& device : emu.Devices())
    for (const auto& iface : device->Interfaces()) iface->SetInputTap(nullptr);
  nodes.clear();
  return 0;
}
