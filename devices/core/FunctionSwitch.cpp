#include "devices/core/FunctionSwitch.h"

namespace devices {

FunctionTabs FunctionTabsFor(int type, int kind) {
  switch (type) {
    case 2:
    case 6:
      return {0, 1};
    case 3:
    case 8:
      return {1, -1};
    case 4:
      // The fourth tab exists only on a page driven by cable.
      if (kind == 1 || kind == 2) return {3, -1};
      return {0, 2};
    case 7:
      return {0, 2};
    case 5:
      return {2, -1};
    case 9:
      return {4, -1};
    default:
      return {0, 0};
  }
}

}  // namespace devices
