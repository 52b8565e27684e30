// vx27ctl macro and capture, run as a user would run them.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/profiles/TestFiles.h"

namespace {

using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;

std::string Ctl(const std::string& arguments) {
  const std::string command = std::string(VX27CTL) + " " + arguments + " 2>&1";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

TEST(MacroCliTest, RecordThroughTheHookOnTheScriptsClock) {
  TempFolder folder;
  const std::string lib = (folder / "lib").string();
  EXPECT_EQ(Ctl("macro " + lib + " add"), "name macro_1\n");
  // A at 500, released 120 ms later, B 280 ms after that; Right Shift;
  // a key without a row; the back and forward buttons.
  WriteText(folder / "s.txt",
            "500 30 1\n620 30 0\n900 48 1\n# comment\n950 54 1\n960 54 0\n970 185 1\n"
            "1000 275 1\n1010 276 1\n");
  EXPECT_EQ(Ctl("macro " + lib + " record 0 " + (folder / "s.txt").string()),
            "10 down 4 120\n10 up 4 280\n10 down 5 50\n9 down 32 10\n9 up 32 40\n"
            "1 down 8 10\n1 down 16 0\n");
  EXPECT_EQ(Ctl("macro " + lib + " pack 0").substr(0, 24), "78 00 8a 04\n18 01 0a 04\n");
}

TEST(MacroCliTest, RecordBeforeWithConstantTime) {
  TempFolder folder;
  const std::string lib = (folder / "lib").string();
  Ctl("macro " + lib + " add");
  WriteText(folder / "a.txt", "0 30 1\n");
  Ctl("macro " + lib + " record 0 " + (folder / "a.txt").string() + " --timing 3");
  WriteText(folder / "b.txt", "10 48 1\n20 48 0\n");
  EXPECT_EQ(Ctl("macro " + lib + " record 0 " + (folder / "b.txt").string() +
                " --timing 2 --fixed-delay 70000 --placement before --select 0"),
            "10 down 5 65535\n10 up 5 65535\n10 down 4 0\n");
}

TEST(MacroCliTest, DeleteAnsweredNoLeavesEveryFile) {
  TempFolder folder;
  const std::string lib = folder.path().string();
  for (int i = 0; i < 3; ++i) Ctl("macro " + lib + " add");
  WriteText(folder / "p.Json",
            R"({"Device": [{"KeyList": [{"Assignment": 7340288, "DefaultAssignment": 2097156}]}]})");
  const std::string before = ReadAll(folder / "p.Json") + ReadAll(folder / "macro.config");
  EXPECT_EQ(Ctl("macro " + lib + " delete 1 --answer no"), "message message_text_4\n");
  EXPECT_EQ(ReadAll(folder / "p.Json") + ReadAll(folder / "macro.config"), before);
  EXPECT_EQ(Ctl("macro " + lib + " delete 1"), "message message_text_4\nmessage message_text_2\n");
  // 0x700100 named macro 1: back to the default.
  EXPECT_NE(ReadAll(folder / "p.Json").find("\"Assignment\" : 2097156"), std::string::npos);
  const std::string list = Ctl("macro " + lib + " list");
  EXPECT_EQ(list.substr(0, 10), "0 macro_1 ");
  EXPECT_NE(list.find("\n1 macro_3 "), std::string::npos);
}

TEST(MacroCliTest, NamesAndRenames) {
  TempFolder folder;
  const std::string lib = folder.path().string();
  Ctl("macro " + lib + " add");
  Ctl("macro " + lib + " add");
  EXPECT_EQ(Ctl("macro " + lib + " rename 0 Macro_2"), "taken\n");
  EXPECT_EQ(Ctl("macro " + lib + " rename 0 '  '"), "IsEmpty\n");
  EXPECT_EQ(Ctl("macro " + lib + " rename 0 fire"), "name fire\n");
  WriteText(folder / "fire.mac", R"({"Events": [{"Type": 1, "Action": "down", "Button": 2, "Delay": 9}]})");
  EXPECT_EQ(Ctl("macro " + lib + " import " + (folder / "fire.mac").string()), "name fire(2)\n");
  EXPECT_EQ(Ctl("macro " + lib + " events 2"), "1 down 2 9\n");
}

TEST(CaptureCliTest, ScriptedEventsPrintAsTheHookReportsThem) {
  TempFolder folder;
  WriteText(folder / "s.txt", "0 54 1\n1 58 1\n2 272 1\n3 275 0\n");
  EXPECT_EQ(Ctl("capture --mode 8 --script " + (folder / "s.txt").string()),
            "WM_HOOK_KEY_KBMACROPREVIOUS_MSG 0x0100 scan 0x36 ext 1 vk 0xa1 pass\n"
            "WM_HOOK_KEY_KBMACROPREVIOUS_MSG 0x0100 scan 0x3a ext 0 vk 0x14 pass\n"
            "WM_HOOK_KEY_MSMACROPREVIOUS_MSG 0x0201 x 0 y 0 data 0x00000000\n"
            "WM_HOOK_KEY_MSMACROPREVIOUS_MSG 0x020c x 0 y 0 data 0x00010000\n");
  EXPECT_EQ(Ctl("capture --mode 64 --script " + (folder / "s.txt").string()).substr(0, 5), "none ");
}

}  // namespace
