#include "protocol/CommandReport.h"

#include "protocol/Results.h"

namespace protocol {

uint16_t ReportChecksum(std::span<const uint8_t, report::kSize> r) {
  uint32_t sum = 0;
  for (size_t i = report::kCommand; i < report::kSize; ++i) sum += r[i];
  return uint16_t(sum);
}

void SealReport(std::span<uint8_t, report::kSize> r) {
  PutLe16(r, report::kChecksum, ReportChecksum(r));
}

bool ChecksumValid(std::span<const uint8_t, report::kSize> r) {
  return GetLe16(r, report::kChecksum) == ReportChecksum(r);
}

Report MakeRequest(uint8_t command, uint8_t length, uint16_t address) {
  Report r{};
  r[report::kId] = report::kReportId;
  r[report::kCommand] = command;
  SetChunk(r, length, address);
  return r;
}

void SetChunk(std::span<uint8_t, report::kSize> r, uint8_t length, uint16_t address) {
  r[report::kLength] = length;
  PutLe16(r, report::kAddress, address);
  r[report::kStatus] = 0;
}

int StatusResult(std::span<const uint8_t, report::kSize> reply) {
  switch (reply[report::kStatus]) {
    case report::kStatusFailed: return kStatusFailed;
    case report::kStatusRejected: return kStatusRejected;
    default: return kOk;
  }
}

}  // namespace protocol
