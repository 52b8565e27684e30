#include "emulator/firmware/RequestLog.h"

#include <algorithm>
#include <array>

namespace emulator::firmware {

std::shared_ptr<RequestLogFile> RequestLogFile::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) return nullptr;
  return std::shared_ptr<RequestLogFile>(new RequestLogFile(file));
}

RequestLogFile::~RequestLogFile() { std::fclose(file_); }

void RequestLogFile::Append(const std::string& device, std::span<const uint8_t> report) {
  constexpr size_t kBytes = 64;
  std::array<char, kBytes * 2 + 1> hex{};
  for (size_t i = 0; i < kBytes; ++i)
    std::snprintf(&hex[i * 2], 3, "%02x", i < report.size() ? report[i] : 0);
  std::lock_guard guard(lock_);
  std::fprintf(file_, "%s %s\n", device.c_str(), hex.data());
  std::fflush(file_);
}

WriteOutcome LoggingFirmware::OnOutputReport(std::span<const uint8_t> report, bool viaControl,
                                             ReportSink& input) {
  log_->Append(device_, report);
  return inner_->OnOutputReport(report, viaControl, input);
}

std::string FormatRequest(const LoggedRequest& r) {
  char head[48];
  char status[4] = "-";
  if (r.replied) std::snprintf(status, sizeof status, "%02x", r.Status());
  const size_t length = std::min<size_t>(r.Length(), wire::kDataSize);
  std::snprintf(head, sizeof head, "request %02x %zu %04x %s ", r.Command(), size_t(r.Length()), r.Address(), status);
  std::string line = head;
  if (length == 0) return line + "-";
  for (size_t i = 0; i < length; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", r.request[wire::kData + i]);
    line += hex;
  }
  return line;
}

}  // namespace emulator::firmware
