#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/Trace.h"

namespace {

TEST(Trace, SinkGetsOneLinePerCallWithoutTrailingNewline) {
  std::vector<std::string> lines;
  platform::ScopedTraceSink sink([&](std::string_view l) { lines.emplace_back(l); });
  Trace("命令");
  Trace(L"线程退出：：对象处于激发状态\n");
  Trace(u"返回");
  EXPECT_EQ(lines, (std::vector<std::string>{"命令", "线程退出：：对象处于激发状态", "返回"}));
}

TEST(Trace, ScopedSinkRestoresThePreviousSink) {
  std::vector<std::string> outer, inner;
  platform::ScopedTraceSink a([&](std::string_view l) { outer.emplace_back(l); });
  {
    platform::ScopedTraceSink b([&](std::string_view l) { inner.emplace_back(l); });
    Trace("inner");
  }
  Trace("outer");
  EXPECT_EQ(inner, std::vector<std::string>{"inner"});
  EXPECT_EQ(outer, std::vector<std::string>{"outer"});
}

TEST(Trace, HexLineGroupsBytesWithThreeThenTwoBlanks) {
  std::array<uint8_t, 32> bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 9);
  bytes[0] = 0x04;
  bytes[31] = 0xFF;
  EXPECT_EQ(platform::FormatHexLine(bytes),
            "04 09 12 1b   24 2d 36 3f   48 51 5a 63   6c 75 7e 87  90 99 a2 ab  "
            "b4 bd c6 cf  d8 e1 ea f3  fc 05 0e ff");
}

// The environment decides where lines go when no sink is installed; each case
// runs the peer-free check in a child process so the choice is read fresh.
struct EnvCase {
  const char* name;
  bool toFile;
  const char* value;  // nullptr: unset
  bool expectOnStderr;
  bool expectInFile;
};

TEST(Trace, EnvironmentChoosesTheDestination) {
  const char* self = std::getenv("VX27_TRACE_CHILD");
  if (self) {
    Trace("environment line");
    std::exit(0);
  }
  QTemporaryDir dir;
  const EnvCase cases[] = {
      {"off by default", false, nullptr, false, false},
      {"1 means stderr", false, "1", true, false},
      {"a path means that file", true, nullptr, false, true},
  };
  for (const EnvCase& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = dir.filePath(QString("trace-%1.log").arg(c.name));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VX27_TRACE_CHILD", "1");
    env.remove("VX27_TRACE");
    if (c.value) env.insert("VX27_TRACE", c.value);
    if (c.toFile) env.insert("VX27_TRACE", file);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=Trace.EnvironmentChoosesTheDestination"});
    ASSERT_TRUE(child.waitForFinished(10000));
    const QString err = QString::fromUtf8(child.readAllStandardError());
    EXPECT_EQ(err.contains("environment line"), c.expectOnStderr);
    std::ifstream in(file.toStdString());
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str() == "environment line\n", c.expectInFile);
  }
}

}  // namespace
