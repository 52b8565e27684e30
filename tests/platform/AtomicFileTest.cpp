#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/FileSizeLimit.h"

#include "platform/AtomicFile.h"
#include "platform/Trace.h"

namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t FilesIn(const std::filesystem::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}


TEST(AtomicFile, ReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("profile.Json").toStdString();
  ASSERT_TRUE(platform::WriteFileAtomic(file, "a much longer first version\n"));
  ASSERT_TRUE(platform::WriteFileAtomic(file, "short\n"));
  EXPECT_EQ(ReadAll(file), "short\n");
  EXPECT_EQ(FilesIn(dir.path().toStdString()), 1u);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileByteForByte) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("keyboard.Json").toStdString();
  const std::string old = std::string("{\n   \"KeyList\" : [ 1, 2, 3 ]\n}\n") + '\0' + "tail";
  ASSERT_TRUE(platform::WriteFileAtomic(file, old));

  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) { traced.emplace_back(l); });
  bool ok = true;
  {
    testsupport::FileSizeLimit limit(16);
    ok = platform::WriteFileAtomic(file, std::string(4096, 'x'));
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(ReadAll(file), old);
  EXPECT_EQ(FilesIn(dir.path().toStdString()), 1u) << "the temporary file was left behind";
  ASSERT_FALSE(traced.empty());
  EXPECT_NE(traced.back().find("keyboard.Json"), std::string::npos);
}

TEST(AtomicFile, KeepsTheOldModeAndNewFilesFollowTheUmask) {
  struct Case {
    const char* name;
    int oldMode;  // -1: no old file
    mode_t umask;
    mode_t want;
  };
  const Case cases[] = {
      {"private old file", 0600, 022, 0600},
      {"group-readable old file", 0640, 077, 0640},
      {"new file, umask 022", -1, 022, 0644},
      {"new file, umask 077", -1, 077, 0600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("main.ini").toStdString();
    if (c.oldMode >= 0) {
      ASSERT_TRUE(platform::WriteFileAtomic(file, "old\n"));
      ASSERT_EQ(::chmod(file.c_str(), mode_t(c.oldMode)), 0);
    }
    const mode_t saved = ::umask(c.umask);
    const bool ok = platform::WriteFileAtomic(file, "new\n");
    ::umask(saved);
    ASSERT_TRUE(ok);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.want);
  }
}

TEST(AtomicFile, MissingFolderFailsCleanly) {
  QTemporaryDir dir;
  const std::filesystem::path file = dir.filePath("no/such/folder/x.json").toStdString();
  EXPECT_FALSE(platform::WriteFileAtomic(file, "x"));
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
