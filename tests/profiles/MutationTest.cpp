// Random-mutation fuzzing of LoadJsonFile and every section reader and writer:
// profile files are mutated as text (bytes flipped, cut, spliced, tokens
// inserted) and as JSON (values replaced by values of every type and range),
// then loaded by each device kind's profile object, read through every getter,
// written back through every setter and saved. Nothing may crash or throw, and
// every saved file must load again. The seed is fixed so a failure repeats.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExerciseProfiles.h"
#include "TestFiles.h"
#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/ProfileFolders.h"
#include "profiles/Ru6533Profiledata.h"

using namespace profiles;
using namespace profiles_test;

namespace {

const char* kKeyboardSeed = R"({"Device":[{
  "LightInfo":{"SelectItem":20,"Light":4,"Speed":1,"Fx":0,"MultiColor":1,"Red":1,"Green":2,
               "Blue":3,"ZZCCLedMode":1,"CustomGroup":1,"OldLedmode":6},
  "AudioLightInfo":{"AudioMode":2,"BkColorR":0,"FgColorR":255,"7ColorFlags":1,"ColorTypeFlags":0},
  "LightList":[null,{"LEDREGMode":1,"LEDDirection":1,"red":1}],
  "KeyList":[{"Assignment":2097193,"DefaultAssignment":2097193},{"Assignment":7340288}],
  "SystemStages":{"Repeat":20,"RepeatDelay":1,"Key6Flag":0,"PollingRate":2,"WFlag":1},
  "CustomLightMode":{"CustomLightModeGroupIndex":1,
     "LightColorInfo":[[{"Red":1,"Green":1,"Blue":1,"Alpha":1}],[{"Red":9},null]]}}],
  "profilename":"P","profileUUID":"u"})";

const char* kHeadsetSeed = R"({"Device":[{
  "LightInfo":{"SelectItem":2},
  "SystemSetStages":{"MagicEnable":1,"MagicType":2,"EqType":13,"CustomEqSeletIndex":1,
                     "MicInSelect":1,"MicInValue":80,"MicMoniterSelect":0,"MicMoniterValue":5},
  "EQHzValueInfo":[[{"value":1}],[{"value":2},{"value":3}],null],
  "CustomEQNameInfo":[{"Name":"a"},{"Name":"低音"}],
  "CustomEQHzValueInfo":[[{"value":-4}],[{"value":5}]]}]})";

const char* kLightConfigSeed =
    R"({"LightInfo":[[{"LightName":"A","Guid":"fx"},{"LightName":"B","Guid":"fx"}]]})";
const char* kEffectSeed =
    R"({"LEDEffectList":[{"LEDREGMode":5,"LEDSpeed":4,"Time":500,"Cyle":3},{"red":255}]})";

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : random_(seed) {}

  int Below(int n) { return int(random_() % uint32_t(n)); }

  std::string MutateText(std::string text) {
    static const char* kTokens[] = {"[",     "]",  "{",    "}",     ",",      ":",
                                    "\"",    "null", "true", "-",   "1e400",  "-0",
                                    "99999999999999999999", "4294967296", "\"x\"", "[[[[",
                                    "{\"a\":", "\\u0000", "\xFF\xFE", "/*", "//"};
    const int edits = 1 + Below(4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const size_t at = size_t(Below(int(text.size())));
      switch (Below(5)) {
        case 0:
          text[at] = char(random_());
          break;
        case 1:
          text.erase(at, size_t(Below(16)));
          break;
        case 2:
          text.insert(at, kTokens[Below(int(std::size(kTokens)))]);
          break;
        case 3: {
          const size_t from = size_t(Below(int(text.size())));
          text.insert(at, text.substr(from, size_t(Below(64))));
          break;
        }
        default:
          text.resize(at);
      }
    }
    return text;
  }

  Json::Value RandomValue(int depth = 0) {
    switch (Below(depth > 2 ? 11 : 13)) {
      case 0: return Json::Value();
      case 1: return Json::Value(Below(2) == 0);
      case 2: return Json::Value(Below(600) - 300);
      case 3: return Json::Value(Json::UInt64(0xFFFFFFFFFFFFFFFFull - uint64_t(Below(3))));
      case 4: return Json::Value(Json::Int64(-(int64_t(1) << 40)));
      case 5: return Json::Value(1e300 * (Below(2) ? 1 : -1));
      case 6: return Json::Value(0.5 + Below(5));
      case 7: return Json::Value("text");
      case 8: return Json::Value(Json::arrayValue);
      case 9: return Json::Value(Json::objectValue);
      case 10: return Json::Value(2147483647 - Below(2));
      case 11: {
        Json::Value a(Json::arrayValue);
        for (int i = Below(4); i > 0; --i) a.append(RandomValue(depth + 1));
        return a;
      }
      default: {
        Json::Value o(Json::objectValue);
        static const char* kKeys[] = {"LightInfo", "value", "Red", "Assignment", "Guid",
                                      "StageDPIs", "LightColorInfo", "x"};
        for (int i = Below(4); i > 0; --i) o[kKeys[Below(8)]] = RandomValue(depth + 1);
        return o;
      }
    }
  }

  // Replaces a few nodes of the document, anywhere in the tree, by random values.
  void MutateValue(Json::Value& root) {
    const int edits = 1 + Below(3);
    for (int e = 0; e < edits; ++e) {
      Json::Value* node = &root;
      while ((node->isArray() || node->isObject()) && node->size() > 0 && Below(5) != 0) {
        if (node->isArray()) {
          node = &(*node)[Json::ArrayIndex(Below(int(node->size())))];
        } else {
          const auto names = node->getMemberNames();
          node = &(*node)[names[size_t(Below(int(names.size())))]];
        }
      }
      *node = RandomValue();
    }
  }

 private:
  std::mt19937 random_;
};

std::vector<std::string> Seeds() {
  return {kKeyboardSeed, kHeadsetSeed, ReadAll(DefaultProfilePath("mouse")),
          ReadAll(DefaultProfilePath("MousePad"))};
}

TEST(Mutation, MutatedTextNeverCrashesAReader) {
  TempFolder folder(MemoryFolder());
  Mutator m(20241120);
  const auto seeds = Seeds();
  for (int i = 0; i < 60; ++i) {
    WriteText(folder / "orvix_light.config", m.MutateText(kLightConfigSeed));
    WriteText(folder / "fx.light", m.MutateText(kEffectSeed));
    ASSERT_TRUE(RunAllKinds(folder.path(), m.MutateText(seeds[size_t(i) % seeds.size()]))) << i;
  }
}

TEST(Mutation, ValuesOfEveryTypeAndRangeNeverCrashAReader) {
  TempFolder folder(MemoryFolder());
  Mutator m(77);
  const auto seeds = Seeds();
  for (int i = 0; i < 120; ++i) {
    Json::Value config = Parse(kLightConfigSeed);
    m.MutateValue(config);
    WriteText(folder / "orvix_light.config", StyledJsonText(config));
    Json::Value effect = Parse(kEffectSeed);
    m.MutateValue(effect);
    WriteText(folder / "fx.light", StyledJsonText(effect));
    Json::Value profile = Parse(seeds[size_t(i) % seeds.size()]);
    m.MutateValue(profile);
    ASSERT_TRUE(RunAllKinds(folder.path(), StyledJsonText(profile))) << i;
  }
}

}  // namespace
