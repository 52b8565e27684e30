#include "profiles/Text.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace profiles {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(char16_t(c));
  } else {
    c -= 0x10000;
    out.push_back(char16_t(0xD800 + (c >> 10)));
    out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::u16string Utf8ToWide(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const uint8_t lead = uint8_t(utf8[i]);
    size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      out.push_back(char16_t(lead));
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
      AppendUtf16(out, kReplacement);
      ++i;
      continue;
    }
    size_t taken = 1;
    while (taken < length && i + taken < utf8.size() &&
           (uint8_t(utf8[i + taken]) & 0xC0) == 0x80) {
      c = (c << 6) | (uint8_t(utf8[i + taken]) & 0x3F);
      ++taken;
    }
    if (taken < length || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
      c = kReplacement;
    AppendUtf16(out, c);
    i += taken;
  }
  return out;
}

std::string WideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FileBaseName(const std::filesystem::path& path) {
  std::u16string name = Utf8ToWide(path.native());
  const size_t slash = name.find_last_of(u"/\\");
  if (slash != std::u16string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot != std::u16string::npos) name.erase(dot);
  return name;
}

std::string HexString8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", unsigned(value));
  return text;
}

TrailingNumber SplitTrailingNumber(std::string_view name) {
  size_t start = name.size();
  while (start > 0 && name[start - 1] >= '0' && name[start - 1] <= '9') --start;
  TrailingNumber result{std::string(name.substr(0, start)), -1};
  if (start == name.size()) return result;
  long long number = 0;
  for (size_t i = start; i < name.size(); ++i) {
    number = number * 10 + (name[i] - '0');
    if (number > 0x7FFFFFFF) return result;
  }
  result.number = int(number);
  return result;
}

LocalTime CurrentLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min,        local.tm_sec,     int(millis)};
}

std::string FormatProfileId(const LocalTime& t) {
  char text[200];
  std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  return text;
}

std::string NewProfileId() { return FormatProfileId(CurrentLocalTime()); }

}  // namespace profiles
