#pragma once
// Keeps one value of a Windows-style INI file ("[SECTION]" lines and
// "KEY=value" lines), the way the skin choice is written to "main.ini".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Sets `key` in `section` (creating the file, section or key as needed) and
// keeps every other line. Section and key names compare without regard to
// case. The file is replaced atomically; false when it could not be written.
bool WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

// The value of `key` in `section`, if the file has it.
std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key);

}  // namespace app
