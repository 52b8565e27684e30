// The macro library on disk: names, limits, renames, the delete sweep over
// profiles, delays and packing, and the exact text of a macro file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"
#include "tests/profiles/TestFiles.h"

namespace {

using macros::MacroLibrary;
using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;

// Identifiers 0001, 0002, ... so that every test sees the same files.
MacroLibrary::GuidSource Counter() {
  auto n = std::make_shared<int>(0);
  return [n] {
    char text[16];
    std::snprintf(text, sizeof text, "g%04d", ++*n);
    return std::u16string(text, text + std::strlen(text));
  };
}

std::string U8(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::vector<std::string> Names(const MacroLibrary& library) {
  std::vector<std::string> names;
  for (const auto& e : library.Entries()) names.push_back(U8(e.name));
  return names;
}

std::filesystem::path WriteIndex(const TempFolder& folder, const std::string& members) {
  WriteText(folder / "macro.config", "{\"MacroInfo\": [" + members + "]}");
  return folder / "macro.config";
}

TEST(MacroLibraryTest, NewNamesSkipTakenOnesWhateverTheirCase) {
  TempFolder folder;
  {
    MacroLibrary library(folder.path(), Counter());
    EXPECT_EQ(U8(library.AddMacro()), "macro_1");
  }
  WriteIndex(folder, R"({"MacroName":"macro_1","Guid":"a"},{"MacroName":"MACRO_2","Guid":"b"})");
  MacroLibrary library(folder.path(), Counter());
  EXPECT_EQ(U8(library.AddMacro()), "macro_3");
  // The index holds the new entry behind the others.
  MacroLibrary reread(folder.path());
  EXPECT_EQ(Names(reread), (std::vector<std::string>{"macro_1", "MACRO_2", "macro_3"}));
}

TEST(MacroLibraryTest, FullLibraryAddsNothingAndWritesNoFile) {
  TempFolder folder;
  MacroLibrary library(folder.path(), Counter());
  for (int i = 0; i < macros::kMaxMacros; ++i) ASSERT_FALSE(library.AddMacro().empty());
  const std::string index = ReadAll(folder / "macro.config");
  WriteText(folder / "fire.mac", R"({"Events": []})");
  EXPECT_EQ(library.AddMacro(), u"");
  EXPECT_EQ(library.AddMacroFromFile(folder / "fire.mac"), u"");
  EXPECT_EQ(library.Count(), 50);
  EXPECT_EQ(ReadAll(folder / "macro.config"), index);
  EXPECT_FALSE(std::filesystem::exists(folder / "g0051.mac"));
}

TEST(MacroLibraryTest, ImportedNamesAccumulateSuffixesAndCopyTheFileAsIs) {
  TempFolder folder;
  TempFolder source;
  const std::string content = "{\"Events\": [{\"Type\": 10, \"Action\": \"down\", \"Button\": 4, "
                              "\"Delay\": 7}], \"MacroName\": \"other\"}";
  WriteText(source / "fire.mac", content);
  MacroLibrary library(folder.path(), Counter());
  EXPECT_EQ(U8(library.AddMacroFromFile(source / "fire.mac")), "fire");
  EXPECT_EQ(U8(library.AddMacroFromFile(source / "fire.mac")), "fire(2)");
  EXPECT_EQ(U8(library.AddMacroFromFile(source / "fire.mac")), "fire(2)(3)");
  EXPECT_EQ(ReadAll(folder / "g0003.mac"), content);
  ASSERT_EQ(library.LoadEvents(2).size(), 1u);
  EXPECT_EQ(library.LoadEvents(2)[0]["Delay"].asString(), "7");
  EXPECT_EQ(library.AddMacroFromFile(source / "missing.mac"), u"");
}

TEST(MacroLibraryTest, RenameRefusesTakenAndBlankNames) {
  TempFolder folder;
  MacroLibrary library(folder.path(), Counter());
  library.AddMacro();
  library.AddMacro();
  struct Case {
    const char16_t* name;
    const char16_t* want;
  } cases[] = {
      {u"macro_1", u""},          // its own name
      {u"MACRO_2", u""},          // another's, other case
      {u"   ", u"IsEmpty"},
      {u"", u"IsEmpty"},
      {u" fire ", u" fire "},     // not trimmed
  };
  for (const Case& c : cases) EXPECT_EQ(library.RenameMacro(0, c.name), c.want) << U8(c.name);
  EXPECT_EQ(Names(MacroLibrary(folder.path())), (std::vector<std::string>{" fire ", "macro_2"}));
  EXPECT_EQ(library.RenameMacro(5, u"x"), u"");
}

// A profile whose keys hold the given assignment codes; the default of key
// i is 0x200000 + i (a keyboard key).
void WriteProfile(const std::filesystem::path& file, const std::vector<int>& codes) {
  Json::Value keys(Json::arrayValue);
  for (size_t i = 0; i < codes.size(); ++i) {
    Json::Value key;
    key["Assignment"] = codes[i];
    key["DefaultAssignment"] = 0x200000 + int(i);
    keys.append(key);
  }
  Json::Value root;
  root["Device"][0]["KeyList"] = keys;
  root["profilename"] = "p";
  WriteText(file, Json::StyledWriter().write(root));
}

std::vector<int> Codes(const std::filesystem::path& file) {
  const Json::Value root = profiles_test::Parse(ReadAll(file));
  std::vector<int> codes;
  for (const Json::Value& key : root["Device"][0]["KeyList"]) codes.push_back(key["Assignment"].asInt());
  return codes;
}

// Five macros; macro 2 is deleted. Keys use macros 0..4 in both kinds.
struct DeleteFixture {
  TempFolder folder;
  MacroLibrary library{folder.path(), Counter()};
  std::filesystem::path current = folder / "a.Json";
  std::filesystem::path other = folder / "b.Json";
  DeleteFixture() {
    for (int i = 0; i < 5; ++i) {
      library.AddMacro();
      library.SaveEvents(i, {});
    }
    WriteProfile(current, {0x700000, 0x710100, 0x700203, 0x710305, 0x700400, 0x040000});
    WriteProfile(other, {0x700200, 0x710300, 0x200004});
  }
};

TEST(MacroLibraryTest, DeleteRenumbersEveryProfileAndDropsTheFile) {
  DeleteFixture f;
  std::vector<std::string> asked;
  bool currentChanged = false;
  const int removed = macros::DeleteMacroFlow(
      f.library, 2, f.current, {f.other},
      [&](const char* id) { asked.push_back(id); return true; }, &currentChanged);
  EXPECT_EQ(removed, 2);
  EXPECT_TRUE(currentChanged);
  EXPECT_EQ(asked, (std::vector<std::string>{"message_text_4", "message_text_2"}));
  // 2 falls back to the key's default, 3 and 4 become 2 and 3, 0 and 1 stay.
  EXPECT_EQ(Codes(f.current),
            (std::vector<int>{0x700000, 0x710100, 0x200002, 0x710205, 0x700300, 0x040000}));
  EXPECT_EQ(Codes(f.other), (std::vector<int>{0x200000, 0x710200, 0x200004}));
  EXPECT_EQ(Names(MacroLibrary(f.folder.path())),
            (std::vector<std::string>{"macro_1", "macro_2", "macro_4", "macro_5"}));
  EXPECT_FALSE(std::filesystem::exists(f.folder / "g0003.mac"));
  EXPECT_TRUE(std::filesystem::exists(f.folder / "g0004.mac"));
}

TEST(MacroLibraryTest, DeleteAnsweredNoChangesNoFile) {
  for (const char* refused : {"message_text_4", "message_text_2"}) {
    DeleteFixture f;
    const std::string before = ReadAll(f.current) + ReadAll(f.other) + ReadAll(f.folder / "macro.config");
    const int removed = macros::DeleteMacroFlow(f.library, 2, f.current, {f.other},
                                                [&](const char* id) { return std::string(id) != refused; });
    EXPECT_EQ(removed, -1) << refused;
    EXPECT_EQ(ReadAll(f.current) + ReadAll(f.other) + ReadAll(f.folder / "macro.config"), before);
    EXPECT_TRUE(std::filesystem::exists(f.folder / "g0003.mac"));
  }
}

TEST(MacroLibraryTest, DeleteUnusedByTheCurrentProfileAsksOnce) {
  DeleteFixture f;
  WriteProfile(f.current, {0x200000});
  std::vector<std::string> asked;
  macros::DeleteMacroFlow(f.library, 2, f.current, {f.other},
                          [&](const char* id) { asked.push_back(id); return true; });
  EXPECT_EQ(asked, std::vector<std::string>{"message_text_4"});
  EXPECT_EQ(Codes(f.other), (std::vector<int>{0x200000, 0x710200, 0x200004}));
}

TEST(MacroLibraryTest, SavedFileHasItsExactTextAndIntegerDelaysBecomeText) {
  TempFolder folder;
  WriteIndex(folder, R"({"MacroName":"fire","Guid":"g1"})");
  WriteText(folder / "g1.mac", R"({"Events": [
      {"Type": 10, "Action": "down", "Button": 4, "Delay": 300},
      {"Type": 1, "Action": "up", "Button": 1, "Delay": 70000},
      {"Type": 9, "Action": "down", "Button": 2, "Delay": "007"}],
    "MacroName": "old", "Guid": "old", "Version": 1})");
  MacroLibrary library(folder.path());
  const std::vector<Json::Value> events = library.LoadEvents(0);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1]["Delay"].asString(), "65535");
  ASSERT_EQ(library.SaveEvents(0, events), 0);
  EXPECT_EQ(ReadAll(folder / "g1.mac"),
            "{\n"
            "   \"Events\" : [\n"
            "      {\n"
            "         \"Action\" : \"down\",\n"
            "         \"Button\" : 4,\n"
            "         \"Delay\" : \"300\",\n"
            "         \"Type\" : 10\n"
            "      },\n"
            "      {\n"
            "         \"Action\" : \"up\",\n"
            "         \"Button\" : 1,\n"
            "         \"Delay\" : \"65535\",\n"
            "         \"Type\" : 1\n"
            "      },\n"
            "      {\n"
            "         \"Action\" : \"down\",\n"
            "         \"Button\" : 2,\n"
            "         \"Delay\" : \"7\",\n"
            "         \"Type\" : 9\n"
            "      }\n"
            "   ],\n"
            "   \"Guid\" : \"g1\",\n"
            "   \"MacroName\" : \"fire\",\n"
            "   \"Version\" : 64\n"
            "}\n\n");  // the styled text ends in a newline; the file adds one
}

TEST(MacroLibraryTest, SaveStopsAtAnEmptyActionAndAtSixty) {
  TempFolder folder;
  MacroLibrary library(folder.path(), Counter());
  library.AddMacro();
  Json::Value a;
  a["Type"] = 10, a["Action"] = "down", a["Button"] = 4, a["Delay"] = "";
  ASSERT_EQ(library.SaveEvents(0, {a, a, Json::Value(), a}), 0);
  ASSERT_EQ(library.LoadEvents(0).size(), 2u);
  EXPECT_EQ(library.LoadEvents(0)[0]["Delay"].asString(), "0");
  ASSERT_EQ(library.SaveEvents(0, std::vector<Json::Value>(70, a)), 0);
  EXPECT_EQ(library.LoadEvents(0).size(), 60u);
  EXPECT_EQ(library.SaveEvents(1, {a}), -1);
}

TEST(MacroLibraryTest, PackedActions) {
  struct Case {
    macros::MacroEvent event;
    macros::PackedMacroEvent want;
  } cases[] = {
      {{10, "down", 4, "300"}, {0x2C, 0x01, 0x8A, 0x04}},
      {{10, "up", 4, "300"}, {0x2C, 0x01, 0x0A, 0x04}},
      {{1, "DOWN", 0x10, "0"}, {0x00, 0x00, 0x01, 0x10}},        // only "down" presses
      {{4, "down", 300, "12ab"}, {0x0C, 0x00, 0x84, 0x2C}},      // leading digits, low 8 bits
      {{5, "up", 7, ""}, {0x00, 0x00, 0x05, 0x07}},
      {{9, "down", 0x20, "65535"}, {0xFF, 0xFF, 0x89, 0x20}},
      {{9, "down", 0x20, "70000"}, {0xFF, 0xFF, 0x89, 0x20}},    // as shown, not wrapped
      {{10, "down", 4, "99999999999999999999"}, {0xFF, 0xFF, 0x8A, 0x04}},
      {{10, "down", 4, "-5"}, {0x00, 0x00, 0x8A, 0x04}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(macros::PackEvent(c.event), c.want) << c.event.delay << " " << c.event.action;
}

TEST(MacroLibraryTest, GuidsNeverNameAnotherFile) {
  TempFolder folder;
  WriteText(folder / "keep.txt", "x");
  WriteIndex(folder, R"({"MacroName":"a","Guid":"../keep"},{"MacroName":"b","Guid":"sub/x"},)"
                     R"({"MacroName":"c","Guid":""},{"MacroName":"d","Guid":"..\\keep"})");
  MacroLibrary library(folder.path());
  Json::Value a;
  a["Type"] = 10;
  for (int i = 0; i < library.Count(); ++i) {
    EXPECT_EQ(library.SaveEvents(i, {a}), -1) << i;
    EXPECT_TRUE(library.LoadEvents(i).empty());
    EXPECT_FALSE(library.ExportMacro(i, folder / "out.mac"));
  }
  library.DeleteMacro(0);
  EXPECT_TRUE(std::filesystem::exists(folder / "keep.txt"));
  EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "keep.mac"));
}

TEST(MacroLibraryTest, TwoMacrosInOneMillisecondGetTwoFiles) {
  TempFolder folder;
  MacroLibrary library(folder.path(), [] { return std::u16string(u"2024_03_05_14_07_09_042"); });
  library.AddMacro();
  library.AddMacro();
  library.AddMacro();
  EXPECT_EQ(library.Entries()[1].guid, u"2024_03_05_14_07_09_043");
  EXPECT_EQ(library.Entries()[2].guid, u"2024_03_05_14_07_09_044");
}

TEST(MacroLibraryTest, ExportCopiesTheFile) {
  TempFolder folder;
  MacroLibrary library(folder.path(), Counter());
  library.AddMacro();
  EXPECT_FALSE(library.ExportMacro(0, folder / "out.mac"));  // never saved: no file
  library.SaveEvents(0, {});
  ASSERT_TRUE(library.ExportMacro(0, folder / "out.mac"));
  EXPECT_EQ(ReadAll(folder / "out.mac"), ReadAll(folder / "g0001.mac"));
}

}  // namespace
