// vx27ctl's recoil commands on a fresh profile folder, against the factory
// tables of the install folder: shots shown and set as the editor selects
// and limits them, reset, import (a refused file traced) and export.

#include <gtest/gtest.h>

#include <string>

#include "tests/profiles/TestFiles.h"
#include "tests/support/RunCommand.h"

namespace {

using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;

std::string Ctl(const std::string& arguments, const std::string& env = {}) {
  return testsupport::RunCommand(env + " " + std::string(VX27CTL) + " " + arguments + " 2>&1").out;
}

std::string Factory(int weapon) {
  return ReadAll(std::string(std::getenv("VX27_INSTALL_DIR")) + "/DefaultData/ShootData_" +
                 std::to_string(weapon) + ".Shoot");
}

TEST(RecoilCli, ShowAndSetSelectAndLimitAsTheEditorDoes) {
  TempFolder folder;
  const std::string f = "'" + (folder / "mouse").string() + "' ";
  const struct {
    std::string args, out;
  } steps[] = {
      // The factory table of weapon 2, shot 4: right 0, down 5, 120 ms.
      {"recoil-show " + f + "2 4", "weapon 2 shot 4 x 0 y 5 delay 120 left 1 up 0\n"},
      {"recoil-set " + f + "2 4 12 30 95 1 0", "weapon 2 shot 4 x 12 y 30 delay 95 left 1 up 0\n"},
      {"recoil-show " + f + "2 4", "weapon 2 shot 4 x 12 y 30 delay 95 left 1 up 0\n"},
      // Out of range: shot -1 is 0, shot 30 is 29, weapon 9 is 3.
      {"recoil-set " + f + "9 30 256 -4 70000 0 1", "weapon 3 shot 29 x 255 y 0 delay 65535 left 0 up 1\n"},
      {"recoil-show " + f + "3 99", "weapon 3 shot 29 x 255 y 0 delay 65535 left 0 up 1\n"},
      {"recoil-show " + f + "0 -1", "weapon 0 shot 0 x 0 y 2 delay 100 left 1 up 0\n"},
      {"recoil-reset " + f + "2", "result 1\n"},
      {"recoil-show " + f + "2 4", "weapon 2 shot 4 x 0 y 5 delay 120 left 1 up 0\n"},
  };
  for (const auto& s : steps) EXPECT_EQ(Ctl(s.args), s.out) << s.args;
  EXPECT_EQ(ReadAll(folder / "mouse" / "ShootData_2.Shoot"), Factory(2));
  EXPECT_NE(ReadAll(folder / "mouse" / "ShootData_3.Shoot"), Factory(3)) << "the reset touched weapon 3";
}

TEST(RecoilCli, ImportAndExportCopyWholeFilesAndARefusedImportIsTraced) {
  TempFolder folder;
  const std::string f = "'" + (folder / "mouse").string() + "' ";
  const std::string out = (folder / "w1.shoot").string();
  Ctl("recoil-set " + f + "1 0 7 8 9 0 0");
  EXPECT_EQ(Ctl("recoil-export " + f + "1 " + out), "result 1\n");
  EXPECT_EQ(ReadAll(out), ReadAll(folder / "mouse" / "ShootData_1.Shoot"));
  EXPECT_EQ(Ctl("recoil-import " + f + "0 " + out), "result 1\n");
  EXPECT_EQ(Ctl("recoil-show " + f + "0 0"), "weapon 0 shot 0 x 7 y 8 delay 9 left 0 up 0\n");

  WriteText(folder / "bad.shoot", "[\"not a recoil table\"]");
  const std::string before = ReadAll(folder / "mouse" / "ShootData_0.Shoot");
  const std::string trace = (folder / "trace.txt").string();
  EXPECT_EQ(Ctl("recoil-import " + f + "0 " + (folder / "bad.shoot").string(), "VX27_TRACE='" + trace + "'"),
            "result 0\n");
  EXPECT_EQ(ReadAll(folder / "mouse" / "ShootData_0.Shoot"), before);
  EXPECT_NE(ReadAll(trace).find("recoil import refused"), std::string::npos) << ReadAll(trace);
  EXPECT_EQ(Ctl("recoil-export " + f + "0 " + (folder / "no" / "x.shoot").string()), "result 0\n");
}

TEST(RecoilCli, BadArgumentsAreRefused) {
  TempFolder folder;
  const std::string f = "'" + (folder / "mouse").string() + "' ";
  for (const std::string& args : {"recoil-show " + f + "x 1", "recoil-show " + f + "1", "recoil-set " + f + "0 0 1 1 1 2 0",
                                 "recoil-set " + f + "0 0 1 1 1 0", "recoil-reset " + f})
    EXPECT_EQ(Ctl(args).rfind("usage: vx27ctl recoil-", 0), 0u) << args;
  EXPECT_FALSE(std::filesystem::exists(folder / "mouse")) << "a refused command starts no editor";
}

}  // namespace
