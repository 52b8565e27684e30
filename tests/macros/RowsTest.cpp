// The editor's action rows without widgets: where inserts go, moves at the
// edges, the 60-row rule and the save of delay edits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macros/MacroRows.h"

namespace {

using macros::MacroRows;
using macros::MouseInsert;
using macros::MoveKind;

Json::Value Key(int usage, const char* action = "down") {
  Json::Value a;
  a["Type"] = 10;
  a["Action"] = action;
  a["Button"] = usage;
  a["Delay"] = "5";
  return a;
}

// The rows as "<Type>:<Action>:<Button>", empty rows as "-".
std::vector<std::string> Shape(const MacroRows& rows) {
  std::vector<std::string> out;
  for (int i = 0; i < rows.Count(); ++i) {
    const Json::Value& a = rows.At(i).action;
    out.push_back(a.isNull() ? "-"
                             : std::to_string(a["Type"].asInt()) + ":" + a["Action"].asString() + ":" +
                                   std::to_string(a["Button"].asInt()));
  }
  return out;
}

TEST(MacroRowsTest, MouseInsertGoesAfterTheSelectionOrRowZero) {
  struct Case {
    int rows;
    int selected;
    int wantAt;
  } cases[] = {{0, -1, 0}, {3, -1, 1}, {3, 0, 1}, {3, 2, 3}};
  for (const Case& c : cases) {
    MacroRows rows;
    rows.Reset(std::vector<Json::Value>(size_t(c.rows), Key(4)));
    rows.Select(c.selected);
    rows.InsertMouseAction(MouseInsert::Back, true, 0, 50);
    ASSERT_EQ(rows.Count(), c.rows + 1);
    EXPECT_EQ(Shape(rows)[size_t(c.wantAt)], "1:down:8") << c.rows << " " << c.selected;
    EXPECT_EQ(rows.Selected(), c.wantAt);
    EXPECT_EQ(rows.At(c.wantAt).delayText, "50");
    EXPECT_EQ(rows.At(c.wantAt).action["Delay"].asString(), "50");
  }
}

TEST(MacroRowsTest, MovesAreJsonOfTheirKind) {
  struct Case {
    MouseInsert what;
    const char* want;
    const char* keyText;
  } cases[] = {
      {MouseInsert::MoveLeft, "4:down:44", "mouse_move_to_left_text"},
      {MouseInsert::MoveRight, "4:up:44", "mouse_move_to_right_text"},
      {MouseInsert::MoveUp, "5:down:44", "mouse_move_to_up_text"},
      {MouseInsert::MoveDown, "5:up:44", "mouse_move_to_down_text"},
  };
  for (const Case& c : cases) {
    MacroRows rows;
    rows.InsertMouseAction(c.what, true, 300, 50);  // 300 keeps its low 8 bits
    EXPECT_EQ(Shape(rows)[0], c.want);
    const macros::RowLook look = macros::DescribeAction(rows.At(0).action);
    EXPECT_EQ(look.keyText, c.keyText);
    EXPECT_EQ(look.actionStyle, "macro_label_text_style");
    EXPECT_EQ(look.actionText, "44");
  }
}

TEST(MacroRowsTest, ClickAtSixtyRowsAddsEmptyRowsThatTheSaveDrops) {
  MacroRows rows;
  rows.Reset(std::vector<Json::Value>(60, Key(4)));
  rows.Select(10);
  rows.InsertMouseAction(MouseInsert::Left, true, 0, 50);
  rows.InsertMouseAction(MouseInsert::Left, false, 0, 50);
  ASSERT_EQ(rows.Count(), 62);
  EXPECT_EQ(Shape(rows)[60], "-");
  EXPECT_EQ(Shape(rows)[61], "-");
  bool truncated = false;
  EXPECT_EQ(rows.CollectForSave(&truncated).size(), 60u);
  EXPECT_TRUE(truncated);
  EXPECT_EQ(rows.Count(), 60);
}

TEST(MacroRowsTest, MovesAtTheEdgesOrWithoutSelectionDoNothing) {
  struct Case {
    int selected;
    MoveKind kind;
    bool moves;
    int wantSelected;
  } cases[] = {
      {0, MoveKind::Up, false, 0},      {0, MoveKind::Top, false, 0},
      {3, MoveKind::Down, false, 3},    {3, MoveKind::Bottom, false, 3},
      {-1, MoveKind::Up, false, -1},    {-1, MoveKind::Bottom, false, -1},
      {1, MoveKind::Up, true, 0},       {1, MoveKind::Down, true, 2},
      {2, MoveKind::Top, true, 0},      {1, MoveKind::Bottom, true, 3},
  };
  for (const Case& c : cases) {
    MacroRows rows;
    rows.Reset({Key(4), Key(5), Key(6), Key(7)});
    rows.SetDelayText(1, "11");
    rows.SetDelayText(2, "22");
    rows.Select(c.selected);
    const std::string moved = c.selected >= 0 ? Shape(rows)[size_t(c.selected)] : "";
    EXPECT_EQ(rows.Move(c.kind), c.moves) << c.selected << " " << int(c.kind);
    EXPECT_EQ(rows.Selected(), c.wantSelected);
    if (c.moves) {
      EXPECT_EQ(Shape(rows)[size_t(c.wantSelected)], moved);
      // The delay travels with its action.
      EXPECT_EQ(rows.At(c.wantSelected).delayText, c.selected == 1 ? "11" : "22");
    }
  }
}

TEST(MacroRowsTest, SaveNormalisesDelayEdits) {
  MacroRows rows;
  rows.Reset({Key(4), Key(5), Key(6), Key(7)});
  rows.SetDelayText(0, "");
  rows.SetDelayText(1, "0042");
  rows.SetDelayText(2, "70000");
  rows.SetDelayText(3, "12x");
  bool truncated = true;
  const std::vector<Json::Value> saved = rows.CollectForSave(&truncated);
  EXPECT_FALSE(truncated);
  const char* want[] = {"0", "42", "65535", "12"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(rows.At(i).delayText, want[i]);
    EXPECT_EQ(saved[size_t(i)]["Delay"].asString(), want[i]);
  }
}

TEST(MacroRowsTest, LooksOfEachKind) {
  struct Case {
    int type;
    const char* action;
    int button;
    macros::RowLook want;
  } cases[] = {
      {10, "down", 0x04, {"macro_label_keyboard_style", "keyboard_key_A", "macro_label_down_style", ""}},
      {10, "up", 0x32, {"macro_label_keyboard_style", "keyboard_key_K42", "macro_label_up_style", ""}},
      {9, "down", 0x20, {"macro_label_keyboard_style", "keyboard_key_RShift", "macro_label_down_style", ""}},
      {1, "down", 0x10, {"macro_label_mouse_style", "mouse_key_forward", "macro_label_down_style", ""}},
      {1, "up", 0x08, {"macro_label_mouse_style", "mouse_key_back", "macro_label_up_style", ""}},
      {2, "up", 1, {"macro_label_mouse_style", "", "macro_label_up_style", ""}},
      {10, "down", 0xEE, {"macro_label_keyboard_style", "", "macro_label_down_style", ""}},
      {7, "down", 1, {"", "", "macro_label_down_style", ""}},
  };
  for (const Case& c : cases) {
    Json::Value a;
    a["Type"] = c.type, a["Action"] = c.action, a["Button"] = c.button;
    const macros::RowLook look = macros::DescribeAction(a);
    EXPECT_EQ(look.keyStyle, c.want.keyStyle) << c.type << " " << c.button;
    EXPECT_EQ(look.keyText, c.want.keyText) << c.type << " " << c.button;
    EXPECT_EQ(look.actionStyle, c.want.actionStyle);
  }
}

}  // namespace
