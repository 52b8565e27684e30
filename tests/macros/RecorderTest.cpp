// Recording on a stepped clock: delays by timing mode, the repeat filters,
// the stop-button click, the four placements and keys without a row.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/MacroRecorder.h"

namespace {

using macros::KeyboardHookData;
using macros::MacroRecorder;
using macros::MacroRows;
using macros::MouseHookData;
using macros::Placement;

constexpr uint32_t kDown = 0x0100, kUp = 0x0101, kSysDown = 0x0104;

KeyboardHookData Scan(uint32_t scan, bool ext = false) { return {0, scan, ext ? 1u : 0u, 0}; }

struct Recording {
  MacroRows rows;
  uint32_t now = 1000;
  MacroRecorder recorder{rows, [this] { return now; }};

  void Key(Placement p, uint32_t at, uint32_t message, KeyboardHookData key) {
    now = at;
    recorder.OnKeyboardEvent(p, message, key);
  }
  void Mouse(Placement p, uint32_t at, uint32_t message, MouseHookData data = {}) {
    now = at;
    recorder.OnMouseEvent(p, message, data);
  }
  // "<Type>:<Action>:<Button>/<Delay>" per row.
  std::vector<std::string> Shape() const {
    std::vector<std::string> out;
    for (int i = 0; i < rows.Count(); ++i) {
      const Json::Value& a = rows.At(i).action;
      out.push_back(a.isNull() ? "-"
                               : std::to_string(a["Type"].asInt()) + ":" + a["Action"].asString() +
                                     ":" + std::to_string(a["Button"].asInt()) + "/" +
                                     a["Delay"].asString());
    }
    return out;
  }
};

Json::Value Row(int type, const char* action, int button, const char* delay) {
  Json::Value a;
  a["Type"] = type, a["Action"] = action, a["Button"] = button, a["Delay"] = delay;
  return a;
}

TEST(MacroRecorderTest, RecordTimeGivesEachRowTheTimeToTheNext) {
  Recording r;
  r.recorder.StartTiming(macros::kRecordTime, "50");
  r.Key(Placement::Append, 1500, kDown, Scan(0x1E));
  EXPECT_TRUE(r.rows.At(0).action["Delay"].isInt());  // the integer 0 until the next action
  r.Key(Placement::Append, 1620, kUp, Scan(0x1E));
  r.Key(Placement::Append, 1900, kSysDown, Scan(0x30));
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"10:down:4/120", "10:up:4/280", "10:down:5/0"}));
  EXPECT_EQ(r.rows.Selected(), 2);
  // Above 65535 ms the delay stays 65535.
  r.Key(Placement::Append, 100000, kUp, Scan(0x30));
  EXPECT_EQ(r.Shape()[2], "10:down:5/65535");
}

TEST(MacroRecorderTest, ConstantTimeClampsTheFixedDelay) {
  Recording r;
  EXPECT_EQ(r.recorder.StartTiming(macros::kConstantTime, "70000"), std::optional<std::string>("65535"));
  r.Key(Placement::Append, 1001, kDown, Scan(0x1E));
  r.Key(Placement::Append, 1002, kUp, Scan(0x1E));
  r.Key(Placement::Append, 1003, kDown, Scan(0x30));
  EXPECT_EQ(r.Shape(),
            (std::vector<std::string>{"10:down:4/65535", "10:up:4/65535", "10:down:5/65535"}));
  EXPECT_EQ(r.rows.At(2).delayText, "65535");
  // Text that is no number reads as 0; ignore time gives 0 throughout.
  EXPECT_EQ(r.recorder.ApplyFixedDelay("abc"), std::optional<std::string>("0"));
  Recording ignore;
  ignore.recorder.StartTiming(macros::kIgnoreTime, "50");
  ignore.Key(Placement::Append, 1500, kDown, Scan(0x1E));
  ignore.Key(Placement::Append, 1900, kUp, Scan(0x1E));
  EXPECT_EQ(ignore.Shape(), (std::vector<std::string>{"10:down:4/0", "10:up:4/0"}));
}

TEST(MacroRecorderTest, HeldKeyRecordsOnePressAndTheRelease) {
  Recording r;
  r.recorder.StartTiming(macros::kIgnoreTime, "");
  for (uint32_t t = 1000; t < 1100; t += 30) r.Key(Placement::Append, t, kDown, Scan(0x1E));
  r.Key(Placement::Append, 1200, kUp, Scan(0x1E));
  r.Key(Placement::Append, 1300, kDown, Scan(0x1E));  // pressed again after the release
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"10:down:4/0", "10:up:4/0", "10:down:4/0"}));
}

TEST(MacroRecorderTest, KeysWithoutARowAreDropped) {
  struct Case {
    uint32_t scan;
    bool ext;
    const char* want;  // "" dropped
  } cases[] = {
      {0x36, true, "9:down:32/0"},   // Right Shift as captured, extended
      {0x36, false, ""},             // as reported without the flag
      {0x1D, true, "9:down:16/0"},   // Right Ctrl
      {0x1C, true, "10:down:88/0"},  // keypad Enter
      {0x59, false, ""},
      {0x00, false, ""},
      {0x72, false, "10:down:144/0"},  // K151, the last recordable row
  };
  for (const Case& c : cases) {
    Recording r;
    r.recorder.StartTiming(macros::kIgnoreTime, "");
    r.Key(Placement::Append, 1000, kDown, Scan(c.scan, c.ext));
    EXPECT_EQ(r.Shape(), c.want[0] ? std::vector<std::string>{c.want} : std::vector<std::string>{})
        << std::hex << c.scan;
  }
}

TEST(MacroRecorderTest, MouseButtonsAndTheStopClick) {
  Recording r;
  r.recorder.StartTiming(macros::kIgnoreTime, "");
  r.recorder.SetStopButton(macros::ScreenRect{100, 200, 40, 20});
  r.Mouse(Placement::Append, 1000, 0x0201, {110, 205, 0});  // stop click: not recorded
  r.Mouse(Placement::Append, 1001, 0x0202, {110, 205, 0});
  r.Mouse(Placement::Append, 1002, 0x0204, {110, 205, 0});  // right button there is
  r.Mouse(Placement::Append, 1003, 0x020B, {0, 0, 1u << 16});  // back
  r.Mouse(Placement::Append, 1004, 0x020B, {0, 0, 2u << 16});  // then forward: both record
  r.Mouse(Placement::Append, 1005, 0x020B, {0, 0, 2u << 16});  // repeat of the same: dropped
  r.Mouse(Placement::Append, 1006, 0x020B, {0, 0, 3u << 16});  // no such X button
  r.Mouse(Placement::Append, 1007, 0x020A);                    // wheel
  r.Mouse(Placement::Append, 1008, 0x0200);                    // move
  r.Mouse(Placement::Append, 1009, 0x0202, {0, 0, 0});         // left up elsewhere
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"1:down:2/0", "1:down:8/0", "1:down:16/0",
                                                 "1:up:1/0"}));
}

TEST(MacroRecorderTest, BeforeTheFirstRowKeepsItSelected) {
  Recording r;
  r.rows.Reset({Row(1, "down", 1, "10"), Row(1, "up", 1, "20")});
  r.rows.Select(0);
  r.recorder.StartTiming(macros::kRecordTime, "50");
  r.Key(Placement::Before, 1100, kDown, Scan(0x1E));
  r.Key(Placement::Before, 1150, kUp, Scan(0x1E));
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"10:down:4/50", "10:up:4/0", "1:down:1/10",
                                                 "1:up:1/20"}));
  EXPECT_EQ(r.rows.Selected(), 2);
}

TEST(MacroRecorderTest, AfterTheSelectedRowFollowsTheNewRow) {
  Recording r;
  r.rows.Reset({Row(1, "down", 1, "10"), Row(1, "up", 1, "20")});
  r.rows.Select(0);
  r.recorder.StartTiming(macros::kConstantTime, "30");
  r.Key(Placement::After, 1100, kDown, Scan(0x1E));
  r.Key(Placement::After, 1150, kUp, Scan(0x1E));
  // The first insert finds no previous action, so row 0 keeps its delay.
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"1:down:1/10", "10:down:4/30", "10:up:4/30",
                                                 "1:up:1/20"}));
  EXPECT_EQ(r.rows.Selected(), 2);
}

TEST(MacroRecorderTest, ReplaceKeepsActionAndDelay) {
  Recording r;
  r.rows.Reset({Row(1, "up", 2, "77"), Row(1, "down", 1, "10")});
  r.rows.Select(0);
  r.recorder.StartTiming(macros::kIgnoreTime, "");
  r.Key(Placement::Replace, 1100, kDown, Scan(0x30));
  EXPECT_EQ(r.Shape(), (std::vector<std::string>{"10:up:5/77", "1:down:1/10"}));
  EXPECT_EQ(macros::DescribeAction(r.rows.At(0).action).keyStyle, "macro_label_keyboard_style");
  r.Key(Placement::Replace, 1200, kUp, Scan(0x2E));  // every event replaces again
  EXPECT_EQ(r.Shape()[0], "10:up:6/77");
}

TEST(MacroRecorderTest, PlacementsWithoutSelectionDropEverything) {
  for (Placement p : {Placement::Before, Placement::After, Placement::Replace}) {
    Recording r;
    r.rows.Reset({Row(1, "down", 1, "10")});
    r.recorder.StartTiming(macros::kIgnoreTime, "");
    r.Key(p, 1100, kDown, Scan(0x1E));
    r.Mouse(p, 1101, 0x0204);
    EXPECT_EQ(r.Shape(), std::vector<std::string>{"1:down:1/10"}) << int(p);
  }
}

TEST(MacroRecorderTest, SixtyRowsGetEmptyRowsOnly) {
  Recording r;
  r.rows.Reset(std::vector<Json::Value>(60, Row(1, "down", 1, "10")));
  r.recorder.StartTiming(macros::kIgnoreTime, "");
  r.Key(Placement::Append, 1100, kDown, Scan(0x1E));
  ASSERT_EQ(r.rows.Count(), 61);
  EXPECT_EQ(r.Shape()[60], "-");
  EXPECT_EQ(r.Shape()[59], "1:down:1/10");
}

TEST(MacroRecorderTest, CaptureModesOfPlacements) {
  for (Placement p : {Placement::Append, Placement::Before, Placement::After, Placement::Replace})
    EXPECT_EQ(macros::PlacementOfMode(macros::CaptureModeOf(p)), p);
  EXPECT_EQ(macros::CaptureModeOf(Placement::Append), 4);
  EXPECT_EQ(macros::CaptureModeOf(Placement::Replace), 32);
  EXPECT_FALSE(macros::PlacementOfMode(1).has_value());
}

}  // namespace
