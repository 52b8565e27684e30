#pragma once
// One USB interface of an emulated device: its number, report descriptor and
// top-level collections, the firmware model attached to it, and the open
// connections (one per opened collection path). Output reports written to any
// collection go to the firmware; input reports queued by the firmware (or a
// test) reach every open collection that declares the report's id.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "emulator/IFirmware.h"
#include "hid/HidBackend.h"
#include "hid/ReportDescriptor.h"

namespace emulator {

class EmulatedConnection;

// An output report as the interface received it.
struct WrittenReport {
  std::vector<uint8_t> bytes;
  bool viaControl = false;
};

class VirtualInterface : public ReportSink, public std::enable_shared_from_this<VirtualInterface> {
 public:
  // The descriptor must parse; a device description with a broken one is a
  // programming error and aborts.
  VirtualInterface(uint8_t number, std::vector<uint8_t> descriptor);
  ~VirtualInterface() override;

  uint8_t Number() const { return number_; }
  std::span<const uint8_t> Descriptor() const { return descriptor_; }
  const hid::ParsedDescriptor& Parsed() const { return parsed_; }

  // The firmware that answers this interface's output reports (null: reports
  // are accepted and logged, nothing answers).
  void AttachFirmware(std::shared_ptr<IFirmware> firmware);
  std::shared_ptr<IFirmware> Firmware() const;

  void QueueInput(std::span<const uint8_t> report) override;

  // Also hands every queued input report to `tap` (null: none), for bridges
  // that carry the interface elsewhere, such as a kernel uhid device.
  using InputTap = std::function<void(std::span<const uint8_t> report)>;
  void SetInputTap(InputTap tap);

  // Output reports received so far (the oldest are dropped past 4096).
  std::vector<WrittenReport> TakeWritten();
  size_t OpenConnections() const;

  // Used by the emulator.
  std::shared_ptr<hid::HidConnection> OpenCollection(size_t index, const hid::HidAttributes& ids,
                                                     const hid::OpenMode& mode);
  void Disconnect();  // unplug: every open connection fails from now on
  WriteOutcome DeliverOutput(std::span<const uint8_t> report, bool viaControl);
  void NotifyPlugged(bool plugged);

 private:
  uint8_t number_;
  std::vector<uint8_t> descriptor_;
  hid::ParsedDescriptor parsed_;

  mutable std::mutex firmwareLock_;  // serialises firmware calls; guards firmware_
  std::shared_ptr<IFirmware> firmware_;

  mutable std::mutex tapLock_;  // guards tap_, held while it runs
  InputTap tap_;

  mutable std::mutex lock_;  // guards connections_ and written_
  std::vector<std::weak_ptr<EmulatedConnection>> connections_;
  std::deque<WrittenReport> written_;
};

}  // namespace emulator
