// The runtime folder when XDG_RUNTIME_DIR is unset, and the lock files in it:
// nothing another user controls is used.

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/SingleInstance.h"

namespace {

namespace fs = std::filesystem;

// Sets (or unsets, with nullptr) an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* v = std::getenv(name)) saved_ = v, had_ = true;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (had_) setenv(name_, saved_.c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::string saved_;
  bool had_ = false;
};

// XDG_RUNTIME_DIR unset and the temp folder private to the test.
struct NoRuntimeDir {
  QTemporaryDir temp;
  ScopedEnv tmp{"TMPDIR", temp.path().toUtf8().constData()};
  ScopedEnv runtime{"XDG_RUNTIME_DIR", nullptr};
  fs::path Fallback() const {
    return fs::path(temp.path().toStdString()) / ("vx27-runtime-" + std::to_string(::getuid()));
  }
};

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(RuntimeFolder, FallbackIsCreatedPrivate) {
  NoRuntimeDir env;
  const mode_t oldMask = ::umask(0);  // even with no umask at all
  std::string problem;
  const fs::path folder = platform::RuntimeFolder(&problem);
  ::umask(oldMask);
  EXPECT_EQ(folder.string(), env.Fallback().string() + "/");
  EXPECT_TRUE(problem.empty()) << problem;
  EXPECT_EQ(ModeOf(env.Fallback()), 0700u);
}

TEST(RuntimeFolder, FallbackOthersCanReachIsRefused) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* why;
  };
  const Case cases[] = {
      {"open to others", [](const fs::path& p) { fs::create_directory(p); ::chmod(p.c_str(), 0755); },
       "other users can open it"},
      {"open to the group", [](const fs::path& p) { fs::create_directory(p); ::chmod(p.c_str(), 0770); },
       "other users can open it"},
      {"a link to a private folder",
       [](const fs::path& p) {
         fs::create_directory(p.string() + "-elsewhere");
         ::chmod((p.string() + "-elsewhere").c_str(), 0700);
         fs::create_directory_symlink(p.string() + "-elsewhere", p);
       },
       "not a folder"},
      {"another user's",
       [](const fs::path& p) {
         fs::create_directory(p);
         ::chmod(p.c_str(), 0700);
         if (::getuid() == 0) {
           EXPECT_EQ(::chown(p.c_str(), 65534, 65534), 0);
         }
       },
       "another user"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string_view(c.name) == "another user's" && ::getuid() != 0) continue;  // needs chown
    NoRuntimeDir env;
    c.make(env.Fallback());
    std::string problem;
    EXPECT_TRUE(platform::RuntimeFolder(&problem).empty());
    EXPECT_NE(problem.find(c.why), std::string::npos) << problem;
    EXPECT_NE(problem.find(env.Fallback().string()), std::string::npos) << problem;
    // Nothing uses it: no lock, no lock file.
    platform::InstanceLock lock;
    EXPECT_FALSE(lock.TryAcquire("VX27 MOUSE refused"));
    EXPECT_FALSE(fs::exists(env.Fallback() / "vx27-VX27 MOUSE refused.lock"));
  }
}

TEST(InstanceLock, LinkInPlaceOfTheLockFileIsNotFollowed) {
  QTemporaryDir runtime, elsewhere;
  ScopedEnv env("XDG_RUNTIME_DIR", runtime.path().toUtf8().constData());
  const std::string name = "VX27 MOUSE linked";
  const fs::path target = fs::path(elsewhere.path().toStdString()) / "planted";
  fs::create_symlink(target, platform::InstanceLock::LockFilePath(name));
  platform::InstanceLock lock;
  EXPECT_FALSE(lock.TryAcquire(name));
  EXPECT_FALSE(fs::exists(target)) << "the lock followed a link and created a file elsewhere";
}

}  // namespace
