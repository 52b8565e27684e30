#pragma once
// Which function tab and key tab a page shows for a function-switch type.

#include <cstdint>

namespace devices {

struct FunctionTabs {
  int functionTab = 0;
  int keyTab = -1;  // -1: the key tab stays as it is
};

// `kind` is the device's current kind (1 keyboard or 2 mouse by cable; the
// receiver kinds, the pad and the headset otherwise).
FunctionTabs FunctionTabsFor(int type, int kind);

}  // namespace devices
