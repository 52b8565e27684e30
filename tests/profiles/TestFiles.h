#pragma once
// Small file helpers shared by the profile tests.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include <json/json.h>

namespace profiles_test {

// A fresh folder under the temp path, removed with everything in it.
class TempFolder {
 public:
  // `base` defaults to the temp path; tests that write many files pass a
  // memory-backed folder when there is one.
  explicit TempFolder(std::filesystem::path base = std::filesystem::temp_directory_path()) {
    std::string pattern = (base / "vx27-profiles-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// /dev/shm when it is a writable folder, else the temp path.
inline std::filesystem::path MemoryFolder() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

inline std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

inline Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader reader;
  reader.parse(text, v, false);
  return v;
}

// Every file under a folder with its content: to show what changed on disk.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
    if (e.is_regular_file()) files[e.path().string()] = ReadAll(e.path());
  return files;
}

}  // namespace profiles_test
