#pragma once
// Reading and writing the program's JSON files. Every JSON file the program
// writes goes through SaveJsonFile, so all of them have one form: jsoncpp's
// StyledWriter text (3-space indent, keys in jsoncpp's order) and one newline.

#include <filesystem>
#include <string>

#include <json/json.h>

namespace profiles {

// The whole file as bytes; "" when it cannot be opened or reads short.
std::string readjsonFile(const std::filesystem::path& path);

// The parsed file (comments kept); null when the file is missing, empty or
// does not parse. Never throws.
Json::Value LoadJsonFile(const std::filesystem::path& path);

// The text SaveJsonFile writes for a value.
std::string StyledJsonText(const Json::Value& value);

// Writes the value as the whole file. The write is atomic: on failure the old
// file stays as it was and the failure is traced. Returns 0 when the file was
// written, -1 when it was not.
int SaveJsonFile(const std::filesystem::path& path, const Json::Value& value);

}  // namespace profiles
