#include "app/IniFile.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/AtomicFile.h"

namespace app {
namespace {

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

// "[name]" → name; nothing for other lines.
std::optional<std::string> SectionOf(std::string_view line) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return Trim(std::string_view(t).substr(1, t.size() - 2));
}

std::optional<std::pair<std::string, std::string>> KeyValueOf(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

}  // namespace

bool WriteIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
  std::vector<std::string> lines = ReadLines(file);
  const std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false, done = false;
  size_t sectionEnd = lines.size();  // where a new key of the section goes
  bool sectionFound = false;
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (inSection) {
        sectionEnd = i;
        break;
      }
      inSection = SameName(*name, section);
      if (inSection) sectionFound = true;
      continue;
    }
    if (!inSection) continue;
    if (auto kv = KeyValueOf(lines[i]); kv && SameName(kv->first, key)) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (sectionFound) {
      // Insert after the section's last non-empty line.
      size_t at = sectionEnd;
      while (at > 0 && Trim(lines[at - 1]).empty()) --at;
      lines.insert(lines.begin() + std::ptrdiff_t(at), entry);
    } else {
      lines.push_back("[" + std::string(section) + "]");
      lines.push_back(entry);
    }
  }
  std::ostringstream out;
  for (const std::string& l : lines) out << l << "\r\n";
  return platform::WriteFileAtomic(file, out.str());
}

std::optional<std::string> ReadIniValue(const std::filesystem::path& file, std::string_view section,
                                        std::string_view key) {
  bool inSection = false;
  for (const std::string& line : ReadLines(file)) {
    if (auto name = SectionOf(line)) {
      inSection = SameName(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (auto kv = KeyValueOf(line); kv && SameName(kv->first, key)) return kv->second;
  }
  return std::nullopt;
}

}  // namespace app
