#pragma once
// The seam between the program and a HID stack. A backend lists the present
// interface collections as path strings in the form
//   <node>#vid_320f&pid_226e&mi_01&col02
// ("&mi_" and "&col" as hexadecimal numbers; "&col" is left out when the
// interface has a single top-level collection), opens one collection, and
// tells whether a path is still present. Two implementations exist: the
// kernel's hidraw interface with libudev (real devices) and the device
// emulator; the seam leaves room for others (hidapi on other systems).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hid/CancelEvent.h"
#include "hid/ReportDescriptor.h"

namespace hid {

struct HidAttributes {
  uint16_t VendorID = 0;
  uint16_t ProductID = 0;
  uint16_t VersionNumber = 0;
};

struct OpenMode {
  bool read = true;
  bool write = true;
  bool overlapped = true;
  bool exclusive = false;
};

// A time-out in milliseconds; kInfinite waits until data, cancel or close.
inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;

enum class IoStatus { Completed, TimedOut, Cancelled, Failed };
struct IoResult {
  IoStatus status = IoStatus::Failed;
  size_t transferred = 0;
};

// One opened top-level collection. Reads deliver whole input reports of this
// collection only, report id first (0 when the interface declares no ids),
// zero-padded to the collection's input report length. Every call may run
// while another thread calls Interrupt.
class HidConnection {
 public:
  virtual ~HidConnection() = default;

  virtual HidAttributes Attributes() const = 0;
  virtual const TopLevelCollection& Collection() const = 0;

  // One input report into `buffer` (at least the input report length). Ends
  // early with Cancelled when `cancel` asks for it, with Failed after
  // Interrupt.
  virtual IoResult Read(std::span<uint8_t> buffer, uint32_t timeoutMs,
                        const Cancellation& cancel) = 0;
  // One output report, report id first, within `timeoutMs` (TimedOut after).
  virtual IoResult Write(std::span<const uint8_t> report, uint32_t timeoutMs,
                         const Cancellation& cancel) = 0;
  // Drops the input reports queued so far without waiting.
  virtual bool FlushQueue() = 0;
  // Sends an output report outside the transfer queue (headset light reports).
  virtual bool SetOutputReport(std::span<const uint8_t> report) = 0;
  // Feature reports, report id first. Get fills `report` (byte 0 holds the id
  // asked for) and gives the length received, -1 on failure.
  virtual bool SetFeature(std::span<const uint8_t> report) = 0;
  virtual int GetFeature(std::span<uint8_t> report) = 0;
  // From any thread: waiting and later transfers end at once with Failed.
  virtual void Interrupt() = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // Paths of every present collection; false when the listing failed.
  virtual bool Enumerate(std::vector<std::string>& paths) = 0;
  // Null when the path cannot be opened (absent, refused, malformed).
  virtual std::shared_ptr<HidConnection> Open(std::string_view path, const OpenMode& mode) = 0;
  // The removal probe: true while the path names a present collection.
  virtual bool IsPresent(std::string_view path) = 0;
  // True when this backend makes paths of this form.
  virtual bool Owns(std::string_view path) const = 0;
  // True when the path names an emulated device (one that speaks the
  // emulator's firmware update protocol): every path of the emulator's own
  // backends, and on the hidraw backend the kernel nodes made from emulated
  // devices (hid/EmulatedNode.h). False for every real device.
  virtual bool IsEmulated(std::string_view /*path*/) { return false; }
  // A count that moves whenever a collection may have arrived or left; a
  // listing while it stands still finds what the last one found. Cheap to
  // ask. nullopt when the backend cannot tell (then every pass lists).
  virtual std::optional<uint64_t> ChangeCount() { return std::nullopt; }
};

}  // namespace hid
