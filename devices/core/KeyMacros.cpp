#include "devices/core/KeyMacros.h"

#include <algorithm>

#include "protocol/CommandChannel.h"
#include "protocol/KeyMap.h"

namespace devices {

std::vector<int> CollectKeyMacros(std::span<const profiles::KeyAssignment> keys, int macroCount,
                                  const std::function<bool(size_t key)>& written) {
  std::vector<int> used;
  for (size_t k = 0; k < keys.size(); ++k) {
    if (!written(k)) continue;
    const profiles::KeyFunction& a = keys[k].assignment;
    if (!protocol::IsMacroType(a.c0) || a.c1 >= macroCount) continue;
    if (std::find(used.begin(), used.end(), int(a.c1)) == used.end()) used.push_back(a.c1);
  }
  return used;
}

bool RepairKeyMacros(std::span<profiles::KeyAssignment> keys, int macroCount) {
  bool changed = false;
  for (profiles::KeyAssignment& key : keys) {
    if (protocol::IsMacroType(key.assignment.c0) && key.assignment.c1 >= macroCount) {
      key.assignment = key.defaultAssignment;
      changed = true;
    }
  }
  return changed;
}

MacroImage BuildMacroImage(const std::filesystem::path& folder, std::span<const MacroIndexEntry> index,
                           std::span<const int> macros, uint32_t memoryBytes) {
  MacroImage out;
  if (index.empty() || macros.empty()) return out;
  std::vector<std::vector<protocol::PackedMacroEvent>> entries;
  for (int m : macros) {
    if (m < 0 || size_t(m) >= index.size()) {
      entries.emplace_back();
      continue;
    }
    entries.push_back(LoadEventFile(folder / (index[size_t(m)].guid + ".mac"))
                          .value_or(std::vector<protocol::PackedMacroEvent>{}));
  }
  const size_t size = protocol::EventImageSize(entries);
  if (const auto over = protocol::MacroImageOverflow(size, memoryBytes)) {
    out.result = int(*over);
    return out;
  }
  out.image = protocol::BuildEventImage(entries);
  if (out.image.empty()) out.result = protocol::kNotWritten;
  return out;
}

}  // namespace devices
