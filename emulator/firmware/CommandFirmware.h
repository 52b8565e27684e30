#pragma once
// The firmware behind a device's command interface: it checks every request
// report (report id 4, 64 bytes, checksum over bytes 3..63), answers it from
// and into the device's memory exactly as the device would, and keeps a log
// of every request. Behind a receiver it answers for the wireless device while
// that is on, and with echo 0xAA while it is off; only the receiver answers
// the link query (0xAA), with 0xFF in reply byte 8 while the link is up.
//
// Strict: a request with a bad checksum gets status 0xFE; an unknown command,
// a length above 56 or a range outside the addressed memory gets status 0xFF,
// is logged with the reason and traced.
//
// Faults can be injected per command (or for every command), once, a number
// of times or always: no reply, a wrong echo, a failure status (0xFF/0xFE),
// a write that fails, a write that completes late.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <deque>
#include <string>
#include <vector>

#include "emulator/IFirmware.h"
#include "emulator/firmware/DeviceFormats.h"
#include "emulator/firmware/DeviceMemory.h"
#include "emulator/firmware/UpdateMode.h"
#include "protocol/CommandReport.h"

namespace emulator::firmware {

enum class FaultKind {
  NoReply,       // the request is seen, nothing answers
  WrongEcho,     // the reply echoes `value` (or the next command id) instead
  Status,        // the reply carries status `value` (0xFF or 0xFE)
  WriteFailure,  // the write of the request fails at once; the firmware never sees it
  Delay,         // the write completes `delay` late: a write time-out when that is
                 // longer than the host's time-out (the request is still answered)
};

struct Fault {
  FaultKind kind = FaultKind::NoReply;
  int times = -1;          // requests it affects; -1: every one
  uint8_t command = 0;     // only requests with this command id; 0: any
  uint8_t value = 0;
  std::chrono::milliseconds delay{0};
  int skip = 0;            // matching requests to let through first
};

// One request as the firmware received it.
struct LoggedRequest {
  protocol::Report request{};
  bool checksumOk = false;
  bool replied = false;
  protocol::Report reply{};
  std::string note;  // why a request failed, or which fault applied
  uint8_t Command() const { return request[wire::kCommand]; }
  uint8_t Length() const { return request[wire::kLength]; }
  uint16_t Address() const { return wire::Address(request); }
  uint8_t Status() const { return reply[wire::kStatus]; }
};

class CommandFirmware : public IFirmware {
 public:
  // `linkUp` is given for a receiver: it tells whether the wireless device
  // behind it answers.
  CommandFirmware(DeviceMemory memory, std::function<bool()> linkUp = {});

  WriteOutcome OnOutputReport(std::span<const uint8_t> report, bool viaControl,
                              ReportSink& input) override;
  void OnPlugged(bool plugged) override;

  // Whether the device is plugged in, as this firmware last saw it: a firmware
  // attached after the plug never saw it.
  bool Powered() const;

  bool IsReceiver() const { return bool(linkUp_); }

  // Called (under the firmware's lock: it must only hand the work on) when
  // an answered restart asks the device to come back with a new version,
  // or with its old one (nullopt).
  void SetRestartHandler(std::function<void(std::optional<uint16_t>)> handler);
  bool InUpdateMode() const;

  void InjectFault(const Fault& fault);
  void ClearFaults();

  DeviceMemory Memory() const;
  void EditMemory(const std::function<void(DeviceMemory&)>& edit);

  // The log keeps the newest kLogDepth requests, oldest first.
  static constexpr size_t kLogDepth = 8192;
  std::vector<LoggedRequest> Log() const;
  void ClearLog();
  // Requests with this command id logged so far.
  size_t CountRequests(uint8_t command) const;
  // The last report sent outside the transfer queue (headset light reports).
  std::vector<uint8_t> LastControlReport() const;
  // Every such report, oldest first (the newest kLogDepth).
  std::vector<std::vector<uint8_t>> ControlReports() const;
  // The headset's light colours as its light reports set them: per target
  // (0 for 0x22, 1 for 0x44), per light 0..12, the three components.
  using HeadsetColours = std::array<std::array<std::array<uint8_t, 3>, 13>, 2>;
  HeadsetColours HeadsetLightColours() const;

 private:
  static void TakeHeadsetLightReport(std::span<const uint8_t> bytes, HeadsetColours& colours);
  // Applies the first matching fault to this request and counts it down.
  std::optional<Fault> TakeFault(uint8_t command);
  // Fills in `reply` (status and data) for a checked request; returns a note
  // when the request failed.
  std::string Answer(const protocol::Report& request, protocol::Report& reply);
  std::string AnswerRead(std::span<const uint8_t> space, size_t address, size_t length,
                         protocol::Report& reply);
  std::string AnswerWrite(std::span<uint8_t> space, size_t address, size_t length,
                          const protocol::Report& request, protocol::Report& reply);
  std::string AnswerImage(std::vector<uint8_t>& image, std::optional<EventEntries>& parsed,
                          size_t capacity, size_t address, size_t length,
                          const protocol::Report& request, protocol::Report& reply);

  std::function<bool()> linkUp_;
  mutable std::mutex lock_;  // guards everything below
  DeviceMemory memory_;
  std::vector<Fault> faults_;
  bool powered_ = false;
  // A ring: once full, each request overwrites the oldest in place, so the
  // cost of logging stays the same however long the firmware runs.
  std::vector<LoggedRequest> log_;
  size_t logOldest_ = 0;  // index of the oldest entry once the ring is full
  std::vector<uint8_t> lastControl_;
  std::deque<std::vector<uint8_t>> controlReports_;
  HeadsetColours headsetColours_{};
  UpdateMode update_;
  std::function<void(std::optional<uint16_t>)> restartHandler_;
};

}  // namespace emulator::firmware
