// The profile list on real files in a temporary folder: first start, naming of
// new entries, limits, rename checks, delete, reset, import and export, the
// macro removal sweep and the `vx27ctl profile` command.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <regex>
#include <sstream>

#include "TestFiles.h"
#include "profiles/JsonFile.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/ProfileActions.h"
#include "profiles/ProfileList.h"
#include "profiles/Text.h"

namespace {

using profiles::NameCheck;
using profiles::ProfileList;
using profiles_test::Parse;
using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;
using Clock = std::chrono::system_clock;

// 2026-12-10 15:00:00.000 UTC.
constexpr int64_t kStartMs = 1796914800000;

// A factory profile small enough to read in a failure message.
constexpr const char* kMouseFactory =
    R"({"Device":[{"DPIStages":[1,2],"KeyList":[]}],"profilename":"","profileUUID":""})";
constexpr const char* kHeadsetFactory =
    R"({"Device":[{"SystemSetStages":[0],"CustomEQNameInfo":["factory"],)"
    R"("CustomEQHzValueInfo":[0],"LightInfo":[7]}],"profilename":"","profileUUID":""})";

class RecordingPrompts : public profiles::ProfilePrompts {
 public:
  bool answer = true;
  std::vector<std::string> asked, shown;
  bool Confirm(std::string_view id) override {
    asked.emplace_back(id);
    return answer;
  }
  void Message(std::string_view id, int) override { shown.emplace_back(id); }
};

class ProfileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    WriteText(folder / "factory.Json", kMouseFactory);
  }

  // A list on the temp folder whose clock stands still unless a test moves it.
  ProfileList MakeList(int kind = hid::kind::kMouseCable) {
    ProfileList list([this] { return Clock::time_point(std::chrono::milliseconds(nowMs)); });
    list.SetKind(kind);
    list.SetPaths(folder.path() / "", folder / "factory.Json");
    list.InitList();
    return list;
  }
  Json::Value ListFile() const { return profiles::LoadJsonFile(folder / "ProfileList.ini"); }
  Json::Value ProfileFile(const std::string& uuid) const {
    return profiles::LoadJsonFile(folder / (uuid + ".Json"));
  }
  static std::vector<std::string> Names(const ProfileList& list) {
    std::vector<std::string> out;
    for (const auto& n : list.Names()) out.push_back(profiles::WideToUtf8(n));
    return out;
  }
  // A list file with the given names, identities "id0", "id1", ...
  void WriteListFile(const std::vector<std::string>& names, int select = 0) {
    Json::Value list;
    for (size_t i = 0; i < names.size(); ++i) {
      Json::Value e;
      e["profilename"] = names[i];
      e["profileUUID"] = "id" + std::to_string(i);
      list["profilelist"].append(e);
    }
    list["profileselect"] = select;
    profiles::SaveJsonFile(folder / "ProfileList.ini", list);
  }

  TempFolder folder;
  int64_t nowMs = kStartMs;
};

TEST_F(ProfileListTest, FirstStartMakesProfile1FromTheFactoryProfile) {
  for (const char* existing : {"", "not json", R"({"profilelist":[],"profileselect":3})"}) {
    std::filesystem::remove_all(folder / "ProfileList.ini");
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
      if (e.path().filename() != "factory.Json") std::filesystem::remove(e.path());
    if (*existing) WriteText(folder / "ProfileList.ini", existing);
    ProfileList list = MakeList();
    SCOPED_TRACE(existing);
    EXPECT_EQ(Names(list), std::vector<std::string>{"Profile1"});
    EXPECT_EQ(list.GetSelectedIndex(), 0);
    EXPECT_EQ(list.GetSelectedProfileId(), "2026_12_10_15_00_00_000");
    EXPECT_EQ(ListFile(),
              Parse(R"({"profilelist":[{"profilename":"Profile1","profileUUID":)"
                    R"("2026_12_10_15_00_00_000","profileislink":0,"profilelinkmame":""}],)"
                    R"("profileselect":0})"));
    EXPECT_EQ(ProfileFile("2026_12_10_15_00_00_000"),
              Parse(R"({"Device":[{"DPIStages":[1,2],"KeyList":[]}],"profilename":"Profile1",)"
                    R"("profileUUID":"2026_12_10_15_00_00_000"})"));
  }
}

TEST_F(ProfileListTest, StoredSelectionOutsideTheListReadsAsZero) {
  for (int stored : {-1, 2, 99}) {
    WriteListFile({"A", "B"}, stored);
    ProfileList list = MakeList();
    EXPECT_EQ(list.GetSelectedIndex(), 0) << stored;
    EXPECT_EQ(list.GetSelectedProfileId(), "id0") << stored;
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0) << stored;
  }
}

TEST_F(ProfileListTest, NewEntriesAreNamedAfterTheFirstFreeCandidate) {
  struct Case {
    std::vector<std::string> existing;
    int selected;
    const char* op;  // "add", "copy", "import"
    int times;
    std::vector<std::string> added;
  } cases[] = {
      {{"Profile1", "profile2"}, 0, "add", 1, {"profile3"}},
      {{"PROFILE1"}, 0, "add", 2, {"profile2", "profile3"}},
      {{"other"}, 0, "add", 1, {"Profile1"}},
      {{"Game"}, 0, "copy", 3, {"Game copy1", "Game copy2", "Game copy3"}},
      {{"Game", "Game copy1"}, 1, "copy", 1, {"Game copy1 copy1"}},
      {{"x"}, 0, "import", 3, {"Game", "Game(1)", "Game(1)(2)"}},
  };
  WriteText(folder / "Game.json", R"({"Device":[{"DPIStages":[9]}],"profilename":"Inner",)"
                                  R"("profileUUID":"u"})");
  for (const Case& c : cases) {
    WriteListFile(c.existing, c.selected);
    ProfileList list = MakeList();
    for (int i = 0; i < c.times; ++i) {
      bool limited = true;
      if (std::string(c.op) == "add") limited = list.AddProfile();
      if (std::string(c.op) == "copy") limited = list.CopyProfile();
      if (std::string(c.op) == "import") limited = list.ImportProfile(folder / "Game.json");
      EXPECT_FALSE(limited);
    }
    std::vector<std::string> expected = c.existing;
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(Names(list), expected) << c.op;
    const Json::Value file = ListFile();
    ASSERT_EQ(file["profilelist"].size(), expected.size()) << c.op;
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(file["profilelist"][Json::ArrayIndex(i)]["profilename"].asString(), expected[i]);
    // The selection stays where it was, in the combo and in the file.
    EXPECT_EQ(list.GetSelectedIndex(), c.selected) << c.op;
    EXPECT_EQ(file["profileselect"].asInt(), c.selected) << c.op;
  }
}

TEST_F(ProfileListTest, NewProfileFilesCarryTheirNameAndIdentity) {
  WriteListFile({"Game"});
  WriteText(folder / "id0.Json", R"({"Device":[{"DPIStages":[5]}],"profilename":"Game",)"
                                 R"("profileUUID":"id0","extra":1})");
  WriteText(folder / "in.json", R"({"Device":[{"DPIStages":[8]}],"profilename":"Inner",)"
                                R"("profileUUID":"u","more":2})");
  ProfileList list = MakeList();
  ASSERT_FALSE(list.AddProfile());
  nowMs += 5;
  ASSERT_FALSE(list.CopyProfile());
  nowMs += 5;
  ASSERT_FALSE(list.ImportProfile(folder / "in.json"));
  EXPECT_EQ(ProfileFile("2026_12_10_15_00_00_000"),
            Parse(R"({"Device":[{"DPIStages":[1,2],"KeyList":[]}],"profilename":"Profile1",)"
                  R"("profileUUID":"2026_12_10_15_00_00_000"})"));
  EXPECT_EQ(ProfileFile("2026_12_10_15_00_00_005"),
            Parse(R"({"Device":[{"DPIStages":[5]}],"profilename":"Game copy1",)"
                  R"("profileUUID":"2026_12_10_15_00_00_005","extra":1})"));
  EXPECT_EQ(ProfileFile("2026_12_10_15_00_00_010"),
            Parse(R"({"Device":[{"DPIStages":[8]}],"profilename":"in",)"
                  R"("profileUUID":"2026_12_10_15_00_00_010","more":2})"));
}

TEST_F(ProfileListTest, IdentityInUseIsRetakenFromTheNextMillisecond) {
  WriteListFile({"A"});
  // One identity is listed, the next one only exists as a file.
  Json::Value list = ListFile();
  list["profilelist"][0]["profileUUID"] = "2026_12_10_15_00_00_000";
  profiles::SaveJsonFile(folder / "ProfileList.ini", list);
  WriteText(folder / "2026_12_10_15_00_00_001.Json", "{}");
  ProfileList profiles = MakeList();
  ASSERT_FALSE(profiles.AddProfile());
  ASSERT_FALSE(profiles.AddProfile());
  const Json::Value file = ListFile();
  EXPECT_EQ(file["profilelist"][1]["profileUUID"].asString(), "2026_12_10_15_00_00_002");
  EXPECT_EQ(file["profilelist"][2]["profileUUID"].asString(), "2026_12_10_15_00_00_003");
  EXPECT_EQ(ReadAll(folder / "2026_12_10_15_00_00_001.Json"), "{}");
}

TEST_F(ProfileListTest, FiftyProfilesRefuseEveryAdditionAndLeaveTheFileAsItWas) {
  std::vector<std::string> names;
  for (int i = 0; i < 50; ++i) names.push_back("p" + std::to_string(i));
  WriteListFile(names);
  WriteText(folder / "in.json", R"({"Device":[{"DPIStages":[]}],"profilename":"a",)"
                                R"("profileUUID":"b"})");
  ProfileList list = MakeList();
  const auto before = profiles_test::Snapshot(folder.path());
  EXPECT_TRUE(list.AddProfile());
  EXPECT_TRUE(list.CopyProfile());
  EXPECT_TRUE(list.ImportProfile(folder / "in.json"));
  EXPECT_EQ(list.Count(), 50);
  EXPECT_EQ(profiles_test::Snapshot(folder.path()), before);

  // The panel's flow shows the limit message each time.
  RecordingPrompts prompts;
  profiles::RunAddProfile(list, prompts);
  profiles::RunCopyProfile(list, prompts);
  profiles::RunImportProfile(list, prompts, folder / "in.json");
  EXPECT_EQ(prompts.shown, (std::vector<std::string>(3, "message_text_32")));
  EXPECT_EQ(profiles_test::Snapshot(folder.path()), before);
}

TEST(ProfileNameCheck, BytesInTheLanguagesCodePageAndForbiddenCharacters) {
  struct Case {
    std::u16string name;
    int codePage;
    NameCheck expected;
  } cases[] = {
      {u"", 1252, NameCheck::Empty},
      {u"abcdefghijklmnop", 1252, NameCheck::Ok},           // 16 bytes
      {u"abcdefghijklmnopq", 1252, NameCheck::TooLong},     // 17
      {u"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"
       u"\u00e9\u00e9",
       1252, NameCheck::Ok},  // 16 x e-acute, one byte each in 1252
      {u"\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9", 936, NameCheck::TooLong},  // 2 each
      {u"\u914d\u7f6e\u6587\u4ef6\u914d\u7f6e\u6587\u4ef6", 936, NameCheck::Ok},    // 8 x 2
      {u"\u914d\u7f6e\u6587\u4ef6\u914d\u7f6e\u6587\u4ef6a", 936, NameCheck::TooLong},
      {u"\u8a2d\u5b9a\u6a94\u6848\u8a2d\u5b9a\u6a94\u6848", 950, NameCheck::Ok},
      {u"\u0e01\u0e02\u0e03\u0e04\u0e05\u0e06\u0e07\u0e08\u0e09\u0e0a\u0e0b\u0e0c\u0e0d\u0e0e"
       u"\u0e0f\u0e10",
       874, NameCheck::Ok},  // Thai letters: one byte each
      // A character the code page lacks counts as its one-byte replacement.
      {u"\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d\u914d"
       u"\u914d\u914d",
       1252, NameCheck::Ok},
      {u"a b", 1252, NameCheck::Forbidden},
      {u"a=b", 1252, NameCheck::Forbidden},
  };
  for (const Case& c : cases)
    EXPECT_EQ(profiles::CheckProfileName(c.name, c.codePage), c.expected)
        << profiles::WideToUtf8(c.name) << " in " << c.codePage;
  for (char16_t c : std::u16string_view(u"<>:\"/\\|?#%&*="))
    EXPECT_EQ(profiles::CheckProfileName(std::u16string(u"x") + c, 1252), NameCheck::Forbidden)
        << char(c);
}

// Each offered language checks names in its own code page; the byte counts
// are those of the code page's tables.
TEST(ProfileNameCheck, EveryLanguageCountsInItsCodePage) {
  struct Case {
    int languageId;
    int codePage;
    std::u16string name;  // a sample in the language's script
    int bytes;
  } cases[] = {
      {510, 936, u"\u914d\u7f6e", 4},
      {520, 1252, u"Profil\u00e9", 7},
      {530, 950, u"\u8a2d\u5b9a", 4},
      {540, 932, u"\u30d7\u30ed\u30d5\u30a1\u30a4\u30eb", 12},  // katakana: 2 each
      {540, 932, u"\uff8c\uff9f\uff9b", 3},                       // half-width katakana: 1 each
      {550, 949, u"\ud504\ub85c\ud544", 6},                        // hangul: 2 each
      {560, 1252, u"Gr\u00fc\u00dfe", 5},                           // de
      {570, 1252, u"\u00e9t\u00e9", 3},                             // fr
      {580, 1252, u"a\u00f1o", 3},                                  // es
      {590, 1252, u"a\u00e7\u00e3o", 4},                            // pt
      {600, 1252, u"citt\u00e0", 5},                                // it
      {610, 1251, u"\u041f\u0440\u043e\u0444\u0438\u043b\u044c", 7},  // Cyrillic: 1 each
      {620, 1250, u"\u017c\u00f3\u0142w", 4},                       // Polish letters: 1 each
      {630, 1254, u"\u011f\u0131\u015f", 3},                        // Turkish letters: 1 each
      {640, 1258, u"\u0111\u00ea", 2},                              // in the code page: 1 each
      {640, 1258, u"\u1ec7", 2},                                    // base letter + combining mark
      {650, 1252, u"Profil", 6},                                    // id
      {660, 874, u"\u0e42\u0e1b\u0e23", 3},                         // Thai: 1 each
      {9999, 1252, u"\u0416", 1},  // an unknown id counts in 1252, Cyrillic as a replacement
  };
  for (const Case& c : cases) {
    EXPECT_EQ(profiles::CodePageOfLanguage(c.languageId), c.codePage) << c.languageId;
    EXPECT_EQ(profiles::CodePageLength(c.name, c.codePage), c.bytes)
        << profiles::WideToUtf8(c.name) << " in " << c.codePage;
  }
  // Sixteen bytes pass, seventeen do not, in a double-byte and a single-byte
  // code page of the new languages.
  const std::u16string eightKana = u"\u30d7\u30ed\u30d5\u30a1\u30a4\u30eb\u30d7\u30ed";
  EXPECT_EQ(profiles::CheckProfileName(eightKana, 932), NameCheck::Ok);
  EXPECT_EQ(profiles::CheckProfileName(eightKana + u"a", 932), NameCheck::TooLong);
  const std::u16string sixteenCyrillic(16, u'\u0416');
  EXPECT_EQ(profiles::CheckProfileName(sixteenCyrillic, 1251), NameCheck::Ok);
  EXPECT_EQ(profiles::CheckProfileName(sixteenCyrillic + u"\u0416", 1251), NameCheck::TooLong);
}

TEST_F(ProfileListTest, RenameKeepsNamesUniqueAndWritesListAndFile) {
  WriteListFile({"Alpha", "Beta"});
  WriteText(folder / "id0.Json", R"({"Device":[{"DPIStages":[3]}],"profilename":"Alpha"})");
  ProfileList list = MakeList();
  struct Case {
    std::u16string name;
    int result;
    const char* stored;  // the name in the list afterwards
  } cases[] = {
      {u"beta", 0, "Alpha"},   // another entry's name in another case
      {u"\t", 2, "Alpha"},     // blank
      {u"ALPHA", 1, "ALPHA"},  // its own name, any case
      {u"Gamma", 1, "Gamma"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(list.RenameProfile(c.name), c.result) << profiles::WideToUtf8(c.name);
    EXPECT_EQ(ListFile()["profilelist"][0]["profilename"].asString(), c.stored);
    EXPECT_EQ(ProfileFile("id0")["profilename"].asString(), c.stored);
  }
  EXPECT_EQ(ProfileFile("id0")["Device"][0]["DPIStages"][0].asInt(), 3);
  EXPECT_EQ(ListFile()["profilelist"][0]["profileUUID"].asString(), "id0");

  // The panel's checks come before the list's and pick the messages.
  RecordingPrompts prompts;
  profiles::RunRenameProfile(list, prompts, u"", 1252);
  profiles::RunRenameProfile(list, prompts, u"abcdefghijklmnopq", 1252);
  profiles::RunRenameProfile(list, prompts, u"a/b", 1252);
  profiles::RunRenameProfile(list, prompts, u"Beta", 1252);
  profiles::RunRenameProfile(list, prompts, u"\t\t", 1252);
  EXPECT_EQ(prompts.shown, (std::vector<std::string>{"message_text_34", "message_text_35",
                                                     "message_text_5", "message_text_25"}));
  EXPECT_EQ(Names(list), (std::vector<std::string>{"Gamma", "Beta"}));
}

TEST_F(ProfileListTest, DeleteSelectsThePredecessorAndRemovesTheFile) {
  struct Case {
    std::vector<std::string> names;
    int selected;
    bool deleted;
    int next;
    std::vector<std::string> left;
  } cases[] = {
      {{"A"}, 0, false, 0, {"A"}},
      {{"A", "B", "C"}, 0, true, 0, {"B", "C"}},
      {{"A", "B", "C"}, 2, true, 1, {"A", "B"}},
  };
  for (const Case& c : cases) {
    WriteListFile(c.names, c.selected);
    for (size_t i = 0; i < c.names.size(); ++i)
      WriteText(folder / ("id" + std::to_string(i) + ".Json"), "{}");
    ProfileList list = MakeList();
    EXPECT_EQ(list.DeleteProfile(), c.deleted);
    EXPECT_EQ(Names(list), c.left);
    EXPECT_EQ(list.GetSelectedIndex(), c.next);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), c.next);
    EXPECT_EQ(std::filesystem::exists(folder / ("id" + std::to_string(c.selected) + ".Json")),
              !c.deleted);
  }
}

TEST_F(ProfileListTest, ResetRestoresTheFactoryProfileAndAHeadsetKeepsItsPresets) {
  WriteText(folder / "hd.Json", kHeadsetFactory);
  const std::string user =
      R"({"Device":[{"SystemSetStages":[5],"CustomEQNameInfo":["mine"],)"
      R"("CustomEQHzValueInfo":[42],"LightInfo":[1]}],"profilename":"P","profileUUID":"id0"})";
  for (int kind : {hid::kind::kMouseCable, hid::kind::kHeadset}) {
    WriteListFile({"P"});
    WriteText(folder / "id0.Json", user);
    ProfileList list([] { return Clock::time_point(); });
    list.SetKind(kind);
    list.SetPaths(folder.path() / "", folder / "hd.Json");
    list.InitList();
    EXPECT_TRUE(list.ResetProfile());
    const Json::Value entry = ProfileFile("id0")["Device"][0];
    EXPECT_EQ(entry["SystemSetStages"], Parse("[0]")) << kind;
    EXPECT_EQ(entry["LightInfo"], Parse("[7]")) << kind;
    const bool keeps = kind == hid::kind::kHeadset;
    EXPECT_EQ(entry["CustomEQNameInfo"], Parse(keeps ? R"(["mine"])" : R"(["factory"])")) << kind;
    EXPECT_EQ(entry["CustomEQHzValueInfo"], Parse(keeps ? "[42]" : "[0]")) << kind;
    EXPECT_EQ(ProfileFile("id0")["profilename"].asString(), "P");
    EXPECT_EQ(ProfileFile("id0")["profileUUID"].asString(), "id0");
  }
}

TEST_F(ProfileListTest, ImportRefusesFilesOfAnotherKindOrWithoutTheFields) {
  struct Case {
    const char* text;
    int kind;
    bool imported;
  } cases[] = {
      {R"({"Device":[{"DPIStages":[]}],"profilename":"a","profileUUID":"b"})", 2, true},
      {R"({"Device":[{"DPIStages":[]}],"profilename":"a","profileUUID":"b"})", 1, false},
      {R"({"Device":[{"CustomLightMode":[]}],"profilename":"a","profileUUID":"b"})", 9, true},
      {R"({"Device":[{"CustomLightMode":[],"DPIStages":[]}],"profilename":"a","profileUUID":"b"})",
       1, false},
      {R"({"Device":[{"LightInfo":[]}],"profilename":"a","profileUUID":"b"})", 3, true},
      {R"({"Device":[{"SystemSetStages":[]}],"profilename":"a","profileUUID":"b"})", 3, false},
      {R"({"Device":[{"LightInfo":[]}],"profilename":"a","profileUUID":"b"})", 7, false},
      {R"({"Device":[],"profilename":"a","profileUUID":"b"})", 3, false},
      {R"({"Device":[{"DPIStages":[]}],"profilename":"a"})", 2, false},  // no "profileUUID"
      {R"(["profilename","profileUUID"])", 2, false},
      {"not json", 2, false},
  };
  for (const Case& c : cases) {
    WriteListFile({"P"});
    WriteText(folder / "in.json", c.text);
    ProfileList list = MakeList(c.kind);
    RecordingPrompts prompts;
    EXPECT_EQ(profiles::RunImportProfile(list, prompts, folder / "in.json"), c.imported)
        << c.text << " kind " << c.kind;
    EXPECT_EQ(ListFile()["profilelist"].size(), c.imported ? 2u : 1u) << c.text;
    EXPECT_TRUE(prompts.shown.empty());
  }
}

TEST_F(ProfileListTest, ExportWritesTheProfileAndCompletesAMissingOne) {
  WriteListFile({"P", "Q"});
  WriteText(folder / "id0.Json", R"({"Device":[{"DPIStages":[4]}],"profilename":"P",)"
                                 R"("profileUUID":"id0"})");
  ProfileList list = MakeList();
  ASSERT_TRUE(profiles::RunExportProfile(list, folder / "out.json"));
  EXPECT_EQ(profiles::LoadJsonFile(folder / "out.json"),
            Parse(R"({"Device":[{"DPIStages":[4]}],"profilename":"P","profileUUID":"id0"})"));

  // id1 has no file: the export writes the factory content under its name.
  list.SelectProfile(1);
  ASSERT_TRUE(profiles::RunExportProfile(list, folder / "out1.json"));
  const Json::Value exported = profiles::LoadJsonFile(folder / "out1.json");
  EXPECT_EQ(exported["Device"][0]["DPIStages"], Parse("[1,2]"));
  EXPECT_EQ(exported["profilename"].asString(), "Q");
  EXPECT_EQ(exported["profileUUID"].asString(), "id1");
  EXPECT_TRUE(profiles::IsImportableProfile(folder / "out1.json"));
}

TEST_F(ProfileListTest, IdentitiesThatNameAPathOutsideTheFolderNameNoFile) {
  WriteListFile({"P", "Q"});
  Json::Value list = ListFile();
  list["profilelist"][0]["profileUUID"] = "../escape";
  list["profilelist"][1]["profileUUID"] = "a/b";
  profiles::SaveJsonFile(folder / "ProfileList.ini", list);
  ProfileList profiles = MakeList();
  EXPECT_FALSE(profiles.ExportProfile(folder / "out.json"));
  EXPECT_FALSE(profiles.ResetProfile());
  EXPECT_EQ(profiles.RenameProfile(u"R"), 1);
  EXPECT_EQ(profiles.ReloadList(), 2);
  EXPECT_TRUE(profiles.ProfileFilePath(0).empty());
  EXPECT_TRUE(profiles.ProfileFilePath(1).empty());
  EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "escape.Json"));
  EXPECT_FALSE(std::filesystem::exists(folder / "out.json"));
}

TEST_F(ProfileListTest, MacroSweepAsksAboutTheSelectedProfileBeforeChangingAny) {
  // Macro 2 (0x700200) is removed, macro 3 (0x710300) moves down, macro 1 stays.
  WriteListFile({"Selected", "Other"});
  WriteText(folder / "id1.Json",
            R"({"Device":[{"DPIStages":[],"KeyList":[)"
            R"({"Assignment":7340544,"DefaultAssignment":65537},)"
            R"({"Assignment":7406336,"DefaultAssignment":5},)"
            R"({"Assignment":7340288,"DefaultAssignment":6}]}]})");
  const std::string otherBefore = ReadAll(folder / "id1.Json");
  profiles::CMouseProfiledata probe;
  probe.SetDefaultPath(folder / "factory.Json");

  std::vector<profiles::KeyAssignment> selected(1);
  selected[0].assignment = profiles::KeyFunction::FromCode(0, 0x700200);
  selected[0].defaultAssignment = profiles::KeyFunction::FromCode(0, 0x020002);

  ProfileList list = MakeList();
  int asked = 0;
  EXPECT_FALSE(list.SweepRemovedMacro(2, selected, [&] { return ++asked, false; }));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(ReadAll(folder / "id1.Json"), otherBefore);
  EXPECT_EQ(selected[0].assignment.Code(), 0x700200u);

  EXPECT_TRUE(list.SweepRemovedMacro(2, selected, [&] { return ++asked, true; }));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(selected[0].assignment.Code(), 0x020002u);
  probe.LoadOtherProfile(folder / "id1.Json");
  const auto swept = probe.GetOtherKeyList();
  ASSERT_EQ(swept.size(), 3u);
  EXPECT_EQ(swept[0].assignment.Code(), 0x010001u);
  EXPECT_EQ(swept[1].assignment.Code(), 0x710200u);
  EXPECT_EQ(swept[2].assignment.Code(), 0x700100u);

  // Other kinds have no macros in their key lists.
  ProfileList pad = MakeList(hid::kind::kMousePad);
  EXPECT_FALSE(pad.SweepRemovedMacro(0, selected, [] { return true; }));
}

TEST(InsertNumber, ReplacesEveryPercentDAndNothingElse) {
  EXPECT_EQ(profiles::InsertNumber("over by %d macros", 3), "over by 3 macros");
  EXPECT_EQ(profiles::InsertNumber("%d/%d %s %x %", -2), "-2/-2 %s %x %");
  EXPECT_EQ(profiles::InsertNumber("no number", 7), "no number");
}

// vx27ctl profile runs the same flow on the user data folder.
std::string RunCtl(const std::string& args) {
  FILE* out = ::popen((std::string(VX27CTL) + " profile " + args + " 2>&1").c_str(), "r");
  if (!out) return "popen failed";
  std::string text;
  char buffer[4096];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
  ::pclose(out);
  return text;
}

TEST(ProfileCommand, WorksTheUserDataListAndPrintsEntriesAndMessages) {
  TempFolder data;
  ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  const std::regex entry(R"(profile (\d+) ([*-]) (\d{4}(_\d\d){5}_\d{3}) (.*))");
  std::string text = RunCtl("mouse add");
  std::istringstream lines(text);
  std::vector<std::string> names, marks;
  for (std::string l; std::getline(lines, l);) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, entry)) << l;
    marks.push_back(m[2]);
    names.push_back(m[5]);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Profile1", "profile2"}));
  EXPECT_EQ(marks, (std::vector<std::string>{"*", "-"}));
  const auto folder = data.path() / "VX27 MOUSE" / "mouse";
  EXPECT_EQ(profiles::LoadJsonFile(folder / "ProfileList.ini")["profilelist"].size(), 2u);

  text = RunCtl("mouse rename 'two words'");
  EXPECT_EQ(text.substr(0, text.find('\n')), "message message_text_35");
  text = RunCtl("mouse select 1");
  EXPECT_NE(text.find(" * "), std::string::npos);
  EXPECT_NE(text.find("profile 1 * "), std::string::npos) << text;
  text = RunCtl("mouse delete");
  EXPECT_NE(text.find("profile 0 * "), std::string::npos) << text;
  EXPECT_EQ(text.find("profile 1 "), std::string::npos) << text;
  EXPECT_NE(RunCtl("mouse select 5").find("no profile 5"), std::string::npos);
  ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
