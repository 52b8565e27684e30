#include "platform/Paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>

namespace platform {
namespace {

std::filesystem::path WithSlash(std::filesystem::path p) {
  std::string s = p.string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

std::filesystem::path InstallFolder() {
  if (const std::string over = Env("VX27_INSTALL_DIR"); !over.empty()) return WithSlash(over);
  if (QCoreApplication::instance())
    return WithSlash(QCoreApplication::applicationDirPath().toStdString());
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return WithSlash(ec ? std::filesystem::current_path() : self.parent_path());
}

std::filesystem::path UserDataRoot() {
  std::string base = Env("XDG_DATA_HOME");
  if (base.empty()) base = Env("HOME") + "/.local/share";
  return WithSlash(std::filesystem::path(base) / kProductName);
}

std::filesystem::path TempFolder() { return WithSlash(QDir::tempPath().toStdString()); }

bool EnsureFolder(const std::filesystem::path& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

std::filesystem::path FromSystemPath(std::string_view relative) {
  std::string s(relative);
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

std::filesystem::path RuntimeFolder(std::string* problem) {
  std::string base = Env("XDG_RUNTIME_DIR");
  if (!base.empty() && std::filesystem::is_directory(base)) return WithSlash(base);

  base = QDir::tempPath().toStdString() + "/vx27-runtime-" + std::to_string(::getuid());
  ::mkdir(base.c_str(), 0700);  // an existing one is checked below like a new one
  struct stat st {};
  std::string why;
  if (::lstat(base.c_str(), &st) != 0) why = std::string("cannot create it: ") + std::strerror(errno);
  else if (!S_ISDIR(st.st_mode)) why = "it is not a folder";
  else if (st.st_uid != ::getuid()) why = "it belongs to another user";
  else if ((st.st_mode & 077) != 0) why = "other users can open it (it must be mode 0700)";
  if (why.empty()) return WithSlash(base);
  if (problem) *problem = "unsafe runtime folder " + base + ": " + why + " (set XDG_RUNTIME_DIR)";
  return {};
}

}  // namespace platform
