// Every section: JSON -> record bytes -> JSON. Missing members read as 0 or
// false, numbers are narrowed to the field width by truncation, values of the
// wrong type read as 0, and the writers use the files' own (misspelled) keys.

#include <cstdio>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "profiles/JsonAccess.h"
#include "profiles/Sections.h"

using namespace profiles;
using profiles_test::Parse;

namespace {

template <typename Record>
std::string Hex(const Record& record) {
  std::string hex;
  for (uint8_t b : record.Encode()) {
    char d[3];
    std::snprintf(d, sizeof d, "%02x", b);
    hex += d;
  }
  return hex;
}

struct Case {
  const char* name;
  const char* json;     // the section (or element) as read
  const char* hex;      // the record's bytes
  const char* written;  // the section the writer makes from the record; null: not written
};

template <typename Record>
void RunCases(const std::vector<Case>& cases, std::function<Record(const Json::Value&)> read,
         std::function<Json::Value(const Record&)> write) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Record record = read(Parse(c.json));
    EXPECT_EQ(Hex(record), c.hex);
    if (c.written) {
      EXPECT_EQ(write(record), Parse(c.written)) << write(record).toStyledString();
    }
  }
}

template <typename Record>
std::function<Json::Value(const Record&)> Into(void (*writer)(Json::Value&, const Record&)) {
  return [writer](const Record& r) {
    Json::Value v;
    writer(v, r);
    return v;
  };
}

TEST(Sections, LightInfo) {
  const char* kZeros =
      R"({"SelectItem":0,"Light":0,"Speed":0,"Fx":0,"MultiColor":0,"Red":0,"Green":0,"Blue":0,
          "ZZCCLedMode":0,"CustomGroup":0,"OldLedmode":0})";
  RunCases<LightInfoRecord>(
      {
          {"every member",
           R"({"SelectItem":3,"Light":4,"Speed":2,"Fx":1,"MultiColor":1,"Red":255,"Green":128,
               "Blue":7,"ZZCCLedMode":2,"CustomGroup":4,"OldLedmode":5})",
           "0304020101ff8007000000020405",
           R"({"SelectItem":3,"Light":4,"Speed":2,"Fx":1,"MultiColor":1,"Red":255,"Green":128,
               "Blue":7,"ZZCCLedMode":2,"CustomGroup":4,"OldLedmode":5})"},
          {"missing members read as 0", R"({"SelectItem":2})", "0200000000000000000000000000",
           R"({"SelectItem":2,"Light":0,"Speed":0,"Fx":0,"MultiColor":0,"Red":0,"Green":0,
               "Blue":0,"ZZCCLedMode":0,"CustomGroup":0,"OldLedmode":0})"},
          {"numbers truncated to a byte",
           R"({"SelectItem":4294967295,"Light":2.9,"Red":300,"Green":-1,"Blue":65791})",
           "ff020000002cffff000000000000",
           R"({"SelectItem":255,"Light":2,"Speed":0,"Fx":0,"MultiColor":0,"Red":44,"Green":255,
               "Blue":255,"ZZCCLedMode":0,"CustomGroup":0,"OldLedmode":0})"},
          {"MultiColor is a flag, Fx a number", R"({"MultiColor":5,"Fx":true})",
           "0000000101000000000000000000",
           R"({"SelectItem":0,"Light":0,"Speed":0,"Fx":1,"MultiColor":1,"Red":0,"Green":0,
               "Blue":0,"ZZCCLedMode":0,"CustomGroup":0,"OldLedmode":0})"},
          {"wrong types read as 0",
           R"({"Speed":"3","Red":[1],"Green":{"a":1},"MultiColor":"yes","Blue":1e300})",
           "0000000000000000000000000000", kZeros},
          {"not an object", "[1,2,3]", "0000000000000000000000000000", kZeros},
      },
      sections::ReadLightInfo, sections::WriteLightInfo);
}

TEST(Sections, AudioLightInfo) {
  RunCases<AudioLightRecord>(
      {
          {"every member, flags as bool",
           R"({"AudioMode":3,"BkColorR":1,"BkColorG":2,"BkColorB":3,"FgColorR":4,"FgColorG":5,
               "FgColorB":6,"7ColorFlags":9,"ColorTypeFlags":0})",
           "030102030405060100",
           R"({"AudioMode":3,"BkColorR":1,"BkColorG":2,"BkColorB":3,"FgColorR":4,"FgColorG":5,
               "FgColorB":6,"7ColorFlags":1,"ColorTypeFlags":0})"},
          {"missing", "{}", "000000000000000000",
           R"({"AudioMode":0,"BkColorR":0,"BkColorG":0,"BkColorB":0,"FgColorR":0,"FgColorG":0,
               "FgColorB":0,"7ColorFlags":0,"ColorTypeFlags":0})"},
      },
      sections::ReadAudioLight, sections::WriteAudioLight);
}

TEST(Sections, LightListElements) {
  RunCases<LightModeEntry>(
      {
          {"present element",
           R"({"LEDREGMode":2,"LEDBrightness":3,"LEDSpeed":1,"LEDDirection":7,"LEDMultiColor":0,
               "red":10,"green":20,"blue":30})",
           "02030101000a141e000001000000", nullptr},
          {"null element is not present", "null", "0000000000000000000000000000", nullptr},
          {"empty element is present", "{}", "0000000000000000000001000000", nullptr},
      },
      sections::ReadLightModeEntry, nullptr);
  const auto list = sections::ReadLightList(Parse(R"([null, {"LEDREGMode":1}])"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].present, 0);
  EXPECT_EQ(list[1].present, 1);
  EXPECT_TRUE(sections::ReadLightList(Parse(R"({"0":{}})")).empty());
}

TEST(Sections, KeyListElements) {
  const auto at5 = [](const Json::Value& v) { return sections::ReadKeyAssignment(v, 5); };
  RunCases<KeyAssignment>(
      {
          {"codes split into three bytes", R"({"Assignment":1048832,"DefaultAssignment":2097193})",
           "050010010000050020002900", nullptr},
          {"bits above the code are dropped", R"({"Assignment":4278190335})",
           "05000000ff00050000000000", nullptr},
          {"missing codes read as 0", "null", "050000000000050000000000", nullptr},
      },
      at5, nullptr);
  // Elements are numbered by position.
  const auto keys = sections::ReadKeyList(Parse(R"([{}, {"Assignment":1}, {}])"));
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[2].assignment.keyIndex, 2);
  EXPECT_EQ(keys[2].defaultAssignment.keyIndex, 2);
  EXPECT_EQ(keys[1].assignment.c2, 1);
}

TEST(Sections, KeyboardSystemStages) {
  RunCases<KeyboardSystemSettings>(
      {
          {"six halves, truncated to 16 bits",
           R"({"Repeat":70000,"RepeatDelay":3,"Key6Flag":1,"PollingRate":2,"WFlag":1,"WinFlag":1})",
           "701103000100020001000100",
           R"({"Repeat":4464,"RepeatDelay":3,"Key6Flag":1,"PollingRate":2,"WFlag":1,"WinFlag":1})"},
      },
      sections::ReadKeyboardSystem, Into(sections::WriteKeyboardSystem));
}

TEST(Sections, CustomColorAndDpiStage) {
  RunCases<CustomColor>({{"colour", R"({"Red":1,"Green":2,"Blue":3,"Alpha":255})", "010203ff",
                     R"({"Red":1,"Green":2,"Blue":3,"Alpha":255})"}},
                   sections::ReadCustomColor, Into(sections::WriteCustomColor));
  RunCases<DpiStage>(
      {{"stage, DPI little-endian",
        R"({"StageActive":1,"StageXY":1,"StageDPIX":12000,"StageDPIY":800,"StageColorR":255,
            "StageColorG":0,"StageColorB":128})",
        "0101e02e2003ff0080",
        R"({"StageActive":1,"StageXY":1,"StageDPIX":12000,"StageDPIY":800,"StageColorR":255,
            "StageColorG":0,"StageColorB":128})"}},
      sections::ReadDpiStage, Into(sections::WriteDpiStage));
}

TEST(Sections, MouseSystemAndReportStages) {
  const auto read = [](const Json::Value& v) {
    return sections::ReadMouseSystem(json::Member(v, "SystemStages"),
                                     json::Member(v, "ReportStages"));
  };
  const auto write = [](const MouseSystemSettings& r) {
    Json::Value v;
    sections::WriteMouseSystem(v["SystemStages"], v["ReportStages"], r);
    return v;
  };
  const char* kFull = R"({
      "SystemStages":{"DoubleClickTime":500,"MouseSpeed":10,"PointerPrecision":1,
                      "ScorllPage":1,"WheelScorlllinse":3},
      "ReportStages":{"StageActive":2,"SilentAltitude":1,"Linear_Calibration":1,"Ripple":1,
                      "ble_sleep1":5,"ble_sleep2":6,"device_sleep1":7,"device_sleep2":8,
                      "key_debounce_time":9}})";
  RunCases<MouseSystemSettings>(
      {
          {"misspelled keys as the files have them", kFull,
           "f4010a000100010003000200010001000100000005000600070008000900" "0000", kFull},
          {"correct spellings are not the keys",
           R"({"SystemStages":{"ScrollPage":1,"WheelScrollLines":3}})",
           "0000000000000000000000000000000000000000000000000000000000000000", nullptr},
      },
      read, write);
}

TEST(Sections, HeadsetSystemSetStages) {
  const char* kFull =
      R"({"MagicEnable":1,"MagicType":2,"EqType":13,"CustomEqSeletIndex":3,"MicInSelect":1,
          "MicInValue":80,"MicMoniterSelect":1,"MicMoniterValue":-5})";
  RunCases<HeadsetSettings>(
      {
          {"eight integers, misspelled keys", kFull,
           "01000000020000000d000000030000000100000050000000" "01000000fbffffff", kFull},
          {"correct spellings are not the keys",
           R"({"CustomEqSelectIndex":3,"MicMonitorSelect":1})",
           "0000000000000000000000000000000000000000000000000000000000000000", nullptr},
      },
      sections::ReadHeadsetSettings, Into(sections::WriteHeadsetSettings));
}

TEST(Sections, LightEffectStep) {
  RunCases<LightEffectStep>(
      {
          {"step with Time and Cyle",
           R"({"LEDREGMode":4,"LEDBrightness":3,"LEDSpeed":2,"LEDDirection":1,"LEDMultiColor":2,
               "red":1,"green":2,"blue":3,"Time":1000,"Cyle":-1})",
           "0403020102010203" "0000000000000000" "e8030000ffffffff", nullptr},
          {"Cycle is not the key", R"({"Cycle":5,"Time":4294967296})",
           "0000000000000000" "0000000000000000" "0000000000000000", nullptr},
      },
      sections::ReadLightEffectStep, nullptr);
}

}  // namespace
