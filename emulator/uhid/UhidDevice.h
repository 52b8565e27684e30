#pragma once
// A HID device created in the kernel through /dev/uhid: the kernel gives it a
// real /dev/hidrawN node, so programs reach it exactly as they reach a
// plugged-in device. Output reports written to the node arrive here through
// the handler; input reports sent here appear on the node. Destroying the
// object unplugs the device.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace emulator::uhid {

struct UhidDesc {
  std::string name;  // shown as the device's name
  std::string phys;  // ends in "/input<N>" so the interface number can be found
  std::string uniq;
  // BUS_USB, as the real devices. The device has no USB parent, so the
  // hidraw backend finds no bInterfaceNumber or bcdDevice: the interface
  // number comes from the "/input<N>" end of phys, the version is 0.
  uint16_t bus = 0x03;
  uint32_t vendor = 0;
  uint32_t product = 0;
  uint32_t version = 0;
  std::vector<uint8_t> descriptor;
};

class UhidDevice {
 public:
  // An output report as written to the hidraw node, report id first.
  using OutputHandler = std::function<void(std::span<const uint8_t> report)>;

  // Null when /dev/uhid cannot be opened or the kernel refuses the device.
  static std::unique_ptr<UhidDevice> Create(const UhidDesc& desc, OutputHandler onOutput);
  ~UhidDevice();
  UhidDevice(const UhidDevice&) = delete;
  UhidDevice& operator=(const UhidDevice&) = delete;

  bool SendInput(std::span<const uint8_t> report);

  // The descriptor to poll for events; call Pump when it is readable.
  int Fd() const { return fd_; }
  // Handles every pending event without blocking.
  void Pump();

  // True while some process has the hidraw node open.
  bool OpenedByHost() const { return openCount_ > 0; }
  bool Started() const { return started_; }

 private:
  UhidDevice(int fd, OutputHandler onOutput) : fd_(fd), onOutput_(std::move(onOutput)) {}

  int fd_ = -1;
  OutputHandler onOutput_;
  int openCount_ = 0;
  bool started_ = false;
};

}  // namespace emulator::uhid
