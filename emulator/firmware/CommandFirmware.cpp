#include "emulator/firmware/CommandFirmware.h"

#include <algorithm>
#include <cstdio>

#include "platform/Trace.h"

namespace emulator::firmware {
namespace {

namespace report = wire;  // offsets as the device reads them, not the host's
namespace cmd = protocol::cmd;

constexpr uint8_t kLinkUp = 0xFF;
constexpr size_t kInfoBlockBytes = 34;

std::string Hex(uint8_t v) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", v);
  return text;
}

}  // namespace

CommandFirmware::CommandFirmware(DeviceMemory memory, std::function<bool()> linkUp)
    : linkUp_(std::move(linkUp)), memory_(std::move(memory)), update_(UpdateCode(memory_.model), bool(linkUp_)) {}

void CommandFirmware::SetRestartHandler(std::function<void(std::optional<uint16_t>)> handler) {
  std::lock_guard guard(lock_);
  restartHandler_ = std::move(handler);
}

bool CommandFirmware::InUpdateMode() const {
  std::lock_guard guard(lock_);
  return update_.Active();
}

void CommandFirmware::InjectFault(const Fault& fault) {
  std::lock_guard guard(lock_);
  faults_.push_back(fault);
}

void CommandFirmware::ClearFaults() {
  std::lock_guard guard(lock_);
  faults_.clear();
}

DeviceMemory CommandFirmware::Memory() const {
  std::lock_guard guard(lock_);
  return memory_;
}

void CommandFirmware::EditMemory(const std::function<void(DeviceMemory&)>& edit) {
  std::lock_guard guard(lock_);
  edit(memory_);
}

void CommandFirmware::OnPlugged(bool plugged) {
  std::lock_guard guard(lock_);
  powered_ = plugged;
  // A device that loses power mid-update boots its old firmware.
  if (!plugged) update_.Reset();
}

bool CommandFirmware::Powered() const {
  std::lock_guard guard(lock_);
  return powered_;
}

std::vector<LoggedRequest> CommandFirmware::Log() const {
  std::lock_guard guard(lock_);
  std::vector<LoggedRequest> ordered;
  ordered.reserve(log_.size());
  ordered.insert(ordered.end(), log_.begin() + long(logOldest_), log_.end());
  ordered.insert(ordered.end(), log_.begin(), log_.begin() + long(logOldest_));
  return ordered;
}

void CommandFirmware::ClearLog() {
  std::lock_guard guard(lock_);
  log_.clear();
  logOldest_ = 0;
}

size_t CommandFirmware::CountRequests(uint8_t command) const {
  std::lock_guard guard(lock_);
  return size_t(std::count_if(log_.begin(), log_.end(),
                              [&](const LoggedRequest& r) { return r.Command() == command; }));
}

// A headset light report: 0xFF, target 0x22 or 0x44, group 0xAA..0xAF (0xAA,
// 0xAB, 0xAC: component 0, 1, 2 of lights 0..6; 0xAD, 0xAE, 0xAF: of lights
// 7..12), 0, then the values in light order from byte 4.
void CommandFirmware::TakeHeadsetLightReport(std::span<const uint8_t> bytes, HeadsetColours& colours) {
  if (bytes.size() != 17 || bytes[0] != 0xFF || bytes[3] != 0) return;
  const int target = bytes[1] == 0x22 ? 0 : bytes[1] == 0x44 ? 1 : -1;
  if (target < 0 || bytes[2] < 0xAA || bytes[2] > 0xAF) return;
  const int group = bytes[2] - 0xAA;
  const size_t component = size_t(group % 3);
  const size_t first = group < 3 ? 0 : 7, count = group < 3 ? 7 : 6;
  for (size_t i = 0; i < count; ++i) colours[size_t(target)][first + i][component] = bytes[4 + i];
}

std::vector<std::vector<uint8_t>> CommandFirmware::ControlReports() const {
  std::lock_guard guard(lock_);
  return {controlReports_.begin(), controlReports_.end()};
}

CommandFirmware::HeadsetColours CommandFirmware::HeadsetLightColours() const {
  std::lock_guard guard(lock_);
  return headsetColours_;
}

std::vector<uint8_t> CommandFirmware::LastControlReport() const {
  std::lock_guard guard(lock_);
  return lastControl_;
}

std::optional<Fault> CommandFirmware::TakeFault(uint8_t command) {
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->command != 0 && it->command != command) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    Fault f = *it;
    if (it->times > 0 && --it->times == 0) faults_.erase(it);
    return f;
  }
  return std::nullopt;
}

WriteOutcome CommandFirmware::OnOutputReport(std::span<const uint8_t> bytes, bool viaControl,
                                             ReportSink& input) {
  std::lock_guard guard(lock_);
  if (viaControl || bytes.size() != report::kSize || bytes[report::kId] != report::kReportId) {
    // Not a command request (the headset's light reports travel this way).
    lastControl_.assign(bytes.begin(), bytes.end());
    controlReports_.emplace_back(bytes.begin(), bytes.end());
    if (controlReports_.size() > kLogDepth) controlReports_.pop_front();
    TakeHeadsetLightReport(bytes, headsetColours_);
    return {};
  }

  LoggedRequest entry;
  std::copy(bytes.begin(), bytes.end(), entry.request.begin());
  const uint8_t command = entry.Command();
  const std::optional<Fault> fault = TakeFault(command);
  if (fault && fault->kind == FaultKind::WriteFailure) return {false, {}};

  entry.checksumOk = RequestChecksumOk(entry.request);
  protocol::Report& reply = entry.reply;
  reply[report::kId] = report::kReportId;
  reply[report::kCommand] = command;
  reply[report::kLength] = entry.request[report::kLength];
  wire::SetAddress(reply, entry.Address());

  const bool linked = !linkUp_ || linkUp_();
  if (linkUp_ && command == cmd::kQueryWirelessLink) {
    // The receiver answers this itself, wireless device or not.
    if (!entry.checksumOk) reply[report::kStatus] = report::kStatusRejected;
    else reply[report::kData] = linked ? kLinkUp : 0;
  } else if (!linked) {
    reply[report::kCommand] = report::kReceiverNoDevice;
    entry.note = "wireless device off";
  } else if (!entry.checksumOk) {
    reply[report::kStatus] = report::kStatusRejected;
    entry.note = "bad checksum";
  } else {
    entry.note = Answer(entry.request, reply);
  }

  WriteOutcome outcome;
  if (fault) {
    switch (fault->kind) {
      case FaultKind::NoReply: entry.note += " [fault: no reply]"; break;
      case FaultKind::WrongEcho:
        reply[report::kCommand] = fault->value ? fault->value : uint8_t(command + 1);
        entry.note += " [fault: wrong echo]";
        break;
      case FaultKind::Status:
        reply[report::kStatus] = fault->value;
        entry.note += " [fault: status]";
        break;
      case FaultKind::Delay:
        outcome.delay = fault->delay;
        entry.note += " [fault: delay]";
        break;
      case FaultKind::WriteFailure: break;
    }
  }
  SealReply(reply);
  entry.replied = !(fault && fault->kind == FaultKind::NoReply);
  if (entry.replied) input.QueueInput(reply);
  // The restart follows the reply, as the device's does.
  if (auto restart = update_.TakeRestart(); restart && restartHandler_) restartHandler_(*restart);
  if (log_.size() < kLogDepth) {
    log_.push_back(std::move(entry));
  } else {
    log_[logOldest_] = std::move(entry);
    logOldest_ = (logOldest_ + 1) % kLogDepth;
  }
  return outcome;
}

std::string CommandFirmware::Answer(const protocol::Report& request, protocol::Report& reply) {
  const uint8_t command = request[report::kCommand];
  const size_t length = request[report::kLength];
  const size_t address = wire::Address(request);
  DeviceMemory& m = memory_;
  if (update_.Active() || update_.IsUpdateCommand(command)) return update_.Answer(request, reply);
  if (length > report::kDataSize) {
    reply[report::kStatus] = report::kStatusFailed;
    return "length above 56";
  }
  switch (command) {
    case cmd::kBeginTransfer:
      m.transferOpen = true;
      return {};
    case cmd::kEndTransfer:
      if (m.transferOpen) ++m.transfers;
      m.transferOpen = false;
      return {};
    case cmd::kBeginHostLighting:
      m.hostLighting = true;
      return {};
    case cmd::kReadInfoBlock:
      return AnswerRead(m.info.raw, address, length, reply);
    case cmd::kWriteInfoBlock:
      if (address != 0 || length != kInfoBlockBytes) {
        reply[report::kStatus] = report::kStatusFailed;
        return "information block written in part";
      }
      return AnswerWrite(m.info.raw, address, length, request, reply);
    case cmd::kReadSettings:
      return AnswerRead(m.settings, address, length, reply);
    case cmd::kWriteSettings:
      return AnswerWrite(m.settings, address, length, request, reply);
    case cmd::kReadKeyMap:
      return AnswerRead(std::span(m.keyMap).first(m.KeyMapBytes()), address, length, reply);
    case cmd::kWriteKeyMap:
      return AnswerWrite(std::span(m.keyMap).first(m.KeyMapBytes()), address, length, request,
                         reply);
    case cmd::kReadKeyLightIndex:
      return AnswerRead(std::span(m.keyLightIndex).first(m.KeyMapBytes() / 3), address, length,
                        reply);
    case cmd::kReadKeyColours:
      return AnswerRead(m.colours, address, length, reply);
    case cmd::kWriteKeyColours:
      return AnswerWrite(m.colours, address, length, request, reply);
    case cmd::kLightFrame: {
      std::string note = AnswerWrite(m.lightFrame, address, length, request, reply);
      if (note.empty()) ++m.lightFrameChunks;
      return note;
    }
    case cmd::kWriteMacroImage:
      return AnswerImage(m.macroImage, m.macros, m.MacroCapacity(), address, length, request,
                         reply);
    case cmd::kWriteRecoilImage:
      return AnswerImage(m.recoilImage, m.recoil, kRecoilImageCapacity, address, length, request,
                         reply);
    case cmd::kReadStatusBlock:
      return AnswerRead(m.status, address, length, reply);
    default: {
      reply[report::kStatus] = report::kStatusFailed;
      const std::string note = "unknown command " + Hex(command);
      Trace("emulator firmware: " + note);
      return note;
    }
  }
}

std::string CommandFirmware::AnswerRead(std::span<const uint8_t> space, size_t address,
                                        size_t length, protocol::Report& reply) {
  if (address + length > space.size()) {
    reply[report::kStatus] = report::kStatusFailed;
    return "read outside the memory";
  }
  std::copy_n(space.begin() + address, length, reply.begin() + report::kData);
  return {};
}

std::string CommandFirmware::AnswerWrite(std::span<uint8_t> space, size_t address, size_t length,
                                         const protocol::Report& request,
                                         protocol::Report& reply) {
  if (address + length > space.size()) {
    reply[report::kStatus] = report::kStatusFailed;
    return "write outside the memory";
  }
  std::copy_n(request.begin() + report::kData, length, space.begin() + address);
  return {};
}

// An event image arrives in chunks from address 0 up; a chunk at address 0
// starts a new image, and the image is decoded once the bytes its header
// announces have all arrived.
std::string CommandFirmware::AnswerImage(std::vector<uint8_t>& image,
                                         std::optional<EventEntries>& parsed, size_t capacity,
                                         size_t address, size_t length,
                                         const protocol::Report& request,
                                         protocol::Report& reply) {
  if (address + length > capacity) {
    reply[report::kStatus] = report::kStatusFailed;
    return "image larger than the memory";
  }
  if (address == 0) {
    image.clear();
    parsed.reset();
  }
  if (address != image.size()) {
    reply[report::kStatus] = report::kStatusFailed;
    return "image chunk out of order";
  }
  image.insert(image.end(), request.begin() + report::kData,
               request.begin() + report::kData + long(length));
  if (const auto total = AnnouncedImageSize(image); total && image.size() >= *total) {
    parsed = DecodeEventImage(image);
    if (!parsed) {
      reply[report::kStatus] = report::kStatusFailed;
      return "malformed image";
    }
  }
  return {};
}

}  // namespace emulator::firmware
