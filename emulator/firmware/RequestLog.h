#pragma once
// The emulator's request log file (VX27_EMULATOR_LOG=<file>): one line per
// request a firmware receives, "<device> <64 hex bytes>", appended and
// flushed as it happens, so a run that ends abruptly still has every line.

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "emulator/IFirmware.h"
#include "emulator/firmware/CommandFirmware.h"

namespace emulator::firmware {

inline constexpr const char* kEmulatorLogEnv = "VX27_EMULATOR_LOG";

// The open log file, shared by every firmware that writes to it.
class RequestLogFile {
 public:
  // Null when the file cannot be opened for appending.
  static std::shared_ptr<RequestLogFile> Open(const std::string& path);
  ~RequestLogFile();
  RequestLogFile(const RequestLogFile&) = delete;
  RequestLogFile& operator=(const RequestLogFile&) = delete;

  // The report's first 64 bytes (zero-padded) as lower-case hex.
  void Append(const std::string& device, std::span<const uint8_t> report);

 private:
  explicit RequestLogFile(std::FILE* file) : file_(file) {}
  std::mutex lock_;  // one line at a time
  std::FILE* file_;
};

// Writes each output report to the log, then hands it to the firmware it wraps.
class LoggingFirmware : public IFirmware {
 public:
  LoggingFirmware(std::string device, std::shared_ptr<IFirmware> inner, std::shared_ptr<RequestLogFile> log)
      : device_(std::move(device)), inner_(std::move(inner)), log_(std::move(log)) {}
  WriteOutcome OnOutputReport(std::span<const uint8_t> report, bool viaControl, ReportSink& input) override;
  void OnPlugged(bool plugged) override { inner_->OnPlugged(plugged); }

 private:
  std::string device_;
  std::shared_ptr<IFirmware> inner_;
  std::shared_ptr<RequestLogFile> log_;
};

// One request a firmware answered, as `vx27ctl emu-log` prints it:
// "request <command, 2 hex> <length> <address, 4 hex> <reply status, 2 hex,
// or - without a reply> <data bytes of the length as hex, or ->".
std::string FormatRequest(const LoggedRequest& request);

// The requests of one program run are appended to
// "<state folder>/<device>.requests" (VX27_EMULATOR_STATE), one
// FormatRequest line each, when the run ends.
inline constexpr const char* kRequestsSuffix = ".requests";

}  // namespace emulator::firmware
