#pragma once
// What the device code reads of a model's macro library: the index
// "macro.config" ({"MacroInfo": [{"MacroName", "Guid"}...]}) and the events
// of a macro (".mac") or recoil (".Shoot") file. Files from disk are never
// trusted: a wrong type reads as missing.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "protocol/EventImage.h"

namespace devices {

inline constexpr const char* kMacroIndexFile = "macro.config";

struct MacroIndexEntry {
  std::string name;
  std::string guid;
};

// The entries of "MacroInfo" of `folder`/macro.config, in library order;
// empty when the file is missing or holds no such array.
std::vector<MacroIndexEntry> LoadMacroIndex(const std::filesystem::path& folder);

// The "Events" array of a macro or recoil file as packed device events;
// nothing when the file has no such array. "Delay" may be a decimal string or
// a number.
std::optional<std::vector<protocol::PackedMacroEvent>> LoadEventFile(const std::filesystem::path& path);

}  // namespace devices
