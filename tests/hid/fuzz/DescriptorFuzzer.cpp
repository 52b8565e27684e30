// libFuzzer target for the report descriptor parser: every input must parse
// or be rejected, and a parsed one must keep its fields inside its reports.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "hid/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto parsed = hid::ParseReportDescriptor(std::span<const uint8_t>(data, size));
  if (!parsed) return 0;
  for (const hid::TopLevelCollection& c : parsed->collections) {
    for (const hid::ReportField& f : c.fields) {
      const uint32_t length = c.ReportByteLength(f.type);
      if (length == 0 ||
          uint64_t(f.bitOffset) + uint64_t(f.bitSize) * f.reportCount > uint64_t(length - 1) * 8)
        std::abort();
      std::vector<uint8_t> report(length, 0xA5);
      uint32_t v = 0;
      if (!hid::ExtractBits(report, f.bitOffset, f.bitSize, &v)) std::abort();
    }
  }
  return 0;
}
