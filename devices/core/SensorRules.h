#pragma once
// How a mouse's sensor turns a DPI slider step into the DPI it runs at, and
// back. The sensor is named by information block bytes 9-10; bytes 11 (step),
// 12-13 (slider bound) and 14-15 (base) parameterise it. One table row per
// known sensor holds both directions and the slider range, so the forward and
// the inverse rule are kept side by side.

#include <cstdint>
#include <optional>

#include "protocol/DeviceRecords.h"

namespace devices {

inline constexpr uint16_t kSensorA = 0x3104;
inline constexpr uint16_t kSensorB = 0x3325;
inline constexpr uint16_t kSensorC = 0x4417;

// What a "DPI_edit_" box accepts.
inline constexpr int kDpiEditMin = 0;
inline constexpr int kDpiEditMax = 10000;

struct SensorParams {
  uint16_t id = 0;
  int step = 0;
  int bound = 0;
  int base = 0;
  static SensorParams FromInfoBlock(const protocol::DeviceInfoBlock& info);
};

struct StepRange {
  int low = 0;
  int high = 0;
};

// The slider range the sensor fixes, or nothing when the page layout's range
// holds (SensorB and unknown sensors).
std::optional<StepRange> SensorStepRange(const SensorParams& sensor);
// The sensor's range, else `layout`.
StepRange StepRangeFor(const SensorParams& sensor, StepRange layout);

// The DPI of slider step `step`.
int DpiFromStep(const SensorParams& sensor, int step);
// The slider step for a typed DPI value (below 50 counts as 50), kept inside
// `range`. A sensor with a zero step size gives the range's low end.
int StepFromDpi(const SensorParams& sensor, int dpi, StepRange range);

}  // namespace devices
