#include "protocol/KeyMap.h"

#include <algorithm>

namespace protocol {

BuiltKeyMap BuildKeyMap(std::span<const uint8_t> deviceKeyMap, std::span<KeyMapAssignment> keys,
                        int macroCount) {
  BuiltKeyMap out;
  out.keyMap.assign(deviceKeyMap.begin(), deviceKeyMap.end());
  for (KeyMapAssignment& key : keys) {
    std::array<uint8_t, 3> bytes = key.bytes;
    key.usedDefault = false;
    if (IsMacroType(bytes[0])) {
      const int macro = bytes[1];
      if (macro < macroCount) {
        auto it = std::find(out.usedMacros.begin(), out.usedMacros.end(), macro);
        if (it == out.usedMacros.end()) it = out.usedMacros.insert(out.usedMacros.end(), macro);
        bytes[1] = uint8_t(it - out.usedMacros.begin());
      } else {
        bytes = key.defaultBytes;
        key.usedDefault = true;
      }
    }
    const size_t at = size_t(key.position) * 3;
    if (at + 3 > out.keyMap.size()) continue;
    std::copy(bytes.begin(), bytes.end(), out.keyMap.begin() + at);
  }
  return out;
}

}  // namespace protocol
