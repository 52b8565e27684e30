#pragma once
// The "Events" array of a macro (.mac) or recoil (.Shoot) file as packed
// device events. "Delay" may be a decimal string or a number.

#include <optional>
#include <string>
#include <vector>

#include "protocol/EventImage.h"

namespace cli {

std::optional<std::vector<protocol::PackedMacroEvent>> LoadEventFile(const std::string& path);

}  // namespace cli
