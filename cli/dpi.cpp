// vx27ctl dpi <sensor> <step> <bound> <base> --step s | --typed v | --range
// The sensor rules the mouse page uses, for a sensor described as in the
// information block (id, step size, slider bound, base):
//   --step s   → dpi <v>
//   --typed v  → step <s>   (kept inside the sensor's slider range)
//   --range    → range <lo> <hi>, or "range layout" when the page layout sets it

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/SensorRules.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<sensor> <step> <bound> <base> --step s|--typed v|--range";
// What a layout-ranged slider allows when no page is there to say.
constexpr devices::StepRange kOpenRange{0, 0xFFFF};

int Run(const std::vector<std::string>& a) {
  auto usage = [] {
    std::fprintf(stderr, "usage: vx27ctl dpi %s\n", kUsage);
    return 2;
  };
  if (a.size() < 5) return usage();
  const auto id = ParseNumber(a[0], 0xFFFF);
  const auto step = ParseNumber(a[1], 0xFF);
  const auto bound = ParseNumber(a[2], 0xFFFF);
  const auto base = ParseNumber(a[3], 0xFFFF);
  if (!id || !step || !bound || !base) return usage();
  const devices::SensorParams sensor{uint16_t(*id), int(*step), int(*bound), int(*base)};
  if (a[4] == "--range" && a.size() == 5) {
    if (const auto r = devices::SensorStepRange(sensor)) {
      std::printf("range %d %d\n", r->low, r->high);
    } else {
      std::printf("range layout\n");
    }
    return 0;
  }
  if (a.size() != 6) return usage();
  if (a[4] == "--step") {
    const auto s = ParseNumber(a[5], 0xFFFF);
    if (!s) return usage();
    std::printf("dpi %d\n", devices::DpiFromStep(sensor, int(*s)));
    return 0;
  }
  if (a[4] == "--typed") {
    const auto v = ParseNumber(a[5], devices::kDpiEditMax);
    if (!v) return usage();
    const devices::StepRange range = devices::StepRangeFor(sensor, kOpenRange);
    std::printf("step %d\n", devices::StepFromDpi(sensor, int(*v), range));
    return 0;
  }
  return usage();
}

VX27_CLI_COMMAND(Command{"dpi", kUsage, "a sensor's DPI for a slider step, or the step for a typed DPI", Run});

}  // namespace
}  // namespace cli
