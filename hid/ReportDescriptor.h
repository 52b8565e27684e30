#pragma once
// HID report descriptor parser. It turns the descriptor of one USB interface
// into its top-level collections, each with the button and value capabilities
// of its input, output and feature reports and the byte length of each report
// type (report id byte included, as the program's report buffers expect).
// Malformed descriptors are rejected; the parser never reads past the buffer
// and bounds everything it allocates by the descriptor's own size.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hid {

enum class ReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };
inline constexpr int kReportTypeCount = 3;

// One capability: a group of usages of one main item. Buttons are 1-bit
// variable fields and every array field; everything else is a value.
struct ReportField {
  ReportType type = ReportType::Input;
  uint8_t reportId = 0;  // 0 when the descriptor declares no report ids
  uint16_t usagePage = 0;
  bool isButton = false;
  bool isArray = false;
  bool isRange = false;
  uint16_t usageMin = 0;  // equal to usageMax for a single usage
  uint16_t usageMax = 0;
  uint32_t bitOffset = 0;  // of the first element, counted from the byte after the report id
  uint16_t bitSize = 0;    // size of one element
  uint16_t reportCount = 0;  // elements (array slots for an array)
  uint32_t arrayIndexBase = 0;  // arrays: index of usageMin among the item's usages
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  int32_t physicalMin = 0;
  int32_t physicalMax = 0;
  uint16_t linkCollection = 0;  // 0 = the top-level collection itself
};

struct TopLevelCollection {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  std::vector<ReportField> fields;   // descriptor order, all report types
  std::vector<uint8_t> reportIds;    // every report id used inside, ascending
  uint16_t reportByteLength[kReportTypeCount] = {0, 0, 0};  // 0: no report of that type

  uint16_t ReportByteLength(ReportType type) const {
    return reportByteLength[static_cast<int>(type)];
  }
  // True when a report with this id belongs here (any id when none is declared).
  bool HasReportId(uint8_t id) const;
};

struct ParsedDescriptor {
  bool usesReportIds = false;
  std::vector<TopLevelCollection> collections;
};

// Limits that keep a hostile descriptor from costing more than its size.
inline constexpr size_t kMaxDescriptorBytes = 64 * 1024;
inline constexpr int kMaxCollectionDepth = 32;
inline constexpr int kMaxPushDepth = 16;
inline constexpr size_t kMaxLocalUsages = 1024;
inline constexpr uint32_t kMaxReportBits = 8u * 8192u;

// Parses `bytes`; nullopt (and a reason in `error` when given) for malformed input.
std::optional<ParsedDescriptor> ParseReportDescriptor(std::span<const uint8_t> bytes,
                                                      std::string* error = nullptr);

// Reads `bitSize` bits (at most 32) starting `bitOffset` bits after the report id
// byte of `report`; false when the report is too short.
bool ExtractBits(std::span<const uint8_t> report, uint32_t bitOffset, uint16_t bitSize,
                 uint32_t* value);

}  // namespace hid
