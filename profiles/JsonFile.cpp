#include "profiles/JsonFile.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace profiles {

std::string readjsonFile(const std::filesystem::path& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  const int error = in.is_open() ? 0 : errno;
  char line[64];
  std::snprintf(line, sizeof line, "readjsonFile 错误吗：：%d", error);
  Trace(line);
  if (!in.is_open()) return {};
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return {};
  std::string bytes(size_t(size), '\0');
  in.read(bytes.data(), std::streamsize(bytes.size()));
  if (size_t(in.gcount()) != bytes.size()) return {};
  return bytes;
}

Json::Value LoadJsonFile(const std::filesystem::path& path) {
  const std::string text = readjsonFile(path);
  if (text.empty()) {
    Trace(path.native());
    return Json::Value();
  }
  Json::Value value;
  try {
    Json::Reader reader;
    if (!reader.parse(text, value, true)) return Json::Value();
  } catch (const std::exception&) {
    // The reader gives up on pathological nesting by throwing.
    Trace("LoadJsonFile: parse aborted: " + path.native());
    return Json::Value();
  }
  return value;
}

std::string StyledJsonText(const Json::Value& value) {
  Json::StyledWriter writer;
  std::string text = writer.write(value);
  text += '\n';
  return text;
}

int SaveJsonFile(const std::filesystem::path& path, const Json::Value& value) {
  if (!platform::WriteFileAtomic(path, StyledJsonText(value))) {
    Trace("SaveJsonFile: not written, the old file is kept: " + path.native());
    return -1;
  }
  return 0;
}

}  // namespace profiles
