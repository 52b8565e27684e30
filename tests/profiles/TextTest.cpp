// The file and text routines every JSON user of the program relies on.

#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "platform/Trace.h"
#include "profiles/JsonFile.h"
#include "profiles/Text.h"

using namespace profiles;
using namespace profiles_test;

namespace {

TEST(ProfileId, FormatHasZeroPaddedFieldsAndMilliseconds) {
  EXPECT_EQ(FormatProfileId({2024, 1, 2, 3, 4, 5, 6}), "2024_01_02_03_04_05_006");
  EXPECT_EQ(FormatProfileId({2025, 12, 31, 23, 59, 59, 999}), "2025_12_31_23_59_59_999");
  const std::string id = NewProfileId();
  EXPECT_TRUE(std::regex_match(id, std::regex(R"(\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d_\d{3})"))) << id;
}

TEST(Utf, ConversionsRoundTripAndReplaceMalformedText) {
  const std::u16string wide = u"Profile 配置 ไทย \U0001F3AE";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(wide)), wide);
  EXPECT_EQ(WideToUtf8(u"人声"), "\xE4\xBA\xBA\xE5\xA3\xB0");
  const struct {
    const char* name;
    std::string utf8;
    std::u16string wide;
  } malformed[] = {
      {"lone continuation byte", "a\x80" "b", u"a\uFFFDb"},
      {"truncated sequence", "a\xE4\xBA", u"a\uFFFD"},
      {"overlong encoding", "\xC0\xAF", u"\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
      {"invalid lead byte", "\xFFz", u"\uFFFDz"},
  };
  for (const auto& c : malformed) EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.name;
  EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(TextHelpers, BaseNamesHexAndTrailingNumbers) {
  EXPECT_EQ(FileBaseName("/home/u/My Profile.json"), u"My Profile");
  EXPECT_EQ(FileBaseName("C:\\exports\\game.v2.Json"), u"game.v2");
  EXPECT_EQ(FileBaseName("noext"), u"noext");

  EXPECT_EQ(HexString8(0xFF00A0B1), "FF00A0B1");
  EXPECT_EQ(HexString8(0x1F), "0000001F");

  const struct {
    const char* name;
    const char* prefix;
    int number;
  } split[] = {
      {"key_12", "key_", 12},       {"light_0_3", "light_0_", 3}, {"okbtn", "okbtn", -1},
      {"7", "", 7},                 {"key_", "key_", -1},
      {"key_99999999999", "key_", -1},  // does not fit an int
  };
  for (const auto& c : split) {
    const auto r = SplitTrailingNumber(c.name);
    EXPECT_EQ(r.prefix, c.prefix) << c.name;
    EXPECT_EQ(r.number, c.number) << c.name;
  }
}

TEST(JsonFiles, UnreadableTextLoadsAsNullAndEveryReadIsTraced) {
  TempFolder folder;
  std::vector<std::string> lines;
  platform::ScopedTraceSink sink([&lines](std::string_view l) { lines.emplace_back(l); });

  EXPECT_TRUE(LoadJsonFile(folder / "missing.Json").isNull());
  EXPECT_EQ(lines.at(0), "readjsonFile 错误吗：：2");  // ENOENT
  EXPECT_EQ(lines.at(1), (folder / "missing.Json").string());

  const struct {
    const char* name;
    std::string text;
  } unreadable[] = {
      {"empty", ""},
      {"cut short", R"({"Device":[{"LightInfo":)"},
      {"not JSON", "\x01\x02garbage"},
      {"nested beyond the reader's limit", std::string(5000, '[') + std::string(5000, ']')},
  };
  for (const auto& c : unreadable) {
    WriteText(folder / "f.Json", c.text);
    EXPECT_TRUE(LoadJsonFile(folder / "f.Json").isNull()) << c.name;
  }
  lines.clear();
  WriteText(folder / "f.Json", "{\"a\": 1}");
  EXPECT_EQ(LoadJsonFile(folder / "f.Json")["a"], 1);
  EXPECT_EQ(lines.at(0), "readjsonFile 错误吗：：0");
  EXPECT_TRUE(readjsonFile(folder.path()).empty());  // a folder is not a file
}

TEST(JsonFiles, SavedTextIsTheStyledWriterTextPlusANewlineAndKeepsComments) {
  TempFolder folder;
  const Json::Value value = Parse(R"({"b":[1,2,3],"a":{"x":"é","y":null},"c":-1.5})");
  ASSERT_EQ(SaveJsonFile(folder / "s.json", value), 0);
  Json::StyledWriter writer;
  EXPECT_EQ(ReadAll(folder / "s.json"), writer.write(value) + "\n");

  WriteText(folder / "c.json", "// kept\n{\"a\": 1}\n");
  ASSERT_EQ(SaveJsonFile(folder / "c2.json", LoadJsonFile(folder / "c.json")), 0);
  EXPECT_NE(ReadAll(folder / "c2.json").find("// kept\n{"), std::string::npos);

  EXPECT_EQ(SaveJsonFile(folder / "no-such-folder/x.json", value), -1);
}

}  // namespace
