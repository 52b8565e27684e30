#include "devices/core/SensorRules.h"

#include <algorithm>
#include <array>

namespace devices {
namespace {

// Integer division as the firmware tables were written: truncation towards
// zero, and nothing for a zero divisor.
int Div(int a, int b) { return b == 0 ? 0 : a / b; }

struct SensorRule {
  uint16_t id;
  std::optional<StepRange> (*range)(const SensorParams&);
  int (*forward)(const SensorParams&, int step);
  int (*inverse)(const SensorParams&, int dpi);
};

// SensorA: 200 and 400 for the first two steps, then 50 DPI a step up to
// 2900, then 100 a step, never above 8000. The inverse keeps the 50-step rule
// up to 2999 so a typed value in the upper half of the fine part is not
// pushed into the coarse part.
constexpr int kSensorAMaxDpi = 8000;
std::optional<StepRange> RangeA(const SensorParams& s) { return StepRange{0, s.bound - 10}; }
int ForwardA(const SensorParams&, int s) {
  if (s <= 0) return 200;
  if (s == 1) return 400;
  if (s <= 52) return 50 * s + 300;
  return std::min(100 * s - 2400, kSensorAMaxDpi);
}
int InverseA(const SensorParams&, int v) {
  if (v <= 350) return 0;
  if (v < 450) return 1;
  if (v <= 2999) return (v - 400) / 50 + 2;
  return (v - 3000) / 100 + 54;
}

// SensorB: `step` DPI a step from `base` up to step 48, then 200 a step. The
// inverse switches where the forward rule does, at 48 × step + base.
constexpr int kSensorBKnee = 48;
std::optional<StepRange> RangeLayout(const SensorParams&) { return std::nullopt; }
int ForwardB(const SensorParams& p, int s) {
  if (s > kSensorBKnee) return kSensorBKnee * p.step + 200 * s + p.base - 200 * kSensorBKnee;
  return p.step * s + p.base;
}
int InverseB(const SensorParams& p, int v) {
  const int knee = kSensorBKnee * p.step + p.base;
  if (v > knee) return (v - knee) / 200 + kSensorBKnee;
  return Div(v - p.base, p.step);
}

// SensorC: 50 DPI a step from 50 up to step 99, then 100 a step.
std::optional<StepRange> RangeC(const SensorParams&) { return StepRange{0, 149}; }
int ForwardC(const SensorParams&, int s) { return s >= 100 ? 100 * s - 4900 : 50 * s + 50; }
int InverseC(const SensorParams&, int v) {
  if (v > 5000) return (v / 2 - 50) / 50 + 50;
  return (v - 50) / 50;
}

// Any other sensor: linear in its step and base.
int ForwardLinear(const SensorParams& p, int s) { return p.step * s + p.base; }
int InverseLinear(const SensorParams& p, int v) { return Div(v - p.base, p.step); }

constexpr std::array<SensorRule, 3> kRules{{
    {kSensorA, RangeA, ForwardA, InverseA},
    {kSensorB, RangeLayout, ForwardB, InverseB},
    {kSensorC, RangeC, ForwardC, InverseC},
}};
constexpr SensorRule kLinear{0, RangeLayout, ForwardLinear, InverseLinear};

const SensorRule& RuleFor(uint16_t id) {
  for (const SensorRule& r : kRules)
    if (r.id == id) return r;
  return kLinear;
}

}  // namespace

SensorParams SensorParams::FromInfoBlock(const protocol::DeviceInfoBlock& info) {
  return {info.SensorId(), info.DpiStep(), info.DpiBound(), info.DpiBase()};
}

std::optional<StepRange> SensorStepRange(const SensorParams& sensor) {
  return RuleFor(sensor.id).range(sensor);
}

StepRange StepRangeFor(const SensorParams& sensor, StepRange layout) {
  return SensorStepRange(sensor).value_or(layout);
}

int DpiFromStep(const SensorParams& sensor, int step) { return RuleFor(sensor.id).forward(sensor, step); }

int StepFromDpi(const SensorParams& sensor, int dpi, StepRange range) {
  const int step = RuleFor(sensor.id).inverse(sensor, std::max(dpi, 50));
  return std::clamp(step, range.low, std::max(range.low, range.high));
}

}  // namespace devices
