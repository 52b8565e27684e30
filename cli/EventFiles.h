#pragma once
// The "Events" array of a macro (.mac) or recoil (.Shoot) file as packed
// device events: the device code's own reader.

#include <optional>
#include <string>
#include <vector>

#include "devices/core/MacroFiles.h"

namespace cli {

inline std::optional<std::vector<protocol::PackedMacroEvent>> LoadEventFile(const std::string& path) {
  return devices::LoadEventFile(path);
}

}  // namespace cli
