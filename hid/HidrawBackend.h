#pragma once
// Real devices through the kernel's hidraw interface and libudev.
//
// Listing: libudev enumerates the "hidraw" nodes; the vendor and product id,
// HID_PHYS and the interface number come from the udev properties of the
// node's HID parent (the USB interface's bInterfaceNumber, or the "/input<N>"
// end of HID_PHYS for devices without a USB parent, such as uhid). The
// release number is the USB device's bcdDevice; a node made from an emulated
// device (HID_PHYS "vx27-emu-...", see hid/EmulatedNode.h) has no USB parent
// and carries it in HID_UNIQ instead. The report
// descriptor is parsed into top-level collections and each collection becomes
// one path, "/dev/hidrawN#vid_..&pid_..&mi_..[&col..]". The listing reads the
// descriptor from sysfs, so that listing never opens (and wakes) a device; an
// interface whose descriptor is refused is traced once and left out.
//
// Change count: a libudev monitor on the "hidraw" subsystem (udev events
// where udevd runs, kernel events elsewhere) counts arrivals and removals, so
// discovery can skip listings while nothing happens.
//
// Opening: the node is opened O_CLOEXEC | O_NONBLOCK, read/write as the open
// mode asks; its descriptor comes from HIDIOCGRDESCSIZE/HIDIOCGRDESC. Every
// node is always "overlapped" (all waits poll). hidraw has no sharing modes:
// an exclusive open is not enforced and every opener of a node receives every
// input report. A path opens one collection; its reads keep only the reports
// whose id belongs to it, since one node carries every collection of its
// interface.
//
// Transfers poll the node together with an eventfd that the connection's
// close, the interface's cancel event and the waiting worker's stop event
// signal. Writes poll for POLLOUT and give TimedOut when the time runs out;
// the kernel reports a hidraw node always writable and a USB write may still
// block inside write() up to the kernel's own limit (5 s). Feature reports go
// through HIDIOCSFEATURE/HIDIOCGFEATURE.
//
// Presence: the node still exists and still carries the ids and the HID_PHYS
// it carried when listed, on the same HID device (hidraw numbers are reused by
// later devices, and a device plugged again is a new HID device).

#include <memory>
#include <mutex>
#include <string>

#include "hid/HidBackend.h"

namespace hid {

class HidrawBackend : public HidBackend {
 public:
  HidrawBackend();
  ~HidrawBackend() override;
  HidrawBackend(const HidrawBackend&) = delete;
  HidrawBackend& operator=(const HidrawBackend&) = delete;

  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<HidConnection> Open(std::string_view path, const OpenMode& mode) override;
  bool IsPresent(std::string_view path) override;
  bool Owns(std::string_view path) const override;
  // From the last listing: the node's HID_PHYS marks it as made from an
  // emulated device.
  bool IsEmulated(std::string_view path) override;
  std::optional<uint64_t> ChangeCount() override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The listing's paths for one node: one per top-level collection of its
// report descriptor. nullopt, traced, when the parser refuses the descriptor:
// that interface is left out and the listing goes on.
std::optional<std::vector<std::string>> NodeCollectionPaths(std::string_view node, uint16_t vendor,
                                                            uint16_t product,
                                                            std::optional<uint16_t> interfaceNumber,
                                                            std::span<const uint8_t> descriptor);

// A connection over an already opened hidraw-like file descriptor (taken
// over, closed with the connection). Open uses it; tests drive it over a
// pipe or socket to check waits, cancels and time-outs without a device.
std::shared_ptr<HidConnection> MakeHidrawConnection(int fd, HidAttributes attributes,
                                                    TopLevelCollection collection,
                                                    bool usesReportIds, const OpenMode& mode);

}  // namespace hid
