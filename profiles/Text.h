#pragma once
// Small text routines used wherever profile files and control names are
// handled. Text is UTF-16 in memory where the program shows or stores names,
// UTF-8 in every file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace profiles {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(std::u16string_view wide);

// The file name without its folder and its last extension ("a/b/c.Json" -> "c").
std::u16string FileBaseName(const std::filesystem::path& path);

// Eight upper-case hexadecimal digits, most significant first.
std::string HexString8(uint32_t value);

// A control name split into its prefix and trailing decimal number:
// "key_12" -> {"key_", 12}. number is -1 when the name has no trailing digits
// or they do not fit an int.
struct TrailingNumber {
  std::string prefix;
  int number = -1;
};
TrailingNumber SplitTrailingNumber(std::string_view name);

// Local time as a profile identity is made from it.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};
LocalTime CurrentLocalTime();
// "%d_%02d_%02d_%02d_%02d_%02d_%03d": year, month, day, hour, minute, second,
// millisecond.
std::string FormatProfileId(const LocalTime& time);
// A new profile identity from the current local time.
std::string NewProfileId();

}  // namespace profiles
