#pragma once
// The macro side of a key map, the same for every model that carries one:
// which macros the keys use (the numbering the key map write gives them),
// keys whose macro is gone, and the event image of the used macros.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "devices/core/MacroFiles.h"
#include "profiles/ProfileRecords.h"

namespace devices {

// Distinct macro numbers below `macroCount` used by the keys, in order of
// first use by key index, counting only the keys `written` accepts (the keys
// the key map write carries).
std::vector<int> CollectKeyMacros(std::span<const profiles::KeyAssignment> keys, int macroCount,
                                  const std::function<bool(size_t key)>& written);

// Keys assigned to a macro number not below `macroCount` get their default
// back. True when a key changed.
bool RepairKeyMacros(std::span<profiles::KeyAssignment> keys, int macroCount);

struct MacroImage {
  // 0 with an image to write, or nothing to write (empty image); the number
  // of events too many when it does not fit; kNotWritten when it could not
  // be built.
  int result = 0;
  std::vector<uint8_t> image;
};
// The event image of the listed macros of the library in `folder` (an entry
// out of range or without its ".mac" file counts as an empty macro), checked
// against the device's macro memory.
MacroImage BuildMacroImage(const std::filesystem::path& folder, std::span<const MacroIndexEntry> index,
                           std::span<const int> macros, uint32_t memoryBytes);

}  // namespace devices
